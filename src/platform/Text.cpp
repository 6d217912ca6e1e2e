#include "platform/Text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "platform/Exceptions.h"

namespace jxc {

namespace {

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

char AsciiLower(char ch) { return (ch >= 'A' && ch <= 'Z') ? static_cast<char>(ch - 'A' + 'a') : ch; }
char AsciiUpper(char ch) { return (ch >= 'a' && ch <= 'z') ? static_cast<char>(ch - 'a' + 'A') : ch; }

bool IsBlank(char ch) { return static_cast<unsigned char>(ch) <= ' '; }

// Decodes one code point at text[i]; false on malformed UTF-8 (overlong, surrogate, beyond U+10FFFF).
bool DecodeOne(std::string_view text, size_t& i, char32_t& cp) {
  unsigned char b = static_cast<unsigned char>(text[i]);
  int extra;
  char32_t min;
  if (b < 0x80) { cp = b; ++i; return true; }
  if ((b & 0xE0) == 0xC0) { extra = 1; cp = b & 0x1F; min = 0x80; }
  else if ((b & 0xF0) == 0xE0) { extra = 2; cp = b & 0x0F; min = 0x800; }
  else if ((b & 0xF8) == 0xF0) { extra = 3; cp = b & 0x07; min = 0x10000; }
  else return false;
  if (i + static_cast<size_t>(extra) >= text.size()) return false;
  for (int k = 1; k <= extra; ++k) {
    unsigned char c = static_cast<unsigned char>(text[i + k]);
    if (!IsContinuation(c)) return false;
    cp = (cp << 6) | (c & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
  i += extra + 1;
  return true;
}

// Byte offsets where each code point starts (lenient: any non-continuation byte starts one).
std::vector<size_t> CharStarts(std::string_view text) {
  std::vector<size_t> starts;
  for (size_t i = 0; i < text.size(); ++i)
    if (!IsContinuation(static_cast<unsigned char>(text[i]))) starts.push_back(i);
  return starts;
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  return true;
}

size_t FindIgnoreCase(std::string_view text, std::string_view part, size_t from) {
  if (part.empty()) return from <= text.size() ? from : std::string_view::npos;
  for (size_t i = from; i + part.size() <= text.size(); ++i)
    if (EqualsIgnoreCase(text.substr(i, part.size()), part)) return i;
  return std::string_view::npos;
}

std::string_view TrimView(std::string_view text, bool left, bool right) {
  size_t b = 0, e = text.size();
  if (left) while (b < e && IsBlank(text[b])) ++b;
  if (right) while (e > b && IsBlank(text[e - 1])) --e;
  return text.substr(b, e - b);
}

// [+-]digits with nothing else; the digits are the caller's to read.
bool IsPlainInteger(std::string_view t) {
  size_t i = (!t.empty() && (t[0] == '+' || t[0] == '-')) ? 1 : 0;
  if (i == t.size()) return false;
  for (; i < t.size(); ++i)
    if (t[i] < '0' || t[i] > '9') return false;
  return true;
}

// [+-] digits [. digits] [e [+-] digits], at least one mantissa digit.
bool IsPlainFloat(std::string_view t) {
  size_t i = 0, n = t.size();
  if (i < n && (t[i] == '+' || t[i] == '-')) ++i;
  size_t digits = 0;
  while (i < n && t[i] >= '0' && t[i] <= '9') { ++i; ++digits; }
  if (i < n && t[i] == '.') {
    ++i;
    while (i < n && t[i] >= '0' && t[i] <= '9') { ++i; ++digits; }
  }
  if (digits == 0) return false;
  if (i < n && (t[i] == 'e' || t[i] == 'E')) {
    ++i;
    if (i < n && (t[i] == '+' || t[i] == '-')) ++i;
    size_t expDigits = 0;
    while (i < n && t[i] >= '0' && t[i] <= '9') { ++i; ++expDigits; }
    if (expDigits == 0) return false;
  }
  return i == n;
}

}  // namespace

// --- UTF-8 / UTF-16 -----------------------------------------------------------------------------------

bool IsValidUtf8(std::string_view text) {
  char32_t cp;
  for (size_t i = 0; i < text.size();)
    if (!DecodeOne(text, i, cp)) return false;
  return true;
}

std::u32string Utf8ToUtf32(std::string_view text) {
  std::u32string out;
  char32_t cp;
  for (size_t i = 0; i < text.size();) {
    if (!DecodeOne(text, i, cp)) throw EConvertError("Invalid UTF-8 text");
    out.push_back(cp);
  }
  return out;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

std::string Utf32ToUtf8(std::u32string_view text) {
  std::string out;
  for (char32_t cp : text) AppendUtf8(out, cp);
  return out;
}

std::u16string Utf8ToUtf16(std::string_view text) {
  std::u16string out;
  for (char32_t cp : Utf8ToUtf32(text)) {
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t unit = text[i];
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00));
      ++i;
    } else if (unit >= 0xD800 && unit <= 0xDFFF) {
      AppendUtf8(out, 0xFFFD);  // a lone surrogate has no UTF-8 form
    } else {
      AppendUtf8(out, unit);
    }
  }
  return out;
}

size_t Utf16Length(std::string_view text) {
  size_t units = 0;
  for (char ch : text) {
    unsigned char b = static_cast<unsigned char>(ch);
    if (IsContinuation(b)) continue;
    units += (b >= 0xF0) ? 2 : 1;
  }
  return units;
}

size_t CharCount(std::string_view text) {
  size_t count = 0;
  for (char ch : text)
    if (!IsContinuation(static_cast<unsigned char>(ch))) ++count;
  return count;
}

std::string LeftChars(std::string_view text, size_t n) {
  std::vector<size_t> starts = CharStarts(text);
  if (n >= starts.size()) return std::string(text);
  return std::string(text.substr(0, starts[n]));
}

std::string RightChars(std::string_view text, size_t n) {
  std::vector<size_t> starts = CharStarts(text);
  if (n >= starts.size()) return std::string(text);
  return std::string(text.substr(starts[starts.size() - n]));
}

std::string Utf16Copy(std::string_view text, size_t start, size_t count) {
  std::string out;
  size_t unit = 0;
  size_t end = count > SIZE_MAX - start ? SIZE_MAX : start + count;
  std::vector<size_t> starts = CharStarts(text);
  for (size_t k = 0; k < starts.size() && unit < end; ++k) {
    size_t next = k + 1 < starts.size() ? starts[k + 1] : text.size();
    size_t width = static_cast<unsigned char>(text[starts[k]]) >= 0xF0 ? 2 : 1;
    if (unit >= start && unit + width <= end) out.append(text.substr(starts[k], next - starts[k]));
    unit += width;
  }
  return out;
}

std::string Utf16Left(std::string_view text, size_t count) { return Utf16Copy(text, 0, count); }

std::string Utf16Right(std::string_view text, size_t count) {
  size_t length = Utf16Length(text);
  return count >= length ? std::string(text) : Utf16Copy(text, length - count, count);
}

size_t Utf16Pos(std::string_view part, std::string_view text) {
  size_t at = text.find(part);
  return at == std::string_view::npos ? 0 : Utf16Length(text.substr(0, at)) + 1;
}

std::string ReverseChars(std::string_view text) {
  std::vector<size_t> starts = CharStarts(text);
  std::string out;
  out.reserve(text.size());
  size_t end = text.size();
  for (size_t k = starts.size(); k-- > 0;) {
    out.append(text.substr(starts[k], end - starts[k]));
    end = starts[k];
  }
  out.append(text.substr(0, end));  // stray continuation bytes at the very start
  return out;
}

// --- blanks and case ----------------------------------------------------------------------------------

std::string Trim(std::string_view text) { return std::string(TrimView(text, true, true)); }
std::string TrimLeft(std::string_view text) { return std::string(TrimView(text, true, false)); }
std::string TrimRight(std::string_view text) { return std::string(TrimView(text, false, true)); }

std::string UpperCase(std::string_view text) {
  std::string out(text);
  for (char& ch : out) ch = AsciiUpper(ch);
  return out;
}

std::string LowerCase(std::string_view text) {
  std::string out(text);
  for (char& ch : out) ch = AsciiLower(ch);
  return out;
}

bool SameText(std::string_view a, std::string_view b) { return EqualsIgnoreCase(a, b); }

int CompareText(std::string_view a, std::string_view b) {
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    unsigned char x = static_cast<unsigned char>(AsciiLower(a[i]));
    unsigned char y = static_cast<unsigned char>(AsciiLower(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool ContainsText(std::string_view text, std::string_view part) {
  return FindIgnoreCase(text, part, 0) != std::string_view::npos;
}

bool StartsText(std::string_view prefix, std::string_view text) {
  return text.size() >= prefix.size() && EqualsIgnoreCase(text.substr(0, prefix.size()), prefix);
}

bool EndsText(std::string_view suffix, std::string_view text) {
  return text.size() >= suffix.size() && EqualsIgnoreCase(text.substr(text.size() - suffix.size()), suffix);
}

size_t Pos(std::string_view part, std::string_view text) { return text.find(part); }
bool Contains(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

// --- building -----------------------------------------------------------------------------------------

std::string StringReplace(std::string_view text, std::string_view from, std::string_view to, bool ignoreCase) {
  if (from.empty()) return std::string(text);
  std::string out;
  size_t start = 0;
  while (true) {
    size_t at = ignoreCase ? FindIgnoreCase(text, from, start) : text.find(from, start);
    if (at == std::string_view::npos) break;
    out.append(text.substr(start, at - start));
    out.append(to);
    start = at + from.size();
  }
  out.append(text.substr(start));
  return out;
}

std::string QuotedStr(std::string_view text) {
  std::string out = "'";
  for (char ch : text) {
    if (ch == '\'') out.push_back('\'');
    out.push_back(ch);
  }
  out.push_back('\'');
  return out;
}

std::vector<std::string> SplitString(std::string_view text, std::string_view delimiters, bool trim) {
  std::vector<std::string> pieces;
  size_t start = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || delimiters.find(text[i]) != std::string_view::npos) {
      std::string_view piece = text.substr(start, i - start);
      pieces.emplace_back(trim ? TrimView(piece, true, true) : piece);
      start = i + 1;
    }
  }
  return pieces;
}

std::string JoinStrings(const std::vector<std::string>& items, std::string_view separator) {
  std::string out;
  for (size_t i = 0; i < items.size(); ++i) {
    if (i) out.append(separator);
    out.append(items[i]);
  }
  return out;
}

// --- numbers from and to text ---------------------------------------------------------------------------

std::string IntToStr(int64_t value) { return std::to_string(value); }

std::optional<int64_t> TryStrToInt64(std::string_view text) {
  std::string_view t = TrimView(text, true, true);
  if (!IsPlainInteger(t)) return std::nullopt;
  if (t[0] == '+') t.remove_prefix(1);
  int64_t value = 0;
  auto [end, error] = std::from_chars(t.data(), t.data() + t.size(), value);
  if (error != std::errc() || end != t.data() + t.size()) return std::nullopt;
  return value;
}

std::optional<double> TryStrToFloat(std::string_view text) {
  std::string_view t = TrimView(text, true, true);
  if (!IsPlainFloat(t)) return std::nullopt;
  if (t[0] == '+') t.remove_prefix(1);
  double value = 0;
  auto [end, error] = std::from_chars(t.data(), t.data() + t.size(), value);
  if (error != std::errc() || end != t.data() + t.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

int64_t StrToInt64Def(std::string_view text, int64_t fallback) { return TryStrToInt64(text).value_or(fallback); }

int32_t StrToIntDef(std::string_view text, int32_t fallback) {
  auto value = TryStrToInt64(text);
  if (!value || *value < INT32_MIN || *value > INT32_MAX) return fallback;
  return static_cast<int32_t>(*value);
}

double StrToFloatDef(std::string_view text, double fallback) { return TryStrToFloat(text).value_or(fallback); }

int64_t StrToInt64(std::string_view text) {
  auto value = TryStrToInt64(text);
  if (!value) throw EConvertError("'" + std::string(text) + "' is not a valid integer value");
  return *value;
}

int32_t StrToInt(std::string_view text) {
  auto value = TryStrToInt64(text);
  if (!value || *value < INT32_MIN || *value > INT32_MAX)
    throw EConvertError("'" + std::string(text) + "' is not a valid integer value");
  return static_cast<int32_t>(*value);
}

double StrToFloat(std::string_view text) {
  auto value = TryStrToFloat(text);
  if (!value) throw EConvertError("'" + std::string(text) + "' is not a valid floating point value");
  return *value;
}

std::string FloatToStr(double value) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
  if (value == 0) return "0";
  // 15 significant digits, then the shortest form of them.
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.14e", value);
  std::string text(buffer);
  size_t ePos = text.find('e');
  int exponent = std::stoi(text.substr(ePos + 1));
  bool negative = text[0] == '-';
  std::string digits;
  for (size_t i = negative ? 1 : 0; i < ePos; ++i)
    if (text[i] != '.') digits.push_back(text[i]);
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  std::string out = negative ? "-" : "";
  if (exponent >= 15 || exponent < -4) {
    out += digits.substr(0, 1);
    if (digits.size() > 1) out += "." + digits.substr(1);
    out += "E" + std::to_string(exponent);
  } else if (exponent < 0) {
    out += "0." + std::string(static_cast<size_t>(-exponent - 1), '0') + digits;
  } else {
    size_t intLen = static_cast<size_t>(exponent) + 1;
    if (digits.size() <= intLen) {
      out += digits + std::string(intLen - digits.size(), '0');
    } else {
      out += digits.substr(0, intLen) + "." + digits.substr(intLen);
    }
  }
  return out;
}

std::string BoolToStr(bool value) { return value ? "True" : "False"; }

}  // namespace jxc
