#include "platform/DataFilter.h"

#include <optional>
#include <vector>

#include "platform/Exceptions.h"
#include "platform/Text.h"

namespace jxc {

namespace {

// --- tokens ----------------------------------------------------------------------------------------------

enum class Tok { End, Name, String, Number, Op, LParen, RParen, Comma, Minus };

struct Token {
  Tok kind = Tok::End;
  std::string text;  // name, string value, number text or operator
  size_t pos = 0;    // 0-based byte offset in the filter text
};

bool IsNameStart(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c >= 0x80; }
bool IsNameChar(unsigned char c) { return IsNameStart(c) || (c >= '0' && c <= '9') || c == '.'; }
bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }

class Lexer {
 public:
  Lexer(std::string_view text, const std::string& fullText) : text_(text), full_(fullText) {}

  std::vector<Token> Run() {
    std::vector<Token> out;
    size_t i = 0;
    while (true) {
      while (i < text_.size() && static_cast<unsigned char>(text_[i]) <= ' ') ++i;
      Token t;
      t.pos = i;
      if (i >= text_.size()) {
        out.push_back(t);
        return out;
      }
      const unsigned char c = static_cast<unsigned char>(text_[i]);
      if (c == '\'') {
        t.kind = Tok::String;
        ++i;
        while (true) {
          if (i >= text_.size()) Fail("unterminated string starting at position " + std::to_string(t.pos + 1));
          if (text_[i] == '\'') {
            if (i + 1 < text_.size() && text_[i + 1] == '\'') {
              t.text += '\'';
              i += 2;
              continue;
            }
            ++i;
            break;
          }
          t.text += text_[i++];
        }
      } else if (c == '[' || c == '"') {
        const char close = c == '[' ? ']' : '"';
        t.kind = Tok::Name;
        const size_t end = text_.find(close, i + 1);
        if (end == std::string_view::npos) Fail("unterminated field name at position " + std::to_string(i + 1));
        t.text = std::string(text_.substr(i + 1, end - i - 1));
        i = end + 1;
      } else if (IsDigit(c) || (c == '.' && i + 1 < text_.size() && IsDigit(static_cast<unsigned char>(text_[i + 1])))) {
        t.kind = Tok::Number;
        while (i < text_.size() && (IsDigit(static_cast<unsigned char>(text_[i])) || text_[i] == '.')) t.text += text_[i++];
      } else if (IsNameStart(c)) {
        t.kind = Tok::Name;
        while (i < text_.size() && IsNameChar(static_cast<unsigned char>(text_[i]))) t.text += text_[i++];
      } else if (c == '(') {
        t.kind = Tok::LParen, ++i;
      } else if (c == ')') {
        t.kind = Tok::RParen, ++i;
      } else if (c == ',') {
        t.kind = Tok::Comma, ++i;
      } else if (c == '-') {
        t.kind = Tok::Minus, ++i;
      } else if (c == '=' || c == '<' || c == '>' || c == '!') {
        t.kind = Tok::Op;
        t.text = static_cast<char>(c);
        ++i;
        if (i < text_.size() && (text_[i] == '=' || (c == '<' && text_[i] == '>'))) t.text += text_[i++];
        if (t.text == "!") Fail("unexpected '!' at position " + std::to_string(t.pos + 1));
      } else {
        Fail("unexpected '" + std::string(1, static_cast<char>(c)) + "' at position " + std::to_string(i + 1));
      }
      out.push_back(std::move(t));
    }
  }

  [[noreturn]] void Fail(const std::string& reason) const {
    throw EDatabaseError("Invalid filter expression '" + full_ + "': " + reason);
  }

