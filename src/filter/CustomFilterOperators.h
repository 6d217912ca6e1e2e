#pragma once
// The operators of condition leaves: one class per operator kind, plus the null and not-null operators
// chosen for a null value. Each knows its SQL symbol, its caption, how it writes a value into SQL and,
// for the relative date operators, which range of days it stands for.
//
// Value rendering (GetExpressionValue): strings are single-quoted with inner quotes doubled, date-times
// are quoted date text, booleans "True"/"False", null (and an unassigned value) NULL, numbers their
// plain decimal text. Text with NUL characters or invalid UTF-8, a non-finite number, or an array where
// the operator takes a single value raise EFilterError: no caller's text ever reaches SQL unquoted.

#include <memory>
#include <string>
#include <vector>

#include "filter/CustomFilterUtils.h"
#include "platform/DateTime.h"
#include "platform/Variant.h"

namespace jxc {

class TcxFilterOperator {
 public:
  explicit TcxFilterOperator(TcxFilterCriteriaItem& criteriaItem) : FCriteriaItem(criteriaItem) {}
  virtual ~TcxFilterOperator() = default;
  TcxFilterOperator(const TcxFilterOperator&) = delete;
  TcxFilterOperator& operator=(const TcxFilterOperator&) = delete;

  // The SQL of the leaf when IsExpression holds; by default the rendered value.
  virtual std::string GetExpressionFilterText(const Variant& value);
  // The rendered value: PrepareExpressionValue when it applies, else the value of a single value.
  virtual std::string GetExpressionValue(const Variant& value);
  // Adjusts the caption's display value in place; leaves it by default.
  virtual void PrepareDisplayValue(std::string& text) {}
  virtual void Prepare() {}
  // Renders values the operator writes in its own way (arrays); false when it does not apply.
  virtual bool PrepareExpressionValue(const Variant& value, std::string& text) { return false; }
  // The caption of the operator; FilterText by default.
  virtual std::string DisplayText() const { return FilterText(); }
  virtual std::string FilterText() const = 0;
  virtual bool IsDescription() const { return false; }
  virtual bool IsExpression() const { return false; }
  virtual bool IsNullOperator() const { return false; }

  TcxFilterCriteriaItem& CriteriaItem() const { return FCriteriaItem; }

 protected:
  TcxFilterCriteria& Criteria() const;
  // The leaf's field name as it goes into SQL.
  std::string FieldName() const;
  // One single value as SQL text (a string literal, date literal, number, boolean or NULL), passed
  // through the criteria's FormatFilterTextValue.
  std::string RenderValue(const Variant& value) const;
  // The elements of an array value, checked to hold at least minCount of them.
  const std::vector<Variant>& ArrayElements(const Variant& value, size_t minCount) const;

