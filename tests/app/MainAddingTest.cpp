#include <QAction>
#include <QDir>
#include <QItemSelectionModel>
#include <QMimeData>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableView>
#include <QTimer>
#include <QUrl>

#include <cstdlib>

#include <sys/stat.h>

#include "FakeFileTypes.h"
#include "QtTestMain.h"
#include "ScriptedDialogs.h"
#include "app/TfrmMain.h"
#include "common/Folders.h"
#include "common/Sjis.h"

namespace tonbo {

class MainAddingTest : public QObject {
  Q_OBJECT
  std::unique_ptr<TfrmMain> w_;
  std::vector<std::string> played_;
  std::string dir_;
  std::uint32_t now_ = 0;

  TfrmMain& Make() {
    w_ = std::make_unique<TfrmMain>(nullptr, std::make_unique<test::NoFileTypes>());
    w_->SetSwitch(MenuSwitch::mnuDescript, false);
    played_.clear();
    now_ = 0;
    w_->SetSoundPlayer([this](const std::string& p) { played_.push_back(p); },
                       [this] { return now_; });
    dir_ = test::MakeTempDir("files");
    return *w_;
  }
  void Touch(const std::string& rel) {
    if (rel.find('/') != std::string::npos)
      mkdir((dir_ + rel.substr(0, rel.rfind('/'))).c_str(), 0755);
    test::WriteFile(dir_ + rel, "x");
  }
  QString Label(int back = 0) {
    const TUndoNode* n = w_->History().At(w_->History().Count() - 1 - back);
    return n ? enc::FromSjis(n->Label()) : QString();
  }
  void Drop(const QList<QUrl>& urls) {
    QMimeData mime;
    mime.setUrls(urls);
    // As a file manager does: the drag enters the list, then drops.
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w_->List()->viewport(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w_->List()->viewport(), &drop);
  }

 private slots:
  void cleanup() { w_.reset(); }

  void droppingAFolderAddsItsFilesOnceAndRecords() {
    Make();
    Touch("a.txt");
    Touch("sub/b.txt");
    Drop({QUrl::fromLocalFile(QString::fromStdString(dir_))});
    QCOMPARE(w_->List()->model()->rowCount(), 2);
    QCOMPARE(w_->StatusText(1), QStringLiteral("今回 2個のファイルをリストに追加しました。"));
    QCOMPARE(Label(), QStringLiteral("ファイルの追加"));
    // The second drop of the same folder still records and reports 0.
    Drop({QUrl::fromLocalFile(QString::fromStdString(dir_ + "a.txt"))});
    QCOMPARE(w_->List()->model()->rowCount(), 2);
    QCOMPARE(w_->StatusText(1), QStringLiteral("今回 0個のファイルをリストに追加しました。"));
    QCOMPARE(w_->History().Count(), 3);
  }

  // Two sub-folders too deep to read: the rest is added, one warning lists both.
  void unreadableFoldersAreNamedInOneWarning() {
    Make();
    std::string deep = dir_ + "{x,y}";
    for (int i = 0; i < 20; ++i) deep += "/" + std::string(250, 'd');
    QCOMPARE(std::system(("bash -c 'mkdir -p " + deep + "'").c_str()), 0);
    Touch("x/b.txt");
    test::ScriptedDialogs dialogs;
    w_->AddDiskPaths({dir_});
    QCOMPARE(w_->StatusText(1), QStringLiteral("今回 1個のファイルをリストに追加しました。"));
    QCOMPARE(dialogs.Texts("warning"), QStringList{"次の2個のフォルダの読み込みに失敗"});
    QVERIFY(
        dialogs.details.value(0).contains(QRegularExpression("^\\S+/x/[d/]+\\r\\n\\S+/y/[d/]+$")));
    QCOMPARE(std::system(("rm -rf " + dir_ + "x " + dir_ + "y").c_str()), 0);
  }

