#include <QAction>
#include <QLineEdit>
#include <QTableView>

#include "FakeFileTypes.h"
#include "QtTestMain.h"
#include "ScriptedDialogs.h"
#include "TestEnv.h"
#include "app/TfrmMain.h"
#include "windows/TfrmInputName.h"

namespace tonbo {

// The preview renamer as the main window opens it.
class MainPreviewTest : public QObject {
  Q_OBJECT

  std::unique_ptr<test::ScriptedDialogs> dialogs_;
  std::unique_ptr<TfrmMain> w_;
  std::string dir_;

  TfrmMain& Make(const std::vector<std::string>& names) {
    dialogs_ = std::make_unique<test::ScriptedDialogs>();
    w_ = std::make_unique<TfrmMain>(nullptr, std::make_unique<test::NoFileTypes>());
    dir_ = test::MakeTempDir("mp");
    std::vector<std::string> paths;
    for (const std::string& name : names) {
      test::WriteFile(dir_ + name, "text");
      paths.push_back(dir_ + name);
    }
    w_->AddDiskPaths(paths);
    return *w_;
  }
  QString Caption(int row) { return w_->List()->model()->index(row, 0).data().toString(); }

 private slots:
  void cleanup() {
    w_.reset();
    dialogs_.reset();
  }

  void commandOpensTheDialogAndNamesReachTheList() {
    TfrmMain& w = Make({"a.txt", "b.txt"});
    QVERIFY(w.findChild<QAction*>(QStringLiteral("actRenameOne"))->isEnabled());
    QVERIFY(w.findChild<QAction*>(QStringLiteral("mnuPlayList"))->isEnabled());
    w.SetSwitch(MenuSwitch::mnuExtNotChange, false);
    w.SelectRows({1});
    w.Commands().Run(Command::actRenameOne);
    TfrmInputName& dlg = w.frmInputName();
    QVERIFY(dlg.isVisible());
    QCOMPARE(dlg.CurrentIndex(), 1);
    dlg.findChild<QLineEdit*>(QStringLiteral("edtName"))->setText(QStringLiteral("renamed.md"));
    const int history = w.History().Count();
    dlg.btnNextClick();
    QCOMPARE(Caption(1), QStringLiteral("renamed"));
    QCOMPARE(w.List()->model()->index(1, 1).data().toString(), QStringLiteral(".md"));
    QCOMPARE(w.SelectedRows(), std::vector<int>{0});
    QCOMPARE(dlg.CurrentIndex(), 0);
    QCOMPARE(w.History().Count(), history);  // no history entry
  }

  void ctrlAtStartOpensThePreviewOnTheFirstFile() {
    TfrmMain& w = Make({"a.txt", "b.txt"});
    w.SelectRows({1});
    w.timerPreviewTimer();
    QVERIFY(w.frmInputName().isVisible());
    QCOMPARE(w.frmInputName().CurrentIndex(), 0);
  }

  void emptyListWarns() {
    TfrmMain& w = Make({});
    w.Commands().Run(Command::actRenameOne);
    QCOMPARE(dialogs_->Texts("warning"), QStringList{"リストにファイルを追加してください。"});
    QVERIFY(!w.frmInputName().isVisible());
  }
};

}  // namespace tonbo

TONBO_QTEST_CLASS(tonbo::MainPreviewTest)
#include "MainPreviewTest.moc"
