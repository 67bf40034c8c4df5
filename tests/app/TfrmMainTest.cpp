#include "app/TfrmMain.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTableWidget>
#include <QTimer>
#include <QToolBar>

#include <exiv2/exiv2.hpp>

#include <atomic>
#include <map>
#include <thread>

#include "QtTestMain.h"
#include "ScriptedDialogs.h"
#include "app/FileListModel.h"
#include "app/FileListView.h"
#include "app/PathText.h"
#include "common/Sjis.h"

namespace tonbo {
namespace {

// Counts fetches per path; paths containing "broken" fail as a shell call can.
class CountingTypes : public FileTypeSource {
 public:
  explicit CountingTypes(std::map<std::string, int>* calls) : calls_(calls) {}
  FileTypeInfo Fetch(const std::string& diskPath) override {
    ++(*calls_)[diskPath];
    if (diskPath.find("broken") != std::string::npos) throw std::runtime_error("no icon");
    FileTypeInfo info;
    info.icon = FallbackFileIcon();
    if (diskPath.find(".txt") != std::string::npos) info.typeName = QStringLiteral("テキスト文書");
    return info;
  }

 private:
  std::map<std::string, int>* calls_;
};

void AddRow(TCsvDb& table, const QString& path, const std::string& size = "0") {
  const int row = table.RowCount();
  const QString name = path.section('/', -1);
  const int dot = name.lastIndexOf('.');
  table.SetCell(colNewName, row, enc::ToSjis(dot < 0 ? name : name.left(dot)));
  table.SetCell(colExt, row, enc::ToSjis(dot < 0 ? QString() : name.mid(dot)));
  table.SetCell(colModified, row, "2024/01/02 03:04:06");
  table.SetCell(colSize, row, size);
  table.SetCell(colPath, row, enc::ToSjis(path));
}

// How wide a text comes out when drawn: the columns that got ink.
int InkWidth(const QFont& font, const QString& text) {
  QImage image(400, 60, QImage::Format_RGB32);
  image.fill(Qt::white);
  {
    QPainter p(&image);
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(4, 40, text);
  }
  int left = image.width(), right = -1;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (image.pixel(x, y) != qRgb(255, 255, 255)) {
        left = std::min(left, x);
        right = std::max(right, x);
      }
  return right < 0 ? 0 : right - left + 1;
}

QString Cell(const TfrmMain& w, int row, int column) {
  return w.List()->model()->index(row, column).data().toString();
}

}  // namespace

class TfrmMainTest : public QObject {
  Q_OBJECT

  std::map<std::string, int> calls_;
  std::unique_ptr<TfrmMain> w_;

  TfrmMain& Make() {
    calls_.clear();
    w_ = std::make_unique<TfrmMain>(nullptr, std::make_unique<CountingTypes>(&calls_));
    return *w_;
  }
  QAction* Action(const char* name) { return w_->findChild<QAction*>(QString::fromUtf8(name)); }

 private slots:
  void cleanup() { w_.reset(); }

  void windowShowsCaptionMenusAndEmptyStatus() {
    TfrmMain& w = Make();
    QCOMPARE(w.windowTitle(), QStringLiteral("Tonbo"));
    QStringList titles;
    for (QAction* a : w.menuBar()->actions()) titles << a->text();
    QCOMPARE(titles, QStringList({"リスト(&F)", "編集(&E)", "名前変更(&N)", "組合せ(&K)",
                                  "整形(&T)", "機能(&F)", "設定(&S)", "ヘルプ(&H)"}));
    QCOMPARE(w.StatusText(0), QStringLiteral("ファイルなし"));
    w.RefreshList();
    QCOMPARE(w.StatusText(0), QStringLiteral("総数 = 0"));
  }

