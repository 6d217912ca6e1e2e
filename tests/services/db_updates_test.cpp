// Saving client datasets: pending inserts, edits and deletes reach the file by F_ID, a list of datasets is
// saved in one transaction, and a failed save changes nothing and keeps every change log for another try.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>

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

class DbUpdates : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = TempPath(::testing::UnitTest::GetInstance()->current_test_info()->name());
    Remove(path_);
    db_ = std::make_unique<TSQLiteDBAccess>(path_);
  }
  void TearDown() override {
    db_.reset();
    Remove(path_);
  }
  int64_t Count(const std::string& sql) { return db_->Query(sql).Rows.at(0).at(0).AsInt64(); }

  std::string path_;
  std::unique_ptr<TSQLiteDBAccess> db_;
};

TEST_F(DbUpdates, InsertsEditsAndDeletesAreWrittenByIdAndTheLogIsMerged) {
  db_->ExecSQL("INSERT INTO TB_SHOP (F_ID, F_NAME) VALUES (1, '总部')\nINSERT INTO TB_SHOP (F_ID, F_NAME) VALUES (2, '一店')\n"
               "INSERT INTO TB_SHOP (F_ID, F_NAME) VALUES (3, '二店')");
  auto shops = db_->OpenSQL("SELECT F_ID, F_NAME, F_REMARK FROM TB_SHOP WITH(nolock) ORDER BY F_ID");
  ASSERT_EQ(shops->RecordCount(), 3);
  // Edit row 2 (located by value, not position), delete row 3, append row 4.
  ASSERT_TRUE(shops->Locate("F_ID", Variant(2)));
  shops->Edit();
  shops->FieldByName("F_NAME").SetValue(Variant("一店(新)"));
  shops->FieldByName("F_REMARK").SetValue(Variant("改名"));
  shops->Post();
  ASSERT_TRUE(shops->Locate("F_ID", Variant(3)));
  shops->Delete();
  shops->Append();
  shops->FieldByName("F_ID").SetValue(Variant(4));
  shops->FieldByName("F_NAME").SetValue(Variant("三店"));
  shops->Post();
  EXPECT_EQ(shops->ChangeCount(), 3);

  EXPECT_EQ(db_->ApplyUpdates(*shops, "dbo.TB_SHOP"), 3);
  EXPECT_EQ(shops->ChangeCount(), 0);
  auto after = db_->Query("SELECT F_ID, F_NAME, F_REMARK FROM TB_SHOP ORDER BY F_ID");
  ASSERT_EQ(after.Rows.size(), 3u);
  EXPECT_EQ(after.Rows[0][1].ToString(), "总部");
  EXPECT_EQ(after.Rows[1][1].ToString(), "一店(新)");
  EXPECT_EQ(after.Rows[1][2].ToString(), "改名");
  EXPECT_EQ(after.Rows[2][0].AsInt64(), 4);
  // Nothing pending: a second save writes nothing.
  EXPECT_EQ(db_->ApplyUpdates(*shops, "TB_SHOP"), 0);
}

TEST_F(DbUpdates, AnEditOfARowSomeoneDeletedFailsAndKeepsTheChange) {
  db_->ExecSQL("INSERT INTO TB_SHOP (F_ID, F_NAME) VALUES (7, '总部')");
  auto shops = db_->OpenSQL("SELECT F_ID, F_NAME FROM TB_SHOP");
  db_->ExecSQL("DELETE FROM TB_SHOP WHERE F_ID = 7");
  shops->Edit();
  shops->FieldByName("F_NAME").SetValue(Variant("改"));
  shops->Post();
  EXPECT_THROW(db_->ApplyUpdates(*shops, "TB_SHOP"), EDatabaseError);
  EXPECT_EQ(shops->ChangeCount(), 1);
}

