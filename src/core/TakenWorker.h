#pragma once
// The dates taken of the list's files, read off the window's thread: a slow
// file (a network mount) never holds the window up. One list at a time; a
// newer one takes over between two files. The dates come back in small
// batches, each with the number of the list it was asked for, so the window
// drops those for a list that has changed since.
#include <cstdint>
#include <functional>
#include <vector>

#include "core/CsvDb.h"
#include "core/LatestJobThread.h"
#include "core/TakenTimes.h"

namespace tonbo {

class TakenWorker {
 public:
  // Called on the worker's thread.
  using Done = std::function<void(std::uint64_t generation, std::vector<TTakenTimes::Dated>)>;
  // The packed date of a file (disk path), TTakenTimes::ReadPacked by default.
  using Read = std::function<std::uint64_t(const std::string& diskPath)>;

  // No answer comes after the worker is gone.
  explicit TakenWorker(Done done, Read read = {});

  // table: a copy of the list (copies share their cells until written);
  // rows: those to read.
  void Post(std::uint64_t generation, TCsvDb table, std::vector<int> rows);

 private:
  struct Job {
    std::uint64_t generation;
    TCsvDb table;
    std::vector<int> rows;
  };
  static bool ReadJob(const Done& done, const Read& read, const Job& job,
                      LatestJobThread<Job>::Reply& reply);

  LatestJobThread<Job> thread_;
};

}  // namespace tonbo
