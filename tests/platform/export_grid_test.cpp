// A table view flattened for export: the columns and rows the user sees, with values kept where the
// spreadsheet should keep them.

#include <gtest/gtest.h>

#include "services/XlsxExcelExport.h"
#include "platform/Application.h"
#include "platform/Exceptions.h"
#include "platform/Forms.h"
#include "platform/Grid.h"
#include "platform/GridExport.h"
#include "support/ExportCheck.h"

namespace jxc {
namespace {

class GridExportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetApplication();
    form = new TForm(&Application());
    grid = new TGrid(form);
    view = grid->CreateView<TGridTableView>(form);
    serial = view->CreateColumn("F_MODE_NO", "串码");
    colour = view->CreateColumn("F_COLOR_ID", "颜色");
    colour->ValueType = ftLargeint;
    colour->OnGetDisplayText = [](TGridColumn&, int, std::string& text) { text = text == "1" ? "黑色" : "白色"; };
    qty = view->CreateColumn("F_QTY", "数量");
    qty->ValueType = ftInteger;
    money = view->CreateColumn("F_MONEY", "金额");
    money->ValueType = ftCurrency;
    money->Properties.DisplayFormat = "#,##0.00";
    at = view->CreateColumn("F_BILL_DATE", "开单时间");
    at->ValueType = ftDateTime;
    hidden = view->CreateColumn("F_COST", "成本");
    hidden->ValueType = ftCurrency;
    hidden->Visible = false;
    Add("SN-3", 1, 3, "300.50", EncodeDateTime(2025, 5, 1, 10, 30, 0, 0));
    Add("SN-1", 2, 1, "100.00", EncodeDateTime(2025, 5, 2, 11, 0, 5, 0));
    Add("SN-2", 1, 2, "200.25", EncodeDateTime(2025, 5, 3, 12, 15, 45, 0));
  }
  void TearDown() override { ResetApplication(); }

  void Add(const char* s, int colourId, int q, const char* m, TDateTime when) {
    auto& data = view->DataController();
    int r = data.RecordCount();
    data.SetRecordCount(r + 1);
    data.SetValue(r, *serial, s);
    data.SetValue(r, *colour, colourId);
    data.SetValue(r, *qty, q);
    data.SetValue(r, *money, Currency::Parse(m));
    data.SetValue(r, *at, when);
    data.SetValue(r, *hidden, Currency::Parse("1.00"));
  }

  TForm* form;
  TGrid* grid;
  TGridTableView* view;
  TGridColumn *serial, *colour, *qty, *money, *at, *hidden;
};

TEST_F(GridExportTest, VisibleColumnsWithKindsFormatsAndShownTexts) {
  ExportTable table = ExportTableOfView(*view);
  ASSERT_EQ(table.ColumnCount(), 5u);  // the hidden cost column is left out
  EXPECT_EQ(table.Columns()[0].Kind, ExportKind::Text);
  EXPECT_EQ(table.Columns()[1].Kind, ExportKind::Text);  // its own display text wins
  EXPECT_EQ(table.Columns()[2].Kind, ExportKind::Number);
  EXPECT_EQ(table.Columns()[3].Kind, ExportKind::Currency);
  EXPECT_EQ(table.Columns()[3].DisplayFormat, "#,##0.00");
  EXPECT_EQ(table.Columns()[4].Kind, ExportKind::DateTime);
  EXPECT_EQ(table.Value(0, 1).ToString(), "黑色");
  EXPECT_EQ(table.Value(1, 1).ToString(), "白色");
  EXPECT_EQ(table.Value(0, 3), Variant(Currency::Parse("300.50")));
}

TEST_F(GridExportTest, RowsFollowTheViewsSortingAndFilter) {
  serial->SortOrder = soAscending;
  view->DataController().Filter.AddItem(qty, foGreaterEqual, 2);
  view->DataController().Filter.Active = true;
  ExportTable table = ExportTableOfView(*view);
  ASSERT_EQ(table.RowCount(), 2u);
  EXPECT_EQ(table.Value(0, 0).ToString(), "SN-2");
  EXPECT_EQ(table.Value(1, 0).ToString(), "SN-3");
}

TEST_F(GridExportTest, EveryFormatReadsBackAsTheGridShowsIt) {
  testing::ScratchFolder folder;
  ExportTable table = ExportTableOfView(*view);
  const std::pair<TGridExportFormat, const char*> formats[] = {
      {TGridExportFormat::Xls, "xls"}, {TGridExportFormat::Xml, "xml"},
      {TGridExportFormat::Text, "txt"}, {TGridExportFormat::Html, "html"}};
  for (auto [format, extension] : formats) {
    std::string file = folder.File(std::string("grid.") + extension);
    ExportGridToFile(format, *view, file);
    std::string verdict = testing::CheckExport(extension, file, table);
    EXPECT_EQ(verdict.substr(0, 5), "OK 15") << extension << ": " << verdict;
  }
}

TEST_F(GridExportTest, TheHostServiceWritesTheActiveViewAsXlsx) {
  testing::ScratchFolder folder;
  std::string file = folder.File("grid.xlsx");
  TXlsxExcelExport().ExportGrid(*grid, file);
  EXPECT_EQ(testing::CheckExport("xlsx", file, ExportTableOfView(*view)), "OK 15 sheets 1");
  TGrid empty(form);
  EXPECT_THROW(TXlsxExcelExport().ExportGrid(empty, folder.File("none.xlsx")), Exception);
}

}  // namespace
}  // namespace jxc
