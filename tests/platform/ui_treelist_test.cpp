// The tree list without a dataset: walking it with the keys, expanding and collapsing, searching by
// typing on the application's clock, ticking check boxes, editing a node in place and dragging nodes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Application.h"
#include "platform/Exceptions.h"
#include "platform/Forms.h"
#include "platform/TreeList.h"

namespace jxc {
namespace {

// Regions: 华东 (上海, 江苏 (南京, 苏州)), 华南 (广东), 西北.
class UiTreeListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetApplication();
    form = new TForm(&Application());
    tree = new TTreeList(form);
    tree->SetParent(form);
    east = tree->AddChild(nullptr, "华东");
    shanghai = tree->AddChild(east, "上海");
    jiangsu = tree->AddChild(east, "江苏");
    nanjing = tree->AddChild(jiangsu, "南京");
    suzhou = tree->AddChild(jiangsu, "苏州");
    south = tree->AddChild(nullptr, "华南");
    guangdong = tree->AddChild(south, "广东");
    west = tree->AddChild(nullptr, "西北");
    tree->SetFocus();
  }
  void TearDown() override { ResetApplication(); }

  std::vector<std::string> Shown() const {
    std::vector<std::string> texts;
    for (TTreeListNode* n : tree->VisibleNodes()) texts.push_back(n->Text());
    return texts;
  }

  TForm* form;
  TTreeList* tree;
  TTreeListNode *east, *shanghai, *jiangsu, *nanjing, *suzhou, *south, *guangdong, *west;
};

TEST_F(UiTreeListTest, ArrowKeysWalkTheShownNodesAndOpenAndCloseBranches) {
  EXPECT_EQ(tree->Count(), 8);
  EXPECT_EQ(Shown(), (std::vector<std::string>{"华东", "华南", "西北"}));
  EXPECT_EQ(nanjing->Level(), 2);
  EXPECT_EQ(nanjing->Parent()->Parent(), east);
  EXPECT_TRUE(nanjing->HasAsParent(east));
  EXPECT_FALSE(east->HasAsParent(nanjing));

  form->PressKey(VK_DOWN);
  EXPECT_EQ(tree->FocusedNode(), east) << "the first Down focuses the first node";
  form->PressKey(VK_RIGHT);
  EXPECT_TRUE(east->Expanded());
  form->PressKey(VK_RIGHT);
  EXPECT_EQ(tree->FocusedNode(), shanghai) << "Right on an open node goes to its first child";
  form->PressKey(VK_DOWN);
  form->PressKey(VK_RIGHT);
  form->PressKey(VK_DOWN);
  EXPECT_EQ(tree->FocusedNode(), nanjing);
  EXPECT_EQ(Shown(), (std::vector<std::string>{"华东", "上海", "江苏", "南京", "苏州", "华南", "西北"}));
  form->PressKey(VK_LEFT);
  EXPECT_EQ(tree->FocusedNode(), jiangsu) << "Left on a leaf goes to the parent";
  form->PressKey(VK_END);
  EXPECT_EQ(tree->FocusedNode(), west);
  form->PressKey(VK_HOME);
  EXPECT_EQ(tree->FocusedNode(), east);

  // Collapsing a branch that holds the focus brings the focus up to it.
  tree->SetFocusedNode(suzhou);
  east->Collapse();
  EXPECT_EQ(tree->FocusedNode(), east);
  // Focusing a node deep inside opens the way to it.
  tree->SetFocusedNode(suzhou);
  EXPECT_TRUE(east->Expanded() && jiangsu->Expanded());
  tree->FullCollapse();
  EXPECT_EQ(tree->FocusedNode(), east);
  tree->FullExpand();
  EXPECT_EQ(tree->VisibleNodes().size(), 8u);
}

