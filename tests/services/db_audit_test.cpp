// The audit procedures on the sample shop: each bill type moves the stock it should, refuses what it must
// without changing anything, and un-audit puts the stock back exactly as it was. Every scenario ends with
// stock, journal, ledger and bills in agreement (the consistency check).
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "foundation/UnitPublicUtils.h"
#include "services/SQLiteDBAccess.h"
#include "services/SampleShop.h"
#include "platform/Exceptions.h"
#include "support/DatabaseFiles.h"
#include "support/ShopBills.h"

namespace jxc {
namespace {

using testing::BillLine;
using testing::Counted;
using testing::Exchanged;
using testing::kOwnRow;
using testing::Returned;
using testing::Unit;

class DbAudit : public testing::ShopTest {
 protected:
  DbAudit() : ShopTest(40, 2) {}
  void SetUp() override {
    ShopTest::SetUp();
    UserInfo->SetName("审核员");
  }

  int64_t Branch(int b) const { return shop_.Branches.at(static_cast<size_t>(b)); }
  int64_t Counter(int b) const { return shop_.CounterLocations.at(static_cast<size_t>(b)); }
  // Opening-stock units lie in branch i % branches as handset i % 4, colour i % 4.
  std::string UnitOf(int b, int k) const { return SampleSerial(b + 2 * k); }
  int64_t HandsetOf(int b, int k) const { return shop_.Handsets.at(static_cast<size_t>((b + 2 * k) % 4)); }
  int64_t ColorOf(int b, int k) const { return shop_.Colors.at(static_cast<size_t>((b + 2 * k) % 4)); }

  int64_t SaveBill(const std::string& table, int kind, int64_t shop, const std::vector<BillLine>& lines, int64_t inShop = 0) {
    return testing::SaveBill(*db_, table, kind, shop, lines, inShop);
  }
  std::vector<int64_t> Lines(const std::string& table, int64_t bill) { return testing::BillLines(*db_, table, bill); }

  void Audit(int op, int kind, int64_t id) { db_->AuditBill(op, kind, "", std::to_string(id)); }

  // The whole stock as text: shop, location, product, colour, serial, quantity and cost of every row.
  std::string Stock() {
    std::string text;
    for (const auto& row : db_->QueryNative(
             "SELECT F_SHOP_ID, F_LOCATION_ID, F_PRODUCT_ID, F_COLOR_ID, IFNULL(F_MODE_NO, ''), F_HAVE_QTY, F_COST_MONEY, "
             "F_COST_PRICE FROM TB_SYS_STOCK WHERE F_HAVE_QTY > 0 OR F_MODE_NO IS NULL "
             "ORDER BY F_MODE_NO, F_SHOP_ID, F_PRODUCT_ID, F_LOCATION_ID, F_COLOR_ID").Rows) {
      for (const auto& v : row) text += v.ToString() + "|";
      text += "\n";
    }
    return text;
  }
  // Where a unit is in stock ("" when it is not).
  std::string Where(const std::string& serial) {
    auto rows = db_->QueryNative("SELECT F_SHOP_ID, F_LOCATION_ID FROM VI_GetSysStock WHERE F_MODE_NO = ?", {Variant(serial)}).Rows;
    if (rows.empty()) return "";
    return rows[0][0].ToString() + "/" + rows[0][1].ToString();
  }
  std::string At(int64_t shop, int64_t location) { return std::to_string(shop) + "/" + std::to_string(location); }
  int64_t Status(const std::string& table, int64_t id) {
    return db_->QueryNative("SELECT F_STATUS FROM " + table + " WHERE F_ID = ?", {Variant(static_cast<long long>(id))})
        .Rows.at(0).at(0).AsInt64();
  }
  // The rows of a statement as text, one line per row.
  std::string Rows(const std::string& sql, const std::vector<Variant>& parameters = {}) {
    std::string text;
    for (const auto& row : db_->QueryNative(sql, parameters).Rows) {
      for (const auto& v : row) text += (v.IsNull() ? std::string("<null>") : v.ToString()) + "|";
      text += "\n";
    }
    return text;
  }
  int64_t Value(const std::string& sql, const std::vector<Variant>& parameters = {}) {
    return db_->QueryNative(sql, parameters).Rows.at(0).at(0).AsInt64();
  }
  int64_t Used(const std::string& table, int64_t row) {
    return Value("SELECT F_USE_QTY FROM " + table + "_DETAIL WHERE F_ID = ?", {Id(row)});
  }
  // Quantity of the first accessory (colour 0 of the sample) at branch 0.
  int64_t Accessories() {
    return Value("SELECT IFNULL(SUM(F_HAVE_QTY), 0) FROM TB_SYS_STOCK WHERE F_SHOP_ID = ? AND F_PRODUCT_ID = ?",
                 {Id(Branch(0)), Id(shop_.Accessories[0])});
  }
  BillLine Accessory(int qty, int64_t source = 0) {
    BillLine line = Counted(shop_.Accessories[0], qty);
    line.Color = shop_.Colors[0];
    line.Source = source;
    return line;
  }
  static Variant Id(int64_t id) { return Variant(static_cast<long long>(id)); }
  static bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

