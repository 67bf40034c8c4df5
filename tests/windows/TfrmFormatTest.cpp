#include "windows/TfrmFormat.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabWidget>
#include <QTextDocumentFragment>

#include <limits>
#include <string>

#include "QtTestMain.h"
#include "ScriptedDialogs.h"
#include "common/Sjis.h"

namespace tonbo {

class TfrmFormatTest : public QObject {
  Q_OBJECT

  template <typename T>
  static T* Find(const QWidget& w, const char* name) {
    T* child = w.findChild<T*>(QString::fromLatin1(name));
    if (!child) qFatal("no %s", name);
    return child;
  }
  static QStringList Lines(const TfrmFormat& dlg, const char* memo) {
    return Find<QPlainTextEdit>(dlg, memo)->toPlainText().split(QLatin1Char('\n'));
  }
  static QStringList Texts(const QWidget& box) {
    QStringList out;
    for (const QWidget* w : box.findChildren<QWidget*>()) {
      if (auto* label = qobject_cast<const QLabel*>(w)) out << label->text();
      if (auto* button = qobject_cast<const QAbstractButton*>(w)) out << button->text();
    }
    return out;
  }
  // Every setting in one line, so a failed comparison names the field.
  static QString Describe(const RenameRules& r) {
    auto n = [](int v) { return QString::number(v); };
    auto t = [](const std::string& v) {
      return QLatin1Char('[') + enc::FromSjis(v) + QLatin1Char(']');
    };
    return QStringList{"random",          n(r.randomFrom), n(r.randomTo),      n(r.randomLower),
                       n(r.randomUpper),  n(r.randomNum),  n(r.randomSymbol),  n(r.randomHira),
                       n(r.randomKana),   "serial",        n(r.renbanLength),  t(r.renbanHeader),
                       t(r.renbanFooter), n(r.renbanDate), n(r.renbanOldName), n(r.renbanPattern),
                       n(r.renbanStart),  "date",          n(r.dateFormat),    n(r.dateKeta),
                       t(r.dateSplitter), t(r.dateHeader), t(r.dateFooter),    n(r.dateStart),
                       n(r.dateSource)}
        .join(QLatin1Char(' '));
  }
  // A value in every field that differs from the default.
  static RenameRules Unusual() {
    RenameRules r;
    r.randomFrom = 2, r.randomTo = 30;
    r.randomLower = false, r.randomNum = false, r.randomKana = false;
    r.renbanLength = 0, r.renbanStart = std::numeric_limits<int>::min();
    r.renbanHeader = enc::Lit("写真100%"), r.renbanFooter = "-";
    r.renbanDate = 4, r.renbanOldName = 1, r.renbanPattern = 2;
    r.dateFormat = 8, r.dateKeta = 30, r.dateStart = -7, r.dateSource = 1;
    r.dateSplitter = "", r.dateHeader = enc::Lit("旅行"), r.dateFooter = "_x";
    return r;
  }
  // Unusual() as the settings file holds it: every key, in the order written.
  static std::string UnusualIni() {
    return enc::Lit(
        "[setting]\r\nspnRandomFrom=2\r\nspnRandomTo=30\r\nchkRandomLower=0\r\n"
        "chkRandomUpper=1\r\nchkRandomNum=0\r\nchkRandomSymbol=1\r\nchkRandomHira=1\r\n"
        "chkRandomKana=0\r\nspnRenbanLength.Value=0\r\nedtRenbanHeader.Text=写真100%\r\n"
        "edtRenbanFooter.Text=-\r\ncmbRenbanDate.ItemIndex=4\r\ncmbRenbanOldName.ItemIndex=1\r\n"
        "grpRenbanPattern.ItemIndex=2\r\ncmbDateFormat.ItemIndex=8\r\nspnDateKeta.Value=30\r\n"
        "edtDateSplitter.Text=\r\nedtDateHeader.Text=旅行\r\nedtDateFooter.Text=_x\r\n"
        "spnRenbanStart=-2147483648\r\nspnDateStart=-7\r\ncmbDateSource.ItemIndex=1\r\n");
  }
  static std::string IniFile(const std::string& text) {
    const std::string path = test::MakeTempDir("ini") + "tonbo.ini";
    if (!text.empty()) test::WriteFile(path, text);
    return path;
  }
  // The sample must be built from a clock reading between before and after.
  static bool BuiltAtOneOf(const QStringList& shown, const QStringList& before,
                           const QStringList& after) {
    return shown == before || shown == after;
  }

