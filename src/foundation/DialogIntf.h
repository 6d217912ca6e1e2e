#pragma once
// The host's dialog service, held by every screen in MsgBox. All calls are modal except ShowTip.

#include <exception>
#include <string>

namespace jxc {

class IDialog {
 public:
  static constexpr const char* IID = "{54C2C486-0AE0-403B-86E6-62914F7DCCCD}";
  virtual ~IDialog() = default;

  virtual void ShowWarning(const std::string& text) = 0;
  virtual void ShowInfo(const std::string& text) = 0;
  virtual void ShowError(const std::string& text) = 0;
  // Shows the exception's message.
  virtual void ShowException(const std::exception& error) = 0;
  // A tip that closes itself after the given seconds (1.5 at every call of the screens).
  virtual void ShowTip(const std::string& text, double seconds) = 0;
  // True when the user answers yes. The caption is the screen's caption or "提示".
  virtual bool Confirm(const std::string& caption, const std::string& text) = 0;
};

}  // namespace jxc
