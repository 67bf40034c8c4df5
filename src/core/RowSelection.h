#pragma once
// Which rows of the list are selected, held as runs of neighbouring rows, so
// that selecting, clearing or reversing every row of a large list and keeping
// the selection with each history entry costs a few numbers, not a cell per row.
#include <vector>

namespace tonbo {

class TRowSelection {
 public:
  struct Run {
    int first;
    int last;  // inclusive
    bool operator==(const Run&) const = default;
  };

  TRowSelection() = default;
  // Runs in any order, overlapping or not; rows at or past `rowLimit` and
  // below 0 are left out.
  static TRowSelection FromRuns(std::vector<Run> runs, int rowLimit);
  // Rows in any order.
  static TRowSelection FromRows(const std::vector<int>& rows, int rowLimit);

  const std::vector<Run>& Runs() const { return runs_; }
  bool Contains(int row) const;
  int Count() const;
  bool Empty() const { return runs_.empty(); }
  // The selected rows in ascending order.
  std::vector<int> Rows() const;
  bool operator==(const TRowSelection&) const = default;

 private:
  std::vector<Run> runs_;  // ascending, disjoint, not touching
};

}  // namespace tonbo
