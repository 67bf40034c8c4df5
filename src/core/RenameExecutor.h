#pragma once
// Applies the file table to the disk: the one place where listed files are
// renamed or sent to the trash. The run is planned as a whole (a name held
// by a listed file that this run moves away is no conflict; swaps and
// rotations go through a temporary name), written to the journal first, and
// every file is checked to be the listed one before it is touched. A target
// name held by a file that stays is settled by the same-name question;
// nothing is ever replaced that the user did not ask to replace.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/CsvDb.h"
#include "core/Progress.h"
#include "core/RenameEngine.h"

namespace tonbo {

// The same-name question's methods, in the order the dialog lists them.
enum class ConflictMethod { Overwrite = 0, OverwriteIfNewer = 1, Number = 2, Skip = 3 };
// Its buttons: this file, this and every later conflict, stop the run.
enum class ConflictButton { Ok = 0, OkAll = 1, Stop = 2 };

struct ConflictAnswer {
  ConflictButton button = ConflictButton::Ok;
  ConflictMethod method = ConflictMethod::Number;
};

struct RenameResult {
  std::vector<std::string> paths;  // the files the list is rebuilt from, in order
  std::string log;                 // code page 932, lines end in CR LF; names escaped (EscapedSjis)
  int renamed = 0;
  int deleted = 0;
  int notDone = 0;
  int untouched = 0;         // rows to rename or trash that a stopped run did not reach
  bool stopped = false;      // "中止" or a stop asked through the progress
  std::string error;         // UTF-8: the run could not start; nothing was changed
  std::string journal;       // the run's journal (disk path), empty when none was written
  std::string journalError;  // UTF-8: the run went on but its journal could not be completed
};

class RenameExecutor {
 public:
  // Asked at a conflict with the full target path (code page 932).
  using AskSameName = std::function<ConflictAnswer(const std::string& sjisTarget)>;

  explicit RenameExecutor(AskSameName ask);
  RenameResult Run(const TCsvDb& table);
  // Off: RenameResult::paths stays empty, for a caller that does not list
  // the files again (a large run then keeps no second copy of every path).
  void SetKeepPaths(bool on) { keepPaths_ = on; }
  // Told before each file; a false answer stops the run as "中止" does.
  void SetProgress(ProgressSink* sink) { progress_ = sink; }
  // Where the journal goes (JournalDirDisk() unless set; "" writes none).
  void SetJournalDir(std::string diskDir) { journalDir_ = std::move(diskDir); }
  // Every conflict is settled by method without asking, as if the first
  // answer had been "all" (tonbo-cli's --on-conflict); the journal records it.
  void SetMethodForAll(ConflictMethod method) { preset_ = method; }

 private:
  EngineRows BuildRows();
  static void ReadIdentities(EngineRows& rows);
  Settlement SettleRow(int row, const EngineRow& r, const std::string& dir);
  // The settlement the method in force gives.
  Settlement SettleBy(int row, const EngineRow& r, const std::string& dir);
  void Collect(const EngineRows& rows);
  void Keep(const std::string& path) {
    if (keepPaths_) result_.paths.push_back(path);
  }
  std::string Target(int row) const;
  void Log(const char* utf8Fixed, const std::string& sjisName, const std::string& sjisSrc,
           const std::string& utf8Reason);

  AskSameName ask_;
  const TCsvDb* table_ = nullptr;
  RenameResult result_;
  ProgressSink* progress_ = nullptr;
  std::string journalDir_;
  std::vector<std::pair<int, std::string>> numbered_;  // rows given a numbered name (code page 932)
  int applyToAll_ = 0;                                 // 0 ask, 1 use the method, 2 stop
  bool keepPaths_ = true;
  ConflictMethod method_ = ConflictMethod::Number;
  std::optional<ConflictMethod> preset_;
};

// "上書きする（新しければ）": the file at the target is at least as new as
// the source (two-second resolution, as the question has always compared).
bool TargetNotOlder(const std::string& diskTarget, const std::string& diskSource);

// Why a new name cannot be used in its folder ("/", NUL, "." or ".."), or None.
RowProblem RefusedName(const std::string& sjisName);

// What a run does with a row of the table: Trash (marked for deletion), Keep
// (the new name is the name it has), Refused (problem says why) or Rename.
RowKind PlannedKind(const TCsvDb& table, int row, RowProblem& problem);

// The numbered name for a name that is taken: stem + n + ext (code page 932
// paths; stem ends in "_") for the first n from 1 at which the folder holds
// no entry at all (no file, folder or link), so the name can be taken.
std::string NumberedName(const std::string& sjisStem, const std::string& sjisExt);

}  // namespace tonbo
