#include "app/TfrmHelp.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTextBrowser>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "QtTestMain.h"
#include "RecordingLauncher.h"
#include "ScriptedDialogs.h"
#include "app/TfrmMain.h"
#include "common/Folders.h"
#include "core/ExplanationPages.h"
#include "platform/Launcher.h"

namespace tonbo {
namespace {

// data/ of the source tree (the program folder's contents).
std::string SourceDataDir() { return std::string(TONBO_SOURCE_DATA_DIR) + "/"; }

void WritePage(const std::string& path, const char* body) {
  test::WriteFile(path, std::string("<html><head><meta charset=\"utf-8\"></head><body>") + body +
                            "</body></html>");
}

bool HasKana(const QString& text) {
  for (QChar c : text)
    if (c.unicode() >= 0x3041 && c.unicode() <= 0x30FF) return true;
  return false;
}

}  // namespace

class TfrmHelpTest : public QObject {
  Q_OBJECT

  template <typename T>
  static T* Child(const QWidget& w, const char* name) {
    return w.findChild<T*>(QString::fromLatin1(name));
  }
  static QString PageText(const TfrmHelp& dlg) {
    return Child<QTextBrowser>(dlg, "web")->toPlainText();
  }

 private slots:
  void designShowsTheTextsOfTheForm() {
    TfrmHelp dlg;
    QCOMPARE(dlg.objectName(), QStringLiteral("frmHelp"));
    QCOMPARE(dlg.windowTitle(), QStringLiteral("機能の説明"));
    QCOMPARE(dlg.size(), QSize(344, 291));
    QCOMPARE(Child<QCheckBox>(dlg, "chkOmit")->text(), QStringLiteral("今後、解説を省略する"));
    QCOMPARE(Child<QPushButton>(dlg, "btnOk")->text(), QStringLiteral("実行(&O)"));
    QCOMPARE(Child<QPushButton>(dlg, "btnCancel")->text(), QStringLiteral("キャンセル(&C)"));
    QLabel* link = Child<QLabel>(dlg, "lblHelp");
    QCOMPARE(link->text(), QStringLiteral("この画面の説明"));
    QVERIFY(link->font().underline());
    QCOMPARE(link->palette().color(QPalette::WindowText), QColor(Qt::blue));
    QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(Child<QTextBrowser>(dlg, "web")->frameShadow(), QFrame::Sunken);
  }

  void buttonsGiveTheResultAndShowingResetsIt() {
    TfrmHelp dlg;
    QSignalSpy shown(&dlg, &TfrmHelp::shown);
    test::ScriptedDialogs port;
    port.onModal = [](QDialog& d) {
      QCOMPARE(d.focusWidget(), Child<QPushButton>(d, "btnOk"));
      Child<QPushButton>(d, "btnOk")->click();
    };
    QCOMPARE(Dialogs().RunModal(dlg), int(QDialog::Accepted));
    port.onModal = [](QDialog& d) { Child<QPushButton>(d, "btnCancel")->click(); };
    QCOMPARE(Dialogs().RunModal(dlg), int(QDialog::Rejected));
    QCOMPARE(shown.count(), 2);

    dlg.setResult(QDialog::Accepted);
    dlg.show();
    QCOMPARE(dlg.result(), int(QDialog::Rejected));
  }

  void buttonsStayAtTheRightEdgeWhenResized() {
    TfrmHelp dlg;
    dlg.show();
    for (int width : {344, 600}) {
      dlg.resize(width, 291);
      QTRY_COMPARE(dlg.width(), width);
      QPushButton* cancel = Child<QPushButton>(dlg, "btnCancel");
      const int right = cancel->mapTo(&dlg, QPoint(cancel->width(), 0)).x();
      QVERIFY2(width - right <= 10, qPrintable(QString::number(width - right)));
      QVERIFY(Child<QPushButton>(dlg, "btnOk")->geometry().right() < cancel->geometry().left());
    }
  }

  // Ticking the box and cancelling: the command is cancelled and the
  // owner learns that explanations are to be omitted.
  void omitBoxReportsOnlyTheUsersChanges() {
    TfrmHelp dlg;
    QSignalSpy toggled(&dlg, &TfrmHelp::omitToggled);
    dlg.SetOmitChecked(true);
    dlg.SetOmitChecked(false);
    QCOMPARE(toggled.count(), 0);
    test::ScriptedDialogs port;
    port.onModal = [](QDialog& d) {
      Child<QCheckBox>(d, "chkOmit")->click();
      Child<QPushButton>(d, "btnCancel")->click();
    };
    QCOMPARE(Dialogs().RunModal(dlg), int(QDialog::Rejected));
    QVERIFY(dlg.OmitChecked());
    QCOMPARE(toggled.count(), 1);
    QCOMPARE(toggled.at(0).at(0).toBool(), true);

    dlg.SetOmitVisible(false);
    port.onModal = [](QDialog& d) { QVERIFY(!Child<QCheckBox>(d, "chkOmit")->isVisible()); };
    Dialogs().RunModal(dlg);
  }

  void helpLinkOpensTheDialogsOwnPage() {
    const std::string dir = test::MakeTempDir("prog");
    MakeDirs(dir + "doc/func/");
    OverrideExecutableDir(dir);
    test::RecordingLauncher launcher;
    TfrmHelp dlg;
    dlg.show();
    QTest::mouseClick(Child<QLabel>(dlg, "lblHelp"), Qt::LeftButton);
    QCOMPARE(launcher.opened.size(), size_t(1));
    QCOMPARE(launcher.opened[0], platform::FileUrlFromDisk(dir + "doc/func/help.htm"));
  }

