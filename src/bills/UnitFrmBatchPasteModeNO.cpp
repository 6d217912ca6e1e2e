#include "bills/UnitFrmBatchPasteModeNO.h"

#include <memory>
#include <unordered_set>

#include "editors/UnitEditorUtils.h"
#include "foundation/DBIntf.h"
#include "kernel/SysSvc.h"
#include "platform/Actions.h"
#include "platform/Application.h"
#include "platform/DataSet.h"
#include "platform/Exceptions.h"
#include "platform/ExtCtrls.h"
#include "platform/StdCtrls.h"
#include "platform/Text.h"

namespace jxc {

namespace {
constexpr const char* kRepeated = "重复";
}  // namespace

TFrmBatchPasteModeNO::TFrmBatchPasteModeNO(TComponent* owner) : TFrmBaseDlg(owner) {
  SetCaption("批量串号粘贴");
  grpModeNO = NewControl<TGroupBox>(this, "grpModeNO", this);
  grpModeNO->SetCaption("批量串号粘贴");
  grpModeNO->Align = TAlign::alClient;
  mmoModeNO = NewControl<TMemo>(this, "mmoModeNO", grpModeNO);
  mmoModeNO->Align = TAlign::alClient;
  mmoModeNO->CharCase = TEditCharCase::ecUpperCase;

  grpFailed = NewControl<TGroupBox>(this, "grpFailed", this);
  grpFailed->SetCaption("批量粘贴失败串号");
  grpFailed->Align = TAlign::alRight;
  mmo2 = NewControl<TMemo>(this, "mmo2", grpFailed);
  mmo2->Align = TAlign::alClient;
  mmo2->ReadOnly = true;
  mmo2->CharCase = TEditCharCase::ecLowerCase;

  ProgressBar = NewControl<TProgressBar>(this, "ProgressBar", this);
  ProgressBar->Align = TAlign::alBottom;
  ProgressBar->SetVisible(false);

  btnCancel->SetVisible(false);
}

void TFrmBatchPasteModeNO::DoShow() {
  TFrmBaseDlg::DoShow();
  // Ready for Ctrl+V.
  SetActiveControl(mmoModeNO);
}

void TFrmBatchPasteModeNO::Fail(std::string modeNO, std::string reason) {
  mmo2->AddLine(reason.empty() ? modeNO : modeNO + " " + reason);
  FFailed.push_back({std::move(modeNO), std::move(reason)});
}

void TFrmBatchPasteModeNO::Step(int done) {
  ProgressBar->Position = done;
  // The window answers now and then while a long paste runs.
  if (done % PumpEvery == 0) Application().ProcessMessages();
}

std::vector<std::string> TFrmBatchPasteModeNO::TakeModeNOs() {
  const std::vector<std::string> lines = mmoModeNO->Lines();
  ProgressBar->Text = "正在检查重复串号";
  ProgressBar->Min = 0;
  ProgressBar->Max = static_cast<int>(lines.size());
  ProgressBar->Position = 0;
  ProgressBar->SetVisible(true);
  std::vector<std::string> taken;
  std::unordered_set<std::string> seen;
  int done = 0;
  for (const std::string& line : lines) {
    const std::string typed = Trim(line);
    if (!typed.empty()) {
      std::string modeNO = UpperCase(typed);
      if (seen.insert(modeNO).second) taken.push_back(std::move(modeNO));
      else Fail(typed, kRepeated);
    }
    Step(++done);
  }
  return taken;
}

void TFrmBatchPasteModeNO::actOKExecute() {
  if (!FHandler.Paste) return;
  // Nothing pasted: nothing to decide and nothing to tell.
  if (mmoModeNO->Text().empty()) {
    TFrmBaseDlg::actOKExecute();
    return;
  }
  mmo2->ClearLines();
  FFailed.clear();
  FSuccessCount = 0;
  const std::vector<std::string> modeNOs = TakeModeNOs();
  const int count = static_cast<int>(modeNOs.size());
  ProgressBar->Max = count;
  ProgressBar->Position = 0;
  ProgressBar->Text.clear();
  if (count > 0) {
    if (FHandler.Prepare) FHandler.Prepare(modeNOs);
    std::shared_ptr<IDBAccess> db = SysService::Get<IDBAccess>();
    if (!db) throw Exception("没有数据库服务");
    std::unique_ptr<TClientDataSet> ids = db->GetNewIDList("", count + 2);
    ids->First();
    FSuccessCount = count;
    int done = 0;
    for (const std::string& modeNO : modeNOs) {
      const std::string rowID = ids->Eof() ? std::string() : ids->Fields(0).AsString();
      if (rowID.empty()) throw Exception("未能取得明细编号");
      std::string reason;
      bool taken = false;
      try {
        taken = FHandler.Paste(rowID, modeNO, reason);
      } catch (const EAbort&) {
        taken = false;
      } catch (const std::exception& error) {
        taken = false;
        reason = error.what();
      }
      if (!taken) {
        Fail(modeNO, reason);
        --FSuccessCount;
      }
      ids->Next();
      Step(++done);
    }
  }
  ShowWarningMessage(MsgBox.get(), "批量粘贴成功" + IntToStr(FSuccessCount) + "条,失败" +
                                       IntToStr(static_cast<int>(FFailed.size())) + "条");
  mmoModeNO->ClearLines();
  if (FFailed.empty()) TFrmBaseDlg::actOKExecute();
}

int ShowBatchPasteModeNO(TComponent* owner, TModeNOPasteHandler handler) {
  std::unique_ptr<TFrmBatchPasteModeNO> dialog(CreateForm<TFrmBatchPasteModeNO>(owner));
  dialog->SetPasteHandler(std::move(handler));
  return dialog->ShowModal();
}

}  // namespace jxc
