// Conditions on dates and numbers select the rows the values stand for, whichever way a screen wrote the
// value: dates as 'yyyy-mm-dd', 'yyyy-mm-dd hh:nn:ss' or 'yyyy-mm-dd 23:59:59', with or without
// milliseconds, against the stored date-times (midnight of a date equals that date); numbers with or
// without quotes against numeric columns and expressions. Every expected row set is worked out here from
// the values themselves, never by asking SQL.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "services/SQLiteDBAccess.h"
#include "platform/Currency.h"
#include "platform/DataSet.h"
#include "platform/DateTime.h"
#include "platform/Exceptions.h"
#include "support/DatabaseFiles.h"

namespace jxc {
namespace {

using testing::Remove;
using testing::TempPath;

// A moment to the millisecond, comparable without floating point.
struct Moment {
  int y, m, d, h = 0, n = 0, s = 0, ms = 0;
  int64_t Key() const {
    return static_cast<int64_t>(EncodeDate(y, m, d).Value()) * 86400000 + ((h * 60 + n) * 60 + s) * 1000 + ms;
  }
  TDateTime Value() const { return EncodeDateTime(y, m, d, h, n, s, ms); }
};

// A stored row: its identifier and date-time (none: null).
struct DatedRow {
  int64_t Id;
  std::optional<Moment> At;
};

const std::vector<DatedRow> kDatedRows = {
    {1, Moment{2025, 6, 12, 23, 59, 59}}, {2, Moment{2025, 6, 13}},  // midnight
    {3, Moment{2025, 6, 13, 12, 30}},     {4, Moment{2025, 6, 13, 23, 59, 59}},
    {5, Moment{2025, 6, 13, 23, 59, 59, 500}}, {6, Moment{2025, 6, 14}}, {7, std::nullopt},
};

// A date written as the screens and the date editors write it, and the moment it stands for.
struct DateLiteral {
  std::string Text;
  Moment At;
};

const std::vector<DateLiteral> kDateLiterals = {
    {"2025-06-13", {2025, 6, 13}},
    {"2025-06-13 00:00:00", {2025, 6, 13}},
    {"2025-06-13 00:00:00.000", {2025, 6, 13}},
    {"2025/06/13", {2025, 6, 13}},
    {"2025-06-13 12:30:00", {2025, 6, 13, 12, 30}},
    {"2025-06-13 12:30", {2025, 6, 13, 12, 30}},
    {"2025-06-13T12:30:00", {2025, 6, 13, 12, 30}},
    {"2025-06-13 23:59:59", {2025, 6, 13, 23, 59, 59}},
    {"2025-06-13 23:59:59.000", {2025, 6, 13, 23, 59, 59}},
    {"2025-06-13 23:59:59.5", {2025, 6, 13, 23, 59, 59, 500}},
    {"2025-06-13 23:59:59.500", {2025, 6, 13, 23, 59, 59, 500}},
    {"2025-06-14", {2025, 6, 14}},
    {"2025-06-12 23:59:59", {2025, 6, 12, 23, 59, 59}},
};

struct Operator {
  std::string Sql;
  std::string Mirrored;  // the same test with the operands swapped
  std::function<bool(int64_t, int64_t)> Holds;
};

const std::vector<Operator> kOperators = {
    {"=", "=", [](int64_t a, int64_t b) { return a == b; }},
    {"<>", "<>", [](int64_t a, int64_t b) { return a != b; }},
    {"<", ">", [](int64_t a, int64_t b) { return a < b; }},
    {"<=", ">=", [](int64_t a, int64_t b) { return a <= b; }},
    {">", "<", [](int64_t a, int64_t b) { return a > b; }},
    {">=", "<=", [](int64_t a, int64_t b) { return a >= b; }},
};

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

class DbComparisons : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = TempPath(::testing::UnitTest::GetInstance()->current_test_info()->name());
    Remove(path_);
    db_ = std::make_unique<TSQLiteDBAccess>(path_);
    db_->ExecSQL(
        "CREATE TABLE TB_DATE_PROBE (F_ID BIGINT NOT NULL PRIMARY KEY, F_CREATE_TIME DATETIME);\n"
        "CREATE VIEW VI_DATE_PROBE AS SELECT F_ID, F_CREATE_TIME AS F_VIEW_TIME FROM TB_DATE_PROBE;\n"
        "CREATE TABLE TB_QTY_PROBE (F_ID BIGINT NOT NULL PRIMARY KEY, F_QTY INT, F_PRICE REAL_MONEY, F_KEY BIGINT, "
        "F_FLAG BIT, F_NOTE VARCHAR(20))");
    // The rows are saved as the screens save them: typed date-times through a client dataset.
    auto rows = db_->OpenSQL("SELECT F_ID, F_CREATE_TIME FROM TB_DATE_PROBE WHERE 1 = 0");
    for (const auto& row : kDatedRows) {
      rows->Append();
      rows->FieldByName("F_ID").SetValue(Variant(static_cast<long long>(row.Id)));
      if (row.At) rows->FieldByName("F_CREATE_TIME").SetValue(Variant(row.At->Value()));
      rows->Post();
    }
    db_->ApplyUpdates(*rows, "TB_DATE_PROBE");
  }
  void TearDown() override {
    db_.reset();
    Remove(path_);
  }

