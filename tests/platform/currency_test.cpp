#include <gtest/gtest.h>

#include <limits>

#include "platform/Currency.h"
#include "platform/Exceptions.h"

namespace jxc {
namespace {

Currency C(const char* text) { return Currency::Parse(text); }

TEST(CurrencySums, ManyFourDecimalAmountsStayExact) {
  // 100,000 prices of 0.0001 .. 9.9999 summed one by one: the double sum drifts, the currency sum must not.
  Currency total;
  double drifting = 0;
  int64_t expectedRaw = 0;
  for (int i = 0; i < 100000; ++i) {
    Currency price = Currency::FromRaw(1 + (i * 7919) % 99999);
    total += price;
    drifting += price.ToDouble();
    expectedRaw += price.Raw();
  }
  EXPECT_EQ(total.Raw(), expectedRaw);
  Currency tenths;
  for (int i = 0; i < 1000000; ++i) tenths += C("0.1");
  EXPECT_EQ(tenths, Currency::FromInt(100000));
  EXPECT_EQ(C("0.1") + C("0.2"), C("0.3"));
}

TEST(CurrencyRounding, ProductsAndQuotientsRoundHalfAwayFromZero) {
  EXPECT_EQ(C("1.0001") * C("0.5"), C("0.5001"));      // 0.50005 -> 0.5001
  EXPECT_EQ(C("-1.0001") * C("0.5"), C("-0.5001"));    // away from zero on the negative side too
  EXPECT_EQ(C("1.0001") * C("0.4"), C("0.4"));         // 0.40004 -> 0.4
  EXPECT_EQ(C("12.5") * 3, C("37.5"));
  EXPECT_EQ(C("10") / 3, C("3.3333"));
  EXPECT_EQ(C("20") / 3, C("6.6667"));
  EXPECT_EQ(C("0.0005") / 10, C("0.0001"));          // 0.00005 -> 0.0001
  EXPECT_EQ(C("-0.0005") / 10, C("-0.0001"));
  EXPECT_EQ(C("2.345").Rounded(2), C("2.35"));
  EXPECT_EQ(C("-2.345").Rounded(2), C("-2.35"));
  EXPECT_EQ(C("2.5").Rounded(0), C("3"));
  EXPECT_DOUBLE_EQ(C("10") / C("4"), 2.5);
  EXPECT_EQ(C("3.3333") * 1.5, C("5"));  // 4.99995 -> 5
}

TEST(CurrencyRounding, DoublesRoundOnTheirDecimalValue) {
  EXPECT_EQ(Currency::FromDouble(2.00005), C("2.0001"));
  EXPECT_EQ(Currency::FromDouble(-2.00005), C("-2.0001"));
  EXPECT_EQ(Currency::FromDouble(0.1 + 0.2), C("0.3"));
  EXPECT_EQ(Currency::FromDouble(1.23454), C("1.2345"));
  EXPECT_EQ(Currency::FromDouble(1e-9), Currency());
  EXPECT_THROW(Currency::FromDouble(std::numeric_limits<double>::quiet_NaN()), EConvertError);
}

TEST(CurrencyRounding, ProductsWithADoubleAreDecimalProducts) {
  // 2.675 is stored as 2.67499999...; the amount times the decimal 2.675 is 17558.40575, which rounds up.
  EXPECT_EQ(C("6563.89") * 2.675, C("17558.4058"));
  EXPECT_EQ(C("-6563.89") * 2.675, C("-17558.4058"));
  EXPECT_EQ(C("6563.89") * -2.675, C("-17558.4058"));
  EXPECT_EQ(C("100") * 0.175, C("17.5"));
  EXPECT_EQ(C("1.0001") * 0.5, C("0.5001"));
  EXPECT_EQ(C("0.0001") * 0.4999, C("0"));
  EXPECT_EQ(C("19.99") * 3.0, C("59.97"));
  EXPECT_EQ(C("123456789.1234") * 1e-30, C("0"));
  EXPECT_EQ(C("0.0001") * 1e10, C("1000000"));
  Currency max = Currency::FromRaw(std::numeric_limits<int64_t>::max());
  EXPECT_EQ(max * 1.0, max);
  EXPECT_EQ(max * 0.5, C("461168601842738.7904"));
  EXPECT_THROW(max * 1.0001, EOverflow);
  EXPECT_THROW(C("1") * 1e300, EOverflow);
  EXPECT_THROW(C("1") * std::numeric_limits<double>::infinity(), EOverflow);
  EXPECT_THROW(C("1") * std::numeric_limits<double>::quiet_NaN(), EConvertError);
  EXPECT_EQ(Currency::FromDouble(6563.89 * 2.675), C("17558.4058")) << "the same reading as a double's";
}

TEST(CurrencyOverflow, RaisesInsteadOfWrapping) {
  Currency max = Currency::FromRaw(std::numeric_limits<int64_t>::max());
  Currency min = Currency::FromRaw(std::numeric_limits<int64_t>::min());
  EXPECT_THROW(max + Currency::FromRaw(1), EOverflow);
  EXPECT_THROW(min - Currency::FromRaw(1), EOverflow);
  EXPECT_THROW(-min, EOverflow);
  EXPECT_THROW(max * 2, EOverflow);
  EXPECT_THROW(max * C("1.0001"), EOverflow);
  EXPECT_THROW(min / -1, EOverflow);
  EXPECT_THROW(Currency::FromInt(922337203685478LL), EOverflow);
  EXPECT_THROW(Currency::FromDouble(1e20), EOverflow);
  // Doubles within 0.5 of the limit fit although their 15-digit reading (…478) does not.
  EXPECT_EQ(Currency::FromDouble(922337203685477.5), C("922337203685477.5"));
  EXPECT_EQ(Currency::FromDouble(-922337203685477.5), C("-922337203685477.5"));
  EXPECT_THROW(Currency::FromDouble(922337203685477.625), EOverflow);
  EXPECT_EQ(Currency::FromBinaryValue(922337203685477.5), C("922337203685477.5"));
  EXPECT_EQ(Currency::FromBinaryValue(2.675), C("2.675"));
  EXPECT_EQ(Currency::FromBinaryValue(-0.00005), C("-0.0001"));
  EXPECT_FALSE(Currency::FromBinaryValue(922337203685477.625).has_value());
  EXPECT_FALSE(Currency::FromBinaryValue(std::numeric_limits<double>::infinity()).has_value());
  EXPECT_THROW(C("922337203685478"), EOverflow);
  EXPECT_EQ(C("922337203685477.5807"), max);
  EXPECT_EQ(C("-922337203685477.5808"), min);
  EXPECT_THROW(C("1") / 0, EConvertError);
  EXPECT_THROW(C("1") / Currency(), EConvertError);
}

TEST(CurrencyText, ParsesPlainDecimalsAndRejectsTheRest) {
  EXPECT_EQ(C(" 12 ").Raw(), 120000);
  EXPECT_EQ(C("-0.5").Raw(), -5000);
  EXPECT_EQ(C("+1,234.5678").Raw(), 12345678);
  EXPECT_EQ(C(".5").Raw(), 5000);
  EXPECT_EQ(C("1.23456").Raw(), 12346);
  EXPECT_EQ(C("-1.23455").Raw(), -12346);
  for (const char* bad : {"", "abc", "1.2.3", "1,", ",1", "1e5", "- 1", "12a", "."})
    EXPECT_FALSE(Currency::TryParse(bad).has_value()) << bad;
  try {
    C("abc");
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "'abc' is not a valid currency value");
  }
}

TEST(CurrencyText, ShortestTextUpToFourDecimals) {
  EXPECT_EQ(C("12.5").ToString(), "12.5");
  EXPECT_EQ(C("100").ToString(), "100");
  EXPECT_EQ(C("-0.0001").ToString(), "-0.0001");
  EXPECT_EQ(Currency().ToString(), "0");
  EXPECT_EQ(Currency::FromRaw(std::numeric_limits<int64_t>::min()).ToString(), "-922337203685477.5808");
  EXPECT_EQ(C("-12.34").Trunc(), -12);
}

}  // namespace
}  // namespace jxc
