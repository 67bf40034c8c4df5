#pragma once
// The one order in which a planned run takes its rows. The rename run and the
// shell script both follow it, so a script renames in the order the run
// would. A row goes when the list reaches it, unless the listed file that
// holds its target has not left yet: then it goes as soon as that file has
// left. A ring goes as one piece when the list reaches its first row.
#include <cstdint>
#include <vector>

#include "core/RenamePlan.h"

namespace tonbo {

enum class RowKind : std::uint8_t { Keep, Rename, Trash, Refused };

// What the walk asks for, step by step. A step that is carried out marks its
// rows done (PlanWalk::Done); the rows waiting for a row that is not done
// keep waiting.
class PlanSteps {
 public:
  virtual ~PlanSteps() = default;
  virtual RowKind KindOf(int row) const = 0;
  // A new name refused before the run; the row counts as done.
  virtual void Refused(int row) = 0;
  virtual void Rename(int row) = 0;
  virtual void Trash(int row) = 0;
  // Plan().cycles[cycle] as one piece, its first row parked under a name of
  // its own. False: the run stops once the rows the ring freed have gone.
  virtual bool Ring(int cycle) = 0;
  // The first row of a ring that could not go round, now that its target is
  // free (a member was no longer its file and left the ring).
  virtual void RingHeadAlone(int row) { Rename(row); }
};

class PlanWalk {
 public:
  PlanWalk() = default;
  explicit PlanWalk(RunPlan plan);
  const RunPlan& Plan() const { return plan_; }
  // Asks for every step in order, until the end or a stop.
  void Walk(PlanSteps& steps);
  void Done(int row) { done_[static_cast<size_t>(row)] = 1; }
  // No step is asked for after this one.
  void Stop() { stopped_ = true; }
  bool Stopped() const { return stopped_; }

 private:
  bool IsDone(int row) const { return done_[static_cast<size_t>(row)] != 0; }
  void Visit(int row);
  void Take(int row);
  void TakeRing(int cycle);
  void Release(int row);

  RunPlan plan_;
  PlanSteps* steps_ = nullptr;
  std::vector<char> done_, ringTaken_;
  int cursor_ = 0;
  bool stopped_ = false;
};

}  // namespace tonbo