TEST_F(DbUpdates, WritingToAViewAnUnknownTableOrWithoutIdIsRefused) {
  db_->ExecSQL("INSERT INTO TB_SHOP (F_ID, F_NAME) VALUES (1, '总部')");
  auto shops = db_->OpenSQL("SELECT F_ID, F_NAME FROM TB_SHOP");
  shops->Edit();
  shops->FieldByName("F_NAME").SetValue(Variant("改"));
  shops->Post();
  EXPECT_THROW(db_->ApplyUpdates(*shops, "TB_NO_SUCH_TABLE"), EDatabaseError);
  EXPECT_THROW(db_->ApplyUpdates(*shops, "VI_DICT_SHOP"), EDatabaseError);
  auto names = db_->OpenSQL("SELECT F_NAME FROM TB_SHOP");
  names->Edit();
  names->FieldByName("F_NAME").SetValue(Variant("改"));
  names->Post();
  EXPECT_THROW(db_->ApplyUpdates(*names, "TB_SHOP"), EDatabaseError);
  EXPECT_EQ(shops->ChangeCount(), 1);
  EXPECT_EQ(db_->Query("SELECT F_NAME FROM TB_SHOP").Rows[0][0].ToString(), "总部");
}

TEST_F(DbUpdates, ARecordStillBeingEditedIsPostedAndWritten) {
  db_->ExecSQL("INSERT INTO TB_SHOP (F_ID, F_NAME) VALUES (1, 'NORTH')\nINSERT INTO TB_SHOP (F_ID, F_NAME) VALUES (2, 'EAST')");
  auto shops = db_->OpenSQL("SELECT F_ID, F_NAME FROM TB_SHOP ORDER BY F_ID");
  shops->Edit();
  shops->FieldByName("F_NAME").SetValue(Variant("SOUTH"));  // no Post: the user is still in the cell
  EXPECT_EQ(db_->ApplyUpdates(*shops, "TB_SHOP"), 1);
  EXPECT_EQ(shops->State(), dsBrowse);
  EXPECT_EQ(shops->ChangeCount(), 0);
  EXPECT_EQ(db_->Query("SELECT F_NAME FROM TB_SHOP WHERE F_ID = 1").Rows[0][0].ToString(), "SOUTH");

  // Several datasets: the insert being typed into the second is written with the first.
  auto more = db_->OpenSQL("SELECT F_ID, F_NAME FROM TB_SHOP WHERE 1 = 0");
  shops->Last();
  shops->Edit();
  shops->FieldByName("F_NAME").SetValue(Variant("WEST"));
  more->Append();
  more->FieldByName("F_ID").SetValue(Variant(3));
  more->FieldByName("F_NAME").SetValue(Variant("CENTRE"));
  db_->ApplyUpdatesList({shops.get(), more.get()}, {"TB_SHOP", "TB_SHOP"});
  EXPECT_EQ(db_->Query("SELECT F_NAME FROM TB_SHOP WHERE F_ID = 2").Rows[0][0].ToString(), "WEST");
  EXPECT_EQ(Count("SELECT COUNT(*) FROM TB_SHOP WHERE F_ID = 3 AND F_NAME = 'CENTRE'"), 1);
}

TEST_F(DbUpdates, APostThatFailsBeforeTheSaveSendsNothingAndKeepsTheEdit) {
  db_->ExecSQL("INSERT INTO TB_SHOP (F_ID, F_NAME) VALUES (1, 'NORTH')");
  auto first = db_->OpenSQL("SELECT F_ID, F_NAME FROM TB_SHOP");
  auto second = db_->OpenSQL("SELECT F_ID, F_NAME FROM TB_SHOP");
  first->Edit();
  first->FieldByName("F_NAME").SetValue(Variant("SOUTH"));
  first->Post();
  second->BeforePost = [](TDataSet&) { throw EDatabaseError("名称不能为空"); };
  second->Edit();
  second->FieldByName("F_NAME").SetValue(Variant(""));
  EXPECT_THROW(db_->ApplyUpdatesList({first.get(), second.get()}, {"TB_SHOP", "TB_SHOP"}), EDatabaseError);
  EXPECT_EQ(db_->Query("SELECT F_NAME FROM TB_SHOP").Rows[0][0].ToString(), "NORTH");
  EXPECT_EQ(first->ChangeCount(), 1);
  EXPECT_EQ(second->State(), dsEdit);
  EXPECT_EQ(second->FieldByName("F_NAME").AsString(), "");
}

