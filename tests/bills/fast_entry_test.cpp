// Fast entry on a purchase receipt as a shop assistant uses it: the panel above the detail grid keeps
// product, colour and price, and each scanned serial number becomes a row; in batch mode the scans fill
// rows prepared before. Refused scans change nothing.
#include <gtest/gtest.h>

#include "BillTestSupport.h"
#include "bills/UnitFrameProductFastEntryEditor.h"
#include "bills/UnitFrmFasteEnterProduct.h"
#include "platform/DBCtrls.h"
#include "platform/ExtCtrls.h"
#include "platform/Keys.h"
#include "platform/StdCtrls.h"
#include "platform/ValueEdits.h"
#include "services/DBCache.h"

namespace jxc {
namespace {

using testing::BillTest;

class FastEntryPanelTest : public BillTest {
 protected:
  void SetUp() override {
    BillTest::SetUp();
    SysService::Register<ICache>(std::make_shared<TDBCache>(db));
  }

  // The receipt with the panel placed above its detail.
  TFrameProductFastEntryEditor* Attach(TFrmBaseBillFramework& screen) {
    auto* panel = new TFrameProductFastEntryEditor(&screen);
    panel->SetName("FrameProductFastEntryEditor1");
    Application().Dispatch([&] { panel->AttachToBill(screen); });
    return panel;
  }
  // The assistant picks the product in the product drop-down by typing part of its name.
  void PickProduct(TFrameProductFastEntryEditor& panel, const std::string& typed) {
    Application().Dispatch([&] {
      panel.PopupProduct->SetText(typed);
      panel.PopupProduct->Popup();
      ASSERT_GT(panel.lstProduct->Count(), 0) << typed;
      panel.lstProduct->ClickItem(0);
    });
  }
  // Scans a number into the serial field and clicks "加入明细".
  void Scan(TFrmBaseBillFramework& screen, TFrameProductFastEntryEditor& panel, const std::string& serial) {
    Application().Dispatch([&] {
      panel.edtMobileModeNo->SetFocus();
      panel.edtMobileModeNo->SelectAll();
    });
    screen.TypeText(serial);
    Application().Dispatch([&] { panel.btnAddToDetail->Click(); });
  }
  void SetPrice(TFrameProductFastEntryEditor& panel, const std::string& price) {
    Application().Dispatch([&] { panel.edtPrice->SetText(price); });
  }
  std::string ProductName(int h) { return Text("SELECT F_NAME FROM TB_PRODUCT_ATTRIBUTE WHERE F_ID = " + std::to_string(Handset(h))); }
  std::string ColorName(int k) { return Text("SELECT F_NAME FROM TB_PRODUCT_COLOR WHERE F_ID = " + std::to_string(shop.Colors[k])); }

