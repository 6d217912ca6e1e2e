#pragma once
// A value of any of the toolkit's scalar kinds, or a one-dimensional array of values.
// Empty (unassigned) and Null (no value) are distinct: an empty variant converts to 0, "" or false; a null
// one refuses numeric and date conversions with EConvertError but reads as "" through ToString.

#include <compare>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "platform/Currency.h"
#include "platform/DateTime.h"

namespace jxc {

enum class VarType { Empty, Null, Boolean, Integer, Int64, Double, Currency, DateTime, String, Array };

// "Empty", "Null", "Boolean", "Integer", "Int64", "Double", "Currency", "DateTime", "String", "Array".
const char* VarTypeName(VarType type);

class Variant {
 public:
  Variant() = default;  // Empty
  Variant(bool value) : v_(value) {}
  Variant(int value) : v_(static_cast<int32_t>(value)) {}
  Variant(long value) : v_(static_cast<int64_t>(value)) {}
  Variant(long long value) : v_(static_cast<int64_t>(value)) {}
  // Counts and sizes; EOverflow beyond the signed 64-bit range.
  Variant(unsigned value) : v_(static_cast<int64_t>(value)) {}
  Variant(unsigned long value);
  Variant(unsigned long long value);
  Variant(double value) : v_(value) {}
  Variant(Currency value) : v_(value) {}
  Variant(TDateTime value) : v_(value) {}
  Variant(std::string value) : v_(std::move(value)) {}
  Variant(std::string_view value) : v_(std::string(value)) {}
  Variant(const char* value) : v_(std::string(value)) {}

  static Variant Null();
  static Variant Array(std::vector<Variant> items);

  VarType Type() const;
  bool IsEmpty() const { return v_.index() == 0; }
  bool IsNull() const { return v_.index() == 1; }
  bool IsNullOrEmpty() const { return v_.index() <= 1; }
  bool IsArray() const { return Type() == VarType::Array; }
  bool IsString() const { return Type() == VarType::String; }
  // Boolean, integers, double and currency.
  bool IsNumeric() const;
  // Double, currency and date-time: the kinds that carry a fractional part.
  bool IsFloatKind() const;

  // Array access; EArgumentError when not an array or out of range.
  const std::vector<Variant>& Elements() const;
  size_t ArrayCount() const;
  const Variant& operator[](size_t index) const;

  // Conversions. Strings are parsed as plain decimal text with '.', or "True"/"False" (any case) for
  // booleans, or "yyyy-mm-dd[ hh:nn[:ss[.zzz]]]" for date-times; anything else raises EConvertError with
  // the toolkit's message ("Could not convert variant of type (Null) into type (Integer)",
  // "'abc' is not a valid integer value"). Integer conversions of fractional values round half away
  // from zero; out-of-range values raise EOverflow.
  bool AsBoolean() const;
  int32_t AsInteger() const;
  int64_t AsInt64() const;
  double AsDouble() const;
  Currency AsCurrency() const;
  TDateTime AsDateTime() const;
  // The text form: "" for empty and null, "True"/"False", decimal integers, shortest float (15 significant
  // digits), currency up to four decimals, date-times as "yyyy-mm-dd" with " hh:nn:ss" added when the time
  // is not midnight (outside the calendar, or NaN, as their number), arrays as their elements joined by ",".
  // Never throws.
  std::string ToString() const;

  // The toolkit's variant equality: null equals only null, empty equals empty, numbers compare by value
  // across kinds (1 == 1.0 == Currency 1), a string and a number compare as numbers when the string is a
  // number, strings compare exactly, arrays element by element.
  bool operator==(const Variant& other) const;

  // Holds exactly this C++ type (no conversion).
  template <class T>
  bool Holds() const { return std::holds_alternative<T>(v_); }
  template <class T>
  const T& Get() const { return std::get<T>(v_); }

 private:
  struct NullTag { bool operator==(const NullTag&) const = default; };
  using Items = std::shared_ptr<const std::vector<Variant>>;
  std::variant<std::monostate, NullTag, bool, int32_t, int64_t, double, Currency, TDateTime, std::string, Items> v_;
};

// A three-way ordering for sorting: null and empty first, then numbers (by value), date-times, strings
// (byte order of the text), booleans false before true. Values of unrelated kinds order by kind.
std::weak_ordering CompareVariants(const Variant& a, const Variant& b);

// The toolkit's free-function spellings.
inline bool VarIsNull(const Variant& v) { return v.IsNull(); }
inline bool VarIsEmpty(const Variant& v) { return v.IsEmpty(); }
inline bool VarIsArray(const Variant& v) { return v.IsArray(); }
inline Variant VarArrayOf(std::vector<Variant> items) { return Variant::Array(std::move(items)); }
// The text form; "" for null and empty.
inline std::string VarToStr(const Variant& v) { return v.ToString(); }
// The text form, or the fallback for null and empty.
inline std::string VarToStrDef(const Variant& v, std::string fallback) {
  return v.IsNullOrEmpty() ? fallback : v.ToString();
}

}  // namespace jxc
