// Data-aware controls and bound grid views over a client dataset.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/Application.h"
#include "platform/DBCtrls.h"
#include "platform/DataSet.h"
#include "platform/DataSource.h"
#include "platform/Exceptions.h"
#include "platform/Forms.h"
#include "platform/Grid.h"
#include "platform/GridDB.h"
#include "platform/Text.h"

namespace jxc {
namespace {

// A screen with a product list bound to edits and a grid.
class UiDBCtrlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetApplication();
    form = new TForm(&Application());
    cdsMain = new TClientDataSet(form);
    cdsMain->FieldDefs().Add("F_ID", ftLargeint);
    cdsMain->FieldDefs().Add("F_NAME", ftString, 50);
    cdsMain->FieldDefs().Add("F_PRICE", ftCurrency);
    cdsMain->FieldDefs().Add("F_COLOR_ID", ftInteger);
    cdsMain->CreateDataSet();
    cdsMain->AppendRecord({1, "iPhone", Currency::Parse("5999.5"), 1});
    cdsMain->AppendRecord({2, "Mate", Currency::Parse("4999"), 2});
    cdsMain->First();
    dsMain = new TDataSource(form);
    dsMain->SetDataSet(cdsMain);
    edtName = new TDBEdit(form);
    edtName->SetParent(form);
    edtName->SetDataSource(dsMain);
    edtName->SetDataField("F_NAME");
    other = new TEdit(form);
    other->SetParent(form);
  }
  void TearDown() override { ResetApplication(); }

  TForm* form;
  TClientDataSet* cdsMain;
  TDataSource* dsMain;
  TDBEdit* edtName;
  TEdit* other;
};

TEST_F(UiDBCtrlsTest, AnEditShowsTheCurrentRecordAndWritesWhatIsTypedThroughTheTextEntry) {
  EXPECT_EQ(edtName->Text(), "iPhone");
  cdsMain->Next();
  EXPECT_EQ(edtName->Text(), "Mate");
  std::vector<std::string> entered;
  cdsMain->FieldByName("F_NAME").OnSetText = [&](TField& field, const std::string& text) {
    entered.push_back(text);
    field.SetAsString(text + " Pro");
  };
  edtName->SetFocus();
  form->PressKey(VK_END);
  form->TypeText("60");
  EXPECT_EQ(cdsMain->State(), dsEdit) << "the first keystroke put the dataset into edit";
  EXPECT_EQ(cdsMain->FieldByName("F_NAME").AsString(), "Mate") << "not written before the edit is left";
  other->SetFocus();
  EXPECT_EQ(entered, (std::vector<std::string>{"Mate60"}));
  EXPECT_EQ(edtName->Text(), "Mate60 Pro") << "the control shows what the handler stored";
  cdsMain->Post();
  EXPECT_EQ(cdsMain->FieldByName("F_NAME").AsString(), "Mate60 Pro");
}

TEST_F(UiDBCtrlsTest, WithoutAutoEditTypingIsRefusedAndAPendingEditIsWrittenBeforeThePost) {
  dsMain->AutoEdit = false;
  edtName->SetFocus();
  form->TypeText("x");
  EXPECT_EQ(edtName->Text(), "iPhone");
  EXPECT_EQ(cdsMain->State(), dsBrowse);
  cdsMain->Edit();
  form->PressKey(VK_END);
  form->TypeText("15");
  cdsMain->Post();  // the control's pending text goes in first
  EXPECT_EQ(cdsMain->FieldByName("F_NAME").AsString(), "iPhone15");
}

TEST_F(UiDBCtrlsTest, ARefusedValueKeepsTheTextAndTheFocus) {
  cdsMain->FieldByName("F_NAME").OnValidate = [](TField& field) {
    if (field.AsString().empty()) throw EDatabaseError("名称不能为空");
  };
  edtName->SetFocus();
  edtName->SelectAll();
  form->PressKey(VK_BACK);
  form->PressKey(VK_TAB);
  EXPECT_EQ(form->ActiveControl(), edtName);
  ASSERT_FALSE(Application().ShownErrors().empty());
  EXPECT_EQ(Application().ShownErrors().back(), "名称不能为空");
  EXPECT_EQ(cdsMain->FieldByName("F_NAME").AsString(), "iPhone");
  form->TypeText("荣耀");
  form->PressKey(VK_TAB);
  EXPECT_EQ(form->ActiveControl(), other);
  EXPECT_EQ(cdsMain->FieldByName("F_NAME").AsString(), "荣耀");
}

TEST_F(UiDBCtrlsTest, AFieldAsksItsControlToTakeTheFocus) {
  other->SetFocus();
  cdsMain->FieldByName("F_NAME").FocusControl();
  EXPECT_EQ(form->ActiveControl(), edtName);
}

