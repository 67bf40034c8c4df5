#pragma once
// The order of a rename run, settled before the first change. A row whose
// target is the path of another listed file that this run moves away (by a
// rename or to the trash) waits until that file has gone; rows that wait for
// each other in a ring (a swap, a rotation) form a cycle, opened by parking
// its first row under a temporary name.
#include <cstddef>
#include <cstdint>
#include <functional>
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

// A file's place: a folder (any number that tells folders apart) and its
// name there.
struct PlanPlace {
  std::uint32_t folder = 0;
  std::string_view name;
  bool operator==(const PlanPlace& o) const { return folder == o.folder && name == o.name; }
};

// For tables of places by open addressing.
inline size_t HashOf(const PlanPlace& p) {
  return std::hash<std::string_view>()(p.name) ^ (p.folder * 0x9e3779b97f4a7c15ULL);
}

// from(i): row i's place; to(i): the target of a renamed row, an empty name
// for the other rows; leaves: the row's file leaves its place (renamed or
// trashed). A row's target is in its own folder. Linear in the number of
// rows, and holds no copy of the names.
RunPlan PlanRun(int rows, const std::function<PlanPlace(int)>& from,
                const std::function<PlanPlace(int)>& to, const std::vector<char>& leaves);

// The same on full paths.
RunPlan PlanRun(const std::vector<std::string_view>& from, const std::vector<std::string_view>& to,
                const std::vector<char>& leaves);

}  // namespace tonbo
