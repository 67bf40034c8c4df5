// The main window's desktop commands: the selection runner's titles, counts
// and sounds, the clipboard, desktop links, the install commands and the
// send-to menus.
#include <sys/stat.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMimeData>
#include <QThread>

#include "FakeFileTypes.h"
#include "QtTestMain.h"
#include "RecordingLauncher.h"
#include "ScriptedDialogs.h"
#include "app/TfrmMain.h"
#include "common/Folders.h"
#include "common/Sjis.h"
#include "desktop/ShortcutFiles.h"
#include "desktop/SpecialFolders.h"

namespace tonbo {

class MainShellTest : public QObject {
  Q_OBJECT
  std::unique_ptr<TfrmMain> w_;
  std::vector<std::string> played_;
  std::string dir_;
  std::uint32_t clock_ = 0;

  TfrmMain& Make(int rows) {
    w_ = std::make_unique<TfrmMain>(nullptr, std::make_unique<test::NoFileTypes>());
    w_->SetSwitch(MenuSwitch::mnuDescript, false);
    w_->SetSoundPlayer([this](const std::string& p) { played_.push_back(p); },
                       [this] { return clock_ += 1000; });
    dir_ = test::MakeTempDir("shell dir");
    for (int i = 0; i < rows; ++i) {
      const std::string name = "f " + std::to_string(i);
      test::WriteFile(dir_ + name + ".txt", "x");
      w_->Table().SetCell(colNewName, i, "new" + std::to_string(i));
      w_->Table().SetCell(colExt, i, ".txt");
      w_->Table().SetCell(colPath, i, dir_ + name + ".txt");
    }
    w_->RefreshList();
    played_.clear();
    return *w_;
  }
  void Trigger(const char* name) {
    QAction* action = w_->findChild<QAction*>(name);
    QVERIFY2(action && action->isEnabled(), name);
    action->trigger();
  }
  QString Path(int row) {
    return QString::fromStdString(dir_ + "f " + std::to_string(row) + ".txt");
  }

 private slots:
  void initTestCase() {
    // A program folder with the sounds.
    const std::string program = test::MakeTempDir("prog");
    mkdir((program + "doc").c_str(), 0755);
    mkdir((program + "tools").c_str(), 0755);
    test::WriteFile(program + "tools/a.wav", "RIFF");
    OverrideExecutableDir(program);
    // No text editor of the machine's own: the editor is asked through xdg-open.
    setenv("XDG_DATA_DIRS", program.c_str(), 1);
    setenv("XDG_CONFIG_DIRS", program.c_str(), 1);
  }
  void cleanup() { w_.reset(); }

  void everyToolReportsItsTitleAndCount() {
    struct Case {
      const char* action;
      const char* title;
    };
    const Case cases[] = {{"actExecute", "関連付けで開く"},
                          {"actExplorer", "エクスプローラーで開く"},
                          {"actDos", "DOS窓で開く"},
                          {"actMemoOpen", "メモ帳で開く"},
                          {"actMakeShortcut", "ショートカット作成"}};
    for (const Case& c : cases) {
      Make(3);
      test::RecordingLauncher launcher;
      test::ScriptedDialogs dialogs;
      w_->SelectRows({0, 2});
      Trigger(c.action);
      QCOMPARE(w_->StatusText(1), QString::fromUtf8(c.title).prepend(QStringLiteral("2個：")));
      QVERIFY(dialogs.shown.empty());
      // Only the desktop link plays the sound.
      QCOMPARE(played_.size(), size_t(QByteArray(c.action) == "actMakeShortcut" ? 1 : 0));
      // Two rows and nothing selected: the warning titled with the runner title, nothing else.
      Make(2);
      launcher.opened.clear();
      launcher.started.clear();
      Trigger(c.action);
      QCOMPARE(dialogs.shown.size(), size_t(1));
      QCOMPARE(dialogs.shown[0].kind, QStringLiteral("warning"));
      QCOMPARE(dialogs.shown[0].caption, QString::fromUtf8(c.title));
      QVERIFY(launcher.opened.empty() && launcher.started.empty());
    }
  }

