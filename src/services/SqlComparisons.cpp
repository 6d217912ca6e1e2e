#include "services/SqlComparisons.h"

#include <cctype>
#include <set>
#include <utility>
#include <vector>

#include "platform/DateTime.h"
#include "services/SQLiteConnection.h"
#include "services/SqlTokens.h"

namespace jxc {

namespace {

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
  return text;
}

bool IsDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

// Reads 1 to maxDigits digits at i.
bool ReadDigits(std::string_view text, size_t& i, size_t minDigits, size_t maxDigits, int& value) {
  size_t count = 0;
  value = 0;
  while (i < text.size() && IsDigit(text[i]) && count < maxDigits) {
    value = value * 10 + (text[i] - '0');
    ++i;
    ++count;
  }
  return count >= minDigits;
}

// "hh:nn[:ss[.f...]]" from i to the end of the text.
bool ReadTime(std::string_view text, size_t i, int& h, int& n, int& s, int& ms) {
  s = ms = 0;
  if (!ReadDigits(text, i, 1, 2, h) || i >= text.size() || text[i] != ':') return false;
  ++i;
  if (!ReadDigits(text, i, 2, 2, n)) return false;
  if (i < text.size() && text[i] == ':') {
    ++i;
    if (!ReadDigits(text, i, 2, 2, s)) return false;
    if (i < text.size() && text[i] == '.') {
      ++i;
      size_t digits = 0;
      int scale = 100;
      while (i < text.size() && IsDigit(text[i]) && digits < 7) {
        if (scale > 0) ms += (text[i] - '0') * scale;
        scale /= 10;
        ++i;
        ++digits;
      }
      if (digits == 0) return false;
    }
  }
  return i == text.size() && IsValidTime(h, n, s, ms);
}

}  // namespace

TSqlValueKind SqlTypeNameKind(std::string_view upperName) {
  if (upperName.find("CHAR") != std::string_view::npos || upperName.find("TEXT") != std::string_view::npos)
    return TSqlValueKind::Text;
  if (upperName.find("DATE") != std::string_view::npos || upperName.find("TIME") != std::string_view::npos)
    return TSqlValueKind::DateTime;
  if (upperName == "BIT") return TSqlValueKind::Boolean;
  static const std::set<std::string, std::less<>> numbers = {
      "INT", "INTEGER", "BIGINT", "SMALLINT", "TINYINT", "DECIMAL", "NUMERIC", "MONEY", "SMALLMONEY", "FLOAT", "REAL",
      "DOUBLE"};
  return numbers.count(upperName) ? TSqlValueKind::Number : TSqlValueKind::Unknown;
}

TSqlValueKind SqlFunctionKind(std::string_view upperName) {
  static const std::set<std::string, std::less<>> numbers = {
      "SUM", "AVG", "COUNT", "COUNT_BIG", "LEN", "DATALENGTH", "ABS", "ROUND", "CEILING", "CEIL", "FLOOR", "SIGN",
      "POWER", "SQRT", "SQUARE", "EXP", "LOG", "LOG10", "DATEDIFF", "DATEPART", "YEAR", "MONTH", "DAY", "CHARINDEX",
      "PATINDEX", "INSTR", "LENGTH", "ROW_NUMBER", "RANK", "TOTAL"};
  static const std::set<std::string, std::less<>> dateTimes = {"GETDATE", "GETUTCDATE", "SYSDATETIME", "DATEADD"};
  static const std::set<std::string, std::less<>> texts = {
      "LTRIM", "RTRIM", "TRIM", "UPPER", "LOWER", "SUBSTRING", "SUBSTR", "LEFT", "RIGHT", "REPLACE", "REVERSE", "CHAR",
      "NCHAR", "STR", "SPACE", "STUFF", "REPLICATE", "DATENAME"};
  if (numbers.count(upperName)) return TSqlValueKind::Number;
  if (dateTimes.count(upperName)) return TSqlValueKind::DateTime;
  if (texts.count(upperName)) return TSqlValueKind::Text;
  return TSqlValueKind::Unknown;
}

