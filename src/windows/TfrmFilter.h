#pragma once
// "条件から選択": sets the main list's selection from a condition on each
// entry. Created once with the main window and shown non-modally; a run
// closes it, an error leaves it open.
#include <QDialog>

#include <vector>

#include "commands/FilterSelect.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace tonbo {

class ListHost;

class TfrmFilter : public QDialog {
  Q_OBJECT
 public:
  explicit TfrmFilter(ListHost& host, QWidget* parent = nullptr);

  // actSelectWildcardExecute: shows the dialog non-modally, in front.
  void Open();  // NOLINT(bugprone-virtual-near-miss): modeless, unlike QDialog::open
  // The condition as the controls hold it now.
  FilterOptions Options() const;

 public slots:
  // Runs the selection over every entry (recorded as "条件選択").
  void btnExecuteClick();
  // Opens doc/find.txt of the program folder with its associated program.
  void btnHelpClick();
  // The two options exclude each other: checking one unchecks the other.
  void chkWildcardClick(bool checked);
  void chkRegExpClick(bool checked);

 private:
  QLayout* BuildCondition();
  QLayout* BuildButtons();
  void Run(const FilterOptions& options);
  // Rows decided so far take their new state; the rest keep theirs.
  void ApplySelection(const std::vector<bool>& decided);

  ListHost& host_;
  bool running_ = false;
  QComboBox* cmbScope_ = nullptr;
  QLineEdit* edtKey_ = nullptr;
  QComboBox* cmbInclude_ = nullptr;
  QCheckBox* chkWildcard_ = nullptr;
  QCheckBox* chkRegExp_ = nullptr;
  QCheckBox* chkUseCase_ = nullptr;
  QPushButton* btnExecute_ = nullptr;
  QPushButton* btnHelp_ = nullptr;
};

}  // namespace tonbo
