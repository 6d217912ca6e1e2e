// The host registry: keys and values as the package's installation uses them, in memory and in a file.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "kernel/FileRegistry.h"
#include "kernel/MemoryRegistry.h"
#include "platform/Exceptions.h"

namespace jxc {
namespace {

TEST(MemoryRegistry, KeysAndValueNamesIgnoreCaseAndStrayBackslashes) {
  TMemoryRegistry reg;
  ASSERT_TRUE(reg.OpenKey("\\SYSTEM\\LoadModule\\\\USER\\", true));
  reg.WriteString("jxc.bpl", "Module=a;load=True");
  EXPECT_TRUE(reg.KeyExists("system\\loadmodule\\user"));
  EXPECT_TRUE(reg.KeyExists("SYSTEM\\LOADMODULE"));  // parents are keys of their own
  EXPECT_EQ(reg.ReadString("SYSTEM\\LOADMODULE\\USER", "JXC.BPL"), "Module=a;load=True");
}

TEST(MemoryRegistry, OpeningAMissingKeyWithoutCreateFailsAndKeepsTheCurrentKey) {
  TMemoryRegistry reg;
  ASSERT_TRUE(reg.OpenKey("A", true));
  EXPECT_FALSE(reg.OpenKey("B", false));
  EXPECT_FALSE(reg.KeyExists("B"));
  EXPECT_EQ(reg.CurrentKey(), "A");
}

TEST(MemoryRegistry, WritingAgainOverwritesInPlace) {
  TMemoryRegistry reg;
  reg.OpenKey("K", true);
  reg.WriteString("one", "1");
  reg.WriteString("two", "2");
  reg.WriteString("ONE", "changed");
  EXPECT_EQ(reg.ValueNames("K"), (std::vector<std::string>{"one", "two"}));
  EXPECT_EQ(reg.ReadString("K", "one"), "changed");
}

TEST(MemoryRegistry, DeletingAMissingValueIsNotAnError) {
  TMemoryRegistry reg;
  EXPECT_FALSE(reg.DeleteValue("x"));  // no key open
  reg.OpenKey("K", true);
  EXPECT_FALSE(reg.DeleteValue("x"));
  reg.WriteString("x", "1");
  EXPECT_TRUE(reg.DeleteValue("X"));
  EXPECT_FALSE(reg.ReadString("K", "x").has_value());
}

TEST(MemoryRegistry, WritingWithoutAnOpenKeyRaises) {
  TMemoryRegistry reg;
  EXPECT_THROW(reg.WriteString("x", "1"), EInvalidOperation);
}

TEST(MemoryRegistry, RefusedRegistryOpensNothing) {
  TMemoryRegistry reg;
  reg.SetOpenKeyRefused(true);
  EXPECT_FALSE(reg.OpenKey("K", true));
  EXPECT_FALSE(reg.KeyExists("K"));
}

class FileRegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = (std::filesystem::temp_directory_path() /
             ("jxc_registry_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".json"))
                .string();
    std::filesystem::remove(path_);
  }
  void TearDown() override {
    std::filesystem::remove(path_);
    std::filesystem::remove(path_ + ".tmp");
  }
  std::string path_;
};

TEST_F(FileRegistryTest, CommittedValuesSurviveAndUncommittedOnesAreLost) {
  {
    TFileRegistry reg(path_);
    reg.OpenKey("SYSTEM\\LOADMODULE\\USER", true);
    reg.WriteString("jxcbase", "Module=/opt/jxc/jxcbase;load=True");
    reg.SaveData();
    reg.WriteString("later", "not saved");
  }
  TFileRegistry again(path_);
  EXPECT_EQ(again.ReadString("SYSTEM\\LOADMODULE\\USER", "jxcbase"), "Module=/opt/jxc/jxcbase;load=True");
  EXPECT_FALSE(again.ReadString("SYSTEM\\LOADMODULE\\USER", "later").has_value());
}

TEST_F(FileRegistryTest, MissingFileIsAnEmptyRegistry) {
  TFileRegistry reg(path_);
  EXPECT_FALSE(reg.KeyExists("SYSTEM"));
  EXPECT_FALSE(std::filesystem::exists(path_));  // nothing written until a commit
}

TEST_F(FileRegistryTest, DamagedFileRaisesInsteadOfStartingEmpty) {
  { std::ofstream(path_) << "{not json"; }
  EXPECT_THROW(TFileRegistry reg(path_), EInvalidOperation);
  std::ifstream in(path_);
  std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(content, "{not json");  // the file is kept for the user to repair
}

TEST_F(FileRegistryTest, ValuesWithBackslashesAndChineseRoundTrip) {
  {
    TFileRegistry reg(path_);
    reg.OpenKey("SYSTEM\\LOADMODULE\\USER", true);
    reg.WriteString("进销存.bpl", "Module=C:\\程序\\进销存.bpl;load=True");
    reg.SaveData();
  }
  TFileRegistry again(path_);
  EXPECT_EQ(again.ReadString("SYSTEM\\LOADMODULE\\USER", "进销存.bpl"), "Module=C:\\程序\\进销存.bpl;load=True");
}

}  // namespace
}  // namespace jxc
