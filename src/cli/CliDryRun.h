#pragma once
// The dry run's check: the changed rows of the table taken in the order the
// real run takes them (the same plan and walk), on paper, so every clash is
// known before anything on disk changes.
#include <string>
#include <vector>

#include "core/CsvDb.h"

namespace tonbo::cli {

struct DryRunRow {
  int row = 0;
  std::string utf8Clash;  // "（…）" why the run would leave the row as it is; empty: it goes
};

struct DryRunCheck {
  std::vector<DryRunRow> changed;  // the rows whose name changes, in table order
  int unchanged = 0;
  int clashes = 0;
};

// A row clashes when its new name is refused, when a file that stays holds
// it (one not in the list, or a listed one whose own row stays), or when a
// row before it in the run's order has taken it. Each target is looked up on
// disk once.
DryRunCheck CheckDryRun(const TCsvDb& table);

}  // namespace tonbo::cli
