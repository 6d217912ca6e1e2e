#include "foundation/UnitFrmBase.h"

#include "kernel/SysSvc.h"
#include "platform/Exceptions.h"

namespace jxc {

TFrmBase::TFrmBase(TComponent* owner) : TForm(owner) { SetCaption("基类窗体"); }

TFrmBase::~TFrmBase() = default;

TCustomForm* TFrmBase::GetInstance() { return this; }

void TFrmBase::ShowForm() { throw EAbstractError(); }

int TFrmBase::ShowModelForm() { return ShowModal(); }

TDataSet* TFrmBase::GetMainDataSet() { return nullptr; }

TActionList* TFrmBase::GetActionList() { return nullptr; }

void TFrmBase::DoOnShow() {}

void TFrmBase::ViewRecordByID(const std::string& id) {}

void TFrmBase::ViewRecordByCode(const std::string& code) {}

void TFrmBase::FormCreate() {
  MsgBox = SysService::Get<IDialog>();
  FCacheHelper = SysService::Get<ICache>();
}

void TFrmBase::FormClose(TCloseAction& action) {
  if (FormStyle == TFormStyle::fsMDIChild) action = TCloseAction::caFree;
}

void TFrmBase::DoCreate() {
  FormCreate();
  TForm::DoCreate();
}

void TFrmBase::DoClose(TCloseAction& action) {
  FormClose(action);
  TForm::DoClose(action);
}

}  // namespace jxc
