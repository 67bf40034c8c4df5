#include "core/RenamePlan.h"

#include <algorithm>
#include <string_view>

namespace tonbo {
namespace {

// The rows that leave, by place: open addressing over row numbers, so a run
// of a million files spends a few bytes a row here, not a node per name.
class LeavingRows {
 public:
  LeavingRows(int rows, const std::function<PlanPlace(int)>& from, const std::vector<char>& leaves)
      : from_(from) {
    int count = 0;
    for (int i = 0; i < rows; ++i) count += leaves[static_cast<size_t>(i)] != 0;
    size_t size = 16;
    while (size < static_cast<size_t>(count) * 2) size *= 2;
    slots_.assign(size, -1);
    for (int i = 0; i < rows; ++i)
      if (leaves[static_cast<size_t>(i)]) Add(i);
  }
  // The first row in the list that leaves `place`, or -1.
  int Find(const PlanPlace& place) const {
    for (size_t at = HashOf(place) & Mask();; at = (at + 1) & Mask()) {
      const int row = slots_[at];
      if (row < 0 || from_(row) == place) return row;
    }
  }

 private:
  size_t Mask() const { return slots_.size() - 1; }
  void Add(int row) {
    const PlanPlace place = from_(row);
    for (size_t at = HashOf(place) & Mask();; at = (at + 1) & Mask()) {
      const int held = slots_[at];
      if (held < 0) {
        slots_[at] = row;
        return;
      }
      if (from_(held) == place) return;  // two rows of one file: the first counts
    }
  }

  const std::function<PlanPlace(int)>& from_;
  std::vector<int> slots_;
};

void FindHolders(int rows, const std::function<PlanPlace(int)>& from,
                 const std::function<PlanPlace(int)>& to, const std::vector<char>& leaves,
                 RunPlan& plan) {
  const LeavingRows leaving(rows, from, leaves);
  plan.holder.assign(static_cast<size_t>(rows), -1);
  for (int i = 0; i < rows; ++i) {
    const PlanPlace target = to(i);
    if (target.name.empty()) continue;
    const int held = leaving.Find(target);
    if (held >= 0 && held != i) plan.holder[static_cast<size_t>(i)] = held;
  }
}

void ListWaiting(RunPlan& plan) {
  const size_t rows = plan.holder.size();
  plan.waitStart.assign(rows + 1, 0);
  for (int h : plan.holder)
    if (h >= 0) ++plan.waitStart[static_cast<size_t>(h) + 1];
  for (size_t j = 0; j < rows; ++j) plan.waitStart[j + 1] += plan.waitStart[j];
  plan.waiting.resize(static_cast<size_t>(plan.waitStart[rows]));
  std::vector<int> fill(plan.waitStart.begin(), plan.waitStart.end() - 1);
  for (size_t i = 0; i < rows; ++i)
    if (const int h = plan.holder[i]; h >= 0)
      plan.waiting[static_cast<size_t>(fill[static_cast<size_t>(h)]++)] = static_cast<int>(i);
}

// Every row has at most one holder, so the rings are found by walking each
// chain once (white, on the walk, finished).
void FindCycles(RunPlan& plan) {
  const size_t rows = plan.holder.size();
  plan.cycleOf.assign(rows, -1);
  std::vector<char> state(rows, 0);
  std::vector<int> walk;
  for (size_t start = 0; start < rows; ++start) {
    walk.clear();
    int at = static_cast<int>(start);
    while (at >= 0 && state[static_cast<size_t>(at)] == 0) {
      state[static_cast<size_t>(at)] = 1;
      walk.push_back(at);
      at = plan.holder[static_cast<size_t>(at)];
    }
    if (at >= 0 && state[static_cast<size_t>(at)] == 1) {
      // A ring from `at` to the end of the walk; it starts at its first row in the list.
      size_t first = walk.size();
      while (walk[--first] != at) {
      }
      int lowest = at;
      for (size_t k = first; k < walk.size(); ++k) lowest = std::min(lowest, walk[k]);
      std::vector<int> ring;
      int member = lowest;
      do {
        plan.cycleOf[static_cast<size_t>(member)] = static_cast<int>(plan.cycles.size());
        ring.push_back(member);
        member = plan.holder[static_cast<size_t>(member)];
      } while (member != lowest);
      plan.cycles.push_back(std::move(ring));
    }
    for (int w : walk) state[static_cast<size_t>(w)] = 2;
  }
}

}  // namespace

RunPlan PlanRun(int rows, const std::function<PlanPlace(int)>& from,
                const std::function<PlanPlace(int)>& to, const std::vector<char>& leaves) {
  RunPlan plan;
  FindHolders(rows, from, to, leaves, plan);
  ListWaiting(plan);
  FindCycles(plan);
  return plan;
}

RunPlan PlanRun(const std::vector<std::string_view>& from, const std::vector<std::string_view>& to,
                const std::vector<char>& leaves) {
  return PlanRun(
      static_cast<int>(from.size()),
      [&](int i) {
        return PlanPlace{0, from[static_cast<size_t>(i)]};
      },
      [&](int i) {
        return PlanPlace{0, to[static_cast<size_t>(i)]};
      },
      leaves);
}

}  // namespace tonbo
