#include "services/XlsxWriter.h"

#include <xlsxwriter.h>

#include <cstdio>
#include <map>
#include <vector>

#include "platform/Exceptions.h"
#include "platform/Text.h"

namespace jxc {

namespace {

// Closes the workbook when an error leaves the writer early; the partial file is removed.
class Workbook {
 public:
  Workbook(const std::string& path) : path_(path) {
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;  // rows go to disk as they are written: flat memory, and faster for big grids
    options.use_zip64 = LXW_TRUE;
    book_ = workbook_new_opt(path.c_str(), &options);
  }
  ~Workbook() {
    if (book_) {
      workbook_close(book_);
      std::remove(path_.c_str());
    }
  }
  Workbook(const Workbook&) = delete;
  Workbook& operator=(const Workbook&) = delete;

  lxw_workbook* Get() const { return book_; }
  bool Close() {
    lxw_error error = workbook_close(book_);
    book_ = nullptr;
    return error == LXW_NO_ERROR;
  }

 private:
  std::string path_;
  lxw_workbook* book_ = nullptr;
};

}  // namespace

void WriteXlsxFile(const ExportTable& table, const std::string& fileName, size_t rowsPerSheet) {
  if (table.ColumnCount() > kXlsxMaxColumns) throw Exception("Excel文件最多16384列");
  if (rowsPerSheet < 2 || rowsPerSheet > kXlsxRowsPerSheet) rowsPerSheet = kXlsxRowsPerSheet;
  const std::string partPath = fileName + ".part";
  if (FILE* probe = std::fopen(partPath.c_str(), "wb")) std::fclose(probe);  // the library opens the file only at the end
  else throw Exception("无法写入文件" + fileName);
  Workbook book(partPath);
  if (!book.Get()) throw Exception("无法写入文件" + fileName);

  lxw_format* caption = workbook_add_format(book.Get());
  format_set_bold(caption);
  std::map<std::string, lxw_format*> formats;
  std::vector<lxw_format*> cellFormat;
  for (const auto& column : table.Columns()) {
    std::string code = SpreadsheetFormatCode(column);
    lxw_format*& f = formats[code];
    if (!f && !code.empty()) {
      f = workbook_add_format(book.Get());
      format_set_num_format(f, code.c_str());
    }
    cellFormat.push_back(code.empty() ? nullptr : f);
  }

  const auto& columns = table.Columns();
  const size_t dataRowsPerSheet = rowsPerSheet - 1;
  int sheetNo = 0;
  bool ok = true;
  for (size_t first = 0; ok && (first == 0 || first < table.RowCount()); first += dataRowsPerSheet) {
    std::string name = "Sheet" + std::to_string(++sheetNo);
    lxw_worksheet* sheet = workbook_add_worksheet(book.Get(), name.c_str());
    if (!sheet) throw Exception("无法写入文件" + fileName);
    for (size_t c = 0; c < columns.size(); ++c) {
      auto col = static_cast<lxw_col_t>(c);
      worksheet_set_column(sheet, col, col, std::max(1, columns[c].Width) / 7.0, nullptr);
      ok = ok && worksheet_write_string(sheet, 0, col, columns[c].Caption.c_str(), caption) == LXW_NO_ERROR;
    }
    const size_t end = std::min(table.RowCount(), first + dataRowsPerSheet);
    for (size_t r = first; ok && r < end; ++r) {
      auto row = static_cast<lxw_row_t>(r - first + 1);
      for (size_t c = 0; c < columns.size(); ++c) {
        const Variant& value = table.Value(r, c);
        if (value.IsNullOrEmpty()) continue;
        auto col = static_cast<lxw_col_t>(c);
        double number;
        lxw_error error;
        if (columns[c].Kind != ExportKind::Text && SpreadsheetNumberOf(value, number))
          error = worksheet_write_number(sheet, row, col, number, cellFormat[c]);
        else
          error = worksheet_write_string(sheet, row, col, SpreadsheetCellTextUtf8(value.ToString()).c_str(), nullptr);
        ok = error == LXW_NO_ERROR;
      }
    }
  }
  if (!ok || !book.Close() || std::rename(partPath.c_str(), fileName.c_str()) != 0) {
    std::remove(partPath.c_str());
    throw Exception("无法写入文件" + fileName);
  }
}

}  // namespace jxc
