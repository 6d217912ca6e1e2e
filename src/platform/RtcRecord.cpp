#include "platform/RtcRecord.h"

#include <cmath>
#include <limits>

#include <nlohmann/json.hpp>

#include "platform/Exceptions.h"
#include "platform/Text.h"

namespace jxc {

using Json = nlohmann::ordered_json;

struct TRtcRecord::Impl {
  Json object = Json::object();
};

namespace {

// Objects and arrays inside one another: deeper documents are refused before the reader, the copies and
// the writers, which all descend one level per call, could exhaust the stack.
constexpr int kMaxJsonNesting = 256;

// True when no object or array of the text lies deeper than the limit (strings are skipped, so brackets
// inside them do not count). Malformed text is left to the parser.
bool NestingWithinLimit(std::string_view json) {
  int depth = 0;
  bool inString = false;
  for (size_t i = 0; i < json.size(); ++i) {
    const char c = json[i];
    if (inString) {
      if (c == '\\') ++i;
      else if (c == '"') inString = false;
    } else if (c == '"') {
      inString = true;
    } else if (c == '{' || c == '[') {
      if (++depth > kMaxJsonNesting) return false;
    } else if (c == '}' || c == ']') {
      --depth;
    }
  }
  return true;
}

const Json* Member(const Json& object, std::string_view key) {
  auto it = object.find(std::string(key));
  return it == object.end() ? nullptr : &*it;
}

std::string NumberText(const Json& v) {
  if (v.is_number_unsigned()) return std::to_string(v.get<uint64_t>());
  if (v.is_number_integer()) return IntToStr(v.get<int64_t>());
  return FloatToStr(v.get<double>());
}

Variant ToVariant(const Json& v) {
  switch (v.type()) {
    case Json::value_t::null: return Variant::Null();
    case Json::value_t::boolean: return Variant(v.get<bool>());
    case Json::value_t::number_integer: {
      const int64_t i = v.get<int64_t>();
      if (i >= std::numeric_limits<int32_t>::min() && i <= std::numeric_limits<int32_t>::max()) return Variant(static_cast<int>(i));
      return Variant(static_cast<long long>(i));
    }
    case Json::value_t::number_unsigned: {
      const uint64_t u = v.get<uint64_t>();
      if (u <= static_cast<uint64_t>(std::numeric_limits<int32_t>::max())) return Variant(static_cast<int>(u));
      if (u <= static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) return Variant(static_cast<long long>(u));
      return Variant(static_cast<double>(u));
    }
    case Json::value_t::number_float: return Variant(v.get<double>());
    case Json::value_t::string: return Variant(v.get<std::string>());
    default: return Variant(v.dump(-1, ' ', false, Json::error_handler_t::replace));
  }
}

Json FromVariant(const Variant& v) {
  switch (v.Type()) {
    case VarType::Empty:
    case VarType::Null: return Json();
    case VarType::Boolean: return Json(v.AsBoolean());
    case VarType::Integer:
    case VarType::Int64: return Json(v.AsInt64());
    case VarType::Double: return Json(v.AsDouble());
    case VarType::Currency: return Json(v.AsCurrency().ToDouble());
    case VarType::DateTime:
    case VarType::String: return Json(v.ToString());
    case VarType::Array: {
      Json a = Json::array();
      for (const Variant& e : v.Elements()) a.push_back(FromVariant(e));
      return a;
    }
  }
  return Json();
}

int64_t NumberAsInt64(const Json& v) {
  if (v.is_number_integer()) return v.get<int64_t>();
  if (v.is_number_unsigned()) {
    const uint64_t u = v.get<uint64_t>();
    return u > static_cast<uint64_t>(std::numeric_limits<int64_t>::max()) ? 0 : static_cast<int64_t>(u);
  }
  const double d = v.get<double>();
  if (!std::isfinite(d) || std::fabs(d) >= 9.2e18) return 0;
  return static_cast<int64_t>(std::llround(d));
}

}  // namespace

TRtcRecord::TRtcRecord() : impl_(std::make_unique<Impl>()) {}
TRtcRecord::~TRtcRecord() = default;
TRtcRecord::TRtcRecord(const TRtcRecord& other) : impl_(std::make_unique<Impl>(*other.impl_)) {}
TRtcRecord& TRtcRecord::operator=(const TRtcRecord& other) {
  if (this != &other) impl_ = std::make_unique<Impl>(*other.impl_);
  return *this;
}
TRtcRecord::TRtcRecord(TRtcRecord&& other) noexcept : impl_(std::move(other.impl_)) {}
TRtcRecord& TRtcRecord::operator=(TRtcRecord&& other) noexcept {
  impl_ = std::move(other.impl_);
  return *this;
}

TRtcRecord TRtcRecord::FromJSON(std::string_view json) {
  if (!NestingWithinLimit(json))
    throw EConvertError("Invalid JSON: objects and arrays nested deeper than " + std::to_string(kMaxJsonNesting) +
                        " levels");
  Json parsed;
  try {
    parsed = Json::parse(json.begin(), json.end());
  } catch (const Json::exception& e) {
    // The library's text starts with its own tag ("[json.exception.parse_error.101] "); keep the reason.
    std::string reason = e.what();
    const size_t tag = reason.find("] ");
    if (reason.rfind("[json.exception", 0) == 0 && tag != std::string::npos) reason = reason.substr(tag + 2);
    throw EConvertError("Invalid JSON: " + reason);
  }
  if (!parsed.is_object()) throw EConvertError("Invalid JSON: the document is not an object");
  TRtcRecord r;
  r.impl_->object = std::move(parsed);
  return r;
}

std::string TRtcRecord::ToJSON() const {
  if (!impl_) return "{}";
  return impl_->object.dump(-1, ' ', false, Json::error_handler_t::replace);
}

int TRtcRecord::Count() const { return impl_ ? static_cast<int>(impl_->object.size()) : 0; }

std::string TRtcRecord::NameAt(int index) const {
  if (!impl_ || index < 0 || index >= Count()) throw EArgumentError("Member index out of range: " + std::to_string(index));
  auto it = impl_->object.begin();
  std::advance(it, index);
  return it.key();
}

bool TRtcRecord::Exists(std::string_view key) const { return impl_ && Member(impl_->object, key) != nullptr; }

bool TRtcRecord::IsNull(std::string_view key) const {
  const Json* v = impl_ ? Member(impl_->object, key) : nullptr;
  return v == nullptr || v->is_null();
}

bool TRtcRecord::IsObject(std::string_view key) const {
  const Json* v = impl_ ? Member(impl_->object, key) : nullptr;
  return v != nullptr && v->is_object();
}

bool TRtcRecord::IsArray(std::string_view key) const {
  const Json* v = impl_ ? Member(impl_->object, key) : nullptr;
  return v != nullptr && v->is_array();
}

std::string TRtcRecord::AsString(std::string_view key) const {
  const Json* v = impl_ ? Member(impl_->object, key) : nullptr;
  return v != nullptr && v->is_string() ? v->get<std::string>() : std::string();
}

std::string TRtcRecord::AsText(std::string_view key) const {
  const Json* v = impl_ ? Member(impl_->object, key) : nullptr;
  if (v == nullptr) return std::string();
  if (v->is_string()) return v->get<std::string>();
  if (v->is_boolean()) return BoolToStr(v->get<bool>());
  if (v->is_number()) return NumberText(*v);
  return std::string();
}

int64_t TRtcRecord::AsLargeInt(std::string_view key) const {
  const Json* v = impl_ ? Member(impl_->object, key) : nullptr;
  if (v == nullptr) return 0;
  if (v->is_number()) return NumberAsInt64(*v);
  if (v->is_boolean()) return v->get<bool>() ? 1 : 0;
  if (v->is_string()) {
    const std::string& s = v->get_ref<const std::string&>();
    if (auto i = TryStrToInt64(s)) return *i;
    if (auto d = TryStrToFloat(s)) {
      if (std::isfinite(*d) && std::fabs(*d) < 9.2e18) return static_cast<int64_t>(std::llround(*d));
    }
  }
  return 0;
}

int32_t TRtcRecord::AsInteger(std::string_view key) const {
  const int64_t i = AsLargeInt(key);
  if (i < std::numeric_limits<int32_t>::min() || i > std::numeric_limits<int32_t>::max()) return 0;
  return static_cast<int32_t>(i);
}

double TRtcRecord::AsFloat(std::string_view key) const {
  const Json* v = impl_ ? Member(impl_->object, key) : nullptr;
  if (v == nullptr) return 0.0;
  if (v->is_number()) return v->get<double>();
  if (v->is_string()) return StrToFloatDef(v->get_ref<const std::string&>(), 0.0);
  return 0.0;
}

bool TRtcRecord::AsBoolean(std::string_view key) const {
  const Json* v = impl_ ? Member(impl_->object, key) : nullptr;
  if (v == nullptr) return false;
  if (v->is_boolean()) return v->get<bool>();
  if (v->is_number()) return v->get<double>() != 0.0;
  if (v->is_string()) return SameText(Trim(v->get_ref<const std::string&>()), "true");
  return false;
}

TRtcRecord TRtcRecord::AsRecord(std::string_view key) const {
  TRtcRecord r;
  const Json* v = impl_ ? Member(impl_->object, key) : nullptr;
  if (v != nullptr && v->is_object()) r.impl_->object = *v;
  return r;
}

std::vector<Variant> TRtcRecord::AsArray(std::string_view key) const {
  std::vector<Variant> out;
  const Json* v = impl_ ? Member(impl_->object, key) : nullptr;
  if (v == nullptr || !v->is_array()) return out;
  for (const Json& e : *v) out.push_back(ToVariant(e));
  return out;
}

Variant TRtcRecord::AsVariant(std::string_view key) const {
  const Json* v = impl_ ? Member(impl_->object, key) : nullptr;
  if (v == nullptr) return Variant::Null();
  if (v->is_array()) {
    std::vector<Variant> items;
    for (const Json& e : *v) items.push_back(ToVariant(e));
    return Variant::Array(std::move(items));
  }
  return ToVariant(*v);
}

void TRtcRecord::SetValue(std::string_view key, const Variant& value) {
  if (!impl_) impl_ = std::make_unique<Impl>();
  impl_->object[std::string(key)] = FromVariant(value);
}

void TRtcRecord::SetRecord(std::string_view key, const TRtcRecord& value) {
  if (!impl_) impl_ = std::make_unique<Impl>();
  impl_->object[std::string(key)] = value.impl_ ? value.impl_->object : Json::object();
}

void TRtcRecord::Remove(std::string_view key) {
  if (impl_) impl_->object.erase(std::string(key));
}

void TRtcRecord::Clear() {
  if (impl_) impl_->object = Json::object();
}

}  // namespace jxc
