#include <gtest/gtest.h>

#include "platform/Exceptions.h"
#include "platform/Format.h"

namespace jxc {
namespace {

Currency C(const char* text) { return Currency::Parse(text); }

TEST(FormatNumbers, PatternsTheScreensUse) {
  EXPECT_EQ(FormatFloat("0.00", 2.5), "2.50");
  EXPECT_EQ(FormatFloat("0.00", 2.675), "2.68");   // decimal value, not the binary one below the half
  EXPECT_EQ(FormatFloat("0.00", -2.675), "-2.68");
  EXPECT_EQ(FormatFloat("#0.00", 0.5), "0.50");
  EXPECT_EQ(FormatFloat("#.##", 0.5), ".5");
  EXPECT_EQ(FormatFloat("#,##0.00", 1234567.891), "1,234,567.89");
  EXPECT_EQ(FormatFloat("#,##0.00", 999.999), "1,000.00");
  EXPECT_EQ(FormatFloat("#,##0.00", -1234.5), "-1,234.50");
  EXPECT_EQ(FormatFloat("0", 2.5), "3");
  EXPECT_EQ(FormatFloat("0.##", 2.5), "2.5");
  EXPECT_EQ(FormatFloat("0.00", -0.001), "0.00");  // no "-0.00"
  EXPECT_EQ(FormatFloat("", 0.1), "0.1");
  EXPECT_EQ(FormatFloat("000", 7), "007");
}

TEST(FormatNumbers, SectionsAndLiterals) {
  EXPECT_EQ(FormatFloat(",0.00;-,0.00", 1234.5), "1,234.50");
  EXPECT_EQ(FormatFloat(",0.00;-,0.00", -1234.5), "-1,234.50");
  EXPECT_EQ(FormatFloat("0.00;(0.00)", -3), "(3.00)");
  EXPECT_EQ(FormatFloat("0.00;-0.00;'零'", 0.001), "零");
  EXPECT_EQ(FormatFloat("记录数:#0条", 12), "记录数:12条");
  EXPECT_EQ(FormatFloat("总计:#,##0.00", 1234), "总计:1,234.00");
  EXPECT_EQ(FormatFloat("平均单价0.00元,确定吗？", 12.345), "平均单价12.35元,确定吗？");
  EXPECT_EQ(FormatFloat("'#'0", 5), "#5");
  EXPECT_EQ(FormatFloat("本单总额为0.00元", 1234.5), "本单总额为1234.50元");
  EXPECT_EQ(FormatFloat("记录数0条", 0), "记录数0条");
  EXPECT_EQ(FormatFloat("项数:0", 17), "项数:17");
  EXPECT_EQ(FormatFloat("0.##", 2), "2");
  EXPECT_EQ(FormatFloat("最小值:##0.00", 0.5), "最小值:0.50");
  EXPECT_EQ(FormatFloat("平均值:##0.00", -12345.678), "-平均值:12345.68");
  EXPECT_EQ(FormatFloat("0.00E+00", 12345), "1.23E+04");
  EXPECT_EQ(FormatFloat("0.0E-0", 0.00012), "1.2E-4");
}

TEST(FormatNumbers, CurrencyIsFormattedExactly) {
  EXPECT_EQ(FormatCurr("0.00", C("0.005")), "0.01");
  EXPECT_EQ(FormatCurr("0.00", C("-0.005")), "-0.01");
  EXPECT_EQ(FormatCurr("#,##0.00", C("922337203685477.5807")), "922,337,203,685,477.58");
  EXPECT_EQ(FormatCurr(",0.00;-,0.00", C("-1000")), "-1,000.00");
  EXPECT_EQ(FormatCurr("0.0000", C("1.2345")), "1.2345");
  EXPECT_EQ(FormatCurr("", C("12.5")), "12.5");
  EXPECT_EQ(CurrToStr(C("100")), "100");
  EXPECT_EQ(StrToCurr("1,000.5"), C("1000.5"));
  EXPECT_EQ(StrToCurrDef("x", C("1")), C("1"));
  EXPECT_THROW(StrToCurr("x"), EConvertError);
}

TEST(FormatDates, PatternsAreCaseInsensitiveAndMmAfterHhIsMinutes) {
  TDateTime t = EncodeDateTime(2025, 3, 7, 14, 5, 9, 42);
  EXPECT_EQ(FormatDateTime("yyyy-mm-dd", t), "2025-03-07");
  EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn:ss", t), "2025-03-07 14:05:09");
  EXPECT_EQ(FormatDateTime("YYYY-MM-DD HH:MM:SS", t), "2025-03-07 14:05:09");
  EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:mm:ss", t), "2025-03-07 14:05:09");
  EXPECT_EQ(FormatDateTime("yyyy-mm-dd 23:59:59", t), "2025-03-07 23:59:59");
  EXPECT_EQ(FormatDateTime("yyyymmdd", t), "20250307");
  EXPECT_EQ(FormatDateTime("yy/m/d h:n:s.zzz", t), "25-3-7 14:5:9.042");
  EXPECT_EQ(FormatDateTime("yyyy\"年\"m\"月\"", t), "2025年3月");
  EXPECT_EQ(FormatDateTime("hh:nn am/pm", t), "02:05 PM");
  EXPECT_EQ(FormatDateTime("ddd mmm", t), "Fri Mar");
  EXPECT_EQ(FormatDateTime("c", t), "2025-03-07 14:05:09");
  EXPECT_EQ(FormatDateTime("c", EncodeDate(2025, 3, 7)), "2025-03-07");
}

TEST(FormatDates, DateAndTimeTexts) {
  TDateTime t = EncodeDateTime(2025, 12, 31, 23, 59, 59, 0);
  EXPECT_EQ(DateToStr(t), "2025-12-31");
  EXPECT_EQ(TimeToStr(t), "23:59:59");
  EXPECT_EQ(DateTimeToStr(t), "2025-12-31 23:59:59");
  EXPECT_EQ(DateTimeToStr(EncodeDate(2025, 12, 31)), "2025-12-31");
}

TEST(FormatDates, ReadingDateTimes) {
  EXPECT_EQ(StrToDateTime("2025-01-02"), EncodeDate(2025, 1, 2));
  EXPECT_EQ(StrToDateTime(" 2025/1/2 3:04 "), EncodeDateTime(2025, 1, 2, 3, 4, 0, 0));
  EXPECT_EQ(StrToDateTime("2025-01-02T03:04:05.5"), EncodeDateTime(2025, 1, 2, 3, 4, 5, 500));
  EXPECT_EQ(StrToDateTime("2025-01-02 23:59:59.999"), EndOfTheDay(EncodeDate(2025, 1, 2)));
  EXPECT_EQ(StrToDate("2024-02-29"), EncodeDate(2024, 2, 29));
  EXPECT_EQ(StrToTime("12:30"), EncodeTime(12, 30, 0, 0));
  TDateTime out;
  for (const char* bad : {"", "2025-02-30", "2025-01-02 24:00", "2025-01", "abc", "2025-01-02 3", "2025-01/02"})
    EXPECT_FALSE(TryStrToDateTime(bad, out)) << bad;
  EXPECT_FALSE(TryStrToDate("2025-01-02 03:04", out));
  try {
    StrToDateTime("2025-02-30");
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "'2025-02-30' is not a valid date and time");
  }
  EXPECT_THROW(StrToDate("x"), EConvertError);
  EXPECT_EQ(StrToDateDef("x", TDateTime(1)), TDateTime(1));
}

TEST(FormatPrintf, DirectivesWidthsAndErrors) {
  EXPECT_EQ(Format("%d %s %f %.2f %x %%", {12, "ab", 1.5, 2.345, 255}), "12 ab 1.50 2.35 FF %");
  EXPECT_EQ(Format("%.3f", {C("1.0005")}), "1.001");
  EXPECT_EQ(Format("[%5d][%-4s][%.3d]", {42, "x", 7}), "[   42][x   ][007]");
  EXPECT_EQ(Format("%s=%s", {Variant::Null(), C("2.5")}), "=2.5");
  EXPECT_EQ(Format("%n", {1234567.5}), "1,234,567.50");
  EXPECT_EQ(Format("%1:s %0:s", {"a", "b"}), "b a");
  EXPECT_EQ(Format("%d", {-5LL}), "-5");
  EXPECT_EQ(Format("第%d行", {3}), "第3行");
  EXPECT_THROW(Format("%d", {"12"}), EConvertError);
  EXPECT_THROW(Format("%d", {1.5}), EConvertError);
  EXPECT_THROW(Format("%s %s", {"a"}), EConvertError);
  EXPECT_THROW(Format("%", {1}), EConvertError);
  try {
    Format("%d", {});
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "Format '%d' invalid or incompatible with argument");
  }
}

TEST(FormatSettingsTest, FixedSettings) {
  const TFormatSettings& fs = FormatSettings();
  EXPECT_EQ(fs.ShortDateFormat, "yyyy-mm-dd");
  EXPECT_EQ(fs.DecimalSeparator, '.');
  EXPECT_EQ(fs.FirstDayOfWeek, 2);
}

}  // namespace
}  // namespace jxc
