// The shop database serving the screens: names told apart as users read them.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/DataSet.h"
#include "platform/Exceptions.h"
#include "services/SQLiteDBAccess.h"
#include "services/SampleShop.h"
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

TEST_F(ScreenConfiguration, NamesCompareWithoutCaseAndSurroundingBlanks) {
  db_->ExecSQL("INSERT INTO TB_PRODUCT_COLOR (F_ID, F_CODE, F_NAME) VALUES (1, 'N', 'NORTH')\n"
               "INSERT INTO TB_PRODUCT_COLOR (F_ID, F_CODE, F_NAME) VALUES (2, 'S', ' South ')");
  EXPECT_TRUE(db_->NameExists("TB_PRODUCT_COLOR", "9", "north"));
  EXPECT_TRUE(db_->NameExists("TB_PRODUCT_COLOR", "9", "  North "));
  EXPECT_TRUE(db_->NameExists("TB_PRODUCT_COLOR", "9", "SOUTH"));
  EXPECT_FALSE(db_->NameExists("TB_PRODUCT_COLOR", "1", "north"));  // its own row
  EXPECT_FALSE(db_->NameExists("TB_PRODUCT_COLOR", "9", "northern"));
}

}  // namespace
}  // namespace jxc
