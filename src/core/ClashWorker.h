#pragma once
// The clash check with the disk, off the window's thread: a slow disk
// never holds the window up. One check at a time; a newer table replaces one
// that has not started, and every answer carries the number of the table it
// was asked for, so the window keeps only the answer to its latest.
#include <cstdint>
#include <functional>

#include "core/CsvDb.h"
#include "core/LatestJobThread.h"
#include "core/RunClashes.h"

namespace tonbo {

class ClashWorker {
 public:
  // Called on the worker's thread. The table comes back with the answer, so
  // the caller lets go of it on its own thread, after the check's last read.
  using Done = std::function<void(std::uint64_t generation, ClashCheck check, TCsvDb table)>;

  // No answer comes after the worker is gone.
  explicit ClashWorker(Done done);

  // table: a copy of the list (copies share their cells until written).
  void Post(std::uint64_t generation, TCsvDb table);

 private:
  struct Job {
    std::uint64_t generation;
    TCsvDb table;
  };
  LatestJobThread<Job> thread_;
};

}  // namespace tonbo
