#include "services/SqlDialect.h"

#include <algorithm>
#include <cctype>
#include <set>

#include "platform/Exceptions.h"

namespace jxc {

namespace {

// Words that end an operand of "+": anything of lower precedence than addition.
const std::set<std::string>& ChainBreakWords() {
  static const std::set<std::string> words = {
      "AND", "OR", "NOT", "SELECT", "FROM", "WHERE", "AS", "THEN", "ELSE", "WHEN", "CASE", "END", "LIKE",
      "IN", "IS", "BETWEEN", "ON", "JOIN", "INNER", "LEFT", "RIGHT", "OUTER", "CROSS", "FULL", "GROUP",
      "ORDER", "BY", "HAVING", "UNION", "ALL", "EXCEPT", "INTERSECT", "DISTINCT", "TOP", "LIMIT", "SET",
      "VALUES", "INTO", "UPDATE", "DELETE", "INSERT", "ESCAPE", "ASC", "DESC", "EXISTS", "WITH"};
  return words;
}

const std::set<std::string>& TableHints() {
  static const std::set<std::string> hints = {"NOLOCK", "READUNCOMMITTED", "ROWLOCK", "UPDLOCK", "HOLDLOCK",
                                              "READPAST", "NOWAIT", "TABLOCK", "TABLOCKX", "PAGLOCK", "XLOCK",
                                              "READCOMMITTED", "REPEATABLEREAD", "SERIALIZABLE"};
  return hints;
}

// The statement under adaptation.
using Work = TSqlStatementTokens;

void RejectUnsupported(Work& w) {
  for (size_t i = 0; i < w.Count(); ++i) {
    const auto& t = w.At(i);
    if (t.kind == TSqlToken::Variable) RefuseSql("不支持变量或临时表 " + t.text, w.Original());
    if (t.Is("APPLY") || t.Is("PIVOT") || t.Is("UNPIVOT")) RefuseSql("不支持 " + UpperSql(t.text), w.Original());
    if (t.kind == TSqlToken::Identifier && t.text[0] == '#') RefuseSql("不支持临时表 " + t.text, w.Original());
  }
}

// N'text' is the same literal; "dbo." before a name is the default schema.
void DropPrefixes(Work& w) {
  auto& tokens = w.Tokens();
  for (size_t i = 0; i + 1 < tokens.size(); ++i) {
    if (tokens[i].kind == TSqlToken::Identifier && (tokens[i].text == "N" || tokens[i].text == "n") &&
        tokens[i + 1].kind == TSqlToken::String)
      tokens[i].text.clear(), tokens[i].kind = TSqlToken::Space;
  }
  w.Reindex();
  for (size_t i = 0; i + 1 < w.Count(); ++i) {
    const auto& t = w.At(i);
    const bool dbo = (t.kind == TSqlToken::Identifier && UpperSql(t.text) == "DBO") ||
                     (t.kind == TSqlToken::QuotedIdentifier && UpperSql(t.text.substr(1, t.text.size() - 2)) == "DBO");
    if (dbo && w.Is(i + 1, ".")) {
      w.Blank(i);
      w.Blank(i + 1);
    }
  }
  w.Reindex();
}

bool IsHintList(Work& w, size_t open, size_t close) {
  if (close >= w.Count() || close == open + 1) return false;
  for (size_t j = open + 1; j < close; ++j) {
    const bool comma = (j - open) % 2 == 0;
    if (comma ? !w.Is(j, ",") : !TableHints().count(UpperSql(w.At(j).text))) return false;
  }
  return true;
}

// Table hints change locking only; SQLite readers never block behind writers in WAL mode.
void DropTableHints(Work& w) {
  for (size_t i = 0; i < w.Count(); ++i) {
    if (w.Is(i, "WITH") && w.Is(i + 1, "(") && IsHintList(w, i + 1, w.Match(i + 1))) {
      const size_t close = w.Match(i + 1);
      for (size_t j = i; j <= close; ++j) w.Blank(j);
      i = close;
    } else if (w.Is(i, "(") && i > 0 && w.At(i - 1).kind != TSqlToken::Symbol && w.Match(i) == i + 2 &&
               TableHints().count(UpperSql(w.At(i + 1).text))) {
      for (size_t j = i; j <= i + 2; ++j) w.Blank(j);
      i += 2;
    }
  }
  w.Reindex();
}

void RenameFunctions(Work& w) {
  for (size_t i = 0; i + 1 < w.Count(); ++i) {
    auto& t = w.At(i);
    if (t.kind == TSqlToken::Identifier && w.Is(i + 1, "(") && t.Is("ISNULL")) t.text = "IFNULL";
  }
}

bool IsNumberToken(Work& w, size_t i) { return i < w.Count() && w.At(i).kind == TSqlToken::Number; }

// CAST to DECIMAL(p, s) or MONEY rounds to the scale. CAST to a date-time keeps the stored text form of
// date-times (SQLite would turn '2025-01-31' into the number 2025) and writes a literal in that form;
// CAST to DATE keeps the day. Only the type and its size may follow AS.
void AdaptCasts(Work& w) {
  for (size_t i = 0; i + 1 < w.Count(); ++i) {
    if (!w.At(i).Is("CAST") || !w.Is(i + 1, "(")) continue;
    const size_t open = i + 1, close = w.Match(open);
    size_t as = w.Count();
    for (size_t j = open + 1; j < close; ++j) {
      if (w.Is(j, "(")) j = w.Match(j);
      else if (w.Is(j, "AS")) as = j;
    }
    if (as >= close || as + 1 == close || as == open + 1) RefuseSql("CAST 缺少类型或值", w.Original());
    const std::string type = UpperSql(w.At(as + 1).text);
    const size_t typeEnd = w.Is(as + 2, "(") ? w.Match(as + 2) + 1 : as + 2;
    if (typeEnd != close) RefuseSql("CAST 的类型之后不能再有内容", w.Original());
    if (type == "DECIMAL" || type == "NUMERIC" || type == "MONEY" || type == "SMALLMONEY") {
      std::string scale = (type == "MONEY" || type == "SMALLMONEY") ? "4" : "0";
      if (w.Is(as + 2, "(")) {
        // (p) or (p, s), numbers only
        const bool withScale = w.Is(as + 4, ",");
        if (!IsNumberToken(w, as + 3) || (withScale ? !IsNumberToken(w, as + 5) || as + 6 != typeEnd - 1 : as + 4 != typeEnd - 1))
          RefuseSql("CAST 的精度", w.Original());
        if (withScale) scale = w.At(as + 5).text;
      }
      w.At(i).text = "ROUND";
      w.At(as + 1).text = "REAL";
      for (size_t j = as + 2; j < close; ++j) w.Blank(j);
      w.InsertAfter(open, "CAST(");
      w.InsertBefore(close, ")," + scale);
    } else if (type == "DATETIME" || type == "DATE" || type == "SMALLDATETIME" || type == "DATETIME2") {
      const bool dayOnly = type == "DATE";
      if (as == open + 2 && w.At(open + 1).kind == TSqlToken::String) {
        std::string stored;
        if (!ReadSqlDateTime(SqlStringValue(w.At(open + 1).text), stored))
          RefuseSql(w.At(open + 1).text + "不是有效的日期时间", w.Original());
        w.At(open + 1).text = QuoteSqlString(dayOnly ? stored.substr(0, 10) + " 00:00:00" : stored);
        w.Blank(i);
      } else if (dayOnly) {
        w.At(i).text = "strftime";
        w.InsertAfter(open, "'%Y-%m-%d 00:00:00', ");
      } else {
        w.Blank(i);
      }
      for (size_t j = as; j < close; ++j) w.Blank(j);
    }
    i = open;
  }
  w.Reindex();
}

// Where the SELECT starting at position select ends (a ")" of the enclosing level or Count()).
size_t SelectScopeEnd(Work& w, size_t select, bool rejectCompound) {
  for (size_t j = select + 1; j < w.Count(); ++j) {
    if (w.Is(j, "(")) { j = w.Match(j); continue; }
    if (w.Is(j, ")") || w.Is(j, ";")) return j;
    if (rejectCompound && (w.Is(j, "UNION") || w.Is(j, "EXCEPT") || w.Is(j, "INTERSECT")))
      RefuseSql("TOP 与 UNION 同用", w.Original());
  }
  return w.Count();
}

void AdaptTop(Work& w) {
  std::string limitAtEnd;
  for (size_t i = 0; i < w.Count(); ++i) {
    if (!w.At(i).Is("SELECT")) continue;
    size_t top = i + 1;
    if (w.Is(top, "DISTINCT") || w.Is(top, "ALL")) ++top;
    if (!w.Is(top, "TOP")) continue;
    std::string count;
    size_t last = top + 1;
    if (w.Is(top + 1, "(")) {
      last = w.Match(top + 1);
      if (last != top + 3) RefuseSql("TOP 的行数", w.Original());
      count = w.At(top + 2).text;
    } else if (top + 1 < w.Count()) {
      count = w.At(top + 1).text;
    }
    if (count.empty() || !std::all_of(count.begin(), count.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); }))
      RefuseSql("TOP 的行数", w.Original());
    if (w.Is(last + 1, "PERCENT") || (w.Is(last + 1, "WITH") && w.Is(last + 2, "TIES")))
      RefuseSql("TOP PERCENT/WITH TIES", w.Original());
    const size_t end = SelectScopeEnd(w, i, true);
    for (size_t j = top; j <= last; ++j) w.Blank(j);
    if (end < w.Count()) w.InsertBefore(end, " LIMIT " + count);
    else limitAtEnd = " LIMIT " + count;
  }
  // After the last word of the statement, before a trailing comment.
  if (!limitAtEnd.empty()) w.AppendAfter(w.Count() - 1, limitAtEnd);
  w.Reindex();
}

