#pragma once
// A thread that works on the newest job it is given: a job posted while
// another waits replaces it, and once the owner is gone no answer is given.
// The clash check and the reading of dates taken share it, so a slow disk
// never holds the window up.
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>

namespace tonbo {

template <class Job>
class LatestJobThread {
  struct State;

 public:
  enum class Answered { Given, NewerWaits, OwnerGone };
  // What a job's work uses to hand back an answer.
  class Reply {
   public:
    // Runs give under the lock unless the owner is gone; says whether a
    // newer job now waits, so long work can stop early.
    template <class Give>
    Answered Answer(Give&& give) {
      const std::lock_guard<std::mutex> lock(state_.mutex);
      if (state_.quit) return Answered::OwnerGone;
      give();
      return state_.job ? Answered::NewerWaits : Answered::Given;
    }

   private:
    friend class LatestJobThread;
    explicit Reply(State& state) : state_(state) {}
    State& state_;
  };
  // Called on the thread; false once the owner is gone.
  using Work = std::function<bool(Job& job, Reply& reply)>;

  explicit LatestJobThread(Work work) : state_(std::make_shared<State>()) {
    state_->work = std::move(work);
    thread_ = std::thread([state = state_] { Loop(*state); });
  }
  // Work under way is waited for a moment; work held up longer by the disk
  // is left to end on its own.
  ~LatestJobThread() {
    std::unique_lock<std::mutex> lock(state_->mutex);
    state_->quit = true;
    state_->job.reset();
    state_->wake.notify_one();
    const bool ended =
        state_->ended.wait_for(lock, std::chrono::seconds(2), [this] { return state_->finished; });
    lock.unlock();
    if (ended)
      thread_.join();
    else
      thread_.detach();
  }
  LatestJobThread(const LatestJobThread&) = delete;
  LatestJobThread& operator=(const LatestJobThread&) = delete;

  void Post(Job job) {
    std::optional<Job> dropped;  // let go of outside the lock
    {
      const std::lock_guard<std::mutex> lock(state_->mutex);
      dropped.swap(state_->job);
      state_->job.emplace(std::move(job));
    }
    state_->wake.notify_one();
  }

 private:
  // Shared with the thread, which may outlive its owner.
  struct State {
    Work work;
    std::mutex mutex;
    std::condition_variable wake, ended;
    std::optional<Job> job;
    bool quit = false, finished = false;
  };

  static void Loop(State& state) {
    Reply reply(state);
    for (;;) {
      std::optional<Job> job;
      {
        std::unique_lock<std::mutex> lock(state.mutex);
        state.wake.wait(lock, [&state] { return state.quit || state.job; });
        if (state.quit) break;
        job.swap(state.job);
      }
      if (!state.work(*job, reply)) break;
    }
    const std::lock_guard<std::mutex> lock(state.mutex);
    state.finished = true;
    state.ended.notify_all();
  }

  std::shared_ptr<State> state_;
  std::thread thread_;
};

}  // namespace tonbo
