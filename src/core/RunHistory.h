#pragma once
// The runs the journal folder keeps, as a list to choose one from: its id,
// time, folders, count and state; a run found by its id; and which newer
// runs stand in the way of undoing an older one. Undoing a chosen run is
// UndoRun (RunRecovery.h).
#include <string>
#include <vector>

#include "core/RunRecovery.h"

namespace tonbo {

enum class RunState {
  Finished,   // complete, or every file shows it ended
  Recovered,  // finished by recovery
  Undone,
  RolledBack,   // put back by recovery
  Interrupted,  // cut off; recovery finishes it or rolls it back
  UndoCutOff,   // an undo of it was cut off
  Running,      // another Tonbo is writing it
  Refused,      // a journal of another format, or damaged
};
// "完了", "回復で完了", "元に戻した", "変更前に戻した", "途中で終了",
// "元に戻す途中で終了", "実行中", "読めない記録" (UTF-8).
const char* RunStateText(RunState state);

struct KeptRun {
  std::string journal;  // disk path
  std::string id;       // the journal's name without ".journal": what FindRun takes
  RunState state = RunState::Finished;
  RunSummary run;
  std::string refusal;  // UTF-8, for Refused
};
// The runs (not the undos and recoveries, which belong to their runs) of
// dir, newest first; a run that ended before its plan changed nothing and
// is left out.
std::vector<KeptRun> KeptRuns(const std::string& dir = JournalDirDisk());

// The run whose id is id, or the only one whose id starts with it.
UndoChoice FindRun(const std::string& id, const std::string& dir = JournalDirDisk());

// The ids of runs newer than journal, not undone, that moved a file of it
// from where it left it or put a file where one of it goes back to: they
// must be undone first. Newest first.
std::vector<std::string> RunsInTheWay(const std::string& journal, const UndoPreview& preview,
                                      const std::string& dir = JournalDirDisk());

}  // namespace tonbo
