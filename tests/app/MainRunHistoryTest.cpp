// "名前変更の履歴…" over three real runs: one whose file a newer run renamed is refused.
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>

#include <unistd.h>

#include "QtTestMain.h"
#include "QuietMain.h"
#include "ScriptedDialogs.h"
#include "core/RunJournal.h"

namespace tonbo {

class MainRunHistoryTest : public QObject {
  Q_OBJECT
 private slots:
  void undoesAnyRunWhoseFilesAreWhereItLeftThem() {
    for (const std::string& j : ListJournals(JournalDirDisk())) unlink(j.c_str());
    auto w = test::QuietMain();
    const std::string dir = test::MakeTempDir("history");
    for (const char* name : {"a.txt", "b.txt", "c.txt", "d.txt"}) test::WriteFile(dir + name, name);
    const auto before = test::FolderFiles(dir);
    test::ScriptedDialogs dialogs;
    auto run = [&](std::vector<std::pair<std::string, std::string>> renames) {
      w->Table().Clear();
      for (const auto& [from, to] : renames) w->AddDiskPaths({dir + from});
      for (size_t i = 0; i < renames.size(); ++i)
        w->Table().SetCell(colNewName, static_cast<int>(i), renames[i].second);
      w->ExecuteRenames();
    };
    run({{"a.txt", "a1"}, {"b.txt", "b1"}});  // the oldest run
    run({{"c.txt", "c2"}});                   // the second-last
    run({{"a1.txt", "a3"}});                  // the last: a file of the oldest again
    const auto afterRuns = test::FolderFiles(dir);
    dialogs.answers = {Answer::Yes, Answer::Yes, Answer::Yes};
    dialogs.onModal = [&](QDialog& window) {
      auto* runs = window.findChild<QTreeWidget*>("lstRuns");
      auto* undo = window.findChild<QPushButton*>("btnUndo");
      auto undoRun = [&](int index) {
        runs->setCurrentItem(runs->topLevelItem(index));
        undo->click();
        return window.findChild<QPlainTextEdit*>("memResult")->toPlainText();
      };
      QCOMPARE(runs->topLevelItemCount(), 3);
      runs->expandItem(runs->topLevelItem(2));
      QCOMPARE(runs->topLevelItem(2)->child(1)->text(0), QStringLiteral("b.txt → b1.txt"));
      const QString refused = undoRun(2), lastTime = runs->topLevelItem(0)->text(0);
      QVERIFY(refused.contains("a1.txt → a.txt（"));
      QVERIFY(refused.contains("後の名前変更（" + lastTime + "）が同じファイルを変えています"));
      QVERIFY(test::FolderFiles(dir) == afterRuns);
      QCOMPARE(runs->currentItem(), runs->topLevelItem(0));  // the run to undo first
      QCOMPARE(undoRun(1), QStringLiteral("1個のファイルを元の名前に戻しました。"));
      QCOMPARE(runs->topLevelItem(1)->text(2), QStringLiteral("元に戻した"));
      QVERIFY(!undo->isEnabled());
      QCOMPARE(w->Table().GetCell(colPath, 0), dir + "c.txt");  // the main list, as after a run
      QVERIFY(
          test::FolderFiles(dir) ==
          (std::map<std::string, std::string>{
              {"a3.txt", "a.txt"}, {"b1.txt", "b.txt"}, {"c.txt", "c.txt"}, {"d.txt", "d.txt"}}));
      undoRun(0);
      QCOMPARE(undoRun(2), QStringLiteral("2個のファイルを元の名前に戻しました。"));
    };
    w->Commands().Run(Command::mnuRunHistory);
    QCOMPARE(dialogs.Texts("yesno").size(), 3);
    QVERIFY(test::FolderFiles(dir) == before);
  }
};

}  // namespace tonbo

TONBO_QTEST_CLASS(tonbo::MainRunHistoryTest)
#include "MainRunHistoryTest.moc"
