#pragma once
// Serial numbers in SQL conditions. A typed number is searched as a whole or by its end (the last digits of
// a handset's IMEI): the end is found by comparing the reversed column with LIKE against the reversed text
// followed by "%", which an index on the reversed column serves. Every typed character stands for itself:
// "%" and "_" are no wildcards, they are escaped with "\" and the condition names its escape character.

#include <string>
#include <string_view>

namespace jxc {

// The escape character of the LIKE patterns written here.
inline constexpr char kLikeEscape = '\\';

// Whether the text holds a character LIKE would not take as itself ("%", "_" or the escape character).
bool NeedsLikeEscape(std::string_view text);
// The text with those characters escaped, so that a LIKE pattern made of it matches it literally.
std::string EscapeLikeText(std::string_view text);
// " ESCAPE '\'" after a pattern made of the text, "" when it needs none.
std::string LikeEscapeClause(std::string_view text);
// The condition "reverse(column) LIKE '<text reversed>%'" (with its escape clause when the text needs one):
// true for the rows whose column ends with the text.
std::string SuffixLikeCondition(std::string_view column, std::string_view text);

}  // namespace jxc
