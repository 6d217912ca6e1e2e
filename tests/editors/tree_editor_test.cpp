// The tree editor on the sample shop's regions and product configurations: adding, editing and saving a
// node, refusals that write nothing, deleting a branch as the question says (and never a system row or an
// orphan), moving a node up or by dragging without ever making it its own ancestor, refresh, the picker
// kept per caption, and the small node editor.

#include <gtest/gtest.h>

#include "EditorTestSupport.h"
#include "editors/UnitFrmBaseTreeEditor.h"
#include "editors/UnitFrmBaseTreePopEditor.h"
#include "platform/DBTreeList.h"
#include "platform/DBTreePopupEdit.h"
#include "services/DBCache.h"
#include "services/SampleShopScreens.h"

namespace jxc {
namespace {

using testing::EditorTest;

class TreeEditorTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    cache = std::make_shared<TDBCache>(db);
    SysService::Register<ICache>(cache);
    // The sample's regions: 广东省 (44) with 深圳市 (4403) and 广州市 (4401), and 北京市 (11). 深圳市 gets a
    // district, so that the tree is three levels deep.
    db->ExecSQL("INSERT INTO TB_PROVINCE (F_ID, F_CODE, F_NAME, F_PY, F_PARENTID) VALUES (800001, '440304', '福田区', 'FTQ', " +
                Id("深圳市") + ")");
  }

  std::string Id(const std::string& region) { return Text("SELECT F_ID FROM TB_PROVINCE WHERE F_NAME = '" + region + "'"); }

  TFrmBaseTreeEditor* OpenTree(const std::string& caption = "区域资料") {
    auto* screen = CreateForm<TFrmBaseTreeEditor>(&Application());
    screen->SetCaption(caption);
    screen->DoOnShow();
    screen->ShowForm();
    return screen;
  }
  TTreeListNode* Node(TFrmBaseTreeEditor& screen, const std::string& text) {
    TTreeListNode* node = screen.dbTree->FindNodeByText(text);
    EXPECT_NE(node, nullptr) << text;
    return node;
  }
  void Focus(TFrmBaseTreeEditor& screen, const std::string& text) { screen.dbTree->SetFocusedNode(Node(screen, text)); }
  void Click(TAction* action) {
    Application().Dispatch([action] { action->Execute(); });
    Application().ProcessMessages();
  }
  // The user replaces the name in the node panel.
  void TypeName(TFrmBaseTreeEditor& screen, const std::string& name) {
    screen.SetActiveControl(screen.edtName);
    screen.edtName->SelectAll();
    screen.PressKey(VK_DELETE);
    screen.TypeText(name);
  }
  // Rows whose parent is gone.
  int64_t Orphans(const std::string& table) {
    return Count("SELECT COUNT(*) FROM " + table + " c WHERE c.F_PARENTID <> 0 AND NOT EXISTS (SELECT 1 FROM " + table +
                 " p WHERE p.F_ID = c.F_PARENTID)");
  }

  std::shared_ptr<TDBCache> cache;
};

TEST_F(TreeEditorTest, TheEditorShowsItsFunctionsTableAsCodeAndName) {
  auto* screen = OpenTree();
  EXPECT_EQ(screen->lblTitle->Caption(), "区域资料");
  EXPECT_EQ(screen->dbTree->Count(), Count("SELECT COUNT(*) FROM TB_PROVINCE"));
  TTreeListNode* district = Node(*screen, "440304-福田区");
  EXPECT_EQ(district->Level(), 2);
  EXPECT_EQ(district->Parent()->Text(), "4403-深圳市");
  EXPECT_FALSE(screen->actSelect->Visible);
  EXPECT_TRUE(screen->actDelete->Visible && screen->actUp->Visible);

  db->ExecSQL("INSERT INTO TB_SYS_FUNCTION (F_ID, F_NAME, F_ClassName) VALUES (77, '无表树', 'TFrmBaseTreeEditor')");
  auto* broken = CreateForm<TFrmBaseTreeEditor>(&Application());
  broken->SetCaption("无表树");
  EXPECT_THROW(
      try { broken->DoOnShow(); } catch (const Exception& error) {
        EXPECT_STREQ(error.what(), "数据表未配置");
        throw;
      },
      Exception);
}