 private:
  std::string_view text_;
  const std::string& full_;
};

// --- three-valued truth ------------------------------------------------------------------------------------

enum class Truth { False, True, Unknown };

Truth Not(Truth t) {
  if (t == Truth::Unknown) return t;
  return t == Truth::True ? Truth::False : Truth::True;
}

bool IsIntegral(const Variant& v) { return v.Holds<bool>() || v.Holds<int32_t>() || v.Holds<int64_t>(); }

int Sign(double d) { return d < 0 ? -1 : (d > 0 ? 1 : 0); }
template <class T>
int Cmp(const T& a, const T& b) { return a < b ? -1 : (b < a ? 1 : 0); }

// Numbers (booleans, integers, currency, floats) compared by value; exact where both sides allow it.
int CompareNumbers(const Variant& a, const Variant& b) {
  if (IsIntegral(a) && IsIntegral(b)) return Cmp(a.AsInt64(), b.AsInt64());
  if (!a.Holds<double>() && !b.Holds<double>()) {
    try {
      return Cmp(a.AsCurrency(), b.AsCurrency());
    } catch (const Exception&) {
      // out of the currency range: fall through to floating point
    }
  }
  return Sign(a.AsDouble() - b.AsDouble());
}

// At most four decimals: the text reads as an amount without rounding.
bool HasAtMostFourDecimals(std::string_view text) {
  const size_t dot = text.find('.');
  if (dot == std::string_view::npos) return true;
  size_t decimals = 0;
  for (size_t i = dot + 1; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) ++decimals;
  return decimals <= 4;
}

}  // namespace

// --- expression tree ---------------------------------------------------------------------------------------

struct TFilterExpression::Node {
  enum Kind { Or, And, NotOp, Compare, Like, IsNull, Bare, Field, Literal } kind;
  std::string op;  // Compare: "=", "<>", "<", ">", "<=", ">="
  bool negate = false;
  int field = -1;
  Variant literal;
  std::vector<std::unique_ptr<Node>> kids;

  explicit Node(Kind k) : kind(k) {}

  Variant Value(const IFilterRecord& r) const { return kind == Field ? r.FieldValue(field) : literal; }

  Truth Eval(const IFilterRecord& r) const {
    switch (kind) {
      case Or: {
        Truth result = Truth::False;
        for (const auto& k : kids) {
          const Truth t = k->Eval(r);
          if (t == Truth::True) return t;
          if (t == Truth::Unknown) result = t;
        }
        return result;
      }
      case And: {
        Truth result = Truth::True;
        for (const auto& k : kids) {
          const Truth t = k->Eval(r);
          if (t == Truth::False) return t;
          if (t == Truth::Unknown) result = t;
        }
        return result;
      }
      case NotOp: return Not(kids[0]->Eval(r));
      case Compare: {
        const std::optional<int> c = CompareFilterValues(kids[0]->Value(r), kids[1]->Value(r));
        if (!c) return Truth::Unknown;
        bool ok = false;
        if (op == "=") ok = *c == 0;
        else if (op == "<>" || op == "!=") ok = *c != 0;
        else if (op == "<") ok = *c < 0;
        else if (op == ">") ok = *c > 0;
        else if (op == "<=") ok = *c <= 0;
        else if (op == ">=") ok = *c >= 0;
        return ok ? Truth::True : Truth::False;
      }
      case Like: {
        const Variant value = kids[0]->Value(r);
        const Variant pattern = kids[1]->Value(r);
        if (value.IsNullOrEmpty() || pattern.IsNullOrEmpty()) return Truth::Unknown;
        const bool m = value.IsString() ? LikeMatches(value.Get<std::string>(), pattern.ToString())
                                        : LikeMatches(value.ToString(), pattern.ToString());
        return (m != negate) ? Truth::True : Truth::False;
      }
      case IsNull: return (kids[0]->Value(r).IsNullOrEmpty() != negate) ? Truth::True : Truth::False;
      case Bare: {
        const Variant v = kids[0]->Value(r);
        if (v.IsNullOrEmpty()) return Truth::Unknown;
        try {
          return v.AsBoolean() ? Truth::True : Truth::False;
        } catch (const Exception&) {
          return Truth::Unknown;
        }
      }
      case Field:
      case Literal: break;
    }
    return Truth::Unknown;
  }
};

