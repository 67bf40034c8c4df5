#include "windows/TfrmRecipeSteps.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "windows/NameFont.h"

namespace tonbo {
namespace {

// A list step holds every row's names; the list shows its beginning.
constexpr qsizetype kShownChars = 300;

QString Shown(const QString& line) {
  return line.size() <= kShownChars ? line : line.left(kShownChars) + QStringLiteral("…");
}

QTreeWidgetItem* EntryItem(const StepEntry& entry) {
  auto* item = new QTreeWidgetItem(QStringList{entry.label});
  item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
  for (const QString& line : entry.lines) {
    auto* child = new QTreeWidgetItem(QStringList{Shown(line)});
    child->setToolTip(0, Shown(line));
    child->setFlags(child->flags() & ~Qt::ItemIsUserCheckable);
    item->addChild(child);
  }
  return item;
}

}  // namespace

TfrmRecipeSteps::TfrmRecipeSteps(const QString& caption, const QList<StepEntry>& entries,
                                 StepRange range, QWidget* parent)
    : QDialog(parent), range_(range) {
  setObjectName(QStringLiteral("frmRecipeSteps"));
  setWindowTitle(caption);
  resize(560, 420);
  lstSteps_ = new QTreeWidget(this);
  lstSteps_->setObjectName(QStringLiteral("lstSteps"));
  lstSteps_->setHeaderHidden(true);
  UseNameFont(lstSteps_);
  for (const StepEntry& entry : entries) lstSteps_->addTopLevelItem(EntryItem(entry));
  lstSteps_->expandAll();
  connect(lstSteps_, &QTreeWidget::itemChanged, this, &TfrmRecipeSteps::lstStepsChange);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  btnOk_ = buttons->button(QDialogButtonBox::Ok);
  btnOk_->setObjectName(QStringLiteral("btnOk"));
  buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("btnCancel"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QStringLiteral("保存する履歴にチェックを付けてください"
                                              "（続いた範囲の手順を順に保存します）："),
                               this));
  layout->addWidget(lstSteps_);
  layout->addWidget(buttons);
  ShowRange();
}

void TfrmRecipeSteps::lstStepsChange(QTreeWidgetItem* item, int /*column*/) {
  const int i = lstSteps_->indexOfTopLevelItem(item);
  if (i < 0) return;
  const bool checked = item->checkState(0) == Qt::Checked;
  if (checked == (i >= range_.first && i <= range_.last)) return;
  if (checked)
    range_ = range_.Empty() ? StepRange{i, i}
                            : StepRange{std::min(range_.first, i), std::max(range_.last, i)};
  else if (i == range_.first)
    range_.first = i + 1;
  else
    range_.last = i - 1;
  ShowRange();
}

void TfrmRecipeSteps::ShowRange() {
  const QSignalBlocker quiet(lstSteps_);
  for (int i = 0; i < lstSteps_->topLevelItemCount(); ++i)
    lstSteps_->topLevelItem(i)->setCheckState(
        0, i >= range_.first && i <= range_.last ? Qt::Checked : Qt::Unchecked);
  btnOk_->setEnabled(!range_.Empty());
}

}  // namespace tonbo
