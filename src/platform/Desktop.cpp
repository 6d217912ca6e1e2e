#include "platform/Desktop.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>

#include "platform/Exceptions.h"
#include "platform/Text.h"

namespace jxc {

namespace {

class ConsoleMessageBox : public IMessageBox {
 public:
  TMsgResult Show(const std::string& text, const std::string& title, TMsgButtons buttons, TMsgIcon icon,
                  bool topMost) override {
    std::fprintf(stderr, "[%s] %s\n", title.c_str(), text.c_str());
    return SafeAnswer(buttons);
  }
};

class CancellingSaveDialog : public ISaveFileDialog {
 public:
  TSaveDialogResult Execute(const TSaveDialogRequest&) override { return {}; }
};

class XdgShell : public IShell {
 public:
  bool OpenDocument(const std::string& path) override {
    if (FindProgram("xdg-open").empty()) return false;
    return std::system(("xdg-open " + ShellQuoted(path) + " >/dev/null 2>&1 &").c_str()) == 0;
  }
};

template <class I, class Default>
struct Installed {
  I* current = nullptr;
  I& Get() {
    static Default fallback;
    return current ? *current : fallback;
  }
  I* Set(I* next) {
    I* previous = current;
    current = next;
    return previous;
  }
};

Installed<IClipboard, TMemoryClipboard> clipboard;
Installed<IMessageBox, ConsoleMessageBox> messageBox;
Installed<ISaveFileDialog, CancellingSaveDialog> saveDialog;
Installed<IShell, XdgShell> shell;

}  // namespace

TMsgResult SafeAnswer(TMsgButtons buttons) {
  switch (buttons) {
    case TMsgButtons::YesNo: return TMsgResult::No;
    case TMsgButtons::OKCancel: case TMsgButtons::YesNoCancel: return TMsgResult::Cancel;
    case TMsgButtons::OK: break;
  }
  return TMsgResult::OK;
}

TMsgResult TScriptedMessageBox::Show(const std::string& text, const std::string& title, TMsgButtons buttons,
                                     TMsgIcon icon, bool topMost) {
  TMsgResult answer = SafeAnswer(buttons);
  if (!answers_.empty()) {
    answer = answers_.front();
    answers_.pop_front();
  }
  calls_.push_back({text, title, buttons, icon, topMost, answer});
  return answer;
}

TSaveDialogResult TScriptedSaveDialog::Execute(const TSaveDialogRequest& request) {
  requests_.push_back(request);
  if (results_.empty()) return {};
  TSaveDialogResult result = results_.front();
  results_.pop_front();
  return result;
}

std::string ShellQuoted(const std::string& text) { return "'" + StringReplace(text, "'", "'\\''") + "'"; }

std::string FindProgram(const std::string& name) {
  const char* path = std::getenv("PATH");
  for (const std::string& folder : SplitString(path ? path : "", ":")) {
    if (folder.empty()) continue;
    std::string candidate = folder + "/" + name;
    if (::access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return "";
}

IClipboard& Clipboard() { return clipboard.Get(); }
IClipboard* SetClipboard(IClipboard* c) { return clipboard.Set(c); }
IMessageBox& MessageBox() { return messageBox.Get(); }
IMessageBox* SetMessageBox(IMessageBox* box) { return messageBox.Set(box); }
ISaveFileDialog& SaveFileDialog() { return saveDialog.Get(); }
ISaveFileDialog* SetSaveFileDialog(ISaveFileDialog* dialog) { return saveDialog.Set(dialog); }
IShell& Shell() { return shell.Get(); }
IShell* SetShell(IShell* s) { return shell.Set(s); }

std::string NewTempFileName(const std::string& extension) {
  std::string pattern = (std::filesystem::temp_directory_path() / "jxcXXXXXX").string() + extension;
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  int fd = ::mkstemps(name.data(), static_cast<int>(extension.size()));
  if (fd < 0) throw Exception("无法创建临时文件");
  ::close(fd);
  return name.data();
}

}  // namespace jxc
