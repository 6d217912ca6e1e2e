// The audit procedures on the sample shop: each bill type moves the stock it should, refuses what it must
// without changing anything, and un-audit puts the stock back exactly as it was.
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

namespace jxc {
namespace {

using testing::Remove;
using testing::TempPath;

struct Line {
  std::string ModeNo;      // empty for a counted product
  int64_t Product = 0;
  int Qty = 1;
  std::string NewModeNo;   // exchanges: the unit given in place
  int64_t Source = 0;      // returns: the sale row
  int64_t NewProduct = 0;  // exchanges: the product of the unit given in place (default: Product)
};

class DbAudit : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = TempPath(::testing::UnitTest::GetInstance()->current_test_info()->name());
    Remove(path_);
    db_ = std::make_unique<TSQLiteDBAccess>(path_);
    TSampleShopOptions options;
    options.Units = 40;
    options.Branches = 2;
    shop_ = CreateSampleShop(*db_, options);
    UserInfo->SetName("审核员");
  }
  void TearDown() override {
    db_.reset();
    Remove(path_);
  }

  int64_t Branch(int b) const { return shop_.Branches.at(static_cast<size_t>(b)); }
  int64_t Counter(int b) const { return shop_.CounterLocations.at(static_cast<size_t>(b)); }
  // Opening-stock units lie in branch i % branches as handset i % 4.
  std::string UnitOf(int b, int k) const { return SampleSerial(b + 2 * k); }
  int64_t HandsetOf(int b, int k) const { return shop_.Handsets.at(static_cast<size_t>((b + 2 * k) % 4)); }

  // Writes a bill header and its lines as a bill screen does (one ApplyUpdatesList).
  int64_t SaveBill(const std::string& table, int kind, int64_t shop, const std::vector<Line>& lines, int64_t inShop = 0) {
    const int64_t id = db_->NewID();
    auto head = db_->OpenSQL("SELECT * FROM " + table + " WHERE 1 = 0");
    auto detail = db_->OpenSQL("SELECT * FROM " + table + "_DETAIL WHERE 1 = 0");
    head->Append();
    head->FieldByName("F_ID").SetValue(Variant(static_cast<long long>(id)));
    head->FieldByName("F_CODE").SetValue(Variant("B" + std::to_string(id)));
    head->FieldByName("F_KIND").SetValue(Variant(kind));
    head->FieldByName("F_SHOP_ID").SetValue(Variant(static_cast<long long>(shop)));
    head->FieldByName("F_BILL_DATE").SetValue(Variant("2026-12-07"));
    head->FieldByName("F_STATUS").SetValue(Variant(1));
    if (inShop) head->FieldByName("F_IN_SHOP_ID").SetValue(Variant(static_cast<long long>(inShop)));
    head->Post();
    const int64_t location = shop == Branch(0) ? Counter(0) : shop == Branch(1) ? Counter(1) : 0;
    for (const auto& line : lines) {
      detail->Append();
      detail->FieldByName("F_ID").SetValue(Variant(static_cast<long long>(db_->NewID())));
      detail->FieldByName("F_MID").SetValue(Variant(static_cast<long long>(id)));
      detail->FieldByName("F_PRODUCT_ID").SetValue(Variant(static_cast<long long>(line.Product)));
      detail->FieldByName("F_LOCATION_ID").SetValue(Variant(static_cast<long long>(location)));
      detail->FieldByName("F_QTY").SetValue(Variant(line.Qty));
      detail->FieldByName("F_PRICE").SetValue(Variant(Currency::Parse("1999.5")));
      if (!line.ModeNo.empty()) detail->FieldByName("F_MODE_NO").SetValue(Variant(line.ModeNo));
      if (!line.NewModeNo.empty()) {
        detail->FieldByName("F_NEW_MODE_NO").SetValue(Variant(line.NewModeNo));
        detail->FieldByName("F_NEW_PRODUCT_ID")
            .SetValue(Variant(static_cast<long long>(line.NewProduct ? line.NewProduct : line.Product)));
      }
      if (line.Source) detail->FieldByName("F_SOURCE_ID").SetValue(Variant(static_cast<long long>(line.Source)));
      detail->Post();
    }
    db_->ApplyUpdatesList({head.get(), detail.get()}, {table, table + "_DETAIL"});
    return id;
  }

  void Audit(int op, int kind, int64_t id) { db_->AuditBill(op, kind, "", std::to_string(id)); }

