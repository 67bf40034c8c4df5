#pragma once
// The replace dialog: replaces text in the new names of the selected entries,
// plainly or by a substitution command. Created once and kept; it stays open
// after each run so that several replacements can follow one another.
#include <QDialog>

#include <functional>

#include "commands/ReplaceNames.h"
#include "core/ListHost.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QTabWidget;

namespace tonbo {

class TfrmReplace : public QDialog {
  Q_OBJECT
 public:
  enum Page { pagePlain = 0, pageRegExp = 1 };

  explicit TfrmReplace(ListHost& host, QWidget* parent = nullptr);

  // The main window's commands: show the dialog (not modally) on a page.
  void ShowPage(Page page);
  // Whether explanations are switched on, asked when the help link is
  // clicked (on unless set).
  void SetExplanationsOn(std::function<bool()> on);

 public slots:
  void btnCopyClick();
  void btnEditSampleClick();
  void Button1Click();
  void lblHelpClick();
  void btnReExecuteClick();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void FormShow();
  // The controls as the replacement run reads them.
  ReplaceOptions Options() const;
  QWidget* BuildScope();
  QWidget* BuildPlainPage();
  QWidget* BuildRegExpPage();
  QLayout* BuildBottomRow();

  ListHost& host_;
  std::function<bool()> explanationsOn_;
  QButtonGroup* grpScope_ = nullptr;
  QTabWidget* page_ = nullptr;
  QLineEdit* edt1_ = nullptr;
  QLineEdit* edt2_ = nullptr;
  QCheckBox* chkUseCase_ = nullptr;
  QCheckBox* chkRepOne_ = nullptr;
  QComboBox* cmbSample_ = nullptr;
  QLineEdit* edtReKey_ = nullptr;
};

}  // namespace tonbo
