// Serial numbers pasted into a stock-out bill: every number decided in paste order against the stock read
// at once, refused numbers listed with their reasons while the paste goes on, and the paste by order that
// fills prepared rows one number each.
#include <gtest/gtest.h>

#include "OutStockTestSupport.h"

namespace jxc {
namespace {

using testing::OutStockTest;
using testing::TRow;

TEST_F(OutStockTest, APasteTakesTheUnitsOfTheShopInOrderAndListsTheOthersWithTheirReasons) {
  auto* screen = OpenOut();
  Scan(*screen, UnitOf(0, 3));  // unit 6, handset 2: in the bill already
  const int64_t calls = db->CallCount();
  const std::vector<std::string> failed =
      PasteThrough(*screen, screen->actBatchPasteModeNO,
                   UnitOf(0, 0) + "\r\n" + NewSerial(1) + "\r\n" + UnitOf(1, 0) + "\r\n" + UnitOf(0, 1) + "\r\n" + UnitOf(0, 3) +
                       "\r\n" + UnitOf(0, 0) + "\r\n" + UnitOf(0, 2) + "\r\n");
  EXPECT_EQ(dialog->Texts(TDialogKind::Warning), std::vector<std::string>{"批量粘贴成功3条,失败4条"});
  EXPECT_EQ(failed, (std::vector<std::string>{UnitOf(0, 0) + " 重复", NewSerial(1) + " 库存不足", UnitOf(1, 0) + " 不属于此店铺",
                                              UnitOf(0, 3) + " 手机串码/卡号[" + UnitOf(0, 3) + "]重复"}));
  EXPECT_EQ(Rows(*screen), (std::vector<std::string>{Row(UnitOf(0, 3), Handset(2), "5499"), Row(UnitOf(0, 0), Handset(0), "6199"),
                                                     Row(UnitOf(0, 1), Handset(2), "5499"), Row(UnitOf(0, 2), Handset(0), "6199")}))
      << "in paste order, priced by the shop, no row left half filled and no empty row after them";
  EXPECT_EQ(screen->LastPasteStatements(), 1);
  EXPECT_LE(db->CallCount() - calls, 4) << "stock of all numbers, their identifiers, one price, the rows' identifiers";
  EXPECT_FALSE(screen->BatchEnter());
  EXPECT_FALSE(screen->CdsDetail->ControlsDisabled());
  EXPECT_EQ(screen->ModeNOList().Count(), 4);

  Click(*screen, screen->actBeforeSave);
  ASSERT_EQ(screen->cdsMain->ChangeCount(), 0) << JoinStrings(dialog->Texts(TDialogKind::Error), "|");
  Click(*screen, screen->actAudit);
  EXPECT_EQ(screen->cdsMain->FieldByName("F_STATUS").AsInteger(), 2);
  EXPECT_EQ(Inconsistencies(), "");
}

TEST_F(OutStockTest, APasteOnARowOfAProductTakesItsUnitsAtTheRowsPrice) {
  SetParam(kSpEditWholesalePrice, Variant(true));
  auto* screen = OpenOut();
  EnterRows(*screen, {{Handset(2), "", "5000"}});
  const std::vector<std::string> failed =
      PasteThrough(*screen, screen->actBatchPasteModeNO, UnitOf(0, 1) + "\r\n" + UnitOf(0, 0) + "\r\n" + UnitOf(0, 3));
  EXPECT_EQ(failed, std::vector<std::string>{UnitOf(0, 0) + " 不属于此机型,请检查商品是否正确"});
  EXPECT_EQ(Rows(*screen), (std::vector<std::string>{Row(UnitOf(0, 1), Handset(2), "5000"), Row(UnitOf(0, 3), Handset(2), "5000")}))
      << "the first number fills the row it started on";
}

TEST_F(OutStockTest, OneNumberPastedWithoutALineBreakIsTaken) {
  auto* screen = OpenOut();
  const std::vector<std::string> failed = PasteThrough(*screen, screen->actBatchPasteModeNO, UnitOf(0, 5));
  EXPECT_TRUE(failed.empty());
  EXPECT_EQ(dialog->Texts(TDialogKind::Warning), std::vector<std::string>{"批量粘贴成功1条,失败0条"});
  EXPECT_EQ(Rows(*screen), std::vector<std::string>{Row(UnitOf(0, 5), Handset(2), "5499")});
}

TEST_F(OutStockTest, APasteByOrderFillsThePreparedRowsOneNumberEach) {
  auto* screen = OpenOut();
  dialog->Clear();
  PasteThrough(*screen, screen->actBatchPasteModeNOByOrder, UnitOf(0, 0));
  EXPECT_EQ(dialog->Texts(TDialogKind::Info), std::vector<std::string>{"请先选择商品"});
  EXPECT_EQ(Application().PendingModalScripts(), 1);
  Application().TakeModalScript();

  // An order's rows: two handsets 0 and an accessory.
  EnterRows(*screen, {{Handset(0), "", "6000"}, {Handset(0), "", "6000"}, {shop.Accessories[0], "", "15", 3}});
  screen->CdsDetail->First();
  dialog->Clear();
  const std::vector<std::string> failed = PasteThrough(
      *screen, screen->actBatchPasteModeNOByOrder, UnitOf(0, 0) + "\r\n" + UnitOf(0, 1) + "\r\n" + UnitOf(0, 2) + "\r\n" + UnitOf(0, 4));
  EXPECT_EQ(failed, (std::vector<std::string>{UnitOf(0, 1) + " 不属于此机型,请检查商品是否正确", UnitOf(0, 4) + " 没有可填串号的明细行"}));
  EXPECT_EQ(Rows(*screen), (std::vector<std::string>{Row(UnitOf(0, 0), Handset(0), "6199"), Row(UnitOf(0, 2), Handset(0), "6199"),
                                                     "|" + std::to_string(shop.Accessories[0]) + "|3|15"}))
      << "the accessory row is left as it was; a full bill refuses the rest";
  EXPECT_EQ(screen->ModeNOList().Count(), 2) << "only the numbers the rows hold";
}

TEST_F(OutStockTest, APasteByOrderGivesARowOfSeveralUnitsOneNumberAtATime) {
  SetParam(kSpEditWholesalePrice, Variant(true));
  auto* screen = OpenOut();
  EnterRows(*screen, {{Handset(0), "", "6000"}});
  // A row taken over from an order: three handsets in one row (typing would make it one).
  screen->CdsDetail->FieldByName("F_QTY").SetAsInteger(3);
  screen->CdsDetail->Post();
  screen->CdsDetail->First();
  const std::vector<std::string> failed =
      PasteThrough(*screen, screen->actBatchPasteModeNOByOrder, UnitOf(0, 0) + "\r\n" + UnitOf(0, 2) + "\r\n");
  EXPECT_TRUE(failed.empty());
  EXPECT_EQ(Rows(*screen), (std::vector<std::string>{Row(UnitOf(0, 0), Handset(0), "6000"), Row(UnitOf(0, 2), Handset(0), "6000"),
                                                     "|" + std::to_string(Handset(0)) + "|1|6000"}))
      << "three ordered: two numbered, one still to come";
}

}  // namespace
}  // namespace jxc
