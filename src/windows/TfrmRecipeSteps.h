#pragma once
// "手順を保存": the history entries that carry steps, each with its lines,
// checked as one unbroken run. Checking an entry stretches the run to it;
// unchecking one drops it and, in the middle, the entries after it.
#include <QDialog>

#include "common/Dialogs.h"

class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace tonbo {

class TfrmRecipeSteps : public QDialog {
  Q_OBJECT
 public:
  TfrmRecipeSteps(const QString& caption, const QList<StepEntry>& entries, StepRange range,
                  QWidget* parent = nullptr);
  StepRange Range() const { return range_; }

 public Q_SLOTS:
  void lstStepsChange(QTreeWidgetItem* item, int column);

 private:
  // The check boxes and OK as the run stands.
  void ShowRange();

  QTreeWidget* lstSteps_ = nullptr;
  QPushButton* btnOk_ = nullptr;
  StepRange range_;
};

}  // namespace tonbo