  // Rows named after the group's objectName.
  static void GroupRow(const char* group, const char* title, const QStringList& texts,
                       const char* controls) {
    QTest::newRow(group) << QString::fromUtf8(title) << texts
                         << QString::fromLatin1(controls).split(QLatin1Char(' '));
  }

 private slots:
  void opensOnTheSerialPageWithTheDesignValues() {
    TfrmFormat dlg(nullptr);
    QCOMPARE(dlg.objectName(), QStringLiteral("frmFormat"));
    QCOMPARE(dlg.windowTitle(), QStringLiteral("名前変換規則の設定"));
    auto* pages = dlg.findChild<QTabWidget*>();
    QCOMPARE(pages->count(), 3);
    QCOMPARE(pages->tabText(0), QStringLiteral("ランダムに名前変更"));
    QCOMPARE(pages->tabText(1), QStringLiteral("連番をふる"));
    QCOMPARE(pages->tabText(2), QStringLiteral("日付をふる"));
    QCOMPARE(pages->currentIndex(), 1);
    RenameRules design;
    design.renbanHeader = "K";
    QCOMPARE(Describe(dlg.Rules()), Describe(design));
  }

  void groupsHoldTheirCaptionsTextsAndControls_data() {
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("texts");  // labels and buttons, in order
    QTest::addColumn<QStringList>("controls");
    GroupRow("grpRandomLength", "ファイル名の文字数", {"～", "文字"}, "spnRandomFrom spnRandomTo");
    GroupRow(
        "grpRandomChars", "ファイル名に利用する文字構成",
        {"アルファベット小文字", "アルファベット大文字", "数字", "記号", "ひらがな", "カタカナ"},
        "chkRandomLower chkRandomUpper chkRandomNum chkRandomSymbol chkRandomHira chkRandomKana");
    GroupRow("grpRenban", "連番", {"桁", "番から"}, "spnRenbanLength spnRenbanStart");
    GroupRow("grpRenbanHeader", "ヘッダ／フッタ", {"ヘッダ", "フッタ"},
             "edtRenbanHeader edtRenbanFooter");
    GroupRow("grpRenbanPattern", "連番の方式",
             {"１０進数（一般的）", "１６進数（機械的）", "数字の代わりにアルファベットを並べる"},
             "grpRenbanPattern0 grpRenbanPattern1 grpRenbanPattern2");
    GroupRow("grpRenbanDate", "ファイル更新日", {}, "cmbRenbanDate");
    GroupRow("grpRenbanOldName", "元の名前", {}, "cmbRenbanOldName");
    GroupRow("grpRenbanSample", "サンプル", {"テスト"}, "memRenbanSample btnRenbanTest");
    GroupRow("grpDateFormat", "日付の形式", {}, "cmbDateFormat");
    GroupRow("grpDateSerial", "名前に付加する連番",
             {"連番", "桁", "番から", "日付と連番の", "区切り記号"},
             "spnDateKeta spnDateStart edtDateSplitter");
    GroupRow("grpDateHeader", "ヘッダ／フッタ", {}, "edtDateHeader edtDateFooter");
    GroupRow("grpDateSample", "サンプル", {"テスト"}, "memDate btnDateTest");
  }

  void groupsHoldTheirCaptionsTextsAndControls() {
    QFETCH(QString, title);
    QFETCH(QStringList, texts);
    QFETCH(QStringList, controls);
    TfrmFormat dlg(nullptr);
    auto* box = dlg.findChild<QGroupBox*>(QString::fromLatin1(QTest::currentDataTag()));
    QVERIFY(box);
    QCOMPARE(box->title(), title);
    QCOMPARE(Texts(*box), texts);
    for (const QString& name : controls) QVERIFY2(box->findChild<QWidget*>(name), qPrintable(name));
  }

  void spinBoxesHaveTheirRangesAndDefaults_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("minimum");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<int>("value");
    const int lowest = std::numeric_limits<int>::min(), highest = std::numeric_limits<int>::max();
    QTest::newRow("random from") << "spnRandomFrom" << 1 << 30 << 4;
    QTest::newRow("random to") << "spnRandomTo" << 1 << 30 << 8;
    QTest::newRow("serial digits") << "spnRenbanLength" << 0 << 30 << 3;
    QTest::newRow("serial start") << "spnRenbanStart" << lowest << highest << 1;
    QTest::newRow("date digits") << "spnDateKeta" << 0 << 30 << 3;
    QTest::newRow("date start") << "spnDateStart" << lowest << highest << 1;
  }

