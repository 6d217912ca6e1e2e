#include "editors/UnitFrmBaseTreeEditor.h"

#include <algorithm>

#include "editors/UnitEditorUtils.h"
#include "editors/UnitFrmBaseEditor.h"
#include "foundation/HostServicesIntf.h"
#include "foundation/UnitFunctionConfig.h"
#include "foundation/UnitPublicUtils.h"
#include "kernel/SysSvc.h"
#include "platform/Actions.h"
#include "platform/Application.h"
#include "platform/DBCtrls.h"
#include "platform/DBTreeList.h"
#include "platform/DBTreePopupEdit.h"
#include "platform/DataSource.h"
#include "platform/ExtCtrls.h"
#include "platform/Menus.h"
#include "platform/StdCtrls.h"
#include "platform/Text.h"

namespace jxc {

namespace {

constexpr int64_t kFirstUserRow = 100;  // rows below are the system's defaults
constexpr const char* kNewNodeName = "新节点";

bool Editing(const TDataSet& dataSet) { return dataSet.State() == dsEdit || dataSet.State() == dsInsert; }

std::string KeyList(const std::vector<Variant>& keys) {
  std::string list;
  for (const Variant& key : keys) list += (list.empty() ? "" : ",") + IntToStr(key.AsInt64());
  return list;
}

}  // namespace

TFrmBaseTreeEditor::TFrmBaseTreeEditor(TComponent* owner) : TFrmBase(owner) {
  SetCaption("FrmBaseTreeEditor");
  KeyPreview = true;

  alTree = new TActionList(this);
  alTree->SetName("alTree");
  AddActions<TFrmBaseTreeEditor>(*alTree, *this, {
      {&actNew, "actNew", "", "", 0, &TFrmBaseTreeEditor::actNewExecute},
      {&actEdit, "actEdit", "编辑", "", 0, &TFrmBaseTreeEditor::actEditExecute},
      {&actDelete, "actDelete", "删除", "", 0, &TFrmBaseTreeEditor::actDeleteExecute},
      {&actSave, "actSave", "保存", "", 0, &TFrmBaseTreeEditor::actSaveExecute},
      {&actSaveAndAdd, "actSaveAndAdd", "保存并添加", "", 0, &TFrmBaseTreeEditor::actSaveAndAddExecute},
      {&actCancel, "actCancel", "取消", "", 0, &TFrmBaseTreeEditor::actCancelExecute},
      {&actRefresh, "actRefresh", "刷新", "", 0, &TFrmBaseTreeEditor::actRefreshExecute},
      {&actUp, "actUp", "移动到上一级", "", 0, &TFrmBaseTreeEditor::actUpExecute},
      {&actDown, "actDown", "", "", 0, &TFrmBaseTreeEditor::actDownExecute},
      {&actSelect, "actSelect", "选择", "", 0, &TFrmBaseTreeEditor::actSelectExecute},
      {&actClose, "actClose", "关闭", "", 0, nullptr},
  });
  actNew->Hint = "增加";
  actClose->OnExecute = [this](TAction&) { Close(); };
  actSelect->Visible = false;
  actSelect->Enabled = false;

  barTree = new TToolBar(this);
  barTree->SetName("barTree");
  for (TAction* action : {actNew, actEdit, actDelete, actRefresh, actUp, actSave, actCancel, actSelect, actClose})
    barTree->AddItem("", action);

  lblTitle = NewControl<TLabel>(this, "lblTitle", this);
  lblTitle->Align = TAlign::alTop;
  lblHint = NewControl<TLabel>(this, "lblHint", this);
  lblHint->Align = TAlign::alBottom;
  lblHint->SetCaption("提示: 拖动节点可以更改上下级关系,更改完成后点击保存");

  cdsTreeData = new TClientDataSet(this);
  cdsTreeData->SetName("cdsTreeData");
  dsTree = new TDataSource(this);
  dsTree->SetName("dsTree");
  dsTree->SetDataSet(cdsTreeData);
  dsTree->AutoEdit = false;
  dsTree->OnStateChange = [this](TDataSource&) { UpdateActionStatus(); };
  cdsParent = new TClientDataSet(this);
  cdsParent->SetName("cdsParent");
  dsParent = new TDataSource(this);
  dsParent->SetName("dsParent");
  dsParent->SetDataSet(cdsParent);

  dbTree = NewControl<TDBTreeList>(this, "dbTree", this);
  dbTree->Align = TAlign::alClient;
  dbTree->TabStop = true;
  dbTree->SetDisplayFields("F_CODE;F_NAME");
  dbTree->SetSeparator("-");
  dbTree->SetRootValue(Variant(0));
  dbTree->OptionsData.Editing = false;
  dbTree->OptionsBehavior.DragDrop = true;
  dbTree->OnDragOver = [this](TTreeList&, TTreeListNode* source, TTreeListNode* target, bool& accept) {
    accept = accept && CanDragTo(source, target);
  };
  dbTree->OnDragDrop = [this](TTreeList&, TTreeListNode*, TTreeListNode*) { UpdateActionStatus(); };
  dbTree->OnDblClick = [this](TControl&) { actEdit->Execute(); };
  dbTree->SetDataSource(dsTree);
  ppmTree = new TPopupMenu(this);
  ppmTree->SetName("ppmTree");
  for (TAction* action : {actNew, actEdit, actDelete, actRefresh, actUp}) {
    TMenuItem* item = ppmTree->Items().AddItem(action->Caption, nullptr, this);
    item->SetAction(action);
  }
  dbTree->PopupMenu = ppmTree;

  pnlNode = NewControl<TPanel>(this, "pnlNode", this);
  pnlNode->Align = TAlign::alRight;
  auto edit = [this](const char* name, const char* field) {
    TDBEdit* control = NewControl<TDBEdit>(this, name, pnlNode);
    control->SetDataSource(dsTree);
    control->SetDataField(field);
    return control;
  };
  edtName = edit("edtName", "F_NAME");
  edtCode = edit("edtCode", "F_CODE");
  edtRemark = edit("edtRemark", "F_REMARK");
  edtParent = NewControl<TDBTreePopupEdit>(this, "edtParent", pnlNode);
  edtParent->Tree().SetDisplayFields("F_NAME");
  edtParent->SetListSource(dsParent);
  edtParent->SetDataSource(dsTree);
  edtParent->SetDataField("F_PARENTID");
  btnSave = NewControl<TButton>(this, "btnSave", pnlNode);
  btnSave->SetAction(actSave);
  lblDragHint = NewControl<TLabel>(this, "lblDragHint", pnlNode);
  lblDragHint->SetCaption("提示: 拖动完成后点击保存");

  cdsTreeData->OnNewRecord = [this](TDataSet& dataSet) { cdsTreeDataNewRecord(dataSet); };
  cdsTreeData->AfterPost = [this](TDataSet&) { CopyToParentList(); };
  cdsTreeData->AfterOpen = [this](TDataSet&) {
    AttachFieldHandlers();
    CopyToParentList();
  };
  UpdateActionStatus();
}

TFrmBaseTreeEditor::~TFrmBaseTreeEditor() {
  // The parts outlive this level of the screen for a moment; nothing of theirs may call back into it.
  dsTree->OnStateChange = nullptr;
  dbTree->OnDragOver = nullptr;
  dbTree->OnDragDrop = nullptr;
  dbTree->OnDblClick = nullptr;
  cdsTreeData->OnNewRecord = nullptr;
  cdsTreeData->AfterPost = nullptr;
  cdsTreeData->AfterOpen = nullptr;
}

// --- set-up ----------------------------------------------------------------------------------------------

void TFrmBaseTreeEditor::SetCanSelectParent(bool value) {
  FCanSelectParent = value;
  edtParent->ParentsSelectable = value;
}

void TFrmBaseTreeEditor::SetCustomTree(bool value) {
  FCustomTree = value;
  actDelete->Visible = !value;
  actUp->Visible = !value;
  actSelect->Visible = value;
  actSelect->Enabled = value;
}

std::string TFrmBaseTreeEditor::GetID() const {
  if (!cdsTreeData->Active() || (cdsTreeData->IsEmpty() && cdsTreeData->State() != dsInsert)) return {};
  return cdsTreeData->FieldByName("F_ID").AsString();
}

void TFrmBaseTreeEditor::DoOnShow() {
  TFrmBase::DoOnShow();
  if (!FStarted) Start();
}

void TFrmBaseTreeEditor::Start() {
  DBAccess = SysService::Get<IDBAccess>();
  if (!DBAccess) throw Exception("没有数据库服务");
  std::shared_ptr<ILocalDB> local = SysService::Get<ILocalDB>();
  if (!local) throw Exception("没有本地配置服务, 无法读取[" + Caption() + "]的功能配置");
  const std::string configured = Trim(ReadFunctionTableName(*local, this, Caption()));
  if (!configured.empty()) FTableName = configured;
  if (Trim(FTableName).empty()) throw Exception("数据表未配置");
  SetCustomTree(FCustomTree);
  lblTitle->SetCaption(Caption());
  cdsTreeData->SetIndexFieldNames("F_PARENTID");
  DBAccess->OpenDataSet(*cdsTreeData, "SELECT * FROM " + FTableName);
  FStarted = true;
  UpdateActionStatus();
}

void TFrmBaseTreeEditor::AttachFieldHandlers() {
  // The pinyin initials follow the name as it is entered.
  if (TField* name = cdsTreeData->FindField("F_NAME")) {
    name->OnChange = [this](TField& field) {
      if (TField* py = cdsTreeData->FindField("F_PY")) py->SetAsString(TPYHelper::GetShort(field.AsString(), false));
    };
  }
}

void TFrmBaseTreeEditor::CopyToParentList() {
  cdsParent->LoadFromDataSet(*cdsTreeData);
}

void TFrmBaseTreeEditor::PublishCache() {
  if (std::shared_ptr<ICache> cache = CacheHelper()) cache->UpdateCache(FTableName, *cdsTreeData);
}

// --- state -----------------------------------------------------------------------------------------------

void TFrmBaseTreeEditor::UpdateActionStatus() {
  const bool editing = Editing(*cdsTreeData);
  const bool pending = cdsTreeData->Active() && cdsTreeData->ChangeCount() > 0;
  actSave->Enabled = editing || pending;  // moves wait for Save too
  actSaveAndAdd->Enabled = editing;
  actCancel->Enabled = editing;
  for (TAction* action : {actDelete, actRefresh, actNew, actUp, actDown}) action->Enabled = !editing;
  dbTree->SetEnabled(!editing);
}

void TFrmBaseTreeEditor::KeyPress(char32_t& key) {
  if (key == 13) {
    TWinControl* active = ActiveControl();
    if (active == edtName || active == edtCode) {
      key = 0;
      SelectNext(active);
    }
  }
  TFrmBase::KeyPress(key);
}

void TFrmBaseTreeEditor::FocusName(bool selectAll) {
  if (!edtName->CanFocus()) return;
  edtName->SetFocus();
  if (selectAll) edtName->SelectAll();
}

// --- adding and editing ------------------------------------------------------------------------------------

void TFrmBaseTreeEditor::cdsTreeDataNewRecord(TDataSet& dataSet) {
  if (!DBAccess) throw Exception("没有数据库服务");
  dataSet.FieldByName("F_ID").SetAsString(DBAccess->GetNewID(FTableName));
  if (TField* code = dataSet.FindField("F_CODE")) code->SetAsString(DBAccess->GetNewCode(TPYHelper::GetShort(Caption(), false)));
  if (TField* parent = dataSet.FindField("F_PARENTID")) parent->SetValue(FNewParent);
}

void TFrmBaseTreeEditor::AddNode(const Variant& parent) {
  if (!cdsTreeData->Active()) throw Exception("[" + Caption() + "]的数据尚未读取");
  FNewParent = parent;
  cdsTreeData->Append();
  cdsTreeData->FieldByName("F_NAME").SetAsString(kNewNodeName);
  FocusName(true);
}

void TFrmBaseTreeEditor::actNewExecute(TAction&) {
  TTreeListNode* node = dbTree->FocusedNode();
  AddNode(node ? node->Key() : dbTree->RootValue());
}

void TFrmBaseTreeEditor::actEditExecute(TAction&) {
  if (!dbTree->FocusedNode()) {
    ShowWarningMessage(MsgBox.get(), "请选择编辑节点");
    Abort();
  }
  if (!Editing(*cdsTreeData)) cdsTreeData->Edit();
  FocusName(false);
}

void TFrmBaseTreeEditor::SaveTree() {
  const bool wasEditing = Editing(*cdsTreeData);
  int written = 0;
  try {
    if (!DBAccess) throw Exception("没有数据库服务");
    written = DBAccess->ApplyUpdates(*cdsTreeData, FTableName);  // posts the edited row first
  } catch (const EAbort&) {
    throw;
  } catch (const std::exception& error) {
    ShowErrorMessage(MsgBox.get(), SaveFailureText(error.what()));
    // The changes stay pending; the row the user was editing stays in edit.
    if (wasEditing && cdsTreeData->State() == dsBrowse && !cdsTreeData->IsEmpty()) cdsTreeData->Edit();
    UpdateActionStatus();
    Abort();
  }
  PublishCache();
  UpdateActionStatus();
  if (written > 0) ShowTipMessage(MsgBox.get(), "保存成功");
}

void TFrmBaseTreeEditor::actSaveExecute(TAction&) {
  // Leaving the focused box hands its text to the row.
  SetActiveControl(nullptr);
  if (Editing(*cdsTreeData)) {
    TField& nameField = cdsTreeData->FieldByName("F_NAME");
    const std::string name = Trim(nameField.AsString());
    if (name.empty()) {
      ShowWarningMessage(MsgBox.get(), "请填写名称");
      FocusName(false);
      Abort();
    }
    if (DBAccess->NameExists(FTableName, cdsTreeData->FieldByName("F_ID").AsString(), name)) {
      ShowWarningMessage(MsgBox.get(), "名称重复,请重新填写");
      FocusName(true);
      Abort();
    }
    if (nameField.AsString() != name) nameField.SetAsString(name);
  }
  SaveTree();
}

void TFrmBaseTreeEditor::actSaveAndAddExecute(TAction& sender) {
  actSaveExecute(sender);
  const Variant parent = cdsTreeData->IsEmpty() ? dbTree->RootValue() : cdsTreeData->FieldByName("F_PARENTID").Value();
  AddNode(parent.IsNull() ? dbTree->RootValue() : parent);
}

void TFrmBaseTreeEditor::actCancelExecute(TAction&) {
  // A row never saved goes with its node; an edit returns to what the row held.
  if (Editing(*cdsTreeData)) cdsTreeData->Cancel();
  UpdateActionStatus();
}

void TFrmBaseTreeEditor::actRefreshExecute(TAction&) {
  if (cdsTreeData->Active() && cdsTreeData->ChangeCount() > 0 &&
      !ConfirmMessage(MsgBox.get(), "提示", "您正在编辑数据,是否继续?"))
    Abort();
  DBAccess->OpenDataSet(*cdsTreeData, "SELECT F_ID,F_CODE,F_NAME,F_PARENTID, F_PY,F_REMARK  FROM " + FTableName);
  UpdateActionStatus();
  ShowTipMessage(MsgBox.get(), "刷新完成");
}

// --- moving ----------------------------------------------------------------------------------------------------

bool TFrmBaseTreeEditor::CanDragTo(TTreeListNode* source, TTreeListNode* target) const {
  // The tree itself refuses the node, its own branch and its present parent.
  return source && target && source->Parent() && source->Level() >= target->Level();
}

void TFrmBaseTreeEditor::actUpExecute(TAction&) {
  TTreeListNode* node = dbTree->FocusedNode();
  if (!node || !node->Parent() || !node->Parent()->Parent()) return;
  const std::string formerParent = node->Parent()->Text();
  dbTree->MoveTo(node, node->Parent()->Parent());
  UpdateActionStatus();
  ShowTipMessage(MsgBox.get(), "已移动到[" + formerParent + "]平级");
}

void TFrmBaseTreeEditor::actDownExecute(TAction&) {
  TTreeListNode* node = dbTree->FocusedNode();
  if (!node || !node->Parent() || !node->Parent()->Parent()) return;
  dbTree->MoveTo(node, node->Parent()->Parent()->Parent());
  UpdateActionStatus();
}

// --- deleting --------------------------------------------------------------------------------------------------

void TFrmBaseTreeEditor::actDeleteExecute(TAction&) {
  TTreeListNode* node = dbTree->FocusedNode();
  if (!cdsTreeData->Active() || cdsTreeData->IsEmpty() || !node) return;
  if (Editing(*cdsTreeData) || cdsTreeData->ChangeCount() > 0) {
    ShowWarningMessage(MsgBox.get(), "请先保存或取消修改,再删除节点");
    Abort();
  }
  const std::vector<Variant> keys = dbTree->BranchKeys(node);
  if (std::any_of(keys.begin(), keys.end(), [](const Variant& key) { return key.AsInt64() < kFirstUserRow; })) {
    ShowWarningMessage(MsgBox.get(), "系统默认不能删除");
    Abort();
  }
  const std::string name = cdsTreeData->FieldByName("F_NAME").AsString();
  if (!ConfirmMessage(MsgBox.get(), "提示", "确定删除[" + name + "]及下级节点吗?")) Abort();
  // Another user may have added a node below the branch since it was read: it would lose its parent.
  const std::string list = KeyList(keys);
  std::unique_ptr<TClientDataSet> others = DBAccess->OpenSQL("SELECT COUNT(*) AS F_COUNT FROM " + FTableName +
                                                             " WHERE F_PARENTID IN (" + list + ") AND F_ID NOT IN (" +
                                                             list + ")");
  if (!others->IsEmpty() && others->Fields(0).AsLargeInt() > 0) {
    ShowWarningMessage(MsgBox.get(), "[" + name + "]下有其他用户新增的节点,请刷新后再删除");
    Abort();
  }
  dbTree->DeleteNode(node);
  try {
    DBAccess->ApplyUpdates(*cdsTreeData, FTableName);
  } catch (const EAbort&) {
    cdsTreeData->CancelUpdates();
    throw;
  } catch (const std::exception& error) {
    // Nothing else was pending: the branch comes back as it was.
    cdsTreeData->CancelUpdates();
    ShowErrorMessage(MsgBox.get(), "删除失败\r\n失败原因：" + std::string(error.what()));
    Abort();
  }
  PublishCache();
  UpdateActionStatus();
  ShowTipMessage(MsgBox.get(), "删除成功");
}

// --- picking ---------------------------------------------------------------------------------------------------

void TFrmBaseTreeEditor::actSelectExecute(TAction&) {
  if (!dbTree->FocusedNode()) {
    ShowWarningMessage(MsgBox.get(), "请选择一条记录");
    Abort();
  }
  SetModalResult(mrOk);
  if (!Modal()) Close();
}

TFrmBaseTreeEditor* ShowBaseTreeEditor(const std::string& caption, bool canSelectParent, const std::string& table) {
  TComponent& scope = Application();
  const std::string name = TPYHelper::GetShort(caption, false);
  auto reusable = [&caption](TComponent* component) -> TFrmBaseTreeEditor* {
    auto* form = dynamic_cast<TFrmBaseTreeEditor*>(component);
    return form && !form->Released() && form->Caption() == caption ? form : nullptr;
  };
  TFrmBaseTreeEditor* editor = reusable(scope.FindComponent(name));
  // Another caption may share the initials (区域资料 and 企业资料): look for this caption's own editor.
  for (int i = 0; !editor && i < scope.ComponentCount(); ++i) editor = reusable(scope.Components(i));
  if (!editor) {
    std::unique_ptr<TFrmBaseTreeEditor> made(CreateForm<TFrmBaseTreeEditor>(&scope));
    made->SetCaption(caption);
    made->Position = TPosition::poOwnerFormCenter;
    made->SetName(ScreenName(scope, caption));
    made->SetTableName(table);
    made->SetCustomTree(true);
    made->DoOnShow();
    editor = made.release();
  }
  editor->SetCanSelectParent(canSelectParent);
  return editor;
}

}  // namespace jxc
