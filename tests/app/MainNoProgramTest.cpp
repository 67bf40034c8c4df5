// GIO's real desktop, read from this sandbox: the only program for text and
// pages is an editor that runs in a terminal, and there is no terminal.
#include <sys/stat.h>
#include <unistd.h>

#include <QAction>

#include <cstdlib>

#include "QtTestMain.h"
#include "QuietMain.h"
#include "ScriptedDialogs.h"
#include "common/Folders.h"
#include "platform/Launcher.h"

namespace tonbo {

class MainNoProgramTest : public QObject {
  Q_OBJECT
  std::string bin_;
  std::string program_;

 private slots:
  // Before GIO first reads the desktop's programs, which it does once.
  void initTestCase() {
    const std::string root = test::MakeTempDir("desk");
    bin_ = root + "bin/";
    MakeDirs(bin_);
    // The opener is installed; it must not be asked to open what nothing shows.
    for (const char* program : {"vi", "xdg-open"}) {
      test::WriteFile(bin_ + program, "#!/bin/sh\necho \"$0 $*\" >> '" + bin_ + "started'\n");
      chmod((bin_ + program).c_str(), 0755);
    }
    MakeDirs(root + "share/applications/");
    symlink("/usr/share/mime", (root + "share/mime").c_str());  // the types, not the programs
    MakeDirs(root + "etc/");
    test::WriteFile(root + "share/applications/vi.desktop",
                    "[Desktop Entry]\nType=Application\nName=vi\nExec=" + bin_ +
                        "vi %F\nTerminal=true\nMimeType=text/plain;text/html;\n");
    test::WriteFile(std::string(std::getenv("XDG_CONFIG_HOME")) + "/mimeapps.list",
                    "[Default Applications]\ntext/plain=vi.desktop\ntext/html=vi.desktop\n");
    setenv("XDG_DATA_DIRS", (root + "share").c_str(), 1);
    setenv("XDG_CONFIG_DIRS", (root + "etc").c_str(), 1);
    setenv("PATH", bin_.c_str(), 1);  // no terminal, no opener
    unsetenv("TERMINAL");
    unsetenv("XDG_CURRENT_DESKTOP");
    program_ = test::MakeTempDir("prog");
    MakeDirs(program_ + "doc/");
    test::WriteFile(program_ + "doc/index.htm", "<html><body>使い方</body></html>");
    OverrideExecutableDir(program_);
  }

  void manualLogAndFileShowHereOrSayWhy() {
    auto w = test::QuietMain();
    const std::string dir = test::MakeTempDir("files");
    test::WriteFile(dir + "a.txt", "a");
    test::WriteFile(dir + "list.csv", "b,.txt,,,," + dir + "b.txt\r\n");
    test::ScriptedDialogs dialogs;
    w->findChild<QAction*>("mnuHelp")->trigger();  // F1
    QCOMPARE(dialogs.shown.size(), size_t(1));
    QCOMPARE(dialogs.shown.back().text, QStringLiteral("frmPage"));
    dialogs.openFiles.push_back({QString::fromStdString(dir + "list.csv")});
    dialogs.answers = {Answer::Yes};  // ログを見る
    w->findChild<QAction*>("mnuLoadList")->trigger();
    QCOMPARE(dialogs.shown.back().text, QStringLiteral("frmPage"));
    QCOMPARE(dialogs.shown.back().caption, QStringLiteral("log.txt"));
    w->Table().SetCell(colPath, 0, dir + "a.txt");
    w->RefreshList();
    w->findChild<QAction*>("actMemoOpen")->trigger();
    QVERIFY(w->StatusText(1).endsWith(
        QStringLiteral("を開くテキストエディタがありません（xdg-open）。")));
    QVERIFY(access((bin_ + "started").c_str(), F_OK) != 0);
  }

  void theEditorCountsOnlyWithATerminalAndItsProgram() {
    const std::string page = program_ + "doc/index.htm";
    QVERIFY(!platform::HasDesktopHandler(page));
    test::WriteFile(bin_ + "x-terminal-emulator", "#!/bin/sh\n");
    chmod((bin_ + "x-terminal-emulator").c_str(), 0755);
    QVERIFY(platform::HasDesktopHandler(page));
    chmod((bin_ + "vi").c_str(), 0644);
    QVERIFY(!platform::HasDesktopHandler(page));
  }
};

}  // namespace tonbo

TONBO_QTEST_CLASS(tonbo::MainNoProgramTest)
#include "MainNoProgramTest.moc"
