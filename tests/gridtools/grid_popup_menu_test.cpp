// The result grid's context menu on a stock list: what it enables and checks for the focused column,
// what its commands do to the view, and export, print and serial tracking with their rights.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iterator>

#include "foundation/UnitFrmBase.h"
#include "foundation/UnitPublicUtils.h"
#include "gridtools/cxORXGridPopupMenuU.h"
#include "services/NamedFormFactory.h"
#include "services/SQLiteDBAccess.h"
#include "kernel/SysSvc.h"
#include "services/TableGroupRights.h"
#include "services/XlsxExcelExport.h"
#include "platform/Actions.h"
#include "platform/Application.h"
#include "platform/DataSet.h"
#include "platform/GridDB.h"
#include "platform/DataSource.h"
#include "platform/Desktop.h"
#include "platform/Forms.h"
#include "platform/GridExport.h"
#include "platform/SpreadsheetAutomation.h"
#include "support/ExportCheck.h"

namespace jxc {
namespace {

// The serial-number tracking screen: remembers its filter and runs its query action.
class TFrmModeNOTrack : public TFrmBase, public IFilteredScreen {
 public:
  explicit TFrmModeNOTrack(TComponent* owner) : TFrmBase(owner) {
    actions = new TActionList(this);
    auto* query = new TAction(this);
    query->SetName("actQuery");
    query->SetActionList(actions);
    query->OnExecute = [this](TAction&) { ++queries; };
  }
  void ShowForm() override { Show(); }
  TActionList* GetActionList() override { return actions; }
  void SetFilter(const std::string& where) override { filter = where; }
  TActionList* actions;
  std::string filter;
  int queries = 0;
};

class GridPopupMenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetApplication();
    SysService::Clear();
    form = new TForm(&Application());
    form->SetCaption("库存查询");
    cdsStock = new TClientDataSet(form);
    cdsStock->FieldDefs().Add("F_MODE_NO", ftString, 30);
    cdsStock->FieldDefs().Add("F_PRODUCT", ftString, 50);
    cdsStock->FieldDefs().Add("F_QTY", ftInteger);
    cdsStock->FieldDefs().Add("F_PRICE", ftCurrency);
    cdsStock->CreateDataSet();
    cdsStock->AppendRecord({"860000000000001", "华为Mate60", 1, Currency::Parse("5999.5")});
    cdsStock->AppendRecord({"86'0000000000002", "小米14 <新>", 2, Currency::Parse("3999")});
    cdsStock->First();
    auto* source = new TDataSource(form);
    source->SetDataSet(cdsStock);
    grid = new TGrid(form);
    grid->SetParent(form);
    view = grid->CreateView<TGridTableView>();
    view->DataController().SetDataSource(source);
    view->CreateAllItems();
    view->FindColumnByFieldName("F_MODE_NO")->Caption = "串码";
    view->FindColumnByFieldName("F_PRICE")->Properties.DisplayFormat = "#,##0.00";
    menu = new TORXcxGridPopupMenu(form);
    menu->SetLinkTableView(view);
    rights = std::make_shared<TTableGroupRights>();
    SysService::Register<IGroupRights>(rights);
  }
  void TearDown() override {
    ResetApplication();
    SysService::Clear();
  }

  void Focus(const char* field) { view->SetFocusedColumn(field ? view->FindColumnByFieldName(field) : nullptr); }
  // The item as the user finds it: right-click (the menu opens afresh), then the path.
  TMenuItem& Item(std::initializer_list<std::string_view> path) {
    Open();
    TMenuItem* item = menu->FindItem(path);
    if (!item) throw Exception("no item " + std::string(*path.begin()));
    return *item;
  }
  void Open() {
    menu->CloseMenu();
    menu->Popup();
  }
  // The user 李四 of the shop 中山路店, on a database that knows the shop.
  void SignInAtShop() {
    auto db = std::make_shared<TSQLiteDBAccess>(":memory:");
    db->ExecSQL("INSERT INTO TB_SHOP (F_ID, F_CODE, F_NAME) VALUES (7, '007', '中山路店')");
    SysService::Register<IDBAccess>(db);
    InitializePublicUtils();
    UserInfo->SetDefaultShopID("7");
    UserInfo->SetName("李四");
  }

  SysService::Scope services;
  TForm* form;
  TClientDataSet* cdsStock;
  TGrid* grid;
  TGridTableView* view;
  TORXcxGridPopupMenu* menu;
  std::shared_ptr<TTableGroupRights> rights;
};

