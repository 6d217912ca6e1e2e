// Loading the package, recording it in the host registry and removing it again.

#include <gtest/gtest.h>

#include <memory>

#include "foundation/BasePlugin.h"
#include "foundation/PackageEntry.h"
#include "foundation/UnitPublicUtils.h"
#include "foundation/uKestrumModule.h"
#include "kernel/MemoryRegistry.h"
#include "kernel/ModuleInfo.h"
#include "platform/DateTime.h"

namespace jxc {
namespace {

class PackageEntryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    while (PackageStarted()) PackageShutdown();
    registry_ = std::make_shared<TMemoryRegistry>();
  }
  void TearDown() override {
    while (PackageStarted()) PackageShutdown();
  }
  std::shared_ptr<TMemoryRegistry> registry_;
};

TEST_F(PackageEntryTest, InstallingBeforeThePackageStartedDoesNothing) {
  ASSERT_EQ(GetModuleClass(), nullptr);
  EXPECT_NO_THROW(InstallModule(registry_));
  EXPECT_NO_THROW(UnInstallModule(registry_));
  EXPECT_FALSE(registry_->KeyExists(kLoadModuleKey));
  EXPECT_EQ(registry_->CommitCount(), 0);
}

TEST_F(PackageEntryTest, StartUpSetsTheGlobalsAndTheModuleClassAndTheLastShutDownClearsThem) {
  PackageStartup();
  PackageStartup();  // a second requirer
  ASSERT_NE(GetModuleClass(), nullptr);
  EXPECT_EQ(GetModuleClass()->ClassName(), "TBasePlugin");
  ASSERT_NE(UserInfo, nullptr);
  EXPECT_EQ(CombBaseDate, EncodeDate(1900, 1, 1));
  EXPECT_NE(GetModuleClass()->Create(), nullptr);

  PackageShutdown();
  EXPECT_TRUE(PackageStarted());
  EXPECT_NE(GetModuleClass(), nullptr);
  PackageShutdown();
  EXPECT_FALSE(PackageStarted());
  EXPECT_EQ(GetModuleClass(), nullptr);
  EXPECT_EQ(UserInfo, nullptr);
}

TEST_F(PackageEntryTest, InstallingWritesOneValueNamedAfterThePackageFileHoweverOftenItRuns) {
  PackageStartup();
  InstallModule(registry_);
  InstallModule(registry_);
  const std::vector<std::string> names = registry_->ValueNames(kLoadModuleKey);
  ASSERT_EQ(names.size(), 1u);
  EXPECT_EQ(names[0], ModuleBaseName());
  EXPECT_EQ(registry_->ReadString(kLoadModuleKey, ModuleBaseName()),
            "Module=" + ModuleFileName() + ";load=True");
  EXPECT_EQ(registry_->CommitCount(), 2);

  UnInstallModule(registry_);
  EXPECT_TRUE(registry_->ValueNames(kLoadModuleKey).empty());
  EXPECT_EQ(registry_->CommitCount(), 3);
}

TEST_F(PackageEntryTest, UninstallingWithoutTheKeyOrTheValueCommitsNothing) {
  PackageStartup();
  UnInstallModule(registry_);  // no key yet
  EXPECT_FALSE(registry_->KeyExists(kLoadModuleKey));
  EXPECT_EQ(registry_->CommitCount(), 0);

  ASSERT_TRUE(registry_->OpenKey(kLoadModuleKey, true));
  registry_->WriteString("other.bpl", "Module=/opt/other.bpl;load=True");
  UnInstallModule(registry_);  // key present, our value missing
  EXPECT_EQ(registry_->CommitCount(), 0);
  EXPECT_EQ(registry_->ValueNames(kLoadModuleKey).size(), 1u);
}

TEST_F(PackageEntryTest, ANullOrRefusingRegistryIsLeftAlone) {
  PackageStartup();
  EXPECT_NO_THROW(InstallModule(nullptr));
  EXPECT_NO_THROW(UnInstallModule(nullptr));
  registry_->SetOpenKeyRefused(true);
  InstallModule(registry_);
  UnInstallModule(registry_);
  registry_->SetOpenKeyRefused(false);
  EXPECT_FALSE(registry_->KeyExists(kLoadModuleKey));
  EXPECT_EQ(registry_->CommitCount(), 0);
}

}  // namespace
}  // namespace jxc
