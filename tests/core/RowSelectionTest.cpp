// Selections as runs of rows, against a plain set of rows.
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <vector>

#include "core/RowSelection.h"

namespace tonbo {
namespace {

using SelRun = TRowSelection::Run;

TEST(RowSelection, RunsAreSortedJoinedAndClippedToTheRows) {
  const TRowSelection s = TRowSelection::FromRuns({{8, 9}, {-3, 1}, {2, 2}, {5, 6}, {6, 20}}, 12);
  EXPECT_EQ(s.Runs(), (std::vector<SelRun>{{0, 2}, {5, 11}}));
  EXPECT_EQ(s.Count(), 10);
  EXPECT_TRUE(TRowSelection::FromRuns({{3, 5}}, 0).Empty());
  EXPECT_EQ(TRowSelection::FromRows({4, 1, 2, 4, 7}, 100).Runs(),
            (std::vector<SelRun>{{1, 2}, {4, 4}, {7, 7}}));
}

TEST(RowSelection, RandomRunsReadAsTheSetOfTheirRows) {
  std::mt19937 rng(7);
  for (int round = 0; round < 200; ++round) {
    const int limit = static_cast<int>(rng() % 60);
    std::vector<SelRun> runs;
    std::set<int> rows;
    for (int k = static_cast<int>(rng() % 8); k > 0; --k) {
      const int first = static_cast<int>(rng() % 70) - 5;
      const int last = first + static_cast<int>(rng() % 10) - 2;
      runs.push_back({first, last});
      for (int r = first; r <= last; ++r)
        if (r >= 0 && r < limit) rows.insert(r);
    }
    const TRowSelection s = TRowSelection::FromRuns(runs, limit);
    EXPECT_EQ(s.Rows(), std::vector<int>(rows.begin(), rows.end()));
    EXPECT_EQ(s.Count(), static_cast<int>(rows.size()));
    for (int r = -2; r < limit + 2; ++r) EXPECT_EQ(s.Contains(r), rows.count(r) == 1) << r;
    for (size_t i = 1; i < s.Runs().size(); ++i)
      EXPECT_GT(s.Runs()[i].first, s.Runs()[i - 1].last + 1) << "runs must not touch";
    EXPECT_EQ(TRowSelection::FromRows(s.Rows(), limit), s);
  }
}

}  // namespace
}  // namespace tonbo
