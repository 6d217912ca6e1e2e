// The batch price and colour edits as a shop assistant uses them on a purchase receipt: the rows are
// typed, the dialog lists one line per product (and configuration and colour for prices), the assistant
// types on the lines that matter and confirms; the bill's rows change and are saved as changed.
#include <gtest/gtest.h>

#include "BillTestSupport.h"
#include "bills/UnitFrmBatchEditPrice.h"
#include "bills/UnitFrmBatchModifyColor.h"
#include "platform/Exceptions.h"
#include "platform/GridInplaceEdit.h"
#include "platform/Keys.h"
#include "platform/MemSQL.h"
#include "platform/StdCtrls.h"
#include "services/DBCache.h"

namespace jxc {
namespace {

using testing::BillTest;
using testing::TRow;

// What the assistant sees of a dialog's lines: product name, then the named fields, "|" between.
std::vector<std::string> Shown(TGridTableView& view, const std::vector<const char*>& fields) {
  std::vector<std::string> lines;
  for (int record : view.DataController().Rows()) {
    std::string line;
    for (const char* field : fields) {
      TGridColumn* column = view.FindColumnByFieldName(field);
      line += (line.empty() ? "" : "|") + (column ? view.DataController().Value(record, *column).ToString() : "?");
    }
    lines.push_back(line);
  }
  return lines;
}

// The record of the first line whose product name is the name, -1 when none shows.
int LineOf(TGridTableView& view, const std::string& product) {
  TGridColumn* column = view.FindColumnByFieldName("F_PRODUCT");
  for (int record : view.DataController().Rows())
    if (view.DataController().Value(record, *column).ToString() == product) return record;
  return -1;
}

class BatchEditTest : public BillTest {
 protected:
  void SetUp() override {
    BillTest::SetUp();
    SysService::Register<ICache>(std::make_shared<TDBCache>(db));
    for (int h = 0; h < 2; ++h) name[h] = Text("SELECT F_NAME FROM TB_PRODUCT_ATTRIBUTE WHERE F_ID = " + std::to_string(Handset(h)));
  }

  // A receipt of two units of handset 0 (100 and 101, colour 0), one of handset 0 in colour 1 (50) and one
  // of handset 1 (200.5), the names filled as the product list fills them, and an empty row at the end.
  TFrmBaseBillFramework* Receipt() {
    auto* screen = Open(testing::kStockIn);
    EnterRows(*screen, {{Handset(0), NewSerial(1), "100", 1, shop.Colors[0]},
                        {Handset(0), NewSerial(2), "101", 1, shop.Colors[0]},
                        {Handset(0), NewSerial(3), "50", 1, shop.Colors[1]},
                        {Handset(1), NewSerial(4), "200.5", 1, shop.Colors[0]}});
    Application().Dispatch([&] {
      TClientDataSet& detail = *screen->CdsDetail;
      detail.CheckBrowseMode();
      for (detail.First(); !detail.Eof(); detail.Next()) {
        detail.Edit();
        detail.FieldByName("F_PRODUCT").SetAsString(detail.FieldByName("F_PRODUCT_ID").AsLargeInt() == Handset(0) ? name[0] : name[1]);
        detail.Post();
      }
    });
    Click(*screen, screen->actDetailAppend);  // the row a quick input leaves
    return screen;
  }

