#include "services/SampleShop.h"

#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <utility>

#include "foundation/UnitPublicUtils.h"
#include "services/SQLiteDBAccess.h"
#include "services/SampleShopScreens.h"
#include "platform/DateTime.h"
#include "platform/Exceptions.h"

namespace jxc {

namespace {

constexpr int64_t kSerialBase = 6800000000000;  // 13 digits after "86"

using Row = std::initializer_list<std::pair<const char*, Variant>>;

class Writer {
 public:
  explicit Writer(TSQLiteDBAccess& db) : db_(db), c_(db.Connection()) {}

  int64_t Insert(const std::string& table, Row values) {
    const int64_t id = db_.NewID();
    std::string names = "F_ID", marks = "?";
    for (const auto& [name, value] : values) {
      names += std::string(", ") + name;
      marks += ", ?";
    }
    auto statement = c_.Prepare("INSERT INTO " + table + " (" + names + ") VALUES (" + marks + ")");
    statement->Bind(0, Variant(static_cast<long long>(id)));
    int i = 1;
    for (const auto& [name, value] : values) statement->Bind(i++, value);
    statement->Run();
    return id;
  }

  // A named record with code and pinyin initials.
  int64_t Named(const std::string& table, const std::string& code, const std::string& name, Row more = {}) {
    const int64_t id = Insert(table, {{"F_CODE", Variant(code)}, {"F_NAME", Variant(name)},
                                      {"F_PY", Variant(TPYHelper::GetShort(name, true))}});
    if (more.size() == 0) return id;
    std::string sets;
    for (const auto& [column, value] : more) sets += std::string(sets.empty() ? "" : ", ") + column + " = ?";
    auto update = c_.Prepare("UPDATE " + table + " SET " + sets + " WHERE F_ID = ?");
    int i = 0;
    for (const auto& [column, value] : more) update->Bind(i++, value);
    update->Bind(i, Variant(static_cast<long long>(id)));
    update->Run();
    return id;
  }

