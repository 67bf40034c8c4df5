#include <QAction>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

#include "FakeFileTypes.h"
#include "QtTestMain.h"
#include "ScriptedDialogs.h"
#include "app/TfrmMain.h"
#include "common/Sjis.h"

namespace tonbo {

class MainEditingTest : public QObject {
  Q_OBJECT
  std::unique_ptr<TfrmMain> w_;
  std::vector<std::string> played_;

  TfrmMain& Make(int rows) {
    w_ = std::make_unique<TfrmMain>(nullptr, std::make_unique<test::NoFileTypes>());
    w_->SetSwitch(MenuSwitch::mnuDescript, false);
    w_->SetSoundPlayer([this](const std::string& p) { played_.push_back(p); });
    for (int i = 0; i < rows; ++i) {
      const std::string n = "f" + std::to_string(i);
      w_->Table().SetCell(colNewName, i, n);
      w_->Table().SetCell(colExt, i, ".txt");
      w_->Table().SetCell(colPath, i, "/d/" + n + ".txt");
    }
    w_->RefreshList();
    w_->RecordUndo("ファイルの追加");
    return *w_;
  }
  void Trigger(const char* name) { w_->findChild<QAction*>(name)->trigger(); }
  QString LastLabel() {
    return enc::FromSjis(w_->History().At(w_->History().Count() - 1)->Label());
  }
  std::vector<std::string> Names() {
    std::vector<std::string> out;
    for (int r = 0; r < w_->Table().RowCount(); ++r)
      out.emplace_back(w_->Table().GetCell(colNewName, r));
    return out;
  }

 private slots:
  void cleanup() { w_.reset(); }

  void selectionCommandsReportAndRecord() {
    Make(10);
    w_->SelectRows({2, 5});
    Trigger("actSelectNone");
    QCOMPARE(w_->StatusText(1), QStringLiteral("10個の選択を解除しました。"));
    QCOMPARE(LastLabel(), QStringLiteral("全ての選択を解除"));
    Trigger("actSelectAll");
    QCOMPARE(w_->StatusText(1), QStringLiteral("10個のファイルを選択しました。"));
    QCOMPARE(LastLabel(), QStringLiteral("全て選択"));
    w_->SelectRows({0, 1});
    Trigger("actSelectReverse");
    QCOMPARE(w_->SelectedRows().size(), size_t(8));
    QCOMPARE(w_->StatusText(1), QStringLiteral("選択を反転しました。"));
    // Undo brings back the selection recorded with the previous entry.
    w_->mnuUndoClick();
    QCOMPARE(w_->SelectedRows().size(), size_t(10));
  }

  void selectionEntriesShareTheWholeTable() {
    Make(2500);
    Trigger("actSelectAll");
    Trigger("actSelectReverse");
    w_->SelectRows({0, 2, 1024, 1025, 2499});
    Trigger("actSelectAll");
    const TUndoList& h = w_->History();
    QCOMPARE(h.Count(), 5);  // "初期状態", the add and three selections
    QCOMPARE(h.At(2)->Selection().Runs().size(), size_t(1));
    QCOMPARE(h.At(3)->Selection().Count(), 0);
    // A selection command copies no cell of the table.
    for (int i = 2; i < h.Count(); ++i)
      QCOMPARE(h.At(i)->Snapshot().HeapBytesNotIn(&h.At(1)->Snapshot()), size_t(0));
    QCOMPARE(w_->Table().HeapBytesNotIn(&h.At(1)->Snapshot()), size_t(0));
    // A selection made by clicking rides on the next entry and comes back exactly.
    w_->SelectRows({0, 2, 1024, 1025, 2499});
    w_->mnuDeleteFileClick();
    w_->SelectRows({7});
    w_->mnuUndoClick();
    QCOMPARE(w_->SelectedRows().size(), size_t(2500));
    w_->mnuRedoClick();
    QCOMPARE(w_->SelectedRows(), (std::vector<int>{0, 2, 1024, 1025, 2499}));
    QCOMPARE(w_->Table().GetCell(colNewName, 1024), std::string_view(DeleteMark()));
  }

  void aCommandsEntryKeepsItsNewNamesWithoutSpareRoom() {
    Make(2500);
    Trigger("actSelectAll");
    w_->mnuDeleteFileClick();
    const TUndoList& h = w_->History();
    const TCsvDb& entry = h.At(h.Count() - 1)->Snapshot();
    QCOMPARE(entry.GetCell(colNewName, 2499), std::string_view(DeleteMark()));
    // The marks' bytes and two bytes a row for where each ends, a little per
    // block; the window's table is the entry itself until the next command.
    const size_t marks = 2500 * DeleteMark().size();
    QVERIFY(entry.HeapBytesNotIn(&h.At(h.Count() - 2)->Snapshot()) <=
            marks + (2 + 4) * 2500 + 3 * (sizeof(TCellChunk) + 64));
    QCOMPARE(w_->Table().HeapBytesNotIn(&entry), size_t(0));
    w_->mnuUndoClick();
    QCOMPARE(w_->Table().GetCell(colNewName, 2499), std::string_view("f2499"));
  }