TEST_F(TreeEditorTest, ANewChildIsEditedInTheNodePanelAndSavedWithItsPinyin) {
  cache->GetCacheItem("TB_PROVINCE", "SELECT F_ID, F_NAME FROM TB_PROVINCE");
  const int64_t before = Count("SELECT COUNT(*) FROM TB_PROVINCE");
  auto* screen = OpenTree();
  Focus(*screen, "4403-深圳市");
  Click(screen->actNew);
  EXPECT_EQ(screen->cdsTreeData->State(), dsInsert);
  EXPECT_EQ(screen->cdsTreeData->FieldByName("F_NAME").AsString(), "新节点");
  EXPECT_EQ(screen->cdsTreeData->FieldByName("F_PARENTID").AsString(), Id("深圳市"));
  EXPECT_FALSE(screen->cdsTreeData->FieldByName("F_ID").IsNull());
  EXPECT_EQ(screen->ActiveControl(), screen->edtName);
  // While the row is edited nothing may leave it.
  EXPECT_FALSE(screen->dbTree->Enabled());
  EXPECT_FALSE(screen->actNew->Enabled || screen->actDelete->Enabled || screen->actRefresh->Enabled);
  EXPECT_TRUE(screen->actSave->Enabled && screen->actSaveAndAdd->Enabled && screen->actCancel->Enabled);

  screen->TypeText("南山区");
  EXPECT_EQ(cache->GetCacheItem("TB_PROVINCE", "SELECT F_ID, F_NAME FROM TB_PROVINCE")->GetDataSet().RecordCount(), before)
      << "nothing unsaved reaches other screens";
  Click(screen->actSave);
  EXPECT_TRUE(dialog->Shown("保存成功"));
  EXPECT_EQ(Text("SELECT F_PY || '/' || F_PARENTID FROM TB_PROVINCE WHERE F_NAME = '南山区'"), "NSQ/" + Id("深圳市"));
  EXPECT_TRUE(screen->dbTree->Enabled());
  EXPECT_EQ(Node(*screen, screen->cdsTreeData->FieldByName("F_CODE").AsString() + "-南山区")->Parent()->Text(), "4403-深圳市");
  EXPECT_EQ(cache->GetCacheItem("TB_PROVINCE", "SELECT F_ID, F_NAME FROM TB_PROVINCE")->GetDataSet().RecordCount(), before + 1);

  // Save-and-add saves, then starts a sibling.
  Click(screen->actEdit);
  TypeName(*screen, "南山");
  Click(screen->actSaveAndAdd);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM TB_PROVINCE WHERE F_NAME = '南山'"), 1);
  EXPECT_EQ(screen->cdsTreeData->State(), dsInsert);
  EXPECT_EQ(screen->cdsTreeData->FieldByName("F_PARENTID").AsString(), Id("深圳市"));
  Click(screen->actCancel);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM TB_PROVINCE"), before + 1);
}

TEST_F(TreeEditorTest, BlankOrTakenNamesAreRefusedAndNothingIsWritten) {
  auto* screen = OpenTree();
  const int64_t before = Count("SELECT COUNT(*) FROM TB_PROVINCE");
  Focus(*screen, "44-广东省");
  Click(screen->actNew);
  TypeName(*screen, "   ");
  Click(screen->actSave);
  EXPECT_EQ(dialog->Last().Text, "请填写名称");
  EXPECT_EQ(screen->ActiveControl(), screen->edtName);
  EXPECT_EQ(screen->cdsTreeData->State(), dsInsert);
  TypeName(*screen, "广州市");
  Click(screen->actSave);
  EXPECT_EQ(dialog->Last().Text, "名称重复,请重新填写");
  EXPECT_EQ(Count("SELECT COUNT(*) FROM TB_PROVINCE"), before);

  // A name typed with blanks around it is kept without them.
  TypeName(*screen, "  佛山市 ");
  Click(screen->actSave);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM TB_PROVINCE WHERE F_NAME = '佛山市'"), 1);
}

