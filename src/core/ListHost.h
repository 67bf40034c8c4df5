#pragma once
// What the list dialogs (replace, select by condition, the name grid) may do
// with the main window: read and change the file table and the list's
// selection, rebuild the list, record history, report in the status bar.
#include <QString>

#include <string>
#include <vector>

#include "core/CsvDb.h"
#include "core/UndoList.h"

namespace tonbo {

class ListHost {
 public:
  virtual ~ListHost() = default;
  virtual TCsvDb& Table() = 0;
  // Rows whose list items are selected, in table order.
  virtual std::vector<int> SelectedRows() const = 0;
  // Replaces the selection.
  virtual void SelectRows(const std::vector<int>& rows) = 0;
  virtual void RefreshList() = 0;
  // Records the table in the history; packs the table first, so views into
  // it end here.
  virtual void RecordUndo(const QString& label) = 0;
  // A naming step (recipe lines), kept for recipes with the next RecordUndo's entry.
  virtual void NoteSteps(TStepLines /*steps*/) {}
  virtual void SetStatusText(int panel, const QString& text) = 0;
  // The explanation page of a key (with or without the omit box).
  virtual bool ShowExplanation(const QString& key, bool showOmit) = 0;
  // "拡張子の変更をしない" is on.
  virtual bool ExtNotChange() const = 0;
  // Lets the window handle pending events during long runs.
  virtual void ProcessEvents() = 0;
};

}  // namespace tonbo
