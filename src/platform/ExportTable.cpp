#include "platform/ExportTable.h"

#include <cctype>


#include "platform/Exceptions.h"
#include "platform/Format.h"
#include "platform/Text.h"

namespace jxc {

namespace {

constexpr const char* kDefaultMoneyFormat = "0.00";
constexpr const char* kDefaultDateFormat = "yyyy-mm-dd";
constexpr const char* kDefaultDateTimeFormat = "yyyy-mm-dd hh:nn:ss";

bool IsDateKind(ExportKind kind) { return kind == ExportKind::Date || kind == ExportKind::DateTime; }

std::string DateFormatOf(const ExportColumn& column) {
  if (!column.DisplayFormat.empty()) return column.DisplayFormat;
  return column.Kind == ExportKind::Date ? kDefaultDateFormat : kDefaultDateTimeFormat;
}

// Collects literal text and writes it as one quoted run, so that neighbouring literals stay one piece.
class FormatCodeBuilder {
 public:
  void Literal(std::string_view text) { pending_ += text; }
  void Code(std::string_view text) {
    Flush();
    out_ += text;
  }
  std::string Finish() {
    Flush();
    return std::move(out_);
  }

 private:
  void Flush() {
    if (pending_.empty()) return;
    // A quote cannot stand inside a quoted run: it is written escaped between runs.
    bool open = false;
    for (char c : pending_) {
      if (c == '"') {
        if (open) out_ += '"';
        out_ += "\\\"";
        open = false;
      } else {
        if (!open) out_ += '"';
        out_ += c;
        open = true;
      }
    }
    if (open) out_ += '"';
    pending_.clear();
  }
  std::string out_, pending_;
};

// Reads a quoted run starting at text[i] (a ' or "); returns the index after the closing quote.
size_t TakeQuoted(std::string_view text, size_t i, FormatCodeBuilder& out) {
  char quote = text[i];
  size_t end = text.find(quote, i + 1);
  if (end == std::string_view::npos) end = text.size();
  out.Literal(text.substr(i + 1, end - i - 1));
  return end == text.size() ? end : end + 1;
}

// The number pattern with everything that is not a digit placeholder, separator or exponent quoted.
std::string NumberFormatCode(std::string_view pattern) {
  FormatCodeBuilder out;
  for (size_t i = 0; i < pattern.size();) {
    char c = pattern[i];
    if (c == '\'' || c == '"') {
      i = TakeQuoted(pattern, i, out);
    } else if (c == '0' || c == '#' || c == '.' || c == ',' || c == ';') {
      out.Code(std::string_view(&pattern[i], 1));
      ++i;
    } else if ((c == 'E' || c == 'e') && i + 1 < pattern.size() && (pattern[i + 1] == '+' || pattern[i + 1] == '-')) {
      out.Code(pattern.substr(i, 2));
      i += 2;
    } else {
      size_t len = 1;  // keep multi-byte characters whole
      while (i + len < pattern.size() && (static_cast<unsigned char>(pattern[i + len]) & 0xC0) == 0x80) ++len;
      out.Literal(pattern.substr(i, len));
      i += len;
    }
  }
  return out.Finish();
}

// Length of the run of the same (case-insensitive) letter starting at i.
size_t RunLength(std::string_view text, size_t i) {
  size_t n = 1;
  while (i + n < text.size() && (text[i + n] | 0x20) == (text[i] | 0x20)) ++n;
  return n;
}

// The date-time pattern with the toolkit's specifiers turned into the spreadsheet's.
std::string DateFormatCode(std::string_view pattern) {
  FormatCodeBuilder out;
  for (size_t i = 0; i < pattern.size();) {
    char c = pattern[i];
    char lower = static_cast<char>(c | 0x20);
    if (c == '\'' || c == '"') {
      i = TakeQuoted(pattern, i, out);
      continue;
    }
    if (StartsText("am/pm", pattern.substr(i))) {
      out.Code("AM/PM");
      i += 5;
      continue;
    }
    size_t n = std::isalpha(static_cast<unsigned char>(c)) ? RunLength(pattern, i) : 1;
    if (lower == 'y' || lower == 'm' || lower == 'd' || lower == 'h' || lower == 's') {
      if (lower == 'd' && n == 5) out.Code("yyyy-mm-dd");
      else out.Code(std::string(n, lower));
    } else if (lower == 'n') {
      out.Code(n >= 2 ? "mm" : "m");
    } else if (lower == 'z') {
      out.Code(n >= 3 ? "000" : "0");
    } else if (lower == 'c' && n == 1) {
      out.Code("yyyy-mm-dd hh:mm:ss");
    } else if (lower == 't') {
      out.Code(n >= 2 ? "hh:mm:ss" : "hh:mm");
    } else if (c == '-' || c == '/' || c == ':' || c == ' ' || c == '.') {
      out.Code(pattern.substr(i, 1));
    } else {
      while (i + n < pattern.size() && (static_cast<unsigned char>(pattern[i + n]) & 0xC0) == 0x80) ++n;
      out.Literal(pattern.substr(i, n));
    }
    i += n;
  }
  return out.Finish();
}

}  // namespace

void ExportTable::AddRow(std::vector<Variant> values) {
  if (values.size() > columns_.size())
    throw EArgumentError("导出行的值多于列数");
  values.resize(columns_.size());
  for (auto& v : values) cells_.push_back(std::move(v));
}

std::string ExportDisplayText(const ExportColumn& column, const Variant& value) {
  if (value.IsNullOrEmpty()) return "";
  switch (column.Kind) {
    case ExportKind::Text:
      return value.ToString();
    case ExportKind::Number:
      if (column.DisplayFormat.empty()) return value.ToString();
      return FormatFloat(column.DisplayFormat, value.AsDouble());
    case ExportKind::Currency:
      return FormatCurr(column.DisplayFormat.empty() ? kDefaultMoneyFormat : column.DisplayFormat,
                        value.AsCurrency());
    case ExportKind::Date:
    case ExportKind::DateTime:
      return FormatDateTime(DateFormatOf(column), value.AsDateTime());
  }
  return value.ToString();
}

std::string SpreadsheetFormatCode(const ExportColumn& column) {
  if (IsDateKind(column.Kind)) return DateFormatCode(DateFormatOf(column));
  if (column.Kind == ExportKind::Currency)
    return NumberFormatCode(column.DisplayFormat.empty() ? kDefaultMoneyFormat : column.DisplayFormat);
  if (column.Kind == ExportKind::Number && !column.DisplayFormat.empty())
    return NumberFormatCode(column.DisplayFormat);
  return "";
}

std::u16string SpreadsheetCellText(std::string_view utf8) {
  std::u16string text = Utf8ToUtf16(utf8);
  if (text.size() > kSpreadsheetMaxTextLength) {
    text.resize(kSpreadsheetMaxTextLength);
    if (text.back() >= 0xD800 && text.back() <= 0xDBFF) text.pop_back();
  }
  return text;
}

std::string SpreadsheetCellTextUtf8(std::string utf8) {
  if (utf8.size() <= kSpreadsheetMaxTextLength) return utf8;  // bytes bound the code units from above
  std::u16string text = Utf8ToUtf16(utf8);
  if (text.size() <= kSpreadsheetMaxTextLength) return utf8;
  return Utf16ToUtf8(SpreadsheetCellText(utf8));
}

bool SpreadsheetNumberOf(const Variant& value, double& number) {
  switch (value.Type()) {
    case VarType::Boolean: case VarType::Integer: case VarType::Int64: case VarType::Double:
      number = value.AsDouble();
      return true;
    case VarType::Currency:
      number = value.Get<Currency>().ToDouble();
      return true;
    case VarType::DateTime:
      number = value.Get<TDateTime>().Value();
      return true;
    default:
      return false;
  }
}

const char* ExportKindName(ExportKind kind) {
  switch (kind) {
    case ExportKind::Number: return "number";
    case ExportKind::Currency: return "currency";
    case ExportKind::Date: return "date";
    case ExportKind::DateTime: return "datetime";
    case ExportKind::Text: break;
  }
  return "text";
}

}  // namespace jxc
