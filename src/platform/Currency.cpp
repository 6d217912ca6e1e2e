#include "platform/Currency.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "platform/Exceptions.h"

namespace jxc {

namespace {

using Wide = __int128;

constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
constexpr int64_t kMin = std::numeric_limits<int64_t>::min();

[[noreturn]] void Overflow() { throw EOverflow("Currency value out of range"); }

int64_t Checked(Wide value) {
  if (value > kMax || value < kMin) Overflow();
  return static_cast<int64_t>(value);
}

// numerator / denominator rounded half away from zero (denominator != 0).
Wide DivRound(Wide numerator, Wide denominator) {
  Wide q = numerator / denominator;
  Wide r = numerator % denominator;
  Wide absR = r < 0 ? -r : r;
  Wide absD = denominator < 0 ? -denominator : denominator;
  if (absR * 2 >= absD) q += ((numerator < 0) != (denominator < 0)) ? -1 : 1;
  return q;
}

enum class ParseStatus { Ok, Malformed, OutOfRange };

// Plain decimal text to ten-thousandths: blanks, sign, digits with ',' between digits, '.' and digits.
// Digits after the fourth decimal round the result half away from zero.
ParseStatus ParseDecimal(std::string_view text, int64_t& raw) {
  size_t i = 0, n = text.size();
  auto blank = [&](size_t k) { return static_cast<unsigned char>(text[k]) <= ' '; };
  while (i < n && blank(i)) ++i;
  while (n > i && blank(n - 1)) --n;
  bool negative = false;
  if (i < n && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  Wide units = 0;
  bool anyDigit = false, overflow = false;
  for (; i < n; ++i) {
    char ch = text[i];
    if (ch >= '0' && ch <= '9') {
      anyDigit = true;
      if (!overflow) units = units * 10 + (ch - '0');
      if (units > Wide(kMax)) overflow = true;
    } else if (ch == ',' && anyDigit && i + 1 < n && text[i + 1] >= '0' && text[i + 1] <= '9') {
      continue;
    } else {
      break;
    }
  }
  Wide fraction = 0;
  int decimals = 0;
  bool roundUp = false;
  if (i < n && text[i] == '.') {
    ++i;
    for (; i < n && text[i] >= '0' && text[i] <= '9'; ++i) {
      anyDigit = true;
      if (decimals < 4) {
        fraction = fraction * 10 + (text[i] - '0');
        ++decimals;
      } else if (decimals == 4) {
        roundUp = text[i] >= '5';
        ++decimals;
      }
    }
  }
  if (i != n || !anyDigit) return ParseStatus::Malformed;
  if (overflow) return ParseStatus::OutOfRange;
  for (int d = std::min(decimals, 4); d < 4; ++d) fraction *= 10;
  Wide value = units * Currency::kScale + fraction + (roundUp ? 1 : 0);
  if (negative) value = -value;
  if (value > kMax || value < kMin) return ParseStatus::OutOfRange;
  raw = static_cast<int64_t>(value);
  return ParseStatus::Ok;
}

}  // namespace

Currency Currency::FromInt(int64_t units) { return FromRaw(Checked(Wide(units) * kScale)); }

Currency Currency::FromDouble(double value) {
  if (std::isnan(value)) throw EConvertError("NaN is not a valid currency value");
  if (!std::isfinite(value) || std::fabs(value) >= 922337203685477.5) Overflow();
  // Round on the decimal value as it reads with 15 significant digits (what a double reliably holds), so
  // that 2.00005 becomes 2.0001 although its binary value lies just below the half.
  int intDigits = value == 0 ? 1 : static_cast<int>(std::floor(std::log10(std::fabs(value)))) + 1;
  int decimals = std::clamp(15 - intDigits, 0, 19);
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
  int64_t raw = 0;
  if (ParseDecimal(buffer, raw) != ParseStatus::Ok) Overflow();
  return FromRaw(raw);
}

std::optional<Currency> Currency::TryParse(std::string_view text) {
  int64_t raw = 0;
  if (ParseDecimal(text, raw) != ParseStatus::Ok) return std::nullopt;
  return FromRaw(raw);
}

Currency Currency::Parse(std::string_view text) {
  int64_t raw = 0;
  switch (ParseDecimal(text, raw)) {
    case ParseStatus::Ok: return FromRaw(raw);
    case ParseStatus::OutOfRange: throw EOverflow("'" + std::string(text) + "' is out of the currency range");
    default: throw EConvertError("'" + std::string(text) + "' is not a valid currency value");
  }
}

std::string Currency::ToString() const {
  uint64_t magnitude = raw_ < 0 ? 0 - static_cast<uint64_t>(raw_) : static_cast<uint64_t>(raw_);
  std::string text = raw_ < 0 ? "-" : "";
  text += std::to_string(magnitude / kScale);
  uint64_t fraction = magnitude % kScale;
  if (fraction != 0) {
    char digits[8];
    std::snprintf(digits, sizeof digits, "%04llu", static_cast<unsigned long long>(fraction));
    std::string f(digits);
    while (f.back() == '0') f.pop_back();
    text += "." + f;
  }
  return text;
}

Currency Currency::Rounded(int decimals) const {
  if (decimals >= 4) return *this;
  if (decimals < 0) decimals = 0;
  Wide step = 1;
  for (int d = decimals; d < 4; ++d) step *= 10;
  return FromRaw(Checked(DivRound(raw_, step) * step));
}

Currency Currency::operator-() const { return FromRaw(Checked(-Wide(raw_))); }
Currency Currency::operator+(Currency other) const { return FromRaw(Checked(Wide(raw_) + other.raw_)); }
Currency Currency::operator-(Currency other) const { return FromRaw(Checked(Wide(raw_) - other.raw_)); }
Currency Currency::operator*(int64_t factor) const { return FromRaw(Checked(Wide(raw_) * factor)); }

Currency Currency::operator*(Currency other) const {
  // The exact product has eight decimals; round it half away from zero back to four.
  return FromRaw(Checked(DivRound(Wide(raw_) * other.raw_, kScale)));
}

Currency Currency::operator*(double factor) const {
  if (std::isnan(factor)) throw EConvertError("NaN is not a valid currency value");
  long double product = static_cast<long double>(raw_) * factor;
  if (!(std::fabs(product) < 9.2233720368547758e18L)) Overflow();
  return FromRaw(std::llroundl(product));
}

Currency Currency::operator/(int64_t divisor) const {
  if (divisor == 0) throw EConvertError("Division by zero");
  return FromRaw(Checked(DivRound(raw_, divisor)));
}

double Currency::operator/(Currency divisor) const {
  if (divisor.raw_ == 0) throw EConvertError("Division by zero");
  return static_cast<double>(raw_) / static_cast<double>(divisor.raw_);
}

}  // namespace jxc
