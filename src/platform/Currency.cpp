#include "platform/Currency.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
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

// A double as the decimal it reads as with 15 significant digits (what a double reliably holds), so that
// 2.675 counts as 2.675 and not as its binary value 2.67499999999999982236431605997495353221893310546875:
// the value is mantissa * 10^exponent.
struct Decimal {
  int64_t mantissa;  // fewer than 16 digits
  int exponent;
};

Decimal DecimalOf(double value) {
  char text[40];
  std::snprintf(text, sizeof text, "%.14e", value);  // "-d.dddddddddddddde+XX"
  const char* p = text;
  const bool negative = *p == '-';
  if (negative) ++p;
  int64_t mantissa = 0;
  for (; *p != '\0' && *p != 'e'; ++p) {
    if (*p >= '0' && *p <= '9') mantissa = mantissa * 10 + (*p - '0');
  }
  const int exponent = *p == 'e' ? std::atoi(p + 1) : 0;
  return {negative ? -mantissa : mantissa, exponent - 14};
}

// value * 10^exponent rounded half away from zero to a whole number; EOverflow when it does not fit.
// |value| stays below 10^34 (a raw value times a mantissa), so the scaling fits in 128 bits.
int64_t ScaleDecimal(Wide value, int exponent) {
  if (value == 0) return 0;
  if (exponent >= 0) {
    for (int i = 0; i < exponent; ++i) {
      if (value > kMax || value < kMin) Overflow();
      value *= 10;
    }
    return Checked(value);
  }
  if (exponent < -36) return 0;  // below half of the last place
  Wide divisor = 1;
  for (int i = 0; i < -exponent; ++i) divisor *= 10;
  return Checked(DivRound(value, divisor));
}

void CheckFactor(double value) {
  if (std::isnan(value)) throw EConvertError("NaN is not a valid currency value");
  if (!std::isfinite(value)) Overflow();
}

}  // namespace

Currency Currency::FromInt(int64_t units) { return FromRaw(Checked(Wide(units) * kScale)); }

Currency Currency::FromDouble(double value) {
  CheckFactor(value);
  const Decimal d = DecimalOf(value);
  try {
    return FromRaw(ScaleDecimal(Wide(d.mantissa) * kScale, d.exponent));
  } catch (const EOverflow&) {
    if (const std::optional<Currency> exact = FromBinaryValue(value)) return *exact;
    throw;
  }
}

std::optional<Currency> Currency::FromBinaryValue(double value) {
  if (!std::isfinite(value)) return std::nullopt;
  if (value == 0) return Currency();
  int exponent = 0;
  const double fraction = std::frexp(value, &exponent);  // value = fraction * 2^exponent, 0.5 <= |fraction| < 1
  const Wide scaled = static_cast<Wide>(std::ldexp(fraction, 53)) * kScale;  // exact: 53 bits times 10^4
  const int shift = exponent - 53;
  Wide raw = 0;
  if (shift >= 0) {
    if (shift > 60) return std::nullopt;
    raw = scaled << shift;
  } else if (shift >= -100) {
    raw = DivRound(scaled, Wide(1) << -shift);
  }
  if (raw > kMax || raw < kMin) return std::nullopt;
  return FromRaw(static_cast<int64_t>(raw));
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
  CheckFactor(factor);
  // Whole factors (quantities) multiply exactly as they are.
  if (factor == std::trunc(factor) && std::fabs(factor) < 1e15) return *this * static_cast<int64_t>(factor);
  const Decimal d = DecimalOf(factor);
  return FromRaw(ScaleDecimal(Wide(raw_) * d.mantissa, d.exponent));
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
