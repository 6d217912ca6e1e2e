#include "platform/DateTime.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <thread>

#include "platform/Exceptions.h"

namespace jxc {

namespace {

constexpr int64_t kMsPerDay = 86400000;
constexpr int64_t kDaysFrom1970 = 25569;  // 1899-12-30 to 1970-01-01

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

void CivilFromDays(int64_t z, int& year, int& month, int& day) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t y = static_cast<int64_t>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(y + (month <= 2));
}

// A date-time as a day number and the milliseconds into that day (0 <= msOfDay < kMsPerDay).
struct Split {
  int64_t day;
  int64_t msOfDay;
};

// The toolkit's reading: the integer part (toward zero) is the day, the fraction's absolute value is the
// time of day, also before the epoch (-1.25 is 1899-12-29 06:00).
Split SplitValue(TDateTime value) {
  if (!IsDateTimeInRange(value)) {
    char text[32];
    std::snprintf(text, sizeof text, "%.17g", value.Value());
    throw EConvertError(std::string("Invalid date-time value: ") + text);
  }
  double v = value.Value();
  double whole = std::trunc(v);
  int64_t day = static_cast<int64_t>(whole);
  int64_t ms = std::llround(std::fabs(v - whole) * kMsPerDay);
  if (ms >= kMsPerDay) {  // rounding reached midnight: the following day
    ms -= kMsPerDay;
    ++day;
  }
  return {day, ms};
}

TDateTime Compose(int64_t day, int64_t msOfDay) {
  double time = static_cast<double>(msOfDay) / kMsPerDay;
  double d = static_cast<double>(day);
  return TDateTime(day >= 0 ? d + time : d - time);
}

// Milliseconds on a straight time line (0 = the epoch), so that shifts work across the epoch.
int64_t ToLine(TDateTime value) {
  Split s = SplitValue(value);
  return s.day * kMsPerDay + s.msOfDay;
}

TDateTime FromLine(int64_t ms) {
  int64_t day = ms >= 0 ? ms / kMsPerDay : -((-ms + kMsPerDay - 1) / kMsPerDay);
  return Compose(day, ms - day * kMsPerDay);
}

int64_t DayNumber(TDateTime value) { return SplitValue(value).day; }

int64_t FloorMod(int64_t a, int64_t b) { return ((a % b) + b) % b; }

IClock* g_clock = nullptr;

}  // namespace

// --- encoding and decoding ------------------------------------------------------------------------------

// 0001-01-01 is day -693593; its times lie above -693594 (the fraction counts back from the day).
bool IsDateTimeInRange(TDateTime value) {
  const double v = value.Value();
  return v > -693594.0 && v < 2958466.0;  // false for NaN
}

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInAMonth(int year, int month) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool IsValidDate(int year, int month, int day) {
  return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 && day <= DaysInAMonth(year, month);
}

bool IsValidTime(int hour, int minute, int second, int msec) {
  return hour >= 0 && hour < 24 && minute >= 0 && minute < 60 && second >= 0 && second < 60 && msec >= 0 &&
         msec < 1000;
}

bool TryEncodeDate(int year, int month, int day, TDateTime& result) {
  if (!IsValidDate(year, month, day)) return false;
  result = TDateTime(static_cast<double>(DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) +
                                         kDaysFrom1970));
  return true;
}

TDateTime EncodeDate(int year, int month, int day) {
  TDateTime result;
  if (!TryEncodeDate(year, month, day, result)) throw EConvertError("Invalid argument to date encode");
  return result;
}

TDateTime EncodeTime(int hour, int minute, int second, int msec) {
  if (!IsValidTime(hour, minute, second, msec)) throw EConvertError("Invalid argument to time encode");
  return TDateTime(static_cast<double>(((hour * 60 + minute) * 60 + second) * 1000 + msec) / kMsPerDay);
}

TDateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second, int msec) {
  int64_t date = static_cast<int64_t>(EncodeDate(year, month, day).Value());
  return Compose(date, std::llround(EncodeTime(hour, minute, second, msec).Value() * kMsPerDay));
}

void DecodeDate(TDateTime value, int& year, int& month, int& day) {
  CivilFromDays(DayNumber(value) - kDaysFrom1970, year, month, day);
}

void DecodeTime(TDateTime value, int& hour, int& minute, int& second, int& msec) {
  int64_t ms = SplitValue(value).msOfDay;
  msec = static_cast<int>(ms % 1000);
  second = static_cast<int>(ms / 1000 % 60);
  minute = static_cast<int>(ms / 60000 % 60);
  hour = static_cast<int>(ms / 3600000);
}

void DecodeDateTime(TDateTime value, int& year, int& month, int& day, int& hour, int& minute, int& second,
                    int& msec) {
  DecodeDate(value, year, month, day);
  DecodeTime(value, hour, minute, second, msec);
}

int YearOf(TDateTime value) { int y, m, d; DecodeDate(value, y, m, d); return y; }
int MonthOf(TDateTime value) { int y, m, d; DecodeDate(value, y, m, d); return m; }
int DayOf(TDateTime value) { int y, m, d; DecodeDate(value, y, m, d); return d; }
int HourOf(TDateTime value) { return static_cast<int>(SplitValue(value).msOfDay / 3600000); }
int MinuteOf(TDateTime value) { return static_cast<int>(SplitValue(value).msOfDay / 60000 % 60); }
int SecondOf(TDateTime value) { return static_cast<int>(SplitValue(value).msOfDay / 1000 % 60); }
int MilliSecondOf(TDateTime value) { return static_cast<int>(SplitValue(value).msOfDay % 1000); }

// 1899-12-30 was a Saturday.
int DayOfWeek(TDateTime value) { return static_cast<int>(FloorMod(DayNumber(value) + 6, 7)) + 1; }
int DayOfTheWeek(TDateTime value) { return static_cast<int>(FloorMod(DayNumber(value) + 5, 7)) + 1; }

