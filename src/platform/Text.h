#pragma once
// Text helpers. Text is UTF-8 everywhere; where a rule counts or walks UTF-16 code units (the toolkit's
// strings), the helpers below count them explicitly. Case changes touch ASCII letters only.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace jxc {

// --- UTF-8 / UTF-16 -----------------------------------------------------------------------------------
bool IsValidUtf8(std::string_view text);
// Code points of the text; raises EConvertError "Invalid UTF-8 text" on malformed input.
std::u32string Utf8ToUtf32(std::string_view text);
std::string Utf32ToUtf8(std::u32string_view text);
std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);
void AppendUtf8(std::string& out, char32_t codePoint);
// Number of UTF-16 code units the text takes (characters beyond U+FFFF count two).
size_t Utf16Length(std::string_view text);
// Number of code points.
size_t CharCount(std::string_view text);
// The first / last n code points (all of the text when it is shorter).
std::string LeftChars(std::string_view text, size_t n);
std::string RightChars(std::string_view text, size_t n);
// Cutting by UTF-16 code units, as the toolkit's Copy/LeftStr/RightStr count them. Units are numbered from
// 0; a character beyond U+FFFF is kept only when both of its units fall inside the cut.
std::string Utf16Copy(std::string_view text, size_t start, size_t count);
std::string Utf16Left(std::string_view text, size_t count);
std::string Utf16Right(std::string_view text, size_t count);
// The toolkit's Pos: 1-based UTF-16 unit position of the first occurrence, 0 when absent.
size_t Utf16Pos(std::string_view part, std::string_view text);
// Reversed by characters (code points), so multi-byte text stays well formed: "串码12" -> "21码串".
std::string ReverseChars(std::string_view text);

// --- blanks and case ----------------------------------------------------------------------------------
// Trim removes characters up to and including the space (the toolkit's Trim: controls and blanks).
std::string Trim(std::string_view text);
std::string TrimLeft(std::string_view text);
std::string TrimRight(std::string_view text);
std::string UpperCase(std::string_view text);  // ASCII letters only
std::string LowerCase(std::string_view text);  // ASCII letters only
// ASCII case-insensitive comparisons.
bool SameText(std::string_view a, std::string_view b);
int CompareText(std::string_view a, std::string_view b);
bool ContainsText(std::string_view text, std::string_view part);
bool StartsText(std::string_view prefix, std::string_view text);
bool EndsText(std::string_view suffix, std::string_view text);
// Byte position of the first occurrence (case-sensitive), npos when absent.
size_t Pos(std::string_view part, std::string_view text);
bool Contains(std::string_view text, std::string_view part);

// --- building -----------------------------------------------------------------------------------------
// Every occurrence replaced (case-sensitive; ignoreCase compares ASCII letters without case).
std::string StringReplace(std::string_view text, std::string_view from, std::string_view to, bool ignoreCase = false);
// Single-quoted with embedded quotes doubled: O'K -> 'O''K'.
std::string QuotedStr(std::string_view text);
// Split at any of the delimiter characters; empty pieces kept; with trim, blanks around pieces removed.
std::vector<std::string> SplitString(std::string_view text, std::string_view delimiters, bool trim = false);
std::string JoinStrings(const std::vector<std::string>& items, std::string_view separator);

// --- numbers from and to text ---------------------------------------------------------------------------
std::string IntToStr(int64_t value);
// Plain decimal integers with optional sign and surrounding blanks.
std::optional<int64_t> TryStrToInt64(std::string_view text);
std::optional<double> TryStrToFloat(std::string_view text);
int64_t StrToInt64Def(std::string_view text, int64_t fallback);
int32_t StrToIntDef(std::string_view text, int32_t fallback);
double StrToFloatDef(std::string_view text, double fallback);
// Raise EConvertError "'text' is not a valid integer value" / "... floating point value".
int64_t StrToInt64(std::string_view text);
int32_t StrToInt(std::string_view text);
double StrToFloat(std::string_view text);
// Shortest decimal text with at most 15 significant digits, '.' separator, no exponent below 1e15:
// 0.1 -> "0.1", 2.5 -> "2.5", 100 -> "100", 1e20 -> "1E20".
std::string FloatToStr(double value);
// "True" / "False".
std::string BoolToStr(bool value);

}  // namespace jxc
