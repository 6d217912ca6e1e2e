#include "platform/Variant.h"

#include <cmath>
#include <limits>

#include "platform/Exceptions.h"
#include "platform/Format.h"
#include "platform/Text.h"

namespace jxc {

namespace {

[[noreturn]] void CannotConvert(VarType from, VarType to) {
  throw EConvertError(std::string("Could not convert variant of type (") + VarTypeName(from) + ") into type (" +
                      VarTypeName(to) + ")");
}

[[noreturn]] void NotValid(const std::string& text, const char* what) {
  throw EConvertError("'" + text + "' is not a valid " + what + " value");
}

// Round half away from zero into 64 bits; EOverflow when it does not fit.
int64_t RoundToInt64(double value) {
  if (std::isnan(value)) throw EConvertError("NaN is not a valid integer value");
  double rounded = std::round(value);
  if (!(rounded >= -9223372036854775808.0 && rounded < 9223372036854775808.0))
    throw EOverflow("Integer overflow: " + FloatToStr(value));
  return static_cast<int64_t>(rounded);
}

int64_t CurrencyToInt64(Currency value) {
  int64_t raw = value.Raw();
  int64_t whole = raw / Currency::kScale, rest = raw % Currency::kScale;
  if (rest >= Currency::kScale / 2) ++whole;
  if (rest <= -Currency::kScale / 2) --whole;
  return whole;
}

// Sort rank of a kind: no value, numbers, date-times, strings, booleans, arrays.
int Rank(VarType type) {
  switch (type) {
    case VarType::Empty:
    case VarType::Null: return 0;
    case VarType::Integer:
    case VarType::Int64:
    case VarType::Double:
    case VarType::Currency: return 1;
    case VarType::DateTime: return 2;
    case VarType::String: return 3;
    case VarType::Boolean: return 4;
    case VarType::Array: return 5;
  }
  return 6;
}

bool IsIntegerKind(VarType type) {
  return type == VarType::Integer || type == VarType::Int64 || type == VarType::Boolean;
}

// Numbers of any kind compared by value: exactly when both are whole or currency, else as doubles.
std::weak_ordering CompareNumbers(const Variant& a, const Variant& b) {
  VarType ta = a.Type(), tb = b.Type();
  if (IsIntegerKind(ta) && IsIntegerKind(tb)) return a.AsInt64() <=> b.AsInt64();
  bool exactA = IsIntegerKind(ta) || ta == VarType::Currency;
  bool exactB = IsIntegerKind(tb) || tb == VarType::Currency;
  if (exactA && exactB) {
    auto raw = [](const Variant& v) -> __int128 {
      return v.Type() == VarType::Currency ? __int128(v.Get<Currency>().Raw())
                                           : __int128(v.AsInt64()) * Currency::kScale;
    };
    __int128 x = raw(a), y = raw(b);
    return x < y ? std::weak_ordering::less : (x > y ? std::weak_ordering::greater : std::weak_ordering::equivalent);
  }
  double x = a.AsDouble(), y = b.AsDouble();
  if (x < y) return std::weak_ordering::less;
  if (x > y) return std::weak_ordering::greater;
  return std::weak_ordering::equivalent;
}

// The number a string stands for, as a variant, or Empty when it is no number.
Variant NumberFromText(const std::string& text) {
  if (auto i = TryStrToInt64(text)) return Variant(static_cast<long long>(*i));
  if (auto d = TryStrToFloat(text)) return Variant(*d);
  return Variant();
}

}  // namespace

Variant::Variant(unsigned long value) : Variant(static_cast<unsigned long long>(value)) {}

Variant::Variant(unsigned long long value) {
  if (value > static_cast<unsigned long long>(std::numeric_limits<int64_t>::max()))
    throw EOverflow("Integer overflow: " + std::to_string(value));
  v_ = static_cast<int64_t>(value);
}

const char* VarTypeName(VarType type) {
  switch (type) {
    case VarType::Empty: return "Empty";
    case VarType::Null: return "Null";
    case VarType::Boolean: return "Boolean";
    case VarType::Integer: return "Integer";
    case VarType::Int64: return "Int64";
    case VarType::Double: return "Double";
    case VarType::Currency: return "Currency";
    case VarType::DateTime: return "DateTime";
    case VarType::String: return "String";
    case VarType::Array: return "Array";
  }
  return "Unknown";
}

Variant Variant::Null() {
  Variant v;
  v.v_ = NullTag{};
  return v;
}

Variant Variant::Array(std::vector<Variant> items) {
  Variant v;
  v.v_ = std::make_shared<const std::vector<Variant>>(std::move(items));
  return v;
}

VarType Variant::Type() const { return static_cast<VarType>(v_.index()); }

bool Variant::IsNumeric() const {
  VarType t = Type();
  return t == VarType::Boolean || t == VarType::Integer || t == VarType::Int64 || t == VarType::Double ||
         t == VarType::Currency;
}

bool Variant::IsFloatKind() const {
  VarType t = Type();
  return t == VarType::Double || t == VarType::Currency || t == VarType::DateTime;
}

const std::vector<Variant>& Variant::Elements() const {
  if (!IsArray()) throw EArgumentError("Variant is not an array");
  return *std::get<Items>(v_);
}

size_t Variant::ArrayCount() const { return Elements().size(); }

const Variant& Variant::operator[](size_t index) const {
  const auto& items = Elements();
  if (index >= items.size()) throw EArgumentError("Variant array index out of bounds (" + std::to_string(index) + ")");
  return items[index];
}

bool Variant::AsBoolean() const {
  switch (Type()) {
    case VarType::Empty: return false;
    case VarType::Boolean: return Get<bool>();
    case VarType::Integer: return Get<int32_t>() != 0;
    case VarType::Int64: return Get<int64_t>() != 0;
    case VarType::Double: return Get<double>() != 0;
    case VarType::Currency: return Get<Currency>().Raw() != 0;
    case VarType::DateTime: return Get<TDateTime>().Value() != 0;
    case VarType::String: {
      const std::string& s = Get<std::string>();
      std::string t = Trim(s);
      if (SameText(t, "True")) return true;
      if (SameText(t, "False")) return false;
      if (auto d = TryStrToFloat(t)) return *d != 0;
      NotValid(s, "boolean");
    }
    default: CannotConvert(Type(), VarType::Boolean);
  }
}

int64_t Variant::AsInt64() const {
  switch (Type()) {
    case VarType::Empty: return 0;
    case VarType::Boolean: return Get<bool>() ? 1 : 0;  // 1, not the toolkit's -1: counts and flags read as 1
    case VarType::Integer: return Get<int32_t>();
    case VarType::Int64: return Get<int64_t>();
    case VarType::Double: return RoundToInt64(Get<double>());
    case VarType::Currency: return CurrencyToInt64(Get<Currency>());
    case VarType::DateTime: return RoundToInt64(Get<TDateTime>().Value());
    case VarType::String: {
      const std::string& s = Get<std::string>();
      if (auto i = TryStrToInt64(s)) return *i;
      if (auto d = TryStrToFloat(s)) return RoundToInt64(*d);
      NotValid(s, "integer");
    }
    default: CannotConvert(Type(), VarType::Int64);
  }
}

int32_t Variant::AsInteger() const {
  if (Type() == VarType::Null || Type() == VarType::Array) CannotConvert(Type(), VarType::Integer);
  int64_t value = AsInt64();
  if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max())
    throw EOverflow("Integer overflow: " + std::to_string(value));
  return static_cast<int32_t>(value);
}

