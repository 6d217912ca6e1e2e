#include "kernel/ModuleInfo.h"

#include <dlfcn.h>

#include <filesystem>

namespace jxc {

std::string ModuleFileName() {
  std::error_code ec;
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&ModuleFileName), &info) != 0 && info.dli_fname && *info.dli_fname) {
    auto path = std::filesystem::canonical(info.dli_fname, ec);
    if (!ec) return path.string();
  }
  auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : self.string();
}

std::string ModuleBaseName() { return std::filesystem::path(ModuleFileName()).filename().string(); }

namespace {
std::string& ProgramFolderSetting() {
  static std::string folder;
  return folder;
}
}  // namespace

std::string ProgramFolder() {
  if (!ProgramFolderSetting().empty()) return ProgramFolderSetting();
  return std::filesystem::path(ModuleFileName()).parent_path().string();
}

std::string SetProgramFolder(std::string folder) {
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  std::string previous = std::move(ProgramFolderSetting());
  ProgramFolderSetting() = std::move(folder);
  return previous;
}

}  // namespace jxc
