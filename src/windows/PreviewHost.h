#pragma once
// What the preview dialog may do with the main window: read and write rows
// of the file table, follow and move the list's selection, update single
// list items (without a history entry), and read the menu switches it needs.
#include <QString>

#include <string>

#include "core/CsvDb.h"

namespace tonbo {

class PreviewHost {
 public:
  virtual ~PreviewHost() = default;
  virtual TCsvDb& Table() = 0;
  // Items of the list view; the list shows the table's rows in table order,
  // an item's caption being its row's NewName.
  virtual int ItemCount() const = 0;
  // The list's selected item, -1 when none.
  virtual int SelectedIndex() const = 0;
  // Selects one item; -1 clears the selection.
  virtual void SetSelectedIndex(int item) = 0;
  // The row's cells changed: its list item shows them again.
  virtual void ItemChanged(int item) = 0;
  // "拡張子の変更をしない".
  virtual bool ExtNotChange() const = 0;
  // "音楽・動画ファイルを順に見る".
  virtual bool PlayListChecked() const = 0;
  virtual void SetPlayListChecked(bool on) = 0;
  virtual void PlayEffectSound(int kind) = 0;
  virtual bool ShowExplanation(const QString& key, bool showOmit) = 0;
  // A typed name replaced the row's name (NewName with Ext, code page 932):
  // kept for recipes as what it did to that name.
  virtual void NameTyped(int /*row*/, const std::string& /*sjisBefore*/) {}
};

}  // namespace tonbo