TEST_F(DbUpdates, ATableThatNumbersItsOwnRowsTakesInsertsWithoutId) {
  // The operation log is written as the editors write it: no F_ID among the fields.
  auto log = db_->OpenSQL("SELECT F_BILL_ID, F_KIND, F_BILL_CODE, F_MESSAGE, F_ADD_USER, F_ADD_DATE FROM TB_SYS_LOG WHERE 1 = 0");
  for (int kind : {1, 2}) {
    log->Append();
    log->FieldByName("F_BILL_ID").SetValue(Variant(42));
    log->FieldByName("F_KIND").SetValue(Variant(kind));
    log->FieldByName("F_MESSAGE").SetValue(Variant("新增"));
    log->Post();
  }
  EXPECT_EQ(db_->ApplyUpdates(*log, "TB_SYS_LOG"), 2);
  EXPECT_EQ(Count("SELECT COUNT(DISTINCT F_ID) FROM TB_SYS_LOG WHERE F_BILL_ID = 42 AND F_ID IS NOT NULL"), 2);
  // An edit or delete still needs the key to find its row.
  log->First();
  log->Edit();
  log->FieldByName("F_MESSAGE").SetValue(Variant("改"));
  log->Post();
  EXPECT_THROW(db_->ApplyUpdates(*log, "TB_SYS_LOG"), EDatabaseError);
  // A table with a key of its own kind (BIGINT) still refuses a dataset without F_ID.
  auto shops = db_->OpenSQL("SELECT F_NAME FROM TB_SHOP WHERE 1 = 0");
  shops->Append();
  shops->FieldByName("F_NAME").SetValue(Variant("无号"));
  shops->Post();
  EXPECT_THROW(db_->ApplyUpdates(*shops, "TB_SHOP"), EDatabaseError);
}

// A bill header and its lines, opened empty as a bill screen opens them for a new bill.
struct Bill {
  std::unique_ptr<TClientDataSet> Head, Lines;
};

Bill NewBill(TSQLiteDBAccess& db, int64_t id, const std::vector<int64_t>& lineIDs) {
  Bill bill;
  bill.Head = db.OpenSQL("SELECT * FROM TB_IN_STOCK WHERE 1 = 0");
  bill.Lines = db.OpenSQL("SELECT * FROM TB_IN_STOCK_DETAIL WHERE 1 = 0");
  bill.Head->Append();
  bill.Head->FieldByName("F_ID").SetValue(Variant(static_cast<long long>(id)));
  bill.Head->FieldByName("F_CODE").SetValue(Variant("RK-0001"));
  bill.Head->FieldByName("F_KIND").SetValue(Variant(2));
  bill.Head->FieldByName("F_SHOP_ID").SetValue(Variant(1));
  bill.Head->FieldByName("F_TOTAL_MONEY").SetValue(Variant(Currency::Parse("1234.5678")));
  bill.Head->Post();
  for (int64_t lineID : lineIDs) {
    bill.Lines->Append();
    bill.Lines->FieldByName("F_ID").SetValue(Variant(static_cast<long long>(lineID)));
    bill.Lines->FieldByName("F_MID").SetValue(Variant(static_cast<long long>(id)));
    bill.Lines->FieldByName("F_QTY").SetValue(Variant(1));
    bill.Lines->Post();
  }
  return bill;
}