namespace {

using NodePtr = std::unique_ptr<TFilterExpression::Node>;
using Node = TFilterExpression::Node;

class Parser {
 public:
  // Brackets and NOTs inside one another; deeper text is refused before it can exhaust the stack.
  static constexpr int kMaxNesting = 200;

  Parser(std::vector<Token> tokens, const Lexer& lexer, const TFilterExpression::FieldResolver& resolve)
      : t_(std::move(tokens)), lexer_(lexer), resolve_(resolve) {}

  NodePtr ParseAll() {
    NodePtr n = ParseOr();
    if (Peek().kind != Tok::End) Unexpected();
    return n;
  }

 private:
  const Token& Peek() const { return t_[i_]; }
  Token Take() { return t_[i_ < t_.size() - 1 ? i_++ : i_]; }
  bool IsKeyword(const Token& t, const char* word) const { return t.kind == Tok::Name && SameText(t.text, word); }
  bool AcceptKeyword(const char* word) {
    if (!IsKeyword(Peek(), word)) return false;
    ++i_;
    return true;
  }
  std::string Where(const Token& t) const { return "position " + std::to_string(t.pos + 1); }
  [[noreturn]] void Unexpected() const {
    const Token& t = Peek();
    if (t.kind == Tok::End) lexer_.Fail("unexpected end of text");
    std::string shown = t.kind == Tok::String ? "'" + t.text + "'" : (t.text.empty() ? std::string(t.kind == Tok::LParen ? "(" : t.kind == Tok::RParen ? ")" : t.kind == Tok::Comma ? "," : "-") : t.text);
    lexer_.Fail("unexpected " + shown + " at " + Where(t));
  }

  static NodePtr Combine(Node::Kind kind, NodePtr left, NodePtr right) {
    if (left->kind == kind) {
      left->kids.push_back(std::move(right));
      return left;
    }
    auto n = std::make_unique<Node>(kind);
    n->kids.push_back(std::move(left));
    n->kids.push_back(std::move(right));
    return n;
  }

  NodePtr ParseOr() {
    NodePtr left = ParseAnd();
    while (AcceptKeyword("OR")) left = Combine(Node::Or, std::move(left), ParseAnd());
    return left;
  }

  NodePtr ParseAnd() {
    NodePtr left = ParseNot();
    while (AcceptKeyword("AND")) left = Combine(Node::And, std::move(left), ParseNot());
    return left;
  }

  NodePtr ParseNot() {
    if (AcceptKeyword("NOT")) {
      Nested nested(*this);
      auto n = std::make_unique<Node>(Node::NotOp);
      n->kids.push_back(ParseNot());
      return n;
    }
    return ParsePredicate();
  }

  NodePtr ParsePredicate() {
    if (Peek().kind == Tok::LParen) {
      Nested nested(*this);
      ++i_;
      NodePtr inner = ParseOr();
      if (Peek().kind != Tok::RParen) {
        if (Peek().kind == Tok::End) lexer_.Fail("missing ')' at end of text");
        Unexpected();
      }
      ++i_;
      return inner;
    }
    NodePtr left = ParseOperand();
    const Token& t = Peek();
    if (t.kind == Tok::Op) {
      auto n = std::make_unique<Node>(Node::Compare);
      n->op = Take().text;
      n->kids.push_back(std::move(left));
      n->kids.push_back(ParseOperand());
      return n;
    }
    bool negate = false;
    if (IsKeyword(t, "NOT") && (IsKeyword(t_[i_ + 1], "LIKE") || IsKeyword(t_[i_ + 1], "IN"))) {
      ++i_;
      negate = true;
    }
    if (AcceptKeyword("LIKE")) {
      auto n = std::make_unique<Node>(Node::Like);
      n->negate = negate;
      n->kids.push_back(std::move(left));
      n->kids.push_back(ParseOperand());
      return n;
    }
    if (AcceptKeyword("IN")) return ParseInList(std::move(left), negate);
    if (AcceptKeyword("IS")) {
      auto n = std::make_unique<Node>(Node::IsNull);
      n->negate = AcceptKeyword("NOT");
      if (!AcceptKeyword("NULL")) {
        if (Peek().kind == Tok::End) lexer_.Fail("expected NULL after IS at end of text");
        lexer_.Fail("expected NULL after IS at " + Where(Peek()));
      }
      n->kids.push_back(std::move(left));
      return n;
    }
    // A value on its own: true when it reads as true (a boolean field, TRUE).
    auto n = std::make_unique<Node>(Node::Bare);
    n->kids.push_back(std::move(left));
    return n;
  }

