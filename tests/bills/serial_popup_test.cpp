// The serial-number column of a bill's detail grid, used as a shop assistant uses it, over the sample shop
// on the SQLite service: dropping down the units in stock, typing the last digits, picking a unit into the
// row by bill kind, refusals that leave the row as it was, and lists read again while editors come and go.
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "bills/ExpressionControl.h"
#include "platform/Application.h"
#include "platform/DataSet.h"
#include "platform/DataSource.h"
#include "platform/Exceptions.h"
#include "platform/Forms.h"
#include "platform/Grid.h"
#include "platform/GridDB.h"
#include "platform/Text.h"
#include "services/DBCache.h"
#include "services/SQLiteDBAccess.h"
#include "services/SampleShop.h"
#include "support/DatabaseFiles.h"

namespace jxc {
namespace {

constexpr int kUnits = 40;  // unit i: handset i % 4, branch i % 3, colour i % 4

// A bill screen's detail as the serial column sees it: the detail dataset with the fields the column
// fills, the grid, and the bill's serial list with its text handler on F_MODE_NO and F_NEW_MODE_NO.
class SerialPopupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetApplication();
    path = testing::TempPath(::testing::UnitTest::GetInstance()->current_test_info()->name());
    testing::Remove(path);
    db = std::make_shared<TSQLiteDBAccess>(path);
    shop = CreateSampleShop(*db, {kUnits, 3});
    cache = std::make_shared<TDBCache>(db);

    form = new TForm(&Application());
    cdsDetail = new TClientDataSet(form);
    for (const char* name : {"F_MODE_NO", "F_NEW_MODE_NO", "F_PRODUCT", "F_NEW_PRODUCT", "F_UNIT"})
      cdsDetail->FieldDefs().Add(name, ftString, 50);
    for (const char* name : {"F_PRODUCT_ID", "F_NEW_PRODUCT_ID", "F_COLOR_ID", "F_NEW_COLOR_ID", "F_CONFIG_ID",
                             "F_NEW_CONFIG_ID", "F_LOCATION_ID", "F_NEW_LOCATION_ID", "F_SHOP_ID"})
      cdsDetail->FieldDefs().Add(name, ftLargeint);
    cdsDetail->FieldDefs().Add("F_KIND", ftInteger);
    cdsDetail->FieldDefs().Add("F_PRODUCT_TYPE_ID", ftInteger);
    cdsDetail->FieldDefs().Add("F_QTY", ftInteger);
    cdsDetail->FieldDefs().Add("F_PRICE", ftCurrency);
    cdsDetail->FieldDefs().Add("F_NEW_PRICE_EMPLOYEE", ftCurrency);
    cdsDetail->CreateDataSet();
    cdsDetail->OnNewRecord = [this](TDataSet& ds) {
      ds.FieldByName("F_KIND").SetAsInteger(kind);
      ds.FieldByName("F_QTY").SetAsInteger(1);
    };
    cdsDetail->FieldByName("F_MODE_NO").OnSetText = [this](TField& f, const std::string& t) { ModeNOSetText(f, t); };
    cdsDetail->FieldByName("F_NEW_MODE_NO").OnSetText = [this](TField& f, const std::string& t) { ModeNOSetText(f, t); };
    cdsDetail->FieldByName("F_PRICE").OnSetText = [this](TField& field, const std::string& text) {
      priceEntries.push_back(text);
      field.SetAsString(text);
    };
    cdsDetail->FieldByName("F_NEW_PRODUCT_ID").OnSetText = [this](TField& field, const std::string& text) {
      productEntries.push_back(text);
      field.SetAsString(text);
    };
    dsDetail = new TDataSource(form);
    dsDetail->SetDataSet(cdsDetail);

    grid = new TGrid(form);
    grid->SetParent(form);
    tvResult = grid->CreateView();
    tvResult->DataController().SetDataSource(dsDetail);
    tvResult->CreateColumn("F_PRODUCT", "商品");
    colModeNO = tvResult->CreateColumn("F_MODE_NO", "串码");
    properties = TPopupModbileModeNOProperties::Assign(*colModeNO, cache);
    properties->OnCheckModeNO = [this](const std::string& modeNO) { CheckModeNO(modeNO, false); };
    grid->SetFocus();
    inStockBefore = InStock();
  }
  void TearDown() override {
    ResetApplication();
    properties.reset();
    cache.reset();
    db.reset();
    testing::Remove(path);
  }

