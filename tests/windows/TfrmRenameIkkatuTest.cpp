#include "windows/TfrmRenameIkkatu.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTableWidget>

#include <string>

#include "QtTestMain.h"
#include "RecordingListHost.h"
#include "ScriptedDialogs.h"

namespace tonbo {

class TfrmRenameIkkatuTest : public QObject {
  Q_OBJECT

  static QAction* Action(const QWidget& w, const char* name) {
    auto* action = w.findChild<QAction*>(QString::fromLatin1(name));
    if (!action) qFatal("no %s", name);
    return action;
  }
  static QTableWidget* Grid(const TfrmRenameIkkatu& dlg) {
    auto* grid = dlg.findChild<QTableWidget*>(QStringLiteral("grdList"));
    if (!grid) qFatal("no grdList");
    return grid;
  }
  static QStringList Column(const QTableWidget& grid, int column) {
    QStringList out;
    for (int r = 0; r < grid.rowCount(); ++r) out << grid.item(r, column)->text();
    return out;
  }
  // Ten files, names 0 to 9 with ".jpg".
  static void TenFiles(test::RecordingListHost& host) {
    for (int i = 0; i < 10; ++i) host.AddFiles({{std::to_string(i).c_str(), ".jpg"}});
  }
  // Types into the editor of a new-name cell as the user would.
  static void TypeInto(TfrmRenameIkkatu& dlg, int row, const QString& text) {
    QTableWidget* grid = Grid(dlg);
    grid->setCurrentCell(row, 0);
    grid->editItem(grid->item(row, 0));
    auto* editor = grid->viewport()->findChild<QLineEdit*>();
    QVERIFY(editor);
    editor->selectAll();
    // Key by key, with the character as the key's text (kanji have no key code).
    for (QChar ch : text)
      QTest::sendKeyEvent(QTest::Click, editor, Qt::Key_unknown, QString(ch), Qt::NoModifier);
  }

 private slots:
  void fillsTheGridFromTheTable() {
    test::RecordingListHost host;
    host.AddFiles({{"写真", ".jpg"}, {"memo", ""}});
    host.table.SetCell(colNewName, 0, enc::Lit("新しい名前"));
    TfrmRenameIkkatu dlg(host);
    QCOMPARE(dlg.objectName(), QStringLiteral("frmRenameIkkatu"));
    QCOMPARE(dlg.windowTitle(), QStringLiteral("一括変換フォーム"));
    dlg.mnuResetClick();
    QTableWidget* grid = Grid(dlg);
    QCOMPARE(grid->columnCount(), 3);
    const QStringList headings{"新ファイル名", "旧ファイル名", "パス"};
    const int widths[] = {202, 152, 229};
    for (int c = 0; c < 3; ++c) {
      QCOMPARE(grid->horizontalHeaderItem(c)->text(), headings[c]);
      QCOMPARE(grid->columnWidth(c), widths[c]);
    }
    QCOMPARE(Column(*grid, 0), (QStringList{"新しい名前", "memo"}));
    QCOMPARE(Column(*grid, 1), (QStringList{"写真.jpg", "memo"}));
    QCOMPARE(Column(*grid, 2), (QStringList{"/d/", "/d/"}));
    QVERIFY(grid->item(0, 0)->flags() & Qt::ItemIsEditable);
    QVERIFY(!(grid->item(0, 1)->flags() & Qt::ItemIsEditable));
    QVERIFY(!(grid->item(0, 2)->flags() & Qt::ItemIsEditable));
    QVERIFY(!dlg.Modified());
  }

  void offersItsMenus() {
    test::RecordingListHost host;
    TfrmRenameIkkatu dlg(host);
    QStringList menus;
    for (QAction* menu : dlg.findChild<QMenuBar*>()->actions()) {
      menus << menu->text();
      for (QAction* item : menu->menu()->actions())
        menus << item->objectName() + " " + item->text();
    }
    QCOMPARE(menus, (QStringList{"ファイル(&F)", "mnuSave リストに名前を付けて保存",
                                 "mnuClose 閉じる(&C)", "編集(&E)", "mnuReset リセット(&R)",
                                 "mnuPaste カーソル位置へ一覧から貼付け"}));
    QCOMPARE(Action(dlg, "mnuPaste")->shortcut(), QKeySequence(QStringLiteral("Ctrl+G")));
  }