double Variant::AsDouble() const {
  switch (Type()) {
    case VarType::Empty: return 0;
    case VarType::Boolean: return Get<bool>() ? 1 : 0;
    case VarType::Integer: return Get<int32_t>();
    case VarType::Int64: return static_cast<double>(Get<int64_t>());
    case VarType::Double: return Get<double>();
    case VarType::Currency: return Get<Currency>().ToDouble();
    case VarType::DateTime: return Get<TDateTime>().Value();
    case VarType::String: {
      const std::string& s = Get<std::string>();
      if (auto d = TryStrToFloat(s)) return *d;
      NotValid(s, "floating point");
    }
    default: CannotConvert(Type(), VarType::Double);
  }
}

Currency Variant::AsCurrency() const {
  switch (Type()) {
    case VarType::Empty: return Currency();
    case VarType::Boolean: return Currency::FromInt(Get<bool>() ? 1 : 0);
    case VarType::Integer: return Currency::FromInt(Get<int32_t>());
    case VarType::Int64: return Currency::FromInt(Get<int64_t>());
    case VarType::Double: return Currency::FromDouble(Get<double>());
    case VarType::Currency: return Get<Currency>();
    case VarType::DateTime: return Currency::FromDouble(Get<TDateTime>().Value());
    case VarType::String: {
      const std::string& s = Get<std::string>();
      if (auto c = Currency::TryParse(s)) return *c;
      if (auto d = TryStrToFloat(s)) return Currency::FromDouble(*d);
      NotValid(s, "currency");
    }
    default: CannotConvert(Type(), VarType::Currency);
  }
}