  // The bill's serial list: a serial number once per bill.
  void CheckModeNO(const std::string& modeNO, bool add) {
    if (modeNOList.count(modeNO)) throw Exception("手机串码/卡号[" + modeNO + "]重复");
    if (add) modeNOList.insert(modeNO);
  }
  void ModeNOSetText(TField& field, const std::string& text) {
    const std::string modeNO = UpperCase(Trim(text));
    if (modeNO == field.AsString()) return;
    CheckModeNO(modeNO, true);
    modeNOList.erase(field.AsString());
    field.SetAsString(modeNO);
  }

  // A new detail row of the product with the serial cell clicked.
  void NewRow(int64_t product) {
    cdsDetail->Append();
    cdsDetail->FieldByName("F_PRODUCT_ID").SetAsLargeInt(product);
    tvResult->ClickCell(tvResult->FocusedRecordIndex(), *colModeNO);
  }
  // The user types the unit's last five digits, waits for the list and takes its row with Enter.
  void Pick(int unit) {
    form->TypeText(Last(SampleSerial(unit), 5));
    Application().Advance(300);
    form->PressKey(VK_RETURN);
  }
  TPopupModbileModeNO* Editor() const { return dynamic_cast<TPopupModbileModeNO*>(tvResult->InplaceEditor()); }
  TDataSet* List() const { return properties->ListSource()->DataSet(); }
  std::vector<std::string> ListedSerials() const {
    std::vector<std::string> serials;
    TDataSet* list = List();
    for (int row = 0; list && row < list->RecordCount(); ++row)
      serials.push_back(list->RowValue(row, list->FieldByName("F_MODE_NO").Index()).ToString());
    return serials;
  }
  // Units of handset h (0-based) among the sample's units, in serial order.
  static std::vector<std::string> UnitsOf(int h) {
    std::vector<std::string> serials;
    for (int i = h; i < kUnits; i += 4) serials.push_back(SampleSerial(i));
    return serials;
  }
  int64_t InStock() { return db->OpenSQL("SELECT COUNT(*) AS N FROM TB_SYS_STOCK WHERE F_HAVE_QTY > 0")->FieldByName("N").AsLargeInt(); }
  std::vector<Variant> RowValues() const {
    std::vector<Variant> values;
    for (int i = 0; i < cdsDetail->FieldCount(); ++i) values.push_back(cdsDetail->Fields(i).Value());
    return values;
  }
  std::string Last(const std::string& serial, size_t n) const { return serial.substr(serial.size() - n); }

  std::string path;
  std::shared_ptr<TSQLiteDBAccess> db;
  std::shared_ptr<TDBCache> cache;
  TSampleShop shop;
  TForm* form;
  TClientDataSet* cdsDetail;
  TDataSource* dsDetail;
  TGrid* grid;
  TGridTableView* tvResult;
  TGridColumn* colModeNO;
  std::shared_ptr<TPopupModbileModeNOProperties> properties;
  std::set<std::string> modeNOList;
  std::vector<std::string> priceEntries, productEntries;
  int kind = 6;
  int64_t inStockBefore = 0;
};

TEST_F(SerialPopupTest, TheListShowsTheProductsUnitsAndTheTypedDigitsNarrowItAfterThePause) {
  NewRow(shop.Handsets[0]);
  form->PressKey(VK_DOWN, ssAlt);
  TPopupModbileModeNO* editor = Editor();
  ASSERT_NE(editor, nullptr);
  ASSERT_TRUE(editor->DroppedDown());
  EXPECT_EQ(ListedSerials(), UnitsOf(0));
  ASSERT_EQ(editor->ListColumns.size(), 2u);
  EXPECT_EQ(editor->ListColumns[0].FieldName, "F_MODE_NO");
  EXPECT_EQ(editor->ListColumns[1].FieldName, "F_PRODUCT");
  EXPECT_EQ(List()->FieldByName("F_PRODUCT").AsString(), "华为 Mate 60 Pro");

  const std::string unit8 = SampleSerial(8);
  form->TypeText(Last(unit8, 4).substr(0, 2));
  Application().Advance(200);
  form->TypeText(Last(unit8, 4).substr(2));
  Application().Advance(299);
  EXPECT_EQ(ListedSerials().size(), UnitsOf(0).size()) << "each keystroke restarts the pause";
  Application().Advance(1);
  EXPECT_EQ(ListedSerials(), std::vector<std::string>{unit8});
  EXPECT_EQ(editor->LookupKey(), Variant(unit8)) << "the list's row is the one chosen";
  EXPECT_FALSE(Application().Scheduler().HasTimer(editor, TPopupModbileModeNO::FilterTimerID));

  // Emptied text shows the whole list again; % and _ are no wildcards.
  for (int i = 0; i < 4; ++i) form->PressKey(VK_BACK);
  Application().Advance(300);
  EXPECT_EQ(ListedSerials().size(), UnitsOf(0).size());
  form->TypeText("%");
  Application().Advance(300);
  EXPECT_TRUE(ListedSerials().empty());
  form->PressKey(VK_BACK);
  form->TypeText("86_");
  Application().Advance(300);
  EXPECT_TRUE(ListedSerials().empty());
}