TEST_F(TreeEditorTest, AnEditStillOpenIsSavedAndCancelPutsEverythingBack) {
  auto* screen = OpenTree();
  Focus(*screen, "4401-广州市");
  screen->dbTree->DblClickNode(screen->dbTree->FocusedNode());
  EXPECT_EQ(screen->cdsTreeData->State(), dsEdit);
  TypeName(*screen, "羊城");
  Click(screen->actCancel);
  EXPECT_EQ(screen->cdsTreeData->FieldByName("F_NAME").AsString(), "广州市");
  Node(*screen, "4401-广州市");

  Focus(*screen, "44-广东省");
  Click(screen->actNew);
  Click(screen->actCancel);
  EXPECT_EQ(screen->dbTree->FindNodeByText("新节点"), nullptr);
  EXPECT_EQ(screen->cdsTreeData->ChangeCount(), 0);

  // The name box still holds the text when Save is clicked: it is what the database gets.
  Focus(*screen, "4401-广州市");
  Click(screen->actEdit);
  screen->SetActiveControl(screen->edtName);
  screen->edtName->SelectAll();
  screen->TypeText("羊城");
  Click(screen->actSave);
  EXPECT_EQ(Text("SELECT F_NAME || '/' || F_PY FROM TB_PROVINCE WHERE F_CODE = '4401'"), "羊城/YC");
}

TEST_F(TreeEditorTest, DeletingANodeDeletesItsWholeBranchAsTheQuestionSays) {
  auto* screen = OpenTree();
  Focus(*screen, "4403-深圳市");
  dialog->QueueAnswer(false);
  Click(screen->actDelete);
  EXPECT_EQ(dialog->Last().Text, "确定删除[深圳市]及下级节点吗?");
  EXPECT_EQ(Count("SELECT COUNT(*) FROM TB_PROVINCE WHERE F_NAME IN ('深圳市', '福田区')"), 2);

  dialog->QueueAnswer(true);
  Click(screen->actDelete);
  EXPECT_TRUE(dialog->Shown("删除成功"));
  EXPECT_EQ(Count("SELECT COUNT(*) FROM TB_PROVINCE WHERE F_NAME IN ('深圳市', '福田区')"), 0);
  EXPECT_EQ(Orphans("TB_PROVINCE"), 0);
  EXPECT_EQ(screen->dbTree->FindNodeByText("440304-福田区"), nullptr);
  EXPECT_EQ(screen->cdsTreeData->ChangeCount(), 0);
}

TEST_F(TreeEditorTest, SystemRowsAndBranchesHoldingThemAreNeverDeleted) {
  db->ExecSQL("INSERT INTO TB_PRODUCT_CONFIG (F_ID, F_CODE, F_NAME, F_PARENTID) VALUES (99, '01', '默认', " +
              std::to_string(shop.Configs[0]) + ")");
  db->ExecSQL("INSERT INTO TB_PRODUCT_CONFIG (F_ID, F_CODE, F_NAME, F_PARENTID) VALUES (100, '02', '用户', " +
              std::to_string(kSampleSystemConfig) + ")");
  auto* screen = OpenTree("商品配置");
  const int64_t before = Count("SELECT COUNT(*) FROM TB_PRODUCT_CONFIG");
  for (const char* node : {"0-通用", "01-默认", "1-手机"}) {
    Focus(*screen, node);
    dialog->QueueAnswer(true);
    Click(screen->actDelete);
    EXPECT_EQ(dialog->Last().Text, "系统默认不能删除") << node;
  }
  EXPECT_EQ(dialog->PendingAnswers(), 3) << "no question was asked";
  Focus(*screen, "02-用户");
  dialog->QueueAnswer(true);
  Click(screen->actDelete);
  EXPECT_TRUE(dialog->Shown("确定删除[用户]及下级节点吗?"));
  EXPECT_EQ(Count("SELECT COUNT(*) FROM TB_PRODUCT_CONFIG"), before - 1);
}

TEST_F(TreeEditorTest, AFailedDeleteLeavesTheTreeAndTheDatabaseAsTheyWere) {
  db->Connection().ExecScript(
      "CREATE TRIGGER keep_regions BEFORE DELETE ON TB_PROVINCE BEGIN SELECT RAISE(ABORT, '区域已被使用'); END;");
  auto* screen = OpenTree();
  const int64_t before = Count("SELECT COUNT(*) FROM TB_PROVINCE");
  const int nodes = screen->dbTree->Count();
  Focus(*screen, "4403-深圳市");
  dialog->QueueAnswer(true);
  Click(screen->actDelete);
  EXPECT_NE(dialog->Last().Text.find("删除失败"), std::string::npos);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM TB_PROVINCE"), before);
  EXPECT_EQ(screen->dbTree->Count(), nodes);
  EXPECT_EQ(screen->cdsTreeData->ChangeCount(), 0);

  // A move waiting for Save must be saved (or refreshed away) before a delete.
  db->Connection().ExecScript("DROP TRIGGER keep_regions;");
  Focus(*screen, "440304-福田区");
  Click(screen->actUp);
  Focus(*screen, "4401-广州市");
  dialog->QueueAnswer(true);
  Click(screen->actDelete);
  EXPECT_EQ(dialog->Last().Text, "请先保存或取消修改,再删除节点");
  EXPECT_EQ(Count("SELECT COUNT(*) FROM TB_PROVINCE"), before);
}