  std::vector<int64_t> Ids(const std::string& sql) {
    std::vector<int64_t> ids;
    auto result = db_->OpenSQL(sql);
    for (result->First(); !result->Eof(); result->Next()) ids.push_back(result->FieldByName("F_ID").AsLargeInt());
    return ids;
  }

  // The message with which the service refuses the query; empty when it runs.
  std::string Refusal(const std::string& sql) {
    try {
      db_->OpenSQL(sql);
    } catch (const EDatabaseError& e) {
      return e.what();
    }
    return "";
  }

  std::string path_;
  std::unique_ptr<TSQLiteDBAccess> db_;
};

// How a condition's subject reads a stored row: a column of a table or a view, or an expression over it.
struct DateSubject {
  std::string From;
  std::string Expression;
  std::optional<Moment> WhenNull;  // the value ISNULL gives a null row
};

const std::vector<DateSubject> kDateSubjects = {
    {"TB_DATE_PROBE", "F_CREATE_TIME", std::nullopt},
    {"TB_DATE_PROBE a WITH(nolock)", "a.F_CREATE_TIME", std::nullopt},
    {"VI_DATE_PROBE", "F_VIEW_TIME", std::nullopt},
    {"TB_DATE_PROBE", "ISNULL(F_CREATE_TIME, '1900-01-01')", Moment{1900, 1, 1}},
    {"VI_DATE_PROBE", "ISNULL(F_VIEW_TIME, '1900-01-01 00:00:00.000')", Moment{1900, 1, 1}},
};

// The rows of the subject for which the test holds, null rows never matching.
std::vector<int64_t> Expected(const DateSubject& subject, const std::function<bool(int64_t)>& holds) {
  std::vector<int64_t> ids;
  for (const auto& row : kDatedRows) {
    const std::optional<Moment> value = row.At ? row.At : subject.WhenNull;
    if (value && holds(value->Key())) ids.push_back(row.Id);
  }
  return ids;
}

TEST_F(DbComparisons, DatesCompareAsDateTimesWhicheverFormIsWrittenOnEitherSide) {
  for (const auto& subject : kDateSubjects) {
    const std::string select = "SELECT F_ID FROM " + subject.From + " WHERE ";
    for (const auto& literal : kDateLiterals) {
      const int64_t at = literal.At.Key();
      for (const auto& op : kOperators) {
        const auto expected = Expected(subject, [&](int64_t v) { return op.Holds(v, at); });
        std::string sql = select + subject.Expression + " " + op.Sql + " " + Quoted(literal.Text) + " ORDER BY F_ID";
        EXPECT_EQ(Ids(sql), expected) << sql;
        sql = select + Quoted(literal.Text) + " " + op.Mirrored + " " + subject.Expression + " ORDER BY F_ID";
        EXPECT_EQ(Ids(sql), expected) << sql;
      }
    }
  }
}