bool ReadSqlDateTime(std::string_view text, std::string& stored) {
  text = TrimBlanks(text);
  int y = 1900, m = 1, d = 1, h = 0, n = 0, s = 0, ms = 0;
  if (text.empty()) {
    stored = SqlDateTimeText(EncodeDate(y, m, d));
    return true;
  }
  const size_t colon = text.find(':');
  if (colon == 1 || colon == 2) {
    // A time alone.
    if (!ReadTime(text, 0, h, n, s, ms)) return false;
    stored = SqlDateTimeText(EncodeTime(h, n, s, ms));
    return true;
  }
  size_t i = 0;
  if (!ReadDigits(text, i, 4, 4, y)) return false;
  if (i == text.size()) {
    // A year alone is its first day.
  } else if (text[i] == '-' || text[i] == '/') {
    const char separator = text[i++];
    if (!ReadDigits(text, i, 1, 2, m) || i >= text.size() || text[i] != separator) return false;
    ++i;
    if (!ReadDigits(text, i, 1, 2, d)) return false;
  } else if (!ReadDigits(text, i, 2, 2, m) || !ReadDigits(text, i, 2, 2, d)) {
    return false;
  }
  if (!IsValidDate(y, m, d)) return false;
  if (i < text.size()) {
    if (text[i] != ' ' && text[i] != 'T') return false;
    ++i;
    while (i < text.size() && text[i] == ' ') ++i;
    if (!ReadTime(text, i, h, n, s, ms)) return false;
  }
  stored = SqlDateTimeText(EncodeDateTime(y, m, d, h, n, s, ms));
  return true;
}

bool ReadSqlNumber(std::string_view text, std::string& number) {
  text = TrimBlanks(text);
  if (text.empty()) {
    number = "0";
    return true;
  }
  bool negative = false;
  size_t i = 0;
  if (text[i] == '+' || text[i] == '-') negative = text[i++] == '-';
  const size_t start = i;
  size_t digits = 0;
  while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    size_t exponentDigits = 0;
    while (i < text.size() && IsDigit(text[i])) ++i, ++exponentDigits;
    if (exponentDigits == 0) return false;
  }
  if (i != text.size()) return false;
  std::string body(text.substr(start));
  if (body.front() == '.') body.insert(body.begin(), '0');
  const size_t point = body.find('.');
  if (point != std::string::npos && (point + 1 == body.size() || !IsDigit(body[point + 1]))) body.insert(point + 1, "0");
  number = negative ? "(-" + body + ")" : body;
  return true;
}

