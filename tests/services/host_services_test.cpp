// The cache of look-up lists over the real database service, and the local configuration database.

#include <gtest/gtest.h>

#include <memory>

#include "services/DBCache.h"
#include "services/SQLiteDBAccess.h"
#include "services/SQLiteLocalDB.h"
#include "services/SampleShop.h"
#include "platform/Application.h"
#include "platform/Exceptions.h"
#include "platform/Field.h"
#include "platform/Text.h"

namespace jxc {
namespace {

class DBCacheTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetApplication();
    db_ = std::make_shared<TSQLiteDBAccess>(":memory:");
    db_->ExecSQL("INSERT INTO TB_PRODUCT_COLOR (F_ID, F_CODE, F_NAME) VALUES (1, '01', '红')\n"
                 "INSERT INTO TB_PRODUCT_COLOR (F_ID, F_CODE, F_NAME) VALUES (2, '02', '黑')");
  }
  void TearDown() override { ResetApplication(); }
  void AddColor(const std::string& id, const std::string& name) {
    db_->ExecSQL("INSERT INTO TB_PRODUCT_COLOR (F_ID, F_CODE, F_NAME) VALUES (" + id + ", '0" + id + "', '" +
                 name + "')");
  }
  std::shared_ptr<TSQLiteDBAccess> db_;
};

TEST_F(DBCacheTest, AnEntryIsReadOnceAndAgainOnlyWhenStaleOrForced) {
  TDBCache cache(db_);
  const std::string sql = "SELECT F_ID, F_NAME FROM TB_PRODUCT_COLOR ORDER BY F_ID";
  auto item = cache.GetCacheItem("颜色", sql, 1);
  TDataSet& rows = item->GetDataSet();
  EXPECT_EQ(rows.RecordCount(), 2);
  AddColor("3", "白");

  EXPECT_EQ(cache.GetCacheItem("颜色", sql, 1)->GetDataSet().RecordCount(), 2);
  EXPECT_EQ(cache.ReadCount(), 1);

  Application().Scheduler().Advance(60000);  // a minute later the entry is stale
  TDataSet& again = cache.GetCacheItem("颜色", sql, 1)->GetDataSet();
  EXPECT_EQ(&again, &rows) << "a re-read fills the same dataset, so data sources stay valid";
  EXPECT_EQ(rows.RecordCount(), 3);

  AddColor("4", "金");
  cache.GetCacheItem("颜色", sql, 1, true);
  EXPECT_EQ(rows.RecordCount(), 4);
  EXPECT_EQ(cache.ReadCount(), 3);
}

TEST_F(DBCacheTest, TheSameNameWithOtherColumnsIsAnotherEntry) {
  TDBCache cache(db_);
  TDataSet& ids = cache.GetCacheItem("颜色", "SELECT F_ID FROM TB_PRODUCT_COLOR")->GetDataSet();
  TDataSet& names = cache.GetCacheItem("颜色", "SELECT F_ID, F_NAME FROM TB_PRODUCT_COLOR")->GetDataSet();
  EXPECT_NE(&ids, &names);
  EXPECT_EQ(ids.FieldCount(), 1);
  EXPECT_EQ(names.FieldCount(), 2);
}

TEST_F(DBCacheTest, AFailedReadRaisesAndKeepsNothing) {
  TDBCache cache(db_);
  EXPECT_THROW(cache.GetCacheItem("坏", "SELECT F_NOPE FROM TB_PRODUCT_COLOR"), EDatabaseError);
  EXPECT_EQ(cache.GetCacheItem("坏", "SELECT F_ID FROM TB_PRODUCT_COLOR")->GetDataSet().RecordCount(), 2);
}

TEST_F(DBCacheTest, ReplacingAnEntryTakesTheGivenRowsInTheEntrysColumns) {
  TDBCache cache(db_);
  TDataSet& colors = cache.GetColors();
  ASSERT_EQ(colors.RecordCount(), 2);
  std::unique_ptr<TClientDataSet> fresh = db_->OpenSQL("SELECT F_ID, F_NAME FROM TB_PRODUCT_COLOR WHERE F_ID = 2");
  cache.UpdateCache("颜色", *fresh);  // no entry of that name: nothing cached, no error
  EXPECT_EQ(colors.RecordCount(), 2);

  cache.UpdateCache("colors", *fresh);  // names compare without case
  ASSERT_EQ(colors.RecordCount(), 1);
  EXPECT_EQ(colors.FieldByName("F_NAME").AsString(), "黑");
  EXPECT_TRUE(colors.FieldByName("F_CODE").IsNull()) << "a column the rows lack is null";
  const int reads = cache.ReadCount();
  cache.GetColors();
  EXPECT_EQ(cache.ReadCount(), reads) << "a replaced entry counts as fresh";
}

