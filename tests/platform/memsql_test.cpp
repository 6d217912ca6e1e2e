#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <string>

#include "platform/DataSet.h"
#include "platform/Exceptions.h"
#include "platform/MemSQL.h"

namespace jxc {
namespace {

Currency C(const char* text) { return Currency::Parse(text); }

// A bill's detail: two products, one of them in two colours.
void MakeDetail(TMemTable& d) {
  d.LoadData({{"F_PRODUCT_ID", ftLargeint}, {"F_PRODUCT", ftString, 40}, {"F_QTY", ftInteger}, {"F_PRICE", ftCurrency},
              {"F_PRICE_EMPLOYEE", ftCurrency}, {"F_CONFIG_ID", ftLargeint}, {"F_COLOR_ID", ftLargeint},
              {"F_MODE_NO", ftString, 30}, {"F_PRODUCT_TYPE_ID", ftInteger}, {"F_IN_DATE", ftDateTime}},
             {{11LL, "Mi 14", 1, C("1999.90"), C("1800"), 1LL, 5LL, "860001", 1, TDateTime(45000)},
              {11LL, "Mi 14", 1, C("2000.10"), C("1850"), 1LL, 5LL, "860002", 1, TDateTime(45002)},
              {11LL, "Mi 14", 2, C("10.10"), C("9"), 1LL, 6LL, Variant::Null(), 2, TDateTime(45001)},
              {22LL, "Case", 3, C("20.20"), C("15"), Variant::Null(), 7LL, "860001", 3, Variant::Null()}});
}

TEST(MemSQLTypes, BatchPriceStatementKeepsBooleansCurrencyAndIdentifiers) {
  TMemTable detail;
  MakeDetail(detail);
  TkbmMemSQL sql;
  sql.TablesAdd(detail, "Detail");
  sql.ExecSQL("SELECT  False AS F_SELECT, 0.0 AS F_CE, F_PRODUCT_ID, F_PRODUCT, sum(F_QTY) AS F_QTY, 0.00 AS F_NEW_PRICE, "
              "AVG(F_PRICE) AS F_PRICE, F_CONFIG_ID, F_COLOR_ID, AVG(F_PRICE_EMPLOYEE) AS F_PRICE_EMPLOYEE FROM  Detail "
              "GROUP BY F_PRODUCT_ID, F_PRODUCT, F_CONFIG_ID, F_COLOR_ID");
  ASSERT_TRUE(sql.Active());
  EXPECT_EQ(sql.FieldByName("F_SELECT").DataType(), ftBoolean);
  EXPECT_EQ(sql.FieldByName("F_CE").DataType(), ftFloat);
  EXPECT_EQ(sql.FieldByName("F_NEW_PRICE").DataType(), ftFloat);
  EXPECT_EQ(sql.FieldByName("F_PRODUCT_ID").DataType(), ftLargeint);
  EXPECT_EQ(sql.FieldByName("F_PRODUCT").DataType(), ftString);
  EXPECT_EQ(sql.FieldByName("F_QTY").DataType(), ftInteger);
  EXPECT_EQ(sql.FieldByName("F_PRICE").DataType(), ftFloat);
  EXPECT_EQ(sql.FieldByName("F_COLOR_ID").DataType(), ftLargeint);
  EXPECT_EQ(sql.RecordCount(), 3);
  // Groups come in GROUP BY key order.
  sql.First();
  EXPECT_EQ(sql.FieldByName("F_COLOR_ID").AsLargeInt(), 5);
  EXPECT_EQ(sql.FieldByName("F_QTY").AsInteger(), 2);
  EXPECT_DOUBLE_EQ(sql.FieldByName("F_PRICE").AsFloat(), 2000.0);
  EXPECT_FALSE(sql.FieldByName("F_SELECT").AsBoolean());

  // The result is an editable dataset: select a line, type a new price, filter it.
  sql.Edit();
  sql.FieldByName("F_SELECT").SetAsBoolean(true);
  sql.FieldByName("F_NEW_PRICE").SetText("1888.8");
  sql.Post();
  sql.SetFilter(" F_PRODUCT LIKE '%case%'");
  sql.SetFiltered(true);
  EXPECT_EQ(sql.RecordCount(), 1);
  sql.SetFiltered(false);
  EXPECT_TRUE(sql.Locate("F_SELECT", true));
  EXPECT_DOUBLE_EQ(sql.FieldByName("F_NEW_PRICE").AsFloat(), 1888.8);
}

TEST(MemSQLTypes, ColourStatementTrueLiteralAndRoomForSixtyFourBitIdentifiers) {
  TMemTable detail;
  MakeDetail(detail);
  TkbmMemSQL sql;
  sql.TablesAdd(detail, "Detail");
  sql.ExecSQL("SELECT  True AS F_SELECT, SUM(F_QTY) AS F_QTY,  F_PRODUCT_ID, F_PRODUCT, 0 AS F_NEW_COLOR_ID FROM Detail "
              "GROUP BY F_PRODUCT_ID, F_PRODUCT");
  EXPECT_EQ(sql.FieldByName("F_SELECT").DataType(), ftBoolean);
  EXPECT_TRUE(sql.FieldByName("F_SELECT").AsBoolean());
  EXPECT_EQ(sql.FieldByName("F_NEW_COLOR_ID").DataType(), ftLargeint);
  sql.Edit();
  sql.FieldByName("F_NEW_COLOR_ID").SetAsLargeInt(9007199254740993LL);
  sql.Post();
  EXPECT_EQ(sql.FieldByName("F_NEW_COLOR_ID").AsLargeInt(), 9007199254740993LL);
}

TEST(MemSQLTypes, SumsOfCurrencyStayCurrencyAndExact) {
  TMemTable t;
  std::vector<TRowValues> rows;
  for (int i = 0; i < 100000; ++i) rows.push_back({static_cast<long long>(i % 3), Currency::FromRaw(1 + (i * 7919) % 99999)});
  Currency expected[3];
  for (int i = 0; i < 100000; ++i) expected[i % 3] += Currency::FromRaw(1 + (i * 7919) % 99999);
  t.LoadData({{"F_KIND", ftLargeint}, {"F_MONEY", ftCurrency}}, std::move(rows));
  TkbmMemSQL sql;
  sql.TablesAdd(t, "Result");
  sql.ExecSQL("select F_KIND, Sum(F_MONEY) F_MONEY, MIN(F_MONEY) AS F_LOW, count(*) AS N from Result group by F_KIND order by F_KIND");
  EXPECT_EQ(sql.FieldByName("F_MONEY").DataType(), ftCurrency);
  EXPECT_EQ(sql.FieldByName("F_LOW").DataType(), ftCurrency);
  EXPECT_EQ(sql.FieldByName("N").DataType(), ftInteger);
  for (int k = 0; k < 3; ++k) {
    ASSERT_TRUE(sql.Locate("F_KIND", k));
    EXPECT_EQ(sql.FieldByName("F_MONEY").AsCurrency(), expected[k]) << k;
  }
}

TEST(MemSQLMoney, LargeAmountsAndTheirSumsStayExactOverTheWholeCurrencyRange) {
  // 303 groups of three to five amounts between 1e11 and 2e13, with all four decimals in use.
  std::vector<TRowValues> rows;
  std::vector<Currency> expected(303);
  uint64_t seed = 20250101;
  auto next = [&seed] { return seed = seed * 6364136223846793005ULL + 1442695040888963407ULL; };
  for (int g = 0; g < 303; ++g) {
    const int count = 3 + static_cast<int>(next() >> 62) % 3;
    for (int i = 0; i < count; ++i) {
      const Currency amount = Currency::FromRaw(static_cast<int64_t>(1000000000000000ULL + (next() >> 8) % 199000000000000000ULL));
      rows.push_back({static_cast<long long>(g), amount});
      expected[static_cast<size_t>(g)] += amount;
    }
  }
  rows.push_back({1000LL, C("100945831621.9154")});
  rows.push_back({1001LL, Currency::FromRaw(std::numeric_limits<int64_t>::max())});
  rows.push_back({1002LL, Currency::FromRaw(std::numeric_limits<int64_t>::min())});
  rows.push_back({1003LL, C("922337203685477.3")});
  TMemTable t;
  t.LoadData({{"F_KIND", ftLargeint}, {"F_MONEY", ftCurrency}}, std::move(rows));
  TkbmMemSQL sql;
  sql.TablesAdd(t, "Result");
  sql.ExecSQL("SELECT F_KIND, SUM(F_MONEY) AS F_MONEY, MAX(F_MONEY) AS F_HIGH FROM Result GROUP BY F_KIND");
  ASSERT_EQ(sql.FieldByName("F_MONEY").DataType(), ftCurrency);
  int wrong = 0;
  for (int g = 0; g < 303; ++g) {
    ASSERT_TRUE(sql.Locate("F_KIND", g));
    if (sql.FieldByName("F_MONEY").AsCurrency() != expected[static_cast<size_t>(g)]) ++wrong;
  }
  EXPECT_EQ(wrong, 0) << "of 303 sums";
  const std::pair<long long, const char*> single[] = {
      {1000, "100945831621.9154"}, {1001, "922337203685477.5807"}, {1002, "-922337203685477.5808"}, {1003, "922337203685477.3"}};
  for (const auto& [kind, text] : single) {
    ASSERT_TRUE(sql.Locate("F_KIND", kind));
    EXPECT_EQ(sql.FieldByName("F_MONEY").AsCurrency(), C(text)) << text;
    EXPECT_EQ(sql.FieldByName("F_HIGH").AsCurrency(), C(text)) << text;
  }
  sql.ExecSQL("SELECT F_KIND, F_MONEY FROM Result WHERE F_MONEY > 900000000000000 OR F_KIND = 1000 ORDER BY F_MONEY");
  ASSERT_EQ(sql.RecordCount(), 3);
  EXPECT_EQ(sql.FieldByName("F_MONEY").AsCurrency(), C("100945831621.9154"));
  sql.Last();
  EXPECT_EQ(sql.FieldByName("F_MONEY").AsCurrency(), C("922337203685477.5807"));
}

TEST(MemSQLMoney, SumsOfFloatsAndMixedValuesKeepTheirKind) {
  TMemTable t;
  std::vector<TRowValues> rows;
  for (int i = 0; i < 1000; ++i) rows.push_back({static_cast<long long>(i % 2), i % 2 ? 0.1 : 1e-5, static_cast<long long>(i)});
  t.LoadData({{"F_KIND", ftLargeint}, {"F_RATE", ftFloat}, {"F_QTY", ftLargeint}}, std::move(rows));
  TkbmMemSQL sql;
  sql.TablesAdd(t, "Result");
  sql.ExecSQL("SELECT F_KIND, SUM(F_RATE) AS F_RATE, SUM(F_QTY * 0.5) AS F_HALF FROM Result GROUP BY F_KIND");
  ASSERT_TRUE(sql.Locate("F_KIND", 0));
  EXPECT_EQ(sql.FieldByName("F_RATE").DataType(), ftFloat);
  EXPECT_DOUBLE_EQ(sql.FieldByName("F_RATE").AsFloat(), 0.005);
  EXPECT_DOUBLE_EQ(sql.FieldByName("F_HALF").AsFloat(), 124750.0);
  ASSERT_TRUE(sql.Locate("F_KIND", 1));
  EXPECT_EQ(sql.FieldByName("F_RATE").AsFloat(), 50.0) << "500 times 0.1 adds up to 50 exactly";
}

TEST(MemSQLQueries, DuplicateSerialNumbersOfTheSaveCheck) {
  TMemTable detail;
  MakeDetail(detail);
  TkbmMemSQL sql;
  sql.TablesAdd(detail, "CheckDetail");
  sql.ExecSQL("SELECT   F_MODE_NO  FROM CheckDetail WHERE (F_PRODUCT_TYPE_ID = 1 OR F_PRODUCT_TYPE_ID =  3) "
              "GROUP BY F_MODE_NO Having Count(1) > 1");
  ASSERT_EQ(sql.RecordCount(), 1);
  EXPECT_EQ(sql.FieldByName("F_MODE_NO").AsString(), "860001");
}

TEST(MemSQLQueries, RegistrationIsLiveAndSeesOnlyVisibleRows) {
  TMemTable detail;
  MakeDetail(detail);
  TkbmMemSQL sql;
  sql.TablesAdd(detail, "Result");
  sql.SQL = "SELECT SUM(F_QTY) AS F_QTY, F_PRODUCT, F_COLOR_ID,F_PRODUCT_ID FROM Result GROUP BY F_PRODUCT_ID, F_PRODUCT, F_COLOR_ID";
  sql.Open();
  EXPECT_EQ(sql.RecordCount(), 3);
  detail.SetFilter("F_PRODUCT_ID = 22");
  detail.SetFiltered(true);
  sql.Close();
  detail.Close();  // both closed, then run again on a re-filled detail
  MakeDetail(detail);
  detail.SetFiltered(true);
  sql.Open();
  ASSERT_EQ(sql.RecordCount(), 1);
  EXPECT_EQ(sql.FieldByName("F_QTY").AsInteger(), 3);
  // An empty table still gives the result's columns.
  detail.EmptyTable();
  sql.ExecSQL();
  EXPECT_TRUE(sql.IsEmpty());
  EXPECT_EQ(sql.FieldByName("F_PRODUCT").DataType(), ftString);
}

TEST(MemSQLQueries, MinAndMaxKeepDateTimesAndAFreedTableLeavesTheList) {
  TkbmMemSQL sql;
  {
    TMemTable detail;
    MakeDetail(detail);
    sql.TablesAdd(detail, "d");
    sql.ExecSQL("SELECT MAX(F_IN_DATE) AS LAST_IN, MIN(d.F_IN_DATE) FIRST_IN FROM d");
    EXPECT_EQ(sql.FieldByName("LAST_IN").DataType(), ftDateTime);
    EXPECT_EQ(sql.FieldByName("LAST_IN").AsDateTime(), TDateTime(45002));
    EXPECT_EQ(sql.FieldByName("FIRST_IN").AsDateTime(), TDateTime(45000));
  }
  EXPECT_EQ(sql.TablesCount(), 0);
}

TEST(MemSQLErrors, AStatementThatCannotRunNamesItselfAndKeepsThePreviousResult) {
  TMemTable detail;
  MakeDetail(detail);
  TkbmMemSQL sql;
  sql.TablesAdd(detail, "Detail");
  sql.ExecSQL("SELECT F_PRODUCT_ID FROM Detail");
  const std::string bad = "SELECT F_NOPE FROM Detail";
  try {
    sql.ExecSQL(bad);
    FAIL() << "no error";
  } catch (const EDatabaseError& e) {
    EXPECT_NE(std::string(e.what()).find(bad), std::string::npos) << e.what();
    EXPECT_NE(std::string(e.what()).find("F_NOPE"), std::string::npos) << e.what();
  }
  EXPECT_EQ(sql.RecordCount(), 4);
  EXPECT_THROW(sql.ExecSQL("DELETE FROM Detail"), EDatabaseError);
  EXPECT_THROW(sql.ExecSQL("SELECT 1; SELECT 2"), EDatabaseError);
  EXPECT_THROW(sql.ExecSQL("SELECT * FROM Missing"), EDatabaseError);
}

}  // namespace
}  // namespace jxc
