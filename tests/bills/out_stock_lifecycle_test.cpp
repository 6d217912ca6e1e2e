// Stock-out bills from the scan to the stock: the save's checks and totals, the amount confirmation, the
// audit taking exactly the scanned units out (and the un-audit bringing them back), two screens selling
// the same unit, and a transfer whose units arrive at the receiving shop.
#include <gtest/gtest.h>

#include "OutStockTestSupport.h"
#include "services/SQLiteConnection.h"

namespace jxc {
namespace {

using testing::OutStockTest;
using testing::TRow;

TEST_F(OutStockTest, ASerialRowIsSavedOnlyWithItsNumberAndOneUnit) {
  auto* screen = OpenOut();
  EnterRows(*screen, {{Handset(0), "", "100"}});
  ExpectRefused(*screen, screen->actBeforeSave, TDialogKind::Error, "第1行手机串号/卡号不能为空");

  auto* cards = OpenOut();
  // A card is serial-numbered but its quantity is typed: 0 and 2 are refused alike.
  EnterRows(*cards, {{shop.Accessories[0], "", "15", 2}, {shop.Card, NewSerial(1), "30", 0}});
  ExpectRefused(*cards, cards->actBeforeSave, TDialogKind::Error, "第2行商品数量必须等于1");
  ASSERT_TRUE(TypeCell(*cards, "F_QTY", "2"));
  ExpectRefused(*cards, cards->actBeforeSave, TDialogKind::Error, "第2行商品数量必须等于1");
  ASSERT_TRUE(TypeCell(*cards, "F_QTY", "1"));
  Click(*cards, cards->actBeforeSave);
  EXPECT_EQ(cards->cdsMain->ChangeCount(), 0) << JoinStrings(dialog->Texts(TDialogKind::Error), "|");
  EXPECT_EQ(Lines("SELECT F_QTY, F_SOURCE_ID = F_ID, F_PRESENT FROM TB_PF_SALE_DETAIL ORDER BY F_ID"),
            (std::vector<std::string>{"2|1|0|", "1|1|0|"}))
      << "a counted product takes any quantity; each row is its own source";
}

TEST_F(OutStockTest, AGiftCountsInTheQuantityButNotInTheMoneyAndTheTotalIsConfirmed) {
  SetParam(kSpConfirmBillAmount, Variant(true));
  auto* screen = OpenOut();
  Scan(*screen, UnitOf(0, 0));
  EnterRows(*screen, {{shop.Accessories[0], "", "15", 2}, {shop.Accessories[1], "", "8", 1}});
  ASSERT_TRUE(TypeCell(*screen, "F_PRESENT", "1"));
  dialog->QueueAnswer(false);
  ExpectRefused(*screen, screen->actBeforeSave, TDialogKind::Confirm, "本单总额为6229元, 平均单价 1557.25元,确定吗？");
  EXPECT_EQ(dialog->Count(TDialogKind::Error) + dialog->Count(TDialogKind::Info), 0) << "declined without a word";

  dialog->QueueAnswer(true);
  Click(*screen, screen->actBeforeSave);
  ASSERT_EQ(screen->cdsMain->ChangeCount(), 0) << JoinStrings(dialog->Texts(TDialogKind::Error), "|");
  const std::string id = screen->cdsMain->FieldByName("F_ID").AsString();
  EXPECT_EQ(Lines("SELECT F_TOTAL_QTY, F_TOTAL_MONEY FROM TB_PF_SALE WHERE F_ID = " + id), std::vector<std::string>{"4|6229|"});
  EXPECT_EQ(Lines("SELECT F_PRESENT, F_MONEY FROM TB_PF_SALE_DETAIL WHERE F_MID = " + id + " ORDER BY F_ID"),
            (std::vector<std::string>{"0|6199|", "0|30|", "1|0|"}));
}

TEST_F(OutStockTest, ABillWithoutQuantityIsConfirmedWithoutAnAverage) {
  SetParam(kSpConfirmBillAmount, Variant(true));
  auto* screen = OpenOut();
  EnterRows(*screen, {{shop.Accessories[0], "", "15", 0}});
  dialog->QueueAnswer(false);
  ExpectRefused(*screen, screen->actBeforeSave, TDialogKind::Confirm, "本单总额为0元,确定吗？");
}

TEST_F(OutStockTest, AFailedWriteGivesTheRowsBackAsTheyWere) {
  auto* screen = OpenOut();
  Scan(*screen, UnitOf(0, 0));
  EnterRows(*screen, {{shop.Accessories[0], "", "15", 2}});
  ASSERT_TRUE(TypeCell(*screen, "F_LOCATION_ID", "0"));
  db->Connection().ExecScript(
      "CREATE TRIGGER full_disk BEFORE INSERT ON TB_PF_SALE_DETAIL BEGIN SELECT RAISE(ABORT, '磁盘已满'); END;");
  screen->CdsDetail->CheckBrowseMode();
  const std::string before = Screen(*screen);
  const std::vector<std::string> bills = OutBills();
  dialog->Clear();
  Click(*screen, screen->actBeforeSave);
  ASSERT_EQ(dialog->Count(TDialogKind::Error), 1);
  EXPECT_NE(dialog->Texts(TDialogKind::Error).front().find("磁盘已满"), std::string::npos);
  EXPECT_EQ(Screen(*screen), before) << "source, gift flag, money and location as they were";
  EXPECT_EQ(OutBills(), bills);

  db->Connection().ExecScript("DROP TRIGGER full_disk;");
  Click(*screen, screen->actBeforeSave);
  EXPECT_EQ(screen->cdsMain->ChangeCount(), 0);
  EXPECT_EQ(Lines("SELECT F_LOCATION_ID FROM TB_PF_SALE_DETAIL WHERE F_MODE_NO IS NULL"),
            std::vector<std::string>{std::to_string(Counter(0)) + "|"})
      << "a counted row without a place lies at the shop's counter";
}

TEST_F(OutStockTest, TheAuditTakesOutExactlyTheScannedUnitsAndTheUnAuditBringsThemBack) {
  auto* screen = OpenOut();
  const std::vector<std::string> units = {UnitOf(0, 0), UnitOf(0, 1), UnitOf(0, 2)};
  for (const std::string& unit : units) Scan(*screen, unit);
  Click(*screen, screen->actBeforeSave);
  ASSERT_EQ(screen->cdsMain->ChangeCount(), 0) << JoinStrings(dialog->Texts(TDialogKind::Error), "|");
  const std::string id = screen->cdsMain->FieldByName("F_ID").AsString();
  const std::vector<std::string> before = Stock();
  Click(*screen, screen->actAudit);
  ASSERT_EQ(screen->cdsMain->FieldByName("F_STATUS").AsInteger(), 2) << JoinStrings(dialog->Texts(TDialogKind::Error), "|");

  // Row by row: the scanned units are out, sold by this bill; nothing else moved.
  const std::vector<std::string> after = Stock();
  ASSERT_EQ(after.size(), before.size());
  int changed = 0;
  for (size_t i = 0; i < before.size(); ++i) {
    if (before[i] == after[i]) continue;
    ++changed;
    bool scanned = false;
    for (const std::string& unit : units) scanned = scanned || before[i].find("|" + unit + "|1|") != std::string::npos;
    EXPECT_TRUE(scanned) << before[i];
    EXPECT_NE(after[i].find("|0|"), std::string::npos) << after[i];
    EXPECT_EQ(after[i].substr(after[i].size() - id.size() - 1), id + "|") << "sold by this bill";
  }
  EXPECT_EQ(changed, 3);
  EXPECT_EQ(Inconsistencies(), "");

  Click(*screen, screen->actUnAudit);
  EXPECT_EQ(Stock(), before) << "every unit back as it was";
  EXPECT_EQ(Inconsistencies(), "");
  dialog->QueueAnswer(true);  // "确定删除[...]吗?"
  Click(*screen, screen->actDelete);
  EXPECT_EQ(Lines("SELECT COUNT(*) FROM TB_PF_SALE_DETAIL WHERE F_MID = " + id), std::vector<std::string>{"0|"});
  EXPECT_EQ(Stock(), before) << "a bill deleted unaudited moved nothing";
}

TEST_F(OutStockTest, TwoScreensSellingTheSameUnitSellItOnce) {
  auto* first = OpenOut();
  auto* second = OpenOut();
  Scan(*first, UnitOf(0, 0));
  Scan(*second, UnitOf(0, 0));
  Scan(*second, UnitOf(0, 1));
  for (auto* screen : {first, second}) {
    Click(*screen, screen->actBeforeSave);
    ASSERT_EQ(screen->cdsMain->ChangeCount(), 0) << JoinStrings(dialog->Texts(TDialogKind::Error), "|");
  }
  Click(*first, first->actAudit);
  ASSERT_EQ(first->cdsMain->FieldByName("F_STATUS").AsInteger(), 2);

  const std::vector<std::string> stock = Stock();
  const std::vector<std::string> bills = OutBills();
  dialog->Clear();
  Click(*second, second->actAudit);
  ASSERT_EQ(dialog->Count(TDialogKind::Error), 1);
  EXPECT_NE(dialog->Texts(TDialogKind::Error).front().find("不在库存中"), std::string::npos)
      << dialog->Texts(TDialogKind::Error).front();
  EXPECT_EQ(second->cdsMain->FieldByName("F_STATUS").AsInteger(), 1);
  EXPECT_EQ(Stock(), stock) << "not even the unit still in stock moved";
  std::vector<std::string> logged = OutBills();
  EXPECT_EQ(std::vector<std::string>(logged.begin(), logged.begin() + static_cast<long>(bills.size()) - 1),
            std::vector<std::string>(bills.begin(), bills.end() - 1))
      << "the bills as they were (the audit attempt is logged)";
  EXPECT_EQ(Inconsistencies(), "");
}

TEST_F(OutStockTest, ATransferMovesItsUnitsToTheReceivingShopsCounter) {
  auto* screen = OpenOut(testing::kMoveOut);
  ASSERT_TRUE(TypeHeader(*screen, "F_IN_SHOP_ID", std::to_string(Branch(1))));
  const int64_t calls = db->CallCount();
  Scan(*screen, UnitOf(0, 0));
  EXPECT_LE(db->CallCount() - calls, 2) << "the stock look-up and the rows' identifiers: a transfer asks no price";
  Scan(*screen, UnitOf(0, 1));
  EXPECT_EQ(Rows(*screen), (std::vector<std::string>{Row(UnitOf(0, 0), Handset(0), "0"), Row(UnitOf(0, 1), Handset(2), "0")}));
  dialog->QueueAnswer(true);  // "单价为 0": a transfer carries no price
  Click(*screen, screen->actBeforeSave);
  ASSERT_EQ(screen->cdsMain->ChangeCount(), 0) << JoinStrings(dialog->Texts(TDialogKind::Error), "|");
  EXPECT_EQ(Lines("SELECT COUNT(*) FROM TB_OUT_STOCK_DETAIL"), std::vector<std::string>{"2|"});
  Click(*screen, screen->actAudit);
  ASSERT_EQ(screen->cdsMain->FieldByName("F_STATUS").AsInteger(), 2) << JoinStrings(dialog->Texts(TDialogKind::Error), "|");
  for (const std::string& unit : {UnitOf(0, 0), UnitOf(0, 1)}) {
    EXPECT_EQ(Lines("SELECT F_SHOP_ID, F_LOCATION_ID FROM TB_SYS_STOCK WHERE F_MODE_NO = '" + unit + "' AND F_HAVE_QTY = 1"),
              std::vector<std::string>{std::to_string(Branch(1)) + "|" + std::to_string(Counter(1)) + "|"})
        << unit;
  }
  EXPECT_EQ(Inconsistencies(), "");

  // The receiving shop sells them now; the sending shop no longer can.
  auto* sale = OpenOut();
  dialog->Clear();
  Scan(*sale, UnitOf(0, 0));
  EXPECT_EQ(dialog->Texts(TDialogKind::Info), std::vector<std::string>{"手机串号/卡号[" + UnitOf(0, 0) + "]不属于此店铺"});
}

}  // namespace
}  // namespace jxc