  void readOnlyColumnsRefuseTheCursor() {
    test::RecordingListHost host;
    TenFiles(host);
    TfrmRenameIkkatu dlg(host);
    dlg.mnuResetClick();
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    QTableWidget* grid = Grid(dlg);
    auto cursor = [grid] { return std::make_pair(grid->currentRow(), grid->currentColumn()); };
    grid->setCurrentCell(4, 2);
    QCOMPARE(cursor(), std::make_pair(4, 0));
    grid->setCurrentCell(3, 0);
    QTest::keyClick(grid, Qt::Key_Right);
    QCOMPARE(cursor(), std::make_pair(3, 0));
    // A click on an old name or a folder takes the cursor to that row's new name.
    for (int column : {1, 2}) {
      const QPoint at = grid->visualItemRect(grid->item(7, column)).center();
      QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, at);
      QCOMPARE(cursor(), std::make_pair(7, 0));
    }
    QTest::keyClicks(QApplication::focusWidget(), "z");
    QCOMPARE(Column(*grid, 0).mid(3, 5), (QStringList{"3", "4", "5", "6", "z"}));
  }

  void typedNamesAreWrittenBackOnClosing() {
    test::ScriptedDialogs dialogs;
    test::RecordingListHost host;
    TenFiles(host);
    TfrmRenameIkkatu dlg(host);
    dialogs.onModal = [&](QDialog&) {
      TypeInto(dlg, 2, QStringLiteral("二番"));
      Action(dlg, "mnuClose")->trigger();
    };
    dlg.Execute();
    QCOMPARE(dialogs.Texts("modal"), QStringList{"frmRenameIkkatu"});
    QCOMPARE(host.Row(2), std::string("二番|.jpg"));
    QCOMPARE(host.Row(3), std::string("3|.jpg"));
    QCOMPARE(host.calls, (QStringList{"refresh", "undo ファイル名の一括変更"}));
    QCOMPARE(host.snapshots.at(0).GetCell(colNewName, 2), enc::Lit("二番"));
    // Kept for recipes as every name before and after.
    QCOMPARE(host.steps.at(0).size(), 21u);
    QCOMPARE(host.steps[0][5] + ">" + host.steps[0][6], std::string("2.jpg>二番.jpg"));
  }

  void typingTheOldTextBackStillCountsAsAChange() {
    test::ScriptedDialogs dialogs;
    test::RecordingListHost host;
    TenFiles(host);
    TfrmRenameIkkatu dlg(host);
    dialogs.onModal = [&](QDialog&) {
      TypeInto(dlg, 0, QStringLiteral("x"));
      TypeInto(dlg, 0, QStringLiteral("0"));
      QVERIFY(dlg.Modified());
      dlg.close();
    };
    dlg.Execute();
    QCOMPARE(host.Row(0), std::string("0|.jpg"));
    QCOMPARE(host.calls, (QStringList{"refresh", "undo ファイル名の一括変更"}));
  }

  void closingWithoutAChangeLeavesTheTableAlone() {
    test::ScriptedDialogs dialogs;
    test::RecordingListHost host;
    TenFiles(host);
    const TCsvDb before = host.table;
    TfrmRenameIkkatu dlg(host);
    dialogs.onModal = [&](QDialog&) {
      Grid(dlg)->setCurrentCell(5, 0);
      dlg.reject();
    };
    dlg.Execute();
    QVERIFY(host.calls.isEmpty());
    QVERIFY(host.table.SharesRow(5, before, 5));
    // A reset throws away what was typed.
    dialogs.onModal = [&](QDialog&) {
      TypeInto(dlg, 1, QStringLiteral("typed"));
      Action(dlg, "mnuReset")->trigger();
      dlg.close();
    };
    dlg.Execute();
    QVERIFY(host.calls.isEmpty());
    QCOMPARE(Grid(dlg)->item(1, 0)->text(), QStringLiteral("1"));
  }

