#pragma once
// Helpers of the export tests: a scratch folder, and the independent readers (python3 with xlrd, openpyxl
// and the standard XML and HTML parsers) run over a written file against the expected cells.

#include <filesystem>
#include <string>

#include "platform/ExportTable.h"

namespace jxc::testing {

// A fresh folder removed with everything in it at the end of the test.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  std::string File(const std::string& name) const { return (path_ / name).string(); }
  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// Output of a shell command (standard output and error).
std::string RunCommand(const std::string& command);

// Runs the reader for the format ("xls", "xlsx", "xml", "txt", "html") over the file and returns its
// verdict: "OK <cells compared>[ sheets <n>]" or the first mismatches.
std::string CheckExport(const std::string& format, const std::string& file, const ExportTable& table);

// The Debian python that carries the spreadsheet readers.
inline const char* kPython = "/usr/bin/python3";

}  // namespace jxc::testing
