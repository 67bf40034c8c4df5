#pragma once
// The same-name question: a file already has the name a file is to get.
#include <QDialog>

#include "core/RenameExecutor.h"

class QButtonGroup;
class QLineEdit;

namespace tonbo {

class TfrmSelect : public QDialog {
  Q_OBJECT
 public:
  explicit TfrmSelect(QWidget* parent = nullptr);

  // Shows the target; the method chosen last time stays selected.
  void SetTarget(const QString& path);
  ConflictAnswer Answer() const { return answer_; }
  void SetMethod(ConflictMethod method);

 signals:
  // "ヘルプ(&H)": the owner shows the explanation for "dlg_overwrite".
  void helpRequested();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void Finish(ConflictButton button);

  QLineEdit* edtFilename_;
  QButtonGroup* qMethod_;
  ConflictAnswer answer_;
};

}  // namespace tonbo
