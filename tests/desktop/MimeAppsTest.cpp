#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>

#include "RecordingLauncher.h"
#include "TestEnv.h"
#include "desktop/MimeApps.h"

namespace tonbo::shell {
namespace {

using test::WriteFile;

// System folders of the test's own, restored afterwards.
class MimeAppsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    system_ = test::MakeTempDir("sys");
    mkdir((system_ + "applications").c_str(), 0755);
    mkdir((system_ + "xdg").c_str(), 0755);
    setenv("XDG_DATA_DIRS", system_.c_str(), 1);
    setenv("XDG_CONFIG_DIRS", (system_ + "xdg").c_str(), 1);
    user_ = std::string(std::getenv("XDG_DATA_HOME")) + "/applications/";
    mkdir(user_.c_str(), 0755);
  }
  void TearDown() override {
    unsetenv("XDG_DATA_DIRS");
    unsetenv("XDG_CONFIG_DIRS");
    std::remove((std::string(std::getenv("XDG_CONFIG_HOME")) + "/mimeapps.list").c_str());
    std::remove((user_ + "ed.desktop").c_str());
  }
  std::string system_;
  std::string user_;
};

TEST_F(MimeAppsTest, UserChoiceThenSystemChoiceThenDatabase) {
  EXPECT_EQ(DefaultApplicationFor("text/plain"), "");
  WriteFile(system_ + "applications/vi.desktop", "[Desktop Entry]\nExec=vi %f\n");
  WriteFile(system_ + "applications/mimeinfo.cache",
            "[MIME Cache]\ntext/plain=gone.desktop;vi.desktop;\n");
  EXPECT_EQ(DefaultApplicationFor("text/plain"), system_ + "applications/vi.desktop");
  WriteFile(system_ + "applications/org-kate.desktop", "[Desktop Entry]\nExec=kate\n");
  mkdir((system_ + "applications/org").c_str(), 0755);
  WriteFile(system_ + "applications/org/mousepad.desktop", "[Desktop Entry]\nExec=mousepad\n");
  WriteFile(system_ + "xdg/mimeapps.list",
            "[Added Associations]\ntext/plain=vi.desktop;\n[Default Applications]\n"
            "text/html=x.desktop\ntext/plain=org-mousepad.desktop\n");
  EXPECT_EQ(DefaultApplicationFor("text/plain"), system_ + "applications/org/mousepad.desktop");
  WriteFile(user_ + "ed.desktop", "[Desktop Entry]\nName=Ed\nExec=\"/opt/my ed\" --new %U\n");
  WriteFile(std::string(std::getenv("XDG_CONFIG_HOME")) + "/mimeapps.list",
            "[Default Applications]\ntext/plain=missing.desktop;ed.desktop;\n");
  EXPECT_EQ(DefaultApplicationFor("text/plain"), user_ + "ed.desktop");

  test::RecordingLauncher launcher;
  EXPECT_TRUE(LaunchEntryWithFile(user_ + "ed.desktop", "/d/a b.jpg"));
  EXPECT_TRUE(LaunchEntryWithFile(system_ + "applications/org-kate.desktop", "/d/c"));
  EXPECT_FALSE(LaunchEntryWithFile(system_ + "nothing.desktop", "/d/c"));
  ASSERT_EQ(launcher.started.size(), 2u);
  EXPECT_EQ(launcher.started[0].program, "/opt/my ed");
  EXPECT_EQ(launcher.started[0].arguments, (QStringList{"--new", "/d/a b.jpg"}));
  EXPECT_EQ(launcher.started[1].program, "kate");
  EXPECT_EQ(launcher.started[1].arguments, QStringList{"/d/c"});
}

}  // namespace
}  // namespace tonbo::shell
