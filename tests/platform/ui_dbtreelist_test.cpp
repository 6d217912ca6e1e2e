// The data-bound tree over a client dataset of tree rows (F_ID, F_PARENTID, F_CODE, F_NAME): nodes built
// from the rows, the cursor followed both ways, new rows shown while inserted, moves and deletes written
// into the dataset, the in-place editor writing a field, and the drop-down tree choosing a parent.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "platform/Application.h"
#include "platform/DBTreeList.h"
#include "platform/DBTreePopupEdit.h"
#include "platform/DataSet.h"
#include "platform/DataSource.h"
#include "platform/Exceptions.h"
#include "platform/Forms.h"
#include "platform/StdCtrls.h"

namespace jxc {
namespace {

class UiDBTreeListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetApplication();
    form = new TForm(&Application());
    cdsTreeData = new TClientDataSet(form);
    cdsTreeData->FieldDefs().Add("F_ID", ftLargeint);
    cdsTreeData->FieldDefs().Add("F_PARENTID", ftLargeint);
    cdsTreeData->FieldDefs().Add("F_CODE", ftString, 20);
    cdsTreeData->FieldDefs().Add("F_NAME", ftString, 50);
    cdsTreeData->CreateDataSet();
    // Regions, with a row whose parent is not loaded and two rows that name each other as parent.
    for (const TRowValues& row : std::vector<TRowValues>{
             {1, 0, "01", "华东"}, {2, 1, "0101", "上海"}, {3, 1, "0102", "江苏"}, {4, 3, "010201", "南京"},
             {5, 3, "010202", "苏州"}, {6, 0, "02", "华南"}, {7, 6, "0201", "广东"}, {8, 0, "03", "西北"},
             {9, 77, "09", "海外"}, {10, 11, "10", "甲"}, {11, 10, "11", "乙"}})
      cdsTreeData->AppendRecord(row);
    cdsTreeData->MergeChangeLog();
    cdsTreeData->SetIndexFieldNames("F_PARENTID");
    cdsTreeData->First();
    dsTree = new TDataSource(form);
    dsTree->SetDataSet(cdsTreeData);
    dbTree = new TDBTreeList(form);
    dbTree->SetParent(form);
    dbTree->SetDisplayFields("F_CODE;F_NAME");
    dbTree->SetDataSource(dsTree);
    other = new TEdit(form);
    other->SetParent(form);
  }
  void TearDown() override { ResetApplication(); }

  TTreeListNode* Node(int id) const { return dbTree->FindNodeByKey(id); }
  int64_t CurrentId() const { return cdsTreeData->FieldByName("F_ID").AsLargeInt(); }
  std::vector<std::string> Texts(const std::vector<TTreeListNode*>& nodes) const {
    std::vector<std::string> texts;
    for (TTreeListNode* n : nodes) texts.push_back(n->Text());
    return texts;
  }
  // Every row's parent is the root value or a row still there.
  bool NoRowLostItsParent() const {
    std::set<int64_t> ids;
    for (int r = 0; r < cdsTreeData->RecordCount(); ++r) ids.insert(cdsTreeData->RowValue(r, 0).AsInt64());
    for (int r = 0; r < cdsTreeData->RecordCount(); ++r) {
      int64_t parent = cdsTreeData->RowValue(r, 1).AsInt64();
      if (parent != 0 && parent != 77 && !ids.count(parent)) return false;
    }
    return true;
  }

  TForm* form;
  TClientDataSet* cdsTreeData;
  TDataSource* dsTree;
  TDBTreeList* dbTree;
  TEdit* other;
};

TEST_F(UiDBTreeListTest, EveryRowIsANodeAndRowsWithoutAReachableParentStandAtTheTop) {
  EXPECT_EQ(dbTree->Count(), 11);
  EXPECT_EQ(Texts(dbTree->TopNodes()), (std::vector<std::string>{"01-华东", "02-华南", "03-西北", "09-海外", "11-乙"}))
      << "a missing parent and a loop of parents both leave the row at the top, never lost";
  EXPECT_EQ(Texts(Node(3)->Children()), (std::vector<std::string>{"010201-南京", "010202-苏州"}));
  EXPECT_EQ(Node(10)->Parent(), Node(11));
  EXPECT_EQ(Node(4)->Values().at(1).ToString(), "南京");

  // The frame's tree: root value null, " - " between code and name. Rows under 0 then have no loaded
  // parent and stand at the top all the same.
  dbTree->SetRootValue(Variant::Null());
  dbTree->SetSeparator(" - ");
  EXPECT_EQ(dbTree->TopCount(), 5);
  EXPECT_EQ(Node(1)->Text(), "01 - 华东");
  // A row without a code shows its name alone.
  cdsTreeData->Locate("F_ID", 8);
  cdsTreeData->Edit();
  cdsTreeData->FieldByName("F_CODE").Clear();
  cdsTreeData->Post();
  EXPECT_EQ(Node(8)->Text(), "西北");
}