 private:
  TSQLiteDBAccess& db_;
  TSQLiteConnection& c_;
};

Variant Id(int64_t id) { return Variant(static_cast<long long>(id)); }
Variant Money(const char* text) { return Variant(Currency::Parse(text)); }

struct BillScreen {
  const char* Caption;
  const char* ClassName;
  int BillType;
  const char* Table;
};

constexpr BillScreen kBillScreens[] = {
    {"采购订单", "TFrmBillOrderFramework", 1, "TB_ORDER"},
    {"采购入库", "TFrmBillInStockFramework", 2, "TB_IN_STOCK"},
    {"采购退货", "TFrmBillOutStockFramework", 3, "TB_OUT_STOCK"},
    {"批发订单", "TFrmBillOrderFramework", 4, "TB_ORDER"},
    {"批发退货", "TFrmBillReturnInStockFramework", 5, "TB_PF_RETURN"},
    {"批发销售", "TFrmBillOutStockFramework", 6, "TB_PF_SALE"},
    {"零售销售", "TFrmBillOutStockFramework", 7, "TB_RETAIL_SALE"},
    {"零售退货", "TFrmBillReturnInStockFramework", 8, "TB_PF_RETURN"},
    {"采购换货", "TFrmBaseProductChange", 9, "TB_PRODUCT_CHANGE"},
    {"批发换货", "TFrmBaseProductChange", 10, "TB_PRODUCT_CHANGE"},
    {"零售换货", "TFrmBaseProductChange", 11, "TB_PRODUCT_CHANGE"},
    {"调拨出库", "TFrmBillOutStockFramework", 12, "TB_OUT_STOCK"},
    {"调拨入库", "TFrmBillInStockFramework", 13, "TB_IN_STOCK"},
    {"调拨申请", "TFrmBillOrderFramework", 18, "TB_ORDER"},
    {"往来结算", "TFrmAccSettlement", 16, "TB_ACC_SETTELMENT"},
};

std::string BillConfig(const BillScreen& screen) {
  const std::string detail = std::string(screen.Table) + "_DETAIL";
  return std::string("{\"BILL_CONFIG\":{\"STATUS\":\"on\",\"BILL_TYPE\":") + std::to_string(screen.BillType) +
         ",\"AUDIT_CALL\":\"\"},\"UI_DETAIL_CONFIG\":{\"STATUS\":\"on\",\"PARAMS\":{\"明细\":{\"STATUS\":\"on\","
         "\"PAGE\":0,\"DATASET\":\"CdsDetail\",\"GRID_NAME\":\"" + screen.Caption + "明细\",\"VIEW_TABLE\":\"" + detail +
         "\",\"UPDATE_TABLE\":\"" + detail + "\",\"FOREIGNKEY\":\"F_MID\",\"DISPLAY\":\"明细\",\"KIND\":0}}},"
         "\"UI_EDITOR_CONFIG\":{\"STATUS\":\"on\",\"CLASS_NAME\":\"TFrameBaseEditor\",\"DATA\":\"" + screen.Table +
         "\",\"UPDATE_TABLE\":\"" + screen.Table + "\",\"HEIGHT\":120}}";
}

struct PlainScreen {
  const char* Caption;
  const char* ClassName;
  const char* Table;  // updated table ("" for query screens)
  const char* Data;
  const char* Config;
};

constexpr PlainScreen kPlainScreens[] = {
    {"店铺资料", "TFrmBaseTreeGrid", "TB_SHOP", "TB_SHOP", nullptr},
    {"区域资料", "TFrmBaseTreeEditor", "TB_PROVINCE", "TB_PROVINCE", nullptr},
    {"商品配置", "TFrmBaseTreeEditor", "TB_PRODUCT_CONFIG", "TB_PRODUCT_CONFIG", nullptr},
    {"库存查询", "TFrmBaseDetail", "", "VI_QuerySysStock",
     "{\"UI_QUERY_CONFIG\":{\"STATUS\":\"on\",\"CLASS_NAME\":\"TFrmBaseDetail\",\"GRID_NAME\":\"库存查询\","
     "\"QUERY_CONFIG\":\"库存查询\",\"DATA\":\"VI_QuerySysStock\",\"CAN_SELECT\":false,\"HEIGHT\":80}}"},
    {"手机串码追踪", "TFrmBaseDetail", "", "TB_JXC_ACCOUNT",
     "{\"UI_QUERY_CONFIG\":{\"STATUS\":\"on\",\"CLASS_NAME\":\"TFrmBaseDetail\",\"GRID_NAME\":\"手机串码追踪\","
     "\"QUERY_CONFIG\":\"手机串码追踪\",\"DATA\":\"TB_JXC_ACCOUNT\",\"CAN_SELECT\":false,\"HEIGHT\":80}}"},
    {"批发销售查询", "TFrmBaseBillQuery", "", "TB_PF_SALE",
     "{\"BILL_CONFIG\":{\"STATUS\":\"on\",\"BILL_TYPE\":6},\"UI_QUERY_CONFIG\":{\"STATUS\":\"on\",\"CLASS_NAME\":"
     "\"TFrmBaseBillQuery\",\"GRID_NAME\":\"批发销售查询\",\"QUERY_CONFIG\":\"批发销售查询\",\"DATA\":\"TB_PF_SALE\","
     "\"CAN_SELECT\":false,\"HEIGHT\":80}}"},
};

const char* kBillTypeNames[][2] = {
    {"1", "采购订单"}, {"2", "采购入库"}, {"3", "采购退货"}, {"4", "批发订单"}, {"5", "批发退货"},
    {"6", "批发销售"}, {"7", "零售销售"}, {"8", "零售退货"}, {"9", "采购换货"}, {"10", "批发换货"},
    {"11", "零售换货"}, {"12", "调拨出库"}, {"13", "调拨入库"}, {"16", "往来结算"}, {"17", "商品入库"},
    {"18", "调拨申请"}, {"27", "应收结算"}, {"28", "应付结算"}, {"31", "付款结算"},
};

// Opening stock comes in as every unit does: by an audited bill, one "期初库存" stock-in (kind 17) per
// branch, holding its serial-numbered handsets (unit i in branch i % branches, handset i % 4, colour i % 4,
// at the purchase price) and 100 of each accessory at 10.00. The rows are written in one statement each;
// the audit procedure then brings them into stock with their journal and ledger. Returns the units.
int64_t AddOpeningStock(TSQLiteDBAccess& db, TSampleShop& shop, int64_t units) {
  constexpr int kOpeningKind = 17;
  const std::string caption = "期初库存";
  const Variant today(SqlDateTimeText(Date()));
  Writer w(db);
  TSQLiteConnection& c = db.Connection();
  std::string temp = "CREATE TEMP TABLE jxc_shops (k INTEGER PRIMARY KEY, F_SHOP_ID, F_LOCATION_ID, F_BILL_ID);";
  for (size_t b = 0; b < shop.Branches.size(); ++b) {
    const int64_t bill = w.Insert(
        "TB_IN_STOCK", {{"F_CODE", Variant(db.Sequences().NewCode(TPYHelper::GetShort(caption), Date()))},
                        {"F_KIND", Variant(kOpeningKind)}, {"F_BILL_DATE", today}, {"F_SHOP_ID", Id(shop.Branches[b])},
                        {"F_STATUS", Variant(1)}, {"F_REMARK", Variant(caption)}, {"F_ADD_USER", Variant("系统")},
                        {"F_ADD_DATE", Variant(Now())}});
    shop.OpeningBills.push_back(bill);
    temp += "INSERT INTO jxc_shops VALUES (" + std::to_string(b) + ", " + std::to_string(shop.Branches[b]) + ", " +
            std::to_string(shop.CounterLocations[b]) + ", " + std::to_string(bill) + ");";
  }
  temp += "CREATE TEMP TABLE jxc_handsets (k INTEGER PRIMARY KEY, F_ID, F_NAME, F_CONFIG_ID, F_PRICE_JH, F_PRICE_EMPLOYEE, "
          "F_CUSTOMER_ID);";
  for (size_t h = 0; h < shop.Handsets.size(); ++h)
    temp += "INSERT INTO jxc_handsets SELECT " + std::to_string(h) +
            ", F_ID, F_NAME, F_CONFIG_ID, F_PRICE_JH, F_PRICE_EMPLOYEE, F_CUSTOMER_ID FROM TB_PRODUCT_ATTRIBUTE WHERE F_ID = " +
            std::to_string(shop.Handsets[h]) + ";";
  temp += "CREATE TEMP TABLE jxc_colors (k INTEGER PRIMARY KEY, F_ID);";
  for (size_t k = 0; k < shop.Colors.size(); ++k)
    temp += "INSERT INTO jxc_colors VALUES (" + std::to_string(k) + ", " + std::to_string(shop.Colors[k]) + ");";
  c.ExecScript(temp);

  const char* columns =
      "INSERT INTO TB_IN_STOCK_DETAIL (F_ID, F_MID, F_KIND, F_SHOP_ID, F_PRODUCT_ID, F_PRODUCT, F_PRODUCT_TYPE_ID, "
      "F_CONFIG_ID, F_COLOR_ID, F_UNIT, F_LOCATION_ID, F_MODE_NO, F_QTY, F_USE_QTY, F_PRICE, F_MONEY, F_COST_PRICE, "
      "F_COST_MONEY, F_PRICE_EMPLOYEE, F_ROOT_ID, F_IN_DATE) ";
  if (units > 0) {
    auto handsets = c.PrepareOnce(
        std::string(columns) +
        "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i + 1 < ?1) "
        "SELECT ?2 + i, s.F_BILL_ID, ?6, s.F_SHOP_ID, p.F_ID, p.F_NAME, 1, p.F_CONFIG_ID, c.F_ID, '台', s.F_LOCATION_ID, "
        "printf('86%013lld', ?3 + i), 1, 0, p.F_PRICE_JH, p.F_PRICE_JH, p.F_PRICE_JH, p.F_PRICE_JH, p.F_PRICE_EMPLOYEE, "
        "p.F_CUSTOMER_ID, ?4 FROM n JOIN jxc_shops s ON s.k = i % ?5 JOIN jxc_handsets p ON p.k = i % 4 "
        "JOIN jxc_colors c ON c.k = i % 4");
    handsets->BindInt64(0, units).BindInt64(1, db.Sequences().Reserve("ID", units)).BindInt64(2, kSerialBase);
    handsets->Bind(3, today).BindInt64(4, static_cast<int64_t>(shop.Branches.size())).BindInt64(5, kOpeningKind);
    handsets->Run();
  }
  auto accessories = c.PrepareOnce(
      std::string(columns) +
      "SELECT ?1 + s.k * ?2 + a.k, s.F_BILL_ID, ?3, s.F_SHOP_ID, a.F_ID, a.F_NAME, 2, NULL, ?4, '个', s.F_LOCATION_ID, "
      "NULL, 100, 0, 10, 1000, 10, 1000, 0, a.F_CUSTOMER_ID, ?5 FROM jxc_shops s "
      "JOIN (SELECT row_number() OVER (ORDER BY F_ID) - 1 AS k, F_ID, F_NAME, F_CUSTOMER_ID FROM TB_PRODUCT_ATTRIBUTE "
      "WHERE F_PRODUCT_TYPE_ID = 2) a");
  const int64_t perShop = static_cast<int64_t>(shop.Accessories.size());
  const int64_t rows = perShop * static_cast<int64_t>(shop.Branches.size());
  accessories->BindInt64(0, rows ? db.Sequences().Reserve("ID", rows) : 0).BindInt64(1, perShop);
  accessories->BindInt64(2, kOpeningKind).Bind(3, Id(shop.Colors[0])).Bind(4, today);
  accessories->Run();
  accessories.reset();
  c.ExecScript(
      "UPDATE TB_IN_STOCK SET (F_TOTAL_QTY, F_TOTAL_MONEY, F_COST_MONEY) = (SELECT SUM(F_QTY), ROUND(SUM(F_MONEY), 4), "
      "ROUND(SUM(F_COST_MONEY), 4) FROM TB_IN_STOCK_DETAIL d WHERE d.F_MID = TB_IN_STOCK.F_ID) "
      "WHERE F_ID IN (SELECT F_BILL_ID FROM jxc_shops);"
      "DROP TABLE temp.jxc_shops; DROP TABLE temp.jxc_handsets; DROP TABLE temp.jxc_colors;");
  for (int64_t bill : shop.OpeningBills) db.AuditBill(1, kOpeningKind, "", std::to_string(bill));
  return units;
}

}  // namespace

std::string SampleSerial(int64_t index) {
  char text[32];
  std::snprintf(text, sizeof text, "86%013lld", static_cast<long long>(kSerialBase + index));
  return text;
}

bool HasShopData(TSQLiteDBAccess& db) {
  return !db.QueryNative("SELECT 1 FROM TB_SHOP LIMIT 1").Rows.empty();
}

TSampleShop CreateSampleShop(TSQLiteDBAccess& db, const TSampleShopOptions& options) {
  if (options.Branches < 1 || options.Branches > 9) throw EDatabaseError("分店数必须在1到9之间");
  if (options.Units < 0) throw EDatabaseError("库存串码数不能为负数");
  if (HasShopData(db)) throw EDatabaseError("数据库中已有店铺资料, 不能再生成示例数据");
  TSQLiteTransaction transaction(db.Connection());
  Writer w(db);
  TSampleShop shop;

  // Regions and shops.
  shop.Region = w.Named("TB_PROVINCE", "44", "广东省", {{"F_PARENTID", Id(0)}});
  const int64_t shenzhen = w.Named("TB_PROVINCE", "4403", "深圳市", {{"F_PARENTID", Id(shop.Region)}});
  const int64_t guangzhou = w.Named("TB_PROVINCE", "4401", "广州市", {{"F_PARENTID", Id(shop.Region)}});
  shop.HeadOffice = w.Named("TB_SHOP", "00", "总部", {{"F_PARENTID", Id(0)}, {"F_PROVINCE_ID", Id(shenzhen)}});
  const char* branchNames[] = {"华强北店", "福田店", "天河店", "南山店", "宝安店", "越秀店", "龙岗店", "番禺店", "罗湖店"};
  for (int b = 0; b < options.Branches; ++b) {
    char code[8];
    std::snprintf(code, sizeof code, "%02d", b + 1);
    const int64_t region = b == 2 || b == 5 || b == 7 ? guangzhou : shenzhen;
    const int64_t id = w.Named("TB_SHOP", code, branchNames[b],
                               {{"F_PARENTID", Id(shop.HeadOffice)}, {"F_PROVINCE_ID", Id(region)},
                                {"F_MOBILE", Variant("0755-8800000" + std::to_string(b + 1))}});
    shop.Branches.push_back(id);
    shop.CounterLocations.push_back(w.Named("TB_STOCK_LOCATION", std::string(code) + "01", std::string(branchNames[b]) + "柜台",
                                            {{"F_SHOP_ID", Id(id)}, {"F_DEFAULT", Variant(true)}}));
    shop.StoreLocations.push_back(w.Named("TB_STOCK_LOCATION", std::string(code) + "02", std::string(branchNames[b]) + "仓库",
                                          {{"F_SHOP_ID", Id(id)}, {"F_DEFAULT", Variant(false)}}));
  }
  w.Named("TB_STOCK_LOCATION", "0001", "总部仓库", {{"F_SHOP_ID", Id(shop.HeadOffice)}, {"F_DEFAULT", Variant(true)}});

  // Dictionaries.
  for (const auto& item : kBillTypeNames)
    w.Named("TB_DICT_ITEM", item[0], item[1], {{"F_PARENTID", Id(969701)}, {"F_SORT", Variant(std::atoi(item[0]))}});
  w.Named("TB_DICT_ITEM", "1", "不含税", {{"F_PARENTID", Id(969702)}});
  w.Named("TB_DICT_ITEM", "2", "增值税13%", {{"F_PARENTID", Id(969702)}});

  // Product dictionaries.
  for (const char* name : {"黑色", "白色", "金色", "蓝色"})
    shop.Colors.push_back(w.Named("TB_PRODUCT_COLOR", std::to_string(shop.Colors.size() + 1), name));
  const int64_t phones = w.Named("TB_PRODUCT_CONFIG", "1", "手机", {{"F_PARENTID", Id(0)}});
  for (const char* name : {"8G+128G", "12G+256G", "16G+512G"})
    shop.Configs.push_back(w.Named("TB_PRODUCT_CONFIG", "1" + std::to_string(shop.Configs.size() + 1), name,
                                   {{"F_PARENTID", Id(phones)}}));
  for (const char* name : {"台", "个", "张"}) w.Named("TB_PRODUCT_UNIT", name, name);
  std::vector<int64_t> factories;
  for (const char* name : {"华为", "小米", "苹果", "OPPO"})
    factories.push_back(w.Named("TB_FACTORY_DEFINE", std::to_string(factories.size() + 1), name));
  w.Named("TB_SALE_PACKAGE", "1", "购机送膜套餐", {{"F_PRICE", Money("0")}});
  w.Named("TB_SALE_PACKAGE", "2", "合约129元套餐", {{"F_PRICE", Money("129")}});

  // Suppliers, customers, employees, accounts.
  for (const char* name : {"深圳天音通信有限公司", "爱施德股份有限公司"})
    shop.Suppliers.push_back(w.Named("TB_CUSTOMER", "G" + std::to_string(shop.Suppliers.size() + 1), name,
                                     {{"F_CUSTOMER_TYPE_ID", Variant(1)}, {"F_SHARED", Variant(true)}}));
  for (const char* name : {"零售散客", "华强电子批发部", "福田通讯城"})
    shop.Customers.push_back(w.Named("TB_CUSTOMER", "K" + std::to_string(shop.Customers.size() + 1), name,
                                     {{"F_CUSTOMER_TYPE_ID", Variant(2)}, {"F_SHARED", Variant(true)},
                                      {"F_CREDIT", Money("100000")}, {"F_RETURN_DAYS", Variant(30)}}));
  shop.Customers.push_back(w.Named("TB_CUSTOMER", "K9", "联合通讯(供销)", {{"F_CUSTOMER_TYPE_ID", Variant(3)},
                                                                          {"F_SHARED", Variant(false)}}));
  w.Insert("TB_CUSTOMER_SHOP_LIST", {{"F_MID", Id(shop.Customers.back())}, {"F_SHOP_ID", Id(shop.Branches[0])}});
  const char* people[] = {"张伟", "李娜", "王强", "刘洋", "陈静", "杨帆", "赵磊", "黄敏", "周杰"};
  for (int b = 0; b < options.Branches; ++b) {
    const int64_t id = w.Named("TB_EMPLOYEE", "E" + std::to_string(b + 1), people[b],
                               {{"F_SHOP_ID", Id(shop.Branches[b])}, {"F_SHARED", Variant(false)}});
    w.Insert("TB_EMPLOYEE_SHOP_LIST", {{"F_MID", Id(id)}, {"F_SHOP_ID", Id(shop.Branches[b])}});
    shop.Employees.push_back(id);
    const int64_t cash = w.Named("TB_BAND_ACCOUNT", "C" + std::to_string(b + 1), std::string(branchNames[b]) + "现金",
                                 {{"F_SHOP_ID", Id(shop.Branches[b])}});
    w.Named("TB_BAND_ACCOUNT", "B" + std::to_string(b + 1), std::string(branchNames[b]) + "工商银行",
            {{"F_SHOP_ID", Id(shop.Branches[b])}, {"F_BANK", Variant("中国工商银行")}});
    auto link = db.Connection().Prepare("UPDATE TB_SHOP SET F_ACCOUNT_ID = ?1, F_CUSTOMER_ID = ?2, F_CUSTOMER = ?3 WHERE F_ID = ?4");
    link->Bind(0, Id(cash)).Bind(1, Id(shop.Customers[0])).Bind(2, Variant("零售散客")).Bind(3, Id(shop.Branches[b]));
    link->Run();
  }

  // Products: four handsets, three accessories, one card.
  struct Product {
    const char* Name;
    int Type;
    const char* Unit;
    const char* Buy;
    const char* Wholesale;
    const char* Retail;
    int Factory;
  };
  const Product products[] = {
      {"华为 Mate 60 Pro", 1, "台", "5999", "6299", "6999", 0}, {"小米 14", 1, "台", "3599", "3799", "3999", 1},
      {"iPhone 15", 1, "台", "5199", "5499", "5999", 2},        {"OPPO Find X7", 1, "台", "3699", "3899", "4199", 3},
      {"手机保护壳", 2, "个", "8.5", "15", "29", 0},             {"钢化膜", 2, "个", "2.35", "8", "20", 1},
      {"快充充电器", 2, "个", "35", "59", "99", 2},              {"移动电话卡", 3, "张", "10", "30", "50", 0},
  };
  int index = 0;  // the product's place in the list, from 0; its code counts from 1
  for (const auto& p : products) {
    const int64_t id = w.Named(
        "TB_PRODUCT_ATTRIBUTE", "P" + std::to_string(index + 1), p.Name,
        {{"F_PRODUCT_TYPE_ID", Variant(p.Type)}, {"F_CONFIG_ID", p.Type == 1 ? Id(shop.Configs[index % 3]) : Variant::Null()},
         {"F_CUSTOMER_ID", Id(shop.Suppliers[index % 2])}, {"F_FACTORY_ID", Id(factories[p.Factory])},
         {"F_UNIT", Variant(p.Unit)}, {"F_PRICE_JH", Money(p.Buy)}, {"F_PRICE_PF", Money(p.Wholesale)},
         {"F_PRICE_LS", Money(p.Retail)}, {"F_PRICE_EMPLOYEE", Money(p.Buy)}, {"F_TAX_TYPE_ID", Id(1)}});
    if (p.Type == 1) shop.Handsets.push_back(id);
    else if (p.Type == 2) shop.Accessories.push_back(id);
    else shop.Card = id;
    ++index;
  }
  // The first branch sells the first handset a little cheaper.
  w.Insert("TB_PRODUCT_SHOP_PRICE", {{"F_SHOP_ID", Id(shop.Branches[0])}, {"F_PRODUCT_ID", Id(shop.Handsets[0])},
                                     {"F_PRICE_PF", Money("6199")}, {"F_PRICE_LS", Money("6899")}});

  // Screens.
  int sort = 0;
  for (const auto& screen : kBillScreens) {
    w.Named("TB_SYS_FUNCTION", "F" + std::to_string(++sort), screen.Caption,
            {{"F_ClassName", Variant(screen.ClassName)}, {"F_FormType", Variant(1)}, {"F_TableName", Variant(screen.Table)},
             {"F_DATA", Variant(screen.Table)}, {"F_GRID_NAME", Variant(std::string(screen.Caption) + "明细")},
             {"F_UI_CONFIG", Variant(BillConfig(screen))}, {"F_SORT", Variant(sort)}});
  }
  for (const auto& screen : kPlainScreens) {
    w.Named("TB_SYS_FUNCTION", "F" + std::to_string(++sort), screen.Caption,
            {{"F_ClassName", Variant(screen.ClassName)}, {"F_FormType", Variant(*screen.Table ? 2 : 3)},
             {"F_TableName", *screen.Table ? Variant(screen.Table) : Variant::Null()}, {"F_DATA", Variant(screen.Data)},
             {"F_GRID_NAME", Variant(screen.Caption)},
             {"F_UI_CONFIG", screen.Config ? Variant(screen.Config) : Variant::Null()}, {"F_SORT", Variant(sort)}});
  }
  CreateSampleShopScreens(db);

  shop.Units = AddOpeningStock(db, shop, options.Units);
  transaction.Commit();
  return shop;
}

TSampleShop ReadSampleShop(TSQLiteDBAccess& db) {
  TSampleShop shop;
  auto ids = [&](const std::string& sql) {
    std::vector<int64_t> result;
    for (const auto& row : db.QueryNative(sql).Rows) result.push_back(row[0].AsInt64());
    return result;
  };
  auto one = [&](const std::string& sql) {
    const auto all = ids(sql);
    return all.empty() ? int64_t{0} : all.front();
  };
  shop.Region = one("SELECT F_ID FROM TB_PROVINCE WHERE F_PARENTID = 0 ORDER BY F_ID");
  shop.HeadOffice = one("SELECT F_ID FROM TB_SHOP WHERE F_PARENTID = 0 ORDER BY F_ID");
  shop.Branches = ids("SELECT F_ID FROM TB_SHOP WHERE F_PARENTID <> 0 ORDER BY F_CODE");
  for (int64_t branch : shop.Branches) {
    shop.CounterLocations.push_back(one("SELECT F_ID FROM TB_STOCK_LOCATION WHERE F_DEFAULT = 1 AND F_SHOP_ID = " + std::to_string(branch)));
    shop.StoreLocations.push_back(one("SELECT F_ID FROM TB_STOCK_LOCATION WHERE F_DEFAULT = 0 AND F_SHOP_ID = " + std::to_string(branch)));
  }
  shop.Handsets = ids("SELECT F_ID FROM TB_PRODUCT_ATTRIBUTE WHERE F_PRODUCT_TYPE_ID = 1 ORDER BY F_ID");
  shop.Accessories = ids("SELECT F_ID FROM TB_PRODUCT_ATTRIBUTE WHERE F_PRODUCT_TYPE_ID = 2 ORDER BY F_ID");
  shop.Card = one("SELECT F_ID FROM TB_PRODUCT_ATTRIBUTE WHERE F_PRODUCT_TYPE_ID = 3 ORDER BY F_ID");
  shop.Colors = ids("SELECT F_ID FROM TB_PRODUCT_COLOR ORDER BY F_ID");
  shop.Configs = ids("SELECT F_ID FROM TB_PRODUCT_CONFIG WHERE F_PARENTID <> 0 ORDER BY F_ID");
  shop.Suppliers = ids("SELECT F_ID FROM TB_CUSTOMER WHERE F_CUSTOMER_TYPE_ID = 1 ORDER BY F_ID");
  shop.Customers = ids("SELECT F_ID FROM TB_CUSTOMER WHERE F_CUSTOMER_TYPE_ID <> 1 ORDER BY F_ID");
  shop.Employees = ids("SELECT F_ID FROM TB_EMPLOYEE ORDER BY F_ID");
  shop.Units = one("SELECT COUNT(*) FROM TB_SYS_STOCK WHERE F_MODE_NO IS NOT NULL");
  shop.OpeningBills = ids("SELECT F_ID FROM TB_IN_STOCK WHERE F_KIND = 17 AND F_REMARK = '期初库存' ORDER BY F_ID");
  return shop;
}

std::string DefaultDatabaseFile() {
  if (const char* file = std::getenv("JXC_DATABASE"); file && *file) return file;
  return "jxcshop.db";
}

std::shared_ptr<TSQLiteDBAccess> OpenDefaultDatabase(const std::string& fileName, const TSampleShopOptions& options) {
  auto db = std::make_shared<TSQLiteDBAccess>(fileName);
  if (!HasShopData(*db)) CreateSampleShop(*db, options);
  return db;
}

}  // namespace jxc
