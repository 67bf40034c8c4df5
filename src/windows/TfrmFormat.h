#pragma once
// The rename rule settings: random, serial-number and date naming. The
// dialog is the live store of these settings; the commands take a copy with
// Rules() at the moment they run, and the combination commands put changed
// values in with SetRules() for one run.
#include <QDialog>

#include "core/IniFile.h"
#include "text/RenameRules.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QSpinBox;
class QTabWidget;

namespace tonbo {

class TfrmFormat : public QDialog {
  Q_OBJECT
 public:
  explicit TfrmFormat(QWidget* parent = nullptr);

  RenameRules Rules() const;
  // Numbers and choices out of range are brought into range.
  void SetRules(const RenameRules& rules);
  void LoadSettings(const TIniFileEx& ini);
  void SaveSettings(TIniFileEx& ini) const;

 public slots:
  // 101 serial names from the first number, for "FileName" and now.
  void btnRenbanTestClick();
  // Date names for serials 1 to 30 and now.
  void btnDateTestClick();

 signals:
  // "ファイル名に使える文字について": the owner explains "filename".
  void helpRequested();

 private:
  QWidget* BuildRandomPage();
  QWidget* BuildRenbanPage();
  QWidget* BuildDatePage();
  QGroupBox* BuildRenbanNumberGroup(QWidget* page);
  QGroupBox* BuildRenbanPatternGroup(QWidget* page);
  QGroupBox* BuildDateSerialGroup(QWidget* page);
  QLayout* BuildBottomRow();

  QTabWidget* pages_ = nullptr;
  QSpinBox* spnRandomFrom_ = nullptr;
  QSpinBox* spnRandomTo_ = nullptr;
  QCheckBox* chkRandomLower_ = nullptr;
  QCheckBox* chkRandomUpper_ = nullptr;
  QCheckBox* chkRandomNum_ = nullptr;
  QCheckBox* chkRandomSymbol_ = nullptr;
  QCheckBox* chkRandomHira_ = nullptr;
  QCheckBox* chkRandomKana_ = nullptr;
  QSpinBox* spnRenbanLength_ = nullptr;
  QSpinBox* spnRenbanStart_ = nullptr;
  QLineEdit* edtRenbanHeader_ = nullptr;
  QLineEdit* edtRenbanFooter_ = nullptr;
  QButtonGroup* grpRenbanPattern_ = nullptr;
  QComboBox* cmbRenbanDate_ = nullptr;
  QComboBox* cmbRenbanOldName_ = nullptr;
  QPlainTextEdit* memRenbanSample_ = nullptr;
  QComboBox* cmbDateFormat_ = nullptr;
  QComboBox* cmbDateSource_ = nullptr;
  QSpinBox* spnDateKeta_ = nullptr;
  QSpinBox* spnDateStart_ = nullptr;
  QLineEdit* edtDateSplitter_ = nullptr;
  QLineEdit* edtDateHeader_ = nullptr;
  QLineEdit* edtDateFooter_ = nullptr;
  QPlainTextEdit* memDate_ = nullptr;
};

}  // namespace tonbo