// "alias = expression" items of a select list become "expression AS alias". An empty item (a list that
// ends after SELECT or after a comma) is refused.
void AdaptAliasAssignments(Work& w) {
  for (size_t i = 0; i < w.Count(); ++i) {
    if (!w.At(i).Is("SELECT")) continue;
    size_t start = i + 1;
    if (w.Is(start, "DISTINCT") || w.Is(start, "ALL")) ++start;
    size_t itemStart = start;
    for (size_t j = start; j <= w.Count(); ++j) {
      const bool atEnd = j == w.Count() || w.Is(j, ")") || w.Is(j, "FROM") || w.Is(j, "INTO") || w.Is(j, ";") ||
                         w.Is(j, "UNION") || w.Is(j, "EXCEPT") || w.Is(j, "INTERSECT") || w.Is(j, "WHERE") ||
                         w.Is(j, "GROUP") || w.Is(j, "ORDER");
      if (!atEnd && w.Is(j, "(")) { j = w.Match(j); continue; }
      if (atEnd || w.Is(j, ",")) {
        if (j == itemStart) RefuseSql("SELECT 列表不完整", w.Original());
        const auto& first = w.At(itemStart);
        if (j > itemStart + 2 && (first.kind == TSqlToken::Identifier || first.kind == TSqlToken::QuotedIdentifier) &&
            w.Is(itemStart + 1, "=") && !ChainBreakWords().count(UpperSql(first.text))) {
          const std::string alias = first.text;
          w.Blank(itemStart);
          w.Blank(itemStart + 1);
          w.InsertAfter(j - 1, " AS " + alias);
        }
        itemStart = j + 1;
      }
      if (atEnd) break;
    }
  }
  w.Reindex();
}

