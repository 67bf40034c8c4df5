#include <QAction>
#include <QItemSelectionModel>
#include <QTableView>

#include "FakeFileTypes.h"
#include "QtTestMain.h"
#include "app/TfrmMain.h"
#include "common/Sjis.h"

namespace tonbo {

namespace {

// The visible state of the history, compared as one value.
struct UndoState {
  bool canUndo;
  bool canRedo;
  QString undoCaption;
  int rows;
  bool operator==(const UndoState&) const = default;
};
char* toString(const UndoState& s) {
  return qstrdup(QStringLiteral("{undo=%1 redo=%2 '%3' rows=%4}")
                     .arg(s.canUndo)
                     .arg(s.canRedo)
                     .arg(s.undoCaption)
                     .arg(s.rows)
                     .toUtf8()
                     .constData());
}
}  // namespace

class MainHistoryTest : public QObject {
  Q_OBJECT
  std::unique_ptr<TfrmMain> w_;

  TfrmMain& Make() {
    w_ = std::make_unique<TfrmMain>(nullptr, std::make_unique<test::NoFileTypes>());
    return *w_;
  }
  UndoState State() {
    auto* undo = w_->findChild<QAction*>("mnuUndo");
    auto* redo = w_->findChild<QAction*>("mnuRedo");
    return {undo->isEnabled(), redo->isEnabled(), undo->text(), w_->List()->model()->rowCount()};
  }
  void AddNames(std::initializer_list<const char*> names, const char* label) {
    for (const char* n : names) {
      int r = w_->Table().RowCount();
      w_->Table().SetCell(colNewName, r, n);
      w_->Table().SetCell(colPath, r, std::string("/d/") + n);
    }
    w_->RefreshList();
    w_->RecordUndo(QString::fromUtf8(label));
  }
  QList<int> SelectedRows() {
    QList<int> rows;
    for (const QModelIndex& i : w_->List()->selectionModel()->selectedRows()) rows << i.row();
    std::sort(rows.begin(), rows.end());
    return rows;
  }

 private slots:
  void cleanup() { w_.reset(); }

  void firstEntryIsTheEmptyList() {
    Make();
    QCOMPARE(State(), (UndoState{false, false, "元に戻す(&Undo)", 0}));
    AddNames({"a", "b", "c"}, "ファイルの追加");
    QCOMPARE(State(), (UndoState{true, false, "元に戻す(&U) 初期状態", 3}));
    w_->mnuUndoClick();
    QCOMPARE(State(), (UndoState{false, true, "元に戻す(&Undo)", 0}));
    w_->mnuRedoClick();
    QCOMPARE(State(), (UndoState{true, false, "元に戻す(&Undo)", 3}));
  }

  void selectionTravelsWithTheEntries() {
    Make();
    AddNames({"a", "b", "c", "d"}, "ファイルの追加");
    // A selection made by clicking is saved into the next recorded entry.
    w_->List()->selectionModel()->select(w_->List()->model()->index(1, 0),
                                         QItemSelectionModel::Select | QItemSelectionModel::Rows);
    w_->List()->selectionModel()->select(w_->List()->model()->index(3, 0),
                                         QItemSelectionModel::Select | QItemSelectionModel::Rows);
    w_->RecordUndo("選択の反転");  // a command that does not rebuild the list
    w_->List()->clearSelection();
    w_->mnuUndoClick();
    QCOMPARE(SelectedRows(), QList<int>({}));  // the add had no selection
    w_->mnuRedoClick();
    QCOMPARE(SelectedRows(), QList<int>({1, 3}));
    // A saved list still shows the recorded selection in the Selected column.
    const TCsvDb recorded = w_->TableAsRecorded();
    QCOMPARE(recorded.GetCell(colSelected, 1), std::string_view("1"));
    QCOMPARE(recorded.GetCell(colSelected, 2), std::string_view(""));
    QCOMPARE(recorded.MaxColCount(), 8);
    QCOMPARE(w_->Table().CellCount(1) < 8, true);  // the live table holds no selection
  }

  void unrecordedChangesGoWithTheLastStep() {
    Make();
    AddNames({"A"}, "ファイルの追加");
    w_->Table().SetCell(colNewName, 0, "a");  // a conversion that records nothing
    w_->RefreshList();
    w_->mnuUndoClick();
    QCOMPARE(w_->List()->model()->rowCount(), 0);
    w_->mnuRedoClick();
    QCOMPARE(w_->Table().GetCell(colNewName, 0), std::string("A"));
  }

  void recordingAfterUndoDropsTheRedoTail() {
    Make();
    AddNames({"a"}, "one");
    AddNames({"b"}, "two");
    w_->mnuUndoClick();
    AddNames({"c"}, "three");
    QCOMPARE(State(), (UndoState{true, false, "元に戻す(&U) one", 2}));
    QCOMPARE(w_->History().Count(), 3);
  }

  void thirtyOneEntriesKeepTheLastThirty() {
    Make();
    for (int i = 0; i < 30; ++i) AddNames({"x"}, "step");
    QCOMPARE(w_->History().Count(), 30);
    int undos = 0;
    while (w_->findChild<QAction*>("mnuUndo")->isEnabled()) {
      w_->findChild<QAction*>("mnuUndo")->trigger();
      ++undos;
    }
    QCOMPARE(undos, 29);
    QCOMPARE(w_->List()->model()->rowCount(), 1);  // "初期状態" fell out
  }
};

}  // namespace tonbo

TONBO_QTEST_CLASS(tonbo::MainHistoryTest)
#include "MainHistoryTest.moc"