TEST_F(DbComparisons, DateRangesAndListsCompareAsDateTimes) {
  const std::vector<std::pair<DateLiteral, DateLiteral>> ranges = {
      {{"2025-06-13", {2025, 6, 13}}, {"2025-06-13 23:59:59", {2025, 6, 13, 23, 59, 59}}},
      {{"2025-06-13 00:00:00.000", {2025, 6, 13}}, {"2025-06-13 23:59:59.500", {2025, 6, 13, 23, 59, 59, 500}}},
      {{"2025-06-12 23:59:59", {2025, 6, 12, 23, 59, 59}}, {"2025-06-13", {2025, 6, 13}}},
  };
  const std::vector<std::vector<DateLiteral>> lists = {
      {{"2025-06-13", {2025, 6, 13}}, {"2025-06-13 23:59:59.5", {2025, 6, 13, 23, 59, 59, 500}}},
      {{"2025-06-14 00:00:00", {2025, 6, 14}}, {"2025-06-13 12:30", {2025, 6, 13, 12, 30}}, {"1900-01-01", {1900, 1, 1}}},
  };
  for (const auto& subject : kDateSubjects) {
    const std::string select = "SELECT F_ID FROM " + subject.From + " WHERE ";
    for (const auto& [low, high] : ranges) {
      const auto inside = [&](int64_t v) { return low.At.Key() <= v && v <= high.At.Key(); };
      const std::string range = " BETWEEN " + Quoted(low.Text) + " AND " + Quoted(high.Text);
      std::string sql = select + subject.Expression + range + " ORDER BY F_ID";
      EXPECT_EQ(Ids(sql), Expected(subject, inside)) << sql;
      sql = select + subject.Expression + " NOT" + range + " ORDER BY F_ID";
      EXPECT_EQ(Ids(sql), Expected(subject, [&](int64_t v) { return !inside(v); })) << sql;
      // As the filter engine writes the relative periods: a start included, an end excluded.
      sql = select + "(" + subject.Expression + " >= " + Quoted(low.Text) + ") AND (" + subject.Expression + " < " +
            Quoted(high.Text) + ") ORDER BY F_ID";
      EXPECT_EQ(Ids(sql), Expected(subject, [&](int64_t v) { return low.At.Key() <= v && v < high.At.Key(); })) << sql;
    }
    for (const auto& list : lists) {
      std::string items;
      for (const auto& item : list) items += (items.empty() ? "" : ", ") + Quoted(item.Text);
      const auto listed = [&](int64_t v) {
        for (const auto& item : list)
          if (item.At.Key() == v) return true;
        return false;
      };
      std::string sql = select + subject.Expression + " IN (" + items + ") ORDER BY F_ID";
      EXPECT_EQ(Ids(sql), Expected(subject, listed)) << sql;
      sql = select + subject.Expression + " NOT IN (" + items + ") ORDER BY F_ID";
      EXPECT_EQ(Ids(sql), Expected(subject, [&](int64_t v) { return !listed(v); })) << sql;
    }
  }
}

TEST_F(DbComparisons, DatesWrittenAsTextAreStoredInTheOneStoredForm) {
  db_->ExecSQL("INSERT INTO TB_DATE_PROBE (F_ID, F_CREATE_TIME) VALUES (10, '2025-06-13'), (11, '2025-06-13 08:00')\n"
               "UPDATE TB_DATE_PROBE SET F_CREATE_TIME = '2025/06/14 23:59:59.000' WHERE F_ID = 11");
  const auto stored = db_->QueryNative("SELECT F_CREATE_TIME || '' FROM TB_DATE_PROBE WHERE F_ID >= 10 ORDER BY F_ID");
  ASSERT_EQ(stored.Rows.size(), 2u);
  EXPECT_EQ(stored.Rows[0][0].ToString(), "2025-06-13 00:00:00");
  EXPECT_EQ(stored.Rows[1][0].ToString(), "2025-06-14 23:59:59");
  EXPECT_EQ(Ids("SELECT F_ID FROM TB_DATE_PROBE WHERE F_CREATE_TIME = '2025-06-13' ORDER BY F_ID"),
            (std::vector<int64_t>{2, 10}));
}

