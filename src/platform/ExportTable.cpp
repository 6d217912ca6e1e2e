#include "platform/ExportTable.h"

#include <cctype>
#include <charconv>
#include <cmath>

#include "platform/DateTime.h"
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
  if (value.IsString()) return value.Get<std::string>();  // a text shows as it is, in whatever column
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
    case ExportKind::DateTime: {
      // A value outside the calendar shows as its number, as everywhere else: one odd cell does not
      // stop the export.
      const TDateTime moment = value.AsDateTime();
      if (!IsDateTimeInRange(moment)) return value.ToString();
      return FormatDateTime(DateFormatOf(column), moment);
    }
  }
  return value.ToString();
}

namespace {

void AppendPadded(std::string& out, int value, int width) {
  char digits[12];
  char* end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  for (int pad = width - static_cast<int>(end - digits); pad > 0; --pad) out += '0';
  out.append(digits, end);
}

// Money rounded to two decimals, half away from zero, with the format settings' separators; no minus
// sign when it rounds to zero.
void AppendMoney(std::string& out, Currency value, bool grouped) {
  const TFormatSettings& fs = FormatSettings();
  const int64_t raw = value.Raw();
  const uint64_t magnitude = raw < 0 ? 0 - static_cast<uint64_t>(raw) : static_cast<uint64_t>(raw);
  const uint64_t cents = magnitude / 100 + (magnitude % 100 >= 50 ? 1 : 0);
  if (raw < 0 && cents != 0) out += '-';
  char digits[24];
  char* end = std::to_chars(digits, digits + sizeof digits, cents / 100).ptr;
  const size_t count = static_cast<size_t>(end - digits);
  for (size_t i = 0; i < count; ++i) {
    if (grouped && i > 0 && (count - i) % 3 == 0) out += fs.ThousandSeparator;
    out += digits[i];
  }
  out += fs.DecimalSeparator;
  out += static_cast<char>('0' + cents % 100 / 10);
  out += static_cast<char>('0' + cents % 10);
}

}  // namespace

ExportTextFormatter::ExportTextFormatter(const ExportColumn& column) : column_(&column) {
  const std::string& format = column.DisplayFormat;
  if (column.Kind == ExportKind::Date || column.Kind == ExportKind::DateTime) {
    const std::string pattern = DateFormatOf(column);
    if (pattern == "yyyy-mm-dd") shortcut_ = Shortcut::Date;
    if (pattern == "yyyy-mm-dd hh:nn:ss") shortcut_ = Shortcut::DateTime;
  } else if (column.Kind == ExportKind::Currency) {
    if (format.empty() || format == "0.00") shortcut_ = Shortcut::Money;
    if (format == "#,##0.00") shortcut_ = Shortcut::GroupedMoney;
  }
}

void ExportTextFormatter::Append(std::string& out, const Variant& value) const {
  if (value.IsString()) {
    out += value.Get<std::string>();
    return;
  }
  switch (shortcut_) {
    case Shortcut::Date:
    case Shortcut::DateTime: {
      if (value.Type() != VarType::DateTime || !IsDateTimeInRange(value.Get<TDateTime>())) break;
      int year, month, day, hour, minute, second, msec;
      DecodeDateTime(value.Get<TDateTime>(), year, month, day, hour, minute, second, msec);
      AppendPadded(out, year, 4);
      out += '-';
      AppendPadded(out, month, 2);
      out += '-';
      AppendPadded(out, day, 2);
      if (shortcut_ == Shortcut::DateTime) {
        const char separator = FormatSettings().TimeSeparator;
        out += ' ';
        AppendPadded(out, hour, 2);
        out += separator;
        AppendPadded(out, minute, 2);
        out += separator;
        AppendPadded(out, second, 2);
      }
      return;
    }
    case Shortcut::Money:
    case Shortcut::GroupedMoney:
      if (value.Type() != VarType::Currency) break;
      AppendMoney(out, value.Get<Currency>(), shortcut_ == Shortcut::GroupedMoney);
      return;
    case Shortcut::None:
      break;
  }
  out += ExportDisplayText(*column_, value);
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
    case VarType::Boolean: case VarType::Integer: case VarType::Int64:
      number = value.AsDouble();
      return true;
    case VarType::Double:
      number = value.Get<double>();
      return std::isfinite(number);  // no spreadsheet number holds infinity or NaN: they go as text
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

bool AppendSpreadsheetNumber(std::string& out, const Variant& value) {
  switch (value.Type()) {
    case VarType::Boolean: out += value.Get<bool>() ? '1' : '0'; return true;
    case VarType::Integer: out += std::to_string(value.Get<int32_t>()); return true;
    case VarType::Int64: out += std::to_string(value.Get<int64_t>()); return true;
    case VarType::Currency: {  // the integer part, then the four decimals without trailing zeros
      const int64_t raw = value.Get<Currency>().Raw();
      uint64_t magnitude = raw < 0 ? 0 - static_cast<uint64_t>(raw) : static_cast<uint64_t>(raw);
      if (raw < 0) out += '-';
      char digits[24];
      out.append(digits, std::to_chars(digits, digits + sizeof digits, magnitude / 10000).ptr);
      uint64_t fraction = magnitude % 10000;
      if (fraction != 0) {
        out += '.';
        for (uint64_t unit = 1000; fraction != 0; unit /= 10) {
          out += static_cast<char>('0' + fraction / unit);
          fraction %= unit;
        }
      }
      return true;
    }
    case VarType::Double: case VarType::DateTime: {
      double number = value.Type() == VarType::Double ? value.Get<double>() : value.Get<TDateTime>().Value();
      if (!std::isfinite(number)) return false;
      char buffer[32];
      auto end = std::to_chars(buffer, buffer + sizeof buffer, number).ptr;
      out.append(buffer, end);
      return true;
    }
    default:
      return false;
  }
}

bool IsTextCell(const ExportColumn& column, const Variant& value) {
  if (value.IsNullOrEmpty()) return false;
  double ignored;
  return column.Kind == ExportKind::Text || !SpreadsheetNumberOf(value, ignored);
}

bool StartsLikeFormula(std::string_view text) {
  if (text.empty()) return false;
  switch (text[0]) {
    case '=': case '+': case '@': case '\t': case '\r': return true;
    case '-': break;
    default: return false;
  }
  // A negative number: "-", digits in groups parted by single commas, and perhaps a point and digits.
  size_t i = 1;
  auto digits = [&] {
    size_t from = i;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i;
    return i > from;
  };
  if (!digits()) return true;
  while (i < text.size() && text[i] == ',') {
    ++i;
    if (!digits()) return true;
  }
  if (i < text.size() && text[i] == '.') {
    ++i;
    if (!digits()) return true;
  }
  return i != text.size();
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
