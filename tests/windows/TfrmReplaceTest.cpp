#include "windows/TfrmReplace.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

#include <cstdio>
#include <string>

#include "QtTestMain.h"
#include "RecordingLauncher.h"
#include "RecordingListHost.h"
#include "ScriptedDialogs.h"
#include "common/Folders.h"

namespace tonbo {

class TfrmReplaceTest : public QObject {
  Q_OBJECT

  template <typename T>
  static T* Find(const QWidget& w, const char* name) {
    T* child = w.findChild<T*>(QString::fromLatin1(name));
    if (!child) qFatal("no %s", name);
    return child;
  }
  static void Type(const QWidget& w, const char* edit, const char* text) {
    Find<QLineEdit>(w, edit)->setText(QString::fromUtf8(text));
  }
  static void Scope(const QWidget& w, int index) {
    Find<QRadioButton>(w, QStringLiteral("grpScope%1").arg(index).toLatin1().constData())
        ->setChecked(true);
  }
  static void Run(const QWidget& w) { Find<QPushButton>(w, "btnReExecute")->click(); }

  // A program folder with the given sample file ("" for none).
  static std::string ProgramFolderWith(const std::string& samples) {
    const std::string dir = test::MakeTempDir("program");
    MakeDirs(dir + "doc/");
    MakeDirs(dir + "tools/");
    if (!samples.empty()) test::WriteFile(dir + "tools/re_sample.txt", samples);
    OverrideExecutableDir(dir);
    return dir;
  }

  static void Photos(test::RecordingListHost& host) {
    host.AddFiles({{"IMG_1", ".JPG"}, {"memo", ".txt"}, {"IMG_3", ".jpg"}, {"写真.旅行", ".jpg"}});
  }

 private slots:
  void init() { ProgramFolderWith(""); }

  void showsItsControlsOnTwoPages() {
    test::RecordingListHost host;
    TfrmReplace dlg(host);
    QCOMPARE(dlg.objectName(), QStringLiteral("frmReplace"));
    QCOMPARE(dlg.windowTitle(), QStringLiteral("ファイル名置換"));
    QCOMPARE(Find<QGroupBox>(dlg, "grpScope")->title(), QStringLiteral("置換の範囲"));
    const QStringList scopes{"ファイル名", "ファイル名＋拡張子", "拡張子のみ"};
    for (int i = 0; i < 3; ++i) {
      auto* radio = dlg.findChild<QRadioButton*>(QStringLiteral("grpScope%1").arg(i));
      QVERIFY(radio);
      QCOMPARE(radio->text(), scopes[i]);
      QCOMPARE(radio->isChecked(), i == 0);
    }
    auto* page = Find<QTabWidget>(dlg, "page");
    QCOMPARE(page->count(), 2);
    QCOMPARE(page->tabText(0), QStringLiteral("通常の置換"));
    QCOMPARE(page->tabText(1), QStringLiteral("正規表現置換"));
    for (const char* name : {"edt1", "edt2", "chkUseCase", "chkRepOne"})
      QVERIFY2(page->widget(0)->findChild<QWidget*>(name), name);
    for (const char* name : {"cmbSample", "btnCopy", "edtReKey", "btnEditSample", "Button1"})
      QVERIFY2(page->widget(1)->findChild<QWidget*>(name), name);
    QCOMPARE(Find<QCheckBox>(dlg, "chkUseCase")->text(), QStringLiteral("大文字小文字を区別"));
    QCOMPARE(Find<QCheckBox>(dlg, "chkRepOne")->text(), QStringLiteral("先頭の１個のみ置換"));
    QCOMPARE(Find<QPushButton>(dlg, "btnCopy")->text(), QStringLiteral("↓"));
    QCOMPARE(Find<QPushButton>(dlg, "btnEditSample")->text(), QStringLiteral("サンプルを編集"));
    QCOMPARE(Find<QPushButton>(dlg, "Button1")->text(), QStringLiteral("正規表現説明"));
    QCOMPARE(Find<QPushButton>(dlg, "btnReExecute")->text(), QStringLiteral("置換実行(&R)"));
    QVERIFY(Find<QLabel>(dlg, "lblHelp")->text().contains(QStringLiteral("使い方を表示")));
    QVERIFY(QFontInfo(Find<QLineEdit>(dlg, "edtReKey")->font()).fixedPitch());
  }

