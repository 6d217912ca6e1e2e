#pragma once
// The host's wait window, shown during long saves, audits and queries.

#include <string>

namespace jxc {

class IProgressForm {
 public:
  static constexpr const char* IID = "{B5D75EE6-AA74-461F-817F-2944C4D7A2AE}";
  virtual ~IProgressForm() = default;

  // Shows a non-modal wait window with the text.
  virtual void ShowProgress(const std::string& text, bool flag = false) = 0;
  virtual void HideProgress() = 0;
};

}  // namespace jxc