 private:
  TcxFilterCriteriaItem& FCriteriaItem;
};

// F = v; on an array value, one equality per ";"-separated column joined by AND.
class TcxFilterEqualOperator : public TcxFilterOperator {
 public:
  using TcxFilterOperator::TcxFilterOperator;
  std::string FilterText() const override { return "="; }
  std::string DisplayText() const override { return "等于"; }
  bool IsExpression() const override;
  std::string GetExpressionFilterText(const Variant& value) override;
};

class TcxFilterNotEqualOperator : public TcxFilterEqualOperator {
 public:
  using TcxFilterEqualOperator::TcxFilterEqualOperator;
  std::string FilterText() const override { return "<>"; }
  std::string DisplayText() const override { return "不等于"; }
  std::string GetExpressionFilterText(const Variant& value) override;
};

// Chosen for a null value with equal or like. Its caption keeps "="; its SQL is "F IS NULL", because a
// comparison with NULL is never true and would select no row.
class TcxFilterNullOperator : public TcxFilterEqualOperator {
 public:
  using TcxFilterEqualOperator::TcxFilterEqualOperator;
  bool IsNullOperator() const override { return true; }
  bool IsExpression() const override { return true; }
  std::string GetExpressionFilterText(const Variant& value) override;
};

// Chosen for a null value with not equal or not like: caption "<>", SQL "F IS NOT NULL".
class TcxFilterNotNullOperator : public TcxFilterNullOperator {
 public:
  using TcxFilterNullOperator::TcxFilterNullOperator;
  std::string FilterText() const override { return "<>"; }
  std::string DisplayText() const override { return "不等于"; }
  std::string GetExpressionFilterText(const Variant& value) override;
};

class TcxFilterLessOperator : public TcxFilterOperator {
 public:
  using TcxFilterOperator::TcxFilterOperator;
  std::string FilterText() const override { return "<"; }
  std::string DisplayText() const override { return "小于"; }
};

class TcxFilterLessEqualOperator : public TcxFilterOperator {
 public:
  using TcxFilterOperator::TcxFilterOperator;
  std::string FilterText() const override { return "<="; }
  std::string DisplayText() const override { return "小于等于"; }
};

class TcxFilterGreaterOperator : public TcxFilterOperator {
 public:
  using TcxFilterOperator::TcxFilterOperator;
  std::string FilterText() const override { return ">"; }
  std::string DisplayText() const override { return "大于"; }
};

class TcxFilterGreaterEqualOperator : public TcxFilterOperator {
 public:
  using TcxFilterOperator::TcxFilterOperator;
  std::string FilterText() const override { return ">="; }
  std::string DisplayText() const override { return "大于等于"; }
};

class TcxFilterLikeOperator : public TcxFilterOperator {
 public:
  using TcxFilterOperator::TcxFilterOperator;
  std::string FilterText() const override { return "LIKE"; }
  std::string DisplayText() const override { return "相似"; }
};

// With the criteria's TranslateLike: " NOT (F LIKE v)".
class TcxFilterNotLikeOperator : public TcxFilterLikeOperator {
 public:
  using TcxFilterLikeOperator::TcxFilterLikeOperator;
  std::string FilterText() const override { return "NOT LIKE"; }
  std::string DisplayText() const override { return "不相似"; }
  bool IsExpression() const override;
  std::string GetExpressionFilterText(const Variant& value) override;
};

// F BETWEEN a AND b on a two-element array; with TranslateBetween "(F >= a) AND (F <= b)". A value that
// is not an array of at least two elements is refused.
class TcxFilterBetweenOperator : public TcxFilterOperator {
 public:
  using TcxFilterOperator::TcxFilterOperator;
  std::string FilterText() const override { return "BETWEEN"; }
  std::string DisplayText() const override { return "介于"; }
  bool IsDescription() const override { return true; }
  bool IsExpression() const override;
  bool PrepareExpressionValue(const Variant& value, std::string& text) override;
  std::string GetExpressionFilterText(const Variant& value) override;
};

class TcxFilterNotBetweenOperator : public TcxFilterBetweenOperator {
 public:
  using TcxFilterBetweenOperator::TcxFilterBetweenOperator;
  std::string FilterText() const override { return "NOT BETWEEN"; }
  std::string DisplayText() const override { return "不介于"; }
  std::string GetExpressionFilterText(const Variant& value) override;
};

// F IN (a, b, ...) on a non-empty array (a single value is a list of one); with TranslateIn
// "(F = a) OR (F = b) ...".
class TcxFilterInListOperator : public TcxFilterOperator {
 public:
  using TcxFilterOperator::TcxFilterOperator;
  std::string FilterText() const override { return "IN"; }
  std::string DisplayText() const override { return "属于"; }
  bool IsDescription() const override { return true; }
  bool IsExpression() const override;
  bool PrepareExpressionValue(const Variant& value, std::string& text) override;
  std::string GetExpressionFilterText(const Variant& value) override;
};

class TcxFilterNotInListOperator : public TcxFilterInListOperator {
 public:
  using TcxFilterInListOperator::TcxFilterInListOperator;
  std::string FilterText() const override { return "NOT IN"; }
  std::string DisplayText() const override { return "不属于"; }
  std::string GetExpressionFilterText(const Variant& value) override;
};

// A range of days relative to today, fixed when the tree is prepared: "(F >= start) AND (F < end)",
// start included, end excluded, either bound absent when 0. The value of the leaf is ignored and its
// display value is empty.
class TcxFilterDateOperator : public TcxFilterOperator {
 public:
  using TcxFilterOperator::TcxFilterOperator;
  std::string FilterText() const override { return DisplayText(); }
  bool IsExpression() const override { return true; }
  void PrepareDisplayValue(std::string& text) override { text.clear(); }
  void Prepare() override;
  std::string GetExpressionFilterText(const Variant& value) override;

  TDateTime Date1() const { return FDate1; }  // included; 0 = no lower bound
  TDateTime Date2() const { return FDate2; }  // not included; 0 = no upper bound

