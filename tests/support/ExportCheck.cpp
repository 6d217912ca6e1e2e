#include "support/ExportCheck.h"

#include <array>
#include <cstdio>
#include <fstream>
#include <random>

#include <nlohmann/json.hpp>

#include "platform/Format.h"

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
nlohmann::json ExpectedValue(ExportKind kind, const Variant& value) {
  if (value.IsNullOrEmpty()) return nullptr;
  switch (kind) {
    case ExportKind::Text: return SpreadsheetCellTextUtf8(value.ToString());
    case ExportKind::Number: return value.AsDouble();
    case ExportKind::Currency: return value.AsCurrency().ToDouble();
    case ExportKind::Date: return FormatDateTime("yyyy-mm-dd", value.AsDateTime());
    case ExportKind::DateTime: return FormatDateTime("yyyy-mm-dd hh:nn:ss", value.AsDateTime());
  }
  return nullptr;
}

}  // namespace

std::string CheckExport(const std::string& format, const std::string& file, const ExportTable& table) {
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
      row.push_back({ExpectedValue(column.Kind, table.Value(r, c)), ExportDisplayText(column, table.Value(r, c))});
    }
    expected["rows"].push_back(std::move(row));
  }
  std::string expectedFile = file + ".expected.json";
  std::ofstream(expectedFile) << expected.dump();
  std::string script = std::string(JXC_SOURCE_DIR) + "/tests/support/export_check.py";
  return RunCommand(std::string(kPython) + " '" + script + "' " + format + " '" + file + "' '" + expectedFile + "'");
}

}  // namespace jxc::testing
