#include "filter/CustomFilterOperators.h"

#include <cmath>

#include "platform/Format.h"
#include "platform/Text.h"

namespace jxc {

namespace {

// "(F = v)" clauses for each element, joined by the word.
std::string JoinEqualities(const std::vector<std::string>& names, const std::vector<std::string>& values,
                           const char* word) {
  std::string text;
  for (size_t i = 0; i < values.size(); ++i) {
    if (i > 0) text += word;
    text += '(';
    text += names[i];
    text += " = ";
    text += values[i];
    text += ')';
  }
  return text;
}

}  // namespace

// --- base ------------------------------------------------------------------------------------------------

TcxFilterCriteria& TcxFilterOperator::Criteria() const {
  TcxFilterCriteria* criteria = FCriteriaItem.GetCriteria();
  if (criteria == nullptr) throw EInvalidOperation("The condition is not part of a filter");
  return *criteria;
}

std::string TcxFilterOperator::FieldName() const { return FCriteriaItem.GetSQLFieldName(); }

std::string TcxFilterOperator::GetExpressionFilterText(const Variant& value) { return GetExpressionValue(value); }

std::string TcxFilterOperator::GetExpressionValue(const Variant& value) {
  std::string text;
  if (PrepareExpressionValue(value, text)) return text;
  return RenderValue(value);
}

std::string TcxFilterOperator::RenderValue(const Variant& value) const {
  std::string text;
  switch (value.Type()) {
    case VarType::String: {
      const std::string& s = value.Get<std::string>();
      CheckFilterSQLText(s, cxFilterMessages::InvalidValueText);
      text = QuotedStr(s);
      break;
    }
    case VarType::DateTime: {
      const TDateTime d = value.Get<TDateTime>();
      if (!IsDateTimeInRange(d)) throw EFilterError(cxFilterMessages::InvalidDate);
      // Quoted like any text, so a date-time format can never end the literal early.
      text = QuotedStr(Criteria().ConvertDateToStr(d));
      break;
    }
    case VarType::Boolean:
      text = Criteria().ConvertBoolToStr(value.Get<bool>());
      break;
    case VarType::Empty:  // an unassigned value compares as no value
    case VarType::Null:
      text = "NULL";
      break;
    case VarType::Integer:
      text = IntToStr(value.Get<int32_t>());
      break;
    case VarType::Int64:
      text = IntToStr(value.Get<int64_t>());
      break;
    case VarType::Double: {
      const double d = value.Get<double>();
      if (!std::isfinite(d)) throw EFilterError(cxFilterMessages::InvalidNumber);
      text = FloatToStr(d);
      break;
    }
    case VarType::Currency:
      text = value.Get<Currency>().ToString();
      break;
    case VarType::Array:
      throw EFilterError(cxFilterMessages::SingleValueOnly);
  }
  Criteria().FormatFilterTextValue(FCriteriaItem, value, text);
  return text;
}

const std::vector<Variant>& TcxFilterOperator::ArrayElements(const Variant& value, size_t minCount) const {
  if (!value.IsArray() || value.ArrayCount() < minCount) throw EFilterError(cxFilterMessages::WrongValueCount);
  return value.Elements();
}

// --- equality and null -----------------------------------------------------------------------------------

bool TcxFilterEqualOperator::IsExpression() const { return CriteriaItem().Value().IsArray(); }

std::string TcxFilterEqualOperator::GetExpressionFilterText(const Variant& value) {
  if (!value.IsArray()) return FieldName() + " = " + RenderValue(value);
  const std::vector<Variant>& elements = ArrayElements(value, 1);
  const std::vector<std::string> names = SplitString(FieldName(), ";", true);
  if (elements.size() > names.size()) throw EFilterError(cxFilterMessages::TooManyColumnValues);
  std::vector<std::string> values;
  for (size_t i = 0; i < elements.size(); ++i) {
    if (names[i].empty()) throw EFilterError(cxFilterMessages::EmptyFieldName);
    values.push_back(RenderValue(elements[i]));
  }
  return JoinEqualities(names, values, " AND ");
}

std::string TcxFilterNotEqualOperator::GetExpressionFilterText(const Variant& value) {
  return "NOT (" + TcxFilterEqualOperator::GetExpressionFilterText(value) + ")";
}

std::string TcxFilterNullOperator::GetExpressionFilterText(const Variant& value) {
  if (value.IsArray()) return TcxFilterEqualOperator::GetExpressionFilterText(value);
  return FieldName() + " IS NULL";
}

std::string TcxFilterNotNullOperator::GetExpressionFilterText(const Variant& value) {
  if (value.IsArray()) return TcxFilterEqualOperator::GetExpressionFilterText(value);
  return FieldName() + " IS NOT NULL";
}

// --- like ------------------------------------------------------------------------------------------------

bool TcxFilterNotLikeOperator::IsExpression() const { return Criteria().TranslateLike(); }

std::string TcxFilterNotLikeOperator::GetExpressionFilterText(const Variant& value) {
  return " NOT (" + FieldName() + " LIKE " + GetExpressionValue(value) + ")";
}

// --- between ---------------------------------------------------------------------------------------------

bool TcxFilterBetweenOperator::IsExpression() const { return Criteria().TranslateBetween(); }

bool TcxFilterBetweenOperator::PrepareExpressionValue(const Variant& value, std::string& text) {
  const std::vector<Variant>& bounds = ArrayElements(value, 2);
  text = RenderValue(bounds[0]) + " AND " + RenderValue(bounds[1]);
  return true;
}

std::string TcxFilterBetweenOperator::GetExpressionFilterText(const Variant& value) {
  const std::vector<Variant>& bounds = ArrayElements(value, 2);
  const std::string field = FieldName();
  return "(" + field + " >= " + RenderValue(bounds[0]) + ") AND (" + field + " <= " + RenderValue(bounds[1]) + ")";
}

std::string TcxFilterNotBetweenOperator::GetExpressionFilterText(const Variant& value) {
  return "NOT (" + TcxFilterBetweenOperator::GetExpressionFilterText(value) + ")";
}

// --- in list ---------------------------------------------------------------------------------------------

bool TcxFilterInListOperator::IsExpression() const { return Criteria().TranslateIn(); }

bool TcxFilterInListOperator::PrepareExpressionValue(const Variant& value, std::string& text) {
  if (!value.IsArray()) {
    text = "(" + RenderValue(value) + ")";
    return true;
  }
  const std::vector<Variant>& elements = ArrayElements(value, 1);
  text = "(";
  for (size_t i = 0; i < elements.size(); ++i) {
    if (i > 0) text += ", ";
    text += RenderValue(elements[i]);
  }
  text += ')';
  return true;
}

std::string TcxFilterInListOperator::GetExpressionFilterText(const Variant& value) {
  const std::vector<Variant> single{value};
  const std::vector<Variant>& elements = value.IsArray() ? ArrayElements(value, 1) : single;
  const std::vector<std::string> names(elements.size(), FieldName());
  std::vector<std::string> values;
  for (const Variant& element : elements) values.push_back(RenderValue(element));
  return JoinEqualities(names, values, " OR ");
}

std::string TcxFilterNotInListOperator::GetExpressionFilterText(const Variant& value) {
  return "NOT (" + TcxFilterInListOperator::GetExpressionFilterText(value) + ")";
}

// --- relative dates --------------------------------------------------------------------------------------

void TcxFilterDateOperator::Prepare() {
  const TDateTime today = Date();
  FDate1 = TDateTime();
  FDate2 = TDateTime();
  PrepareRange(today, StartOfWeekFrom(today, FormatSettings().FirstDayOfWeek));
  FPrepared = true;
}

std::string TcxFilterDateOperator::GetExpressionFilterText(const Variant&) {
  // A leaf read inside an open update has not been prepared yet: fix its range now rather than write
  // an empty condition.
  if (!FPrepared) Prepare();
  const std::string field = FieldName();
  std::string text;
  if (FDate1.Value() != 0) text = "(" + field + " >= " + RenderValue(Variant(FDate1)) + ")";
  if (FDate2.Value() != 0) {
    if (!text.empty()) text += " AND ";
    text += "(" + field + " < " + RenderValue(Variant(FDate2)) + ")";
  }
  return text;
}

void TcxFilterLastNDaysOperator::PrepareRange(TDateTime today, TDateTime) {
  FDate1 = today + (1 - DayCount());
  FDate2 = cxFilterIncludeTodayInLastNextDaysList ? today + 1 : today;
}

void TcxFilterNextNDaysOperator::PrepareRange(TDateTime today, TDateTime) {
  FDate1 = cxFilterIncludeTodayInLastNextDaysList ? today : today + 1;
  FDate2 = today + DayCount();
}

void TcxFilterYesterdayOperator::PrepareRange(TDateTime today, TDateTime) {
  FDate1 = today - 1;
  FDate2 = today;
}

void TcxFilterTodayOperator::PrepareRange(TDateTime today, TDateTime) {
  FDate1 = today;
  FDate2 = today + 1;
}

void TcxFilterTomorrowOperator::PrepareRange(TDateTime today, TDateTime) {
  FDate1 = today + 1;
  FDate2 = today + 2;
}

void TcxFilterLastWeekOperator::PrepareRange(TDateTime, TDateTime weekStart) {
  FDate1 = weekStart - 7;
  FDate2 = weekStart;
}

void TcxFilterLastTwoWeeksOperator::PrepareRange(TDateTime, TDateTime weekStart) {
  FDate1 = weekStart - 14;
  FDate2 = weekStart;
}

void TcxFilterThisWeekOperator::PrepareRange(TDateTime, TDateTime weekStart) {
  FDate1 = weekStart;
  FDate2 = weekStart + 7;
}

void TcxFilterNextWeekOperator::PrepareRange(TDateTime, TDateTime weekStart) {
  FDate1 = weekStart + 7;
  FDate2 = weekStart + 14;
}

void TcxFilterNextTwoWeeksOperator::PrepareRange(TDateTime, TDateTime weekStart) {
  FDate1 = weekStart + 7;
  FDate2 = weekStart + 21;
}

void TcxFilterLastMonthOperator::PrepareRange(TDateTime today, TDateTime) {
  FDate2 = StartOfTheMonth(today);
  FDate1 = IncMonth(FDate2, -1);
}

void TcxFilterThisMonthOperator::PrepareRange(TDateTime today, TDateTime) {
  FDate1 = StartOfTheMonth(today);
  FDate2 = IncMonth(FDate1, 1);
}

void TcxFilterNextMonthOperator::PrepareRange(TDateTime today, TDateTime) {
  FDate1 = IncMonth(StartOfTheMonth(today), 1);
  FDate2 = IncMonth(StartOfTheMonth(today), 2);
}

void TcxFilterLastYearOperator::PrepareRange(TDateTime today, TDateTime) {
  FDate1 = EncodeDate(YearOf(today) - 1, 1, 1);
  FDate2 = EncodeDate(YearOf(today), 1, 1);
}

void TcxFilterThisYearOperator::PrepareRange(TDateTime today, TDateTime) {
  FDate1 = EncodeDate(YearOf(today), 1, 1);
  FDate2 = EncodeDate(YearOf(today) + 1, 1, 1);
}

void TcxFilterNextYearOperator::PrepareRange(TDateTime today, TDateTime) {
  FDate1 = EncodeDate(YearOf(today) + 1, 1, 1);
  FDate2 = EncodeDate(YearOf(today) + 2, 1, 1);
}

void TcxFilterInPastOperator::PrepareRange(TDateTime today, TDateTime) { FDate2 = today; }

void TcxFilterInFutureOperator::PrepareRange(TDateTime today, TDateTime) { FDate1 = today + 1; }

// --- by kind ---------------------------------------------------------------------------------------------

namespace {

template <class Operator>
std::unique_ptr<TcxFilterOperator> Make(TcxFilterCriteriaItem& item) {
  return std::make_unique<Operator>(item);
}

}  // namespace

TcxFilterOperatorClass FilterOperatorClassOf(TcxFilterNullOperatorKind kind) {
  return kind == TcxFilterNullOperatorKind::NotNull ? &Make<TcxFilterNotNullOperator> : &Make<TcxFilterNullOperator>;
}

TcxFilterOperatorClass FilterOperatorClassOf(TcxFilterOperatorKind kind) {
  using K = TcxFilterOperatorKind;
  switch (kind) {
    case K::foEqual: return &Make<TcxFilterEqualOperator>;
    case K::foNotEqual: return &Make<TcxFilterNotEqualOperator>;
    case K::foLess: return &Make<TcxFilterLessOperator>;
    case K::foLessEqual: return &Make<TcxFilterLessEqualOperator>;
    case K::foGreater: return &Make<TcxFilterGreaterOperator>;
    case K::foGreaterEqual: return &Make<TcxFilterGreaterEqualOperator>;
    case K::foLike: return &Make<TcxFilterLikeOperator>;
    case K::foNotLike: return &Make<TcxFilterNotLikeOperator>;
    case K::foBetween: return &Make<TcxFilterBetweenOperator>;
    case K::foNotBetween: return &Make<TcxFilterNotBetweenOperator>;
    case K::foInList: return &Make<TcxFilterInListOperator>;
    case K::foNotInList: return &Make<TcxFilterNotInListOperator>;
    case K::foYesterday: return &Make<TcxFilterYesterdayOperator>;
    case K::foToday: return &Make<TcxFilterTodayOperator>;
    case K::foTomorrow: return &Make<TcxFilterTomorrowOperator>;
    case K::foLast7Days: return &Make<TcxFilterLast7DaysOperator>;
    case K::foLastWeek: return &Make<TcxFilterLastWeekOperator>;
    case K::foLast14Days: return &Make<TcxFilterLast14DaysOperator>;
    case K::foLastTwoWeeks: return &Make<TcxFilterLastTwoWeeksOperator>;
    case K::foLast30Days: return &Make<TcxFilterLast30DaysOperator>;
    case K::foLastMonth: return &Make<TcxFilterLastMonthOperator>;
    case K::foLastYear: return &Make<TcxFilterLastYearOperator>;
    case K::foInPast: return &Make<TcxFilterInPastOperator>;
    case K::foThisWeek: return &Make<TcxFilterThisWeekOperator>;
    case K::foThisMonth: return &Make<TcxFilterThisMonthOperator>;
    case K::foThisYear: return &Make<TcxFilterThisYearOperator>;
    case K::foNext7Days: return &Make<TcxFilterNext7DaysOperator>;
    case K::foNextWeek: return &Make<TcxFilterNextWeekOperator>;
    case K::foNext14Days: return &Make<TcxFilterNext14DaysOperator>;
    case K::foNextTwoWeeks: return &Make<TcxFilterNextTwoWeeksOperator>;
    case K::foNext30Days: return &Make<TcxFilterNext30DaysOperator>;
    case K::foNextMonth: return &Make<TcxFilterNextMonthOperator>;
    case K::foNextYear: return &Make<TcxFilterNextYearOperator>;
    case K::foInFuture: return &Make<TcxFilterInFutureOperator>;
  }
  throw EArgumentError("Unknown filter operator kind");
}

}  // namespace jxc
