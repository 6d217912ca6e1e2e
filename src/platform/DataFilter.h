#pragma once
// The record filter of a dataset, written in the SQL-like text that screens set:
//   F_CODE LIKE '%AB%' OR F_NAME LIKE '%AB%'      F_ID=7 or F_PARENTID =7      NOT (F_QTY > 0)
// Grammar: field names (plain, or in [brackets] or "double quotes"), single-quoted strings with quotes
// doubled inside, numbers, TRUE/FALSE, NULL; = <> != < > <= >=, [NOT] LIKE, IS [NOT] NULL, AND, OR, NOT and
// parentheses. Keywords are in any case; blanks anywhere between tokens.
//
// Truth follows SQL: a comparison or LIKE with a null side is unknown, NOT unknown stays unknown, and a
// record is accepted only when the whole expression is true, so null values never match. LIKE compares
// ASCII letters without case, '%' matches any run of characters and '_' one character (a code point).
// "=" and the orderings compare text exactly; a number and a text compare as numbers when the text is one.

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <functional>

#include "platform/Variant.h"

namespace jxc {

// The values of the record under test, by the field numbers the resolver gave.
class IFilterRecord {
 public:
  virtual ~IFilterRecord() = default;
  virtual Variant FieldValue(int field) const = 0;
};

class TFilterExpression {
 public:
  // Maps a field name to its number; returns -1 for an unknown name.
  using FieldResolver = std::function<int(std::string_view name)>;

  // Parses the text. Raises EDatabaseError "Invalid filter expression '<text>': <reason>" for text that
  // cannot be parsed or names an unknown field. An empty (or blank) text accepts every record.
  static std::unique_ptr<TFilterExpression> Parse(std::string_view text, const FieldResolver& resolve);
  ~TFilterExpression();

  bool Accepts(const IFilterRecord& record) const;
  const std::string& Text() const { return text_; }

  struct Node;

 private:
  TFilterExpression() = default;
  std::string text_;
  std::unique_ptr<Node> root_;
};

// SQL LIKE with '%' and '_' (code points), ASCII letters compared without case.
bool LikeMatches(std::string_view value, std::string_view pattern);

// The comparison the filter makes: -1, 0 or 1; nullopt when either side is null or empty, or when the two
// cannot be compared (a text that is not a number against a number). Texts compare byte by byte; a text
// against a number, date-time or boolean is read as one of those first; numbers compare by value, exactly
// where both sides allow it.
std::optional<int> CompareFilterValues(const Variant& a, const Variant& b);
// The text read as a value of the kind of `like`: a boolean ("True"/"False"), a date-time, or a number
// (integer, four-decimal amount or float, whichever holds it without rounding); nullopt when it is none.
std::optional<Variant> FilterTextAsKindOf(std::string_view text, const Variant& like);

}  // namespace jxc