  std::string Refusal(int op, int kind, int64_t id) {
    try {
      Audit(op, kind, id);
    } catch (const EDatabaseError& e) {
      return e.what();
    }
    return "";
  }

};

TEST_F(DbAudit, AStockInPutsItsUnitsIntoStockAndUnAuditTakesThemOutAgain) {
  const std::string before = Stock();
  auto accessories = [&] {
    return db_->QueryNative("SELECT SUM(F_HAVE_QTY) FROM TB_SYS_STOCK WHERE F_PRODUCT_ID = ?",
                            {Variant(static_cast<long long>(shop_.Accessories[0]))}).Rows[0][0].AsInt64();
  };
  const int64_t accessoriesBefore = accessories();
  const int64_t bill = SaveBill("TB_IN_STOCK", 2, Branch(1),
                                {Unit("A0001", shop_.Handsets[0]), Unit("A0002", shop_.Handsets[1]), Counted(shop_.Accessories[0], 5)});
  Audit(1, 2, bill);
  EXPECT_EQ(Where("A0001"), At(Branch(1), Counter(1)));
  EXPECT_EQ(Where("A0002"), At(Branch(1), Counter(1)));
  EXPECT_EQ(accessories(), accessoriesBefore + 5);
  auto head = db_->OpenSQL("SELECT F_STATUS, F_AUDITOR, F_AUDIT_DATE FROM TB_IN_STOCK WHERE F_ID = " + std::to_string(bill));
  EXPECT_EQ(head->FieldByName("F_STATUS").AsInteger(), 2);
  EXPECT_EQ(head->FieldByName("F_AUDITOR").AsString(), "审核员");
  EXPECT_FALSE(head->FieldByName("F_AUDIT_DATE").IsNull());

  EXPECT_NE(Refusal(1, 2, bill).find("已审核"), std::string::npos);
  Audit(2, 2, bill);
  EXPECT_EQ(Stock(), before);
  head = db_->OpenSQL("SELECT F_STATUS, F_AUDITOR, F_AUDIT_DATE FROM TB_IN_STOCK WHERE F_ID = " + std::to_string(bill));
  EXPECT_EQ(head->FieldByName("F_STATUS").AsInteger(), 1);
  EXPECT_TRUE(head->FieldByName("F_AUDITOR").IsNull() || head->FieldByName("F_AUDITOR").AsString().empty());
  EXPECT_TRUE(head->FieldByName("F_AUDIT_DATE").IsNull());
  EXPECT_NE(Refusal(2, 2, bill).find("未审核"), std::string::npos);
  // The same bill may be audited again after the un-audit.
  Audit(1, 2, bill);
  EXPECT_EQ(Where("A0001"), At(Branch(1), Counter(1)));
}

TEST_F(DbAudit, StockInRefusesAUnitAlreadyInStockAndChangesNothing) {
  const std::string before = Stock();
  const int64_t bill = SaveBill("TB_IN_STOCK", 2, Branch(0), {Unit("N0001", shop_.Handsets[0]), Unit(UnitOf(1, 0), HandsetOf(1, 0))});
  const std::string reason = Refusal(1, 2, bill);
  EXPECT_NE(reason.find(UnitOf(1, 0)), std::string::npos) << reason;
  EXPECT_NE(reason.find("已在库存中"), std::string::npos) << reason;
  EXPECT_EQ(Stock(), before);
  EXPECT_EQ(Where("N0001"), "");
  EXPECT_EQ(Status("TB_IN_STOCK", bill), 1);
  // The same serial twice on one bill is refused too.
  const int64_t twice = SaveBill("TB_IN_STOCK", 2, Branch(0), {Unit("N0002", shop_.Handsets[0]), Unit("n0002 ", shop_.Handsets[0])});
  EXPECT_NE(Refusal(1, 2, twice), "");
  EXPECT_EQ(Stock(), before);
}

TEST_F(DbAudit, StockOutAndSalesTakeUnitsOutAndRefuseUnitsNotInStockOrOfAnotherShop) {
  const std::string before = Stock();
  const int64_t out = SaveBill("TB_OUT_STOCK", 3, Branch(0), {Unit(UnitOf(0, 0), HandsetOf(0, 0))});
  Audit(1, 3, out);
  EXPECT_EQ(Where(UnitOf(0, 0)), "");
  // Sold units are gone: a retail sale of the same unit is refused, naming it.
  const int64_t sale = SaveBill("TB_RETAIL_SALE", 7, Branch(0), {Unit(UnitOf(0, 1), HandsetOf(0, 1)), Unit(UnitOf(0, 0), HandsetOf(0, 0))});
  const std::string afterOut = Stock();
  std::string reason = Refusal(1, 7, sale);
  EXPECT_NE(reason.find("不在库存中"), std::string::npos) << reason;
  EXPECT_NE(reason.find(UnitOf(0, 0)), std::string::npos) << reason;
  EXPECT_EQ(Stock(), afterOut);
  EXPECT_EQ(Where(UnitOf(0, 1)), At(Branch(0), Counter(0)));  // the first line was not half done
  EXPECT_EQ(Status("TB_RETAIL_SALE", sale), 1);
  // A wholesale of another branch's unit.
  const int64_t pf = SaveBill("TB_PF_SALE", 6, Branch(0), {Unit(UnitOf(1, 0), HandsetOf(1, 0))});
  reason = Refusal(1, 6, pf);
  EXPECT_NE(reason.find("不属于本店铺"), std::string::npos) << reason;
  EXPECT_EQ(Stock(), afterOut);
  // Counted product beyond what is there.
  const int64_t acc = SaveBill("TB_OUT_STOCK", 3, Branch(0), {Counted(shop_.Accessories[0], 1000000)});
  EXPECT_NE(Refusal(1, 3, acc).find("库存不足"), std::string::npos);

  Audit(2, 3, out);
  EXPECT_EQ(Stock(), before);
}

TEST_F(DbAudit, ATransferMovesUnitsToTheOtherShopAndBack) {
  const std::string before = Stock();
  const int64_t bill = SaveBill("TB_OUT_STOCK", 12, Branch(0), {Unit(UnitOf(0, 2), HandsetOf(0, 2)), Unit(UnitOf(0, 3), HandsetOf(0, 3))},
                                Branch(1));
  Audit(1, 12, bill);
  EXPECT_EQ(Where(UnitOf(0, 2)).rfind(std::to_string(Branch(1)) + "/", 0), 0u) << Where(UnitOf(0, 2));
  EXPECT_EQ(Where(UnitOf(0, 3)).rfind(std::to_string(Branch(1)) + "/", 0), 0u);
  // Once moved on from the receiving shop, the transfer cannot be undone.
  const int64_t sale = SaveBill("TB_RETAIL_SALE", 7, Branch(1), {Unit(UnitOf(0, 2), HandsetOf(0, 2))});
  Audit(1, 7, sale);
  const std::string moved = Stock();
  EXPECT_NE(Refusal(2, 12, bill), "");
  EXPECT_EQ(Stock(), moved);
  EXPECT_EQ(Status("TB_OUT_STOCK", bill), 2);
  Audit(2, 7, sale);
  Audit(2, 12, bill);
  EXPECT_EQ(Stock(), before);
}

TEST_F(DbAudit, AReturnBringsTheSoldUnitBackAndCountsItOnTheSale) {
  const std::string before = Stock();
  const int64_t sale = SaveBill("TB_PF_SALE", 6, Branch(0), {Unit(UnitOf(0, 4), HandsetOf(0, 4))});
  Audit(1, 6, sale);
  const int64_t saleLine = db_->QueryNative("SELECT F_ID FROM TB_PF_SALE_DETAIL WHERE F_MID = ?",
                                            {Variant(static_cast<long long>(sale))}).Rows[0][0].AsInt64();
  const int64_t ret = SaveBill("TB_PF_RETURN", 5, Branch(0), {Returned(UnitOf(0, 4), HandsetOf(0, 4), saleLine)});
  Audit(1, 5, ret);
  EXPECT_EQ(Where(UnitOf(0, 4)), At(Branch(0), Counter(0)));
  auto used = [&] {
    return db_->QueryNative("SELECT F_USE_QTY FROM TB_PF_SALE_DETAIL WHERE F_ID = ?", {Variant(static_cast<long long>(saleLine))})
        .Rows[0][0].AsInt64();
  };
  EXPECT_EQ(used(), 1);
  // A second return of the same unit is refused: it is in stock already.
  const int64_t again = SaveBill("TB_PF_RETURN", 5, Branch(0), {Returned(UnitOf(0, 4), HandsetOf(0, 4), saleLine)});
  EXPECT_NE(Refusal(1, 5, again).find("已在库存中"), std::string::npos);
  Audit(2, 5, ret);
  EXPECT_EQ(used(), 0);
  EXPECT_EQ(Where(UnitOf(0, 4)), "");
  Audit(2, 6, sale);
  EXPECT_EQ(Stock(), before);
}

TEST_F(DbAudit, ExchangesSwapTheUnitsBothWaysAndUnAuditSwapsThemBack) {
  const std::string before = Stock();
  // With a supplier: our unit goes out, a new one comes in.
  const int64_t supplier = SaveBill("TB_PRODUCT_CHANGE", 9, Branch(0), {Exchanged(UnitOf(0, 5), HandsetOf(0, 5), "X0001", HandsetOf(0, 5))});
  Audit(1, 9, supplier);
  EXPECT_EQ(Where(UnitOf(0, 5)), "");
  EXPECT_NE(Where("X0001"), "");
  // With a customer: the sold unit comes back, a unit from stock goes out.
  const int64_t sale = SaveBill("TB_RETAIL_SALE", 7, Branch(0), {Unit(UnitOf(0, 6), HandsetOf(0, 6))});
  Audit(1, 7, sale);
  const int64_t customer = SaveBill("TB_PRODUCT_CHANGE", 10, Branch(0), {Exchanged(UnitOf(0, 6), HandsetOf(0, 6), UnitOf(0, 7), HandsetOf(0, 7))});
  Audit(1, 10, customer);
  EXPECT_NE(Where(UnitOf(0, 6)), "");
  EXPECT_EQ(Where(UnitOf(0, 7)), "");
  // Exchanging away a unit that is not in stock is refused and changes nothing.
  const std::string now = Stock();
  const int64_t bad = SaveBill("TB_PRODUCT_CHANGE", 10, Branch(0), {Exchanged("Z9999", HandsetOf(0, 6), UnitOf(0, 7), HandsetOf(0, 7))});
  EXPECT_NE(Refusal(1, 10, bad), "");
  EXPECT_EQ(Stock(), now);

  Audit(2, 10, customer);
  Audit(2, 7, sale);
  Audit(2, 9, supplier);
  EXPECT_EQ(Stock(), before);
}

TEST_F(DbAudit, CountedProductsChangeQuantitiesAndUnAuditRestoresThem) {
  // The quantity of the accessory (no colour) at branch 0's counter.
  auto qty = [&] {
    return db_->QueryNative("SELECT IFNULL(SUM(F_HAVE_QTY), 0) FROM TB_SYS_STOCK WHERE F_PRODUCT_ID = ? AND F_SHOP_ID = ? "
                            "AND F_LOCATION_ID = ? AND F_COLOR_ID = 0",
                            {Variant(static_cast<long long>(shop_.Accessories[1])), Variant(static_cast<long long>(Branch(0))),
                             Variant(static_cast<long long>(Counter(0)))}).Rows[0][0].AsInt64();
  };
  const int64_t base = qty();
  const std::string before = Stock();
  const int64_t in = SaveBill("TB_IN_STOCK", 2, Branch(0), {Counted(shop_.Accessories[1], 10)});
  Audit(1, 2, in);
  EXPECT_EQ(qty(), base + 10);
  const std::string afterIn = Stock();
  const int64_t out = SaveBill("TB_OUT_STOCK", 3, Branch(0), {Counted(shop_.Accessories[1], 4)});
  Audit(1, 3, out);
  EXPECT_EQ(qty(), base + 6);
  // Taking out all that is left: the stock-in can no longer be undone.
  const int64_t out2 = SaveBill("TB_OUT_STOCK", 3, Branch(0), {Counted(shop_.Accessories[1], static_cast<int>(base + 6))});
  Audit(1, 3, out2);
  EXPECT_EQ(qty(), 0);
  const std::string empty = Stock();
  EXPECT_NE(Refusal(2, 2, in), "");
  EXPECT_EQ(Stock(), empty);
  Audit(2, 3, out2);
  Audit(2, 3, out);
  EXPECT_EQ(Stock(), afterIn);
  Audit(2, 2, in);
  EXPECT_EQ(qty(), base);
  EXPECT_EQ(Stock(), before);
}

TEST_F(DbAudit, UnAuditGivesACountedRowItsAverageCostBack) {
  auto cost = [&] {
    return db_->QueryNative("SELECT F_HAVE_QTY, F_COST_PRICE, F_COST_MONEY FROM TB_SYS_STOCK WHERE F_PRODUCT_ID = ? AND "
                            "F_SHOP_ID = ? AND F_COLOR_ID = 0",
                            {Variant(static_cast<long long>(shop_.Accessories[2])), Variant(static_cast<long long>(Branch(0)))})
        .Rows.at(0);
  };
  const int64_t first = SaveBill("TB_IN_STOCK", 2, Branch(0), {{"", shop_.Accessories[2], 10}});
  db_->QueryNative("UPDATE TB_IN_STOCK_DETAIL SET F_COST_PRICE = F_PRICE WHERE F_MID = ?", {Variant(static_cast<long long>(first))});
  Audit(1, 2, first);
  const auto before = cost();
  EXPECT_EQ(before[1].AsCurrency(), Currency::Parse("1999.5"));
  const int64_t second = SaveBill("TB_IN_STOCK", 2, Branch(0), {{"", shop_.Accessories[2], 10}});
  db_->QueryNative("UPDATE TB_IN_STOCK_DETAIL SET F_PRICE = 10, F_COST_PRICE = 10 WHERE F_MID = ?", {Variant(static_cast<long long>(second))});
  Audit(1, 2, second);
  EXPECT_EQ(cost()[1].AsCurrency(), Currency::Parse("1004.75"));
  Audit(2, 2, second);
  const auto after = cost();
  EXPECT_EQ(after[0].AsInt64(), 10);
  EXPECT_EQ(after[1].AsCurrency(), before[1].AsCurrency()) << "the average cost goes back with the units";
  EXPECT_EQ(after[2].AsCurrency(), before[2].AsCurrency());
}

TEST_F(DbAudit, UnknownBillsAndTypesAreRefusedWithAReason) {
  EXPECT_NE(Refusal(1, 2, 123456789), "");
  EXPECT_NE(Refusal(1, 99, 1), "");
  EXPECT_THROW(db_->AuditBill(1, 2, "", "not-a-number"), EDatabaseError);
  const int64_t bill = SaveBill("TB_IN_STOCK", 2, Branch(0), {Unit("K1", shop_.Handsets[0])});
  EXPECT_NE(Refusal(1, 3, bill), "");  // an out-stock type for a stock-in id: no such out-stock bill
  EXPECT_NE(Refusal(1, 13, bill), "");  // the bill says kind 2
  EXPECT_EQ(Status("TB_IN_STOCK", bill), 1);
}

TEST_F(DbAudit, ASerialRowOfAnyQuantityButOneIsRefusedNamingTheRowAndTheUnit) {
  const std::string before = Stock();
  for (int qty : {0, -3, 2}) {
    BillLine odd = Unit("Q0002", shop_.Handsets[0]);
    odd.Qty = qty;
    odd.Price = "0";
    const int64_t in = SaveBill("TB_IN_STOCK", 2, Branch(0), {Unit("Q0001", shop_.Handsets[0]), odd});
    const std::string reason = Refusal(1, 2, in);
    EXPECT_TRUE(Has(reason, "第2行串码[Q0002]的数量必须等于1")) << reason;
    EXPECT_EQ(Stock(), before);
    EXPECT_EQ(Status("TB_IN_STOCK", in), 1);
  }
  // Out of stock the same: a unit sold with quantity 0 at money 0 stays where it is.
  BillLine free = Unit(UnitOf(0, 0), HandsetOf(0, 0));
  free.Qty = 0;
  free.Price = "0";
  const std::string reason = Refusal(1, 7, SaveBill("TB_RETAIL_SALE", 7, Branch(0), {free}));
  EXPECT_TRUE(Has(reason, "第1行串码[" + UnitOf(0, 0) + "]的数量必须等于1")) << reason;
  EXPECT_EQ(Stock(), before);
}

TEST_F(DbAudit, ARowWhoseLocationBelongsToAnotherShopOrWhoHasNoneIsRefused) {
  const std::string before = Stock();
  BillLine elsewhere = Unit("L0001", shop_.Handsets[0]);
  elsewhere.Location = Counter(1);
  std::string reason = Refusal(1, 2, SaveBill("TB_IN_STOCK", 2, Branch(0), {elsewhere}));
  EXPECT_TRUE(Has(reason, "第1行串码[L0001]的库位不属于本单店铺")) << reason;
  BillLine sold = Unit(UnitOf(0, 1), HandsetOf(0, 1));
  sold.Location = shop_.StoreLocations[1];
  reason = Refusal(1, 6, SaveBill("TB_PF_SALE", 6, Branch(0), {sold}));
  EXPECT_TRUE(Has(reason, "第1行串码[" + UnitOf(0, 1) + "]的库位不属于本单店铺")) << reason;
  BillLine counted = Accessory(1);
  counted.Location = Counter(1);
  reason = Refusal(1, 3, SaveBill("TB_OUT_STOCK", 3, Branch(0), {counted}));
  EXPECT_TRUE(Has(reason, "第1行商品[手机保护壳]的库位不属于本单店铺")) << reason;
  BillLine nowhere = Unit("L0002", shop_.Handsets[0]);
  nowhere.Location = 0;
  reason = Refusal(1, 2, SaveBill("TB_IN_STOCK", 2, Branch(0), {Unit("L0003", shop_.Handsets[0]), nowhere}));
  EXPECT_TRUE(Has(reason, "第2行串码[L0002]没有库位")) << reason;
  EXPECT_EQ(Stock(), before);
}

TEST_F(DbAudit, ABillWithoutLinesIsRefused) {
  for (const auto& [table, kind] : std::vector<std::pair<std::string, int>>{{"TB_IN_STOCK", 2}, {"TB_RETAIL_SALE", 7}, {"TB_ORDER", 1}}) {
    const int64_t bill = SaveBill(table, kind, Branch(0), {});
    const std::string reason = Refusal(1, kind, bill);
    EXPECT_TRUE(Has(reason, "单据[B" + std::to_string(bill) + "]没有明细")) << table << ": " << reason;
    EXPECT_EQ(Status(table, bill), 1);
  }
}

TEST_F(DbAudit, ASaleWritesTheCostInDateAndStockRowOfWhatLeftIntoItsRowsAndUnAuditRestoresThem) {
  const int64_t sale = SaveBill("TB_RETAIL_SALE", 7, Branch(0), {Unit(UnitOf(0, 1), HandsetOf(0, 1)), Accessory(4)});
  // What the sale screen copied from stock before saving stays the row's own until the audit.
  db_->ExecSQL("UPDATE TB_RETAIL_SALE_DETAIL SET F_IN_DATE = '2026-01-02' WHERE F_MID = " + std::to_string(sale));
  const std::string lines = "SELECT F_COST_PRICE, F_IN_DATE, F_STOCK_ID FROM TB_RETAIL_SALE_DETAIL WHERE F_MID = ? ORDER BY F_ID";
  const std::string saved = Rows(lines, {Id(sale)});
  const std::string unit = Rows("SELECT F_COST_PRICE, F_IN_DATE, F_ID FROM TB_SYS_STOCK WHERE F_MODE_NO = ?", {Variant(UnitOf(0, 1))});
  const std::string counted = Rows(
      "SELECT 10.0 AS F_COST_PRICE, F_IN_DATE, F_ID FROM TB_SYS_STOCK WHERE F_SHOP_ID = ? AND F_PRODUCT_ID = ? AND F_MODE_NO IS NULL",
      {Id(Branch(0)), Id(shop_.Accessories[0])});
  Audit(1, 7, sale);
  EXPECT_EQ(Rows(lines, {Id(sale)}), unit + counted);
  // The return screens read them back from the sales they may take back.
  EXPECT_EQ(Rows("SELECT F_COST_PRICE, F_IN_DATE, F_STOCK_ID FROM VI_GetRetailSaleDetail2 WHERE F_MODE_NO = ?",
                 {Variant(UnitOf(0, 1))}), unit);
  Audit(2, 7, sale);
  EXPECT_EQ(Rows(lines, {Id(sale)}), saved);
}

TEST_F(DbAudit, AReturnOfMoreThanTheSaleRowStillHasIsRefusedAndNothingMoves) {
  EXPECT_EQ(Accessories(), 100);
  const int64_t sale = SaveBill("TB_PF_SALE", 6, Branch(0), {Accessory(2)});
  Audit(1, 6, sale);
  const int64_t saleLine = Lines("TB_PF_SALE", sale).at(0);
  const std::string sold = Stock();
  std::string reason = Refusal(1, 5, SaveBill("TB_PF_RETURN", 5, Branch(0), {Accessory(5, saleLine)}));
  EXPECT_TRUE(Has(reason, "第1行商品[手机保护壳]退回数量(5)超过来源销售记录的可退数量(2)")) << reason;
  EXPECT_EQ(Stock(), sold);
  EXPECT_EQ(Accessories(), 98);
  EXPECT_EQ(Used("TB_PF_SALE", saleLine), 0);
  // Two rows of one return may not take back more than the sale row has either.
  reason = Refusal(1, 5, SaveBill("TB_PF_RETURN", 5, Branch(0), {Accessory(1, saleLine), Accessory(2, saleLine)}));
  EXPECT_TRUE(Has(reason, "第2行商品[手机保护壳]退回数量(2)超过来源销售记录的可退数量(1)")) << reason;
  const int64_t back = SaveBill("TB_PF_RETURN", 5, Branch(0), {Accessory(2, saleLine)});
  Audit(1, 5, back);
  EXPECT_EQ(Accessories(), 100);
  EXPECT_EQ(Used("TB_PF_SALE", saleLine), 2);
  EXPECT_TRUE(Has(Refusal(1, 5, SaveBill("TB_PF_RETURN", 5, Branch(0), {Accessory(1, saleLine)})), "可退数量(0)"));

  // A unit sold, returned and sold again can be taken back once more only against the second sale.
  const int64_t first = SaveBill("TB_RETAIL_SALE", 7, Branch(0), {Unit(UnitOf(0, 2), HandsetOf(0, 2))});
  Audit(1, 7, first);
  const int64_t firstLine = Lines("TB_RETAIL_SALE", first).at(0);
  Audit(1, 8, SaveBill("TB_PF_RETURN", 8, Branch(0), {Returned(UnitOf(0, 2), HandsetOf(0, 2), firstLine)}));
  const int64_t second = SaveBill("TB_RETAIL_SALE", 7, Branch(0), {Unit(UnitOf(0, 2), HandsetOf(0, 2))});
  Audit(1, 7, second);
  const std::string resold = Stock();
  reason = Refusal(1, 8, SaveBill("TB_PF_RETURN", 8, Branch(0), {Returned(UnitOf(0, 2), HandsetOf(0, 2), firstLine)}));
  EXPECT_TRUE(Has(reason, "第1行串码[" + UnitOf(0, 2) + "]退回数量(1)超过来源销售记录的可退数量(0)")) << reason;
  EXPECT_EQ(Stock(), resold);
  EXPECT_EQ(Used("TB_RETAIL_SALE", firstLine), 1);
  const int64_t secondLine = Lines("TB_RETAIL_SALE", second).at(0);
  Audit(1, 8, SaveBill("TB_PF_RETURN", 8, Branch(0), {Returned(UnitOf(0, 2), HandsetOf(0, 2), secondLine)}));
  EXPECT_EQ(Where(UnitOf(0, 2)), At(Branch(0), Counter(0)));
}

TEST_F(DbAudit, AReturnTakesBackOnlyWhatTheSameShopSoldAsTheSaleSaysIt) {
  const int64_t sale = SaveBill("TB_RETAIL_SALE", 7, Branch(0), {Unit(UnitOf(0, 3), HandsetOf(0, 3))});
  Audit(1, 7, sale);
  const int64_t line = Lines("TB_RETAIL_SALE", sale).at(0);
  const std::string sold = Stock();
  // Another shop may not take it back against this sale.
  std::string reason = Refusal(1, 8, SaveBill("TB_PF_RETURN", 8, Branch(1), {Returned(UnitOf(0, 3), HandsetOf(0, 3), line)}));
  EXPECT_TRUE(Has(reason, "第1行串码[" + UnitOf(0, 3) + "]不是本店铺销售的")) << reason;
  // Another unit may not come back against it.
  reason = Refusal(1, 8, SaveBill("TB_PF_RETURN", 8, Branch(0), {Returned("R0001", HandsetOf(0, 3), line)}));
  EXPECT_TRUE(Has(reason, "第1行串码[R0001]与来源销售记录的串码[" + UnitOf(0, 3) + "]不符")) << reason;
  // A wholesale return does not take back a retail sale; a row that is no sale at all is no source.
  reason = Refusal(1, 5, SaveBill("TB_PF_RETURN", 5, Branch(0), {Returned(UnitOf(0, 3), HandsetOf(0, 3), line)}));
  EXPECT_TRUE(Has(reason, "的来源销售记录不存在")) << reason;
  reason = Refusal(1, 8, SaveBill("TB_PF_RETURN", 8, Branch(0), {Returned(UnitOf(0, 3), HandsetOf(0, 3), shop_.OpeningBills.at(0))}));
  EXPECT_TRUE(Has(reason, "的来源销售记录不存在")) << reason;
  EXPECT_EQ(Stock(), sold);
  EXPECT_EQ(Used("TB_RETAIL_SALE", line), 0);
}

TEST_F(DbAudit, ASaleCannotBeUnAuditedWhileAnAuditedReturnCitesIt) {
  const std::string before = Stock();
  const int64_t sale = SaveBill("TB_PF_SALE", 6, Branch(0), {Accessory(2), Unit(UnitOf(0, 4), HandsetOf(0, 4))});
  Audit(1, 6, sale);
  const std::vector<int64_t> lines = Lines("TB_PF_SALE", sale);
  const int64_t back = SaveBill("TB_PF_RETURN", 5, Branch(0), {Accessory(2, lines[0])});
  Audit(1, 5, back);
  EXPECT_EQ(Accessories(), 100);
  const std::string returned = Stock();
  std::string reason = Refusal(2, 6, sale);
  EXPECT_TRUE(Has(reason, "第1行商品[手机保护壳]已被后续单据使用(已用数量2)")) << reason;
  EXPECT_EQ(Stock(), returned);
  EXPECT_EQ(Status("TB_PF_SALE", sale), 2);
  // The unit of the second row the same.
  const int64_t unitBack = SaveBill("TB_PF_RETURN", 5, Branch(0), {Returned(UnitOf(0, 4), HandsetOf(0, 4), lines[1])});
  Audit(1, 5, unitBack);
  Audit(2, 5, back);
  reason = Refusal(2, 6, sale);
  EXPECT_TRUE(Has(reason, "第2行串码[" + UnitOf(0, 4) + "]已被后续单据使用(已用数量1)")) << reason;
  // Un-audited in reverse, everything is as it was.
  Audit(2, 5, unitBack);
  Audit(2, 6, sale);
  EXPECT_EQ(Stock(), before);
}

TEST_F(DbAudit, AnExchangeRowCitingItselfHasNoSourceAndTheUnitItGaveOutStaysReturnable) {
  const std::string before = Stock();
  const int64_t sale = SaveBill("TB_RETAIL_SALE", 7, Branch(0), {Unit(UnitOf(0, 3), HandsetOf(0, 3))});
  Audit(1, 7, sale);
  BillLine swap = Exchanged(UnitOf(0, 3), HandsetOf(0, 3), UnitOf(0, 5), HandsetOf(0, 5));
  swap.Source = kOwnRow;  // as the exchange screen fills an empty source
  const int64_t exchange = SaveBill("TB_PRODUCT_CHANGE", 11, Branch(0), {swap});
  Audit(1, 11, exchange);
  const int64_t row = Lines("TB_PRODUCT_CHANGE", exchange).at(0);
  EXPECT_EQ(Used("TB_PRODUCT_CHANGE", row), 0);
  const std::string returnable = "SELECT COUNT(*) FROM VI_GetRetailSaleDetail2 WHERE F_MODE_NO = ?";
  EXPECT_EQ(Value(returnable, {Variant(UnitOf(0, 5))}), 1);
  // The unit taken back moving on again leaves the exchange's row alone: it counts returns of the unit it gave out.
  const int64_t resale = SaveBill("TB_RETAIL_SALE", 7, Branch(0), {Unit(UnitOf(0, 3), HandsetOf(0, 3))});
  Audit(1, 7, resale);
  EXPECT_EQ(Used("TB_PRODUCT_CHANGE", row), 0);
  const int64_t back = SaveBill("TB_PF_RETURN", 8, Branch(0), {Returned(UnitOf(0, 5), HandsetOf(0, 5), row)});
  Audit(1, 8, back);
  EXPECT_EQ(Where(UnitOf(0, 5)), At(Branch(0), Counter(0)));
  EXPECT_EQ(Used("TB_PRODUCT_CHANGE", row), 1);
  EXPECT_EQ(Value(returnable, {Variant(UnitOf(0, 5))}), 0);
  Audit(2, 8, back);
  Audit(2, 7, resale);
  Audit(2, 11, exchange);
  Audit(2, 7, sale);
  EXPECT_EQ(Stock(), before);
}

TEST_F(DbAudit, UnAuditOfACountedStockInRestoresTheCostPrice) {
  const std::string row = "SELECT F_HAVE_QTY, F_COST_MONEY, F_COST_PRICE FROM TB_SYS_STOCK WHERE F_SHOP_ID = ? AND F_PRODUCT_ID = ? "
                          "AND F_MODE_NO IS NULL";
  const std::vector<Variant> key = {Id(Branch(0)), Id(shop_.Accessories[0])};
  const std::string before = Rows(row, key);
  EXPECT_EQ(before, "100|1000|10|\n");
  const int64_t in = SaveBill("TB_IN_STOCK", 2, Branch(0), {Accessory(10)});  // at 1999.5
  Audit(1, 2, in);
  EXPECT_EQ(Rows(row, key), "110|20995|190.8636|\n");
  Audit(2, 2, in);
  EXPECT_EQ(Rows(row, key), before);
  // Goods of the stock-in sold since keep it: they are used, as a unit that moved on is.
  Audit(1, 2, in);
  const int64_t sale = SaveBill("TB_RETAIL_SALE", 7, Branch(0), {Accessory(5)});
  Audit(1, 7, sale);
  const std::string reason = Refusal(2, 2, in);
  EXPECT_TRUE(Has(reason, "商品[手机保护壳]已被后续单据[B" + std::to_string(sale) + "]出库")) << reason;
  Audit(2, 7, sale);
  // A later stock-in leaves it free; the cost price is then what the remaining money and quantity make.
  const int64_t more = SaveBill("TB_IN_STOCK", 2, Branch(0), {Accessory(10)});
  Audit(1, 2, more);
  Audit(2, 2, in);
  EXPECT_EQ(Rows(row, key), "110|20995|190.8636|\n");
  Audit(2, 2, more);
  EXPECT_EQ(Rows(row, key), before);
}

TEST_F(DbAudit, AMovedUnitKeepsItsOwnColourConfigurationAndCost) {
  const std::string unit = UnitOf(0, 1);
  const std::string own = "SELECT F_PRODUCT_ID, F_COLOR_ID, F_CONFIG_ID, F_COST_PRICE, F_CUSTOMER_ID, F_IN_DATE FROM TB_SYS_STOCK "
                          "WHERE F_MODE_NO = ? ORDER BY F_ID DESC LIMIT 1";
  const std::string opening = Rows(own, {Variant(unit)});
  ASSERT_TRUE(Has(opening, "|" + std::to_string(ColorOf(0, 1)) + "|")) << opening;
  // A transfer row without colour re-creates the unit at the other shop as it was.
  const int64_t transfer = SaveBill("TB_OUT_STOCK", 12, Branch(0), {Unit(unit, HandsetOf(0, 1))}, Branch(1));
  Audit(1, 12, transfer);
  EXPECT_EQ(Where(unit), At(Branch(1), Counter(1)));
  EXPECT_EQ(Rows(own, {Variant(unit)}), opening);
  EXPECT_EQ(Rows("SELECT F_COLOR_ID FROM TB_JXC_ACCOUNT WHERE F_BILL_ID = ? ORDER BY F_QTY", {Id(transfer)}),
            std::to_string(ColorOf(0, 1)) + "|\n" + std::to_string(ColorOf(0, 1)) + "|\n");
  // Sold and taken back without colour, it comes back as it left.
  const int64_t sale = SaveBill("TB_PF_SALE", 6, Branch(1), {Unit(unit, HandsetOf(0, 1))});
  Audit(1, 6, sale);
  Audit(1, 5, SaveBill("TB_PF_RETURN", 5, Branch(1), {Returned(unit, HandsetOf(0, 1), Lines("TB_PF_SALE", sale).at(0))}));
  EXPECT_EQ(Rows(own, {Variant(unit)}), opening);
}

TEST_F(DbAudit, AnAuditCallRunsInTheAuditsTransaction) {
  // A procedure that writes and then fails leaves nothing behind.
  db_->RegisterProcedure("PROC_AUDIT_FAILS", [](TSQLiteDBAccess& db, const std::vector<std::string>& arguments) {
    db.ExecSQL("UPDATE TB_ORDER SET F_REMARK = '审核中' WHERE F_ID = " + arguments.at(0));
    throw EDatabaseError("审核过程失败");
    return TDataPacket();
  });
  // One that succeeds may mark the bill audited: its writes are the audit's own.
  db_->RegisterProcedure("PROC_AUDIT_ORDER", [](TSQLiteDBAccess& db, const std::vector<std::string>& arguments) {
    db.ExecSQL("UPDATE TB_ORDER SET F_STATUS = CASE WHEN " + arguments.at(1) + " = 1 THEN 2 ELSE 1 END WHERE F_ID = " +
               arguments.at(0));
    return TDataPacket();
  });
  const int64_t order = SaveBill("TB_ORDER", 1, Branch(0), {Accessory(3)});
  EXPECT_THROW(db_->AuditBill(1, 1, "PROC_AUDIT_FAILS", std::to_string(order)), EDatabaseError);
  EXPECT_EQ(Rows("SELECT F_REMARK FROM TB_ORDER WHERE F_ID = ?", {Id(order)}), "<null>|\n");
  EXPECT_TRUE(db_->AuditBill(1, 1, "PROC_AUDIT_ORDER", std::to_string(order)));
  EXPECT_EQ(Status("TB_ORDER", order), 2);
  EXPECT_TRUE(db_->AuditBill(2, 1, "PROC_AUDIT_ORDER", std::to_string(order)));
  EXPECT_EQ(Status("TB_ORDER", order), 1);
}

}  // namespace
}  // namespace jxc