  void opensWithoutBlockingOnTheAskedPageAndStaysOpen() {
    test::ScriptedDialogs dialogs;
    test::RecordingListHost host;
    Photos(host);
    host.selected = {0};
    TfrmReplace dlg(host);
    dlg.ShowPage(TfrmReplace::pageRegExp);
    QVERIFY(dlg.isVisible());
    QVERIFY(!dlg.isModal());
    QCOMPARE(Find<QTabWidget>(dlg, "page")->currentIndex(), 1);
    Type(dlg, "edtReKey", "s/IMG_//");
    Run(dlg);
    QVERIFY(dlg.isVisible());
    dlg.ShowPage(TfrmReplace::pagePlain);
    QCOMPARE(Find<QTabWidget>(dlg, "page")->currentIndex(), 0);
  }

  void replacesInTheSelectedNamesAfterRecordingTheSnapshot() {
    test::ScriptedDialogs dialogs;
    test::RecordingListHost host;
    Photos(host);
    host.selected = {0, 1, 2};
    TfrmReplace dlg(host);
    Type(dlg, "edt1", "img");
    Type(dlg, "edt2", "photo");
    Run(dlg);
    QCOMPARE(host.Row(0), std::string("photo_1|.JPG"));
    QCOMPARE(host.Row(1), std::string("memo|.txt"));
    QCOMPARE(host.Row(2), std::string("photo_3|.jpg"));
    QCOMPARE(host.calls, (QStringList{"undo 文字列の置換", "refresh"}));
    QCOMPARE(host.snapshots.at(0).GetCell(colNewName, 0), std::string("IMG_1"));
    // Every selected entry counts, changed or not.
    QCOMPARE(dialogs.Texts("info"), QStringList{"3 個のファイルを置換しました。"});

    Find<QCheckBox>(dlg, "chkUseCase")->setChecked(true);
    Find<QCheckBox>(dlg, "chkRepOne")->setChecked(true);
    Type(dlg, "edt1", "o");
    Type(dlg, "edt2", "O");
    Scope(dlg, 1);
    host.selected = {0, 3};
    Run(dlg);
    QCOMPARE(host.Row(0), std::string("phOto_1|.JPG"));
    QCOMPARE(host.Row(3), std::string("写真.旅行|.jpg"));
  }

  void anExtensionTypedWithoutItsDotGetsOneEvenWithNothingSelected() {
    test::ScriptedDialogs dialogs;
    test::RecordingListHost host;
    Photos(host);
    TfrmReplace dlg(host);
    Scope(dlg, 2);
    Type(dlg, "edt2", "txt");
    Run(dlg);
    QCOMPARE(Find<QLineEdit>(dlg, "edt2")->text(), QStringLiteral(".txt"));
    QCOMPARE(dialogs.shown.size(), size_t{1});
    QCOMPARE(dialogs.shown[0].kind, QStringLiteral("warning"));
    QCOMPARE(dialogs.shown[0].text, QStringLiteral("ファイルが選択されていません。"));
    QCOMPARE(dialogs.shown[0].caption, QStringLiteral("ファイル名の置換"));
    QVERIFY(host.calls.isEmpty());
    QCOMPARE(host.Row(0), std::string("IMG_1|.JPG"));

    host.selected = {1, 3};
    Run(dlg);
    QCOMPARE(host.Row(1), std::string("memo|.txt"));
    QCOMPARE(host.Row(3), std::string("写真.旅行|.txt"));
    QCOMPARE(host.Row(0), std::string("IMG_1|.JPG"));
  }

  void anErrorEndsTheRunWhereItHappened() {
    test::ScriptedDialogs dialogs;
    test::RecordingListHost host;
    host.AddFiles({{"aab", ""}, {(std::string(40, 'a') + "c b").c_str(), ""}, {"ab", ""}});
    host.selected = {0, 1, 2};
    TfrmReplace dlg(host);
    Find<QTabWidget>(dlg, "page")->setCurrentIndex(1);
    Type(dlg, "edtReKey", "s/(a+)+b/x/");
    Run(dlg);
    QCOMPARE(host.calls, QStringList{"undo 文字列の置換"});
    QCOMPARE(dialogs.Texts("info"), QStringList{});
    QCOMPARE(dialogs.Texts("error").size(), 1);
    QVERIFY(dialogs.Texts("error")[0].contains(QStringLiteral("上限")));
    QCOMPARE(host.Row(0), std::string("x|"));
    QCOMPARE(host.Row(2), std::string("ab|"));
    QCOMPARE(host.snapshots.at(0).GetCell(colNewName, 0), std::string("aab"));

    Type(dlg, "edtReKey", "s/(a/x/");
    Run(dlg);
    QCOMPARE(dialogs.Texts("error").size(), 2);
    QVERIFY(dialogs.Texts("error")[1].contains(QStringLiteral("「(」が閉じていません")));
  }

