#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>

#include "TestEnv.h"
#include "desktop/ShortcutFiles.h"
#include "desktop/SpecialFolders.h"

namespace tonbo::shell {
namespace {

using test::MakeTempDir;
using test::ReadFile;
using test::WriteFile;

std::string MakeProgram(const std::string& path) {
  WriteFile(path, "#!/bin/sh\n");
  chmod(path.c_str(), 0755);
  return path;
}

bool Executable(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && (st.st_mode & 0100) != 0;
}

TEST(SpecialFoldersTest, UserDirsFileAndDefaults) {
  const std::string dir = MakeTempDir("dirs");
  WriteFile(dir + "user-dirs.dirs",
            "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/デスクトップ\"\n"
            "XDG_DOCUMENTS_DIR=\"/data/docs\"\nXDG_MUSIC_DIR=\"$HOME\"\n");
  EXPECT_EQ(UserDirFromFile(dir + "user-dirs.dirs", "XDG_DESKTOP_DIR", "/home/u"),
            "/home/u/デスクトップ");
  EXPECT_EQ(UserDirFromFile(dir + "user-dirs.dirs", "XDG_DOCUMENTS_DIR", "/home/u"), "/data/docs");
  EXPECT_EQ(UserDirFromFile(dir + "user-dirs.dirs", "XDG_MUSIC_DIR", "/home/u"), "/home/u/");
  EXPECT_EQ(UserDirFromFile(dir + "user-dirs.dirs", "XDG_VIDEOS_DIR", "/home/u"), "");
  EXPECT_EQ(UserDirFromFile(dir + "missing", "XDG_DESKTOP_DIR", "/home/u"), "");

  const std::string home = std::getenv("HOME");
  const std::string data = std::getenv("XDG_DATA_HOME");
  const std::string config = std::getenv("XDG_CONFIG_HOME");
  EXPECT_EQ(SpecialFolderDisk(SpecialFolder::Desktop), home + "/Desktop/");
  EXPECT_EQ(SpecialFolderDisk(SpecialFolder::Personal), home + "/Documents/");
  EXPECT_EQ(SpecialFolderDisk(SpecialFolder::SendTo), data + "/nautilus/scripts/");
  EXPECT_EQ(SpecialFolderDisk(SpecialFolder::StartUp), config + "/autostart/");
  EXPECT_EQ(SpecialFolderDisk(SpecialFolder::StartMenu), data + "/applications/");
  EXPECT_EQ(SpecialFolderDisk(SpecialFolder::Favorites), config + "/gtk-3.0/");
  EXPECT_EQ(SpecialFolderDisk(SpecialFolder::Profile), home + "/");
  EXPECT_EQ(SpecialFolderDisk(SpecialFolder::Windows), "/usr/");
}

TEST(ShortcutFilesTest, DesktopEntryForProgramAndForDocument) {
  const std::string dir = MakeTempDir("sc");
  const std::string program = MakeProgram(dir + "my tool");
  const std::string document = dir + "photo \"1\".jpg";
  WriteFile(document, "jpeg");

  ASSERT_TRUE(CreateShortcut(dir + "tool.desktop", program, "道具", dir));
  auto app = ReadDesktopEntry(dir + "tool.desktop");
  EXPECT_EQ(app["Type"], "Application");
  EXPECT_EQ(app["Name"], "tool");
  EXPECT_EQ(app["Comment"], "道具");
  EXPECT_EQ(app["Path"], dir);
  // The program receives the files it is given, its own path intact.
  EXPECT_EQ(ExpandExec(app["Exec"], {"/a b/c.txt", "/d"}, app["Name"], ""),
            (std::vector<std::string>{program, "/a b/c.txt", "/d"}));
  EXPECT_TRUE(Executable(dir + "tool.desktop"));

  ASSERT_TRUE(CreateShortcut(dir + "photo.desktop", document, "", dir));
  auto link = ReadDesktopEntry(dir + "photo.desktop");
  EXPECT_EQ(link["Type"], "Link");
  EXPECT_EQ(link["URL"], "file://" + dir + "photo%20%221%22.jpg");
  EXPECT_EQ(link.count("Comment"), 0u);
  EXPECT_EQ(link.count("Exec"), 0u);

  // Writing again replaces the file whole.
  ASSERT_TRUE(CreateShortcut(dir + "photo.desktop", program, "", ""));
  EXPECT_EQ(ReadDesktopEntry(dir + "photo.desktop")["Type"], "Application");
  EXPECT_FALSE(CreateShortcut(dir + "no such folder/x.desktop", program, "", ""));
}

// Run as the file manager runs it: in the folder it shows, with the selected
// names relative to that folder.
TEST(ShortcutFilesTest, ScriptInTheSendToFolderPassesItsArguments) {
  const std::string dir = MakeTempDir("script");
  const std::string program = dir + "it's here";
  WriteFile(program, "#!/bin/sh\n{ pwd; for a do printf '%s|' \"$a\"; done; } > \"$0.out\"\n");
  chmod(program.c_str(), 0755);
  const std::string work = MakeTempDir("work dir");
  const std::string shown = MakeTempDir("shown");
  ASSERT_TRUE(CreateShortcut(dir + "tool", program, "説明", work));
  EXPECT_TRUE(Executable(dir + "tool"));
  const std::string call = "cd " + QuoteForShell(shown) + " && " + QuoteForShell(dir + "tool") +
                           " a.txt -n " + QuoteForShell("名 前 $(x)'.txt") + " sub/b /abs/c";
  ASSERT_EQ(std::system(call.c_str()), 0);
  EXPECT_EQ(ReadFile(program + ".out"), work.substr(0, work.size() - 1) + "\n" + shown + "a.txt|" +
                                            shown + "-n|" + shown + "名 前 $(x)'.txt|" + shown +
                                            "sub/b|/abs/c|");
  ASSERT_TRUE(CreateShortcut(dir + "app", dir + "app.desktop", "", ""));
  EXPECT_EQ(ReadFile(dir + "app"), "#!/bin/sh\nexec gio launch '" + dir + "app.desktop' \"$@\"\n");
}

TEST(ShortcutFilesTest, ExecQuotingSurvivesTheReader) {
  const std::string dir = MakeTempDir("q");
  for (const std::string odd : {"a b", "back\\slash", "dollar$HOME", "quote\"s", "100%", "plain"}) {
    const std::string program = MakeProgram(dir + odd);
    ASSERT_TRUE(CreateShortcut(dir + "x.desktop", program, "", ""));
    auto keys = ReadDesktopEntry(dir + "x.desktop");
    EXPECT_EQ(ExpandExec(keys["Exec"], {}, "", ""), std::vector<std::string>{program}) << odd;
  }
}

TEST(ShortcutFilesTest, FieldCodes) {
  const std::vector<std::string> files{"/x/1 a", "/x/2"};
  EXPECT_EQ(ExpandExec("prog %f --name=%c %k %%d %i", files, "Name", "/e.desktop"),
            (std::vector<std::string>{"prog", "/x/1 a", "--name=Name", "/e.desktop", "%d"}));
  EXPECT_EQ(ExpandExec("prog %U", files, "", ""),
            (std::vector<std::string>{"prog", "/x/1 a", "/x/2"}));
  EXPECT_EQ(ExpandExec("prog %f", {}, "", ""), std::vector<std::string>{"prog"});
  EXPECT_EQ(ExpandExec("\"/opt/my app/run\" \"a \\\"q\\\"\"", {}, "", ""),
            (std::vector<std::string>{"/opt/my app/run", "a \"q\""}));
}

}  // namespace
}  // namespace tonbo::shell
