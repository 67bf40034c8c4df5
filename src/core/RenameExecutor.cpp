#include "core/RenameExecutor.h"

#include <sys/stat.h>

#include <algorithm>

#include "common/Escaped.h"
#include "common/Paths.h"
#include "common/Sjis.h"
#include "core/RunJournal.h"
#include "platform/FileOps.h"
#include "platform/FolderInodes.h"

namespace tonbo {
namespace {

// Bytes of a code page 932 text on the disk: an ASCII text (most
// extensions) is its own length.
size_t DiskLength(std::string_view sjis) {
  for (const char c : sjis)
    if (static_cast<unsigned char>(c) >= 0x80) return enc::SjisToDisk(sjis).size();
  return sjis.size();
}

// Last-write time at two-second resolution; 0 when the file is missing.
long long FileTime(const std::string& disk) {
  struct stat st {};
  if (lstat(disk.c_str(), &st) != 0) return 0;
  return static_cast<long long>(st.st_mtime) & ~1LL;
}

}  // namespace

bool TargetNotOlder(const std::string& diskTarget, const std::string& diskSource) {
  return FileTime(diskTarget) >= FileTime(diskSource);
}

std::string NumberedName(const std::string& sjisStem, const std::string& sjisExt) {
  for (int n = 1;; ++n) {
    std::string candidate = sjisStem + std::to_string(n) + sjisExt;
    if (!platform::IdentityOf(enc::SjisToDisk(candidate)).Exists()) return candidate;
  }
}

namespace {

// RefusedName, leaving the name's disk bytes in `disk` (the run needs them).
RowProblem RefusedName(std::string_view sjisName, std::string& disk) {
  if (sjisName.empty()) return RowProblem::EmptyName;
  if (sjisName == "." || sjisName == "..") return RowProblem::DotName;
  // "/" is never the second byte of a double-byte character.
  if (sjisName.find('/') != std::string::npos) return RowProblem::Slash;
  if (sjisName.find('\0') != std::string::npos) return RowProblem::NulByte;
  disk = enc::SjisToDisk(sjisName);
  if (disk.find('/') != std::string::npos) return RowProblem::Slash;
  if (disk.find('\0') != std::string::npos) return RowProblem::NulByte;
  return RowProblem::None;
}

// A row's cells, each read from the table once.
struct RowCells {
  RowCells(const TCsvDb& table, int row)
      : src(table.GetCell(colPath, row)),
        base(table.GetCell(colNewName, row)),
        ext(table.GetCell(colExt, row)),
        marked(table.MarkedForDeletion(row)) {}
  std::string_view src, base, ext;
  bool marked;
};

// PlannedKind; a rename's new name in disk bytes goes to diskTo.
RowKind KindOf(const RowCells& cells, RowProblem& problem, std::string& diskTo) {
  problem = RowProblem::None;
  if (cells.marked) return RowKind::Trash;
  const std::string_view name = cells.src.substr(cells.src.rfind('/') + 1);
  if (name.size() == cells.base.size() + cells.ext.size() && name.starts_with(cells.base) &&
      name.ends_with(cells.ext))
    return RowKind::Keep;
  problem = RefusedName(std::string(cells.base).append(cells.ext), diskTo);
  return problem == RowProblem::None ? RowKind::Rename : RowKind::Refused;
}

}  // namespace

RowProblem RefusedName(const std::string& sjisName) {
  std::string disk;
  return RefusedName(sjisName, disk);
}

RowKind PlannedKind(const TCsvDb& table, int row, RowProblem& problem) {
  std::string diskTo;
  return KindOf(RowCells(table, row), problem, diskTo);
}

RenameExecutor::RenameExecutor(AskSameName ask)
    : ask_(std::move(ask)), journalDir_(JournalDirDisk()) {}

RenameResult RenameExecutor::Run(const TCsvDb& table) {
  table_ = &table;
  result_ = RenameResult();
  numbered_.clear();
  applyToAll_ = preset_ ? 1 : 0;
  if (preset_) method_ = *preset_;
  EngineRows rows = BuildRows();
  RenameEngine engine(rows, [this, &rows](int row, const EngineRow& r) {
    return SettleRow(row, r, rows.Folder(r));
  });
  if (preset_) engine.SetPresetAnswer(static_cast<int>(*preset_));
  engine.SetProgress(progress_,
                     [this](int row) { return ExtractFileName(table_->GetCell(colPath, row)); });
  if (const int err = engine.Run(journalDir_, "run", "")) {
    result_.error =
        "名前の変更の記録を書けないため、何も変更しませんでした。" + platform::ErrorText(err);
    for (EngineRow& r : rows.rows) r.outcome = RowOutcome::Untouched;
    if (keepPaths_)
      for (int row = 0; row < table.RowCount(); ++row)
        Keep(std::string(table.GetCell(colPath, row)));
    return std::move(result_);
  }
  result_.stopped = engine.Stopped();
  result_.journal = engine.JournalPath();
  if (const int err = engine.JournalFailure())
    result_.journalError = "名前の変更の記録を最後まで書けませんでした" + ReasonText(err) +
                           "。変更したファイルは、ディスク上の名前から元に戻せます。";
  Collect(rows);
  table_ = nullptr;
  return std::move(result_);
}

std::string RenameExecutor::Target(int row) const {
  const std::string src(table_->GetCell(colPath, row));
  return ExtractFilePath(src)
      .append(table_->GetCell(colNewName, row))
      .append(table_->GetCell(colExt, row));
}

EngineRows RenameExecutor::BuildRows() {
  const int count = table_->RowCount();
  EngineRows rows;
  rows.rows.resize(static_cast<size_t>(count));
  std::string_view lastDir;  // code page 932; the table's texts stay put while the run reads them
  bool haveDir = false;
  std::uint32_t folder = 0;
  for (int row = 0; row < count; ++row) {
    EngineRow& r = rows[row];
    const RowCells cells(*table_, row);
    const std::string_view src = cells.src;
    const size_t cut = src.rfind('/') + 1;
    r.kind = KindOf(cells, r.problem, r.to);
    if (r.kind == RowKind::Keep) continue;
    if (r.kind == RowKind::Refused) {
      r.to.clear();
      r.outcome = RowOutcome::Failed;
      continue;
    }
    if (r.kind == RowKind::Rename) {
      const size_t ext = DiskLength(cells.ext);
      if (ext < r.to.size() && ext < 0x7fff) r.extLength = static_cast<std::int16_t>(ext);
    }
    if (!haveDir || src.substr(0, cut) != lastDir) {
      haveDir = true;
      lastDir = src.substr(0, cut);
      folder = rows.FolderNumber(enc::SjisToDisk(lastDir));
    }
    r.folder = folder;
    r.from = enc::SjisToDisk(src.substr(cut));
  }
  ReadIdentities(rows);
  return rows;
}

// Which file every row stands for, read now, at the start of the run. A
// folder with many rows to rename is listed once (one folder at a time);
// the other rows take a stat per file.
void RenameExecutor::ReadIdentities(EngineRows& rows) {
  std::vector<std::vector<int>> folders;  // row numbers of each folder
  for (int i = 0; i < rows.Count(); ++i) {
    const EngineRow& r = rows[i];
    if (r.kind != RowKind::Rename && r.kind != RowKind::Trash) continue;
    if (folders.size() <= r.folder) folders.resize(r.folder + 1);
    folders[r.folder].push_back(i);
  }
  platform::FolderHandle folder;
  platform::FolderInodes listing;
  for (const std::vector<int>& members : folders) {
    if (members.empty()) continue;
    const std::string& dir = rows.Folder(rows[members[0]]);
    const bool listed = platform::FolderInodes::Worthwhile(dir, static_cast<int>(members.size())) &&
                        listing.Read(dir);
    for (const int i : members) {
      EngineRow& r = rows[i];
      const std::uint64_t ino =
          listed && r.kind == RowKind::Rename ? listing.InodeOf(r.from.c_str()) : 0;
      if (ino != 0) {
        r.id = {listing.Device(), ino, 0, 0};
        r.idListed = true;
      } else {
        r.id = folder.IdentityIn(dir, r.from.c_str());
      }
    }
  }
}

Settlement RenameExecutor::SettleRow(int row, const EngineRow& r, const std::string& dir) {
  bool asked = false;
  if (applyToAll_ == 0) {
    const ConflictAnswer answer =
        ask_ ? ask_(Target(row)) : ConflictAnswer{ConflictButton::Stop, method_};
    applyToAll_ = static_cast<int>(answer.button);
    method_ = answer.method;
    asked = true;
  }
  if (applyToAll_ == 2) return {Settlement::Stop, {}, {}};
  Settlement s = SettleBy(row, r, dir);
  if (asked) s.answer = static_cast<int>(method_), s.answerAll = applyToAll_ == 1;
  return s;
}

Settlement RenameExecutor::SettleBy(int row, const EngineRow& r, const std::string& dir) {
  switch (method_) {
    case ConflictMethod::OverwriteIfNewer:
      if (TargetNotOlder(dir + r.to, dir + r.from))
        return {Settlement::Skip, {}, RowOutcome::SkippedNewer};
      return {Settlement::Overwrite, {}, {}};
    case ConflictMethod::Overwrite:
      return {Settlement::Overwrite, {}, {}};
    case ConflictMethod::Number: {
      // NewName + "_" + n + Ext: a dot inside the new name stays where it is.
      const std::string stem = ExtractFilePath(std::string(table_->GetCell(colPath, row)))
                                   .append(table_->GetCell(colNewName, row))
                                   .append("_");
      const std::string candidate = NumberedName(stem, std::string(table_->GetCell(colExt, row)));
      numbered_.emplace_back(row, candidate);
      return {Settlement::RenameTo, enc::SjisToDisk(ExtractFileName(candidate)), {}};
    }
    case ConflictMethod::Skip:
      break;
  }
  return {Settlement::Skip, {}, RowOutcome::SkippedSame};
}

// Names are escaped: a line end or a terminal's control in a name can
// neither end the log's line nor act where the log is shown.
void RenameExecutor::Log(const char* utf8Fixed, const std::string& sjisName,
                         const std::string& sjisSrc, const std::string& utf8Reason) {
  const std::string name = EscapedSjis(sjisName);
  std::string format = enc::Lit(utf8Fixed);
  size_t at = format.find("%s");
  format.replace(at, 2, name);
  at = format.find("%s", at + name.size());
  if (at != std::string::npos) format.replace(at, 2, EscapedSjis(sjisSrc));
  result_.log += format + enc::Lit(utf8Reason) + "\r\n";
}

void RenameExecutor::Collect(const EngineRows& rows) {
  if (keepPaths_) result_.paths.reserve(rows.rows.size());
  std::sort(numbered_.begin(), numbered_.end());
  for (int row = 0; row < rows.Count(); ++row) {
    const EngineRow& r = rows[row];
    // A row renamed as planned needs none of these texts, and most rows are.
    if (r.outcome == RowOutcome::Renamed && !r.renumbered && !keepPaths_) {
      ++result_.renamed;
      continue;
    }
    const std::string src(table_->GetCell(colPath, row));
    const std::string newName =
        std::string(table_->GetCell(colNewName, row)).append(table_->GetCell(colExt, row));
    const std::string reason = r.problem != RowProblem::None
                                   ? ReasonText(r.problem)
                                   : ReasonText(r.err, r.outcome == RowOutcome::TrashFailed);
    switch (r.outcome) {
      case RowOutcome::Untouched:
        if (r.kind != RowKind::Keep) ++result_.untouched;
        Keep(r.kind == RowKind::Keep ? Target(row) : src);
        break;
      case RowOutcome::Renamed:
        ++result_.renamed;
        if (r.renumbered) {
          const auto it = std::lower_bound(numbered_.begin(), numbered_.end(),
                                           std::make_pair(row, std::string()));
          Keep(it->second);
        } else {
          Keep(Target(row));
        }
        break;
      case RowOutcome::Deleted:
        ++result_.deleted;
        break;
      case RowOutcome::SkippedSame:
        ++result_.notDone;
        Log("同名ファイルがあったのでスキップ：\"%s\"←\"%s\"", newName, src, "");
        Keep(src);
        break;
      case RowOutcome::SkippedNewer:
        ++result_.notDone;
        Log("書込先ファイルの方が新しかったのでスキップ：\"%s\"←\"%s\"", newName, src, "");
        Keep(Target(row));
        break;
      case RowOutcome::Failed:
        ++result_.notDone;
        Log("名前の変更に失敗：\"%s\"←\"%s\"", newName, src, reason);
        if (r.stranded) {
          std::string sjis;
          if (enc::DiskToSjis(rows.To(r), sjis)) Keep(sjis);
        }
        break;
      case RowOutcome::TrashFailed:
        ++result_.notDone;
        Log("ごみ箱に移動できませんでした：\"%s\"", src, "", reason);
        Keep(src);
        break;
    }
  }
}

}  // namespace tonbo
