#include "core/RunRecovery.h"

#include <dirent.h>

#include <map>
#include <unordered_map>

#include "common/Sjis.h"
#include "core/RenameEngine.h"

namespace tonbo {
namespace {

using platform::FileId;

// Finds a file by its inode in a folder when it is under none of the names
// the journal knows (a temporary name, or a step the journal did not keep).
class FolderScan {
 public:
  std::string Find(const std::string& dir, const FileId& id) {
    auto [it, fresh] = folders_.try_emplace(dir);
    if (fresh) {
      if (DIR* d = opendir(dir.c_str())) {
        while (const dirent* e = readdir(d)) it->second.emplace(e->d_ino, e->d_name);
        closedir(d);
      }
    }
    const auto found = it->second.find(id.ino);
    if (found == it->second.end()) return {};
    const std::string path = dir + found->second;
    return platform::IdentityOf(path).SameFile(id) ? path : std::string();
  }

 private:
  std::unordered_map<std::string, std::unordered_multimap<std::uint64_t, std::string>> folders_;
};

std::string Locate(const JournalEntry& e, FolderScan& scan) {
  for (const std::string& path : {e.ParkedPath(), e.TargetPath(), e.FromPath(), e.dir + e.to}) {
    if (!path.empty() && platform::IdentityOf(path).SameFile(e.id)) return path;
  }
  return scan.Find(e.dir, e.id);
}

std::string Sjis(const std::string& disk) {
  std::string out;
  if (!enc::DiskToSjis(disk, out)) out = enc::ToSjis(QString::fromUtf8(disk.c_str()));
  return out;
}

std::string NameOf(const std::string& path) { return path.substr(path.rfind('/') + 1); }

// One file of the journal on its way through a recovery or undo.
struct Item {
  const JournalEntry* entry = nullptr;
  int row = -1;       // its engine row, -1 when it needs no move
  std::string where;  // where the file is (disk), "" when not found
  std::string want;   // where it goes
  RowProblem problem = RowProblem::None;
  bool restore = false;        // take it back from the trash to want
  bool restoreVictim = false;  // take the file it replaced back from the trash
};

class Recovery {
 public:
  Recovery(const Journal& j, ProgressSink* progress) : j_(j), progress_(progress) {}
  RecoveryResult Run(const char* kind);
  std::vector<Item> items;
  EngineRows rows;

  // from and to: disk paths in one folder (to is empty for the trash).
  void Move(Item& item, const std::string& from, const std::string& to, RowKind kind) {
    item.row = rows.Count();
    const size_t cut = from.rfind('/') + 1;
    EngineRow r;
    r.kind = kind;
    r.folder = rows.FolderNumber(std::string_view(from).substr(0, cut));
    r.from = from.substr(cut);
    if (!to.empty()) r.to = NameOf(to);
    r.id = item.entry->id;
    rows.rows.push_back(std::move(r));
  }

 private:
  void Log(const std::string& utf8Fixed, const std::string& name, const std::string& path,
           RowProblem problem, int err);
  void Collect(Item& item);

  const Journal& j_;
  ProgressSink* progress_;
  RecoveryResult result_;
  platform::TrashRestorer trash_;  // read at the first file put back, after the moves
};

void Recovery::Log(const std::string& utf8Fixed, const std::string& name, const std::string& path,
                   RowProblem problem, int err) {
  ++result_.notDone;
  const std::string reason = problem != RowProblem::None ? ReasonText(problem) : ReasonText(err);
  result_.log += enc::Lit(utf8Fixed + "：\"") + Sjis(name) + enc::Lit("\"←\"") + Sjis(path) + "\"" +
                 enc::Lit(reason) + "\r\n";
}

RecoveryResult Recovery::Run(const char* kind) {
  RenameEngine engine(rows, [this](int row, const EngineRow& r) {
    // Finishing a run that chose to overwrite: the file it meant to replace.
    for (const Item& item : items)
      if (item.row == row && item.entry->hasVictim &&
          platform::IdentityOf(rows.To(r)).SameFile(item.entry->victim) && item.want == rows.To(r))
        return Settlement{Settlement::Overwrite, {}, {}};
    return Settlement{Settlement::Skip, {}, RowOutcome::SkippedSame};
  });
  engine.SetProgress(progress_, [this](int row) { return Sjis(rows[row].from); });
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
    } else if (r.outcome != RowOutcome::Untouched) {
      Log("名前の変更に失敗", r.to, rows.From(r),
          r.outcome == RowOutcome::SkippedSame ? RowProblem::Taken : r.problem, r.err);
    }
  } else if (item.problem != RowProblem::None) {
    Log("名前の変更に失敗", NameOf(item.want), item.where.empty() ? e.FromPath() : item.where,
        item.problem, 0);
  }
  if (item.restore) {
    const int err = trash_.Restore(item.want, e.id);
    if (err == 0) {
      ++result_.restored;
      now = item.want;
    } else {
      Log("ごみ箱から戻せませんでした", NameOf(item.want), item.want, RowProblem::None, err);
    }
  }
  if (!now.empty()) result_.paths.push_back(Sjis(now));
  if (item.restoreVictim) {
    const int err = trash_.Restore(e.TargetPath(), e.victim);
    if (err == 0) {
      ++result_.restored;
      result_.paths.push_back(Sjis(e.TargetPath()));
    } else if (err != ENOENT || !platform::IdentityOf(e.TargetPath()).SameFile(e.victim)) {
      Log("ごみ箱から戻せませんでした", NameOf(e.TargetPath()), e.TargetPath(), RowProblem::None,
          err);
    }
  }
}

