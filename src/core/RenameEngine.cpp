#include "core/RenameEngine.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string_view>

namespace tonbo {
namespace {

// Equal but for the letter case of A-Z.
bool SameIgnoringAsciiCase(std::string_view a, std::string_view b) {
  auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (lower(a[i]) != lower(b[i])) return false;
  return true;
}

// Whether the folder holds an entry of exactly this name, not merely one
// that a file system ignoring letter case would find under it.
bool ListsExactly(const std::string& dir, const std::string& name) {
  DIR* d = opendir(dir.c_str());
  if (!d) return false;
  bool found = false;
  while (const dirent* e = readdir(d))
    if ((found = name == e->d_name)) break;
  closedir(d);
  return found;
}

bool Moves(const EngineRow& r) {
  return (r.kind == RowKind::Rename || r.kind == RowKind::Trash) && r.id.Exists();
}

}  // namespace

std::string NumberedName(const std::string& dir, std::string_view base, std::string_view ext) {
  std::string candidate;
  for (int n = 1;; ++n) {
    candidate.assign(base).append("_").append(std::to_string(n)).append(ext);
    struct stat st {};
    if (lstat((dir + candidate).c_str(), &st) != 0 && errno == ENOENT) return candidate;
  }
}

std::uint32_t EngineRows::FolderNumber(std::string_view dir) {
  const auto [it, added] =
      numberOf_.try_emplace(std::string(dir), static_cast<std::uint32_t>(folders_.size()));
  if (added) folders_.emplace_back(dir);
  return it->second;
}

RunPlan EngineRows::Plan(const std::vector<char>& leaves) const {
  return PlanRun(
      Count(),
      [this](int i) {
        return PlanPlace{(*this)[i].folder, (*this)[i].from};
      },
      [this](int i) {
        const EngineRow& r = (*this)[i];
        return r.kind == RowKind::Rename ? PlanPlace{r.folder, r.to} : PlanPlace{};
      },
      leaves);
}

int RenameEngine::Run(const std::string& journalDir, const std::string& kind,
                      const std::string& source) {
  const size_t n = rows_.rows.size();
  std::vector<char> leaves(n, 0);
  for (size_t i = 0; i < n; ++i) {
    const EngineRow& r = rows_.rows[i];
    leaves[i] = static_cast<char>(Moves(r));
    total_ += r.kind == RowKind::Rename || r.kind == RowKind::Trash;
  }
  walk_ = PlanWalk(rows_.Plan(leaves));
  if (const int err = WritePlan(journalDir, kind, source)) return err;
  walk_.Walk(*this);
  int renamed = 0, deleted = 0, notDone = 0;
  for (const EngineRow& r : rows_.rows) {
    renamed += r.outcome == RowOutcome::Renamed;
    deleted += r.outcome == RowOutcome::Deleted;
    notDone += r.outcome != RowOutcome::Renamed && r.outcome != RowOutcome::Deleted &&
               r.outcome != RowOutcome::Untouched;
  }
  journal_.Complete(renamed, deleted, notDone);
  journalFailure_ = journal_.Failure();
  folder_.Close();
  if (progress_) progress_->Finish();
  return 0;
}

int RenameEngine::WritePlan(const std::string& dir, const std::string& kind,
                            const std::string& source) {
  bool changes = false;
  for (const EngineRow& r : rows_.rows) changes |= Moves(r);
  const bool journaled = !dir.empty() && changes;
  if (journaled) {
    if (const int err = journal_.Create(dir, kind, source)) return err;
    journalPath_ = journal_.Path();
  }
  // A ring's first row waits under a name of its own folder that no one
  // else uses, with a journal or without one.
  const std::string id = journaled ? journal_.RunId() : std::to_string(getpid());
  const std::vector<std::vector<int>>& cycles = walk_.Plan().cycles;
  parkedName_.resize(cycles.size());
  std::vector<int> ringOf(rows_.rows.size(), -1);
  for (size_t c = 0; c < cycles.size(); ++c) {
    const int first = cycles[c][0];
    parkedName_[c] = ".tonbo-" + id + "-" + std::to_string(first);
    ringOf[static_cast<size_t>(first)] = static_cast<int>(c);
  }
  if (!journaled) return 0;
  for (size_t i = 0; i < rows_.rows.size(); ++i) {
    const EngineRow& r = rows_.rows[i];
    if (!Moves(r)) continue;
    if (r.kind == RowKind::Trash) {
      journal_.PlanTrash(static_cast<int>(i), rows_.Folder(r), r.from, r.id);
    } else {
      const int ring = ringOf[i];
      journal_.PlanRename(static_cast<int>(i), rows_.Folder(r), r.from, r.id, r.to,
                          ring >= 0 ? parkedName_[static_cast<size_t>(ring)] : std::string(),
                          r.extLength);
    }
  }
  if (presetAnswer_ >= 0) journal_.Answer(-1, presetAnswer_, true);
  return journal_.Commit();
}

bool RenameEngine::Step(int row) {
  if (!progress_) return true;
  const bool go = progress_->Step(steps_, total_, progressName_ ? progressName_(row) : "");
  ++steps_;
  return go;
}

void RenameEngine::Rename(int row) {
  if (Step(row))
    RenameRow(row);
  else
    walk_.Stop();
}

void RenameEngine::Trash(int row) {
  if (Step(row))
    TrashRow(row);
  else
    walk_.Stop();
}

void RenameEngine::Fail(int row, int err, RowProblem problem) {
  EngineRow& r = rows_[row];
  r.err = err;
  r.problem = problem;
  Finish(row, RowOutcome::Failed);
}

void RenameEngine::Finish(int row, RowOutcome outcome) {
  rows_[row].outcome = outcome;
  walk_.Done(row);
}

bool RenameEngine::StillTheFile(int row) {
  EngineRow& r = rows_[row];
  if (!r.id.Exists()) {
    Fail(row, ENOENT, RowProblem::Missing);
    return false;
  }
  const platform::FileId now = folder_.IdentityIn(rows_.Folder(r), r.from.c_str());
  if (IsTheFile(r, now)) return true;
  Fail(row, now.Exists() ? 0 : ENOENT, now.Exists() ? RowProblem::Replaced : RowProblem::Missing);
  return false;
}

// A row known by device and inode only learns its size and time here, just
// before it moves, for the journal.
bool RenameEngine::IsTheFile(EngineRow& r, const platform::FileId& now) {
  if (!now.SameFile(r.id)) return false;
  if (r.idListed) r.id = now;
  return true;
}

void RenameEngine::RecordRenamed(int row) {
  const EngineRow& r = rows_[row];
  if (r.idListed)
    journal_.Renamed(row, r.id);
  else
    journal_.Renamed(row);
}

int RenameEngine::Move(const EngineRow& r, const std::string& from, const std::string& to) {
  return folder_.RenameNoReplaceIn(rows_.Folder(r), from.c_str(), to.c_str());
}

void RenameEngine::RenameRow(int row) {
  EngineRow& r = rows_[row];
  if (!StillTheFile(row)) return;
  // A change of letter case only takes the long way with its question: on a
  // file system that ignores case the file itself holds the name.
  const bool caseOnly = SameIgnoringAsciiCase(r.from, r.to);
  int err = caseOnly && platform::IdentityOf(rows_.To(r)).Exists() ? EEXIST : Move(r, r.from, r.to);
  if (err == 0) {
    RecordRenamed(row);
    Finish(row, RowOutcome::Renamed);
    return;
  }
  if (err != EEXIST || platform::DirectoryExists(rows_.To(r))) {
    Fail(row, err == EEXIST ? EISDIR : err);
    return;
  }
  SettleConflict(row);
}

// The target is held by a file that stays: the same-name question decides.
void RenameEngine::SettleConflict(int row) {
  EngineRow& r = rows_[row];
  const platform::FileId victim = platform::IdentityOf(rows_.To(r));
  const Settlement s = settle_ ? settle_(row, r) : Settlement{};
  if (s.answer >= 0) journal_.Answer(row, s.answer, s.answerAll);
  switch (s.action) {
    case Settlement::Stop:
      walk_.Stop();
      return;
    case Settlement::Skip:
      Finish(row, s.skipped);
      return;
    case Settlement::RenameTo:
      // A target the journal does not know would hide the file from recovery.
      if (!journal_.NewTarget(row, s.to)) return Fail(row, journal_.Failure());
      r.to = s.to;
      r.renumbered = true;
      break;
    case Settlement::Overwrite:
      if (victim.SameFile(r.id)) {
        // Only the letter case differs on a file system that ignores case.
        // Two links of one file are one file too, but there rename() does
        // nothing and still succeeds: the old name must be gone.
        if (::rename(rows_.From(r).c_str(), rows_.To(r).c_str()) != 0) return Fail(row, errno);
        if (ListsExactly(rows_.Folder(r), r.from)) return Fail(row, 0, RowProblem::SameFile);
        RecordRenamed(row);
        return Finish(row, RowOutcome::Renamed);
      }
      // The file that held the name goes to the trash, where it can be restored.
      if (!platform::IdentityOf(rows_.To(r)).SameFile(victim))
        return Fail(row, 0, RowProblem::TargetSwap);
      if (!journal_.Victim(row, victim)) return Fail(row, journal_.Failure());
      if (platform::MoveToTrash(rows_.To(r), nullptr) != 0)
        return Fail(row, 0, RowProblem::TrashTarget);
      journal_.VictimTrashed(row);
      break;
  }
  if (!StillTheFile(row)) return;
  if (const int err = Move(r, r.from, r.to)) return Fail(row, err);
  RecordRenamed(row);
  Finish(row, RowOutcome::Renamed);
}

void RenameEngine::TrashRow(int row) {
  EngineRow& r = rows_[row];
  // A file that is already gone counts as deleted.
  const std::string path = rows_.From(r);
  const platform::FileId now = platform::IdentityOf(path);
  if (!r.id.Exists() || !now.Exists()) return Finish(row, RowOutcome::Deleted);
  if (!now.SameFile(r.id)) {
    r.problem = RowProblem::Replaced;
    return Finish(row, RowOutcome::TrashFailed);
  }
  const int err = platform::MoveToTrash(path, nullptr);
  if (err == 0 || (err == ENOENT && !platform::IdentityOf(path).Exists())) {
    journal_.Trashed(row);
    return Finish(row, RowOutcome::Deleted);
  }
  r.err = err;
  Finish(row, RowOutcome::TrashFailed);
}

// Every row of the ring is still its file; otherwise the ring is no ring
// and its rows go their ordinary way.
bool RenameEngine::RingReady(const std::vector<int>& ring) {
  bool ready = true;
  for (int member : ring) {
    EngineRow& r = rows_[member];
    const platform::FileId now = folder_.IdentityIn(rows_.Folder(r), r.from.c_str());
    if (IsTheFile(r, now)) continue;
    Fail(member, now.Exists() ? 0 : ENOENT,
         now.Exists() ? RowProblem::Replaced : RowProblem::Missing);
    ready = false;
  }
  return ready;
}

// A ring (a swap, a rotation) is done as one piece: its first row is parked
// under a temporary name, the others move round one after another, and the
// parked file takes its place last. A failure on the way puts the ring back;
// a stop asked for on the way waits for the ring's end.
bool RenameEngine::Ring(int cycle) {
  const std::vector<int>& ring = walk_.Plan().cycles[static_cast<size_t>(cycle)];
  const int first = ring[0];
  if (!Step(first)) {
    walk_.Stop();
    return true;
  }
  if (!RingReady(ring)) return true;
  EngineRow& head = rows_[first];
  const std::string& parked = parkedName_[static_cast<size_t>(cycle)];
  if (const int err = Move(head, head.from, parked)) {
    Fail(first, err);
    return true;
  }
  journal_.Parked(first);
  size_t k = ring.size();
  int failed = 0;
  bool goOn = true;
  while (--k > 0) {
    const int member = ring[k];
    EngineRow& r = rows_[member];
    goOn &= Step(member);
    if ((failed = Move(r, r.from, r.to)) != 0) break;
    RecordRenamed(member);
    Finish(member, RowOutcome::Renamed);
  }
  if (failed)
    PutRingBack(ring, k, failed, parked);
  else
    LandParked(first, parked);
  return goOn;
}

// Back the way they came, the last moved first; then the parked file.
void RenameEngine::PutRingBack(const std::vector<int>& ring, size_t failedAt, int err,
                               const std::string& parked) {
  for (size_t back = failedAt + 1; back < ring.size(); ++back) {
    EngineRow& r = rows_[ring[back]];
    if (Move(r, r.to, r.from) == 0) journal_.MovedBack(ring[back]);
    Fail(ring[back], 0, RowProblem::RingUndone);
  }
  Fail(ring[failedAt], err);
  const int first = ring[0];
  EngineRow& head = rows_[first];
  if (Move(head, parked, head.from) == 0) {
    journal_.Unparked(first);
    Fail(first, 0, RowProblem::RingUndone);
  } else {
    Strand(first, parked, EIO);
  }
}

void RenameEngine::LandParked(int first, const std::string& parked) {
  EngineRow& head = rows_[first];
  if (const int err = Move(head, parked, head.to)) return Strand(first, parked, err);
  RecordRenamed(first);
  Finish(first, RowOutcome::Renamed);
}

// The ring's first file is left under its temporary name, which the list shows.
void RenameEngine::Strand(int first, const std::string& parked, int err) {
  EngineRow& head = rows_[first];
  head.to = parked;
  head.stranded = true;
  Fail(first, err);
}

}  // namespace tonbo