  void helpLinkWithoutADesktopOpenerShowsThePageHere() {
    const std::string dir = test::MakeTempDir("prog");
    MakeDirs(dir + "doc/func/");
    WritePage(dir + "doc/func/help.htm", "<p>この画面では</p>");
    OverrideExecutableDir(dir);
    test::RecordingLauncher launcher;
    launcher.answer = false;
    test::ScriptedDialogs port;
    QString text;
    port.onModal = [&](QDialog& d) { text = Child<QTextBrowser>(d, "view")->toPlainText(); };
    TfrmHelp dlg;
    dlg.show();
    QTest::mouseClick(Child<QLabel>(dlg, "lblHelp"), Qt::LeftButton);
    QCOMPARE(text, QStringLiteral("この画面では"));
  }

  void missingPageShowsBlankAndTheButtonsStillWork() {
    const std::string dir = test::MakeTempDir("pages");
    WritePage(dir + "a.htm", "<p>ページＡ</p>");
    TfrmHelp dlg;
    dlg.LoadPage(dir + "a.htm");
    QCOMPARE(PageText(dlg), QStringLiteral("ページＡ"));
    dlg.LoadPage(dir + "missing.htm");
    QCOMPARE(PageText(dlg), QString());
    test::ScriptedDialogs port;
    port.onModal = [](QDialog& d) { Child<QPushButton>(d, "btnOk")->click(); };
    QCOMPARE(Dialogs().RunModal(dlg), int(QDialog::Accepted));
    dlg.LoadPage(dir + "a.htm");  // the page shown before the missing one
    QCOMPARE(PageText(dlg), QStringLiteral("ページＡ"));
  }

  void linksOpenLocalPagesOnly() {
    const std::string dir = test::MakeTempDir("pages");
    WritePage(dir + "a.htm", "<a href=\"b.htm\">B</a> <a href=\"http://example.com/\">web</a>");
    WritePage(dir + "b.htm", "<p>ページＢ</p>");
    test::RecordingLauncher launcher;
    TfrmHelp dlg;
    dlg.LoadPage(dir + "a.htm");
    QTextBrowser* web = Child<QTextBrowser>(dlg, "web");
    const QUrl pageA = web->source();
    emit web->anchorClicked(QUrl(QStringLiteral("http://example.com/")));
    emit web->anchorClicked(QUrl(QStringLiteral("missing.htm")));
    QCOMPARE(web->source(), pageA);
    QVERIFY(launcher.opened.empty());
    emit web->anchorClicked(QUrl(QStringLiteral("b.htm")));
    QCOMPARE(PageText(dlg), QStringLiteral("ページＢ"));
  }

  void manualCoversEveryMenuCommandAndItsLinksResolve() {
    const std::string dataDir = SourceDataDir();
    const QString manual = QString::fromStdString(dataDir + "doc/index.htm");
    QFile file(manual);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(file.readAll());
    static const QRegularExpression href(QStringLiteral("href=\"([^\"]+)\""));
    int links = 0;
    for (const QRegularExpressionMatch& m : href.globalMatch(html)) {
      const QString target = m.captured(1);
      ++links;
      if (target.startsWith('#'))
        QVERIFY2(html.contains(QStringLiteral("name=\"%1\"").arg(target.mid(1))),
                 qPrintable(target));
      else
        QVERIFY2(QFileInfo::exists(QFileInfo(manual).dir().filePath(target)), qPrintable(target));
    }
    QVERIFY(links > 30);
    TfrmHelp dlg;
    dlg.LoadPage(manual.toStdString());
    const QString text = PageText(dlg);
    QVERIFY(HasKana(text));
    // Every command of the main menu is named (captions without their hot keys).
    TfrmMain w(nullptr, std::make_unique<MimeFileTypeSource>());
    QStringList missing;
    std::function<void(QMenu*)> visit = [&](QMenu* menu) {
      for (QAction* a : menu->actions()) {
        if (a->menu()) visit(a->menu());
        if (a->isSeparator() || a->text().isEmpty()) continue;
        QString caption = a->text();
        caption.remove(QRegularExpression(QStringLiteral("\\(&[A-Za-z]+\\)|&")));
        if (!text.contains(caption)) missing << caption;
      }
    };
    for (QAction* top : w.menuBar()->actions())
      if (top->menu()) visit(top->menu());
    QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QStringLiteral("、"))));
  }

  void everyExplanationKeyHasAJapanesePage() {
    const std::string dataDir = SourceDataDir();
    std::vector<std::string_view> keys(kGuardKeys.begin(), kGuardKeys.end());
    keys.insert(keys.end(), kHelpKeys.begin(), kHelpKeys.end());
    keys.push_back(kExplanationHelpKey);
    TfrmHelp dlg;
    QTextBrowser* web = Child<QTextBrowser>(dlg, "web");
    for (std::string_view key : keys) {
      const std::string page = ExplanationPage(dataDir, key);
      const QByteArray name(key.data(), qsizetype(key.size()));
      QVERIFY2(QFileInfo::exists(QString::fromStdString(page)), name);
      dlg.LoadPage(page);
      const QString text = web->toPlainText();
      QVERIFY2(HasKana(text), name);                  // read as UTF-8
      QVERIFY2(!text.contains(QChar(0xFFFD)), name);  // no broken bytes
      QVERIFY2(!web->documentTitle().isEmpty(), name);
    }
  }
};

}  // namespace tonbo

TONBO_QTEST_CLASS(tonbo::TfrmHelpTest)
#include "TfrmHelpTest.moc"