TEST_F(DbComparisons, CastsToDatesCompareAsDateTimes) {
  EXPECT_EQ(Ids("SELECT F_ID FROM TB_DATE_PROBE WHERE F_CREATE_TIME <= CAST('2025-06-13' AS DATETIME) ORDER BY F_ID"),
            (std::vector<int64_t>{1, 2}));
  EXPECT_EQ(Ids("SELECT F_ID FROM TB_DATE_PROBE WHERE CAST(F_CREATE_TIME AS DATE) = '2025-06-13' ORDER BY F_ID"),
            (std::vector<int64_t>{2, 3, 4, 5}));
  EXPECT_EQ(Ids("SELECT F_ID FROM TB_DATE_PROBE WHERE F_CREATE_TIME > (SELECT MAX(F_CREATE_TIME) FROM TB_DATE_PROBE "
                "WHERE F_CREATE_TIME < '2025-06-13 12:30:00.000') ORDER BY F_ID"),
            (std::vector<int64_t>{3, 4, 5, 6}));
}

TEST_F(DbComparisons, ATextThatIsNoDateIsRefusedClearly) {
  for (const char* condition : {"F_CREATE_TIME = '2025-02-30'", "F_CREATE_TIME > 'yesterday'",
                                "ISNULL(F_CREATE_TIME, '1900-01-01') IN ('2025-06-13', '13/06/2025')"})
    EXPECT_NE(Refusal(std::string("SELECT F_ID FROM TB_DATE_PROBE WHERE ") + condition).find("不是有效的日期时间"),
              std::string::npos)
        << condition;
  // A date-like text against a text column stays text.
  db_->ExecSQL("INSERT INTO TB_QTY_PROBE (F_ID, F_NOTE) VALUES (1, '2025-06-13')");
  EXPECT_EQ(Ids("SELECT F_ID FROM TB_QTY_PROBE WHERE F_NOTE = '2025-06-13'"), (std::vector<int64_t>{1}));
}

// --- numbers ----------------------------------------------------------------------------------------

struct QtyRow {
  int64_t Id;
  std::optional<int> Qty;
};

const std::vector<QtyRow> kQtyRows = {{1, -5}, {2, 0}, {3, 3}, {4, 12}, {5, std::nullopt}};

TEST_F(DbComparisons, TextAgainstANumericExpressionComparesAsANumber) {
  for (const auto& row : kQtyRows)
    db_->ExecSQL("INSERT INTO TB_QTY_PROBE (F_ID, F_QTY) VALUES (" + std::to_string(row.Id) + ", " +
                 (row.Qty ? std::to_string(*row.Qty) : "NULL") + ")");
  struct Value {
    std::string Sql;
    double Number;
  };
  const std::vector<Value> values = {{"'-0'", 0},  {"-0", 0},    {"'3'", 3},     {"3", 3},        {"' 3 '", 3},
                                     {"'-5'", -5}, {"'12'", 12}, {"'12.0'", 12}, {"'2.5'", 2.5}, {"''", 0}};
  struct Subject {
    std::string Expression;
    std::optional<int> WhenNull;
  };
  const std::vector<Subject> subjects = {
      {"ISNULL(F_QTY, 0)", 0}, {"F_QTY", std::nullopt}, {"(F_QTY + 0)", std::nullopt},
      {"ISNULL(F_QTY, '0')", 0}, {"COALESCE(F_QTY, -1)", -1}, {"CASE WHEN F_QTY IS NULL THEN 0 ELSE F_QTY END", 0}};
  for (const auto& subject : subjects) {
    for (const auto& value : values) {
      for (const auto& op : kOperators) {
        std::vector<int64_t> expected;
        for (const auto& row : kQtyRows) {
          const std::optional<int> qty = row.Qty ? row.Qty : subject.WhenNull;
          // Compared in thousandths, exactly: every value here has at most one decimal.
          if (qty && op.Holds(int64_t{*qty} * 1000, static_cast<int64_t>(value.Number * 1000))) expected.push_back(row.Id);
        }
        std::string sql = "SELECT F_ID FROM TB_QTY_PROBE WHERE " + subject.Expression + " " + op.Sql + " " + value.Sql +
                          " ORDER BY F_ID";
        EXPECT_EQ(Ids(sql), expected) << sql;
        sql = "SELECT F_ID FROM TB_QTY_PROBE WHERE " + value.Sql + " " + op.Mirrored + " " + subject.Expression +
              " ORDER BY F_ID";
        EXPECT_EQ(Ids(sql), expected) << sql;
      }
    }
  }
  EXPECT_EQ(Ids("SELECT F_ID FROM TB_QTY_PROBE WHERE ISNULL(F_QTY, 0) IN ('3', '-5', '') ORDER BY F_ID"),
            (std::vector<int64_t>{1, 2, 3, 5}));
  EXPECT_EQ(Ids("SELECT F_ID FROM TB_QTY_PROBE WHERE ISNULL(F_QTY, 0) NOT BETWEEN '-0' AND '3' ORDER BY F_ID"),
            (std::vector<int64_t>{1, 4}));
  EXPECT_EQ(Ids("SELECT F_ID FROM TB_QTY_PROBE GROUP BY F_ID HAVING SUM(F_QTY) > '2' ORDER BY F_ID"),
            (std::vector<int64_t>{3, 4}));
}