  NodePtr ParseInList(NodePtr left, bool negate) {
    if (Peek().kind != Tok::LParen) lexer_.Fail("expected '(' after IN at " + Where(Peek()));
    ++i_;
    auto any = std::make_unique<Node>(Node::Or);
    const int field = left->kind == Node::Field ? left->field : -1;
    const Variant literal = left->literal;
    while (true) {
      auto eq = std::make_unique<Node>(Node::Compare);
      eq->op = "=";
      auto copy = std::make_unique<Node>(left->kind);
      copy->field = field;
      copy->literal = literal;
      eq->kids.push_back(std::move(copy));
      eq->kids.push_back(ParseOperand());
      any->kids.push_back(std::move(eq));
      if (Peek().kind == Tok::Comma) {
        ++i_;
        continue;
      }
      if (Peek().kind == Tok::RParen) {
        ++i_;
        break;
      }
      if (Peek().kind == Tok::End) lexer_.Fail("missing ')' at end of text");
      Unexpected();
    }
    if (!negate) return any;
    auto n = std::make_unique<Node>(Node::NotOp);
    n->kids.push_back(std::move(any));
    return n;
  }

  NodePtr ParseOperand() {
    const Token& t = Peek();
    bool minus = false;
    if (t.kind == Tok::Minus) {
      ++i_;
      minus = true;
      if (Peek().kind != Tok::Number) lexer_.Fail("expected a number after '-' at " + Where(Peek()));
    }
    const Token& v = Peek();
    auto n = std::make_unique<Node>(Node::Literal);
    switch (v.kind) {
      case Tok::String: n->literal = Variant(v.text); break;
      case Tok::Number: {
        const std::string text = (minus ? "-" : "") + v.text;
        if (text.find('.') == std::string::npos) {
          std::optional<int64_t> i = TryStrToInt64(text);
          if (!i) lexer_.Fail("invalid number '" + text + "' at " + Where(v));
          n->literal = Variant(static_cast<long long>(*i));
        } else {
          std::optional<double> d = TryStrToFloat(text);
          if (!d) lexer_.Fail("invalid number '" + text + "' at " + Where(v));
          n->literal = Variant(*d);
        }
        break;
      }
      case Tok::Name:
        if (SameText(v.text, "NULL")) n->literal = Variant::Null();
        else if (SameText(v.text, "TRUE")) n->literal = Variant(true);
        else if (SameText(v.text, "FALSE")) n->literal = Variant(false);
        else if (IsReserved(v.text)) lexer_.Fail("expected a value at " + Where(v) + ", found " + v.text);
        else {
          n->kind = Node::Field;
          n->field = resolve_(v.text);
          if (n->field < 0) lexer_.Fail("unknown field '" + v.text + "'");
        }
        break;
      case Tok::End: lexer_.Fail("expected a value at end of text");
      default: lexer_.Fail("expected a value at " + Where(v));
    }
    ++i_;
    return n;
  }

  static bool IsReserved(const std::string& word) {
    for (const char* k : {"AND", "OR", "NOT", "LIKE", "IS", "IN"}) {
      if (SameText(word, k)) return true;
    }
    return false;
  }

  // One level deeper for the guard's lifetime.
  class Nested {
   public:
    explicit Nested(Parser& parser) : parser_(parser) {
      if (++parser_.depth_ > kMaxNesting)
        parser_.lexer_.Fail("brackets and NOT nested deeper than " + std::to_string(kMaxNesting) + " levels at " +
                            parser_.Where(parser_.Peek()));
    }
    ~Nested() { --parser_.depth_; }
    Nested(const Nested&) = delete;
    Nested& operator=(const Nested&) = delete;