TEST_F(UiDBTreeListTest, TheFocusedNodeIsTheCurrentRowBothWays) {
  ASSERT_TRUE(cdsTreeData->Locate("F_ID", 5));
  EXPECT_EQ(dbTree->FocusedNode(), Node(5));
  EXPECT_TRUE(Node(5)->IsVisible()) << "the branch opened to show the current row";
  dbTree->ClickNode(Node(7));
  EXPECT_EQ(CurrentId(), 7);
  dbTree->SetFocus();
  form->PressKey(VK_HOME);
  EXPECT_EQ(CurrentId(), 1);
  form->PressKey(VK_DOWN);
  EXPECT_EQ(CurrentId(), 2) << "华东 is open, so Down reaches its first child";
  form->TypeText("03");
  EXPECT_EQ(CurrentId(), 8);

  // A click on the empty area leaves the row where it is, and the screen's click handler sees it.
  int clicks = 0;
  dbTree->OnClick = [&](TControl&) { ++clicks; };
  dbTree->ClickNode(nullptr);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(CurrentId(), 8);
  // A double click goes to the screen's handler (its edit action) on the clicked row.
  int64_t edited = 0;
  dbTree->OnDblClick = [&](TControl&) { edited = CurrentId(); };
  Node(6)->Collapse();
  dbTree->DblClickNode(Node(6));
  EXPECT_EQ(edited, 6);
  EXPECT_FALSE(Node(6)->Expanded()) << "with a handler, the double click does not open the node";
  // While the screen has the tree disabled (a node being edited in the panel), clicks do nothing.
  dbTree->SetEnabled(false);
  dbTree->ClickNode(Node(1));
  EXPECT_EQ(CurrentId(), 6);
}

TEST_F(UiDBTreeListTest, ARowBeingInsertedShowsAsTheLastChildAndGoesAgainWhenCancelled) {
  cdsTreeData->OnNewRecord = [](TDataSet& ds) {
    ds.FieldByName("F_ID").SetAsLargeInt(100);
    ds.FieldByName("F_PARENTID").SetAsLargeInt(3);
    ds.FieldByName("F_CODE").SetAsString("010203");
    ds.FieldByName("F_NAME").SetAsString("新节点");
  };
  dbTree->OptionsData.Editing = true;
  cdsTreeData->Append();
  TTreeListNode* added = Node(100);
  ASSERT_NE(added, nullptr);
  EXPECT_EQ(added->Parent(), Node(3));
  EXPECT_EQ(Node(3)->Children().back(), added);
  EXPECT_EQ(dbTree->FocusedNode(), added);
  EXPECT_TRUE(added->IsVisible());

  ASSERT_TRUE(dbTree->ShowEditor());
  EXPECT_EQ(dbTree->InplaceEditor().Text(), "新节点") << "the editor holds the name, not the shown text";
  form->TypeText("无锡");
  form->PressKey(VK_RETURN);
  EXPECT_EQ(cdsTreeData->FieldByName("F_NAME").AsString(), "无锡");
  EXPECT_EQ(cdsTreeData->State(), dsInsert) << "writing the name does not post the row";
  EXPECT_EQ(added->Text(), "010203-无锡");

  cdsTreeData->Cancel();
  EXPECT_EQ(Node(100), nullptr);
  EXPECT_EQ(dbTree->Count(), 11);
  EXPECT_EQ(dbTree->FocusedNode(), Node(CurrentId()));

  cdsTreeData->Append();
  cdsTreeData->Post();
  EXPECT_EQ(Node(3)->Children().back(), Node(100)) << "posted, it keeps its place";
  EXPECT_EQ(dbTree->FocusedNode(), Node(100));
  EXPECT_EQ(cdsTreeData->ChangeCount(), 1);
}

