// Conditions as the query designer hands them to the SQL builder, with any field text, operator name,
// value and display value: each is added or refused with EFilterError, and the texts of what was added
// can always be written.
#include <cstdint>
#include <vector>

#include "FuzzInput.h"
#include "filter/UnitFilterImp.h"
#include "platform/Exceptions.h"

namespace {

using jxc::Variant;
using jxc::fuzz::FuzzInput;

Variant ValueOf(FuzzInput& in, int depth) {
  switch (in.Choice(11)) {
    case 0: return Variant::Null();
    case 1: return Variant();
    case 2: return Variant(in.Byte() % 2 == 1);
    case 3: return Variant(in.Number<int32_t>());
    case 4: return Variant(static_cast<long long>(in.Number<int64_t>()));
    case 5: return Variant(in.Number<double>());
    case 6: return Variant(jxc::Currency::FromRaw(in.Number<int64_t>()));
    case 7: return Variant(jxc::TDateTime(in.Number<double>()));
    case 8: return Variant(jxc::TDateTime(45000 + in.Number<int16_t>() + in.Byte() / 256.0));
    case 9: {
      std::vector<Variant> items;
      const size_t count = depth < 2 ? in.Choice(5) : 0;
      for (size_t i = 0; i < count; ++i) items.push_back(ValueOf(in, depth + 1));
      return Variant::Array(std::move(items));
    }
    default: return Variant(in.Text());
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput in(data, size);
  jxc::TSQLBuilder builder;
  builder.AddSQL(in.Text());
  std::vector<std::pair<std::string, Variant>> added;
  for (int n = 0; n < 8 && !in.Empty(); ++n) {
    jxc::TFilterItem item;
    item.SetFieldName(in.Choice(4) == 0 ? in.Text() : "F_FIELD" + std::to_string(in.Choice(3)));
    item.SetOperatorKind(in.Choice(8) == 0 ? in.Text()
                                           : jxc::FilterOperatorKindName(static_cast<jxc::TcxFilterOperatorKind>(
                                                 in.Choice(jxc::kFilterOperatorKindCount))));
    item.SetValue(ValueOf(in, 0));
    item.SetCaption(in.Text());
    item.SetDisplayText(ValueOf(in, 0));
    try {
      builder.AddCondition(item);
      added.emplace_back(item.FieldName(), item.Value());
    } catch (const jxc::EFilterError&) {
    }
    (void)builder.GetSQL();
    (void)builder.GetFilterCaption();
  }
  for (const auto& [field, value] : added) {
    if (in.Choice(2) == 0) builder.RemoveCondition(field, value);
    (void)builder.GetFilterText();
  }
  return 0;
}
