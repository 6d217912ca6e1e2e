#include "editors/UnitFrameBaseEditor.h"

#include "editors/UnitEditorUtils.h"
#include "platform/ExtCtrls.h"
#include "platform/StdCtrls.h"

namespace jxc {

namespace {
constexpr int kHintDelay = 200;
constexpr int kHintHideAfter = 1500;
}  // namespace

TFrameBaseEditor::TFrameBaseEditor(TComponent* owner) : TFrameBase(owner) {
  pgcFrameMain = NewControl<TPageControl>(this, "pgcFrameMain", pnlContent);
  pgcFrameMain->Align = TAlign::alClient;
  tsBaseInfo = pgcFrameMain->AddPage("基本信息", this);
  tsBaseInfo->SetName("tsBaseInfo");
  pgcFrameMain->SetActivePage(tsBaseInfo);
  FBalloonHint = new TBalloonHint(this);
  FBalloonHint->SetName("FBalloonHint");
  FBalloonHint->Delay = kHintDelay;
  FBalloonHint->HideAfter = kHintHideAfter;
}

void TFrameBaseEditor::MsgBoxHint(TControl* control, const std::string& title, const std::string& text, int imageIndex) {
  FBalloonHint->ShowHint(control, title, text, imageIndex);
}

void TFrameBaseEditor::DoShow() {
  if (pgcFrameMain->PageCount() > 0) pgcFrameMain->SetActivePageIndex(0);
}

}  // namespace jxc
