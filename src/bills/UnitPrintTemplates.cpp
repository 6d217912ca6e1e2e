#include "bills/UnitPrintTemplates.h"

#include <algorithm>
#include <filesystem>

#include "kernel/ModuleInfo.h"
#include "platform/Text.h"

namespace jxc {

namespace {
// As the screens name them on every system; the folder's separators become this system's.
constexpr const char* kTemplateFolder = "\\打印模板\\";
constexpr const char* kTemplatePattern = "*.rmf";
}  // namespace

std::string PrintTemplateFolder(const std::string& caption) {
  return ProgramFolder() + StringReplace(kTemplateFolder, "\\", "/") + caption;
}

std::vector<std::string> PrintTemplateFiles(const std::string& caption) {
  std::vector<std::string> files;
  std::error_code error;
  const std::filesystem::path folder = PrintTemplateFolder(caption);
  if (!std::filesystem::is_directory(folder, error)) return files;
  for (auto entry = std::filesystem::directory_iterator(folder, error);
       !error && entry != std::filesystem::directory_iterator(); entry.increment(error)) {
    if (!entry->is_regular_file(error)) continue;
    const std::string name = entry->path().filename().string();
    const std::string extension = std::string(kTemplatePattern).substr(1);
    if (EndsText(extension, name) && name.size() > extension.size()) files.push_back(name);
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::string PrintTemplatePath(const std::string& caption, const std::string& fileName) {
  return caption + "\\" + fileName;
}

}  // namespace jxc
