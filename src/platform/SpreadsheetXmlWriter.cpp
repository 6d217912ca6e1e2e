#include "platform/SpreadsheetXmlWriter.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <vector>

#include "platform/DateTime.h"
#include "platform/ExportOutput.h"

namespace jxc {

namespace {

constexpr double kFirstSpreadsheetDate = 2;  // 1900-01-01

// The style of each column's number and date cells ("" for none): one style per distinct format code.
std::vector<std::string> AppendStyles(std::string& out, const ExportTable& table) {
  out += "<Styles>\n"
         "<Style ss:ID=\"Default\" ss:Name=\"Normal\"><Font ss:FontName=\"宋体\" x:CharSet=\"134\" ss:Size=\"10\"/>"
         "</Style>\n"
         "<Style ss:ID=\"caption\"><Font ss:FontName=\"宋体\" x:CharSet=\"134\" ss:Size=\"10\" ss:Bold=\"1\"/>"
         "</Style>\n";
  std::map<std::string, std::string> known;
  std::vector<std::string> styles;
  for (const auto& column : table.Columns()) {
    const std::string code = SpreadsheetFormatCode(column);
    if (code.empty()) {
      styles.emplace_back();
      continue;
    }
    auto [it, inserted] = known.try_emplace(code, "f" + std::to_string(known.size()));
    if (inserted) {
      out += "<Style ss:ID=\"" + it->second + "\"><NumberFormat ss:Format=\"";
      AppendMarkupEscaped(out, code, true);
      out += "\"/></Style>\n";
    }
    styles.push_back(it->second);
  }
  out += "</Styles>\n";
  return styles;
}

// "2025-03-07T09:05:00.000", as the format writes a date cell.
void AppendIsoDateTime(std::string& out, TDateTime at) {
  int year, month, day, hour, minute, second, msec;
  DecodeDateTime(at, year, month, day, hour, minute, second, msec);
  char text[32];
  int n = std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03d", year, month, day, hour, minute,
                        second, msec);
  out.append(text, static_cast<size_t>(n));
}

class SheetWriter {
 public:
  SheetWriter(const ExportTable& table, std::vector<std::string> styles) : table_(table), styles_(std::move(styles)) {}

  // Rows [firstRow, endRow) of the table as one worksheet, the caption row above them.
  void Write(std::string& out, int number, size_t firstRow, size_t endRow, ExportSink& sink) {
    const auto& columns = table_.Columns();
    out += "<Worksheet ss:Name=\"Sheet" + std::to_string(number) + "\">\n<Table>\n";
    for (const auto& column : columns)
      out += "<Column ss:Width=\"" + std::to_string(std::clamp(column.Width, 8, 1700) * 3 / 4) + "\"/>\n";
    out += "<Row>";
    for (const auto& column : columns) {
      out += "<Cell ss:StyleID=\"caption\"><Data ss:Type=\"String\">";
      AppendMarkupEscaped(out, column.Caption, true);
      out += "</Data></Cell>";
    }
    out += "</Row>\n";
    for (size_t r = firstRow; r < endRow; ++r) {
      out += "<Row>";
      bool skipped = false;  // a blank cell before: the next one says where it stands
      for (size_t c = 0; c < columns.size(); ++c) {
        const Variant& value = table_.Value(r, c);
        if (value.IsNullOrEmpty()) {
          skipped = true;
          continue;
        }
        Cell(out, c, value, skipped);
        skipped = false;
      }
      out += "</Row>\n";
      sink.MaybeFlush();
    }
    out += "</Table>\n</Worksheet>\n";
  }

 private:
  void Cell(std::string& out, size_t c, const Variant& value, bool skipped) {
    const ExportColumn& column = table_.Columns()[c];
    out += "<Cell";
    if (skipped) out += " ss:Index=\"" + std::to_string(c + 1) + "\"";
    const bool isDate = column.Kind == ExportKind::Date || column.Kind == ExportKind::DateTime;
    if (!IsTextCell(column, value)) {
      if (isDate && value.AsDateTime().Value() >= kFirstSpreadsheetDate) {
        Styled(out, c);
        out += "><Data ss:Type=\"DateTime\">";
        AppendIsoDateTime(out, value.AsDateTime());
        out += "</Data></Cell>";
        return;
      }
      if (!isDate) {
        Styled(out, c);
        out += "><Data ss:Type=\"Number\">";
        AppendSpreadsheetNumber(out, value);
        out += "</Data></Cell>";
        return;
      }
    }
    out += "><Data ss:Type=\"String\">";
    if (value.IsString() && value.Get<std::string>().size() <= kSpreadsheetMaxTextLength)
      AppendMarkupEscaped(out, value.Get<std::string>(), true);
    else
      AppendMarkupEscaped(out, SpreadsheetCellTextUtf8(ExportDisplayText(column, value)), true);
    out += "</Data></Cell>";
  }

  void Styled(std::string& out, size_t c) const {
    if (styles_[c].empty()) return;
    out += " ss:StyleID=\"";
    out += styles_[c];
    out += '"';
  }

  const ExportTable& table_;
  std::vector<std::string> styles_;
};

}  // namespace

void WriteXmlFile(const ExportTable& table, const std::string& fileName, size_t rowsPerSheet) {
  if (rowsPerSheet < 2) rowsPerSheet = kXmlRowsPerSheet;
  ExportSink sink(fileName);
  std::string& out = sink.Buffer();
  out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<?mso-application progid=\"Excel.Sheet\"?>\n"
         "<Workbook xmlns=\"urn:schemas-microsoft-com:office:spreadsheet\""
         " xmlns:o=\"urn:schemas-microsoft-com:office:office\" xmlns:x=\"urn:schemas-microsoft-com:office:excel\""
         " xmlns:ss=\"urn:schemas-microsoft-com:office:spreadsheet\" xmlns:html=\"http://www.w3.org/TR/REC-html40\">\n";
  SheetWriter sheets(table, AppendStyles(out, table));
  const size_t dataRowsPerSheet = rowsPerSheet - 1;
  int number = 0;
  for (size_t first = 0; first == 0 || first < table.RowCount(); first += dataRowsPerSheet)
    sheets.Write(out, ++number, first, std::min(table.RowCount(), first + dataRowsPerSheet), sink);
  out += "</Workbook>\n";
  sink.Commit();
}

}  // namespace jxc