TEST_F(DbUpdates, AListFailingInItsSecondDatasetWritesNeitherAndSavesOnceCorrected) {
  const int64_t billID = 5000000000123LL;  // beyond 32 bits
  Bill bill = NewBill(*db_, billID, {11, 12, 12});  // the last line repeats a key
  EXPECT_THROW(db_->ApplyUpdatesList({bill.Head.get(), bill.Lines.get()}, {"TB_IN_STOCK", "TB_IN_STOCK_DETAIL"}),
               EDatabaseError);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM TB_IN_STOCK"), 0);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM TB_IN_STOCK_DETAIL"), 0);
  EXPECT_EQ(bill.Head->ChangeCount(), 1);
  EXPECT_EQ(bill.Lines->ChangeCount(), 3);

  // The user corrects the line and saves again.
  bill.Lines->Last();
  bill.Lines->Edit();
  bill.Lines->FieldByName("F_ID").SetValue(Variant(13));
  bill.Lines->Post();
  db_->ApplyUpdatesList({bill.Head.get(), bill.Lines.get()}, {"TB_IN_STOCK", "TB_IN_STOCK_DETAIL"});
  EXPECT_EQ(bill.Head->ChangeCount(), 0);
  EXPECT_EQ(bill.Lines->ChangeCount(), 0);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM TB_IN_STOCK WHERE F_ID = 5000000000123"), 1);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM TB_IN_STOCK_DETAIL WHERE F_MID = 5000000000123"), 3);
}

TEST_F(DbUpdates, LinesWithoutTheirHeaderAreRefusedByTheForeignKey) {
  Bill bill = NewBill(*db_, 77, {1, 2});
  EXPECT_THROW(db_->ApplyUpdates(*bill.Lines, "TB_IN_STOCK_DETAIL"), EDatabaseError);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM TB_IN_STOCK_DETAIL"), 0);
  EXPECT_EQ(bill.Lines->ChangeCount(), 2);
}

TEST_F(DbUpdates, FieldsAreTypedByTheSchemaEvenWhenTheFirstRowIsNull) {
  db_->ExecSQL(
      "INSERT INTO TB_IN_STOCK (F_ID, F_CODE, F_TOTAL_MONEY) VALUES (1, 'A', NULL)\n"
      "INSERT INTO TB_IN_STOCK (F_ID, F_CODE, F_TOTAL_MONEY, F_BILL_DATE, F_TOTAL_QTY) "
      "VALUES (9007199254740993, 'B', 0.0001, '2025-03-04 05:06:07', 3)\n"
      "INSERT INTO TB_STOCK_LOCATION (F_ID, F_NAME, F_DEFAULT) VALUES (1, '柜台', NULL)\n"
      "INSERT INTO TB_STOCK_LOCATION (F_ID, F_NAME, F_DEFAULT) VALUES (2, '仓库', 1)");
  auto bills = db_->OpenSQL(
      "SELECT F_ID, F_TOTAL_MONEY, F_BILL_DATE, F_TOTAL_QTY, ISNULL(F_TOTAL_MONEY, 0) AS F_TOTAL_MONEY_SALE "
      "FROM TB_IN_STOCK ORDER BY F_CODE");
  EXPECT_EQ(bills->FieldByName("F_ID").DataType(), ftLargeint);
  EXPECT_EQ(bills->FieldByName("F_TOTAL_MONEY").DataType(), ftCurrency);
  EXPECT_EQ(bills->FieldByName("F_BILL_DATE").DataType(), ftDateTime);
  EXPECT_EQ(bills->FieldByName("F_TOTAL_QTY").DataType(), ftInteger);
  EXPECT_EQ(bills->FieldByName("F_TOTAL_MONEY_SALE").DataType(), ftCurrency);
  EXPECT_TRUE(bills->FieldByName("F_TOTAL_MONEY").IsNull());
  bills->Next();
  EXPECT_EQ(bills->FieldByName("F_ID").AsLargeInt(), 9007199254740993LL);  // not rounded through a double
  EXPECT_EQ(bills->FieldByName("F_TOTAL_MONEY").AsCurrency(), Currency::Parse("0.0001"));
  EXPECT_EQ(bills->FieldByName("F_BILL_DATE").AsDateTime(), EncodeDateTime(2025, 3, 4, 5, 6, 7, 0));

  auto locations = db_->OpenSQL("SELECT F_ID, F_DEFAULT FROM TB_STOCK_LOCATION ORDER BY F_ID");
  EXPECT_EQ(locations->FieldByName("F_DEFAULT").DataType(), ftBoolean);
  locations->Next();
  EXPECT_TRUE(locations->FieldByName("F_DEFAULT").AsBoolean());
}