namespace {

// The kind of an operand; a literal (a quoted text or NULL) takes the kind of what it is compared with.
enum class Kind { Unknown, Literal, Text, Number, Boolean, DateTime };

bool Typed(Kind k) { return k == Kind::Number || k == Kind::Boolean || k == Kind::DateTime; }

Kind FromColumnKind(TSqlValueKind kind) {
  switch (kind) {
    case TSqlValueKind::Text: return Kind::Text;
    case TSqlValueKind::Number: return Kind::Number;
    case TSqlValueKind::Boolean: return Kind::Boolean;
    case TSqlValueKind::DateTime: return Kind::DateTime;
    case TSqlValueKind::Unknown: break;
  }
  return Kind::Unknown;
}

// Words that end an operand. Names of functions are not among them (LEFT and RIGHT are both).
const std::set<std::string>& ReservedWords() {
  static const std::set<std::string> words = {
      "ALL", "AND", "ANY", "AS", "ASC", "BETWEEN", "BY", "CASE", "COLLATE", "CROSS", "DELETE", "DESC", "DISTINCT",
      "ELSE", "END", "ESCAPE", "EXCEPT", "EXISTS", "FROM", "FULL", "GLOB", "GROUP", "HAVING", "IN", "INNER", "INSERT",
      "INTERSECT", "INTO", "IS", "JOIN", "LEFT", "LIKE", "LIMIT", "NOT", "OFFSET", "ON", "OR", "ORDER", "OUTER", "OVER",
      "RIGHT", "SELECT", "SET", "SOME", "THEN", "TOP", "UNION", "UPDATE", "VALUES", "WHEN", "WHERE", "WITH"};
  return words;
}

// Functions whose value is one of their arguments: a literal argument takes the kind of the whole.
const std::set<std::string>& PassThroughFunctions() {
  static const std::set<std::string> names = {"ISNULL", "IFNULL", "COALESCE", "NULLIF", "MAX", "MIN", "IIF"};
  return names;
}

bool IsComparisonSymbol(const TSqlToken& t) {
  if (t.kind != TSqlToken::Symbol) return false;
  static const std::set<std::string> symbols = {"=", "==", "<>", "!=", "<", "<=", ">", ">=", "!<", "!>"};
  return symbols.count(t.text) > 0;
}

bool IsBinaryOperator(const TSqlToken& t) {
  if (t.kind != TSqlToken::Symbol) return false;
  static const std::set<std::string> symbols = {"+", "-", "*", "/", "%", "||", "&", "|", "^"};
  return symbols.count(t.text) > 0;
}

bool IsSign(const TSqlToken& t) { return t.kind == TSqlToken::Symbol && (t.text == "+" || t.text == "-" || t.text == "~"); }

using Range = std::pair<size_t, size_t>;  // significant positions [first, second)

class LiteralTyper {
 public:
  LiteralTyper(TSqlStatementTokens& w, const TSqlColumnKinds& kinds) : w_(w), kinds_(kinds), n_(w.Count()) {
    caseMatch_.assign(n_, n_);
    std::vector<size_t> open;
    for (size_t i = 0; i < n_; ++i) {
      if (w_.At(i).kind != TSqlToken::Identifier) continue;
      if (w_.At(i).Is("CASE")) {
        open.push_back(i);
      } else if (w_.At(i).Is("END") && !open.empty()) {
        caseMatch_[open.back()] = i;
        caseMatch_[i] = open.back();
        open.pop_back();
      }
    }
  }

  void Run() {
    TypeInsertedValues();
    for (size_t i = 0; i < n_; ++i) {
      const auto& t = w_.At(i);
      if (IsComparisonSymbol(t)) {
        TypeTogether({Range{OperandStart(i), i}, Range{i + 1, OperandEnd(i + 1)}});
      } else if (t.Is("BETWEEN")) {
        const size_t subjectEnd = w_.Is(i - 1, "NOT") ? i - 1 : i;
        const size_t lowEnd = OperandEnd(i + 1);
        if (!w_.Is(lowEnd, "AND")) continue;
        TypeTogether({Range{OperandStart(subjectEnd), subjectEnd}, Range{i + 1, lowEnd},
                      Range{lowEnd + 1, OperandEnd(lowEnd + 1)}});
      } else if (t.Is("IN") && w_.Is(i + 1, "(") && !w_.Is(i + 2, "SELECT") && !w_.Is(i + 2, "WITH")) {
        const size_t subjectEnd = w_.Is(i - 1, "NOT") ? i - 1 : i;
        std::vector<Range> operands = Arguments(i + 1);
        operands.insert(operands.begin(), Range{OperandStart(subjectEnd), subjectEnd});
        TypeTogether(operands);
      }
    }
  }

 private:
  // Operands compared with one another: the literals among them take the kind of the typed ones.
  void TypeTogether(const std::vector<Range>& operands) {
    Kind target = Kind::Unknown;
    for (const auto& [first, last] : operands) {
      if (first >= last) return;
      const Kind k = KindOf(first, last);
      if (!Typed(k) || k == target) continue;
      if (target == Kind::Unknown) target = k;
      else if ((target == Kind::Number && k == Kind::Boolean) || (target == Kind::Boolean && k == Kind::Number)) target = Kind::Number;
      else return;  // a date-time against a number: left as written
    }
    if (target == Kind::Unknown) return;
    for (const auto& [first, last] : operands) Coerce(first, last, target);
  }

