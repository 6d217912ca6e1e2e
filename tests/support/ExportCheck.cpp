#include "support/ExportCheck.h"

#include <array>
#include <cstdio>
#include <fstream>
#include <random>

#include <nlohmann/json.hpp>

#include "platform/Desktop.h"
#include "platform/Format.h"
#include "platform/OfficeConversion.h"

namespace jxc::testing {

ScratchFolder::ScratchFolder() {
  std::random_device random;
  path_ = std::filesystem::temp_directory_path() / ("jxc-export-" + std::to_string(random()));
  std::filesystem::create_directories(path_);
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string RunCommand(const std::string& command) {
  std::string output;
  if (FILE* pipe = popen((command + " 2>&1").c_str(), "r")) {
    std::array<char, 4096> buffer;
    size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) output.append(buffer.data(), n);
    pclose(pipe);
  }
  while (!output.empty() && output.back() == '\n') output.pop_back();
  return output;
}

namespace {

// The value a reader should find: text, a number, or a date written out.
nlohmann::json ExpectedValue(const ExportColumn& column, const Variant& value) {
  if (value.IsNullOrEmpty()) return nullptr;
  if (IsTextCell(column, value)) return SpreadsheetCellTextUtf8(value.ToString());
  switch (column.Kind) {
    case ExportKind::Text: break;
    case ExportKind::Number: return value.AsDouble();
    case ExportKind::Currency: return value.AsCurrency().ToDouble();
    case ExportKind::Date: return FormatDateTime("yyyy-mm-dd", value.AsDateTime());
    case ExportKind::DateTime: return FormatDateTime("yyyy-mm-dd hh:nn:ss", value.AsDateTime());
  }
  return nullptr;
}

std::string WriteExpected(const std::string& file, const ExportTable& table) {
  nlohmann::json expected;
  for (const auto& column : table.Columns()) {
    expected["captions"].push_back(column.Caption);
    expected["kinds"].push_back(ExportKindName(column.Kind));
    expected["formats"].push_back(SpreadsheetFormatCode(column));
  }
  expected["rows"] = nlohmann::json::array();
  for (size_t r = 0; r < table.RowCount(); ++r) {
    nlohmann::json row = nlohmann::json::array();
    for (size_t c = 0; c < table.ColumnCount(); ++c) {
      const auto& column = table.Columns()[c];
      const Variant& value = table.Value(r, c);
      row.push_back({ExpectedValue(column, value), ExportDisplayText(column, value), IsTextCell(column, value)});
    }
    expected["rows"].push_back(std::move(row));
  }
  std::string expectedFile = file + ".expected.json";
  std::ofstream(expectedFile) << expected.dump();
  return expectedFile;
}

std::string RunChecker(const std::string& format, const std::string& file, const std::string& expectedFile) {
  std::string script = std::string(JXC_SOURCE_DIR) + "/tests/support/export_check.py";
  return RunCommand(std::string(kPython) + " " + ShellQuoted(script) + " " + format + " " + ShellQuoted(file) + " " +
                    ShellQuoted(expectedFile));
}

}  // namespace

std::string CheckExport(const std::string& format, const std::string& file, const ExportTable& table) {
  return RunChecker(format, file, WriteExpected(file, table));
}

bool OfficeInstalled() { return !FindOfficeProgram().empty(); }
bool PdfTextInstalled() { return !FindProgram("pdftotext").empty(); }

std::string CheckInOffice(const std::string& format, const std::string& file, const ExportTable& table) {
  const std::string program = FindOfficeProgram();
  if (program.empty()) return kNoOffice;
  OfficeConversion how;
  how.Target = "xlsx";
  how.TimeoutSeconds = 180;
  // Tab-separated, quotes around text, UTF-8, from line 1, language en-US, quoted text not forced to
  // text, special numbers detected, ..., formulas evaluated: what opening the file in a spreadsheet does.
  if (format == "txt") how.ImportFilter = "Text - txt - csv (StarCalc):9,34,76,1,,1033,false,true,false,false,false,-1,true";
  if (format == "html") how.ImportFilter = "HTML (StarCalc)";
  const std::string folder = file + ".opened";
  std::filesystem::create_directories(folder);
  if (!ConvertWithOffice(program, {file}, folder, how)) return "LibreOffice could not open " + file;
  return RunChecker("office-" + format, ConvertedFileName(file, folder, how.Target), WriteExpected(file, table));
}

std::vector<std::string> PdfPageTexts(const std::string& pdf) {
  std::string text = RunCommand("pdftotext -layout -enc UTF-8 " + ShellQuoted(pdf) + " -");
  std::vector<std::string> pages;
  size_t from = 0;
  for (size_t at = text.find('\f'); at != std::string::npos; at = text.find('\f', from)) {
    pages.push_back(text.substr(from, at - from));
    from = at + 1;
  }
  if (from < text.size() && text.find_first_not_of(" \n", from) != std::string::npos) pages.push_back(text.substr(from));
  return pages;
}

}  // namespace jxc::testing
