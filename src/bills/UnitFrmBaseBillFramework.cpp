#include "bills/UnitFrmBaseBillFramework.h"

#include <algorithm>
#include <map>
#include <optional>
#include <utility>

#include "bills/ExpressionControl.h"
#include "bills/UnitBillLookupIntf.h"
#include "bills/UnitPrintTemplates.h"
#include "editors/UnitLookupColumns.h"
#include "editors/UnitEditorUtils.h"
#include "editors/UnitFrameBase.h"
#include "editors/uBaseDataIntf.h"
#include "foundation/DBIntf.h"
#include "foundation/HostServicesIntf.h"
#include "foundation/UnitSysParams.h"
#include "kernel/SysSvc.h"
#include "platform/Actions.h"
#include "platform/Application.h"
#include "platform/DBCtrls.h"
#include "platform/DataSource.h"
#include "platform/Desktop.h"
#include "platform/Exceptions.h"
#include "platform/ExtCtrls.h"
#include "platform/Format.h"
#include "platform/Grid.h"
#include "platform/MemSQL.h"
#include "platform/Menus.h"
#include "platform/StdCtrls.h"
#include "platform/SystemDialogs.h"
#include "platform/Text.h"
#include "platform/Timer.h"

namespace jxc {

namespace {

constexpr int kStartQueryInterval = 100;
constexpr int kRowHeight = 21;
constexpr int kStatusPanel = 5;
constexpr int kColumnWidth = 64;
constexpr int kDetailIDBlock = 100;
constexpr const char* kNewBillCode = "新增单据";
constexpr const char* kTrackScreen = "手机串码追踪";
constexpr const char* kDefaultBand = "基本信息";
constexpr const char* kFooterInfo = "当前第[RecordIndex]条记录,共 [RecordCount]条";
constexpr const char* kDuplicateModeNOSQL =
    "SELECT   F_MODE_NO  FROM CheckDetail WHERE (F_PRODUCT_TYPE_ID = 1 OR F_PRODUCT_TYPE_ID =  3) GROUP BY F_MODE_NO "
    "Having Count(1) > 1";
constexpr const char* kProductSQL = "SELECT F_UNIT, F_CONFIG_ID,F_PRODUCT_TYPE_ID FROM TB_PRODUCT_ATTRIBUTE WHERE F_ID =";
constexpr const char* kEditingDiscard = "您正在编辑数据,确定放弃吗?";
constexpr const char* kCrLf = "\r\n";

bool Editing(const TDataSet& dataSet) { return dataSet.State() == dsEdit || dataSet.State() == dsInsert; }

// Whether the dataset holds a current row: a stored one or one being appended.
bool HasRow(const TDataSet& dataSet) {
  return dataSet.Active() && (!dataSet.IsEmpty() || dataSet.State() == dsInsert);
}

bool IsSerialType(const Variant& type) { return !type.IsNullOrEmpty() && (type.AsInt64() == 1 || type.AsInt64() == 3); }

// Sets the field where the record has it.
void SetIfPresent(TDataSet& record, const char* name, const Variant& value) {
  if (TField* field = record.FindField(name)) field->SetValue(value);
}

Variant Id(int64_t id) { return Variant(static_cast<long long>(id)); }

// Sets a flag of the screen for a piece of work; it is as it was before afterwards.
class TFlagScope {
 public:
  explicit TFlagScope(bool& flag) : flag_(flag), before_(flag) { flag_ = true; }
  ~TFlagScope() { flag_ = before_; }
  TFlagScope(const TFlagScope&) = delete;
  TFlagScope& operator=(const TFlagScope&) = delete;

 private:
  bool& flag_;
  bool before_;
};

class TCountScope {
 public:
  explicit TCountScope(int& count) : count_(count) { ++count_; }
  ~TCountScope() { --count_; }
  TCountScope(const TCountScope&) = delete;
  TCountScope& operator=(const TCountScope&) = delete;