  // The assistant's work in the price dialog, then OK (or Cancel).
  int EditPrices(TFrmBaseBillFramework& screen, TBatchPriceMode mode, std::function<void(TFrmBatchEditPrice&)> work,
                 bool ok = true) {
    Application().QueueModalScript([&, work, ok](TCustomForm& form) {
      auto& dialog = static_cast<TFrmBatchEditPrice&>(form);
      work(dialog);
      (ok ? dialog.btnOK : dialog.btnCancel)->PerformClick();
    });
    received.clear();
    int result = -1;
    // The bill writes each line's price into its rows, as the return bill does.
    auto callback = [&](const TBatchPrice& line) {
      received.push_back(line);
      TClientDataSet& detail = *screen.CdsDetail;
      for (detail.First(); !detail.Eof(); detail.Next()) {
        if (detail.FieldByName("F_PRODUCT_ID").Value() != line.ProductID ||
            detail.FieldByName("F_COLOR_ID").Value() != line.ColorID)
          continue;
        detail.Edit();
        detail.FieldByName(mode == TBatchPriceMode::EmployeePrice ? "F_PRICE_EMPLOYEE" : "F_PRICE").SetText(line.NewPrice.ToString());
        detail.Post();
      }
    };
    Application().Dispatch([&] {
      result = mode == TBatchPriceMode::EmployeePrice
                   ? GetBatchEditEmployeePrice(&screen, *screen.CdsDetail, callback)
                   : GetBatchEditPrice(&screen, *screen.CdsDetail, callback, mode == TBatchPriceMode::PriceAndEmployee);
    });
    return result;
  }
  // Types into a cell of the line of that product; false when the grid refused the text.
  static bool TypeLine(TFrmBatchEditPrice& dialog, const std::string& product, const char* field, const std::string& text,
                       int nth = 0) {
    int record = -1;
    TGridColumn* names = dialog.tvResult->FindColumnByFieldName("F_PRODUCT");
    for (int r : dialog.tvResult->DataController().Rows())
      if (dialog.tvResult->DataController().Value(r, *names).ToString() == product && nth-- == 0) record = r;
    EXPECT_GE(record, 0) << product;
    dialog.tvResult->EditCell(record, *dialog.tvResult->FindColumnByFieldName(field), text);
    return !dialog.tvResult->Editing();
  }