TEST_F(UiDBCtrlsTest, LookupComboShowsTheListRowOfTheKeyAndWritesTheChosenKey) {
  auto* cdsColor = new TClientDataSet(form);
  cdsColor->FieldDefs().Add("F_ID", ftInteger);
  cdsColor->FieldDefs().Add("F_NAME", ftString, 20);
  cdsColor->CreateDataSet();
  cdsColor->AppendRecord({1, "黑色"});
  cdsColor->AppendRecord({2, "白色"});
  auto* dsColor = new TDataSource(form);
  dsColor->SetDataSet(cdsColor);
  auto* db_LookupColor = new TDBLookupComboBox(form);
  db_LookupColor->SetParent(form);
  db_LookupColor->KeyFieldNames = "F_ID";
  db_LookupColor->ListFieldNames = "F_NAME";
  db_LookupColor->SetListSource(dsColor);
  db_LookupColor->SetDataSource(dsMain);
  db_LookupColor->SetDataField("F_COLOR_ID");
  EXPECT_EQ(db_LookupColor->Text(), "黑色");
  db_LookupColor->SelectListRow(1);
  EXPECT_EQ(cdsMain->FieldByName("F_COLOR_ID").AsInteger(), 2);
  EXPECT_EQ(db_LookupColor->Text(), "白色");
  cdsMain->Cancel();
  EXPECT_EQ(db_LookupColor->Text(), "黑色");
  cdsMain->Next();
  EXPECT_EQ(db_LookupColor->EditValue(), Variant(2));
}

TEST_F(UiDBCtrlsTest, ABoundGridViewFollowsTheDatasetAndSumsMoneyExactly) {
  auto* grid = new TGrid(form);
  grid->SetParent(form);
  auto* tvResult = grid->CreateView<TGridBandedTableView>();
  tvResult->DataController().SetDataSource(dsMain);
  tvResult->CreateAllItems();
  ASSERT_EQ(tvResult->ColumnCount(), 4);
  TGridColumn* price = tvResult->FindColumnByFieldName("F_PRICE");
  ASSERT_NE(price->Field(), nullptr);
  EXPECT_EQ(price->DataType(), ftCurrency);
  price->Summary.Footer = {skSum, "总计:#,##0.00"};
  EXPECT_EQ(tvResult->DataController().FooterSummaryText(*price), "总计:10,998.50");

  std::vector<int> focusChanges;
  tvResult->OnFocusedRecordChanged = [&](TGridTableView&, int, int now) { focusChanges.push_back(now); };
  cdsMain->Last();
  EXPECT_EQ(tvResult->FocusedRecordIndex(), 1);
  tvResult->SetFocusedRecordIndex(0);
  EXPECT_EQ(cdsMain->RecNo(), 1);
  EXPECT_EQ(focusChanges, (std::vector<int>{1, 0}));

  cdsMain->AppendRecord({3, "Nova", Currency::Parse("0.5"), 1});
  EXPECT_EQ(tvResult->DataController().RecordCount(), 3);
  EXPECT_EQ(tvResult->DataController().FooterSummaryText(*price), "总计:10,999.00");

  cdsMain->Close();
  EXPECT_EQ(tvResult->DataController().RecordCount(), 0);
  EXPECT_EQ(price->Field(), nullptr) << "fields do not survive a close";
  cdsMain->Open();
  EXPECT_NE(price->Field(), nullptr);
}

TEST_F(UiDBCtrlsTest, ACellEditThatTheFieldRefusesIsShownAndKeepsTheEditorOpen) {
  auto* grid = new TGrid(form);
  auto* tvResult = grid->CreateView();
  tvResult->DataController().SetDataSource(dsMain);
  TGridColumn* price = tvResult->CreateColumn("F_PRICE", "单价");
  cdsMain->FieldByName("F_PRICE").OnSetText = [](TField& field, const std::string& text) {
    if (StrToFloatDef(text, -1) > 100000) throw Exception("单价输入有误");
    field.SetAsString(text);
  };
  tvResult->EditCell(1, *price, "100000.01");
  EXPECT_TRUE(tvResult->Editing());
  EXPECT_EQ(Application().ShownErrors().back(), "单价输入有误");
  EXPECT_EQ(tvResult->EditingText(), "100000.01");
  tvResult->EditCell(1, *price, "100000");
  EXPECT_FALSE(tvResult->Editing());
  cdsMain->Post();
  EXPECT_EQ(cdsMain->FieldByName("F_PRICE").AsCurrency(), Currency::FromInt(100000));
  EXPECT_EQ(cdsMain->RecNo(), 2);
}

