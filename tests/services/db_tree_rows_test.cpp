// Tree rows edited through a data-bound tree and saved through the database service: a dragged region
// reaches the file with its new parent and its branch follows it in the region function; a deleted
// branch leaves no row behind whose parent is gone; the tree reopened from the file looks as the user
// left it.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/Application.h"
#include "platform/DBTreeList.h"
#include "platform/DataSet.h"
#include "platform/DataSource.h"
#include "platform/Forms.h"
#include "services/SQLiteDBAccess.h"
#include "support/DatabaseFiles.h"

namespace jxc {
namespace {

using testing::Remove;
using testing::TempPath;

constexpr const char* kRegions = "SELECT F_ID,F_CODE,F_NAME,F_PARENTID, F_PY,F_REMARK  FROM TB_PROVINCE";

class DbTreeRows : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetApplication();
    path_ = TempPath(::testing::UnitTest::GetInstance()->current_test_info()->name());
    Remove(path_);
    db_ = std::make_unique<TSQLiteDBAccess>(path_);
    db_->ExecSQL(
        "INSERT INTO TB_PROVINCE (F_ID, F_CODE, F_NAME, F_PARENTID) VALUES (101, '01', '华东', 0)\n"
        "INSERT INTO TB_PROVINCE (F_ID, F_CODE, F_NAME, F_PARENTID) VALUES (102, '0101', '江苏', 101)\n"
        "INSERT INTO TB_PROVINCE (F_ID, F_CODE, F_NAME, F_PARENTID) VALUES (103, '010101', '南京', 102)\n"
        "INSERT INTO TB_PROVINCE (F_ID, F_CODE, F_NAME, F_PARENTID) VALUES (104, '010102', '苏州', 102)\n"
        "INSERT INTO TB_PROVINCE (F_ID, F_CODE, F_NAME, F_PARENTID) VALUES (105, '02', '华南', 0)\n"
        "INSERT INTO TB_PROVINCE (F_ID, F_CODE, F_NAME, F_PARENTID) VALUES (106, '0201', '广东', 105)");
    form = new TForm(&Application());
    cdsTreeData = new TClientDataSet(form);
    cdsTreeData->SetIndexFieldNames("F_PARENTID");
    dsTree = new TDataSource(form);
    dsTree->SetDataSet(cdsTreeData);
    dbTree = new TDBTreeList(form);
    dbTree->SetParent(form);
    dbTree->SetDisplayFields("F_CODE;F_NAME");
    dbTree->OptionsBehavior.DragDrop = true;
    dbTree->SetDataSource(dsTree);
    db_->OpenDataSet(*cdsTreeData, kRegions);
  }
  void TearDown() override {
    ResetApplication();
    db_.reset();
    Remove(path_);
  }
  int64_t Count(const std::string& sql) { return db_->Query(sql).Rows.at(0).at(0).AsInt64(); }
  TTreeListNode* Node(int id) const { return dbTree->FindNodeByKey(id); }

  std::string path_;
  std::unique_ptr<TSQLiteDBAccess> db_;
  TForm* form;
  TClientDataSet* cdsTreeData;
  TDataSource* dsTree;
  TDBTreeList* dbTree;
};

TEST_F(DbTreeRows, ADroppedBranchIsSavedUnderItsNewParentAndReopensThere) {
  ASSERT_EQ(dbTree->Count(), 6);
  Node(101)->Expand(true);
  ASSERT_TRUE(dbTree->DragNodeTo(Node(102), Node(105)));
  EXPECT_EQ(Count("SELECT F_PARENTID FROM TB_PROVINCE WHERE F_ID = 102"), 101) << "nothing is written before a save";

  EXPECT_EQ(db_->ApplyUpdates(*cdsTreeData, "TB_PROVINCE"), 1);
  EXPECT_EQ(Count("SELECT F_PARENTID FROM TB_PROVINCE WHERE F_ID = 102"), 105);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM FUNC_GET_PROVINCE_CHILD_LIST(105)"), 5) << "华南, 广东, 江苏, 南京, 苏州";

  db_->OpenDataSet(*cdsTreeData, kRegions);
  EXPECT_EQ(Node(102)->Parent(), Node(105));
  EXPECT_TRUE(Node(102)->Expanded()) << "the reopened tree keeps what the user had opened";
}

TEST_F(DbTreeRows, ADeletedBranchLeavesNoRowWhoseParentIsGone) {
  dbTree->DeleteNode(Node(101));
  EXPECT_EQ(db_->ApplyUpdates(*cdsTreeData, "TB_PROVINCE"), 4);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM TB_PROVINCE"), 2);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM TB_PROVINCE c WHERE c.F_PARENTID <> 0 AND NOT EXISTS "
                  "(SELECT 1 FROM TB_PROVINCE p WHERE p.F_ID = c.F_PARENTID)"),
            0);
  EXPECT_EQ(dbTree->Count(), 2);
  EXPECT_EQ(cdsTreeData->ChangeCount(), 0);
}

}  // namespace
}  // namespace jxc