TEST_F(TreeEditorTest, MoveUpMakesANodeASiblingOfItsParentWhenSaved) {
  auto* screen = OpenTree();
  Focus(*screen, "440304-福田区");
  Click(screen->actUp);
  EXPECT_EQ(dialog->Last().Text, "已移动到[4403-深圳市]平级");
  TTreeListNode* district = Node(*screen, "440304-福田区");
  EXPECT_EQ(district->Parent()->Text(), "44-广东省");
  EXPECT_EQ(district->Index(), district->Parent()->Count() - 1) << "the last child of its grandparent";
  EXPECT_EQ(Text("SELECT F_PARENTID FROM TB_PROVINCE WHERE F_ID = 800001"), Id("深圳市")) << "not before Save";
  EXPECT_TRUE(screen->actSave->Enabled);
  Click(screen->actSave);
  EXPECT_EQ(Text("SELECT F_PARENTID FROM TB_PROVINCE WHERE F_ID = 800001"), Id("广东省"));

  // A top-level node, or a child of one, has nowhere to go.
  dialog->Clear();
  for (const char* node : {"44-广东省", "440304-福田区"}) {
    Focus(*screen, node);
    Click(screen->actUp);
  }
  EXPECT_EQ(dialog->Count(), 0);
  EXPECT_EQ(screen->cdsTreeData->ChangeCount(), 0);
}

TEST_F(TreeEditorTest, DraggingNeverMakesANodeItsOwnAncestor) {
  auto* screen = OpenTree();
  TDBTreeList& tree = *screen->dbTree;
  tree.FullExpand();
  TTreeListNode* guangdong = Node(*screen, "44-广东省");
  TTreeListNode* shenzhen = Node(*screen, "4403-深圳市");
  TTreeListNode* futian = Node(*screen, "440304-福田区");
  TTreeListNode* guangzhou = Node(*screen, "4401-广州市");
  TTreeListNode* beijing = Node(*screen, "11-北京市");
  EXPECT_FALSE(tree.DragNodeTo(shenzhen, shenzhen)) << "onto itself";
  EXPECT_FALSE(tree.DragNodeTo(shenzhen, futian)) << "onto its own branch";
  EXPECT_FALSE(tree.DragNodeTo(shenzhen, guangdong)) << "onto its present parent";
  EXPECT_FALSE(tree.DragNodeTo(guangdong, beijing)) << "a top-level node stays at the top";
  EXPECT_FALSE(tree.DragNodeTo(shenzhen, nullptr));
  EXPECT_FALSE(tree.DragNodeTo(guangzhou, futian)) << "a level-1 node goes no deeper than a level-2 target";
  EXPECT_EQ(screen->cdsTreeData->ChangeCount(), 0);

  EXPECT_TRUE(tree.DragNodeTo(futian, guangzhou));
  EXPECT_TRUE(tree.DragNodeTo(shenzhen, beijing));
  Click(screen->actSave);
  EXPECT_EQ(Text("SELECT F_PARENTID FROM TB_PROVINCE WHERE F_ID = 800001"), Id("广州市"));
  EXPECT_EQ(Text("SELECT F_PARENTID FROM TB_PROVINCE WHERE F_NAME = '深圳市'"), Id("北京市"));
  EXPECT_EQ(Orphans("TB_PROVINCE"), 0);
}

TEST_F(TreeEditorTest, TheParentChoiceLeavesOutTheNodesOwnBranch) {
  auto* screen = OpenTree();
  Focus(*screen, "4403-深圳市");
  Click(screen->actEdit);
  screen->edtParent->Popup();
  TDBTreeList& choices = screen->edtParent->Tree();
  EXPECT_FALSE(screen->edtParent->CanChoose(choices.FindNodeByKey(Variant(800001LL))));
  EXPECT_FALSE(screen->edtParent->CanChoose(choices.FindNodeByText("深圳市")));
  TTreeListNode* beijing = choices.FindNodeByText("北京市");
  ASSERT_TRUE(screen->edtParent->CanChoose(beijing));
  screen->edtParent->ChooseNode(beijing);
  Click(screen->actSave);
  EXPECT_EQ(Text("SELECT F_PARENTID FROM TB_PROVINCE WHERE F_NAME = '深圳市'"), Id("北京市"));
}

