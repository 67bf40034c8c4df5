#include "core/TakenWorker.h"

#include <chrono>
#include <utility>

#include "common/Sjis.h"

namespace tonbo {
namespace {

// How long closing the window waits for a file under way.
constexpr std::chrono::seconds kEndWait{2};
// A batch goes back at this many files, or sooner when reading is slow, so
// the column fills in as the files are read.
constexpr size_t kBatchFiles = 64;
constexpr std::chrono::milliseconds kBatchTime{30};

}  // namespace

TakenWorker::TakenWorker(Done done, Read read) : state_(std::make_shared<State>()) {
  state_->done = std::move(done);
  state_->read = read ? std::move(read) : Read(TTakenTimes::ReadPacked);
  thread_ = std::thread([state = state_] { Loop(*state); });
}

TakenWorker::~TakenWorker() {
  std::unique_lock<std::mutex> lock(state_->mutex);
  state_->quit = true;
  state_->job.reset();
  state_->wake.notify_one();
  const bool ended = state_->ended.wait_for(lock, kEndWait, [this] { return state_->finished; });
  lock.unlock();
  if (ended)
    thread_.join();
  else
    thread_.detach();
}

void TakenWorker::Post(std::uint64_t generation, TCsvDb table, std::vector<int> rows) {
  std::optional<Job> dropped;  // let go of outside the lock
  {
    const std::lock_guard<std::mutex> lock(state_->mutex);
    dropped.swap(state_->job);
    state_->job.emplace(Job{generation, std::move(table), std::move(rows)});
  }
  state_->wake.notify_one();
}

void TakenWorker::Loop(State& state) {
  for (;;) {
    std::optional<Job> job;
    {
      std::unique_lock<std::mutex> lock(state.mutex);
      state.wake.wait(lock, [&state] { return state.quit || state.job; });
      if (state.quit) break;
      job.swap(state.job);
    }
    if (!ReadJob(state, *job)) break;
  }
  const std::lock_guard<std::mutex> lock(state.mutex);
  state.finished = true;
  state.ended.notify_all();
}

// False once the worker is gone.
bool TakenWorker::ReadJob(State& state, const Job& job) {
  using Clock = std::chrono::steady_clock;
  std::vector<TTakenTimes::Dated> batch;
  Clock::time_point sent = Clock::now();
  for (size_t i = 0; i < job.rows.size(); ++i) {
    const std::string_view sjisPath = job.table.GetCell(colPath, job.rows[i]);
    batch.push_back({TTakenTimes::Key(sjisPath), state.read(enc::SjisToDisk(sjisPath))});
    if (i + 1 < job.rows.size() && batch.size() < kBatchFiles && Clock::now() - sent < kBatchTime)
      continue;
    // Under the lock: once the worker is gone, no answer is given.
    const std::lock_guard<std::mutex> lock(state.mutex);
    if (state.quit) return false;
    state.done(job.generation, std::move(batch));
    batch.clear();
    sent = Clock::now();
    if (state.job) return true;  // a newer list: this one is not read on
  }
  return true;
}

}  // namespace tonbo
