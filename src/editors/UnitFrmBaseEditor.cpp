#include "editors/UnitFrmBaseEditor.h"

#include <algorithm>

#include "editors/UnitEditorUtils.h"
#include "editors/UnitFrameBase.h"
#include "editors/UnitRecordCheck.h"
#include "foundation/HostServicesIntf.h"
#include "foundation/UnitFunctionConfig.h"
#include "kernel/SysSvc.h"
#include "platform/Actions.h"
#include "platform/ClassRegistry.h"
#include "platform/DataSource.h"
#include "platform/Desktop.h"
#include "platform/Exceptions.h"
#include "platform/ExtCtrls.h"
#include "platform/Grid.h"
#include "platform/StdCtrls.h"
#include "platform/Timer.h"

namespace jxc {

namespace {

constexpr const char* kLogSQL =
    "SELECT  F_BILL_ID, F_KIND, F_BILL_CODE, F_MESSAGE, F_ADD_USER, F_ADD_DATE FROM TB_SYS_LOG WHERE F_ID = 0";
constexpr int kStartQueryInterval = 200;
constexpr int kLeftRegionWidth = 250;

bool Editing(const TDataSet& dataSet) { return dataSet.State() == dsEdit || dataSet.State() == dsInsert; }

}  // namespace

TFrmBaseEditor::TFrmBaseEditor(TComponent* owner) : TFrmBase(owner) {
  SetCaption("FrmBaseEditor");
  KeyPreview = true;

  alMain = new TActionList(this);
  alMain->SetName("alMain");
  AddActions<TFrmBaseEditor>(*alMain, *this, {
      {&actInit, "actInit", "进入", "", 100, &TFrmBaseEditor::actInitExecute},
      {&actNew, "actNew", "新建(&F1)", "F1", 2, &TFrmBaseEditor::actNewExecute},
      {&actEdit, "actEdit", "编辑(F2)", "F2", 3, &TFrmBaseEditor::actEditExecute},
      {&actDelete, "actDelete", "删除(&F4)", "F4", 4, &TFrmBaseEditor::actDeleteExecute},
      {&actAudit, "actAudit", "审核", "", 5, &TFrmBaseEditor::actAuditExecute},
      {&actUnAudit, "actUnAudit", "反审核", "", 6, &TFrmBaseEditor::actUnAuditExecute},
      {&actExport, "actExport", "导出", "", 7, &TFrmBaseEditor::actExportExecute},
      {&actPrint, "actPrint", "打印", "Ctrl+Alt+P", 8, &TFrmBaseEditor::actPrintExecute},
      {&actSave, "actSave", "保存", "", 20, &TFrmBaseEditor::actSaveExecute},
      {&actUndo, "actUndo", "取消", "", 21, &TFrmBaseEditor::actUndoExecute},
      {&actRefresh, "actRefresh", "刷新(&F5)", "F5", 0, nullptr},
      {&actQuery, "actQuery", "查询", "F9", 0, nullptr},
      {&actSelect, "actSelect", "选择", "", 0, &TFrmBaseEditor::actSelectExecute},
      {&actBack, "actBack", "返回", "", 0, &TFrmBaseEditor::actBackExecute},
      {&actPrevRecord, "actPrevRecord", "上一条记录", "", 0, nullptr},
      {&actNextRecord, "actNextRecord", "下一条记录", "", 0, nullptr},
      {&actSaveAndCreate, "actSaveAndCreate", "保存并新增", "", 0, nullptr},
      {&actScriptDesign, "actScriptDesign", "脚本设置", "Ctrl+F12", 0, nullptr},
      {&actBillRuleConfig, "actBillRuleConfig", "单据规则", "Shift+F12", 0, nullptr},
      {&actMainRecordChanged, "actMainRecordChanged", "actMainRecordChanged", "", 0, nullptr},
      {&actExecScript, "actExecScript", "actExecScript", "", 0, nullptr},
      {&actClose, "actClose", "关闭(&C)", "", 0, &TFrmBaseEditor::actCloseExecute},
  });

  barMain = new TToolBar(this);
  barMain->SetName("barMain");
  for (TAction* action : {actNew, actEdit, actDelete, actRefresh, actExport, actClose}) barMain->AddItem("", action);

  StartQuery = new TTimer(this);
  StartQuery->SetName("StartQuery");
  StartQuery->SetEnabled(false);
  StartQuery->SetInterval(kStartQueryInterval);
  StartQuery->SetOnTimer([this](TTimer&) { StartQueryTimer(); });

  cdsMain = new TClientDataSet(this);
  cdsMain->SetName("CdsMaster");
  dsMain = new TDataSource(this);
  dsMain->SetName("dsMain");
  dsMain->AutoEdit = false;
  dsMain->OnStateChange = [this](TDataSource&) { DataStateChanged(); };
}

TFrmBaseEditor::~TFrmBaseEditor() {
  // Nothing that reaches back into the screen may run while its parts go.
  dsMain->OnStateChange = nullptr;
  cdsMain->OnNewRecord = nullptr;
  while (!FAutoFreeStack.empty()) FAutoFreeStack.pop_back();
  while (!FDataSetMgr.empty()) FDataSetMgr.pop_back();
  DestroyComponents();
}

// --- registered datasets ---------------------------------------------------------------------------------

void TFrmBaseEditor::RegisteDataSet(const std::string& viewTable, const std::string& updateTable,
                                    TClientDataSet* dataSet, const std::string& foreignKey) {
  if (!dataSet) throw EArgumentError("RegisteDataSet: no dataset");
  for (const TDataSetItem& item : FDataSetMgr)
    if (item.DataSet == dataSet) return;
  FDataSetMgr.push_back(TDataSetItem{dataSet, updateTable, viewTable, foreignKey});
}

bool TFrmBaseEditor::HasPendingChanges() const {
  return std::any_of(FDataSetMgr.begin(), FDataSetMgr.end(), [](const TDataSetItem& item) {
    return item.DataSet->Active() && (Editing(*item.DataSet) || item.DataSet->ChangeCount() > 0);
  });
}

void TFrmBaseEditor::ApplyDataSets(const std::vector<std::pair<TClientDataSet*, std::string>>& extra) {
  if (!DBAccess) throw Exception("没有数据库服务");
  std::vector<TClientDataSet*> dataSets;
  std::vector<std::string> tables;
  for (const TDataSetItem& item : FDataSetMgr) {
    if (Editing(*item.DataSet)) item.DataSet->Post();
    if (!item.DataSet->Active()) continue;
    dataSets.push_back(item.DataSet);
    tables.push_back(item.UpdateTable);
  }
  for (const auto& [dataSet, table] : extra) {
    if (Editing(*dataSet)) dataSet->Post();
    dataSets.push_back(dataSet);
    tables.push_back(table);
  }
  if (dataSets.empty()) return;
  if (dataSets.size() == 1) {
    if (DBAccess->ApplyUpdates(*dataSets.front(), tables.front()) < 0)
      throw Exception("数据未能写入[" + tables.front() + "]");
    return;
  }
  DBAccess->ApplyUpdatesList(dataSets, tables);
}

// --- operation log ---------------------------------------------------------------------------------------

std::string TFrmBaseEditor::LogKindText(int kind) {
  switch (kind) {
    case 1: return " [新增] ";
    case 2: return " [编辑] ";
    case 3: return " [审核] ";
    case 4: return " [反审] ";
    case 5: return " [删除] ";
    default: return " [其它]";
  }
}

std::string TFrmBaseEditor::LogMessage(int kind, const std::string& msg, const std::string& billCode) const {
  const std::string user = UserInfo ? UserInfo->Name() : std::string();
  return Caption() + " [" + user + "] " + msg + LogKindText(kind) + billCode;
}

std::unique_ptr<TClientDataSet> TFrmBaseEditor::OpenLogDataSet() {
  if (!DBAccess) throw Exception("没有数据库服务");
  auto log = std::make_unique<TClientDataSet>();
  DBAccess->OpenDataSet(*log, kLogSQL);
  return log;
}

void TFrmBaseEditor::AppendLogRow(TClientDataSet& log, int kind, const std::string& msg, const Variant& billID,
                                  const Variant& billKind, const std::string& billCode) {
  const std::string user = UserInfo ? UserInfo->Name() : std::string();
  log.Append();
  log.FieldByName("F_BILL_ID").SetValue(billID);
  log.FieldByName("F_KIND").SetValue(billKind);
  log.FieldByName("F_BILL_CODE").SetAsString(billCode);
  log.FieldByName("F_ADD_USER").SetAsString(user);
  log.FieldByName("F_ADD_DATE").SetAsDateTime(Now());
  log.FieldByName("F_MESSAGE").SetAsString(LogMessage(kind, msg, billCode));
  log.Post();
}

void TFrmBaseEditor::WriteLog(int kind, const std::string& msg, const Variant& billID, const Variant& billKind,
                              const std::string& billCode) {
  std::unique_ptr<TClientDataSet> log = OpenLogDataSet();
  AppendLogRow(*log, kind, msg, billID, billKind, billCode);
  DBAccess->ApplyUpdates(*log, "TB_SYS_LOG");
}

void TFrmBaseEditor::AddLog(int kind, const std::string& msg) {
  const TField* code = cdsMain->FindField("F_CODE");
  WriteLog(kind, msg, LargeIntValue(*cdsMain, "F_ID"), LargeIntValue(*cdsMain, "F_KIND"), code ? code->AsString() : std::string());
}

// --- walking datasets ------------------------------------------------------------------------------------

void TFrmBaseEditor::Walk(TDataSet& dataSet, const std::function<void(TDataSet&)>& procedure) {
  if (!dataSet.Active() || dataSet.IsEmpty()) return;
  if (Editing(dataSet)) dataSet.Post();
  if (!procedure) return;
  dataSet.DisableControls();
  const TBookmark start = dataSet.GetBookmark();
  dataSet.DisableConstraints();
  auto restore = [&] {
    if (dataSet.BookmarkValid(start)) {
      try {
        dataSet.GotoBookmark(start);
      } catch (const EDatabaseError&) {
        // The row is still there but no longer visible: the cursor stays where the walk ended.
      }
    }
    dataSet.EnableConstraints();
    dataSet.EnableControls();
  };
  try {
    for (dataSet.First(); !dataSet.Eof(); dataSet.Next()) procedure(dataSet);
  } catch (...) {
    restore();
    throw;
  }
  restore();
}

void TFrmBaseEditor::IteraDataSet(TDataSet& dataSet, const std::function<void(TDataSet&)>& procedure) {
  Walk(dataSet, procedure);
}

void TFrmBaseEditor::IteraDataSet2(TDataSet& dataSet, const std::function<void(TDataSet&)>& procedure) {
  Walk(dataSet, procedure);
}

void TFrmBaseEditor::ClearDataSet(TDataSet& dataSet) {
  if (!dataSet.Active()) return;
  if (Editing(dataSet)) dataSet.Cancel();
  dataSet.DisableControls();
  try {
    while (!dataSet.IsEmpty()) {
      dataSet.First();
      dataSet.Delete();
    }
  } catch (...) {
    dataSet.EnableControls();
    throw;
  }
  dataSet.EnableControls();
}

// --- showing ---------------------------------------------------------------------------------------------

TDataSet* TFrmBaseEditor::GetMainDataSet() { return cdsMain; }

TActionList* TFrmBaseEditor::GetActionList() { return alMain; }

std::shared_ptr<IGroupRights> TFrmBaseEditor::Rights() {
  if (!GroupRights()) SetGroupRights(SysService::Get<IGroupRights>());
  return GroupRights();
}

void TFrmBaseEditor::FormCreate() {
  TFrmBase::FormCreate();
  Rights();
}

void TFrmBaseEditor::ReleaseHalfBuilt() {
  StartQuery->SetEnabled(false);
  for (TAction* action : alMain->Items()) action->Enabled = false;
  // The name is given up at once, so that the opener may make the screen again before this one is freed.
  SetName("");
  Hide();
  Release();
}

void TFrmBaseEditor::DoOnShow() {
  TFrmBase::DoOnShow();
  std::shared_ptr<IGroupRights> rights = Rights();
  if (!rights || !rights->CanOpen(Caption())) {
    const std::string refusal = "[" + Caption() + "]功能未授权,不能打开";
    ReleaseHalfBuilt();
    throw Exception(refusal);
  }
  if (FIsFirstLoad) {
    // Cleared before the work starts: a second call while the first query is still waiting must not
    // initialise again.
    FIsFirstLoad = false;
    try {
      actInit->Execute();
    } catch (...) {
      ReleaseHalfBuilt();
      throw;
    }
  }
  StartQuery->SetEnabled(false);
  StartQuery->SetEnabled(true);
}

void TFrmBaseEditor::ShowForm() {
  FormStyle = TFormStyle::fsMDIChild;
  Show();
}

void TFrmBaseEditor::StartQueryTimer() {
  StartQuery->SetEnabled(false);
  if (actQuery->HasHandler()) actQuery->Execute();
  FIsFirstLoad = false;
}

// --- initialisation --------------------------------------------------------------------------------------

void TFrmBaseEditor::actInitExecute(TAction&) {
  DBAccess = SysService::Get<IDBAccess>();
  std::shared_ptr<ILocalDB> local = SysService::Get<ILocalDB>();
  if (!local) throw Exception("没有本地配置服务, 无法读取[" + Caption() + "]的功能配置");
  const TFunctionConfig config = ReadFunctionConfig(*local, this, Caption());
  FormParams = config.Params;
  RegisteDataSet(FormParams.F_Data, FormParams.F_UpdateTable, cdsMain);
  if (!config.SortField.empty()) cdsMain->SetIndexFieldNames(config.SortField);
  cdsMain->OnNewRecord = [this](TDataSet& dataSet) { cdsMainNewRecord(dataSet); };
  dsMain->SetDataSet(cdsMain);
  FLastState = dsMain->State();
  UILeftConfig(FormParams.F_UI_Left_Config);
  UIRightConfig(FormParams.F_UI_Right_Config);
  UITopConfig(FormParams.F_UI_Top_Config);
  UIBottomConfig(FormParams.F_UI_Bottom_Config);
  UIEditorConfig(FormParams.F_UI_Editor_Config);
  UIQueryConfig(FormParams.F_QUERY_CONFIG);
}

void TFrmBaseEditor::cdsMainNewRecord(TDataSet& dataSet) {
  if (!DBAccess) throw Exception("没有数据库服务");
  FillNewRecordDefaults(dataSet, *DBAccess, Caption(), FormParams.F_UpdateTable);
}

TFrameBase* TFrmBaseEditor::CreateRegionFrame(const TUIConfig& config) {
  TComponent* made = CreateComponentByClassName(config.F_CLASS_NAME, this);
  auto* frame = dynamic_cast<TFrameBase*>(made);
  if (!frame) {
    delete made;
    throw Exception("[" + config.F_CLASS_NAME + "]不是框架类, 不能放在界面上");
  }
  frame->SetParent(this);
  frame->SetConfig(config);
  return frame;
}

void TFrmBaseEditor::UILeftConfig(const TUIConfig& config) {
  if (config.F_CLASS_NAME.empty()) return;
  FLeftFrame = CreateRegionFrame(config);
  FLeftFrame->Align = TAlign::alLeft;
  FLeftFrame->Width = kLeftRegionWidth;
  FLeftSplitter = new TSplitter(this);
  FLeftSplitter->SetParent(this);
  FLeftSplitter->Align = TAlign::alLeft;
  FLeftFrame->SetUpdatingTable(FormParams.F_Data);
  FLeftFrame->SetMainDataSet(cdsMain);
  FLeftFrame->DoInit();
}

void TFrmBaseEditor::UIRightConfig(const TUIConfig& config) {
  if (config.F_CLASS_NAME.empty()) return;
  FRightFrame = CreateRegionFrame(config);
  FRightFrame->Align = TAlign::alRight;
  if (config.F_WIDTH > 0) FRightFrame->Width = config.F_WIDTH;
  FRightSplitter = new TSplitter(this);
  FRightSplitter->SetParent(this);
  FRightSplitter->Align = TAlign::alRight;
  FRightFrame->SetMainDataSet(cdsMain);
  FRightFrame->DoInit();
  FRightFrame->SetUpdatingTable(FormParams.F_UpdateTable);
}

// --- state -------------------------------------------------------------------------------------------------

void TFrmBaseEditor::DataStateChanged() {
  const int state = dsMain->State();
  const bool wasEditing = FLastState == dsEdit || FLastState == dsInsert;
  const bool editing = state == dsEdit || state == dsInsert;
  FLastState = state;
  if (!wasEditing && editing) UpdateActionStatus(actEdit);
  else if (wasEditing && state == dsBrowse) UpdateActionStatus(actUndo);
}

// --- rights ------------------------------------------------------------------------------------------------

void TFrmBaseEditor::CheckRight(const std::string& operation) {
  std::shared_ptr<IGroupRights> rights = Rights();
  if (rights && rights->HasRight(Caption(), operation)) return;
  ShowErrorMessage(MsgBox.get(), Caption() + "[" + operation + "]权限未授权");
  Abort();
}

void TFrmBaseEditor::CheckRightsText(TAction& action) {
  if (ParseRights(OperaRights(), action.Tag)) return;
  ShowErrorMessage(MsgBox.get(), Caption() + "[" + action.Caption + "]权限未授权");
  Abort();
}

// --- actions -------------------------------------------------------------------------------------------------

void TFrmBaseEditor::actNewExecute(TAction& sender) {
  CheckRight("新增");
  UpdateActionStatus(&sender);
}

void TFrmBaseEditor::actEditExecute(TAction& sender) {
  CheckRight("编辑");
  UpdateActionStatus(&sender);
}

void TFrmBaseEditor::actDeleteExecute(TAction&) {
  CheckRight("删除");
  if (!cdsMain->Active() || (cdsMain->IsEmpty() && cdsMain->State() != dsInsert)) {
    ShowWarningMessage(MsgBox.get(), "没有记录可删除");
    Abort();
  }
  if (MessageBox().Show("确定删除本条记录吗?", "提示", TMsgButtons::OKCancel, TMsgIcon::Question) != TMsgResult::OK)
    Abort();
}

void TFrmBaseEditor::actAuditExecute(TAction& sender) { CheckRightsText(sender); }

void TFrmBaseEditor::actUnAuditExecute(TAction& sender) { CheckRightsText(sender); }

void TFrmBaseEditor::actExportExecute(TAction&) { CheckRight("导出"); }

void TFrmBaseEditor::actPrintExecute(TAction&) { CheckRight(actPrint->Caption); }

void TFrmBaseEditor::FocusField(TField& field) { field.FocusControl(); }

void TFrmBaseEditor::DoCheck() {
  if (!cdsMain->Active()) return;
  if (Editing(*cdsMain)) cdsMain->Post();
  if (cdsMain->ChangeCount() == 0) return;
  TRecordCheck check({DBAccess.get(), MsgBox.get(), SysService::Get<ILocalDB>().get(), this, Caption(), FormParams.F_ID,
                      FormParams.F_UpdateTable});
  check.OnFocusField = [this](TField& field) { FocusField(field); };
  // Rows hidden by a search are checked too; they are saved as well.
  const bool filtered = cdsMain->Filtered();
  const TBookmark start = cdsMain->GetBookmark();
  cdsMain->DisableControls();
  auto restore = [&](bool toStart) {
    if (filtered) cdsMain->SetFiltered(true);
    if (toStart && cdsMain->BookmarkValid(start)) {
      try {
        cdsMain->GotoBookmark(start);
      } catch (const EDatabaseError&) {
      }
    }
    cdsMain->EnableControls();
  };
  try {
    if (filtered) cdsMain->SetFiltered(false);
    // Bookmarks first: normalising a name may move its row in the sort order.
    std::vector<TBookmark> pending;
    for (cdsMain->First(); !cdsMain->Eof(); cdsMain->Next()) {
      const TUpdateStatus status = cdsMain->UpdateStatus();
      if (status == usInserted || status == usModified) pending.push_back(cdsMain->GetBookmark());
    }
    for (const TBookmark& row : pending) {
      cdsMain->GotoBookmark(row);
      check.Check(*cdsMain);
    }
  } catch (...) {
    // The refused row stays current and in edit, so that the user corrects it where it is.
    restore(false);
    if (cdsMain->State() == dsBrowse && !cdsMain->IsEmpty()) cdsMain->Edit();
    throw;
  }
  restore(true);
}

void TFrmBaseEditor::actSaveExecute(TAction& sender) {
  try {
    DoCheck();
    DoSave();
  } catch (const EAbort&) {
    throw;
  } catch (const std::exception& error) {
    ShowErrorMessage(MsgBox.get(), SaveFailureText(error.what()));
    Abort();
  }
  UpdateActionStatus(&sender);
}

void TFrmBaseEditor::actUndoExecute(TAction& sender) {
  if (Editing(*cdsMain) &&
      MessageBox().Show("您正在编辑数据,确定要放弃吗？", "提示", TMsgButtons::OKCancel, TMsgIcon::Question) != TMsgResult::OK)
    Abort();
  for (const TDataSetItem& item : FDataSetMgr)
    if (item.DataSet->Active()) item.DataSet->CancelUpdates();
  UpdateActionStatus(&sender);
}

void TFrmBaseEditor::actSelectExecute(TAction&) {
  if (!cdsMain->Active() || cdsMain->IsEmpty()) throw Exception("请选中一条记录");
  SetModalResult(mrOk);
  if (!Modal()) Close();
}

void TFrmBaseEditor::actBackExecute(TAction&) {
  SetModalResult(mrCancel);
  if (!Modal()) Close();
}

void TFrmBaseEditor::actCloseExecute(TAction&) { Close(); }

// --- opening ---------------------------------------------------------------------------------------------

std::string ScreenName(const TComponent& owner, const std::string& caption) {
  const std::string initials = TPYHelper::GetShort(caption, false);
  std::string name = initials;
  for (int n = 2; !name.empty() && owner.FindComponent(name); ++n) name = initials + "_" + std::to_string(n);
  return name;
}

// --- keys ----------------------------------------------------------------------------------------------------

void TFrmBaseEditor::KeyPress(char32_t& key) {
  if (key == 13) {
    TWinControl* active = ActiveControl();
    if (active && !dynamic_cast<TMemo*>(active) && !dynamic_cast<TGrid*>(active)) {
      key = 0;
      SelectNext(active);
    }
  }
  TFrmBase::KeyPress(key);
}

}  // namespace jxc
