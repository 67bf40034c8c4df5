#include "core/RowSelection.h"

#include <algorithm>

namespace tonbo {

TRowSelection TRowSelection::FromRuns(std::vector<Run> runs, int rowLimit) {
  std::sort(runs.begin(), runs.end(), [](const Run& a, const Run& b) { return a.first < b.first; });
  TRowSelection out;
  for (Run run : runs) {
    run.first = std::max(run.first, 0);
    run.last = std::min(run.last, rowLimit - 1);
    if (run.first > run.last) continue;
    // Touching or overlapping runs become one.
    if (!out.runs_.empty() && run.first <= out.runs_.back().last + 1) {
      out.runs_.back().last = std::max(out.runs_.back().last, run.last);
    } else {
      out.runs_.push_back(run);
    }
  }
  return out;
}

TRowSelection TRowSelection::FromRows(const std::vector<int>& rows, int rowLimit) {
  std::vector<Run> runs;
  runs.reserve(rows.size());
  for (int row : rows) runs.push_back({row, row});
  return FromRuns(std::move(runs), rowLimit);
}

bool TRowSelection::Contains(int row) const {
  auto it = std::upper_bound(runs_.begin(), runs_.end(), row,
                             [](int r, const Run& run) { return r < run.first; });
  return it != runs_.begin() && row <= std::prev(it)->last;
}

int TRowSelection::Count() const {
  int count = 0;
  for (const Run& run : runs_) count += run.last - run.first + 1;
  return count;
}

std::vector<int> TRowSelection::Rows() const {
  std::vector<int> rows;
  rows.reserve(static_cast<size_t>(Count()));
  for (const Run& run : runs_)
    for (int row = run.first; row <= run.last; ++row) rows.push_back(row);
  return rows;
}

}  // namespace tonbo
