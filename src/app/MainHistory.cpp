// The main window's history: snapshots of the file table with the list's
// selection, undo and redo, and the captions of their menu items.
#include <QAction>
#include <QItemSelectionModel>
#include <QTableView>

#include <utility>

#include "app/TfrmMain.h"
#include "common/Sjis.h"

namespace tonbo {
namespace {
const QString kUndoCaption = QStringLiteral("元に戻す(&Undo)");
}

// The selection goes with the entry as runs of rows rather than into a cell
// of every row, so recording it costs nothing per row.
TRowSelection TfrmMain::SaveSelection() const { return ListSelection(); }

void TfrmMain::RestoreSelection(const TRowSelection& selection) {
  SelectRuns(
      TRowSelection::FromRuns(selection.Runs(), std::min(model_->rowCount(), table_.RowCount())));
}

TCsvDb TfrmMain::TableAsRecorded() const {
  TCsvDb table = table_;
  const TUndoNode* entry = undo_.At(undo_.Position());
  if (!entry) return table;
  const int rows = std::min(table.RowCount(), entry->Snapshot().RowCount());
  for (int i = 0; i < rows; ++i)
    table.SetCell(colSelected, i, entry->Selection().Contains(i) ? "1" : "");
  return table;
}

void TfrmMain::RecordUndo(const QString& label) {
  // The entry keeps what the command wrote for long: without spare room.
  table_.PackTight();
  TCsvDb copy;
  copy.Assign(table_);
  undo_.Add("list", enc::ToSjis(label), std::move(copy), SaveSelection(),
            std::exchange(pendingSteps_, {}));
  const TUndoNode* previous = undo_.Previous();
  CommandAction(Command::mnuUndo)
      ->setText(QStringLiteral("元に戻す(&U) ") +
                (previous ? enc::FromSjis(previous->Label()) : QString()));
  UpdateUndoMenu();
}

void TfrmMain::UpdateUndoMenu() {
  QAction* undo = CommandAction(Command::mnuUndo);
  undo->setEnabled(undo_.CanUndo());
  CommandAction(Command::mnuRedo)->setEnabled(undo_.CanRedo());
  if (!undo->isEnabled()) undo->setText(kUndoCaption);
}

void TfrmMain::mnuUndoClick() {
  pendingSteps_.clear();  // their names go with the table the entry replaces
  const TUndoNode* entry = undo_.Undo();
  if (entry && entry->Kind() == "list") {
    table_.Assign(entry->Snapshot());
    RefreshList();
    RestoreSelection(entry->Selection());
  }
  UpdateUndoMenu();
}

void TfrmMain::mnuRedoClick() {
  pendingSteps_.clear();
  const TUndoNode* entry = undo_.Redo();
  if (entry && entry->Kind() == "list") {
    table_.Assign(entry->Snapshot());
    RefreshList();
    RestoreSelection(entry->Selection());
  }
  UpdateUndoMenu();
}

}  // namespace tonbo