TEST_F(DbComparisons, MoneyAndIdentifiersStayExactWhenTypedAsText) {
  db_->ExecSQL(
      "INSERT INTO TB_QTY_PROBE (F_ID, F_PRICE, F_KEY, F_FLAG) VALUES (1, -1.5, 9007199254740992, 0), "
      "(2, 0, 9007199254740993, 1), (3, 12.3456, 1, 1), (4, 12.3457, 9223372036854775807, NULL), (5, NULL, NULL, NULL)");
  EXPECT_EQ(Ids("SELECT F_ID FROM TB_QTY_PROBE WHERE ISNULL(F_PRICE, 0) = '12.3456'"), (std::vector<int64_t>{3}));
  EXPECT_EQ(Ids("SELECT F_ID FROM TB_QTY_PROBE WHERE ISNULL(F_PRICE, 0) > '12.3456'"), (std::vector<int64_t>{4}));
  EXPECT_EQ(Ids("SELECT F_ID FROM TB_QTY_PROBE WHERE ISNULL(F_PRICE, 0) < '-0' ORDER BY F_ID"), (std::vector<int64_t>{1}));
  EXPECT_EQ(Ids("SELECT F_ID FROM TB_QTY_PROBE WHERE ISNULL(F_KEY, 0) = '9007199254740993'"), (std::vector<int64_t>{2}));
  EXPECT_EQ(Ids("SELECT F_ID FROM TB_QTY_PROBE WHERE ISNULL(F_KEY, 0) = '9223372036854775807'"), (std::vector<int64_t>{4}));
  EXPECT_EQ(Ids("SELECT F_ID FROM TB_QTY_PROBE WHERE F_KEY IN ('9007199254740992')"), (std::vector<int64_t>{1}));
  EXPECT_EQ(Ids("SELECT F_ID FROM TB_QTY_PROBE WHERE ISNULL(F_FLAG, 0) = 'True' ORDER BY F_ID"), (std::vector<int64_t>{2, 3}));
  EXPECT_EQ(Ids("SELECT F_ID FROM TB_QTY_PROBE WHERE ISNULL(F_FLAG, 1) <> 'false' ORDER BY F_ID"),
            (std::vector<int64_t>{2, 3, 4, 5}));
  // Money read back is exact to the fourth decimal.
  auto prices = db_->OpenSQL("SELECT F_ID, F_PRICE FROM TB_QTY_PROBE WHERE F_PRICE >= '12.3456' ORDER BY F_ID");
  ASSERT_EQ(prices->RecordCount(), 2);
  EXPECT_EQ(prices->FieldByName("F_PRICE").AsCurrency(), Currency::Parse("12.3456"));
}

TEST_F(DbComparisons, ATextThatIsNoNumberIsRefusedClearly) {
  db_->ExecSQL("INSERT INTO TB_QTY_PROBE (F_ID, F_QTY, F_NOTE) VALUES (1, 3, '3')");
  for (const char* condition : {"ISNULL(F_QTY, 0) = 'abc'", "F_QTY IN ('3', '3a')", "ISNULL(F_QTY, 0) BETWEEN '1' AND 'x'"})
    EXPECT_NE(Refusal(std::string("SELECT F_ID FROM TB_QTY_PROBE WHERE ") + condition).find("不是有效的数值"),
              std::string::npos)
        << condition;
  // Numbers against a text column keep comparing as the column's text.
  EXPECT_EQ(Ids("SELECT F_ID FROM TB_QTY_PROBE WHERE ISNULL(F_NOTE, '') = '3'"), (std::vector<int64_t>{1}));
}

}  // namespace
}  // namespace jxc