bool ReadOrFail(const std::string& path, Journal& j, RecoveryResult& result) {
  if (ReadJournal(path, j) && j.planned) return true;
  result.error = JournalRefusal(path);
  if (result.error.empty()) result.error = "名前の変更の記録を読めませんでした：" + path;
  return false;
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

}  // namespace

std::vector<std::string> UnfinishedJournals(const std::string& dir) {
  std::vector<std::string> out;
  for (const std::string& path : ListJournals(dir)) {
    const JournalStatus status = PeekJournal(path);
    if (status.complete || status.closed || status.kind == "recover") continue;
    if (!status.format.empty()) {
      // Listed all the same, so that its refusal is said where a recovery is offered.
      if (!JournalInUse(path)) out.push_back(path);
      continue;
    }
    Journal j;
    if (!ReadJournal(path, j) || j.complete || !j.closed.empty() || !j.planned) continue;
    if (j.kind == "recover" || JournalInUse(path)) continue;
    out.push_back(path);
  }
  return out;
}

std::string JournalRefusal(const std::string& journal) {
  const std::string format = PeekJournal(journal).format;
  if (format.empty()) return {};
  return "名前の変更の記録が、このTonboの知らない形式（" + format +
         "）で書かれています。何も変更せず、記録はそのまま残します（新しいTonboで開けます）：" +
         journal;
}

std::string LastUndoableJournal(const std::string& dir) {
  for (const std::string& path : ListJournals(dir)) {
    const JournalStatus status = PeekJournal(path);
    if (status.complete && !status.closed && status.kind == "run") return path;
  }
  return {};
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
  if (!ReadOrFail(journal, j, failed)) return failed;
  Recovery rec(j, progress);
  FolderScan scan;
  rec.items.reserve(j.entries.size());
  for (const JournalEntry& e : j.entries) {
    Item& item = rec.items.emplace_back();
    item.entry = &e;
    if (e.kind == 'D') {
      const bool there = platform::IdentityOf(e.FromPath()).SameFile(e.id);
      item.where = there ? e.FromPath() : std::string();
      item.want = e.FromPath();
      if (mode == RecoverMode::Finish && there) rec.Move(item, e.FromPath(), {}, RowKind::Trash);
      item.restore = mode == RecoverMode::Rollback && !there;
      continue;
    }
    item.where = Locate(e, scan);
    item.want = mode == RecoverMode::Finish ? e.TargetPath() : e.FromPath();
    item.restoreVictim = mode == RecoverMode::Rollback && e.hasVictim;
    if (item.where.empty())
      item.problem = RowProblem::Missing;
    else if (item.where != item.want)
      rec.Move(item, item.where, item.want, RowKind::Rename);
  }
  RecoveryResult result = rec.Run("recover");
  if (result.error.empty()) {
    CloseRecoveriesOf(journal);
    CloseJournal(journal, mode == RecoverMode::Finish ? "finished" : "rolled back");
    if (mode == RecoverMode::Finish && j.kind == "undo" && !j.source.empty())
      CloseJournal(j.source, "undone");
  }
  return result;
}

RecoveryResult UndoRun(const std::string& journal, ProgressSink* progress) {
  RecoveryResult failed;
  Journal j;
  if (!ReadOrFail(journal, j, failed)) return failed;
  Recovery rec(j, progress);
  for (const JournalEntry& e : j.entries) {
    Item& item = rec.items.emplace_back();
    item.entry = &e;
    item.want = e.FromPath();
    if (e.kind == 'D') {
      item.restore = e.trashed;
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
      rec.Move(item, e.TargetPath(), e.FromPath(), RowKind::Rename);
  }
  RecoveryResult result = rec.Run("undo");
  if (result.error.empty()) CloseJournal(journal, "undone");
  return result;
}

std::string DescribeJournal(const std::string& journal) {
  Journal j;
  if (!ReadJournal(journal, j)) return {};
  std::string out;
  FolderScan scan;
  for (const JournalEntry& e : j.entries) {
    std::string state;
    if (e.kind == 'D') {
      state = platform::IdentityOf(e.FromPath()).SameFile(e.id) ? "変更前" : "ごみ箱";
      out += state + "\t" + e.FromPath() + "\t→\t(削除)\n";
      continue;
    }
    const std::string where = Locate(e, scan);
    state = where.empty()             ? "見つかりません"
            : where == e.FromPath()   ? "変更前"
            : where == e.TargetPath() ? "変更後"
                                      : "一時的な名前\t" + where;
    out += state + "\t" + e.FromPath() + "\t→\t" + NameOf(e.TargetPath()) + "\n";
  }
  return out;
}

}  // namespace tonbo
