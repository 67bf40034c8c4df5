// The main window's history: snapshots of the file table with the list's
// selection, undo and redo, and the captions of their menu items.
#include <QAction>
#include <QItemSelectionModel>
#include <QTableView>

#include "common/Sjis.h"
#include "core/ui/TfrmMain.h"

namespace tonbo {
namespace {
const QString kUndoCaption = QStringLiteral("元に戻す(&Undo)");
}

void TfrmMain::SaveSelection() {
  QItemSelectionModel* selection = listFile_->selectionModel();
  const int items = model_->rowCount();
  for (int i = 0; i < items && i < table_.RowCount(); ++i)
    table_.SetCell(colSelected, i, selection->isRowSelected(i, QModelIndex()) ? "1" : "");
}

void TfrmMain::RestoreSelection() {
  QItemSelection selected;
  const int items = model_->rowCount();
  for (int i = 0; i < table_.RowCount() && i < items; ++i) {
    if (table_.GetCell(colSelected, i) != "1") continue;
    int last = i;
    while (last + 1 < table_.RowCount() && last + 1 < items &&
           table_.GetCell(colSelected, last + 1) == "1")
      ++last;
    selected.select(model_->index(i, 0), model_->index(last, FileListModel::ColumnCount - 1));
    i = last;
  }
  listFile_->selectionModel()->select(selected, QItemSelectionModel::ClearAndSelect);
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