TEST_F(UiDBCtrlsTest, TypingIntoARowBeingAppendedWritesThatRow) {
  auto* grid = new TGrid(form);
  auto* tvResult = grid->CreateView();
  tvResult->DataController().SetDataSource(dsMain);
  TGridColumn* price = tvResult->CreateColumn("F_PRICE", "单价");
  std::vector<std::string> entries;
  cdsMain->FieldByName("F_PRICE").OnSetText = [&](TField& field, const std::string& text) {
    entries.push_back(text);
    field.SetAsString(text);
  };
  tvResult->DataController().Append();
  ASSERT_EQ(tvResult->FocusedRecordIndex(), -1) << "a row being appended has no record index yet";
  tvResult->EditCell(tvResult->FocusedRecordIndex(), *price, "12.5");
  EXPECT_FALSE(tvResult->Editing());
  EXPECT_EQ(entries, std::vector<std::string>{"12.5"});
  EXPECT_EQ(cdsMain->State(), dsInsert);
  cdsMain->Post();
  EXPECT_EQ(cdsMain->RecordCount(), 3);
  EXPECT_EQ(cdsMain->FieldByName("F_PRICE").AsCurrency(), Currency::Parse("12.5"));

  // In browse state -1 is no record.
  tvResult->EditCell(-1, *price, "1");
  EXPECT_TRUE(tvResult->Editing());
  EXPECT_EQ(entries.size(), 1u);
}

TEST_F(UiDBCtrlsTest, AFreedDataSourceTellsNoOneAndItsFollowersForgetTheDataset) {
  auto* grid = new TGrid(form);
  auto* tvResult = grid->CreateView();
  tvResult->DataController().SetDataSource(dsMain);
  TGridColumn* price = tvResult->CreateColumn("F_PRICE", "单价");
  ASSERT_NE(price->Field(), nullptr);
  {
    // The handlers reach into a scope that has ended by the time the source goes.
    int told = 0;
    dsMain->OnStateChange = [&told](TDataSource&) { ++told; };
    dsMain->OnDataChange = [&told](TDataSource&, TField*) { ++told; };
    cdsMain->Edit();
    cdsMain->Cancel();
    EXPECT_EQ(told, 3);
  }
  const std::shared_ptr<int> toldAfter = std::make_shared<int>(0);
  dsMain->OnStateChange = [toldAfter](TDataSource&) { ++*toldAfter; };
  dsMain->OnDataChange = [toldAfter](TDataSource&, TField*) { ++*toldAfter; };
  delete dsMain;
  EXPECT_EQ(*toldAfter, 0);
  EXPECT_EQ(edtName->DataSource(), nullptr);
  EXPECT_EQ(edtName->Field(), nullptr);
  EXPECT_EQ(price->Field(), nullptr);
  EXPECT_EQ(tvResult->DataController().DataSource(), nullptr);
  edtName->SetFocus();
  form->TypeText("x");
  EXPECT_EQ(cdsMain->State(), dsBrowse);
  EXPECT_EQ(cdsMain->FieldByName("F_NAME").AsString(), "iPhone");
}

TEST_F(UiDBCtrlsTest, TheViewFilterComparesInTheTypeOfTheBoundField) {
  for (int i = 3; i <= 6; ++i) cdsMain->AppendRecord({i, "Nova" + std::to_string(i), Currency::FromInt(i * 50), i * 50});
  auto* grid = new TGrid(form);
  auto* tvResult = grid->CreateView();
  tvResult->DataController().SetDataSource(dsMain);
  TGridColumn* color = tvResult->CreateColumn("F_COLOR_ID", "颜色");
  TGridColumn* price = tvResult->CreateColumn("F_PRICE", "单价");
  TGridColumn* name = tvResult->CreateColumn("F_NAME", "名称");
  auto& data = tvResult->DataController();
  // F_COLOR_ID holds 1, 2, 150, 200, 250, 300.
  auto rowsWhere = [&](TGridColumn* column, TFilterOperator op, Variant value) {
    data.Filter.Clear();
    data.Filter.AddItem(column, op, std::move(value));
    data.Filter.Active = true;
    return data.RowCount();
  };
  EXPECT_EQ(rowsWhere(color, foGreaterEqual, "100"), 4) << "'100' is the number 100, not a text after '1'";
  EXPECT_EQ(rowsWhere(color, foLessEqual, "100"), 2);
  EXPECT_EQ(rowsWhere(color, foGreaterEqual, 100), 4);
  EXPECT_EQ(rowsWhere(color, foEqual, " 150 "), 1);
  EXPECT_EQ(rowsWhere(color, foLess, "150.5"), 3) << "a fraction is not rounded to the column's integers";
  EXPECT_EQ(rowsWhere(color, foEqual, "150.5"), 0);
  EXPECT_EQ(rowsWhere(color, foGreater, "abc"), 0) << "a text that is no number matches nothing";
  EXPECT_EQ(rowsWhere(color, foNotEqual, "abc"), 0);
  EXPECT_EQ(rowsWhere(price, foLess, "1000"), 4);
  EXPECT_EQ(rowsWhere(price, foEqual, "4999.00004"), 0) << "a fifth decimal is not rounded away";
  EXPECT_EQ(rowsWhere(price, foGreater, "4999.00004"), 1);
  EXPECT_EQ(rowsWhere(name, foEqual, "Mate"), 1);
  data.Filter.Active = false;
  EXPECT_EQ(data.RowCount(), 6);
}

}  // namespace
}  // namespace jxc
