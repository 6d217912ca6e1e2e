// Forms: key routing and preview, focus and Tab order, closing, modal shows and the class registry.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Actions.h"
#include "platform/Application.h"
#include "platform/ClassRegistry.h"
#include "platform/Exceptions.h"
#include "platform/Forms.h"
#include "platform/StdCtrls.h"
#include "platform/Timer.h"

namespace jxc {
namespace {

// A dialog as the screens build it: two edits and a memo in a panel, OK and Cancel actions, key preview on
// and Enter turned into a move to the next control except in a memo.
class TestDialog : public TForm {
 public:
  explicit TestDialog(TComponent* owner) : TForm(owner) {
    SetName("TestDialog");
    KeyPreview = true;
    panel = new TPanel(this);
    panel->SetParent(this);
    edtCode = new TEdit(this);
    edtCode->SetName("edtCode");
    edtCode->SetParent(panel);
    edtName = new TEdit(this);
    edtName->SetName("edtName");
    edtName->SetParent(panel);
    mmoRemark = new TMemo(this);
    mmoRemark->SetParent(panel);
    actions = new TActionList(this);
    actOK = actions->AddAction("actOK", "确定(&Y)");
    actOK->OnExecute = [this](TAction&) { SetModalResult(mrOk); };
    actCancel = actions->AddAction("actCancel", "取消(&C)");
    actCancel->OnExecute = [this](TAction&) { SetModalResult(mrCancel); };
    btnOK = new TButton(this);
    btnOK->SetParent(this);
    btnOK->SetAction(actOK);
    OnKeyPress = [this](TWinControl&, char32_t& key) {
      if (key == 13 && !dynamic_cast<TMemo*>(ActiveControl())) {
        key = 10;
        PostMessage(WM_KEYDOWN, VK_TAB);
      }
    };
  }
  TPanel* panel;
  TEdit* edtCode;
  TEdit* edtName;
  TMemo* mmoRemark;
  TActionList* actions;
  TAction* actOK;
  TAction* actCancel;
  TButton* btnOK;
};

class UiFormsTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetApplication(); }
  void TearDown() override { ResetApplication(); }
  std::vector<std::string> log;
};

TEST_F(UiFormsTest, KeyPreviewLetsTheFormSeeKeysFirstAndSwallowThem) {
  TForm form(nullptr);
  auto* edit = new TEdit(&form);
  edit->SetParent(&form);
  edit->SetFocus();
  form.OnKeyDown = [&](TWinControl&, int& key, TShiftState) { log.push_back("form down " + std::to_string(key)); };
  form.OnKeyPress = [&](TWinControl&, char32_t& key) {
    log.push_back("form press " + std::to_string(key));
    if (key == 'x') key = 0;
  };
  edit->OnKeyDown = [&](TWinControl&, int& key, TShiftState) { log.push_back("edit down " + std::to_string(key)); };
  edit->OnKeyPress = [&](TWinControl&, char32_t& key) { log.push_back("edit press " + std::to_string(key)); };

  form.PressKey('A');
  EXPECT_EQ(log, (std::vector<std::string>{"edit down 65", "edit press 97"})) << "preview is off";
  log.clear();
  form.KeyPreview = true;
  form.PressKey('A');
  EXPECT_EQ(log, (std::vector<std::string>{"form down 65", "edit down 65", "form press 97", "edit press 97"}));
  log.clear();
  form.PressKey('X');
  EXPECT_EQ(log, (std::vector<std::string>{"form down 88", "edit down 88", "form press 120"}));
  EXPECT_EQ(edit->Text(), "aa") << "the swallowed character was not typed";
}

TEST_F(UiFormsTest, EnterMovesToTheNextControlButBreaksTheLineInAMemo) {
  TestDialog dialog(nullptr);
  dialog.edtCode->SetFocus();
  dialog.TypeText("A01");
  dialog.PressKey(VK_RETURN);
  EXPECT_EQ(dialog.ActiveControl(), dialog.edtName);
  EXPECT_EQ(dialog.edtCode->Text(), "A01");
  dialog.PressKey(VK_RETURN);
  EXPECT_EQ(dialog.ActiveControl(), dialog.mmoRemark);
  dialog.TypeText("第一行");
  dialog.PressKey(VK_RETURN);
  dialog.TypeText("第二行");
  EXPECT_EQ(dialog.ActiveControl(), dialog.mmoRemark) << "Enter keeps its meaning in a memo";
  EXPECT_EQ(dialog.mmoRemark->Text(), "第一行\r\n第二行");
  EXPECT_EQ(dialog.mmoRemark->LineCount(), 2);
}

