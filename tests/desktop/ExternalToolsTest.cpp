#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>

#include "RecordingLauncher.h"
#include "TestEnv.h"
#include "desktop/ExternalTools.h"
#include "desktop/ShortcutFiles.h"
#include "desktop/SpecialFolders.h"

namespace tonbo::listio {
namespace {

using test::RecordingLauncher;

TEST(ClipboardTextTest, PathsOrNamesEachEndedByLf) {
  const std::vector<std::string> paths{"/d/a b.txt", "/d/写真.jpg", "/e/noext"};
  EXPECT_EQ(ClipboardEntry(paths[1], true), "/d/写真.jpg");
  EXPECT_EQ(ClipboardEntry(paths[1], false), "写真.jpg");
  EXPECT_EQ(ClipboardList(paths, true), "/d/a b.txt\n/d/写真.jpg\n/e/noext\n");
  EXPECT_EQ(ClipboardList(paths, false), "a b.txt\n写真.jpg\nnoext\n");
  EXPECT_EQ(ClipboardList({}, true), "");
}

class ToolsTest : public ::testing::Test {
 protected:
  std::string dir = test::MakeTempDir("tools");
  std::string file = dir + "a b.txt";
  RecordingLauncher launcher;
  void SetUp() override {
    test::WriteFile(file, "x");
    // No system text editor: the file's own association is asked.
    setenv("XDG_DATA_DIRS", dir.c_str(), 1);
    setenv("XDG_CONFIG_DIRS", dir.c_str(), 1);
  }
  void TearDown() override {
    unsetenv("XDG_DATA_DIRS");
    unsetenv("XDG_CONFIG_DIRS");
  }
};

TEST_F(ToolsTest, OpenAndEditorNameTheFileTheDesktopCouldNotTake) {
  EXPECT_EQ(OpenWithAssociation(file), QString());
  EXPECT_EQ(OpenInEditor(file), QString());
  ASSERT_EQ(launcher.opened.size(), 1u);
  EXPECT_EQ(launcher.opened[0].toLocalFile().toStdString(), file);
  ASSERT_EQ(launcher.started.size(), 1u);
  EXPECT_EQ(launcher.started[0].program, "xdg-open");
  const QString shown = QString::fromStdString("「" + file + "」");
  EXPECT_EQ(OpenWithAssociation(dir + "gone"),
            QString::fromStdString("「" + dir + "gone」が見つかりません。"));
  launcher.answer = false;
  EXPECT_EQ(OpenWithAssociation(file), shown + "を開くプログラムがありません（xdg-open）。");
  EXPECT_EQ(OpenInEditor(file), shown + "を開くテキストエディタがありません（xdg-open）。");
}

TEST_F(ToolsTest, EditorIsTheTextEditorWhateverTheFileType) {
  const std::string apps = std::string(std::getenv("XDG_DATA_HOME")) + "/applications/";
  test::MakeTempDir();  // the sandbox exists
  mkdir(apps.c_str(), 0755);
  test::WriteFile(apps + "tonbo-test-editor.desktop", "[Desktop Entry]\nExec=myeditor %F\n");
  test::WriteFile(dir + "mimeapps.list",
                  "[Default Applications]\ntext/plain=tonbo-test-editor.desktop\n");
  EXPECT_EQ(OpenInEditor(file), QString());
  std::remove((apps + "tonbo-test-editor.desktop").c_str());
  ASSERT_EQ(launcher.started.size(), 1u);
  EXPECT_EQ(launcher.started[0].program, "myeditor");
  EXPECT_EQ(launcher.started[0].arguments, QStringList{QString::fromStdString(file)});
}

TEST_F(ToolsTest, FileManagerSelectsTheFileOrOpensItsFolder) {
  launcher.fileManager = true;
  EXPECT_EQ(ShowInFileManager(file), QString());
  ASSERT_EQ(launcher.shownItems.size(), 1u);
  EXPECT_EQ(
      launcher.shownItems[0],
      QStringList{QUrl::fromLocalFile(QString::fromStdString(file)).toString(QUrl::FullyEncoded)});
  EXPECT_TRUE(launcher.opened.empty());
  launcher.fileManager = false;
  EXPECT_EQ(ShowInFileManager(file), QString());
  ASSERT_EQ(launcher.opened.size(), 1u);
  EXPECT_EQ(launcher.opened[0].toLocalFile().toStdString(), dir);
  launcher.answer = false;
  EXPECT_EQ(ShowInFileManager(file),
            QString::fromStdString("「" + dir +
                                   "」を開くファイルマネージャがありません（org.freedesktop."
                                   "FileManager1、xdg-open）。"));
}

TEST_F(ToolsTest, TerminalFromTheEnvironmentThenTheDebianAlternative) {
  setenv("TERMINAL", "x-terminal-emulator --hold", 1);
  EXPECT_EQ(OpenTerminal(file), QString());
  unsetenv("TERMINAL");
  EXPECT_EQ(OpenTerminal(file), QString());
  setenv("TERMINAL", "no-such-terminal-here", 1);
  EXPECT_EQ(OpenTerminal(file), QString());  // falls back to the alternative
  unsetenv("TERMINAL");
  ASSERT_EQ(launcher.started.size(), 3u);
  EXPECT_EQ(launcher.started[0].arguments, QStringList{"--hold"});
  for (const auto& start : launcher.started) {
    EXPECT_EQ(start.program, "x-terminal-emulator");
    EXPECT_EQ(start.folder.toStdString(), dir);
  }
  // Without any terminal on PATH the status says which folder and what is missing.
  const char* path = std::getenv("PATH");
  const std::string saved = path ? path : "";
  setenv("PATH", dir.c_str(), 1);
  EXPECT_EQ(OpenTerminal(file),
            QString::fromStdString("「" + dir +
                                   "」で開く端末がありません（$TERMINAL、x-terminal-emulator）。"));
  setenv("PATH", saved.c_str(), 1);
}

TEST_F(ToolsTest, DesktopLinkPointsToTheFile) {
  EXPECT_EQ(MakeDesktopLink(file), QString());
  const std::string link =
      shell::SpecialFolderDisk(shell::SpecialFolder::Desktop) + "a b.txt.desktop";
  auto keys = shell::ReadDesktopEntry(link);
  EXPECT_EQ(keys["Type"], "Link");
  EXPECT_EQ(keys["Name"], "a b.txt");
  EXPECT_EQ(keys["Comment"], "a b.txt");
  EXPECT_EQ(QUrl::fromEncoded(QByteArray::fromStdString(keys["URL"])).toLocalFile().toStdString(),
            file);
}

TEST(FailureSummaryTest, FirstFailureAndTheRest) {
  EXPECT_EQ(FailureSummary({}), QString());
  EXPECT_EQ(FailureSummary({"a"}), "a");
  EXPECT_EQ(FailureSummary({"a", "b", "c"}), "a（ほか2件）");
}

}  // namespace
}  // namespace tonbo::listio
