#include <QAbstractItemModelTester>
#include <QAction>
#include <QCloseEvent>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextBrowser>

#include <sys/wait.h>
#include <unistd.h>

#include "FakeFileTypes.h"
#include "QtTestMain.h"
#include "QuietMain.h"
#include "RecordingLauncher.h"
#include "ScriptedDialogs.h"
#include "app/TfrmMain.h"
#include "app/TfrmSelect.h"
#include "common/Folders.h"
#include "common/Sjis.h"
#include "core/RenameExecutor.h"
#include "platform/Launcher.h"

namespace tonbo {

namespace {
// Records what would be started instead of starting it.
class NoLaunch : public platform::Launcher {
 public:
  QStringList started;
  bool OpenUrl(const QUrl& url) override {
    started << url.toString();
    return true;
  }
  bool StartDetached(const QString& program, const QStringList& args) override {
    started << program + " " + args.join(' ');
    return true;
  }
};
}  // namespace

class MainRenameTest : public QObject {
  Q_OBJECT
  std::unique_ptr<TfrmMain> w_;
  std::string dir_;

  TfrmMain& Make() {
    w_ = test::QuietMain();
    dir_ = test::MakeTempDir("ren");
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
  void SetName(int row, const char* name) { w_->Table().SetCell(colNewName, row, name); }

 private slots:
  void cleanup() { w_.reset(); }

  void runRenamesReportsAndClearsHistory() {
    Make();
    Add({"a.txt", "b.txt"});
    SetName(0, "x");
    w_->Table().MarkForDeletion(1);
    test::ScriptedDialogs dialogs;
    dialogs.answers = {Answer::Yes};
    w_->findChild<QAction*>("actRenameReal")->trigger();
    QCOMPARE(dialogs.Texts("yesno"),
             QStringList({"実際にファイル名を変更します。\r\nよろしいですか？"}));
    QCOMPARE(dialogs.Texts("info"),
             QStringList({"1個のファイルを名前変更しました。\r\n1個のファイルを削除しました。"}));
    QCOMPARE(w_->Table().RowCount(), 1);
    QCOMPARE(w_->Table().GetCell(colPath, 0), dir_ + "x.txt");
    QVERIFY(!w_->HasPendingChanges());
    auto* undo = w_->findChild<QAction*>("mnuUndo");
    QVERIFY(!undo->isEnabled());
    QCOMPARE(undo->text(), QStringLiteral("元に戻す(&Undo)"));
    QCOMPARE(w_->History().Count(), 1);
  }

  void undoOfTheLastRunPutsItBack() {
    Make();
    Add({"a.txt", "b.txt", "c.txt"});
    SetName(0, "b");  // a swap, and a file marked for the trash
    SetName(1, "a");
    w_->Table().MarkForDeletion(2);
    test::ScriptedDialogs dialogs;
    w_->ExecuteRenames();
    QCOMPARE(test::ReadFile(dir_ + "a.txt"), std::string("b.txt"));
    dialogs.answers = {Answer::Yes};
    int ticks = 0;  // the progress window looks at its clock at each file
    w_->SetProgressClock([&ticks] { return ++ticks; });
    w_->Commands().Run(Command::mnuUndoRename);
    QVERIFY(ticks > 0);
    QVERIFY(dialogs.Texts("yesno").last().startsWith(
        "最後に実行した名前の変更（3 個のファイル）を元に戻します。"));
    // It names the run: its time and folder.
    QVERIFY(dialogs.Texts("yesno").last().contains(QStringLiteral("、フォルダ ") +
                                                   QString::fromStdString(dir_) + "\r\n"));
    QCOMPARE(dialogs.Texts("info").last(),
             QStringLiteral("2個のファイルを元の名前に戻しました。\r\n"
                            "1個のファイルをごみ箱から戻しました。"));
    for (const char* name : {"a.txt", "b.txt", "c.txt"})
      QCOMPARE(test::ReadFile(dir_ + name), std::string(name));
    QCOMPARE(w_->Table().RowCount(), 3);
    QCOMPARE(w_->Table().GetCell(colPath, 2), dir_ + "c.txt");
    QVERIFY(w_->findChild<QAction*>("mnuUndoRename"));
  }

  void startUpOffersToSettleARunCutOff() {
    Make();
    TCsvDb table;
    for (const char* name : {"a.txt", "b.txt", "c.txt"}) {
      test::WriteFile(dir_ + name, name);
      const int row = table.RowCount();
      table.SetCell(colPath, row, dir_ + name);
      table.SetCell(colNewName, row, std::string(1, name[0] == 'c' ? 'a' : name[0] + 1));
      table.SetCell(colExt, row, ".txt");
    }
    // A rename run in a child that dies at the second file.
    if (fork() == 0) {
      struct Die : ProgressSink {
        bool Step(std::int64_t done, std::int64_t, const std::string&) override {
          if (done == 1) _exit(9);
          return true;
        }
      } die;
      RenameExecutor executor(nullptr);
      executor.SetProgress(&die);
      executor.Run(table);
      _exit(0);
    }
    wait(nullptr);
    test::ScriptedDialogs dialogs;
    dialogs.answers = {Answer::No};  // back to the names before
    int ticks = 0;
    w_->SetProgressClock([&ticks] { return ++ticks; });
    w_->StartUp({}, {});
    QVERIFY(ticks > 0);
    QCOMPARE(dialogs.Texts("yesnocancel").size(), 1);
    QVERIFY(dialogs.Texts("yesnocancel")[0].startsWith(
        "前回の名前の変更（3 個のファイル）は途中で終了しました。"));
    for (const char* name : {"a.txt", "b.txt", "c.txt"})
      QCOMPARE(test::ReadFile(dir_ + name), std::string(name));
    QCOMPARE(w_->Table().RowCount(), 3);
    w_->StartUp({}, {});  // settled: not asked again
    QCOMPARE(dialogs.Texts("yesnocancel").size(), 1);
  }

  void answeringNoChangesNothing() {
    Make();
    Add({"a.txt"});
    SetName(0, "x");
    test::ScriptedDialogs dialogs;
    w_->findChild<QAction*>("actRenameReal")->trigger();
    QVERIFY(w_->HasPendingChanges());
    QCOMPARE(test::ReadFile(dir_ + "a.txt"), std::string("a.txt"));
  }

  void sameNameQuestionShowsTargetAndRemembersMethod() {
    Make();
    Add({"a.txt", "b.txt", "c.txt", "d.txt"});
    SetName(0, "b");
    SetName(2, "d");
    test::ScriptedDialogs dialogs;
    QStringList targets;
    dialogs.onModal = [&](QDialog& d) {
      targets << d.findChild<QLineEdit*>("edtFilename")->text();
      d.findChild<QRadioButton*>("qMethod3")->click();  // 処理をスキップ
      d.findChild<QPushButton*>("btnOk")->click();
    };
    w_->ExecuteRenames();
    QCOMPARE(targets, QStringList({QString::fromStdString(dir_ + "b.txt"),
                                   QString::fromStdString(dir_ + "d.txt")}));
    QCOMPARE(dialogs.shown[0].caption, QStringLiteral("「Tonbo」より質問"));
    QCOMPARE(w_->frmSelect().Answer().method, ConflictMethod::Skip);
    // Two skips: the log question names the count; "No" opens nothing.
    QCOMPARE(dialogs.Texts("yesno"),
             QStringList({"2 個のファイルを名前変更できませんでした。\r\nエラーログを見ますか？"}));
    // Its 中止 stops the run, which says so and counts the files left.
    SetName(0, "b");
    SetName(2, "d");
    dialogs.onModal = [](QDialog& d) { d.findChild<QPushButton*>("btnCancel")->click(); };
    w_->ExecuteRenames();
    QCOMPARE(dialogs.Texts("info").last(),
             "名前の変更を中止しました。\r\n0個のファイルを名前変更"
             "しました。\r\n2個のファイルは変更していません。");
  }

  void logOpensInTheTextEditor() {
    Make();
    OverrideExecutableDir(test::MakeTempDir("exe"));
    Add({"a.txt", "b.txt"});
    SetName(0, "b");
    test::ScriptedDialogs dialogs;
    dialogs.onModal = [](QDialog& d) {
      d.findChild<QRadioButton*>("qMethod3")->click();
      d.findChild<QPushButton*>("btnOkAll")->click();
    };
    dialogs.answers = {Answer::Yes};
    NoLaunch launcher;
    platform::SetLauncher(&launcher);
    w_->ExecuteRenames();
    platform::SetLauncher(nullptr);
    QCOMPARE(launcher.started.size(), 1);
    QVERIFY(launcher.started[0].contains("log.txt"));
    const std::string log = test::ReadFile(StateDirDisk() + "log.txt");  // UTF-8
    QCOMPARE(log, "同名ファイルがあったのでスキップ：\"b.txt\"←\"" + dir_ + "a.txt\"\r\n");
  }

  void logShowsInAReadOnlyWindowWhenNoEditorTakesIt() {
    Make();
    OverrideExecutableDir(test::MakeTempDir("exe"));
    Add({"a.txt", "b.txt"});
    SetName(0, "b");
    test::ScriptedDialogs dialogs;
    QString shown;
    bool readOnly = false;
    dialogs.onModal = [&](QDialog& d) {
      if (auto* view = d.findChild<QTextBrowser*>("view")) {
        shown = view->toPlainText();
        readOnly = view->isReadOnly();
        return;
      }
      d.findChild<QRadioButton*>("qMethod3")->click();
      d.findChild<QPushButton*>("btnOkAll")->click();
    };
    dialogs.answers = {Answer::Yes};
    test::RecordingLauncher launcher;
    launcher.answer = false;
    w_->ExecuteRenames();
    QCOMPARE(shown.trimmed(),
             QString::fromStdString("同名ファイルがあったのでスキップ：\"b.txt\"←\"" + dir_ +
                                    "a.txt\""));
    QVERIFY(readOnly);
  }

  void closingWithChangesAsks() {
    Make();
    Add({"a.txt"});
    SetName(0, "renamed");
    test::ScriptedDialogs dialogs;
    dialogs.answers = {Answer::Cancel};
    QCloseEvent first;
    QCoreApplication::sendEvent(w_.get(), &first);
    QVERIFY(!first.isAccepted());
    QCOMPARE(dialogs.Texts("yesnocancel"),
             QStringList({"今回ファイル名に変更がありました。\r\n実際にファイル名を変更してもよろし"
                          "いですか？"}));
    dialogs.answers = {Answer::Yes};
    QCloseEvent second;
    QCoreApplication::sendEvent(w_.get(), &second);
    QVERIFY(second.isAccepted());
    QCOMPARE(test::ReadFile(dir_ + "renamed.txt"), std::string("a.txt"));
  }

  // c and d take one name (known from the names alone), e takes the name of
  // a file that is not listed (known once the disk has answered), a and b
  // swap (no clash). The marks, the count, the command and the question
  // before the run all tell the same two rows.
  void clashesAreMarkedSelectableAndToldBeforeTheRun() {
    Make();
    QAbstractItemModelTester tester(w_->List()->model(),
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    Add({"a", "b", "c", "d", "e"});
    test::WriteFile(dir_ + "stay", "S");
    for (auto [row, name] : {std::pair{0, "b"}, {1, "a"}, {2, "x"}, {3, "x"}, {4, "stay"}})
      SetName(row, name);
    w_->RefreshList();
    auto* panel = w_->findChild<QLabel*>("panelClash");
    QCOMPARE(w_->ClashCount(), 1);  // before the disk has answered
    QTRY_COMPARE(panel->text(), QStringLiteral("衝突 2"));
    QAbstractItemModel* model = w_->List()->model();
    const QStringList tips = {model->index(3, 0).data(Qt::ToolTipRole).toString(),
                              model->index(4, 0).data(Qt::ToolTipRole).toString()};
    QCOMPARE(tips, QStringList({"「c」と同じ名前になります", "同じ名前のファイルがあります"}));
    QCOMPARE(model->index(0, 0).data(Qt::ToolTipRole).toString(), QStringLiteral("b"));
    QVERIFY(!model->index(4, 0).data(Qt::DecorationRole).value<QIcon>().isNull());
    // A file replaced since the window saw it: marked at the next command.
    test::WriteFile(dir_ + "a.new", "A");
    rename((dir_ + "a.new").c_str(), (dir_ + "a").c_str());
    w_->RefreshList();
    QTRY_COMPARE(panel->text(), QStringLiteral("衝突 3"));
    QCOMPARE(model->index(0, 0).data(Qt::ToolTipRole).toString(),
             QStringLiteral("リストに加えた後で別のファイルに置き換わっています"));

    w_->Commands().Run(Command::mnuSelectClashes);
    QCOMPARE(w_->SelectedRows(), std::vector<int>({0, 3, 4}));
    QCOMPARE(enc::FromSjis(w_->History().At(w_->History().Position())->Label()),
             QStringLiteral("衝突する行を選択"));
    test::ScriptedDialogs dialogs;
    dialogs.answers = {Answer::No};
    w_->findChild<QAction*>("actRenameReal")->trigger();
    QCOMPARE(dialogs.Texts("yesno"),
             QStringList({"衝突 3 個：次の行はこのままでは名前を変更できないか、"
                          "同じ名前の確認が出ます。\r\n"
                          "a → b（リストに加えた後で別のファイルに置き換わっています）\r\n"
                          "d → x（「c」と同じ名前になります）\r\n"
                          "e → stay（同じ名前のファイルがあります）\r\n\r\n"
                          "実際にファイル名を変更します。\r\nよろしいですか？"}));
    QCOMPARE(test::ReadFile(dir_ + "a"), std::string("A"));
  }

  void startUpAddsCommandLineAndShiftAddsTheFolder() {
    Make();
    test::WriteFile(dir_ + "one.txt", "1");
    test::WriteFile(dir_ + "two.txt", "2");
    w_->StartUp({dir_ + "one.txt"}, Qt::ShiftModifier);
    QCOMPARE(w_->Table().RowCount(), 2);
  }
};

}  // namespace tonbo

TONBO_QTEST_CLASS(tonbo::MainRenameTest)
#include "MainRenameTest.moc"