TEST_F(UiTreeListTest, TypingSearchesTheShownNodesAndStartsAfreshAfterASecond) {
  tree->FullExpand();
  tree->SetFocusedNode(east);
  form->TypeText("苏");
  EXPECT_EQ(tree->FocusedNode(), suzhou);
  Application().Advance(999);
  form->TypeText("州");
  EXPECT_EQ(tree->FocusedNode(), suzhou) << "typed within the second: the search goes on with 苏州";
  EXPECT_EQ(tree->SearchText(), "苏州");
  Application().Advance(1000);
  EXPECT_EQ(tree->SearchText(), "");
  form->TypeText("华");
  EXPECT_EQ(tree->FocusedNode(), south) << "a fresh search starts from the focused node";
  form->TypeText("x");
  EXPECT_EQ(tree->FocusedNode(), south) << "no node matches: the focus stays";
  EXPECT_EQ(tree->SearchText(), "华");
}

TEST_F(UiTreeListTest, CheckGroupsTickWholeBranchesAndShowPartlyTickedParentsGrayed) {
  tree->OptionsView.CheckBoxes = true;
  tree->OptionsView.CheckGroups = true;
  std::vector<TTreeListNode*> ticked;
  tree->OnNodeCheckChanged = [&](TTreeList&, TTreeListNode* node) { ticked.push_back(node); };
  tree->ClickCheckBox(jiangsu);
  EXPECT_TRUE(nanjing->Checked() && suzhou->Checked());
  EXPECT_EQ(east->CheckState(), TCheckState::csGrayed);
  tree->ClickCheckBox(shanghai);
  EXPECT_EQ(east->CheckState(), TCheckState::csChecked);
  tree->SetFocusedNode(suzhou);
  form->PressKey(VK_SPACE);
  EXPECT_FALSE(suzhou->Checked());
  EXPECT_EQ(jiangsu->CheckState(), TCheckState::csGrayed);
  EXPECT_EQ(east->CheckState(), TCheckState::csGrayed);
  EXPECT_EQ(ticked, (std::vector<TTreeListNode*>{jiangsu, shanghai, suzhou}));

  // A walk sees every node's state and may change it.
  int seen = 0;
  tree->IterateNodes([&](bool& checked, const std::vector<Variant>&) {
    ++seen;
    checked = !checked;
  });
  EXPECT_EQ(seen, 8);
  EXPECT_TRUE(west->Checked());
  EXPECT_FALSE(nanjing->Checked());
}

TEST_F(UiTreeListTest, TheInplaceEditorWritesOnEnterKeepsTheTextOnEscAndNeedsEditingSwitchedOn) {
  tree->SetFocusedNode(west);
  form->PressKey(VK_F2);
  EXPECT_FALSE(tree->Editing()) << "editing is off by default";
  tree->OptionsData.Editing = true;
  form->PressKey(VK_F2);
  ASSERT_TRUE(tree->Editing());
  EXPECT_TRUE(tree->InplaceEditor().Focused());
  form->TypeText("西北区");
  form->PressKey(VK_RETURN);
  EXPECT_FALSE(tree->Editing());
  EXPECT_EQ(west->Text(), "西北区") << "the editor opened with its text selected, so typing replaced it";
  EXPECT_TRUE(tree->Focused()) << "the focus is back in the tree";

  form->PressKey(VK_F2);
  form->TypeText("X");
  form->PressKey(VK_ESCAPE);
  EXPECT_EQ(west->Text(), "西北区");

  bool allow = false;
  tree->OnEditing = [&](TTreeList&, TTreeListNode*, bool& a) { a = allow; };
  EXPECT_FALSE(tree->ShowEditor());
  allow = true;
  tree->SetEnabled(false);
  EXPECT_FALSE(tree->ShowEditor()) << "a disabled tree does not edit";
  tree->SetEnabled(true);
  EXPECT_TRUE(tree->ShowEditor());
  // A click on another node writes the editor first.
  form->TypeText("西部");
  tree->ClickNode(south);
  EXPECT_EQ(west->Text(), "西部");
  EXPECT_EQ(tree->FocusedNode(), south);
}