 private:
  int& count_;
};

}  // namespace

// --- creation ------------------------------------------------------------------------------------------------

Currency TFrmBaseBillFramework::MaxPrice() { return Currency::FromInt(100000); }

TFrmBaseBillFramework::TFrmBaseBillFramework(TComponent* owner) : TFrmBaseEditor(owner) {
  SetCaption("进销存单据框架");
  StartQuery->SetInterval(kStartQueryInterval);
  CreateAreas();
  CreateActions();
  CreateDetailMenu();
}

TFrmBaseBillFramework::~TFrmBaseBillFramework() {
  // The parts outlive this level of the screen for a moment; nothing of theirs may call back into it.
  dsMain->OnStateChange = nullptr;
  dsDetail->OnStateChange = nullptr;
  for (TDataSet::DataSetHandler* handler : {&CdsDetail->OnNewRecord, &CdsDetail->BeforePost, &CdsDetail->BeforeDelete,
                                            &CdsDetail->AfterDelete, &CdsDetail->AfterCancel})
    *handler = nullptr;
  cxGrid1->OnEnter = nullptr;
  cxGrid1->OnExit = nullptr;
  ppmDetail->OnPopup = nullptr;
  for (TGridColumn* column : tvResult->ColumnList()) column->Properties.OnInitPopup = nullptr;
  if (FModeNOPopup) {
    FModeNOPopup->OnCheckModeNO = nullptr;
    FModeNOPopup->OnGetShopID = nullptr;
  }
}

void TFrmBaseBillFramework::CreateAreas() {
  grpBillHeader = NewControl<TGroupBox>(this, "grpBillHeader", this);
  grpBillHeader->Align = TAlign::alTop;
  lblHeader = NewControl<TLabel>(this, "lblHeader", grpBillHeader);
  imgStatus1 = NewControl<TImage>(this, "imgStatus1", grpBillHeader);
  imgStatus2 = NewControl<TImage>(this, "imgStatus2", grpBillHeader);
  imgStatus1->SetVisible(false);
  imgStatus2->SetVisible(false);
  auto edit = [this](auto* control, const char* field, bool readOnly) {
    control->SetDataSource(dsMain);
    control->SetDataField(field);
    control->ReadOnly = readOnly;
    return control;
  };
  db_edtCode = edit(NewControl<TDBEdit>(this, "db_edtCode", grpBillHeader), "F_CODE", false);
  db_edtBillDate = edit(NewControl<TDBDateEdit>(this, "db_edtBillDate", grpBillHeader), "F_BILL_DATE", false);
  db_edtAddUser = edit(NewControl<TDBEdit>(this, "db_edtAddUser", grpBillHeader), "F_ADD_USER", true);
  db_edtAuditor = edit(NewControl<TDBEdit>(this, "db_edtAuditor", grpBillHeader), "F_AUDITOR", true);
  db_edtAuditDate = edit(NewControl<TDBDateEdit>(this, "db_edtAuditDate", grpBillHeader), "F_AUDIT_DATE", true);
  cbbReportList = NewControl<TComboBox>(this, "cbbReportList", grpBillHeader);
  cbbReportList->Style = TComboBoxStyle::csDropDownList;

  grpBillTop = NewControl<TGroupBox>(this, "grpBillTop", this);
  grpBillTop->Align = TAlign::alTop;

  CdsDetail = new TClientDataSet(this);
  CdsDetail->SetName("CdsDetail");
  CdsDetail->SetMasterSource(dsMain);
  CdsDetail->SetMasterFields("F_ID");
  CdsDetail->SetIndexFieldNames("F_MID");
  CdsDetail->PacketRecords = 0;
  CdsDetail->OnNewRecord = [this](TDataSet& dataSet) { CdsDetailNewRecord(dataSet); };
  CdsDetail->BeforePost = [this](TDataSet& dataSet) {
    TField* id = dataSet.FindField("F_ID");
    if (id && id->IsNull()) id->SetValue(Id(NextDetailID()));
  };
  CdsDetail->BeforeDelete = [this](TDataSet& dataSet) {
    const TField* modeNO = dataSet.FindField("F_MODE_NO");
    FDeletingModeNO = modeNO ? modeNO->AsString() : std::string();
  };
  CdsDetail->AfterDelete = [this](TDataSet&) { DetailAfterDelete(); };
  CdsDetail->AfterCancel = [this](TDataSet&) { DetailAfterCancel(); };
  cdsSumDetail = new TClientDataSet(this);
  cdsSumDetail->SetName("cdsSumDetail");

  dsMain->OnStateChange = [this](TDataSource& source) { dsMainStateChange(source); };
  dsDetail = new TDataSource(this);
  dsDetail->SetName("dsDetail");
  dsDetail->SetDataSet(CdsDetail);
  dsDetail->OnStateChange = [this](TDataSource& source) { dsMainStateChange(source); };
  dsSumDetail = new TDataSource(this);
  dsSumDetail->SetName("dsSumDetail");
  dsSumDetail->SetDataSet(cdsSumDetail);
  dsProductList = new TDataSource(this);
  dsProductList->SetName("dsProductList");

  cxGrid1 = NewControl<TGrid>(this, "cxGrid1", this);
  cxGrid1->Align = TAlign::alClient;
  cxGrid1->TabStop = true;
  tvResult = cxGrid1->CreateView<TGridBandedTableView>(this);
  tvResult->SetName("tvResult");
  tvResult->DataController().SetDataSource(dsDetail);
  tvResult->OptionsView.DataRowHeight = kRowHeight;
  tvResult->OptionsView.Indicator = true;
  tvResult->OptionsView.Footer = true;
  tvResult->OptionsView.GroupByBox = false;
  tvResult->OptionsData.Appending = true;
  tvResult->OptionsBehavior.FocusCellOnTab = true;
  tvResult->OptionsBehavior.GoToNextCellOnEnter = true;
  cxGrid1->OnEnter = [this](TWinControl& sender) { cxGrid1Enter(sender); };
  cxGrid1->OnExit = [this](TWinControl& sender) { cxGrid1Exit(sender); };

  grpBillBottom = NewControl<TGroupBox>(this, "grpBillBottom", this);
  grpBillBottom->Align = TAlign::alBottom;
  grpBillBottom->SetVisible(false);
}

void TFrmBaseBillFramework::CreateActions() {
  actQuery->OnExecute = [this](TAction& sender) { actQueryExecute(sender); };
  actRefresh->OnExecute = [this](TAction& sender) { actRefreshExecute(sender); };
  AddActions<TFrmBaseBillFramework>(*alMain, *this, {
      {&actBeforeSave, "actBeforeSave", "保存(&S)", "", 0, &TFrmBaseBillFramework::actBeforeSaveExecute},
      {&actQueryBillCode, "actQueryBillCode", "单据查询", "", 0, &TFrmBaseBillFramework::actQueryBillCodeExecute},
      {&actPrevBill, "actPrevBill", "上一张", "", 0, &TFrmBaseBillFramework::actBrowseBillExecute},
      {&actNextBill, "actNextBill", "下一张", "", 0, &TFrmBaseBillFramework::actBrowseBillExecute},
      {&actConfigGrid, "actConfigGrid", "配置列", "", 0, &TFrmBaseBillFramework::actConfigGridExecute},
      {&actDesign, "actDesign", "报表设计", "Ctrl+Alt+L", 0, nullptr},
      {&actDetailAppend, "actDetailAppend", "增行(&A)", "", 0, &TFrmBaseBillFramework::actDetailAppendExecute},
      {&actDetailCopyAdd, "actDetailCopyAdd", "复制新增", "", 0, &TFrmBaseBillFramework::actDetailCopyAddExecute},
      {&actDetailDelete, "actDetailDelete", "删行(&A)", "", 0, &TFrmBaseBillFramework::actDetailDeleteExecute},
      {&actCopyModeNO, "actCopyModeNO", "复制串码", "", 0, &TFrmBaseBillFramework::actCopyModeNOExecute},
      {&actBatchPasteModeNO, "actBatchPasteModeNO", "批量粘贴串号", "", 0, nullptr},
      {&actBatchPasteModeNOByOrder, "actBatchPasteModeNOByOrder", "批量粘贴串号(按订单)", "", 0, nullptr},
      {&actQueryModeNO, "actQueryModeNO", "全文匹配", "", 0, nullptr},
      {&actDetailDataImport, "actDetailDataImport", "数据导入", "", 0, &TFrmBaseBillFramework::actDetailDataImportExecute},
      {&actTrackModeNO, "actTrackModeNO", "串码追踪", "", 0, &TFrmBaseBillFramework::actTrackModeNOExecute},
      {&actBatchUpdateRemark, "actBatchUpdateRemark", "批量更新备注", "", 0, &TFrmBaseBillFramework::actBatchUpdateRemarkExecute},
  });
  actPrevBill->Enabled = false;
  actNextBill->Enabled = false;

  dxBarCommand = barMain;
  for (TBarItem* item : barMain->Items()) delete item;
  for (TAction* action : {actNew, actEdit, actBeforeSave, actUndo, actDelete, actAudit, actUnAudit, actPrint, actRefresh,
                          actQueryBillCode, actPrevBill, actNextBill, actConfigGrid, actClose})
    barMain->AddItem("", action);
}

void TFrmBaseBillFramework::CreateDetailMenu() {
  ppmDetail = new TPopupMenu(this);
  ppmDetail->SetName("ppmDetail");
  TMenuItem& items = ppmDetail->Items();
  auto add = [&](TAction* action) { items.AddItem("", nullptr, this)->SetAction(action); };
  add(actDetailAppend);
  add(actDetailCopyAdd);
  add(actDetailDelete);
  items.AddSeparator(this);
  add(actQueryBillCode);
  items.AddSeparator(this);
  add(actBatchPasteModeNO);
  add(actBatchPasteModeNOByOrder);
  items.AddSeparator(this);
  add(actCopyModeNO);
  add(actTrackModeNO);
  add(actQueryModeNO);
  add(actExport);
  items.AddSeparator(this);
  items.AddItem("定位到第一行", [this](TMenuItem&) { if (CdsDetail->Active()) CdsDetail->First(); }, this);
  items.AddItem("定位到最后一行", [this](TMenuItem&) { if (CdsDetail->Active()) CdsDetail->Last(); }, this);
  add(actBatchUpdateRemark);
  // Tracking needs a handset row that holds its serial number.
  ppmDetail->OnPopup = [this](TPopupMenu&) {
    const TField* type = CdsDetail->Active() ? CdsDetail->FindField("F_PRODUCT_TYPE_ID") : nullptr;
    const TField* modeNO = CdsDetail->Active() ? CdsDetail->FindField("F_MODE_NO") : nullptr;
    actTrackModeNO->Enabled = HasRow(*CdsDetail) && type && modeNO && !type->IsNull() && type->AsInteger() == 1 &&
                              !Trim(modeNO->AsString()).empty();
  };
  cxGrid1->PopupMenu = ppmDetail;
}

void TFrmBaseBillFramework::FormCreate() {
  TFrmBaseEditor::FormCreate();
  FProgressForm = SysService::Get<IProgressForm>();
  FCommonUtils = SysService::Get<ICommonUtils>();
}

void TFrmBaseBillFramework::DoShow() {
  TFrmBaseEditor::DoShow();
  if (FEditorFrame) FEditorFrame->DoShow();
}

// --- configuration ---------------------------------------------------------------------------------------------

void TFrmBaseBillFramework::actInitExecute(TAction& sender) {
  TFrmBaseEditor::actInitExecute(sender);
  FBillType = FormParams.F_BILL_CONFIG.F_BILL_TYPE;
  tvResult->OptionsView.DataRowHeight = kRowHeight;
  UIDetailConfig(FormParams.F_DETAIL_CONFIG);
  if (SysParamBoolean(kSpLimitBillDate)) {
    std::shared_ptr<IGroupRights> rights = Rights();
    db_edtBillDate->SetEnabled(rights && rights->HasItemRight("特殊权限", "修改开单日期"));
  }
}

void TFrmBaseBillFramework::PlaceFrame(TFrameBase* frame, TGroupBox* box, TClientDataSet* dataSet,
                                       const std::string& updateTable, const TUIConfig& config) {
  frame->SetParent(box);
  frame->Align = TAlign::alClient;
  if (config.F_HEIGHT > 0) frame->Height = config.F_HEIGHT;
  box->Height = frame->Height;
  frame->SetMainDataSet(dataSet);
  if (!updateTable.empty()) frame->SetUpdatingTable(updateTable);
  frame->DoInit();
}

void TFrmBaseBillFramework::UIEditorConfig(const TUIConfig& config) {
  if (config.F_CLASS_NAME.empty()) return;
  FEditorFrame = CreateRegionFrame(config);
  PlaceFrame(FEditorFrame, grpBillTop, cdsMain, FormParams.F_UpdateTable, config);
}

void TFrmBaseBillFramework::UIBottomConfig(const TUIConfig& config) {
  if (config.F_CLASS_NAME.empty()) return;
  FBottomFrame = CreateRegionFrame(config);
  PlaceFrame(FBottomFrame, grpBillBottom, CdsDetail, "", config);
  grpBillBottom->SetVisible(true);
}

void TFrmBaseBillFramework::UIDetailConfig(const TUIDetailConfig& config) {
  // A screen without a detail page keeps its detail closed.
  if (config.F_VIEW_TABLE.empty()) return;
  RegisteDataSet(config.F_VIEW_TABLE, config.F_UPDATE_TABLE, CdsDetail,
                 config.F_FOREIGN_KEY.empty() ? std::string("F_MID") : config.F_FOREIGN_KEY);
}

// --- the deferred start ----------------------------------------------------------------------------------------

void TFrmBaseBillFramework::StartQueryTimer() {
  StartQuery->SetEnabled(false);
  if (ID().empty()) SetID("0");
  actQuery->Execute();
  const bool first = FFirstStart;
  if (first) {
    FFirstStart = false;
    lblHeader->SetCaption(Caption());
    SetUpColumns();
  }
  if (cdsMain->Active() && cdsMain->IsEmpty()) actNew->Execute();
  if (!FPopupsReady) {
    FPopupsReady = true;
    SetUpColumnPopups();
  }
  actTrackModeNO->Visible = tvResult->FindColumnByFieldName("F_MODE_NO") != nullptr;
  LoadPrintTemplates();
  if (first && OnAfterInit) OnAfterInit();
}

void TFrmBaseBillFramework::SetUpColumns() {
  // Row numbers in the indicator; nothing else of the grid's drawing is the screen's.
  tvResult->OptionsView.Indicator = true;
  std::shared_ptr<IConfigGrid> layouts = SysService::Get<IConfigGrid>();
  const std::string layout = FormParams.F_DETAIL_CONFIG.F_GRID_NAME;
  tvResult->BeginUpdate();
  if (layouts) layouts->LoadGridConfig(*tvResult, layout);
  // Columns of fields the user may not see go.
  std::shared_ptr<IGroupRights> rights = Rights();
  for (int i = tvResult->ColumnCount() - 1; i >= 0; --i) {
    TGridColumn* column = tvResult->Columns(i);
    if (!column->FieldName().empty() && (!rights || !rights->HasItemRight(Caption(), column->FieldName()))) delete column;
  }
  // A screen with no columns of its own shows every detail field, arranged as the stored layout says.
  if (tvResult->ColumnCount() == 0 && CdsDetail->Active()) {
    tvResult->ClearBands();
    const int band = tvResult->AddBand(kDefaultBand);
    for (int i = 0; i < CdsDetail->FieldCount(); ++i) {
      const TField& field = CdsDetail->Fields(i);
      TGridColumn* column = tvResult->CreateColumn(field.FieldName(), field.DisplayName());
      column->Width = kColumnWidth;
      column->BandIndex = band;
    }
    if (layouts) layouts->LoadGridConfig(*tvResult, layout);
  }
  tvResult->EndUpdate();
}

void TFrmBaseBillFramework::SetUpColumnPopups() {
  FCol_Product = tvResult->FindColumnByFieldName("F_PRODUCT");
  FCol_ProductColor = tvResult->FindColumnByFieldName("F_COLOR");
  FCol_ProductConfig = tvResult->FindColumnByFieldName("F_CONFIG");
  if (SysService::Get<IBillColumnLookups>()) {
    // The host's own lists take the place of the package's.
    auto popup = [this](TGridColumn* column, void (TFrmBaseBillFramework::*init)(TGridColumn&)) {
      if (!column) return;
      column->Properties.Kind = TGridEditorKind::Popup;
      column->Properties.OnInitPopup = [this, init](TGridColumn& sender) { (this->*init)(sender); };
    };
    popup(FCol_Product, &TFrmBaseBillFramework::DoProductInitPopup);
    popup(FCol_ProductColor, &TFrmBaseBillFramework::DoProductColorInitPopup);
    popup(FCol_ProductConfig, &TFrmBaseBillFramework::DoProductConfigInitPopup);
  } else {
    // The package's search lists: typing in the cell searches, choosing fills the row.
    if (FCol_Product) AssignColumnLookup(*FCol_Product, "GetProductList");
    if (FCol_ProductColor) AssignColumnLookup(*FCol_ProductColor, "GetLookupProductColor");
    if (FCol_ProductConfig) AssignColumnLookup(*FCol_ProductConfig, "GetLookupProductConfig");
  }
  if (ModeNOFromStock()) AssignModeNOPopup();
}

void TFrmBaseBillFramework::AssignModeNOPopup() {
  TGridColumn* column = tvResult->FindColumnByFieldName("F_MODE_NO");
  if (!column) return;
  FModeNOPopup = TPopupModbileModeNOProperties::Assign(*column, CacheHelper());
  FModeNOPopup->OnCheckModeNO = [this](const std::string& modeNO) { CheckModeNO(modeNO, false); };
  FModeNOPopup->OnGetShopID = [this] { return BillShopID(); };
}

void TFrmBaseBillFramework::LoadPrintTemplates() {
  cbbReportList->ClearItems();
  for (const std::string& file : PrintTemplateFiles(Caption())) cbbReportList->AddItem(file);
  if (cbbReportList->ItemCount() > 0) cbbReportList->SetItemIndex(0);
}

void TFrmBaseBillFramework::DoProductInitPopup(TGridColumn& sender) {
  std::shared_ptr<IBillColumnLookups> lookups = SysService::Get<IBillColumnLookups>();
  sender.Properties.PopupControl = lookups ? lookups->InitPopup(*this, sender, IBillColumnLookups::TKind::Product) : nullptr;
}

void TFrmBaseBillFramework::DoProductConfigInitPopup(TGridColumn& sender) {
  std::shared_ptr<IBillColumnLookups> lookups = SysService::Get<IBillColumnLookups>();
  sender.Properties.PopupControl = lookups ? lookups->InitPopup(*this, sender, IBillColumnLookups::TKind::Config) : nullptr;
}

void TFrmBaseBillFramework::DoProductColorInitPopup(TGridColumn& sender) {
  std::shared_ptr<IBillColumnLookups> lookups = SysService::Get<IBillColumnLookups>();
  sender.Properties.PopupControl = lookups ? lookups->InitPopup(*this, sender, IBillColumnLookups::TKind::Color) : nullptr;
}

// --- loading ---------------------------------------------------------------------------------------------------

void TFrmBaseBillFramework::actQueryExecute(TAction&) { QueryBill(); }

bool TFrmBaseBillFramework::QueryBill() {
  if (!DBAccess) throw Exception("没有数据库服务");
  // The identifier goes into the statement as a number: text that is none reads no bill.
  const int64_t id = TryStrToInt64(Trim(ID())).value_or(0);
  if (cdsMain->Active()) {
    const TField* current = cdsMain->FindField("F_ID");
    if (current && current->AsLargeInt() == id) return false;
  }
  std::vector<TDataSet*> dataSets;
  std::vector<std::string> statements;
  for (const TDataSetItem& item : DataSetMgr()) {
    dataSets.push_back(item.DataSet);
    if (item.DataSet == cdsMain)
      statements.push_back("SELECT * FROM " + item.ViewTable + " WITH(nolock) WHERE F_ID = " + IntToStr(id) +
                           " AND F_KIND = " + IntToStr(FormParams.F_BILL_CONFIG.F_BILL_TYPE));
    else
      statements.push_back("SELECT * FROM " + item.ViewTable + " WITH(nolock) WHERE F_MID = " + IntToStr(id));
  }
  FProducts.clear();
  DBAccess->OpenDataSets(dataSets, statements);
  AttachFieldHandlers();
  FModeNOList.Rebuild(*CdsDetail);
  UpdateOperaView(actUndo);
  return true;
}

void TFrmBaseBillFramework::AttachFieldHandlers() {
  using TextHandler = void (TFrmBaseBillFramework::*)(TField&, const std::string&);
  using ValidateHandler = void (TFrmBaseBillFramework::*)(TField&);
  auto text = [this](TDataSet& dataSet, const char* name, TextHandler handler) {
    if (TField* field = dataSet.Active() ? dataSet.FindField(name) : nullptr)
      field->OnSetText = [this, handler](TField& sender, const std::string& value) { (this->*handler)(sender, value); };
  };
  auto validate = [this](TDataSet& dataSet, const char* name, ValidateHandler handler) {
    if (TField* field = dataSet.Active() ? dataSet.FindField(name) : nullptr)
      field->OnValidate = [this, handler](TField& sender) { (this->*handler)(sender); };
  };
  text(*CdsDetail, "F_QTY", &TFrmBaseBillFramework::F_QTYSetText);
  text(*CdsDetail, "F_PRICE", &TFrmBaseBillFramework::F_PriceSetText);
  text(*CdsDetail, "F_PRODUCT_ID", &TFrmBaseBillFramework::F_ProductIDSetText);
  text(*CdsDetail, "F_MODE_NO", &TFrmBaseBillFramework::F_ModeNOSetText);
  text(*cdsMain, "F_SHOP_ID", &TFrmBaseBillFramework::F_ShopSetText);
  text(*cdsMain, "F_REMARK", &TFrmBaseBillFramework::F_RemarkSetText);
  validate(*CdsDetail, "F_PRODUCT_ID", &TFrmBaseBillFramework::F_ProductValidate);
  validate(*CdsDetail, "F_MODE_NO", &TFrmBaseBillFramework::F_ModeNOValidate);
  validate(*cdsMain, "F_SHOP_ID", &TFrmBaseBillFramework::F_ShopValidate);
}

// --- the bill's state ------------------------------------------------------------------------------------------

bool TFrmBaseBillFramework::HeaderIsNew() const {
  if (!cdsMain->Active()) return false;
  if (cdsMain->State() == dsInsert) return true;
  return !cdsMain->IsEmpty() && cdsMain->UpdateStatus() == usInserted;
}

int TFrmBaseBillFramework::BillStatus() const {
  if (!HasRow(*cdsMain)) return 0;
  const TField* status = cdsMain->FindField("F_STATUS");
  return status ? status->AsInteger() : 0;
}

std::string TFrmBaseBillFramework::BillCode() const {
  const TField* code = HasRow(*cdsMain) ? cdsMain->FindField("F_CODE") : nullptr;
  return code ? code->AsString() : std::string();
}

int64_t TFrmBaseBillFramework::BillShopID() const {
  const TField* shop = HasRow(*cdsMain) ? cdsMain->FindField("F_SHOP_ID") : nullptr;
  return shop && !shop->IsNull() ? shop->AsLargeInt() : 0;
}

int TFrmBaseBillFramework::AuditType() const {
  const TField* kind = HasRow(*cdsMain) ? cdsMain->FindField("F_KIND") : nullptr;
  return kind ? kind->AsInteger() : FormParams.F_BILL_CONFIG.F_BILL_TYPE;
}

int TFrmBaseBillFramework::NeedDays(const char* key) const {
  // A limit the host never set limits nothing.
  if (!SysParams || !SysParams->Exists(key)) return -1;
  return static_cast<int>(SysParamLargeInt(key));
}

void TFrmBaseBillFramework::SetReadOnlyView(bool value) {
  FReadOnlyView = value;
  UpdateOperaView(actUndo);
}

void TFrmBaseBillFramework::UpdateOperaView(TAction* sender) {
  if (!cdsMain->Active()) return;
  const int status = BillStatus();
  const bool audited = status == 2;
  imgStatus1->SetVisible(status == 1);
  imgStatus2->SetVisible(audited);
  const bool open = !audited && !FReadOnlyView;
  const bool editing = open && (sender == actEdit || sender == actNew || sender == actDelete || sender == actDetailDelete);
  actSave->Enabled = editing;
  actUndo->Enabled = editing;
  actBeforeSave->Enabled = editing;
  actRefresh->Enabled = !editing;
  actNew->Enabled = !editing && !FReadOnlyView;
  actEdit->Enabled = !editing && !FReadOnlyView;
  actDelete->Enabled = actNew->Enabled;
  actAudit->Enabled = status == 1 && actNew->Enabled;
  actUnAudit->Enabled = audited && actNew->Enabled;
  actPrint->Enabled = cdsMain->State() == dsBrowse;
  grpBillHeader->SetEnabled(open);
  grpBillTop->SetEnabled(open);
  grpBillBottom->SetVisible(open && FBottomFrame);
  tvResult->OptionsData.Editing = open;
  tvResult->OptionsData.Appending = open;
  dsDetail->AutoEdit = open;
  for (TAction* action : {actDetailAppend, actDetailCopyAdd, actDetailDelete, actBatchPasteModeNO,
                          actBatchPasteModeNOByOrder, actBatchUpdateRemark})
    action->Enabled = open;
}

void TFrmBaseBillFramework::dsMainStateChange(TDataSource& sender) {
  const TDataSet* dataSet = sender.DataSet();
  if (dataSet && Editing(*dataSet)) UpdateOperaView(actEdit);
}

bool TFrmBaseBillFramework::ConfirmDiscard(const std::string& caption, const std::string& text) {
  return !HasPendingChanges() || ConfirmMessage(MsgBox.get(), caption, text);
}

void TFrmBaseBillFramework::CancelPendingChanges() {
  TFlagScope batch(FBatchEnter);
  // Every dataset's log goes, whatever rows it shows: a detail whose new header was dropped shows no
  // rows but still holds their inserts.
  const std::vector<TDataSetItem>& items = DataSetMgr();
  for (auto item = items.rbegin(); item != items.rend(); ++item) {
    TClientDataSet& dataSet = *item->DataSet;
    if (!dataSet.Active()) continue;
    if (Editing(dataSet)) dataSet.Cancel();
    if (dataSet.ChangeCount() > 0) dataSet.CancelUpdates();
  }
  FModeNOList.Rebuild(*CdsDetail);
}

void TFrmBaseBillFramework::ClearDetail() {
  TFlagScope batch(FBatchEnter);
  ClearDataSet(*CdsDetail);
  FModeNOList.Clear();
}

void TFrmBaseBillFramework::ShowProgress(const std::string& text) {
  if (FProgressForm) FProgressForm->ShowProgress(text);
}

void TFrmBaseBillFramework::HideProgress() {
  if (FProgressForm) FProgressForm->HideProgress();
}

// --- new bills and rows ----------------------------------------------------------------------------------------

void TFrmBaseBillFramework::actNewExecute(TAction&) {
  try {
    CheckRight("新增");
  } catch (const EAbort&) {
    actSave->Enabled = false;
    throw;
  }
  if (!cdsMain->Active()) return;
  if (!ConfirmDiscard("提示", kEditingDiscard)) Abort();
  CancelPendingChanges();
  FProducts.clear();
  cdsMain->Append();
  actDetailAppend->Execute();
  FModeNOList.Clear();
  UpdateOperaView(actNew);
}

void TFrmBaseBillFramework::cdsMainNewRecord(TDataSet& dataSet) {
  if (!DBAccess) throw Exception("没有数据库服务");
  // The defaults are no choice of the user's: the shop's handler does not move the workstation for them.
  TFlagScope filling(FFillingDefaults);
  const int64_t shop = UserInfo ? TryStrToInt64(Trim(UserInfo->DefaultShopID())).value_or(0) : 0;
  SetIfPresent(dataSet, "F_STATUS", Variant(1));
  SetIfPresent(dataSet, "F_CODE", Variant(kNewBillCode));
  SetIfPresent(dataSet, "F_ID", Variant(DBAccess->GetNewID(FormParams.F_UpdateTable)));
  if (shop) SetIfPresent(dataSet, "F_SHOP_ID", Id(shop));
  SetIfPresent(dataSet, "F_BILL_DATE", Variant(Date()));
  if (TField* account = shop ? dataSet.FindField("F_ACCOUNT_ID") : nullptr)
    account->SetValue(DBAccess->GetFieldValue("TB_SHOP", "F_ACCOUNT_ID", "F_ID = " + IntToStr(shop)));
  if (UserInfo) {
    SetIfPresent(dataSet, "F_EMPLOYEE_ID", Id(UserInfo->EmployeeID()));
    SetIfPresent(dataSet, "F_EMPLOYEE", Variant(UserInfo->Employee()));
  }
  SetIfPresent(dataSet, "F_KIND", Variant(FBillType));
  SetIfPresent(dataSet, "F_ADD_USER", Variant(UserInfo ? UserInfo->Name() : std::string()));
  if (const int64_t user = UserInfo ? TryStrToInt64(Trim(UserInfo->ID())).value_or(0) : 0)
    SetIfPresent(dataSet, "F_ADD_USER_ID", Id(user));
  SetIfPresent(dataSet, "F_ADD_DATE", Variant(Now()));
}

void TFrmBaseBillFramework::CdsDetailNewRecord(TDataSet& dataSet) {
  SetIfPresent(dataSet, "F_QTY", Variant(1));
  SetIfPresent(dataSet, "F_PRICE", Variant(Currency()));
  SetIfPresent(dataSet, "F_MONEY", Variant(Currency()));
  SetIfPresent(dataSet, "F_KIND", Variant(FBillType));
  // A new row lies at the counter of the bill's own shop.
  if (TField* location = dataSet.FindField("F_LOCATION_ID"); location && location->IsNull()) {
    if (const int64_t shop = BillShopID())
      if (const int64_t counter = DefaultLocationOf(shop)) location->SetValue(Id(counter));
  }
}

int64_t TFrmBaseBillFramework::NextDetailID() {
  if (FDetailIDs.empty()) {
    if (!DBAccess) throw Exception("没有数据库服务");
    std::unique_ptr<TClientDataSet> ids = DBAccess->GetNewIDList(FormParams.F_DETAIL_CONFIG.F_UPDATE_TABLE, kDetailIDBlock);
    std::vector<int64_t> block;
    for (ids->First(); !ids->Eof(); ids->Next()) block.push_back(ids->Fields(0).AsLargeInt());
    FDetailIDs.assign(block.rbegin(), block.rend());  // the next one last
    if (FDetailIDs.empty()) throw Exception("未能取得明细编号");
  }
  const int64_t id = FDetailIDs.back();
  FDetailIDs.pop_back();
  return id;
}

int64_t TFrmBaseBillFramework::DefaultLocationOf(int64_t shopID) {
  if (shopID == 0) return 0;
  if (auto known = FDefaultLocations.find(shopID); known != FDefaultLocations.end()) return known->second;
  if (!DBAccess) throw Exception("没有数据库服务");
  const Variant counter =
      DBAccess->GetFieldValue("TB_STOCK_LOCATION", "F_ID", "F_DEFAULT = 1 AND F_SHOP_ID=" + IntToStr(shopID));
  const int64_t location = counter.IsNullOrEmpty() ? 0 : counter.AsInt64();
  FDefaultLocations[shopID] = location;
  return location;
}

void TFrmBaseBillFramework::AppendWhenEmpty() {
  // A bill always shows a row to type into, except while rows are entered or cleared in bulk.
  if (FBatchEnter || FAppending > 0 || !CdsDetail->Active() || Editing(*CdsDetail) || !CdsDetail->IsEmpty()) return;
  actDetailAppend->Execute();
}

void TFrmBaseBillFramework::DetailAfterDelete() {
  FModeNOList.Remove(FDeletingModeNO);
  FDeletingModeNO.clear();
  AppendWhenEmpty();
}

void TFrmBaseBillFramework::DetailAfterCancel() {
  // The row went back to what it held (or went, when it was new): its serial number with it.
  FModeNOList.Rebuild(*CdsDetail);
  AppendWhenEmpty();
}

// --- editing ---------------------------------------------------------------------------------------------------

void TFrmBaseBillFramework::actEditExecute(TAction& sender) {
  TFrmBaseEditor::actEditExecute(sender);
  if (!cdsMain->Active()) return;
  if (!cdsMain->IsEmpty() && cdsMain->State() == dsBrowse) cdsMain->Edit();
  UpdateOperaView(actEdit);
}

void TFrmBaseBillFramework::actDetailAppendExecute(TAction&) {
  if (!CdsDetail->Active()) return;
  TCountScope appending(FAppending);
  tvResult->DataController().Append();
}

void TFrmBaseBillFramework::actDetailCopyAddExecute(TAction& sender) {
  if (!CdsDetail->Active()) return;
  if (!HasRow(*CdsDetail)) {
    actDetailAppend->Execute();
    return;
  }
  auto copied = [](const std::string& name) {
    return !SameText(name, "F_MODE_NO") && !SameText(name, "F_ID") && !SameText(name, "F_PH");
  };
  {
    TCountScope appending(FAppending);
    if (FCommonUtils) FCommonUtils->CopyAppendRecord(*CdsDetail, copied);
    else AppendCurrentRecord(*CdsDetail, copied);
  }
  if (TField* modeNO = CdsDetail->FindField("F_MODE_NO")) modeNO->Clear();
  CdsDetail->Post();
}

void TFrmBaseBillFramework::actDetailDeleteExecute(TAction& sender) {
  if (!HasRow(*CdsDetail)) return;
  CdsDetail->Delete();
  if (!cdsMain->IsEmpty() && cdsMain->State() == dsBrowse) cdsMain->Edit();
  UpdateOperaView(&sender);
}

void TFrmBaseBillFramework::actCopyModeNOExecute(TAction&) {
  const TField* modeNO = CdsDetail->Active() ? CdsDetail->FindField("F_MODE_NO") : nullptr;
  if (!modeNO) return;
  const std::string number = HasRow(*CdsDetail) ? modeNO->AsString() : std::string();
  if (number.empty()) throw Exception("请选中需要复制的串号");
  Clipboard().SetText(number);
  ShowTipMessage(MsgBox.get(), "串码[" + number + "]已复制");
}

void TFrmBaseBillFramework::actDetailDataImportExecute(TAction&) { FBatchEnter = false; }

void TFrmBaseBillFramework::actBatchUpdateRemarkExecute(TAction&) {
  if (!CdsDetail->Active() || !CdsDetail->FindField("F_REMARK")) return;
  UpdateOperaView(actEdit);
  std::string remark;
  if (!InputQuery("修改备注", "请输入新备注", remark) || Trim(remark).empty()) return;
  IteraDataSet(*CdsDetail, [&](TDataSet& row) {
    row.Edit();
    row.FieldByName("F_REMARK").SetAsString(remark);
    row.Post();
  });
}

void TFrmBaseBillFramework::actTrackModeNOExecute(TAction&) {
  const TField* modeNO = HasRow(*CdsDetail) ? CdsDetail->FindField("F_MODE_NO") : nullptr;
  const std::string number = modeNO ? Trim(modeNO->AsString()) : std::string();
  if (number.empty()) return;
  std::shared_ptr<IFormFactory> factory = SysService::Get<IFormFactory>();
  TFrmBase* screen = factory ? factory->OpenWindow(nullptr, kTrackScreen) : nullptr;
  if (!screen) return;
  screen->DoOnShow();
  if (auto* filtered = dynamic_cast<IBaseEditor*>(screen)) filtered->SetFilter("WHERE F_MODE_NO = " + QuotedStr(number));
  screen->ShowForm();
  if (TActionList* actions = screen->GetActionList())
    if (TAction* query = actions->FindAction("actQuery")) query->Execute();
}

void TFrmBaseBillFramework::actConfigGridExecute(TAction&) {
  if (std::shared_ptr<IConfigGrid> layouts = SysService::Get<IConfigGrid>())
    layouts->ShowGridConfig(*tvResult, FormParams.F_DETAIL_CONFIG.F_GRID_NAME);
}

// --- field handlers --------------------------------------------------------------------------------------------

void TFrmBaseBillFramework::F_QTYSetText(TField& sender, const std::string& text) {
  TDataSet& row = sender.DataSet();
  const std::string typed = Trim(text);
  int64_t qty = 1;
  if (const std::optional<int64_t> whole = TryStrToInt64(typed)) qty = *whole;
  else if (const std::optional<double> number = TryStrToFloat(typed)) qty = static_cast<int64_t>(*number);
  const TField* type = row.FindField("F_PRODUCT_TYPE_ID");
  if (type && !type->IsNull() && type->AsInteger() == 1) qty = 1;  // a handset is one unit
  sender.SetAsLargeInt(qty);
  if (TField* money = row.FindField("F_MONEY")) {
    const TField* price = row.FindField("F_PRICE");
    money->SetAsCurrency((price ? price->AsCurrency() : Currency()) * qty);
  }
}

void TFrmBaseBillFramework::F_PriceSetText(TField& sender, const std::string& text) {
  TDataSet& row = sender.DataSet();
  const Currency price = Currency::TryParse(Trim(text)).value_or(Currency());
  if (price > MaxPrice()) throw Exception("单价输入有误");
  sender.SetAsCurrency(price);
  if (TField* money = row.FindField("F_MONEY")) {
    const TField* qty = row.FindField("F_QTY");
    money->SetAsCurrency(price * (qty ? qty->AsLargeInt() : int64_t{0}));
  }
}

void TFrmBaseBillFramework::F_ProductIDSetText(TField& sender, const std::string& text) {
  const std::string typed = Trim(text);
  if (typed.empty()) {
    sender.Clear();
    return;
  }
  // Only a number reaches the statement.
  const std::optional<int64_t> id = TryStrToInt64(typed);
  if (!id) throw Exception("商品编号[" + typed + "]无效");
  auto known = FProducts.find(*id);
  if (known == FProducts.end()) {
    if (!DBAccess) throw Exception("没有数据库服务");
    std::unique_ptr<TClientDataSet> product = DBAccess->OpenSQL(kProductSQL + IntToStr(*id));
    if (product->IsEmpty()) throw Exception("商品[" + typed + "]不存在");
    known = FProducts
                .emplace(*id, TProductAttributes{product->FieldByName("F_UNIT").Value(), product->FieldByName("F_CONFIG_ID").Value(),
                                                 product->FieldByName("F_PRODUCT_TYPE_ID").Value()})
                .first;
  }
  TDataSet& row = sender.DataSet();
  sender.SetAsLargeInt(*id);
  SetIfPresent(row, "F_CONFIG_ID", known->second.ConfigID);
  SetIfPresent(row, "F_UNIT", known->second.Unit);
  SetIfPresent(row, "F_PRODUCT_TYPE_ID", known->second.ProductTypeID);
}

void TFrmBaseBillFramework::F_ModeNOSetText(TField& sender, const std::string& text) {
  const std::string number = UpperCase(Trim(text));
  const std::string previous = sender.AsString();
  if (number == previous) return;
  // Refused numbers leave the row and the list as they were.
  FModeNOList.Check(number, false);
  FModeNOList.Remove(previous);
  FModeNOList.Add(number);
  try {
    if (number.empty()) sender.Clear();
    else sender.SetAsString(number);
  } catch (...) {
    FModeNOList.Remove(number);
    FModeNOList.Add(previous);
    throw;
  }
}

void TFrmBaseBillFramework::F_ShopSetText(TField& sender, const std::string& text) {
  const std::string typed = Trim(text);
  const std::optional<int64_t> shop = TryStrToInt64(typed);
  if (!shop) throw Exception("店铺[" + typed + "]无效");
  if (!sender.IsNull() && sender.AsLargeInt() == *shop) return;
  TField* location = CdsDetail->Active() ? CdsDetail->FindField("F_LOCATION_ID") : nullptr;
  if (!location) {
    sender.SetAsLargeInt(*shop);
    return;
  }
  const bool hasRows = CdsDetail->RecordCount() > 0 || CdsDetail->Modified();
  // Asked first: "no" changes nothing at all.
  if (hasRows && !ConfirmMessage(MsgBox.get(), Caption(), "更改店铺将清空明细,确定更改吗?")) return;
  // A shop the bill cannot take is refused before any row goes.
  const int64_t counter = DefaultLocationOf(*shop);
  if (*shop != 0 && counter == 0) throw Exception("店铺没有设置主柜台,请在柜台设置中设置默认柜台");
  if (hasRows) {
    ClearDetail();
    sender.SetAsLargeInt(*shop);
    actDetailAppend->Execute();
    return;
  }
  sender.SetAsLargeInt(*shop);
  if (CdsDetail->State() == dsInsert) {
    if (counter) location->SetAsLargeInt(counter);
    else location->Clear();
  }
}

void TFrmBaseBillFramework::F_RemarkSetText(TField& sender, const std::string& text) {
  sender.SetAsString(text);
  if (!SysParamBoolean(kSpRequireRemark) || !CdsDetail->Active() || !CdsDetail->FindField("F_REMARK")) return;
  if (!HasRow(*CdsDetail) || !ConfirmMessage(MsgBox.get(), "提示", "是否同步明细备注内容?")) return;
  IteraDataSet(*CdsDetail, [&](TDataSet& row) {
    row.Edit();
    row.FieldByName("F_REMARK").SetAsString(text);
    row.Post();
  });
}

void TFrmBaseBillFramework::F_ShopValidate(TField& sender) {
  if (FFillingDefaults || sender.IsNull() || !UserInfo) return;
  const std::string shop = IntToStr(sender.AsLargeInt());
  if (shop == "0" || shop == UserInfo->CurrentShopID()) return;
  if (!DBAccess) throw Exception("没有数据库服务");
  // Checked before anything moves: a shop without its counter changes nothing.
  const Variant counter = DBAccess->GetFieldValue("TB_STOCK_LOCATION", "F_ID", "F_DEFAULT = 1 AND F_SHOP_ID=" + shop);
  if (counter.IsNullOrEmpty()) throw Exception("店铺没有设置主柜台,请在柜台设置中设置默认柜台");
  UserInfo->SetCurrentShopID(shop);
  SysConfig.LocationID = counter.ToString();
  FDefaultLocations[sender.AsLargeInt()] = counter.AsInt64();
}

// --- serial numbers --------------------------------------------------------------------------------------------

void TFrmBaseBillFramework::CheckModeNO(const std::string& modeNO, bool add) { FModeNOList.Check(modeNO, add); }

void TFrmBaseBillFramework::CheckModeNOEx(const std::string& modeNO, bool add) { FModeNOList.Check(modeNO, add); }

int TFrmBaseBillFramework::PasteModeNO(TModeNOPasteHandler handler) {
  int result = mrCancel;
  {
    TFlagScope batch(FBatchEnter);
    CdsDetail->DisableControls();
    try {
      result = ShowBatchPasteModeNO(this, std::move(handler));
    } catch (...) {
      CdsDetail->EnableControls();
      throw;
    }
    CdsDetail->EnableControls();
  }
  Clipboard().Clear();
  // A row being typed stays where it is.
  if (CdsDetail->Active() && CdsDetail->State() == dsBrowse) CdsDetail->Last();
  return result;
}

// --- saving ----------------------------------------------------------------------------------------------------

void TFrmBaseBillFramework::CheckDetailRows() {
  const TField* product = CdsDetail->FindField("F_PRODUCT_ID");
  if (!product) return;
  const TField* config = CdsDetail->FindField("F_CONFIG_ID");
  const TField* price = CdsDetail->FindField("F_PRICE");
  bool asked = false;
  const int rows = CdsDetail->RecordCount();
  for (int row = 0; row < rows; ++row) {
    const std::string number = IntToStr(row + 1);
    const Variant productID = CdsDetail->RowValue(row, product->Index());
    if (productID.IsNullOrEmpty() || productID.AsInt64() == 0) {
      CdsDetail->SetRecNo(row + 1);  // the user finds the row where it is
      ShowInfoMessage(MsgBox.get(), "第" + number + "商品不能为空");
      Abort();
    }
    if (!config || !price || asked) continue;
    const Variant value = CdsDetail->RowValue(row, price->Index());
    if (!value.IsNullOrEmpty() && value.AsCurrency() != Currency()) continue;
    asked = true;
    if (!ConfirmMessage(MsgBox.get(), "提示", "检测到第" + number + "行,单价为 0 确定继续吗?")) Abort();
  }
}

void TFrmBaseBillFramework::CheckBeforeWrite() {
  if (CdsDetail->Active() && CdsDetail->FindField("F_MODE_NO")) {
    CdsDetail->CheckBrowseMode();
    const int rows = CdsDetail->RecordCount();
    if (const TField* unit = CdsDetail->FindField("F_UNIT")) {
      for (int row = 0; row < rows; ++row) {
        if (!Trim(CdsDetail->RowValue(row, unit->Index()).ToString()).empty()) continue;
        ShowInfoMessage(MsgBox.get(), "检查到第[" + IntToStr(row + 1) + "]行单位为空");
        Abort();
      }
    }
    if (CdsDetail->FindField("F_PRODUCT_TYPE_ID")) {
      TkbmMemSQL check;
      check.TablesAdd(*CdsDetail, "CheckDetail");
      check.ExecSQL(kDuplicateModeNOSQL);
      std::vector<std::string> duplicates;
      for (check.First(); !check.Eof(); check.Next()) {
        // Rows that hold no number yet are no duplicates of each other.
        const std::string number = check.Fields(0).AsString();
        if (!number.empty()) duplicates.push_back(number);
      }
      if (!duplicates.empty()) {
        const TField& modeNO = CdsDetail->FieldByName("F_MODE_NO");
        const TField& type = CdsDetail->FieldByName("F_PRODUCT_TYPE_ID");
        std::map<std::string, int> firstRow;
        for (int row = rows - 1; row >= 0; --row)
          if (IsSerialType(CdsDetail->RowValue(row, type.Index())))
            firstRow[CdsDetail->RowValue(row, modeNO.Index()).ToString()] = row + 1;
        std::string text = std::string("检测串码重复 ") + kCrLf;
        for (const std::string& number : duplicates)
          text += "串码 " + number + " 重复" + " 第[" + IntToStr(firstRow[number]) + "]行" + kCrLf;
        ShowErrorMessage(MsgBox.get(), text);
        Abort();
      }
    }
  }
  // Another screen may have audited or removed the bill since it was read.
  if (!HeaderIsNew()) {
    const int stored = StoredStatus();
    if (stored == 2) {
      ShowErrorMessage(MsgBox.get(), "单据[" + BillCode() + "]保存失败, 已审单据不能修改");
      Abort();
    }
    if (stored < 0) {
      ShowErrorMessage(MsgBox.get(), SaveFailureText("单据[" + BillCode() + "]已不存在(可能已被他人删除)"));
      Abort();
    }
  }
}

int TFrmBaseBillFramework::StoredStatus() {
  if (!DBAccess) throw Exception("没有数据库服务");
  const TField* id = cdsMain->FindField("F_ID");
  if (!id || id->IsNull()) return -1;
  const Variant status =
      DBAccess->GetFieldValue(FormParams.F_UpdateTable, "F_STATUS", "F_ID = " + IntToStr(id->AsLargeInt()));
  return status.IsNullOrEmpty() ? -1 : static_cast<int>(status.AsInt64());
}

void TFrmBaseBillFramework::actBeforeSaveExecute(TAction& sender) {
  if (!cdsMain->Active()) Abort();
  if (CdsDetail->Active()) CdsDetail->CheckBrowseMode();
  if (!CdsDetail->Active() || CdsDetail->RecordCount() == 0) {
    ShowErrorMessage(MsgBox.get(), Caption() + "明细记录不能为空");
    actDetailAppend->Execute();
    Abort();
  }
  const int billDays = NeedDays(kSpBillDays);
  const TField* billDate = cdsMain->FindField("F_BILL_DATE");
  if (billDays >= 0 && billDate && DaysBetween(Date(), DateOf(billDate->AsDateTime())) > billDays) {
    ShowWarningMessage(MsgBox.get(), "开单日期不能小于系统设置天数 " + IntToStr(billDays));
    Abort();
  }
  CheckDetailRows();
  if (BillStatus() == 2) {
    ShowErrorMessage(MsgBox.get(), "单据[" + BillCode() + "]保存失败, 已审单据不能修改");
    try {
      actUndo->Execute();
    } catch (const EAbort&) {
    }
    Abort();
  }
  // The header frame's check and the remark come before the real code, so that their refusals use no
  // number of the code sequence.
  if (FEditorFrame) FEditorFrame->DoCheck();
  if (SysParamBoolean(kSpRequireRemark)) {
    cdsMain->DataEvent(TDataEvent::UpdateRecord);  // what is typed in the header reaches its fields
    const TField* remark = cdsMain->FindField("F_REMARK");
    if (remark && Trim(remark->AsString()).empty()) {
      ShowInfoMessage(MsgBox.get(), "请填写单据备注");
      Abort();
    }
  }
  // The real code; a save that fails gives it back.
  const std::string oldCode = BillCode();
  TField* code = cdsMain->FindField("F_CODE");
  bool newCode = false;
  auto restoreCode = [&] {
    if (!newCode || !cdsMain->Active() || !cdsMain->FindField("F_CODE")) return;
    const bool browse = cdsMain->State() == dsBrowse;
    if (browse) cdsMain->Edit();
    cdsMain->FieldByName("F_CODE").SetAsString(oldCode);
    if (browse) cdsMain->Post();
  };
  bool saved = false;
  try {
    if (code && (Trim(oldCode).empty() || oldCode == kNewBillCode)) {
      if (cdsMain->State() == dsBrowse) cdsMain->Edit();
      code->SetAsString(DBAccess->GetNewCode(TPYHelper::GetShort(Caption(), false)));
      newCode = true;
    }
    saved = actSave->Execute();
  } catch (...) {
    restoreCode();
    throw;
  }
  if (!saved) {
    restoreCode();
    return;
  }
  if (SysParamBoolean(kSpTipAfterSave) && Showing() &&
      ConfirmMessage(MsgBox.get(), "审批", "[" + BillCode() + "]保存成功,是否审批？"))
    actAudit->Execute();
}

std::vector<TFrmBaseBillFramework::TFilledBlank> TFrmBaseBillFramework::FillBlankColourAndConfig() {
  std::vector<TFilledBlank> filled;
  const TField* config = CdsDetail->Active() ? CdsDetail->FindField("F_CONFIG_ID") : nullptr;
  const TField* color = CdsDetail->Active() ? CdsDetail->FindField("F_COLOR_ID") : nullptr;
  if (!config || !color) return filled;
  CdsDetail->CheckBrowseMode();
  bool any = false;
  for (int row = 0, rows = CdsDetail->RecordCount(); row < rows && !any; ++row)
    any = CdsDetail->RowValue(row, config->Index()).IsNullOrEmpty() || CdsDetail->RowValue(row, color->Index()).IsNullOrEmpty();
  if (!any) return filled;
  IteraDataSet(*CdsDetail, [&](TDataSet& row) {
    TField& rowConfig = row.FieldByName("F_CONFIG_ID");
    TField& rowColor = row.FieldByName("F_COLOR_ID");
    if (!rowConfig.IsNull() && !rowColor.IsNull()) return;
    filled.push_back({row.GetBookmark(), rowConfig.IsNull(), rowColor.IsNull()});
    row.Edit();
    if (rowConfig.IsNull()) rowConfig.SetAsLargeInt(0);
    if (rowColor.IsNull()) rowColor.SetAsLargeInt(0);
    row.Post();
  });
  return filled;
}

void TFrmBaseBillFramework::ClearFilledBlanks(const std::vector<TFilledBlank>& filled) {
  if (filled.empty() || !CdsDetail->Active()) return;
  const TBookmark start = CdsDetail->GetBookmark();
  CdsDetail->DisableControls();
  try {
    for (const TFilledBlank& blank : filled) {
      if (!CdsDetail->BookmarkValid(blank.Row)) continue;
      CdsDetail->GotoBookmark(blank.Row);
      CdsDetail->Edit();
      if (blank.Config) CdsDetail->FieldByName("F_CONFIG_ID").Clear();
      if (blank.Color) CdsDetail->FieldByName("F_COLOR_ID").Clear();
      CdsDetail->Post();
    }
    if (CdsDetail->BookmarkValid(start)) CdsDetail->GotoBookmark(start);
  } catch (...) {
    CdsDetail->EnableControls();
    throw;
  }
  CdsDetail->EnableControls();
}

TFrmBaseBillFramework::TTotals TFrmBaseBillFramework::SumDetailIntoHeader() {
  TTotals before;
  TField* totalQty = HasRow(*cdsMain) ? cdsMain->FindField("F_TOTAL_QTY") : nullptr;
  TField* totalMoney = HasRow(*cdsMain) ? cdsMain->FindField("F_TOTAL_MONEY") : nullptr;
  const TField* qty = CdsDetail->Active() ? CdsDetail->FindField("F_QTY") : nullptr;
  const TField* money = CdsDetail->Active() ? CdsDetail->FindField("F_MONEY") : nullptr;
  if (!totalQty && !totalMoney) return before;
  CdsDetail->CheckBrowseMode();
  int64_t qtySum = 0;
  Currency moneySum;
  for (int row = 0, rows = CdsDetail->RecordCount(); row < rows; ++row) {
    if (qty) qtySum += CdsDetail->RowValue(row, qty->Index()).IsNullOrEmpty() ? 0 : CdsDetail->RowValue(row, qty->Index()).AsInt64();
    if (money) {
      const Variant value = CdsDetail->RowValue(row, money->Index());
      if (!value.IsNullOrEmpty()) moneySum += value.AsCurrency();
    }
  }
  const bool qtyChanges = totalQty && qty && (totalQty->IsNull() || totalQty->AsLargeInt() != qtySum);
  const bool moneyChanges = totalMoney && money && (totalMoney->IsNull() || totalMoney->AsCurrency() != moneySum);
  if (!qtyChanges && !moneyChanges) return before;
  before.Set = true;
  before.Qty = totalQty ? totalQty->Value() : Variant::Null();
  before.Money = totalMoney ? totalMoney->Value() : Variant::Null();
  if (cdsMain->State() == dsBrowse) cdsMain->Edit();
  if (qtyChanges) totalQty->SetAsLargeInt(qtySum);
  if (moneyChanges) totalMoney->SetAsCurrency(moneySum);
  return before;
}

void TFrmBaseBillFramework::RestoreTotals(const TTotals& before) {
  if (!before.Set || !HasRow(*cdsMain)) return;
  const bool browse = cdsMain->State() == dsBrowse;
  if (browse) cdsMain->Edit();
  if (TField* field = cdsMain->FindField("F_TOTAL_QTY")) field->SetValue(before.Qty);
  if (TField* field = cdsMain->FindField("F_TOTAL_MONEY")) field->SetValue(before.Money);
  if (browse) cdsMain->Post();
}

void TFrmBaseBillFramework::actSaveExecute(TAction& sender) {
  CheckBeforeWrite();
  const int kind = HeaderIsNew() ? 1 : 2;
  ShowProgress("数据保存中,请稍候...");
  std::vector<TFilledBlank> blanks;
  TTotals totals;
  try {
    totals = SumDetailIntoHeader();
    blanks = FillBlankColourAndConfig();
    // The log row goes in the same transaction as the bill.
    std::unique_ptr<TClientDataSet> log = OpenLogDataSet();
    AppendLogRow(*log, kind, "", LargeIntValue(*cdsMain, "F_ID"), LargeIntValue(*cdsMain, "F_KIND"), BillCode());
    ApplyDataSets({{log.get(), "TB_SYS_LOG"}});
  } catch (const EAbort&) {
    HideProgress();
    throw;
  } catch (const std::exception& error) {
    HideProgress();
    ClearFilledBlanks(blanks);
    RestoreTotals(totals);
    ShowErrorMessage(MsgBox.get(), SaveFailureText(error.what()));
    Abort();
  }
  HideProgress();
  if (const TField* id = cdsMain->FindField("F_ID")) SetID(id->AsString());
  if (FModeNOPopup) FModeNOPopup->Reread();
  UpdateOperaView(&sender);
}

// --- audit -----------------------------------------------------------------------------------------------------

bool TFrmBaseBillFramework::RunAuditProcedure(int operation, const std::string& progress, std::string& reason) {
  ShowProgress(progress);
  bool done = false;
  try {
    done = DBAccess->AuditBill(operation, AuditType(), "", cdsMain->FieldByName("F_ID").AsString());
  } catch (const EAbort&) {
    HideProgress();
    throw;
  } catch (const std::exception& error) {
    reason = error.what();
  }
  HideProgress();
  return done;
}

void TFrmBaseBillFramework::actAuditExecute(TAction& sender) {
  CheckRight("审核");
  if (HeaderIsNew()) {
    ShowErrorMessage(MsgBox.get(), "请先保存单据");
    Abort();
  }
  if (!cdsMain->Active() || cdsMain->IsEmpty()) Abort();
  if (BillStatus() == 2) {
    ShowErrorMessage(MsgBox.get(), "单据已审,请勿重复审批");
    Abort();
  }
  // The procedure audits what is stored: changes not saved would be lost by the refresh that follows.
  if (HasPendingChanges()) {
    ShowErrorMessage(MsgBox.get(), "请先保存单据");
    Abort();
  }
  const std::string code = BillCode();
  std::string reason;
  const bool audited = RunAuditProcedure(1, "正在审核[" + code + "],请稍候...", reason);
  try {
    if (audited) {
      cdsMain->Edit();
      cdsMain->FieldByName("F_STATUS").SetAsInteger(2);
      SetIfPresent(*cdsMain, "F_AUDITOR", Variant(UserInfo ? UserInfo->Name() : std::string()));
      cdsMain->Post();
      cdsMain->MergeChangeLog();
      AddLog(3, "");
      if (Showing()) {
        UpdateOperaView(&sender);
        if (SysParamBoolean(kSpTipAfterAudit)) {
          if (ConfirmMessage(MsgBox.get(), Caption(), "单据号[" + code + "]审批成功, 是否打印")) {
            try {
              actPrint->Execute();
            } catch (const EAbort&) {
            }
          }
        } else {
          ShowInfoMessage(MsgBox.get(), "单据号[" + code + "]审批成功");
        }
      }
    } else {
      ShowErrorMessage(MsgBox.get(), "单据号[" + code + "]审批失败" + (reason.empty() ? "" : kCrLf + ("失败原因：" + reason)));
    }
  } catch (const EAbort&) {
  } catch (const std::exception& error) {
    if (MsgBox) MsgBox->ShowException(error);
  }
  if (FModeNOPopup) FModeNOPopup->Reread();
  // Whatever happened, the screen shows the bill as it is stored (auditor, audit date).
  RefreshBill(true);
}

void TFrmBaseBillFramework::actUnAuditExecute(TAction& sender) {
  const int auditDays = NeedDays(kSpAuditDays);
  const TField* billDate = HasRow(*cdsMain) ? cdsMain->FindField("F_BILL_DATE") : nullptr;
  if (auditDays >= 0 && billDate && DaysBetween(Date(), DateOf(billDate->AsDateTime())) > auditDays) {
    ShowWarningMessage(MsgBox.get(), "反审核失败, 审核日期已超过系统设置可反审核天数 " + IntToStr(auditDays));
    Abort();
  }
  CheckRight("反审核");
  if (!HasRow(*cdsMain)) Abort();
  if (HeaderIsNew()) {
    ShowErrorMessage(MsgBox.get(), "请先保存单据");
    Abort();
  }
  if (BillStatus() != 2) {
    ShowErrorMessage(MsgBox.get(), "单据未审,不能反审批");
    Abort();
  }
  if (const TField* source = cdsMain->FindField("F_SOURCE_ID"); source && !source->IsNull()) {
    ShowErrorMessage(MsgBox.get(), "不能反审核系统生成的单据");
    Abort();
  }
  const std::string code = BillCode();
  std::string reason;
  const bool done = RunAuditProcedure(2, "正在反审核中...请稍候", reason);
  if (FModeNOPopup) FModeNOPopup->Reread();
  if (!done) {
    ShowInfoMessage(MsgBox.get(), "单据号[" + code + "]反审批失败" + (reason.empty() ? "" : kCrLf + ("失败原因：" + reason)));
    return;
  }
  cdsMain->Edit();
  cdsMain->FieldByName("F_STATUS").SetAsInteger(1);
  // The procedure cleared them in the database.
  for (const char* name : {"F_AUDITOR", "F_AUDIT_DATE"})
    if (TField* field = cdsMain->FindField(name)) field->Clear();
  cdsMain->Post();
  cdsMain->MergeChangeLog();
  UpdateOperaView(&sender);
  ShowInfoMessage(MsgBox.get(), "单据号[" + code + "]反审批成功");
  AddLog(4, "");
  UpdateOperaView(&sender);
}

// --- delete ----------------------------------------------------------------------------------------------------

std::string TFrmBaseBillFramework::LogStatement(int kind) const {
  const std::string code = BillCode();
  const TField* kindField = cdsMain->FindField("F_KIND");
  const std::string user = UserInfo ? UserInfo->Name() : std::string();
  return "INSERT INTO TB_SYS_LOG (F_BILL_ID, F_KIND, F_BILL_CODE, F_MESSAGE, F_ADD_USER, F_ADD_DATE) VALUES (" +
         IntToStr(cdsMain->FieldByName("F_ID").AsLargeInt()) + ", " +
         (kindField && !kindField->IsNull() ? IntToStr(kindField->AsLargeInt()) : std::string("NULL")) + ", " +
         QuotedStr(code) + ", " + QuotedStr(LogMessage(kind, "", code)) + ", " + QuotedStr(user) + ", " +
         QuotedStr(FormatDateTime("yyyy-mm-dd hh:nn:ss", Now())) + ")";
}

void TFrmBaseBillFramework::actDeleteExecute(TAction&) {
  CheckRight("删除");
  if (HeaderIsNew()) {
    ShowErrorMessage(MsgBox.get(), "请先保存单据");
    Abort();
  }
  if (!cdsMain->Active() || cdsMain->IsEmpty()) {
    ShowTipMessage(MsgBox.get(), "没有记录可删除");
    Abort();
  }
  const std::string code = BillCode();
  const std::string refusal = "删除失败\r\n失败原因: 不能删除已审单据[" + code + "],请先反审";
  // Audited here, or audited by another screen since the bill was read.
  if (BillStatus() == 2 || StoredStatus() == 2) {
    ShowErrorMessage(MsgBox.get(), refusal);
    Abort();
  }
  if (!ConfirmMessage(MsgBox.get(), "提示", "确定删除[" + code + "]吗?")) Abort();
  const std::string id = IntToStr(cdsMain->FieldByName("F_ID").AsLargeInt());
  std::string statements;
  for (const TDataSetItem& item : DataSetMgr())
    statements += " DELETE FROM  " + item.UpdateTable + (item.DataSet == cdsMain ? " WHERE F_ID = " : " WHERE F_MID = ") + id + kCrLf;
  // The log row goes with the rows it speaks of.
  statements += LogStatement(5);
  try {
    DBAccess->ExecSQL(statements);
  } catch (const EAbort&) {
    throw;
  } catch (const std::exception& error) {
    ShowErrorMessage(MsgBox.get(), std::string("删除失败\r\n失败原因: ") + error.what());
    Abort();
  }
  ShowTipMessage(MsgBox.get(), "单据[" + code + "]删除成功");
  {
    TFlagScope batch(FBatchEnter);
    cdsMain->Close();
    CdsDetail->Close();
  }
  FModeNOList.Clear();
  if (FModeNOPopup) FModeNOPopup->Reread();
  SetID("0");
  actQuery->Execute();
  actNew->Execute();
}

// --- undo, refresh, close --------------------------------------------------------------------------------------

void TFrmBaseBillFramework::actUndoExecute(TAction& sender) {
  if (!ConfirmDiscard("提示", "您正在编辑数据继续吗?")) Abort();
  CancelPendingChanges();
  UpdateOperaView(&sender);
  if (cdsMain->Active() && cdsMain->IsEmpty()) actNew->Execute();
  if (CdsDetail->Active() && !HasRow(*CdsDetail)) actDetailAppend->Execute();
  FModeNOList.Rebuild(*CdsDetail);
}

void TFrmBaseBillFramework::RefreshBill(bool tip) {
  {
    TFlagScope batch(FBatchEnter);
    cdsMain->Close();
    CdsDetail->Close();
  }
  if (QueryBill() && tip) ShowTipMessage(MsgBox.get(), "单据[" + BillCode() + "]已刷新");
}

void TFrmBaseBillFramework::actRefreshExecute(TAction&) {
  if (HeaderIsNew()) {
    ShowErrorMessage(MsgBox.get(), "请先保存单据");
    Abort();
  }
  if (HasRow(*cdsMain)) SetID(cdsMain->FieldByName("F_ID").AsString());
  if (HasPendingChanges() &&
      MessageBox().Show("您正在编辑数据,是否继续?", "提示", TMsgButtons::YesNo, TMsgIcon::Question) != TMsgResult::Yes)
    Abort();
  RefreshBill(true);
}

void TFrmBaseBillFramework::actCloseExecute(TAction& sender) {
  if (HasPendingChanges() && !ConfirmMessage(MsgBox.get(), Caption(), "您正在编辑数据,确认关闭吗?")) return;
  TFrmBaseEditor::actCloseExecute(sender);
}

// --- print -----------------------------------------------------------------------------------------------------

void TFrmBaseBillFramework::actPrintExecute(TAction& sender) {
  TFrmBaseEditor::actPrintExecute(sender);
  const int index = cbbReportList->ItemIndex();
  if (index < 0) {
    ShowErrorMessage(MsgBox.get(), "请选择打印模板");
    Abort();
  }
  if (SysParamBoolean(kSpPrintAfterAudit) && BillStatus() != 2) {
    ShowErrorMessage(MsgBox.get(), "请先审核单据");
    Abort();
  }
  std::shared_ptr<IPrintSystem> printer = SysService::Get<IPrintSystem>();
  if (!printer) {
    ShowErrorMessage(MsgBox.get(), "没有打印服务");
    Abort();
  }
  if (!HasRow(*cdsMain)) Abort();
  const std::string file = cbbReportList->Item(index);
  const std::string path = PrintTemplatePath(Caption(), file);
  const std::string id = cdsMain->FieldByName("F_ID").AsString();
  const int kind = AuditType();
  if (SysParamBoolean(kSpDesignReport)) printer->DesignReport(path, id, kind, file, index);
  else printer->PrintReport(path, id, kind, file, index);
}

// --- browsing chosen bills -------------------------------------------------------------------------------------

void TFrmBaseBillFramework::actQueryBillCodeExecute(TAction&) {
  std::shared_ptr<IBillQuery> query = SysService::Get<IBillQuery>();
  TDataSet* chosen = query ? query->GetBaseBillQuery(this, Caption()) : nullptr;
  if (!chosen || !chosen->Active() || chosen->IsEmpty()) return;
  if (!ConfirmDiscard("提示", kEditingDiscard)) Abort();
  if (!FQueryBillDS) {
    FQueryBillDS = new TClientDataSet(this);
    FQueryBillDS->SetName("FQueryBillDS");
  }
  FQueryBillDS->LoadFromDataSet(*chosen);
  FQueryBillDS->First();
  actPrevBill->Enabled = FQueryBillDS->RecordCount() > 1;
  actNextBill->Enabled = actPrevBill->Enabled;
  BrowseTo(true);
}

void TFrmBaseBillFramework::actBrowseBillExecute(TAction& sender) {
  if (!FQueryBillDS || !FQueryBillDS->Active() || FQueryBillDS->IsEmpty()) return;
  if (!ConfirmDiscard("提示", kEditingDiscard)) Abort();
  if (&sender == actPrevBill) FQueryBillDS->Prior();
  else FQueryBillDS->Next();
  actPrevBill->Enabled = FQueryBillDS->RecNo() > 1;
  actNextBill->Enabled = FQueryBillDS->RecNo() < FQueryBillDS->RecordCount();
  BrowseTo(false);
}

void TFrmBaseBillFramework::BrowseTo(bool first) {
  const int count = FQueryBillDS->RecordCount();
  const int current = FQueryBillDS->RecNo();
  const std::string status = first ? "总" + IntToStr(count) + "张单据,正在浏览第" + IntToStr(current) + "张单据"
                                   : "总共[" + IntToStr(count) + "]张单据,正在浏览第[" + IntToStr(current) + "]张单据";
  if (std::shared_ptr<IMainForm> mainForm = SysService::Get<IMainForm>()) mainForm->SetStatusText(kStatusPanel, status);
  SetID(FQueryBillDS->FieldByName("F_ID").AsString());
  CancelPendingChanges();
  bool ran = false;
  if (!first) ShowProgress("正在查询请稍候...");
  try {
    ran = QueryBill();
  } catch (...) {
    if (!first) HideProgress();
    throw;
  }
  if (!first) HideProgress();
  if (ran && FEditorFrame) FEditorFrame->DoShow();
}

// --- callers' operations ---------------------------------------------------------------------------------------

void TFrmBaseBillFramework::ViewRecordByCode(const std::string& code) {
  TFrmBaseEditor::ViewRecordByCode(code);
  if (code.empty()) return;
  if (!DBAccess) DBAccess = SysService::Get<IDBAccess>();
  if (!DBAccess) throw Exception("没有数据库服务");
  const Variant id = DBAccess->GetFieldValue(FormParams.F_UpdateTable, "F_ID", "F_CODE=" + QuotedStr(code));
  SetID(id.IsNullOrEmpty() ? std::string("0") : id.ToString());
  dxBarCommand->Visible = false;
}

std::string TFrmBaseBillFramework::FooterInfoText() const {
  const int count = CdsDetail->Active() ? CdsDetail->RecordCount() : 0;
  const int current = CdsDetail->Active() ? CdsDetail->RecNo() : 0;
  return StringReplace(StringReplace(kFooterInfo, "RecordIndex", IntToStr(current)), "RecordCount", IntToStr(count));
}

Variant TFrmBaseBillFramework::GetFooterValue(const std::string& fieldName) const {
  const TGridColumn* column = tvResult->FindColumnByFieldName(fieldName);
  if (!column) return Variant(0);
  const Variant value = tvResult->DataController().FooterSummaryValue(*column);
  return value.IsNull() ? Variant(0) : value;
}

void TFrmBaseBillFramework::IteraDataSet2(TDataSet& dataSet, const std::function<void(TDataSet&)>& procedure) {
  const bool before = FGroupDetailStatus;
  FGroupDetailStatus = false;
  try {
    TFrmBaseEditor::IteraDataSet2(dataSet, procedure);
  } catch (...) {
    FGroupDetailStatus = before;
    throw;
  }
  FGroupDetailStatus = before;
}

void TFrmBaseBillFramework::SetProductInfo(TDataSet& source, TDataSet& dest, const std::function<void(TDataSet&)>& procedure,
                                           bool split) {
  static constexpr const char* kCopied[] = {"F_PRODUCT",  "F_PRODUCT_ID", "F_PRODUCT_TYPE_ID", "F_CONFIG_ID",
                                            "F_COLOR_ID", "F_UNIT",       "F_PRESENT",         "F_PRICE",
                                            "F_LOCATION_ID"};
  const TField* sourceMoney = source.FindField("F_MONEY");
  const TField* sourcePrice = source.FindField("F_PRICE");
  // whole: the row takes the source's quantity and money; otherwise it is one unit at its price.
  auto fill = [&](int64_t qty, bool whole) {
    if (dest.State() == dsBrowse) dest.Edit();
    for (const char* name : kCopied) {
      const TField* from = source.FindField(name);
      TField* to = dest.FindField(name);
      if (from && to) to->SetValue(from->Value());
    }
    SetIfPresent(dest, "F_QTY", Id(qty));
    if (TField* money = dest.FindField("F_MONEY")) {
      if (whole && sourceMoney) money->SetValue(sourceMoney->Value());
      else money->SetAsCurrency((sourcePrice ? sourcePrice->AsCurrency() : Currency()) * qty);
    }
    if (procedure) procedure(dest);
  };
  TField* qtyField = source.FindField("F_QTY");
  const int64_t qty = qtyField ? qtyField->AsLargeInt() : 1;
  const TField* type = source.FindField("F_PRODUCT_TYPE_ID");
  if (!split || !type || !IsSerialType(type->Value()) || qty <= 1 || !qtyField) {
    fill(qty, true);
    return;
  }
  TCountScope appending(FAppending);
  for (int64_t left = qty; left > 0; --left) {
    fill(1, false);
    if (source.State() == dsBrowse) source.Edit();
    qtyField->SetAsLargeInt(left - 1);
    if (left > 1) dest.Append();
  }
}

// --- the bill viewer -------------------------------------------------------------------------------------------

int ViewBill(TComponent& owner, const std::string& billID, const std::string& caption) {
  const std::string name = TPYHelper::GetShort(caption, false);
  TFrmBaseBillFramework* viewer = dynamic_cast<TFrmBaseBillFramework*>(owner.FindComponent(name));
  if (viewer) {
    viewer->SetID(billID);
    viewer->actQuery->Execute();
  } else {
    viewer = CreateForm<TFrmBaseBillFramework>(&owner);
    viewer->Position = TPosition::poMainFormCenter;
    viewer->FormStyle = TFormStyle::fsNormal;
    viewer->SetCaption(caption);
    viewer->SetName(ScreenName(owner, caption));
    viewer->SetID(billID);
    viewer->SetReadOnlyView(true);
    viewer->DoOnShow();
  }
  viewer->SetReadOnlyView(true);
  return viewer->ShowModal();
}

}  // namespace jxc