// "reverse(column) LIKE 'prefix%'" is the suffix search of serial numbers. SQLite uses an index only for a
// range, so the prefix becomes a range on the indexed expression (case-insensitive, as LIKE is), with the
// LIKE (and its ESCAPE clause, when it has one) kept to decide exactly.
void AdaptPrefixLikes(Work& w) {
  for (size_t i = 0; i + 5 < w.Count(); ++i) {
    if (!w.At(i).Is("REVERSE") || !w.Is(i + 1, "(")) continue;
    const size_t close = w.Match(i + 1);
    const bool column = (close == i + 3 && w.At(i + 2).kind == TSqlToken::Identifier) ||
                        (close == i + 5 && w.At(i + 2).kind == TSqlToken::Identifier && w.Is(i + 3, ".") &&
                         w.At(i + 4).kind == TSqlToken::Identifier);
    if (!column || !w.Is(close + 1, "LIKE") || close + 2 >= w.Count() || w.At(close + 2).kind != TSqlToken::String)
      continue;
    // An escape character, when the pattern names one: a single character in a literal.
    size_t last = close + 2;
    char escape = 0;
    if (w.Is(close + 3, "ESCAPE")) {
      if (close + 4 >= w.Count() || w.At(close + 4).kind != TSqlToken::String || w.At(close + 4).text.size() != 3) continue;
      escape = w.At(close + 4).text[1];
      if (escape == '\'' || escape == '%' || escape == '_') continue;
      last = close + 4;
    }
    const std::string literal = w.At(close + 2).text;
    const std::string pattern = literal.substr(1, literal.size() - 2);
    if (pattern.size() < 2 || pattern.back() != '%') continue;
    // The characters the prefix stands for; any wildcard in it leaves the condition as it is.
    std::string prefix;
    bool plain = true;
    for (size_t k = 0; k + 1 < pattern.size() && plain; ++k) {
      char c = pattern[k];
      if (escape && c == escape) {
        if (k + 2 >= pattern.size()) plain = false;
        else c = pattern[++k];
      } else if (c == '%' || c == '_') {
        plain = false;
      }
      prefix += c;
    }
    for (char c : prefix) plain = plain && static_cast<unsigned char>(c) < 0x7E && c != '\'';
    if (!plain || prefix.empty()) continue;
    for (char& c : prefix) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    std::string upperBound = prefix;
    upperBound.back() = static_cast<char>(upperBound.back() + 1);
    std::string expression;
    for (size_t j = i; j <= close; ++j) expression += w.At(j).text;
    std::string like = expression + " LIKE " + literal;
    if (escape) like += " ESCAPE " + w.At(close + 4).text;
    w.At(i).text = "(" + expression + " COLLATE NOCASE >= '" + prefix + "' AND " + expression + " COLLATE NOCASE < '" +
                   upperBound + "' AND " + like + ")";
    for (size_t j = i + 1; j <= last; ++j) w.Blank(j);
    i = last;
  }
  w.Reindex();
}

