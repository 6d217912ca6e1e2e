#include "foundation/UnitModeNOSearch.h"

#include "platform/Text.h"

namespace jxc {

namespace {
bool IsLikeSpecial(char c) { return c == '%' || c == '_' || c == kLikeEscape; }
}  // namespace

bool NeedsLikeEscape(std::string_view text) {
  for (char c : text)
    if (IsLikeSpecial(c)) return true;
  return false;
}

std::string EscapeLikeText(std::string_view text) {
  std::string escaped;
  escaped.reserve(text.size() + 2);
  for (char c : text) {
    if (IsLikeSpecial(c)) escaped += kLikeEscape;
    escaped += c;
  }
  return escaped;
}

std::string LikeEscapeClause(std::string_view text) {
  return NeedsLikeEscape(text) ? std::string(" ESCAPE '") + kLikeEscape + "'" : std::string();
}

std::string SuffixLikeCondition(std::string_view column, std::string_view text) {
  const std::string reversed = ReverseChars(text);
  return "reverse(" + std::string(column) + ") LIKE " + QuotedStr(EscapeLikeText(reversed) + "%") + LikeEscapeClause(text);
}

}  // namespace jxc