  void menuItems_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("shortcut");
    QTest::addColumn<bool>("enabled");
    auto row = [](const char* n, const char* c, const char* s, bool e) {
      QTest::newRow(n) << QString(n) << QString::fromUtf8(c) << QString(s) << e;
    };
    row("mnuNew", "初期化", "", true);
    row("mnuAddSameDirEx", "選択ファイルと同じフォルダにあるファイルとフォルダを追加", "Shift+F4",
        true);
    row("mnuClose", "閉じる", "Alt+F4", true);
    row("mnuUndo", "元に戻す(&Undo)", "Ctrl+Z", false);
    row("mnuRedo", "やり直す(&Redo)", "Ctrl+Y", false);
    row("mnuDescript", "何か実行する前に説明を表示する", "", true);
    row("mnuSelectWildcard", "条件で選択", "Ctrl+F", true);
    row("U1", "名前をオリジナルの状態に戻す(&U)", "", true);
    row("actRenameReal", "実際に名前変更を反映させる", "F5", true);
    row("mnuDeleteFile", "選択されたファイルを削除", "Del", true);
    row("mnuReplace", "ファイル名の一括置換", "Ctrl+H", true);
    row("mnuFNameAddHead", "指定文字列＋(ファイル名)｜＝前方に文字を挿入", "", true);
    row("mnuRenameKata", "名前をカタカナに揃える", "", true);
    row("actClipboardNoPath", "クリップボードに名前(パスなし)をコピー", "", true);
    row("mnuTonboExe", "Tonboのプログラムフォルダを開く", "", true);
    row("mnuExcelSort", "辞書順に並び替える", "", true);
    row("mnuToolBar", "ツールバーの表示", "", true);
    row("mnuHelp", "使い方を見る", "F1", true);
    row("mnuVersion", "バージョン情報(&V)", "", true);
    row("popRenameOne", "ファイルをプレビューする", "", true);
    row("N3", "同じフォルダのファイルを追加", "", true);
  }

