#include "core/RenamePlan.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>

namespace tonbo {
namespace {

void FindHolders(const std::vector<std::string_view>& from, const std::vector<std::string_view>& to,
                 const std::vector<char>& leaves, RunPlan& plan) {
  const int rows = static_cast<int>(from.size());
  std::unordered_map<std::string_view, int> leaving;
  leaving.reserve(static_cast<size_t>(rows));
  for (int i = 0; i < rows; ++i)
    if (leaves[static_cast<size_t>(i)]) leaving.emplace(from[static_cast<size_t>(i)], i);
  plan.holder.assign(static_cast<size_t>(rows), -1);
  for (int i = 0; i < rows; ++i) {
    const std::string_view target = to[static_cast<size_t>(i)];
    if (target.empty()) continue;
    const auto it = leaving.find(target);
    if (it != leaving.end() && it->second != i) plan.holder[static_cast<size_t>(i)] = it->second;
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

RunPlan PlanRun(const std::vector<std::string_view>& from, const std::vector<std::string_view>& to,
                const std::vector<char>& leaves) {
  RunPlan plan;
  FindHolders(from, to, leaves, plan);
  ListWaiting(plan);
  FindCycles(plan);
  return plan;
}

}  // namespace tonbo
