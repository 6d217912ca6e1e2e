// The SQL builder: grouping by field, the joining word of a group, right-side matches, removal and its
// tidy-up, refused conditions, and the generated conditions run against a real SQLite table.
#include <gtest/gtest.h>

#include <limits>
#include <memory>

#include "filter/FilterTestSupport.h"
#include "filter/UnitFilterImp.h"

namespace jxc {
namespace {

using filtertest::Arr;
using filtertest::Item;
using filtertest::ScratchDb;

class SQLBuilder : public ::testing::Test {
 protected:
  void Add(std::string field, std::string op, Variant value) { sb->AddCondition(Item(field, op, value)); }
  std::shared_ptr<ISQLBuilder> sb = std::make_shared<TSQLBuilder>();
};

TEST_F(SQLBuilder, WorkedExamples) {
  Add("F_NAME", "foEqual", "abc");
  EXPECT_EQ(sb->GetFilterText(), "((F_NAME = 'abc'))");
  sb->Reset();
  Add("F_NAME", "foEqual", "a");
  Add("F_NAME", "foEqual", "b");
  EXPECT_EQ(sb->GetFilterText(), "((F_NAME = 'a') OR (F_NAME = 'b'))");
  sb->Reset();
  Add("F_NAME", "foEqual", "a");
  Add("F_PRICE", "foGreaterEqual", 100);
  EXPECT_EQ(sb->GetFilterText(), "((F_NAME = 'a')) AND ((F_PRICE >= 100))");
  sb->Reset();
  Add("F_NAME", "foEqual", "O'K");
  EXPECT_EQ(sb->GetFilterText(), "((F_NAME = 'O''K'))");
  sb->Reset();
  Add("F_PRICE", "foGreaterEqual", 1.5);
  Add("F_PRICE", "foLessEqual", 9.5);
  EXPECT_EQ(sb->GetFilterText(), "((F_PRICE >= 1.5) AND (F_PRICE <= 9.5))");
}

TEST_F(SQLBuilder, GroupWordFollowsTheOpeningOperator) {
  Add("F_QTY", "foGreaterEqual", 1);
  Add("F_QTY", "foLessEqual", 9);
  EXPECT_EQ(sb->GetFilterText(), "((F_QTY >= 1) AND (F_QTY <= 9))");
  sb->Reset();
  Add("F_NAME", "foNotEqual", "a");
  Add("F_NAME", "foNotEqual", "b");
  EXPECT_EQ(sb->GetFilterText(), "((F_NAME <> 'a') AND (F_NAME <> 'b'))");
  sb->Reset();
  Add("F_PRICE", "foEqual", 1.5);
  Add("F_PRICE", "foEqual", 2.5);
  EXPECT_EQ(sb->GetFilterText(), "((F_PRICE = 1.5) OR (F_PRICE = 2.5))");
  sb->Reset();
  Add("F_DATE", "foToday", Variant());
  Add("F_DATE", "foYesterday", Variant());
  EXPECT_NE(sb->GetFilterText().find("')) OR ((F_DATE >= "), std::string::npos) << sb->GetFilterText();

  struct Case { const char* op; Variant value; const char* word; };
  const Case cases[] = {
      {"foLess", 1, "AND"},           {"foGreater", 1, "AND"},           {"foNotLike", "a", "AND"},
      {"foNotBetween", Arr({1, 2}), "AND"}, {"foNotInList", Arr({1}), "AND"}, {"foLike", 1, "OR"},
      {"foBetween", Arr({1, 2}), "OR"}, {"foInList", Arr({1}), "OR"},   {"foEqual", true, "OR"},
  };
  for (const Case& c : cases) {
    sb->Reset();
    Add("F", c.op, c.value);
    Add("F", c.op, c.value);
    auto* group = static_cast<TcxFilterCriteriaItemList*>(
        static_cast<TSQLBuilder&>(*sb).Filter().Root().Items(0));
    const bool joinsWithAnd = group->BoolOperatorKind() == TcxFilterBoolOperatorKind::fboAnd;
    EXPECT_EQ(joinsWithAnd ? "AND" : "OR", std::string(c.word)) << c.op;
  }
}

TEST_F(SQLBuilder, RightSideMatchReversesByCharacters) {
  Add("F_MODE_NO", "foLike", "1234");
  EXPECT_EQ(sb->GetFilterText(), "((Reverse(F_MODE_NO) LIKE '4321%'))");
  sb->Reset();
  Add("F_MODE_NO", "foLike", "串码12");
  Add("F_MODE_NO", "foLike", "a😀é");
  EXPECT_EQ(sb->GetFilterText(), "((Reverse(F_MODE_NO) LIKE '21码串%') OR (Reverse(F_MODE_NO) LIKE 'é😀a%'))");
  sb->Reset();
  Add("F_CODE", "foLike", 12);  // not text: no rewrite
  EXPECT_EQ(sb->GetFilterText(), "((F_CODE LIKE 12))");
}

TEST_F(SQLBuilder, RightSideMatchTakesWildcardsAsTheCharactersTheyAre) {
  Add("F_MODE_NO", "foLike", "12%_4");
  EXPECT_EQ(sb->GetFilterText(), "((Reverse(F_MODE_NO) LIKE '4\\_\\%21%' ESCAPE '\\'))");
  Add("F_MODE_NO", "foLike", "a\\b");
  EXPECT_EQ(sb->GetFilterText(), "((Reverse(F_MODE_NO) LIKE '4\\_\\%21%' ESCAPE '\\') OR "
                                 "(Reverse(F_MODE_NO) LIKE 'b\\\\a%' ESCAPE '\\'))");
  EXPECT_EQ(sb->GetFilterCaption().find("ESCAPE"), std::string::npos) << "the caption shows what was typed";
  sb->RemoveCondition("F_MODE_NO", Variant("12%_4"));
  EXPECT_EQ(sb->GetFilterText(), "(Reverse(F_MODE_NO) LIKE 'b\\\\a%' ESCAPE '\\')");
}

TEST_F(SQLBuilder, CallersItemIsNeverChanged) {
  const TFilterItem item = Item("F_MODE_NO", "foLike", "1234", "串码", "1234");
  sb->AddCondition(item);
  const std::string first = sb->GetFilterText();
  EXPECT_EQ(item.FieldName(), "F_MODE_NO");
  EXPECT_EQ(item.Value(), Variant("1234"));
  sb->Reset();
  sb->AddCondition(item);
  EXPECT_EQ(sb->GetFilterText(), first);
  EXPECT_EQ(sb->GetFilterCaption(), "((串码 LIKE 1234))");
}

TEST_F(SQLBuilder, CaptionUsesCaptionsDisplayTextsAndLocalWords) {
  sb->AddCondition(Item("F_NAME", "foEqual", "a", "名称", "甲"));
  sb->AddCondition(Item("F_NAME", "foEqual", "b", "名称", "乙"));
  sb->AddCondition(Item("F_PRICE", "foGreaterEqual", 100, "价格", 100));
  EXPECT_EQ(sb->GetFilterCaption(), "((名称 = 甲) 或者 (名称 = 乙)) 并且 ((价格 >= 100))");
}

TEST_F(SQLBuilder, MissingFieldOrUnknownOperatorAddsNothing) {
  Add("F_NAME", "foEqual", "a");
  const std::string before = sb->GetFilterText();
  try {
    sb->AddCondition(nullptr);
    FAIL();
  } catch (const EFilterError& error) {
    EXPECT_STREQ(error.what(), "查询字段不能为空");
  }
  EXPECT_THROW(Add("", "foEqual", "a"), EFilterError);
  EXPECT_THROW(Add("  ", "foEqual", "a"), EFilterError);
  try {
    Add("F_NAME", "foequal", "b");
    FAIL();
  } catch (const EFilterError& error) {
    EXPECT_STREQ(error.what(), "查询操作符[foequal]无效");
  }
  EXPECT_THROW(Add("F_OTHER", "", "b"), EFilterError);
  EXPECT_EQ(sb->GetFilterText(), before);
}

TEST_F(SQLBuilder, DatesOutsideTheCalendarAreRefusedAndCaptionsShowTheirNumber) {
  sb->AddCondition(Item("F_DATE", "foGreaterEqual", TDateTime(45658), "日期", "2025-01-01"));
  const std::string before = sb->GetFilterText();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  for (double day : {nan, 1e300, -1e300, 9.3e18, 3e6}) {
    try {
      Add("F_DATE", "foLessEqual", TDateTime(day));
      ADD_FAILURE() << day;
    } catch (const EFilterError& error) {
      EXPECT_STREQ(error.what(), "查询内容不是有效的日期");
    }
    EXPECT_THROW(Add("F_DATE", "foBetween", Arr({TDateTime(45658), TDateTime(day)})), EFilterError);
  }
  EXPECT_EQ(sb->GetFilterText(), before);
  // A display text that holds such a date is shown as its number, never decoded.
  sb->AddCondition(Item("F_QTY", "foEqual", 1, "数量", TDateTime(1e300)));
  EXPECT_EQ(sb->GetFilterCaption(), "((日期 >= 2025-01-01)) 并且 ((数量 = 1E300))");
}

TEST_F(SQLBuilder, RemovalTidiesGroups) {
  Add("F", "foEqual", "a");
  Add("F", "foEqual", "b");
  sb->RemoveCondition("F", "b");
  EXPECT_EQ(sb->GetFilterText(), "(F = 'a')");  // the last leaf moved to the root
  sb->RemoveCondition("F", "zzz");
  sb->RemoveCondition("f", "a");  // names compare exactly
  EXPECT_EQ(sb->GetFilterText(), "(F = 'a')");
  sb->RemoveCondition("F", "a");
  EXPECT_EQ(sb->GetFilterText(), "");

  Add("F_QTY", "foEqual", 5);
  Add("F_NAME", "foEqual", "x");
  sb->RemoveCondition("F_QTY", 5.0);  // variant equality across number kinds
  EXPECT_EQ(sb->GetFilterText(), "((F_NAME = 'x'))");
}

TEST_F(SQLBuilder, ALiftedConditionRegroupsWithTheNextOneOnItsField) {
  Add("F", "foEqual", "a");
  Add("F", "foEqual", "b");
  Add("G", "foGreaterEqual", 1);
  sb->RemoveCondition("F", "b");
  EXPECT_EQ(sb->GetFilterText(), "((G >= 1)) AND (F = 'a')");
  Add("F", "foEqual", "c");
  EXPECT_EQ(sb->GetFilterText(), "((G >= 1)) AND ((F = 'a') OR (F = 'c'))");
}

TEST_F(SQLBuilder, RightSideMatchesGroupAndRemoveByTheGivenFieldAndValue) {
  Add("F_MODE_NO", "foLike", "1234");
  Add("F_MODE_NO", "foEqual", "X1");
  EXPECT_EQ(sb->GetFilterText(), "((Reverse(F_MODE_NO) LIKE '4321%') OR (F_MODE_NO = 'X1'))");
  sb->RemoveCondition("F_MODE_NO", "1234");
  EXPECT_EQ(sb->GetFilterText(), "(F_MODE_NO = 'X1')");
}

TEST_F(SQLBuilder, BaseStatementLinesAndCondition) {
  EXPECT_EQ(sb->GetSQL(), "");
  sb->AddSQL("SELECT * FROM TB_SHOP");
  sb->AddSQL("WHERE ");
  EXPECT_EQ(sb->GetSQL(), "SELECT * FROM TB_SHOP\r\nWHERE \r\n");
  EXPECT_EQ(sb->GetFilterText(), "");
  Add("F_ID", "foEqual", 3);
  EXPECT_EQ(sb->GetSQL(), "SELECT * FROM TB_SHOP\r\nWHERE \r\n((F_ID = 3))");
  sb->Reset();
  EXPECT_EQ(sb->GetSQL(), "");
  EXPECT_EQ(sb->GetFilterCaption(), "");
}

// --- hostile values against a real database ----------------------------------------------------------------

class SQLBuilderOnSQLite : public SQLBuilder {
 protected:
  void SetUp() override {
    db.Exec("CREATE TABLE T (F_NAME TEXT, F_QTY INTEGER, F_PRICE REAL, F_MODE_NO TEXT)");
    db.Exec("INSERT INTO T VALUES ('a', 1, 1.5, '860001111234'), ('b', 5, 2.5, '860002225678'), "
            "('O''K', 9, 9.5, NULL), ('x''; DROP TABLE T; --', 20, 30, NULL), "
            "('line' || char(10) || 'break', 0, 0, NULL), (NULL, NULL, NULL, '串码12')");
  }
  long long Rows() { return db.Count("T", sb->GetFilterText()); }
  ScratchDb db;
};

TEST_F(SQLBuilderOnSQLite, HostileTextStaysInsideItsLiteral) {
  for (const char* text : {"O'K", "x'; DROP TABLE T; --", "line\nbreak", "a' OR '1'='1", "\\'", "'))--"}) {
    sb->Reset();
    Add("F_NAME", "foEqual", text);
    const bool exists = std::string(text) != "a' OR '1'='1" && std::string(text) != "\\'" &&
                        std::string(text) != "'))--";
    EXPECT_EQ(Rows(), exists ? 1 : 0) << text;
    sb->Reset();
    Add("F_NAME", "foLike", text);
    EXPECT_NO_THROW(Rows()) << text;
    sb->Reset();
    Add("F_NAME", "foInList", Arr({text, "a"}));
    EXPECT_EQ(Rows(), exists ? 2 : 1) << text;
  }
  EXPECT_EQ(db.Count("T", "1 = 1"), 6);  // the table is still there
}

TEST_F(SQLBuilderOnSQLite, RightSideMatchesFindOnlyWhatWasTyped) {
  db.Exec("INSERT INTO T (F_MODE_NO) VALUES ('8600001_234'), ('86000%1234'), ('86000x1234')");
  Add("F_MODE_NO", "foLike", "1_234");
  EXPECT_EQ(Rows(), 1);
  sb->Reset();
  Add("F_MODE_NO", "foLike", "%1234");
  EXPECT_EQ(Rows(), 1);
  sb->Reset();
  Add("F_MODE_NO", "foLike", "%%%%%");
  EXPECT_EQ(Rows(), 0);
  sb->Reset();
  Add("F_MODE_NO", "foLike", "1234");
  EXPECT_EQ(Rows(), 3);
}

TEST_F(SQLBuilderOnSQLite, UnwritableValuesAreRefusedAndAddNothing) {
  Add("F_QTY", "foEqual", 1);
  const std::string before = sb->GetFilterText();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const Variant refused[] = {std::string("a\0'; DROP TABLE T; --", 20), std::string("\xFF\xFE"),
                             std::string("\xE4\xB8"), nan, Arr({"a", "b"})};
  for (const Variant& value : refused) {
    EXPECT_THROW(Add("F_NAME", "foEqual", value), EFilterError);
    EXPECT_THROW(Add("F_NAME", "foLike", value), EFilterError);
    EXPECT_THROW(Add("F_NAME", "foGreater", value), EFilterError);
    EXPECT_THROW(Add("F_NAME", "foInList", Arr({"a", value})), EFilterError);
  }
  EXPECT_THROW(Add("F_QTY", "foBetween", Arr({1})), EFilterError);
  EXPECT_THROW(Add("F_QTY", "foInList", Arr({})), EFilterError);
  EXPECT_THROW(Add(std::string("F_NAME\0X", 8), "foEqual", "a"), EFilterError);
  EXPECT_EQ(sb->GetFilterText(), before);
  EXPECT_EQ(Rows(), 1);
}

TEST_F(SQLBuilderOnSQLite, GroupsSelectWhatTheyMean) {
  Add("F_QTY", "foGreaterEqual", 1);
  Add("F_QTY", "foLessEqual", 9);
  EXPECT_EQ(Rows(), 3);  // 1, 5, 9: not every row
  sb->Reset();
  Add("F_NAME", "foNotEqual", "a");
  Add("F_NAME", "foNotEqual", "b");
  EXPECT_EQ(Rows(), 3);  // both excluded; the null name is neither equal nor unequal
  sb->Reset();
  Add("F_PRICE", "foEqual", 1.5);
  Add("F_PRICE", "foEqual", 2.5);
  EXPECT_EQ(Rows(), 2);
  sb->Reset();
  Add("F_MODE_NO", "foLike", "1234");
  Add("F_MODE_NO", "foLike", "5678");
  EXPECT_EQ(Rows(), 2);
  sb->Reset();
  Add("F_MODE_NO", "foLike", "码12");
  EXPECT_EQ(Rows(), 1);
  sb->Reset();
  Add("F_NAME", "foEqual", Variant::Null());
  EXPECT_EQ(Rows(), 1);
  sb->Reset();
  Add("F_MODE_NO", "foNotEqual", Variant::Null());
  EXPECT_EQ(Rows(), 3);
  sb->Reset();
  Add("F_QTY", "foBetween", Arr({1, 5}));
  Add("F_PRICE", "foNotInList", Arr({1.5}));
  EXPECT_EQ(Rows(), 1);
}

}  // namespace
}  // namespace jxc
