#include "windows/TfrmFilter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextBrowser>

#include <functional>
#include <string>
#include <vector>

#include "QtTestMain.h"
#include "RecordingLauncher.h"
#include "ScriptedDialogs.h"
#include "common/Folders.h"
#include "common/Sjis.h"
#include "core/ListHost.h"
#include "platform/Launcher.h"

namespace tonbo {
namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

QString Join(const std::vector<int>& rows) {
  QStringList out;
  for (const int r : rows) out << QString::number(r);
  return out.join(QLatin1Char(','));
}

// The main window as the dialog sees it: a table, a selection and a log of
// what was asked of it, with the selection each history entry would hold.
class FakeHost : public ListHost {
 public:
  TCsvDb table;
  std::vector<int> selection;
  QStringList log;
  int events = 0;
  std::function<void()> onEvents;

  TCsvDb& Table() override { return table; }
  std::vector<int> SelectedRows() const override { return selection; }
  void SelectRows(const std::vector<int>& rows) override {
    selection = rows;
    log << "select " + Join(rows);
  }
  void RefreshList() override { log << "refresh"; }
  void RecordUndo(const QString& label) override {
    log << "undo " + label + " [" + Join(selection) + "]";
  }
  void SetStatusText(int panel, const QString& text) override {
    log << QStringLiteral("status %1 ").arg(panel) + text;
  }
  bool ShowExplanation(const QString& key, bool) override {
    log << "explain " + key;
    return true;
  }
  bool ExtNotChange() const override { return false; }
  void ProcessEvents() override {
    ++events;
    if (onEvents) onEvents();
  }
};

}  // namespace

class TfrmFilterTest : public QObject {
  Q_OBJECT

  template <typename T>
  static T* Find(const QWidget& w, const char* name) {
    T* child = w.findChild<T*>(QString::fromLatin1(name));
    if (!child) qFatal("no %s", name);
    return child;
  }
  static void SetNames(FakeHost& host, const QStringList& names) {
    for (int r = 0; r < names.size(); ++r) {
      host.table.SetCell(colNewName, r, enc::ToSjis(names[r]));
      host.table.SetCell(colPath, r, enc::ToSjis("/d/" + names[r]));
    }
  }
  static void Condition(TfrmFilter& dlg, int scope, const QString& key) {
    Find<QComboBox>(dlg, "cmbScope")->setCurrentIndex(scope);
    Find<QLineEdit>(dlg, "edtKey")->setText(key);
  }
  static void Execute(TfrmFilter& dlg) { Find<QPushButton>(dlg, "btnExecute")->click(); }

 private slots:
  void controlsStartAsTheUserFirstSeesThem() {
    FakeHost host;
    TfrmFilter dlg(host);
    QCOMPARE(dlg.windowTitle(), U("条件から選択"));
    QVERIFY(!dlg.isModal());
    auto* scope = Find<QComboBox>(dlg, "cmbScope");
    QCOMPARE(scope->currentIndex(), -1);
    QStringList items;
    for (int i = 0; i < scope->count(); ++i) items << scope->itemText(i);
    QCOMPARE(items, QStringList({U("ファイル名"), U("拡張子"), U("ファイル名＋拡張子"),
                                 U("パス＋元ファイル名"), U("日付"), U("ファイルの内容")}));
    auto* include = Find<QComboBox>(dlg, "cmbInclude");
    QCOMPARE(include->count(), 2);
    QCOMPARE(include->currentText(), U("含む"));
    QCOMPARE(include->itemText(1), U("含まない"));
    QStringList captions;
    for (const QLabel* label : dlg.findChildren<QLabel*>()) captions << label->text();
    QCOMPARE(captions, QStringList({U("において"), U("という文字列を"), U("ファイルを選択する")}));
    QCOMPARE(Find<QCheckBox>(dlg, "chkWildcard")->text(), U("ワイルドカードを使う"));
    QCOMPARE(Find<QCheckBox>(dlg, "chkRegExp")->text(), U("正規表現を使う(Perl5互換)"));
    QCOMPARE(Find<QCheckBox>(dlg, "chkUseCase")->text(), U("大文字小文字を区別する"));
    QCOMPARE(Find<QPushButton>(dlg, "btnExecute")->text(), U("実行(&E)"));
    QCOMPARE(Find<QPushButton>(dlg, "btnHelp")->text(), U("ヘルプ(&H)"));
    const FilterOptions o = dlg.Options();
    QVERIFY(o.scope == FilterScope::None && o.method == FilterMethod::Plain);
    QVERIFY(!o.exclude && !o.useCase && o.key.empty());
  }

  void wildcardAndRegExpExcludeEachOther() {
    FakeHost host;
    TfrmFilter dlg(host);
    auto* wildcard = Find<QCheckBox>(dlg, "chkWildcard");
    auto* regexp = Find<QCheckBox>(dlg, "chkRegExp");
    wildcard->click();
    QVERIFY(dlg.Options().method == FilterMethod::Wildcard);
    regexp->click();
    QVERIFY(!wildcard->isChecked());
    QVERIFY(dlg.Options().method == FilterMethod::RegExp);
    wildcard->click();
    QVERIFY(!regexp->isChecked());
    wildcard->click();
    QVERIFY(dlg.Options().method == FilterMethod::Plain);
  }

