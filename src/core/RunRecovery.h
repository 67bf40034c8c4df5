#pragma once
// Recovery after a run that did not end (a crash, a kill, a power cut) and
// undo of a run that did, both from the run's journal. A file is the run's
// file when it stands under one of the names the journal gives it (old, new,
// temporary) and is the same file: its inode and, where the journal recorded
// them, its size, modification time and birth time; a step done but not yet
// written to the journal is no trouble. The moves go through the same
// planning as a run (rings work), and a file that is not the journal's file
// is reported and left alone. The journal is held locked while it is worked
// on, so a second recovery or undo of it is refused.
#include <string>
#include <vector>

#include "core/Progress.h"
#include "core/RunJournal.h"

namespace tonbo {

enum class RecoverMode { Finish, Rollback };

struct RecoveryResult {
  std::vector<std::string> paths;  // code page 932: the run's files where they are now
  // code page 932, one line each; names as they are (they may hold line ends)
  std::vector<std::string> log;
  int moved = 0;      // renamed (to the new names, or back)
  int restored = 0;   // taken back from the trash
  int deleted = 0;    // sent to the trash (finishing a run)
  int notDone = 0;    // reported and left alone
  bool kept = false;  // files are left under temporary names: the journal stays open
  std::string error;  // UTF-8: nothing was done
};

// Journals of runs that did not end and that no running program is writing,
// newest first; among them one of another format or a damaged one
// (JournalRefusal). A run whose files all have their new names did end
// (only its journal could not be completed): it is closed as finished here.
std::vector<std::string> UnfinishedJournals(const std::string& dir = JournalDirDisk());
// Why this Tonbo will not act on a journal (UTF-8), or "": one of another
// format (a newer Tonbo's) or one damaged is left where it is.
std::string JournalRefusal(const std::string& journal);

// The run that "元に戻す" takes: the newest run, if it can be undone; else
// why not. A run that was finished by recovery is a run; one undone or
// rolled back is passed over. within: disk paths of folders (absolute, no
// "." or ".." parts, no trailing "/"); when given, only runs that touched
// one of them count (TouchesFolders); a journal that cannot be read still
// stops the search, as it may have.
struct UndoChoice {
  std::string journal;  // "" when there is none
  std::string refusal;  // UTF-8: the newest run cannot be undone, and why
};
UndoChoice LastUndoableRun(const std::string& dir = JournalDirDisk(),
                           const std::vector<std::string>& within = {});
// A run's folders (disk paths ending in "/") include one of within or a
// folder below it.
bool TouchesFolders(const std::vector<std::string>& runFolders,
                    const std::vector<std::string>& within);

// What a run was: when it started (local time from the journal's name,
// "2026-12-08 05:30:12"), its folders (disk paths) and how many files undo
// would put back.
struct RunSummary {
  std::string time;
  std::vector<std::string> folders;
  int files = 0;
};
RunSummary SummarizeRun(const std::string& journal);
RunSummary SummarizeRun(const Journal& j);

// Every file of the run has its new name (a file to delete is gone): the run
// ended, though its journal may not say so.
bool FinishedOnDisk(const Journal& j);

// How many files the journal's run planned to change, and how many of them
// it says were done.
void CountJournal(const std::string& journal, int& planned, int& done);

// progress is told of each file but cannot stop the work: a run put back or
// finished halfway would be neither done nor undone, and its journal closed.
RecoveryResult RecoverRun(const std::string& journal, RecoverMode mode,
                          ProgressSink* progress = nullptr);
// LeaveChanged: a file changed, moved or in the way since the run is
// reported and left while the others go back. AllOrNothing: every file is
// checked first (PreviewUndo's check, under the journal's lock) and one
// that cannot go back stops the whole undo: error says so, log names each
// file, nothing moves. progress cannot stop it either (RecoverRun).
enum class UndoMode { LeaveChanged, AllOrNothing };
RecoveryResult UndoRun(const std::string& journal, ProgressSink* progress = nullptr,
                       UndoMode mode = UndoMode::LeaveChanged);

// One file of an undo, as checked before anything moves.
struct UndoStep {
  std::string now;      // disk path: where the run left the file; "" for one in the trash
  std::string back;     // disk path it goes back to
  std::string problem;  // UTF-8 "（…）": why it cannot go back; "" when it can
};
// What undoing a run would do, without doing it.
struct UndoPreview {
  RunSummary run;
  std::vector<UndoStep> steps;  // in list order; files that need nothing are left out
  int blocked = 0;              // steps with a problem
  std::string refusal;          // UTF-8: the run cannot be undone at all, and why
};
UndoPreview PreviewUndo(const std::string& journal);

// Every planned file of the run and where it is now.
struct FileState {
  std::string state;  // UTF-8: "変更前", "変更後", "一時的な名前", "ごみ箱", "見つかりません"
  std::string from;    // disk path before the run
  std::string target;  // disk path it was to get; "" for a file to delete
  std::string where;   // "一時的な名前": the path it has
};
std::vector<FileState> DescribeJournal(const std::string& journal);

}  // namespace tonbo
