#pragma once
// Which changed rows of the list a rename run would not carry out as they
// stand, known before it starts: the rows taken in the order the run takes
// them (the same plan and walk), on paper. The window marks them after every
// command and tonbo-cli's dry run prints them. Rows that wait for another
// row (a chain, a swap, a ring) are no clash.
#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/CsvDb.h"
#include "core/RenameReasons.h"
#include "platform/FileOps.h"

namespace tonbo {

// Why the run would leave a changed row as it is, or ask about it.
enum class Clash : std::uint8_t {
  None,
  Refused,    // the new name cannot be a name (problem says why)
  TooLong,    // longer, in bytes, than the folder's file system takes
  FileThere,  // a file that stays holds the new name
  FolderThere,
  SameAsRow,  // the row `other` takes the new name first
  Missing,    // the listed file is gone
  Replaced,   // another file is at the row's path since it was listed
};

struct RowClash {
  int row = 0;
  int other = -1;
  Clash clash = Clash::None;
  RowProblem problem = RowProblem::None;
};

struct ClashCheck {
  std::vector<RowClash> changed;  // the rows whose name changes, in table order
  int unchanged = 0;
  int clashes = 0;
};

// The file each listed path stood for when a check first saw it, so a later
// check knows a file replaced since it was added. Kept by whoever checks
// again and again (the window's worker); one check at a time.
class SeenFiles {
 public:
  // Remembers the rows' files not yet known, forgets paths no longer listed,
  // and gives per row Missing, Replaced or None for the rows that change.
  // idOf(row): the file at the row's path now.
  std::vector<Clash> Review(const TCsvDb& table, const std::vector<char>& changes,
                            const std::function<platform::FileId(int row)>& idOf);

 private:
  std::unordered_map<std::string, platform::FileId> seen_;  // by Path (code page 932)
};

// In memory only, fast enough after every command: refused and too long
// names (the common limit of 255 bytes) and rows that take one new name.
ClashCheck CheckClashes(const TCsvDb& table);

// With the disk: also a target held by an entry that stays, the limit of
// each folder's file system, and, with `seen`, files gone or replaced. Each
// target that no listed file leaves is looked up once.
ClashCheck CheckClashesOnDisk(const TCsvDb& table, SeenFiles* seen);

// "（…）": the clash as the end of a line (UTF-8, names escaped); empty for none.
std::string ClashText(const TCsvDb& table, const RowClash& row);

}  // namespace tonbo