TEST_F(GridPopupMenuTest, TheItemsAreBuiltOnceInTheirOrder) {
  Open();
  std::vector<std::string> captions;
  for (int i = 0; i < menu->Items().Count(); ++i) captions.push_back(menu->Items().Items(i)->Caption());
  EXPECT_EQ(captions, (std::vector<std::string>{"升序", "降序", "不排序", "-", "根据本列", "数据对齐", "串码追踪",
                                                "复制串码", "导出Excel表格", "-", "显示分组框", "最佳列宽", "整页显示",
                                                "自动行高", "-", "隐藏此列", "其它"}));
  EXPECT_EQ(Item({"根据本列"}).Count(), 6);
  EXPECT_EQ(Item({"其它", "选择"}).Count(), 5);
  Open();
  EXPECT_EQ(menu->Items().Count(), 17);
}

TEST_F(GridPopupMenuTest, WithoutAFocusedColumnOnlyTheColumnItemsAreDisabled) {
  Focus(nullptr);
  Open();
  for (auto path : {std::initializer_list<std::string_view>{"升序"}, {"降序"}, {"不排序"}, {"根据本列"}, {"数据对齐"},
                    {"数据对齐", "左对齐"}, {"其它", "显示格式"}})
    EXPECT_FALSE(Item(path).Enabled()) << *path.begin();
  EXPECT_TRUE(Item({"导出Excel表格"}).Enabled());
  EXPECT_TRUE(Item({"显示分组框"}).Enabled());
  menu->PopupMenu_Asc();  // nothing to sort
  const bool groupByBox = view->OptionsView.GroupByBox;
  EXPECT_EQ(Item({"显示分组框"}).Checked(), groupByBox);
  Item({"显示分组框"}).Click();
  EXPECT_EQ(view->OptionsView.GroupByBox, !groupByBox);
  EXPECT_EQ(Item({"显示分组框"}).Checked(), !groupByBox);
}

TEST_F(GridPopupMenuTest, ATextColumnOffersOnlyCountAndNone) {
  Focus("F_PRODUCT");
  Open();
  for (const char* caption : {"总计", "最大值", "最小值", "平均值"}) EXPECT_FALSE(Item({"根据本列", caption}).Enabled());
  EXPECT_TRUE(Item({"根据本列", "记录条数"}).Enabled());
  EXPECT_TRUE(Item({"根据本列", "无"}).Enabled());
  EXPECT_TRUE(Item({"根据本列", "无"}).Checked());
  Focus("F_PRICE");
  Open();
  EXPECT_TRUE(Item({"根据本列", "总计"}).Enabled());
  EXPECT_TRUE(Item({"其它", "显示格式"}).Checked());
}

TEST_F(GridPopupMenuTest, SummariesTakeTheirThreeFormatsAndNoneKeepsTheFooter) {
  Focus("F_PRICE");
  TGridColumn& price = *view->FindColumnByFieldName("F_PRICE");
  Item({"根据本列", "总计"}).Click();
  EXPECT_TRUE(view->OptionsView.Footer);
  EXPECT_EQ(price.Summary.Footer.Kind, skSum);
  EXPECT_EQ(price.Summary.Footer.Format, "总计:#,##0.00");
  EXPECT_EQ(price.Summary.GroupFooter.Format, "小计:#,##0.00");
  EXPECT_EQ(price.Summary.GroupRow.Format, price.Caption + " 小计:#,##0.00");
  EXPECT_EQ(view->DataController().FooterSummaryText(price), "总计:9,998.50");

  Focus("F_QTY");
  TGridColumn& qty = *view->FindColumnByFieldName("F_QTY");
  Item({"根据本列", "最小值"}).Click();
  EXPECT_EQ(qty.Summary.Footer.Format, "最小值:##0.00");
  Item({"根据本列", "记录条数"}).Click();
  Item({"根据本列", "记录条数"}).Click();
  EXPECT_EQ(qty.Summary.Footer.Kind, skCount);
  EXPECT_EQ(qty.Summary.GroupRow.Format, "记录数:#0条");
  EXPECT_EQ(view->DataController().FooterSummaryText(qty), "记录数:2条");
  Open();
  EXPECT_TRUE(Item({"根据本列", "记录条数"}).Checked());

  Item({"根据本列", "无"}).Click();
  EXPECT_EQ(qty.Summary.Footer.Kind, skNone);
  EXPECT_EQ(qty.Summary.GroupFooter.Kind, skNone);
  EXPECT_EQ(qty.Summary.GroupRow.Kind, skNone);
  EXPECT_TRUE(view->OptionsView.Footer);
  EXPECT_EQ(price.Summary.Footer.Kind, skSum) << "other columns keep theirs";
}

