#include <gtest/gtest.h>

#include "platform/Exceptions.h"
#include "platform/Text.h"

namespace jxc {
namespace {

TEST(TextUtf16, CountsCodeUnitsAndCutsWholeCharacters) {
  EXPECT_EQ(Utf16Length("abc"), 3u);
  EXPECT_EQ(Utf16Length("串码"), 2u);       // three bytes each, one unit each
  EXPECT_EQ(Utf16Length("a😀b"), 4u);       // beyond U+FFFF: two units
  EXPECT_EQ(CharCount("a😀b"), 3u);
  EXPECT_EQ(LeftChars("串码12", 3), "串码1");
  EXPECT_EQ(RightChars("串码12", 3), "码12");
  EXPECT_EQ(LeftChars("ab", 5), "ab");
  EXPECT_EQ(ReverseChars("串码12"), "21码串");
  EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16("a😀串")), "a😀串");
  EXPECT_EQ(Utf8ToUtf16("😀").size(), 2u);
  EXPECT_EQ(Utf16Copy("串码ABC", 1, 3), "码AB");
  EXPECT_EQ(Utf16Copy("a😀b", 0, 2), "a");      // half a pair is never cut out
  EXPECT_EQ(Utf16Copy("a😀b", 1, 3), "😀b");
  EXPECT_EQ(Utf16Left("ABCDEF", 3), "ABC");
  EXPECT_EQ(Utf16Right("店铺ABCDEF", 3), "DEF");
  EXPECT_EQ(Utf16Right("AB", 3), "AB");
  EXPECT_EQ(Utf16Copy("AB", 5, 2), "");
  EXPECT_EQ(Utf16Pos("码", "串码"), 2u);
  EXPECT_EQ(Utf16Pos("x", "串码"), 0u);
}

TEST(TextUtf8, RejectsMalformedInput) {
  EXPECT_TRUE(IsValidUtf8("串码 ok"));
  EXPECT_FALSE(IsValidUtf8("\xE4\xB8"));         // cut short
  EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));         // overlong
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));     // surrogate
  EXPECT_THROW(Utf8ToUtf32("\xFF"), EConvertError);
}

TEST(TextCase, AsciiOnlyAndCaseInsensitiveCompare) {
  EXPECT_EQ(UpperCase("abc串z"), "ABC串Z");
  EXPECT_EQ(LowerCase("ABC串Z"), "abc串z");
  EXPECT_TRUE(SameText("F_Code", "f_CODE"));
  EXPECT_FALSE(SameText("F_CODE", "F_CODES"));
  EXPECT_LT(CompareText("abc", "ABD"), 0);
  EXPECT_GT(CompareText("abcd", "ABC"), 0);
  EXPECT_EQ(CompareText("Abc", "aBC"), 0);
  EXPECT_TRUE(ContainsText("Select * From T", "FROM"));
  EXPECT_TRUE(StartsText("sel", "SELECT"));
  EXPECT_TRUE(EndsText("_ID", "f_product_id"));
  EXPECT_FALSE(EndsText("_ID", "D"));
}

TEST(TextBuilding, TrimSplitQuoteReplace) {
  EXPECT_EQ(Trim(" \t\r\n a b \r\n"), "a b");
  EXPECT_EQ(TrimLeft("  a "), "a ");
  EXPECT_EQ(TrimRight("  a "), "  a");
  EXPECT_EQ(QuotedStr("O'K"), "'O''K'");
  EXPECT_EQ(QuotedStr(""), "''");
  EXPECT_EQ(StringReplace("a-b-c", "-", "--"), "a--b--c");
  EXPECT_EQ(StringReplace("Where where", "WHERE", "AND", true), "AND AND");
  EXPECT_EQ(StringReplace("abc", "", "x"), "abc");
  auto pieces = SplitString("F_SHOP, F_BILL_DATE,,x", ",", true);
  ASSERT_EQ(pieces.size(), 4u);
  EXPECT_EQ(pieces[1], "F_BILL_DATE");
  EXPECT_EQ(pieces[2], "");
  EXPECT_EQ(SplitString("", ",").size(), 1u);
  EXPECT_EQ(JoinStrings({"a", "b"}, ", "), "a, b");
}

TEST(TextNumbers, ConversionsAndTheirErrors) {
  EXPECT_EQ(StrToInt(" 42 "), 42);
  EXPECT_EQ(StrToInt("-7"), -7);
  EXPECT_EQ(StrToInt64("9223372036854775807"), INT64_MAX);
  EXPECT_EQ(StrToIntDef("abc", 5), 5);
  EXPECT_EQ(StrToIntDef("3000000000", 5), 5);
  EXPECT_DOUBLE_EQ(StrToFloat("1.5e3"), 1500);
  EXPECT_DOUBLE_EQ(StrToFloatDef("1,5", -1), -1);
  EXPECT_FALSE(TryStrToFloat("inf").has_value());
  EXPECT_FALSE(TryStrToInt64("12.0").has_value());
  try {
    StrToInt("abc");
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "'abc' is not a valid integer value");
  }
  try {
    StrToFloat("x1");
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "'x1' is not a valid floating point value");
  }
}

TEST(TextNumbers, FloatToStrShortestFifteenDigits) {
  EXPECT_EQ(FloatToStr(0.1), "0.1");
  EXPECT_EQ(FloatToStr(2.5), "2.5");
  EXPECT_EQ(FloatToStr(100), "100");
  EXPECT_EQ(FloatToStr(-0.25), "-0.25");
  EXPECT_EQ(FloatToStr(0.1 + 0.2), "0.3");
  EXPECT_EQ(FloatToStr(1e20), "1E20");
  EXPECT_EQ(FloatToStr(0.0001), "0.0001");
  EXPECT_EQ(FloatToStr(0.00001), "1E-5");
  EXPECT_EQ(FloatToStr(123456789012345.0), "123456789012345");
  EXPECT_EQ(FloatToStr(0), "0");
}

}  // namespace
}  // namespace jxc
