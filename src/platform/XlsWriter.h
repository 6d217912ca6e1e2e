#pragma once
// Writes an export table as an Excel 97-2003 workbook (BIFF8 records in a compound document): captions in
// bold on the first row, then every row. Numbers and money are number cells with the column's format, dates
// are number cells with a date format (so spreadsheets show and sort them as dates), all other cells are
// text cells through the shared string table. A sheet holds at most 65,536 rows, so longer tables go on to
// further sheets ("Sheet1", "Sheet2", ...), each starting with the captions again.

#include <string>

#include "platform/ExportTable.h"

namespace jxc {

// Page header and footers in the spreadsheet's code language ("&C" centre, "&L" left, "&R" right, "&P"
// page number); empty texts are not written.
struct XlsPageSetup {
  std::string Header;
  std::string Footer;
  bool Empty() const { return Header.empty() && Footer.empty(); }
};

inline constexpr size_t kXlsMaxColumns = 256;
inline constexpr size_t kXlsRowsPerSheet = 65536;  // caption row included

// Raises Exception "Excel97-2003文件最多256列" for wider tables (nothing is written) and
// "无法写入文件" + file name when the file cannot be written (no partial file is left).
void WriteXlsFile(const ExportTable& table, const std::string& fileName, const XlsPageSetup& page = {});

// Puts the page header and footers into every sheet of an existing workbook (what a spreadsheet program's
// page setup does before printing). Raises Exception "不是Excel97-2003文件" when the file is not one.
void SetXlsPageSetup(const std::string& fileName, const XlsPageSetup& page);

}  // namespace jxc
