// The main window's history: snapshots of the file table with the list's
// selection, undo and redo, and the captions of their menu items.
#include <QAction>
#include <QItemSelectionModel>
#include <QTableView>

#include "app/TfrmMain.h"
#include "common/Sjis.h"

namespace tonbo {
namespace {
const QString kUndoCaption = QStringLiteral("元に戻す(&Undo)");
}

void TfrmMain::SaveSelection() {
  const std::vector<int> selected = SelectedRows();
  const int items = std::min(model_->rowCount(), table_.RowCount());
  size_t next = 0;
  for (int i = 0; i < items; ++i) {
    const bool on = next < selected.size() && selected[next] == i;
    if (on) ++next;
    table_.SetCell(colSelected, i, on ? "1" : "");
  }
}

void TfrmMain::RestoreSelection() {
  std::vector<int> rows;
  const int items = std::min(model_->rowCount(), table_.RowCount());
  for (int i = 0; i < items; ++i)
    if (table_.GetCell(colSelected, i) == "1") rows.push_back(i);
  SelectRows(rows);
}

void TfrmMain::RecordUndo(const QString& label) {
  SaveSelection();
  TCsvDb copy;
  copy.Assign(table_);
  undo_.Add("list", enc::ToSjis(label), std::move(copy));
  const TUndoNode* previous = undo_.Previous();
  Act("mnuUndo")->setText(QStringLiteral("元に戻す(&U) ") +
                          (previous ? enc::FromSjis(previous->Label()) : QString()));
  UpdateUndoMenu();
}

void TfrmMain::UpdateUndoMenu() {
  QAction* undo = Act("mnuUndo");
  undo->setEnabled(undo_.CanUndo());
  Act("mnuRedo")->setEnabled(undo_.CanRedo());
  if (!undo->isEnabled()) undo->setText(kUndoCaption);
}

void TfrmMain::mnuUndoClick() {
  const TUndoNode* entry = undo_.Undo();
  if (entry && entry->Kind() == "list") {
    table_.Assign(entry->Snapshot());
    RefreshList();
    RestoreSelection();
  }
  UpdateUndoMenu();
}

void TfrmMain::mnuRedoClick() {
  const TUndoNode* entry = undo_.Redo();
  if (entry && entry->Kind() == "list") {
    table_.Assign(entry->Snapshot());
    RefreshList();
    RestoreSelection();
  }
  UpdateUndoMenu();
}

}  // namespace tonbo
