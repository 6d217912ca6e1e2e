#include "filter/UnitDatePeriods.h"

#include <algorithm>

#include "platform/Exceptions.h"
#include "platform/Menus.h"

namespace jxc {

namespace {

struct PresetText {
  const char* caption;
  const char* itemName;
};

constexpr PresetText kPresets[kDatePeriodCount] = {
    {"本日", "ppmToday"},     {"昨日", "ppmPrevDay"},       {"本周", "ppmWeek"},  {"上周", "ppmPrevWeek"},
    {"本月", "ppmMonth"},     {"上月", "ppmPrevMonth"},     {"本季度", "ppmQuarter"},
    {"上季度", "ppmPrevQuarter"}, {"本年", "ppmYear"},     {"上年", "ppmPrevYear"},
};

const PresetText& TextOf(TDatePeriod period) {
  const int i = static_cast<int>(period);
  if (i < 0 || i >= kDatePeriodCount) throw EArgumentError("Unknown date period " + std::to_string(i));
  return kPresets[i];
}

TDateRange Days(TDateTime first, TDateTime last) { return {StartOfTheDay(first), EndOfTheDay(last)}; }

}  // namespace

TDateTime QuarterStart(TDateTime day) {
  const int firstMonth = (MonthOf(day) - 1) / 3 * 3 + 1;
  return EncodeDate(YearOf(day), firstMonth, 1);
}

TDateTime QuarterEnd(TDateTime day) { return EndOfTheDay(IncDay(IncMonth(QuarterStart(day), 3), -1)); }

TDateRange DatePeriodRange(TDatePeriod period, TDateTime today) {
  const TDateTime t = DateOf(today);
  switch (period) {
    case TDatePeriod::Today:
      return Days(t, t);
    case TDatePeriod::PrevDay:
      return Days(IncDay(t, -1), IncDay(t, -1));
    case TDatePeriod::Week:
      return {StartOfTheWeek(t), EndOfTheWeek(t)};
    case TDatePeriod::PrevWeek:
      return {StartOfTheWeek(IncDay(t, -7)), EndOfTheWeek(IncDay(t, -7))};
    case TDatePeriod::Month:
      return {StartOfTheMonth(t), EndOfTheMonth(t)};
    case TDatePeriod::PrevMonth: {
      // The first of this month minus one month: never clipped (31 March gives February).
      const TDateTime start = IncMonth(StartOfTheMonth(t), -1);
      return {start, EndOfTheMonth(start)};
    }
    case TDatePeriod::Quarter:
      return {QuarterStart(t), QuarterEnd(t)};
    case TDatePeriod::PrevQuarter: {
      const TDateTime start = IncMonth(QuarterStart(t), -3);
      return {start, QuarterEnd(start)};
    }
    case TDatePeriod::Year:
      return {StartOfTheYear(t), EndOfTheYear(t)};
    case TDatePeriod::PrevYear: {
      const TDateTime start = EncodeDate(YearOf(t) - 1, 1, 1);
      return {start, EndOfTheYear(start)};
    }
  }
  throw EArgumentError("Unknown date period " + std::to_string(static_cast<int>(period)));
}

TDateRange DatePeriodRange(TDatePeriod period) { return DatePeriodRange(period, Date()); }

const char* DatePeriodCaption(TDatePeriod period) { return TextOf(period).caption; }
const char* DatePeriodItemName(TDatePeriod period) { return TextOf(period).itemName; }

void BuildDatePeriodMenu(TPopupMenu& menu, TComponent* owner, bool withPrevYear,
                         const std::function<void(TMenuItem&)>& onClick) {
  const int count = withPrevYear ? kDatePeriodCount : kDatePeriodCount - 1;
  for (int i = 0; i < count; ++i) {
    const auto period = static_cast<TDatePeriod>(i);
    TMenuItem* item = menu.Items().AddItem(DatePeriodCaption(period), onClick, owner);
    item->SetName(DatePeriodItemName(period));
    item->Tag = i;
    item->SetChecked(period == TDatePeriod::Today);
  }
}

TDatePeriod DatePeriodOfItem(const TMenuItem& item) {
  if (item.Tag < 0 || item.Tag >= kDatePeriodCount) throw EArgumentError("Not a date period item: " + item.Name());
  return static_cast<TDatePeriod>(item.Tag);
}

void CheckOnlyItem(TPopupMenu& menu, TMenuItem& chosen) {
  for (TMenuItem* item : menu.Items().SubItems()) item->SetChecked(item == &chosen);
}

}  // namespace jxc
