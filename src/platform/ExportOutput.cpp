#include "platform/ExportOutput.h"

namespace jxc {

namespace {

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

// Plain ASCII that markup takes as it is.
bool IsPlainAscii(unsigned char c) {
  return c >= 0x20 && c < 0x80 && c != '&' && c != '<' && c != '>' && c != '"' && c != '\'';
}

}  // namespace

void ExportSink::Commit() {
  Flush();
  file_.Commit();
}

void ExportSink::Flush() {
  file_.Write(buffer_);
  buffer_.clear();
}

void AppendMarkupEscaped(std::string& out, std::string_view text, bool forXml) {
  for (size_t i = 0; i < text.size();) {
    size_t plain = i;  // runs of plain text go in one piece
    while (plain < text.size() && IsPlainAscii(static_cast<unsigned char>(text[plain]))) ++plain;
    if (plain > i) {
      out.append(text, i, plain - i);
      i = plain;
      continue;
    }
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
        case '\t': out += forXml ? "&#9;" : "\t"; break;  // kept exactly, also in attributes
        case '\n': out += forXml ? "&#10;" : "\n"; break;
        case '\r': out += forXml ? "&#13;" : "\r"; break;
        default:
          if (!(forXml && static_cast<unsigned char>(c) < 0x20)) out += c;
      }
    } else if (!(forXml && n == 3 && text.substr(i, 3) >= "\xEF\xBF\xBE")) {  // U+FFFE, U+FFFF
      out.append(text, i, n);
    }
    i += n;
  }
}

}  // namespace jxc