TEST_F(SerialPopupTest, LowerCaseFindsUpperCaseTextAndAProductNameMatchesToo) {
  NewRow(shop.Handsets[2]);  // iPhone 15
  form->TypeText("iphone");
  Application().Advance(300);
  EXPECT_EQ(ListedSerials(), UnitsOf(2));
  form->TypeText(" 16");
  Application().Advance(300);
  EXPECT_TRUE(ListedSerials().empty());
}

TEST_F(SerialPopupTest, WithAutoCompletionOnlyTheTypedCharactersFilter) {
  NewRow(shop.Handsets[1]);
  form->TypeText("86");
  TPopupModbileModeNO* editor = Editor();
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->Text(), SampleSerial(1)) << "the first unit starting with the text completes it";
  EXPECT_EQ(editor->SelStart(), 2);
  Application().Advance(300);
  EXPECT_EQ(ListedSerials(), UnitsOf(1)) << "filtered by \"86\" only, not by the completed number";
}

TEST_F(SerialPopupTest, PickingAUnitFillsTheRowThroughTheBillsHandlerAndAppendsTheNextRow) {
  NewRow(shop.Handsets[3]);
  TPopupModbileModeNO* editor = Editor();
  ASSERT_NE(editor, nullptr);
  int changes = 0;
  editor->SetOnEditValueChanged([&](TPopupModbileModeNO&) { ++changes; });
  const std::string unit = SampleSerial(7);  // branch 1, colour 3
  form->TypeText(Last(unit, 5));
  Application().Advance(300);
  form->PressKey(VK_RETURN);
  EXPECT_TRUE(Application().ShownErrors().empty());
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(tvResult->InplaceEditor(), nullptr) << "the next row is focused, ready for the next unit";
  EXPECT_EQ(cdsDetail->State(), dsInsert);
  EXPECT_EQ(cdsDetail->RecordCount(), 1);
  EXPECT_EQ(modeNOList, std::set<std::string>{unit}) << "the serial went through the bill's handler";
  EXPECT_TRUE(List()->OnFilterRecord() == nullptr);
  EXPECT_FALSE(List()->Filtered());

  cdsDetail->Cancel();
  cdsDetail->First();
  auto stock = db->OpenSQL("SELECT * FROM VI_GetSysStock WHERE F_MODE_NO = '" + unit + "'");
  EXPECT_EQ(cdsDetail->FieldByName("F_MODE_NO").AsString(), unit);
  for (const char* name : {"F_PRODUCT_ID", "F_COLOR_ID", "F_CONFIG_ID", "F_LOCATION_ID", "F_PRODUCT_TYPE_ID"})
    EXPECT_EQ(cdsDetail->FieldByName(name).AsLargeInt(), stock->FieldByName(name).AsLargeInt()) << name;
  EXPECT_EQ(cdsDetail->FieldByName("F_LOCATION_ID").AsLargeInt(), shop.CounterLocations[1]);
  EXPECT_EQ(cdsDetail->FieldByName("F_COLOR_ID").AsLargeInt(), shop.Colors[3]);
  EXPECT_EQ(cdsDetail->FieldByName("F_PRODUCT").AsString(), "OPPO Find X7");
  EXPECT_EQ(cdsDetail->FieldByName("F_UNIT").AsString(), "台");
  EXPECT_TRUE(cdsDetail->FieldByName("F_SHOP_ID").IsNull()) << "a sale keeps its shop";
  EXPECT_TRUE(priceEntries.empty());
  EXPECT_EQ(InStock(), inStockBefore) << "picking writes nothing to the database";
}

TEST_F(SerialPopupTest, PickingTheUnitTheRowHoldsChangesNothing) {
  NewRow(shop.Handsets[0]);
  Pick(4);
  ASSERT_EQ(cdsDetail->RecordCount(), 1);
  cdsDetail->Cancel();
  cdsDetail->First();
  tvResult->ClickCell(0, *colModeNO);
  TPopupModbileModeNO* editor = Editor();
  ASSERT_NE(editor, nullptr);
  int changes = 0;
  editor->SetOnEditValueChanged([&](TPopupModbileModeNO&) { ++changes; });
  const std::vector<Variant> before = RowValues();
  form->PressKey(VK_DOWN, ssAlt);
  EXPECT_EQ(editor->LookupKey(), Variant(SampleSerial(4))) << "the list opens on the row's unit";
  form->PressKey(VK_RETURN);
  EXPECT_EQ(RowValues(), before);
  EXPECT_EQ(cdsDetail->RecordCount(), 1) << "no row appended";
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(tvResult->InplaceEditor(), editor);
}

