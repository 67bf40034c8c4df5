// "名前変更の履歴…" over three real runs in one folder: an older run whose
// file a newer run renamed again is refused (and the window names that run),
// the second-last run, whose files the last did not touch, goes back.
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>

#include <unistd.h>

#include "QtTestMain.h"
#include "QuietMain.h"
#include "ScriptedDialogs.h"
#include "TestEnv.h"
#include "core/RunJournal.h"

namespace tonbo {

class MainRunHistoryTest : public QObject {
  Q_OBJECT
  std::unique_ptr<TfrmMain> w_;
  std::string dir_;

  // One run from the window: each file (name in dir_) to its new name, same extension.
  void Run(std::vector<std::pair<std::string, std::string>> renames) {
    std::vector<std::string> paths;
    for (const auto& [from, to] : renames) paths.push_back(dir_ + from);
    w_->Table().Clear();
    w_->AddDiskPaths(paths);
    for (size_t i = 0; i < renames.size(); ++i)
      w_->Table().SetCell(colNewName, static_cast<int>(i), renames[i].second);
    w_->ExecuteRenames();
  }

 private slots:
  void undoesAnyRunWhoseFilesAreWhereItLeftThem() {
    for (const std::string& j : ListJournals(JournalDirDisk())) unlink(j.c_str());
    w_ = test::QuietMain();
    dir_ = test::MakeTempDir("history");
    for (const char* name : {"a.txt", "b.txt", "c.txt", "d.txt"})
      test::WriteFile(dir_ + name, name);
    const auto before = test::FolderFiles(dir_);
    test::ScriptedDialogs dialogs;
    Run({{"a.txt", "a1"}, {"b.txt", "b1"}});  // the oldest run
    Run({{"c.txt", "c2"}});                   // the second-last
    Run({{"a1.txt", "a3"}});                  // the last: a file of the oldest again
    const auto afterRuns = test::FolderFiles(dir_);
    dialogs.answers = {Answer::Yes, Answer::Yes, Answer::Yes};
    dialogs.onModal = [&](QDialog& window) {
      auto* runs = window.findChild<QTreeWidget*>("lstRuns");
      auto* undo = window.findChild<QPushButton*>("btnUndo");
      auto* result = window.findChild<QPlainTextEdit*>("memResult");
      auto undoRun = [&](int index) {
        runs->setCurrentItem(runs->topLevelItem(index));
        undo->click();
        return result->toPlainText();
      };
      QCOMPARE(runs->topLevelItemCount(), 3);
      runs->expandItem(runs->topLevelItem(2));
      QCOMPARE(runs->topLevelItem(2)->child(1)->text(0), QStringLiteral("b.txt → b1.txt"));
      const QString lastTime = runs->topLevelItem(0)->text(0);
      const QString refused = undoRun(2);
      QVERIFY2(refused.contains("a1.txt → a.txt（") &&
                   refused.contains("後の名前変更（" + lastTime + "）が同じファイルを変えています"),
               qPrintable(refused));
      QVERIFY(test::FolderFiles(dir_) == afterRuns);
      QCOMPARE(runs->currentItem(), runs->topLevelItem(0));  // the run to undo first
      QCOMPARE(undoRun(1), QStringLiteral("1個のファイルを元の名前に戻しました。"));
      QCOMPARE(runs->topLevelItem(1)->text(2), QStringLiteral("元に戻した"));
      QVERIFY(!undo->isEnabled());
      QCOMPARE(w_->Table().GetCell(colPath, 0), dir_ + "c.txt");  // the main list, as after a run
      auto expected = afterRuns;
      expected.erase("c2.txt");
      expected["c.txt"] = "c.txt";
      QVERIFY(test::FolderFiles(dir_) == expected);
      undoRun(0);
      QCOMPARE(undoRun(2), QStringLiteral("2個のファイルを元の名前に戻しました。"));
    };
    w_->Commands().Run(Command::mnuRunHistory);
    QCOMPARE(dialogs.Texts("yesno").size(), 3);
    QVERIFY(dialogs.Texts("yesno")[0].startsWith("この名前変更（"));
    QVERIFY(test::FolderFiles(dir_) == before);
  }
};

}  // namespace tonbo

TONBO_QTEST_CLASS(tonbo::MainRunHistoryTest)
#include "MainRunHistoryTest.moc"
