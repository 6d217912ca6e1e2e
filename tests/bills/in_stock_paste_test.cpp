// Serial numbers pasted into a stock-in bill: one new row per number, copied from the product row, or the
// numbers filled into prepared rows in order; numbers the bill holds or whose units are in stock are listed
// as failed, and no number is left in the serial list that no row holds.
#include <gtest/gtest.h>

#include <set>

#include "InStockTestSupport.h"
#include "bills/UnitFrameProductFastEntryEditor.h"
#include "platform/ValueEdits.h"

namespace jxc {
namespace {

using testing::InStockTest;
using testing::TRow;

class InStockPasteTest : public InStockTest {
 protected:
  std::string Id(int64_t id) const { return std::to_string(id); }
  // What every row holds of the given fields, "a|b|..." per row.
  static std::set<std::string> Distinct(TFrmBillInStockFramework& screen, const std::vector<const char*>& fields) {
    std::set<std::string> seen;
    const TDataSet& rows = *screen.CdsDetail;
    for (int row = 0; row < rows.RecordCount(); ++row) {
      std::string line;
      for (const char* field : fields) line += rows.RowValue(row, rows.FieldByName(field).Index()).ToString() + "|";
      seen.insert(line);
    }
    return seen;
  }
  std::string Summary() const { return dialog->Texts(TDialogKind::Warning).back(); }
};

TEST_F(InStockPasteTest, EachPastedNumberBecomesACopyOfTheProductRowAndRefusedOnesAreListed) {
  auto* screen = OpenInStock();
  EnterRows(*screen, {{Handset(0), NewSerial(1), "6100", 1, shop.Colors[1]}});
  int summaryWrites = 0;
  screen->mtSum->AfterPost = [&summaryWrites](TDataSet&) { ++summaryWrites; };
  screen->CdsDetail->CheckBrowseMode();
  const int64_t calls = db->CallCount();

  const std::vector<std::string> failed = PasteThrough(
      *screen, screen->actBatchPasteModeNO, NewSerials(2, 11) + NewSerial(1) + "\r\n" + UnitOf(0, 0) + "\r\n");

  std::vector<std::string> expected;
  for (int n = 1; n <= 11; ++n) expected.push_back(NewSerial(n));
  EXPECT_EQ(RowSerials(*screen), expected) << "no empty row after the last number";
  // Every row keeps what the product row held, the typed price included; each has its own identifier.
  EXPECT_EQ(Distinct(*screen, {"F_PRODUCT_ID", "F_COLOR_ID", "F_PRICE", "F_QTY", "F_PH"}),
            std::set<std::string>{Id(Handset(0)) + "|" + Id(shop.Colors[1]) + "|6100|1||"});
  EXPECT_EQ(Distinct(*screen, {"F_ID"}).size(), 11u);
  ASSERT_EQ(failed.size(), 2u);
  EXPECT_EQ(failed[0], NewSerial(1) + " 重复");
  const std::string inStock = UnitOf(0, 0) + " [" + UnitOf(0, 0) + "]串码已在库,入库日期";
  EXPECT_EQ(failed[1].substr(0, inStock.size()), inStock);
  EXPECT_EQ(failed[1].size(), inStock.size() + 10) << "the unit's in-date: " << failed[1];
  EXPECT_EQ(Summary(), "批量粘贴成功10条,失败2条");
  EXPECT_LE(db->CallCount() - calls, 2) << "the stock read once and the identifiers drawn once, none per number";
  EXPECT_EQ(screen->ModeNOList().Count(), 11);
  EXPECT_EQ(SummaryLines(*screen), std::vector<std::string>{Id(Handset(0)) + "|" + Id(shop.Colors[1]) + "|11"});
  EXPECT_LE(summaryWrites, 2) << "the summary is made once after the paste, not row by row";
  EXPECT_FALSE(screen->BatchEnter());

  Click(*screen, screen->actBeforeSave);
  EXPECT_EQ(screen->cdsMain->ChangeCount(), 0) << JoinStrings(dialog->Texts(TDialogKind::Error), "|");
  EXPECT_EQ(Count("SELECT COUNT(DISTINCT F_PH) FROM TB_IN_STOCK_DETAIL WHERE F_MID = " +
                  screen->cdsMain->FieldByName("F_ID").AsString()),
            11);
}

TEST_F(InStockPasteTest, APasteNeedsAProductAndFillsAProductRowWithoutNumberFirst) {
  auto* screen = OpenInStock();
  ExpectRefused(*screen, screen->actBatchPasteModeNO, TDialogKind::Info, "请先选择商品");
  ExpectRefused(*screen, screen->actBatchPasteModeNOByOrder, TDialogKind::Info, "请先选择商品");

  ASSERT_TRUE(TypeCell(*screen, "F_PRODUCT_ID", Id(shop.Card)));
  const std::vector<std::string> failed = PasteThrough(*screen, screen->actBatchPasteModeNO, NewSerials(1, 3));
  EXPECT_TRUE(failed.empty());
  EXPECT_EQ(RowSerials(*screen), (std::vector<std::string>{NewSerial(1), NewSerial(2), NewSerial(3)}));
  EXPECT_EQ(Summary(), "批量粘贴成功3条,失败0条");
  EXPECT_EQ(SummaryLines(*screen), RegroupedLines(*screen));
}

TEST_F(InStockPasteTest, PasteByOrderFillsTheWaitingRowsInOrderAndOverwritesNothing) {
  auto* screen = OpenInStock();
  // The rows of an order: handsets waiting for their numbers, one already scanned, and accessories.
  EnterRows(*screen, {{Handset(0), "", "5999", 1, shop.Colors[0]},
                      {Handset(0), NewSerial(50), "5999", 1, shop.Colors[0]},
                      {shop.Accessories[0], "", "8.5", 4},
                      {Handset(1), "", "3599", 1, shop.Colors[0]},
                      {Handset(1), "", "3599", 1, shop.Colors[0]}});
  screen->CdsDetail->CheckBrowseMode();
  screen->CdsDetail->First();
  std::vector<std::string> failed = PasteThrough(*screen, screen->actBatchPasteModeNOByOrder, NewSerials(1, 2));
  EXPECT_TRUE(failed.empty());
  EXPECT_EQ(RowSerials(*screen), (std::vector<std::string>{NewSerial(1), NewSerial(50), "", NewSerial(2), ""}));

  // More numbers than waiting rows: the rest are refused, the last row is not written over.
  screen->CdsDetail->First();
  failed = PasteThrough(*screen, screen->actBatchPasteModeNOByOrder, NewSerials(3, 5));
  EXPECT_EQ(RowSerials(*screen), (std::vector<std::string>{NewSerial(1), NewSerial(50), "", NewSerial(2), NewSerial(3)}));
  EXPECT_EQ(failed, (std::vector<std::string>{NewSerial(4) + " 没有待填串码的明细行", NewSerial(5) + " 没有待填串码的明细行"}));
  EXPECT_EQ(Summary(), "批量粘贴成功1条,失败2条");
  EXPECT_EQ(screen->ModeNOList().Items(),
            (std::set<std::string>{NewSerial(1), NewSerial(2), NewSerial(3), NewSerial(50)}))
      << "a refused number is not held";

  // A refused number can be entered on a row of its own.
  EnterRows(*screen, {{Handset(1), NewSerial(4), "3599", 1, shop.Colors[0]}});
  EXPECT_EQ(Application().ShownErrors(), std::vector<std::string>{});
  EXPECT_EQ(screen->CdsDetail->FieldByName("F_MODE_NO").AsString(), NewSerial(4));
}

TEST_F(InStockPasteTest, ANumberIsInStockWhenTheStockHoldsItNotWhenAnotherReceiptWasOnlySaved) {
  auto* screen = OpenInStock();
  ASSERT_TRUE(TypeCell(*screen, "F_PRODUCT_ID", Id(HandsetOfUnit(0, 0))));
  EXPECT_FALSE(TypeCell(*screen, "F_MODE_NO", UnitOf(0, 0)));
  ASSERT_EQ(Application().ShownErrors().size(), 1u);
  EXPECT_TRUE(StartsText("[" + UnitOf(0, 0) + "]串码已在库,入库日期", Application().ShownErrors()[0]));
  EXPECT_TRUE(screen->CdsDetail->FieldByName("F_MODE_NO").IsNull());
  EXPECT_EQ(screen->ModeNOList().Count(), 0);
  Application().ClearShownErrors();

  // A number saved on another receipt that is not audited is not in stock yet.
  auto* other = OpenInStock(testing::kPlainStockIn);
  SaveNewBill(*other, {{Handset(2), NewSerial(1), "5199", 1, shop.Colors[0]}});
  ASSERT_TRUE(TypeCell(*screen, "F_MODE_NO", NewSerial(1)));
  EXPECT_EQ(Application().ShownErrors(), std::vector<std::string>{});
  ASSERT_TRUE(TypeCell(*screen, "F_MODE_NO", ""));

  // Audited, it is.
  Click(*other, other->actAudit);
  ASSERT_EQ(other->cdsMain->FieldByName("F_STATUS").AsInteger(), 2);
  EXPECT_FALSE(TypeCell(*screen, "F_MODE_NO", NewSerial(1)));
  EXPECT_EQ(Application().ShownErrors().size(), 1u);
}

TEST_F(InStockPasteTest, ThePurchaseScreenTakesScansFromItsEntryPanelAboveTheRows) {
  auto* screen = OpenInStock();
  ASSERT_EQ(screen->pnlEntry->ControlCount(), 1);
  auto* panel = dynamic_cast<TFrameProductFastEntryEditor*>(screen->pnlEntry->Controls(0));
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(panel->Bill(), screen);
  EXPECT_EQ(panel->MainDataSet(), screen->CdsDetail);
  EXPECT_TRUE(screen->pnlEntry->Visible());
  EXPECT_EQ(screen->pnlEntry->Height, 90);

  auto scan = [&](const std::string& serial) {
    Application().Dispatch([&] {
      panel->edtMobileModeNo->SetText(serial);
      panel->btnAddToDetail->Click();
    });
  };
  Application().Dispatch([&] {
    panel->ChooseProduct(Handset(1));
    panel->ChooseColor(shop.Colors[2]);
    panel->edtPrice->SetText("3450");
  });
  scan(NewSerial(1));
  scan(NewSerial(2));
  scan(UnitOf(0, 0));
  ASSERT_EQ(Application().ShownErrors().size(), 1u);
  EXPECT_TRUE(StartsText("[" + UnitOf(0, 0) + "]串码已在库,入库日期", Application().ShownErrors()[0]));
  EXPECT_EQ(RowSerials(*screen), (std::vector<std::string>{NewSerial(1), NewSerial(2)}));
  EXPECT_EQ(SummaryLines(*screen), std::vector<std::string>{Id(Handset(1)) + "|" + Id(shop.Colors[2]) + "|2"});

  // A screen whose configuration names no panel shows none.
  EXPECT_FALSE(OpenInStock(testing::kPlainStockIn)->pnlEntry->Visible());
}

}  // namespace
}  // namespace jxc
