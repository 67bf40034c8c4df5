#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableView>

#include <sys/stat.h>

#include "FakeFileTypes.h"
#include "QtTestMain.h"
#include "QuietMain.h"
#include "RecordingLauncher.h"
#include "ScriptedDialogs.h"
#include "app/TfrmMain.h"
#include "common/Folders.h"
#include "common/Sjis.h"

namespace tonbo {

class MainListFileTest : public QObject {
  Q_OBJECT
  std::unique_ptr<TfrmMain> w_;
  std::string dir_;

  TfrmMain& Make() {
    w_ = test::QuietMain();
    dir_ = test::MakeTempDir("listfile");
    return *w_;
  }
  std::string Touch(const std::string& name) {
    test::WriteFile(dir_ + name, name);
    return dir_ + name;
  }
  void Trigger(const char* name) { w_->findChild<QAction*>(name)->trigger(); }
  QString Label(int back = 0) {
    const TUndoNode* n = w_->History().At(w_->History().Count() - 1 - back);
    return n ? enc::FromSjis(n->Label()) : QString();
  }
  std::vector<std::string> DiskPaths() {
    std::vector<std::string> out;
    for (int r = 0; r < w_->Table().RowCount(); ++r)
      out.push_back(enc::SjisToDisk(w_->Table().GetCell(colPath, r)));
    return out;
  }
  static QString Q(const std::string& disk) { return QString::fromStdString(disk); }

 private slots:
  void cleanup() { w_.reset(); }

  void bothCommandsAreEnabled() {
    Make();
    QVERIFY(w_->findChild<QAction*>("mnuSaveList")->isEnabled());
    QVERIFY(w_->findChild<QAction*>("mnuLoadList")->isEnabled());
  }

  void savingAnEmptyListWarnsAndOpensNoDialog() {
    Make();
    test::ScriptedDialogs dialogs;
    Trigger("mnuSaveList");
    QCOMPARE(dialogs.shown.size(), size_t(1));
    QCOMPARE(dialogs.shown[0].kind, QStringLiteral("warning"));
    QCOMPARE(dialogs.shown[0].text, QStringLiteral("ファイルリストが、空っぽです。"));
    QCOMPARE(dialogs.shown[0].caption, QStringLiteral("リストの保存"));
  }

  // Saved with edited new names, loaded into an empty list: the files come
  // back under their names on disk.
  void savedListLoadsBackWithTheNamesOnDisk() {
    Make();
    w_->AddDiskPaths({Touch("b.txt"), Touch("写真.jpg")});
    w_->Table().SetCell(colNewName, 0, "edited");
    test::ScriptedDialogs dialogs;
    const std::string saved = dir_ + "saved.csv";
    dialogs.saveFiles.push_back(Q(saved));
    Trigger("mnuSaveList");
    QCOMPARE(dialogs.shown[0].text, QStringLiteral("CSVファイル (*.csv);;全て (*)"));
    QCOMPARE(dialogs.saveRequests[0].defaultSuffix, QStringLiteral("csv"));
    QVERIFY(dialogs.saveRequests[0].confirmOverwrite);
    // Every column, with the selection recorded by the last step as column 8.
    QCOMPARE(test::ReadFile(saved), w_->TableAsRecorded().SaveToText());
    QVERIFY(test::ReadFile(saved).find(enc::Lit("写真")) != std::string::npos);
    QCOMPARE(w_->StatusText(1), QStringLiteral("2個のファイルのリストを保存しました。"));
    // Saved and loaded lists are among the desktop's recent files.
    const std::string recent =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation).toStdString() +
        "/recently-used.xbel";
    const std::string href = "href=\"file://" + saved + "\"";
    QVERIFY(test::ReadFile(recent).find(href) != std::string::npos);