  std::string name[2];
  std::vector<TBatchPrice> received;
};

TEST_F(BatchEditTest, APriceTypedOnOneLineReachesItsRowsAndIsSaved) {
  auto* screen = Receipt();
  std::vector<std::string> shown;
  TFieldType priceType = ftUnknown;
  EditPrices(*screen, TBatchPriceMode::Price, [&](TFrmBatchEditPrice& dialog) {
    shown = Shown(*dialog.tvResult, {"F_PRODUCT", "F_QTY", "F_PRICE", "F_SELECT"});
    priceType = dialog.qryResult->FieldByName("F_PRICE").DataType();
    EXPECT_TRUE(TypeLine(dialog, name[0], "F_NEW_PRICE", "120.25"));
  });
  EXPECT_EQ(shown, (std::vector<std::string>{name[0] + "|2|100.5|False", name[0] + "|1|50|False", name[1] + "|1|200.5|False"}))
      << "one line per product, configuration and colour; the empty row is not listed";
  EXPECT_EQ(priceType, ftCurrency);
  ASSERT_EQ(received.size(), 1u) << "only the line with a new price";
  EXPECT_EQ(received[0].ProductID.AsInt64(), Handset(0));
  EXPECT_EQ(received[0].ColorID.AsInt64(), shop.Colors[0]);
  EXPECT_EQ(received[0].NewPrice, *Currency::TryParse("120.25"));
  EXPECT_FALSE(received[0].EmployeePrice.has_value());

  const std::string id = SaveNewBill(*screen, {});
  EXPECT_EQ(Lines("SELECT F_MODE_NO, F_PRICE, F_MONEY FROM TB_IN_STOCK_DETAIL WHERE F_MID = " + id + " ORDER BY F_MODE_NO"),
            (std::vector<std::string>{NewSerial(1) + "|120.25|120.25|", NewSerial(2) + "|120.25|120.25|",
                                      NewSerial(3) + "|50|50|", NewSerial(4) + "|200.5|200.5|"}));
}

TEST_F(BatchEditTest, DifferenceIsNewPriceLessOldEitherWayAndOutOfBoundPricesAreRefused) {
  auto* screen = Receipt();
  const std::string detailBefore = Screen(*screen);
  std::vector<std::string> afterTyping, afterRefusals;
  EditPrices(*screen, TBatchPriceMode::Price, [&](TFrmBatchEditPrice& dialog) {
    EXPECT_TRUE(TypeLine(dialog, name[0], "F_NEW_PRICE", "90"));       // 100.5 -> 90: difference -10.5
    EXPECT_TRUE(TypeLine(dialog, name[0], "F_CE", "25", 1));           // 50 + 25 = 75
    EXPECT_TRUE(TypeLine(dialog, name[1], "F_NEW_PRICE", "300"));
    EXPECT_TRUE(TypeLine(dialog, name[1], "F_NEW_PRICE", "0"));        // cleared: unchosen again
    afterTyping = Shown(*dialog.tvResult, {"F_NEW_PRICE", "F_CE", "F_SELECT"});
    dialog.qryResult->CheckBrowseMode();
    EXPECT_FALSE(TypeLine(dialog, name[0], "F_NEW_PRICE", "100000.01"));
    EXPECT_FALSE(TypeLine(dialog, name[0], "F_NEW_PRICE", "-1"));
    EXPECT_FALSE(TypeLine(dialog, name[0], "F_CE", "-51", 1));          // 50 - 51 is below 0
    EXPECT_TRUE(TypeLine(dialog, name[1], "F_CE", "99799.5"));         // exactly 100000 is allowed
    afterRefusals = Shown(*dialog.tvResult, {"F_NEW_PRICE", "F_CE", "F_SELECT"});
  });
  EXPECT_EQ(afterTyping, (std::vector<std::string>{"90|-10.5|True", "75|25|True", "0|-200.5|False"}));
  EXPECT_EQ(afterRefusals, (std::vector<std::string>{"90|-10.5|True", "75|25|True", "100000|99799.5|True"}))
      << "refused prices leave the lines as they were";
  EXPECT_EQ(Application().ShownErrors(), (std::vector<std::string>{"单价输入有误", "单价输入有误", "单价输入有误"}));
  ASSERT_EQ(received.size(), 3u);
  EXPECT_EQ(received[1].NewPrice, Currency::FromInt(75));
  EXPECT_NE(Screen(*screen), detailBefore);

  // Cancel hands nothing to the bill.
  const std::string detailNow = Screen(*screen);
  EXPECT_EQ(EditPrices(*screen, TBatchPriceMode::Price, [&](TFrmBatchEditPrice& dialog) {
              TypeLine(dialog, name[0], "F_NEW_PRICE", "1");
            }, false), mrCancel);
  EXPECT_TRUE(received.empty());
  EXPECT_EQ(Screen(*screen), detailNow);
}

TEST_F(BatchEditTest, LinesChosenUnderAnotherProductFilterAreHandedOverToo) {
  auto* screen = Receipt();
  std::vector<std::string> filtered;
  EditPrices(*screen, TBatchPriceMode::Price, [&](TFrmBatchEditPrice& dialog) {
    dialog.edtProduct->SetText(name[1]);
    filtered = Shown(*dialog.tvResult, {"F_PRODUCT"});
    EXPECT_TRUE(TypeLine(dialog, name[1], "F_NEW_PRICE", "210"));
    dialog.edtProduct->SetText(name[0]);
    EXPECT_TRUE(TypeLine(dialog, name[0], "F_NEW_PRICE", "110"));
  });
  EXPECT_EQ(filtered, std::vector<std::string>{name[1]});
  ASSERT_EQ(received.size(), 2u) << "the line hidden by the filter is not lost";
  EXPECT_EQ(received[0].NewPrice, Currency::FromInt(110));
  EXPECT_EQ(received[1].NewPrice, Currency::FromInt(210));
}

TEST_F(BatchEditTest, EmployeePricesAreSummedAndHandedOverInTheirModes) {
  auto* screen = Receipt();
  Application().Dispatch([&] {
    TClientDataSet& detail = *screen->CdsDetail;
    int k = 0;
    for (detail.First(); !detail.Eof(); detail.Next(), ++k) {
      detail.Edit();
      detail.FieldByName("F_PRICE_EMPLOYEE").SetAsCurrency(Currency::FromInt(80 + k));
      detail.Post();
    }
  });
  std::vector<std::string> employeeLines, bothLines;
  EditPrices(*screen, TBatchPriceMode::EmployeePrice, [&](TFrmBatchEditPrice& dialog) {
    employeeLines = Shown(*dialog.tvResult, {"F_QTY", "F_PRICE"});
    EXPECT_TRUE(TypeLine(dialog, name[1], "F_NEW_PRICE", "150"));
  });
  EXPECT_EQ(employeeLines, (std::vector<std::string>{"2|80.5", "1|82", "1|83"}));
  ASSERT_EQ(received.size(), 1u);
  EXPECT_EQ(received[0].NewPrice, Currency::FromInt(150));

  EditPrices(*screen, TBatchPriceMode::PriceAndEmployee, [&](TFrmBatchEditPrice& dialog) {
    bothLines = Shown(*dialog.tvResult, {"F_PRICE", "F_PRICE_EMPLOYEE"});
    EXPECT_TRUE(TypeLine(dialog, name[0], "F_PRICE_EMPLOYEE", "60", 1));
    EXPECT_FALSE(TypeLine(dialog, name[0], "F_PRICE_EMPLOYEE", "100001", 1));
    EXPECT_TRUE(TypeLine(dialog, name[0], "F_NEW_PRICE", "55", 1));
  });
  EXPECT_EQ(bothLines, (std::vector<std::string>{"100.5|80.5", "50|82", "200.5|150"}));
  ASSERT_EQ(received.size(), 1u);
  EXPECT_EQ(received[0].NewPrice, Currency::FromInt(55));
  ASSERT_TRUE(received[0].EmployeePrice.has_value());
  EXPECT_EQ(*received[0].EmployeePrice, Currency::FromInt(60));
}

class BatchColorTest : public BatchEditTest {
 protected:
  // The assistant's work in the colour (or location) dialog, then OK; what the dialog shows is kept.
  int ModifyColumn(TFrmBaseBillFramework& screen, bool colours, std::function<void(TFrmBatchModifyColor&)> work) {
    Application().QueueModalScript([&, work](TCustomForm& form) {
      auto& dialog = static_cast<TFrmBatchModifyColor&>(form);
      shownLines = Shown(*dialog.tvResult, {"F_PRODUCT", "F_QTY", "F_SELECT", "F_NEW_COLOR_ID"});
      TGridColumn* column = dialog.tvResult->FindColumnByFieldName("F_NEW_COLOR_ID");
      valueCaption = column ? column->Caption : "";
      work(dialog);
      dialog.btnOK->PerformClick();
      if (dialog.ModalResult() == mrNone) dialog.btnCancel->PerformClick();
    });
    int result = -1;
    Application().Dispatch([&] {
      result = colours ? GetBatchModifyColor(&screen, *screen.CdsDetail) : GetBatchModifyLocation(&screen, *screen.CdsDetail);
    });
    return result;
  }
  // The assistant opens the line's new-value cell and types the start of a list entry's name, then Enter.
  static void Choose(TFrmBatchModifyColor& dialog, const std::string& product, const std::string& entry) {
    const int record = LineOf(*dialog.tvResult, product);
    ASSERT_GE(record, 0);
    dialog.tvResult->ClickCell(record, *dialog.tvResult->FindColumnByFieldName("F_NEW_COLOR_ID"));
    ASSERT_NE(dynamic_cast<TGridInplaceLookupEdit*>(dialog.tvResult->InplaceEditor()), nullptr);
    dialog.TypeText(entry);
    dialog.PressKey(VK_RETURN);
    dialog.PressKey(VK_RETURN);
  }
  std::vector<std::string> DetailColumn(TFrmBaseBillFramework& screen, const char* field) {
    std::vector<std::string> values;
    Application().Dispatch([&] {
      TClientDataSet& detail = *screen.CdsDetail;
      for (detail.First(); !detail.Eof(); detail.Next()) values.push_back(detail.FieldByName(field).AsString());
    });
    return values;
  }
  std::string ColorName(int k) { return Text("SELECT F_NAME FROM TB_PRODUCT_COLOR WHERE F_ID = " + std::to_string(shop.Colors[k])); }

