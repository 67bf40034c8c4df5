#include "core/RunClashes.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <memory>

#include "common/Escaped.h"
#include "common/Paths.h"
#include "common/Sjis.h"
#include "core/RenameEngine.h"
#include "core/RenameExecutor.h"
#include "platform/FolderInodes.h"

namespace tonbo {
namespace {

// An open folder, one at a time, as the run looks its folders up.
class FolderLookup {
 public:
  FolderLookup() = default;
  ~FolderLookup() { Close(); }
  FolderLookup(const FolderLookup&) = delete;
  FolderLookup& operator=(const FolderLookup&) = delete;

  // The kind of entry that holds name in dir before the run.
  Clash Holder(std::uint32_t folder, const std::string& dir, const std::string& name) {
    Open(folder, dir);
    struct stat st {};
    const int found = fd_ >= 0 ? fstatat(fd_, name.c_str(), &st, AT_SYMLINK_NOFOLLOW)
                               : lstat((dir + name).c_str(), &st);
    if (found != 0) return Clash::None;
    return S_ISDIR(st.st_mode) ? Clash::FolderThere : Clash::FileThere;
  }
  // The longest name in bytes the folder's file system takes.
  size_t NameMax(std::uint32_t folder, const std::string& dir) {
    Open(folder, dir);
    const long max = fd_ >= 0 ? fpathconf(fd_, _PC_NAME_MAX) : -1;
    return max > 0 ? static_cast<size_t>(max) : NAME_MAX;
  }

 private:
  void Open(std::uint32_t folder, const std::string& dir) {
    if (fd_ >= 0 && folder == folder_) return;
    Close();
    folder_ = folder;
    // O_PATH: a folder that may not be listed can still be looked into.
    fd_ = open(dir.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  }
  void Close() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
  }
  std::uint32_t folder_ = 0;
  int fd_ = -1;
};

class PaperRun : private PlanSteps {
 public:
  PaperRun(const TCsvDb& table, bool onDisk, SeenFiles* seen)
      : onDisk_(onDisk), placeAll_(seen != nullptr) {
    const int count = table.RowCount();
    rows_.rows.resize(static_cast<size_t>(count));
    out_.resize(static_cast<size_t>(count));
    std::vector<char> leaves(static_cast<size_t>(count), 0), changes(leaves);
    for (int row = 0; row < count; ++row) {
      changes[static_cast<size_t>(row)] = Build(table, row);
      leaves[static_cast<size_t>(row)] =
          rows_[row].kind == RowKind::Rename || rows_[row].kind == RowKind::Trash;
    }
    if (seen) {
      ReadListings();
      identity_ = seen->Review(table, changes, [this](int row) { return IdOf(row); });
    }
    walk_ = PlanWalk(rows_.Plan(leaves));
    left_.assign(static_cast<size_t>(count), 0);
    size_t slots = 16;
    while (slots < static_cast<size_t>(count) * 2) slots *= 2;
    taken_.assign(slots, -1);
  }

  ClashCheck Check() {
    walk_.Walk(*this);
    ClashCheck out;
    for (int row = 0; row < rows_.Count(); ++row) {
      if (rows_[row].kind == RowKind::Keep) {
        ++out.unchanged;
        continue;
      }
      RowClash r = out_[static_cast<size_t>(row)];
      r.row = row;
      r.problem = rows_[row].problem;
      out.clashes += r.clash != Clash::None;
      out.changed.push_back(r);
    }
    return out;
  }

