#pragma once
// Date-times on the toolkit's model: days since 1899-12-30 00:00 as a double, the fraction being the time
// of day (for days before the epoch the fraction is still the time of day, taken as its absolute value).
// Millisecond precision; decoding rounds to the nearest millisecond.
// "Now" and "today" come from the current clock, which tests replace with a virtual clock.

#include <compare>
#include <cstdint>
#include <string>

namespace jxc {

class TDateTime {
 public:
  constexpr TDateTime() = default;
  constexpr explicit TDateTime(double days) : days_(days) {}
  constexpr double Value() const { return days_; }
  constexpr auto operator<=>(const TDateTime&) const = default;
  constexpr bool operator==(const TDateTime&) const = default;
  // Shifts by a (possibly fractional) number of days.
  constexpr TDateTime operator+(double days) const { return TDateTime(days_ + days); }
  constexpr TDateTime operator-(double days) const { return TDateTime(days_ - days); }
  // Difference in days.
  constexpr double operator-(TDateTime other) const { return days_ - other.days_; }

 private:
  double days_ = 0;
};

inline constexpr double kMSecsPerDay = 86400000.0;
inline constexpr int kDateDelta = 693594;  // days from 0001-01-01 to 1899-12-30

// --- encoding and decoding (proleptic Gregorian calendar, years 1 to 9999) -------------------------------
// Values outside that calendar (before 0001-01-01, from 10000-01-01 on) and NaN do not decode: every
// operation that splits a value into its day and time raises EConvertError "Invalid date-time value: x".
bool IsDateTimeInRange(TDateTime value);
bool IsLeapYear(int year);
int DaysInAMonth(int year, int month);
bool IsValidDate(int year, int month, int day);
bool IsValidTime(int hour, int minute, int second, int msec);
bool TryEncodeDate(int year, int month, int day, TDateTime& result);
// Raises EConvertError "Invalid argument to date encode" for an invalid date.
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int minute, int second, int msec);
TDateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second, int msec);
void DecodeDate(TDateTime value, int& year, int& month, int& day);
void DecodeTime(TDateTime value, int& hour, int& minute, int& second, int& msec);
void DecodeDateTime(TDateTime value, int& year, int& month, int& day, int& hour, int& minute, int& second,
                    int& msec);
int YearOf(TDateTime value);
int MonthOf(TDateTime value);
int DayOf(TDateTime value);
int HourOf(TDateTime value);
int MinuteOf(TDateTime value);
int SecondOf(TDateTime value);
int MilliSecondOf(TDateTime value);
// 1 = Sunday ... 7 = Saturday (the toolkit's DayOfWeek).
int DayOfWeek(TDateTime value);
// ISO numbering: 1 = Monday ... 7 = Sunday (the toolkit's DayOfTheWeek).
int DayOfTheWeek(TDateTime value);

// --- parts ------------------------------------------------------------------------------------------------
TDateTime DateOf(TDateTime value);  // midnight of the same day
TDateTime TimeOf(TDateTime value);  // time of day only (0 <= result < 1)
bool IsMidnight(TDateTime value);

// --- shifts -----------------------------------------------------------------------------------------------
TDateTime IncDay(TDateTime value, int days = 1);
// Month shift keeping the time; the day is clipped to the length of the target month (31 Jan + 1 = 28/29 Feb).
TDateTime IncMonth(TDateTime value, int months = 1);
TDateTime IncYear(TDateTime value, int years = 1);
TDateTime IncHour(TDateTime value, int64_t hours = 1);
TDateTime IncMinute(TDateTime value, int64_t minutes = 1);
TDateTime IncSecond(TDateTime value, int64_t seconds = 1);
TDateTime IncMilliSecond(TDateTime value, int64_t msecs = 1);

// --- ranges (starts at 00:00:00.000, ends at 23:59:59.999 of their last day) -----------------------------
TDateTime StartOfTheDay(TDateTime value);
TDateTime EndOfTheDay(TDateTime value);
// Weeks starting on Monday, whatever the locale (date-period presets).
TDateTime StartOfTheWeek(TDateTime value);
TDateTime EndOfTheWeek(TDateTime value);
// Weeks starting on the given day, 1 = Sunday ... 7 = Saturday (the filter's regional first day).
TDateTime StartOfWeekFrom(TDateTime value, int firstDayOfWeek);
TDateTime StartOfTheMonth(TDateTime value);
TDateTime EndOfTheMonth(TDateTime value);
TDateTime StartOfTheYear(TDateTime value);
TDateTime EndOfTheYear(TDateTime value);

// --- differences ------------------------------------------------------------------------------------------
// Whole days between two date-times: the absolute difference truncated (1.9 days -> 1), as the toolkit's
// DaysBetween.
int64_t DaysBetween(TDateTime a, TDateTime b);
// Whole years from birth to the given day (the birthday itself counts as reached).
int YearsBetweenDates(TDateTime birth, TDateTime day);
// Milliseconds between two date-times, rounded.
int64_t MilliSecondsBetween(TDateTime a, TDateTime b);

// --- clock ------------------------------------------------------------------------------------------------
// The source of the current time. The system clock reads local time; tests and the headless UI model
// install a virtual clock whose time moves only when told.
class IClock {
 public:
  virtual ~IClock() = default;
  virtual TDateTime Now() const = 0;
  // Milliseconds since some fixed start (the toolkit's GetTickCount).
  virtual uint64_t TickCount() const = 0;
  // Lets the given milliseconds pass (a real clock sleeps; a virtual one moves on).
  virtual void Sleep(int msecs) = 0;
};

class SystemClock final : public IClock {
 public:
  TDateTime Now() const override;
  uint64_t TickCount() const override;
  void Sleep(int msecs) override;
};

// A clock that stands still until advanced. Now() = the start time plus the advanced milliseconds.
class VirtualClock : public IClock {
 public:
  explicit VirtualClock(TDateTime start = TDateTime(45658.375));  // 2025-01-01 09:00
  TDateTime Now() const override;
  uint64_t TickCount() const override { return ticks_; }
  void Sleep(int msecs) override { Advance(msecs); }
  void Advance(int64_t msecs) { ticks_ += static_cast<uint64_t>(msecs); }
  // Moves the wall time to the given moment; the tick count keeps running from where it was.
  void SetNow(TDateTime now);

 private:
  TDateTime start_;
  uint64_t startTicks_ = 0;
  uint64_t ticks_ = 0;
};

// The clock that Now, Date and GetTickCount read. Never null; defaults to the system clock.
IClock& CurrentClock();
// Installs a clock (not owned; nullptr restores the system clock). Returns the previous one.
IClock* SetCurrentClock(IClock* clock);

// Installs a clock for the lifetime of the guard (tests).
class ScopedClock {
 public:
  explicit ScopedClock(IClock& clock) : previous_(SetCurrentClock(&clock)) {}
  ~ScopedClock() { SetCurrentClock(previous_); }
  ScopedClock(const ScopedClock&) = delete;
  ScopedClock& operator=(const ScopedClock&) = delete;

 private:
  IClock* previous_;
};

TDateTime Now();
TDateTime Date();  // today at midnight
uint64_t GetTickCount();
void Sleep(int msecs);

}  // namespace jxc