TEST_F(GridPopupMenuTest, SortingAlignmentAndHidingActOnTheFocusedColumn) {
  Focus("F_QTY");
  TGridColumn& qty = *view->FindColumnByFieldName("F_QTY");
  Item({"降序"}).Click();
  EXPECT_EQ(qty.SortOrder, soDescending);
  Item({"数据对齐", "居中对齐"}).Click();
  EXPECT_EQ(qty.Properties.Alignment, TAlignment::taCenter);
  EXPECT_EQ(qty.HeaderAlignment, TAlignment::taCenter);
  Open();
  EXPECT_TRUE(Item({"降序"}).Checked());
  EXPECT_FALSE(Item({"升序"}).Checked());
  EXPECT_TRUE(Item({"数据对齐", "居中对齐"}).Checked());
  Item({"不排序"}).Click();
  EXPECT_EQ(qty.SortOrder, soNone);
  Item({"隐藏此列"}).Click();
  EXPECT_FALSE(qty.Visible);
}

TEST_F(GridPopupMenuTest, SelectionModesAreARadioGroup) {
  Item({"其它", "选择", "多行单元格选择"}).Click();
  EXPECT_TRUE(view->OptionsSelection.CellMultiSelect);
  Open();
  EXPECT_TRUE(Item({"其它", "选择", "多行单元格选择"}).Checked());
  Item({"其它", "选择", "多行选择"}).Click();
  Open();
  EXPECT_TRUE(view->OptionsSelection.MultiSelect);
  EXPECT_TRUE(Item({"其它", "选择", "多行选择"}).Checked());
  EXPECT_FALSE(Item({"其它", "选择", "多行单元格选择"}).Checked());
}

TEST_F(GridPopupMenuTest, ARemovedVisibilityMemberHidesItsItemsForEveryColumn) {
  menu->VisableItem.erase(viAscDesc);
  menu->VisableOtherItem.erase(viOtherSelect);
  for (const char* field : {"F_MODE_NO", "F_QTY", static_cast<const char*>(nullptr)}) {
    Focus(field);
    Open();
    EXPECT_FALSE(Item({"升序"}).Visible());
    EXPECT_FALSE(Item({"不排序"}).Visible());
    EXPECT_FALSE(Item({"其它", "选择"}).Visible());
    EXPECT_TRUE(Item({"根据本列"}).Visible());
  }
}

TEST_F(GridPopupMenuTest, ADestroyedViewLeavesEveryItemDisabled) {
  Open();
  delete view;
  EXPECT_EQ(menu->LinkTableView(), nullptr);
  Open();
  int items = 0;
  std::function<void(const TMenuItem&)> expectDisabled = [&](const TMenuItem& parent) {
    for (int i = 0; i < parent.Count(); ++i) {
      const TMenuItem& item = *parent.Items(i);
      ++items;
      EXPECT_FALSE(item.Enabled()) << item.Caption();
      expectDisabled(item);
    }
  };
  expectDisabled(menu->Items());
  EXPECT_EQ(items, 39) << "sub-menus included";
  EXPECT_NO_THROW(menu->PopupMenu_OutExcel());
  EXPECT_NO_THROW(menu->PopupMenu_Print());
}

TEST_F(GridPopupMenuTest, SerialTrackingOpensTheTrackingScreenWithTheSerialQuoted) {
  auto factory = std::make_shared<TNamedFormFactory>();
  TFrmModeNOTrack* opened = nullptr;
  factory->Register("手机串码追踪", [&opened](TComponent* owner) { return opened = new TFrmModeNOTrack(owner); });
  SysService::Register<IFormFactory>(factory);
  TScriptedMessageBox box;
  ScopedMessageBox scopedBox(box);

  Focus("F_PRODUCT");
  Item({"串码追踪"}).Click();
  ASSERT_EQ(box.Calls().size(), 1u);
  EXPECT_EQ(box.Calls()[0].Text, "请选择串码所在列");
  EXPECT_EQ(opened, nullptr);

  Focus("F_MODE_NO");
  cdsStock->Last();
  Item({"串码追踪"}).Click();
  ASSERT_NE(opened, nullptr);
  EXPECT_EQ(opened->filter, "WHERE F_MODE_NO = '86''0000000000002'");
  EXPECT_EQ(opened->queries, 1);
  EXPECT_EQ(opened->FormStyle, TFormStyle::fsMDIChild);
  EXPECT_TRUE(opened->Visible());

  TMemoryClipboard clipboard;
  ScopedClipboard scopedClipboard(clipboard);
  Item({"复制串码"}).Click();
  EXPECT_EQ(clipboard.GetText(), "86'0000000000002");
}

