// The root screen and the base dialog: services on creation, closing rules, the deferred start on the
// virtual clock, OK and Cancel as modal results, and Enter moving to the next control.

#include <gtest/gtest.h>

#include "foundation/UnitFrmBase.h"
#include "foundation/UnitFrmBaseDlg.h"
#include "services/RecordingDialog.h"
#include "kernel/SysSvc.h"
#include "platform/Actions.h"
#include "platform/Application.h"
#include "platform/Exceptions.h"
#include "platform/StdCtrls.h"
#include "platform/Timer.h"

namespace jxc {
namespace {

// A cache that only has to be handed around: no screen here reads from it.
class UnusedCache : public ICache {
 public:
  std::shared_ptr<ICacheItem> GetCacheItem(const std::string&, const std::string&, int, bool) override { return nullptr; }
  void UpdateCache(const std::string&, const TDataSet&) override {}
  TDataSet& GetCustomers() override { throw EInvalidOperation("unused"); }
  TDataSet& GetSuppliers() override { throw EInvalidOperation("unused"); }
  TDataSet& GetEmployees() override { throw EInvalidOperation("unused"); }
  TDataSet& GetProducts() override { throw EInvalidOperation("unused"); }
  std::unique_ptr<TClientDataSet> GetModeNOList(const std::string&, int64_t) override {
    throw EInvalidOperation("unused");
  }
  TDataSet& GetConfigs() override { throw EInvalidOperation("unused"); }
  TDataSet& GetColors() override { throw EInvalidOperation("unused"); }
};

// A business screen: implements ShowForm and tells when it is destroyed.
class TFrmShop : public TFrmBase {
 public:
  explicit TFrmShop(TComponent* owner, bool* destroyed = nullptr) : TFrmBase(owner), destroyed_(destroyed) {}
  ~TFrmShop() override {
    if (destroyed_) *destroyed_ = true;
  }
  void ShowForm() override { Show(); }

 private:
  bool* destroyed_;
};

// A dialog that asks for its deferred start on show and counts its initialisations.
class TFrmPickDlg : public TFrmBaseDlg {
 public:
  explicit TFrmPickDlg(TComponent* owner) : TFrmBaseDlg(owner) {
    edtCode = new TEdit(this);
    edtCode->SetName("edtCode");
    edtCode->SetParent(this);
    mmoRemark = new TMemo(this);
    mmoRemark->SetName("mmoRemark");
    mmoRemark->SetParent(this);
    edtName = new TEdit(this);
    edtName->SetName("edtName");
    edtName->SetParent(this);
  }
  void DoOnShow() override {
    TFrmBaseDlg::DoOnShow();
    actInit->Execute();
  }
  TEdit* edtCode;
  TMemo* mmoRemark;
  TEdit* edtName;
  int initialised = 0;
  uint64_t initialisedAt = 0;

 protected:
  void startTimeTimer() override {
    TFrmBaseDlg::startTimeTimer();
    ++initialised;
    initialisedAt = Application().Scheduler().TickCount();
  }
};

class BaseScreensTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetApplication();
    SysService::Clear();
  }
  void TearDown() override { ResetApplication(); }
  SysService::Scope services_;
};

TEST_F(BaseScreensTest, CreationObtainsTheDialogAndCacheServices) {
  auto dialog = std::make_shared<TRecordingDialog>();
  auto cache = std::make_shared<UnusedCache>();
  SysService::Register<IDialog>(dialog);
  SysService::Register<ICache>(cache);
  auto* screen = CreateForm<TFrmShop>(&Application());
  EXPECT_EQ(screen->MsgBox, dialog);
  EXPECT_EQ(screen->CacheHelper(), cache);
  EXPECT_EQ(screen->GroupRights(), nullptr);  // handed in by the host, not obtained
  EXPECT_EQ(screen->Caption(), "基类窗体");
}

TEST_F(BaseScreensTest, MissingServicesLeaveNullAndTheScreenStillWorks) {
  bool destroyed = false;
  auto* screen = CreateForm<TFrmShop>(&Application(), &destroyed);
  EXPECT_EQ(screen->MsgBox, nullptr);
  EXPECT_EQ(screen->CacheHelper(), nullptr);
  screen->SetCaption("采购订单");
  screen->DoOnShow();
  screen->ShowForm();
  EXPECT_TRUE(screen->Visible());
  screen->Close();
  EXPECT_FALSE(screen->Visible());
  EXPECT_FALSE(destroyed);
  delete screen;  // here, while the flag it sets is still alive
  EXPECT_TRUE(destroyed);
}

TEST_F(BaseScreensTest, ShowFormOfAClassThatDoesNotImplementItRaises) {
  auto* screen = CreateForm<TFrmBase>(&Application());
  EXPECT_THROW(screen->ShowForm(), EAbstractError);
  EXPECT_FALSE(screen->Visible());
  EXPECT_EQ(screen->GetInstance(), screen);
  EXPECT_EQ(screen->GetMainDataSet(), nullptr);
  EXPECT_EQ(screen->GetActionList(), nullptr);
}

