// The batch paste of serial numbers as a shop assistant uses it: "批量粘贴串号" on a bill opens the paste
// dialog, the assistant pastes a column of numbers copied elsewhere (Ctrl+V) and confirms; the bill takes
// or refuses each number, the dialog lists the refused ones with their reasons and counts both.
#include <gtest/gtest.h>

#include "BillTestSupport.h"
#include "bills/UnitFrmBatchPasteModeNO.h"
#include "platform/Exceptions.h"
#include "platform/ExtCtrls.h"
#include "platform/StdCtrls.h"

namespace jxc {
namespace {

using testing::BillTest;

// A receipt whose paste makes one row of the first handset per number, as a stock-in does, and refuses
// or breaks on the numbers it is told to. It remembers what it was asked.
class TFrmPasteProbe : public TFrmBaseBillFramework {
 public:
  explicit TFrmPasteProbe(TComponent* owner) : TFrmBaseBillFramework(owner) {
    actBatchPasteModeNO->OnExecute = [this](TAction&) { result = Paste(); };
  }
  int64_t product = 0;
  std::string refused, broken;  // numbers refused with a reason, and one whose row fails
  std::vector<std::string> prepared;
  std::vector<std::string> rowIDs, pasted;
  std::vector<bool> inBatch;
  int result = -1;

 private:
  int Paste() {
    TModeNOPasteHandler handler;
    handler.Prepare = [this](const std::vector<std::string>& all) { prepared = all; };
    handler.Paste = [this](const std::string& rowID, const std::string& modeNO, std::string& reason) {
      inBatch.push_back(BatchEnter() && CdsDetail->ControlsDisabled());
      if (modeNO == refused) {
        reason = "库存不足";
        return false;
      }
      if (CdsDetail->State() == dsBrowse) CdsDetail->Append();
      try {
        CdsDetail->FieldByName("F_ID").SetAsString(rowID);
        CdsDetail->FieldByName("F_PRODUCT_ID").SetAsLargeInt(product);
        CdsDetail->FieldByName("F_MODE_NO").SetText(modeNO);
        if (modeNO == broken) throw Exception("第" + IntToStr(CdsDetail->RecordCount() + 1) + "行写入失败");
        CdsDetail->Post();
      } catch (...) {
        CdsDetail->Cancel();  // a good bill leaves no half row behind
        throw;
      }
      rowIDs.push_back(rowID);
      pasted.push_back(modeNO);
      return true;
    };
    return PasteModeNO(handler);
  }
};

class BatchPasteTest : public BillTest {
 protected:
  TFrmPasteProbe* OpenProbe() {
    auto* screen = Open<TFrmPasteProbe>(testing::kStockIn);
    screen->product = Handset(0);
    return screen;
  }
  // The assistant copies the text, clicks "批量粘贴串号", pastes into the dialog and clicks OK; what the
  // dialog shows afterwards is kept.
  void PasteThrough(TFrmPasteProbe& screen, const std::string& copied) {
    clipboard.SetText(copied);
    failedShown.clear();
    Application().QueueModalScript([this](TCustomForm& form) {
      auto& dialog = static_cast<TFrmBatchPasteModeNO&>(form);
      progressHiddenBefore = !dialog.ProgressBar->Visible();
      form.PressKey('V', ssCtrl);
      dialog.btnOK->PerformClick();
      failedShown = dialog.mmo2->Lines();
      progressText = dialog.ProgressBar->Text;
      progressAtEnd = dialog.ProgressBar->Position;
      stillOpen = dialog.ModalResult() == mrNone;
    });
    Click(screen, screen.actBatchPasteModeNO);
  }
  std::string Summary() const { return dialog->Texts(TDialogKind::Warning).back(); }

