// Grid views over unbound records: rows, sorting, filtering, groups and summaries, options and best fit.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Application.h"
#include "platform/Forms.h"
#include "platform/Grid.h"

namespace jxc {
namespace {

// A sales list: shop, product, quantity, money.
class UiGridTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetApplication();
    form = new TForm(&Application());
    grid = new TGrid(form);
    grid->SetParent(form);
    view = grid->CreateView<TGridBandedTableView>();
    view->SetName("tvResult");
    shop = view->CreateColumn("F_SHOP", "店铺");
    product = view->CreateColumn("F_PRODUCT", "商品");
    qty = view->CreateColumn("F_QTY", "数量");
    qty->ValueType = ftInteger;
    money = view->CreateColumn("F_MONEY", "金额");
    money->ValueType = ftCurrency;
    Add("一店", "iPhone", 2, Currency::Parse("10999.90"));
    Add("二店", "Mate", 1, Currency::Parse("5999.10"));
    Add("一店", "Mate", 3, Currency::Parse("17997.30"));
    Add("二店", "iPhone", 1, Currency::Parse("5499.95"));
  }
  void TearDown() override { ResetApplication(); }

  void Add(const char* s, const char* p, int q, Currency m) {
    auto& data = view->DataController();
    int r = data.RecordCount();
    data.SetRecordCount(r + 1);
    data.SetValue(r, *shop, s);
    data.SetValue(r, *product, p);
    data.SetValue(r, *qty, q);
    data.SetValue(r, *money, m);
  }

  std::vector<std::string> ColumnTexts(TGridColumn* column) {
    std::vector<std::string> texts;
    for (int r : view->DataController().Rows()) texts.push_back(view->DataController().DisplayText(r, *column));
    return texts;
  }

  TForm* form;
  TGrid* grid;
  TGridBandedTableView* view;
  TGridColumn *shop, *product, *qty, *money;
};

TEST_F(UiGridTest, FooterSummariesAreExactAndFormatted) {
  auto& data = view->DataController();
  money->Summary.Footer = {skSum, "总计:#,##0.00"};
  qty->Summary.Footer = {skCount, "记录数:#0条"};
  EXPECT_EQ(data.FooterSummaryValue(*money), Variant(Currency::Parse("40496.25")));
  EXPECT_EQ(data.FooterSummaryText(*money), "总计:40,496.25");
  EXPECT_EQ(data.FooterSummaryText(*qty), "记录数:4条");
  qty->Summary.Footer = {skAverage, "0.00"};
  EXPECT_EQ(data.FooterSummaryText(*qty), "1.75");
  qty->Summary.Footer = {skMax, ""};
  EXPECT_EQ(data.FooterSummaryValue(*qty), Variant(3));
  qty->Summary.Footer = {skMin, "最小值:##0.00"};
  EXPECT_EQ(data.FooterSummaryText(*qty), "最小值:1.00");
  qty->Summary.Footer = {skNone, ""};
  EXPECT_TRUE(data.FooterSummaryValue(*qty).IsNull());
  EXPECT_EQ(data.FooterSummaryText(*qty), "");
}

TEST_F(UiGridTest, CountSkipsNullsAndSummariesOfNothingAreNull) {
  auto& data = view->DataController();
  data.SetRecordCount(5);  // a fifth record with no values
  product->Summary.Footer = {skCount, "0"};
  money->Summary.Footer = {skSum, "0.00"};
  EXPECT_EQ(data.FooterSummaryText(*product), "4");
  data.Filter.AddItem(shop, foEqual, "三店");
  data.Filter.Active = true;
  EXPECT_EQ(data.RowCount(), 0);
  EXPECT_EQ(data.FooterSummaryText(*product), "0");
  EXPECT_TRUE(data.FooterSummaryValue(*money).IsNull());
  EXPECT_EQ(data.FooterSummaryText(*money), "");
}

TEST_F(UiGridTest, SummariesFollowTheViewFilterAndGroups) {
  auto& data = view->DataController();
  data.Filter.AddItem(product, foLike, "i%");
  data.Filter.Active = true;
  money->Summary.Footer = {skSum, "0.00"};
  EXPECT_EQ(data.FooterSummaryText(*money), "16499.85");
  data.Filter.Active = false;

  shop->GroupIndex = 0;
  money->Summary.GroupFooter = {skSum, "小计:0.00"};
  qty->Summary.GroupRow = {skSum, "数量:0"};
  std::vector<TGridGroup> groups = data.Groups();
  ASSERT_EQ(groups.size(), 2u);
  EXPECT_EQ(groups[0].Value.ToString(), "一店");
  EXPECT_EQ(groups[0].Records, (std::vector<int>{0, 2}));
  EXPECT_EQ(data.GroupSummaryText(groups[0], *money), "小计:28997.20");
  EXPECT_EQ(data.GroupSummaryText(groups[1], *qty, true), "数量:2");
  EXPECT_EQ(ColumnTexts(product), (std::vector<std::string>{"iPhone", "Mate", "Mate", "iPhone"}))
      << "rows grouped, source order kept inside a group";
}

