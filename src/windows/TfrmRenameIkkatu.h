#pragma once
// The name grid editor: every list entry in a grid, so that the new names of
// many entries can be typed, or pasted as a column copied from a
// spreadsheet. Closing it after a change writes the names back to the table.
#include <QDialog>
#include <QString>

#include <string>
#include <vector>

#include "core/ListHost.h"

class QTableWidget;

namespace tonbo {

class TfrmRenameIkkatu : public QDialog {
  Q_OBJECT
 public:
  explicit TfrmRenameIkkatu(ListHost& host, QWidget* parent = nullptr);

  // The main window's command: fills the grid from the table and edits modally.
  void Execute();
  // A new-name cell was changed by typing or pasting since the last reset.
  bool Modified() const { return modified_; }

 public slots:
  void mnuResetClick();
  void mnuPasteClick();
  void mnuSaveClick();
  void mnuCloseClick();
  // The cursor moved to a cell: only new names can be selected; a move to
  // another column goes to the new name of the same row.
  void grdListSelectCell(int row, int column);
  // The text in a cell's editor changed.
  void grdListSetEditText(int row, int column, const QString& text);

 protected:
  // Every way of closing ends here.
  void done(int result) override;

 private:
  void CreateMenus();
  void CreateGrid();
  void FormClose();
  std::vector<std::vector<std::string>> GridCells() const;

  ListHost& host_;
  QTableWidget* grdList_ = nullptr;
  bool modified_ = false;
  QString textBeforeEdit_;
};

}  // namespace tonbo