    const std::string files = dir_;
    Make();
    const int entries = w_->History().Count();
    dialogs.openFiles.push_back({Q(saved)});
    Trigger("mnuLoadList");
    QCOMPARE(dialogs.shown.back().kind, QStringLiteral("open"));
    QCOMPARE(dialogs.shown.back().text, QStringLiteral("CSV 形式 (*.csv);;全て (*)"));
    QVERIFY(!dialogs.openRequests.back().multiple);
    QCOMPARE(DiskPaths(), (std::vector<std::string>{files + "b.txt", files + "写真.jpg"}));
    QCOMPARE(w_->Table().GetCell(colNewName, 0), std::string("b"));
    QCOMPARE(w_->List()->model()->rowCount(), 2);
    QCOMPARE(w_->StatusText(1), QStringLiteral("今回 2個のファイルをリストに追加しました。"));
    QCOMPARE(w_->History().Count(), entries + 2);
    QCOMPARE(Label(), QStringLiteral("リストにファイル追加"));
    QCOMPARE(Label(1), QStringLiteral("ファイルの追加"));
    const std::string entry = test::ReadFile(recent).substr(test::ReadFile(recent).find(href));
    QVERIFY(entry.find("name=\"Tonbo\"") < entry.find("count=\"2\""));
  }

  void loadingIntoAListAsksWhetherToClearIt() {
    Make();
    const std::string list = dir_ + "list.csv";
    test::WriteFile(list, ",,,,," + Touch("new.txt") + "\r\n");
    w_->AddDiskPaths({Touch("old.txt")});
    test::ScriptedDialogs dialogs;
    // Cancel: nothing more is asked or changed.
    dialogs.answers = {Answer::Cancel};
    Trigger("mnuLoadList");
    QCOMPARE(dialogs.shown.size(), size_t(1));
    QCOMPARE(dialogs.shown[0].kind, QStringLiteral("yesnocancel"));
    QCOMPARE(dialogs.shown[0].text, QStringLiteral("現在のファイルリストををクリアしますか？"));
    QCOMPARE(dialogs.shown[0].caption, QStringLiteral("リストの読み込み"));
    QCOMPARE(w_->Table().RowCount(), 1);
    // No: the loaded files come after the current ones.
    dialogs.answers = {Answer::No};
    dialogs.openFiles.push_back({Q(list)});
    Trigger("mnuLoadList");
    QCOMPARE(DiskPaths(), (std::vector<std::string>{dir_ + "old.txt", dir_ + "new.txt"}));
    // Yes: cleared through the clear command (which asks its own question) first.
    dialogs.shown.clear();
    dialogs.answers = {Answer::Yes, Answer::Yes};
    dialogs.openFiles.push_back({Q(list)});
    Trigger("mnuLoadList");
    QCOMPARE(dialogs.Texts("yesno"), QStringList({"リストを初期化しても良いですか？"}));
    QCOMPARE(DiskPaths(), std::vector<std::string>{dir_ + "new.txt"});
    QCOMPARE(Label(2), QStringLiteral("リスト初期化"));
    // Yes, then the file dialog cancelled: the list stays cleared, no load entry.
    dialogs.answers = {Answer::Yes, Answer::Yes};
    const int entries = w_->History().Count();
    Trigger("mnuLoadList");
    QCOMPARE(w_->Table().RowCount(), 0);
    QCOMPARE(w_->History().Count(), entries + 1);
    QCOMPARE(Label(), QStringLiteral("リスト初期化"));
  }

  // Renamed meanwhile to the saved new name: found. Renamed to the new name
  // with its extension: logged, and the log is offered and opened.
  void missingFilesAreLoggedAndTheLogOffered() {
    Make();
    OverrideExecutableDir(test::MakeTempDir("exe"));
    Touch("found");
    Touch("moved.txt");
    const std::string list = dir_ + "list.csv";
    test::WriteFile(list, "found,.txt,,,," + dir_ + "a.txt\r\nmoved,.txt,,,," + dir_ + "b.txt\r\n");
    test::ScriptedDialogs dialogs;
    test::RecordingLauncher launcher;
    dialogs.openFiles.push_back({Q(list)});
    dialogs.answers = {Answer::Yes};
    Trigger("mnuLoadList");
    QCOMPARE(DiskPaths(), std::vector<std::string>{dir_ + "found"});
    QCOMPARE(dialogs.Texts("yesno"), QStringList({"エラーログをみますか？"}));
    QCOMPARE(dialogs.shown.back().caption, QStringLiteral("Tonbo"));
    QCOMPARE(launcher.opened.size() + launcher.started.size(), size_t(1));
    QCOMPARE(test::ReadFile(StateDirDisk() + "log.txt"),
             "ファイルが見つかりません。：" + dir_ + "moved\r\n");  // UTF-8
    QCOMPARE(Label(), QStringLiteral("リストにファイル追加"));
  }

