#include "core/ClashWorker.h"

#include <chrono>
#include <utility>

namespace tonbo {
namespace {

// How long closing the window waits for a check under way.
constexpr std::chrono::seconds kEndWait{2};

}  // namespace

ClashWorker::ClashWorker(Done done) : state_(std::make_shared<State>()) {
  state_->done = std::move(done);
  thread_ = std::thread([state = state_] { Loop(*state); });
}

ClashWorker::~ClashWorker() {
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

void ClashWorker::Post(std::uint64_t generation, TCsvDb table) {
  std::optional<Job> dropped;  // let go of outside the lock
  {
    const std::lock_guard<std::mutex> lock(state_->mutex);
    dropped.swap(state_->job);
    state_->job.emplace(Job{generation, std::move(table)});
  }
  state_->wake.notify_one();
}

void ClashWorker::Loop(State& state) {
  for (;;) {
    std::optional<Job> job;
    {
      std::unique_lock<std::mutex> lock(state.mutex);
      state.wake.wait(lock, [&state] { return state.quit || state.job; });
      if (state.quit) break;
      job.swap(state.job);
    }
    ClashCheck check = CheckClashesOnDisk(job->table, &state.seen);
    // Under the lock: once the worker is gone, no answer is given.
    const std::lock_guard<std::mutex> lock(state.mutex);
    if (state.quit) break;
    state.done(job->generation, std::move(check), std::move(job->table));
  }
  const std::lock_guard<std::mutex> lock(state.mutex);
  state.finished = true;
  state.ended.notify_all();
}

}  // namespace tonbo
