// The grid popup menu on a stock list: what it offers on opening, what its commands do to the view, and
// exporting and printing with their rights, dialogs and files.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "foundation/UnitFrmBase.h"
#include "foundation/UnitPublicUtils.h"
#include "gridtools/cxORXGridPopupMenuU.h"
#include "host/SysSvc.h"
#include "host/TableGroupRights.h"
#include "host/XlsxExcelExport.h"
#include "platform/Actions.h"
#include "platform/Application.h"
#include "platform/Desktop.h"
#include "platform/Format.h"
#include "platform/Forms.h"
#include "platform/GridExport.h"
#include "platform/SpreadsheetAutomation.h"
#include "platform/Text.h"
#include "support/ExportCheck.h"

namespace jxc {
namespace {

// The screen that serial tracking opens: remembers its filter and whether its query ran.
class TrackScreen : public TFrmBase, public IFilteredScreen {
 public:
  explicit TrackScreen(TComponent* owner) : TFrmBase(owner) {
    actions = new TActionList(this);
    auto* query = new TAction(actions);
    query->SetName("actQuery");
    query->OnExecute = [this](TAction&) { queried = true; };
  }
  void SetFilter(const std::string& where) override { filter = where; }
  TActionList* GetActionList() override { return actions; }
  void ShowForm() override { Show(); }

  TActionList* actions;
  std::string filter;
  bool queried = false;
};

class RecordingFormFactory : public IFormFactory {
 public:
  TFrmBase* OpenWindow(TComponent* owner, const std::string& screenName) override {
    asked.push_back(screenName);
    opened = new TrackScreen(owner ? owner : &Application());
    return opened;
  }
  std::vector<std::string> asked;
  TrackScreen* opened = nullptr;
};

class GridPopupMenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetApplication();
    form = new TForm(&Application());
    form->SetCaption("库存查询");
    grid = new TGrid(form);
    grid->SetParent(form);
    view = grid->CreateView<TGridTableView>(form);
    serial = view->CreateColumn("F_MODE_NO", "串码");
    product = view->CreateColumn("F_PRODUCT", "商品");
    qty = view->CreateColumn("F_QTY", "数量");
    qty->ValueType = ftInteger;
    money = view->CreateColumn("F_MONEY", "金额");
    money->ValueType = ftCurrency;
    money->Properties.DisplayFormat = "#,##0.00";
    day = view->CreateColumn("F_IN_DATE", "入库日期");
    day->ValueType = ftDate;
    Add("860000000000011", "华为Mate60 Pro", 1, Currency::Parse("6999.00"), EncodeDate(2025, 1, 2));
    Add("O'K-2", "小米14 <Ultra>", 2, Currency::Parse("11998.50"), EncodeDate(2025, 1, 3));
    Add("", "苹果iPhone 15", 1, Currency::Parse("5999.99"), EncodeDate(2025, 1, 4));
    menu = new TORXcxGridPopupMenu(view);
    rights->SetGrantAll(true);
    SysService::Register<IGroupRights>(rights);
  }
  void TearDown() override {
    SetSpreadsheetAutomation(nullptr);
    ResetApplication();
  }

  void Add(const char* s, const char* p, int q, Currency m, TDateTime d) {
    auto& data = view->DataController();
    int r = data.RecordCount();
    data.SetRecordCount(r + 1);
    data.SetValue(r, *serial, s);
    data.SetValue(r, *product, p);
    data.SetValue(r, *qty, q);
    data.SetValue(r, *money, m);
    data.SetValue(r, *day, d);
  }

  TMenuItem& Item(std::initializer_list<std::string_view> path) {
    TMenuItem* item = menu->FindItem(path);
    EXPECT_NE(item, nullptr) << *path.begin();
    return *item;
  }
  std::vector<std::string> Captions(const TMenuItem& parent) {
    std::vector<std::string> captions;
    for (TMenuItem* item : parent.SubItems()) captions.push_back(item->Caption());
    return captions;
  }
  TSystemDialogs& Dialogs() { return Application().Dialogs(); }