 private:
  // Fills the row's place and target; true when the row changes.
  // Every row's place when the files are to be known too.
  bool Build(const TCsvDb& table, int row) {
    EngineRow& r = rows_[row];
    r.kind = PlannedKind(table, row, r.problem);
    const bool changes = r.kind != RowKind::Keep;
    if (!placeAll_ && (r.kind == RowKind::Keep || r.kind == RowKind::Refused)) return changes;
    const std::string_view src = table.GetCell(colPath, row);
    const size_t cut = src.rfind('/') + 1;
    if (!haveDir_ || src.substr(0, cut) != lastDir_) {
      haveDir_ = true;
      lastDir_ = src.substr(0, cut);
      lastFolder_ = rows_.FolderNumber(enc::SjisToDisk(lastDir_));
    }
    r.folder = lastFolder_;
    r.from = enc::SjisToDisk(src.substr(cut));
    if (r.kind == RowKind::Rename) {
      r.to = enc::SjisToDisk(
          std::string(table.GetCell(colNewName, row)).append(table.GetCell(colExt, row)));
      // The run would try it and fail: the file stays where it is.
      if (r.to.size() > NameMax(r.folder)) {
        r.kind = RowKind::Refused;
        out_[static_cast<size_t>(row)].clash = Clash::TooLong;
      }
    }
    return changes;
  }
  // One listing of each folder with many rows, as the run reads them.
  void ReadListings() {
    std::vector<int> rows;
    for (const EngineRow& r : rows_.rows) {
      if (r.from.empty()) continue;
      if (rows.size() <= r.folder) rows.resize(r.folder + 1, 0);
      ++rows[r.folder];
    }
    listings_.resize(rows.size());
    for (std::uint32_t folder = 0; folder < rows.size(); ++folder) {
      const std::string& dir = Dir(folder);
      if (!platform::FolderInodes::Worthwhile(dir, rows[folder])) continue;
      auto listing = std::make_unique<platform::FolderInodes>();
      if (listing->Read(dir)) listings_[folder] = std::move(listing);
    }
  }
  const platform::FolderInodes* Listing(std::uint32_t folder) const {
    return folder < listings_.size() ? listings_[folder].get() : nullptr;
  }
  platform::FileId IdOf(int row) {
    const EngineRow& r = rows_[row];
    if (const platform::FolderInodes* listing = Listing(r.folder))
      if (const std::uint64_t ino = listing->InodeOf(r.from)) return {listing->Device(), ino};
    return handle_.IdentityIn(Dir(r.folder), r.from.c_str());
  }
  // The kind of entry that holds name in the folder before the run.
  Clash HolderOf(std::uint32_t folder, const std::string& name) {
    if (const platform::FolderInodes* listing = Listing(folder)) {
      const int type = listing->TypeOf(name);
      if (type < 0) return Clash::None;
      if (type == DT_DIR) return Clash::FolderThere;
      if (type != DT_UNKNOWN) return Clash::FileThere;
    }
    return lookup_.Holder(folder, Dir(folder), name);
  }
  size_t NameMax(std::uint32_t folder) {
    if (!onDisk_) return NAME_MAX;
    if (nameMax_.size() <= folder) nameMax_.resize(folder + 1, 0);
    size_t& max = nameMax_[folder];
    if (max == 0) max = lookup_.NameMax(folder, Dir(folder));
    return max;
  }
  const std::string& Dir(std::uint32_t folder) const {
    EngineRow probe;
    probe.folder = folder;
    return rows_.Folder(probe);
  }
  PlanPlace Target(int row) const { return {rows_[row].folder, rows_[row].to}; }
  // The slot of taken_ that holds the row whose target is place, or the
  // empty slot where it would go: open addressing over row numbers, so a
  // run of a million rows spends a few bytes a row here.
  int& Slot(const PlanPlace& place) {
    const size_t mask = taken_.size() - 1;
    for (size_t at = HashOf(place) & mask;; at = (at + 1) & mask) {
      int& row = taken_[at];
      if (row < 0 || Target(row) == place) return row;
    }
  }
  void Take(int row) {
    left_[static_cast<size_t>(row)] = 1;
    int& slot = Slot(Target(row));
    if (slot < 0) slot = row;
  }
  Clash IdentityOf(int row) const {
    return identity_.empty() ? Clash::None : identity_[static_cast<size_t>(row)];
  }

  RowKind KindOf(int row) const override { return rows_[row].kind; }
  void Refused(int row) override {
    Clash& clash = out_[static_cast<size_t>(row)].clash;
    if (clash == Clash::None) clash = Clash::Refused;
  }
  void Rename(int row) override;
  void Trash(int row) override {
    walk_.Done(row);
    left_[static_cast<size_t>(row)] = 1;
    // A file gone from the trash's way counts as deleted; another file in
    // its place would go to the trash instead.
    if (IdentityOf(row) == Clash::Replaced) out_[static_cast<size_t>(row)].clash = Clash::Replaced;
  }
  // A ring goes round as one piece: its names change hands among its rows.
  bool Ring(int cycle) override {
    for (int member : walk_.Plan().cycles[static_cast<size_t>(cycle)]) {
      walk_.Done(member);
      out_[static_cast<size_t>(member)].clash = IdentityOf(member);
      Take(member);
    }
    return true;
  }

