#pragma once
// Conditions compare values as the server compares them. A text written against a date-time column or
// expression stands for a date-time ('2025-06-13' is midnight of that day), and against a numeric one for
// a number ('-0' is zero), whichever side of the comparison it stands on. SQLite compares such a text as
// text: '2025-06-13' sorts before the stored '2025-06-13 00:00:00', and every number before any text.
// The pass below rewrites each such literal into the stored form of its kind, so that the comparison
// stays a plain one on the column and its index still serves.

#include <functional>
#include <string>
#include <string_view>

namespace jxc {

class TSqlStatementTokens;

// What a column holds, as far as comparisons care.
enum class TSqlValueKind { Unknown, Text, Number, Boolean, DateTime };

// The kind of a column by name (no table prefix); Unknown where the name is not known or is ambiguous.
using TSqlColumnKinds = std::function<TSqlValueKind(std::string_view name)>;

// The kind of a type name of CAST and CONVERT ("VARCHAR", "DECIMAL", "BIT", "DATETIME" ...), upper case.
TSqlValueKind SqlTypeNameKind(std::string_view upperName);
// The kind of what a function of the server gives, where that is fixed: numbers from SUM, COUNT, LEN,
// ROUND ..., date-times from GETDATE and DATEADD, texts from LTRIM, SUBSTRING, REPLACE ...; Unknown for
// others (ISNULL gives what its arguments are).
TSqlValueKind SqlFunctionKind(std::string_view upperName);

// The stored form ("yyyy-mm-dd hh:nn:ss", ".zzz" added when the milliseconds are not zero) of a date-time
// written as "yyyy-mm-dd", "yyyy/mm/dd" or "yyyymmdd", optionally followed (after a blank or "T") by
// "hh:nn", "hh:nn:ss" or "hh:nn:ss.f" (up to seven decimals, read to the millisecond), of a year alone
// ("yyyy", its first day) or of a time alone (on 1899-12-30, as times are stored). Blanks around the text are ignored; an empty text is 1900-01-01,
// as on the server. False when the text is none of these or names no real date or time.
bool ReadSqlDateTime(std::string_view text, std::string& stored);

// The SQL number a text stands for: an optional sign, digits with an optional decimal part and exponent,
// blanks around ignored; an empty text is 0. Integers keep every digit, so 64-bit identifiers stay exact.
// A negative number comes back in parentheses, so that it never runs into a preceding minus.
bool ReadSqlNumber(std::string_view text, std::string& number);

// Rewrites the string literals of the statement that are compared with, assigned to or inserted into a
// date-time, numeric or boolean column or expression: operands of =, <>, !=, <, <=, >, >=, BETWEEN ...
// AND ..., IN (...), the values of INSERT ... VALUES and UPDATE ... SET, also where they stand inside
// ISNULL, COALESCE, NULLIF, MAX, MIN, IIF or CASE results and parentheses. Expressions are typed from
// column kinds, literals, casts and the server's functions (ISNULL(F_BILL_DATE, ...), SUM(F_QTY), a
// scalar sub-query). Texts against text or unknown expressions stay as they are. Raises EDatabaseError
// quoting the statement when a text compared with a date-time or number is none ("'x'不是有效的日期时间",
// "'x'不是有效的数值"), as the server refuses the conversion.
void TypeComparedLiterals(TSqlStatementTokens& statement, const TSqlColumnKinds& columnKinds);

}  // namespace jxc