  // A scan that must be refused with exactly that error (or tip), changing nothing at all.
  void ExpectScanRefused(TFrmBaseBillFramework& screen, TFrameProductFastEntryEditor& panel, const std::string& serial,
                         const std::string& message, bool tip = false) {
    const std::vector<std::string> bills = Bills();
    const std::vector<std::string> stock = Stock();
    const std::string before = Screen(screen);
    dialog->Clear();
    Application().ClearShownErrors();
    Scan(screen, panel, serial);
    if (tip) EXPECT_EQ(dialog->Texts(TDialogKind::Tip), std::vector<std::string>{message});
    else EXPECT_EQ(Application().ShownErrors(), std::vector<std::string>{message});
    EXPECT_EQ(Bills(), bills) << message;
    EXPECT_EQ(Stock(), stock) << message;
    EXPECT_EQ(Screen(screen), before) << message;
  }
};

TEST_F(FastEntryPanelTest, EachScanBecomesARowOfTheChosenProductAndIsSaved) {
  auto* screen = Open(testing::kStockIn);
  auto* panel = Attach(*screen);
  EXPECT_EQ(panel->Parent(), screen);
  EXPECT_FALSE(panel->db_LookupLocation->Enabled()) << "the location is the counter unless the shop allows a choice";
  PickProduct(*panel, ProductName(0).substr(0, 6));
  EXPECT_EQ(panel->ProductID(), Handset(0));
  EXPECT_NE(panel->ConfigID(), 0) << "the product's configuration comes with it";
  Application().Dispatch([&] { panel->ChooseColor(shop.Colors[1]); });
  SetPrice(*panel, "1999.5");

  const std::string lower = "35a" + NewSerial(1).substr(3);
  Scan(*screen, *panel, "  " + lower + " ");
  // The scanner ends the number with Enter.
  Application().Dispatch([&] { panel->edtMobileModeNo->SelectAll(); });
  screen->TypeText(NewSerial(2));
  screen->PressKey(VK_RETURN);
  EXPECT_TRUE(Application().ShownErrors().empty()) << JoinStrings(Application().ShownErrors(), "|");
  EXPECT_EQ(screen->ModeNOList().Count(), 2);
  EXPECT_TRUE(screen->ModeNOList().Contains(UpperCase(lower))) << "scanned letters become upper case";
  EXPECT_TRUE(panel->edtMobileModeNo->Focused());
  EXPECT_EQ(panel->edtMobileModeNo->SelText(), NewSerial(2)) << "the next scan replaces the number";

  const std::string id = SaveNewBill(*screen, {});
  EXPECT_EQ(Lines("SELECT F_PRODUCT_ID, F_PRODUCT, F_COLOR_ID, F_COLOR, F_MODE_NO, F_QTY, F_PRICE, F_MONEY, F_LOCATION_ID "
                  "FROM TB_IN_STOCK_DETAIL WHERE F_MID = " + id + " ORDER BY F_MODE_NO"),
            (std::vector<std::string>{
                std::to_string(Handset(0)) + "|" + ProductName(0) + "|" + std::to_string(shop.Colors[1]) + "|" + ColorName(1) +
                    "|" + NewSerial(2) + "|1|1999.5|1999.5|" + std::to_string(Counter(0)) + "|",
                std::to_string(Handset(0)) + "|" + ProductName(0) + "|" + std::to_string(shop.Colors[1]) + "|" + ColorName(1) +
                    "|" + UpperCase(lower) + "|1|1999.5|1999.5|" + std::to_string(Counter(0)) + "|"}));
}

TEST_F(FastEntryPanelTest, IncompleteScansAndUnitsInStockOrInTheBillAreRefusedAndChangeNothing) {
  auto* screen = Open(testing::kStockIn);
  auto* panel = Attach(*screen);
  ExpectScanRefused(*screen, *panel, NewSerial(1), "请输入商品", true);
  EXPECT_TRUE(panel->PopupProduct->Focused());
  PickProduct(*panel, ProductName(1));
  ExpectScanRefused(*screen, *panel, NewSerial(1), "请选择颜色");
  Application().Dispatch([&] { panel->ChooseColor(shop.Colors[0]); });
  ExpectScanRefused(*screen, *panel, "   ", "请输入串号或卡号");
  EXPECT_TRUE(panel->edtMobileModeNo->Focused());
  SetPrice(*panel, "0");
  ExpectScanRefused(*screen, *panel, NewSerial(1), "请输入单价");
  SetPrice(*panel, "100001");
  ExpectScanRefused(*screen, *panel, NewSerial(1), "单价输入有误");
  SetPrice(*panel, "800");

  // An opening-stock unit is in stock: refused with its in-date, also when typed in lower case.
  const std::string inDate = Text("SELECT substr(F_IN_DATE, 1, 10) FROM TB_SYS_STOCK WHERE F_MODE_NO = '" + UnitOf(0, 0) + "'");
  ExpectScanRefused(*screen, *panel, UnitOf(0, 0), "[" + UnitOf(0, 0) + "]串码已在库,入库日期" + inDate);

  Scan(*screen, *panel, NewSerial(1));
  ExpectScanRefused(*screen, *panel, NewSerial(1), "手机串码/卡号[" + NewSerial(1) + "]重复");
  EXPECT_EQ(screen->ModeNOList().Count(), 1);
}

TEST_F(FastEntryPanelTest, ANumberOnlySavedInAnotherReceiptIsNotInStockAndIsTaken) {
  auto* first = Open(testing::kStockIn);
  SaveNewBill(*first, {{Handset(0), NewSerial(5)}});
  Application().Dispatch([&] { first->Close(); });

  auto* screen = Open(testing::kStockIn);
  auto* panel = Attach(*screen);
  PickProduct(*panel, ProductName(0));
  Application().Dispatch([&] { panel->ChooseColor(shop.Colors[0]); });
  SetPrice(*panel, "500");
  Scan(*screen, *panel, NewSerial(5));
  EXPECT_TRUE(Application().ShownErrors().empty()) << JoinStrings(Application().ShownErrors(), "|");
  EXPECT_TRUE(screen->ModeNOList().Contains(NewSerial(5)));
}

TEST_F(FastEntryPanelTest, InBatchModeScansFillThePreparedRowsInTurn) {
  auto* screen = Open(testing::kStockIn);
  auto* panel = Attach(*screen);
  // Two rows prepared without serial numbers, the first without colour.
  EnterRows(*screen, {{Handset(0), "", "300"}, {Handset(1), "", "400", 1, shop.Colors[2]}});
  Application().Dispatch([&] {
    screen->CdsDetail->CheckBrowseMode();
    screen->CdsDetail->First();
    panel->chkBatchEnter->SetChecked(true);
  });
  ExpectScanRefused(*screen, *panel, NewSerial(1), "请选择颜色");
  Application().Dispatch([&] { panel->ChooseColor(shop.Colors[1]); });
  Application().ClearShownErrors();
  SetPrice(*panel, "");
  Scan(*screen, *panel, NewSerial(1));
  SetPrice(*panel, "450");
  Scan(*screen, *panel, NewSerial(2));
  EXPECT_TRUE(Application().ShownErrors().empty()) << JoinStrings(Application().ShownErrors(), "|");

  const std::string id = SaveNewBill(*screen, {});
  EXPECT_EQ(Lines("SELECT F_PRODUCT_ID, F_COLOR_ID, F_MODE_NO, F_PRICE FROM TB_IN_STOCK_DETAIL WHERE F_MID = " + id +
                  " ORDER BY F_MODE_NO"),
            (std::vector<std::string>{
                std::to_string(Handset(0)) + "|" + std::to_string(shop.Colors[1]) + "|" + NewSerial(1) + "|300|",
                std::to_string(Handset(1)) + "|" + std::to_string(shop.Colors[2]) + "|" + NewSerial(2) + "|450|"}))
      << "the panel's colour only where a row had none; its price where one was given";
}


// The fast entry dialog over a receipt that already holds a handset and a counted accessory.
class FastEntryDialogTest : public FastEntryPanelTest {
 protected:
  TFrmBaseBillFramework* Receipt() {
    auto* screen = Open(testing::kStockIn);
    EnterRows(*screen, {{Handset(1), NewSerial(1), "700"}, {shop.Accessories[0], "", "15", 3}});
    Application().Dispatch([&] { screen->CdsDetail->CheckBrowseMode(); });
    return screen;
  }
  // The dialog shown over the detail as the return screens show it, the assistant's work in it.
  int Enter(TFrmBaseBillFramework& screen, std::function<void(TFrmFasteEnterProduct&)> work) {
    Application().QueueModalScript([work](TCustomForm& form) { work(static_cast<TFrmFasteEnterProduct&>(form)); });
    int result = -1;
    Application().Dispatch([&] {
      std::unique_ptr<TFrmFasteEnterProduct> dialog(GetFasteEnterProduct(&screen));
      dialog->SetDataSet(screen.CdsDetail);
      result = dialog->ShowModal();
    });
    return result;
  }
  using BillTest::Click;
  static void Click(TButton* button) { Application().Dispatch([button] { button->PerformClick(); }); }
  static void TypeModeNO(TFrmFasteEnterProduct& dialog, const std::string& text) {
    dialog.SetActiveControl(dialog.db_edtModeNO);
    dialog.db_edtModeNO->SelectAll();
    dialog.TypeText(text);
  }
  std::vector<std::string> DetailRows(TFrmBaseBillFramework& screen) {
    std::vector<std::string> rows;
    Application().Dispatch([&] {
      TClientDataSet& detail = *screen.CdsDetail;
      detail.CheckBrowseMode();
      for (detail.First(); !detail.Eof(); detail.Next()) {
        std::string row;
        for (const char* field : {"F_PRODUCT_ID", "F_MODE_NO", "F_QTY", "F_QTY_ACTUAL", "F_IN_OUT", "F_PRICE", "F_COST_PRICE",
                                  "F_MONEY", "F_ROOT_ID", "F_REMARK"})
          row += detail.FieldByName(field).AsString() + "|";
        rows.push_back(row);
      }
    });
    return rows;
  }
};

TEST_F(FastEntryDialogTest, UnitsEnteredGetRowsOfTheirOwnWithCheckedUpperCaseSerials) {
  auto* screen = Receipt();
  const std::string supplier = Text("SELECT F_CUSTOMER_ID FROM TB_PRODUCT_ATTRIBUTE WHERE F_ID = " + std::to_string(Handset(0)));
  const std::string cost = Text("SELECT F_PRICE_JH FROM TB_PRODUCT_ATTRIBUTE WHERE F_ID = " + std::to_string(Handset(0)));
  ASSERT_NE(supplier, "") << "the sample's handsets name their supplier";
  const std::vector<std::string> before = DetailRows(*screen);
  std::vector<std::string> errors;
  const std::string typed = "35ab" + NewSerial(2).substr(4);
  const int result = Enter(*screen, [&](TFrmFasteEnterProduct& dialog) {
    Click(dialog.btnOK);
    dialog.db_PopupProduct->SetText(ProductName(0).substr(0, 6));
    Application().Dispatch([&] {
      dialog.db_PopupProduct->Popup();
      dialog.lstProduct->ClickItem(0);
    });
    Click(dialog.btnOK);
    TypeModeNO(dialog, "  " + typed);
    Click(dialog.btnCopyAdd);
    TypeModeNO(dialog, NewSerial(1));  // the handset already in the bill
    Click(dialog.btnOK);
    TypeModeNO(dialog, UpperCase(typed));  // the unit just entered
    Click(dialog.btnOK);
    TypeModeNO(dialog, NewSerial(3));
    Click(dialog.btnOK);
    errors = Application().ShownErrors();
  });
  EXPECT_EQ(result, mrOk);
  EXPECT_EQ(errors, (std::vector<std::string>{"请选择供应商", "请输入串码", "手机串码/卡号[" + NewSerial(1) + "]重复",
                                               "手机串码/卡号[" + UpperCase(typed) + "]重复"}));
  std::vector<std::string> expected = before;
  for (const std::string& serial : {UpperCase(typed), NewSerial(3)})
    expected.push_back(std::to_string(Handset(0)) + "|" + serial + "|0|1|I|" + cost + "|" + cost + "|0|" + supplier + "|新串码|");
  EXPECT_EQ(DetailRows(*screen), expected) << "the bill's own rows untouched; each unit a row of its own";
  EXPECT_TRUE(screen->ModeNOList().Contains(UpperCase(typed)));
  EXPECT_TRUE(screen->ModeNOList().Contains(NewSerial(3)));

  // The bill's own serial entry is back once the dialog is gone.
  Click(*screen, screen->actDetailAppend);
  EXPECT_TRUE(TypeCell(*screen, "F_PRODUCT_ID", std::to_string(Handset(2))));
  EXPECT_FALSE(TypeCell(*screen, "F_MODE_NO", NewSerial(3)));
  EXPECT_TRUE(TypeCell(*screen, "F_MODE_NO", "35cd" + NewSerial(4).substr(4)));
  EXPECT_TRUE(screen->ModeNOList().Contains("35CD" + NewSerial(4).substr(4)));
}

TEST_F(FastEntryDialogTest, CancelOrClosingRemovesOnlyTheRowTheDialogWasTyping) {
  auto* screen = Receipt();
  Application().Dispatch([&] { screen->CdsDetail->Last(); });  // on the accessory, which has no serial number
  const std::string before = Screen(*screen);
  const std::vector<std::string> bills = Bills();
  EXPECT_EQ(Enter(*screen, [&](TFrmFasteEnterProduct& dialog) {
              dialog.ChooseProduct(Handset(0));
              TypeModeNO(dialog, NewSerial(5));
              Click(dialog.btnCancel);
            }),
            mrCancel);
  EXPECT_EQ(Screen(*screen), before);
  EXPECT_EQ(Enter(*screen, [&](TFrmFasteEnterProduct& dialog) { dialog.ChooseProduct(Handset(0)); }), mrCancel)
      << "the window closed without a button";
  EXPECT_EQ(Screen(*screen), before);
  EXPECT_EQ(Bills(), bills);
}

}  // namespace
}  // namespace jxc
