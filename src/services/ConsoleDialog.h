#pragma once
// A dialog service for programs run in a terminal: messages are written as lines with their kind, and a
// question waits for a line of input (y or 是 for yes; anything else, or the end of input, is no).

#include <iosfwd>

#include "foundation/DialogIntf.h"

namespace jxc {

class TConsoleDialog : public IDialog {
 public:
  // The streams are not owned and must outlive the service.
  TConsoleDialog(std::istream& in, std::ostream& out) : in_(in), out_(out) {}
  // On the process's standard input and output.
  TConsoleDialog();

  void ShowWarning(const std::string& text) override;
  void ShowInfo(const std::string& text) override;
  void ShowError(const std::string& text) override;
  void ShowException(const std::exception& error) override;
  void ShowTip(const std::string& text, double seconds) override;
  bool Confirm(const std::string& caption, const std::string& text) override;

 private:
  std::istream& in_;
  std::ostream& out_;
};

}  // namespace jxc