  SysService::Scope services;
  std::shared_ptr<TTableGroupRights> rights = std::make_shared<TTableGroupRights>();
  testing::ScratchFolder folder;
  TForm* form;
  TGrid* grid;
  TGridTableView* view;
  TGridColumn *serial, *product, *qty, *money, *day;
  TORXcxGridPopupMenu* menu;
};

TEST_F(GridPopupMenuTest, BuildsItsItemsInOrderOnTheFirstOpening) {
  EXPECT_EQ(menu->LinkTableView(), view);
  EXPECT_EQ(menu->GetLinkGrid(), grid);
  EXPECT_EQ(menu->Items().Count(), 0);
  menu->Popup();
  EXPECT_EQ(Captions(menu->Items()),
            (std::vector<std::string>{"升序", "降序", "不排序", "-", "根据本列", "数据对齐", "串码追踪", "复制串码",
                                      "导出Excel表格", "-", "显示分组框", "最佳列宽", "整页显示", "自动行高", "-",
                                      "隐藏此列", "其它"}));
  EXPECT_EQ(Captions(Item({"根据本列"})), (std::vector<std::string>{"记录条数", "总计", "最大值", "最小值", "平均值", "无"}));
  EXPECT_EQ(Captions(Item({"数据对齐"})), (std::vector<std::string>{"左对齐", "右对齐", "居中对齐", "-"}));
  EXPECT_EQ(Captions(Item({"其它"})),
            (std::vector<std::string>{"选择", "-", "自动汇总数值", "-", "显示汇总栏", "显示格式", "-"}));
  EXPECT_EQ(Captions(Item({"其它", "选择"})),
            (std::vector<std::string>{"可单元格选择", "-", "单行选择", "多行选择", "多行单元格选择"}));
  EXPECT_EQ(Item({"串码追踪"}).Name(), "PopupMenu_ModeNOTrack");
  EXPECT_EQ(Item({"根据本列", "无"}).Name(), "PopupMenu_empty");
  EXPECT_EQ(Item({"根据本列", "总计"}).GroupIndex, 2);
  EXPECT_TRUE(Item({"其它", "选择", "多行选择"}).RadioItem);
  int count = menu->Items().Count();
  menu->Popup();
  EXPECT_EQ(menu->Items().Count(), count);  // kept, not built again
}

TEST_F(GridPopupMenuTest, WithoutAFocusedColumnOnlyColumnCommandsAreDisabled) {
  view->SetFocusedColumn(nullptr);
  menu->Popup();
  for (auto path : {std::initializer_list<std::string_view>{"升序"}, {"降序"}, {"不排序"}, {"根据本列"}, {"数据对齐"},
                    {"数据对齐", "左对齐"}, {"数据对齐", "居中对齐"}, {"其它", "显示格式"}})
    EXPECT_FALSE(Item(path).Enabled()) << *path.begin();
  for (auto path : {std::initializer_list<std::string_view>{"导出Excel表格"}, {"显示分组框"}, {"整页显示"},
                    {"自动行高"}, {"其它", "选择", "多行选择"}})
    EXPECT_TRUE(Item(path).Enabled()) << *path.begin();
  menu->PopupMenu_Asc();
  menu->PopupMenu_Sum();
  EXPECT_TRUE(view->OptionsView.Footer);  // the footer goes on even so
  for (TGridColumn* column : view->ColumnList()) {
    EXPECT_EQ(column->SortOrder, soNone);
    EXPECT_EQ(column->Summary.Footer.Kind, skNone);
  }
  Item({"整页显示"}).Click();
  EXPECT_TRUE(view->OptionsView.ColumnAutoWidth);
}