TEST_F(SerialPopupTest, AnExchangeRowTakesTheUnitOnItsNewSide) {
  kind = 11;
  NewRow(shop.Handsets[0]);
  Pick(8);
  cdsDetail->Cancel();
  cdsDetail->First();
  EXPECT_EQ(cdsDetail->FieldByName("F_NEW_MODE_NO").AsString(), SampleSerial(8));
  EXPECT_TRUE(cdsDetail->FieldByName("F_MODE_NO").IsNull());
  EXPECT_EQ(productEntries, std::vector<std::string>{IntToStr(shop.Handsets[0])}) << "through the text entry";
  EXPECT_EQ(cdsDetail->FieldByName("F_NEW_PRODUCT").AsString(), "华为 Mate 60 Pro");
  EXPECT_EQ(cdsDetail->FieldByName("F_NEW_COLOR_ID").AsLargeInt(), shop.Colors[0]);
  EXPECT_EQ(cdsDetail->FieldByName("F_NEW_LOCATION_ID").AsLargeInt(), shop.CounterLocations[2]);
  EXPECT_FALSE(cdsDetail->FieldByName("F_NEW_CONFIG_ID").IsNull());
  EXPECT_TRUE(cdsDetail->FieldByName("F_COLOR_ID").IsNull()) << "the old side is untouched";
  EXPECT_EQ(cdsDetail->FieldByName("F_PRODUCT_ID").AsLargeInt(), shop.Handsets[0]);
}

TEST_F(SerialPopupTest, PurchaseChangesTakeTheEmployeePriceAndPriceChangesTheShop) {
  kind = 9;
  NewRow(shop.Handsets[1]);
  Pick(5);
  cdsDetail->Cancel();
  cdsDetail->First();
  EXPECT_EQ(cdsDetail->FieldByName("F_NEW_PRICE_EMPLOYEE").AsCurrency(), Currency::FromInt(3599));
  EXPECT_EQ(cdsDetail->FieldByName("F_PRICE").AsCurrency(), Currency::FromInt(3599));
  EXPECT_EQ(priceEntries.size(), 1u) << "the price went through the text entry";
  EXPECT_TRUE(cdsDetail->FieldByName("F_SHOP_ID").IsNull());

  kind = 23;
  priceEntries.clear();
  NewRow(shop.Handsets[1]);
  Pick(9);
  cdsDetail->Cancel();
  cdsDetail->Last();
  EXPECT_EQ(cdsDetail->FieldByName("F_MODE_NO").AsString(), SampleSerial(9));
  EXPECT_EQ(cdsDetail->FieldByName("F_SHOP_ID").AsLargeInt(), shop.Branches[0]);
  EXPECT_EQ(priceEntries.size(), 1u);
}

TEST_F(SerialPopupTest, AUnitTheBillHoldsIsRefusedAndTheRowStaysAsItWas) {
  NewRow(shop.Handsets[0]);
  Pick(12);
  ASSERT_EQ(modeNOList.size(), 1u);
  // The new row: the same unit again.
  cdsDetail->FieldByName("F_PRODUCT_ID").SetAsLargeInt(shop.Handsets[0]);
  tvResult->ClickCell(-1, *colModeNO);
  const std::vector<Variant> before = RowValues();
  Pick(12);
  ASSERT_FALSE(Application().ShownErrors().empty());
  EXPECT_EQ(Application().ShownErrors().back(), "手机串码/卡号[" + SampleSerial(12) + "]重复");
  EXPECT_EQ(RowValues(), before);
  EXPECT_EQ(cdsDetail->RecordCount(), 1) << "no row appended";
  EXPECT_FALSE(List()->Filtered());
  EXPECT_TRUE(List()->OnFilterRecord() == nullptr);

  // Without the bill's check the bill's own handler refuses it, after the row took the unit's product:
  // the row goes back to what it held all the same.
  properties->OnCheckModeNO = nullptr;
  cdsDetail->FieldByName("F_PRODUCT_ID").SetAsLargeInt(shop.Handsets[0]);
  cdsDetail->FieldByName("F_COLOR_ID").SetAsLargeInt(shop.Colors[2]);
  const std::vector<Variant> typed = RowValues();
  form->PressKey(VK_DOWN, ssAlt);
  Pick(12);
  EXPECT_EQ(Application().ShownErrors().back(), "手机串码/卡号[" + SampleSerial(12) + "]重复");
  EXPECT_EQ(RowValues(), typed);
  EXPECT_EQ(cdsDetail->State(), dsInsert);
  EXPECT_EQ(InStock(), inStockBefore);
}