  void extractRemovesSelectedRowsOnly() {
    Make(5);
    w_->SelectRows({1, 3});
    Trigger("actExtract");
    QCOMPARE(Names(), (std::vector<std::string>{"f0", "f2", "f4"}));
    QCOMPARE(w_->StatusText(1), QStringLiteral("2個のファイルを除外しました。"));
    QCOMPARE(LastLabel(), QStringLiteral("選択ファイルをリストから除外"));
    w_->SelectRows({});
    Trigger("actExtract");
    QCOMPARE(w_->StatusText(1), QStringLiteral("0個のファイルを除外しました。"));
    QCOMPARE(w_->History().Count(), 4);
  }

  void deleteMarkToggles() {
    Make(3);
    const std::string mark = DeleteMark();
    w_->SelectRows({0});
    Trigger("mnuDeleteFile");
    w_->SelectRows({0, 1, 2});
    Trigger("mnuDeleteFile");
    QCOMPARE(Names(), (std::vector<std::string>{"f0", mark, mark}));
    QCOMPARE(w_->StatusText(1), QStringLiteral("1個のファイルを削除対象にしました。"));
    w_->SelectRows({1, 2});
    Trigger("mnuDeleteFile");
    QCOMPARE(w_->StatusText(1), QStringLiteral("0個のファイルを削除対象にしました。"));
    QCOMPARE(LastLabel(), QStringLiteral("選択ファイルを削除対象にしました。"));
  }

  void resetRestoresNameAndExtension() {
    Make(2);
    w_->Table().SetCell(colNewName, 0, "changed");
    w_->Table().SetCell(colExt, 0, ".TXT");
    w_->Table().MarkForDeletion(1);
    Trigger("actNameReset");
    QCOMPARE(Names(), (std::vector<std::string>{"f0", "f1"}));
    QCOMPARE(w_->Table().GetCell(colExt, 0), std::string(".txt"));
    QCOMPARE(LastLabel(), QStringLiteral("ファイル名をオリジナルに戻す"));
  }

  void clearAsksAndCanBeUndone() {
    Make(2);
    test::ScriptedDialogs dialogs;
    dialogs.answers = {Answer::No, Answer::Yes};
    Trigger("actClear");
    QCOMPARE(w_->Table().RowCount(), 2);
    Trigger("actClear");
    QCOMPARE(dialogs.Texts("yesno").last(), QStringLiteral("リストを初期化しても良いですか？"));
    QCOMPARE(w_->Table().RowCount(), 0);
    QCOMPARE(LastLabel(), QStringLiteral("リスト初期化"));
    const int entries = w_->History().Count();
    Trigger("actClear");  // empty: no question, no entry
    QCOMPARE(dialogs.shown.size(), size_t(2));
    QCOMPARE(w_->History().Count(), entries);
    w_->mnuUndoClick();
    QCOMPARE(w_->Table().RowCount(), 2);
  }

  void selectionOutlivesRebuildsThatKeepTheRows() {
    Make(4);
    test::ScriptedDialogs dialogs;
    const std::vector<int> picked{1, 3};
    // Formatting, the delete mark and the replace dialog twice in a row.
    w_->SelectRows(picked);
    Trigger("mnuRenameUpper");
    QCOMPARE(w_->SelectedRows(), picked);
    Trigger("mnuDeleteFile");
    QCOMPARE(w_->SelectedRows(), picked);
    Trigger("mnuDeleteFile");
    Trigger("mnuReplace");
    w_->findChild<QLineEdit*>("edt1")->setText("F");
    w_->findChild<QLineEdit*>("edt2")->setText("G");
    auto* run = w_->findChild<QPushButton*>("btnReExecute");
    run->click();
    w_->findChild<QLineEdit*>("edt1")->setText("G");
    w_->findChild<QLineEdit*>("edt2")->setText("H");
    run->click();
    QCOMPARE(dialogs.Texts("warning"), QStringList());
    QCOMPARE(Names(), (std::vector<std::string>{"f0", "H1", "f2", "H3"}));
    QCOMPARE(w_->SelectedRows(), picked);

    // Sorting starts without a selection, also when the order stays the same.
    w_->listFileColumnClick(5);
    QCOMPARE(w_->SelectedRows(), std::vector<int>());
    // A rebuild over other rows drops it; adding starts without one too.
    w_->SelectRows(picked);
    w_->Table().DeleteRow(0);
    w_->RefreshList();
    QCOMPARE(w_->SelectedRows(), std::vector<int>());
    w_->SelectRows({0});
    w_->AddFiles({});
    QCOMPARE(w_->SelectedRows(), std::vector<int>());
  }

  void forEachSelectedTakesTheOnlyRowOrWarns() {
    Make(1);
    int visited = 0;
    QCOMPARE(w_->ForEachSelected("小文字に揃える", [&](TfrmMain&, int) { ++visited; }), 1);
    QCOMPARE(visited, 1);
    QCOMPARE(w_->StatusText(1), QStringLiteral("1個：小文字に揃える"));
    Make(2);
    test::ScriptedDialogs dialogs;
    QCOMPARE(w_->ForEachSelected("大文字に揃える", [&](TfrmMain&, int) { ++visited; }), -1);
    QCOMPARE(dialogs.Texts("warning"),
             QStringList({"リスト中のファイルが選択されていません\r\nファイルを選択してから再度実行"
                          "してください。"}));
    QCOMPARE(dialogs.shown[0].caption, QStringLiteral("大文字に揃える"));
    QCOMPARE(visited, 1);
  }
};

}  // namespace tonbo

TONBO_QTEST_CLASS(tonbo::MainEditingTest)
#include "MainEditingTest.moc"
