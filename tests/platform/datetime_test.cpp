#include <gtest/gtest.h>

#include <limits>

#include "platform/DateTime.h"
#include "platform/Exceptions.h"
#include "platform/Format.h"
#include "platform/Variant.h"

namespace jxc {
namespace {

TDateTime D(int y, int m, int d) { return EncodeDate(y, m, d); }
std::string Text(TDateTime value) { return FormatDateTime("yyyy-mm-dd hh:nn:ss.zzz", value); }

TEST(DateTimeEncoding, SerialNumbersOnTheToolkitModel) {
  EXPECT_EQ(D(1899, 12, 30).Value(), 0);
  EXPECT_EQ(D(1900, 1, 1).Value(), 2);
  EXPECT_EQ(D(2025, 1, 1).Value(), 45658);
  EXPECT_EQ(D(1, 1, 1).Value(), -693593);
  EXPECT_EQ(EncodeDateTime(2025, 1, 1, 9, 0, 0, 0).Value(), 45658.375);
  EXPECT_THROW(D(2025, 2, 29), EConvertError);
  EXPECT_THROW(D(2025, 13, 1), EConvertError);
  EXPECT_THROW(EncodeTime(24, 0, 0, 0), EConvertError);
  EXPECT_TRUE(IsValidDate(2024, 2, 29));
  EXPECT_FALSE(IsValidDate(1900, 2, 29));
  EXPECT_TRUE(IsValidDate(2000, 2, 29));
}

TEST(DateTimeDecoding, RoundsToTheMillisecondAndCarriesMidnight) {
  int y, m, d, h, n, s, ms;
  DecodeDateTime(TDateTime(45658.375 + 1.6 / kMSecsPerDay), y, m, d, h, n, s, ms);
  EXPECT_EQ((std::vector<int>{y, m, d, h, n, s, ms}), (std::vector<int>{2025, 1, 1, 9, 0, 0, 2}));
  // A hair before midnight rounds to the next day, never to 24:00.
  TDateTime almost(45658.0 + (kMSecsPerDay - 0.2) / kMSecsPerDay);
  EXPECT_EQ(Text(almost), "2025-01-02 00:00:00.000");
  EXPECT_EQ(Text(EndOfTheDay(D(2025, 1, 1))), "2025-01-01 23:59:59.999");
}

TEST(DateTimeDecoding, BeforeTheEpochTheFractionIsStillTheTimeOfDay) {
  TDateTime t(-1.25);  // 1899-12-29 06:00
  EXPECT_EQ(Text(t), "1899-12-29 06:00:00.000");
  EXPECT_EQ(EncodeDateTime(1899, 12, 29, 6, 0, 0, 0), t);
  EXPECT_EQ(Text(IncHour(t, 20)), "1899-12-30 02:00:00.000");
  EXPECT_EQ(Text(IncDay(TDateTime(0.25), -1)), "1899-12-29 06:00:00.000");
  EXPECT_EQ(DateOf(t).Value(), -1);
  EXPECT_EQ(TimeOf(t).Value(), 0.25);
  EXPECT_EQ(DaysBetween(TDateTime(0.25), t), 1);
}

TEST(DateTimeDecoding, ValuesOutsideTheCalendarAndNaNAreRefusedWithAClearError) {
  const double outside[] = {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                            -std::numeric_limits<double>::infinity(), 1e300, -1e300, 9.3e18, 2958466.0, -693594.0};
  for (double v : outside) {
    const TDateTime value(v);
    EXPECT_FALSE(IsDateTimeInRange(value)) << v;
    int y, m, d;
    EXPECT_THROW(DecodeDate(value, y, m, d), EConvertError) << v;
    EXPECT_THROW(Text(value), EConvertError) << v;
    EXPECT_THROW(DateOf(value), EConvertError) << v;
    EXPECT_THROW(IncDay(value, 1), EConvertError) << v;
    EXPECT_THROW(DaysBetween(value, TDateTime(0)), EConvertError) << v;
    EXPECT_NO_THROW(Variant(value).ToString()) << "a variant's text never throws";
  }
  try {
    DateOf(TDateTime(1e300));
  } catch (const EConvertError& e) {
    EXPECT_EQ(std::string(e.what()), "Invalid date-time value: 1.0000000000000001e+300");
  }
  EXPECT_EQ(Variant(TDateTime(1e300)).ToString(), "1E300");
  // The calendar's first and last moments still decode.
  EXPECT_EQ(Text(TDateTime(-693593.5)), "0001-01-01 12:00:00.000");
  EXPECT_EQ(Text(EndOfTheDay(D(9999, 12, 31))), "9999-12-31 23:59:59.999");
}

TEST(DateTimeWeeks, MondayWeeksAndRegionalWeeksAcrossTheYearEnd) {
  // 2025-01-01 is a Wednesday.
  TDateTime newYear = EncodeDateTime(2025, 1, 1, 15, 30, 0, 0);
  EXPECT_EQ(DayOfWeek(newYear), 4);
  EXPECT_EQ(DayOfTheWeek(newYear), 3);
  EXPECT_EQ(StartOfTheWeek(newYear), D(2024, 12, 30));
  EXPECT_EQ(Text(EndOfTheWeek(newYear)), "2025-01-05 23:59:59.999");
  EXPECT_EQ(StartOfWeekFrom(newYear, 1), D(2024, 12, 29));  // Sunday first
  EXPECT_EQ(StartOfWeekFrom(newYear, 2), D(2024, 12, 30));  // Monday first
  EXPECT_EQ(StartOfWeekFrom(newYear, 4), D(2025, 1, 1));    // the day itself
  EXPECT_EQ(StartOfWeekFrom(newYear, 5), D(2024, 12, 26));  // Thursday first
  // A Sunday belongs to the week before under the Monday rule.
  EXPECT_EQ(StartOfTheWeek(D(2023, 1, 1)), D(2022, 12, 26));
  EXPECT_EQ(DayOfWeek(D(1899, 12, 30)), 7);  // Saturday
  EXPECT_EQ(DayOfWeek(D(1899, 12, 24)), 1);  // a Sunday before the epoch
}

TEST(DateTimeRanges, MonthsAndYears) {
  TDateTime t = EncodeDateTime(2024, 2, 10, 8, 0, 0, 0);
  EXPECT_EQ(StartOfTheMonth(t), D(2024, 2, 1));
  EXPECT_EQ(Text(EndOfTheMonth(t)), "2024-02-29 23:59:59.999");
  EXPECT_EQ(Text(EndOfTheMonth(D(2023, 12, 31))), "2023-12-31 23:59:59.999");
  EXPECT_EQ(StartOfTheYear(t), D(2024, 1, 1));
  EXPECT_EQ(Text(EndOfTheYear(t)), "2024-12-31 23:59:59.999");
  EXPECT_EQ(StartOfTheDay(t), D(2024, 2, 10));
}

TEST(DateTimeShifts, MonthsClipTheDayAndKeepTheTime) {
  TDateTime jan31 = EncodeDateTime(2025, 1, 31, 10, 0, 0, 0);
  EXPECT_EQ(Text(IncMonth(jan31)), "2025-02-28 10:00:00.000");
  EXPECT_EQ(Text(IncMonth(EncodeDateTime(2024, 1, 31, 0, 0, 0, 0))), "2024-02-29 00:00:00.000");
  EXPECT_EQ(Text(IncMonth(jan31, -2)), "2024-11-30 10:00:00.000");
  EXPECT_EQ(Text(IncMonth(jan31, 12)), "2026-01-31 10:00:00.000");
  EXPECT_EQ(Text(IncYear(D(2024, 2, 29))), "2025-02-28 00:00:00.000");
  EXPECT_EQ(Text(IncDay(D(2024, 12, 31))), "2025-01-01 00:00:00.000");
  EXPECT_EQ(Text(IncMinute(D(2025, 1, 1), -1)), "2024-12-31 23:59:00.000");
  EXPECT_EQ(Text(IncSecond(D(2025, 1, 1), 86400)), "2025-01-02 00:00:00.000");
  EXPECT_EQ(Text(IncMilliSecond(D(2025, 1, 1), 1)), "2025-01-01 00:00:00.001");
}

TEST(DateTimeDifferences, WholeDaysAndYears) {
  EXPECT_EQ(DaysBetween(TDateTime(10.9), TDateTime(9.0)), 1);
  EXPECT_EQ(DaysBetween(TDateTime(9.0), TDateTime(10.9)), 1);  // absolute: a bill dated in the future
  EXPECT_EQ(DaysBetween(D(2025, 3, 1), D(2025, 2, 1)), 28);
  EXPECT_EQ(MilliSecondsBetween(IncMilliSecond(D(2025, 1, 1), 1500), D(2025, 1, 1)), 1500);
  EXPECT_EQ(YearsBetweenDates(D(1990, 6, 15), D(2025, 6, 14)), 34);
  EXPECT_EQ(YearsBetweenDates(D(1990, 6, 15), D(2025, 6, 15)), 35);
}

TEST(DateTimeClock, VirtualClockMovesOnlyWhenTold) {
  VirtualClock clock(EncodeDateTime(2025, 3, 1, 23, 59, 59, 500));
  ScopedClock use(clock);
  EXPECT_EQ(Text(Now()), "2025-03-01 23:59:59.500");
  uint64_t ticks = GetTickCount();
  Sleep(600);
  EXPECT_EQ(GetTickCount() - ticks, 600u);
  EXPECT_EQ(Text(Now()), "2025-03-02 00:00:00.100");
  EXPECT_EQ(Date(), D(2025, 3, 2));
  clock.SetNow(D(2030, 1, 1));
  EXPECT_EQ(Now(), D(2030, 1, 1));
  EXPECT_EQ(GetTickCount() - ticks, 600u);
}

TEST(DateTimeClock, SystemClockIsRestoredAfterTheGuard) {
  {
    VirtualClock clock(D(2000, 1, 1));
    ScopedClock use(clock);
    EXPECT_EQ(YearOf(Now()), 2000);
  }
  EXPECT_GE(YearOf(Now()), 2025);
}

}  // namespace
}  // namespace jxc
