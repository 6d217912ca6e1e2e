// Time to write a 10-column, 100,000-row stock grid (Chinese text, money, dates) in every export format.
// Prints one line per format: seconds and file size. Target: each under 2 s.

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include "../tests/support/ExportSample.h"
#include "services/XlsxWriter.h"
#include "platform/SpreadsheetXmlWriter.h"
#include "platform/TextExport.h"
#include "platform/XlsWriter.h"

int main() {
  using Clock = std::chrono::steady_clock;
  namespace fs = std::filesystem;
  const size_t rows = 100000;
  auto started = Clock::now();
  jxc::ExportTable table = jxc::testing::MakeStockExportTable(rows);
  std::printf("table %zu rows x %zu columns built: %.3f s\n", table.RowCount(), table.ColumnCount(),
              std::chrono::duration<double>(Clock::now() - started).count());

  fs::path folder = fs::temp_directory_path() / "jxc-export-bench";
  fs::create_directories(folder);
  struct Format { const char* name; std::function<void(const std::string&)> write; };
  const Format formats[] = {
      {"xls", [&](const std::string& f) { jxc::WriteXlsFile(table, f); }},
      {"xlsx", [&](const std::string& f) { jxc::WriteXlsxFile(table, f); }},
      {"xml", [&](const std::string& f) { jxc::WriteXmlFile(table, f); }},
      {"txt", [&](const std::string& f) { jxc::WriteTextFile(table, f); }},
      {"html", [&](const std::string& f) { jxc::WriteHtmlFile(table, f, "库存"); }},
  };
  for (const auto& format : formats) {
    std::string file = (folder / (std::string("stock.") + format.name)).string();
    auto start = Clock::now();
    format.write(file);
    double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    std::printf("%-5s %zu rows: %.3f s, %.1f MB\n", format.name, rows, seconds,
                static_cast<double>(fs::file_size(file)) / (1024.0 * 1024.0));
  }
  fs::remove_all(folder);
  return 0;
}
