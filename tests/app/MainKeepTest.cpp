// The batch file, the shell script and the backup copy as whole window
// commands, offscreen, with scripted answers and real files.
#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <dirent.h>
#include <sys/stat.h>

#include <map>

#include "FakeFileTypes.h"
#include "QtTestMain.h"
#include "QuietMain.h"
#include "RecordingLauncher.h"
#include "ScriptedDialogs.h"
#include "app/TfrmMain.h"
#include "common/Folders.h"
#include "common/Sjis.h"

namespace tonbo {

namespace {
using Manifest = std::map<std::string, std::string>;

Manifest Files(const std::string& dir) { return test::FolderFiles(dir); }

QString Q(const std::string& disk) { return QString::fromStdString(disk); }
}  // namespace

class MainKeepTest : public QObject {
  Q_OBJECT
  std::unique_ptr<TfrmMain> w_;
  std::string dir_;

  TfrmMain& Make() {
    w_ = test::QuietMain();
    dir_ = test::MakeTempDir("keep");
    return *w_;
  }
  void Add(std::initializer_list<const char*> names) {
    std::vector<std::string> paths;
    for (const char* n : names) {
      test::WriteFile(dir_ + n, n);
      paths.push_back(dir_ + n);
    }
    w_->AddDiskPaths(paths);
  }
  void SetName(int row, const std::string& name) {
    w_->Table().SetCell(colNewName, row, enc::Lit(name));
  }
  void Trigger(const char* name) { w_->findChild<QAction*>(name)->trigger(); }

 private slots:
  void cleanup() { w_.reset(); }

  void commandsAreEnabledInTheirMenusAndToolBar() {
    Make();
    for (const char* name : {"mnuMakeBatch", "mnuMakeScript", "actBackup", "toolBackup"}) {
      QAction* action = w_->findChild<QAction*>(name);
      QVERIFY2(action && action->isEnabled(), name);
    }
    QCOMPARE(w_->findChild<QAction*>("mnuMakeScript")->text(),
             QStringLiteral("シェルスクリプトを生成"));
    QCOMPARE(w_->findChild<QAction*>("toolBackup")->toolTip(), QStringLiteral("バックアップ"));
  }

  void batchFileIsWrittenAndReported() {
    Make();
    Add({"a b.txt", "c.txt"});
    SetName(0, "写真");
    w_->Table().MarkForDeletion(1);
    test::ScriptedDialogs dialogs;
    dialogs.saveFiles = {Q(dir_ + "out.bat")};
    Trigger("mnuMakeBatch");
    QCOMPARE(dialogs.shown[0].kind, QStringLiteral("save"));
    QCOMPARE(dialogs.shown[0].text, QStringLiteral("バッチファイル(*.bat);;全て (*)"));
    QVERIFY(!dialogs.saveRequests[0].confirmOverwrite);  // replaced without a question
    QCOMPARE(enc::FromSjis(test::ReadFile(dir_ + "out.bat")).toStdString(),
             "; Tonbo自動生成バッチファイル\r\nren \"" + dir_ + "a b.txt\" \"写真.txt\"\r\ndel \"" +
                 dir_ + "c.txt\"\r\n");
    QCOMPARE(dialogs.Texts("info"),
             QStringList{"リストの全ファイルについてバッチファイルに変換しました。"});
    QCOMPARE(Files(dir_).size(), size_t{3});  // the list's files are untouched
  }

  void aBatchFileThatCannotBeWrittenSaysSoAndNothingElse() {
    Make();
    Add({"a.txt"});
    test::ScriptedDialogs dialogs;
    dialogs.saveFiles = {Q(dir_ + "missing/out.bat")};
    Trigger("mnuMakeBatch");
    QCOMPARE(dialogs.Texts("error"), QStringList{"「" + Q(dir_) +
                                                 "missing/out.bat」に書き込めませんでした（ファ"
                                                 "イルが見つかりません）"});
    QVERIFY(dialogs.Texts("info").isEmpty());
    dialogs.shown.clear();
    Trigger("mnuMakeBatch");  // cancelled: nothing at all
    QCOMPARE(dialogs.shown.size(), size_t{1});
  }

  void shellScriptIsWrittenExecutable() {
    Make();
    Add({"a.txt"});
    SetName(0, "b");
    test::ScriptedDialogs dialogs;
    dialogs.saveFiles = {Q(dir_ + "run.sh")};
    Trigger("mnuMakeScript");
    QCOMPARE(dialogs.shown[0].text, QStringLiteral("シェルスクリプト(*.sh);;全て (*)"));
    const std::string script = test::ReadFile(dir_ + "run.sh");
    QVERIFY(script.find("ren ") != std::string::npos);
    QVERIFY(script.find("'" + dir_ + "a.txt' '" + dir_ + "b.txt'") != std::string::npos);
    struct stat st {};
    QCOMPARE(stat((dir_ + "run.sh").c_str(), &st), 0);
    QVERIFY(st.st_mode & S_IXUSR);
    QCOMPARE(dialogs.Texts("info"),
             QStringList{"リストの全ファイルについてシェルスクリプトに変換しました。"});
  }