TEST_F(GridPopupMenuTest, CheckMarksFollowTheFocusedColumnAndTheView) {
  view->SetFocusedColumn(money);
  money->SortOrder = soDescending;
  money->Summary.Footer = {skMax, "最大值:#,##0.00"};
  money->Properties.Alignment = TAlignment::taRightJustify;
  view->OptionsView.Footer = true;
  view->OptionsView.GroupByBox = false;
  view->OptionsSelection.MultiSelect = true;
  menu->Popup();
  EXPECT_TRUE(Item({"降序"}).Checked());
  EXPECT_FALSE(Item({"升序"}).Checked());
  EXPECT_TRUE(Item({"根据本列", "最大值"}).Checked());
  EXPECT_TRUE(Item({"数据对齐", "右对齐"}).Checked());
  EXPECT_TRUE(Item({"其它", "显示格式"}).Checked());
  EXPECT_TRUE(Item({"其它", "显示汇总栏"}).Checked());
  EXPECT_FALSE(Item({"显示分组框"}).Checked());
  EXPECT_TRUE(Item({"其它", "选择", "多行选择"}).Checked());

  view->SetFocusedColumn(product);
  menu->Popup();
  EXPECT_TRUE(Item({"不排序"}).Checked());
  EXPECT_TRUE(Item({"根据本列", "无"}).Checked());
  EXPECT_TRUE(Item({"数据对齐", "左对齐"}).Checked());
  EXPECT_FALSE(Item({"其它", "显示格式"}).Checked());
}

TEST_F(GridPopupMenuTest, SortAlignAndHideActOnTheFocusedColumn) {
  view->SetFocusedColumn(qty);
  menu->Popup();
  Item({"降序"}).Click();
  EXPECT_EQ(qty->SortOrder, soDescending);
  EXPECT_EQ(view->DataController().DisplayText(view->DataController().RowRecordIndex(0), *qty), "2");
  Item({"不排序"}).Click();
  EXPECT_EQ(qty->SortOrder, soNone);
  Item({"数据对齐", "居中对齐"}).Click();
  EXPECT_EQ(qty->Properties.Alignment, TAlignment::taCenter);
  EXPECT_EQ(qty->HeaderAlignment, TAlignment::taCenter);
  Item({"隐藏此列"}).Click();
  EXPECT_FALSE(qty->Visible);
}

TEST_F(GridPopupMenuTest, FooterSummariesGetTheFormatsOfTheirKind) {
  view->SetFocusedColumn(money);
  menu->Popup();
  Item({"根据本列", "总计"}).Click();
  EXPECT_TRUE(view->OptionsView.Footer);
  EXPECT_EQ(view->OptionsView.GroupFooters, TGroupFootersMode::gfVisibleWhenExpanded);
  EXPECT_EQ(money->Summary.Footer.Kind, skSum);
  EXPECT_EQ(money->Summary.Footer.Format, "总计:#,##0.00");
  EXPECT_EQ(money->Summary.GroupFooter.Format, "小计:#,##0.00");
  EXPECT_EQ(money->Summary.GroupRow.Format, "金额 小计:#,##0.00");
  EXPECT_TRUE(view->DataController().SortGroupsBySummary);
  EXPECT_EQ(view->DataController().FooterSummaryText(*money), "总计:24,997.49");

  view->SetFocusedColumn(qty);  // no display format of its own
  menu->PopupMenu_Min();
  EXPECT_EQ(qty->Summary.Footer.Format, "最小值:##0.00");
  EXPECT_EQ(qty->Summary.GroupRow.Format, "数量 最小值:##0.00");
}

