// JSON records as the configuration and the system parameters arrive in them: any text is read or refused
// with EConvertError, every member reads as every kind, and what was read writes back unchanged.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Exceptions.h"
#include "platform/RtcRecord.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  jxc::TRtcRecord record;
  try {
    record = jxc::TRtcRecord::FromJSON(text);
  } catch (const jxc::EConvertError&) {
    return 0;
  }
  for (int i = 0; i < record.Count(); ++i) {
    const std::string name = record.NameAt(i);
    (void)record.AsString(name);
    (void)record.AsText(name);
    (void)record.AsInteger(name);
    (void)record.AsLargeInt(name);
    (void)record.AsFloat(name);
    (void)record.AsBoolean(name);
    (void)record.AsArray(name);
    (void)record.AsVariant(name).ToString();
    (void)record.AsRecord(name).ToJSON();
  }
  const std::string json = record.ToJSON();
  if (jxc::TRtcRecord::FromJSON(json).ToJSON() != json) __builtin_trap();
  return 0;
}
