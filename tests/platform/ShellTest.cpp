#include <gtest/gtest.h>

#include "FsProbe.h"
#include "RecordingLauncher.h"
#include "TestEnv.h"
#include "common/Sjis.h"
#include "platform/Shell.h"

namespace tonbo::platform {
namespace {

using test::ListDir;
using test::MakeTempDir;
using test::ReadFile;
using test::RecordingLauncher;
using test::WriteFile;

// The helpers take code page 932 paths; on disk the names are UTF-8.
const char kMemoUtf8[] = "\xe3\x83\xa1\xe3\x83\xa2.txt";  // "メモ.txt"
const char kMemoUrl[] = "%E3%83%A1%E3%83%A2.txt";

TEST(ShellTest, CopyAndDeleteConvertThePaths) {
  const std::string dir = MakeTempDir("shell");
  WriteFile(dir + kMemoUtf8, "memo");
  const std::string sjis = dir + enc::Lit(kMemoUtf8);
  const std::string copy = dir + enc::Lit("\xe5\x86\x99\xe3\x81\x97.txt");  // "写し.txt"

  EXPECT_TRUE(ShellCopyFile(sjis, copy));
  EXPECT_EQ(ReadFile(dir + "\xe5\x86\x99\xe3\x81\x97.txt"), "memo");
  EXPECT_FALSE(ShellCopyFile(dir + "missing", copy));

  EXPECT_TRUE(ShellDeleteFile(sjis));
  EXPECT_EQ(ListDir(dir), std::vector<std::string>{"\xe5\x86\x99\xe3\x81\x97.txt"});
  EXPECT_FALSE(ShellDeleteFile(sjis));
}

TEST(ShellTest, OpenAndNotepadReachTheDesktopAsUtf8Urls) {
  RecordingLauncher launcher;
  const std::string sjis = "/tmp/" + enc::Lit(kMemoUtf8);
  ShellOpen(sjis);
  EXPECT_TRUE(RunCommandLine("notepad.exe \"" + sjis + "\""));

  ASSERT_EQ(launcher.opened.size(), 1u);
  EXPECT_EQ(launcher.opened[0].toEncoded().toStdString(), std::string("file:///tmp/") + kMemoUrl);
  ASSERT_EQ(launcher.started.size(), 1u);
  EXPECT_EQ(launcher.started[0].program, "xdg-open");
  EXPECT_EQ(launcher.started[0].arguments, QStringList{QString("file:///tmp/") + kMemoUrl});
}

}  // namespace
}  // namespace tonbo::platform
