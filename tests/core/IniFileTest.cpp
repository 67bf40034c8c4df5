#include "core/IniFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "TestEnv.h"
#include "common/FileRead.h"

namespace tonbo {
namespace {

TEST(IniFile, ReadsSectionsAndKeysWithoutRegardToCase) {
  std::string path = test::MakeTempDir() + "tonbo.ini";
  test::WriteFile(path, "[Setting]\r\nSound = 0\r\ntoolbar=1\r\n; note=1\r\n[help]\nreset=1\n");
  TIniFileEx ini(path);
  EXPECT_FALSE(ini.ReadBool("setting", "sound", true));
  EXPECT_TRUE(ini.ReadBool("SETTING", "ToolBar", false));
  EXPECT_TRUE(ini.ReadBool("help", "RESET", false));
  EXPECT_FALSE(ini.ValueExists("setting", "note"));  // a comment, not a key
  EXPECT_EQ(ini.ReadString("missing", "x", "def"), "def");
}

TEST(IniFile, GarbageValuesGiveTheDefault) {
  struct {
    const char* value;
    int expect;
  } cases[] = {{"12", 12},  {"-3", -3},          {"$1F", 31},  {" 7 ", 7},  {"abc", 99}, {"", 99},
               {"1.5", 99}, {"99999999999", 99}, {"0x10", 16}, {"--1", 99}, {"+-1", 99}};
  for (const auto& c : cases) {
    TIniFileEx ini("");
    ini.WriteString("s", "k", c.value);
    EXPECT_EQ(ini.ReadInteger("s", "k", 99), c.expect) << c.value;
  }
  TIniFileEx ini("");
  ini.WriteString("s", "flag", "yes");
  EXPECT_TRUE(ini.ReadBool("s", "flag", true));
  EXPECT_FALSE(ini.ReadBool("s", "flag", false));
}

TEST(IniFile, WritesKeepUnknownLinesAndOrder) {
  std::string path = test::MakeTempDir() + "tonbo.ini";
  test::WriteFile(path,
                  "; mine\r\n[setting]\r\nfuture_key=abc\r\nsound=1\r\n\r\n[other]\r\nx=1\r\n");
  TIniFileEx ini(path);
  ASSERT_TRUE(ini.WriteBool("SETTING", "Sound", false));
  ASSERT_TRUE(ini.WriteInteger("setting", "digits", 4));
  ASSERT_TRUE(ini.WriteBool("help", "reset", true));
  EXPECT_EQ(test::ReadFile(path),
            "; mine\r\n[setting]\r\nfuture_key=abc\r\nsound=0\r\ndigits=4\r\n\r\n[other]\r\nx=1\r\n"
            "[help]\r\nreset=1\r\n");
  TIniFileEx again(path);
  EXPECT_EQ(again.ReadInteger("setting", "digits", 0), 4);
}

TEST(IniFile, DeferredWritesReachTheFileOnce) {
  std::string dir = test::MakeTempDir();
  std::string path = dir + "sub/tonbo.ini";  // the folder is made when needed
  TIniFileEx ini(path);
  ini.SetDeferred(true);
  ini.WriteString("frmMain", "top", "10");
  EXPECT_EQ(TIniFileEx(path).ReadString("frmMain", "top", "none"), "none");
  ini.SetDeferred(false);
  EXPECT_EQ(TIniFileEx(path).ReadString("frmMain", "top", "none"), "10");
}

TEST(IniFile, CodePage932ValuesPassThroughUntouched) {
  TIniFileEx ini("");
  const std::string header = "\x83\x5C\x95\x5C";  // trail bytes 0x5C ("\") inside
  ini.WriteString("setting", "header", header);
  EXPECT_EQ(ini.ReadString("setting", "header", ""), header);
}

TEST(IniFile, WritesMergeIntoWhatIsOnDiskNow) {
  std::string path = test::MakeTempDir() + "tonbo.ini";
  test::WriteFile(path, "[setting]\r\nsound=1\r\ntoolbar=1\r\n");
  TIniFileEx ini(path);
  // Edited by hand while the program runs: a new section, a new key, and a
  // changed value of a key the program read but has not changed.
  test::WriteFile(path, "[setting]\r\nsound=1\r\ntoolbar=0\r\nmine=x\r\n[tools]\r\ngrep=1\r\n");
  ASSERT_TRUE(ini.WriteBool("setting", "sound", false));
  EXPECT_EQ(test::ReadFile(path),
            "[setting]\r\nsound=0\r\ntoolbar=0\r\nmine=x\r\n[tools]\r\ngrep=1\r\n");
  EXPECT_EQ(ini.ReadString("tools", "grep", ""), "1");  // what was merged is what is read
  // Writing the value already held writes nothing, so the hand edit stays.
  test::WriteFile(path, "[setting]\r\nsound=1\r\n");
  ini.SetDeferred(true);
  ini.WriteBool("setting", "sound", false);
  ini.WriteInteger("frmMain", "top", 5);
  ini.SetDeferred(false);
  EXPECT_EQ(test::ReadFile(path), "[setting]\r\nsound=1\r\n[frmMain]\r\ntop=5\r\n");
  // A file removed meanwhile comes back from what the program holds.
  std::filesystem::remove(path);
  ASSERT_TRUE(ini.WriteInteger("frmMain", "top", 6));
  EXPECT_EQ(TIniFileEx(path).ReadInteger("frmMain", "top", 0), 6);
  EXPECT_EQ(TIniFileEx(path).ReadString("setting", "sound", ""), "1");
}

TEST(IniFile, AFileThatCannotBeReadIsNeverWrittenOver) {
  std::string dir = test::MakeTempDir();
  std::string path = dir + "tonbo.ini";
  ASSERT_EQ(symlink("tonbo.ini", path.c_str()), 0);  // a loop: exists, cannot be opened
  TIniFileEx ini(path);
  EXPECT_TRUE(ini.Unreadable());
  EXPECT_FALSE(ini.WriteBool("setting", "sound", false));
  EXPECT_FALSE(ini.ReadBool("setting", "sound", true));  // held in memory for this run
  ini.SetDeferred(true);
  ini.WriteInteger("frmMain", "top", 1);
  ini.SetDeferred(false);
  struct stat st {};
  ASSERT_EQ(lstat(path.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1);
  EXPECT_TRUE(ini.TakeUnreadableWarning());
  EXPECT_FALSE(ini.TakeUnreadableWarning());  // once only

  // A file that turns unreadable while the program runs is left alone too.
  std::string other = dir + "other.ini";
  test::WriteFile(other, "[setting]\r\nsound=1\r\n");
  TIniFileEx later(other);
  EXPECT_FALSE(later.Unreadable());
  std::filesystem::remove(other);
  std::filesystem::create_directory(other);
  EXPECT_FALSE(later.WriteBool("setting", "sound", false));
  EXPECT_TRUE(std::filesystem::is_directory(other));
  EXPECT_TRUE(later.TakeUnreadableWarning());
}

// A FIFO or a file beyond the limit: never waited on or written over; the reason is given.
TEST(IniFile, WhatIsNoFileOrTooLargeIsRefusedWithTheReason) {
  const std::string dir = test::MakeTempDir();
  test::FifoTrap fifo(dir + "fifo.ini");
  test::WriteFile(dir + "large.ini", "[setting]\r\nsound=1\r\n");
  ASSERT_EQ(truncate((dir + "large.ini").c_str(), off_t{16 << 20} + 1), 0);
  for (const auto& [name, reason] :
       {std::pair{"fifo.ini", "パイプやデバイスなど、通常のファイルではありません"},
        {"large.ini", "16 MB を超えるファイルは読み込みません"}}) {
    TIniFileEx ini(dir + name);
    EXPECT_EQ(ini.UnreadableReason(), reason) << name;
    EXPECT_FALSE(ini.WriteBool("setting", "sound", false)) << name;
  }
  EXPECT_EQ(KindOf(dir + "fifo.ini"), FileKind::Pipe);
  EXPECT_FALSE(fifo.Caught());
}

TEST(IniFile, ALinkIsWrittenThroughToItsTarget) {
  std::string dir = test::MakeTempDir();
  std::filesystem::create_directories(dir + "dotfiles");
  std::filesystem::create_directories(dir + "config");
  test::WriteFile(dir + "dotfiles/tonbo.ini", "[setting]\r\nsound=1\r\n");
  ASSERT_EQ(symlink("../dotfiles/tonbo.ini", (dir + "config/link.ini").c_str()), 0);
  ASSERT_EQ(symlink("link.ini", (dir + "config/tonbo.ini").c_str()), 0);  // a chain of two
  TIniFileEx ini(dir + "config/tonbo.ini");
  ASSERT_TRUE(ini.WriteBool("setting", "sound", false));
  EXPECT_TRUE(std::filesystem::is_symlink(dir + "config/tonbo.ini"));
  EXPECT_TRUE(std::filesystem::is_symlink(dir + "config/link.ini"));
  EXPECT_EQ(test::ReadFile(dir + "dotfiles/tonbo.ini"), "[setting]\r\nsound=0\r\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir + "config"), {}), 2);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir + "dotfiles"), {}), 1);
}

TEST(IniFile, FirstSectionAndFirstKeyOfANameCount) {
  IniText text("top=0\r\n[a]\r\nk=1\r\nK=2\r\n[b]\r\nk=3\r\n[A]\r\nk=4\r\n");
  EXPECT_EQ(*text.Find("a", "k"), "1");
  EXPECT_EQ(*text.Find("B", "K"), "3");
  EXPECT_EQ(text.Find("", "top"), nullptr);  // before any heading: in no section
  EXPECT_TRUE(text.Set("A", "k", "9"));
  EXPECT_FALSE(text.Set("a", "K", "9"));
  EXPECT_TRUE(text.Set("b", "new", "5"));
  EXPECT_EQ(text.Text(), "top=0\r\n[a]\r\nk=9\r\nK=2\r\n[b]\r\nk=3\r\nnew=5\r\n[A]\r\nk=4\r\n");
}

}  // namespace
}  // namespace tonbo
