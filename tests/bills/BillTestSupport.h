#pragma once
// A shop assistant's use of the bill screens on the editors' sample shop: open a screen from the menu (the
// deferred start runs), type rows into the detail grid and the header, click the tool-bar buttons, answer
// the questions. Snapshots of the stock, of the bill tables and of a screen's datasets tell what a step
// changed.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "bills/UnitFrmBaseBillFramework.h"
#include "bills/UnitFrmBatchPasteModeNO.h"
#include "editors/EditorTestSupport.h"
#include "foundation/UnitPublicUtils.h"
#include "foundation/UnitSysParams.h"
#include "platform/Actions.h"
#include "platform/Application.h"
#include "platform/DataSet.h"
#include "platform/Desktop.h"
#include "platform/Grid.h"
#include "platform/RtcRecord.h"
#include "platform/Text.h"
#include "services/RecordingPrintSystem.h"
#include "services/RecordingProgressForm.h"
#include "services/StockConsistency.h"

namespace jxc::testing {

inline constexpr const char* kStockIn = "采购入库";
inline constexpr const char* kSale = "批发销售";

// One row as the assistant types it: product, serial number (empty for counted products), price, quantity.
struct TRow {
  int64_t Product = 0;
  std::string ModeNO;
  std::string Price = "100";
  int Qty = 1;
  int64_t Color = 0;  // 0: none typed
};

// The editors' shop (12 units, 2 branches; unit i lies in branch i % 2 as handset i % 4) with the bill
// screens' services added: a wait window, a print service, the workstation's shop and counter, and
// system parameters to set.
class BillTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    SysService::Register<IProgressForm>(progress);
    SysService::Register<IPrintSystem>(printer);
    UserInfo->SetID("7");
    SysConfig = TSysConfig{std::to_string(Counter(0)), std::to_string(Branch(0))};
    SysParams = std::make_shared<TRtcRecord>();
    firstID = std::to_string(db->NewID());
  }
  void TearDown() override {
    EditorTest::TearDown();
    SysParams.reset();
  }

  int64_t Branch(int b) const { return shop.Branches.at(static_cast<size_t>(b)); }
  int64_t Counter(int b) const { return shop.CounterLocations.at(static_cast<size_t>(b)); }
  int64_t Handset(int h) const { return shop.Handsets.at(static_cast<size_t>(h)); }
  // Opening-stock unit k of branch b (handset (b + 2k) % 4).
  std::string UnitOf(int b, int k) const { return SampleSerial(b + 2 * k); }
  int64_t HandsetOfUnit(int b, int k) const { return Handset((b + 2 * k) % 4); }
  // A serial number no unit has yet.
  static std::string NewSerial(int n) { return "35" + std::string(11 - std::to_string(n).size(), '0') + std::to_string(n) + "77"; }

  // What the host's menu does, then the 100 ms of the deferred start.
  template <class T = TFrmBaseBillFramework>
  T* Open(const std::string& caption) {
    T* screen = OpenEditor<T>(Application(), caption);
    Application().Advance(100);
    return screen;
  }
  // A screen opened on a stored bill.
  template <class T = TFrmBaseBillFramework>
  T* OpenBill(const std::string& caption, const std::string& id) {
    T* screen = CreateForm<T>(&Application());
    screen->SetName(ScreenName(Application(), caption));
    screen->SetCaption(caption);
    screen->SetID(id);
    screen->DoOnShow();
    screen->ShowForm();
    Application().Advance(100);
    return screen;
  }

  // Rows typed one after the other, a new row started with "增行" when the current one holds a product;
  // the last row is left as typed.
  void EnterRows(TFrmBaseBillFramework& screen, const std::vector<TRow>& rows) {
    for (const TRow& row : rows) {
      TField& product = screen.CdsDetail->FieldByName("F_PRODUCT_ID");
      if (!product.IsNull()) Click(screen, screen.actDetailAppend);
      EXPECT_TRUE(TypeCell(screen, "F_PRODUCT_ID", std::to_string(row.Product)));
      if (!row.ModeNO.empty()) { EXPECT_TRUE(TypeCell(screen, "F_MODE_NO", row.ModeNO)); }
      if (row.Qty != 1) { EXPECT_TRUE(TypeCell(screen, "F_QTY", std::to_string(row.Qty))); }
      if (row.Color) { EXPECT_TRUE(TypeCell(screen, "F_COLOR_ID", std::to_string(row.Color))); }
      EXPECT_TRUE(TypeCell(screen, "F_PRICE", row.Price));
    }
  }
  // The user types into a cell of the focused detail row; false when the grid refused the text (its
  // message is then shown and the cell keeps the text until the next entry).
  bool TypeCell(TFrmBaseBillFramework& screen, const char* field, const std::string& text) {
    TGridColumn* column = screen.tvResult->FindColumnByFieldName(field);
    EXPECT_NE(column, nullptr) << field;
    if (!column) return false;
    screen.tvResult->EditCell(screen.tvResult->FocusedRecordIndex(), *column, text);
    return !screen.tvResult->Editing();
  }

  // The user types into an edit of the header frame (its data source puts the header into edit); false
  // when the field refused the text.
  bool TypeHeader(TFrmBaseBillFramework& screen, const char* field, const std::string& text) {
    return Application().Dispatch([&] {
      if (screen.cdsMain->State() == dsBrowse) screen.cdsMain->Edit();
      screen.cdsMain->FieldByName(field).SetText(text);
    });
  }

  // A whole bill typed into a new bill and saved; its F_ID.
  std::string SaveNewBill(TFrmBaseBillFramework& screen, const std::vector<TRow>& rows) {
    EnterRows(screen, rows);
    Click(screen, screen.actBeforeSave);
    EXPECT_EQ(screen.cdsMain->ChangeCount(), 0) << JoinStrings(dialog->Texts(TDialogKind::Error), "|");
    return screen.cdsMain->FieldByName("F_ID").AsString();
  }

  // --- what the database holds ---
  std::vector<std::string> Lines(const std::string& sql) {
    std::vector<std::string> lines;
    for (const auto& row : db->QueryNative(sql).Rows) {
      std::string line;
      for (const Variant& value : row) line += value.ToString() + "|";
      lines.push_back(line);
    }
    return lines;
  }
  // Every stock row, as the audits leave it.
  std::vector<std::string> Stock() {
    return Lines("SELECT F_ID, F_SHOP_ID, F_LOCATION_ID, F_PRODUCT_ID, F_COLOR_ID, F_MODE_NO, F_HAVE_QTY, F_COST_PRICE, "
                 "F_IN_BILL_ID, F_OUT_BILL_ID FROM TB_SYS_STOCK ORDER BY F_ID");
  }
  // What the stock consistency check finds wrong ("" when it passes).
  std::string Inconsistencies() {
    const TConsistencyReport report = CheckStockConsistency(db->Connection());
    std::string failed;
    for (const TConsistencyRule& rule : report.Rules)
      if (!rule.Passed()) failed += rule.Line() + "\n";
    return failed;
  }
  // Every row of the bill tables and the log.
  std::vector<std::string> Bills() {
    std::vector<std::string> all;
    for (const char* table : {"TB_IN_STOCK", "TB_IN_STOCK_DETAIL", "TB_PF_SALE", "TB_PF_SALE_DETAIL", "TB_SYS_LOG"})
      for (const std::string& line : Lines(std::string("SELECT * FROM ") + table + " ORDER BY F_ID")) all.push_back(line);
    return all;
  }
  // The log messages of a bill, in order.
  std::vector<std::string> Log(const std::string& billID) {
    std::vector<std::string> messages;
    for (const auto& row : db->QueryNative("SELECT F_MESSAGE FROM TB_SYS_LOG WHERE F_BILL_ID = ? ORDER BY F_ID",
                                           {Variant(static_cast<long long>(std::stoll(billID)))})
                               .Rows)
      messages.push_back(row.at(0).ToString());
    return messages;
  }

  // --- what a screen holds: the rows of every registered dataset (a row being typed as typed), sorted,
  // and the serial list. A row posted in between reads the same.
  static std::string Screen(TFrmBaseBillFramework& screen) {
    std::vector<std::string> lines;
    for (const TDataSetItem& item : screen.DataSetMgr()) {
      TClientDataSet& data = *item.DataSet;
      if (!data.Active()) {
        lines.push_back(item.UpdateTable + " closed");
        continue;
      }
      // The row being edited reads as edited.
      const bool editing = data.State() == dsEdit || data.State() == dsInsert;
      const TField* id = data.FindField("F_ID");
      const Variant editedID = editing && id ? id->Value() : Variant::Null();
      for (const TRowValues& row : data.Data().Rows) {
        if (!editedID.IsNull() && row.at(static_cast<size_t>(id->Index())).ToString() == editedID.ToString()) continue;
        std::string line = item.UpdateTable + ":";
        for (const Variant& value : row) line += value.ToString() + "|";
        lines.push_back(line);
      }
      if (editing) {
        std::string line = item.UpdateTable + ":";
        for (int i = 0; i < data.FieldCount(); ++i) line += data.Fields(i).Value().ToString() + "|";
        lines.push_back(line);
      }
    }
    std::sort(lines.begin(), lines.end());
    std::string all = JoinStrings(lines, "\n") + "\nserials:";
    for (const std::string& number : screen.ModeNOList().Items()) all += number + ";";
    return all;
  }

  // Clicks the action (or runs its handler, as code does, when its button is disabled) and expects exactly
  // that message, the database and the screen as they were.
  void ExpectRefused(TFrmBaseBillFramework& screen, TAction* action, TDialogKind kind, const std::string& text) {
    screen.CdsDetail->CheckBrowseMode();  // the row the user typed last is posted as he leaves it
    const std::vector<std::string> bills = Bills();
    const std::vector<std::string> stock = Stock();
    const std::string before = Screen(screen);
    dialog->Clear();
    if (action->Enabled) Click(screen, action);
    else RunHandler(action);
    EXPECT_EQ(dialog->Texts(kind), std::vector<std::string>{text});
    EXPECT_EQ(Bills(), bills) << text;
    EXPECT_EQ(Stock(), stock) << text;
    EXPECT_EQ(Screen(screen), before) << text;
  }
  // The clerk copies the numbers, clicks the paste action, pastes them into the dialog (Ctrl+V) and clicks
  // OK; the numbers the dialog's failed box lists afterwards, each with its reason.
  std::vector<std::string> PasteThrough(TFrmBaseBillFramework& screen, TAction* action, const std::string& copied) {
    clipboard.SetText(copied);
    std::vector<std::string> failed;
    Application().QueueModalScript([&failed](TCustomForm& form) {
      auto& paste = static_cast<TFrmBatchPasteModeNO&>(form);
      form.PressKey('V', ssCtrl);
      paste.btnOK->PerformClick();
      for (const std::string& line : paste.mmo2->Lines())
        if (!line.empty()) failed.push_back(line);
    });
    Click(screen, action);
    return failed;
  }
  // Runs the action's handler as code does, also when its button is disabled.
  void RunHandler(TAction* action) { Application().Dispatch([action] { action->OnExecute(*action); }); }

  void SetParam(const char* key, const Variant& value) { SysParams->SetValue(key, value); }

  // Rows the test made: identifiers after those the sample shop drew.
  std::string Made(const std::string& table) { return "SELECT COUNT(*) FROM " + table + " WHERE F_ID > " + firstID; }

  std::string firstID;
  std::shared_ptr<TRecordingProgressForm> progress = std::make_shared<TRecordingProgressForm>();
  std::shared_ptr<TRecordingPrintSystem> printer = std::make_shared<TRecordingPrintSystem>();
  TMemoryClipboard clipboard;
  ScopedClipboard clipboardScope{clipboard};
};

}  // namespace jxc::testing
