#pragma once
// The clash check with the disk, off the window's thread: a slow disk
// never holds the window up. One check at a time; a newer table replaces one
// that has not started, and every answer carries the number of the table it
// was asked for, so the window keeps only the answer to its latest.
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

#include "core/CsvDb.h"
#include "core/RunClashes.h"

namespace tonbo {

class ClashWorker {
 public:
  // Called on the worker's thread. The table comes back with the answer, so
  // the caller lets go of it on its own thread, after the check's last read.
  using Done = std::function<void(std::uint64_t generation, ClashCheck check, TCsvDb table)>;

  explicit ClashWorker(Done done);
  // Waits for the check under way; one not started is dropped.
  ~ClashWorker();
  ClashWorker(const ClashWorker&) = delete;
  ClashWorker& operator=(const ClashWorker&) = delete;

  // table: a copy of the list (copies share their cells until written).
  void Post(std::uint64_t generation, TCsvDb table);

 private:
  struct Job {
    std::uint64_t generation;
    TCsvDb table;
  };
  void Loop();

  Done done_;
  SeenFiles seen_;  // only the worker's thread reads and writes it
  std::mutex mutex_;
  std::condition_variable wake_;
  std::optional<Job> job_;
  bool quit_ = false;
  std::thread thread_;  // last: starts once the members above are made
};

}  // namespace tonbo
