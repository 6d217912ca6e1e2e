#pragma once
// One condition as the query designer describes it (TFilterItem), and the two operator enumerations of
// the filter model. A condition names its operator as text ("foEqual"); the name turns into the
// enumeration only by an exact, case-sensitive lookup, so a misspelt name never becomes an operator.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Exceptions.h"
#include "platform/Variant.h"

namespace jxc {

// The operator of a condition. The ordinals are fixed: conditions and configuration carry the names.
enum class TcxFilterOperatorKind {
  foEqual, foNotEqual, foLess, foLessEqual, foGreater, foGreaterEqual, foLike, foNotLike,
  foBetween, foNotBetween, foInList, foNotInList,
  foYesterday, foToday, foTomorrow, foLast7Days, foLastWeek, foLast14Days, foLastTwoWeeks, foLast30Days,
  foLastMonth, foLastYear, foInPast, foThisWeek, foThisMonth, foThisYear, foNext7Days, foNextWeek,
  foNext14Days, foNextTwoWeeks, foNext30Days, foNextMonth, foNextYear, foInFuture
};
inline constexpr int kFilterOperatorKindCount = 34;

// The joining word of a list of conditions; the two "Not" kinds negate the whole list.
enum class TcxFilterBoolOperatorKind { fboAnd, fboOr, fboNotAnd, fboNotOr };

// "foEqual" ... "foInFuture".
const char* FilterOperatorKindName(TcxFilterOperatorKind kind);
// The operator of an exact name; none for anything else (other case, blanks, unknown names).
std::optional<TcxFilterOperatorKind> FilterOperatorKindFromName(std::string_view name);
// The relative date operators, foYesterday to foInFuture: their value is ignored.
bool IsDateOperatorKind(TcxFilterOperatorKind kind);

// A condition the filter model or the SQL builder refuses: the message says what is wrong in the words
// shown to the user. Nothing is changed when it is raised.
class EFilterError : public Exception { using Exception::Exception; };

// One condition: the column, its caption, the operator name, the value and how it is shown. Copies are
// independent; the SQL builder keeps its own copy of each condition it is given.
class TFilterItem {
 public:
  // The column expression placed in SQL; for an equality on an array value several columns separated
  // by ";".
  const std::string& FieldName() const { return FFieldName; }
  void SetFieldName(std::string value) { FFieldName = std::move(value); }
  // The caption of the field shown to the user.
  const std::string& Caption() const { return FDisplayCaption; }
  void SetCaption(std::string value) { FDisplayCaption = std::move(value); }
  // The name of a TcxFilterOperatorKind; "foEqual" for a new condition.
  const std::string& OperatorKind() const { return FOperatorKind; }
  void SetOperatorKind(std::string value) { FOperatorKind = std::move(value); }
  // The value compared: a scalar, null, or a one-dimensional array (between: two elements; in-list and
  // multi-column equality: one per value or column).
  const Variant& Value() const { return FValue; }
  void SetValue(Variant value) { FValue = std::move(value); }
  // The value as shown to the user; its text form becomes the condition's display value.
  const Variant& DisplayText() const { return FDisplayText; }
  void SetDisplayText(Variant value) { FDisplayText = std::move(value); }
  // The editor class that enters the value (query designer).
  const std::string& CallClassType() const { return FClassType; }
  void SetCallClassType(std::string value) { FClassType = std::move(value); }
  // When true the query designer does not let the user change the operator.
  bool OperatorLimit() const { return FOperatorLimit; }
  void SetOperatorLimit(bool value) { FOperatorLimit = value; }
  // Free parameters for the value editor.
  const std::string& OtherParams() const { return FOtherParams; }
  void SetOtherParams(std::string value) { FOtherParams = std::move(value); }

 private:
  std::string FFieldName;
  std::string FDisplayCaption;
  std::string FOperatorKind = "foEqual";
  Variant FValue;
  Variant FDisplayText;
  std::string FClassType;
  bool FOperatorLimit = false;
  std::string FOtherParams;
};

}  // namespace jxc