TEST_F(DBCacheTest, SerialListsAreReadOnEveryRequestAndAnUnknownProductGivesNoRows) {
  TDBCache cache(db_);
  std::unique_ptr<TClientDataSet> none = cache.GetModeNOList("not a number");
  EXPECT_EQ(none->RecordCount(), 0);
  EXPECT_NE(none->FindField("F_MODE_NO"), nullptr);
  const int reads = cache.ReadCount();
  cache.GetModeNOList("1 OR 1 = 1");
  EXPECT_EQ(cache.ReadCount(), reads + 1);
}

TEST_F(DBCacheTest, EachCallerOwnsItsSerialListAndAShopNarrowsIt) {
  TSampleShop shop = CreateSampleShop(*db_, {12, 3});
  TDBCache cache(db_);
  const std::string handset = IntToStr(shop.Handsets[0]);
  std::unique_ptr<TClientDataSet> mine = cache.GetModeNOList(handset);
  ASSERT_EQ(mine->RecordCount(), 3) << "units 0, 4 and 8 are the first handset";
  EXPECT_EQ(mine->FieldByName("F_MODE_NO").AsString(), SampleSerial(0));
  for (const char* name : {"F_PRODUCT", "F_PRODUCT_ID", "F_PRODUCT_TYPE_ID", "F_COLOR_ID", "F_CONFIG_ID",
                           "F_LOCATION_ID", "F_SHOP_ID", "F_UNIT", "F_PRICE", "F_PRICE_EMPLOYEE"})
    EXPECT_NE(mine->FindField(name), nullptr) << name;

  // A list being filtered and held by one screen is not read again under it by another's request.
  TField* serial = &mine->FieldByName("F_MODE_NO");
  int calls = 0;
  mine->SetOnFilterRecord([&](TDataSet& ds, bool& accept) {
    ++calls;
    accept = ds.FieldByName("F_MODE_NO").AsString() == SampleSerial(4);
  });
  mine->SetFiltered(true);
  ASSERT_EQ(mine->RecordCount(), 1);
  calls = 0;
  std::unique_ptr<TClientDataSet> theirs = cache.GetModeNOList(handset);
  EXPECT_EQ(theirs->RecordCount(), 3);
  EXPECT_EQ(calls, 0);
  EXPECT_EQ(&mine->FieldByName("F_MODE_NO"), serial);
  EXPECT_EQ(serial->AsString(), SampleSerial(4));

  std::unique_ptr<TClientDataSet> branch = cache.GetModeNOList(handset, shop.Branches[1]);
  ASSERT_EQ(branch->RecordCount(), 1) << "of units 0, 4 and 8 only unit 4 lies in the second branch";
  EXPECT_EQ(branch->FieldByName("F_MODE_NO").AsString(), SampleSerial(4));
  EXPECT_EQ(branch->FieldByName("F_SHOP_ID").AsLargeInt(), shop.Branches[1]);
}

TEST(DBCache, ANullDatabaseIsRefused) { EXPECT_THROW(TDBCache(nullptr), EArgumentError); }

TEST(SQLiteLocalDB, TablesAreReadWithTypedFieldsAndHostileTableNamesAreRefused) {
  TSQLiteLocalDB local(":memory:");
  local.ExecSQL("CREATE TABLE TB_SYS_FUNCTION (F_ID BIGINT, F_CAPTION VARCHAR(50), F_UI_CONFIG TEXT, F_ON BIT);"
                "INSERT INTO TB_SYS_FUNCTION VALUES (9007199254740993, '零售单', '{}', 1)");
  std::unique_ptr<TClientDataSet> rows = local.OpenTable(nullptr, "TB_SYS_FUNCTION", "F_CAPTION = '零售单'");
  ASSERT_EQ(rows->RecordCount(), 1);
  EXPECT_EQ(rows->FieldByName("F_ID").AsLargeInt(), 9007199254740993LL);
  EXPECT_EQ(rows->FieldByName("F_ON").DataType(), ftBoolean);
  EXPECT_EQ(rows->FieldByName("F_UI_CONFIG").DataType(), ftMemo);
  EXPECT_EQ(local.OpenTable(nullptr, "TB_SYS_FUNCTION", "  ")->RecordCount(), 1);
  EXPECT_THROW(local.OpenTable(nullptr, "TB_SYS_FUNCTION; DROP TABLE TB_SYS_FUNCTION", ""), EDatabaseError);
  EXPECT_EQ(local.OpenDataSet(nullptr, "SELECT COUNT(*) AS N FROM TB_SYS_FUNCTION")->FieldByName("N").AsInteger(), 1);
}

TEST(SQLiteLocalDB, AFailingStatementLeavesTheFileAsItWas) {
  TSQLiteLocalDB local(":memory:");
  local.ExecSQL("CREATE TABLE T (A INT)");
  EXPECT_THROW(local.ExecSQL("INSERT INTO T VALUES (1); INSERT INTO NOPE VALUES (2)"), EDatabaseError);
  EXPECT_EQ(local.OpenDataSet(nullptr, "SELECT COUNT(*) AS N FROM T")->FieldByName("N").AsInteger(), 0);
}

}  // namespace
}  // namespace jxc
