// The service locator: services by interface identifier, null for what nobody supplies.

#include <gtest/gtest.h>

#include "foundation/CacheIntf.h"
#include "foundation/DialogIntf.h"
#include "foundation/HostServicesIntf.h"
#include "services/RecordingDialog.h"
#include "services/RecordingMainForm.h"
#include "kernel/SysSvc.h"

namespace jxc {
namespace {

TEST(SysService, MissingServiceIsNull) {
  SysService::Scope scope;
  SysService::Clear();
  EXPECT_EQ(SysService::Get<IDialog>(), nullptr);
  EXPECT_EQ(SysService::Get<ICache>(), nullptr);
  EXPECT_FALSE(SysService::Exists(ILocalDB::IID));
}

TEST(SysService, ServiceIsFoundByItsIdentifierInAnyCase) {
  SysService::Scope scope;
  auto dialog = std::make_shared<TRecordingDialog>();
  SysService::Register<IDialog>(dialog);
  EXPECT_EQ(SysService::Get<IDialog>(), dialog);
  EXPECT_EQ(SysService::Find("{54c2c486-0ae0-403b-86e6-62914f7dcccd}"), std::static_pointer_cast<void>(
                                                                            std::shared_ptr<IDialog>(dialog)));
  EXPECT_EQ(SysService::Get<IMainForm>(), nullptr);  // one service does not answer for another
}

TEST(SysService, RegisteringAgainReplacesAndNullRemoves) {
  SysService::Scope scope;
  auto first = std::make_shared<TRecordingMainForm>();
  auto second = std::make_shared<TRecordingMainForm>();
  SysService::Register<IMainForm>(first);
  SysService::Register<IMainForm>(second);
  EXPECT_EQ(SysService::Get<IMainForm>(), second);
  SysService::Register<IMainForm>(nullptr);
  EXPECT_EQ(SysService::Get<IMainForm>(), nullptr);
}

TEST(SysService, ScopePutsBackWhatWasRegistered) {
  SysService::Scope outer;
  auto dialog = std::make_shared<TRecordingDialog>();
  SysService::Register<IDialog>(dialog);
  {
    SysService::Scope inner;
    SysService::Unregister<IDialog>();
    SysService::Register<IMainForm>(std::make_shared<TRecordingMainForm>());
  }
  EXPECT_EQ(SysService::Get<IDialog>(), dialog);
  EXPECT_EQ(SysService::Get<IMainForm>(), nullptr);
}

TEST(SysService, ServiceOutlivesItsRegistrationWhileHeld) {
  SysService::Scope scope;
  SysService::Register<IDialog>(std::make_shared<TRecordingDialog>());
  std::shared_ptr<IDialog> held = SysService::Get<IDialog>();
  SysService::Clear();
  held->ShowInfo("still here");
  EXPECT_EQ(static_cast<TRecordingDialog&>(*held).Last().Text, "still here");
}

}  // namespace
}  // namespace jxc