  void enterInTheCommandBoxRunsOnce() {
    test::ScriptedDialogs dialogs;
    test::RecordingListHost host;
    Photos(host);
    host.selected = {0};
    TfrmReplace dlg(host);
    dlg.ShowPage(TfrmReplace::pageRegExp);
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    auto* command = Find<QLineEdit>(dlg, "edtReKey");
    command->setFocus();
    QTest::keyClicks(command, QStringLiteral("s/_/-/"));
    QTest::keyClick(command, Qt::Key_Return);
    QCOMPARE(dialogs.Texts("info"), QStringList{"1 個のファイルを置換しました。"});
    QCOMPARE(host.Row(0), std::string("IMG-1|.JPG"));
    // No button took the key as well.
    QCOMPARE(command->text(), QStringLiteral("s/_/-/"));
    QVERIFY(dlg.isVisible());
    // Enter in the plain boxes runs nothing.
    QTest::keyClick(Find<QLineEdit>(dlg, "edt1"), Qt::Key_Return);
    QCOMPARE(dialogs.Texts("info").size(), 1);
  }

  void samplesAreReadAtEveryShowingAndCopiedAsCommands() {
    test::RecordingListHost host;
    const std::string dir =
        ProgramFolderWith("数字を消す, s/\\d+//g \r\n説明だけ\r\n空白を_に,s/ /_/g\r\n");
    TfrmReplace dlg(host);
    auto* samples = Find<QComboBox>(dlg, "cmbSample");
    auto* command = Find<QLineEdit>(dlg, "edtReKey");
    dlg.show();
    QCOMPARE(samples->count(), 3);
    QCOMPARE(samples->currentIndex(), 0);
    QCOMPARE(samples->itemText(2), QStringLiteral("空白を_に,s/ /_/g"));
    Find<QPushButton>(dlg, "btnCopy")->click();
    QCOMPARE(command->text(), QStringLiteral("s/\\d+//g"));
    samples->setCurrentIndex(1);
    Find<QPushButton>(dlg, "btnCopy")->click();
    QCOMPARE(command->text(), QString());

    dlg.hide();
    test::WriteFile(dir + "tools/re_sample.txt", "一つ,s/a/b/\n");
    dlg.show();
    QCOMPARE(samples->count(), 1);
    dlg.hide();
    std::remove((dir + "tools/re_sample.txt").c_str());
    dlg.show();
    QCOMPARE(samples->count(), 1);  // a missing file leaves the list as it was
  }

  void opensTheSampleFileAndTheNotes() {
    test::RecordingLauncher launcher;
    test::RecordingListHost host;
    const std::string dir = ProgramFolderWith("");
    TfrmReplace dlg(host);
    Find<QPushButton>(dlg, "btnEditSample")->click();
    Find<QPushButton>(dlg, "Button1")->click();
    QCOMPARE(launcher.opened.size(), size_t{2});
    QCOMPARE(launcher.opened[0].toLocalFile(), QString::fromStdString(dir + "tools/re_sample.txt"));
    QCOMPARE(launcher.opened[1].toLocalFile(), QString::fromStdString(dir + "doc/find.txt"));
  }

  void helpLinkExplainsOnlyWhileExplanationsAreOn() {
    test::RecordingListHost host;
    TfrmReplace dlg(host);
    auto* link = Find<QLabel>(dlg, "lblHelp");
    emit link->linkActivated(QStringLiteral("replace"));
    QCOMPARE(host.calls, QStringList{"explain replace 0"});
    bool on = false;
    dlg.SetExplanationsOn([&on] { return on; });
    emit link->linkActivated(QStringLiteral("replace"));
    QCOMPARE(host.calls.size(), 1);
    on = true;
    dlg.lblHelpClick();
    QCOMPARE(host.calls.size(), 2);
  }
};

}  // namespace tonbo

TONBO_QTEST_CLASS(tonbo::TfrmReplaceTest)
#include "TfrmReplaceTest.moc"
