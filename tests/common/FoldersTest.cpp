#include "common/Folders.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>

#include "TestEnv.h"

namespace tonbo {
namespace {

class Folders : public ::testing::Test {
 protected:
  void TearDown() override { OverrideExecutableDir(exeBefore_); }
  std::string exeBefore_ = ExecutableDirDisk();
};

TEST_F(Folders, InstalledProgramUsesSharedDataAndXdgFolders) {
  std::string exe = test::MakeTempDir("bin");
  OverrideExecutableDir(exe);
  EXPECT_FALSE(IsPortable());
  EXPECT_EQ(ProgramDirDisk(), exe + "../share/tonbo/");
  EXPECT_EQ(ConfigDirDisk(), std::string(std::getenv("XDG_CONFIG_HOME")) + "/tonbo/");
  EXPECT_EQ(SettingsPathDisk(), ConfigDirDisk() + "tonbo.ini");
  EXPECT_EQ(StateDirDisk(), std::string(std::getenv("XDG_STATE_HOME")) + "/tonbo/");
  EXPECT_EQ(CacheDirDisk(), std::string(std::getenv("XDG_CACHE_HOME")) + "/tonbo/");
}

TEST_F(Folders, BuildTreeOrPortableCopyKeepsEverythingBesideTheExecutable) {
  std::string exe = test::MakeTempDir("portable");
  ASSERT_TRUE(MakeDirs(exe + "doc/func/"));
  OverrideExecutableDir(exe);
  EXPECT_EQ(ProgramDirDisk(), exe);
  EXPECT_EQ(ProgramFolder(), exe);
  EXPECT_FALSE(IsPortable());  // doc/ alone does not move the settings
  test::WriteFile(exe + "tonbo.ini", "");
  EXPECT_TRUE(IsPortable());
  EXPECT_EQ(SettingsPathDisk(), exe + "tonbo.ini");
  EXPECT_EQ(StateDirDisk(), exe);
}

TEST_F(Folders, FoldersEndInASlash) {
  EXPECT_EQ(WindowsDir(), "/usr/");
  EXPECT_EQ(ExecutableDirDisk().back(), '/');
  OverrideExecutableDir("/opt/tonbo/bin");
  EXPECT_EQ(ExecutableDirDisk(), "/opt/tonbo/bin/");
}

TEST_F(Folders, MakeDirsCreatesParentsAndReportsFailure) {
  std::string base = test::MakeTempDir();
  EXPECT_TRUE(MakeDirs(base + "a/b/c/"));
  struct stat st {};
  EXPECT_EQ(stat((base + "a/b/c").c_str(), &st), 0);
  test::WriteFile(base + "file", "x");
  EXPECT_FALSE(MakeDirs(base + "file/sub/"));
}

}  // namespace
}  // namespace tonbo
