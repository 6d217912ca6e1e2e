#include "editors/UnitFrmBaseDlgEditor.h"

#include "editors/UnitEditorUtils.h"
#include "foundation/DBIntf.h"
#include "foundation/UnitPublicUtils.h"
#include "kernel/SysSvc.h"
#include "platform/Actions.h"
#include "platform/DataSource.h"
#include "platform/Exceptions.h"
#include "platform/StdCtrls.h"
#include "platform/Text.h"

namespace jxc {

namespace {

bool CopiedByCopyAdd(const std::string& fieldName) {
  return !SameText(fieldName, "F_ID") && !SameText(fieldName, "F_CODE") && !SameText(fieldName, "F_NAME");
}

}  // namespace

TFrmBaseDlgEditor::TFrmBaseDlgEditor(TComponent* owner) : TFrmBaseDlg(owner) {
  SetCaption("FrmBaseDlgEditor");
  actCopyAdd = ActionDlg->AddAction("actCopyAdd", "复制新增(&A)");
  actBack = ActionDlg->AddAction("actBack", "返回");
  actCopyAdd->OnExecute = [this](TAction& sender) { actCopyAddExecute(sender); };
  actBack->OnExecute = [this](TAction& sender) { actBackExecute(sender); };

  btnCopyAdd = NewControl<TButton>(this, "btnCopyAdd", grpOperation);
  btnCopyAdd->SetAction(actCopyAdd);

  lblTitle = NewControl<TLabel>(this, "lblTitle", this);
  lblTitle->Align = TAlign::alTop;

  dsMain = new TDataSource(this);
  dsMain->SetName("dsMain");
}

void TFrmBaseDlgEditor::SetDisplayTitle(const std::string& title) {
  FDisplayTitle = title;
  lblTitle->SetCaption(title);
  SetCaption(title);
}

void TFrmBaseDlgEditor::SetDataSet(TDataSet* dataSet) { dsMain->SetDataSet(dataSet); }

TDataSet* TFrmBaseDlgEditor::DataSet() const { return dsMain->DataSet(); }

bool TFrmBaseDlgEditor::DoSave() {
  TDataSet* record = DataSet();
  if (!record || !record->Active()) return false;
  try {
    // Leaving the focused editor hands its text to the field.
    SetActiveControl(nullptr);
    if (record->State() == dsEdit || record->State() == dsInsert) record->Post();
    if (!FUpdateTable.empty()) {
      auto* changes = dynamic_cast<TClientDataSet*>(record);
      std::shared_ptr<IDBAccess> db = SysService::Get<IDBAccess>();
      if (!changes || !db) throw Exception("不能写入[" + FUpdateTable + "]");
      if (db->ApplyUpdates(*changes, FUpdateTable) < 0) throw Exception("数据未能写入[" + FUpdateTable + "]");
    }
  } catch (const EAbort&) {
    return false;
  } catch (const std::exception& error) {
    ShowErrorMessage(MsgBox.get(), SaveFailureText(error.what()));
    return false;
  }
  return true;
}

void TFrmBaseDlgEditor::actOKExecute() {
  if (DoSave()) TFrmBaseDlg::actOKExecute();
}

void TFrmBaseDlgEditor::actCopyAddExecute(TAction&) {
  if (!DoSave()) return;
  AppendCurrentRecord(*DataSet(), CopiedByCopyAdd);
  SelectNext(nullptr);
}

void TFrmBaseDlgEditor::actBackExecute(TAction&) {
  if (OnBackCallback) OnBackCallback(*this);
  SetisOK(mrCancel);
  if (!Modal()) Close();
}

void TFrmBaseDlgEditor::DoShow() {
  TFrmBaseDlg::DoShow();
  if (OnShowCallback) OnShowCallback(*this);
}

}  // namespace jxc
