#include <gtest/gtest.h>

#include "platform/Exceptions.h"
#include "platform/Variant.h"

namespace jxc {
namespace {

template <class F>
std::string ErrorOf(F f) {
  try {
    f();
  } catch (const Exception& e) {
    return e.what();
  }
  return "no error";
}

TEST(VariantKinds, EmptyNullAndScalars) {
  EXPECT_TRUE(Variant().IsEmpty());
  EXPECT_TRUE(Variant::Null().IsNull());
  EXPECT_TRUE(Variant::Null().IsNullOrEmpty());
  EXPECT_EQ(Variant(1).Type(), VarType::Integer);
  EXPECT_EQ(Variant(1LL << 40).Type(), VarType::Int64);
  EXPECT_EQ(Variant(1.5).Type(), VarType::Double);
  EXPECT_EQ(Variant(Currency::FromInt(1)).Type(), VarType::Currency);
  EXPECT_EQ(Variant(TDateTime(1)).Type(), VarType::DateTime);
  EXPECT_EQ(Variant("x").Type(), VarType::String);
  EXPECT_EQ(Variant(true).Type(), VarType::Boolean);
  EXPECT_TRUE(Variant(Currency()).IsNumeric());
  EXPECT_FALSE(Variant("1").IsNumeric());
  EXPECT_TRUE(Variant(TDateTime(1)).IsFloatKind());
  EXPECT_EQ(Variant(size_t{3}).AsInteger(), 3);
  EXPECT_THROW(Variant(~0ULL), EOverflow);
  EXPECT_TRUE(VarIsNull(Variant::Null()));
  EXPECT_EQ(VarToStrDef(Variant::Null(), "-"), "-");
  EXPECT_EQ(VarToStrDef(Variant(0), "-"), "0");
}

TEST(VariantConversions, TextAndNumbers) {
  EXPECT_EQ(Variant("42").AsInteger(), 42);
  EXPECT_EQ(Variant(" -7 ").AsInt64(), -7);
  EXPECT_EQ(Variant(2.5).AsInteger(), 3);
  EXPECT_EQ(Variant(-2.5).AsInteger(), -3);
  EXPECT_EQ(Variant(Currency::Parse("1.5")).AsInteger(), 2);
  EXPECT_EQ(Variant("12.50").AsCurrency(), Currency::Parse("12.5"));
  EXPECT_EQ(Variant(0.1).AsCurrency(), Currency::Parse("0.1"));
  EXPECT_DOUBLE_EQ(Variant("1.25").AsDouble(), 1.25);
  EXPECT_TRUE(Variant("true").AsBoolean());
  EXPECT_FALSE(Variant("FALSE").AsBoolean());
  EXPECT_TRUE(Variant(3).AsBoolean());
  EXPECT_EQ(Variant().AsInteger(), 0);
  EXPECT_EQ(Variant().ToString(), "");
  EXPECT_EQ(Variant("2025-01-02 03:04:05").AsDateTime(), TDateTime(45659) + (3 * 3600 + 4 * 60 + 5) / 86400.0);
}

TEST(VariantConversions, BadConversionsSayWhatFailed) {
  EXPECT_EQ(ErrorOf([] { Variant("abc").AsInteger(); }), "'abc' is not a valid integer value");
  EXPECT_EQ(ErrorOf([] { Variant("abc").AsDouble(); }), "'abc' is not a valid floating point value");
  EXPECT_EQ(ErrorOf([] { Variant("1x").AsCurrency(); }), "'1x' is not a valid currency value");
  EXPECT_EQ(ErrorOf([] { Variant("yes").AsBoolean(); }), "'yes' is not a valid boolean value");
  EXPECT_EQ(ErrorOf([] { Variant("2025-13-01").AsDateTime(); }), "'2025-13-01' is not a valid date and time");
  EXPECT_EQ(ErrorOf([] { Variant::Null().AsInteger(); }),
            "Could not convert variant of type (Null) into type (Integer)");
  EXPECT_EQ(ErrorOf([] { Variant::Null().AsCurrency(); }),
            "Could not convert variant of type (Null) into type (Currency)");
  EXPECT_THROW(Variant("3000000000").AsInteger(), EOverflow);
  EXPECT_THROW(Variant(1e30).AsInt64(), EOverflow);
  EXPECT_THROW(Variant("abc").AsInteger(), EConvertError);
  EXPECT_EQ(Variant::Null().ToString(), "");
}

TEST(VariantText, TextFormsOfEveryKind) {
  EXPECT_EQ(Variant(true).ToString(), "True");
  EXPECT_EQ(Variant(-5).ToString(), "-5");
  EXPECT_EQ(Variant(9007199254740993LL).ToString(), "9007199254740993");
  EXPECT_EQ(Variant(0.1).ToString(), "0.1");
  EXPECT_EQ(Variant(Currency::Parse("12.50")).ToString(), "12.5");
  EXPECT_EQ(Variant(TDateTime(45658)).ToString(), "2025-01-01");
  EXPECT_EQ(Variant(TDateTime(45658.5)).ToString(), "2025-01-01 12:00:00");
  EXPECT_EQ(Variant::Array({1, "a", Variant::Null()}).ToString(), "1,a,");
}

TEST(VariantEquality, ByValueAcrossKinds) {
  EXPECT_EQ(Variant(1), Variant(1.0));
  EXPECT_EQ(Variant(1), Variant(Currency::FromInt(1)));
  EXPECT_EQ(Variant(1LL), Variant(1));
  EXPECT_EQ(Variant("1.5"), Variant(1.5));
  EXPECT_EQ(Variant(Currency::Parse("0.1")), Variant(0.1));
  EXPECT_FALSE(Variant("abc") == Variant(0));
  EXPECT_FALSE(Variant::Null() == Variant(0));
  EXPECT_FALSE(Variant::Null() == Variant());
  EXPECT_EQ(Variant::Null(), Variant::Null());
  EXPECT_FALSE(Variant("A") == Variant("a"));
  EXPECT_EQ(Variant(true), Variant("True"));
  EXPECT_EQ(Variant::Array({1, "x"}), Variant::Array({1.0, "x"}));
  EXPECT_FALSE(Variant::Array({1}) == Variant::Array({1, 2}));
  // 64-bit identifiers beyond double precision stay distinct.
  EXPECT_FALSE(Variant(9007199254740993LL) == Variant(9007199254740992LL));
}

TEST(VariantOrdering, NullFirstThenNumbersDatesStrings) {
  EXPECT_EQ(CompareVariants(Variant::Null(), Variant(-100)), std::weak_ordering::less);
  EXPECT_EQ(CompareVariants(Variant(2), Variant(Currency::Parse("1.9999"))), std::weak_ordering::greater);
  EXPECT_EQ(CompareVariants(Variant(1), Variant(1.0)), std::weak_ordering::equivalent);
  EXPECT_EQ(CompareVariants(Variant(5), Variant("1")), std::weak_ordering::less);
  EXPECT_EQ(CompareVariants(Variant("B"), Variant("a")), std::weak_ordering::less);
  EXPECT_EQ(CompareVariants(Variant(false), Variant(true)), std::weak_ordering::less);
}

TEST(VariantArrays, AccessAndBounds) {
  Variant a = Variant::Array({1, "two"});
  EXPECT_EQ(a.ArrayCount(), 2u);
  EXPECT_EQ(a[1].ToString(), "two");
  EXPECT_THROW(a[2], EArgumentError);
  EXPECT_THROW(Variant(1).Elements(), EArgumentError);
  EXPECT_THROW(a.AsInteger(), EConvertError);
}

}  // namespace
}  // namespace jxc
