// Relative date operators on chosen days: month and year ends, week starts by the regional setting,
// and the range being fixed when the tree is prepared rather than when its text is read.
#include <gtest/gtest.h>

#include "filter/CustomFilterOperators.h"
#include "filter/CustomFilterUtils.h"
#include "filter/FilterTestSupport.h"
#include "platform/DateTime.h"
#include "platform/Format.h"

namespace jxc {
namespace {

using K = TcxFilterOperatorKind;

class DateOperators : public ::testing::Test {
 protected:
  void SetUp() override { savedFirstDay_ = FormatSettings().FirstDayOfWeek; }
  void TearDown() override { FormatSettings().FirstDayOfWeek = savedFirstDay_; }

  // The SQL of one date condition on F_DATE, with the clock at the given moment.
  std::string TextOn(K kind, TDateTime now) {
    clock_.SetNow(now);
    TcxFilterCriteria criteria;
    TFilterItem item = filtertest::Item("F_DATE", FilterOperatorKindName(kind), Variant(), "日期");
    criteria.AddItem(nullptr, &item, kind, Variant(), "");
    return criteria.GetFilterText();
  }
  static std::string Range(const char* from, const char* to) {
    return std::string("((F_DATE >= '") + from + "') AND (F_DATE < '" + to + "'))";
  }

  VirtualClock clock_;
  ScopedClock scoped_{clock_};
  int savedFirstDay_ = 2;
};

TEST_F(DateOperators, LastMonthInJanuaryIsDecemberOfThePreviousYear) {
  EXPECT_EQ(TextOn(K::foLastMonth, EncodeDateTime(2026, 1, 15, 16, 30, 0, 0)), Range("2025-12-01", "2026-01-01"));
}

TEST_F(DateOperators, NextMonthInNovemberAndDecember) {
  EXPECT_EQ(TextOn(K::foNextMonth, EncodeDate(2026, 11, 20)), Range("2026-12-01", "2027-01-01"));
  EXPECT_EQ(TextOn(K::foNextMonth, EncodeDate(2026, 12, 10)), Range("2027-01-01", "2027-02-01"));
  EXPECT_EQ(TextOn(K::foThisMonth, EncodeDate(2026, 12, 31)), Range("2026-12-01", "2027-01-01"));
  EXPECT_EQ(TextOn(K::foLastMonth, EncodeDate(2024, 3, 31)), Range("2024-02-01", "2024-03-01"));
}

TEST_F(DateOperators, WeeksAcrossAYearEndStartingMonday) {
  FormatSettings().FirstDayOfWeek = 2;  // Monday
  const TDateTime thursday = EncodeDate(2026, 12, 31);
  EXPECT_EQ(TextOn(K::foThisWeek, thursday), Range("2026-12-28", "2027-01-04"));
  EXPECT_EQ(TextOn(K::foNextWeek, thursday), Range("2027-01-04", "2027-01-11"));
  EXPECT_EQ(TextOn(K::foNextTwoWeeks, thursday), Range("2027-01-04", "2027-01-18"));
  EXPECT_EQ(TextOn(K::foLastWeek, thursday), Range("2026-12-21", "2026-12-28"));
  EXPECT_EQ(TextOn(K::foLastTwoWeeks, thursday), Range("2026-12-14", "2026-12-28"));
  // The next year's first days still belong to the week that began in December.
  EXPECT_EQ(TextOn(K::foThisWeek, EncodeDate(2027, 1, 3)), Range("2026-12-28", "2027-01-04"));
}

TEST_F(DateOperators, WeeksFollowTheRegionalFirstDay) {
  FormatSettings().FirstDayOfWeek = 1;  // Sunday
  EXPECT_EQ(TextOn(K::foThisWeek, EncodeDate(2026, 12, 31)), Range("2026-12-27", "2027-01-03"));
  EXPECT_EQ(TextOn(K::foLastWeek, EncodeDate(2027, 1, 2)), Range("2026-12-20", "2026-12-27"));
  EXPECT_EQ(TextOn(K::foThisWeek, EncodeDate(2027, 1, 3)), Range("2027-01-03", "2027-01-10"));
}

TEST_F(DateOperators, DaysAroundToday) {
  const TDateTime newYear = EncodeDateTime(2026, 1, 1, 9, 0, 0, 0);
  EXPECT_EQ(TextOn(K::foYesterday, newYear), Range("2025-12-31", "2026-01-01"));
  EXPECT_EQ(TextOn(K::foToday, newYear), Range("2026-01-01", "2026-01-02"));
  EXPECT_EQ(TextOn(K::foTomorrow, newYear), Range("2026-01-02", "2026-01-03"));
  // Last and next N days include today.
  EXPECT_EQ(TextOn(K::foLast7Days, EncodeDate(2026, 1, 3)), Range("2025-12-28", "2026-01-04"));
  EXPECT_EQ(TextOn(K::foLast30Days, EncodeDate(2026, 3, 1)), Range("2026-01-31", "2026-03-02"));
  EXPECT_EQ(TextOn(K::foNext7Days, EncodeDate(2026, 12, 28)), Range("2026-12-28", "2027-01-04"));
  EXPECT_EQ(TextOn(K::foNext14Days, EncodeDate(2026, 2, 20)), Range("2026-02-20", "2026-03-06"));
}

TEST_F(DateOperators, Years) {
  const TDateTime day = EncodeDate(2026, 6, 15);
  EXPECT_EQ(TextOn(K::foLastYear, day), Range("2025-01-01", "2026-01-01"));
  EXPECT_EQ(TextOn(K::foThisYear, day), Range("2026-01-01", "2027-01-01"));
  EXPECT_EQ(TextOn(K::foNextYear, day), Range("2027-01-01", "2028-01-01"));
}

TEST_F(DateOperators, PastAndFutureHaveOneBoundEach) {
  const TDateTime day = EncodeDateTime(2026, 1, 15, 23, 59, 0, 0);
  EXPECT_EQ(TextOn(K::foInPast, day), "((F_DATE < '2026-01-15'))");
  EXPECT_EQ(TextOn(K::foInFuture, day), "((F_DATE >= '2026-01-16'))");
}

TEST_F(DateOperators, RangeIsFixedWhenTheTreeIsPrepared) {
  clock_.SetNow(EncodeDateTime(2026, 1, 31, 23, 0, 0, 0));
  TcxFilterCriteria criteria;
  TFilterItem item = filtertest::Item("F_DATE", "foToday", Variant(), "日期");
  criteria.AddItem(nullptr, &item, K::foToday, Variant(), "");
  clock_.Advance(2 * 60 * 60 * 1000);  // now 1 February
  EXPECT_EQ(criteria.GetFilterText(), "((F_DATE >= '2026-01-31') AND (F_DATE < '2026-02-01'))");
  TFilterItem other = filtertest::Item("F_QTY", "foEqual", 1);
  criteria.AddItem(nullptr, &other, K::foEqual, 1, "");  // any change prepares the tree again
  EXPECT_EQ(criteria.GetFilterText(),
            "((F_DATE >= '2026-02-01') AND (F_DATE < '2026-02-02')) AND (F_QTY = 1)");
}

TEST_F(DateOperators, CaptionNamesThePeriodWithoutAValue) {
  clock_.SetNow(EncodeDate(2026, 1, 15));
  TcxFilterCriteria criteria;
  TFilterItem item = filtertest::Item("F_DATE", "foLastMonth", 5, "日期");
  criteria.AddItem(nullptr, &item, K::foLastMonth, 5, "5");
  EXPECT_EQ(criteria.GetFilterCaption(), "(日期 上月)");
}

}  // namespace
}  // namespace jxc
