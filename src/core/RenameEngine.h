#pragma once
// Carries out the moves of one run on the disk, for the list's rename run,
// for recovery after a crash and for undo: plans the whole run first (chains
// and rings of names, RenamePlan; taken in PlanWalk's order), writes the plan to the journal before
// the first change, checks before every step that the file at a row's path is still the file the
// row stands for, and never replaces an entry.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/PlanWalk.h"
#include "core/Progress.h"
#include "core/RenameReasons.h"
#include "core/RunJournal.h"
#include "platform/FileOps.h"

namespace tonbo {

enum class RowOutcome : std::uint8_t {
  Untouched,  // not reached (the run was stopped) or nothing to do
  Renamed,
  Deleted,       // in the trash, or already gone
  SkippedSame,   // the target was taken and the row was skipped
  SkippedNewer,  // the target was taken by a file at least as new
  Failed,
  TrashFailed,
};

struct EngineRow {
  std::string from, to;  // file names in the row's folder; to: a rename's target
  platform::FileId id;   // the file the row stands for
  int err = 0;           // the system's error of a failure
  std::uint32_t folder = 0;
  std::int16_t extLength = -1;  // bytes of `to` that a numbered name keeps at its end; -1 unknown
  RowKind kind = RowKind::Keep;
  RowOutcome outcome = RowOutcome::Untouched;
  RowProblem problem = RowProblem::None;
  bool idListed = false;    // id came from a folder listing: device and inode only
  bool renumbered = false;  // to was changed at a conflict
  bool stranded = false;    // left under its temporary name (to) by a failure
};

// The rows of one run and their folders, each folder held once: a run of a
// million files in one folder keeps a million names, not a million paths.
class EngineRows {
 public:
  std::vector<EngineRow> rows;

  // The number of a folder (a disk path ending in "/"), added when new.
  std::uint32_t FolderNumber(std::string_view dir);
  const std::string& Folder(const EngineRow& r) const { return folders_[r.folder]; }
  std::string From(const EngineRow& r) const { return Folder(r) + r.from; }
  std::string To(const EngineRow& r) const { return Folder(r) + r.to; }
  EngineRow& operator[](int row) { return rows[static_cast<size_t>(row)]; }
  const EngineRow& operator[](int row) const { return rows[static_cast<size_t>(row)]; }
  int Count() const { return static_cast<int>(rows.size()); }
  // The order of the run over these rows; leaves: a row's file leaves its place.
  RunPlan Plan(const std::vector<char>& leaves) const;

 private:
  std::vector<std::string> folders_;
  std::unordered_map<std::string, std::uint32_t> numberOf_;
};

// What to do about a target held by a file that stays.
struct Settlement {
  enum Action { Skip, Stop, RenameTo, Overwrite } action = Skip;
  std::string to;                                // RenameTo: the free name chosen (disk bytes)
  RowOutcome skipped = RowOutcome::SkippedSame;  // Skip: how the row is counted
  int answer = -1;  // the same-name answer given for the row (ConflictMethod), for the journal
  bool answerAll = false;  // given for every later conflict too
};

// The first free name base + "_" + n + ext (n = 1, 2, ...) in dir (disk bytes):
// no entry of any kind has it.
std::string NumberedName(const std::string& dir, std::string_view base, std::string_view ext);

class RenameEngine : private PlanSteps {
 public:
  using Settle = std::function<Settlement(int row, const EngineRow&)>;

  RenameEngine(EngineRows& rows, Settle settle) : rows_(rows), settle_(std::move(settle)) {}
  // name: the text shown beside the count (code page 932).
  void SetProgress(ProgressSink* sink, std::function<std::string(int row)> name) {
    progress_ = sink;
    progressName_ = std::move(name);
  }
  // Runs the rows. Returns 0, or the errno of a journal that could not be
  // written, in which case nothing on disk was changed. kind and source go
  // to the journal (RunJournal.h); an empty dir keeps no journal (tests).
  int Run(const std::string& journalDir, const std::string& kind, const std::string& source);
  // The answer every conflict gets, known before the run (ConflictMethod):
  // the journal's plan records it.
  void SetPresetAnswer(int method) { presetAnswer_ = method; }
  bool Stopped() const { return walk_.Stopped(); }
  // A write of the journal that failed after the plan (an errno, 0 for none):
  // the run went on, but its journal does not hold all of it.
  int JournalFailure() const { return journalFailure_; }
  const std::string& JournalPath() const { return journalPath_; }

 private:
  int WritePlan(const std::string& dir, const std::string& kind, const std::string& source);
  // The walk's steps.
  RowKind KindOf(int row) const override { return rows_[row].kind; }
  void Refused(int) override {}
  void Rename(int row) override;
  void Trash(int row) override;
  bool Ring(int cycle) override;
  void RingHeadAlone(int row) override { RenameRow(row); }

  bool Step(int row);
  void RenameRow(int row);
  void TrashRow(int row);
  void SettleConflict(int row);
  bool StillTheFile(int row);
  static bool IsTheFile(EngineRow& r, const platform::FileId& now);
  void RecordRenamed(int row);
  int Move(const EngineRow& r, const std::string& from, const std::string& to);
  bool RingReady(const std::vector<int>& ring);
  void PutRingBack(const std::vector<int>& ring, size_t failedAt, int err,
                   const std::string& parked);
  void LandParked(int first, const std::string& parked);
  void Strand(int first, const std::string& parked, int err);
  void Fail(int row, int err, RowProblem problem = RowProblem::None);
  void Finish(int row, RowOutcome outcome);

  EngineRows& rows_;
  Settle settle_;
  ProgressSink* progress_ = nullptr;
  std::function<std::string(int)> progressName_;
  PlanWalk walk_;
  std::vector<std::string> parkedName_;  // per cycle
  JournalWriter journal_;
  platform::FolderHandle folder_;
  std::string journalPath_;
  std::int64_t steps_ = 0, total_ = 0;
  int presetAnswer_ = -1;
  int journalFailure_ = 0;
};

}  // namespace tonbo
