#pragma once
// A wait window that only remembers: whether it is showing, with which text, and every call in order.
// Showing it again while shown replaces the text; hiding it when hidden is harmless.

#include <string>
#include <vector>

#include "foundation/ProgressFormIntf.h"

namespace jxc {

class TRecordingProgressForm : public IProgressForm {
 public:
  void ShowProgress(const std::string& text, bool flag = false) override;
  void HideProgress() override;

  bool Showing() const { return showing_; }
  // The text last shown (kept after hiding).
  const std::string& Text() const { return text_; }

  struct TCall {
    bool Show;         // false: HideProgress
    std::string Text;  // ShowProgress only
  };
  const std::vector<TCall>& Calls() const { return calls_; }
  // Texts of the ShowProgress calls, in order.
  std::vector<std::string> ShownTexts() const;
  void Clear() { calls_.clear(); }

 private:
  bool showing_ = false;
  std::string text_;
  std::vector<TCall> calls_;
};

}  // namespace jxc
