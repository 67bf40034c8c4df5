// The list's column "撮影日時": the dates are read off the window's thread,
// and the sort by it waits for those still unread under a progress window.
#include <QCoreApplication>
#include <QMetaObject>
#include <QTableView>
#include <QTimer>

#include <algorithm>

#include "app/TfrmMain.h"

namespace tonbo {
namespace {

// How often the wait for the sort looks at its progress window though no
// date has come back (a slow file).
constexpr int kWaitTickMs = 50;

}  // namespace

void TfrmMain::ApplyTakenColumn() {
  const bool shown = Switch(MenuSwitch::mnuColTaken);
  listFile_->setColumnHidden(FileListModel::ColTaken, !shown);
  if (shown) {
    timerTaken_->start();
  } else {
    timerTaken_->stop();
    ++takenGeneration_;  // the dates still coming are dropped
    takenPending_ = 0;
    takenTimes_.Clear();  // hidden, it holds nothing
  }
}

void TfrmMain::PostTakenRead() {
  ++takenGeneration_;
  std::vector<int> rows = takenTimes_.Unread(table_);
  takenPending_ = rows.size();
  if (rows.empty()) return;
  if (!takenWorker_)
    takenWorker_ = std::make_unique<TakenWorker>(
        [this](std::uint64_t generation, std::vector<TTakenTimes::Dated> dates) {
          auto answer = std::make_shared<std::vector<TTakenTimes::Dated>>(std::move(dates));
          QMetaObject::invokeMethod(
              this, [this, generation, answer] { TakenAnswered(generation, *answer); },
              Qt::QueuedConnection);
        },
        takenRead_);
  takenWorker_->Post(takenGeneration_, table_, std::move(rows));
}

void TfrmMain::TakenAnswered(std::uint64_t generation,
                             const std::vector<TTakenTimes::Dated>& dates) {
  if (generation != takenGeneration_) return;  // the list changed since
  takenTimes_.Add(dates);
  takenPending_ -= std::min(takenPending_, dates.size());
  model_->TakenRead();
}

bool TfrmMain::ReadAllTakenTimes() {
  // A read asked but not posted yet, or one for a list changed since the
  // last answer, is asked now; one under way is waited for.
  if (timerTaken_->isActive() || takenPending_ == 0) {
    timerTaken_->stop();
    PostTakenRead();
  }
  if (takenPending_ == 0) return true;
  const auto total = static_cast<std::int64_t>(takenPending_);
  TfrmProgress progress(this, QStringLiteral("撮影日時の読み込み"), progressClock_);
  QTimer tick;  // wakes the wait below while a slow file holds the answers up
  tick.start(kWaitTickMs);
  while (takenPending_ > 0) {
    if (!progress.Step(total - static_cast<std::int64_t>(takenPending_), total, {})) break;
    // Until the progress window shows, the user's input waits, so nothing
    // changes the list under the sort; then the window keeps it off.
    QCoreApplication::processEvents(progress.isVisible() ? QEventLoop::WaitForMoreEvents
                                                         : QEventLoop::WaitForMoreEvents |
                                                               QEventLoop::ExcludeUserInputEvents);
  }
  progress.Finish();
  return takenPending_ == 0;
}

}  // namespace tonbo