  void nothingFoundWarnsThenOffersTheLogAndStillRecords() {
    Make();
    const std::string list = dir_ + "list.csv";
    test::WriteFile(list, "x,.txt,,,," + dir_ + "x.txt\r\n" + "folder,,,,," + dir_ + "\r\n");
    test::ScriptedDialogs dialogs;
    dialogs.openFiles.push_back({Q(list)});
    dialogs.answers = {Answer::No};
    const int entries = w_->History().Count();
    Trigger("mnuLoadList");
    QCOMPARE(dialogs.shown.size(), size_t(3));
    QCOMPARE(dialogs.shown[1].kind, QStringLiteral("warning"));
    QCOMPARE(dialogs.shown[1].text, QStringLiteral("何も追加できるファイルがありませんでした。"));
    QCOMPARE(dialogs.shown[1].caption, QStringLiteral("リストの読込"));
    QCOMPARE(dialogs.shown[2].text, QStringLiteral("エラーログをみますか？"));
    QCOMPARE(w_->Table().RowCount(), 0);
    QCOMPARE(w_->History().Count(), entries + 1);
    QCOMPARE(Label(), QStringLiteral("リストにファイル追加"));
  }

  void unreadableListEndsInTheErrorBoxWithNothingAdded() {
    Make();
    w_->AddDiskPaths({Touch("a.txt")});
    const int entries = w_->History().Count();
    test::ScriptedDialogs dialogs;
    dialogs.answers = {Answer::No};
    dialogs.openFiles.push_back({Q(dir_ + "none.csv")});
    Trigger("mnuLoadList");
    const QStringList errors = dialogs.Texts("error");
    QCOMPARE(errors.size(), 1);
    QVERIFY(errors[0].contains(Q(dir_ + "none.csv")));
    QVERIFY(errors[0].endsWith(QStringLiteral("ファイルが見つかりません")));
    QCOMPARE(w_->Table().RowCount(), 1);
    QCOMPARE(w_->History().Count(), entries);
  }

  // A folder holds the chosen name: the rename into place fails, the error
  // names the file, and nothing is left behind.
  void failedSaveNamesTheFileAndLeavesNothing() {
    Make();
    w_->AddDiskPaths({Touch("a.txt")});
    const std::string target = dir_ + "taken.csv";
    mkdir(target.c_str(), 0755);
    test::WriteFile(target + "/inside", "kept");
    test::ScriptedDialogs dialogs;
    dialogs.saveFiles.push_back(Q(target));
    const QString saved = QStringLiteral("1個のファイルのリストを保存しました。");
    w_->SetStatusText(1, saved);  // an earlier save
    Trigger("mnuSaveList");
    const QStringList errors = dialogs.Texts("error");
    QCOMPARE(errors.size(), 1);
    QVERIFY(errors[0].contains(Q(target)));
    QVERIFY(errors[0].contains(QStringLiteral("ファイルに書き込めません。")));
    QVERIFY(errors[0].endsWith(QStringLiteral("フォルダです")));
    QCOMPARE(test::ReadFile(target + "/inside"), std::string("kept"));
    QCOMPARE(QDir(Q(dir_)).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList({"a.txt", "taken.csv"}));
    QCOMPARE(w_->StatusText(1), QStringLiteral("リストを保存できませんでした。"));
  }

  void bothAreGuardedByTheirOwnPages() {
    Make();
    w_->AddDiskPaths({Touch("a.txt")});
    w_->SetSwitch(MenuSwitch::mnuDescript, true);
    w_->SetShown(true);
    test::ScriptedDialogs dialogs;
    // "今後、解説を省略する" ticked and cancelled: the command stops, its key is remembered.
    dialogs.onModal = [](QDialog& d) {
      d.findChild<QCheckBox*>("chkOmit")->click();
      d.findChild<QPushButton*>("btnCancel")->click();
    };
    Trigger("mnuSaveList");
    QVERIFY(w_->Ini().ReadBool("help", "save_list", false));
    w_->SetSwitch(MenuSwitch::mnuDescript, true);
    Trigger("mnuLoadList");
    QVERIFY(w_->Ini().ReadBool("help", "load_list", false));
    QCOMPARE(dialogs.Texts("modal").size(), 2);
    QCOMPARE(dialogs.shown.size(), size_t(2));
  }
};

}  // namespace tonbo

TONBO_QTEST_CLASS(tonbo::MainListFileTest)
#include "MainListFileTest.moc"
