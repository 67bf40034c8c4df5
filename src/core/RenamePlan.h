#pragma once
// The order of a rename run, settled before the first change. A row whose
// target is the path of another listed file that this run moves away (by a
// rename or to the trash) waits until that file has gone; rows that wait for
// each other in a ring (a swap, a rotation) form a cycle, opened by parking
// its first row under a temporary name.
#include <string_view>
#include <vector>

namespace tonbo {

struct RunPlan {
  // Per row: the row whose file holds this row's target and leaves it, or -1.
  std::vector<int> holder;
  // The rows waiting for row j: waiting[waitStart[j] .. waitStart[j + 1]), in list order.
  std::vector<int> waitStart, waiting;
  // Per row: its cycle's index in cycles, or -1.
  std::vector<int> cycleOf;
  // Each cycle from its first row in the list, then the row holding that
  // row's target, and so on round the ring.
  std::vector<std::vector<int>> cycles;
};

// from: each row's path; to: the target of a renamed row, empty for the
// other rows; leaves: the row's file leaves its path (renamed or trashed).
// The paths of one row share its folder. Linear in the number of rows.
RunPlan PlanRun(const std::vector<std::string_view>& from, const std::vector<std::string_view>& to,
                const std::vector<char>& leaves);

}  // namespace tonbo