  EngineRows rows_;
  PlanWalk walk_;
  std::vector<RowClash> out_;
  std::vector<char> left_;
  std::vector<int> taken_;  // rows whose new name is taken, by their target
  std::vector<Clash> identity_;
  FolderLookup lookup_;
  platform::FolderHandle handle_;
  std::vector<std::unique_ptr<platform::FolderInodes>> listings_;  // per folder, or null
  std::vector<size_t> nameMax_;                                    // per folder, 0 until looked up
  std::string_view lastDir_;  // code page 932; the table stays put while the check reads it
  std::uint32_t lastFolder_ = 0;
  bool haveDir_ = false;
  bool onDisk_;
  bool placeAll_;  // Keep and Refused rows get their place too
};

// The name is free when the listed file that held it has left (the walk
// takes that row first) or no entry held it, and no row has taken it since.
void PaperRun::Rename(int row) {
  walk_.Done(row);
  const EngineRow& r = rows_[row];
  RowClash& out = out_[static_cast<size_t>(row)];
  if (IdentityOf(row) == Clash::Missing) {
    out.clash = Clash::Missing;
    left_[static_cast<size_t>(row)] = 1;  // its name is free for a row waiting for it
    return;
  }
  const int taken = Slot(Target(row));
  const int holder = walk_.Plan().holder[static_cast<size_t>(row)];
  if (taken >= 0) {
    out.clash = Clash::SameAsRow;
    out.other = taken;
  } else if (holder >= 0) {
    if (!left_[static_cast<size_t>(holder)]) out.clash = Clash::FileThere;
  } else if (onDisk_) {
    out.clash = HolderOf(r.folder, r.to);
  }
  if (out.clash != Clash::None) return;
  Take(row);
  // The run would move whatever file is there now.
  out.clash = IdentityOf(row);
}

}  // namespace

std::vector<Clash> SeenFiles::Review(const TCsvDb& table, const std::vector<char>& changes,
                                     const std::function<platform::FileId(int row)>& idOf) {
  const int count = table.RowCount();
  std::vector<Clash> out(static_cast<size_t>(count), Clash::None);
  std::unordered_map<std::string, platform::FileId> now;
  now.reserve(static_cast<size_t>(count));
  for (int row = 0; row < count; ++row) {
    std::string path(table.GetCell(colPath, row));
    const auto it = seen_.find(path);
    const bool known = it != seen_.end();
    const bool changing = changes[static_cast<size_t>(row)] != 0;
    if (known && !changing) {
      now.emplace(std::move(path), it->second);
      continue;
    }
    const platform::FileId id = idOf(row);
    if (changing && !id.Exists())
      out[static_cast<size_t>(row)] = Clash::Missing;
    else if (changing && known && !(id.SameFile(it->second) && id.SameBirth(it->second)))
      out[static_cast<size_t>(row)] = Clash::Replaced;
    now.emplace(std::move(path), known ? it->second : id);
  }
  seen_ = std::move(now);
  return out;
}

ClashCheck CheckClashes(const TCsvDb& table) { return PaperRun(table, false, nullptr).Check(); }

ClashCheck CheckClashesOnDisk(const TCsvDb& table, SeenFiles* seen) {
  return PaperRun(table, true, seen).Check();
}

std::string ClashText(const TCsvDb& table, const RowClash& row) {
  switch (row.clash) {
    case Clash::None:
      return {};
    case Clash::Refused:
      return ReasonText(row.problem);
    case Clash::TooLong:
      return ReasonText(ENAMETOOLONG);
    case Clash::FileThere:
      return ReasonText(EEXIST);
    case Clash::FolderThere:
      return ReasonText(EISDIR);
    case Clash::SameAsRow:
      return "（「" +
             EscapedBytes(enc::SjisToDisk(ExtractFileName(table.GetCell(colPath, row.other)))) +
             "」と同じ名前になります）";
    case Clash::Missing:
      return ReasonText(RowProblem::Missing);
    case Clash::Replaced:
      return ReasonText(RowProblem::Replaced);
  }
  return {};
}

}  // namespace tonbo