  void dropKeepsNamesThatAreNotUtf8() {
    Make();
    Touch("caf\xE9.txt");
    QUrl url =
        QUrl::fromEncoded(QByteArray("file://") +
                          QByteArray::fromStdString(dir_ + "caf\xE9.txt").toPercentEncoding("/"));
    Drop({url});
    QCOMPARE(w_->Table().RowCount(), 1);
    QCOMPARE(enc::SjisToDisk(w_->Table().GetCell(colPath, 0)), dir_ + "caf\xE9.txt");
  }

  void openDialogAddsChosenFilesWithTwoEntries() {
    Make();
    Touch("one.jpg");
    test::ScriptedDialogs dialogs;
    dialogs.openFiles.push_back({QString::fromStdString(dir_ + "one.jpg")});
    w_->findChild<QAction*>("actOpen")->trigger();
    QCOMPARE(w_->Table().RowCount(), 1);
    QCOMPARE(Label(), QStringLiteral("ファイルを開く"));
    QCOMPARE(Label(1), QStringLiteral("ファイルの追加"));
    QCOMPARE(dialogs.shown[0].kind, QStringLiteral("open"));
    QVERIFY(dialogs.shown[0].text.startsWith(
        QStringLiteral("全て (*);;画像(bmp;ico;jpg;gif;png;jpeg)")));
    QCOMPARE(dialogs.shown[0].caption, QStringLiteral("ファイルを追加"));
    QCOMPARE(dialogs.openRequests[0].directory, QDir::homePath());  // nothing selected
    // Cancelling the dialog changes nothing.
    w_->SelectRows({0});
    w_->findChild<QAction*>("actOpen")->trigger();
    QCOMPARE(w_->History().Count(), 3);
    QCOMPARE(dialogs.openRequests[1].directory, QString::fromStdString(dir_));
  }

  void sameFolderAddNeedsASelection() {
    Make();
    Touch("a.txt");
    Touch("b.txt");
    Touch("sub/c.txt");
    w_->AddDiskPaths({dir_ + "a.txt"});
    test::ScriptedDialogs dialogs;
    w_->findChild<QAction*>("mnuAddSameDir")->trigger();
    QCOMPARE(dialogs.Texts("warning"),
             QStringList({"ファイルが選択されていません。\r\n予め、リストから任意のファイルを選択し"
                          "ておく必要があります。"}));
    QCOMPARE(dialogs.shown[0].caption, QStringLiteral("同フォルダにあるファイルの追加"));
    w_->List()->selectRow(0);
    w_->findChild<QAction*>("mnuAddSameDir")->trigger();
    QCOMPARE(w_->Table().RowCount(), 2);
    QCOMPARE(w_->StatusText(1), QStringLiteral("1個のファイルを追加しました。"));
    QCOMPARE(Label(), QStringLiteral("選択ファイルと同じフォルダにあるファイル追加"));
    w_->List()->selectRow(0);
    w_->findChild<QAction*>("mnuAddSameDirEx")->trigger();
    QCOMPARE(w_->Table().RowCount(), 3);
    w_->List()->selectRow(0);
    w_->findChild<QAction*>("mnuAddSameDirEx")->trigger();
    QCOMPARE(w_->StatusText(1), QStringLiteral("0個のファイルを追加しました。"));
  }

  void dropPlaysTheDropSoundOncePer900ms() {
    Make();
    Touch("a.txt");
    // A program folder with the sounds.
    std::string program = test::MakeTempDir("prog");
    mkdir((program + "doc").c_str(), 0755);
    mkdir((program + "tools").c_str(), 0755);
    test::WriteFile(program + "tools/b.wav", "RIFF");
    OverrideExecutableDir(program);
    now_ = 950;  // the interval starts when the window is made
    Drop({QUrl::fromLocalFile(QString::fromStdString(dir_ + "a.txt"))});
    Drop({QUrl::fromLocalFile(QString::fromStdString(dir_ + "a.txt"))});
    QCOMPARE(played_.size(), size_t(1));
    QCOMPARE(played_[0], program + "tools/b.wav");
    now_ += 900;
    Drop({QUrl::fromLocalFile(QString::fromStdString(dir_ + "a.txt"))});
    QCOMPARE(played_.size(), size_t(2));
  }