TEST_F(UiFormsTest, TabFollowsTabOrderSkipsWhatCannotTakeTheFocusAndWraps) {
  TestDialog dialog(nullptr);
  dialog.mmoRemark->SetTabOrder(0);  // the memo first within the panel
  dialog.edtName->SetEnabled(false);
  dialog.mmoRemark->SetFocus();
  dialog.PressKey(VK_TAB);
  EXPECT_EQ(dialog.ActiveControl(), dialog.edtCode);
  dialog.PressKey(VK_TAB);
  EXPECT_EQ(dialog.ActiveControl(), dialog.btnOK);
  dialog.PressKey(VK_TAB);
  EXPECT_EQ(dialog.ActiveControl(), dialog.mmoRemark) << "wraps around";
  dialog.PressKey(VK_TAB, ssShift);
  EXPECT_EQ(dialog.ActiveControl(), dialog.btnOK);
  dialog.panel->SetVisible(false);
  EXPECT_THROW(dialog.edtCode->SetFocus(), EInvalidOperation);
}

TEST_F(UiFormsTest, FocusChangesRunExitBeforeEnterAndARefusedValueKeepsTheFocus) {
  TestDialog dialog(nullptr);
  dialog.edtCode->OnExit = [&](TWinControl&) { log.push_back("exit code"); };
  dialog.edtName->OnEnter = [&](TWinControl&) { log.push_back("enter name"); };
  dialog.edtCode->OnValidate = [](TCustomEdit&, std::string& value, std::string& error, bool& refused) {
    if (value.size() > 3) {
      refused = true;
      error = "编码太长";
    }
  };
  dialog.edtCode->SetFocus();
  dialog.TypeText("ABCD");
  dialog.PressKey(VK_TAB);
  EXPECT_EQ(dialog.ActiveControl(), dialog.edtCode);
  ASSERT_EQ(Application().ShownErrors().size(), 1u);
  EXPECT_EQ(Application().ShownErrors()[0], "编码太长");
  dialog.PressKey(VK_BACK);
  dialog.PressKey(VK_TAB);
  EXPECT_EQ(dialog.ActiveControl(), dialog.edtName);
  EXPECT_EQ(log, (std::vector<std::string>{"exit code", "enter name"}));
}

TEST_F(UiFormsTest, ShortcutsRunEnabledActionsBeforeThePreview) {
  TestDialog dialog(nullptr);
  auto* actRefresh = dialog.actions->AddAction("actRefresh", "刷新(&F5)");
  actRefresh->ShortCut = ShortCut(VK_F5, 0);
  int refreshed = 0;
  actRefresh->OnExecute = [&](TAction&) { ++refreshed; };
  dialog.OnKeyDown = [&](TWinControl&, int& key, TShiftState) { log.push_back("preview " + std::to_string(key)); };
  dialog.edtCode->SetFocus();
  dialog.PressKey(VK_F5);
  EXPECT_EQ(refreshed, 1);
  EXPECT_TRUE(log.empty()) << "the shortcut consumed the key";
  actRefresh->Enabled = false;
  dialog.PressKey(VK_F5);
  EXPECT_EQ(refreshed, 1) << "a disabled action does not run";
  EXPECT_EQ(log, (std::vector<std::string>{"preview 116"}));
  EXPECT_FALSE(actRefresh->Execute());
  EXPECT_EQ(TextToShortCut("Ctrl+Alt+P"), ShortCut('P', ssCtrl | ssAlt));
  EXPECT_EQ(ShortCutToText(ShortCut(VK_F12, ssShift)), "Shift+F12");
}

TEST_F(UiFormsTest, ModalShowReturnsTheResultOfTheActionThatRan) {
  TestDialog dialog(nullptr);
  Application().QueueModalScript([](TCustomForm& form) {
    static_cast<TestDialog&>(form).btnOK->PerformClick();
  });
  EXPECT_EQ(dialog.ShowModal(), mrOk);
  EXPECT_FALSE(dialog.Visible());
  Application().QueueModalScript([](TCustomForm& form) { form.FindComponentAs<TAction>("actCancel")->Execute(); });
  EXPECT_EQ(dialog.ShowModal(), mrCancel);
  // No script: the user closes the window.
  EXPECT_EQ(dialog.ShowModal(), mrCancel);
  Application().QueueModalScript([](TCustomForm& form) { form.Close(); });
  EXPECT_EQ(dialog.ShowModal(), mrCancel);
  dialog.Show();
  EXPECT_THROW(dialog.ShowModal(), EInvalidOperation);
}

TEST_F(UiFormsTest, TimersRunWhileTheModalScriptLetsTimePass) {
  TestDialog dialog(nullptr);
  auto* startTime = new TTimer(&dialog);
  startTime->SetEnabled(false);
  startTime->SetInterval(500);
  startTime->SetOnTimer([&](TTimer& t) {
    t.SetEnabled(false);
    log.push_back("started");
    dialog.actOK->Execute();
  });
  dialog.OnShow = [&](TCustomForm&) { startTime->SetEnabled(true); };
  Application().QueueModalScript([&](TCustomForm& form) {
    Application().Advance(499);
    EXPECT_TRUE(log.empty());
    Application().Advance(1);
  });
  EXPECT_EQ(dialog.ShowModal(), mrOk);
  EXPECT_EQ(log, (std::vector<std::string>{"started"}));
}

