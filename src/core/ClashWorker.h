#pragma once
// The clash check with the disk, off the window's thread: a slow disk
// never holds the window up. One check at a time; a newer table replaces one
// that has not started, and every answer carries the number of the table it
// was asked for, so the window keeps only the answer to its latest.
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
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
  // No answer comes after this. A check under way is waited for a moment;
  // one held up longer by the disk is left to end on its own.
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
  // Shared with the thread, which may outlive the worker.
  struct State {
    Done done;
    SeenFiles seen;  // only the worker's thread reads and writes it
    std::mutex mutex;
    std::condition_variable wake, ended;
    std::optional<Job> job;
    bool quit = false, finished = false;
  };
  static void Loop(State& state);

  std::shared_ptr<State> state_;
  std::thread thread_;
};

}  // namespace tonbo