  void growthQuestionNamesTheLimit() {
    Make();
    for (int i = 0; i < 301; ++i) Touch("f" + std::to_string(i));
    test::ScriptedDialogs dialogs;
    dialogs.answers.push_back(Answer::No);
    w_->AddDiskPaths({dir_});
    QCOMPARE(dialogs.Texts("yesno"),
             QStringList({"追加したファイルの数が、300 個を超えました。\r\nさらに多くのファイルを"
                          "追加しますか？"}));
    QCOMPARE(w_->Table().RowCount(), 301);
  }

  // Every clock reading is 100 ms later: the progress window comes up at the
  // sixth file, and a press of its button waiting there stops the add.
  void longAddsShowProgressAndStopOnCancel() {
    Make();
    std::int64_t clock = 0;
    w_->SetProgressClock([&clock] { return clock += 100; });
    for (int i = 0; i < 40; ++i) Touch("f" + std::to_string(i));
    bool seen = false;
    QTimer::singleShot(0, w_.get(), [&seen] {
      auto* progress = qobject_cast<TfrmProgress*>(QApplication::activeModalWidget());
      if (!progress) return;
      seen = progress->isVisible() && progress->parent() != nullptr;
      progress->findChild<QPushButton*>(QStringLiteral("btnCancel"))->click();
    });
    Drop({QUrl::fromLocalFile(QString::fromStdString(dir_))});
    QVERIFY(seen);
    const int rows = w_->Table().RowCount();
    QVERIFY2(rows >= 5 && rows <= 7, qPrintable(QString::number(rows)));
    QCOMPARE(w_->List()->model()->rowCount(), rows);
    QCOMPARE(w_->StatusText(1),
             QStringLiteral("中止しました。今回 %1個のファイルをリストに追加しました。").arg(rows));
    QCOMPARE(Label(), QStringLiteral("ファイルの追加"));
    QVERIFY(!w_->findChild<TfrmProgress*>());  // gone with the command
    QVERIFY(!QApplication::activeModalWidget());

    // The same-folder add stops the same way and keeps its own status text.
    w_->List()->selectRow(0);
    QTimer::singleShot(0, w_.get(), [] {
      if (auto* progress = qobject_cast<TfrmProgress*>(QApplication::activeModalWidget()))
        progress->findChild<QPushButton*>(QStringLiteral("btnCancel"))->click();
    });
    w_->findChild<QAction*>("mnuAddSameDir")->trigger();
    const int more = w_->Table().RowCount() - rows;
    QVERIFY2(more < 40 - rows, qPrintable(QString::number(more)));
    QCOMPARE(w_->StatusText(1),
             QStringLiteral("中止しました。%1個のファイルを追加しました。").arg(more));
    QCOMPARE(Label(), QStringLiteral("選択ファイルと同じフォルダにあるファイル追加"));
  }

  void shortAddsNeverShowTheProgressWindow() {
    Make();
    std::int64_t clock = 0;
    w_->SetProgressClock([&clock] { return clock += 10; });
    for (int i = 0; i < 40; ++i) Touch("f" + std::to_string(i));
    bool seen = false;
    QTimer::singleShot(0, w_.get(), [&seen] { seen = true; });
    w_->AddDiskPaths({dir_});
    QVERIFY(!seen);  // the window system was never let in during the add
    QCOMPARE(w_->Table().RowCount(), 40);
    QCOMPARE(w_->StatusText(1), QStringLiteral("今回 40個のファイルをリストに追加しました。"));
  }
};

}  // namespace tonbo

TONBO_QTEST_CLASS(tonbo::MainAddingTest)
#include "MainAddingTest.moc"
