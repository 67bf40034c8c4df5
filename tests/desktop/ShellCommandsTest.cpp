#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "RecordingLauncher.h"
#include "ScriptedDialogs.h"
#include "TestEnv.h"
#include "common/Folders.h"
#include "core/IniFile.h"
#include "desktop/ShellCommands.h"
#include "desktop/ShortcutFiles.h"

namespace tonbo::shell {
namespace {

using test::MakeTempDir;

bool Exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

class FakeHost : public ShellHost {
 public:
  bool ConfirmAction(const QString& key) override {
    guarded.push_back(key);
    return confirm;
  }
  TIniFileEx& Ini() override { return ini; }
  void CloseProgram() override { ++closed; }
  std::string ProgramPath() const override { return program; }

  // The program's own executable, as installed.
  std::string program = [] {
    std::string path = MakeTempDir("bin") + "tonbo";
    test::WriteFile(path, "#!/bin/sh\n");
    chmod(path.c_str(), 0755);
    return path;
  }();
  bool confirm = true;
  QStringList guarded;
  TIniFileEx ini{""};
  int closed = 0;
};

class ShellCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Every command starts from a home without our files.
    for (const std::string& f : {SendTo() + kInstalledSendToName, Desktop() + kInstalledDesktopName,
                                 ApplicationsDirDisk() + kVerbEntryName})
      unlink(f.c_str());
  }
  static std::string SendTo() { return SpecialFolderDisk(SpecialFolder::SendTo); }
  static std::string Desktop() { return SpecialFolderDisk(SpecialFolder::Desktop); }
  static std::string Verb() { return ApplicationsDirDisk() + kVerbEntryName; }

  FakeHost host;
  test::ScriptedDialogs dialogs;
  test::RecordingLauncher launcher;
};

TEST_F(ShellCommandsTest, InstallTwiceReplacesBothShortcuts) {
  for (int run = 0; run < 2; ++run) {
    Install(host);
    auto entry = ReadDesktopEntry(Desktop() + kInstalledDesktopName);
    EXPECT_EQ(entry["Name"], "!Tonbo");
    EXPECT_EQ(entry["Comment"], "ファイル名変更ユーティリティ");
    EXPECT_EQ(entry["Type"], "Application");
    EXPECT_EQ(entry["Icon"], "org.tonbo.Tonbo");
    EXPECT_EQ(ExpandExec(entry["Exec"], {"/f"}, "", ""),
              (std::vector<std::string>{host.program, "/f"}));
    const std::string script = test::ReadFile(SendTo() + kInstalledSendToName);
    EXPECT_NE(script.find("\ncd '" + SpecialFolderDisk(SpecialFolder::Personal) + "' "),
              std::string::npos);
    EXPECT_NE(script.find("\nexec '" + host.program + "' \"$@\"\n"), std::string::npos);
  }
  EXPECT_EQ(host.guarded, (QStringList{"install", "install"}));
  EXPECT_EQ(
      dialogs.Texts("message"),
      QStringList(2,
                  "インストール作業として、\r\nWindowsのデスクトップとSendToフォルダへショートカ"
                  "ットを作りました。"));
}

// A fresh account has no Documents folder: the link must start all the same.
TEST_F(ShellCommandsTest, InstalledLinkStartsWithoutDocuments) {
  const std::string marker = host.program + ".ran";
  test::WriteFile(host.program, "#!/bin/sh\ntouch '" + marker + "'\n");
  test::RemoveTree(SpecialFolderDisk(SpecialFolder::Personal));
  Install(host);
  const std::string launch = "/usr/bin/gio launch '" + Desktop() + kInstalledDesktopName + "'";
  EXPECT_EQ(std::system(launch.c_str()), 0);
  for (int i = 0; i < 100 && !Exists(marker); ++i) usleep(50 * 1000);
  EXPECT_TRUE(Exists(marker));
}