TEST_F(GridPopupMenuTest, CountTwiceIsOneCountAndNoneClearsButKeepsTheFooter) {
  view->SetFocusedColumn(serial);
  menu->PopupMenu_Count();
  menu->PopupMenu_Count();
  EXPECT_EQ(serial->Summary.Footer.Kind, skCount);
  EXPECT_EQ(serial->Summary.Footer.Format, "记录数:#0条");
  EXPECT_EQ(serial->Summary.GroupRow.Format, "记录数:#0条");  // count keeps its format without the caption
  EXPECT_EQ(view->DataController().FooterSummaryText(*serial), "记录数:3条");
  menu->Popup();
  EXPECT_TRUE(Item({"根据本列", "记录条数"}).Checked());
  menu->PopupMenu_empty();
  EXPECT_EQ(serial->Summary.Footer.Kind, skNone);
  EXPECT_EQ(serial->Summary.Footer.Format, "");
  EXPECT_EQ(serial->Summary.GroupFooter.Kind, skNone);
  EXPECT_EQ(serial->Summary.GroupRow.Kind, skNone);
  EXPECT_TRUE(view->OptionsView.Footer);
}

TEST_F(GridPopupMenuTest, ARemovedVisibilityMemberHidesItsItemsForEveryColumn) {
  menu->VisableItem.erase(viAscDesc);
  menu->VisableOtherItem.erase(viOtherDisplayFormat);
  menu->VisableOtherItem.erase(viOtherShowHeader);  // names an item the menu does not have: skipped
  for (TGridColumn* column : {serial, qty, static_cast<TGridColumn*>(nullptr)}) {
    view->SetFocusedColumn(column);
    menu->Popup();
    EXPECT_FALSE(Item({"升序"}).Visible());
    EXPECT_FALSE(Item({"降序"}).Visible());
    EXPECT_FALSE(Item({"不排序"}).Visible());
    EXPECT_FALSE(Item({"其它", "显示格式"}).Visible());
    EXPECT_TRUE(Item({"根据本列"}).Visible());
    EXPECT_TRUE(Item({"其它", "显示汇总栏"}).Visible());
  }
}

TEST_F(GridPopupMenuTest, ADestroyedViewLeavesEveryItemDisabled) {
  menu->Popup();
  delete view;
  EXPECT_EQ(menu->LinkTableView(), nullptr);
  EXPECT_EQ(menu->GetLinkGrid(), nullptr);
  menu->Popup();
  std::function<void(const TMenuItem&)> allDisabled = [&](const TMenuItem& parent) {
    for (TMenuItem* item : parent.SubItems()) {
      EXPECT_FALSE(item->Enabled()) << item->Caption();
      allDisabled(*item);
    }
  };
  allDisabled(menu->Items());
  menu->PopupMenu_Sum();  // commands do nothing without a view
  menu->OutFile(otExcel);
  EXPECT_TRUE(Dialogs().FileDialogs().empty());
}

TEST_F(GridPopupMenuTest, ViewOptionsAndSelectionModes) {
  menu->Popup();
  Item({"显示分组框"}).Click();
  EXPECT_FALSE(view->OptionsView.GroupByBox);
  Item({"自动行高"}).Click();
  EXPECT_TRUE(view->OptionsView.CellAutoHeight);
  Item({"其它", "选择", "多行单元格选择"}).Click();
  EXPECT_TRUE(view->OptionsSelection.CellMultiSelect);
  Item({"其它", "选择", "可单元格选择"}).Click();
  EXPECT_FALSE(view->OptionsSelection.CellSelect);
  EXPECT_FALSE(view->OptionsSelection.CellMultiSelect);
  Item({"其它", "选择", "多行选择"}).Click();
  EXPECT_TRUE(view->OptionsSelection.MultiSelect);
  menu->Popup();
  EXPECT_TRUE(Item({"其它", "选择", "多行选择"}).Checked());
  EXPECT_FALSE(Item({"其它", "选择", "单行选择"}).Checked());
  Item({"最佳列宽"}).Click();
  EXPECT_EQ(product->Width, view->BestFitWidth(*product));
}

