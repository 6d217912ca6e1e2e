// The dialect adapter: server-dialect statements in, SQLite statements out; literals never touched.
#include <gtest/gtest.h>

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
  d.SetTextColumnTest([](std::string_view name) { return name == "F_NAME" || name == "F_CODE"; });
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
  EXPECT_EQ(Adapt(d, "SELECT CAST('2025-01-31' AS DATETIME)"), "SELECT ('2025-01-31' )");
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

}  // namespace
}  // namespace jxc