  void toolsReachTheDesktopWithTheRightFiles() {
    Make(1);
    test::RecordingLauncher launcher;
    Trigger("actExecute");  // one row, unselected: it runs on that row
    QCOMPARE(w_->StatusText(1), QStringLiteral("1個：関連付けで開く"));
    QCOMPARE(launcher.opened.back().toLocalFile(), Path(0));
    Trigger("actDos");
    QCOMPARE(launcher.started.back().program, QStringLiteral("x-terminal-emulator"));
    QCOMPARE(launcher.started.back().folder.toStdString(), dir_);
    Trigger("actExplorer");  // no file manager on the bus: the folder opens
    QCOMPARE(launcher.shownItems.back().size(), 1);
    QCOMPARE(launcher.opened.back().toLocalFile().toStdString(), dir_);
    Trigger("actMemoOpen");
    QCOMPARE(launcher.started.back().program, QStringLiteral("xdg-open"));
  }

  void aDesktopThatCannotOpenIsNamedAfterTheCount() {
    Make(3);
    test::RecordingLauncher launcher;
    launcher.answer = false;
    w_->SelectRows({0, 1, 2});
    Trigger("actExecute");
    QCOMPARE(w_->StatusText(1),
             QStringLiteral("3個：関連付けで開く　「") + Path(0) +
                 QStringLiteral("」を開くプログラムがありません（xdg-open）。（ほか2件）"));
    unlink((dir_ + "f 1.txt").c_str());
    w_->SelectRows({1});
    Trigger("actMemoOpen");
    QCOMPARE(w_->StatusText(1), QStringLiteral("1個：メモ帳で開く　「") + Path(1) +
                                    QStringLiteral("」が見つかりません。"));
  }

  void clipboardHoldsOnePathBareAndSeveralByLines() {
    Make(3);
    QClipboard* clipboard = QApplication::clipboard();
    w_->SelectRows({1});
    Trigger("actClipboard");
    QCOMPARE(clipboard->text(), Path(1));
    QCOMPARE(w_->StatusText(1), "\"" + Path(1) + QStringLiteral("\" をコピーしました。"));
    Trigger("actClipboardNoPath");  // the name on disk, not the new name
    QCOMPARE(clipboard->text(), QStringLiteral("f 1.txt"));
    QCOMPARE(w_->StatusText(1), QStringLiteral("\"f 1.txt\" をコピーしました。"));
    w_->SelectRows({0, 1, 2});
    Trigger("actClipboard");
    QCOMPARE(clipboard->text(), Path(0) + "\n" + Path(1) + "\n" + Path(2) + "\n");
    QCOMPARE(w_->StatusText(1), QStringLiteral("3個：クリップボードにパスをコピー"));
    w_->SelectRows({0, 1, 2});
    Trigger("actClipboardNoPath");
    QCOMPARE(clipboard->text(), QStringLiteral("f 0.txt\nf 1.txt\nf 2.txt\n"));
    QCOMPARE(w_->StatusText(1), QStringLiteral("3個：クリップボードにファイル名をコピー"));
    QCOMPARE(played_.size(), size_t(4));
  }

  // A name that is not UTF-8 cannot be text; a file manager's paste still
  // gets the very files, byte for byte.
  void clipboardCarriesTheFilesOfNamesThatAreNotUtf8() {
    Make(2);
    const std::string odd = dir_ + "\xff\x81 \xe3\x81.txt";
    std::string sjis;
    enc::DiskToSjis(odd, sjis);
    w_->Table().SetCell(colPath, 0, sjis);
    w_->SelectRows({0, 1});
    Trigger("actClipboard");
    const QMimeData* data = QApplication::clipboard()->mimeData();
    const QList<QByteArray> uris = data->data("text/uri-list").split('\n');
    const QByteArray copied = data->data("x-special/gnome-copied-files");
    QCOMPARE(uris.size(), 3);  // two lines ended by CR LF
    QCOMPARE(copied, "copy\n" + uris[0].chopped(1) + "\n" + uris[1].chopped(1));
    QCOMPARE(QByteArray::fromPercentEncoding(uris[0].mid(7).chopped(1)).toStdString(), odd);
    QCOMPARE(uris[1], QByteArray("file://") + QUrl::toPercentEncoding(Path(1), "/") + "\r");
  }

