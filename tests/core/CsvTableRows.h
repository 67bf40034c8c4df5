#pragma once
// Tables written and read as plain rows of cells in the file-table tests.
#include <string>
#include <vector>

#include "core/CsvDb.h"

namespace tonbo::test {

using Rows = std::vector<std::vector<std::string>>;

inline TCsvDb MakeTable(const Rows& rows) {
  TCsvDb t;
  for (size_t r = 0; r < rows.size(); ++r) {
    for (size_t c = 0; c < rows[r].size(); ++c) {
      t.SetCell(static_cast<int>(c), static_cast<int>(r), rows[r][c]);
    }
  }
  return t;
}

// Every cell slot of every row (an absent row gives no cells).
inline Rows CellsOf(const TCsvDb& t) {
  Rows out;
  for (int r = 0; r < t.RowCount(); ++r) {
    std::vector<std::string> row;
    const RowPtr cells = t.GetRow(r);
    for (int c = 0; cells && c < cells->Count(); ++c) row.push_back(cells->Get(c));
    out.push_back(row);
  }
  return out;
}

}  // namespace tonbo::test
