// The shop database serving the screens' configuration: the function rows and mandatory fields the sample
// shop writes, read through the local-configuration service over the same file; names told apart as users
// read them; the columns the master-data screens read.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "foundation/UnitFunctionConfig.h"
#include "platform/DataSet.h"
#include "platform/Exceptions.h"
#include "services/SQLiteDBAccess.h"
#include "services/SampleShop.h"
#include "services/SampleShopScreens.h"
#include "services/ShopLocalDB.h"
#include "support/DatabaseFiles.h"

namespace jxc {
namespace {

using testing::Remove;
using testing::TempPath;

class ScreenConfiguration : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = TempPath(::testing::UnitTest::GetInstance()->current_test_info()->name());
    Remove(path_);
    db_ = std::make_shared<TSQLiteDBAccess>(path_);
    TSampleShopOptions options;
    options.Units = 4;
    options.Branches = 1;
    CreateSampleShop(*db_, options);
  }
  void TearDown() override {
    db_.reset();
    Remove(path_);
  }
  std::string path_;
  std::shared_ptr<TSQLiteDBAccess> db_;
};

TEST_F(ScreenConfiguration, MasterDataScreensFindTheirRowsAndMandatoryFieldsInTheShopDatabase) {
  TShopLocalDB local(db_);
  for (const TSampleScreen& screen : SampleShopScreens()) {
    const TFunctionConfig config = ReadFunctionConfig(local, nullptr, screen.Caption);
    ASSERT_TRUE(config.Found) << screen.Caption;
    EXPECT_EQ(config.Params.F_UpdateTable, screen.Table);
    EXPECT_EQ(config.Params.F_Data, screen.Data);
    EXPECT_EQ(config.Params.F_GridConfig, screen.Caption);
    EXPECT_EQ(config.SortField, "F_CODE");
    EXPECT_EQ(config.Params.F_QUERY_CONFIG.F_CLASS_NAME, "TFrmBaseDBGridEditor");
    EXPECT_TRUE(config.Params.F_QUERY_CONFIG.F_CAN_SELECT);
    auto fields = local.OpenDataSet(nullptr, "SELECT F_NAME FROM TB_SYS_FIELD_LIST WHERE F_CONTROL = 1 AND F_MID =" +
                                                 config.Params.F_ID + " ORDER BY F_ID");
    std::vector<std::string> names;
    for (fields->First(); !fields->Eof(); fields->Next()) names.push_back(fields->FieldByName("F_NAME").AsString());
    std::vector<std::string> expected;
    for (const TSampleScreenField& field : screen.Mandatory) expected.push_back(field.Field);
    EXPECT_EQ(names, expected) << screen.Caption;
    // Every mandatory field is a column the screen reads.
    auto row = db_->OpenSQL(std::string("SELECT * FROM ") + screen.Data + " WHERE 1 = 0");
    for (const std::string& name : names) EXPECT_NE(row->FindField(name), nullptr) << screen.Caption << " " << name;
  }
  EXPECT_GE(SampleShopScreens().size(), 6u);
  // The table reader of the same service.
  EXPECT_EQ(local.OpenTable(nullptr, "TB_SYS_FUNCTION", "F_NAME = '商品资料'")->RecordCount(), 1);
  EXPECT_THROW(local.OpenTable(nullptr, "TB_SYS_FUNCTION;DROP TABLE TB_SHOP", ""), EDatabaseError);
}

TEST_F(ScreenConfiguration, NamesCompareWithoutCaseAndSurroundingBlanks) {
  db_->ExecSQL("INSERT INTO TB_PRODUCT_COLOR (F_ID, F_CODE, F_NAME) VALUES (1, 'N', 'NORTH')\n"
               "INSERT INTO TB_PRODUCT_COLOR (F_ID, F_CODE, F_NAME) VALUES (2, 'S', ' South ')");
  EXPECT_TRUE(db_->NameExists("TB_PRODUCT_COLOR", "9", "north"));
  EXPECT_TRUE(db_->NameExists("TB_PRODUCT_COLOR", "9", "  North "));
  EXPECT_TRUE(db_->NameExists("TB_PRODUCT_COLOR", "9", "SOUTH"));
  EXPECT_FALSE(db_->NameExists("TB_PRODUCT_COLOR", "1", "north"));  // its own row
  EXPECT_FALSE(db_->NameExists("TB_PRODUCT_COLOR", "9", "northern"));
}

TEST_F(ScreenConfiguration, CustomersCarryTheirContactAndShopListsTheirSharing) {
  auto customers = db_->OpenSQL("SELECT F_ID, F_NAME, F_CONTRACTOR, F_MOBILE, F_ADDRESS FROM VI_GetCustomerList");
  EXPECT_GT(customers->RecordCount(), 0);
  customers->Edit();
  customers->FieldByName("F_CONTRACTOR").SetAsString("王经理");
  customers->Post();
  db_->ApplyUpdates(*customers, "TB_CUSTOMER");
  EXPECT_EQ(db_->GetFieldValue("VI_GetCustomerList", "F_CONTRACTOR", "F_ID = " + customers->FieldByName("F_ID").AsString())
                .ToString(),
            "王经理");
  for (const char* table : {"TB_CUSTOMER_SHOP_LIST", "TB_EMPLOYEE_SHOP_LIST"}) {
    auto rows = db_->OpenSQL(std::string("SELECT F_ID, F_MID, F_SHOP_ID, F_SHARED FROM ") + table);
    EXPECT_EQ(rows->FieldByName("F_SHARED").DataType(), ftBoolean) << table;
  }
}

}  // namespace
}  // namespace jxc
