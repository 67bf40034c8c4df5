#include "core/IniFile.h"

#include <gtest/gtest.h>

#include "TestEnv.h"

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

}  // namespace
}  // namespace tonbo