TEST_F(DbUpdates, EveryFieldTypeSurvivesASaveAndAReload) {
  auto bills = db_->OpenSQL("SELECT * FROM TB_IN_STOCK WHERE 1 = 0");
  const TDateTime when = EncodeDateTime(2026, 12, 31, 23, 59, 58, 0);
  bills->Append();
  bills->FieldByName("F_ID").SetValue(Variant(-4611686018427387904LL));
  bills->FieldByName("F_CODE").SetValue(Variant("单据'; DROP TABLE TB_SHOP; --"));
  bills->FieldByName("F_TOTAL_MONEY").SetValue(Variant(Currency::Parse("-98765432.1234")));
  bills->FieldByName("F_BILL_DATE").SetValue(Variant(when));
  bills->FieldByName("F_TOTAL_QTY").SetValue(Variant(2147483647));
  bills->Post();
  db_->ApplyUpdates(*bills, "TB_IN_STOCK");
  auto loc = db_->OpenSQL("SELECT * FROM TB_STOCK_LOCATION WHERE 1 = 0");
  loc->Append();
  loc->FieldByName("F_ID").SetValue(Variant(1));
  loc->FieldByName("F_NAME").SetValue(Variant("柜台"));
  loc->FieldByName("F_DEFAULT").SetValue(Variant(true));
  loc->Post();
  db_->ApplyUpdates(*loc, "TB_STOCK_LOCATION");

  auto again = db_->OpenSQL("SELECT * FROM TB_IN_STOCK");
  ASSERT_EQ(again->RecordCount(), 1);
  EXPECT_EQ(again->FieldByName("F_ID").AsLargeInt(), -4611686018427387904LL);
  EXPECT_EQ(again->FieldByName("F_CODE").AsString(), "单据'; DROP TABLE TB_SHOP; --");
  EXPECT_EQ(again->FieldByName("F_TOTAL_MONEY").AsCurrency(), Currency::Parse("-98765432.1234"));
  EXPECT_EQ(again->FieldByName("F_BILL_DATE").AsDateTime(), when);
  EXPECT_EQ(again->FieldByName("F_TOTAL_QTY").AsInteger(), 2147483647);
  EXPECT_TRUE(db_->OpenSQL("SELECT F_DEFAULT FROM TB_STOCK_LOCATION")->FieldByName("F_DEFAULT").AsBoolean());
  EXPECT_EQ(Count("SELECT COUNT(*) FROM TB_SHOP"), 0);
}

TEST_F(DbUpdates, AStatementTheDialectCannotAdaptIsRefusedQuotingIt) {
  const std::string odd = "SELECT * FROM TB_SHOP FOR XML PATH('')";
  try {
    db_->OpenSQL(odd);
    FAIL() << "no error";
  } catch (const EDatabaseError& e) {
    EXPECT_NE(std::string(e.what()).find(odd), std::string::npos) << e.what();
  }
  try {
    db_->ExecSQL("INSERT INTO TB_NOPE (F_ID) VALUES (1)");
    FAIL() << "no error";
  } catch (const EDatabaseError& e) {
    EXPECT_NE(std::string(e.what()).find("TB_NOPE"), std::string::npos) << e.what();
  }
}

TEST_F(DbUpdates, ExecSqlRunsSeveralStatementsInOneTransaction) {
  EXPECT_THROW(db_->ExecSQL("INSERT INTO TB_SHOP (F_ID, F_NAME) VALUES (1, 'A')\n"
                            "INSERT INTO TB_SHOP (F_ID, F_NAME) VALUES (1, 'B')"),
               EDatabaseError);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM TB_SHOP"), 0);
}

}  // namespace
}  // namespace jxc
