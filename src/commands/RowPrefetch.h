#pragma once
// Work on the rows of a run done by a few threads ahead of the caller, who
// takes the rows strictly in order: the results and their order are those of
// a plain loop, only sooner. Threads claim a batch of rows at a time and stay
// at most `ahead` rows before the caller; a row no thread has claimed yet
// when the caller reaches it is done by the caller itself.
#include <atomic>
#include <condition_variable>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace tonbo {

class RowPrefetch {
 public:
  // worker: 0..threads-1 for the threads, `threads` for the caller;
  // ahead: false when the caller itself does the row it has reached.
  using Work = std::function<void(int row, int worker, bool ahead)>;

  RowPrefetch(int rows, int threads, int batch, int ahead, Work work);
  // Stops the threads; rows not yet awaited are dropped.
  ~RowPrefetch();
  RowPrefetch(const RowPrefetch&) = delete;
  RowPrefetch& operator=(const RowPrefetch&) = delete;

  // Returns once row (the next one in order) is done; rethrows what doing it threw.
  void Await(int row);

  // Threads worth starting for this many rows on this machine.
  static int ThreadsFor(int rows);

 private:
  void Run(int worker);

  const int rows_, batch_, ahead_, threads_;
  const Work work_;
  std::mutex mutex_;
  std::condition_variable done_, room_;
  int next_ = 0;  // first row no one has claimed
  bool stop_ = false;
  // Read without the lock, so that a caller finding its row done and a
  // thread finding room ahead make no call to the system; each side says
  // when it sleeps, and is woken only then.
  std::atomic<int> awaited_{0};  // rows the caller has taken
  std::atomic<bool> callerSleeps_{false};
  std::atomic<int> threadsSleeping_{0};
  std::unique_ptr<std::atomic<char>[]> finished_;
  std::vector<std::exception_ptr> errors_;
  std::vector<std::thread> pool_;
};

}  // namespace tonbo
