#include <gtest/gtest.h>

#include <map>
#include <string>

#include "platform/DataFilter.h"
#include "platform/Exceptions.h"
#include "platform/Text.h"

namespace jxc {
namespace {

// A record of named values; field numbers follow the order of the names below.
const std::vector<std::string> kNames = {"F_CODE", "F_NAME", "F_PY", "F_ID", "F_PARENTID", "F_PRICE", "F_SELECT", "F_DATE"};

struct Row : IFilterRecord {
  std::map<std::string, Variant> values;
  Variant FieldValue(int field) const override {
    auto it = values.find(kNames[static_cast<size_t>(field)]);
    return it == values.end() ? Variant::Null() : it->second;
  }
};

int Resolve(std::string_view name) {
  for (size_t i = 0; i < kNames.size(); ++i) {
    if (SameText(kNames[i], name)) return static_cast<int>(i);
  }
  return -1;
}

bool Accepts(const std::string& text, const Row& row) { return TFilterExpression::Parse(text, Resolve)->Accepts(row); }

Row Product() {
  Row r;
  r.values = {{"F_CODE", "sp-001"}, {"F_NAME", "小米 Note"}, {"F_PY", "XMN"}, {"F_ID", 7LL}, {"F_PARENTID", 3LL},
              {"F_PRICE", Currency::Parse("10.50")}, {"F_SELECT", true}, {"F_DATE", TDateTime(45658.5)}};
  return r;
}

TEST(FilterLike, CaseInsensitiveWithPercentAndUnderscoreOverCharacters) {
  const Row r = Product();
  EXPECT_TRUE(Accepts(" F_CODE LIKE '%SP%' OR F_NAME LIKE  '%SP%'  OR F_PY LIKE '%SP%' ", r));
  EXPECT_TRUE(Accepts("F_NAME like '小_ n%'", r));  // '_' takes one whole character
  EXPECT_FALSE(Accepts("F_NAME LIKE '小_'", r));
  EXPECT_TRUE(Accepts("F_CODE LIKE 'sp-00_'", r));
  EXPECT_FALSE(Accepts("F_CODE LIKE 'sp-0'", r));
  EXPECT_TRUE(Accepts("F_CODE NOT LIKE '%X%'", r));
  EXPECT_TRUE(LikeMatches("abcabd", "%ab_"));
  EXPECT_TRUE(LikeMatches("", "%%"));
  EXPECT_FALSE(LikeMatches("abc", "%b"));
}

TEST(FilterCompare, NumbersTextAndTheLowerCaseOrOfTreeScreens) {
  const Row r = Product();
  EXPECT_TRUE(Accepts("F_ID=7 or F_PARENTID =7", r));
  EXPECT_TRUE(Accepts("  F_ID = 7 AND F_PARENTID = 3 AND F_PRICE = 10.5", r));
  EXPECT_TRUE(Accepts("F_PRICE > 10 AND F_PRICE <= 10.50 AND F_PRICE <> 11", r));
  EXPECT_TRUE(Accepts("F_ID = '7'", r));  // a number and a numeric text compare as numbers
  EXPECT_FALSE(Accepts("F_CODE = 'SP-001'", r));  // '=' compares text exactly
  EXPECT_TRUE(Accepts("F_SELECT", r));
  EXPECT_TRUE(Accepts("F_SELECT = TRUE", r));
  EXPECT_TRUE(Accepts("F_DATE >= '2025-01-01' AND F_DATE < '2025-01-02'", r));
  EXPECT_TRUE(Accepts("NOT (F_ID > 7) AND (F_ID < 0 OR F_ID IN (1, 7))", r));
  EXPECT_TRUE(Accepts("F_ID >= -1", r));
}

TEST(FilterQuotes, DoubledQuotesInsideLiteralsAndBracketedNames) {
  Row r;
  r.values = {{"F_NAME", "O'Brien's"}};
  EXPECT_TRUE(Accepts("F_NAME = 'O''Brien''s'", r));
  EXPECT_TRUE(Accepts("[F_NAME] LIKE '%''s'", r));
  EXPECT_FALSE(Accepts("F_NAME = 'O''Brien'", r));
}

TEST(FilterNulls, NullNeverMatchesAComparisonAndNotKeepsItUnknown) {
  Row r;  // every field null
  r.values = {{"F_PY", ""}};
  EXPECT_FALSE(Accepts("F_CODE LIKE '%%'", r));  // "every row with a code": null rows are out
  EXPECT_TRUE(Accepts("F_PY LIKE '%%'", r));     // "" is a value
  EXPECT_FALSE(Accepts("F_ID = 0", r));
  EXPECT_FALSE(Accepts("F_ID <> 0", r));
  EXPECT_FALSE(Accepts("NOT (F_ID = 0)", r));
  EXPECT_TRUE(Accepts("F_ID IS NULL AND F_PY IS NOT NULL", r));
  EXPECT_TRUE(Accepts("F_ID = 1 OR F_ID IS NULL", r));
  EXPECT_FALSE(Accepts("F_ID = NULL", r));
  EXPECT_TRUE(Accepts("   ", r));  // blank text accepts everything
}

TEST(FilterErrors, UnparsableTextRaisesAClearErrorNamingTheText) {
  const char* bad[] = {"F_CODE LIKE",        "F_CODE = 'open",   "(F_ID = 1",     "F_ID = 1)",    "F_ID == 1 AND",
                       "F_ID IS 1",          "F_NOPE = 1",       "AND F_ID = 1", "F_ID = 1 F_PY", "F_ID ! 1",
                       "F_ID IN (1, 2",      "F_ID # 2"};
  for (const char* text : bad) {
    try {
      TFilterExpression::Parse(text, Resolve);
      ADD_FAILURE() << "accepted: " << text;
    } catch (const EDatabaseError& e) {
      const std::string message = e.what();
      EXPECT_EQ(message.find("Invalid filter expression '" + std::string(text) + "'"), 0u) << message;
    }
  }
  try {
    TFilterExpression::Parse("F_NOPE = 1", Resolve);
  } catch (const EDatabaseError& e) {
    EXPECT_NE(std::string(e.what()).find("unknown field 'F_NOPE'"), std::string::npos);
  }
}

TEST(FilterCompare, ATextValueAgainstANumericFieldComparesAsANumber) {
  Row r;
  r.values = {{"F_ID", 150LL}, {"F_PRICE", Currency::Parse("4999")}, {"F_CODE", "150"}};
  EXPECT_TRUE(Accepts("F_ID >= '100'", r));
  EXPECT_FALSE(Accepts("F_ID <= '100'", r));
  EXPECT_TRUE(Accepts("'100' <= F_ID", r));
  EXPECT_TRUE(Accepts("F_ID = ' 150 '", r));
  EXPECT_TRUE(Accepts("F_ID < '150.5' AND F_ID > '149.5'", r));
  EXPECT_FALSE(Accepts("F_PRICE = '4999.00004'", r)) << "a fifth decimal is not rounded away";
  EXPECT_TRUE(Accepts("F_PRICE < '4999.00004'", r));
  EXPECT_TRUE(Accepts("F_PRICE = '4,999.0000'", r));
  EXPECT_FALSE(Accepts("F_ID > 'abc'", r));
  EXPECT_FALSE(Accepts("F_ID <> 'abc'", r)) << "a text that is no number cannot be compared: unknown";
  EXPECT_TRUE(Accepts("F_CODE >= 100", r)) << "a numeric text against a number compares as a number";
  EXPECT_FALSE(Accepts("F_CODE >= '2'", r)) << "text against text stays text";
}

TEST(FilterErrors, NestingDeeperThanTheLimitIsRefusedBeforeItExhaustsTheStack) {
  const Row r = Product();
  auto nested = [](int levels, const std::string& open, const std::string& close) {
    std::string text;
    for (int i = 0; i < levels; ++i) text += open;
    text += "F_ID = 7";
    for (int i = 0; i < levels; ++i) text += close;
    return text;
  };
  EXPECT_TRUE(Accepts(nested(150, "(", ")"), r));
  EXPECT_TRUE(Accepts(nested(100, "NOT NOT ", ""), r));  // 200 levels: the most accepted
  const std::string inputs[] = {nested(20000, "(", ")"), nested(100000, "NOT ", ""), nested(20000, "(", ""),
                                nested(150, "NOT (", ")")};
  for (const std::string& text : inputs) {
    try {
      TFilterExpression::Parse(text, Resolve);
      ADD_FAILURE() << "accepted " << text.size() << " characters";
    } catch (const EDatabaseError& e) {
      EXPECT_NE(std::string(e.what()).find("nested deeper than 200 levels"), std::string::npos) << e.what();
    }
  }
}

}  // namespace
}  // namespace jxc