// Observes whether a component still exists.
struct Watch : TComponent {
  explicit Watch(TComponent* target) { target->FreeNotification(this); }
  bool gone = false;
  void Notification(TComponent*, TOperation operation) override { gone = gone || operation == TOperation::opRemove; }
};

TEST_F(UiFormsTest, ClosingAChildWindowFreesItWhileOtherFormsAreHiddenAndKept) {
  auto* mainForm = CreateForm<TForm>(&Application());
  Application().SetMainForm(mainForm);
  auto freeChildren = [](TCustomForm& form, TCloseAction& action) {
    if (form.FormStyle == TFormStyle::fsMDIChild) action = TCloseAction::caFree;
  };
  auto* child = CreateForm<TestDialog>(mainForm);
  child->FormStyle = TFormStyle::fsMDIChild;
  child->OnClose = freeChildren;
  Watch childWatch(child);
  child->Show();
  child->actOK->OnExecute = [child](TAction&) { child->Close(); };  // closes itself from its own handler
  child->btnOK->PerformClick();
  EXPECT_TRUE(childWatch.gone);
  EXPECT_EQ(mainForm->FindComponent("TestDialog"), nullptr);

  auto* dialog = CreateForm<TestDialog>(mainForm);
  dialog->OnClose = freeChildren;
  Watch dialogWatch(dialog);
  Application().QueueModalScript([](TCustomForm& form) { form.Close(); });
  EXPECT_EQ(dialog->ShowModal(), mrCancel);
  Application().ProcessMessages();
  EXPECT_FALSE(dialogWatch.gone) << "a modal screen is left to its opener";
  dialog->Show();
  dialog->Close();
  Application().ProcessMessages();
  EXPECT_FALSE(dialogWatch.gone);
  EXPECT_FALSE(dialog->Visible());
  delete dialog;
  EXPECT_TRUE(dialogWatch.gone);
}

TEST_F(UiFormsTest, CreateRunsOnCreateOnceAndShowRunsOnShowEachTime) {
  int created = 0, shown = 0;
  struct Screen : TForm {
    Screen(TComponent* owner, int& created) : TForm(owner) {
      OnCreate = [&created](TCustomForm&) { ++created; };
    }
  };
  auto* form = CreateForm<Screen>(&Application(), created);
  form->OnShow = [&](TCustomForm&) { ++shown; };
  form->Show();
  form->Show();
  form->Hide();
  form->Show();
  EXPECT_EQ(created, 1);
  EXPECT_EQ(shown, 2);
}

class RegisteredScreen : public TForm {
 public:
  explicit RegisteredScreen(TComponent* owner) : TForm(owner) {
    OnCreate = [this](TCustomForm&) { createdThroughRegistry = true; };
  }
  std::string ClassName() const override { return "TRegisteredScreen"; }
  bool createdThroughRegistry = false;
};

TEST_F(UiFormsTest, ClassRegistryFindsAndMakesClassesByNameUntilUnregistered) {
  RegisterClass<RegisteredScreen>("TRegisteredScreen");
  ASSERT_NE(FindClass("tregisteredscreen"), nullptr);
  TComponent* made = CreateComponentByClassName("TRegisteredScreen", &Application());
  auto* screen = dynamic_cast<RegisteredScreen*>(made);
  ASSERT_NE(screen, nullptr);
  EXPECT_EQ(screen->Owner(), &Application());
  EXPECT_TRUE(screen->createdThroughRegistry);
  RegisterClass<RegisteredScreen>("TRegisteredScreen");  // again: still one entry
  UnRegisterClass("TRegisteredScreen");
  EXPECT_EQ(FindClass("TRegisteredScreen"), nullptr);
  UnRegisterClass("TRegisteredScreen");  // not an error
  try {
    CreateComponentByClassName("TRegisteredScreen", nullptr);
    FAIL();
  } catch (const EClassNotFound& e) {
    EXPECT_STREQ(e.what(), "Class TRegisteredScreen not found");
  }
}

TEST_F(UiFormsTest, FreeingAControlTakesItsChildrenAndTheFocusWithIt) {
  TestDialog dialog(nullptr);
  dialog.edtName->SetFocus();
  Watch watch(dialog.edtName);
  delete dialog.panel;
  EXPECT_TRUE(watch.gone);
  EXPECT_EQ(dialog.ActiveControl(), nullptr);
  EXPECT_EQ(dialog.FindComponent("edtName"), nullptr);
  dialog.PressKey(VK_TAB);
  EXPECT_EQ(dialog.ActiveControl(), dialog.btnOK);
}

}  // namespace
}  // namespace jxc
