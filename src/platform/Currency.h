#pragma once
// Fixed-point money: a signed 64-bit count of ten-thousandths. Sums and differences are exact; products
// and conversions from floating point round half away from zero to four decimals. A double takes part as
// the decimal it reads as with 15 significant digits (2.675 is 2.675), so products with one are decimal
// products. Results that do not fit
// raise EOverflow instead of wrapping. Money is never summed in floating point.

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace jxc {

class Currency {
 public:
  static constexpr int64_t kScale = 10000;  // four decimals

  constexpr Currency() = default;
  // The value raw / 10000.
  static constexpr Currency FromRaw(int64_t raw) { Currency c; c.raw_ = raw; return c; }
  // Whole units; EOverflow when units * 10000 does not fit.
  static Currency FromInt(int64_t units);
  // The decimal the double reads as (15 significant digits), rounded half away from zero to four decimals;
  // EOverflow when out of range or infinite, EConvertError for NaN.
  // A value that the reading puts just past the range while the double itself lies inside (922337203685477.5)
  // is taken as the double's exact value.
  static Currency FromDouble(double value);
  // The double's exact binary value rounded half away from zero to four decimals; nullopt when it is not
  // finite or out of range.
  static std::optional<Currency> FromBinaryValue(double value);
  // Plain decimal text: optional blanks, sign, digits, optional '.' and digits ("12", "-0.5", "1234.5678").
  // Thousand separators ',' between digits are accepted. More than four decimals round half away from zero.
  // Raises EConvertError "'text' is not a valid currency value" on anything else.
  static Currency Parse(std::string_view text);
  static std::optional<Currency> TryParse(std::string_view text);

  constexpr int64_t Raw() const { return raw_; }
  double ToDouble() const { return static_cast<double>(raw_) / kScale; }
  // Shortest text up to four decimals, no trailing zeros, '.' as separator: "12.5", "100", "-0.0001".
  std::string ToString() const;
  // Rounded half away from zero to the given number of decimals (0 to 4).
  Currency Rounded(int decimals) const;
  // The whole part, truncated toward zero.
  int64_t Trunc() const { return raw_ / kScale; }

  Currency operator-() const;
  Currency operator+(Currency other) const;
  Currency operator-(Currency other) const;
  Currency operator*(int64_t factor) const;
  Currency operator*(int factor) const { return *this * static_cast<int64_t>(factor); }
  // Product rounded half away from zero to four decimals.
  Currency operator*(Currency other) const;
  // The decimal product with the factor as it reads (15 significant digits), rounded half away from zero:
  // 6563.89 * 2.675 is 17558.4058. EOverflow when out of range or infinite, EConvertError for NaN.
  Currency operator*(double factor) const;
  // Quotient rounded half away from zero to four decimals; EConvertError on division by zero.
  Currency operator/(int64_t divisor) const;
  // Ratio as a double (average prices, shares); EConvertError on division by zero.
  double operator/(Currency divisor) const;
  Currency& operator+=(Currency other) { return *this = *this + other; }
  Currency& operator-=(Currency other) { return *this = *this - other; }

  constexpr auto operator<=>(const Currency&) const = default;
  constexpr bool operator==(const Currency&) const = default;

 private:
  int64_t raw_ = 0;
};

}  // namespace jxc