 protected:
  // Sets FDate1 and FDate2 from today (midnight) and the first day of today's week by the regional
  // first day of the week.
  virtual void PrepareRange(TDateTime today, TDateTime weekStart) = 0;
  TDateTime FDate1;
  TDateTime FDate2;

 private:
  bool FPrepared = false;
};

class TcxFilterLastNDaysOperator : public TcxFilterDateOperator {
 public:
  using TcxFilterDateOperator::TcxFilterDateOperator;
  virtual int DayCount() const = 0;

 protected:
  void PrepareRange(TDateTime today, TDateTime weekStart) override;
};

class TcxFilterNextNDaysOperator : public TcxFilterDateOperator {
 public:
  using TcxFilterDateOperator::TcxFilterDateOperator;
  virtual int DayCount() const = 0;

 protected:
  void PrepareRange(TDateTime today, TDateTime weekStart) override;
};

#define JXC_DATE_OPERATOR(Name, Caption)                                      \
  class Name : public TcxFilterDateOperator {                                 \
   public:                                                                    \
    using TcxFilterDateOperator::TcxFilterDateOperator;                       \
    std::string DisplayText() const override { return Caption; }              \
                                                                              \
   protected:                                                                 \
    void PrepareRange(TDateTime today, TDateTime weekStart) override;         \
  };
#define JXC_DAYS_OPERATOR(Name, Base, Days, Caption)                          \
  class Name : public Base {                                                  \
   public:                                                                    \
    using Base::Base;                                                         \
    std::string DisplayText() const override { return Caption; }              \
    int DayCount() const override { return Days; }                            \
  };

JXC_DATE_OPERATOR(TcxFilterYesterdayOperator, "昨天")
JXC_DATE_OPERATOR(TcxFilterTodayOperator, "今天")
JXC_DATE_OPERATOR(TcxFilterTomorrowOperator, "明天")
JXC_DAYS_OPERATOR(TcxFilterLast7DaysOperator, TcxFilterLastNDaysOperator, 7, "最近7天")
JXC_DATE_OPERATOR(TcxFilterLastWeekOperator, "上周")
JXC_DAYS_OPERATOR(TcxFilterLast14DaysOperator, TcxFilterLastNDaysOperator, 14, "最近14天")
JXC_DATE_OPERATOR(TcxFilterLastTwoWeeksOperator, "前两周")
JXC_DAYS_OPERATOR(TcxFilterLast30DaysOperator, TcxFilterLastNDaysOperator, 30, "最近30天")
JXC_DATE_OPERATOR(TcxFilterLastMonthOperator, "上月")
JXC_DATE_OPERATOR(TcxFilterLastYearOperator, "去年")
JXC_DATE_OPERATOR(TcxFilterInPastOperator, "以前")
JXC_DATE_OPERATOR(TcxFilterThisWeekOperator, "本周")
JXC_DATE_OPERATOR(TcxFilterThisMonthOperator, "本月")
JXC_DATE_OPERATOR(TcxFilterThisYearOperator, "今年")
JXC_DAYS_OPERATOR(TcxFilterNext7DaysOperator, TcxFilterNextNDaysOperator, 7, "未来7天")
JXC_DATE_OPERATOR(TcxFilterNextWeekOperator, "下周")
JXC_DAYS_OPERATOR(TcxFilterNext14DaysOperator, TcxFilterNextNDaysOperator, 14, "未来14天")
JXC_DATE_OPERATOR(TcxFilterNextTwoWeeksOperator, "后两周")
JXC_DAYS_OPERATOR(TcxFilterNext30DaysOperator, TcxFilterNextNDaysOperator, 30, "未来30天")
JXC_DATE_OPERATOR(TcxFilterNextMonthOperator, "下月")
JXC_DATE_OPERATOR(TcxFilterNextYearOperator, "明年")
JXC_DATE_OPERATOR(TcxFilterInFutureOperator, "以后")

#undef JXC_DATE_OPERATOR
#undef JXC_DAYS_OPERATOR

// The operator class of a kind, and of the two operators chosen for a null value.
enum class TcxFilterNullOperatorKind { Null, NotNull };
TcxFilterOperatorClass FilterOperatorClassOf(TcxFilterOperatorKind kind);
TcxFilterOperatorClass FilterOperatorClassOf(TcxFilterNullOperatorKind kind);

}  // namespace jxc