  void menuItems() {
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QString, shortcut);
    QFETCH(bool, enabled);
    TfrmMain& w = Make();
    QAction* a = w.findChild<QAction*>(name);
    QVERIFY2(a, qPrintable(name));
    QCOMPARE(a->text(), caption);
    QCOMPARE(a->shortcut().toString(), shortcut);
    QCOMPARE(a->isEnabled(), enabled);
  }

  // A command without an action cannot be reached; one without a handler
  // leaves its items disabled; a switch outside the menus always reads off.
  void everyCommandIsReachableAndEverySwitchIsInAMenu() {
    TfrmMain& w = Make();
    for (size_t i = 0; i < kCommandCount; ++i) {
      const auto command = static_cast<Command>(i);
      QVERIFY2(w.Commands().IsBound(command), CommandName(command));
      QVERIFY2(w.Commands().IsRegistered(command), CommandName(command));
    }
    for (size_t i = 0; i < kSwitchCount; ++i) {
      const char* name = SwitchName(static_cast<MenuSwitch>(i));
      QAction* a = Action(name);
      QVERIFY2(a && a->isCheckable() && a->isEnabled() && !a->associatedObjects().isEmpty(), name);
    }
  }

  void toolBarHintsAndShortcutsAreUnique() {
    TfrmMain& w = Make();
    auto* bar = w.findChild<QToolBar*>("ToolBar");
    QStringList hints;
    for (QAction* a : bar->actions())
      if (!a->isSeparator()) hints << a->toolTip();
    QCOMPARE(hints,
             QStringList({"初期化", "ファイルを追加", "バックアップ", "元のファイル名に戻す",
                          "リストからファイルの除外", "ファイルを削除", "プレビュー", "全て選択",
                          "ランダムに名前変更", "連番に名前変更", "日付名前変更"}));
    // Two live actions with one shortcut would make both dead keys.
    QMap<QString, QString> seen;
    for (QAction* a : w.findChildren<QAction*>(QString(), Qt::FindDirectChildrenOnly)) {
      if (a->associatedObjects().isEmpty()) continue;
      for (const QKeySequence& shortcut : a->shortcuts()) {
        const QString key = shortcut.toString();
        QVERIFY2(!seen.contains(key),
                 qPrintable(key + " " + seen.value(key) + " " + a->objectName()));
        seen.insert(key, a->objectName());
      }
    }
    QCOMPARE(seen.size(), 20);
  }

  // The desktop's keys reach their commands and Shift+F10 the list's popup;
  // seven-digit counts fit the first panel; long paths keep both ends; an
  // empty list says where files go.
  void desktopKeysAndTheListsLook() {
    TfrmMain& w = Make();
    test::ScriptedDialogs dialogs;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.SetStatusText(0, QStringLiteral("総数 = 1234567"));
    auto* panel = w.findChild<QLabel*>("panel0");
    QVERIFY(panel->fontMetrics().horizontalAdvance(panel->text()) <= panel->contentsRect().width());
    const QImage empty = w.List()->viewport()->grab().toImage();
    int ink = 0;
    for (int x = 0; x < empty.width(); ++x)
      ink += empty.pixel(x, empty.height() / 2) != empty.pixel(2, 2);
    QVERIFY(ink > 0);
    QVERIFY(dynamic_cast<MiddleElideDelegate*>(w.List()->itemDelegateForColumn(5)));
    w.List()->setFocus();
    Action("mnuRedo")->setEnabled(true);
    for (const char* key : {"mnuRedo:Ctrl+Shift+Z", "mnuAddFile:Ctrl+O", "mnuSaveList:Ctrl+S"}) {
      const QStringList pair = QString::fromLatin1(key).split(':');
      QSignalSpy spy(w.findChild<QAction*>(pair[0]), &QAction::triggered);
      QTest::keySequence(&w, QKeySequence(pair[1]));
      QVERIFY2(spy.count() == 1, key);
    }
    QTest::keyClick(w.List(), Qt::Key_F10, Qt::ShiftModifier);
    QTRY_VERIFY(w.findChild<QMenu*>("PopupMenu1")->isVisible());
    w.findChild<QMenu*>("PopupMenu1")->close();
    QTest::keySequence(&w, QKeySequence(QStringLiteral("Ctrl+Q")));
    QTRY_VERIFY(!w.isVisible());
  }

  void listColumnsHaveCaptionsWidthsAndAlignment() {
    TfrmMain& w = Make();
    QAbstractItemModelTester tester(w.List()->model(),
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    auto* model = w.List()->model();
    const QStringList captions = {"新しい名前", "拡張子", "更新日",
                                  "ｻｲｽﾞ",       "説明",   "元のファイル名"};
    const int widths[] = {90, 48, 78, 55, 90, 130};
    for (int c = 0; c < 6; ++c) {
      QCOMPARE(model->headerData(c, Qt::Horizontal).toString(), captions[c]);
      if (c != FileListModel::ColModified)
        QCOMPARE(w.List()->horizontalHeader()->sectionSize(c), widths[c]);
    }
    // The date fits whole, whatever the desktop's font.
    QVERIFY(w.List()->horizontalHeader()->sectionSize(FileListModel::ColModified) >=
            std::max(78, w.List()->fontMetrics().horizontalAdvance("2024/01/02 03:04:06")));
    AddRow(w.Table(), "/d/a.txt", "1000000");
    w.RefreshList();
    const auto align = model->index(0, 3).data(Qt::TextAlignmentRole).value<Qt::Alignment>();
    QVERIFY(align & Qt::AlignRight);
    QCOMPARE(Cell(w, 0, 3), QStringLiteral("977 KB"));
  }

  void rebuildShowsRowsAndReusesTypesPerExtension() {
    TfrmMain& w = Make();
    QAbstractItemModelTester tester(w.List()->model(),
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    TCsvDb& t = w.Table();
    AddRow(t, "/d/a.txt", "0");
    AddRow(t, "/d/b.txt", "2560000");
    AddRow(t, "/d/c.exe");
    AddRow(t, "/d/d.exe");
    AddRow(t, "/d/E.JPG");
    AddRow(t, "/d/F.JPG");
    AddRow(t, "/d/g.jpg");
    AddRow(t, "/d/H.JPG");
    AddRow(t, "/d/README");
    w.RefreshList();
    QCOMPARE(w.StatusText(0), QStringLiteral("総数 = 9"));
    QCOMPARE(w.List()->model()->rowCount(), 9);
    QCOMPARE(calls_.count("/d/b.txt"), size_t(0));  // reused a.txt's image and description
    QCOMPARE(Cell(w, 1, 4), QStringLiteral("テキスト文書"));
    QCOMPARE(Cell(w, 1, 3), QStringLiteral("2,500 KB"));
    QCOMPARE(calls_["/d/c.exe"] + calls_["/d/d.exe"], 2);  // each program its own icon
    QCOMPARE(calls_["/d/F.JPG"], 1);                       // no earlier row has ".jpg" exactly
    QCOMPARE(calls_["/d/g.jpg"], 1);                       // the first ".jpg" row is itself
    QCOMPARE(calls_.count("/d/H.JPG"), size_t(0));         // reuses g.jpg
    QCOMPARE(Cell(w, 4, 4), QStringLiteral(".jpg"));       // no description: the lowered extension
    QCOMPARE(Cell(w, 8, 0), QStringLiteral("README"));
    QVERIFY(!w.List()->model()->index(7, 0).data(Qt::DecorationRole).value<QIcon>().isNull());
    // A second rebuild uses the cached icons: no further fetches.
    const auto before = calls_;
    w.RefreshList();
    QCOMPARE(calls_, before);
  }

  void failingRowWarnsAndRebuildGoesOn() {
    TfrmMain& w = Make();
    test::ScriptedDialogs dialogs;
    AddRow(w.Table(), "/d/ok.txt");
    AddRow(w.Table(), "/d/broken.bin");
    AddRow(w.Table(), "/d/also.dat");
    w.RefreshList();
    QCOMPARE(dialogs.Texts("warning"), QStringList({"1:/d/broken.binの表示に失敗"}));
    QCOMPARE(dialogs.shown.front().caption, QStringLiteral("Tonbo"));
    QCOMPARE(w.StatusText(0), QStringLiteral("総数 = 3"));
    QCOMPARE(Cell(w, 2, 0), QStringLiteral("also"));
  }

  void columnClicksSortEachColumnInItsOwnDirection() {
    TfrmMain& w = Make();
    w.SetExcelSort(false);
    AddRow(w.Table(), "/d/b.c", "3000");
    AddRow(w.Table(), "/d/a.b", "100");
    AddRow(w.Table(), "/d/C.a", "20000");
    w.RefreshList();
    auto names = [&] {
      QStringList out;
      for (int r = 0; r < 3; ++r) out << Cell(w, r, 0);
      return out;
    };
    w.listFileColumnClick(3);
    QCOMPARE(names(), QStringList({"a", "b", "C"}));
    w.listFileColumnClick(3);
    QCOMPARE(names(), QStringList({"C", "b", "a"}));  // largest first
    w.listFileColumnClick(0);
    QCOMPARE(names(), QStringList({"C", "a", "b"}));  // capitals first in byte order
    w.listFileColumnClick(1);
    QCOMPARE(names(), QStringList({"C", "a", "b"}));  // extension ascending: .a .b .c
    w.listFileColumnClick(0);
    QCOMPARE(names(), QStringList({"b", "a", "C"}));  // second click on the name: descending
    w.SetExcelSort(true);
    w.listFileColumnClick(0);
    QCOMPARE(names(), QStringList({"a", "b", "C"}));  // dictionary order ignores case
  }

  // "撮影日時" is off until switched on, then read a slice at a time; its
  // sort puts the dated files in time order (to the millisecond), the
  // others after them, so a serial number can follow the shooting order.
  void takenColumnReadsWhenShownAndSortsByTheDateTaken() {
    TfrmMain& w = Make();
    const std::string dir = test::MakeTempDir("taken");
    const char* dates[][2] = {
        {"2024:01:03 00:00:00", ""}, {"2024:01:01 10:00:00", "5"}, {"2024:01:01 10:00:00", "1"}};
    for (int i = 0; i < 3; ++i) {
      auto image = Exiv2::ImageFactory::create(Exiv2::ImageType::jpeg, dir + "p" + char('1' + i));
      image->exifData()["Exif.Photo.DateTimeOriginal"] = dates[i][0];
      if (*dates[i][1]) image->exifData()["Exif.Photo.SubSecTimeOriginal"] = dates[i][1];
      image->writeMetadata();
    }
    test::WriteFile(dir + "p0", "no date");
    for (const char* name : {"p0", "p1", "p2", "p3"})
      AddRow(w.Table(), QString::fromStdString(dir + name));
    w.RefreshList();
    QVERIFY(w.List()->isColumnHidden(FileListModel::ColTaken));
    QVERIFY(Cell(w, 1, FileListModel::ColTaken).isEmpty());  // nothing read while hidden
    w.findChild<QAction*>("mnuColTaken")->trigger();
    QVERIFY(!w.List()->isColumnHidden(FileListModel::ColTaken));
    w.listFileColumnClick(FileListModel::ColTaken);  // before the slices: the sort reads all
    QStringList names;
    for (int r = 0; r < 4; ++r) names << Cell(w, r, 0);
    QCOMPARE(names, QStringList({"p3", "p2", "p1", "p0"}));
    QTRY_VERIFY(!w.findChild<QTimer*>("timerTaken")->isActive());
    QCOMPARE(Cell(w, 2, FileListModel::ColTaken), QStringLiteral("2024/01/03 00:00:00"));
    w.findChild<QAction*>("mnuColTaken")->trigger();
    QVERIFY(w.List()->isColumnHidden(FileListModel::ColTaken));
  }

  // A file that keeps its date back (a slow mount) holds up neither the
  // window nor the sort: the sort waits under a progress window whose stop
  // leaves the order as it was, and sorts once the dates are in.
  void takenSortWaitsForASlowFileAndCanBeStopped() {
    TfrmMain& w = Make();
    auto open = std::make_shared<std::atomic<bool>>(false);
    w.SetTakenReader([open](const std::string& path) {
      while (!*open) std::this_thread::sleep_for(std::chrono::milliseconds(1));
      return path.back() == 'a' ? 20240101000000000u : 20240102000000000u;
    });
    std::int64_t clock = 0;
    w.SetProgressClock([&clock] { return clock += 100; });
    for (const char* path : {"/slow/b", "/slow/a"}) AddRow(w.Table(), path);
    w.RefreshList();
    w.findChild<QAction*>("mnuColTaken")->trigger();
    QTimer stop;  // "中止(&C)" once the progress window shows
    connect(&stop, &QTimer::timeout, [&w] {
      if (auto* p = w.findChild<QDialog*>("frmProgress"); p && p->isVisible())
        p->findChild<QPushButton*>("btnCancel")->click();
    });
    stop.start(5);
    w.listFileColumnClick(FileListModel::ColTaken);
    stop.stop();
    QCOMPARE(Cell(w, 0, 0), QStringLiteral("b"));
    *open = true;
    w.listFileColumnClick(FileListModel::ColTaken);
    QCOMPARE(Cell(w, 0, 0), QStringLiteral("a"));
    QCOMPARE(Cell(w, 1, FileListModel::ColTaken), QStringLiteral("2024/01/02 00:00:00"));
  }

  void clickShowsFirstSelectedPath() {
    TfrmMain& w = Make();
    w.resize(800, 300);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    AddRow(w.Table(), "/d/one.txt");
    AddRow(w.Table(), "/d/two.txt");
    w.RefreshList();
    w.List()->selectRow(1);
    w.listFileClick();
    QCOMPARE(w.StatusText(1), QStringLiteral("/d/two.txt"));
  }

  void longPathsLoseTheirMiddleFolders() {
    QFontMetrics fm(QApplication::font());
    const QString path = "/home/user/photos/2024/summer/holiday/beach/IMG_0001.jpg";
    const int width = fm.horizontalAdvance("/home/.../beach/IMG_0001.jpg") + 2;
    QCOMPARE(CompactPath(path, fm, width), QStringLiteral("/home/.../beach/IMG_0001.jpg"));
    QCOMPARE(CompactPath(path, fm, 10000), path);
    const QString tiny = CompactPath(path, fm, fm.horizontalAdvance(".../IMG"));
    QVERIFY(fm.horizontalAdvance(tiny) <= fm.horizontalAdvance(".../IMG"));
  }

  void namesShowFullWidthFormsFullWidth() {
    TfrmMain& w = Make();
    const QFont font = w.List()->font();
    // Drawn, four full-width letters take about twice the room of four
    // half-width ones, so the width conversions can be checked by eye.
    const int full = InkWidth(font, QStringLiteral("ＡＡＡＡ"));
    const int half = InkWidth(font, QStringLiteral("AAAA"));
    QVERIFY2(full > half * 3 / 2, qPrintable(QStringLiteral("%1 / %2").arg(full).arg(half)));
    // The grid, the replace boxes and the same-name question use the same font.
    const QString family = QFontInfo(font).family();
    w.Commands().Run(Command::mnuReplace);
    for (const char* name : {"edt1", "edt2", "edtFilename"}) {
      auto* edit = w.findChild<QLineEdit*>(name);
      QVERIFY2(edit && QFontInfo(edit->font()).family() == family, name);
    }
    auto* grid = w.findChild<QTableWidget*>("grdList");
    QVERIFY(grid && QFontInfo(grid->font()).family() == family);
  }

  void sameNameQuestionHasItsDesignSizeAndAButtonFaceNameBox() {
    TfrmMain& w = Make();
    auto* dlg = w.findChild<QDialog*>("frmSelect");
    QVERIFY(dlg);
    dlg->show();
    QVERIFY(QTest::qWaitForWindowExposed(dlg));
    QCOMPARE(dlg->size(), QSize(383, 211));
    auto* name = dlg->findChild<QLineEdit*>("edtFilename");
    QVERIFY(name->isReadOnly());
    QCOMPARE(name->palette().color(QPalette::Base), dlg->palette().color(QPalette::Button));
    QImage shot = name->grab().toImage();
    QCOMPARE(QColor(shot.pixel(shot.width() / 2, shot.height() / 2)),
             dlg->palette().color(QPalette::Button));
    dlg->hide();
  }

  void toolBarSwitchHidesTheBar() {
    TfrmMain& w = Make();
    w.show();
    auto* bar = w.findChild<QToolBar*>("ToolBar");
    QVERIFY(bar->isVisible());
    Action("mnuToolBar")->trigger();
    QVERIFY(!bar->isVisible());
    Action("mnuToolBar")->trigger();
    QVERIFY(bar->isVisible());
  }
};

}  // namespace tonbo

TONBO_QTEST_CLASS(tonbo::TfrmMainTest)
#include "TfrmMainTest.moc"