TEST_F(UiTreeListTest, ANodeIsNeverDroppedOntoItselfItsBranchOrItsOwnParent) {
  tree->OptionsBehavior.DragDrop = true;
  EXPECT_FALSE(tree->CanDrop(jiangsu, jiangsu));
  EXPECT_FALSE(tree->CanDrop(jiangsu, suzhou)) << "below itself";
  EXPECT_FALSE(tree->CanDrop(jiangsu, east)) << "already its parent";
  EXPECT_FALSE(tree->CanDrop(east, nullptr)) << "already at the top";
  EXPECT_TRUE(tree->CanDrop(jiangsu, south));
  EXPECT_THROW(tree->MoveTo(east, nanjing), EInvalidOperation);

  // The screen adds its own rule: top-level nodes stay where they are.
  tree->OnDragOver = [](TTreeList&, TTreeListNode* source, TTreeListNode*, bool& accept) {
    accept = source->Parent() != nullptr;
  };
  EXPECT_FALSE(tree->DragNodeTo(west, south));
  EXPECT_EQ(west->Parent(), nullptr);

  std::vector<std::string> dropped;
  tree->OnDragDrop = [&](TTreeList&, TTreeListNode* source, TTreeListNode* target) {
    dropped.push_back(source->Text() + ">" + (target ? target->Text() : ""));
  };
  EXPECT_TRUE(tree->DragNodeTo(jiangsu, south));
  EXPECT_EQ(jiangsu->Parent(), south);
  EXPECT_EQ(south->Children().back(), jiangsu) << "the dropped node comes last";
  EXPECT_EQ(suzhou->Level(), 2) << "the branch went with it";
  EXPECT_TRUE(jiangsu->IsVisible()) << "the dropped node stays in sight";
  EXPECT_TRUE(tree->DragNodeTo(jiangsu, nullptr)) << "the empty area makes a top-level node";
  EXPECT_EQ(jiangsu->Parent(), nullptr);
  EXPECT_EQ(dropped, (std::vector<std::string>{"江苏>华南", "江苏>"}));
}

TEST_F(UiTreeListTest, HoveringADraggedNodeOverACollapsedBranchOpensItAfterTheDelay) {
  tree->OptionsBehavior.DragDrop = true;
  tree->SetFocusedNode(shanghai);
  ASSERT_TRUE(tree->BeginDrag(shanghai));
  EXPECT_TRUE(tree->DragOver(south));
  Application().Advance(499);
  EXPECT_FALSE(south->Expanded());
  Application().Advance(1);
  EXPECT_TRUE(south->Expanded());
  EXPECT_TRUE(tree->DragOver(guangdong));
  form->PressKey(VK_ESCAPE);
  EXPECT_FALSE(tree->Dragging()) << "Esc ends the drag";
  EXPECT_FALSE(tree->EndDrag(guangdong));
  EXPECT_EQ(shanghai->Parent(), east);

  // A disabled tree takes no gestures.
  tree->SetEnabled(false);
  EXPECT_FALSE(tree->BeginDrag(shanghai));
  tree->ClickNode(west);
  EXPECT_NE(tree->FocusedNode(), west);
}

TEST_F(UiTreeListTest, DeletingANodeTakesItsBranchAndTheFocusMovesOn) {
  tree->SetFocusedNode(nanjing);
  tree->DeleteNode(jiangsu);
  EXPECT_EQ(tree->Count(), 5);
  EXPECT_EQ(tree->FocusedNode(), shanghai) << "no next sibling: the previous one";
  tree->DeleteNode(east);
  EXPECT_EQ(tree->FocusedNode(), south);
  EXPECT_EQ(tree->TopCount(), 2);
  tree->Clear();
  EXPECT_EQ(tree->Count(), 0);
  EXPECT_EQ(tree->FocusedNode(), nullptr);
}

}  // namespace
}  // namespace jxc
