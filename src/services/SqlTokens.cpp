#include "services/SqlTokens.h"

#include <cctype>

#include "platform/Exceptions.h"

namespace jxc {

namespace {

bool IsWordStart(unsigned char c) { return std::isalpha(c) || c == '_' || c >= 0x80; }
bool IsWordChar(unsigned char c) { return std::isalnum(c) || c == '_' || c == '$' || c == '#' || c == '@' || c >= 0x80; }
bool IsDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

// The statement with each NUL shown as \0, so that the message can be read whole.
std::string Printable(std::string_view sql) {
  std::string text;
  for (char c : sql) {
    if (c == '\0') text += "\\0";
    else text += c;
  }
  return text;
}

// The end of a number starting at i: digits with one decimal point, then an exponent only when digits
// follow it. Letters after that begin the next token.
size_t NumberEnd(std::string_view sql, size_t i) {
  const size_t n = sql.size();
  while (i < n && IsDigit(sql[i])) ++i;
  if (i < n && sql[i] == '.') {
    ++i;
    while (i < n && IsDigit(sql[i])) ++i;
  }
  if (i < n && (sql[i] == 'e' || sql[i] == 'E')) {
    size_t j = i + 1;
    if (j < n && (sql[j] == '+' || sql[j] == '-')) ++j;
    if (j < n && IsDigit(sql[j])) {
      i = j;
      while (i < n && IsDigit(sql[i])) ++i;
    }
  }
  return i;
}

}  // namespace

bool TSqlToken::Is(std::string_view word) const {
  if (kind != Identifier && kind != Symbol) return false;
  if (text.size() != word.size()) return false;
  for (size_t i = 0; i < text.size(); ++i)
    if (std::toupper(static_cast<unsigned char>(text[i])) != std::toupper(static_cast<unsigned char>(word[i]))) return false;
  return true;
}

std::vector<TSqlToken> TokenizeSql(std::string_view sql) {
  if (sql.find('\0') != std::string_view::npos)
    throw EDatabaseError("SQL语句中含有空字符(\\0), 不能执行: " + Printable(sql));
  std::vector<TSqlToken> tokens;
  size_t i = 0;
  const size_t n = sql.size();
  auto unterminated = [&](const char* what) {
    throw EDatabaseError(std::string("SQL语句中") + what + "未结束: " + std::string(sql));
  };
  while (i < n) {
    const unsigned char c = static_cast<unsigned char>(sql[i]);
    const size_t start = i;
    TSqlToken::Kind kind;
    if (std::isspace(c)) {
      while (i < n && std::isspace(static_cast<unsigned char>(sql[i]))) ++i;
      kind = TSqlToken::Space;
    } else if (c == '-' && i + 1 < n && sql[i + 1] == '-') {
      while (i < n && sql[i] != '\n') ++i;
      kind = TSqlToken::Comment;
    } else if (c == '/' && i + 1 < n && sql[i + 1] == '*') {
      const size_t close = sql.find("*/", i + 2);
      if (close == std::string_view::npos) unterminated("注释");
      i = close + 2;
      kind = TSqlToken::Comment;
    } else if (c == '\'' || c == '"' || c == '[' || c == '`') {
      const char closing = c == '[' ? ']' : static_cast<char>(c);
      ++i;
      for (;;) {
        if (i >= n) unterminated(c == '\'' ? "字符串" : "标识符");
        if (sql[i] == closing) {
          if (i + 1 < n && sql[i + 1] == closing) { i += 2; continue; }
          ++i;
          break;
        }
        ++i;
      }
      kind = c == '\'' ? TSqlToken::String : TSqlToken::QuotedIdentifier;
    } else if (c == '@' || c == '#') {
      ++i;
      while (i < n && IsWordChar(static_cast<unsigned char>(sql[i]))) ++i;
      kind = TSqlToken::Variable;
    } else if (IsWordStart(c)) {
      while (i < n && IsWordChar(static_cast<unsigned char>(sql[i]))) ++i;
      kind = TSqlToken::Identifier;
    } else if (std::isdigit(c) || (c == '.' && i + 1 < n && IsDigit(sql[i + 1]))) {
      i = NumberEnd(sql, i);
      kind = TSqlToken::Number;
    } else {
      static const char* pairs[] = {"<>", "<=", ">=", "!=", "||", "==", "!<", "!>"};
      i += 1;
      for (const char* p : pairs)
        if (sql.substr(start, 2) == p) { i = start + 2; break; }
      kind = TSqlToken::Symbol;
    }
    tokens.push_back(TSqlToken{kind, std::string(sql.substr(start, i - start))});
  }
  return tokens;
}

std::string QuoteSqlString(std::string_view text) {
  std::string result = "'";
  for (char c : text) {
    result += c;
    if (c == '\'') result += '\'';
  }
  return result + "'";
}

std::string SqlStringValue(std::string_view literal) {
  std::string value;
  for (size_t i = 1; i + 1 < literal.size(); ++i) {
    value += literal[i];
    if (literal[i] == '\'') ++i;
  }
  return value;
}

std::string UpperSql(std::string_view text) {
  std::string result(text);
  for (char& c : result) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return result;
}

void RefuseSql(const std::string& reason, std::string_view statement) {
  throw EDatabaseError("无法执行的SQL语句(" + reason + "): " + std::string(statement));
}

// --- statement under adaptation -------------------------------------------------------------------------

TSqlStatementTokens::TSqlStatementTokens(std::vector<TSqlToken> tokens, std::string_view original)
    : tokens_(std::move(tokens)), original_(original) {
  Index();
}

void TSqlStatementTokens::AppendAfter(size_t i, const std::string& text) {
  const size_t at = sig_[i] + 1;
  tokens_.insert(tokens_.begin() + static_cast<std::ptrdiff_t>(at), TSqlToken{TSqlToken::Space, ""});
  before_.insert(before_.begin() + static_cast<std::ptrdiff_t>(at), std::string());
  after_.insert(after_.begin() + static_cast<std::ptrdiff_t>(at), text);
  Index();
}

std::string TSqlStatementTokens::Text() const {
  std::string result;
  for (size_t i = 0; i < tokens_.size(); ++i) result += before_[i] + tokens_[i].text + after_[i];
  return result;
}

std::vector<TSqlToken> TSqlStatementTokens::TakeTokens() {
  for (size_t i = 0; i < tokens_.size(); ++i) {
    if (before_[i].empty() && after_[i].empty()) continue;
    tokens_[i].text = before_[i] + tokens_[i].text + after_[i];
    before_[i].clear();
    after_[i].clear();
  }
  return std::move(tokens_);
}

void TSqlStatementTokens::Index() {
  before_.resize(tokens_.size());
  after_.resize(tokens_.size());
  sig_.clear();
  for (size_t i = 0; i < tokens_.size(); ++i)
    if (tokens_[i].Significant()) sig_.push_back(i);
  match_.assign(sig_.size(), sig_.size());
  std::vector<size_t> open;
  size_t cases = 0;
  for (size_t i = 0; i < sig_.size(); ++i) {
    const auto& t = tokens_[sig_[i]];
    if (t.Is("CASE")) {
      ++cases;
    } else if (t.Is("END")) {
      if (cases > 0) --cases;
    } else if (t.Is("(")) {
      open.push_back(i);
    } else if (t.Is(")")) {
      if (open.empty()) RefuseSql("括号不匹配", original_);
      match_[open.back()] = i;
      match_[i] = open.back();
      open.pop_back();
    }
    if (open.size() + cases > static_cast<size_t>(kMaxSqlNesting))
      RefuseSql("括号或CASE嵌套过深, 最多" + std::to_string(kMaxSqlNesting) + "层", original_);
  }
  if (!open.empty()) RefuseSql("括号不匹配", original_);
}

}  // namespace jxc
