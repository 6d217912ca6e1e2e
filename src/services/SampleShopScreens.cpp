#include "services/SampleShopScreens.h"

#include "foundation/UnitPublicUtils.h"
#include "services/SQLiteDBAccess.h"

namespace jxc {

namespace {

std::string ScreenConfig(const TSampleScreen& screen) {
  return std::string("{\"UI_QUERY_CONFIG\":{\"STATUS\":\"on\",\"CLASS_NAME\":\"TFrmBaseDBGridEditor\",\"GRID_NAME\":\"") +
         screen.Caption + "\",\"DATA\":\"" + screen.Data + "\",\"CAN_SELECT\":true}}";
}

Variant Id(int64_t id) { return Variant(static_cast<long long>(id)); }

}  // namespace

const std::vector<TSampleScreen>& SampleShopScreens() {
  static const std::vector<TSampleScreen> screens = {
      {"商品资料", "TB_PRODUCT_ATTRIBUTE", "TB_PRODUCT_ATTRIBUTE", {{"F_PRODUCT_TYPE_ID", "商品类型"}, {"F_UNIT", "单位"}}},
      {"往来单位管理", "TB_CUSTOMER", "VI_GetCustomerList", {{"F_CUSTOMER_TYPE_ID", "单位类型"}, {"F_MOBILE", "联系电话"}}},
      {"员工资料", "TB_EMPLOYEE", "VI_GetEmployeeList", {{"F_SHOP_ID", "所属店铺"}}},
      {"库位资料", "TB_STOCK_LOCATION", "TB_STOCK_LOCATION", {{"F_SHOP_ID", "所属店铺"}}},
      {"商品颜色", "TB_PRODUCT_COLOR", "TB_PRODUCT_COLOR", {}},
      {"银行账户", "TB_BAND_ACCOUNT", "TB_BAND_ACCOUNT", {{"F_SHOP_ID", "所属店铺"}}},
  };
  return screens;
}

const std::vector<std::string>& SampleInStockScreens() {
  static const std::vector<std::string> captions = {"采购入库", "商品入库"};
  return captions;
}

void UseInStockFramework(TSQLiteDBAccess& db) {
  TSQLiteConnection& connection = db.Connection();
  auto exists = connection.Prepare("SELECT 1 FROM TB_SYS_FUNCTION WHERE F_NAME = '商品入库'");
  if (!exists->Step()) {
    int64_t sort = 0;
    if (auto last = connection.Prepare("SELECT COALESCE(MAX(F_SORT), 0) FROM TB_SYS_FUNCTION"); last->Step())
      sort = last->Int64(0) + 1;
    const std::string config =
        "{\"BILL_CONFIG\":{\"STATUS\":\"on\",\"BILL_TYPE\":17,\"AUDIT_CALL\":\"\"},"
        "\"UI_DETAIL_CONFIG\":{\"STATUS\":\"on\",\"PARAMS\":{\"明细\":{\"STATUS\":\"on\",\"PAGE\":0,"
        "\"DATASET\":\"CdsDetail\",\"GRID_NAME\":\"商品入库明细\",\"VIEW_TABLE\":\"TB_IN_STOCK_DETAIL\","
        "\"UPDATE_TABLE\":\"TB_IN_STOCK_DETAIL\",\"FOREIGNKEY\":\"F_MID\",\"DISPLAY\":\"明细\",\"KIND\":0}}},"
        "\"UI_EDITOR_CONFIG\":{\"STATUS\":\"on\",\"CLASS_NAME\":\"TFrameBaseEditor\",\"DATA\":\"TB_IN_STOCK\","
        "\"UPDATE_TABLE\":\"TB_IN_STOCK\",\"HEIGHT\":120}}";
    auto function = connection.Prepare(
        "INSERT INTO TB_SYS_FUNCTION (F_ID, F_CODE, F_NAME, F_PY, F_ClassName, F_FormType, F_TableName, F_DATA, "
        "F_GRID_NAME, F_UI_CONFIG, F_SORT) VALUES (?, ?, '商品入库', ?, 'TFrmBillInStockFramework', 1, 'TB_IN_STOCK', "
        "'TB_IN_STOCK', '商品入库明细', ?, ?)");
    function->Bind(0, Id(db.NewID()))
        .Bind(1, Variant("F" + std::to_string(sort)))
        .Bind(2, Variant(TPYHelper::GetShort("商品入库", true)))
        .Bind(3, Variant(config))
        .Bind(4, Id(sort));
    function->Run();
  }
  auto update = connection.Prepare("UPDATE TB_SYS_FUNCTION SET F_ClassName = 'TFrmBillInStockFramework' WHERE F_NAME = ?");
  for (const std::string& caption : SampleInStockScreens()) {
    update->Reset();
    update->Bind(0, Variant(caption));
    update->Run();
  }
  // The units of a purchase are scanned into the panel above its rows.
  connection
      .Prepare("UPDATE TB_SYS_FUNCTION SET F_UI_CONFIG = json_set(F_UI_CONFIG, '$.UI_TOP_CONFIG', "
               "json('{\"STATUS\":\"on\",\"CLASS_NAME\":\"TFrameProductFastEntryEditor\",\"HEIGHT\":90}')) "
               "WHERE F_NAME = '采购入库'")
      ->Run();
}

void CreateSampleShopScreens(TSQLiteDBAccess& db) {
  TSQLiteConnection& connection = db.Connection();
  int64_t sort = 0;
  if (auto last = connection.Prepare("SELECT COALESCE(MAX(F_SORT), 0) FROM TB_SYS_FUNCTION"); last->Step())
    sort = last->Int64(0);
  auto function = connection.Prepare(
      "INSERT INTO TB_SYS_FUNCTION (F_ID, F_CODE, F_NAME, F_PY, F_ClassName, F_FormType, F_TableName, F_DATA, "
      "F_SORT_FIELD, F_GRID_NAME, F_UI_CONFIG, F_SORT) VALUES (?, ?, ?, ?, 'TFrmBaseDBGridEditor', 2, ?, ?, 'F_CODE', ?, ?, ?)");
  auto field = connection.Prepare(
      "INSERT INTO TB_SYS_FIELD_LIST (F_ID, F_MID, F_NAME, F_CONSTRAINTS_MESSAGE, F_CONTROL) VALUES (?, ?, ?, ?, 1)");
  for (const TSampleScreen& screen : SampleShopScreens()) {
    const int64_t id = db.NewID();
    ++sort;
    function->Reset();
    function->Bind(0, Id(id))
        .Bind(1, Variant("F" + std::to_string(sort)))
        .Bind(2, Variant(screen.Caption))
        .Bind(3, Variant(TPYHelper::GetShort(screen.Caption, true)))
        .Bind(4, Variant(screen.Table))
        .Bind(5, Variant(screen.Data))
        .Bind(6, Variant(screen.Caption))
        .Bind(7, Variant(ScreenConfig(screen)))
        .Bind(8, Id(sort));
    function->Run();
    for (const TSampleScreenField& mandatory : screen.Mandatory) {
      field->Reset();
      field->Bind(0, Id(db.NewID())).Bind(1, Id(id)).Bind(2, Variant(mandatory.Field)).Bind(3, Variant(mandatory.Label));
      field->Run();
    }
  }
  UseInStockFramework(db);
}

void CreateSampleTreeScreens(TSQLiteDBAccess& db) {
  TSQLiteConnection& connection = db.Connection();
  auto system = connection.Prepare(
      "INSERT INTO TB_PRODUCT_CONFIG (F_ID, F_CODE, F_NAME, F_PY, F_PARENTID, F_REMARK) VALUES (?, '0', '通用', 'TY', 0, '系统默认')");
  system->Bind(0, Id(kSampleSystemConfig));
  system->Run();
  auto region = connection.Prepare("INSERT INTO TB_PROVINCE (F_ID, F_CODE, F_NAME, F_PY, F_PARENTID) VALUES (?, '11', '北京市', 'BJS', 0)");
  region->Bind(0, Id(db.NewID()));
  region->Run();
  connection.ExecScript(
      "UPDATE TB_SYS_FUNCTION SET F_UI_CONFIG = "
      "'{\"UI_LEFT_CONFIG\":{\"STATUS\":\"on\",\"CLASS_NAME\":\"TFrameBaseTree\",\"DATA\":\"TB_SHOP\"}}' "
      "WHERE F_NAME = '店铺资料'");
}

}  // namespace jxc
