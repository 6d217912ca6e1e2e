#pragma once
// An editor panel: a frame with a page control whose first page "基本信息" holds the record's editors,
// and a balloon hint that points at an editor to explain a refusal (it appears 200 ms after it is asked
// for and hides 1.5 seconds later).

#include <string>

#include "editors/UnitFrameBase.h"

namespace jxc {

class TBalloonHint;
class TControl;
class TPageControl;
class TTabSheet;

class TFrameBaseEditor : public TFrameBase {
 public:
  explicit TFrameBaseEditor(TComponent* owner = nullptr);
  std::string ClassName() const override { return "TFrameBaseEditor"; }

  TPageControl* pgcFrameMain;
  TTabSheet* tsBaseInfo;  // "基本信息"
  TBalloonHint* FBalloonHint;

  // Shows the balloon hint with the title and text pointing at the control.
  void MsgBoxHint(TControl* control, const std::string& title, const std::string& text, int imageIndex = -1);
  // Selects the first page.
  void DoShow() override;
};

}  // namespace jxc
