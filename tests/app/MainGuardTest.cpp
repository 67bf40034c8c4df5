#include <QAction>
#include <QCheckBox>
#include <QPushButton>
#include <QTextBrowser>

#include "QtTestMain.h"
#include "RecordingLauncher.h"
#include "ScriptedDialogs.h"
#include "app/TfrmHelp.h"
#include "app/TfrmMain.h"
#include "common/Folders.h"
#include "common/Sjis.h"

namespace tonbo {

class MainGuardTest : public QObject {
  Q_OBJECT
  std::unique_ptr<TfrmMain> w_;
  std::string ini_;

  TfrmMain& Make() {
    ini_ = test::MakeTempDir("guard") + "tonbo.ini";
    w_ = std::make_unique<TfrmMain>(nullptr, std::make_unique<MimeFileTypeSource>(), ini_);
    w_->SetSoundPlayer([](const std::string&) {});
    return *w_;
  }
  static void Click(QDialog& d, const char* button) { d.findChild<QPushButton*>(button)->click(); }

 private slots:
  void cleanup() { w_.reset(); }

  void manualOpensOnTheDesktopOrInTheProgramsOwnWindow() {
    const std::string dir = test::MakeTempDir("prog");
    MakeDirs(dir + "doc/");
    test::WriteFile(dir + "doc/index.htm",
                    "<html><head><meta charset=\"utf-8\"><title>Tonbo の使い方</title></head>"
                    "<body><p>使い方</p><a href=\"func/reset.htm\">元に戻す</a></body></html>");
    MakeDirs(dir + "doc/func/");
    test::WriteFile(dir + "doc/func/reset.htm",
                    "<html><head><meta charset=\"utf-8\"></head><body>名前を戻す</body></html>");
    OverrideExecutableDir(dir);
    Make();
    test::ScriptedDialogs dialogs;
    test::RecordingLauncher launcher;
    w_->findChild<QAction*>("mnuHelp")->trigger();
    QCOMPARE(launcher.opened.size(), size_t(1));
    QVERIFY(dialogs.shown.empty());
    // No browser: the page shows here, and its links are followed here.
    launcher.answer = false;
    QString title, first, linked;
    dialogs.onModal = [&](QDialog& d) {
      auto* view = d.findChild<QTextBrowser*>("view");
      title = d.windowTitle();
      first = view->toPlainText();
      emit view->anchorClicked(QUrl(QStringLiteral("func/reset.htm")));
      linked = view->toPlainText();
    };
    w_->findChild<QAction*>("mnuHelp")->trigger();
    QCOMPARE(dialogs.shown.size(), size_t(1));
    QCOMPARE(title, QStringLiteral("Tonbo の使い方"));
    QVERIFY(first.startsWith(QStringLiteral("使い方")));
    QCOMPARE(linked, QStringLiteral("名前を戻す"));
  }

  void noExplanationBeforeTheWindowIsShown() {
    Make();
    test::ScriptedDialogs dialogs;
    QVERIFY(w_->ConfirmAction("list_clear"));
    QVERIFY(dialogs.shown.empty());
  }

  void explanationDecidesAndCanBeOmitted() {
    Make();
    w_->SetShown(true);
    test::ScriptedDialogs dialogs;
    dialogs.onModal = [](QDialog& d) { Click(d, "btnOk"); };
    QVERIFY(w_->ConfirmAction("rename_real"));
    QCOMPARE(dialogs.shown.back().text, QStringLiteral("frmHelp"));
    QCOMPARE(dialogs.shown.back().caption, QStringLiteral("機能の説明"));
    dialogs.onModal = [](QDialog& d) { Click(d, "btnCancel"); };
    QVERIFY(!w_->ConfirmAction("rename_real"));
    // Ticking "今後、解説を省略する" and cancelling: cancelled, remembered, switched off.
    dialogs.onModal = [](QDialog& d) {
      d.findChild<QCheckBox*>("chkOmit")->click();
      Click(d, "btnCancel");
    };
    QVERIFY(!w_->ConfirmAction("reset"));
    QVERIFY(!w_->Switch(MenuSwitch::mnuDescript));
    QVERIFY(w_->Ini().ReadBool("help", "reset", false));
    QVERIFY(!w_->Ini().ReadBool("help", "rename_real", true));
    // Switched back on, the omitted key still passes without a page.
    w_->SetSwitch(MenuSwitch::mnuDescript, true);
    const size_t before = dialogs.shown.size();
    QVERIFY(w_->ConfirmAction("reset"));
    QCOMPARE(dialogs.shown.size(), before);
  }

  void guardedCommandDoesNothingWhenCancelled() {
    Make();
    w_->Table().SetCell(colPath, 0, "/d/a.txt");
    w_->Table().SetCell(colNewName, 0, "x");
    w_->SetShown(true);
    test::ScriptedDialogs dialogs;  // the page is closed without "実行(&O)"
    w_->findChild<QAction*>("actNameReset")->trigger();
    QCOMPARE(w_->Table().GetCell(colNewName, 0), std::string("x"));
    QCOMPARE(w_->History().Count(), 1);
  }

  void repairCommandsAskTheirOwnPage() {
    Make();
    w_->Table().SetCell(colPath, 0, "/d/a.txt");
    w_->Table().SetCell(colNewName, 0, enc::Lit("\xE3\x81\x8B\xE3\x82\x99"));  // か + voiced mark
    w_->SetShown(true);
    test::ScriptedDialogs dialogs;  // closed without "実行(&O)"
    w_->findChild<QAction*>("mnuRenameNfc")->trigger();
    QCOMPARE(dialogs.shown.size(), size_t(1));
    QCOMPARE(w_->Table().GetCell(colNewName, 0), enc::Lit("\xE3\x81\x8B\xE3\x82\x99"));
    dialogs.onModal = [](QDialog& d) { Click(d, "btnOk"); };
    w_->findChild<QAction*>("mnuRenameNfc")->trigger();
    QCOMPARE(w_->Table().GetCell(colNewName, 0), enc::Lit("が"));
    QVERIFY(w_->Ini().ReadBool("help", "nfc", true) == false);
  }

  void versionDialogShowsAndHelpOpensTheManual() {
    Make();
    test::ScriptedDialogs dialogs;
    w_->findChild<QAction*>("mnuVersion")->trigger();
    QCOMPARE(dialogs.shown.back().caption, QStringLiteral("「Tonbo」"));
  }
};

}  // namespace tonbo

TONBO_QTEST_CLASS(tonbo::MainGuardTest)
#include "MainGuardTest.moc"
