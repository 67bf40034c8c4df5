// Selection and list editing: select all, none and the reverse, take rows
// out of the list, mark files for deletion, reset names, clear the list,
// and the selection runner used by the naming commands.
#include <QItemSelectionModel>

#include <QTableView>
#include <algorithm>

#include "app/TfrmMain.h"
#include "common/Dialogs.h"
#include "common/Paths.h"
#include "common/Sjis.h"

namespace tonbo {

TRowSelection TfrmMain::ListSelection() const {
  // From the selection's ranges: asking row by row costs a pass over the
  // ranges for every row.
  std::vector<TRowSelection::Run> runs;
  for (const QItemSelectionRange& range : listFile_->selectionModel()->selection())
    runs.push_back({range.top(), range.bottom()});
  return TRowSelection::FromRuns(std::move(runs), std::min(model_->rowCount(), table_.RowCount()));
}

std::vector<int> TfrmMain::SelectedRows() const { return ListSelection().Rows(); }

void TfrmMain::SelectRows(const std::vector<int>& rows) {
  SelectRuns(TRowSelection::FromRows(rows, model_->rowCount()));
}

void TfrmMain::SelectRuns(const TRowSelection& selection) {
  // One range per run of neighbouring rows.
  QItemSelection selected;
  for (const TRowSelection::Run& run : selection.Runs())
    selected.select(model_->index(run.first, 0),
                    model_->index(run.last, FileListModel::ColumnCount - 1));
  listFile_->selectionModel()->select(selected, QItemSelectionModel::ClearAndSelect);
}

int TfrmMain::ForEachSelected(const QString& label,
                              const std::function<void(TfrmMain&, int)>& routine) {
  return ForEachSelectedRows(label, [&](const std::vector<int>& rows) {
    for (int row : rows) routine(*this, row);
  });
}

int TfrmMain::ForEachSelectedRows(const QString& label,
                                  const std::function<void(const std::vector<int>&)>& routine) {
  std::vector<int> rows = SelectedRows();
  if (rows.empty()) {
    if (table_.RowCount() != 1) {
      ShowWarning(
          QStringLiteral("リスト中のファイルが選択されていません\r\nファイルを選択してから再度実行"
                         "してください。"),
          label);
      return -1;
    }
    rows = {0};
    SelectRows(rows);
  }
  routine(rows);
  RefreshList();
  SetStatusText(1, QString::number(rows.size()) + QStringLiteral("個：") + label);
  return static_cast<int>(rows.size());
}

void TfrmMain::actSelectAllExecute() {
  listFile_->selectAll();
  SetStatusText(
      1, QString::number(ListSelection().Count()) + QStringLiteral("個のファイルを選択しました。"));
  RecordUndo(QStringLiteral("全て選択"));
}

void TfrmMain::actSelectNoneExecute() {
  listFile_->clearSelection();
  SetStatusText(1,
                QString::number(model_->rowCount()) + QStringLiteral("個の選択を解除しました。"));
  RecordUndo(QStringLiteral("全ての選択を解除"));
}

void TfrmMain::actSelectReverseExecute() {
  const int items = model_->rowCount();
  if (items > 0) {
    QItemSelection all(model_->index(0, 0),
                       model_->index(items - 1, FileListModel::ColumnCount - 1));
    listFile_->selectionModel()->select(all, QItemSelectionModel::Toggle);
  }
  SetStatusText(1, QStringLiteral("選択を反転しました。"));
  RecordUndo(QStringLiteral("選択の反転"));
}

void TfrmMain::actExtractExecute() {
  if (!ConfirmAction(QStringLiteral("select_leave"))) return;
  for (int row : SelectedRows()) table_.SetCell(colPath, row, "");
  int removed = 0;
  for (int row = 0; row < table_.RowCount();) {
    if (table_.GetCell(colPath, row).empty()) {
      table_.DeleteRow(row);
      ++removed;
    } else {
      ++row;
    }
  }
  SetStatusText(1, QString::number(removed) + QStringLiteral("個のファイルを除外しました。"));
  PlayEffectSound(0);
  RefreshList();
  RecordUndo(QStringLiteral("選択ファイルをリストから除外"));
}

void TfrmMain::mnuDeleteFileClick() {
  if (!ConfirmAction(QStringLiteral("select_delete"))) return;
  int count = 0;
  for (int row : SelectedRows()) {
    if (!table_.MarkedForDeletion(row)) {
      table_.MarkForDeletion(row);
      ++count;
    } else {
      table_.SetCell(colNewName, row,
                     ExtractFileBase(ExtractFileName(table_.GetCell(colPath, row))));
      --count;
    }
  }
  count = std::max(count, 0);
  SetStatusText(1, QString::number(count) + QStringLiteral("個のファイルを削除対象にしました。"));
  PlayEffectSound(0);
  RefreshList();
  RecordUndo(QStringLiteral("選択ファイルを削除対象にしました。"));
}

void TfrmMain::actNameResetExecute() {
  if (!ConfirmAction(QStringLiteral("reset"))) return;
  for (int row = 0; row < table_.RowCount(); ++row) {
    const std::string name = ExtractFileName(table_.GetCell(colPath, row));
    table_.SetCell(colNewName, row, ExtractFileBase(name));
    table_.SetCell(colExt, row, ExtractFileExt(name));
  }
  RefreshList();
  RecordUndo(QStringLiteral("ファイル名をオリジナルに戻す"));
}

void TfrmMain::actClearExecute() {
  if (!ConfirmAction(QStringLiteral("list_clear"))) return;
  if (table_.RowCount() == 0) return;
  if (!AskYesNo(QStringLiteral("リストを初期化しても良いですか？"))) return;
  table_.Clear();
  RefreshList();
  RecordUndo(QStringLiteral("リスト初期化"));
}

}  // namespace tonbo
