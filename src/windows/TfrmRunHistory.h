#pragma once
// "名前変更の履歴": the runs the journal keeps, newest first, each with its
// files when opened, and "この名前変更を元に戻す" for a run whose files are
// all where it left them. A run with a file that cannot go back (a newer run
// took it, it was written or moved) is refused whole, and the window says
// which newer runs are to be undone first.
#include <QDialog>

#include <functional>
#include <string>
#include <vector>

#include "core/RunHistory.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace tonbo {

class TfrmRunHistory : public QDialog {
  Q_OBJECT
 public:
  // Undoes one run (journal: disk path) moving all of its files or none.
  using Undoer = std::function<RecoveryResult(const std::string& journal)>;

  explicit TfrmRunHistory(QWidget* parent = nullptr);
  // The main window's undo: with its progress window, the files then listed.
  void SetUndoer(Undoer undoer) { undoer_ = std::move(undoer); }

  // The command: the list read afresh, shown modally.
  void Execute();
  // Reads the journal folder again; the run that was chosen stays chosen.
  void RefreshRuns();

 public Q_SLOTS:
  void btnUndoClick();
  void lstRunsExpanded(QTreeWidgetItem* item);
  void lstRunsChange();

 private:
  // The run of the item chosen (a file's item stands for its run), or null.
  const KeptRun* ChosenRun() const;
  void ChooseRun(const std::string& id);
  // The result of the last undo, in the window.
  void Say(const QString& text);
  // Why the run cannot be undone now, naming the newer runs in the way.
  QString Refusal(const KeptRun& run, const UndoPreview& preview);

  QTreeWidget* lstRuns_ = nullptr;
  QLabel* lblKeep_ = nullptr;
  QPlainTextEdit* memResult_ = nullptr;
  QPushButton* btnUndo_ = nullptr;
  QPushButton* btnClose_ = nullptr;
  std::vector<KeptRun> runs_;
  Undoer undoer_;
};

}  // namespace tonbo