TEST_F(TreeEditorTest, RefreshReadsTheRowsAgainAndAsksBeforeDroppingMoves) {
  auto* screen = OpenTree();
  db->ExecSQL("UPDATE TB_PROVINCE SET F_NAME = '羊城' WHERE F_CODE = '4401'");
  Click(screen->actRefresh);
  EXPECT_EQ(dialog->Last().Text, "刷新完成");
  Node(*screen, "4401-羊城");

  Focus(*screen, "440304-福田区");
  Click(screen->actUp);
  dialog->QueueAnswer(false);
  Click(screen->actRefresh);
  EXPECT_EQ(screen->cdsTreeData->ChangeCount(), 1) << "the move is kept";
}

TEST_F(TreeEditorTest, ThePickerIsKeptPerCaptionAndChoosesANode) {
  TFrmBaseTreeEditor* picker = ShowBaseTreeEditor("区域资料", false);
  EXPECT_TRUE(picker->CustomTree());
  EXPECT_TRUE(picker->actSelect->Visible && picker->actSelect->Enabled);
  EXPECT_FALSE(picker->actDelete->Visible || picker->actUp->Visible);
  EXPECT_FALSE(picker->edtParent->ParentsSelectable);
  const int64_t calls = db->CallCount();
  EXPECT_EQ(ShowBaseTreeEditor("区域资料", true), picker);
  EXPECT_TRUE(picker->edtParent->ParentsSelectable) << "only the flag is applied again";
  EXPECT_EQ(db->CallCount(), calls) << "the rows are not read again";

  // Another function with the same initials has its own picker.
  db->ExecSQL("INSERT INTO TB_SYS_FUNCTION (F_ID, F_NAME, F_ClassName, F_TableName) VALUES (78, '企业资料', "
              "'TFrmBaseTreeEditor', 'TB_PRODUCT_CONFIG')");
  TFrmBaseTreeEditor* other = ShowBaseTreeEditor("企业资料", true);
  EXPECT_NE(other, picker);
  EXPECT_EQ(other->TableName(), "TB_PRODUCT_CONFIG");

  picker->dbTree->SetFocusedNode(nullptr);
  Application().QueueModalScript([](TCustomForm& form) { dynamic_cast<TFrmBaseTreeEditor&>(form).actSelect->Execute(); });
  EXPECT_EQ(picker->ShowModal(), mrCancel);
  EXPECT_EQ(dialog->Last().Text, "请选择一条记录");
  Application().QueueModalScript([this](TCustomForm& form) {
    auto& tree = dynamic_cast<TFrmBaseTreeEditor&>(form);
    Focus(tree, "4401-广州市");
    tree.actSelect->Execute();
  });
  EXPECT_EQ(picker->ShowModal(), mrOk);
  EXPECT_EQ(picker->GetID(), Id("广州市"));
}

TEST_F(TreeEditorTest, TheNodeEditorRefusesABlankNameAndCancelPutsTheRowBack) {
  auto* rows = new TClientDataSet(&Application());
  db->OpenDataSet(*rows, "SELECT F_ID,F_CODE,F_NAME,F_PARENTID, F_PY,F_REMARK  FROM TB_PROVINCE");
  rows->Locate("F_NAME", Variant("深圳市"));
  auto* editor = CreateForm<TFrmBaseTreePopEditor>(&Application());
  editor->SetDataSet(rows);
  editor->SetTitle("编辑区域");
  EXPECT_EQ(editor->Caption(), "编辑区域");
  rows->Edit();
  rows->FieldByName("F_NAME").SetAsString(" ");
  Click(editor->actOK);
  EXPECT_EQ(dialog->Last().Text, "请填写名称");
  EXPECT_EQ(rows->State(), dsEdit);

  editor->edtParent->Popup();
  EXPECT_FALSE(editor->edtParent->CanChoose(editor->edtParent->Tree().FindNodeByKey(Variant(800001LL))));
  Click(editor->actCancel);
  EXPECT_EQ(editor->ModalResult(), mrCancel);
  EXPECT_EQ(rows->FieldByName("F_NAME").AsString(), "深圳市");
}

}  // namespace
}  // namespace jxc