TEST_F(ShellCommandsTest, UninstallOfThePackagedProgramSendsNobodyIntoUsr) {
  host.program = "/usr/bin/tonbo";
  dialogs.answers = {Answer::Yes};
  Uninstall(host);
  EXPECT_EQ(dialogs.Texts("message"),
            QStringList{"Tonboのショートカットを削除しました。\r\nあとは、ソフトを終了した後、"
                        "パッケージ「tonbo」を削除して完璧です（sudo apt remove tonbo）。"});
  EXPECT_TRUE(launcher.opened.empty());
  EXPECT_EQ(host.closed, 1);
}

TEST_F(ShellCommandsTest, DeclinedGuardChangesNothing) {
  host.confirm = false;
  Install(host);
  RegisterVerb(host);
  Uninstall(host);
  EXPECT_FALSE(Exists(Desktop() + kInstalledDesktopName));
  EXPECT_FALSE(Exists(Verb()));
  EXPECT_TRUE(dialogs.shown.empty());
  EXPECT_EQ(host.guarded, (QStringList{"install", "registry", "uninstall"}));
}

TEST_F(ShellCommandsTest, UninstallWithTheVerbRegistered) {
  Install(host);
  RegisterVerb(host);
  ASSERT_TRUE(Exists(Verb()));
  EXPECT_TRUE(host.ini.ReadBool("install", "use_registry", false));
  dialogs.shown.clear();
  dialogs.answers = {Answer::Yes};
  Uninstall(host);
  EXPECT_FALSE(Exists(Desktop() + kInstalledDesktopName));
  EXPECT_FALSE(Exists(SendTo() + kInstalledSendToName));
  EXPECT_FALSE(Exists(Verb()));
  EXPECT_EQ(host.ini.ReadString("install", "use_registry", ""), "0");
  ASSERT_EQ(dialogs.shown.size(), 3u);
  EXPECT_EQ(dialogs.shown[0].text, "レジストリから削除しました。");
  EXPECT_EQ(
      dialogs.shown[1].text,
      "Tonboのショートカットを削除しました。\r\nあとは、ソフトを終了した後、「Tonbo」自身のフォルダ"
      "を削除して完璧です。");
  EXPECT_EQ(dialogs.shown[2].kind, "yesno");
  EXPECT_EQ(dialogs.shown[2].text, "「Tonbo」を終了しますか？");
  // Yes: the program folder opens and the window closes.
  ASSERT_FALSE(launcher.opened.empty());
  EXPECT_EQ(launcher.opened.back().toLocalFile().toStdString(), ProgramDirDisk());
  EXPECT_EQ(host.closed, 1);
}

TEST_F(ShellCommandsTest, UninstallWithoutTheVerbAndAnsweringNo) {
  Uninstall(host);  // nothing installed: no file, no error
  EXPECT_EQ(dialogs.Texts("message").size(), 1);
  EXPECT_EQ(host.closed, 0);
  EXPECT_TRUE(launcher.opened.empty());
}

TEST_F(ShellCommandsTest, RemoveTheVerbWhenNeverRegistered) {
  host.ini.WriteBool("install", "use_registry", true);
  EXPECT_FALSE(RemoveVerb(host));
  EXPECT_TRUE(dialogs.shown.empty());
  EXPECT_EQ(host.ini.ReadString("install", "use_registry", ""), "0");
}

TEST_F(ShellCommandsTest, VerbEntryOpensFoldersAndFiles) {
  RegisterVerb(host);
  auto entry = ReadDesktopEntry(Verb());
  EXPECT_EQ(entry["Type"], "Application");
  EXPECT_EQ(entry["Name"], "Tonbo");
  EXPECT_EQ(entry["MimeType"].rfind("application/", 0), 0u);
  EXPECT_EQ(entry["NoDisplay"], "true");  // one "Tonbo" in the menus, the package's
  EXPECT_EQ(ExpandExec(entry["Exec"], {"/a b", "/c"}, "", ""),
            (std::vector<std::string>{host.program, "/a b", "/c"}));
  EXPECT_EQ(dialogs.Texts("message"),
            QStringList{"レジストリに登録しました。右クリックメニューから、Tonboが使えます。"});
  // A quoted path keeps its blanks through the entry.
  EXPECT_EQ(ExpandExec(ReadDesktopEntry(Verb())["Exec"], {}, "", "").size(), 1u);
  const std::string text = VerbEntryText("/opt/my apps/tonbo", {"inode/directory"});
  EXPECT_NE(text.find("Exec=\"/opt/my apps/tonbo\" %F\n"), std::string::npos);
}

