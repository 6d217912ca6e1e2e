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
    d.SetColumnKinds([](std::string_view name) {
      using K = jxc::TSqlValueKind;
      if (jxc::SameText(name, "F_NAME") || jxc::SameText(name, "F_CODE") || jxc::SameText(name, "F_MODE_NO")) return K::Text;
      if (jxc::SameText(name, "F_QTY") || jxc::SameText(name, "F_PRICE") || jxc::SameText(name, "F_ID")) return K::Number;
      if (jxc::SameText(name, "F_DATE")) return K::DateTime;
      if (jxc::SameText(name, "F_SHARED")) return K::Boolean;
      return K::Unknown;
    });
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
