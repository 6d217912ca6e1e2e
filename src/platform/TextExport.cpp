#include "platform/TextExport.h"

#include "platform/FileOutput.h"
#include "platform/Format.h"

namespace jxc {

namespace {

constexpr size_t kFlushAt = 1 << 20;

// Collects output and hands it to the file in large pieces.
class Sink {
 public:
  explicit Sink(const std::string& fileName) : file_(fileName) {}
  std::string& Buffer() { return buffer_; }
  void MaybeFlush() {
    if (buffer_.size() >= kFlushAt) Flush();
  }
  void Commit() {
    Flush();
    file_.Commit();
  }

 private:
  void Flush() {
    file_.Write(buffer_);
    buffer_.clear();
  }
  FileOutput file_;
  std::string buffer_;
};

// Length of the valid UTF-8 sequence at text[i], or 0 when the bytes there are not one.
size_t Utf8SequenceLength(std::string_view text, size_t i) {
  auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  unsigned char lead = byte(i);
  size_t n = lead < 0x80 ? 1 : (lead & 0xE0) == 0xC0 ? 2 : (lead & 0xF0) == 0xE0 ? 3 : (lead & 0xF8) == 0xF0 ? 4 : 0;
  if (n == 0 || i + n > text.size()) return 0;
  for (size_t k = 1; k < n; ++k)
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
  if (n == 2 && lead < 0xC2) return 0;                              // overlong
  if (n == 3 && lead == 0xE0 && byte(i + 1) < 0xA0) return 0;       // overlong
  if (n == 3 && lead == 0xED && byte(i + 1) >= 0xA0) return 0;      // surrogate halves
  if (n == 4 && (lead > 0xF4 || (lead == 0xF0 && byte(i + 1) < 0x90) || (lead == 0xF4 && byte(i + 1) >= 0x90)))
    return 0;
  return n;
}

// Appends text escaped for HTML and XML content and attributes; invalid bytes become U+FFFD and, with
// dropControls, characters XML 1.0 cannot hold are left out.
void AppendEscaped(std::string& out, std::string_view text, bool dropControls) {
  for (size_t i = 0; i < text.size();) {
    size_t n = Utf8SequenceLength(text, i);
    if (n == 0) {
      out += "\xEF\xBF\xBD";
      ++i;
      continue;
    }
    char c = text[i];
    if (n == 1) {
      switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&#39;"; break;
        case '\t': out += dropControls ? "&#9;" : "\t"; break;  // kept exactly, also in attributes
        case '\n': out += dropControls ? "&#10;" : "\n"; break;
        case '\r': out += dropControls ? "&#13;" : "\r"; break;
        default:
          if (!(dropControls && static_cast<unsigned char>(c) < 0x20)) out += c;
      }
    } else if (!(dropControls && n == 3 && text.substr(i, 3) >= "\xEF\xBF\xBE")) {  // U+FFFE, U+FFFF
      out.append(text, i, n);
    }
    i += n;
  }
}

void AppendTextCell(std::string& out, std::string_view text) {
  for (char c : text) out += (c == '\t' || c == '\r' || c == '\n') ? ' ' : c;
}

bool IsNumberKind(ExportKind kind) { return kind == ExportKind::Number || kind == ExportKind::Currency; }

// The exact value of a non-text cell, independent of the display format.
std::string ExactValue(ExportKind kind, const Variant& value) {
  switch (kind) {
    case ExportKind::Currency: return CurrToStr(value.AsCurrency());
    case ExportKind::Date: return FormatDateTime("yyyy-mm-dd", value.AsDateTime());
    case ExportKind::DateTime: {
      TDateTime at = value.AsDateTime();
      return FormatDateTime("yyyy-mm-dd", at) + "T" + FormatDateTime("hh:nn:ss", at);
    }
    default: return value.ToString();
  }
}

}  // namespace

void WriteTextFile(const ExportTable& table, const std::string& fileName) {
  Sink sink(fileName);
  std::string& out = sink.Buffer();
  out += "\xEF\xBB\xBF";
  const auto& columns = table.Columns();
  for (size_t c = 0; c < columns.size(); ++c) {
    if (c) out += '\t';
    AppendTextCell(out, columns[c].Caption);
  }
  out += "\r\n";
  for (size_t r = 0; r < table.RowCount(); ++r) {
    for (size_t c = 0; c < columns.size(); ++c) {
      if (c) out += '\t';
      AppendTextCell(out, ExportDisplayText(columns[c], table.Value(r, c)));
    }
    out += "\r\n";
    sink.MaybeFlush();
  }
  sink.Commit();
}

void WriteHtmlFile(const ExportTable& table, const std::string& fileName, const std::string& title) {
  Sink sink(fileName);
  std::string& out = sink.Buffer();
  out += "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>";
  AppendEscaped(out, title, false);
  out += "</title>\n</head>\n<body>\n<table border=\"1\" cellspacing=\"0\" cellpadding=\"2\">\n<thead>\n<tr>";
  const auto& columns = table.Columns();
  for (const auto& column : columns) {
    out += "<th>";
    AppendEscaped(out, column.Caption, false);
    out += "</th>";
  }
  out += "</tr>\n</thead>\n<tbody>\n";
  for (size_t r = 0; r < table.RowCount(); ++r) {
    out += "<tr>";
    for (size_t c = 0; c < columns.size(); ++c) {
      out += IsNumberKind(columns[c].Kind) ? "<td align=\"right\">" : "<td>";
      AppendEscaped(out, ExportDisplayText(columns[c], table.Value(r, c)), false);
      out += "</td>";
    }
    out += "</tr>\n";
    sink.MaybeFlush();
  }
  out += "</tbody>\n</table>\n</body>\n</html>\n";
  sink.Commit();
}

void WriteXmlFile(const ExportTable& table, const std::string& fileName) {
  Sink sink(fileName);
  std::string& out = sink.Buffer();
  out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<table>\n<columns>\n";
  const auto& columns = table.Columns();
  for (const auto& column : columns) {
    out += "<column caption=\"";
    AppendEscaped(out, column.Caption, true);
    out += "\" kind=\"";
    out += ExportKindName(column.Kind);
    out += "\" format=\"";
    AppendEscaped(out, column.DisplayFormat, true);
    out += "\"/>\n";
  }
  out += "</columns>\n<rows>\n";
  for (size_t r = 0; r < table.RowCount(); ++r) {
    out += "<row>";
    for (size_t c = 0; c < columns.size(); ++c) {
      const Variant& value = table.Value(r, c);
      if (value.IsNullOrEmpty()) {
        out += "<cell/>";
        continue;
      }
      out += "<cell";
      if (columns[c].Kind != ExportKind::Text) {
        out += " value=\"";
        out += ExactValue(columns[c].Kind, value);
        out += '"';
      }
      out += '>';
      AppendEscaped(out, ExportDisplayText(columns[c], value), true);
      out += "</cell>";
    }
    out += "</row>\n";
    sink.MaybeFlush();
  }
  out += "</rows>\n</table>\n";
  sink.Commit();
}

std::string HtmlEscaped(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  AppendEscaped(out, text, false);
  return out;
}

}  // namespace jxc
