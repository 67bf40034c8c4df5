#include "app/TfrmVer.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include <string>

#include "QtTestMain.h"
#include "ScriptedDialogs.h"
#include "app/TonboLogo.h"
#include "common/Folders.h"

namespace tonbo {

class TfrmVerTest : public QObject {
  Q_OBJECT

  static QLabel* Version(const QDialog& d) {
    return d.findChild<QLabel*>(QStringLiteral("lblVersion"));
  }
  // A program folder (it holds doc/) with the given history.txt, or none when null.
  static void UseProgramFolder(const char* history) {
    const std::string dir = test::MakeTempDir("prog");
    MakeDirs(dir + "doc/");
    if (history) test::WriteFile(dir + "history.txt", history);
    OverrideExecutableDir(dir);
  }
  // Shows the dialog through the port and presses OK; the version text shown.
  static QString ShowAndClose(TfrmVer& dlg) {
    QString seen;
    test::ScriptedDialogs port;
    port.onModal = [&seen](QDialog& d) {
      seen = Version(d)->text();
      d.findChild<QPushButton*>(QStringLiteral("btnOk"))->click();
    };
    if (Dialogs().RunModal(dlg) != QDialog::Accepted) return QStringLiteral("(not accepted)");
    return seen;
  }

 private slots:
  void programNamesItsDesktopEntryAndHasAnIcon() {
    SetUpProgramIdentity();
    QCOMPARE(QGuiApplication::desktopFileName(), QStringLiteral("org.tonbo.Tonbo"));
    QVERIFY(!QGuiApplication::windowIcon().pixmap(48).isNull());
  }
  void designIsAFixedBoxWithTheLogo() {
    TfrmVer dlg;
    QCOMPARE(dlg.objectName(), QStringLiteral("frmVer"));
    QCOMPARE(dlg.windowTitle(), QStringLiteral("「Tonbo」"));
    QCOMPARE(dlg.minimumSize(), QSize(317, 168));
    QCOMPARE(dlg.maximumSize(), QSize(317, 168));
    QCOMPARE(Version(dlg)->text(), QStringLiteral("Version.2.00"));
    QCOMPARE(dlg.findChild<QPushButton*>(QStringLiteral("btnOk"))->text(), QStringLiteral("&OK"));
    const QImage logo = dlg.findChild<QLabel*>(QStringLiteral("imgLogo"))->pixmap().toImage();
    QVERIFY(!logo.isNull());
    QVERIFY(logo.pixelColor(logo.width() / 8, logo.height() / 2).alpha() > 0);  // the dragonfly
  }

  void versionIsTheThirdLineOfHistory_data() {
    QTest::addColumn<QByteArray>("history");
    QTest::addColumn<QString>("shown");
    const QString design = QStringLiteral("Version.2.00");
    QTest::newRow("LF") << QByteArray("Tonbo\n\nVersion 1.2.3\n\n2026 first\n") << "Version 1.2.3";
    QTest::newRow("CR LF") << QByteArray("Tonbo\r\n\r\nVersion 1.2.3\r\n") << "Version 1.2.3";
    QTest::newRow("no final line end") << QByteArray("a\nb\nVersion 1.2.3") << "Version 1.2.3";
    QTest::newRow("UTF-8 with mark")
        << QByteArray("\xEF\xBB\xBFTonbo\n\n\xE7\x89\x88 1.0\n") << QStringLiteral("版 1.0");
    QTest::newRow("two lines") << QByteArray("Tonbo\nVersion 1.2.3\n") << design;
    QTest::newRow("empty") << QByteArray() << design;
  }

  void versionIsTheThirdLineOfHistory() {
    QFETCH(QByteArray, history);
    QFETCH(QString, shown);
    UseProgramFolder(history.constData());
    TfrmVer dlg;
    QCOMPARE(ShowAndClose(dlg), shown);
  }

  void missingHistoryKeepsTheTextShownBefore() {
    TfrmVer dlg;
    UseProgramFolder(nullptr);
    QCOMPARE(ShowAndClose(dlg), QStringLiteral("Version.2.00"));
    UseProgramFolder("Tonbo\n\nVersion 3\n");
    QCOMPARE(ShowAndClose(dlg), QStringLiteral("Version 3"));
    UseProgramFolder(nullptr);
    QCOMPARE(ShowAndClose(dlg), QStringLiteral("Version 3"));
  }

  void shippedHistoryNamesTheVersion() {
    OverrideExecutableDir(TONBO_SOURCE_DATA_DIR);
    TfrmVer dlg;
    QVERIFY(ShowAndClose(dlg).startsWith(QStringLiteral("Version ")));
  }

  void opensInTheMiddleOfTheScreen() {
    UseProgramFolder(nullptr);
    QWidget owner;
    owner.setGeometry(0, 0, 200, 150);
    owner.show();
    TfrmVer dlg(&owner);
    dlg.show();
    const QPoint middle = dlg.screen()->availableGeometry().center();
    QVERIFY((dlg.frameGeometry().center() - middle).manhattanLength() <= 2);
  }
};

}  // namespace tonbo

TONBO_QTEST_CLASS(tonbo::TfrmVerTest)
#include "TfrmVerTest.moc"