  void backupOfEverythingAsksThenCopies() {
    Make();
    Add({"a.txt", "b.txt"});
    SetName(0, "x");
    const std::string target = test::MakeTempDir("bk");
    test::ScriptedDialogs dialogs;
    dialogs.answers = {Answer::Yes, Answer::Yes};
    dialogs.folders = {Q(target)};
    Trigger("toolBackup");
    QCOMPARE(dialogs.shown[0].text, QStringLiteral("全てのファイルをバックアップしますか？"));
    QCOMPARE(dialogs.shown[1].kind, QStringLiteral("folder"));
    QCOMPARE(dialogs.shown[1].caption, QStringLiteral("バックアップ先の選択"));
    QCOMPARE(dialogs.shown[2].text,
             "リスト中の選択ファイル 2個を\r\n\"" + Q(target) + "\"\r\nへ一括コピーします。");
    QCOMPARE(dialogs.shown[2].caption, QStringLiteral("確認"));
    QCOMPARE(dialogs.Texts("info"), QStringList{"無事コピーされました。"});
    QCOMPARE(Files(target), (Manifest{{"x.txt", "a.txt"}, {"b.txt", "b.txt"}}));
    QCOMPARE(w_->SelectedRows(), (std::vector<int>{0, 1}));
    QCOMPARE(Files(dir_), (Manifest{{"a.txt", "a.txt"}, {"b.txt", "b.txt"}}));
    QVERIFY(!QFile::exists(Q(StateDirDisk() + "err.txt")));
  }

  void noAnswersStopBeforeAnyCopy() {
    Make();
    Add({"a.txt"});
    const std::string target = test::MakeTempDir("bk");
    test::ScriptedDialogs dialogs;
    dialogs.answers = {Answer::No};
    Trigger("actBackup");  // not everything
    dialogs.answers = {Answer::Yes};
    Trigger("actBackup");                               // no folder chosen
    QCOMPARE(w_->SelectedRows(), std::vector<int>{0});  // "Yes" selected everything
    dialogs.answers = {Answer::No};
    dialogs.folders = {Q(target)};
    Trigger("actBackup");  // not confirmed
    QCOMPARE(dialogs.Texts("yesno").size(), 3);
    QVERIFY(dialogs.Texts("yesno")[2].startsWith("リスト中の選択ファイル 1個を"));
    QCOMPARE(Files(target), Manifest());
    QVERIFY(dialogs.Texts("info").isEmpty());
  }

  void clashesAskTheSameNameQuestionAndTheLogGoesToErrTxt() {
    Make();
    OverrideExecutableDir(test::MakeTempDir("exe"));
    Add({"a.txt", "b.txt", "c.txt"});
    const std::string target = test::MakeTempDir("bk");
    test::WriteFile(target + "a.txt", "old a");
    test::WriteFile(target + "b.txt", "old b");
    w_->SelectRows({0, 1});
    test::ScriptedDialogs dialogs;
    QStringList asked;
    dialogs.onModal = [&](QDialog& d) {
      asked << d.findChild<QLineEdit*>("edtFilename")->text();
      d.findChild<QRadioButton*>("qMethod2")->click();  // 適当に改名して書き込む
      d.findChild<QPushButton*>("btnOkAll")->click();   // 以降全て
    };
    dialogs.answers = {Answer::Yes, Answer::Yes};
    dialogs.folders = {Q(target)};
    test::RecordingLauncher launcher;
    Trigger("actBackup");
    QCOMPARE(asked, QStringList{Q(target + "a.txt")});
    QCOMPARE(
        Files(target),
        (Manifest{
            {"a.txt", "old a"}, {"b.txt", "old b"}, {"a_1.txt", "a.txt"}, {"b_1.txt", "b.txt"}}));
    QCOMPARE(dialogs.Texts("yesno").last(),
             QStringLiteral("バックアップに際してログが記録されています。\r\n表示しますか？"));
    const std::string log = test::ReadFile(StateDirDisk() + "err.txt");  // UTF-8
    QCOMPARE(log, "適当に改名：\"a.txt\"を\"" + target +
                      "a_1.txt\"に改名\r\n適当に改名：\"b.txt\"を\"" + target +
                      "b_1.txt\"に改名\r\n");
    QCOMPARE(launcher.started.size() + launcher.opened.size(), size_t{1});
  }

  void stoppingAtAClashEndsWithTheWarning() {
    Make();
    Add({"a.txt", "b.txt"});
    const std::string target = test::MakeTempDir("bk");
    test::WriteFile(target + "b.txt", "old b");
    w_->SelectRows({0, 1});
    test::ScriptedDialogs dialogs;
    dialogs.onModal = [](QDialog& d) { d.findChild<QPushButton*>("btnCancel")->click(); };
    dialogs.answers = {Answer::Yes};
    dialogs.folders = {Q(target)};
    Trigger("actBackup");
    QCOMPARE(dialogs.Texts("warning"), QStringList{"処理は途中で中止されました。"});
    QCOMPARE(dialogs.shown.back().caption, QStringLiteral("バックアップ"));
    QCOMPARE(dialogs.Texts("yesno").size(), 1);  // no log question
    QVERIFY(dialogs.Texts("info").isEmpty());
    QCOMPARE(Files(target), (Manifest{{"a.txt", "a.txt"}, {"b.txt", "old b"}}));
  }
};

}  // namespace tonbo

TONBO_QTEST_CLASS(tonbo::MainKeepTest)
#include "MainKeepTest.moc"
