#include "app/TfrmProgress.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include "QtTestMain.h"
#include "common/Sjis.h"

namespace tonbo {

class TfrmProgressTest : public QObject {
  Q_OBJECT
  std::int64_t now_ = 0;

  TfrmProgress::Clock Clock() {
    return [this] { return now_; };
  }
  static QString Text(const TfrmProgress& p, const char* name) {
    return p.findChild<QLabel*>(QString::fromLatin1(name))->text();
  }
  static QPushButton* Cancel(const TfrmProgress& p) {
    return p.findChild<QPushButton*>(QStringLiteral("btnCancel"));
  }

 private slots:
  void init() { now_ = 1000; }

  void staysHiddenForShortWork() {
    TfrmProgress p(nullptr, QStringLiteral("ファイルの追加"), Clock());
    for (int i = 0; i < 100; ++i, now_ += 4) QVERIFY(p.Step(i, 100, "a.txt"));  // 0.4 s
    QVERIFY(!p.isVisible());
    p.Finish();
    QVERIFY(!p.isVisible());
  }

  void showsCountNameAndBarOnceHalfASecondHasPassed() {
    TfrmProgress p(nullptr, QStringLiteral("ファイルの追加"), Clock());
    QVERIFY(p.Step(0, 200, "first"));
    now_ += 499;
    QVERIFY(p.Step(1, 200, "second"));
    QVERIFY(!p.isVisible());
    now_ += 1;
    QVERIFY(p.Step(50, 200, enc::Lit("写真/海.jpg")));
    QVERIFY(p.isVisible());
    QVERIFY(p.isModal());
    QCOMPARE(p.windowTitle(), QStringLiteral("ファイルの追加"));
    QCOMPARE(Text(p, "lblCount"), QStringLiteral("50 / 200 個のファイル"));
    QCOMPARE(Text(p, "lblName"), QStringLiteral("写真/海.jpg"));
    auto* bar = p.findChild<QProgressBar*>(QStringLiteral("barProgress"));
    QCOMPARE(bar->value() * 4, bar->maximum());
    QCOMPARE(Cancel(p)->text(), QStringLiteral("中止(&C)"));
    // Between two updates the window is left as it is.
    now_ += TfrmProgress::kUpdateEveryMs - 1;
    QVERIFY(p.Step(60, 200, "later"));
    QCOMPARE(Text(p, "lblCount"), QStringLiteral("50 / 200 個のファイル"));
    now_ += 1;
    QVERIFY(p.Step(61, -1, "a\nb"));
    QCOMPARE(Text(p, "lblCount"), QStringLiteral("61 個のファイル"));
    QCOMPARE(Text(p, "lblName"), QStringLiteral("a\u240Ab"));  // one line
    QCOMPARE(bar->maximum(), 0);
    p.Finish();
    QVERIFY(!p.isVisible());
  }

  void theButtonStopsTheWorkAtItsNextStep() {
    TfrmProgress p(nullptr, QStringLiteral("x"), Clock());
    QVERIFY(p.Step(0, -1, "a"));
    now_ += 600;
    // The click arrives while the work lets the window system in.
    QTimer::singleShot(0, &p, [&p] { Cancel(p)->click(); });
    QVERIFY(!p.Step(1, -1, "b"));
    QVERIFY(p.Cancelled());
    QVERIFY(!Cancel(p)->isEnabled());
    QVERIFY(!p.Step(2, -1, "c"));  // stays stopped until the work ends
    QVERIFY(p.isVisible());
    p.Finish();
    QVERIFY(p.Cancelled());
    // The next piece of work starts afresh: not stopped, hidden at first.
    QVERIFY(p.Step(0, -1, "d"));
    QVERIFY(!p.Cancelled());
    QVERIFY(Cancel(p)->isEnabled());
    QVERIFY(!p.isVisible());
  }

  void escapeAndTheCloseBoxStopAsTheButtonDoes() {
    TfrmProgress p(nullptr, QStringLiteral("x"), Clock());
    QVERIFY(p.Step(0, -1, "a"));
    now_ += 600;
    QVERIFY(p.Step(1, -1, "b"));
    QTest::keyClick(&p, Qt::Key_Escape);
    QVERIFY(p.Cancelled());
    QVERIFY(p.isVisible());  // hidden by the work's end, not by the key
    QVERIFY(!p.close());
    p.Finish();
    p.SetStoppable(false);  // an undo: nothing stops it
    QVERIFY(p.Step(0, -1, "a"));
    QTest::keyClick(&p, Qt::Key_Escape);
    QVERIFY(p.Step(1, -1, "b") && !p.Cancelled());
  }
};

}  // namespace tonbo

TONBO_QTEST_CLASS(tonbo::TfrmProgressTest)
#include "TfrmProgressTest.moc"
