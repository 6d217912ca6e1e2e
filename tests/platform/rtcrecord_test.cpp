#include <gtest/gtest.h>

#include "platform/Exceptions.h"
#include "platform/RtcRecord.h"

namespace jxc {
namespace {

const char* kConfig = R"({
  "UI_DETAIL_CONFIG": {"PARAMS": {"zPage": {"STATUS": "1"}, "aPage": {"STATUS": "0"}}},
  "F_BILL_TYPE": 12, "F_BIG": 9007199254740993, "F_RATE": 0.5, "F_ON": true, "F_FLAG": "True",
  "F_TEXT": "单据", "F_NUMTEXT": "42", "F_NULL": null, "F_LIST": [1, "two", {"x": 1}, [3]]
})";

TEST(RtcRecord, KeepsMemberOrderAsWritten) {
  const TRtcRecord doc = TRtcRecord::FromJSON(kConfig);
  const TRtcRecord pages = doc.AsRecord("UI_DETAIL_CONFIG").AsRecord("PARAMS");
  ASSERT_EQ(pages.Count(), 2);
  EXPECT_EQ(pages.NameAt(0), "zPage");  // the first member, not the alphabetically first
  EXPECT_EQ(pages.NameAt(1), "aPage");
  EXPECT_EQ(doc.NameAt(0), "UI_DETAIL_CONFIG");
  EXPECT_THROW(pages.NameAt(2), EArgumentError);
}

TEST(RtcRecord, TypedReadsAndTheTextFormOfAnyScalar) {
  const TRtcRecord doc = TRtcRecord::FromJSON(kConfig);
  EXPECT_EQ(doc.AsInteger("F_BILL_TYPE"), 12);
  EXPECT_EQ(doc.AsLargeInt("F_BIG"), 9007199254740993LL);  // no trip through double
  EXPECT_EQ(doc.AsText("F_BIG"), "9007199254740993");
  EXPECT_EQ(doc.AsInteger("F_NUMTEXT"), 42);
  EXPECT_DOUBLE_EQ(doc.AsFloat("F_RATE"), 0.5);
  EXPECT_EQ(doc.AsText("F_RATE"), "0.5");
  EXPECT_TRUE(doc.AsBoolean("F_ON"));
  EXPECT_TRUE(doc.GetBoolean("F_FLAG"));
  EXPECT_EQ(doc.AsText("F_ON"), "True");
  EXPECT_EQ(doc.AsString("F_TEXT"), "单据");
  EXPECT_EQ(doc.AsString("F_BILL_TYPE"), "");  // not a string
  EXPECT_TRUE(doc.IsObject("UI_DETAIL_CONFIG"));
  EXPECT_TRUE(doc.IsNull("F_NULL"));
  const std::vector<Variant> list = doc.AsArray("F_LIST");
  ASSERT_EQ(list.size(), 4u);
  EXPECT_EQ(list[0].AsInteger(), 1);
  EXPECT_EQ(list[1].ToString(), "two");
  EXPECT_EQ(list[2].ToString(), R"({"x":1})");
}

TEST(RtcRecord, MissingKeysAndWrongKindsReadAsEmptyZeroOrFalse) {
  const TRtcRecord doc = TRtcRecord::FromJSON(kConfig);
  EXPECT_EQ(doc.AsString("F_NOPE"), "");
  EXPECT_EQ(doc.AsText("F_NOPE"), "");
  EXPECT_EQ(doc.AsInteger("F_NOPE"), 0);
  EXPECT_EQ(doc.AsLargeInt("F_TEXT"), 0);
  EXPECT_FALSE(doc.AsBoolean("F_NOPE"));
  EXPECT_FALSE(doc.Exists("f_bill_type"));  // keys match exactly
  EXPECT_EQ(doc.AsRecord("F_TEXT").Count(), 0);
  EXPECT_TRUE(doc.AsArray("F_NOPE").empty());
  EXPECT_TRUE(doc.AsVariant("F_NOPE").IsNull());
}

TEST(RtcRecord, MalformedJsonRaisesAClearError) {
  for (const char* bad : {"", "{", "{\"a\": }", "{'a': 1}", "[1, 2]", "\"text\"", "{\"a\": 1} trailing", "{\"a\": 01}"}) {
    try {
      TRtcRecord::FromJSON(bad);
      ADD_FAILURE() << "accepted: " << bad;
    } catch (const EConvertError& e) {
      EXPECT_EQ(std::string(e.what()).rfind("Invalid JSON: ", 0), 0u) << e.what();
    }
  }
}

TEST(RtcRecord, NestingDeeperThanTheLimitIsRefusedBeforeItExhaustsTheStack) {
  auto nested = [](int levels, const char* open, const char* close) {
    std::string text = "{\"A\": ";
    for (int i = 0; i < levels; ++i) text += open;
    text += "1";
    for (int i = 0; i < levels; ++i) text += close;
    return text + "}";
  };
  // 255 levels inside the document's own object: the deepest accepted.
  const TRtcRecord deepest = TRtcRecord::FromJSON(nested(255, "[", "]"));
  EXPECT_TRUE(deepest.IsArray("A"));
  EXPECT_EQ(TRtcRecord::FromJSON(deepest.ToJSON()).AsVariant("A").ArrayCount(), 1u);
  EXPECT_EQ(TRtcRecord::FromJSON(nested(255, "{\"B\": ", "}")).AsRecord("A").Count(), 1);
  // Brackets inside strings are text, not nesting.
  EXPECT_EQ(TRtcRecord::FromJSON("{\"A\": \"" + std::string(100000, '[') + "\\\"]\"}").AsString("A").size(), 100002u);
  for (const std::string& text : {nested(100000, "[", "]"), nested(256, "[", "]"), nested(100000, "{\"B\": ", "}"),
                                   nested(100000, "[", "")}) {
    try {
      TRtcRecord::FromJSON(text);
      ADD_FAILURE() << "accepted " << text.size() << " characters";
    } catch (const EConvertError& e) {
      EXPECT_EQ(std::string(e.what()), "Invalid JSON: objects and arrays nested deeper than 256 levels");
    }
  }
}

TEST(RtcRecord, WrittenValuesRoundTripInOrder) {
  TRtcRecord r;
  r.SetValue("B", Variant(std::string("x")));
  r.SetValue("A", Variant(5));
  r.SetValue("C", Variant(Currency::Parse("1.25")));
  TRtcRecord nested;
  nested.SetValue("k", Variant(true));
  r.SetRecord("N", nested);
  const TRtcRecord back = TRtcRecord::FromJSON(r.ToJSON());
  EXPECT_EQ(back.NameAt(0), "B");
  EXPECT_EQ(back.AsInteger("A"), 5);
  EXPECT_EQ(back.AsText("C"), "1.25");
  EXPECT_TRUE(back.AsRecord("N").AsBoolean("k"));
  r.Remove("B");
  EXPECT_EQ(r.NameAt(0), "A");
}

}  // namespace
}  // namespace jxc