  void runReplacesTheSelectionRecordsReportsAndCloses() {
    FakeHost host;
    SetNames(host, {U("旅行.jpg"), U("写真1"), U("夏の写真")});
    host.selection = {0};
    TfrmFilter dlg(host);
    dlg.Open();
    Condition(dlg, 0, U("写真"));
    Execute(dlg);
    QCOMPARE(host.log,
             QStringList({U("undo 条件選択 [0]"), U("select 1,2"), U("undo 条件選択決定後 [1,2]"),
                          U("status 1 2個のファイルを選択しました。")}));
    QVERIFY(!dlg.isVisible());
  }

  void emptyResultRecordsNoSecondEntry() {
    FakeHost host;
    SetNames(host, {U("a"), U("b")});
    host.selection = {1};
    TfrmFilter dlg(host);
    Condition(dlg, 0, U("."));
    Find<QComboBox>(dlg, "cmbInclude")->setCurrentIndex(1);
    Find<QCheckBox>(dlg, "chkRegExp")->click();
    Execute(dlg);
    QCOMPARE(host.log, QStringList({U("undo 条件選択 [1]"), U("select "),
                                    U("status 1 0個のファイルを選択しました。")}));
  }

  void enterInTheKeyRuns() {
    FakeHost host;
    SetNames(host, {U("a"), U("b")});
    TfrmFilter dlg(host);
    dlg.Open();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    Condition(dlg, 0, U("B"));
    QTest::keyClick(Find<QLineEdit>(dlg, "edtKey"), Qt::Key_Return);
    QCOMPARE(host.selection, std::vector<int>{1});
  }

  void malformedMaskShowsTheErrorAndKeepsTheDialog() {
    test::ScriptedDialogs dialogs;
    FakeHost host;
    SetNames(host, {U("a"), U("b")});
    host.selection = {1};
    TfrmFilter dlg(host);
    dlg.Open();
    Condition(dlg, 0, U("[a"));
    Find<QCheckBox>(dlg, "chkWildcard")->click();
    Execute(dlg);
    QCOMPARE(dialogs.Texts("error"),
             QStringList{U("3 番目の文字（'[a'）は正しくないマスク文字です")});
    QCOMPARE(host.log, QStringList{U("undo 条件選択 [1]")});
    QVERIFY(dlg.isVisible());
    QVERIFY(Find<QPushButton>(dlg, "btnExecute")->isEnabled());
  }

  void runawayExpressionKeepsTheRowsBeforeIt() {
    test::ScriptedDialogs dialogs;
    FakeHost host;
    SetNames(host, {U("ab"), QString(40, QLatin1Char('a')) + U("c b"), U("ab"), U("x")});
    host.selection = {1, 3};
    TfrmFilter dlg(host);
    Condition(dlg, 0, U("(a+)+b"));
    Find<QCheckBox>(dlg, "chkRegExp")->click();
    Execute(dlg);
    QCOMPARE(dialogs.Texts("error").size(), 1);
    QCOMPARE(host.log, QStringList({U("undo 条件選択 [1,3]"), U("select 0,1,3")}));
  }

  void contentsLetTheWindowHandleEventsBeforeEachFile() {
    FakeHost host;
    SetNames(host, {U("missing1"), U("missing2"), U("missing3")});
    TfrmFilter dlg(host);
    Condition(dlg, 5, U("x"));
    Find<QComboBox>(dlg, "cmbInclude")->setCurrentIndex(1);
    // A click handled meanwhile starts no second run.
    host.onEvents = [&dlg] { dlg.btnExecuteClick(); };
    Execute(dlg);
    QCOMPARE(host.events, 3);
    QCOMPARE(host.log, QStringList({U("undo 条件選択 []"), U("select 0,1,2"),
                                    U("undo 条件選択決定後 [0,1,2]"),
                                    U("status 1 3個のファイルを選択しました。")}));
  }

  void helpOpensTheNotesFile() {
    const std::string dir = test::MakeTempDir("prog");
    QVERIFY(MakeDirs(dir + "doc/"));
    test::WriteFile(dir + "doc/find.txt", "notes");
    const std::string before = ExecutableDirDisk();
    OverrideExecutableDir(dir);
    test::RecordingLauncher launcher;
    FakeHost host;
    TfrmFilter dlg(host);
    Find<QPushButton>(dlg, "btnHelp")->click();
    OverrideExecutableDir(before);
    QCOMPARE(launcher.opened.size(), size_t{1});
    QCOMPARE(launcher.opened[0], platform::FileUrlFromDisk(dir + "doc/find.txt"));
    QVERIFY(host.log.isEmpty());

    // No program for text files: the notes show in the program's own window.
    launcher.answer = false;
    test::ScriptedDialogs dialogs;
    QString shown;
    dialogs.onModal = [&shown](QDialog& page) {
      shown = page.findChild<QTextBrowser*>(QStringLiteral("view"))->toPlainText();
    };
    OverrideExecutableDir(dir);
    Find<QPushButton>(dlg, "btnHelp")->click();
    OverrideExecutableDir(before);
    QCOMPARE(dialogs.shown.size(), size_t{1});
    QCOMPARE(dialogs.shown[0].kind, QStringLiteral("modal"));
    QCOMPARE(shown, QStringLiteral("notes"));
  }
};

}  // namespace tonbo

TONBO_QTEST_CLASS(tonbo::TfrmFilterTest)
#include "TfrmFilterTest.moc"
