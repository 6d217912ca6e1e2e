#include "support/ShopBills.h"

#include "platform/Currency.h"
#include "services/SQLiteDBAccess.h"
#include "services/StockAudit.h"
#include "services/StockConsistency.h"
#include "support/DatabaseFiles.h"

namespace jxc::testing {

namespace {

Variant Id(int64_t id) { return Variant(static_cast<long long>(id)); }

int64_t DefaultLocation(TSQLiteDBAccess& db, int64_t shop) {
  const auto rows = db.QueryNative("SELECT F_ID FROM TB_STOCK_LOCATION WHERE F_SHOP_ID = ? ORDER BY F_DEFAULT DESC, F_ID",
                                   {Id(shop)}).Rows;
  return rows.empty() ? 0 : rows[0][0].AsInt64();
}

}  // namespace

BillLine Unit(const std::string& serial, int64_t product) {
  BillLine line;
  line.ModeNo = serial;
  line.Product = product;
  return line;
}

BillLine Counted(int64_t product, int qty) {
  BillLine line;
  line.Product = product;
  line.Qty = qty;
  return line;
}

BillLine Returned(const std::string& serial, int64_t product, int64_t source) {
  BillLine line = Unit(serial, product);
  line.Source = source;
  return line;
}

BillLine Exchanged(const std::string& serial, int64_t product, const std::string& newSerial, int64_t newProduct) {
  BillLine line = Unit(serial, product);
  line.NewModeNo = newSerial;
  line.NewProduct = newProduct;
  return line;
}

void BillDataSets::Save(TSQLiteDBAccess& db) {
  db.ApplyUpdatesList({Head.get(), Lines.get()}, {Table, Table + "_DETAIL"});
}

BillDataSets NewBill(TSQLiteDBAccess& db, const std::string& table, int kind, int64_t shop,
                     const std::vector<BillLine>& lines, int64_t inShop) {
  const int64_t id = db.NewID();
  BillDataSets bill{table, id, db.OpenSQL("SELECT * FROM " + table + " WHERE 1 = 0"),
                    db.OpenSQL("SELECT * FROM " + table + "_DETAIL WHERE 1 = 0")};
  TClientDataSet* head = bill.Head.get();
  TClientDataSet* detail = bill.Lines.get();
  int64_t totalQty = 0;
  Currency totalMoney;
  for (const auto& line : lines) {
    const int64_t lineID = db.NewID();
    const Currency price = Currency::Parse(line.Price);
    detail->Append();
    detail->FieldByName("F_ID").SetValue(Id(lineID));
    detail->FieldByName("F_MID").SetValue(Id(id));
    detail->FieldByName("F_KIND").SetValue(Variant(kind));
    detail->FieldByName("F_PRODUCT_ID").SetValue(Id(line.Product));
    const int64_t location = line.Location < 0 ? DefaultLocation(db, shop) : line.Location;
    detail->FieldByName("F_LOCATION_ID").SetValue(Id(location));
    if (line.Color) detail->FieldByName("F_COLOR_ID").SetValue(Id(line.Color));
    detail->FieldByName("F_QTY").SetValue(Variant(line.Qty));
    detail->FieldByName("F_PRICE").SetValue(Variant(price));
    detail->FieldByName("F_MONEY").SetValue(Variant(price * line.Qty));
    if (table == "TB_IN_STOCK") detail->FieldByName("F_COST_PRICE").SetValue(Variant(price));  // bought at the price
    if (!line.ModeNo.empty()) detail->FieldByName("F_MODE_NO").SetValue(Variant(line.ModeNo));
    if (!line.NewModeNo.empty()) {
      detail->FieldByName("F_NEW_MODE_NO").SetValue(Variant(line.NewModeNo));
      detail->FieldByName("F_NEW_PRODUCT_ID").SetValue(Id(line.NewProduct ? line.NewProduct : line.Product));
    }
    if (line.Source) detail->FieldByName("F_SOURCE_ID").SetValue(Id(line.Source == kOwnRow ? lineID : line.Source));
    detail->Post();
    totalQty += line.Qty;
    totalMoney += price * line.Qty;
  }
  head->Append();
  head->FieldByName("F_ID").SetValue(Id(id));
  head->FieldByName("F_CODE").SetValue(Variant("B" + std::to_string(id)));
  head->FieldByName("F_KIND").SetValue(Variant(kind));
  head->FieldByName("F_SHOP_ID").SetValue(Id(shop));
  head->FieldByName("F_BILL_DATE").SetValue(Variant("2026-12-07"));
  head->FieldByName("F_STATUS").SetValue(Variant(1));
  if (inShop) head->FieldByName("F_IN_SHOP_ID").SetValue(Id(inShop));
  if (head->FindField("F_TOTAL_QTY")) head->FieldByName("F_TOTAL_QTY").SetValue(Variant(static_cast<long long>(totalQty)));
  head->FieldByName("F_TOTAL_MONEY").SetValue(Variant(totalMoney));
  head->Post();
  return bill;
}

int64_t SaveBill(TSQLiteDBAccess& db, const std::string& table, int kind, int64_t shop,
                 const std::vector<BillLine>& lines, int64_t inShop) {
  BillDataSets bill = NewBill(db, table, kind, shop, lines, inShop);
  bill.Save(db);
  return bill.Id;
}

BillDataSets ReadBill(TSQLiteDBAccess& db, const std::string& table, int64_t id) {
  return {table, id, db.OpenSQL("SELECT * FROM " + table + " WHERE F_ID = " + std::to_string(id)),
          db.OpenSQL("SELECT * FROM " + table + "_DETAIL WHERE F_MID = " + std::to_string(id) + " ORDER BY F_ID")};
}

std::vector<int64_t> BillLines(TSQLiteDBAccess& db, const std::string& table, int64_t bill) {
  std::vector<int64_t> ids;
  for (const auto& row : db.QueryNative("SELECT F_ID FROM " + table + "_DETAIL WHERE F_MID = ? ORDER BY F_ID", {Id(bill)}).Rows)
    ids.push_back(row[0].AsInt64());
  return ids;
}

std::string TablesText(TSQLiteDBAccess& db, const std::vector<std::string>& tables) {
  std::string text;
  for (const auto& table : tables) {
    text += "== " + table + "\n";
    for (const auto& row : db.QueryNative("SELECT * FROM " + table + " ORDER BY rowid").Rows) {
      for (const auto& value : row) text += (value.IsNull() ? std::string("<null>") : value.ToString()) + "|";
      text += "\n";
    }
  }
  return text;
}

std::vector<std::string> StockAndBillTables() {
  std::vector<std::string> tables = {"TB_SYS_STOCK", "TB_SYS_STOCK_JOURNAL", "TB_JXC_ACCOUNT", "TB_SYS_SEQUENCE"};
  for (const auto& kind : BillKinds()) {
    const std::string header = kind.Table;
    bool known = false;
    for (const auto& t : tables) known = known || t == header;
    if (known) continue;
    tables.push_back(header);
    tables.push_back(header + "_DETAIL");
  }
  return tables;
}

void ExpectConsistent(TSQLiteDBAccess& db) {
  const TConsistencyReport report = CheckStockConsistency(db.Connection());
  for (const auto& rule : report.Rules) EXPECT_TRUE(rule.Passed()) << rule.Line();
}

ShopTest::ShopTest(int64_t units, int branches) : units_(units), branches_(branches) {}

void ShopTest::SetUp() {
  path_ = TempPath(::testing::UnitTest::GetInstance()->current_test_info()->name());
  Remove(path_);
  db_ = std::make_unique<TSQLiteDBAccess>(path_);
  TSampleShopOptions options;
  options.Units = units_;
  options.Branches = branches_;
  shop_ = CreateSampleShop(*db_, options);
}

void ShopTest::TearDown() {
  if (db_) ExpectConsistent(*db_);
  db_.reset();
  Remove(path_);
}

}  // namespace jxc::testing