  std::vector<std::string> failedShown;
  bool progressHiddenBefore = false, stillOpen = false;
  std::string progressText;
  int progressAtEnd = -1;
};

TEST_F(BatchPasteTest, EveryNumberTakenInPasteOrderWithIdentifiersOfOneRequest) {
  auto* screen = OpenProbe();
  const int64_t callsBefore = db->CallCount();
  PasteThrough(*screen, " " + NewSerial(1) + " \r\n" + NewSerial(2) + "\n\n" + NewSerial(3) + "\r\n");
  EXPECT_EQ(screen->pasted, (std::vector<std::string>{NewSerial(1), NewSerial(2), NewSerial(3)}));
  EXPECT_EQ(screen->prepared, screen->pasted) << "the bill saw every number once before deciding";
  ASSERT_EQ(screen->rowIDs.size(), 3u);
  const int64_t first = std::stoll(screen->rowIDs[0]);
  EXPECT_EQ(screen->rowIDs, (std::vector<std::string>{std::to_string(first), std::to_string(first + 1),
                                                      std::to_string(first + 2)}));
  EXPECT_EQ(db->Sequences().Reserve("ID", 1), first + 5) << "N + 2 identifiers drawn at once";
  EXPECT_LE(db->CallCount() - callsBefore, 2) << "one request for the identifiers, none per number";
  EXPECT_EQ(screen->inBatch, (std::vector<bool>{true, true, true}));
  EXPECT_EQ(Summary(), "批量粘贴成功3条,失败0条");
  EXPECT_EQ(screen->result, mrOk) << "nothing failed: the dialog closed";
  EXPECT_TRUE(progressHiddenBefore);
  EXPECT_EQ(progressAtEnd, 3);
  EXPECT_FALSE(screen->BatchEnter());
  EXPECT_FALSE(screen->CdsDetail->ControlsDisabled());
  EXPECT_EQ(clipboard.GetText(), "") << "the clipboard is emptied";
  EXPECT_EQ(screen->CdsDetail->RecNo(), screen->CdsDetail->RecordCount()) << "on the last row";
  EXPECT_EQ(screen->ModeNOList().Count(), 3);
}

TEST_F(BatchPasteTest, RepeatsAndRefusedNumbersAreListedWithTheirReasonsAndTheDialogStaysOpen) {
  auto* screen = OpenProbe();
  screen->refused = NewSerial(3);
  PasteThrough(*screen, NewSerial(1) + "ab\r\n" + NewSerial(1) + "AB\r\n" + NewSerial(3) + "\r\n" + NewSerial(4));
  EXPECT_EQ(screen->prepared, (std::vector<std::string>{NewSerial(1) + "AB", NewSerial(3), NewSerial(4)}))
      << "lower and upper case are the same number";
  EXPECT_EQ(screen->pasted, (std::vector<std::string>{NewSerial(1) + "AB", NewSerial(4)}));
  EXPECT_EQ(Summary(), "批量粘贴成功2条,失败2条");
  EXPECT_EQ(failedShown, (std::vector<std::string>{NewSerial(1) + "ab 重复", NewSerial(3) + " 库存不足", ""}))
      << "the failed box shows letters in lower case";
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(progressText, "") << "the duplicate check's text is gone once the numbers are decided";
  EXPECT_EQ(screen->result, mrCancel) << "closed by the assistant over the failed list";
  EXPECT_EQ(screen->ModeNOList().Count(), 2);
}

TEST_F(BatchPasteTest, ASingleNumberWithoutLineBreakIsTakenAndBlankLinesTakeNothing) {
  auto* screen = OpenProbe();
  PasteThrough(*screen, NewSerial(7));
  EXPECT_EQ(screen->pasted, std::vector<std::string>{NewSerial(7)});
  EXPECT_EQ(Summary(), "批量粘贴成功1条,失败0条");

  dialog->Clear();
  const int64_t calls = db->CallCount();
  PasteThrough(*screen, "\r\n  \r\n\r\n");
  EXPECT_EQ(screen->pasted.size(), 1u);
  EXPECT_EQ(dialog->Texts(TDialogKind::Warning), std::vector<std::string>{"批量粘贴成功0条,失败0条"});
  EXPECT_EQ(screen->result, mrOk);
  EXPECT_EQ(db->CallCount(), calls) << "no identifiers for nothing";

  dialog->Clear();
  PasteThrough(*screen, "");
  EXPECT_EQ(dialog->Count(), 0) << "nothing pasted closes without a word";
  EXPECT_EQ(screen->result, mrOk);
}

TEST_F(BatchPasteTest, ANumberWhoseRowFailsIsListedAndThePasteGoesOn) {
  auto* screen = OpenProbe();
  screen->broken = NewSerial(2);
  const std::string before = Screen(*screen);
  PasteThrough(*screen, NewSerial(1) + "\r\n" + NewSerial(2) + "\r\n" + NewSerial(3) + "\r\n");
  EXPECT_EQ(screen->pasted, (std::vector<std::string>{NewSerial(1), NewSerial(3)}));
  ASSERT_EQ(failedShown.size(), 2u);
  EXPECT_EQ(failedShown[0], NewSerial(2) + " 第2行写入失败");
  EXPECT_EQ(Summary(), "批量粘贴成功2条,失败1条");
  EXPECT_FALSE(screen->BatchEnter());
  EXPECT_FALSE(screen->CdsDetail->ControlsDisabled());
  EXPECT_NE(Screen(*screen), before);
  EXPECT_TRUE(Application().ShownErrors().empty());
}

TEST_F(BatchPasteTest, APreparationThatFailsEndsThePasteAndRestoresTheBill) {
  auto* screen = OpenProbe();
  const std::string before = Screen(*screen);
  clipboard.SetText(NewSerial(1));
  Application().QueueModalScript([](TCustomForm& form) {
    form.PressKey('V', ssCtrl);
    static_cast<TFrmBatchPasteModeNO&>(form).btnOK->PerformClick();
  });
  Application().Dispatch([&] {
    TModeNOPasteHandler handler;
    handler.Prepare = [](const std::vector<std::string>&) { throw Exception("数据库连接已断开"); };
    handler.Paste = [](const std::string&, const std::string&, std::string&) { return true; };
    screen->PasteModeNO(handler);
  });
  EXPECT_EQ(Application().ShownErrors(), std::vector<std::string>{"数据库连接已断开"});
  EXPECT_FALSE(screen->BatchEnter());
  EXPECT_FALSE(screen->CdsDetail->ControlsDisabled());
  EXPECT_EQ(Screen(*screen), before);
}

}  // namespace
}  // namespace jxc
