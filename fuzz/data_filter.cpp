// A dataset's filter text as screens set it from what the user types: parsed or refused with
// EDatabaseError, then applied to records of every kind of value.
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/DataFilter.h"
#include "platform/Exceptions.h"
#include "platform/Text.h"

namespace {

const char* const kNames[] = {"F_ID", "F_NAME", "F_PRICE", "F_DATE", "F_SELECT", "F_RATE", "F_NOTE"};

struct Record : jxc::IFilterRecord {
  std::vector<jxc::Variant> values;
  jxc::Variant FieldValue(int field) const override { return values.at(static_cast<size_t>(field)); }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::unique_ptr<jxc::TFilterExpression> filter;
  try {
    filter = jxc::TFilterExpression::Parse(text, [](std::string_view name) {
      for (int i = 0; i < 7; ++i)
        if (jxc::SameText(kNames[i], name)) return i;
      return -1;
    });
  } catch (const jxc::EDatabaseError&) {
    return 0;
  }
  Record full, empty;
  full.values = {jxc::Variant(7LL), jxc::Variant("小米 Note'"), jxc::Variant(jxc::Currency::Parse("1999.99")),
                 jxc::Variant(jxc::TDateTime(45658.5)), jxc::Variant(true), jxc::Variant(0.125), jxc::Variant("100")};
  empty.values.assign(7, jxc::Variant::Null());
  (void)filter->Accepts(full);
  (void)filter->Accepts(empty);
  return 0;
}
