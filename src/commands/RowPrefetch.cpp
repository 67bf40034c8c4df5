#include "commands/RowPrefetch.h"

#include <algorithm>

namespace tonbo {

int RowPrefetch::ThreadsFor(int rows) {
  if (rows < 2) return 0;
  const int cores = static_cast<int>(std::thread::hardware_concurrency());
  return std::clamp(cores, 1, 4);
}

RowPrefetch::RowPrefetch(int rows, int threads, int batch, int ahead, Work work)
    : rows_(rows),
      batch_(std::max(batch, 1)),
      ahead_(std::max(ahead, 1)),
      threads_(std::max(threads, 0)),
      work_(std::move(work)),
      finished_(new std::atomic<char>[static_cast<size_t>(std::max(rows, 0))]()),
      errors_(static_cast<size_t>(std::max(rows, 0))) {
  pool_.reserve(static_cast<size_t>(threads_));
  for (int t = 0; t < threads_; ++t) pool_.emplace_back([this, t] { Run(t); });
}

RowPrefetch::~RowPrefetch() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  room_.notify_all();
  for (std::thread& t : pool_) t.join();
}

void RowPrefetch::Run(int worker) {
  const auto room = [&] { return stop_ || next_ >= rows_ || next_ < awaited_.load() + ahead_; };
  std::unique_lock lock(mutex_);
  for (;;) {
    if (!room()) {
      // Counted before the last look, so that the caller either sees the
      // count or this thread sees the caller's progress.
      ++threadsSleeping_;
      room_.wait(lock, room);
      --threadsSleeping_;
    }
    if (stop_ || next_ >= rows_) return;
    const int first = next_;
    const int end = std::min({rows_, first + batch_, awaited_.load() + ahead_});
    next_ = end;
    lock.unlock();
    for (int row = first; row < end; ++row) {
      try {
        work_(row, worker, true);
      } catch (...) {
        errors_[static_cast<size_t>(row)] = std::current_exception();
      }
    }
    for (int row = first; row < end; ++row) finished_[static_cast<size_t>(row)].store(1);
    lock.lock();
    if (callerSleeps_.load()) done_.notify_all();
  }
}

void RowPrefetch::Await(int row) {
  std::atomic<char>& finished = finished_[static_cast<size_t>(row)];
  if (!finished.load()) {
    std::unique_lock lock(mutex_);
    if (row >= next_) {
      next_ = row + 1;
      lock.unlock();
      work_(row, threads_, false);
    } else if (!finished.load()) {
      callerSleeps_ = true;
      done_.wait(lock, [&] { return finished.load() != 0; });
      callerSleeps_ = false;
    }
  }
  awaited_ = row + 1;
  if (threadsSleeping_.load() > 0) {
    std::lock_guard lock(mutex_);
    room_.notify_all();
  }
  if (errors_[static_cast<size_t>(row)]) std::rethrow_exception(errors_[static_cast<size_t>(row)]);
}

}  // namespace tonbo
