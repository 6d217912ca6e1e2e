#include "editors/UnitFrmBaseDataEditor.h"

#include <utility>

#include "editors/UnitEditorUtils.h"
#include "editors/UnitRecordCheck.h"
#include "foundation/HostServicesIntf.h"
#include "foundation/UnitFunctionConfig.h"
#include "foundation/UnitPublicUtils.h"
#include "kernel/SysSvc.h"
#include "platform/Actions.h"
#include "platform/DBCtrls.h"
#include "platform/DataSource.h"
#include "platform/Exceptions.h"
#include "platform/StdCtrls.h"
#include "platform/Text.h"

namespace jxc {

namespace {

bool Editing(const TDataSet& dataSet) { return dataSet.State() == dsEdit || dataSet.State() == dsInsert; }

// Copy-add starts the next record from the saved one, but a record's identity is its own.
bool CopiedByCopyAdd(const std::string& fieldName) {
  return !SameText(fieldName, "F_ID") && !SameText(fieldName, "F_CODE") && !SameText(fieldName, "F_NAME");
}

}  // namespace

TFrmBaseDataEditor::TFrmBaseDataEditor(TComponent* owner) : TFrmBase(owner) {
  SetCaption("FrmBaseDataEditor");
  Position = TPosition::poMainFormCenter;

  alEditor = new TActionList(this);
  alEditor->SetName("alEditor");
  actOK = alEditor->AddAction("actOK", "确定(&O)");
  actCancel = alEditor->AddAction("actCancel", "取消(&C)");
  actCopyAdd = alEditor->AddAction("actCopyAdd", "复制新增(&A)");
  actOK->OnExecute = [this](TAction& sender) { actOKExecute(sender); };
  actCancel->OnExecute = [this](TAction& sender) { actCancelExecute(sender); };
  actCopyAdd->OnExecute = [this](TAction& sender) { actCopyAddExecute(sender); };

  auto button = [this](const char* name, TAction* action) {
    auto* made = NewControl<TButton>(this, name, this);
    made->SetAction(action);
    return made;
  };
  btnOK = button("btnOK", actOK);
  btnCopyAdd = button("btnCopyAdd", actCopyAdd);
  btnCancel = button("btnCancel", actCancel);

  cdsMain = new TClientDataSet(this);
  cdsMain->SetName("cdsMain");
  cdsMain->OnNewRecord = [this](TDataSet& dataSet) { cdsMainNewRecord(dataSet); };
  dsMain = new TDataSource(this);
  dsMain->SetName("dsMain");
  dsMain->SetDataSet(cdsMain);
}

TFrmBaseDataEditor::~TFrmBaseDataEditor() {
  cdsMain->OnNewRecord = nullptr;
  DestroyComponents();
}

// --- steps ---------------------------------------------------------------------------------------------------

void TFrmBaseDataEditor::DoInit() {
  DBAccess = SysService::Get<IDBAccess>();
  std::shared_ptr<ILocalDB> local = SysService::Get<ILocalDB>();
  if (!local) throw Exception("没有本地配置服务, 无法读取[" + Caption() + "]的功能配置");
  const TFunctionConfig config = ReadFunctionConfig(*local, this, Caption(), TFunctionLookup::DataEditor);
  FID = config.Params.F_ID;
  FCode = config.Params.F_CODE;
  FGridName = config.Params.F_GridConfig;
  FData = config.Params.F_Data;
  FTableName = config.Params.F_UpdateTable;
}

std::string TFrmBaseDataEditor::Table() const {
  const std::string table = FTableName.empty() ? FData : FTableName;
  if (table.empty()) throw Exception("[" + Caption() + "]没有配置数据表");
  return table;
}

void TFrmBaseDataEditor::DoQuery(int64_t id) {
  if (!DBAccess) throw Exception("没有数据库服务");
  DBAccess->OpenDataSet(*cdsMain, "SELECT * FROM " + Table() + " WHERE F_ID = " + IntToStr(id));
}

void TFrmBaseDataEditor::DoAdd(int64_t id, const TFieldValues& values, TDataEditorCallback callback) {
  FCallback = std::move(callback);
  DoQuery(id);
  if (!cdsMain->IsEmpty()) return;
  cdsMain->Append();
  for (const auto& [name, value] : values)
    if (TField* field = cdsMain->FindField(name)) field->SetValue(value);
}

void TFrmBaseDataEditor::DoEdit(int64_t id, TDataEditorCallback callback) {
  FCallback = std::move(callback);
  DoQuery(id);
  if (cdsMain->IsEmpty()) throw Exception("记录不存在");
  cdsMain->Edit();
}

void TFrmBaseDataEditor::DoCheck() {
  std::shared_ptr<ILocalDB> local = SysService::Get<ILocalDB>();
  TRecordCheck check({DBAccess.get(), MsgBox.get(), local.get(), this, Caption(), FID, Table()});
  check.Check(*cdsMain);
}

bool TFrmBaseDataEditor::DoSave() {
  if (!DBAccess) throw Exception("没有数据库服务");
  return DBAccess->ApplyUpdates(*cdsMain, Table()) >= 0;
}

void TFrmBaseDataEditor::cdsMainNewRecord(TDataSet& dataSet) {
  if (!DBAccess) throw Exception("没有数据库服务");
  FillNewRecordDefaults(dataSet, *DBAccess, Caption(), Table());
}

// --- OK, Cancel, Copy-add -------------------------------------------------------------------------------------

bool TFrmBaseDataEditor::HasChanges() const {
  if (!cdsMain->Active()) return false;
  return (Editing(*cdsMain) && cdsMain->Modified()) || cdsMain->ChangeCount() > 0;
}

void TFrmBaseDataEditor::SaveRecord() {
  if (!cdsMain->Active() || (cdsMain->IsEmpty() && !Editing(*cdsMain))) Abort();
  // Leaving the focused control hands its text to the field; a value it refuses keeps the focus there.
  SetActiveControl(nullptr);
  const bool inserted = cdsMain->State() == dsInsert || cdsMain->UpdateStatus() == usInserted;
  auto backToEdit = [this] {
    if (cdsMain->State() == dsBrowse && !cdsMain->IsEmpty()) cdsMain->Edit();
  };
  try {
    DoCheck();
    if (Editing(*cdsMain)) cdsMain->Post();
    if (!DoSave()) throw Exception("数据未能写入[" + Table() + "]");
  } catch (const EAbort&) {
    backToEdit();
    throw;
  } catch (const std::exception& error) {
    ShowErrorMessage(MsgBox.get(), SaveFailureText(error.what()));
    backToEdit();
    Abort();
  }
  ShowInfoMessage(MsgBox.get(), "保存成功");
  if (FCallback) FCallback(*cdsMain, inserted ? usInserted : usModified);
}

void TFrmBaseDataEditor::CloseWith(int result) {
  SetModalResult(result);
  if (!Modal()) Close();
}

void TFrmBaseDataEditor::actOKExecute(TAction&) {
  SaveRecord();
  CloseWith(mrOk);
}

void TFrmBaseDataEditor::actCancelExecute(TAction&) {
  if (HasChanges()) {
    if (!ConfirmMessage(MsgBox.get(), "提示", "您正在编辑数据,确定放弃吗?")) Abort();
    cdsMain->CancelUpdates();
  }
  CloseWith(mrCancel);
}

void TFrmBaseDataEditor::actCopyAddExecute(TAction&) {
  SaveRecord();
  if (std::shared_ptr<ICommonUtils> utils = SysService::Get<ICommonUtils>())
    utils->CopyAppendRecord(*cdsMain, CopiedByCopyAdd);
  else
    AppendCurrentRecord(*cdsMain, CopiedByCopyAdd);
}

// --- helpers ---------------------------------------------------------------------------------------------------

void TFrmBaseDataEditor::GetLookupData(TLookupComboBox& lookupBox, const std::string& sql) {
  if (!DBAccess) throw Exception("没有数据库服务");
  auto* list = new TClientDataSet(this);
  auto* source = new TDataSource(this);
  source->SetDataSet(list);
  DBAccess->OpenDataSet(*list, sql);
  lookupBox.SetListSource(source);
}

void TFrmBaseDataEditor::DataSetFillList(TDataSet& dataSet, const std::string& fieldName,
                                         std::vector<std::string>& strings) {
  if (!dataSet.Active()) return;
  const TField& field = dataSet.FieldByName(fieldName);
  for (dataSet.First(); !dataSet.Eof(); dataSet.Next()) strings.push_back(field.AsString());
}

std::string TFrmBaseDataEditor::SbcToDbc(std::string_view text) {
  std::u32string wide = Utf8ToUtf32(text);
  for (char32_t& c : wide) {
    if (c == 0x3000) c = U' ';
    else if (c >= 0xFF01 && c <= 0xFF5E) c -= 0xFEE0;
  }
  return Utf32ToUtf8(wide);
}

// --- launcher --------------------------------------------------------------------------------------------------

TDataEditorLauncher::TDataEditorLauncher(std::string caption, Creator creator)
    : caption_(std::move(caption)), creator_(std::move(creator)) {}

bool TDataEditorLauncher::Run(TComponent* owner,
                              const std::function<void(TFrmBaseDataEditor&, const TDataEditorCallback&)>& open,
                              const TDataEditorCallback& callback) {
  std::unique_ptr<TFrmBaseDataEditor> editor(creator_(owner));
  if (!editor) throw Exception("[" + caption_ + "]没有编辑窗口");
  bool saved = false;
  const TDataEditorCallback report = [&saved, &callback](TDataSet& record, TUpdateStatus status) {
    saved = true;
    if (callback) callback(record, status);
  };
  editor->SetCaption(caption_);
  editor->DoInit();
  open(*editor, report);
  editor->ShowModelForm();
  return saved;
}

bool TDataEditorLauncher::AddRecord(TComponent* owner, const TFieldValues& values, const TDataEditorCallback& callback) {
  return Run(owner, [&values](TFrmBaseDataEditor& editor, const TDataEditorCallback& report) {
    editor.DoAdd(0, values, report);
  }, callback);
}

bool TDataEditorLauncher::EditRecord(TComponent* owner, int64_t id, const TDataEditorCallback& callback) {
  return Run(owner, [id](TFrmBaseDataEditor& editor, const TDataEditorCallback& report) {
    editor.DoEdit(id, report);
  }, callback);
}

}  // namespace jxc