  // INSERT INTO table (columns) VALUES (...), (...): each value takes the kind of its column.
  void TypeInsertedValues() {
    if (!w_.Is(0, "INSERT")) return;
    size_t i = w_.Is(1, "INTO") ? 2 : 1;
    while (i + 1 < n_ && w_.Is(i + 1, ".")) i += 2;
    if (!w_.Is(i + 1, "(")) return;
    std::vector<Kind> columns;
    for (const auto& [first, last] : Arguments(i + 1))
      columns.push_back(last - first == 1 ? ColumnKind(w_.At(first)) : Kind::Unknown);
    i = w_.Match(i + 1) + 1;
    if (!w_.Is(i, "VALUES")) return;
    for (++i; w_.Is(i, "("); i = w_.Match(i) + 1) {
      const auto values = Arguments(i);
      if (values.size() == columns.size())
        for (size_t c = 0; c < values.size(); ++c)
          if (Typed(columns[c])) Coerce(values[c].first, values[c].second, columns[c]);
      if (!w_.Is(w_.Match(i) + 1, ",")) break;
      ++i;
    }
  }

  // Ranges of the comma-separated items between the "(" at open and its ")".
  std::vector<Range> Arguments(size_t open) const {
    std::vector<Range> items;
    const size_t close = w_.Match(open);
    size_t start = open + 1;
    for (size_t j = open + 1; j <= close && j < n_; ++j) {
      if (j < close && w_.Is(j, "(")) {
        j = w_.Match(j);
        continue;
      }
      if (j == close || w_.Is(j, ",")) {
        if (j > start || !items.empty() || j < close) items.emplace_back(start, j);
        start = j + 1;
      }
    }
    return items;
  }

  bool IsName(size_t i) const {
    const auto& t = w_.At(i);
    if (t.kind == TSqlToken::QuotedIdentifier) return true;
    return t.kind == TSqlToken::Identifier && !ReservedWords().count(UpperSql(t.text));
  }
  // A name followed by "(" that calls a function (LEFT( and RIGHT( are functions too).
  bool IsCall(size_t i) const {
    if (!w_.Is(i + 1, "(") || w_.At(i).kind != TSqlToken::Identifier) return false;
    return IsName(i) || w_.At(i).Is("LEFT") || w_.At(i).Is("RIGHT");
  }
  bool IsValueToken(size_t i) const {
    const auto k = w_.At(i).kind;
    return k == TSqlToken::Number || k == TSqlToken::String || IsName(i);
  }

  // The end (exclusive) of the operand that starts at i.
  size_t OperandEnd(size_t i) const {
    bool expectOperand = true;
    while (i < n_) {
      const auto& t = w_.At(i);
      if (expectOperand) {
        if (IsSign(t)) {
          ++i;
        } else if (t.Is("(")) {
          i = w_.Match(i) + 1;
          expectOperand = false;
        } else if (t.Is("CASE")) {
          if (caseMatch_[i] >= n_) return i;
          i = caseMatch_[i] + 1;
          expectOperand = false;
        } else if (IsCall(i)) {
          i = w_.Match(i + 1) + 1;
          expectOperand = false;
        } else if (IsValueToken(i)) {
          ++i;
          expectOperand = false;
        } else {
          return i;
        }
      } else if (IsBinaryOperator(t) || t.Is(".")) {
        ++i;
        expectOperand = true;
      } else {
        return i;
      }
    }
    return i;
  }

  // The start of the operand that ends just before end.
  size_t OperandStart(size_t end) const {
    size_t i = end;
    bool expectOperand = true;
    while (i > 0) {
      const size_t j = i - 1;
      const auto& t = w_.At(j);
      if (expectOperand) {
        if (t.Is(")")) {
          i = w_.Match(j);
          if (i > 0 && IsCall(i - 1)) --i;
        } else if (t.Is("END") && caseMatch_[j] < n_) {
          i = caseMatch_[j];
        } else if (IsValueToken(j)) {
          i = j;
        } else {
          break;
        }
        expectOperand = false;
      } else if (IsBinaryOperator(t) || t.Is(".")) {
        i = j;
        expectOperand = true;
      } else {
        break;
      }
    }
    // An operator left without an operand before it is a sign of this operand, or not part of it.
    while (expectOperand && i < end && !IsSign(w_.At(i))) ++i;
    return i;
  }

