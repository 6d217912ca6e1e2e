#include "gridtools/cxORXGridPopupMenuU.h"

#include <filesystem>

#include "foundation/DBIntf.h"
#include "foundation/HostServicesIntf.h"
#include "foundation/RightsIntf.h"
#include "foundation/UnitFrmBase.h"
#include "foundation/UnitPublicUtils.h"
#include "kernel/SysSvc.h"
#include "platform/Actions.h"
#include "platform/Desktop.h"
#include "platform/Exceptions.h"
#include "platform/Format.h"
#include "platform/Forms.h"
#include "platform/GridExport.h"
#include "platform/SpreadsheetAutomation.h"
#include "platform/SystemDialogs.h"
#include "platform/Text.h"

namespace jxc {

namespace {

template <class E>
std::set<E> AllMembers(int count) {
  std::set<E> all;
  for (int i = 0; i < count; ++i) all.insert(static_cast<E>(i));
  return all;
}

void SetEnabledAll(TMenuItem& parent, bool enabled) {
  for (TMenuItem* item : parent.SubItems()) {
    item->SetEnabled(enabled);
    SetEnabledAll(*item, enabled);
  }
}

const char* SummaryCaption(TSummaryKind kind) {
  switch (kind) {
    case skCount: return "记录条数";
    case skSum: return "总计";
    case skMax: return "最大值";
    case skMin: return "最小值";
    case skAverage: return "平均值";
    case skNone: break;
  }
  return "无";
}

const char* AlignmentCaption(TAlignment alignment) {
  switch (alignment) {
    case TAlignment::taRightJustify: return "右对齐";
    case TAlignment::taCenter: return "居中对齐";
    case TAlignment::taLeftJustify: break;
  }
  return "左对齐";
}

struct FootFormats {
  std::string footer, groupFooter, groupRow;
};

FootFormats FormatsFor(TSummaryKind kind, const std::string& number) {
  switch (kind) {
    case skCount: return {"记录数:#0条", "记录数:#0条", "记录数:#0条"};
    case skSum: return {"总计:" + number, "小计:" + number, "小计:" + number};
    case skMax: return {"最大值:" + number, "最大值:" + number, "最大值:" + number};
    case skMin: return {"最小值:#" + number, "最小值:#" + number, "最小值:#" + number};
    case skAverage: return {"平均值:#" + number, "平均值:#" + number, "平均值:#" + number};
    case skNone: break;
  }
  return {};
}

const char* SaveFilter(TOutFileType type) {
  switch (type) {
    case otExcel: return "Excel97-2003|*.xls|(Excel2007-2013)|*.xlsx";
    case otXML: return "XML文件|*.xml";
    case otText: return "文本文件|*.txt";
    case otHtml: return "*.Html|*.Html";
  }
  return "";
}

// The file an export writes: the chosen name with the extension of the type (for Excel, of the chosen
// filter entry), not doubled when the user typed it already.
std::string ExportFileName(TOutFileType type, const std::string& chosen, int filterIndex) {
  std::string extension = type == otExcel ? (filterIndex == 1 ? ".xls" : ".xlsx")
                          : type == otXML ? ".xml"
                          : type == otText ? ".txt"
                                           : ".html";
  return EndsText(extension, chosen) ? chosen : chosen + extension;
}

TGridExportFormat GridFormat(TOutFileType type) {
  switch (type) {
    case otXML: return TGridExportFormat::Xml;
    case otText: return TGridExportFormat::Text;
    case otHtml: return TGridExportFormat::Html;
    case otExcel: break;
  }
  return TGridExportFormat::Xls;
}

// The shop of the workstation's user, by which printed pages are headed; "" when it cannot be read.
// The identifier goes into the statement unquoted, so only a plain number is looked up: an empty or
// damaged one would break the statement (and the print with it) or change what it reads.
std::string DefaultShopName() {
  auto db = SysService::Get<IDBAccess>();
  if (!db || !UserInfo) return "";
  const std::string& id = UserInfo->DefaultShopID();
  const size_t digits = !id.empty() && id[0] == '-' ? 1 : 0;
  if (id.size() == digits || id.find_first_not_of("0123456789", digits) != std::string::npos) return "";
  auto rows = db->OpenSQL("SELECT F_NAME FROM TB_SHOP WHERE F_ID = " + id);
  if (!rows || rows->IsEmpty()) return "";
  return rows->FieldByName("F_NAME").AsString();
}

}  // namespace

const std::set<TFieldType>& NumericFieldTypes() {
  static const std::set<TFieldType> types{ftInteger, ftFloat, ftCurrency, ftBCD, ftLargeint};
  return types;
}

const std::set<TFieldType>& TextFieldTypes() {
  static const std::set<TFieldType> types{ftString, ftDate, ftDateTime, ftWideString};
  return types;
}

TORXcxGridPopupMenu::TORXcxGridPopupMenu(TComponent* owner)
    : TPopupMenu(owner),
      VisableItem(AllMembers<TORXcxGridPopupMenuVisableItem>(19)),
      VisableOtherItem(AllMembers<TORXcxGridPopupMenuVisableOtherItem>(19)) {
  NumericFieldTypes();
  TextFieldTypes();
  if (auto* view = dynamic_cast<TGridTableView*>(owner)) SetLinkTableView(view);
}

TORXcxGridPopupMenu::~TORXcxGridPopupMenu() { SetLinkTableView(nullptr); }

void TORXcxGridPopupMenu::SetLinkTableView(TGridTableView* view) {
  if (view_ == view) return;
  if (view_) view_->RemoveFreeNotification(this);
  view_ = view;
  if (view_) view_->FreeNotification(this);
}

void TORXcxGridPopupMenu::Notification(TComponent* component, TOperation operation) {
  TPopupMenu::Notification(component, operation);
  if (operation == TOperation::opRemove && component == view_) view_ = nullptr;
}

TGrid* TORXcxGridPopupMenu::GetLinkGrid() const { return view_ ? view_->Grid() : nullptr; }

TMenuItem* TORXcxGridPopupMenu::Add(TMenuItem& parent, const std::string& caption, const std::string& name,
                                    void (TORXcxGridPopupMenu::*command)(), int radioGroup) {
  TMenuItem* item = parent.AddItem(caption, nullptr, this);
  if (!name.empty()) item->SetName(name);
  if (command) item->OnClick = [this, command](TMenuItem&) { (this->*command)(); };
  if (radioGroup) {
    item->RadioItem = true;
    item->GroupIndex = radioGroup;
  }
  return item;
}

void TORXcxGridPopupMenu::CreatePopupMenu() {
  using M = TORXcxGridPopupMenu;
  TMenuItem& top = Items();
  Add(top, "升序", "PopupMenu_Asc", &M::PopupMenu_Asc, 1);
  Add(top, "降序", "PopupMenu_Desc", &M::PopupMenu_Desc, 1);
  Add(top, "不排序", "PopupMenu_DelAscORDesc", &M::PopupMenu_DelAscORDesc, 1);
  Add(top, "-", "", nullptr);
  TMenuItem& summary = *Add(top, "根据本列", "", nullptr);
  Add(summary, "记录条数", "PopupMenu_Count", &M::PopupMenu_Count, 2);
  Add(summary, "总计", "PopupMenu_Sum", &M::PopupMenu_Sum, 2);
  Add(summary, "最大值", "PopupMenu_Max", &M::PopupMenu_Max, 2);
  Add(summary, "最小值", "PopupMenu_Min", &M::PopupMenu_Min, 2);
  Add(summary, "平均值", "PopupMenu_Avg", &M::PopupMenu_Avg, 2);
  Add(summary, "无", "PopupMenu_empty", &M::PopupMenu_empty, 2);
  TMenuItem& align = *Add(top, "数据对齐", "", nullptr);
  Add(align, "左对齐", "PopupMenu_AlignLeft", &M::PopupMenu_AlignLeft, 3);
  Add(align, "右对齐", "PopupMenu_AlignRight", &M::PopupMenu_AlignRight, 3);
  Add(align, "居中对齐", "PopupMenu_AlignCenter", &M::PopupMenu_AlignCenter, 3);
  Add(align, "-", "", nullptr);
  Add(top, "串码追踪", "PopupMenu_ModeNOTrack", &M::PopupMenu_TrackModeNO);
  Add(top, "复制串码", "PopupMenu_CopyModeNO", &M::PopupMenu_CopyModeNO);
  Add(top, "导出Excel表格", "PopupMenu_Excel", &M::PopupMenu_OutExcel);
  Add(top, "-", "", nullptr);
  Add(top, "显示分组框", "PopupMenu_ShowGroup", &M::PopupMenu_ShowGroup);
  Add(top, "最佳列宽", "PopupMenu_BestColumWidth", &M::PopupMenu_BestColumWidth);
  Add(top, "整页显示", "PopupMenu_AutoColumWidth", &M::PopupMenu_AutoColumWidth);
  Add(top, "自动行高", "PopupMenu_AutoRowHeight", &M::PopupMenu_AutoRowHeight);
  Add(top, "-", "", nullptr);
  Add(top, "隐藏此列", "PopupMenu_HideColumn", &M::PopupMenu_HideColumn);
  TMenuItem& other = *Add(top, "其它", "PopupMenu_Other", nullptr);
  TMenuItem& select = *Add(other, "选择", "", nullptr);
  Add(select, "可单元格选择", "PopupMenu_OtherSelectCellSelect", &M::PopupMenu_OtherSelectCellSelect);
  Add(select, "-", "", nullptr);
  Add(select, "单行选择", "PopupMenu_OtherSelectRowSelect", &M::PopupMenu_OtherSelectRowSelect, 4);
  Add(select, "多行选择", "PopupMenu_OtherSelectMultiRowSelect", &M::PopupMenu_OtherSelectMultiRowSelect, 4);
  Add(select, "多行单元格选择", "PopupMenu_OtherSelectCellsSelect", &M::PopupMenu_OtherSelectCellsSelect, 4);
  Add(other, "-", "", nullptr);
  Add(other, "自动汇总数值", "PopupMenu_OtherAutoSumNum", &M::PopupMenu_OtherAutoSumNum);
  Add(other, "-", "", nullptr);
  Add(other, "显示汇总栏", "PopupMenu_OtherShowConfluence", &M::PopupMenu_OtherShowConfluence);
  Add(other, "显示格式", "PopupMenu_OtherDisplayFormat", &M::PopupMenu_OtherDisplayFormat);
  Add(other, "-", "", nullptr);
}

TMenuItem* TORXcxGridPopupMenu::FindItem(std::initializer_list<std::string_view> path) const {
  const TMenuItem* at = &Items();
  for (std::string_view caption : path) {
    at = at->Find(caption);
    if (!at) return nullptr;
  }
  return const_cast<TMenuItem*>(at);
}

void TORXcxGridPopupMenu::SetMenuVisible_FalseByVisableItem() {
  auto hide = [this](std::initializer_list<std::string_view> path) {
    if (TMenuItem* item = FindItem(path)) item->SetVisible(false);
  };
  auto missing = [this](TORXcxGridPopupMenuVisableItem member) { return !VisableItem.count(member); };
  auto missingOther = [this](TORXcxGridPopupMenuVisableOtherItem m) { return !VisableOtherItem.count(m); };
  if (missing(viAscDesc)) {
    hide({"升序"});
    hide({"降序"});
    hide({"不排序"});
  }
  if (missing(viAggregtes)) hide({"根据本列"});
  if (missing(viAlign)) hide({"数据对齐"});
  if (missing(viOutFile)) hide({"输出到文件"});
  if (missing(viShowGroup)) hide({"显示分组框"});
  if (missing(viShowHintCloum)) hide({"选择列"});
  if (missing(viBestColumWidth)) hide({"最佳列宽"});
  if (missing(viAutoRowHeight)) hide({"自动行高"});
  if (missing(viAutoColumWidth)) hide({"整页显示"});
  if (missing(viShowFilter)) hide({"全文检索"});
  if (missingOther(viOtherSelect)) hide({"其它", "选择"});
  if (missingOther(viOtherCreateAllItems)) hide({"其它", "重建所有列"});
  if (missingOther(viOtherAutoSumNum)) hide({"其它", "自动汇总数值"});
  if (missingOther(viOtherShowConfluence)) hide({"其它", "显示汇总栏"});
  if (missingOther(viOtherShowHeader)) hide({"其它", "显示标题栏"});
  if (missingOther(viOtherDisplayFormat)) hide({"其它", "显示格式"});
}

void TORXcxGridPopupMenu::DoPopup() {
  if (Items().Count() == 0) CreatePopupMenu();
  if (!view_) {
    SetEnabledAll(Items(), false);
  } else {
    SetEnabledAll(Items(), true);
    SetMenuVisible_FalseByVisableItem();
    if (TGridColumn* column = view_->FocusedColumn()) {
      ReflectFocusedColumn(*column);
    } else {
      for (auto path : {std::initializer_list<std::string_view>{"升序"}, {"降序"}, {"不排序"}, {"根据本列"},
                        {"数据对齐"}, {"数据对齐", "左对齐"}, {"数据对齐", "右对齐"}, {"数据对齐", "居中对齐"},
                        {"其它", "显示格式"}})
        if (TMenuItem* item = FindItem(path)) item->SetEnabled(false);
      if (TMenuItem* format = FindItem({"其它", "显示格式"})) format->SetChecked(false);
    }
    ReflectViewOptions();
  }
  TPopupMenu::DoPopup();
}

void TORXcxGridPopupMenu::ReflectFocusedColumn(TGridColumn& column) {
  const char* sort = column.SortOrder == soAscending ? "升序" : column.SortOrder == soDescending ? "降序" : "不排序";
  if (TMenuItem* item = FindItem({sort})) item->SetChecked(true);
  if (TMenuItem* item = FindItem({"根据本列", SummaryCaption(column.Summary.Footer.Kind)})) item->SetChecked(true);
  if (TField* field = column.Field(); field && !NumericFieldTypes().count(field->DataType()))
    for (const char* caption : {"总计", "最大值", "最小值", "平均值"})
      if (TMenuItem* item = FindItem({"根据本列", caption})) item->SetEnabled(false);
  if (TMenuItem* item = FindItem({"数据对齐", AlignmentCaption(column.Properties.Alignment)})) item->SetChecked(true);
  if (TMenuItem* item = FindItem({"其它", "显示格式"})) item->SetChecked(!column.Properties.DisplayFormat.empty());
}

void TORXcxGridPopupMenu::ReflectViewOptions() {
  auto check = [this](std::initializer_list<std::string_view> path, bool checked) {
    if (TMenuItem* item = FindItem(path)) item->SetChecked(checked);
  };
  check({"其它", "显示汇总栏"}, view_->OptionsView.Footer);
  check({"显示分组框"}, view_->OptionsView.GroupByBox);
  check({"整页显示"}, view_->OptionsView.ColumnAutoWidth);
  check({"自动行高"}, view_->OptionsView.CellAutoHeight);
  const auto& selection = view_->OptionsSelection;
  check({"其它", "选择", "可单元格选择"}, selection.CellSelect);
  check({"其它", "选择", selection.CellMultiSelect ? "多行单元格选择" : selection.MultiSelect ? "多行选择" : "单行选择"},
        true);
}

void TORXcxGridPopupMenu::SetFocusedSortOrder(TSortOrder order) {
  if (TGridColumn* column = view_ ? view_->FocusedColumn() : nullptr) column->SortOrder = order;
}

void TORXcxGridPopupMenu::SetColumnFoot(TSummaryKind kind) {
  if (!view_) return;
  if (!view_->OptionsView.Footer) {
    view_->OptionsView.Footer = true;
    if (view_->DataController().Expanded()) view_->OptionsView.GroupFooters = TGroupFootersMode::gfVisibleWhenExpanded;
  }
  TGridColumn* column = view_->FocusedColumn();
  if (!column) return;
  const std::string number = column->Properties.DisplayFormat.empty() ? "#0.00" : column->Properties.DisplayFormat;
  const FootFormats formats = FormatsFor(kind, number);
  TGridDataController& data = view_->DataController();
  data.BeginSummaryUpdate();
  column->Summary.GroupRow.Kind = kind;
  if (!formats.groupRow.empty())
    column->Summary.GroupRow.Format = kind == skCount ? formats.groupRow : column->Caption + " " + formats.groupRow;
  column->Summary.GroupFooter = {kind, formats.groupFooter};
  column->Summary.Footer = {kind, formats.footer};
  data.SortGroupsBySummary = true;
  data.EndSummaryUpdate();
}

void TORXcxGridPopupMenu::SetColumnAlign(TAlignment alignment) {
  TGridColumn* column = view_ ? view_->FocusedColumn() : nullptr;
  if (!column) return;
  column->Properties.Alignment = alignment;
  column->HeaderAlignment = alignment;
}

std::string TORXcxGridPopupMenu::ScreenCaption() const {
  TCustomForm* form = view_ ? view_->Form() : nullptr;
  return form ? form->Caption() : "";
}

void TORXcxGridPopupMenu::CheckRight(const std::string& operation) const {
  // Without a rights service nothing can be granted: the command is refused as when the right is missing.
  auto rights = SysService::Get<IGroupRights>();
  if (!rights || !rights->HasRight(ScreenCaption(), operation)) throw Exception("[" + operation + "]权限未授权");
}

void TORXcxGridPopupMenu::PopupMenu_TrackModeNO() {
  TGridColumn* column = view_ ? view_->FocusedColumn() : nullptr;
  if (!column || !Contains(column->Caption, "串")) {
    MessageBox().Show("请选择串码所在列", "提示", TMsgButtons::OK, TMsgIcon::Information);
    return;
  }
  int record = view_->FocusedRecordIndex();
  std::string serial = record >= 0 ? view_->DataController().Value(record, *column).ToString() : "";
  if (serial.empty()) serial = "无";
  OpenModeNOTrack("WHERE F_MODE_NO = " + QuotedStr(serial));
}

void TORXcxGridPopupMenu::OpenModeNOTrack(const std::string& filter) {
  auto factory = SysService::Get<IFormFactory>();
  TFrmBase* screen = factory ? factory->OpenWindow(nullptr, "手机串码追踪") : nullptr;
  if (!screen) return;  // the application has no such screen
  if (auto* filtered = dynamic_cast<IFilteredScreen*>(screen)) filtered->SetFilter(filter);
  screen->FormStyle = TFormStyle::fsMDIChild;
  if (TActionList* actions = screen->GetActionList())
    if (TAction* query = actions->FindAction("actQuery")) query->Execute();
  screen->Show();
}

void TORXcxGridPopupMenu::PopupMenu_CopyModeNO() {
  if (view_) Clipboard().SetText(view_->FocusedCellText());
}

void TORXcxGridPopupMenu::OutFile(TOutFileType type) {
  if (!view_) return;
  CheckRight("导出");
  TSaveDialog dialog;
  dialog.Filter = SaveFilter(type);
  dialog.FileName = GetFilename("");
  if (!dialog.Execute()) return;
  const std::string fileName = ExportFileName(type, dialog.FileName, dialog.FilterIndex);
  if (type == otExcel && EndsText(".xlsx", fileName)) {
    auto excel = SysService::Get<IExcelExport>();
    TGrid* grid = GetLinkGrid();
    if (!excel || !grid) throw Exception("无法导出Excel2007文件");
    excel->ExportGrid(*grid, fileName);
  } else {
    ExportGridToFile(GridFormat(type), *view_, fileName);
  }
  if (!std::filesystem::exists(fileName)) return;
  if (MessageBox().Show("导出成功" + fileName + ",是否打开?", "导出成功", TMsgButtons::YesNo, TMsgIcon::Information,
                        true) == TMsgResult::Yes)
    Shell().OpenDocument(fileName);
}

void TORXcxGridPopupMenu::PopupMenu_Print() {
  if (!view_) return;
  CheckRight("打印");
  const std::string workbook = NewTempFileName(".xls");
  ExportGridToFile(TGridExportFormat::Xls, *view_, workbook);
  ISpreadsheetAutomation& automation = SpreadsheetAutomation();
  std::unique_ptr<ISpreadsheetApplication> program = automation.CreateApplication("Excel.Application");
  if (!program) program = automation.CreateApplication("et.Application");
  if (!program) throw Exception("未安装Excel程序");
  try {
    const std::string shop = DefaultShopName();
    program->OpenWorkbook(workbook);
    TSheetPageSetup page;
    page.CenterHeader = shop + "-" + ScreenCaption();
    page.CenterFooter = "第&P页";
    page.LeftFooter = "制单人:" + (UserInfo ? UserInfo->Name() : std::string());
    page.RightFooter = "打印时间:" + FormatDateTime("YYYY-MM-DD HH:MM:SS", Now());
    program->SetPageSetup(page);
    program->PrintPreview();
    program->SetSaved(true);
    program->CloseWorkbooks();
  } catch (...) {
    program->Quit();  // the program must not stay behind when the preview fails
    throw;
  }
  program->Quit();
}

void TORXcxGridPopupMenu::PopupMenu_ShowGroup() {
  if (view_) view_->OptionsView.GroupByBox = !view_->OptionsView.GroupByBox;
}

void TORXcxGridPopupMenu::PopupMenu_BestColumWidth() {
  if (!view_) return;
  view_->BeginUpdate();
  view_->ApplyBestFit();
  view_->EndUpdate();
}

void TORXcxGridPopupMenu::PopupMenu_AutoColumWidth() {
  if (view_) view_->OptionsView.ColumnAutoWidth = !view_->OptionsView.ColumnAutoWidth;
}

void TORXcxGridPopupMenu::PopupMenu_AutoRowHeight() {
  if (view_) view_->OptionsView.CellAutoHeight = !view_->OptionsView.CellAutoHeight;
}

void TORXcxGridPopupMenu::PopupMenu_HideColumn() {
  if (TGridColumn* column = view_ ? view_->FocusedColumn() : nullptr) column->Visible = false;
}

void TORXcxGridPopupMenu::PopupMenu_OtherSelectCellSelect() {
  if (!view_) return;
  view_->OptionsSelection.CellSelect = !view_->OptionsSelection.CellSelect;
  view_->OptionsSelection.CellMultiSelect = false;
}

// Row selection modes leave multi-cell selection, so that the radio group shows the mode chosen.
void TORXcxGridPopupMenu::PopupMenu_OtherSelectRowSelect() {
  if (!view_) return;
  view_->OptionsSelection.MultiSelect = false;
  view_->OptionsSelection.CellMultiSelect = false;
}

void TORXcxGridPopupMenu::PopupMenu_OtherSelectMultiRowSelect() {
  if (!view_) return;
  view_->OptionsSelection.MultiSelect = true;
  view_->OptionsSelection.CellMultiSelect = false;
}

void TORXcxGridPopupMenu::PopupMenu_OtherSelectCellsSelect() {
  if (view_) view_->OptionsSelection.CellMultiSelect = true;
}

void TORXcxGridPopupMenu::CreateAllItems() {
  if (!view_) return;
  view_->BeginUpdate();
  auto* banded = dynamic_cast<TGridBandedTableView*>(view_);
  if (banded) banded->ClearBands();
  view_->ClearItems();
  int band = banded ? banded->AddBand("基本信息") : 0;
  view_->CreateAllItems();
  for (TGridColumn* column : view_->ColumnList()) column->BandIndex = band;
  view_->EndUpdate();
}

}  // namespace jxc
