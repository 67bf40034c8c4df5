#include "app/TfrmProgress.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

#include "common/Escaped.h"
#include "common/Sjis.h"

namespace tonbo {
namespace {

constexpr int kNameWidth = 420;
constexpr int kBarSteps = 1000;

QString CountText(std::int64_t done, std::int64_t total) {
  if (total < 0) return QStringLiteral("%1 個のファイル").arg(done);
  return QStringLiteral("%1 / %2 個のファイル").arg(done).arg(total);
}

}  // namespace

TfrmProgress::TfrmProgress(QWidget* parent, const QString& caption, Clock clock)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      clock_(std::move(clock)),
      lblCount_(new QLabel(this)),
      lblName_(new QLabel(this)),
      barProgress_(new QProgressBar(this)),
      btnCancel_(new QPushButton(QStringLiteral("中止(&C)"), this)) {
  setObjectName(QStringLiteral("frmProgress"));
  setWindowTitle(caption);
  // Shown while the work runs inside the command: the other windows take no
  // input meanwhile, so nothing can change the list under the work.
  setWindowModality(Qt::ApplicationModal);
  if (!clock_) {
    elapsed_.start();
    clock_ = [this] { return elapsed_.elapsed(); };
  }
  lblCount_->setObjectName(QStringLiteral("lblCount"));
  lblName_->setObjectName(QStringLiteral("lblName"));
  lblName_->setFixedWidth(kNameWidth);
  lblName_->setTextFormat(Qt::PlainText);
  barProgress_->setObjectName(QStringLiteral("barProgress"));
  barProgress_->setTextVisible(false);
  btnCancel_->setObjectName(QStringLiteral("btnCancel"));
  connect(btnCancel_, &QPushButton::clicked, this, &TfrmProgress::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lblCount_);
  layout->addWidget(lblName_);
  layout->addWidget(barProgress_);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(btnCancel_);
  layout->addLayout(buttons);
}

bool TfrmProgress::Step(std::int64_t done, std::int64_t total, const std::string& sjisName) {
  if (finished_) {
    finished_ = false;
    cancelled_ = false;
    started_ = -1;
    btnCancel_->setEnabled(true);
  }
  if (cancelled_) return false;
  const std::int64_t now = clock_();
  if (started_ < 0) {
    started_ = shown_ = now;
    return true;
  }
  if (now - shown_ < kUpdateEveryMs) return true;
  if (!isVisible() && now - started_ < kShowAfterMs) return true;
  shown_ = now;
  Show(done, total, sjisName);
  // The one place where the window system gets in during the work: the
  // button, repainting, moving the window.
  QCoreApplication::processEvents();
  return !cancelled_;
}

void TfrmProgress::Show(std::int64_t done, std::int64_t total, const std::string& sjisName) {
  lblCount_->setText(CountText(done, total));
  const QString name = WithControlPictures(enc::FromSjis(sjisName));
  lblName_->setText(lblName_->fontMetrics().elidedText(name, Qt::ElideMiddle, kNameWidth));
  if (total > 0) {
    barProgress_->setRange(0, kBarSteps);
    barProgress_->setValue(static_cast<int>(std::min(done, total) * kBarSteps / total));
  } else {
    barProgress_->setRange(0, 0);  // moving bar: the end is not known yet
  }
  if (!isVisible()) show();
}

void TfrmProgress::Finish() {
  finished_ = true;
  hide();
}

void TfrmProgress::SetStoppable(bool stoppable) {
  stoppable_ = stoppable;
  btnCancel_->setVisible(stoppable);
}

void TfrmProgress::reject() {
  if (!stoppable_) return;
  cancelled_ = true;
  btnCancel_->setEnabled(false);
}

}  // namespace tonbo