// "+" between texts joins them in the server's dialect; SQLite joins with "||". A chain of operands
// joined by "+" is a text chain when one operand is a text: a literal, a text column, a text function.
class ConcatAdapter {
 public:
  ConcatAdapter(Work& w, const TSqlColumnKinds& columnKinds) : w_(w), columnKinds_(columnKinds) {}

  void Run() { Range(0, w_.Count()); }

 private:
  // Adapts the chains of [begin, end) and tells whether the range holds a text chain.
  bool Range(size_t begin, size_t end) {
    bool anyText = false;
    std::vector<size_t> pluses;
    bool chainText = false;
    auto close = [&] {
      if (chainText && !pluses.empty())
        for (size_t p : pluses) w_.At(p).text = "||";
      anyText = anyText || chainText;
      pluses.clear();
      chainText = false;
    };
    for (size_t j = begin; j < end; ++j) {
      auto& t = w_.At(j);
      if (t.kind == TSqlToken::String) {
        chainText = true;
      } else if (t.kind == TSqlToken::Symbol) {
        if (t.text == "+") {
          pluses.push_back(j);
        } else if (t.text == "(") {
          const size_t m = w_.Match(j);
          const bool inner = Range(j + 1, m);
          const bool call = j > begin && w_.At(j - 1).kind == TSqlToken::Identifier;
          if (call) {
            const std::string name = UpperSql(w_.At(j - 1).text);
            if (SqlFunctionKind(name) == TSqlValueKind::Text || (name == "CAST" && CastsToText(j, m))) chainText = true;
          } else if (inner) {
            chainText = true;
          }
          j = m;
        } else if (t.text == "*" || t.text == "/" || t.text == "%" || t.text == ".") {
          // binds tighter than "+": part of the operand
        } else {
          close();
        }
      } else if (t.kind == TSqlToken::Identifier || t.kind == TSqlToken::QuotedIdentifier) {
        const std::string upper = UpperSql(t.text);
        if (t.kind == TSqlToken::Identifier && ChainBreakWords().count(upper)) {
          close();
        } else if (!w_.Is(j + 1, "(") && !w_.Is(j + 1, ".") && columnKinds_) {
          std::string name = t.text;
          if (t.kind == TSqlToken::QuotedIdentifier) name = name.substr(1, name.size() - 2);
          if (columnKinds_(name) == TSqlValueKind::Text) chainText = true;
        }
      }
    }
    close();
    return anyText;
  }

  bool CastsToText(size_t open, size_t close) {
    for (size_t j = close; j > open + 1; --j)
      if (w_.Is(j - 1, "AS")) return j < close && SqlTypeNameKind(UpperSql(w_.At(j).text)) == TSqlValueKind::Text;
    return false;
  }

  Work& w_;
  const TSqlColumnKinds& columnKinds_;
};

std::string ArgumentValue(const std::vector<TSqlToken>& tokens) {
  std::vector<const TSqlToken*> sig;
  for (const auto& t : tokens)
    if (t.Significant()) sig.push_back(&t);
  if (sig.size() >= 2 && sig[0]->kind == TSqlToken::Variable && sig[1]->text == "=")
    sig.erase(sig.begin(), sig.begin() + 2);
  if (sig.size() == 1 && sig[0]->kind == TSqlToken::String) return SqlStringValue(sig[0]->text);
  std::string text;
  for (const auto* t : sig) text += t->text;
  return text;
}