  void spinBoxesHaveTheirRangesAndDefaults() {
    QFETCH(QString, name);
    QFETCH(int, minimum);
    QFETCH(int, maximum);
    QFETCH(int, value);
    TfrmFormat dlg(nullptr);
    auto* spin = dlg.findChild<QSpinBox*>(name);
    QVERIFY(spin);
    QCOMPARE(spin->minimum(), minimum);
    QCOMPARE(spin->maximum(), maximum);
    QCOMPARE(spin->value(), value);
  }

  void dropDownsOfferOnlyTheirChoices_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("choices");
    QTest::newRow("file date") << "cmbRenbanDate"
                               << QStringList{"挿入しない", "yymmdd 方式", "yy_mm_dd 方式",
                                              "yyyymmdd 方式", "yyyy_mm_dd 方式"};
    QTest::newRow("old name") << "cmbRenbanOldName" << QStringList{"挿入しない", "挿入する"};
    QTest::newRow("date format")
        << "cmbDateFormat"
        << QStringList{
               "yy-mm-dd", "yyyy-mm-dd", "yy_mm_dd", "yyyy_mm_dd",           "yymmdd",
               "yyyymmdd", "yy_mm",      "mm_dd",    "yy年mm月dd日hh時nn分", "yy_mm_dd-hh_nn_ss",
               "hh_nn_ss"};
  }

  void dropDownsOfferOnlyTheirChoices() {
    QFETCH(QString, name);
    QFETCH(QStringList, choices);
    TfrmFormat dlg(nullptr);
    auto* combo = dlg.findChild<QComboBox*>(name);
    QVERIFY(combo);
    QVERIFY(!combo->isEditable());
    QStringList shown;
    for (int i = 0; i < combo->count(); ++i) shown << combo->itemText(i);
    QCOMPARE(shown, choices);
    QCOMPARE(combo->currentIndex(), 0);
  }

  void sampleBoxesAreReadOnlyAndFixedPitch() {
    TfrmFormat dlg(nullptr);
    for (const char* name : {"memRenbanSample", "memDate"}) {
      auto* memo = Find<QPlainTextEdit>(dlg, name);
      QVERIFY2(memo->isReadOnly(), name);
      QCOMPARE(memo->font().family(), QFontDatabase::systemFont(QFontDatabase::FixedFont).family());
    }
  }

  void setRulesShowsEveryValueInRangeAndRulesReadsThemBack() {
    TfrmFormat dlg(nullptr);
    dlg.SetRules(Unusual());
    QCOMPARE(Find<QLineEdit>(dlg, "edtRenbanHeader")->text(), QStringLiteral("写真100%"));
    QCOMPARE(Find<QLineEdit>(dlg, "edtDateHeader")->text(), QStringLiteral("旅行"));
    QCOMPARE(Find<QLineEdit>(dlg, "edtDateSplitter")->text(), QString());
    QCOMPARE(Find<QComboBox>(dlg, "cmbDateFormat")->currentText(),
             QStringLiteral("yy年mm月dd日hh時nn分"));
    QCOMPARE(Find<QComboBox>(dlg, "cmbRenbanDate")->currentIndex(), 4);
    QVERIFY(Find<QRadioButton>(dlg, "grpRenbanPattern2")->isChecked());
    QVERIFY(!Find<QCheckBox>(dlg, "chkRandomLower")->isChecked());
    QVERIFY(Find<QCheckBox>(dlg, "chkRandomUpper")->isChecked());
    QCOMPARE(Describe(dlg.Rules()), Describe(Unusual()));
    RenameRules wild, nearest;
    wild.randomFrom = 0, wild.randomTo = 31, wild.renbanLength = -1, wild.dateKeta = 99;
    wild.renbanDate = 5, wild.renbanOldName = -2, wild.renbanPattern = 3, wild.dateFormat = 11;
    nearest.randomFrom = 1, nearest.randomTo = 30, nearest.renbanLength = 0, nearest.dateKeta = 30;
    nearest.renbanDate = 4, nearest.renbanOldName = 0, nearest.renbanPattern = 2;
    nearest.dateFormat = 10;
    dlg.SetRules(wild);
    QCOMPARE(Describe(dlg.Rules()), Describe(nearest));
  }

  void whatTheUserChangesIsWhatTheCommandsRead() {
    TfrmFormat dlg(nullptr);
    dlg.SetRules(RenameRules());
    Find<QLineEdit>(dlg, "edtDateFooter")->insert(QStringLiteral("了"));  // as an input method does
    QTest::keyClicks(Find<QLineEdit>(dlg, "edtRenbanFooter"), QStringLiteral("-"));
    Find<QRadioButton>(dlg, "grpRenbanPattern1")->click();
    Find<QComboBox>(dlg, "cmbRenbanOldName")->setCurrentIndex(1);
    Find<QSpinBox>(dlg, "spnRandomTo")->setValue(12);
    Find<QCheckBox>(dlg, "chkRandomHira")->click();
    RenameRules expected;
    expected.dateFooter = enc::Lit("了");
    expected.renbanFooter = "-";
    expected.renbanPattern = 1;
    expected.renbanOldName = 1;
    expected.randomTo = 12;
    expected.randomHira = false;
    QCOMPARE(Describe(dlg.Rules()), Describe(expected));
  }

  void serialTestUsesEverySerialSettingAndNow() {
    TfrmFormat dlg(nullptr);
    RenameRules rules;
    rules.renbanHeader = enc::Lit("写真100%"), rules.renbanFooter = "-";
    rules.renbanDate = 2, rules.renbanOldName = 1, rules.renbanPattern = 1, rules.renbanStart = 250;
    dlg.SetRules(rules);
    auto expect = [&rules](const LocalDateTime& now) {
      QStringList lines;
      for (int n = 250; n <= 350; ++n)
        lines << enc::FromSjis(FormatSerialName(rules, n, "FileName", now));
      return lines;
    };
    const QStringList before = expect(CurrentLocalDateTime());
    dlg.btnRenbanTestClick();
    const QStringList after = expect(CurrentLocalDateTime());
    const QStringList shown = Lines(dlg, "memRenbanSample");
    QVERIFY2(BuiltAtOneOf(shown, before, after), qPrintable(shown.first()));
    QVERIFY(shown.first().startsWith(QStringLiteral("写真100%")));
    QVERIFY(shown.first().endsWith(QStringLiteral("_0FA-FileName")));
    QVERIFY(shown.last().endsWith(QStringLiteral("_15E-FileName")));
  }

  void serialTestListsOneHundredAndOneNumbers_data() {
    QTest::addColumn<int>("start");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("last");
    QTest::newRow("defaults") << 1 << "001"
                              << "101";
    QTest::newRow("negative") << -50 << "-050"
                              << "050";
    QTest::newRow("largest") << std::numeric_limits<int>::max() << "2147483647"
                             << "2147483747";
    QTest::newRow("smallest") << std::numeric_limits<int>::min() << "-2147483648"
                              << "-2147483548";
  }

  void serialTestListsOneHundredAndOneNumbers() {
    QFETCH(int, start);
    QFETCH(QString, first);
    QFETCH(QString, last);
    TfrmFormat dlg(nullptr);
    RenameRules rules;
    rules.renbanStart = start;
    dlg.SetRules(rules);
    auto* test = Find<QPushButton>(dlg, "btnRenbanTest");
    test->click();
    test->click();  // the box is emptied first
    const QStringList lines = Lines(dlg, "memRenbanSample");
    QCOMPARE(lines.size(), 101);
    QCOMPARE(lines.first(), first);
    QCOMPARE(lines.last(), last);
  }

  void dateTestListsThirtyNamesFromOneWhateverTheStart() {
    TfrmFormat dlg(nullptr);
    RenameRules rules;
    rules.dateFormat = 9, rules.dateStart = 500;
    rules.dateHeader = "[", rules.dateFooter = enc::Lit("］");
    dlg.SetRules(rules);
    auto expect = [&rules](const LocalDateTime& now) {
      QStringList lines;
      for (int serial = 1; serial <= 30; ++serial)
        lines << enc::FromSjis(FormatDateName(rules, serial, now));
      return lines;
    };
    Find<QPlainTextEdit>(dlg, "memDate")->setPlainText(QStringLiteral("old\nlines"));
    const QStringList before = expect(CurrentLocalDateTime());
    Find<QPushButton>(dlg, "btnDateTest")->click();
    const QStringList after = expect(CurrentLocalDateTime());
    const QStringList shown = Lines(dlg, "memDate");
    QVERIFY2(BuiltAtOneOf(shown, before, after), qPrintable(shown.first()));
    QVERIFY(shown.first().endsWith(QStringLiteral("__001］")));
    QVERIFY(shown.last().endsWith(QStringLiteral("__030］")));
  }

  void bottomRowHasTheHelpLinkAndClose() {
    TfrmFormat dlg(nullptr);
    auto* help = Find<QLabel>(dlg, "lblHelp2");
    QCOMPARE(QTextDocumentFragment::fromHtml(help->text()).toPlainText(),
             QStringLiteral("ファイル名に使える文字について"));
    QCOMPARE(Find<QPushButton>(dlg, "btnClose")->text(), QStringLiteral("閉じる(&C)"));
    QSignalSpy asked(&dlg, &TfrmFormat::helpRequested);
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    QTest::mouseClick(help, Qt::LeftButton, {}, QPoint(8, help->height() / 2));
    QCOMPARE(asked.count(), 1);
  }

  void closeKeepsTheValuesAndThePageLastShown() {
    TfrmFormat dlg(nullptr);
    dlg.SetRules(RenameRules());
    test::ScriptedDialogs port;
    port.onModal = [](QDialog& d) {
      Find<QSpinBox>(d, "spnDateKeta")->setValue(5);
      d.findChild<QTabWidget*>()->setCurrentIndex(2);
      Find<QPushButton>(d, "btnClose")->click();
    };
    QCOMPARE(Dialogs().RunModal(dlg), int(QDialog::Accepted));
    QVERIFY(!dlg.isVisible());
    QCOMPARE(dlg.Rules().dateKeta, 5);
    int page = -1;
    port.onModal = [&page](QDialog& d) { page = d.findChild<QTabWidget*>()->currentIndex(); };
    Dialogs().RunModal(dlg);
    QCOMPARE(page, 2);
  }

  void loadSettingsReadsEveryKey() {
    TfrmFormat dlg(nullptr);
    dlg.LoadSettings(TIniFileEx(IniFile(UnusualIni())));
    QCOMPARE(Describe(dlg.Rules()), Describe(Unusual()));
  }

  void loadSettingsFallsBackOrClamps_data() {
    QTest::addColumn<QString>("ini");
    QTest::addColumn<QString>("expected");
    RenameRules clamped;
    clamped.randomFrom = 1, clamped.randomTo = 30, clamped.renbanLength = 0;
    clamped.renbanDate = 4, clamped.renbanOldName = 1, clamped.renbanPattern = 0;
    clamped.dateFormat = 10, clamped.dateKeta = 30, clamped.dateSource = 1;
    QTest::newRow("no file") << QString() << Describe(RenameRules());
    QTest::newRow("other section") << "[frmMain]\nspnRandomFrom=9\n" << Describe(RenameRules());
    QTest::newRow("garbage")
        << "[setting]\nspnRandomFrom=four\nspnRandomTo=\nchkRandomLower=yes\n"
           "spnRenbanLength.Value=3.5\ncmbRenbanDate.ItemIndex=x\ngrpRenbanPattern.ItemIndex=x1\n"
           "cmbDateFormat.ItemIndex= \nspnRenbanStart=99999999999\nspnDateStart=1e3\n"
        << Describe(RenameRules());
    QTest::newRow("out of range")
        << "[setting]\nspnRandomFrom=0\nspnRandomTo=31\nspnRenbanLength.Value=-4\n"
           "cmbRenbanDate.ItemIndex=9\ncmbRenbanOldName.ItemIndex=2\n"
           "grpRenbanPattern.ItemIndex=-1\ncmbDateFormat.ItemIndex=11\nspnDateKeta.Value=99\n"
           "cmbDateSource.ItemIndex=2\n"
        << Describe(clamped);
  }

  void loadSettingsFallsBackOrClamps() {
    QFETCH(QString, ini);
    QFETCH(QString, expected);
    TfrmFormat dlg(nullptr);  // shows "K" in the header until the settings are read
    dlg.LoadSettings(TIniFileEx(IniFile(ini.toStdString())));
    QCOMPARE(Describe(dlg.Rules()), expected);
    QCOMPARE(Find<QLineEdit>(dlg, "edtRenbanHeader")->text(), QString());
  }

  void saveSettingsWritesEveryKeyInOrder() {
    TfrmFormat dlg(nullptr);
    dlg.SetRules(Unusual());
    TIniFileEx ini("");
    dlg.SaveSettings(ini);
    QCOMPARE(ini.Text(), UnusualIni());
  }
};

}  // namespace tonbo

TONBO_QTEST_CLASS(tonbo::TfrmFormatTest)
#include "TfrmFormatTest.moc"