TEST_F(BaseScreensTest, ClosingAChildScreenFreesIt) {
  bool destroyed = false;
  auto* screen = CreateForm<TFrmShop>(&Application(), &destroyed);
  screen->FormStyle = TFormStyle::fsMDIChild;
  screen->ShowForm();
  screen->Close();
  Application().ProcessMessages();
  EXPECT_TRUE(destroyed);
}

TEST_F(BaseScreensTest, ClosingAModalScreenLeavesItForItsOpener) {
  bool destroyed = false;
  auto* screen = CreateForm<TFrmShop>(&Application(), &destroyed);
  Application().QueueModalScript([](TCustomForm& form) { form.Close(); });
  EXPECT_EQ(screen->ShowModelForm(), mrCancel);
  Application().ProcessMessages();
  EXPECT_FALSE(destroyed);
  EXPECT_FALSE(screen->Visible());
  delete screen;
  EXPECT_TRUE(destroyed);
}

TEST_F(BaseScreensTest, DialogIsBuiltAsDesigned) {
  auto* dlg = CreateForm<TFrmBaseDlg>(&Application());
  EXPECT_EQ(dlg->Caption(), "FrmBaseDlg");
  EXPECT_TRUE(dlg->KeyPreview);
  EXPECT_EQ(dlg->Position, TPosition::poMainFormCenter);
  EXPECT_EQ(dlg->FindComponent("btnOK"), dlg->btnOK);
  EXPECT_EQ(dlg->btnOK->Parent(), dlg->grpOperation);
  EXPECT_EQ(dlg->btnOK->Caption(), "确定(&Y)");
  EXPECT_EQ(dlg->btnCancel->Caption(), "取消(&C)");
  EXPECT_EQ(dlg->actOK->ImageIndex, 1);
  EXPECT_EQ(dlg->actCancel->ImageIndex, 0);
  EXPECT_EQ(dlg->ActionDlg->FindAction("actCheck")->Caption, "检查数据");
  EXPECT_FALSE(dlg->actCheck->HasHandler());
  EXPECT_FALSE(dlg->actSave->HasHandler());
  EXPECT_EQ(dlg->pnlBottom->Height, 7);
  EXPECT_EQ(dlg->startTime->Interval(), 500);
  EXPECT_FALSE(dlg->startTime->Enabled());
  EXPECT_EQ(dlg->frmQuery, nullptr);
}

TEST_F(BaseScreensTest, DeferredStartRunsOnce500msAfterItWasAskedFor) {
  auto* dlg = CreateForm<TFrmPickDlg>(&Application());
  dlg->DoOnShow();
  const uint64_t askedAt = Application().Scheduler().TickCount();
  Application().QueueModalScript([&](TCustomForm&) {
    Application().Advance(499);
    EXPECT_EQ(dlg->initialised, 0);
    Application().Advance(1);
    EXPECT_EQ(dlg->initialised, 1);
    Application().Advance(5000);
    EXPECT_EQ(dlg->initialised, 1);  // the timer stopped itself
    dlg->actOK->Execute();
  });
  EXPECT_EQ(dlg->ShowModelForm(), mrOk);
  EXPECT_EQ(dlg->isOK(), 1);
  EXPECT_EQ(dlg->initialisedAt - askedAt, 500u);
  EXPECT_FALSE(dlg->startTime->Enabled());
}

TEST_F(BaseScreensTest, CancelButtonGivesTwoAndShowingAgainClearsIsOK) {
  auto* dlg = CreateForm<TFrmPickDlg>(&Application());
  Application().QueueModalScript([&](TCustomForm&) { dlg->btnCancel->PerformClick(); });
  EXPECT_EQ(dlg->ShowModal(), mrCancel);
  EXPECT_EQ(dlg->isOK(), 2);
  int seenWhileShown = -1;
  Application().QueueModalScript([&](TCustomForm&) {
    seenWhileShown = dlg->isOK();
    dlg->btnOK->PerformClick();
  });
  EXPECT_EQ(dlg->ShowModal(), mrOk);
  EXPECT_EQ(seenWhileShown, 0);
  EXPECT_EQ(dlg->isOK(), 1);
}

TEST_F(BaseScreensTest, EnterMovesToTheNextControl) {
  auto* dlg = CreateForm<TFrmPickDlg>(&Application());
  dlg->Show();
  dlg->edtCode->SetFocus();
  dlg->TypeText("A01");
  dlg->PressKey(VK_RETURN);
  EXPECT_EQ(dlg->ActiveControl(), dlg->mmoRemark);
  EXPECT_EQ(dlg->edtCode->Text(), "A01");  // nothing typed by the Enter
}

TEST_F(BaseScreensTest, EnterInAMemoBreaksTheLine) {
  auto* dlg = CreateForm<TFrmPickDlg>(&Application());
  dlg->Show();
  dlg->mmoRemark->SetFocus();
  dlg->TypeText("第一行");
  dlg->PressKey(VK_RETURN);
  dlg->TypeText("第二行");
  EXPECT_EQ(dlg->ActiveControl(), dlg->mmoRemark);
  EXPECT_EQ(dlg->mmoRemark->Lines(), (std::vector<std::string>{"第一行", "第二行"}));
}

}  // namespace
}  // namespace jxc
