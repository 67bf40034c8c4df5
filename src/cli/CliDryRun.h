#pragma once
// The dry run's check: the changed rows of the table taken in the order the
// real run takes them (the same plan and walk), on paper, so every clash is
// known before anything on disk changes.
#include <cstdint>
#include <string>
#include <vector>

#include "core/CsvDb.h"
#include "core/RenameReasons.h"

namespace tonbo::cli {

// Why the run would leave a changed row as it is.
enum class Clash : std::uint8_t {
  None,
  Refused,    // the new name cannot be a name (problem says why)
  FileThere,  // a file that stays holds the new name
  FolderThere,
  SameAsRow,  // the row `other` takes the new name first
};

struct DryRunRow {
  int row = 0;
  int other = -1;
  Clash clash = Clash::None;
  RowProblem problem = RowProblem::None;
};

struct DryRunCheck {
  std::vector<DryRunRow> changed;  // the rows whose name changes, in table order
  int unchanged = 0;
  int clashes = 0;
};

// A row clashes when its new name is refused, when a file that stays holds
// it (one not in the list, or a listed one whose own row stays), or when a
// row before it in the run's order has taken it. Each target that no listed
// file leaves is looked up on disk once.
DryRunCheck CheckDryRun(const TCsvDb& table);

// "（…）": the clash as the end of a line (UTF-8, names escaped); empty for none.
std::string ClashText(const TCsvDb& table, const DryRunRow& row);

}  // namespace tonbo::cli
