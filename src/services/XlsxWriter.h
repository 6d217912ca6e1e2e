#pragma once
// Writes an export table as an ".xlsx" workbook with libxlsxwriter: captions in bold on the first row,
// numbers and money as numbers with the column's format, dates as dates, other cells as text. A sheet holds
// at most 1,048,576 rows, so longer tables go on to further sheets, each starting with the captions again.

#include <string>

#include "platform/ExportTable.h"

namespace jxc {

inline constexpr size_t kXlsxMaxColumns = 16384;
inline constexpr size_t kXlsxRowsPerSheet = 1048576;  // caption row included

// Raises Exception "Excel文件最多16384列" for wider tables and "无法写入文件" + file name when the file
// cannot be written; in both cases no file (and no partial file) is left.
void WriteXlsxFile(const ExportTable& table, const std::string& fileName, size_t rowsPerSheet = kXlsxRowsPerSheet);

}  // namespace jxc
