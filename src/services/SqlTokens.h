#pragma once
// SQL text as tokens: the tokenizer of the server's dialect, and a statement under adaptation that the
// dialect's passes edit token by token. Joining the tokens gives the text back, so string literals,
// quoted identifiers and comments stay exactly as written unless a pass means to change them.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace jxc {

struct TSqlToken {
  enum Kind { Space, Comment, String, Identifier, QuotedIdentifier, Number, Symbol, Variable };
  Kind kind = Space;
  std::string text;
  bool Significant() const { return kind != Space && kind != Comment; }
  // Case-insensitive comparison with a keyword or symbol (identifiers and symbols only).
  bool Is(std::string_view word) const;
};

// Splits SQL text into tokens; joining the texts gives the input back. A number ends where a letter
// begins ("100005AND" is the number 100005 and the word AND), as the server reads it. Raises
// EDatabaseError for an unterminated string, quoted identifier or comment, and for a NUL character
// anywhere in the text (SQLite would end the statement there).
std::vector<TSqlToken> TokenizeSql(std::string_view sql);

// The text quoted as an SQL string literal (embedded quotes doubled).
std::string QuoteSqlString(std::string_view text);
// The value of a string literal token (quotes removed, doubled quotes single).
std::string SqlStringValue(std::string_view literal);

// Keywords and names compare in ASCII upper case.
std::string UpperSql(std::string_view text);

// Raises EDatabaseError "无法执行的SQL语句(reason): statement".
[[noreturn]] void RefuseSql(const std::string& reason, std::string_view statement);

// Deepest nesting of parentheses and CASE expressions a statement may have; deeper text is refused
// rather than walked (the passes follow nesting by recursion).
constexpr int kMaxSqlNesting = 200;

// One statement under adaptation: its tokens and, for navigation, the positions of the significant ones
// ("positions" below count significant tokens only) with the matching parenthesis of each. Passes
// replace token texts, blank tokens and put text before or after a token without changing the
// structure that later passes see. Raises EDatabaseError for unbalanced or too deeply nested
// parentheses.
class TSqlStatementTokens {
 public:
  TSqlStatementTokens(std::vector<TSqlToken> tokens, std::string_view original);

  std::vector<TSqlToken>& Tokens() { return tokens_; }
  // The statement as written, for error messages.
  std::string_view Original() const { return original_; }
  size_t Count() const { return sig_.size(); }
  TSqlToken& At(size_t i) { return tokens_[sig_[i]]; }
  const TSqlToken& At(size_t i) const { return tokens_[sig_[i]]; }
  // False past the end.
  bool Is(size_t i, std::string_view word) const { return i < sig_.size() && At(i).Is(word); }
  // The matching ")" of a "(" and the reverse; Count() for any other position.
  size_t Match(size_t i) const { return match_[i]; }
  // Blanks keep one space so that neighbouring words never run together.
  void Blank(size_t i) { tokens_[sig_[i]] = TSqlToken{TSqlToken::Space, " "}; }

  void InsertBefore(size_t i, const std::string& text) { before_[sig_[i]] = text + before_[sig_[i]]; }
  void InsertAfter(size_t i, const std::string& text) { after_[sig_[i]] += text; }
  // Text right after the significant token i and after everything inserted after it, before any
  // comment that follows (a trailing "-- note" must not swallow it).
  void AppendAfter(size_t i, const std::string& text);
  // Rebuilds the navigation after tokens were blanked.
  void Reindex() { Index(); }

  std::string Text() const;
  // The tokens with the inserted texts folded in (for re-tokenizing).
  std::vector<TSqlToken> TakeTokens();

 private:
  void Index();

  std::vector<TSqlToken> tokens_;
  std::string_view original_;
  std::vector<size_t> sig_;
  std::vector<size_t> match_;
  std::vector<std::string> before_, after_;
};

}  // namespace jxc
