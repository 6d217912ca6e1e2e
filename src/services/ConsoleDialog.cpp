#include "services/ConsoleDialog.h"

#include <iostream>
#include <string>

#include "platform/Text.h"

namespace jxc {

TConsoleDialog::TConsoleDialog() : TConsoleDialog(std::cin, std::cout) {}

void TConsoleDialog::ShowWarning(const std::string& text) { out_ << "[警告] " << text << '\n' << std::flush; }
void TConsoleDialog::ShowInfo(const std::string& text) { out_ << "[信息] " << text << '\n' << std::flush; }
void TConsoleDialog::ShowError(const std::string& text) { out_ << "[错误] " << text << '\n' << std::flush; }
void TConsoleDialog::ShowException(const std::exception& error) {
  out_ << "[错误] " << error.what() << '\n' << std::flush;
}
void TConsoleDialog::ShowTip(const std::string& text, double seconds) { out_ << "[提示] " << text << '\n' << std::flush; }

bool TConsoleDialog::Confirm(const std::string& caption, const std::string& text) {
  out_ << "[" << caption << "] " << text << " (y/n) " << std::flush;
  std::string line;
  if (!std::getline(in_, line)) {
    out_ << '\n' << std::flush;
    return false;
  }
  const std::string answer = Trim(line);
  return SameText(answer, "y") || SameText(answer, "yes") || answer == "是";
}

}  // namespace jxc
