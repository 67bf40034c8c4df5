#pragma once
// The naming commands over the file table, without windows: the main window
// and the command line run the same code. Each takes the rows to work on in
// table order (the selected rows) and writes `NewName` (and `Ext` where the
// command changes extensions).
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "core/CsvDb.h"
#include "tags/MediaTags.h"
#include "text/RenameRules.h"

namespace tonbo {

struct NamingOutcome {
  int named = 0;
  int skipped = 0;  // rows whose date text could not be read
};

// The status text after a naming command (UTF-8), with the rows left as
// they were when there are any.
std::string ChangedNamesText(int named, int skipped);

// Serial numbers from the rules' start value, in row order.
NamingOutcome NameSerial(TCsvDb& table, const std::vector<int>& rows, const RenameRules& rules);

// Date names, each with the lowest serial from the start value that no row's
// `NewName` holds at that moment (the row's own name does not count). With
// the rules' date source "taken", taken[i] is rows[i]'s date where it has one
// (the modification date where not).
using TakenTimes = std::vector<std::optional<tags::TakenTime>>;
NamingOutcome NameByDate(TCsvDb& table, const std::vector<int>& rows, const RenameRules& rules,
                         const TakenTimes& taken = {});

// One typed name for every row, numbered "_1", "_2", ... where another row
// has it. With extNotChange off the text's last dot starts the extension.
int NameFixed(TCsvDb& table, const std::vector<int>& rows, std::string_view text,
              bool extNotChange);

// A text put in front of or behind every row's `NewName`.
int AddText(TCsvDb& table, const std::vector<int>& rows, std::string_view text, bool atHead);

// The characters random names are drawn from (code page 932, one per entry).
std::vector<std::string> RandomPool(const RenameRules& rules);

struct RandomHooks {
  std::function<int(int n)> random;  // 0 .. n-1 (0 when n is 0)
  // Too many names are taken: the rules are widened (returns nothing).
  std::function<void()> relaxing;
};
// Random names unique among all `NewName`s. rules.randomTo is widened by 4 on
// each relaxation (the caller keeps the widened value for this run only) and
// rules.randomLower is switched on (the caller keeps that).
int NameRandom(TCsvDb& table, const std::vector<int>& rows, RenameRules& rules,
               const RandomHooks& hooks);

// Applies a conversion to `NewName`, and to `Ext` when alsoExt.
void ConvertRow(TCsvDb& table, int row, const std::function<std::string(std::string_view)>& convert,
                bool alsoExt);

}  // namespace tonbo
