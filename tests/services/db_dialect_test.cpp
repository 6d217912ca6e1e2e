// The dialect adapter: server-dialect statements in, SQLite statements out; literals never touched.
#include <gtest/gtest.h>

#include <random>

#include "services/SqlDialect.h"
#include "platform/Exceptions.h"

namespace jxc {
namespace {

std::string Squash(std::string text) {
  std::string result;
  for (char c : text) {
    if (c == ' ' && (result.empty() || result.back() == ' ')) continue;
    result += c;
  }
  while (!result.empty() && result.back() == ' ') result.pop_back();
  return result;
}

std::string Adapt(const TSqlDialect& dialect, const std::string& sql) { return Squash(dialect.AdaptOne(sql).Sql); }

// The message with which the text is refused; empty when it is adapted.
std::string Refusal(const TSqlDialect& dialect, const std::string& sql) {
  try {
    dialect.Adapt(sql);
  } catch (const EDatabaseError& e) {
    return e.what();
  }
  return "";
}

TEST(SqlTokenizer, JoiningTheTokensGivesTheTextBack) {
  const std::string sql = "SELECT [a b], \"c\" FROM t -- note 'x\n WHERE s = 'it''s' /* c */ AND n >= 1.5e3";
  std::string joined;
  for (const auto& t : TokenizeSql(sql)) joined += t.text;
  EXPECT_EQ(joined, sql);
}

TEST(SqlTokenizer, UnterminatedStringIsRefusedQuotingTheStatement) {
  try {
    TokenizeSql("SELECT 'abc FROM t");
    FAIL();
  } catch (const EDatabaseError& e) {
    EXPECT_NE(std::string(e.what()).find("SELECT 'abc FROM t"), std::string::npos);
  }
}

TEST(SqlDialect, TableHintsAndSchemaPrefixesAreDropped) {
  TSqlDialect d;
  EXPECT_EQ(Adapt(d, "SELECT * FROM TB_SHOP WITH(nolock) WHERE F_ID = 1"), "SELECT * FROM TB_SHOP WHERE F_ID = 1");
  EXPECT_EQ(Adapt(d, "SELECT * FROM TB_SHOP a WITH (NOLOCK, ROWLOCK) , dbo.TB_X b (nolock)"),
            "SELECT * FROM TB_SHOP a , TB_X b");
  EXPECT_EQ(Adapt(d, "SELECT 'WITH(nolock) dbo.x' AS F_T"), "SELECT 'WITH(nolock) dbo.x' AS F_T");
}

TEST(SqlDialect, TopBecomesLimitOfItsOwnSelect) {
  TSqlDialect d;
  EXPECT_EQ(Adapt(d, "SELECT TOP 10 a.F_MODE_NO FROM T a WHERE F_MID = 1 "), "SELECT a.F_MODE_NO FROM T a WHERE F_MID = 1 LIMIT 10");
  EXPECT_EQ(Adapt(d, "SELECT F_ID FROM T WHERE F_ID = (SELECT TOP 1 F_ID FROM U ORDER BY F_ID DESC)"),
            "SELECT F_ID FROM T WHERE F_ID = (SELECT F_ID FROM U ORDER BY F_ID DESC LIMIT 1)");
  EXPECT_EQ(Adapt(d, "SELECT DISTINCT TOP (5) F_ID FROM T"), "SELECT DISTINCT F_ID FROM T LIMIT 5");
  EXPECT_THROW(d.AdaptOne("SELECT TOP 10 PERCENT F_ID FROM T"), EDatabaseError);
  EXPECT_THROW(d.AdaptOne("SELECT TOP 1 F_ID FROM T UNION SELECT F_ID FROM U"), EDatabaseError);
}

TEST(SqlDialect, AliasAssignmentsBecomeAsAliases) {
  TSqlDialect d;
  EXPECT_EQ(Adapt(d, "SELECT F_ID=cast(F_CODE AS INTEGER), F_NAME FROM TB_DICT_ITEM"),
            "SELECT cast(F_CODE AS INTEGER) AS F_ID, F_NAME FROM TB_DICT_ITEM");
  EXPECT_EQ(Adapt(d, "SELECT F_ID, F_EMPLOYEE = (SELECT F_NAME FROM E WHERE F_ID = F_EMPLOYEE_ID) ,F_X FROM C WHERE F_A = 1"),
            "SELECT F_ID, (SELECT F_NAME FROM E WHERE F_ID = F_EMPLOYEE_ID) AS F_EMPLOYEE ,F_X FROM C WHERE F_A = 1");
}

TEST(SqlDialect, PlusJoinsTextsOnlyWhenAnOperandIsText) {
  TSqlDialect d;
  d.SetColumnKinds([](std::string_view name) {
    return name == "F_NAME" || name == "F_CODE" ? TSqlValueKind::Text : TSqlValueKind::Unknown;
  });
  EXPECT_EQ(Adapt(d, "SELECT F_NAME + '-' + F_CODE AS F_T, F_QTY + 1 AS F_N FROM T"),
            "SELECT F_NAME || '-' || F_CODE AS F_T, F_QTY + 1 AS F_N FROM T");
  EXPECT_EQ(Adapt(d, "SELECT a.F_CODE + a.F_NAME FROM T a WHERE F_PRICE + F_COST > 1"),
            "SELECT a.F_CODE || a.F_NAME FROM T a WHERE F_PRICE + F_COST > 1");
  EXPECT_EQ(Adapt(d, "SELECT CAST(F_QTY AS VARCHAR(10)) + 'x'"), "SELECT CAST(F_QTY AS VARCHAR(10)) || 'x'");
}

TEST(SqlDialect, FunctionsAndCastsKeepTheServersResults) {
  TSqlDialect d;
  EXPECT_EQ(Adapt(d, "SELECT ISNULL(F_QTY, 0) FROM T"), "SELECT IFNULL(F_QTY, 0) FROM T");
  EXPECT_EQ(Adapt(d, "SELECT CAST(F_EMPLOYEE_MONEY /F_QTY AS DECIMAL(10, 2)) F_PRICE_EMPLOYEE FROM T"),
            "SELECT ROUND(CAST(F_EMPLOYEE_MONEY /F_QTY AS REAL ),2) F_PRICE_EMPLOYEE FROM T");
  // A date written as text becomes the stored form of date-times; a date of a date-time keeps the day.
  EXPECT_EQ(Adapt(d, "SELECT CAST('2025-01-31' AS DATETIME)"), "SELECT ('2025-01-31 00:00:00' )");
  EXPECT_EQ(Adapt(d, "SELECT CAST(F_BILL_DATE AS DATE)"), "SELECT strftime('%Y-%m-%d 00:00:00', F_BILL_DATE )");
  EXPECT_EQ(Adapt(d, "SELECT N'文本'"), "SELECT '文本'");
}

TEST(SqlDialect, SuffixSearchBecomesAnIndexedRange) {
  TSqlDialect d;
  EXPECT_EQ(Adapt(d, "SELECT * FROM V WHERE  reverse(F_MODE_NO) LIKE '54321%'"),
            "SELECT * FROM V WHERE (reverse(F_MODE_NO) COLLATE NOCASE >= '54321' AND reverse(F_MODE_NO) COLLATE NOCASE < "
            "'54322' AND reverse(F_MODE_NO) LIKE '54321%')");
  // wildcards inside the pattern keep the plain LIKE
  EXPECT_EQ(Adapt(d, "SELECT * FROM V WHERE reverse(F_MODE_NO) LIKE '5_3%'"),
            "SELECT * FROM V WHERE reverse(F_MODE_NO) LIKE '5_3%'");
  // escaped wildcards are characters of the prefix; the escape clause stays with the LIKE
  EXPECT_EQ(Adapt(d, "SELECT * FROM V WHERE reverse(F_MODE_NO) LIKE '5\\_3%' ESCAPE '\\' AND F_QTY > 0"),
            "SELECT * FROM V WHERE (reverse(F_MODE_NO) COLLATE NOCASE >= '5_3' AND reverse(F_MODE_NO) COLLATE NOCASE < "
            "'5_4' AND reverse(F_MODE_NO) LIKE '5\\_3%' ESCAPE '\\') AND F_QTY > 0");
  EXPECT_EQ(Adapt(d, "SELECT * FROM V WHERE reverse(F_MODE_NO) LIKE '5\\%' ESCAPE '\\'"),
            "SELECT * FROM V WHERE reverse(F_MODE_NO) LIKE '5\\%' ESCAPE '\\'") << "no wildcard at the end";
  EXPECT_EQ(Adapt(d, "SELECT * FROM V WHERE reverse(F_MODE_NO) LIKE '5\\_3_%' ESCAPE '\\'"),
            "SELECT * FROM V WHERE reverse(F_MODE_NO) LIKE '5\\_3_%' ESCAPE '\\'");
}

TEST(SqlDialect, MacrosExpandWithTheirArguments) {
  TSqlDialect d;
  d.AddMacro("FUNC_GET_SHOP_CHILD_LIST", {"SELECT F_ID FROM TB_SHOP WHERE F_ID = {0}", 1});
  EXPECT_EQ(Adapt(d, "SELECT a.F_ID FROM TB_SHOP a , dbo.FUNC_GET_SHOP_CHILD_LIST(12) b WHERE a.F_ID = b.F_ID"),
            "SELECT a.F_ID FROM TB_SHOP a , (SELECT F_ID FROM TB_SHOP WHERE F_ID = (12 )) b WHERE a.F_ID = b.F_ID");
  EXPECT_THROW(d.AdaptOne("SELECT * FROM FUNC_GET_SHOP_CHILD_LIST(1, 2)"), EDatabaseError);
}

TEST(SqlDialect, BatchesSplitAtStatementStarts) {
  TSqlDialect d;
  auto statements = d.Adapt(" DELETE FROM  TB_A WHERE F_ID = 1\r\n DELETE FROM  TB_B WHERE F_MID = 1\r\n");
  ASSERT_EQ(statements.size(), 2u);
  EXPECT_EQ(Squash(statements[1].Sql), "DELETE FROM TB_B WHERE F_MID = 1\r\n");
  EXPECT_EQ(d.Adapt("INSERT INTO T (a) SELECT a FROM U UNION ALL SELECT b FROM V; UPDATE T SET a = 1").size(), 2u);
  EXPECT_EQ(d.Adapt("SELECT 1\nSELECT 2").size(), 2u);
  EXPECT_THROW(d.AdaptOne("SELECT 1\nSELECT 2"), EDatabaseError);
}

TEST(SqlDialect, ExecBecomesAProcedureCall) {
  TSqlDialect d;
  auto call = d.AdaptOne("EXEC dbo.PROC_CHECK_CUSTOMER_ACCOUNT_RETUAN 1001, 'a''b'");
  EXPECT_TRUE(call.IsProcedureCall);
  EXPECT_EQ(call.Procedure, "PROC_CHECK_CUSTOMER_ACCOUNT_RETUAN");
  EXPECT_EQ(call.Arguments, (std::vector<std::string>{"1001", "a'b"}));
}

TEST(SqlDialect, WhatCannotBeAdaptedIsRefused) {
  TSqlDialect d;
  EXPECT_THROW(d.AdaptOne("SELECT @x = 1"), EDatabaseError);
  EXPECT_THROW(d.AdaptOne("SELECT * INTO #t FROM T"), EDatabaseError);
  EXPECT_THROW(d.AdaptOne("SELECT * FROM T CROSS APPLY F(1)"), EDatabaseError);
  EXPECT_THROW(d.AdaptOne("SELECT (1"), EDatabaseError);
}

TEST(SqlTokenizer, ANumberEndsWhereALetterBegins) {
  // The stock pop-up appends " AND" to the shop identifier without a blank.
  std::vector<std::string> significant;
  for (const auto& t : TokenizeSql("F_SHOP_ID  = 100005AND F_QTY >1.5e3OR x = .5"))
    if (t.Significant()) significant.push_back(t.text);
  EXPECT_EQ(significant, (std::vector<std::string>{"F_SHOP_ID", "=", "100005", "AND", "F_QTY", ">", "1.5e3", "OR", "x",
                                                   "=", ".5"}));
  TSqlDialect d;
  EXPECT_EQ(Adapt(d, "SELECT * FROM VI_GetSysStock WITH(nolock) WHERE F_SHOP_ID  = 100005AND F_PRODUCT_ID =100072"),
            "SELECT * FROM VI_GetSysStock WHERE F_SHOP_ID = 100005 AND F_PRODUCT_ID =100072");
}

TEST(SqlLiterals, DatesAndNumbersAreReadAsTheServerReadsThem) {
  const std::vector<std::pair<std::string, std::string>> dates = {
      {"2025-06-13", "2025-06-13 00:00:00"},
      {" 2025-6-3 ", "2025-06-03 00:00:00"},
      {"20250613", "2025-06-13 00:00:00"},
      {"2025", "2025-01-01 00:00:00"},
      {"2025/06/13 8:05", "2025-06-13 08:05:00"},
      {"2025-06-13T23:59:59.1234567", "2025-06-13 23:59:59.123"},
      {"2025-06-13 23:59:59.000", "2025-06-13 23:59:59"},
      {"10:30:00", "1899-12-30 10:30:00"},
      {"", "1900-01-01 00:00:00"},
  };
  for (const auto& [text, stored] : dates) {
    std::string read;
    EXPECT_TRUE(ReadSqlDateTime(text, read)) << text;
    EXPECT_EQ(read, stored) << text;
  }
  for (const char* text : {"2025-02-29", "2025-13-01", "2025-06-13 24:00", "2025-06-13 10:60", "13/06/2025",
                           "2025-06-13x", "2025-06/13", "20250613 10", "today"}) {
    std::string read;
    EXPECT_FALSE(ReadSqlDateTime(text, read)) << text;
  }
  const std::vector<std::pair<std::string, std::string>> numbers = {
      {"-0", "(-0)"}, {" 12 ", "12"}, {"+3", "3"}, {"9007199254740993", "9007199254740993"}, {"12.3456", "12.3456"},
      {".5", "0.5"},  {"5.", "5.0"},  {"1e3", "1e3"}, {"", "0"}};
  for (const auto& [text, number] : numbers) {
    std::string read;
    EXPECT_TRUE(ReadSqlNumber(text, read)) << text;
    EXPECT_EQ(read, number) << text;
  }
  for (const char* text : {"abc", "1,000", "--1", "1e", ".", "0x10", "1 2"}) {
    std::string read;
    EXPECT_FALSE(ReadSqlNumber(text, read)) << text;
  }
}

TEST(SqlDialect, AnEmptySelectListIsRefusedClearly) {
  TSqlDialect d;
  for (const char* sql : {"SELECT", "SELECT DISTINCT", "SELECT F_ID,", "SELECT F_ID, FROM TB_SHOP", "SELECT FROM TB_SHOP",
                          "SELECT TOP 1", "SELECT F_ID FROM TB_SHOP WHERE F_ID IN (SELECT)"})
    EXPECT_NE(Refusal(d, sql).find("SELECT 列表不完整"), std::string::npos) << sql;
}

TEST(SqlDialect, TopSurvivesATrailingComment) {
  TSqlDialect d;
  EXPECT_EQ(Adapt(d, "SELECT TOP 2 F_ID FROM TB_SHOP -- first two"), "SELECT F_ID FROM TB_SHOP LIMIT 2 -- first two");
  EXPECT_EQ(Adapt(d, "SELECT TOP 1 F_ID = 5 /* one */"), "SELECT 5 AS F_ID LIMIT 1 /* one */");
}

TEST(SqlDialect, CastsNeverDropWhatFollowsTheType) {
  TSqlDialect d;
  EXPECT_EQ(Adapt(d, "SELECT CAST(F_PRICE AS DECIMAL(10, 2)) AS F_P, 'kept' FROM T"),
            "SELECT ROUND(CAST(F_PRICE AS REAL ),2) AS F_P, 'kept' FROM T");
  EXPECT_EQ(Adapt(d, "SELECT F_P = CAST(F_PRICE AS MONEY) FROM T"), "SELECT ROUND(CAST(F_PRICE AS REAL),4) AS F_P FROM T");
  for (const char* sql : {"SELECT CAST(F_PRICE AS DECIMAL(10, 2) 'kept') FROM T",
                          "SELECT CAST(F_PRICE AS DECIMAL(10, 2) + '元') FROM T",
                          "SELECT CAST(F_PRICE AS DECIMAL(10, x)) FROM T",
                          "SELECT CAST(F_BILL_DATE AS DATETIME 'x') FROM T", "SELECT CAST(F_PRICE AS) FROM T"})
    EXPECT_THROW(d.AdaptOne(sql), EDatabaseError) << sql;
}

TEST(SqlDialect, FunctionArgumentsAreSubstitutedOnceAndTheirLiteralsKept) {
  TSqlDialect d;
  d.AddMacro("FUNC_PAIR", {"SELECT {0} AS F_A, {1} AS F_B, '{0}' AS F_C", 2});
  // A placeholder inside a value is the user's text, not a place for another argument.
  EXPECT_EQ(Adapt(d, "SELECT * FROM FUNC_PAIR('{0}', '{2}{1}')"),
            "SELECT * FROM (SELECT ('{0}' ) AS F_A, ('{2}{1}' ) AS F_B, '{0}' AS F_C)");
  EXPECT_EQ(Adapt(d, "SELECT * FROM FUNC_PAIR('{1}', 'x')"),
            "SELECT * FROM (SELECT ('{1}' ) AS F_A, ('x' ) AS F_B, '{0}' AS F_C)");
}

TEST(SqlDialect, ANulInsideTheTextIsRefusedBeforeAnythingRuns) {
  TSqlDialect d;
  const std::string message =
      Refusal(d, std::string("SELECT * FROM TB_SHOP WHERE F_NAME = 'a") + '\0' + "b' AND F_ID = 1");
  EXPECT_NE(message.find("空字符"), std::string::npos) << message;
  EXPECT_NE(message.find("F_ID = 1"), std::string::npos) << message;  // the whole statement is quoted
}

TEST(SqlDialect, DeepNestingIsRefusedInsteadOfOverflowingTheStack) {
  TSqlDialect d;
  EXPECT_NE(Refusal(d, "SELECT " + std::string(20000, '(') + "1" + std::string(20000, ')')).find("嵌套过深"),
            std::string::npos);
  std::string cases = "SELECT * FROM T WHERE ";
  for (int i = 0; i < 20000; ++i) cases += "CASE WHEN F_QTY = '1' THEN ";
  cases += "1";
  for (int i = 0; i < 20000; ++i) cases += " END";
  EXPECT_NE(Refusal(d, cases + " = '1'").find("嵌套过深"), std::string::npos);
  EXPECT_NO_THROW(d.AdaptOne("SELECT " + std::string(100, '(') + "1" + std::string(100, ')')));
}

// Random sequences of the words the screens use: each is either adapted or refused with EDatabaseError,
// never anything else (run under the address sanitizer, this finds reads past the tokens).
TEST(SqlDialect, RandomStatementsAreAdaptedOrRefusedCleanly) {
  TSqlDialect d;
  d.AddMacro("FUNC_ONE", {"SELECT F_ID FROM TB_SHOP WHERE F_ID = {0}", 1});
  d.SetColumnKinds([](std::string_view name) {
    if (name == "F_BILL_DATE") return TSqlValueKind::DateTime;
    if (name == "F_QTY") return TSqlValueKind::Number;
    return name == "F_NAME" ? TSqlValueKind::Text : TSqlValueKind::Unknown;
  });
  const std::vector<std::string> words = {
      "SELECT", "DISTINCT", "TOP", "2", "(", ")", ",", "F_ID", "=", "<>", "<=", ">", "'x'", "'{0}'", "FROM", "TB_SHOP",
      "WHERE", "AND", "OR", "CAST", "AS", "DECIMAL", "DATETIME", "DATE", "ISNULL", "IN", "BETWEEN", "NOT", "-- c\n",
      "F_BILL_DATE", "'2025-06-13'", "'2025-06-13 23:59:59.5'", "+", "-", "CASE", "WHEN", "THEN", "ELSE", "END",
      "FUNC_ONE", "100005AND", "'-0'", "F_QTY", "reverse", "LIKE", "'12%'", "UNION", "INSERT", "INTO", "VALUES",
      "UPDATE", "SET", "EXEC", ";", "*", ".", "F_NAME", "a", "NULL", "WITH(nolock)", "N'文'", "1.5", "dbo", "/* c */"};
  std::mt19937 random(20250613);
  for (int i = 0; i < 4000; ++i) {
    std::string sql;
    const int length = 1 + static_cast<int>(random() % 24);
    for (int w = 0; w < length; ++w) sql += words[random() % words.size()] + " ";
    try {
      d.Adapt(sql);
    } catch (const EDatabaseError&) {
    } catch (const std::exception& e) {
      ADD_FAILURE() << sql << " -> " << e.what();
    }
  }
}

}  // namespace
}  // namespace jxc