  std::vector<std::string> shownLines;
  std::string valueCaption;
};

TEST_F(BatchColorTest, AColourChosenForOneProductColoursItsRowsOnlyAndADefaultOkChangesNothing) {
  auto* screen = Receipt();
  const std::string before = Screen(*screen);
  EXPECT_EQ(ModifyColumn(*screen, true, [](TFrmBatchModifyColor&) {}), mrOk) << JoinStrings(Application().ShownErrors(), "|");
  EXPECT_EQ(shownLines, (std::vector<std::string>{name[0] + "|3|True|0", name[1] + "|1|True|0"}))
      << "all lines chosen, no new colour yet; the empty row is not listed";
  EXPECT_EQ(valueCaption, "新颜色");
  EXPECT_EQ(Screen(*screen), before) << "lines without a new colour change nothing";

  const std::string third = ColorName(2);
  EXPECT_EQ(ModifyColumn(*screen, true, [&](TFrmBatchModifyColor& dialog) { Choose(dialog, name[0], third); }), mrOk);
  const std::string c0 = std::to_string(shop.Colors[0]), c2 = std::to_string(shop.Colors[2]);
  EXPECT_EQ(screen->CdsDetail->State(), dsInsert) << "the blank row to type into is still there";
  EXPECT_EQ(DetailColumn(*screen, "F_COLOR_ID"), (std::vector<std::string>{c2, c2, c2, c0}));
  EXPECT_EQ(DetailColumn(*screen, "F_COLOR"), (std::vector<std::string>{third, third, third, ""}));
  EXPECT_FALSE(screen->CdsDetail->ControlsDisabled());
  EXPECT_FALSE(screen->CdsDetail->Filtered());

  const std::string id = SaveNewBill(*screen, {});
  EXPECT_EQ(Lines("SELECT F_MODE_NO, F_COLOR_ID, F_COLOR FROM TB_IN_STOCK_DETAIL WHERE F_MID = " + id + " ORDER BY F_MODE_NO"),
            (std::vector<std::string>{NewSerial(1) + "|" + c2 + "|" + third + "|", NewSerial(2) + "|" + c2 + "|" + third + "|",
                                      NewSerial(3) + "|" + c2 + "|" + third + "|", NewSerial(4) + "|" + c0 + "||"}));
}

TEST_F(BatchColorTest, ALocationIsWrittenToTheChosenProductsRows) {
  auto* screen = Receipt();
  // A row with a quantity but no product yet: it has no line and stays as it is.
  Application().Dispatch([&] {
    screen->CdsDetail->FieldByName("F_QTY").SetAsInteger(5);
    screen->CdsDetail->Post();
  });
  const std::string store = Text("SELECT F_NAME FROM TB_STOCK_LOCATION WHERE F_ID = " + std::to_string(shop.StoreLocations[0]));
  const std::string counter = std::to_string(Counter(0));
  EXPECT_EQ(ModifyColumn(*screen, false, [&](TFrmBatchModifyColor& dialog) {
              Choose(dialog, name[1], store);
              // Unchosen: the line keeps its rows as they are, whatever value it holds.
              Choose(dialog, name[0], store);
              dialog.tvResult->EditCell(LineOf(*dialog.tvResult, name[0]), *dialog.tvResult->FindColumnByFieldName("F_SELECT"), "False");
            }),
            mrOk);
  EXPECT_EQ(valueCaption, "新库位");
  const std::string s = std::to_string(shop.StoreLocations[0]);
  EXPECT_EQ(shownLines.size(), 2u);
  EXPECT_EQ(DetailColumn(*screen, "F_LOCATION_ID"), (std::vector<std::string>{counter, counter, counter, s, counter}));
  Application().Dispatch([&] {
    screen->CdsDetail->Last();
    screen->CdsDetail->Delete();
  });
  const std::string id = SaveNewBill(*screen, {});
  EXPECT_EQ(Text("SELECT F_LOCATION_ID FROM TB_IN_STOCK_DETAIL WHERE F_MID = " + id + " AND F_MODE_NO = '" + NewSerial(4) + "'"), s);
}

TEST_F(BatchColorTest, ARowThatRefusesItsColourLeavesEveryRowAsItWas) {
  auto* screen = Receipt();
  const std::string before = Screen(*screen);
  // The bill refuses the third unit's row.
  std::string statusWhileWorking;
  screen->CdsDetail->BeforePost = [&](TDataSet& row) {
    if (auto* dialog = dynamic_cast<TFrmBatchModifyColor*>(screen->FindComponent("FrmBatchModifyColor")))
      if (statusWhileWorking.empty()) statusWhileWorking = dialog->lblStatus->Caption();
    if (row.FieldByName("F_MODE_NO").AsString() == NewSerial(3) && row.FieldByName("F_COLOR_ID").AsLargeInt() == shop.Colors[2])
      throw Exception("第3行颜色不能修改");
  };
  const std::string third = ColorName(2);
  EXPECT_EQ(ModifyColumn(*screen, true, [&](TFrmBatchModifyColor& dialog) { Choose(dialog, name[0], third); }), mrCancel);
  EXPECT_EQ(Application().ShownErrors(), std::vector<std::string>{"第3行颜色不能修改"});
  EXPECT_EQ(statusWhileWorking, "处理中...");
  auto* dialog = dynamic_cast<TFrmBatchModifyColor*>(screen->FindComponent("FrmBatchModifyColor"));
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->lblStatus->Caption(), "") << "the status goes with the work";
  EXPECT_EQ(Screen(*screen), before);
  EXPECT_FALSE(screen->CdsDetail->ControlsDisabled());
}

}  // namespace
}  // namespace jxc
