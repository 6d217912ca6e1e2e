// The consistency check: a shop where bills moved stock only through audits passes every rule, the sample
// shop's opening stock came in by audited bills, and each kind of damage done to a copy of such a shop on
// purpose is reported by its rule, with examples.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "foundation/UnitPublicUtils.h"
#include "platform/Exceptions.h"
#include "services/SQLiteDBAccess.h"
#include "services/SampleShop.h"
#include "services/StockConsistency.h"
#include "support/DatabaseFiles.h"
#include "support/ShopBills.h"

namespace jxc {
namespace {

using testing::Remove;
using testing::TempPath;

using testing::ExpectConsistent;

// What the stock holds, row by row, without the rows' own identifiers.
std::string StockText(TSQLiteDBAccess& db) {
  std::string text;
  for (const auto& row : db.QueryNative(
           "SELECT F_SHOP_ID, F_LOCATION_ID, F_PRODUCT_ID, F_COLOR_ID, F_CONFIG_ID, F_MODE_NO, F_HAVE_QTY, F_UNIT, F_PRICE, "
           "F_COST_PRICE, F_COST_MONEY, F_PRICE_EMPLOYEE, F_CUSTOMER_ID, F_IN_DATE FROM TB_SYS_STOCK "
           "ORDER BY F_MODE_NO, F_SHOP_ID, F_PRODUCT_ID").Rows) {
    for (const auto& value : row) text += (value.IsNull() ? std::string("<null>") : value.ToString()) + "|";
    text += "\n";
  }
  return text;
}

TEST(DbConsistency, TheSampleShopsOpeningStockCameInByAuditedOpeningBills) {
  const std::string path = TempPath("opening");
  Remove(path);
  {
    TSQLiteDBAccess db(path);
    TSampleShopOptions options;
    options.Units = 50;
    options.Branches = 3;
    const TSampleShop shop = CreateSampleShop(db, options);
    const TConsistencyReport report = CheckStockConsistency(db.Connection());
    ASSERT_EQ(report.Rules.size(), 9u);
    for (const auto& rule : report.Rules) EXPECT_EQ(rule.Line().rfind("[通过] ", 0), 0u) << rule.Line();
    ASSERT_EQ(shop.OpeningBills.size(), 3u);
    EXPECT_EQ(ReadSampleShop(db).OpeningBills, shop.OpeningBills);
    const auto count = [&](const std::string& sql) { return db.QueryNative(sql).Rows.at(0).at(0).AsInt64(); };
    EXPECT_EQ(count("SELECT COUNT(*) FROM TB_IN_STOCK WHERE F_KIND = 17 AND F_STATUS = 2"), 3);
    EXPECT_EQ(count("SELECT COUNT(*) FROM TB_SYS_STOCK s WHERE NOT EXISTS (SELECT 1 FROM TB_IN_STOCK b "
                    "WHERE b.F_ID = s.F_IN_BILL_ID AND b.F_KIND = 17 AND b.F_STATUS = 2)"), 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM TB_JXC_ACCOUNT"), 50 + 3 * 3);
    // The opening bills are bills like any other: un-audited, the shop is empty; audited again, it is as it was.
    const std::string opening = StockText(db);
    for (int64_t bill : shop.OpeningBills) db.AuditBill(2, 17, "", std::to_string(bill));
    EXPECT_EQ(count("SELECT COUNT(*) FROM TB_SYS_STOCK"), 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM TB_SYS_STOCK_JOURNAL") + count("SELECT COUNT(*) FROM TB_JXC_ACCOUNT"), 0);
    for (int64_t bill : shop.OpeningBills) db.AuditBill(1, 17, "", std::to_string(bill));
    ExpectConsistent(db);
    EXPECT_EQ(StockText(db), opening);
  }
  Remove(path);
}

// A shop where every kind of bill moved stock: opening stock, a purchase, a sale, a transfer, a return
// and an exchange with a customer, a bill saved and not audited.
class DbConsistencyDamage : public ::testing::TestWithParam<std::tuple<TConsistencyRuleId, const char*, const char*>> {
 protected:
  static void SetUpTestSuite() {
    shopPath_ = new std::string(TempPath("consistency_shop"));
    Remove(*shopPath_);
    TSQLiteDBAccess db(*shopPath_);
    TSampleShopOptions options;
    options.Units = 20;
    options.Branches = 2;
    const TSampleShop shop = CreateSampleShop(db, options);
    const auto audit = [&](int kind, int64_t bill) { db.AuditBill(1, kind, "", std::to_string(bill)); };
    const int64_t b0 = shop.Branches[0], b1 = shop.Branches[1];
    testing::BillLine accessories = testing::Counted(shop.Accessories[1], 7);
    accessories.Color = shop.Colors[0];
    audit(2, testing::SaveBill(db, "TB_IN_STOCK", 2, b1, {testing::Unit("P0001", shop.Handsets[0]), accessories}));
    const int64_t sale = testing::SaveBill(db, "TB_PF_SALE", 6, b0,
                                           {testing::Unit(SampleSerial(0), shop.Handsets[0]),
                                            testing::Unit(SampleSerial(2), shop.Handsets[2]), accessories});
    audit(6, sale);
    const std::vector<int64_t> sold = testing::BillLines(db, "TB_PF_SALE", sale);
    audit(12, testing::SaveBill(db, "TB_OUT_STOCK", 12, b0, {testing::Unit(SampleSerial(4), shop.Handsets[0])}, b1));
    audit(5, testing::SaveBill(db, "TB_PF_RETURN", 5, b0, {testing::Returned(SampleSerial(0), shop.Handsets[0], sold[0])}));
    audit(10, testing::SaveBill(db, "TB_PRODUCT_CHANGE", 10, b0,
                                {[&] {
                                  testing::BillLine swap = testing::Exchanged(SampleSerial(2), shop.Handsets[2], SampleSerial(6),
                                                                              shop.Handsets[2]);
                                  swap.Source = sold[1];
                                  return swap;
                                }()}));
    unaudited_ = testing::SaveBill(db, "TB_RETAIL_SALE", 7, b0, {testing::Unit(SampleSerial(8), shop.Handsets[0])});
    serial_ = new std::string(SampleSerial(10));
    storeOfOtherShop_ = shop.StoreLocations[1];
    ExpectConsistent(db);
  }
  static void TearDownTestSuite() {
    Remove(*shopPath_);
    delete shopPath_;
    delete serial_;
  }
  void SetUp() override {
    copy_ = TempPath("consistency_copy");
    Remove(copy_);
    TSQLiteDBAccess shop(*shopPath_);
    shop.Connection().ExecScript("VACUUM INTO '" + copy_ + "'");
  }
  void TearDown() override { Remove(copy_); }

  // The damage, with the names it uses filled in.
  static std::string Damage(std::string sql) {
    const auto put = [&](const std::string& name, const std::string& value) {
      for (size_t at = sql.find(name); at != std::string::npos; at = sql.find(name, at + value.size())) sql.replace(at, name.size(), value);
    };
    put("$UNAUDITED", std::to_string(unaudited_));
    put("$SERIAL", "'" + *serial_ + "'");
    put("$OTHER_STORE", std::to_string(storeOfOtherShop_));
    return sql;
  }

  static inline std::string* shopPath_ = nullptr;
  static inline std::string* serial_ = nullptr;
  static inline int64_t unaudited_ = 0;
  static inline int64_t storeOfOtherShop_ = 0;
  std::string copy_;
};

TEST_P(DbConsistencyDamage, IsReportedByItsRule) {
  const auto [rule, name, damage] = GetParam();
  TSQLiteDBAccess db(copy_);
  ExpectConsistent(db);
  db.Connection().ExecScript("PRAGMA foreign_keys = OFF; " + Damage(damage));
  const TConsistencyReport report = CheckStockConsistency(db.Connection());
  const TConsistencyRule& broken = report.Rule(rule);
  EXPECT_FALSE(report.Passed());
  EXPECT_GT(broken.Violations, 0) << damage;
  ASSERT_FALSE(broken.Examples.empty()) << damage;
  EXPECT_EQ(broken.Line().rfind("[违规] " + broken.Name + ": 检查", 0), 0u) << broken.Line();
  EXPECT_NE(broken.Line().find("; 例: " + broken.Examples[0]), std::string::npos) << broken.Line();
}

using R = TConsistencyRuleId;
INSTANTIATE_TEST_SUITE_P(
    OnePerRule, DbConsistencyDamage,
    ::testing::Values(
        std::make_tuple(R::SerialsInStock, "SerialTwiceInStock",
                        "DROP INDEX IX_TB_SYS_STOCK_IN_STOCK; INSERT INTO TB_SYS_STOCK (F_ID, F_SHOP_ID, F_LOCATION_ID, "
                        "F_PRODUCT_ID, F_MODE_NO, F_HAVE_QTY) SELECT 990000001, F_SHOP_ID, F_LOCATION_ID, F_PRODUCT_ID, F_MODE_NO, "
                        "1 FROM TB_SYS_STOCK WHERE F_MODE_NO = $SERIAL"),
        std::make_tuple(R::SerialsInStock, "UnitAtALocationOfAnotherShop", "UPDATE TB_SYS_STOCK SET F_LOCATION_ID = $OTHER_STORE WHERE F_MODE_NO = $SERIAL"),
        std::make_tuple(R::UnitsByAuditedBills, "UnitInByABillNotAudited", "UPDATE TB_SYS_STOCK SET F_IN_BILL_ID = $UNAUDITED WHERE F_MODE_NO = $SERIAL"),
        std::make_tuple(R::UnitsByAuditedBills, "UnitOutByABillNotAudited",
                        "UPDATE TB_SYS_STOCK SET F_OUT_BILL_ID = $UNAUDITED WHERE F_HAVE_QTY = 0 AND F_MODE_NO IS NOT NULL"),
        std::make_tuple(R::StockEqualsJournal, "CountedQuantityBesideTheJournal",
                        "UPDATE TB_SYS_STOCK SET F_HAVE_QTY = F_HAVE_QTY + 1 WHERE F_ID = (SELECT MIN(F_ID) FROM TB_SYS_STOCK "
                        "WHERE F_MODE_NO IS NULL)"),
        std::make_tuple(R::StockEqualsJournal, "UnitCostBesideTheJournal", "UPDATE TB_SYS_STOCK SET F_COST_MONEY = F_COST_MONEY + 0.0001 WHERE F_MODE_NO = $SERIAL"),
        std::make_tuple(R::LedgerEqualsJournal, "LedgerQuantityBesideTheJournal", "UPDATE TB_JXC_ACCOUNT SET F_QTY = 2 WHERE F_MODE_NO = $SERIAL"),
        std::make_tuple(R::LedgerEqualsJournal, "LedgerColourBesideTheStock", "UPDATE TB_JXC_ACCOUNT SET F_COLOR_ID = 0 WHERE F_MODE_NO = $SERIAL"),
        std::make_tuple(R::JournalOfAuditedBills, "JournalOfABillNotAudited",
                        "INSERT INTO TB_SYS_STOCK_JOURNAL (F_BILL_ID, F_KIND, F_STOCK_ROW_ID, F_ACTION, F_QTY) "
                        "SELECT $UNAUDITED, 7, F_ID, 4, 0 FROM TB_SYS_STOCK WHERE F_MODE_NO = $SERIAL"),
        std::make_tuple(R::JournalOfAuditedBills, "AuditedTransferWithoutLedger",
                        "DELETE FROM TB_JXC_ACCOUNT WHERE F_BILL_ID = (SELECT F_ID FROM TB_OUT_STOCK WHERE F_KIND = 12)"),
        std::make_tuple(R::DetailHasHeader, "DetailWithoutHeader", "INSERT INTO TB_PF_SALE_DETAIL (F_ID, F_MID, F_QTY) VALUES (990000002, 990000003, 1)"),
        std::make_tuple(R::UsedQuantities, "UsedQuantityNothingCites", "UPDATE TB_RETAIL_SALE_DETAIL SET F_USE_QTY = 1 WHERE F_MID = $UNAUDITED"),
        std::make_tuple(R::UsedQuantities, "NegativeUsedQuantity", "UPDATE TB_RETAIL_SALE_DETAIL SET F_USE_QTY = -1 WHERE F_MID = $UNAUDITED"),
        std::make_tuple(R::HeaderTotals, "TotalMoneyBesideTheRows", "UPDATE TB_RETAIL_SALE SET F_TOTAL_MONEY = F_TOTAL_MONEY + 0.0001 WHERE F_ID = $UNAUDITED"),
        std::make_tuple(R::HeaderTotals, "TotalQuantityBesideTheRows", "UPDATE TB_RETAIL_SALE SET F_TOTAL_QTY = 0 WHERE F_ID = $UNAUDITED"),
        std::make_tuple(R::UniqueIdentifiers, "IdentifierTwice",
                        "UPDATE TB_RETAIL_SALE_DETAIL SET F_ID = (SELECT MIN(F_ID) FROM TB_SYS_STOCK) WHERE F_MID = $UNAUDITED"),
        std::make_tuple(R::UniqueIdentifiers, "BillCodeTwice",
                        "UPDATE TB_RETAIL_SALE SET F_CODE = (SELECT MIN(F_CODE) FROM TB_IN_STOCK) WHERE F_ID = $UNAUDITED")),
    [](const ::testing::TestParamInfo<DbConsistencyDamage::ParamType>& info) { return std::string(std::get<1>(info.param)); });

}  // namespace
}  // namespace jxc
