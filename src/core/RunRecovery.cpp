#include "core/RunRecovery.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <unordered_set>

#include "common/Sjis.h"
#include "core/RenameEngine.h"
#include "core/RenameExecutor.h"

namespace tonbo {
namespace {

using platform::FileId;

// The file the journal recorded: the same inode and, where the journal
// holds them, the same size, modification time and birth time. A file that
// got a freed inode later is another file.
bool Matches(const FileId& recorded, const FileId& now) {
  if (!now.SameFile(recorded) || !now.SameBirth(recorded)) return false;
  const bool timed = recorded.size != 0 || recorded.mtimeNs != 0;
  return !timed || (now.size == recorded.size && now.mtimeNs == recorded.mtimeNs);
}

// Where the run's file is, among the names the journal gives it; "" when it
// is under none of them.
std::string Locate(const JournalEntry& e) {
  for (const std::string& path : {e.ParkedPath(), e.TargetPath(), e.FromPath(), e.dir + e.to}) {
    if (!path.empty() && Matches(e.id, platform::IdentityOf(path))) return path;
  }
  return {};
}

bool TrashedFileGone(const JournalEntry& e) {
  return !Matches(e.id, platform::IdentityOf(e.FromPath()));
}

}  // namespace

bool FinishedOnDisk(const Journal& j) {
  for (const JournalEntry& e : j.entries) {
    if (e.kind == 'D' ? !TrashedFileGone(e) : Locate(e) != e.TargetPath()) return false;
  }
  return true;
}

namespace {

std::string Sjis(const std::string& disk) {
  std::string out;
  if (!enc::DiskToSjis(disk, out)) out = enc::ToSjis(QString::fromUtf8(disk.c_str()));
  return out;
}

std::string NameOf(const std::string& path) { return path.substr(path.rfind('/') + 1); }

// A journal open and locked for one recovery or undo, read under the lock.
class HeldJournal {
 public:
  HeldJournal() = default;
  HeldJournal(const HeldJournal&) = delete;
  HeldJournal& operator=(const HeldJournal&) = delete;
  ~HeldJournal() {
    if (fd_ >= 0) close(fd_);
  }
  // "" or why the journal cannot be worked on (UTF-8).
  std::string Take(const std::string& path, Journal& j) {
    fd_ = OpenJournal(path, O_RDWR | O_APPEND);
    if (fd_ < 0)
      return "名前の変更の記録を開けませんでした（" + platform::ErrorText(errno) + "）：" + path;
    if (flock(fd_, LOCK_EX | LOCK_NB) != 0) return Busy(path);
    if (!ReadJournalFd(fd_, path, j) || !j.planned) {
      const std::string refusal = JournalRefusal(path);
      return refusal.empty() ? "名前の変更の記録を読めませんでした：" + path : refusal;
    }
    return {};
  }
  // Only opens and locks (a journal that is not read): "" or Busy.
  std::string Hold(const std::string& path) {
    fd_ = OpenJournal(path, O_RDWR | O_APPEND);
    return fd_ >= 0 && flock(fd_, LOCK_EX | LOCK_NB) != 0 ? Busy(path) : std::string();
  }
  int Close(const std::string& how) { return CloseJournalFd(fd_, how); }
  static std::string Busy(const std::string& path) {
    return "この名前の変更の記録は、ほかのTonboが使っています。その処理が終わってから、もう一度"
           "実行してください：" +
           path;
  }

 private:
  int fd_ = -1;
};

// One file of the journal on its way through a recovery or undo.
struct Item {
  const JournalEntry* entry = nullptr;
  int row = -1;       // its engine row, -1 when it needs no move
  std::string where;  // where the file is (disk), "" when not found
  std::string want;   // where it goes
  RowProblem problem = RowProblem::None;
  bool restore = false;        // take it back from the trash to want
  bool restoreVictim = false;  // take the file it replaced back from the trash
  bool move = false;           // renamed from where to want (undo)
};

// Shows how far the work is but never lets it stop: an undo or a recovery
// stopped halfway would leave its run neither done nor undone, while its
// journal is closed as if it were.
class Unstoppable final : public ProgressSink {
 public:
  explicit Unstoppable(ProgressSink* sink) : sink_(sink) {}
  bool Step(std::int64_t done, std::int64_t total, const std::string& sjisName) override {
    sink_->Step(done, total, sjisName);
    return true;
  }
  void Finish() override { sink_->Finish(); }

