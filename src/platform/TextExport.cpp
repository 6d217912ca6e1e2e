#include "platform/TextExport.h"

#include <cctype>
#include <vector>

#include "platform/ExportOutput.h"

namespace jxc {

namespace {

void AppendTextCell(std::string& out, std::string_view text) {
  for (char c : text) out += (c == '\t' || c == '\r' || c == '\n') ? ' ' : c;
}

// --- HTML cell attributes ----------------------------------------------------------------------------
// Excel reads a cell's number format from its class ("mso-number-format" in the page's style sheet) and
// its exact value from "x:num"; LibreOffice reads both from "sdnum" (language; format language; code)
// and "sdval". LibreOffice honours "sdval" only together with "sdnum".

// A format code as a CSS string: every ASCII sign escaped, so that no code can end the string or the style
// sheet.
std::string CssFormatString(std::string_view code) {
  std::string out = "\"";
  for (char c : code) {
    auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) continue;
    if (byte < 0x80 && !std::isalnum(byte)) out += '\\';
    out += c;
  }
  return out + "\"";
}

std::string SdnumAttribute(std::string_view code) {
  std::string out = " sdnum=\"1033;0;";
  AppendMarkupEscaped(out, code, false);
  return out + "\"";
}

// Writes the style sheet: every cell in the text format unless its class says otherwise, one class per
// column of numbers (right-aligned, in the column's format). Fills numberOpen with what each column's
// number cells open with: "<td ... sdval=\"", up to the value.
void AppendStyleSheet(std::string& out, const ExportTable& table, std::vector<std::string>& numberOpen) {
  out += "<style>\ntd {mso-number-format:\"\\@\";}\n";
  for (size_t c = 0; c < table.ColumnCount(); ++c) {
    if (table.Columns()[c].Kind == ExportKind::Text) continue;
    const std::string code = SpreadsheetFormatCode(table.Columns()[c]);
    const std::string name = "c" + std::to_string(c);
    out += "td." + name + " {text-align:right; mso-number-format:" + (code.empty() ? "General" : CssFormatString(code)) +
           ";}\n";
    numberOpen[c] = "<td class=\"" + name + "\"" + SdnumAttribute(code.empty() ? "General" : code) + " sdval=\"";
  }
  out += "</style>\n";
}

}  // namespace

void WriteTextFile(const ExportTable& table, const std::string& fileName) {
  ExportSink sink(fileName);
  std::string& out = sink.Buffer();
  out += "\xEF\xBB\xBF";
  const auto& columns = table.Columns();
  for (size_t c = 0; c < columns.size(); ++c) {
    if (c) out += '\t';
    AppendTextCell(out, columns[c].Caption);
  }
  out += "\r\n";
  const std::vector<ExportTextFormatter> shown(columns.begin(), columns.end());
  std::string text;
  for (size_t r = 0; r < table.RowCount(); ++r) {
    for (size_t c = 0; c < columns.size(); ++c) {
      if (c) out += '\t';
      const Variant& value = table.Value(r, c);
      if (value.IsNullOrEmpty()) continue;
      text.clear();
      shown[c].Append(text, value);
      if (IsTextCell(columns[c], value) && StartsLikeFormula(text)) out += '\'';
      AppendTextCell(out, text);
    }
    out += "\r\n";
    sink.MaybeFlush();
  }
  sink.Commit();
}

void WriteHtmlFile(const ExportTable& table, const std::string& fileName, const std::string& title) {
  ExportSink sink(fileName);
  std::string& out = sink.Buffer();
  out += "<!DOCTYPE html>\n<html xmlns:x=\"urn:schemas-microsoft-com:office:excel\">\n<head>\n"
         "<meta charset=\"utf-8\">\n<title>";
  AppendMarkupEscaped(out, title, false);
  out += "</title>\n";
  std::vector<std::string> numberOpen(table.ColumnCount());
  AppendStyleSheet(out, table, numberOpen);
  out += "</head>\n<body>\n<table border=\"1\" cellspacing=\"0\" cellpadding=\"2\">\n<thead>\n<tr>";
  const auto& columns = table.Columns();
  for (const auto& column : columns) {
    out += "<th>";
    AppendMarkupEscaped(out, column.Caption, false);
    out += "</th>";
  }
  out += "</tr>\n</thead>\n<tbody>\n";
  const std::string textOpen = "<td" + SdnumAttribute("@") + ">";
  const std::vector<ExportTextFormatter> shown(columns.begin(), columns.end());
  std::string number, text;
  for (size_t r = 0; r < table.RowCount(); ++r) {
    out += "<tr>";
    for (size_t c = 0; c < columns.size(); ++c) {
      const Variant& value = table.Value(r, c);
      number.clear();
      if (value.IsNullOrEmpty()) {
        out += "<td>";
      } else if (IsTextCell(columns[c], value) || !AppendSpreadsheetNumber(number, value)) {
        out += textOpen;
      } else {
        out += numberOpen[c];
        out += number;
        out += "\" x:num=\"";
        out += number;
        out += "\">";
      }
      if (value.IsString()) {
        AppendMarkupEscaped(out, value.Get<std::string>(), false);
      } else if (!value.IsNullOrEmpty()) {
        text.clear();
        shown[c].Append(text, value);
        AppendMarkupEscaped(out, text, false);
      }
      out += "</td>";
    }
    out += "</tr>\n";
    sink.MaybeFlush();
  }
  out += "</tbody>\n</table>\n</body>\n</html>\n";
  sink.Commit();
}

}  // namespace jxc
