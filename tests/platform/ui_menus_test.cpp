// Popup menus: items, radio groups, sub-menus, linked actions and ownership.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Actions.h"
#include "platform/Application.h"
#include "platform/Menus.h"

namespace jxc {
namespace {

class UiMenusTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetApplication(); }
  void TearDown() override { ResetApplication(); }
};

TEST_F(UiMenusTest, RadioItemsOfAGroupExcludeEachOtherAndOneClickHandlerLearnsTheSender) {
  TComponent screen(nullptr);
  TPopupMenu menu(&screen);
  std::vector<std::string> chosen;
  auto onClick = [&](TMenuItem& item) {
    for (TMenuItem* other : menu.Items().SubItems()) other->SetChecked(false);
    item.SetChecked(true);
    chosen.push_back(item.Caption());
  };
  TMenuItem* today = menu.Items().AddItem("今天", onClick, &screen);
  today->SetName("ppmToday");
  today->SetChecked(true);
  TMenuItem* week = menu.Items().AddItem("本周", onClick, &screen);
  menu.Items().AddSeparator(&screen);
  TMenuItem* month = menu.Items().AddItem("本月(&M)", onClick, &screen);
  month->Click();
  EXPECT_TRUE(month->Checked());
  EXPECT_FALSE(today->Checked());
  EXPECT_EQ(chosen, (std::vector<std::string>{"本月(&M)"}));
  EXPECT_EQ(menu.Items().Find("本月(M)"), month) << "found without the accelerator mark";
  EXPECT_TRUE(menu.Items().Items(2)->IsLine());

  today->RadioItem = week->RadioItem = true;
  today->GroupIndex = week->GroupIndex = 1;
  week->SetChecked(true);
  today->SetChecked(true);
  EXPECT_FALSE(week->Checked());
  EXPECT_TRUE(month->Checked()) << "not in the radio group";
}

TEST_F(UiMenusTest, ItemsLinkedToAnActionShowItAndRunIt) {
  TComponent screen(nullptr);
  TActionList actions(&screen);
  TAction* actExport = actions.AddAction("actExport", "导出");
  int exported = 0;
  actExport->OnExecute = [&](TAction&) { ++exported; };
  TPopupMenu menu(&screen);
  TMenuItem* item = menu.Items().AddItem("", nullptr, &screen);
  item->SetAction(actExport);
  EXPECT_EQ(item->Caption(), "导出");
  actExport->Enabled = false;
  EXPECT_FALSE(item->Enabled());
  item->Click();
  EXPECT_EQ(exported, 0);
  actExport->Enabled = true;
  item->Click();
  EXPECT_EQ(exported, 1);
  delete actExport;
  EXPECT_EQ(item->Action(), nullptr);
  EXPECT_EQ(actions.ActionCount(), 0);
  item->Click();  // nothing linked, no handler: nothing happens
}

TEST_F(UiMenusTest, SubItemsGoWithTheirParentAndAnItemFreedAloneLeavesItsParent) {
  TComponent screen(nullptr);
  auto* menu = new TPopupMenu(&screen);
  TMenuItem* layout = menu->Items().AddItem("布局", nullptr, &screen);
  TMenuItem* save = layout->AddItem("保存布局", nullptr, &screen);
  TMenuItem* load = layout->AddItem("载入布局", nullptr, &screen);
  EXPECT_EQ(layout->Count(), 2);
  EXPECT_EQ(save->Parent(), layout);
  delete load;
  EXPECT_EQ(layout->Count(), 1);
  int before = screen.ComponentCount();
  menu->Items().Clear();
  EXPECT_EQ(screen.ComponentCount(), before - 2) << "the item and its sub-item were freed";
  delete menu;
}

TEST_F(UiMenusTest, PopupRunsOnPopupBeforeTheMenuShows) {
  TPopupMenu menu(nullptr);
  TMenuItem* track = menu.Items().AddItem("串码跟踪");
  menu.OnPopup = [&](TPopupMenu& m) {
    EXPECT_FALSE(m.Showing());
    track->SetEnabled(false);
  };
  menu.Popup();
  EXPECT_TRUE(menu.Showing());
  EXPECT_FALSE(track->Enabled());
  EXPECT_EQ(menu.PopupCount(), 1);
}

}  // namespace
}  // namespace jxc