TDateTime Variant::AsDateTime() const {
  switch (Type()) {
    case VarType::Empty: return TDateTime();
    case VarType::DateTime: return Get<TDateTime>();
    case VarType::Integer:
    case VarType::Int64:
    case VarType::Double:
    case VarType::Currency: return TDateTime(AsDouble());
    case VarType::String: {
      const std::string& s = Get<std::string>();
      TDateTime value;
      if (TryStrToDateTime(s, value)) return value;
      throw EConvertError("'" + s + "' is not a valid date and time");
    }
    default: CannotConvert(Type(), VarType::DateTime);
  }
}

std::string Variant::ToString() const {
  switch (Type()) {
    case VarType::Empty:
    case VarType::Null: return "";
    case VarType::Boolean: return BoolToStr(Get<bool>());
    case VarType::Integer: return std::to_string(Get<int32_t>());
    case VarType::Int64: return std::to_string(Get<int64_t>());
    case VarType::Double: return FloatToStr(Get<double>());
    case VarType::Currency: return Get<Currency>().ToString();
    case VarType::DateTime: {
      // A value outside the calendar has no date text; its number still tells what it was.
      const TDateTime d = Get<TDateTime>();
      return IsDateTimeInRange(d) ? DateTimeToStr(d) : FloatToStr(d.Value());
    }
    case VarType::String: return Get<std::string>();
    case VarType::Array: {
      std::string out;
      const auto& items = Elements();
      for (size_t i = 0; i < items.size(); ++i) {
        if (i) out += ",";
        out += items[i].ToString();
      }
      return out;
    }
  }
  return "";
}

bool Variant::operator==(const Variant& other) const {
  VarType ta = Type(), tb = other.Type();
  if (ta == VarType::Null || tb == VarType::Null) return ta == tb;
  if (ta == VarType::Empty || tb == VarType::Empty) return ta == tb;
  if (ta == VarType::Array || tb == VarType::Array) {
    if (ta != tb) return false;
    const auto& x = Elements();
    const auto& y = other.Elements();
    if (x.size() != y.size()) return false;
    for (size_t i = 0; i < x.size(); ++i)
      if (!(x[i] == y[i])) return false;
    return true;
  }
  if (ta == VarType::String && tb == VarType::String) return Get<std::string>() == other.Get<std::string>();
  if (ta == VarType::String || tb == VarType::String) {
    const Variant& text = ta == VarType::String ? *this : other;
    const Variant& value = ta == VarType::String ? other : *this;
    const std::string& s = text.Get<std::string>();
    if (value.Type() == VarType::Boolean) {
      std::string t = Trim(s);
      if (SameText(t, "True") || SameText(t, "False")) return SameText(t, "True") == value.Get<bool>();
    }
    if (value.Type() == VarType::DateTime) {
      TDateTime parsed;
      return TryStrToDateTime(s, parsed) && parsed == value.Get<TDateTime>();
    }
    Variant number = NumberFromText(s);
    return !number.IsEmpty() && CompareNumbers(number, value) == std::weak_ordering::equivalent;
  }
  // Numbers, booleans and date-times: by value.
  return CompareNumbers(*this, other) == std::weak_ordering::equivalent;
}

std::weak_ordering CompareVariants(const Variant& a, const Variant& b) {
  int ra = Rank(a.Type()), rb = Rank(b.Type());
  if (ra != rb) return ra <=> rb;
  switch (ra) {
    case 0: return std::weak_ordering::equivalent;
    case 1: return CompareNumbers(a, b);
    case 2: {
      double x = a.Get<TDateTime>().Value(), y = b.Get<TDateTime>().Value();
      return x < y ? std::weak_ordering::less : (x > y ? std::weak_ordering::greater : std::weak_ordering::equivalent);
    }
    case 3: {
      int c = a.Get<std::string>().compare(b.Get<std::string>());
      return c < 0 ? std::weak_ordering::less : (c > 0 ? std::weak_ordering::greater : std::weak_ordering::equivalent);
    }
    case 4: return a.Get<bool>() <=> b.Get<bool>();
    default: {
      const auto& x = a.Elements();
      const auto& y = b.Elements();
      for (size_t i = 0; i < x.size() && i < y.size(); ++i) {
        auto c = CompareVariants(x[i], y[i]);
        if (c != std::weak_ordering::equivalent) return c;
      }
      return x.size() <=> y.size();
    }
  }
}

}  // namespace jxc
