#include "platform/Format.h"

#include <cmath>
#include <cstdio>
#include <vector>

#include "platform/Exceptions.h"
#include "platform/Text.h"

namespace jxc {

TFormatSettings& FormatSettings() {
  static TFormatSettings settings;
  return settings;
}

// ======================================================================================================
// Number patterns
// ======================================================================================================
namespace {

// An unsigned decimal number as digit strings, rounded on its decimal digits.
struct Decimal {
  bool negative = false;
  std::string whole = "0";  // no leading zeros except "0" itself
  std::string fraction;     // may carry trailing zeros

  bool IsZero() const {
    return whole == "0" && fraction.find_first_not_of('0') == std::string::npos;
  }

  // Rounded half away from zero to the given number of decimals.
  Decimal RoundedTo(size_t decimals) const {
    Decimal r = *this;
    if (r.fraction.size() <= decimals) {
      r.fraction.append(decimals - r.fraction.size(), '0');
      return r;
    }
    bool up = r.fraction[decimals] >= '5';
    r.fraction.resize(decimals);
    if (up) {
      std::string digits = r.whole + r.fraction;
      size_t i = digits.size();
      while (i > 0) {
        --i;
        if (digits[i] == '9') {
          digits[i] = '0';
        } else {
          ++digits[i];
          break;
        }
        if (i == 0) digits.insert(digits.begin(), '1');
      }
      r.whole = digits.substr(0, digits.size() - decimals);
      r.fraction = digits.substr(digits.size() - decimals);
    }
    return r;
  }
};

Decimal DecimalOfCurrency(Currency value) {
  Decimal d;
  int64_t raw = value.Raw();
  uint64_t magnitude = raw < 0 ? 0 - static_cast<uint64_t>(raw) : static_cast<uint64_t>(raw);
  d.negative = raw < 0;
  d.whole = std::to_string(magnitude / Currency::kScale);
  char digits[8];
  std::snprintf(digits, sizeof digits, "%04llu", static_cast<unsigned long long>(magnitude % Currency::kScale));
  d.fraction = digits;
  return d;
}

// The double's decimal value as it reads with 15 significant digits (what a double reliably holds), so that
// 2.675 formats as 2.68 with "0.00" although its binary value lies just below the half.
Decimal DecimalOfDouble(double value) {
  Decimal d;
  d.negative = std::signbit(value) && value != 0;
  char buffer[400];
  std::snprintf(buffer, sizeof buffer, "%.14e", std::fabs(value));
  std::string text(buffer);
  size_t ePos = text.find('e');
  int exponent = std::stoi(text.substr(ePos + 1));
  std::string digits;
  for (size_t i = 0; i < ePos; ++i)
    if (text[i] != '.') digits.push_back(text[i]);
  if (exponent >= 0) {
    size_t wholeLen = static_cast<size_t>(exponent) + 1;
    if (digits.size() < wholeLen) digits.append(wholeLen - digits.size(), '0');
    d.whole = digits.substr(0, wholeLen);
    d.fraction = digits.substr(wholeLen);
  } else {
    d.whole = "0";
    d.fraction = std::string(static_cast<size_t>(-exponent - 1), '0') + digits;
  }
  return d;
}

// One section of a number pattern: literal text around one run of digit placeholders.
struct NumberSection {
  std::string prefix, suffix;
  bool hasDigits = false;
  bool grouping = false;
  size_t minWhole = 0;     // '0's from the first '0' of the whole part on
  size_t minFraction = 0;  // up to the last '0' after the point
  size_t maxFraction = 0;  // all placeholders after the point
  bool scientific = false;
  bool exponentPlus = false;  // "E+": sign always shown
  size_t exponentDigits = 0;
  char exponentLetter = 'E';
};

bool IsPlaceholder(char ch) { return ch == '0' || ch == '#' || ch == '.' || ch == ','; }

// Splits at ';' outside quotes.
std::vector<std::string> SplitSections(std::string_view pattern) {
  std::vector<std::string> sections(1);
  char quote = 0;
  for (char ch : pattern) {
    if (quote) {
      if (ch == quote) quote = 0;
    } else if (ch == '\'' || ch == '"') {
      quote = ch;
    } else if (ch == ';') {
      sections.emplace_back();
      continue;
    }
    sections.back().push_back(ch);
  }
  return sections;
}

NumberSection ParseSection(std::string_view text) {
  NumberSection s;
  bool afterDigits = false;
  size_t i = 0;
  while (i < text.size()) {
    char ch = text[i];
    std::string& literal = afterDigits ? s.suffix : s.prefix;
    if (ch == '\'' || ch == '"') {
      size_t end = text.find(ch, i + 1);
      if (end == std::string_view::npos) end = text.size();
      literal.append(text.substr(i + 1, end - i - 1));
      i = end + 1;
      continue;
    }
    if (!afterDigits && IsPlaceholder(ch)) {
      // The run of placeholders counts only when it holds a digit placeholder.
      size_t end = i;
      while (end < text.size() && IsPlaceholder(text[end])) ++end;
      std::string_view run = text.substr(i, end - i);
      if (run.find_first_of("0#") == std::string_view::npos) {
        literal.append(run);
        i = end;
        continue;
      }
      s.hasDigits = true;
      size_t point = run.find('.');
      std::string_view wholePart = run.substr(0, point);
      std::string_view fractionPart = point == std::string_view::npos ? std::string_view() : run.substr(point + 1);
      s.grouping = run.find(',') != std::string_view::npos;
      size_t firstZero = std::string_view::npos;
      size_t placeholders = 0;
      for (char c : wholePart) {
        if (c == '0' || c == '#') {
          if (c == '0' && firstZero == std::string_view::npos) firstZero = placeholders;
          ++placeholders;
        }
      }
      s.minWhole = firstZero == std::string_view::npos ? 0 : placeholders - firstZero;
      size_t position = 0;
      for (char c : fractionPart) {
        if (c == '0' || c == '#') {
          ++position;
          if (c == '0') s.minFraction = position;
        }
      }
      s.maxFraction = position;
      i = end;
      // Scientific notation right after the digits: E+00, E-00.
      if (i + 1 < text.size() && (text[i] == 'E' || text[i] == 'e') && (text[i + 1] == '+' || text[i + 1] == '-')) {
        s.scientific = true;
        s.exponentLetter = text[i];
        s.exponentPlus = text[i + 1] == '+';
        i += 2;
        while (i < text.size() && text[i] == '0') {
          ++s.exponentDigits;
          ++i;
        }
        if (s.exponentDigits == 0) s.exponentDigits = 1;
      }
      afterDigits = true;
      continue;
    }
    literal.push_back(ch);
    ++i;
  }
  return s;
}

std::string Group(const std::string& whole, char separator) {
  std::string out;
  size_t n = whole.size();
  for (size_t i = 0; i < n; ++i) {
    out.push_back(whole[i]);
    size_t left = n - i - 1;
    if (left > 0 && left % 3 == 0) out.push_back(separator);
  }
  return out;
}

std::string FixedDigits(const NumberSection& s, const Decimal& rounded) {
  const TFormatSettings& fs = FormatSettings();
  std::string whole = rounded.whole == "0" ? "" : rounded.whole;
  if (whole.size() < s.minWhole) whole.insert(0, s.minWhole - whole.size(), '0');
  if (s.grouping) whole = Group(whole, fs.ThousandSeparator);
  std::string fraction = rounded.fraction;
  while (fraction.size() > s.minFraction && fraction.back() == '0') fraction.pop_back();
  return fraction.empty() ? whole : whole + fs.DecimalSeparator + fraction;
}

std::string ScientificDigits(const NumberSection& s, const Decimal& value) {
  // One digit before the point; the exponent shifts the rest.
  std::string digits = value.whole + value.fraction;
  int exponent = static_cast<int>(value.whole.size()) - 1;
  size_t first = digits.find_first_not_of('0');
  if (first == std::string::npos) {
    digits = "0";
    exponent = 0;
  } else {
    exponent -= static_cast<int>(first);
    digits = digits.substr(first);
  }
  Decimal mantissa;
  mantissa.whole = digits.substr(0, 1);
  mantissa.fraction = digits.substr(1);
  mantissa = mantissa.RoundedTo(s.maxFraction);
  if (mantissa.whole.size() > 1) {  // 9.99 rounded up to 10.0
    mantissa.fraction = mantissa.whole.substr(1) + mantissa.fraction;
    mantissa.fraction.resize(s.maxFraction);
    mantissa.whole = mantissa.whole.substr(0, 1);
    ++exponent;
  }
  NumberSection plain = s;
  plain.minWhole = 1;
  plain.grouping = false;
  std::string out = FixedDigits(plain, mantissa);
  out.push_back(s.exponentLetter);
  if (exponent < 0) out.push_back('-');
  else if (s.exponentPlus) out.push_back('+');
  std::string e = std::to_string(std::abs(exponent));
  if (e.size() < s.exponentDigits) e.insert(0, s.exponentDigits - e.size(), '0');
  return out + e;
}

std::string FormatDecimal(std::string_view pattern, const Decimal& value, const std::string& plainText) {
  if (pattern.empty()) return plainText;
  std::vector<std::string> texts = SplitSections(pattern);
  std::vector<NumberSection> sections;
  for (const std::string& t : texts) sections.push_back(ParseSection(t));
  const NumberSection& positive = sections[0];
  Decimal rounded = value.RoundedTo(positive.maxFraction);
  // The zero section serves values that show as zero in the positive section.
  bool showsZero = positive.scientific ? value.IsZero() : rounded.IsZero();
  const NumberSection* section = &positive;
  bool minus = false;
  if (showsZero && sections.size() >= 3 && !texts[2].empty()) {
    section = &sections[2];
  } else if (value.negative && !showsZero) {
    if (sections.size() >= 2 && !texts[1].empty()) section = &sections[1];
    else minus = true;
  }
  if (section != &positive) rounded = value.RoundedTo(section->maxFraction);
  std::string out = section->prefix;
  if (minus) out.insert(0, "-");
  if (section->hasDigits) out += section->scientific ? ScientificDigits(*section, value) : FixedDigits(*section, rounded);
  out += section->suffix;
  return out;
}

}  // namespace

std::string FormatFloat(std::string_view pattern, double value) {
  if (!std::isfinite(value)) return FloatToStr(value);
  return FormatDecimal(pattern, DecimalOfDouble(value), pattern.empty() ? FloatToStr(value) : std::string());
}

std::string FormatCurr(std::string_view pattern, Currency value) {
  return FormatDecimal(pattern, DecimalOfCurrency(value), pattern.empty() ? value.ToString() : std::string());
}

std::string CurrToStr(Currency value) { return value.ToString(); }
Currency StrToCurr(std::string_view text) { return Currency::Parse(text); }

bool TryStrToCurr(std::string_view text, Currency& result) {
  auto value = Currency::TryParse(text);
  if (value) result = *value;
  return value.has_value();
}

Currency StrToCurrDef(std::string_view text, Currency fallback) { return Currency::TryParse(text).value_or(fallback); }

// ======================================================================================================
// Date-time patterns
// ======================================================================================================
namespace {

const char* const kShortMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                    "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char* const kLongMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                                   "July",    "August",   "September", "October", "November", "December"};
const char* const kShortDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const kLongDays[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

std::string Padded(int value, size_t width) {
  std::string s = std::to_string(value);
  if (s.size() < width) s.insert(0, width - s.size(), '0');
  return s;
}

char Lower(char ch) { return (ch >= 'A' && ch <= 'Z') ? static_cast<char>(ch - 'A' + 'a') : ch; }

bool StartsWithNoCase(std::string_view text, size_t at, std::string_view word) {
  return at + word.size() <= text.size() && SameText(text.substr(at, word.size()), word);
}

bool HasAmPm(std::string_view pattern) {
  return ContainsText(pattern, "am/pm") || ContainsText(pattern, "a/p") || ContainsText(pattern, "ampm");
}

struct DateParts {
  int year, month, day, hour, minute, second, msec, dayOfWeek;
};

void AppendDateTime(std::string& out, std::string_view pattern, const DateParts& p, int depth);

void AppendSpecifier(std::string& out, std::string_view pattern, size_t& i, const DateParts& p, bool twelveHour,
                     char& last, int depth) {
  const TFormatSettings& fs = FormatSettings();
  char ch = Lower(pattern[i]);
  size_t count = 1;
  while (i + count < pattern.size() && Lower(pattern[i + count]) == ch) ++count;
  switch (ch) {
    case 'y':
      out += count <= 2 ? Padded(p.year % 100, 2) : Padded(p.year, 4);
      break;
    case 'm':
      if (last == 'h' && count <= 2) {
        out += Padded(p.minute, count);
        ch = 'n';
      } else if (count <= 2) {
        out += Padded(p.month, count);
      } else {
        out += count == 3 ? kShortMonths[p.month - 1] : kLongMonths[p.month - 1];
        count = std::min<size_t>(count, 4);
      }
      break;
    case 'd':
      count = std::min<size_t>(count, 6);
      if (count <= 2) out += Padded(p.day, count);
      else if (count == 3) out += kShortDays[p.dayOfWeek - 1];
      else if (count == 4) out += kLongDays[p.dayOfWeek - 1];
      else if (depth == 0) AppendDateTime(out, fs.ShortDateFormat, p, depth + 1);
      break;
    case 'h': {
      count = std::min<size_t>(count, 2);
      int hour = p.hour;
      if (twelveHour) hour = hour % 12 == 0 ? 12 : hour % 12;
      out += Padded(hour, count);
      break;
    }
    case 'n': count = std::min<size_t>(count, 2); out += Padded(p.minute, count); break;
    case 's': count = std::min<size_t>(count, 2); out += Padded(p.second, count); break;
    case 'z': count = std::min<size_t>(count, 3); out += Padded(p.msec, count == 3 ? 3 : 1); break;
    case 't':
      count = std::min<size_t>(count, 2);
      if (depth == 0) AppendDateTime(out, count == 2 ? fs.LongTimeFormat : "hh:nn", p, depth + 1);
      break;
    case 'c':
      count = 1;
      if (depth == 0) {
        AppendDateTime(out, fs.ShortDateFormat, p, depth + 1);
        if (p.hour || p.minute || p.second || p.msec) {
          out += ' ';
          AppendDateTime(out, fs.LongTimeFormat, p, depth + 1);
        }
      }
      break;
  }
  last = ch;
  i += count;
}

void AppendDateTime(std::string& out, std::string_view pattern, const DateParts& p, int depth) {
  const TFormatSettings& fs = FormatSettings();
  bool twelveHour = HasAmPm(pattern);
  char last = 0;  // the last specifier, so that "mm" after "hh" reads as minutes
  size_t i = 0;
  while (i < pattern.size()) {
    char ch = pattern[i];
    char lower = Lower(ch);
    if (ch == '\'' || ch == '"') {
      size_t end = pattern.find(ch, i + 1);
      if (end == std::string_view::npos) end = pattern.size();
      out.append(pattern.substr(i + 1, end - i - 1));
      i = end + 1;
    } else if (lower == 'a' && StartsWithNoCase(pattern, i, "am/pm")) {
      out += p.hour < 12 ? "AM" : "PM";
      i += 5;
    } else if (lower == 'a' && StartsWithNoCase(pattern, i, "a/p")) {
      out += p.hour < 12 ? "A" : "P";
      i += 3;
    } else if (lower == 'a' && StartsWithNoCase(pattern, i, "ampm")) {
      out += p.hour < 12 ? "AM" : "PM";
      i += 4;
    } else if (std::string_view("ymdhnsztc").find(lower) != std::string_view::npos) {
      AppendSpecifier(out, pattern, i, p, twelveHour, last, depth);
    } else if (ch == '/') {
      out.push_back(fs.DateSeparator);
      ++i;
    } else if (ch == ':') {
      out.push_back(fs.TimeSeparator);
      ++i;
    } else {
      out.push_back(ch);
      ++i;
    }
  }
}

}  // namespace

std::string FormatDateTime(std::string_view pattern, TDateTime value) {
  DateParts p{};
  DecodeDateTime(value, p.year, p.month, p.day, p.hour, p.minute, p.second, p.msec);
  p.dayOfWeek = DayOfWeek(value);
  std::string out;
  AppendDateTime(out, pattern.empty() ? std::string_view("c") : pattern, p, 0);
  return out;
}

std::string DateToStr(TDateTime value) { return FormatDateTime(FormatSettings().ShortDateFormat, value); }
std::string TimeToStr(TDateTime value) { return FormatDateTime(FormatSettings().LongTimeFormat, value); }

std::string DateTimeToStr(TDateTime value) {
  std::string text = DateToStr(value);
  if (!IsMidnight(value)) text += " " + TimeToStr(value);
  return text;
}

// ======================================================================================================
// Reading date-times
// ======================================================================================================
namespace {

// Reads 1..maxDigits digits at text[i].
bool ReadNumber(std::string_view text, size_t& i, size_t maxDigits, int& value) {
  size_t start = i;
  value = 0;
  while (i < text.size() && i - start < maxDigits && text[i] >= '0' && text[i] <= '9') value = value * 10 + (text[i++] - '0');
  return i > start;
}

bool ParseDate(std::string_view t, size_t& i, int& y, int& m, int& d) {
  if (!ReadNumber(t, i, 4, y) || i >= t.size()) return false;
  char separator = t[i];
  if (separator != '-' && separator != '/') return false;
  ++i;
  if (!ReadNumber(t, i, 2, m) || i >= t.size() || t[i] != separator) return false;
  ++i;
  return ReadNumber(t, i, 2, d) && IsValidDate(y, m, d);
}

// hh:nn[:ss[.zzz]]
bool ParseTime(std::string_view t, size_t& i, int& h, int& n, int& s, int& ms) {
  s = ms = 0;
  if (!ReadNumber(t, i, 2, h) || i >= t.size() || t[i] != ':') return false;
  ++i;
  if (!ReadNumber(t, i, 2, n)) return false;
  if (i < t.size() && t[i] == ':') {
    ++i;
    if (!ReadNumber(t, i, 2, s)) return false;
    if (i < t.size() && t[i] == '.') {
      ++i;
      size_t start = i;
      if (!ReadNumber(t, i, 3, ms)) return false;
      for (size_t k = i - start; k < 3; ++k) ms *= 10;  // ".5" is 500 ms
      while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i;  // finer digits dropped
    }
  }
  return IsValidTime(h, n, s, ms);
}

}  // namespace

bool TryStrToDateTime(std::string_view text, TDateTime& result) {
  std::string trimmed = Trim(text);
  std::string_view t = trimmed;
  size_t i = 0;
  int y, m, d, h = 0, n = 0, s = 0, ms = 0;
  if (!ParseDate(t, i, y, m, d)) return false;
  if (i < t.size()) {
    if (t[i] != ' ' && t[i] != 'T') return false;
    while (i < t.size() && (t[i] == ' ' || t[i] == 'T')) ++i;
    if (!ParseTime(t, i, h, n, s, ms) || i != t.size()) return false;
  }
  result = EncodeDateTime(y, m, d, h, n, s, ms);
  return true;
}

TDateTime StrToDateTime(std::string_view text) {
  TDateTime result;
  if (!TryStrToDateTime(text, result)) throw EConvertError("'" + std::string(text) + "' is not a valid date and time");
  return result;
}

bool TryStrToDate(std::string_view text, TDateTime& result) {
  std::string trimmed = Trim(text);
  size_t i = 0;
  int y, m, d;
  if (!ParseDate(trimmed, i, y, m, d) || i != trimmed.size()) return false;
  result = EncodeDate(y, m, d);
  return true;
}

TDateTime StrToDate(std::string_view text) {
  TDateTime result;
  if (!TryStrToDate(text, result)) throw EConvertError("'" + std::string(text) + "' is not a valid date");
  return result;
}

bool TryStrToTime(std::string_view text, TDateTime& result) {
  std::string trimmed = Trim(text);
  size_t i = 0;
  int h, n, s, ms;
  if (!ParseTime(trimmed, i, h, n, s, ms) || i != trimmed.size()) return false;
  result = EncodeTime(h, n, s, ms);
  return true;
}

TDateTime StrToTime(std::string_view text) {
  TDateTime result;
  if (!TryStrToTime(text, result)) throw EConvertError("'" + std::string(text) + "' is not a valid time");
  return result;
}

TDateTime StrToDateTimeDef(std::string_view text, TDateTime fallback) {
  TDateTime result;
  return TryStrToDateTime(text, result) ? result : fallback;
}

TDateTime StrToDateDef(std::string_view text, TDateTime fallback) {
  TDateTime result;
  return TryStrToDate(text, result) ? result : fallback;
}

// ======================================================================================================
// printf-like Format
// ======================================================================================================
namespace {

[[noreturn]] void BadFormat(std::string_view pattern) {
  throw EConvertError("Format '" + std::string(pattern) + "' invalid or incompatible with argument");
}

bool IsWhole(const Variant& v) {
  return v.Type() == VarType::Integer || v.Type() == VarType::Int64;
}

bool IsReal(const Variant& v) {
  return IsWhole(v) || v.Type() == VarType::Double || v.Type() == VarType::Currency;
}

// Fixed decimals on the value's own decimal digits (currency stays exact).
std::string FixedText(const Variant& v, int decimals, bool grouping) {
  Decimal value;
  if (v.Type() == VarType::Currency) {
    value = DecimalOfCurrency(v.Get<Currency>());
  } else if (IsWhole(v)) {
    int64_t i = v.AsInt64();
    value.negative = i < 0;
    value.whole = std::to_string(i < 0 ? 0 - static_cast<uint64_t>(i) : static_cast<uint64_t>(i));
  } else {
    value = DecimalOfDouble(v.AsDouble());
  }
  Decimal rounded = value.RoundedTo(static_cast<size_t>(decimals));
  NumberSection s;
  s.hasDigits = true;
  s.grouping = grouping;
  s.minWhole = 1;
  s.minFraction = s.maxFraction = static_cast<size_t>(decimals);
  std::string digits = FixedDigits(s, rounded);
  return (value.negative && !rounded.IsZero() ? "-" : "") + digits;
}

}  // namespace

std::string Format(std::string_view pattern, std::initializer_list<Variant> args) {
  std::vector<const Variant*> values;
  for (const Variant& v : args) values.push_back(&v);
  std::string out;
  size_t next = 0;
  size_t i = 0;
  while (i < pattern.size()) {
    char ch = pattern[i];
    if (ch != '%') {
      out.push_back(ch);
      ++i;
      continue;
    }
    ++i;
    if (i < pattern.size() && pattern[i] == '%') {
      out.push_back('%');
      ++i;
      continue;
    }
    // %[index:][-][width][.precision]type
    size_t start = i;
    int number = -1;
    auto readInt = [&]() {
      int value = -1;
      if (i < pattern.size() && pattern[i] >= '0' && pattern[i] <= '9') {
        value = 0;
        while (i < pattern.size() && pattern[i] >= '0' && pattern[i] <= '9') value = value * 10 + (pattern[i++] - '0');
      }
      return value;
    };
    number = readInt();
    if (i < pattern.size() && pattern[i] == ':') {
      next = static_cast<size_t>(number < 0 ? 0 : number);
      ++i;
      number = -1;
    } else {
      i = start;
    }
    bool left = false;
    if (i < pattern.size() && pattern[i] == '-') {
      left = true;
      ++i;
    }
    int width = readInt();
    int precision = -1;
    if (i < pattern.size() && pattern[i] == '.') {
      ++i;
      precision = readInt();
      if (precision < 0) precision = 0;
    }
    if (i >= pattern.size()) BadFormat(pattern);
    char type = Lower(pattern[i++]);
    if (next >= values.size()) BadFormat(pattern);
    const Variant& arg = *values[next++];
    std::string piece;
    switch (type) {
      case 'd':
      case 'u': {
        if (!IsWhole(arg)) BadFormat(pattern);
        int64_t value = arg.AsInt64();
        std::string digits = std::to_string(value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value));
        if (precision > 0 && digits.size() < static_cast<size_t>(precision))
          digits.insert(0, static_cast<size_t>(precision) - digits.size(), '0');
        piece = (value < 0 ? "-" : "") + digits;
        break;
      }
      case 'x': {
        if (!IsWhole(arg)) BadFormat(pattern);
        char buffer[24];
        int64_t value = arg.AsInt64();
        if (arg.Type() == VarType::Integer)
          std::snprintf(buffer, sizeof buffer, "%X", static_cast<uint32_t>(value));
        else
          std::snprintf(buffer, sizeof buffer, "%llX", static_cast<unsigned long long>(value));
        piece = buffer;
        if (precision > 0 && piece.size() < static_cast<size_t>(precision))
          piece.insert(0, static_cast<size_t>(precision) - piece.size(), '0');
        break;
      }
      case 'f':
      case 'n':
      case 'm':
        if (!IsReal(arg)) BadFormat(pattern);
        piece = FixedText(arg, precision < 0 ? 2 : precision, type != 'f');
        break;
      case 'g':
        if (!IsReal(arg)) BadFormat(pattern);
        piece = arg.Type() == VarType::Currency ? arg.Get<Currency>().ToString() : FloatToStr(arg.AsDouble());
        break;
      case 'e': {
        if (!IsReal(arg)) BadFormat(pattern);
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%.*E", precision < 0 ? 14 : std::max(precision - 1, 0), arg.AsDouble());
        piece = buffer;
        break;
      }
      case 's':
        if (arg.IsArray()) BadFormat(pattern);
        piece = arg.ToString();
        if (precision >= 0) piece = LeftChars(piece, static_cast<size_t>(precision));
        break;
      default: BadFormat(pattern);
    }
    size_t length = CharCount(piece);
    if (width > 0 && length < static_cast<size_t>(width)) {
      std::string pad(static_cast<size_t>(width) - length, ' ');
      piece = left ? piece + pad : pad + piece;
    }
    out += piece;
  }
  return out;
}

}  // namespace jxc