   private:
    Parser& parser_;
  };

  std::vector<Token> t_;
  size_t i_ = 0;
  int depth_ = 0;
  const Lexer& lexer_;
  const TFilterExpression::FieldResolver& resolve_;
};

}  // namespace

TFilterExpression::~TFilterExpression() = default;

std::unique_ptr<TFilterExpression> TFilterExpression::Parse(std::string_view text, const FieldResolver& resolve) {
  std::unique_ptr<TFilterExpression> e(new TFilterExpression());
  e->text_ = std::string(text);
  if (Trim(text).empty()) return e;
  Lexer lexer(text, e->text_);
  Parser parser(lexer.Run(), lexer, resolve);
  e->root_ = parser.ParseAll();
  return e;
}

bool TFilterExpression::Accepts(const IFilterRecord& record) const {
  return !root_ || root_->Eval(record) == Truth::True;
}

std::optional<Variant> FilterTextAsKindOf(std::string_view text, const Variant& like) {
  if (like.Holds<bool>()) {
    if (SameText(Trim(text), "True")) return Variant(true);
    if (SameText(Trim(text), "False")) return Variant(false);
  }
  if (like.Holds<TDateTime>()) {
    try {
      return Variant(Variant(text).AsDateTime());
    } catch (const Exception&) {
      return std::nullopt;
    }
  }
  if (auto i = TryStrToInt64(text)) return Variant(static_cast<long long>(*i));
  if (!like.Holds<double>() && HasAtMostFourDecimals(text)) {
    if (auto c = Currency::TryParse(text)) return Variant(*c);
  }
  if (auto d = TryStrToFloat(text)) return Variant(*d);
  return std::nullopt;
}

std::optional<int> CompareFilterValues(const Variant& a, const Variant& b) {
  if (a.IsNullOrEmpty() || b.IsNullOrEmpty()) return std::nullopt;
  const bool aText = a.IsString(), bText = b.IsString();
  if (aText && bText) {
    const int c = a.Get<std::string>().compare(b.Get<std::string>());
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
  }
  if (aText || bText) {
    const Variant& text = aText ? a : b;
    const Variant& other = aText ? b : a;
    if (other.IsArray()) return std::nullopt;
    std::optional<Variant> converted = FilterTextAsKindOf(text.Get<std::string>(), other);
    if (!converted) return std::nullopt;
    return aText ? CompareFilterValues(*converted, other) : CompareFilterValues(other, *converted);
  }
  if (a.IsArray() || b.IsArray()) return std::nullopt;
  if (a.Holds<TDateTime>() || b.Holds<TDateTime>()) return Sign(a.AsDouble() - b.AsDouble());
  return CompareNumbers(a, b);
}

namespace {
char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
size_t NextCodePoint(std::string_view s, size_t i) {
  ++i;
  while (i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) ++i;
  return i;
}
}  // namespace

bool LikeMatches(std::string_view value, std::string_view pattern) {
  size_t s = 0, p = 0;
  size_t starP = std::string_view::npos, starS = 0;
  while (s < value.size()) {
    if (p < pattern.size() && pattern[p] == '%') {
      starP = p++;
      starS = s;
      continue;
    }
    if (p < pattern.size() && pattern[p] == '_') {
      ++p;
      s = NextCodePoint(value, s);
      continue;
    }
    if (p < pattern.size() && Upper(pattern[p]) == Upper(value[s])) {
      ++p;
      ++s;
      continue;
    }
    if (starP != std::string_view::npos) {
      p = starP + 1;
      starS = NextCodePoint(value, starS);
      s = starS;
      continue;
    }
    return false;
  }
  while (p < pattern.size() && pattern[p] == '%') ++p;
  return p == pattern.size();
}

}  // namespace jxc