TEST_F(UiDBTreeListTest, MovingANodeWritesItsParentAndPostsOnlyWhatTheRulesAllow) {
  dbTree->OptionsBehavior.DragDrop = true;
  // Move up: 南京 becomes the last child of its grandparent.
  dbTree->MoveTo(Node(4), Node(4)->Parent()->Parent());
  EXPECT_EQ(Node(4)->Parent(), Node(1));
  EXPECT_EQ(Node(1)->Children().back(), Node(4));
  ASSERT_TRUE(cdsTreeData->Locate("F_ID", 4));
  EXPECT_EQ(cdsTreeData->FieldByName("F_PARENTID").AsLargeInt(), 1);
  EXPECT_EQ(cdsTreeData->State(), dsBrowse);
  EXPECT_EQ(cdsTreeData->ChangeCount(), 1);

  // Dropping onto itself, below itself or onto its own parent changes nothing.
  EXPECT_FALSE(dbTree->DragNodeTo(Node(3), Node(3)));
  EXPECT_FALSE(dbTree->DragNodeTo(Node(3), Node(5)));
  EXPECT_FALSE(dbTree->DragNodeTo(Node(3), Node(1)));
  EXPECT_EQ(cdsTreeData->ChangeCount(), 1);
  EXPECT_THROW(dbTree->MoveTo(Node(1), Node(5)), EInvalidOperation);

  EXPECT_TRUE(dbTree->DragNodeTo(Node(3), Node(6)));
  EXPECT_EQ(Node(5)->Parent()->Parent(), Node(6)) << "the branch follows its node";
  EXPECT_EQ(CurrentId(), 3) << "the moved row stays current";
  EXPECT_EQ(dbTree->FocusedNode(), Node(3));
  EXPECT_EQ(cdsTreeData->ChangeCount(), 2);

  // A row being edited moves at once when its parent field is written.
  ASSERT_TRUE(cdsTreeData->Locate("F_ID", 2));
  cdsTreeData->Edit();
  cdsTreeData->FieldByName("F_PARENTID").SetAsLargeInt(8);
  EXPECT_EQ(Node(2)->Parent(), Node(8));
  cdsTreeData->FieldByName("F_NAME").SetAsString("上海市");
  EXPECT_EQ(Node(2)->Text(), "0101-上海市");
  cdsTreeData->Cancel();
  EXPECT_EQ(Node(2)->Parent(), Node(1));
  EXPECT_EQ(Node(2)->Text(), "0101-上海");
}

TEST_F(UiDBTreeListTest, DeletingANodeDeletesItsWholeBranchDeepestFirst) {
  // What a screen asks before deleting: the keys of the branch, to refuse one that holds a system row.
  std::vector<std::string> keys;
  for (const Variant& key : dbTree->BranchKeys(Node(1))) keys.push_back(key.ToString());
  EXPECT_EQ(keys, (std::vector<std::string>{"1", "2", "3", "4", "5"}));
  dbTree->DeleteNode(Node(3));
  EXPECT_EQ(dbTree->Count(), 8);
  EXPECT_EQ(Node(4), nullptr);
  EXPECT_EQ(cdsTreeData->ChangeCount(), 3);
  EXPECT_TRUE(NoRowLostItsParent());
  EXPECT_EQ(dbTree->FocusedNode(), Node(CurrentId()));

  // A refusal on the way stops the walk; what was deleted before it hangs under nothing missing.
  cdsTreeData->CancelUpdates();
  EXPECT_EQ(dbTree->Count(), 11);
  cdsTreeData->BeforeDelete = [](TDataSet& ds) {
    if (ds.FieldByName("F_ID").AsLargeInt() == 3) throw EAbort();
  };
  EXPECT_THROW(dbTree->DeleteNode(Node(1)), EAbort);
  EXPECT_TRUE(NoRowLostItsParent());
  EXPECT_NE(Node(3), nullptr);
  EXPECT_EQ(Node(4), nullptr);
  EXPECT_EQ(dbTree->Count(), 9);
}

TEST_F(UiDBTreeListTest, TheInplaceEditorGoesThroughTheFieldAndKeepsARefusedText) {
  dbTree->OptionsData.Editing = true;
  cdsTreeData->FieldByName("F_NAME").OnSetText = [](TField& field, const std::string& text) {
    if (text.empty()) throw EDatabaseError("请填写名称");
    field.SetAsString(text);
  };
  dbTree->SetFocus();
  dbTree->ClickNode(Node(8));
  form->PressKey(VK_F2);
  ASSERT_TRUE(dbTree->Editing());
  form->PressKey(VK_DELETE);
  form->PressKey(VK_RETURN);
  EXPECT_TRUE(dbTree->Editing()) << "the refused text stays in the editor";
  EXPECT_EQ(Application().ShownErrors().back(), "请填写名称");
  form->TypeText("西北区");
  other->SetFocus();
  EXPECT_FALSE(dbTree->Editing()) << "leaving the editor writes it";
  EXPECT_EQ(cdsTreeData->FieldByName("F_NAME").AsString(), "西北区");
  EXPECT_EQ(cdsTreeData->State(), dsEdit);
  cdsTreeData->Post();

  // What is typed goes with the record when the screen posts it while the editor is open.
  dbTree->ClickNode(Node(6));
  ASSERT_TRUE(dbTree->ShowEditor());
  form->TypeText("华南区");
  cdsTreeData->CheckBrowseMode();
  EXPECT_FALSE(dbTree->Editing());
  EXPECT_EQ(Node(6)->Text(), "02-华南区");

  // A data source that may not start edits by itself opens no editor on a row in browse state.
  dsTree->AutoEdit = false;
  EXPECT_FALSE(dbTree->ShowEditor());
  cdsTreeData->Edit();
  EXPECT_TRUE(dbTree->ShowEditor());
}