  void desktopLinkOpensTheListedFile() {
    Make(2);
    w_->SelectRows({1});
    Trigger("actMakeShortcut");
    const std::string link =
        shell::SpecialFolderDisk(shell::SpecialFolder::Desktop) + "f 1.txt.desktop";
    auto keys = shell::ReadDesktopEntry(link);
    QCOMPARE(QString::fromStdString(keys["Type"]), QStringLiteral("Link"));
    QCOMPARE(QUrl::fromEncoded(QByteArray::fromStdString(keys["URL"])).toLocalFile(), Path(1));
    struct stat st {};
    QVERIFY(stat(link.c_str(), &st) == 0 && (st.st_mode & 0100));
  }

  void specialFoldersAndInstallCommandsAreThere() {
    Make(0);
    test::RecordingLauncher launcher;
    test::ScriptedDialogs dialogs;
    Trigger("mnuOpenSendTo2");
    QCOMPARE(launcher.opened.back().toLocalFile().toStdString(),
             shell::SpecialFolderDisk(shell::SpecialFolder::SendTo));
    Trigger("mnuOpenWinDir");
    QCOMPARE(launcher.opened.back().toLocalFile(), QStringLiteral("/usr/"));
    launcher.answer = false;
    Trigger("mnuOpenMyDocument");
    QVERIFY(
        w_->StatusText(1).endsWith(QStringLiteral("」を開くプログラムがありません（xdg-open）。")));
    for (const char* name :
         {"mnuInstall", "mnuUninstall", "mnuRegistryInstall", "mnuRegistryUninstall",
          "mnuRegSendToOther", "mnuOpenFavorites", "mnuOpenStartUp", "mnuOpenStartMenu",
          "mnuOpenProgramDir", "mnuOpenUserHome", "mnuTonboExe"})
      QVERIFY2(w_->findChild<QAction*>(name)->isEnabled(), name);
  }

  void aRegisteredProgramIsInBothMenusAfterARestart() {
    Make(0);
    const std::string out = test::MakeTempDir("args") + "args.txt";
    const std::string program = test::MakeTempDir("prog") + "record.sh";
    test::WriteFile(program, "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" +
                                 out + ".part'\nmv '" + out + ".part' '" + out + "'\n");
    chmod(program.c_str(), 0755);
    test::ScriptedDialogs dialogs;
    dialogs.openFiles = {QStringList{QString::fromStdString(program)}};
    Trigger("mnuRegSendToOther");
    const QString caption = QStringLiteral("record");
    auto items = [this, &caption](const char* menu) {
      QList<QAction*> found;
      for (QAction* a : w_->findChild<QMenu*>(menu)->actions())
        if (a->text() == caption) found << a;
      return found;
    };
    QVERIFY(items("PopupMenu1").isEmpty());  // the menus are built at start
    test::WriteFile(shell::SpecialFolderDisk(shell::SpecialFolder::SendTo) + "R&D", "");
    Make(3);  // the restart
    QCOMPARE(items("PopupMenu1").size(), 1);
    QCOMPARE(items("mnuSendTo").size(), 1);
    QVERIFY(w_->findChild<QMenu*>("mnuSendTo")->isEnabled());
    QVERIFY(!items("PopupMenu1").first()->icon().isNull());
    // An "&" in an entry's name is no hot key.
    QStringList captions;
    for (QAction* a : w_->findChild<QMenu*>("mnuSendTo")->actions()) captions << a->text();
    QVERIFY2(captions.contains(QStringLiteral("R&&D")), qPrintable(captions.join("|")));
    w_->SelectRows({0, 2});
    items("PopupMenu1").first()->trigger();
    for (int i = 0; i < 500 && access(out.c_str(), F_OK) != 0; ++i) QThread::msleep(10);
    QCOMPARE(QString::fromStdString(test::ReadFile(out)), Path(0) + "\n" + Path(2) + "\n");
    unlink((shell::SpecialFolderDisk(shell::SpecialFolder::SendTo) + "record").c_str());
    unlink((shell::SpecialFolderDisk(shell::SpecialFolder::SendTo) + "R&D").c_str());
  }
};

}  // namespace tonbo

TONBO_QTEST_CLASS(tonbo::MainShellTest)
#include "MainShellTest.moc"
