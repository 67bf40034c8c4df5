#include "core/PlanWalk.h"

#include <utility>

namespace tonbo {

PlanWalk::PlanWalk(RunPlan plan)
    : plan_(std::move(plan)), done_(plan_.holder.size(), 0), ringTaken_(plan_.cycles.size(), 0) {}

void PlanWalk::Walk(PlanSteps& steps) {
  steps_ = &steps;
  const int rows = static_cast<int>(plan_.holder.size());
  for (cursor_ = 0; cursor_ < rows && !stopped_; ++cursor_) Visit(cursor_);
}

void PlanWalk::Visit(int row) {
  if (IsDone(row)) return;
  const RowKind kind = steps_->KindOf(row);
  if (kind == RowKind::Keep) return;
  if (kind == RowKind::Refused) {
    Done(row);
    steps_->Refused(row);
    return;
  }
  const int holder = plan_.holder[static_cast<size_t>(row)];
  if (holder >= 0 && !IsDone(holder)) {
    const int ring = plan_.cycleOf[static_cast<size_t>(row)];
    if (ring >= 0 && !ringTaken_[static_cast<size_t>(ring)] &&
        plan_.cycles[static_cast<size_t>(ring)][0] == row)
      TakeRing(ring);
    // Otherwise the row waits for its holder, which releases it.
    return;
  }
  Take(row);
  if (IsDone(row)) Release(row);
}

void PlanWalk::Take(int row) {
  if (steps_->KindOf(row) == RowKind::Trash)
    steps_->Trash(row);
  else
    steps_->Rename(row);
}

void PlanWalk::TakeRing(int cycle) {
  ringTaken_[static_cast<size_t>(cycle)] = 1;
  const bool goOn = steps_->Ring(cycle);
  const std::vector<int>& ring = plan_.cycles[static_cast<size_t>(cycle)];
  for (int member : ring)
    if (IsDone(member)) Release(member);
  // The first row is at the cursor, which will not come back to it: it goes
  // now if the ring's failure freed its target, or waits for its holder.
  const int head = ring[0];
  if (!IsDone(head) && IsDone(plan_.holder[static_cast<size_t>(head)])) {
    steps_->RingHeadAlone(head);
    if (IsDone(head)) Release(head);
  }
  if (!goOn) stopped_ = true;
}

// Takes the rows that waited for `row` to leave its path and were passed
// over in the list, then the rows that waited for those, and so on.
void PlanWalk::Release(int row) {
  std::vector<int> ready;
  auto push = [&](int holder) {
    const int begin = plan_.waitStart[static_cast<size_t>(holder)];
    for (int k = plan_.waitStart[static_cast<size_t>(holder) + 1]; k-- > begin;) {
      const int w = plan_.waiting[static_cast<size_t>(k)];
      if (w < cursor_ && !IsDone(w)) ready.push_back(w);
    }
  };
  push(row);
  while (!ready.empty() && !stopped_) {
    const int w = ready.back();
    ready.pop_back();
    if (IsDone(w)) continue;
    Take(w);
    if (IsDone(w)) push(w);
  }
}

}  // namespace tonbo