TEST_F(GridPopupMenuTest, SerialTrackingOpensTheTrackingScreenFilteredOnTheCell) {
  auto factory = std::make_shared<RecordingFormFactory>();
  SysService::Register<IFormFactory>(factory);
  view->SetFocusedColumn(serial);
  view->SetFocusedRecordIndex(1);
  menu->PopupMenu_TrackModeNO();
  ASSERT_NE(factory->opened, nullptr);
  EXPECT_EQ(factory->asked, (std::vector<std::string>{"手机串码追踪"}));
  EXPECT_EQ(factory->opened->filter, "WHERE F_MODE_NO = 'O''K-2'");
  EXPECT_EQ(factory->opened->FormStyle, TFormStyle::fsMDIChild);
  EXPECT_TRUE(factory->opened->queried);
  EXPECT_TRUE(factory->opened->Visible());

  view->SetFocusedRecordIndex(2);  // no serial number in this row
  menu->PopupMenu_TrackModeNO();
  EXPECT_EQ(factory->opened->filter, "WHERE F_MODE_NO = '无'");
}

TEST_F(GridPopupMenuTest, SerialTrackingElsewhereAsksForTheSerialColumn) {
  auto factory = std::make_shared<RecordingFormFactory>();
  SysService::Register<IFormFactory>(factory);
  view->SetFocusedColumn(product);
  menu->PopupMenu_TrackModeNO();
  EXPECT_TRUE(factory->asked.empty());
  ASSERT_EQ(Dialogs().MessageBoxes().size(), 1u);
  EXPECT_EQ(Dialogs().MessageBoxes()[0].Text, "请选择串码所在列");
}

TEST_F(GridPopupMenuTest, CopyPutsTheFocusedCellOnTheClipboard) {
  TMemoryClipboard clipboard;
  ScopedClipboard installed(clipboard);
  view->SetFocusedColumn(serial);
  view->SetFocusedRecordIndex(0);
  menu->Popup();
  Item({"复制串码"}).Click();
  EXPECT_EQ(clipboard.GetText(), "860000000000011");
}

TEST_F(GridPopupMenuTest, ExportWritesAnExcel97FileThatReadsBackCellByCell) {
  TRecordingShell shell;
  ScopedShell installed(shell);
  Dialogs().QueueFileDialogAnswer({true, folder.File("库存"), 1});
  Dialogs().QueueMessageBoxAnswer(IDYES);
  view->SetFocusedColumn(nullptr);  // export needs no focused column
  menu->Popup();
  Item({"导出Excel表格"}).Click();
  const std::string file = folder.File("库存.xls");
  ASSERT_EQ(Dialogs().FileDialogs().size(), 1u);
  EXPECT_EQ(Dialogs().FileDialogs()[0].Filter, "Excel97-2003|*.xls|(Excel2007-2013)|*.xlsx");
  EXPECT_EQ(testing::CheckExport("xls", file, ExportTableOfView(*view)), "OK 15 sheets 1");
  ASSERT_EQ(Dialogs().MessageBoxes().size(), 1u);
  EXPECT_EQ(Dialogs().MessageBoxes()[0].Text, "导出成功" + file + ",是否打开?");
  EXPECT_EQ(Dialogs().MessageBoxes()[0].Title, "导出成功");
  EXPECT_EQ(Dialogs().MessageBoxes()[0].Flags, MB_YESNO | MB_ICONINFORMATION | MB_TOPMOST);
  EXPECT_EQ(shell.Opened(), (std::vector<std::string>{file}));
}

TEST_F(GridPopupMenuTest, TheSecondFilterWritesXlsxThroughTheHostService) {
  SysService::Register<IExcelExport>(std::make_shared<TXlsxExcelExport>());
  TRecordingShell shell;
  ScopedShell installed(shell);
  Dialogs().QueueFileDialogAnswer({true, folder.File("库存"), 2});
  money->SortOrder = soDescending;  // the file shows the rows as the grid does
  menu->PopupMenu_OutExcel();
  EXPECT_EQ(testing::CheckExport("xlsx", folder.File("库存.xlsx"), ExportTableOfView(*view)), "OK 15 sheets 1");
  EXPECT_TRUE(shell.Opened().empty());  // the question was answered No
}