TEST_F(UiGridTest, FilterValuesCompareInTheColumnsTypeWhicheverWayTheyWereTyped) {
  auto& data = view->DataController();
  auto rowsWhere = [&](TGridColumn* column, TFilterOperator op, Variant value) {
    data.Filter.Clear();
    data.Filter.AddItem(column, op, std::move(value));
    data.Filter.Active = true;
    return data.RowCount();
  };
  // Quantities 2, 1, 3, 1; money 10999.90, 5999.10, 17997.30, 5499.95.
  EXPECT_EQ(rowsWhere(qty, foGreaterEqual, "2"), 2);
  EXPECT_EQ(rowsWhere(qty, foLessEqual, "2"), 3);
  EXPECT_EQ(rowsWhere(money, foGreaterEqual, "10000"), 2) << "not the text order, where '5999.1' > '10000'";
  EXPECT_EQ(rowsWhere(money, foLess, "6000"), 2);
  EXPECT_EQ(rowsWhere(money, foEqual, "5499.95"), 1);
  EXPECT_EQ(rowsWhere(money, foEqual, "5,499.95"), 1);
  EXPECT_EQ(rowsWhere(qty, foEqual, "一"), 0);
  EXPECT_EQ(rowsWhere(shop, foEqual, "一店"), 2);
}

TEST_F(UiGridTest, SortedColumnsOrderTheRowsStably) {
  product->SortOrder = soAscending;  // text in byte order: "Mate" before "iPhone"
  EXPECT_EQ(ColumnTexts(shop), (std::vector<std::string>{"二店", "一店", "一店", "二店"}));
  product->SortOrder = soNone;
  qty->SortOrder = soDescending;
  EXPECT_EQ(ColumnTexts(qty), (std::vector<std::string>{"3", "2", "1", "1"}));
  EXPECT_EQ(ColumnTexts(product)[2], "Mate") << "equal quantities keep their order";
}

TEST_F(UiGridTest, DisplayFormatAndTextHandlersShapeCellText) {
  auto& data = view->DataController();
  money->Properties.DisplayFormat = ",0.00;-,0.00";
  EXPECT_EQ(data.DisplayText(0, *money), "10,999.90");
  qty->OnGetDisplayText = [](TGridColumn&, int, std::string& text) { text += "台"; };
  EXPECT_EQ(data.DisplayText(2, *qty), "3台");
  data.SetFocusedRecordIndex(1);
  view->SetFocusedColumn(product);
  EXPECT_EQ(view->FocusedCellText(), "Mate");
}

TEST_F(UiGridTest, FocusMovesAndReportsChanges) {
  std::vector<std::pair<int, int>> changes;
  view->OnFocusedRecordChanged = [&](TGridTableView&, int from, int to) { changes.emplace_back(from, to); };
  view->OptionsBehavior.GoToNextCellOnEnter = true;
  product->Options.Focusing = false;
  view->SetFocusedRecordIndex(0);
  view->SetFocusedColumn(shop);
  grid->SetFocus();
  form->PressKey(VK_RETURN);
  EXPECT_EQ(view->FocusedColumn(), qty) << "columns that cannot take the focus are skipped";
  form->PressKey(VK_RETURN);
  form->PressKey(VK_RETURN);
  EXPECT_EQ(view->FocusedColumn(), shop);
  EXPECT_EQ(view->FocusedRecordIndex(), 1) << "past the last cell: the next row";
  form->PressKey(VK_DOWN);
  EXPECT_EQ(view->FocusedRecordIndex(), 2);
  EXPECT_EQ(changes, (std::vector<std::pair<int, int>>{{-1, 0}, {0, 1}, {1, 2}}));
}

TEST_F(UiGridTest, OptionsBandsColumnsAndBestFit) {
  view->OptionsView.Footer = true;
  view->OptionsView.GroupByBox = false;
  view->OptionsView.ColumnAutoWidth = true;
  view->OptionsView.CellAutoHeight = true;
  view->OptionsSelection.CellSelect = false;
  view->OptionsSelection.MultiSelect = true;
  view->SelectRecord(0);
  view->SelectRecord(3);
  EXPECT_EQ(view->SelectedRecords(), (std::vector<int>{0, 3}));

  int band = view->AddBand("基本信息");
  EXPECT_EQ(view->BandColumns(band).size(), 4u);
  EXPECT_EQ(view->FindItemByName("tvResultF_QTY"), nullptr);
  qty->SetName("tvResultF_QTY");
  EXPECT_EQ(view->FindItemByName("tvresultf_qty"), qty);
  EXPECT_EQ(view->FindColumnByFieldName("f_money"), money);
  EXPECT_EQ(form->FindComponent("tvResult"), view);
  EXPECT_EQ(view->Form(), form);

  view->BeginUpdate();
  view->ApplyBestFit();
  view->EndUpdate();
  EXPECT_EQ(shop->Width, 4 * 7 + 12) << "two Chinese characters count four";
  EXPECT_EQ(money->Width, 7 * 7 + 12) << "\"10999.9\"";

  money->SetIndex(0);
  EXPECT_EQ(view->Columns(0), money);
  EXPECT_EQ(qty->Index(), 3);
  view->SetFocusedColumn(qty);
  delete qty;
  EXPECT_EQ(view->ColumnCount(), 3);
  EXPECT_EQ(view->FocusedColumn(), nullptr);
  view->ClearItems();
  EXPECT_EQ(view->ColumnCount(), 0);
}

TEST_F(UiGridTest, FreeingTheViewOrTheGridLeavesTheOtherConsistent) {
  delete view;
  EXPECT_EQ(grid->ActiveView(), nullptr);
  EXPECT_EQ(grid->ViewCount(), 0);
  auto* plain = grid->CreateView();
  delete grid;
  EXPECT_EQ(plain->Grid(), nullptr);
  EXPECT_EQ(plain->Form(), form) << "still owned by the form";
}

}  // namespace
}  // namespace jxc
