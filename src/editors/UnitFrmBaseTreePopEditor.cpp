#include "editors/UnitFrmBaseTreePopEditor.h"

#include "editors/UnitEditorUtils.h"
#include "platform/Actions.h"
#include "platform/DBCtrls.h"
#include "platform/DBTreePopupEdit.h"
#include "platform/DataSource.h"
#include "platform/StdCtrls.h"
#include "platform/Text.h"

namespace jxc {

TFrmBaseTreePopEditor::TFrmBaseTreePopEditor(TComponent* owner) : TFrmBase(owner) {
  SetCaption("FrmBaseTreePopEditor");
  Position = TPosition::poOwnerFormCenter;
  dsMain = new TDataSource(this);
  dsMain->SetName("dsMain");
  cdsParent = new TClientDataSet(this);
  cdsParent->SetName("cdsParent");
  dsParent = new TDataSource(this);
  dsParent->SetName("dsParent");
  dsParent->SetDataSet(cdsParent);

  edtName = NewControl<TDBEdit>(this, "edtName", this);
  edtName->SetDataSource(dsMain);
  edtName->SetDataField("F_NAME");
  edtCode = NewControl<TDBEdit>(this, "edtCode", this);
  edtCode->SetDataSource(dsMain);
  edtCode->SetDataField("F_CODE");
  edtParent = NewControl<TDBTreePopupEdit>(this, "edtParent", this);
  edtParent->Tree().SetDisplayFields("F_NAME");
  edtParent->ParentsSelectable = true;
  edtParent->SetListSource(dsParent);
  edtParent->SetDataSource(dsMain);
  edtParent->SetDataField("F_PARENTID");

  alEditor = new TActionList(this);
  alEditor->SetName("alEditor");
  actOK = alEditor->AddAction("actOK", "确定");
  actOK->OnExecute = [this](TAction& sender) { actOKExecute(sender); };
  actCancel = alEditor->AddAction("actCancel", "取消");
  actCancel->OnExecute = [this](TAction& sender) { actCancelExecute(sender); };
  btnOK = NewControl<TButton>(this, "btnOK", this);
  btnOK->SetAction(actOK);
  btnCancel = NewControl<TButton>(this, "btnCancel", this);
  btnCancel->SetAction(actCancel);
}

TFrmBaseTreePopEditor::~TFrmBaseTreePopEditor() = default;

void TFrmBaseTreePopEditor::SetDataSet(TDataSet* dataSet) {
  dsMain->SetDataSet(dataSet);
  if (dataSet && dataSet->Active()) cdsParent->LoadFromDataSet(*dataSet);
  else cdsParent->Close();
}

void TFrmBaseTreePopEditor::SetTitle(std::string title) {
  FTitle = std::move(title);
  SetCaption(FTitle);
}

void TFrmBaseTreePopEditor::CloseWith(int result) {
  SetModalResult(result);
  if (!Modal()) Close();
}

void TFrmBaseTreePopEditor::actOKExecute(TAction&) {
  // Leaving the focused box hands its text to the row.
  SetActiveControl(nullptr);
  TDataSet* record = dsMain->DataSet();
  if (!record || !record->Active()) Abort();
  TField* name = record->FindField("F_NAME");
  if (!name || Trim(name->AsString()).empty()) {
    ShowErrorMessage(MsgBox.get(), "请填写名称");
    if (edtName->CanFocus()) edtName->SetFocus();
    Abort();
  }
  if (record->State() == dsEdit || record->State() == dsInsert) record->Post();
  CloseWith(mrOk);
}

void TFrmBaseTreePopEditor::actCancelExecute(TAction&) {
  TDataSet* record = dsMain->DataSet();
  if (record && (record->State() == dsEdit || record->State() == dsInsert)) record->Cancel();
  CloseWith(mrCancel);
}

}  // namespace jxc
