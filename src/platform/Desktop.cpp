#include "platform/Desktop.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "platform/Exceptions.h"
#include "platform/Text.h"

namespace jxc {

namespace {

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
Installed<IShell, XdgShell> shell;

}  // namespace

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