  Kind ColumnKind(const TSqlToken& t) const {
    if (!kinds_) return Kind::Unknown;
    std::string name = t.text;
    if (t.kind == TSqlToken::QuotedIdentifier) name = name.substr(1, name.size() - 2);
    return FromColumnKind(kinds_(name));
  }

  Kind TokenKind(size_t i) const {
    const auto& t = w_.At(i);
    switch (t.kind) {
      case TSqlToken::Number: return Kind::Number;
      case TSqlToken::String: return Kind::Literal;
      case TSqlToken::QuotedIdentifier: return ColumnKind(t);
      case TSqlToken::Identifier:
        if (t.Is("NULL")) return Kind::Literal;
        if (t.Is("TRUE") || t.Is("FALSE")) return Kind::Boolean;
        if (t.Is("CURRENT_TIMESTAMP")) return Kind::DateTime;
        return ColumnKind(t);
      default: return Kind::Unknown;
    }
  }

  // The first typed or text kind among the ranges; Literal when all are literals.
  Kind FirstKnown(const std::vector<Range>& ranges) const {
    bool literal = false;
    for (const auto& [first, last] : ranges) {
      const Kind k = KindOf(first, last);
      if (Typed(k) || k == Kind::Text) return k;
      literal = literal || k == Kind::Literal;
    }
    return literal ? Kind::Literal : Kind::Unknown;
  }

  // The result ranges (after THEN and ELSE) of the CASE at position caseAt.
  std::vector<Range> CaseResults(size_t caseAt) const {
    std::vector<Range> results;
    const size_t end = caseMatch_[caseAt];
    for (size_t j = caseAt + 1; j < end; ++j) {
      if (w_.Is(j, "(")) j = w_.Match(j);
      else if (w_.Is(j, "CASE") && caseMatch_[j] < end) j = caseMatch_[j];
      else if (w_.Is(j, "THEN") || w_.Is(j, "ELSE")) results.emplace_back(j + 1, OperandEnd(j + 1));
    }
    return results;
  }

  // The arguments of the call at name whose value is one of them.
  std::vector<Range> PassedArguments(size_t name) const {
    auto arguments = Arguments(name + 1);
    if (w_.At(name).Is("IIF") && !arguments.empty()) arguments.erase(arguments.begin());
    return arguments;
  }

  Kind CallKind(size_t name) const {
    const std::string upper = UpperSql(w_.At(name).text);
    if (PassThroughFunctions().count(upper)) return FirstKnown(PassedArguments(name));
    if (upper == "CAST") {
      const size_t close = w_.Match(name + 1);
      for (size_t j = close; j > name + 2; --j)
        if (w_.Is(j - 1, "AS")) return j < close ? FromColumnKind(SqlTypeNameKind(UpperSql(w_.At(j).text))) : Kind::Unknown;
      return Kind::Unknown;
    }
    if (upper == "CONVERT") return FromColumnKind(SqlTypeNameKind(UpperSql(w_.At(name + 2).text)));
    return FromColumnKind(SqlFunctionKind(upper));
  }

  // The kind of a scalar sub-query: that of its one selected expression.
  Kind SelectKind(size_t select, size_t close) const {
    size_t first = select + 1;
    if (w_.Is(first, "DISTINCT") || w_.Is(first, "ALL")) ++first;
    const size_t last = OperandEnd(first);
    // One expression, then the end, FROM or an alias; a second column leaves the kind open.
    if (last == first || last > close || w_.Is(last, ",")) return Kind::Unknown;
    return KindOf(first, last);
  }

