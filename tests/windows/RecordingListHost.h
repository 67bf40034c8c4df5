#pragma once
// A ListHost over a table of its own for the list dialogs' tests: it keeps
// the selection, and records what the dialog asked of the main window in
// order, with the table as it was at each history entry.
#include <QString>
#include <QStringList>

#include <string>
#include <utility>
#include <vector>

#include "common/Sjis.h"
#include "core/CsvDb.h"
#include "core/ListHost.h"

namespace tonbo::test {

class RecordingListHost : public ListHost {
 public:
  TCsvDb table;
  std::vector<int> selected;
  QStringList calls;              // "refresh", "undo 文字列の置換", "explain replace 0", ...
  std::vector<TCsvDb> snapshots;  // the table at each RecordUndo
  bool extNotChange = true;
  TStepLines steps;  // what NoteSteps was given

  // Rows named name + ext in /d/, new names as on disk.
  void AddFiles(const std::vector<std::pair<const char*, const char*>>& files) {
    for (const auto& [name, ext] : files) {
      const int r = table.RowCount();
      table.SetCell(colNewName, r, enc::Lit(name));
      table.SetCell(colExt, r, enc::Lit(ext));
      table.SetCell(colPath, r, enc::Lit(std::string("/d/") + name + ext));
    }
  }
  // "NewName|Ext" of a row, in UTF-8.
  std::string Row(int r) const {
    return (enc::FromSjis(table.GetCell(colNewName, r)) + "|" +
            enc::FromSjis(table.GetCell(colExt, r)))
        .toStdString();
  }

  TCsvDb& Table() override { return table; }
  std::vector<int> SelectedRows() const override { return selected; }
  void SelectRows(const std::vector<int>& rows) override { selected = rows; }
  void RefreshList() override { calls << QStringLiteral("refresh"); }
  void RecordUndo(const QString& label) override {
    calls << QStringLiteral("undo ") + label;
    snapshots.push_back(table);
  }
  void NoteSteps(TStepLines noted) override {
    steps.insert(steps.end(), noted.begin(), noted.end());
  }
  void SetStatusText(int panel, const QString& text) override {
    calls << QStringLiteral("status%1 ").arg(panel) + text;
  }
  bool ShowExplanation(const QString& key, bool showOmit) override {
    calls << QStringLiteral("explain %1 %2").arg(key).arg(showOmit ? 1 : 0);
    return true;
  }
  bool ExtNotChange() const override { return extNotChange; }
  void ProcessEvents() override {}
};

}  // namespace tonbo::test