TEST_F(GridPopupMenuTest, ExportNeedsTheRightAndWritesTheChosenFileThenOffersToOpenIt) {
  testing::ScratchFolder folder;
  TScriptedSaveDialog dialog;
  ScopedSaveFileDialog scopedDialog(dialog);
  TScriptedMessageBox box;
  ScopedMessageBox scopedBox(box);
  TRecordingShell shell;
  ScopedShell scopedShell(shell);
  SysService::Register<IExcelExport>(std::make_shared<TXlsxExcelExport>());

  try {
    Item({"导出Excel表格"}).Click();
    FAIL() << "the export was not refused";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "[导出]权限未授权");
  }
  EXPECT_TRUE(dialog.Requests().empty()) << "nothing is asked without the right";

  rights->Grant("库存查询", "导出");
  dialog.QueueCancel();
  Item({"导出Excel表格"}).Click();
  EXPECT_TRUE(box.Calls().empty());
  EXPECT_TRUE(std::filesystem::is_empty(folder.Path()));

  const ExportTable expected = ExportTableOfView(*view);
  dialog.QueueChoice(folder.File("库存"), 1);
  box.QueueAnswer(TMsgResult::Yes);
  Item({"导出Excel表格"}).Click();
  ASSERT_EQ(dialog.Requests().size(), 2u);
  EXPECT_EQ(dialog.Requests()[1].Filter, "Excel97-2003|*.xls|(Excel2007-2013)|*.xlsx");
  const std::string xls = folder.File("库存.xls");
  EXPECT_EQ(testing::CheckExport("xls", xls, expected).substr(0, 4), "OK 8") << "two rows of four cells";
  ASSERT_EQ(box.Calls().size(), 1u);
  EXPECT_EQ(box.Calls()[0].Text, "导出成功" + xls + ",是否打开?");
  EXPECT_EQ(box.Calls()[0].Title, "导出成功");
  EXPECT_EQ(shell.Opened(), std::vector<std::string>{xls});

  dialog.QueueChoice(folder.File("库存"), 2);  // No: nothing opened
  Item({"导出Excel表格"}).Click();
  EXPECT_EQ(testing::CheckExport("xlsx", folder.File("库存.xlsx"), expected).substr(0, 4), "OK 8");
  EXPECT_EQ(shell.Opened().size(), 1u);

  Focus(nullptr);  // the whole view is exported whatever column has the focus
  dialog.QueueChoice(folder.File("库存"));
  menu->PopupMenu_OutText();
  EXPECT_EQ(testing::CheckExport("txt", folder.File("库存.txt"), expected).substr(0, 4), "OK 8");
}

// Temporary files go to a folder of their own while the guard lives, so that what printing leaves behind
// is seen.
class ScopedTempFolder {
 public:
  explicit ScopedTempFolder(const std::filesystem::path& folder) {
    const char* previous = std::getenv("TMPDIR");
    had_ = previous != nullptr;
    if (had_) previous_ = previous;
    ::setenv("TMPDIR", folder.c_str(), 1);
  }
  ~ScopedTempFolder() { had_ ? ::setenv("TMPDIR", previous_.c_str(), 1) : ::unsetenv("TMPDIR"); }
  ScopedTempFolder(const ScopedTempFolder&) = delete;
  ScopedTempFolder& operator=(const ScopedTempFolder&) = delete;

 private:
  std::string previous_;
  bool had_;
};