  void pastesTheFirstFieldsDownFromTheCursor() {
    test::RecordingListHost host;
    TenFiles(host);
    TfrmRenameIkkatu dlg(host);
    dlg.mnuResetClick();
    QStringList lines;
    for (int i = 0; i < 10; ++i) lines << QStringLiteral("p%1.jpg\tnote,x").arg(i);
    QApplication::clipboard()->setText(lines.join(QStringLiteral("\r\n")));
    Grid(dlg)->setCurrentCell(7, 0);
    Action(dlg, "mnuPaste")->trigger();
    QCOMPARE(Column(*Grid(dlg), 0),
             (QStringList{"0", "1", "2", "3", "4", "5", "6", "p0.jpg", "p1.jpg", "p2.jpg"}));
    dlg.show();
    dlg.close();
    QCOMPARE(host.Row(7), std::string("p0.jpg|.jpg"));  // the extension stays as it was
    QCOMPARE(host.Row(9), std::string("p2.jpg|.jpg"));
  }

  void anEmptyPasteStillMarksTheGridChanged() {
    test::RecordingListHost host;
    TenFiles(host);
    TfrmRenameIkkatu dlg(host);
    dlg.mnuResetClick();
    QApplication::clipboard()->clear();
    dlg.mnuPasteClick();
    QVERIFY(dlg.Modified());
    dlg.show();
    dlg.close();
    QCOMPARE(host.calls, (QStringList{"refresh", "undo ファイル名の一括変更"}));
    QCOMPARE(host.Row(0), std::string("0|.jpg"));

    dlg.mnuResetClick();
    Grid(dlg)->setCurrentItem(nullptr);
    dlg.mnuPasteClick();
    QVERIFY(!dlg.Modified());  // no cursor, no paste
  }

  void savesTheGridWithItsHeadingsAsCsv() {
    test::ScriptedDialogs dialogs;
    test::RecordingListHost host;
    host.AddFiles({{"写真", ".jpg"}, {"a,b", ".txt"}});
    TfrmRenameIkkatu dlg(host);
    dlg.mnuResetClick();
    Grid(dlg)->item(1, 0)->setText(QStringLiteral("新"));
    const std::string path = test::MakeTempDir("grid") + "names.csv";
    dialogs.saveFiles = {QString(), QString::fromStdString(path)};
    dlg.mnuSaveClick();  // cancelled
    QCOMPARE(dialogs.Texts("message"), QStringList{});
    dlg.mnuSaveClick();
    QCOMPARE(dialogs.Texts("save").at(0), QStringLiteral("CSVファイル (*.csv);;All (*)"));
    QCOMPARE(dialogs.Texts("message"), QStringList{"保存しました。"});
    const std::string text = test::ReadFile(path);
    QCOMPARE(text.substr(0, text.find('\n') + 1), enc::Lit("新ファイル名,旧ファイル名,パス\r\n"));
    TCsvDb saved;
    saved.LoadFromFile(path);
    QCOMPARE(saved.RowCount(), 3);
    QCOMPARE(saved.GetCell(1, 1), enc::Lit("写真.jpg"));
    QCOMPARE(saved.GetCell(0, 2), enc::Lit("新"));
    QCOMPARE(saved.GetCell(1, 2), std::string("a,b.txt"));
    QCOMPARE(saved.GetCell(2, 2), std::string("/d/"));
    QCOMPARE(host.Row(1), std::string("a,b|.txt"));  // the table is not touched
  }

  void aFailedSaveShowsTheErrorAndKeepsTheGrid() {
    test::ScriptedDialogs dialogs;
    test::RecordingListHost host;
    TenFiles(host);
    TfrmRenameIkkatu dlg(host);
    dlg.mnuResetClick();
    Grid(dlg)->item(0, 0)->setText(QStringLiteral("kept"));
    dialogs.saveFiles = {QString::fromStdString(test::MakeTempDir("grid") + "no/such/dir.csv")};
    dlg.mnuSaveClick();
    QCOMPARE(dialogs.Texts("error").size(), 1);
    QCOMPARE(dialogs.Texts("message"), QStringList{});
    QCOMPARE(Grid(dlg)->item(0, 0)->text(), QStringLiteral("kept"));
  }
};

}  // namespace tonbo

TONBO_QTEST_CLASS(tonbo::TfrmRenameIkkatuTest)
#include "TfrmRenameIkkatuTest.moc"
