#pragma once
// Recovery after a run that did not end (a crash, a kill, a power cut) and
// undo of a run that did, both from the run's journal. The files are found
// by their identity, so a step done but not yet written to the journal is
// no trouble; the moves go through the same planning as a run (rings work),
// and a file that is not the journal's file is reported and left alone.
#include <string>
#include <vector>

#include "core/Progress.h"
#include "core/RunJournal.h"

namespace tonbo {

enum class RecoverMode { Finish, Rollback };

struct RecoveryResult {
  std::vector<std::string> paths;  // code page 932: the run's files where they are now
  std::string log;                 // code page 932, lines end in CR LF
  int moved = 0;                   // renamed (to the new names, or back)
  int restored = 0;                // taken back from the trash
  int deleted = 0;                 // sent to the trash (finishing a run)
  int notDone = 0;                 // reported and left alone
  std::string error;               // UTF-8: nothing was done
};

// Journals of runs that did not end and that no running program is writing,
// newest first; one of another format among them (JournalRefusal).
std::vector<std::string> UnfinishedJournals(const std::string& dir = JournalDirDisk());
// Why this Tonbo will not act on a journal (UTF-8), or "": one of another
// format (a newer Tonbo's) is left where it is, for a Tonbo that reads it.
std::string JournalRefusal(const std::string& journal);
// The newest run that ended and was not undone yet; "" when there is none.
std::string LastUndoableJournal(const std::string& dir = JournalDirDisk());
// How many files the journal's run planned to change, and how many of them
// it says were done.
void CountJournal(const std::string& journal, int& planned, int& done);

RecoveryResult RecoverRun(const std::string& journal, RecoverMode mode,
                          ProgressSink* progress = nullptr);
RecoveryResult UndoRun(const std::string& journal, ProgressSink* progress = nullptr);

// Every planned file of the run and where it is now, one line each (UTF-8):
// "変更前", "変更後", "一時的な名前", "ごみ箱", "見つかりません".
std::string DescribeJournal(const std::string& journal);

}  // namespace tonbo
