#include "filter/UnitFilterItem.h"

#include <array>

namespace jxc {

namespace {

constexpr std::array<const char*, kFilterOperatorKindCount> kOperatorKindNames = {
    "foEqual",      "foNotEqual",   "foLess",        "foLessEqual",    "foGreater",     "foGreaterEqual",
    "foLike",       "foNotLike",    "foBetween",     "foNotBetween",   "foInList",      "foNotInList",
    "foYesterday",  "foToday",      "foTomorrow",    "foLast7Days",    "foLastWeek",    "foLast14Days",
    "foLastTwoWeeks", "foLast30Days", "foLastMonth", "foLastYear",     "foInPast",      "foThisWeek",
    "foThisMonth",  "foThisYear",   "foNext7Days",   "foNextWeek",     "foNext14Days",  "foNextTwoWeeks",
    "foNext30Days", "foNextMonth",  "foNextYear",    "foInFuture"};

}  // namespace

const char* FilterOperatorKindName(TcxFilterOperatorKind kind) {
  return kOperatorKindNames.at(static_cast<size_t>(kind));
}

std::optional<TcxFilterOperatorKind> FilterOperatorKindFromName(std::string_view name) {
  for (size_t i = 0; i < kOperatorKindNames.size(); ++i)
    if (name == kOperatorKindNames[i]) return static_cast<TcxFilterOperatorKind>(i);
  return std::nullopt;
}

bool IsDateOperatorKind(TcxFilterOperatorKind kind) {
  return kind >= TcxFilterOperatorKind::foYesterday;
}

}  // namespace jxc