TAdaptedStatement AdaptProcedureCall(const std::vector<TSqlToken>& tokens, std::string_view original) {
  std::vector<TSqlToken> sig;
  for (const auto& t : tokens)
    if (t.Significant()) sig.push_back(t);
  size_t i = 1;
  if (i + 1 < sig.size() && UpperSql(sig[i].text) == "DBO" && sig[i + 1].text == ".") i += 2;
  if (i >= sig.size() || sig[i].kind != TSqlToken::Identifier) RefuseSql("EXEC 缺少过程名", original);
  TAdaptedStatement result;
  result.IsProcedureCall = true;
  result.Procedure = UpperSql(sig[i].text);
  std::vector<TSqlToken> current;
  int depth = 0;
  for (size_t j = i + 1; j < sig.size(); ++j) {
    if (sig[j].text == "(") ++depth;
    if (sig[j].text == ")") --depth;
    if (depth == 0 && (sig[j].text == "," || sig[j].text == ";")) {
      result.Arguments.push_back(ArgumentValue(current));
      current.clear();
      continue;
    }
    current.push_back(sig[j]);
  }
  if (!current.empty()) result.Arguments.push_back(ArgumentValue(current));
  return result;
}

// The template with each {n} outside its string literals replaced by argument n, in one pass: the text
// of an argument is never searched again, so a value holding "{0}" stays that value.
std::string SubstituteArguments(const std::string& text, const std::vector<std::string>& args) {
  std::string result;
  bool quoted = false;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\'') quoted = !quoted;  // a doubled quote turns twice
    if (!quoted && text[i] == '{') {
      size_t j = i + 1, index = 0;
      while (j < text.size() && j < i + 4 && std::isdigit(static_cast<unsigned char>(text[j])))
        index = index * 10 + static_cast<size_t>(text[j++] - '0');
      if (j > i + 1 && j < text.size() && text[j] == '}' && index < args.size()) {
        result += "(" + args[index] + ")";
        i = j;
        continue;
      }
    }
    result += text[i];
  }
  return result;
}

// "100005AND" is a number and a word to the server; SQLite needs a blank between them.
std::vector<TSqlToken> SeparateNumbersFromWords(std::vector<TSqlToken> tokens) {
  std::vector<TSqlToken> result;
  result.reserve(tokens.size());
  for (size_t i = 0; i < tokens.size(); ++i) {
    const bool glued = tokens[i].kind == TSqlToken::Number && i + 1 < tokens.size() &&
                       (tokens[i + 1].kind == TSqlToken::Identifier || tokens[i + 1].kind == TSqlToken::QuotedIdentifier);
    result.push_back(std::move(tokens[i]));
    if (glued) result.push_back(TSqlToken{TSqlToken::Space, " "});
  }
  return result;
}

// Splits a batch into statements: at ";" and where a new statement begins at the outer level, as the
// server reads statements joined by line breaks.
std::vector<std::vector<TSqlToken>> SplitStatements(std::vector<TSqlToken> tokens) {
  std::vector<std::vector<TSqlToken>> statements;
  std::vector<TSqlToken> current;
  int depth = 0;
  std::string firstWord, previous;
  bool bodySelectSeen = false;
  auto flush = [&] {
    bool any = std::any_of(current.begin(), current.end(), [](const TSqlToken& t) { return t.Significant(); });
    if (any) statements.push_back(std::move(current));
    current.clear();
    firstWord.clear();
    previous.clear();
    bodySelectSeen = false;
  };
  for (auto& t : tokens) {
    if (!t.Significant()) { current.push_back(std::move(t)); continue; }
    const std::string word = t.kind == TSqlToken::Identifier ? UpperSql(t.text) : std::string();
    if (t.kind == TSqlToken::Symbol && t.text == ";" && depth == 0) { flush(); continue; }
    if (depth == 0 && !firstWord.empty() && !word.empty()) {
      bool boundary = false;
      static const std::set<std::string> starts = {"INSERT", "UPDATE", "DELETE", "EXEC", "EXECUTE", "CREATE", "DROP", "ALTER"};
      if (starts.count(word) && previous != "ON" && !(word == "UPDATE" && previous == "FOR")) {
        boundary = true;
      } else if (word == "SELECT" || word == "VALUES") {
        const bool compound = previous == "UNION" || previous == "ALL" || previous == "EXCEPT" || previous == "INTERSECT";
        const bool body = (firstWord == "INSERT" || firstWord == "CREATE" || firstWord == "WITH") && !bodySelectSeen;
        if (body) bodySelectSeen = true;
        boundary = word == "SELECT" && !compound && !body;
      }
      if (boundary) flush();
    }
    if (firstWord.empty()) firstWord = word.empty() ? t.text : word;
    if (t.kind == TSqlToken::Symbol && t.text == "(") ++depth;
    if (t.kind == TSqlToken::Symbol && t.text == ")") --depth;
    previous = word.empty() ? t.text : word;
    current.push_back(std::move(t));
  }
  flush();
  return statements;
}

}  // namespace