  Kind KindOf(size_t first, size_t last) const {
    if (first >= last) return Kind::Unknown;
    if (w_.Is(first, "(") && w_.Match(first) == last - 1) {
      if (w_.Is(first + 1, "SELECT")) return SelectKind(first + 1, last - 1);
      return KindOf(first + 1, last - 1);
    }
    if (w_.Is(first, "CASE") && caseMatch_[first] == last - 1) return FirstKnown(CaseResults(first));
    if (last - first == 1) return TokenKind(first);
    if (IsCall(first) && w_.Match(first + 1) == last - 1) return CallKind(first);
    // table.column, schema.table.column
    bool qualified = (last - first) % 2 == 1;
    for (size_t j = first; qualified && j < last; ++j)
      qualified = (j - first) % 2 == 0 ? (w_.At(j).kind == TSqlToken::Identifier || w_.At(j).kind == TSqlToken::QuotedIdentifier)
                                       : w_.Is(j, ".");
    if (qualified) return ColumnKind(w_.At(last - 1));
    if (IsSign(w_.At(first))) return Kind::Number;
    // Terms joined by operators.
    std::vector<Range> terms;
    bool arithmetic = false, joined = false;
    size_t start = first;
    for (size_t j = first; j < last; ++j) {
      if (w_.Is(j, "(")) {
        j = w_.Match(j);
      } else if (w_.Is(j, "CASE") && caseMatch_[j] < last) {
        j = caseMatch_[j];
      } else if (IsBinaryOperator(w_.At(j)) && j > start) {
        terms.emplace_back(start, j);
        if (w_.At(j).text == "||") joined = true;
        else if (w_.At(j).text != "+") arithmetic = true;
        start = j + 1;
      }
    }
    if (terms.empty()) return Kind::Unknown;  // not an expression this pass understands
    terms.emplace_back(start, last);
    if (joined) return Kind::Text;
    if (arithmetic) return Kind::Number;
    // "+" adds numbers and joins texts.
    Kind result = Kind::Number;
    for (const auto& [a, b] : terms) {
      const Kind k = KindOf(a, b);
      if (k == Kind::Text || k == Kind::Literal) return Kind::Text;
      if (k == Kind::DateTime) result = Kind::DateTime;
      else if (k == Kind::Unknown && result == Kind::Number) result = Kind::Unknown;
    }
    return result;
  }

  // The literals of the range, where its value is theirs, written as values of the kind.
  void Coerce(size_t first, size_t last, Kind kind) {
    if (first >= last) return;
    if (w_.Is(first, "(") && w_.Match(first) == last - 1) {
      if (!w_.Is(first + 1, "SELECT")) Coerce(first + 1, last - 1, kind);
    } else if (w_.Is(first, "CASE") && caseMatch_[first] == last - 1) {
      for (const auto& [a, b] : CaseResults(first)) Coerce(a, b, kind);
    } else if (last - first == 1 && w_.At(first).kind == TSqlToken::String) {
      Rewrite(w_.At(first), kind);
    } else if (IsCall(first) && w_.Match(first + 1) == last - 1 && PassThroughFunctions().count(UpperSql(w_.At(first).text))) {
      for (const auto& [a, b] : PassedArguments(first)) Coerce(a, b, kind);
    }
  }

  void Rewrite(TSqlToken& literal, Kind kind) {
    const std::string value = SqlStringValue(literal.text);
    std::string written;
    if (kind == Kind::DateTime) {
      if (!ReadSqlDateTime(value, written)) RefuseSql(literal.text + "不是有效的日期时间", w_.Original());
      literal.text = QuoteSqlString(written);
      return;
    }
    if (kind == Kind::Boolean) {
      const std::string upper = UpperSql(TrimBlanks(value));
      if (upper == "TRUE" || upper == "FALSE") {
        literal.text = upper == "TRUE" ? "1" : "0";
        literal.kind = TSqlToken::Number;
        return;
      }
    }
    if (!ReadSqlNumber(value, written)) RefuseSql(literal.text + "不是有效的数值", w_.Original());
    // A flag is 1 for any number but zero.
    if (kind == Kind::Boolean) written = written.find_first_of("123456789") == std::string::npos ? "0" : "1";
    literal.text = written;
    literal.kind = TSqlToken::Number;
  }

  TSqlStatementTokens& w_;
  const TSqlColumnKinds& kinds_;
  const size_t n_;
  std::vector<size_t> caseMatch_;  // CASE <-> END positions
};

}  // namespace

void TypeComparedLiterals(TSqlStatementTokens& statement, const TSqlColumnKinds& columnKinds) {
  LiteralTyper(statement, columnKinds).Run();
}

}  // namespace jxc
