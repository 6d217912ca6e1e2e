#pragma once
// The screens write their SQL in the server's dialect (table hints "WITH(nolock)", "TOP n", ISNULL,
// "alias = expression" select items, "+" joining texts, "dbo." prefixes, CAST to DECIMAL(p, s), "EXEC" of
// procedures, table-valued functions in FROM). TSqlDialect turns that text into statements SQLite runs
// with the same result. It works on tokens, so quoted identifiers and comments are never touched, and
// string literals only where a comparison makes them date-times or numbers (see SqlComparisons.h). Text
// it cannot adapt faithfully raises EDatabaseError quoting the statement; it never guesses.

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "services/SqlComparisons.h"
#include "services/SqlTokens.h"

namespace jxc {

// One adapted statement: a query or command for SQLite, or a call of a procedure that the service runs.
struct TAdaptedStatement {
  bool IsProcedureCall = false;
  std::string Sql;                     // the statement for SQLite (empty for a procedure call)
  std::string Procedure;               // upper-case name without "dbo." (procedure calls)
  std::vector<std::string> Arguments;  // argument values as text, string literals unquoted
};

class TSqlDialect {
 public:
  // A table-valued or scalar function expanded in place: each {0}, {1}, ... of the template outside its
  // string literals receives the argument (wrapped in parentheses), once; the arguments' own text is
  // never searched for placeholders. A table function becomes a sub-query in FROM.
  struct Macro {
    std::string Template;
    int ArgumentCount = 0;
  };

  TSqlDialect();

  // Registers a function expanded in place (name without "dbo.", any case).
  void AddMacro(const std::string& name, Macro macro);
  // Tells what each column name holds: "+" between texts joins them, and texts compared with date-time
  // or numeric columns are read as date-times or numbers.
  void SetColumnKinds(TSqlColumnKinds columnKinds) { columnKinds_ = std::move(columnKinds); }

  // The statements of the text (separated by ";" or by the start of a new statement, as line-separated
  // batches are), each adapted. Empty text gives no statement.
  std::vector<TAdaptedStatement> Adapt(std::string_view sql) const;
  // The text as exactly one adapted statement; raises EDatabaseError when it holds several.
  TAdaptedStatement AdaptOne(std::string_view sql) const;

 private:
  TAdaptedStatement AdaptStatement(std::vector<TSqlToken> tokens, std::string_view original) const;
  std::vector<TSqlToken> ExpandMacros(std::vector<TSqlToken> tokens, std::string_view original, int depth) const;

  std::map<std::string, Macro> macros_;  // by upper-case name
  TSqlColumnKinds columnKinds_;
};

}  // namespace jxc
