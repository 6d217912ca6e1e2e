#pragma once
// A record of named values read from JSON (the toolkit's TRtcRecord). Member order is kept as written, so
// "the first member" of an object is the first in the text. Keys match exactly as written (case-sensitive).
// Missing keys read as "", 0 or false; a key holding the wrong kind reads the same way, except that text
// reads (AsText) give the text form of any scalar: numbers in decimal, booleans "True"/"False".

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Variant.h"

namespace jxc {

class TRtcRecord {
 public:
  TRtcRecord();
  ~TRtcRecord();
  TRtcRecord(const TRtcRecord& other);
  TRtcRecord& operator=(const TRtcRecord& other);
  TRtcRecord(TRtcRecord&&) noexcept;
  TRtcRecord& operator=(TRtcRecord&&) noexcept;

  // Parses a JSON object. Malformed text, a document that is not an object, or one whose objects and
  // arrays lie more than 256 levels inside one another, raises EConvertError "Invalid JSON: <reason>";
  // nothing is half-filled.
  static TRtcRecord FromJSON(std::string_view json);
  std::string ToJSON() const;

  int Count() const;
  // Name of the member at a 0-based position, in document order.
  std::string NameAt(int index) const;
  bool Exists(std::string_view key) const;
  bool IsNull(std::string_view key) const;    // absent or JSON null
  bool IsObject(std::string_view key) const;  // holds a nested object
  bool IsArray(std::string_view key) const;

  // A string member as it is; "" for any other kind.
  std::string AsString(std::string_view key) const;
  // The text form of any scalar member ("" for null, objects and arrays).
  std::string AsText(std::string_view key) const;
  int32_t AsInteger(std::string_view key) const;   // numbers, or numeric strings; else 0
  int64_t AsLargeInt(std::string_view key) const;
  double AsFloat(std::string_view key) const;
  bool AsBoolean(std::string_view key) const;      // true, non-zero numbers, "true"/"True"; else false
  // The nested object (an empty record when the member is not an object).
  TRtcRecord AsRecord(std::string_view key) const;
  // Elements of an array member as variants (nested objects and arrays as their JSON text).
  std::vector<Variant> AsArray(std::string_view key) const;
  Variant AsVariant(std::string_view key) const;

  // The system-parameter readers.
  bool GetBoolean(std::string_view key) const { return AsBoolean(key); }
  int64_t GetLargeInt(std::string_view key) const { return AsLargeInt(key); }
  std::string GetString(std::string_view key) const { return AsText(key); }

  void SetValue(std::string_view key, const Variant& value);
  void SetRecord(std::string_view key, const TRtcRecord& value);
  void Remove(std::string_view key);
  void Clear();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace jxc