TEST_F(GridPopupMenuTest, PrintingHeadsThePagesWithTheShopAndNeedsTheRightAndAProgram) {
  SignInAtShop();
  TRecordingSpreadsheetAutomation automation;
  SetSpreadsheetAutomation(&automation);
  struct Restore {
    ~Restore() { SetSpreadsheetAutomation(nullptr); }
  } restore;
  testing::ScratchFolder temp;
  ScopedTempFolder scopedTemp(temp.Path());

  try {
    menu->PopupMenu_Print();
    FAIL() << "printed without the right";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "[打印]权限未授权");
  }
  EXPECT_TRUE(automation.Requested().empty()) << "refused before any program starts";
  EXPECT_TRUE(std::filesystem::is_empty(temp.Path())) << "nothing written without the right";

  rights->Grant("库存查询", "打印");
  try {
    menu->PopupMenu_Print();
    FAIL() << "printed without a program";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "未安装Excel程序");
  }
  EXPECT_EQ(automation.Requested(), (std::vector<std::string>{"Excel.Application", "et.Application"}));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(temp.Path()), {}), 1) << "the workbook stays";

  automation.Install("et.Application");
  menu->PopupMenu_Print();
  EXPECT_EQ(automation.Operations(), (std::vector<std::string>{"OpenWorkbook", "SetPageSetup", "PrintPreview",
                                                               "SetSaved", "CloseWorkbooks", "Quit"}));
  const TSheetPageSetup& page = automation.Calls()[1].PageSetup;
  EXPECT_EQ(page.CenterHeader, "中山路店-库存查询");
  EXPECT_EQ(page.CenterFooter, "第&P页");
  EXPECT_EQ(page.LeftFooter, "制单人:李四");
  EXPECT_EQ(page.RightFooter.rfind("打印时间:", 0), 0u);
  const std::string workbook = automation.Calls()[0].Argument;
  EXPECT_EQ(testing::CheckExport("xls", workbook, ExportTableOfView(*view)).substr(0, 4), "OK 8");
  std::filesystem::remove(workbook);

  // A user without a usable shop still prints, with an empty shop in the header.
  for (const char* shop : {"", "7 OR 1=1"}) {
    UserInfo->SetDefaultShopID(shop);
    TRecordingSpreadsheetAutomation fresh;
    fresh.Install("Excel.Application");
    SetSpreadsheetAutomation(&fresh);
    ASSERT_NO_THROW(menu->PopupMenu_Print()) << shop;
    ASSERT_EQ(fresh.Operations().size(), 6u) << shop;
    EXPECT_EQ(fresh.Calls()[1].PageSetup.CenterHeader, "-库存查询") << shop;
    SetSpreadsheetAutomation(nullptr);
    std::filesystem::remove(fresh.Calls()[0].Argument);
  }
  FinalizePublicUtils();
}

// As the shop assistant prints a stock list of several pages, with LibreOffice as the spreadsheet program:
// every page of the preview is headed by the shop and the screen and footed by the user, its page number
// and the time of printing.
TEST_F(GridPopupMenuTest, EveryPrintedPageCarriesTheHeaderAndTheFooters) {
  if (!testing::OfficeInstalled()) GTEST_SKIP() << testing::kNoOffice;
  if (!testing::PdfTextInstalled()) GTEST_SKIP() << testing::kNoPdfText;
  SignInAtShop();
  rights->Grant("库存查询", "打印");
  for (int i = 0; i < 240; ++i)
    cdsStock->AppendRecord({std::to_string(861000000000000LL + i), "华为Mate60 第" + std::to_string(i) + "台", 1,
                            Currency::Parse("5999.5")});
  testing::ScratchFolder temp;
  ScopedTempFolder scopedTemp(temp.Path());
  TRecordingShell shell;
  ScopedShell scopedShell(shell);

  menu->PopupMenu_Print();
  ASSERT_EQ(shell.Opened().size(), 1u) << "the preview is shown";
  const std::vector<std::string> pages = testing::PdfPageTexts(shell.Opened()[0]);
  ASSERT_GE(pages.size(), 3u);
  for (size_t p = 0; p < pages.size(); ++p) {
    EXPECT_NE(pages[p].find("中山路店-库存查询"), std::string::npos) << "page " << p + 1;
    EXPECT_NE(pages[p].find("制单人:李四"), std::string::npos) << "page " << p + 1;
    EXPECT_NE(pages[p].find("第" + std::to_string(p + 1) + "页"), std::string::npos) << "page " << p + 1;
    EXPECT_NE(pages[p].find("打印时间:"), std::string::npos) << "page " << p + 1;
  }
  FinalizePublicUtils();
}

TEST_F(GridPopupMenuTest, RebuildingColumnsPutsEveryFieldInOneBand) {
  auto* banded = grid->CreateView<TGridBandedTableView>();
  banded->DataController().SetDataSource(view->DataController().DataSource());
  menu->SetLinkTableView(banded);
  banded->AddBand("旧");
  menu->PopupMenu_OtherCreateAllItems();
  ASSERT_EQ(banded->ColumnCount(), 4);
  ASSERT_EQ(banded->BandCount(), 1);
  EXPECT_EQ(banded->Bands(0).Caption, "基本信息");
  for (TGridColumn* column : banded->ColumnList()) EXPECT_EQ(column->BandIndex, 0);
}

}  // namespace
}  // namespace jxc
