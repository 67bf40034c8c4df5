#include "cli/CliDryRun.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "cli/CliReport.h"
#include "common/Paths.h"
#include "common/Sjis.h"
#include "core/RenameExecutor.h"

namespace tonbo::cli {
namespace {

size_t HashOf(const PlanPlace& p) {
  return std::hash<std::string_view>()(p.name) ^ (p.folder * 0x9e3779b97f4a7c15ULL);
}

class PaperRun : private PlanSteps {
 public:
  explicit PaperRun(const TCsvDb& table) {
    const int count = table.RowCount();
    rows_.rows.resize(static_cast<size_t>(count));
    out_.resize(static_cast<size_t>(count));
    std::vector<char> leaves(static_cast<size_t>(count), 0);
    for (int row = 0; row < count; ++row) {
      EngineRow& r = rows_[row];
      r.kind = PlannedKind(table, row, r.problem);
      if (r.kind == RowKind::Keep || r.kind == RowKind::Refused) continue;
      const std::string_view src = table.GetCell(colPath, row);
      const size_t cut = src.rfind('/') + 1;
      r.folder = rows_.FolderNumber(enc::SjisToDisk(src.substr(0, cut)));
      r.from = enc::SjisToDisk(src.substr(cut));
      if (r.kind == RowKind::Rename)
        r.to = enc::SjisToDisk(
            std::string(table.GetCell(colNewName, row)).append(table.GetCell(colExt, row)));
      leaves[static_cast<size_t>(row)] = 1;
    }
    walk_ = PlanWalk(rows_.Plan(leaves));
    left_.assign(static_cast<size_t>(count), 0);
    size_t slots = 16;
    while (slots < static_cast<size_t>(count) * 2) slots *= 2;
    taken_.assign(slots, -1);
  }
  ~PaperRun() override {
    if (dirFd_ >= 0) close(dirFd_);
  }
  PaperRun(const PaperRun&) = delete;
  PaperRun& operator=(const PaperRun&) = delete;

  DryRunCheck Check() {
    walk_.Walk(*this);
    DryRunCheck out;
    for (int row = 0; row < rows_.Count(); ++row) {
      if (rows_[row].kind == RowKind::Keep) {
        ++out.unchanged;
        continue;
      }
      DryRunRow r = out_[static_cast<size_t>(row)];
      r.row = row;
      r.problem = rows_[row].problem;
      out.clashes += r.clash != Clash::None;
      out.changed.push_back(r);
    }
    return out;
  }

 private:
  // The kind of entry that holds name in the folder before the run: a
  // file, a folder, or none. Through an open folder, one at a time, as the
  // run looks its folders up.
  Clash OnDisk(std::uint32_t folder, const std::string& name) {
    if (folder != dirFolder_ || dirFd_ < 0) {
      if (dirFd_ >= 0) close(dirFd_);
      dirFolder_ = folder;
      dirFd_ = open(rows_.Folder(Probe(folder)).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    }
    struct stat st {};
    const int found = dirFd_ >= 0 ? fstatat(dirFd_, name.c_str(), &st, AT_SYMLINK_NOFOLLOW)
                                  : lstat((rows_.Folder(Probe(folder)) + name).c_str(), &st);
    if (found != 0) return Clash::None;
    return S_ISDIR(st.st_mode) ? Clash::FolderThere : Clash::FileThere;
  }
  static EngineRow Probe(std::uint32_t folder) {
    EngineRow r;
    r.folder = folder;
    return r;
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

  RowKind KindOf(int row) const override { return rows_[row].kind; }
  void Refused(int row) override { out_[static_cast<size_t>(row)].clash = Clash::Refused; }
  // The name is free when the listed file that held it has left (the walk
  // takes that row first) or no file held it, and no row has taken it since.
  void Rename(int row) override {
    walk_.Done(row);
    const EngineRow& r = rows_[row];
    DryRunRow& out = out_[static_cast<size_t>(row)];
    const int taken = Slot(Target(row));
    const int holder = walk_.Plan().holder[static_cast<size_t>(row)];
    if (taken >= 0) {
      out.clash = Clash::SameAsRow;
      out.other = taken;
    } else if (holder >= 0) {
      if (!left_[static_cast<size_t>(holder)]) out.clash = Clash::FileThere;
    } else {
      out.clash = OnDisk(r.folder, r.to);
    }
    if (out.clash == Clash::None) Take(row);
  }
  void Trash(int row) override {
    walk_.Done(row);
    left_[static_cast<size_t>(row)] = 1;
  }
  // A ring goes round as one piece: its names change hands among its rows.
  bool Ring(int cycle) override {
    for (int member : walk_.Plan().cycles[static_cast<size_t>(cycle)]) {
      walk_.Done(member);
      Take(member);
    }
    return true;
  }

  EngineRows rows_;
  PlanWalk walk_;
  std::vector<DryRunRow> out_;
  std::vector<char> left_;
  std::vector<int> taken_;  // rows whose new name is taken, by their target
  std::uint32_t dirFolder_ = 0;
  int dirFd_ = -1;
};

}  // namespace

DryRunCheck CheckDryRun(const TCsvDb& table) { return PaperRun(table).Check(); }

std::string ClashText(const TCsvDb& table, const DryRunRow& row) {
  switch (row.clash) {
    case Clash::None:
      return {};
    case Clash::Refused:
      return ReasonText(row.problem);
    case Clash::FileThere:
      return ReasonText(EEXIST);
    case Clash::FolderThere:
      return ReasonText(EISDIR);
    case Clash::SameAsRow:
      return "（「" + ShownName(ExtractFileName(std::string(table.GetCell(colPath, row.other)))) +
             "」と同じ名前になります）";
  }
  return {};
}

}  // namespace tonbo::cli