// --- parts ------------------------------------------------------------------------------------------------

TDateTime DateOf(TDateTime value) { return Compose(DayNumber(value), 0); }
TDateTime TimeOf(TDateTime value) { return TDateTime(static_cast<double>(SplitValue(value).msOfDay) / kMsPerDay); }
bool IsMidnight(TDateTime value) { return SplitValue(value).msOfDay == 0; }

// --- shifts -----------------------------------------------------------------------------------------------

TDateTime IncDay(TDateTime value, int days) { return FromLine(ToLine(value) + days * kMsPerDay); }

TDateTime IncMonth(TDateTime value, int months) {
  Split s = SplitValue(value);
  int y, m, d;
  CivilFromDays(s.day - kDaysFrom1970, y, m, d);
  int64_t index = static_cast<int64_t>(y) * 12 + (m - 1) + months;
  int year = static_cast<int>(index >= 0 ? index / 12 : -((-index + 11) / 12));
  int month = static_cast<int>(index - static_cast<int64_t>(year) * 12) + 1;
  if (year < 1 || year > 9999) throw EConvertError("Invalid argument to date encode");
  d = std::min(d, DaysInAMonth(year, month));
  return Compose(static_cast<int64_t>(EncodeDate(year, month, d).Value()), s.msOfDay);
}

TDateTime IncYear(TDateTime value, int years) { return IncMonth(value, years * 12); }
TDateTime IncHour(TDateTime value, int64_t hours) { return FromLine(ToLine(value) + hours * 3600000); }
TDateTime IncMinute(TDateTime value, int64_t minutes) { return FromLine(ToLine(value) + minutes * 60000); }
TDateTime IncSecond(TDateTime value, int64_t seconds) { return FromLine(ToLine(value) + seconds * 1000); }
TDateTime IncMilliSecond(TDateTime value, int64_t msecs) { return FromLine(ToLine(value) + msecs); }

// --- ranges -----------------------------------------------------------------------------------------------

TDateTime StartOfTheDay(TDateTime value) { return DateOf(value); }
TDateTime EndOfTheDay(TDateTime value) { return Compose(DayNumber(value), kMsPerDay - 1); }

TDateTime StartOfTheWeek(TDateTime value) { return Compose(DayNumber(value) - (DayOfTheWeek(value) - 1), 0); }
TDateTime EndOfTheWeek(TDateTime value) {
  return Compose(DayNumber(value) + (7 - DayOfTheWeek(value)), kMsPerDay - 1);
}

TDateTime StartOfWeekFrom(TDateTime value, int firstDayOfWeek) {
  if (firstDayOfWeek < 1 || firstDayOfWeek > 7) firstDayOfWeek = 1;
  return Compose(DayNumber(value) - FloorMod(DayOfWeek(value) - firstDayOfWeek, 7), 0);
}

TDateTime StartOfTheMonth(TDateTime value) {
  int y, m, d;
  DecodeDate(value, y, m, d);
  return EncodeDate(y, m, 1);
}

TDateTime EndOfTheMonth(TDateTime value) {
  int y, m, d;
  DecodeDate(value, y, m, d);
  return EndOfTheDay(EncodeDate(y, m, DaysInAMonth(y, m)));
}

TDateTime StartOfTheYear(TDateTime value) { return EncodeDate(YearOf(value), 1, 1); }
TDateTime EndOfTheYear(TDateTime value) { return EndOfTheDay(EncodeDate(YearOf(value), 12, 31)); }

// --- differences ------------------------------------------------------------------------------------------

int64_t DaysBetween(TDateTime a, TDateTime b) { return MilliSecondsBetween(a, b) / kMsPerDay; }

int YearsBetweenDates(TDateTime birth, TDateTime day) {
  int by, bm, bd, y, m, d;
  DecodeDate(birth, by, bm, bd);
  DecodeDate(day, y, m, d);
  int years = y - by;
  if (m < bm || (m == bm && d < bd)) --years;
  return years;
}

int64_t MilliSecondsBetween(TDateTime a, TDateTime b) {
  int64_t diff = ToLine(a) - ToLine(b);
  return diff < 0 ? -diff : diff;
}

// --- clock ------------------------------------------------------------------------------------------------

TDateTime SystemClock::Now() const {
  using namespace std::chrono;
  auto now = system_clock::now();
  std::time_t seconds = system_clock::to_time_t(now);
  int ms = static_cast<int>(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000);
  std::tm local{};
  localtime_r(&seconds, &local);
  return EncodeDateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                        std::min(local.tm_sec, 59), ms < 0 ? 0 : ms);
}

uint64_t SystemClock::TickCount() const {
  using namespace std::chrono;
  return static_cast<uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void SystemClock::Sleep(int msecs) {
  if (msecs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(msecs));
}

VirtualClock::VirtualClock(TDateTime start) : start_(start) {}

TDateTime VirtualClock::Now() const {
  return IncMilliSecond(start_, static_cast<int64_t>(ticks_ - startTicks_));
}

void VirtualClock::SetNow(TDateTime now) {
  start_ = now;
  startTicks_ = ticks_;
}

IClock& CurrentClock() {
  static SystemClock system;
  return g_clock ? *g_clock : system;
}

IClock* SetCurrentClock(IClock* clock) {
  IClock* previous = g_clock;
  g_clock = clock;
  return previous;
}

TDateTime Now() { return CurrentClock().Now(); }
TDateTime Date() { return DateOf(Now()); }
uint64_t GetTickCount() { return CurrentClock().TickCount(); }
void Sleep(int msecs) { CurrentClock().Sleep(msecs); }

}  // namespace jxc