  // The whole stock as text: shop, location, product, serial and quantity of every row holding stock.
  std::string Stock() {
    std::string text;
    for (const auto& row : db_->QueryNative(
             "SELECT F_SHOP_ID, F_LOCATION_ID, F_PRODUCT_ID, IFNULL(F_MODE_NO, ''), F_HAVE_QTY, F_COST_MONEY "
             "FROM TB_SYS_STOCK WHERE F_HAVE_QTY > 0 ORDER BY F_MODE_NO, F_SHOP_ID, F_PRODUCT_ID, F_LOCATION_ID").Rows) {
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
  std::string Refusal(int op, int kind, int64_t id) {
    try {
      Audit(op, kind, id);
    } catch (const EDatabaseError& e) {
      return e.what();
    }
    return "";
  }

  std::string path_;
  std::unique_ptr<TSQLiteDBAccess> db_;
  TSampleShop shop_;
};

TEST_F(DbAudit, AStockInPutsItsUnitsIntoStockAndUnAuditTakesThemOutAgain) {
  const std::string before = Stock();
  auto accessories = [&] {
    return db_->QueryNative("SELECT SUM(F_HAVE_QTY) FROM TB_SYS_STOCK WHERE F_PRODUCT_ID = ?",
                            {Variant(static_cast<long long>(shop_.Accessories[0]))}).Rows[0][0].AsInt64();
  };
  const int64_t accessoriesBefore = accessories();
  const int64_t bill = SaveBill("TB_IN_STOCK", 2, Branch(1),
                                {{"A0001", shop_.Handsets[0]}, {"A0002", shop_.Handsets[1]}, {"", shop_.Accessories[0], 5}});
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
  const int64_t bill = SaveBill("TB_IN_STOCK", 2, Branch(0), {{"N0001", shop_.Handsets[0]}, {UnitOf(1, 0), HandsetOf(1, 0)}});
  const std::string reason = Refusal(1, 2, bill);
  EXPECT_NE(reason.find(UnitOf(1, 0)), std::string::npos) << reason;
  EXPECT_NE(reason.find("已在库存中"), std::string::npos) << reason;
  EXPECT_EQ(Stock(), before);
  EXPECT_EQ(Where("N0001"), "");
  EXPECT_EQ(Status("TB_IN_STOCK", bill), 1);
  // The same serial twice on one bill is refused too.
  const int64_t twice = SaveBill("TB_IN_STOCK", 2, Branch(0), {{"N0002", shop_.Handsets[0]}, {"n0002 ", shop_.Handsets[0]}});
  EXPECT_NE(Refusal(1, 2, twice), "");
  EXPECT_EQ(Stock(), before);
}

TEST_F(DbAudit, StockOutAndSalesTakeUnitsOutAndRefuseUnitsNotInStockOrOfAnotherShop) {
  const std::string before = Stock();
  const int64_t out = SaveBill("TB_OUT_STOCK", 3, Branch(0), {{UnitOf(0, 0), HandsetOf(0, 0)}});
  Audit(1, 3, out);
  EXPECT_EQ(Where(UnitOf(0, 0)), "");
  // Sold units are gone: a retail sale of the same unit is refused, naming it.
  const int64_t sale = SaveBill("TB_RETAIL_SALE", 7, Branch(0), {{UnitOf(0, 1), HandsetOf(0, 1)}, {UnitOf(0, 0), HandsetOf(0, 0)}});
  const std::string afterOut = Stock();
  std::string reason = Refusal(1, 7, sale);
  EXPECT_NE(reason.find("不在库存中"), std::string::npos) << reason;
  EXPECT_NE(reason.find(UnitOf(0, 0)), std::string::npos) << reason;
  EXPECT_EQ(Stock(), afterOut);
  EXPECT_EQ(Where(UnitOf(0, 1)), At(Branch(0), Counter(0)));  // the first line was not half done
  EXPECT_EQ(Status("TB_RETAIL_SALE", sale), 1);
  // A wholesale of another branch's unit.
  const int64_t pf = SaveBill("TB_PF_SALE", 6, Branch(0), {{UnitOf(1, 0), HandsetOf(1, 0)}});
  reason = Refusal(1, 6, pf);
  EXPECT_NE(reason.find("不属于本店铺"), std::string::npos) << reason;
  EXPECT_EQ(Stock(), afterOut);
  // Counted product beyond what is there.
  const int64_t acc = SaveBill("TB_OUT_STOCK", 3, Branch(0), {{"", shop_.Accessories[0], 1000000}});
  EXPECT_NE(Refusal(1, 3, acc).find("库存不足"), std::string::npos);

  Audit(2, 3, out);
  EXPECT_EQ(Stock(), before);
}

TEST_F(DbAudit, ATransferMovesUnitsToTheOtherShopAndBack) {
  const std::string before = Stock();
  const int64_t bill = SaveBill("TB_OUT_STOCK", 12, Branch(0), {{UnitOf(0, 2), HandsetOf(0, 2)}, {UnitOf(0, 3), HandsetOf(0, 3)}},
                                Branch(1));
  Audit(1, 12, bill);
  EXPECT_EQ(Where(UnitOf(0, 2)).rfind(std::to_string(Branch(1)) + "/", 0), 0u) << Where(UnitOf(0, 2));
  EXPECT_EQ(Where(UnitOf(0, 3)).rfind(std::to_string(Branch(1)) + "/", 0), 0u);
  // Once moved on from the receiving shop, the transfer cannot be undone.
  const int64_t sale = SaveBill("TB_RETAIL_SALE", 7, Branch(1), {{UnitOf(0, 2), HandsetOf(0, 2)}});
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
  const int64_t sale = SaveBill("TB_PF_SALE", 6, Branch(0), {{UnitOf(0, 4), HandsetOf(0, 4)}});
  Audit(1, 6, sale);
  const int64_t saleLine = db_->QueryNative("SELECT F_ID FROM TB_PF_SALE_DETAIL WHERE F_MID = ?",
                                            {Variant(static_cast<long long>(sale))}).Rows[0][0].AsInt64();
  const int64_t ret = SaveBill("TB_PF_RETURN", 5, Branch(0), {{UnitOf(0, 4), HandsetOf(0, 4), 1, "", saleLine}});
  Audit(1, 5, ret);
  EXPECT_EQ(Where(UnitOf(0, 4)), At(Branch(0), Counter(0)));
  auto used = [&] {
    return db_->QueryNative("SELECT F_USE_QTY FROM TB_PF_SALE_DETAIL WHERE F_ID = ?", {Variant(static_cast<long long>(saleLine))})
        .Rows[0][0].AsInt64();
  };
  EXPECT_EQ(used(), 1);
  // A second return of the same unit is refused: it is in stock already.
  const int64_t again = SaveBill("TB_PF_RETURN", 5, Branch(0), {{UnitOf(0, 4), HandsetOf(0, 4), 1, "", saleLine}});
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
  const int64_t supplier = SaveBill("TB_PRODUCT_CHANGE", 9, Branch(0), {{UnitOf(0, 5), HandsetOf(0, 5), 1, "X0001"}});
  Audit(1, 9, supplier);
  EXPECT_EQ(Where(UnitOf(0, 5)), "");
  EXPECT_NE(Where("X0001"), "");
  // With a customer: the sold unit comes back, a unit from stock goes out.
  const int64_t sale = SaveBill("TB_RETAIL_SALE", 7, Branch(0), {{UnitOf(0, 6), HandsetOf(0, 6)}});
  Audit(1, 7, sale);
  const int64_t customer = SaveBill("TB_PRODUCT_CHANGE", 10, Branch(0), {{UnitOf(0, 6), HandsetOf(0, 6), 1, UnitOf(0, 7), 0, HandsetOf(0, 7)}});
  Audit(1, 10, customer);
  EXPECT_NE(Where(UnitOf(0, 6)), "");
  EXPECT_EQ(Where(UnitOf(0, 7)), "");
  // Exchanging away a unit that is not in stock is refused and changes nothing.
  const std::string now = Stock();
  const int64_t bad = SaveBill("TB_PRODUCT_CHANGE", 10, Branch(0), {{"Z9999", HandsetOf(0, 6), 1, UnitOf(0, 7), 0, HandsetOf(0, 7)}});
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
  const int64_t in = SaveBill("TB_IN_STOCK", 2, Branch(0), {{"", shop_.Accessories[1], 10}});
  Audit(1, 2, in);
  EXPECT_EQ(qty(), base + 10);
  const std::string afterIn = Stock();
  const int64_t out = SaveBill("TB_OUT_STOCK", 3, Branch(0), {{"", shop_.Accessories[1], 4}});
  Audit(1, 3, out);
  EXPECT_EQ(qty(), base + 6);
  // Taking out all that is left: the stock-in can no longer be undone.
  const int64_t out2 = SaveBill("TB_OUT_STOCK", 3, Branch(0), {{"", shop_.Accessories[1], static_cast<int>(base + 6)}});
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
  const int64_t bill = SaveBill("TB_IN_STOCK", 2, Branch(0), {{"K1", shop_.Handsets[0]}});
  EXPECT_NE(Refusal(1, 3, bill), "");  // an out-stock type for a stock-in id: no such out-stock bill
  EXPECT_NE(Refusal(1, 13, bill), "");  // the bill says kind 2
  EXPECT_EQ(Status("TB_IN_STOCK", bill), 1);
}

}  // namespace
}  // namespace jxc
