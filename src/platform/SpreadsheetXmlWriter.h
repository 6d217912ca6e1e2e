#pragma once
// Writes an export table as a workbook in XML, in the XML Spreadsheet 2003 format that Excel and
// LibreOffice Calc both open as a spreadsheet: captions in bold on the first row, then every row. Numbers
// and money are number cells with their exact value (money with four decimals) and the column's format,
// dates are date cells with the column's format, all other cells are text cells: a text is never read as a
// number or run as a formula. Blank cells are left out.
//
// A worksheet holds at most 65,536 rows, as one of Excel 97-2003 does, so that every program that reads
// the format takes the whole file; longer tables go on to further sheets ("Sheet1", "Sheet2", ...), each
// starting with the captions again. Text longer than a cell may hold is cut at 32,767 characters, and
// dates before 1900-01-01, which no spreadsheet date holds, are written as the text the grid shows.

#include <string>

#include "platform/ExportTable.h"

namespace jxc {

inline constexpr size_t kXmlRowsPerSheet = 65536;  // caption row included

// Raises Exception "无法写入文件" + file name when the file cannot be written; no partial file is left.
void WriteXmlFile(const ExportTable& table, const std::string& fileName, size_t rowsPerSheet = kXmlRowsPerSheet);

}  // namespace jxc