TSqlDialect::TSqlDialect() = default;

void TSqlDialect::AddMacro(const std::string& name, Macro macro) { macros_[UpperSql(name)] = std::move(macro); }

std::vector<TSqlToken> TSqlDialect::ExpandMacros(std::vector<TSqlToken> tokens, std::string_view original,
                                                 int depth) const {
  if (macros_.empty()) return tokens;
  if (depth > 8) RefuseSql("函数嵌套过深", original);
  Work w(std::move(tokens), original);
  bool changed = false;
  for (size_t i = 0; i + 1 < w.Count(); ++i) {
    auto& t = w.At(i);
    if (t.kind != TSqlToken::Identifier || !w.Is(i + 1, "(")) continue;
    auto found = macros_.find(UpperSql(t.text));
    if (found == macros_.end()) continue;
    const size_t close = w.Match(i + 1);
    std::vector<std::string> args;
    std::string current;
    bool any = false;
    for (size_t j = i + 2; j < close; ++j) {
      if (w.Is(j, "(")) {
        const size_t m = w.Match(j);
        for (size_t k = j; k <= m; ++k) current += w.At(k).text + " ";
        j = m;
        any = true;
        continue;
      }
      if (w.Is(j, ",")) { args.push_back(current); current.clear(); continue; }
      current += w.At(j).text + " ";
      any = true;
    }
    if (any || !args.empty()) args.push_back(current);
    if (static_cast<int>(args.size()) != found->second.ArgumentCount)
      RefuseSql(found->first + " 需要 " + std::to_string(found->second.ArgumentCount) + " 个参数", original);
    t.text = "(" + SubstituteArguments(found->second.Template, args) + ")";
    t.kind = TSqlToken::Symbol;  // re-tokenized below
    for (size_t j = i + 1; j <= close; ++j) w.Blank(j);
    i = close;
    changed = true;
  }
  if (!changed) return w.TakeTokens();
  return ExpandMacros(TokenizeSql(w.Text()), original, depth + 1);
}

TAdaptedStatement TSqlDialect::AdaptStatement(std::vector<TSqlToken> tokens, std::string_view original) const {
  const std::string statementText = [&] {
    std::string s;
    for (const auto& t : tokens) s += t.text;
    return s;
  }();
  auto first = std::find_if(tokens.begin(), tokens.end(), [](const TSqlToken& t) { return t.Significant(); });
  if (first != tokens.end() && (first->Is("EXEC") || first->Is("EXECUTE"))) return AdaptProcedureCall(tokens, statementText);
  Work w(SeparateNumbersFromWords(std::move(tokens)), statementText);
  RejectUnsupported(w);
  DropPrefixes(w);
  Work expanded(ExpandMacros(w.TakeTokens(), statementText, 0), statementText);
  DropTableHints(expanded);
  RenameFunctions(expanded);
  AdaptTop(expanded);
  AdaptAliasAssignments(expanded);
  // After the alias items are rewritten (an "alias = value" is no comparison) and before the casts are
  // (a CAST tells the kind of its value).
  TypeComparedLiterals(expanded, columnKinds_);
  AdaptCasts(expanded);
  AdaptPrefixLikes(expanded);
  ConcatAdapter(expanded, columnKinds_).Run();
  TAdaptedStatement result;
  result.Sql = expanded.Text();
  return result;
}

std::vector<TAdaptedStatement> TSqlDialect::Adapt(std::string_view sql) const {
  std::vector<TAdaptedStatement> result;
  for (auto& statement : SplitStatements(TokenizeSql(sql))) result.push_back(AdaptStatement(std::move(statement), sql));
  return result;
}

TAdaptedStatement TSqlDialect::AdaptOne(std::string_view sql) const {
  auto statements = Adapt(sql);
  if (statements.size() != 1)
    throw EDatabaseError((statements.empty() ? "SQL语句为空: " : "只能执行一条查询语句: ") + std::string(sql));
  return std::move(statements.front());
}

}  // namespace jxc
