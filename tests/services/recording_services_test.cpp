// The stand-in services that tests and programs drive: scripted dialogs, a rights table, a wait window.

#include <gtest/gtest.h>

#include <sstream>

#include "services/ConsoleDialog.h"
#include "services/RecordingDialog.h"
#include "services/RecordingProgressForm.h"
#include "services/TableGroupRights.h"
#include "platform/Exceptions.h"

namespace jxc {
namespace {

TEST(RecordingDialog, ConfirmationsFollowTheScriptThenRefuse) {
  TRecordingDialog dialog;
  dialog.QueueAnswers({true, false});
  dialog.QueueAnswer(true);
  EXPECT_TRUE(dialog.Confirm("提示", "确定删除吗？"));
  EXPECT_FALSE(dialog.Confirm("提示", "b"));
  EXPECT_TRUE(dialog.Confirm("采购订单", "c"));
  EXPECT_FALSE(dialog.Confirm("提示", "unexpected"));  // an unscripted question is refused
  EXPECT_EQ(dialog.Count(TDialogKind::Confirm), 4);
  EXPECT_EQ(dialog.Messages()[2].Caption, "采购订单");
  EXPECT_FALSE(dialog.Last().Answer);
}

TEST(RecordingDialog, RemembersEveryMessageInOrderWithItsKind) {
  TRecordingDialog dialog;
  dialog.ShowWarning("w");
  dialog.ShowTip("保存成功", 1.5);
  dialog.ShowException(EDatabaseError("违反唯一约束"));
  dialog.ShowError("e");
  EXPECT_EQ(dialog.Texts(TDialogKind::Exception), std::vector<std::string>{"违反唯一约束"});
  EXPECT_EQ(dialog.Messages()[1].Seconds, 1.5);
  EXPECT_TRUE(dialog.Shown("w"));
  EXPECT_EQ(dialog.Last().Kind, TDialogKind::Error);
  dialog.Clear();
  EXPECT_THROW(dialog.Last(), EInvalidOperation);
}

TEST(ConsoleDialog, YesOnlyForYOrShi) {
  std::istringstream in("y\n是\nno\n");
  std::ostringstream out;
  TConsoleDialog dialog(in, out);
  EXPECT_TRUE(dialog.Confirm("提示", "a"));
  EXPECT_TRUE(dialog.Confirm("提示", "b"));
  EXPECT_FALSE(dialog.Confirm("提示", "c"));
  EXPECT_FALSE(dialog.Confirm("提示", "end of input"));
  dialog.ShowError("出错了");
  EXPECT_NE(out.str().find("出错了"), std::string::npos);
}

TEST(TableGroupRights, OnlyWhatIsGrantedIsAllowed) {
  TTableGroupRights rights;
  rights.Grant("采购订单", "新增");
  rights.GrantItem("特殊权限", "入库成本");
  EXPECT_TRUE(rights.HasRight("采购订单", "新增"));
  EXPECT_FALSE(rights.HasRight("采购订单", "删除"));
  EXPECT_FALSE(rights.HasRight("销售订单", "新增"));
  EXPECT_TRUE(rights.HasItemRight("特殊权限", "入库成本"));
  EXPECT_FALSE(rights.HasItemRight("特殊权限", "销售毛利"));
  EXPECT_FALSE(rights.CanOpen("采购订单"));  // opening is granted on its own
  rights.Revoke("采购订单", "新增");
  EXPECT_FALSE(rights.HasRight("采购订单", "新增"));
  ASSERT_EQ(rights.Asked().size(), 7u);
  EXPECT_EQ(rights.Asked()[0].Second, "新增");
  EXPECT_TRUE(rights.Asked()[0].Granted);
}

TEST(TableGroupRights, GrantAllAllowsEverything) {
  TTableGroupRights rights;
  rights.SetGrantAll(true);
  EXPECT_TRUE(rights.HasRight("任何", "审核"));
  EXPECT_TRUE(rights.HasItemRight("特殊权限", "员工毛利"));
  EXPECT_TRUE(rights.CanOpen("任何"));
}

TEST(RecordingProgressForm, ShowingAgainReplacesTheTextAndHidingTwiceIsHarmless) {
  TRecordingProgressForm progress;
  progress.ShowProgress("正在保存...");
  progress.ShowProgress("正在审核...");
  EXPECT_TRUE(progress.Showing());
  progress.HideProgress();
  progress.HideProgress();
  EXPECT_FALSE(progress.Showing());
  EXPECT_EQ(progress.Text(), "正在审核...");
  EXPECT_EQ(progress.ShownTexts(), (std::vector<std::string>{"正在保存...", "正在审核..."}));
  EXPECT_EQ(progress.Calls().size(), 4u);
}

}  // namespace
}  // namespace jxc
