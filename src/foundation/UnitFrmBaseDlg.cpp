#include "foundation/UnitFrmBaseDlg.h"

#include "platform/Actions.h"
#include "platform/StdCtrls.h"
#include "platform/Timer.h"

namespace jxc {

TFrmBaseDlg::TFrmBaseDlg(TComponent* owner) : TFrmBase(owner) {
  SetCaption("FrmBaseDlg");
  KeyPreview = true;
  Position = TPosition::poMainFormCenter;

  ActionDlg = new TActionList(this);
  ActionDlg->SetName("ActionDlg");
  actInit = ActionDlg->AddAction("actInit", "初始化");
  actOK = ActionDlg->AddAction("actOK", "确定(&Y)");
  actOK->ImageIndex = 1;
  actCancel = ActionDlg->AddAction("actCancel", "取消(&C)");
  actCancel->ImageIndex = 0;
  actCheck = ActionDlg->AddAction("actCheck", "检查数据");
  actSave = ActionDlg->AddAction("actSave", "actSave");
  actInit->OnExecute = [this](TAction&) { actInitExecute(); };
  actOK->OnExecute = [this](TAction&) { actOKExecute(); };
  actCancel->OnExecute = [this](TAction&) { actCancelExecute(); };

  pnlBottom = new TPanel(this);
  pnlBottom->SetName("pnlBottom");
  pnlBottom->SetParent(this);
  pnlBottom->Align = TAlign::alBottom;
  pnlBottom->Height = 7;

  grpOperation = new TGroupBox(this);
  grpOperation->SetName("grpOperation");
  grpOperation->SetParent(this);
  grpOperation->Align = TAlign::alBottom;

  btnOK = new TButton(this);
  btnOK->SetName("btnOK");
  btnOK->SetParent(grpOperation);
  btnOK->SetAction(actOK);
  btnCancel = new TButton(this);
  btnCancel->SetName("btnCancel");
  btnCancel->SetParent(grpOperation);
  btnCancel->SetAction(actCancel);

  startTime = new TTimer(this);
  startTime->SetName("startTime");
  startTime->SetEnabled(false);
  startTime->SetInterval(500);
  startTime->SetOnTimer([this](TTimer&) { startTimeTimer(); });
}

TFrmBaseDlg::~TFrmBaseDlg() = default;

void TFrmBaseDlg::SetisOK(int value) {
  FisOK = value;
  SetModalResult(value);
}

void TFrmBaseDlg::actInitExecute() { startTime->SetEnabled(true); }

void TFrmBaseDlg::actOKExecute() { SetisOK(mrOk); }

void TFrmBaseDlg::actCancelExecute() { SetisOK(mrCancel); }

void TFrmBaseDlg::startTimeTimer() { startTime->SetEnabled(false); }

void TFrmBaseDlg::DoShow() {
  FisOK = 0;
  TFrmBase::DoShow();
}

void TFrmBaseDlg::KeyPress(char32_t& key) {
  if (key == 13 && dynamic_cast<TMemo*>(ActiveControl()) == nullptr) {
    key = 10;
    PostMessage(WM_KEYDOWN, VK_TAB, 0);
  }
  TFrmBase::KeyPress(key);
}

}  // namespace jxc