 private:
  ProgressSink* sink_;
};

class Recovery {
 public:
  Recovery(const Journal& j, ProgressSink* progress)
      : j_(j), progress_(progress), shown_(progress != nullptr) {}
  // finishing: a conflict is settled as the run was asked to settle it.
  RecoveryResult Run(const char* kind, bool finishing);
  std::vector<Item> items;
  EngineRows rows;

  // from and to: disk paths in one folder (to is empty for the trash).
  void Move(size_t item, const std::string& from, const std::string& to, RowKind kind) {
    items[item].row = rows.Count();
    itemOfRow_.push_back(item);
    const size_t cut = from.rfind('/') + 1;
    EngineRow r;
    r.kind = kind;
    r.folder = rows.FolderNumber(std::string_view(from).substr(0, cut));
    r.from = from.substr(cut);
    if (!to.empty()) r.to = NameOf(to);
    r.id = items[item].entry->id;
    rows.rows.push_back(std::move(r));
  }

 private:
  Settlement Settle(int row, const EngineRow& r, bool finishing) const;
  void Log(const std::string& utf8Fixed, const std::string& name, const std::string& path,
           const std::string& utf8Reason);
  void Collect(Item& item);

  const Journal& j_;
  Unstoppable progress_;
  bool shown_;
  RecoveryResult result_;
  std::vector<size_t> itemOfRow_;
  platform::TrashRestorer trash_;  // read at the first file put back, after the moves
};

void Recovery::Log(const std::string& utf8Fixed, const std::string& name, const std::string& path,
                   const std::string& utf8Reason) {
  ++result_.notDone;
  result_.log.push_back(enc::Lit(utf8Fixed + "：\"") + Sjis(name) + enc::Lit("\"←\"") + Sjis(path) +
                        "\"" + enc::Lit(utf8Reason));
}

// A target held by a file that stays. Finishing a run does what the run was
// asked: the file it chose to replace, then the answer given for the row or
// for every conflict. Anything else is left and reported.
Settlement Recovery::Settle(int row, const EngineRow& r, bool finishing) const {
  const Item& item = items[itemOfRow_[static_cast<size_t>(row)]];
  const JournalEntry& e = *item.entry;
  const std::string target = rows.To(r);
  if (!finishing || item.want != target) return {};
  if (e.hasVictim && Matches(e.victim, platform::IdentityOf(target)))
    return {Settlement::Overwrite, {}, {}};
  switch (static_cast<ConflictMethod>(e.answer >= 0 ? e.answer : j_.allMethod)) {
    case ConflictMethod::Overwrite:
      return {Settlement::Overwrite, {}, {}};
    case ConflictMethod::OverwriteIfNewer:
      if (TargetNotOlder(target, rows.From(r)))
        return {Settlement::Skip, {}, RowOutcome::SkippedNewer};
      return {Settlement::Overwrite, {}, {}};
    case ConflictMethod::Number: {
      // NewName + "_" + n + Ext, split where the run split it.
      size_t ext = e.extLength >= 0 ? static_cast<size_t>(e.extLength) : 0;
      if (e.extLength < 0) {
        const size_t dot = e.to.rfind('.');
        if (dot != std::string::npos && dot > 0) ext = e.to.size() - dot;
      }
      const std::string_view to = e.to;
      return {Settlement::RenameTo,
              NumberedName(e.dir, to.substr(0, to.size() - ext), to.substr(to.size() - ext)),
              {}};
    }
    default:
      return {};
  }
}

RecoveryResult Recovery::Run(const char* kind, bool finishing) {
  RenameEngine engine(
      rows, [this, finishing](int row, const EngineRow& r) { return Settle(row, r, finishing); });
  if (shown_) engine.SetProgress(&progress_, [this](int row) { return Sjis(rows[row].from); });
  if (const int err = engine.Run(JournalDirDisk(), kind, j_.path)) {
    result_.error =
        "名前の変更の記録を書けないため、何も変更しませんでした。" + platform::ErrorText(err);
    return result_;
  }
  for (Item& item : items) Collect(item);
  return result_;
}

void Recovery::Collect(Item& item) {
  const JournalEntry& e = *item.entry;
  std::string now = item.where;
  if (item.row >= 0) {
    const EngineRow& r = rows[item.row];
    if (r.outcome == RowOutcome::Renamed) {
      ++result_.moved;
      now = rows.To(r);
    } else if (r.outcome == RowOutcome::Deleted) {
      ++result_.deleted;
      now.clear();
    } else if (r.outcome == RowOutcome::SkippedNewer) {
      Log("書込先ファイルの方が新しかったのでスキップ", r.to, rows.From(r), "");
    } else if (r.outcome != RowOutcome::Untouched) {
      Log("名前の変更に失敗", r.to, rows.From(r),
          r.outcome == RowOutcome::SkippedSame ? ReasonText(RowProblem::Taken)
          : r.problem != RowProblem::None      ? ReasonText(r.problem)
                                               : ReasonText(r.err));
    }
  } else if (item.problem != RowProblem::None) {
    Log("名前の変更に失敗", NameOf(item.want), item.where.empty() ? e.FromPath() : item.where,
        ReasonText(item.problem));
  }
  if (item.restore) {
    const int err = trash_.Restore(item.want, e.id);
    if (err == 0) {
      ++result_.restored;
      now = item.want;
    } else {
      Log("ごみ箱から戻せませんでした", NameOf(item.want), item.want, ReasonText(err));
    }
  }
  // A file found but left under neither of its names (a temporary one): the
  // journal is the only thing that knows it.
  if (!now.empty() && e.kind == 'P' && now != e.FromPath() && now != e.TargetPath())
    result_.kept = true;
  if (!now.empty()) result_.paths.push_back(Sjis(now));
  if (item.restoreVictim) {
    const int err = trash_.Restore(e.TargetPath(), e.victim);
    if (err == 0) {
      ++result_.restored;
      result_.paths.push_back(Sjis(e.TargetPath()));
    } else if (err != ENOENT || !platform::IdentityOf(e.TargetPath()).SameFile(e.victim)) {
      Log("ごみ箱から戻せませんでした", NameOf(e.TargetPath()), e.TargetPath(), ReasonText(err));
    }
  }
}

// The recovery journals left by an earlier, interrupted recovery of this run
// are settled with it.
void CloseRecoveriesOf(const std::string& journal) {
  for (const std::string& path : ListJournals(JournalDirDisk())) {
    const JournalStatus status = PeekJournal(path);
    if (status.kind != "recover" || status.complete || status.closed) continue;
    Journal j;
    if (path != journal && ReadJournal(path, j) && j.source == journal && !j.complete &&
        j.closed.empty())
      CloseJournal(path, "settled");
  }
}

// The run can be undone from where its files are (its journal's steps do
// not tell all): a run finished by recovery, or one whose journal could not
// be completed.
bool UndoneByPlace(const Journal& j) {
  return j.closed == "finished" || (!j.complete && j.closed.empty());
}

std::string Stamp(const std::string& journal) {
  const std::string name = NameOf(journal);
  if (name.size() < 15 || name[8] != '-') return name;
  return name.substr(0, 4) + "-" + name.substr(4, 2) + "-" + name.substr(6, 2) + " " +
         name.substr(9, 2) + ":" + name.substr(11, 2) + ":" + name.substr(13, 2);
}

}  // namespace

RunSummary SummarizeRun(const Journal& j) {
  RunSummary s;
  s.time = Stamp(j.path);
  const bool byPlace = UndoneByPlace(j);
  for (const JournalEntry& e : j.entries) {
    if (s.folders.empty() || s.folders.back() != e.dir) s.folders.push_back(e.dir);
    s.files += byPlace || e.renamed || e.trashed;
  }
  std::sort(s.folders.begin(), s.folders.end());
  s.folders.erase(std::unique(s.folders.begin(), s.folders.end()), s.folders.end());
  return s;
}

std::vector<std::string> UnfinishedJournals(const std::string& dir) {
  std::vector<std::string> out;
  for (const std::string& path : ListJournals(dir)) {
    const JournalStatus status = PeekJournal(path);
    if (status.complete || status.closed || status.kind == "recover") continue;
    if (JournalInUse(path)) continue;
    Journal j;
    if (!ReadJournal(path, j)) {
      // Listed all the same, so that its refusal is said where a recovery is offered.
      if (!j.fault.empty() && status.kind != "") out.push_back(path);
      continue;
    }
    if (j.complete || !j.closed.empty() || !j.planned || j.kind == "recover") continue;
    if (FinishedOnDisk(j)) {
      CloseJournal(path, "finished");
      continue;
    }
    out.push_back(path);
  }
  return out;
}

std::string JournalRefusal(const std::string& journal) {
  const std::string format = PeekJournal(journal).format;
  if (!format.empty())
    return "名前の変更の記録が、このTonboの知らない形式（" + format +
           "）で書かれています。何も変更せず、記録はそのまま残します（新しいTonboで開けます）：" +
           journal;
  Journal j;
  if (ReadJournal(journal, j)) return {};
  return j.fault + "。何も変更せず、記録はそのまま残します：" + journal;
}

bool TouchesFolders(const std::vector<std::string>& runFolders,
                    const std::vector<std::string>& within) {
  for (const std::string& folder : within) {
    const std::string prefix = folder == "/" ? folder : folder + "/";
    for (const std::string& dir : runFolders)
      if (dir.compare(0, prefix.size(), prefix) == 0) return true;
  }
  return false;
}

UndoChoice LastUndoableRun(const std::string& dir, const std::vector<std::string>& within) {
  auto passedOver = [&](const Journal& j) {
    return !within.empty() && !TouchesFolders(SummarizeRun(j).folders, within);
  };
  for (const std::string& path : ListJournals(dir)) {
    const JournalStatus status = PeekJournal(path);
    // A recovery belongs to the run it recovered.
    if (status.kind == "recover") continue;
    if (status.kind == "undo") {
      if (status.complete || status.closed) continue;
      Journal undo;
      if (ReadJournal(path, undo) && passedOver(undo)) continue;
      return {{}, "前回の「元に戻す」が途中で終了しています。先にそれを済ませてください：" + path};
    }
    if (const std::string refusal = JournalRefusal(path); !refusal.empty())
      return {{}, "最後の名前の変更は元に戻せません。" + refusal};
    Journal j;
    ReadJournal(path, j);
    if (j.closed == "undone" || j.closed == "rolled back" || !j.planned || passedOver(j)) continue;
    if (JournalInUse(path)) return {{}, "名前の変更を実行中です：" + path};
    if ((j.complete && j.closed.empty()) || j.closed == "finished" || FinishedOnDisk(j))
      return {path, {}};
    return {{},
            "最後の名前の変更は途中で終了しています。元に戻す前に、最後まで済ませるか変更前の"
            "名前に戻してください：" +
                path};
  }
  return {};
}

RunSummary SummarizeRun(const std::string& journal) {
  Journal j;
  if (!ReadJournal(journal, j)) {
    RunSummary s;
    s.time = Stamp(journal);
    return s;
  }
  return SummarizeRun(j);
}

void CountJournal(const std::string& journal, int& planned, int& done) {
  Journal j;
  planned = done = 0;
  if (!ReadJournal(journal, j)) return;
  for (const JournalEntry& e : j.entries) {
    ++planned;
    done += e.renamed || e.trashed;
  }
}

RecoveryResult RecoverRun(const std::string& journal, RecoverMode mode, ProgressSink* progress) {
  RecoveryResult failed;
  Journal j;
  HeldJournal held;
  if (failed.error = held.Take(journal, j); !failed.error.empty()) return failed;
  if (j.complete || !j.closed.empty()) {
    failed.error = "この名前の変更は、すでに終わっています：" + journal;
    return failed;
  }
  // Finishing an undo finishes undoing its run: the run's own journal (a
  // journal beside this one, ReadJournal checked) is held until it is marked,
  // so an undo of it elsewhere cannot run meanwhile.
  HeldJournal run;
  const bool undoing =
      mode == RecoverMode::Finish && j.kind == "undo" && PeekJournal(j.source).kind == "run";
  if (undoing && !(failed.error = run.Hold(j.source)).empty()) return failed;
  Recovery rec(j, progress);
  rec.items.reserve(j.entries.size());
  for (const JournalEntry& e : j.entries) {
    const size_t at = rec.items.size();
    Item& item = rec.items.emplace_back();
    item.entry = &e;
    if (e.kind == 'D') {
      const bool there = !TrashedFileGone(e);
      item.where = there ? e.FromPath() : std::string();
      item.want = e.FromPath();
      if (mode == RecoverMode::Finish && there) rec.Move(at, e.FromPath(), {}, RowKind::Trash);
      item.restore = mode == RecoverMode::Rollback && !there;
      continue;
    }
    item.where = Locate(e);
    item.want = mode == RecoverMode::Finish ? e.TargetPath() : e.FromPath();
    item.restoreVictim = mode == RecoverMode::Rollback && e.hasVictim;
    if (item.where.empty())
      item.problem = RowProblem::Missing;
    else if (item.where != item.want)
      rec.Move(at, item.where, item.want, RowKind::Rename);
  }
  RecoveryResult result = rec.Run("recover", mode == RecoverMode::Finish);
  if (!result.error.empty() || result.kept) return result;
  CloseRecoveriesOf(journal);
  held.Close(mode == RecoverMode::Finish ? "finished" : "rolled back");
  if (undoing) run.Close("undone");
  return result;
}

namespace {

// "" or why the run cannot be undone (UTF-8); byPlace: it is undone from
// where its files are, not from its steps.
std::string UndoRefusal(const Journal& j, bool& byPlace) {
  byPlace = UndoneByPlace(j) && (!j.closed.empty() || FinishedOnDisk(j));
  if (j.kind == "run" && (byPlace || (j.complete && j.closed.empty()))) {
    // An undo of it that was cut off has moved some files back already.
    for (const std::string& path : ListJournals(j.path.substr(0, j.path.rfind('/') + 1))) {
      const JournalStatus status = PeekJournal(path);
      Journal undo;
      if (status.kind == "undo" && !status.complete && !status.closed && ReadJournal(path, undo) &&
          undo.source == j.path && !undo.complete && undo.closed.empty())
        return "前回の「元に戻す」が途中で終了しています。先にそれを済ませてください：" + path;
    }
    return {};
  }
  if (j.closed == "undone") return "この名前の変更は、すでに元に戻してあります：" + j.path;
  if (j.closed == "rolled back")
    return "この名前の変更は、途中で変更前の名前に戻してあります：" + j.path;
  if (j.kind == "run" && !j.complete && j.closed.empty())
    return "この名前の変更は途中で終了しています。元に戻す前に、最後まで済ませるか変更前の名前に"
           "戻してください：" +
           j.path;
  return "この名前の変更は元に戻せません：" + j.path;
}

// What undo does with each file of the run: the same for the check before
// it and for the undo itself.
std::vector<Item> UndoItems(const Journal& j, bool byPlace) {
  std::vector<Item> items;
  items.reserve(j.entries.size());
  for (const JournalEntry& e : j.entries) {
    Item& item = items.emplace_back();
    item.entry = &e;
    item.want = e.FromPath();
    if (e.kind == 'D') {
      item.restore = byPlace ? TrashedFileGone(e) : e.trashed;
      continue;
    }
    if (byPlace) {
      // Wherever the run or its recovery left the file, among its names.
      item.where = Locate(e);
      item.restoreVictim = e.hasVictim;
      if (item.where.empty())
        item.problem = RowProblem::Moved;
      else
        item.move = item.where != item.want;
      continue;
    }
    if (!e.renamed) continue;
    item.restoreVictim = e.victimTrashed;
    const FileId now = platform::IdentityOf(e.TargetPath());
    item.where = e.TargetPath();
    // Written or moved since the run: reported, never forced.
    if (!now.SameFile(e.id))
      item.problem = RowProblem::Moved, item.where.clear();
    else if (!now.Unchanged(e.id))
      item.problem = RowProblem::Changed;
    else
      item.move = true;
  }
  return items;
}

// Every file of an undo checked before any moves: the file is the run's,
// its old name is free (or freed by another file of the undo), and a file
// to take back is in the trash. One step per file that goes back or cannot.
std::vector<UndoStep> CheckUndo(const std::vector<Item>& items) {
  std::unordered_set<std::string> leaving;
  for (const Item& item : items)
    if (item.move) leaving.insert(item.where);
  auto taken = [&](const std::string& path) {
    return platform::IdentityOf(path).Exists() && !leaving.count(path);
  };
  platform::TrashRestorer trash;
  std::vector<UndoStep> steps;
  for (const Item& item : items) {
    const JournalEntry& e = *item.entry;
    if (item.problem != RowProblem::None) {
      steps.push_back({e.TargetPath(), item.want, ReasonText(item.problem)});
    } else if (item.move) {
      steps.push_back(
          {item.where, item.want, taken(item.want) ? ReasonText(RowProblem::Taken) : ""});
    } else if (item.restore) {
      steps.push_back({{},
                       item.want,
                       !trash.Holds(item.want, e.id) ? "（ごみ箱にありません）"
                       : taken(item.want)            ? ReasonText(RowProblem::Taken)
                                                     : ""});
    }
    // The file the run replaced goes back to the name this file leaves.
    if (item.restoreVictim && !platform::IdentityOf(e.TargetPath()).SameFile(e.victim)) {
      steps.push_back({{},
                       e.TargetPath(),
                       !trash.Holds(e.TargetPath(), e.victim) ? "（ごみ箱にありません）"
                       : taken(e.TargetPath())                ? ReasonText(RowProblem::Taken)
                                                              : ""});
    }
  }
  return steps;
}

}  // namespace

UndoPreview PreviewUndo(const std::string& journal) {
  UndoPreview preview;
  Journal j;
  if (!ReadJournal(journal, j) || !j.planned) {
    const std::string refusal = JournalRefusal(journal);
    preview.refusal = refusal.empty() ? "名前の変更の記録を読めませんでした：" + journal : refusal;
    preview.run = SummarizeRun(journal);  // its time, from the name
    return preview;
  }
  preview.run = SummarizeRun(j);
  bool byPlace = false;
  if (preview.refusal = UndoRefusal(j, byPlace); !preview.refusal.empty()) return preview;
  if (JournalInUse(journal)) {
    preview.refusal = "名前の変更を実行中です：" + journal;
    return preview;
  }
  preview.steps = CheckUndo(UndoItems(j, byPlace));
  for (const UndoStep& step : preview.steps) preview.blocked += !step.problem.empty();
  return preview;
}

RecoveryResult UndoRun(const std::string& journal, ProgressSink* progress, UndoMode mode) {
  RecoveryResult failed;
  Journal j;
  HeldJournal held;
  if (failed.error = held.Take(journal, j); !failed.error.empty()) return failed;
  bool byPlace = false;
  if (failed.error = UndoRefusal(j, byPlace); !failed.error.empty()) return failed;
  Recovery rec(j, progress);
  rec.items = UndoItems(j, byPlace);
  if (mode == UndoMode::AllOrNothing) {
    // Checked under the journal's lock: what the check passed is what moves.
    for (const UndoStep& step : CheckUndo(rec.items)) {
      if (step.problem.empty()) continue;
      ++failed.notDone;
      failed.log.push_back(enc::Lit("元に戻せません：\"") +
                           Sjis(step.now.empty() ? step.back : step.now) + "\"" +
                           enc::Lit(step.problem));
    }
    if (failed.notDone > 0) {
      failed.error = "元に戻せないファイルがあるため、何も変更しませんでした：" + journal;
      return failed;
    }
  }
  for (size_t i = 0; i < rec.items.size(); ++i)
    if (rec.items[i].move) rec.Move(i, rec.items[i].where, rec.items[i].want, RowKind::Rename);
  RecoveryResult result = rec.Run("undo", false);
  if (result.error.empty()) held.Close("undone");
  return result;
}

std::vector<FileState> DescribeJournal(const std::string& journal) {
  Journal j;
  if (!ReadJournal(journal, j)) return {};
  std::vector<FileState> out;
  out.reserve(j.entries.size());
  for (const JournalEntry& e : j.entries) {
    FileState& f = out.emplace_back();
    f.from = e.FromPath();
    if (e.kind == 'D') {
      f.state = TrashedFileGone(e) ? "ごみ箱" : "変更前";
      continue;
    }
    f.target = e.TargetPath();
    const std::string where = Locate(e);
    f.state = where.empty()           ? "見つかりません"
              : where == e.FromPath() ? "変更前"
              : where == f.target     ? "変更後"
                                      : "一時的な名前";
    if (f.state == "一時的な名前") f.where = where;
  }
  return out;
}

}  // namespace tonbo
