#pragma once
// The date-period presets, defined once for the query forms, the query designer and the date-part frame.
// Each preset is the period its caption names, counted from today: "本日" today, "昨日" the day before,
// "本周" and "上周" this and last week (Monday to Sunday), "本月" and "上月" this and last calendar month,
// "本季度" the calendar quarter of today and "上季度" the one before it, "本年" the year of today and "上年"
// the year before. A period runs from 00:00:00.000 of its first day to 23:59:59.999 of its last day.
//
// The presets menu of a screen is built here too: one item per preset, named and captioned as below, all
// sharing the screen's click handler, which learns the preset from the item (DatePeriodOfItem).

#include <functional>

#include "platform/DateTime.h"

namespace jxc {

class TComponent;
class TMenuItem;
class TPopupMenu;

// In menu order; the ordinals are the items' tags.
enum class TDatePeriod { Today, PrevDay, Week, PrevWeek, Month, PrevMonth, Quarter, PrevQuarter, Year, PrevYear };
inline constexpr int kDatePeriodCount = 10;

struct TDateRange {
  TDateTime Start;  // included: the first day at 00:00:00.000
  TDateTime End;    // included: the last day at 23:59:59.999
};

// The period of the preset around the given day (its time of day does not matter).
TDateRange DatePeriodRange(TDatePeriod period, TDateTime today);
// Around today on the current clock.
TDateRange DatePeriodRange(TDatePeriod period);

// "本日", "昨日", "本周", "上周", "本月", "上月", "本季度", "上季度", "本年", "上年".
const char* DatePeriodCaption(TDatePeriod period);
// "ppmToday", "ppmPrevDay", "ppmWeek", "ppmPrevWeek", "ppmMonth", "ppmPrevMonth", "ppmQuarter",
// "ppmPrevQuarter", "ppmYear", "ppmPrevYear".
const char* DatePeriodItemName(TDatePeriod period);

// The calendar quarter of the day: its first day at 00:00, its last day at 23:59:59.999.
TDateTime QuarterStart(TDateTime day);
TDateTime QuarterEnd(TDateTime day);

// Fills the menu with the presets from "本日" to "本年", and "上年" too when asked (the date-part frame
// has it, the query forms do not). Items are owned by owner, carry the preset's ordinal as their tag and
// run onClick; "本日" is checked.
void BuildDatePeriodMenu(TPopupMenu& menu, TComponent* owner, bool withPrevYear,
                         const std::function<void(TMenuItem&)>& onClick);
// The preset an item of such a menu stands for.
TDatePeriod DatePeriodOfItem(const TMenuItem& item);
// Unchecks every item of the menu and checks the chosen one.
void CheckOnlyItem(TPopupMenu& menu, TMenuItem& chosen);

}  // namespace jxc
