#include "commands/NameGrid.h"

#include <algorithm>

#include "commands/TextLines.h"
#include "common/Paths.h"
#include "text/StrUnit.h"

namespace tonbo {

std::vector<NameGridRow> NameGridRows(const TCsvDb& table) {
  std::vector<NameGridRow> rows;
  rows.reserve(static_cast<size_t>(table.RowCount()));
  for (int r = 0; r < table.RowCount(); ++r) {
    const std::string path(table.GetCell(colPath, r));
    rows.push_back(
        {std::string(table.GetCell(colNewName, r)), ExtractFileName(path), ExtractFilePath(path)});
  }
  return rows;
}

std::vector<std::string> PastedNames(std::string_view text) {
  std::vector<std::string> names = SplitLines(text);
  for (std::string& line : names) {
    std::string field = CutToken("\t", line);
    line = CutToken(",", field);
  }
  return names;
}

void WriteBackNames(TCsvDb& table, const std::vector<std::string>& names) {
  const int count = std::min(table.RowCount(), static_cast<int>(names.size()));
  for (int r = 0; r < count; ++r) {
    // An unchanged row stays shared with the history's snapshots.
    if (table.GetCell(colNewName, r) != names[r]) table.SetCell(colNewName, r, names[r]);
  }
}

}  // namespace tonbo
