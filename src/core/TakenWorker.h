#pragma once
// The dates taken of the list's files, read off the window's thread: a slow
// file (a network mount) never holds the window up. One list at a time; a
// newer one takes over between two files. The dates come back in small
// batches, each with the number of the list it was asked for, so the window
// drops those for a list that has changed since.
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "core/CsvDb.h"
#include "core/TakenTimes.h"

namespace tonbo {

class TakenWorker {
 public:
  // Called on the worker's thread.
  using Done = std::function<void(std::uint64_t generation, std::vector<TTakenTimes::Dated>)>;
  // The packed date of a file (disk path), TTakenTimes::ReadPacked by default.
  using Read = std::function<std::uint64_t(const std::string& diskPath)>;

  explicit TakenWorker(Done done, Read read = {});
  // No answer comes after this. A file under way is waited for a moment; one
  // held up longer by the disk is left to end on its own.
  ~TakenWorker();
  TakenWorker(const TakenWorker&) = delete;
  TakenWorker& operator=(const TakenWorker&) = delete;

  // table: a copy of the list (copies share their cells until written);
  // rows: those to read.
  void Post(std::uint64_t generation, TCsvDb table, std::vector<int> rows);

 private:
  struct Job {
    std::uint64_t generation;
    TCsvDb table;
    std::vector<int> rows;
  };
  // Shared with the thread, which may outlive the worker.
  struct State {
    Done done;
    Read read;
    std::mutex mutex;
    std::condition_variable wake, ended;
    std::optional<Job> job;
    bool quit = false, finished = false;
  };
  static void Loop(State& state);
  static bool ReadJob(State& state, const Job& job);

  std::shared_ptr<State> state_;
  std::thread thread_;
};

}  // namespace tonbo