TEST_F(UiDBTreeListTest, ExpansionAndTicksSurviveAReopenAndEveryChangeKeepsTheOrderOfSiblings) {
  dbTree->OptionsView.CheckBoxes = true;
  Node(3)->Expand();
  dbTree->ClickCheckBox(Node(7));
  TDataPacket data = cdsTreeData->Data();
  cdsTreeData->Close();
  EXPECT_EQ(dbTree->Count(), 0);
  cdsTreeData->SetData(data);
  cdsTreeData->SetIndexFieldNames("F_PARENTID");
  EXPECT_TRUE(Node(3)->Expanded());
  EXPECT_TRUE(Node(7)->Checked());

  // Renaming the first child changes no order.
  ASSERT_TRUE(cdsTreeData->Locate("F_ID", 2));
  cdsTreeData->Edit();
  cdsTreeData->FieldByName("F_CODE").SetAsString("0199");
  cdsTreeData->Post();
  EXPECT_EQ(Node(1)->Children().front(), Node(2));
}

TEST_F(UiDBTreeListTest, TheDropDownTreeChoosesAParentButNeverTheRowItselfOrItsBranch) {
  // The node panel of a tree editor: the parent chosen from a copy of the rows.
  auto* cdsParent = new TClientDataSet(form);
  cdsParent->LoadFromDataSet(*cdsTreeData);
  auto* dsParent = new TDataSource(form);
  dsParent->SetDataSet(cdsParent);
  auto* edtParent = new TDBTreePopupEdit(form);
  edtParent->SetParent(form);
  edtParent->Tree().SetDisplayFields("F_NAME");
  edtParent->SetListSource(dsParent);
  edtParent->SetDataSource(dsTree);
  edtParent->SetDataField("F_PARENTID");

  ASSERT_TRUE(cdsTreeData->Locate("F_ID", 3));
  EXPECT_EQ(edtParent->Text(), "华东");
  edtParent->SetFocus();
  form->PressKey(VK_F4);
  ASSERT_TRUE(edtParent->DroppedDown());
  TDBTreeList& list = edtParent->Tree();
  EXPECT_EQ(list.FocusedNode(), list.FindNodeByKey(1)) << "the drop-down opens on the present parent";
  EXPECT_TRUE(list.FindNodeByKey(3)->InHiddenBranch());
  EXPECT_TRUE(list.FindNodeByKey(5)->InHiddenBranch());
  EXPECT_FALSE(edtParent->CanChoose(list.FindNodeByKey(4)));

  form->TypeText("华南");
  form->PressKey(VK_RETURN);
  EXPECT_FALSE(edtParent->DroppedDown());
  EXPECT_EQ(cdsTreeData->FieldByName("F_PARENTID").AsLargeInt(), 6);
  EXPECT_EQ(edtParent->Text(), "华南");
  EXPECT_EQ(Node(3)->Parent(), Node(6)) << "the tree shows the new parent while the row is edited";

  form->PressKey(VK_DELETE);
  EXPECT_EQ(cdsTreeData->FieldByName("F_PARENTID").AsLargeInt(), 0) << "Delete makes it a top-level row";
  EXPECT_EQ(edtParent->Text(), "");

  edtParent->ParentsSelectable = false;
  form->PressKey(VK_F4);
  list.SetFocusedNode(list.FindNodeByKey(8));
  list.ClickNode(nullptr);
  EXPECT_TRUE(edtParent->DroppedDown()) << "a click beside the nodes chooses nothing";
  EXPECT_EQ(cdsTreeData->FieldByName("F_PARENTID").AsLargeInt(), 0);
  list.ClickNode(list.FindNodeByKey(6));
  EXPECT_TRUE(edtParent->DroppedDown()) << "a node with children may not be chosen";
  list.ClickNode(list.FindNodeByKey(7));
  EXPECT_EQ(cdsTreeData->FieldByName("F_PARENTID").AsLargeInt(), 7);
  EXPECT_EQ(edtParent->Text(), "广东");
}

}  // namespace
}  // namespace jxc
