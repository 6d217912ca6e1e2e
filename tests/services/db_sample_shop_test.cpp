// The sample shop holds what the screens need, once; and bad files, locked files and bad statements give
// the caller a clear error with nothing half written.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <nlohmann/json.hpp>
#include <set>
#include <string>

#include "services/SQLiteConnection.h"
#include "services/SQLiteDBAccess.h"
#include "services/SampleShop.h"
#include "platform/DataSet.h"
#include "platform/Exceptions.h"
#include "support/DatabaseFiles.h"

namespace jxc {
namespace {

using testing::Remove;
using testing::TempPath;

int64_t Count(TSQLiteDBAccess& db, const std::string& sql) { return db.Query(sql).Rows.at(0).at(0).AsInt64(); }

TEST(DbSampleShop, HoldsTheShopTreeMasterDataScreensAndUnitsInStock) {
  const std::string path = TempPath("sample");
  Remove(path);
  {
    TSQLiteDBAccess db(path);
    TSampleShopOptions options;
    options.Units = 300;
    options.Branches = 4;
    const TSampleShop shop = CreateSampleShop(db, options);
    ASSERT_EQ(shop.Branches.size(), 4u);
    EXPECT_EQ(Count(db, "SELECT COUNT(*) FROM FUNC_GET_SHOP_CHILD_LIST(" + std::to_string(shop.HeadOffice) + ")"), 5);
    EXPECT_EQ(Count(db, "SELECT COUNT(*) FROM TB_SHOP WHERE F_PARENTID = " + std::to_string(shop.HeadOffice)), 4);
    EXPECT_EQ(shop.CounterLocations.size(), 4u);
    EXPECT_EQ(shop.StoreLocations.size(), 4u);
    EXPECT_FALSE(shop.Handsets.empty());
    EXPECT_FALSE(shop.Accessories.empty());
    EXPECT_NE(shop.Card, 0);
    EXPECT_FALSE(shop.Colors.empty());
    EXPECT_FALSE(shop.Configs.empty());
    EXPECT_FALSE(shop.Customers.empty());
    EXPECT_FALSE(shop.Suppliers.empty());
    EXPECT_FALSE(shop.Employees.empty());
    EXPECT_GT(Count(db, "SELECT COUNT(*) FROM TB_BAND_ACCOUNT"), 0);

    // Screens: every row names its class; configurations, where present, are JSON documents.
    auto functions = db.OpenSQL("SELECT F_NAME, F_ClassName, F_UI_CONFIG FROM TB_SYS_FUNCTION");
    EXPECT_GT(functions->RecordCount(), 5);
    int configured = 0;
    for (functions->First(); !functions->Eof(); functions->Next()) {
      EXPECT_FALSE(functions->FieldByName("F_ClassName").AsString().empty()) << functions->FieldByName("F_NAME").AsString();
      const std::string config = functions->FieldByName("F_UI_CONFIG").AsString();
      if (config.empty()) continue;
      ++configured;
      EXPECT_TRUE(nlohmann::json::accept(config)) << functions->FieldByName("F_NAME").AsString() << ": " << config;
    }
    EXPECT_GT(configured, 0);

    // Units: all in stock, distinct serials numbered as documented, in branch i % branches.
    EXPECT_EQ(shop.Units, 300);
    EXPECT_EQ(Count(db, "SELECT COUNT(DISTINCT F_MODE_NO) FROM VI_GetSysStock WHERE F_MODE_NO IS NOT NULL"), 300);
    auto unit = db.QueryNative("SELECT F_SHOP_ID FROM TB_SYS_STOCK WHERE F_MODE_NO = ?", {Variant(SampleSerial(7))});
    ASSERT_EQ(unit.Rows.size(), 1u);
    EXPECT_EQ(unit.Rows[0][0].AsInt64(), shop.Branches[7 % 4]);

    EXPECT_THROW(CreateSampleShop(db, options), EDatabaseError);
    const TSampleShop read = ReadSampleShop(db);
    EXPECT_EQ(read.Branches, shop.Branches);
    EXPECT_EQ(read.Units, 300);
  }
  // Opening the default database again neither refills nor doubles it.
  auto db = OpenDefaultDatabase(path);
  EXPECT_EQ(Count(*db, "SELECT COUNT(*) FROM TB_SHOP"), 5);
  db.reset();
  Remove(path);
}

TEST(DbSampleShop, OptionsOutsideTheRangeAreRefused) {
  TSQLiteDBAccess db(":memory:");
  TSampleShopOptions options;
  options.Branches = 0;
  EXPECT_THROW(CreateSampleShop(db, options), EDatabaseError);
  options.Branches = 2;
  options.Units = -1;
  EXPECT_THROW(CreateSampleShop(db, options), EDatabaseError);
  EXPECT_FALSE(HasShopData(db));
}

TEST(DbBadInput, AFileThatIsNotADatabaseIsRefusedWithAClearError) {
  const std::string path = TempPath("corrupt");
  Remove(path);
  std::ofstream(path) << std::string(8192, 'x');
  try {
    TSQLiteDBAccess db(path);
    FAIL() << "opened a corrupt file";
  } catch (const EDatabaseError& e) {
    EXPECT_FALSE(std::string(e.what()).empty());
  }
  Remove(path);
}

TEST(DbBadInput, AFileLockedByAnotherWriterGivesAnErrorAfterTheBusyTimeout) {
  const std::string path = TempPath("locked");
  Remove(path);
  TSQLiteDBAccess db(path);
  TSQLiteConnection other(path, 20);
  {
    TSQLiteTransaction hold(db.Connection());
    db.Connection().ExecScript("INSERT INTO TB_SHOP (F_ID, F_NAME) VALUES (1, 'A')");
    EXPECT_THROW(other.ExecScript("INSERT INTO TB_SHOP (F_ID, F_NAME) VALUES (2, 'B')"), EDatabaseError);
  }  // rolled back
  other.ExecScript("INSERT INTO TB_SHOP (F_ID, F_NAME) VALUES (2, 'B')");
  EXPECT_EQ(Count(db, "SELECT COUNT(*) FROM TB_SHOP"), 1);
  Remove(path);
}

TEST(DbBadInput, UnknownNamesAndConstraintViolationsRaiseAndWriteNothing) {
  TSQLiteDBAccess db(":memory:");
  EXPECT_THROW(db.OpenSQL("SELECT F_NOPE FROM TB_SHOP"), EDatabaseError);
  EXPECT_THROW(db.OpenSQL("SELECT * FROM TB_NOPE WITH(nolock)"), EDatabaseError);
  EXPECT_THROW(db.GetFieldValue("TB_SHOP", "F_NOPE", "F_ID = 1"), EDatabaseError);
  // F_NAME is required: the second insert fails and takes the first with it.
  EXPECT_THROW(db.ExecSQL("INSERT INTO TB_SHOP (F_ID, F_NAME) VALUES (1, 'A')\nINSERT INTO TB_SHOP (F_ID) VALUES (2)"),
               EDatabaseError);
  EXPECT_EQ(Count(db, "SELECT COUNT(*) FROM TB_SHOP"), 0);
  auto shops = db.OpenSQL("SELECT F_ID, F_NAME FROM TB_SHOP WHERE 1 = 0");
  shops->Append();
  shops->FieldByName("F_ID").SetValue(Variant(1));
  shops->Post();
  EXPECT_THROW(db.ApplyUpdates(*shops, "TB_SHOP"), EDatabaseError);
  EXPECT_EQ(shops->ChangeCount(), 1);
  EXPECT_EQ(Count(db, "SELECT COUNT(*) FROM TB_SHOP"), 0);
  // A name check never lets the name reach the statement as text.
  db.ExecSQL("INSERT INTO TB_SHOP (F_ID, F_NAME) VALUES (1, 'A''B')");
  EXPECT_TRUE(db.NameExists("TB_SHOP", "2", "A'B"));
  EXPECT_FALSE(db.NameExists("TB_SHOP", "1", "A'B"));
  EXPECT_FALSE(db.NameExists("TB_SHOP", "", "' OR 1 = 1 --"));
}

}  // namespace
}  // namespace jxc
