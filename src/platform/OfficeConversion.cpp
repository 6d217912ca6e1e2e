#include "platform/OfficeConversion.h"

#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "platform/Desktop.h"

namespace jxc {

namespace fs = std::filesystem;

namespace {

// The profile folder of this process, removed with everything in it when the process ends.
class ProfileFolder {
 public:
  ProfileFolder() : path_(fs::temp_directory_path() / ("jxc-office-" + std::to_string(::getpid()))) {}
  ~ProfileFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  ProfileFolder(const ProfileFolder&) = delete;
  ProfileFolder& operator=(const ProfileFolder&) = delete;
  const fs::path& Path() const { return path_; }

 private:
  fs::path path_;
};

const fs::path& OwnProfile() {
  static ProfileFolder folder;
  return folder.Path();
}

std::string FileUrl(const std::string& path) {
  std::string url = "file://";
  for (char c : path) {
    auto byte = static_cast<unsigned char>(c);
    if (std::isalnum(byte) || c == '/' || c == '-' || c == '.' || c == '_' || c == '~') {
      url += c;
    } else {
      char escaped[4];
      std::snprintf(escaped, sizeof escaped, "%%%02X", byte);
      url += escaped;
    }
  }
  return url;
}

}  // namespace

std::string FindOfficeProgram() {
  std::string program = FindProgram("soffice");
  return program.empty() ? FindProgram("libreoffice") : program;
}

std::string ConvertedFileName(const std::string& file, const std::string& folder, const std::string& target) {
  return (fs::path(folder) / fs::path(file).stem()).string() + "." + target.substr(0, target.find(':'));
}

bool ConvertWithOffice(const std::string& program, const std::vector<std::string>& files, const std::string& folder,
                       const OfficeConversion& how) {
  for (const std::string& file : files) fs::remove(ConvertedFileName(file, folder, how.Target));
  std::string command;
  // timeout ends the whole process group it leads: the program and what it started.
  const std::string timeout = FindProgram("timeout");
  if (!timeout.empty()) command = ShellQuoted(timeout) + " -k 10 " + std::to_string(how.TimeoutSeconds) + " ";
  command += ShellQuoted(program) + " " + ShellQuoted("-env:UserInstallation=" + FileUrl(OwnProfile().string())) +
             " --headless --invisible --norestore --nologo --nodefault --nolockcheck";
  if (!how.ImportFilter.empty()) command += " " + ShellQuoted("--infilter=" + how.ImportFilter);
  command += " --convert-to " + ShellQuoted(how.Target) + " --outdir " + ShellQuoted(folder);
  for (const std::string& file : files) command += " " + ShellQuoted(file);
  command += " </dev/null >/dev/null 2>&1";
  if (std::system(command.c_str()) != 0) return false;
  for (const std::string& file : files)
    if (!fs::exists(ConvertedFileName(file, folder, how.Target))) return false;
  return true;
}

}  // namespace jxc
