#pragma once
// A grid flattened for export: column captions with a kind and a display format, then rows of values.
// Every writer (text, HTML, XML, ".xls", ".xlsx") reads this one model, so the grid is walked once and all
// formats show the same cells. An empty value is a blank cell.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Variant.h"

namespace jxc {

// How a column's values are written: numbers and money stay numbers in spreadsheets, dates stay dates,
// everything else (lookups included) is the text the grid shows.
enum class ExportKind { Text, Number, Currency, Date, DateTime };

struct ExportColumn {
  ExportColumn(std::string caption = "", ExportKind kind = ExportKind::Text, std::string displayFormat = "",
               int width = 64)
      : Caption(std::move(caption)), Kind(kind), DisplayFormat(std::move(displayFormat)), Width(width) {}

  std::string Caption;
  ExportKind Kind = ExportKind::Text;
  // The column's display format in the toolkit's pattern language ("#,##0.00", "yyyy-mm-dd"); empty for
  // the kind's default.
  std::string DisplayFormat;
  int Width = 64;  // pixels, as the grid shows the column
};

class ExportTable {
 public:
  ExportTable() = default;
  explicit ExportTable(std::vector<ExportColumn> columns) : columns_(std::move(columns)) {}

  const std::vector<ExportColumn>& Columns() const { return columns_; }
  size_t ColumnCount() const { return columns_.size(); }
  size_t RowCount() const { return columns_.empty() ? 0 : cells_.size() / columns_.size(); }

  // Appends a row; missing trailing values are blank, extra values raise EArgumentError.
  void AddRow(std::vector<Variant> values);
  void Reserve(size_t rows) { cells_.reserve(rows * columns_.size()); }
  // Row and column count from 0.
  const Variant& Value(size_t row, size_t column) const { return cells_[row * columns_.size() + column]; }
  bool IsBlank(size_t row, size_t column) const { return Value(row, column).IsNullOrEmpty(); }

 private:
  std::vector<ExportColumn> columns_;
  std::vector<Variant> cells_;  // row-major
};

// The text a grid shows for a value of that column: numbers and money through the display format (money
// without a format shows two decimals, other numbers their shortest form), dates as "yyyy-mm-dd", date-times
// as "yyyy-mm-dd hh:nn:ss", unless the column's format says otherwise. Blank cells give "".
std::string ExportDisplayText(const ExportColumn& column, const Variant& value);

// The same text appended to a buffer, prepared once per column: the formats grids use most for dates and
// money ("yyyy-mm-dd", "yyyy-mm-dd hh:nn:ss", "0.00", "#,##0.00") are written directly, as they make the
// bulk of a large export; every other value goes through ExportDisplayText.
class ExportTextFormatter {
 public:
  explicit ExportTextFormatter(const ExportColumn& column);
  void Append(std::string& out, const Variant& value) const;

 private:
  enum class Shortcut { None, Date, DateTime, Money, GroupedMoney };
  const ExportColumn* column_;
  Shortcut shortcut_ = Shortcut::None;
};

// The column's number format written as a spreadsheet format code: the toolkit's pattern with its literal
// text quoted ("记录数:#0条" -> "\"记录数:\"#0\"条\""), minutes "nn" as "mm", and the kind's default when
// the column has no format ("0.00" for money, "yyyy-mm-dd" for dates). Empty for text and for numbers
// without a format (the spreadsheet's general format).
std::string SpreadsheetFormatCode(const ExportColumn& column);

// A spreadsheet cell holds at most 32,767 UTF-16 code units; longer text is cut there (never between the
// halves of a surrogate pair), as spreadsheet programs do on entry.
inline constexpr size_t kSpreadsheetMaxTextLength = 32767;
std::u16string SpreadsheetCellText(std::string_view utf8);
// The same cut on UTF-8 text; text that fits comes back unchanged.
std::string SpreadsheetCellTextUtf8(std::string utf8);

// The number a spreadsheet stores for a number, money or date value; false when the value is not one
// (it is then written as text), infinities and NaN included.
bool SpreadsheetNumberOf(const Variant& value, double& number);
// Appends that number as text, exactly: money with its four decimals, other numbers in their shortest
// form that reads back the same, dates as day numbers (1 = 1899-12-31). False, appending nothing, when
// the value is not a number, money or date.
bool AppendSpreadsheetNumber(std::string& out, const Variant& value);

// A cell is written as text when its column is a text column, or when its value is no number, money or
// date (a stray text in a number column). Blank cells are not text cells.
bool IsTextCell(const ExportColumn& column, const Variant& value);

// Text a spreadsheet program could run as a formula when it reads it from a plain-text file: text that
// begins with "=", "+", "-", "@", a tab or a carriage return. Text that is a plain negative number
// ("-5", "-1,234.50") is read as that number and runs nothing, so it does not count.
bool StartsLikeFormula(std::string_view text);

// The kind's name: "number", "currency", "date", "datetime" or "text".
const char* ExportKindName(ExportKind kind);

}  // namespace jxc
