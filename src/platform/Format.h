#pragma once
// The toolkit's format languages: number patterns (FormatFloat: "0.00", "#,##0.00", ",0.00;-,0.00",
// "记录数:#0条"), date-time patterns (FormatDateTime: "yyyy-mm-dd hh:nn:ss", "YYYY-MM-DD HH:MM:SS"),
// and printf-like Format with %d and %s. Settings are fixed, not read from the machine's locale, so that
// texts reaching SQL are always in a form the database accepts.

#include <initializer_list>
#include <string>
#include <string_view>

#include "platform/Currency.h"
#include "platform/DateTime.h"
#include "platform/Variant.h"

namespace jxc {

struct TFormatSettings {
  char DecimalSeparator = '.';
  char ThousandSeparator = ',';
  // What '/' and ':' in a date-time pattern stand for.
  char DateSeparator = '-';
  char TimeSeparator = ':';
  std::string ShortDateFormat = "yyyy-mm-dd";
  std::string LongTimeFormat = "hh:nn:ss";
  // First day of the week for the regional week rule, 1 = Sunday ... 7 = Saturday (2 = Monday, the
  // locale of a Chinese installation).
  int FirstDayOfWeek = 2;
  std::string TrueStr = "True";
  std::string FalseStr = "False";
};

// The process's format settings (the toolkit's global FormatSettings).
TFormatSettings& FormatSettings();

// Number pattern: up to three sections "positive;negative;zero". In a section, '0' is a digit that is
// always shown, '#' a digit shown when significant, the first '.' the decimal point, a ',' among the digit
// placeholders turns on thousands grouping, "E+"/"E-" scientific notation, text in quotes is literal, and
// every other character before or after the digit placeholders is literal (so "总计:#,##0.00" keeps its
// prefix and "平均单价0.00元,确定吗？" its comma). Rounding is half away from zero on the decimal value.
// An empty pattern gives FloatToStr.
std::string FormatFloat(std::string_view pattern, double value);
// The same on an exact currency value (no binary rounding on the way).
std::string FormatCurr(std::string_view pattern, Currency value);

// Date-time pattern; specifiers are case-insensitive: yyyy yy, m mm mmm mmmm (month, or minutes right
// after h/hh), d dd ddd dddd, h hh, n nn, s ss, z zzz, am/pm, "c" (short date + time when not midnight),
// "ddddd" (short date), "tt" (long time), '/' and ':' separators; text in quotes is literal; digits and
// other characters are kept as they are ("yyyy-mm-dd 23:59:59").
std::string FormatDateTime(std::string_view pattern, TDateTime value);
std::string DateToStr(TDateTime value);      // "yyyy-mm-dd"
std::string TimeToStr(TDateTime value);      // "hh:nn:ss"
// "yyyy-mm-dd", followed by " hh:nn:ss" when the time is not midnight.
std::string DateTimeToStr(TDateTime value);
// Reads "yyyy-mm-dd", "yyyy-mm-dd hh:nn", "yyyy-mm-dd hh:nn:ss", "yyyy-mm-dd hh:nn:ss.zzz" (also with '/'
// or a 'T' separator). Raises EConvertError "'text' is not a valid date and time" otherwise.
TDateTime StrToDateTime(std::string_view text);
bool TryStrToDateTime(std::string_view text, TDateTime& result);
TDateTime StrToDateTimeDef(std::string_view text, TDateTime fallback);
// Date only ("yyyy-mm-dd" or "yyyy/mm/dd"); raises EConvertError "'text' is not a valid date".
TDateTime StrToDate(std::string_view text);
bool TryStrToDate(std::string_view text, TDateTime& result);
TDateTime StrToDateDef(std::string_view text, TDateTime fallback);
// Time only ("hh:nn[:ss[.zzz]]"); raises EConvertError "'text' is not a valid time".
TDateTime StrToTime(std::string_view text);
bool TryStrToTime(std::string_view text, TDateTime& result);

// Currency text up to four decimals (Currency::ToString).
std::string CurrToStr(Currency value);
// Currency::Parse / TryParse under the toolkit's names.
Currency StrToCurr(std::string_view text);
bool TryStrToCurr(std::string_view text, Currency& result);
Currency StrToCurrDef(std::string_view text, Currency fallback);

// printf-like: %d (integer), %s (text form of any value), %f / %.Nf (fixed decimals, 2 by default; currency
// stays exact), %n (as %f with thousands grouping), %g (shortest), %e, %x (upper-case hex), %%; an optional
// argument index ("%0:s"), width ("%5d", "%-8s") and precision ("%.3d" pads with zeros, "%.2s" cuts).
// A missing argument or a mismatched kind raises EConvertError
// "Format '%d' invalid or incompatible with argument".
std::string Format(std::string_view pattern, std::initializer_list<Variant> args);

}  // namespace jxc
