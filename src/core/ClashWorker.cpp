#include "core/ClashWorker.h"

#include <utility>

namespace tonbo {

ClashWorker::ClashWorker(Done done) : done_(std::move(done)), thread_([this] { Loop(); }) {}

ClashWorker::~ClashWorker() {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    quit_ = true;
    job_.reset();
  }
  wake_.notify_one();
  thread_.join();
}

void ClashWorker::Post(std::uint64_t generation, TCsvDb table) {
  std::optional<Job> dropped;  // let go of outside the lock
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    dropped.swap(job_);
    job_.emplace(Job{generation, std::move(table)});
  }
  wake_.notify_one();
}

void ClashWorker::Loop() {
  for (;;) {
    std::optional<Job> job;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      wake_.wait(lock, [this] { return quit_ || job_; });
      if (quit_) return;
      job.swap(job_);
    }
    ClashCheck check = CheckClashesOnDisk(job->table, &seen_);
    done_(job->generation, std::move(check), std::move(job->table));
  }
}

}  // namespace tonbo
