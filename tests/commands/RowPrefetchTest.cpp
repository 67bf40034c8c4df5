#include "commands/RowPrefetch.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <vector>

namespace tonbo {
namespace {

TEST(RowPrefetch, EveryRowIsDoneOnceAndTakenInOrder) {
  for (const int threads : {0, 1, 3}) {
    const int rows = 500;
    std::vector<std::atomic<int>> done(rows);
    RowPrefetch prefetch(rows, threads, 7, 20, [&](int row, int worker, bool) {
      ASSERT_LE(worker, threads);
      done[static_cast<size_t>(row)]++;
    });
    for (int row = 0; row < rows; ++row) {
      prefetch.Await(row);
      ASSERT_EQ(done[static_cast<size_t>(row)].load(), 1)
          << "row " << row << " threads " << threads;
    }
  }
}

TEST(RowPrefetch, AFailureReachesTheCallerAtItsRowAndNotBefore) {
  RowPrefetch prefetch(50, 2, 4, 8, [](int row, int, bool) {
    if (row == 30) throw std::runtime_error("row 30");
  });
  for (int row = 0; row < 30; ++row) EXPECT_NO_THROW(prefetch.Await(row));
  EXPECT_THROW(prefetch.Await(30), std::runtime_error);
}

TEST(RowPrefetch, StaysWithinItsDistanceAndStopsWhenLeft) {
  std::atomic<int> highest{-1};
  {
    RowPrefetch prefetch(100000, 2, 4, 16, [&](int row, int, bool) {
      int seen = highest.load();
      while (row > seen && !highest.compare_exchange_weak(seen, row)) {
      }
    });
    prefetch.Await(0);
    prefetch.Await(1);
  }  // leaving must not wait for the other rows
  EXPECT_LT(highest.load(), 2 + 16 + 4);
}

}  // namespace
}  // namespace tonbo