TEST_F(SerialPopupTest, ClosingOnAnEmptyListClearsTheFilterAndLeavesTheRow) {
  NewRow(shop.Handsets[0]);
  const std::vector<Variant> before = RowValues();
  form->TypeText("99999");
  Application().Advance(300);
  ASSERT_TRUE(ListedSerials().empty());
  form->PressKey(VK_RETURN);
  EXPECT_FALSE(Editor()->DroppedDown());
  EXPECT_FALSE(List()->Filtered());
  EXPECT_EQ(RowValues(), before);
  EXPECT_TRUE(modeNOList.empty());
  EXPECT_TRUE(Application().ShownErrors().empty());
}

TEST_F(SerialPopupTest, AUnitGoneFromTheListIsNotReplacedByAnother) {
  NewRow(shop.Handsets[0]);
  const std::vector<Variant> before = RowValues();
  form->PressKey(VK_DOWN, ssAlt);
  form->PressKey(VK_DOWN);
  ASSERT_EQ(Editor()->LookupKey(), Variant(SampleSerial(0)));
  List()->Delete();  // the chosen unit leaves the list while it is open
  form->PressKey(VK_RETURN);
  EXPECT_EQ(RowValues(), before);
  EXPECT_TRUE(modeNOList.empty());
}

TEST_F(SerialPopupTest, ListsAreKeptPerProductAndShopAndReadAgainWhenAsked) {
  int64_t shopID = shop.Branches[1];
  properties->OnGetShopID = [&] { return shopID; };
  NewRow(shop.Handsets[0]);
  form->PressKey(VK_DOWN, ssAlt);
  EXPECT_EQ(ListedSerials(), (std::vector<std::string>{SampleSerial(4), SampleSerial(16), SampleSerial(28)}));
  const int reads = cache->ReadCount();
  form->PressKey(VK_ESCAPE);
  form->PressKey(VK_DOWN, ssAlt);
  EXPECT_EQ(cache->ReadCount(), reads) << "the same product's list is kept";
  form->PressKey(VK_ESCAPE);
  properties->Reread();
  form->PressKey(VK_DOWN, ssAlt);
  EXPECT_EQ(cache->ReadCount(), reads + 1);
  form->PressKey(VK_ESCAPE);
  shopID = 0;
  form->PressKey(VK_DOWN, ssAlt);
  EXPECT_EQ(ListedSerials(), UnitsOf(0));
}

TEST_F(SerialPopupTest, EditorsComingAndGoingLeaveNoHandlerOnAListReadAgain) {
  NewRow(shop.Handsets[0]);
  form->TypeText(Last(SampleSerial(8), 4));
  Application().Advance(300);
  TDataSet* first = List();
  ASSERT_TRUE(first->Filtered());
  // The row moves away while the list is open and filtered: the editor goes without a close-up, and the
  // list it filtered is read again before the editor is freed.
  cdsDetail->Cancel();
  EXPECT_EQ(tvResult->InplaceEditor(), nullptr);
  EXPECT_FALSE(first->Filtered());
  EXPECT_TRUE(first->OnFilterRecord() == nullptr);
  properties->Reread();
  properties->GetModeNOList(IntToStr(shop.Handsets[0]));
  Application().ProcessMessages();

  // Another drop-down of the same product after a re-read, and one of another product: filtering works.
  properties->Reread();
  NewRow(shop.Handsets[0]);
  form->TypeText(Last(SampleSerial(8), 4));
  Application().Advance(300);
  EXPECT_EQ(ListedSerials(), std::vector<std::string>{SampleSerial(8)});
  form->PressKey(VK_ESCAPE);
  form->PressKey(VK_ESCAPE);
  cdsDetail->FieldByName("F_PRODUCT_ID").SetAsLargeInt(shop.Handsets[1]);
  tvResult->ClickCell(-1, *colModeNO);
  form->TypeText(Last(SampleSerial(9), 4));
  Application().Advance(300);
  EXPECT_EQ(ListedSerials(), std::vector<std::string>{SampleSerial(9)});
  delete grid;  // the screen goes with the list open
  Application().ProcessMessages();
  EXPECT_FALSE(List()->Filtered());
  EXPECT_TRUE(List()->OnFilterRecord() == nullptr);
}

}  // namespace
}  // namespace jxc
