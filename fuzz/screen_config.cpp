// A screen's configuration document as stored in the function table: read into the parameter block or
// refused with EConvertError naming the screen.
#include <cstdint>
#include <string_view>

#include "foundation/UnitFunctionConfig.h"
#include "platform/Exceptions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  try {
    (void)jxc::ParseScreenConfig(text, "零售单");
  } catch (const jxc::EConvertError&) {
  }
  try {
    (void)jxc::ParseQueryScreenConfig(text, "零售单查询");
  } catch (const jxc::EConvertError&) {
  }
  return 0;
}
