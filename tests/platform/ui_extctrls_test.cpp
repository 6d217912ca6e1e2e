// Popup edits, lists, the balloon hint on the clock, tool-bar items and the scripted system dialogs.
#include <gtest/gtest.h>

#include <string>

#include "platform/Actions.h"
#include "platform/Application.h"
#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "platform/Menus.h"
#include "platform/SystemDialogs.h"

namespace jxc {
namespace {

class UiExtCtrlsTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetApplication(); }
  void TearDown() override { ResetApplication(); }
};

TEST_F(UiExtCtrlsTest, PopupEditRebuildsItsContentOnEachOpening) {
  TForm form(nullptr);
  auto* edit = new TPopupEdit(&form);
  auto* frame = new TFrame(&form);
  edit->PopupControl = frame;
  int inits = 0, closes = 0;
  edit->OnInitPopup = [&](TPopupEdit& sender) {
    ++inits;
    EXPECT_FALSE(sender.DroppedDown());
  };
  edit->OnCloseUp = [&](TPopupEdit&) { ++closes; };
  edit->Popup();
  edit->Popup();  // already open
  EXPECT_TRUE(edit->DroppedDown());
  edit->CloseUp();
  edit->Popup();
  EXPECT_EQ(inits, 2);
  EXPECT_EQ(closes, 1);
}

TEST_F(UiExtCtrlsTest, BalloonHintAppearsAfterItsDelayAndHidesItself) {
  TBalloonHint hint(nullptr);
  hint.ShowHint(nullptr, "提示", "名称不能为空");
  EXPECT_FALSE(hint.Showing());
  Application().Advance(200);
  EXPECT_TRUE(hint.Showing());
  Application().Advance(1499);
  EXPECT_TRUE(hint.Showing());
  Application().Advance(1);
  EXPECT_FALSE(hint.Showing());
  EXPECT_EQ(hint.Text(), "名称不能为空");
}

TEST_F(UiExtCtrlsTest, ListsSelectAndCheckEntries) {
  TListBox lstFields(nullptr);
  int clicks = 0;
  lstFields.OnClick = [&](TControl&) { ++clicks; };
  lstFields.Add("店铺", std::string("F_SHOP"));
  lstFields.Add("日期", std::string("F_BILL_DATE"), 3);
  lstFields.ClickItem(1);
  EXPECT_EQ(lstFields.ItemIndex(), 1);
  EXPECT_EQ(std::any_cast<std::string>(lstFields.Items(1).Data), "F_BILL_DATE");
  EXPECT_EQ(clicks, 1);

  TCheckListBox shops(nullptr);
  shops.Add("一店");
  shops.Add("二店");
  shops.CheckAll();
  int checkedIndex = -1;
  shops.OnClickCheck = [&](TCheckListBox&, int index) { checkedIndex = index; };
  shops.ToggleByUser(0);
  EXPECT_FALSE(shops.Checked(0));
  EXPECT_TRUE(shops.Checked(1));
  EXPECT_EQ(checkedIndex, 0);
}

TEST_F(UiExtCtrlsTest, BarItemsAndDropDownButtonsFollowActionsAndMenus) {
  TForm form(nullptr);
  TActionList actions(&form);
  TAction* actCopy = actions.AddAction("actCopy", "复制");
  int copies = 0;
  actCopy->OnExecute = [&](TAction&) { ++copies; };
  TToolBar bar(&form);
  TBarItem* button = bar.AddItem("", actCopy);
  TBarItem* autoCopy = bar.AddItem("自动复制");
  autoCopy->CheckButton = true;
  button->Click();
  autoCopy->Click();
  EXPECT_EQ(copies, 1);
  EXPECT_EQ(button->Caption(), "复制");
  EXPECT_TRUE(autoCopy->Down);
  EXPECT_EQ(bar.Items().size(), 2u);

  TPopupMenu presets(&form);
  auto* btnSelectDatePart = new TDropDownButton(&form);
  btnSelectDatePart->DropDownMenu = &presets;
  btnSelectDatePart->DropDown();
  EXPECT_EQ(presets.PopupCount(), 1);
}

TEST_F(UiExtCtrlsTest, DialogComponentsAndTheInputQueryTakeScriptedAnswers) {
  TScriptedInputQuery query;
  ScopedInputQuery useQuery(query);
  std::string remark = "旧备注";
  EXPECT_FALSE(InputQuery("修改备注", "请输入新备注", remark)) << "no answer queued: cancelled";
  EXPECT_EQ(remark, "旧备注");
  query.QueueAnswer(std::string("新备注"));
  EXPECT_TRUE(InputQuery("修改备注", "请输入新备注", remark));
  EXPECT_EQ(remark, "新备注");
  ASSERT_EQ(query.Calls().size(), 2u);
  EXPECT_EQ(query.Calls()[1].Value, "旧备注");

  TScriptedSaveDialog saveScript;
  ScopedSaveFileDialog useSave(saveScript);
  TSaveDialog save(nullptr);
  save.Filter = "Excel97-2003|*.xls|(Excel2007-2013)|*.xlsx";
  save.FileName = "销售";
  EXPECT_FALSE(save.Execute());
  saveScript.QueueChoice("/tmp/销售", 2);
  ASSERT_TRUE(save.Execute());
  EXPECT_EQ(save.FileName, "/tmp/销售");
  EXPECT_EQ(save.FilterIndex, 2);
  EXPECT_EQ(saveScript.Requests().front().FileName, "销售");

  TOpenDialog open(nullptr);
  EXPECT_FALSE(open.Execute()) << "the default open dialog cancels";
}

}  // namespace
}  // namespace jxc
