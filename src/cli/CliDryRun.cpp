#include "cli/CliDryRun.h"

#include <sys/stat.h>

#include <cerrno>
#include <unordered_map>

#include "cli/CliReport.h"
#include "common/Paths.h"
#include "common/Sjis.h"
#include "core/RenameExecutor.h"

namespace tonbo::cli {
namespace {

// Who holds a name during the run on paper: nobody, a file or folder that
// was there before the run, or the row (0, 1, ...) that took it.
constexpr int kFree = -1, kFile = -2, kFolder = -3;

class PaperRun : private PlanSteps {
 public:
  explicit PaperRun(const TCsvDb& table) : table_(table) {
    const int count = table.RowCount();
    rows_.rows.resize(static_cast<size_t>(count));
    clash_.resize(static_cast<size_t>(count));
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
    walk_ = PlanWalk(PlanRun(
        count,
        [this](int i) {
          return PlanPlace{rows_[i].folder, rows_[i].from};
        },
        [this](int i) {
          const EngineRow& r = rows_[i];
          return r.kind == RowKind::Rename ? PlanPlace{r.folder, r.to} : PlanPlace{};
        },
        leaves));
  }

  DryRunCheck Check() {
    walk_.Walk(*this);
    DryRunCheck out;
    for (int row = 0; row < rows_.Count(); ++row) {
      if (rows_[row].kind == RowKind::Keep) {
        ++out.unchanged;
        continue;
      }
      std::string& clash = clash_[static_cast<size_t>(row)];
      out.clashes += !clash.empty();
      out.changed.push_back({row, std::move(clash)});
    }
    return out;
  }

 private:
  int& Holder(std::uint32_t folder, const std::string& name) {
    std::string key(reinterpret_cast<const char*>(&folder), sizeof folder);
    key += name;
    const auto [it, added] = held_.try_emplace(std::move(key), kFree);
    if (added) {
      struct stat st {};
      if (lstat((FolderOf(folder) + name).c_str(), &st) == 0)
        it->second = S_ISDIR(st.st_mode) ? kFolder : kFile;
    }
    return it->second;
  }
  const std::string& FolderOf(std::uint32_t folder) {
    EngineRow probe;
    probe.folder = folder;
    return rows_.Folder(probe);
  }
  std::string OldName(int row) const {
    return ExtractFileName(std::string(table_.GetCell(colPath, row)));
  }

  RowKind KindOf(int row) const override { return rows_[row].kind; }
  void Refused(int row) override {
    clash_[static_cast<size_t>(row)] = ReasonText(rows_[row].problem);
  }
  void Rename(int row) override {
    walk_.Done(row);
    const EngineRow& r = rows_[row];
    int& target = Holder(r.folder, r.to);
    if (target == kFree) {
      target = row;
      Holder(r.folder, r.from) = kFree;
      return;
    }
    std::string& clash = clash_[static_cast<size_t>(row)];
    if (target >= 0)
      clash = "（「" + ShownName(OldName(target)) + "」と同じ名前になります）";
    else
      clash = ReasonText(target == kFolder ? EISDIR : EEXIST);
  }
  void Trash(int row) override {
    walk_.Done(row);
    Holder(rows_[row].folder, rows_[row].from) = kFree;
  }
  // A ring goes round as one piece: its names change hands among its rows.
  bool Ring(int cycle) override {
    const std::vector<int>& ring = walk_.Plan().cycles[static_cast<size_t>(cycle)];
    for (int member : ring) walk_.Done(member);
    for (int member : ring) Holder(rows_[member].folder, rows_[member].to) = member;
    return true;
  }

  const TCsvDb& table_;
  EngineRows rows_;
  PlanWalk walk_;
  std::vector<std::string> clash_;
  std::unordered_map<std::string, int> held_;
};

}  // namespace

DryRunCheck CheckDryRun(const TCsvDb& table) { return PaperRun(table).Check(); }

}  // namespace tonbo::cli
