#pragma once
// Helpers of the export tests: a scratch folder, and the independent readers (python3 with xlrd, openpyxl
// and the standard XML and HTML parsers) run over a written file against the expected cells.

#include <filesystem>
#include <string>
#include <vector>

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

// --- as a spreadsheet program shows them ------------------------------------------------------------------
// Tests that need LibreOffice or poppler skip with these lines where they are missing.
inline const char* kNoOffice =
    "skipped: LibreOffice is not installed (Debian package libreoffice-calc-nogui, installed by scripts/setup.sh)";
inline const char* kNoPdfText =
    "skipped: pdftotext is not installed (Debian package poppler-utils, installed by scripts/setup.sh)";
bool OfficeInstalled();
bool PdfTextInstalled();

// Opens the exported file in LibreOffice as a person would (a ".txt" as tab-separated UTF-8 text with
// formulas evaluated, an ".html" through the spreadsheet's HTML import, the others by their content),
// saves what it shows as ".xlsx" and checks that against the table: "OK <cells compared> sheets <n>" or
// the first mismatches (see export_check.py). Each conversion is bounded in time.
std::string CheckInOffice(const std::string& format, const std::string& file, const ExportTable& table);

// The text of each page of a PDF, in order (pdftotext, layout kept).
std::vector<std::string> PdfPageTexts(const std::string& pdf);

}  // namespace jxc::testing
