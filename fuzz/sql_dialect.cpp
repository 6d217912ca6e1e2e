// The screens' SQL text as the database service adapts it for SQLite: adapted or refused with
// EDatabaseError, never half-read.
#include <cstdint>
#include <string_view>

#include "platform/Exceptions.h"
#include "platform/Text.h"
#include "services/ShopFunctions.h"
#include "services/SqlDialect.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const jxc::TSqlDialect dialect = [] {
    jxc::TSqlDialect d;
    d.SetTextColumnTest([](std::string_view name) { return jxc::SameText(name, "F_NAME") || jxc::SameText(name, "F_CODE"); });
    jxc::RegisterShopFunctions(d);
    return d;
  }();
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  try {
    (void)dialect.Adapt(text);
  } catch (const jxc::EDatabaseError&) {
  }
  return 0;
}