TEST_F(GridPopupMenuTest, TextExportEndsInTxt) {
  Dialogs().QueueFileDialogAnswer({true, folder.File("库存.txt"), 1});
  menu->PopupMenu_OutText();
  EXPECT_EQ(Dialogs().FileDialogs()[0].Filter, "文本文件|*.txt");
  EXPECT_EQ(testing::CheckExport("txt", folder.File("库存.txt"), ExportTableOfView(*view)), "OK 15");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1);
}

TEST_F(GridPopupMenuTest, RefusedExportRightRaisesAndWritesNothing) {
  rights->SetGrantAll(false);
  rights->Grant("库存查询", "打印");
  Dialogs().QueueFileDialogAnswer({true, folder.File("库存"), 1});
  try {
    menu->PopupMenu_OutExcel();
    FAIL() << "no error";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "[导出]权限未授权");
  }
  EXPECT_TRUE(Dialogs().FileDialogs().empty());
  EXPECT_TRUE(std::filesystem::is_empty(folder.Path()));
}

TEST_F(GridPopupMenuTest, ACancelledSaveDialogWritesNothingAndAsksNothing) {
  Dialogs().QueueFileDialogAnswer({false, folder.File("库存"), 1});
  menu->PopupMenu_OutExcel();
  EXPECT_TRUE(std::filesystem::is_empty(folder.Path()));
  EXPECT_TRUE(Dialogs().MessageBoxes().empty());
}

TEST_F(GridPopupMenuTest, PrintShowsThePreviewWithPageHeaderAndFooters) {
  UserInfo->SetName("张三");
  TRecordingSpreadsheetAutomation automation;
  automation.Install("et.Application");
  SetSpreadsheetAutomation(&automation);
  menu->PopupMenu_Print();
  EXPECT_EQ(automation.Requested(), (std::vector<std::string>{"Excel.Application", "et.Application"}));
  EXPECT_EQ(automation.Operations(), (std::vector<std::string>{"OpenWorkbook", "SetPageSetup", "PrintPreview", "SetSaved",
                                                               "CloseWorkbooks", "Quit"}));
  const std::string workbook = automation.Calls()[0].Argument;
  EXPECT_TRUE(EndsText(".xls", workbook));
  EXPECT_EQ(testing::CheckExport("xls", workbook, ExportTableOfView(*view)), "OK 15 sheets 1");
  const TSheetPageSetup& page = automation.Calls()[1].PageSetup;
  EXPECT_EQ(page.CenterHeader, "-库存查询");  // no database service: no shop name
  EXPECT_EQ(page.CenterFooter, "第&P页");
  EXPECT_EQ(page.LeftFooter, "制单人:张三");
  EXPECT_EQ(page.RightFooter, "打印时间:" + FormatDateTime("yyyy-mm-dd hh:nn:ss", Now()));
  EXPECT_EQ(automation.Calls()[3].Argument, "1");
  std::filesystem::remove(workbook);
}

TEST_F(GridPopupMenuTest, PrintWithoutASpreadsheetProgramRaisesAndKeepsTheWorkbook) {
  TRecordingSpreadsheetAutomation automation;  // nothing installed
  SetSpreadsheetAutomation(&automation);
  try {
    menu->PopupMenu_Print();
    FAIL() << "no error";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "未安装Excel程序");
  }
  EXPECT_TRUE(automation.Calls().empty());
}

TEST_F(GridPopupMenuTest, RefusedPrintRightRaisesBeforeAnythingHappens) {
  rights->SetGrantAll(false);
  TRecordingSpreadsheetAutomation automation;
  automation.Install("Excel.Application");
  SetSpreadsheetAutomation(&automation);
  try {
    menu->PopupMenu_Print();
    FAIL() << "no error";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "[打印]权限未授权");
  }
  EXPECT_TRUE(automation.Requested().empty());
}

}  // namespace
}  // namespace jxc