std::string Output(const std::string& command) {
  const std::string file = MakeTempDir("out") + "out";
  return std::system((command + " > '" + file + "' 2>&1").c_str()), test::ReadFile(file);
}

// Asked as the desktop asks GIO: Tonbo is offered for folders and any file,
// and what opened a type before still opens it.
TEST_F(ShellCommandsTest, OpenWithOffersTonboForAnyFileAndTakesNothingOver) {
  const std::string system = MakeTempDir("system");
  MakeDirs(system + "applications/");
  symlink("/usr/share/mime", (system + "mime").c_str());
  test::WriteFile(system + "applications/viewer.desktop",
                  "[Desktop Entry]\nType=Application\nName=Viewer\nExec=/bin/true %F\n"
                  "MimeType=image/jpeg;inode/directory;\n");
  // GIO finds a type's programs in the desktop database, which the program
  // refreshes after writing its entry (here the launcher only records that).
  Output("update-desktop-database " + system + "applications");
  setenv("XDG_DATA_DIRS", system.c_str(), 1);
  RegisterVerb(host);
  ASSERT_EQ(launcher.started.size(), 1u);
  Output("update-desktop-database " + ApplicationsDirDisk());
  // The viewer keeps its types; a type nothing else opens gets Tonbo alone.
  for (const char* type : {"image/jpeg", "inode/directory", "text/plain", "text/x-readme",
                           "application/pdf", "application/x-zerosize"}) {
    const std::string mime = Output(std::string("/usr/bin/gio mime ") + type);
    EXPECT_NE(mime.find(kVerbEntryName), std::string::npos) << mime;
    const bool viewers =
        type == std::string("image/jpeg") || type == std::string("inode/directory");
    EXPECT_EQ(mime.find(": viewer.desktop\n") != std::string::npos, viewers) << mime;
  }
  unsetenv("XDG_DATA_DIRS");
}

TEST_F(ShellCommandsTest, RegisterAnotherProgramInSendTo) {
  const std::string dir = MakeTempDir("prog");
  const std::string program = dir + "tool.exe";
  test::WriteFile(program, "#!/bin/sh\n");
  chmod(program.c_str(), 0755);
  dialogs.openFiles = {QStringList{}, QStringList{QString::fromStdString(program)}};
  RegisterSendToProgram(host);  // cancelled
  EXPECT_FALSE(Exists(SendTo() + "tool"));
  EXPECT_EQ(dialogs.Texts("message").size(), 0);
  RegisterSendToProgram(host);
  const std::string script = test::ReadFile(SendTo() + "tool");
  EXPECT_NE(script.find("\ncd '" + dir + "' 2>/dev/null\nexec '" + program + "' \"$@\"\n"),
            std::string::npos);
  EXPECT_EQ(
      dialogs.Texts("message"),
      QStringList{QString::fromStdString(
          "「送る」メニューに以下のソフトを追加しました。\r\n\"" + program +
          "\"\r\nメニューからソフトを削除したい場合は、「送る」メニューを開き\r\nそのショートカッ"
          "トを削除してください。")});
  unlink((SendTo() + "tool").c_str());
}

TEST_F(ShellCommandsTest, SpecialFoldersOpenAndMissingOnesAreMade) {
  std::string path;
  EXPECT_TRUE(OpenSpecialFolder(SpecialFolder::StartUp, &path));
  EXPECT_TRUE(Exists(path));
  ASSERT_EQ(launcher.opened.size(), 1u);
  EXPECT_EQ(launcher.opened[0].toLocalFile().toStdString(), path);
  launcher.answer = false;
  EXPECT_FALSE(OpenSpecialFolder(SpecialFolder::Windows, &path));
  EXPECT_EQ(path, "/usr/");
}

}  // namespace
}  // namespace tonbo::shell
