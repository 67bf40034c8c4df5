#pragma once
// The name grid editor's work on the file table, without the grid: the rows
// it shows, the names a pasted column gives, and writing the names back.
#include <string>
#include <string_view>
#include <vector>

#include "core/CsvDb.h"

namespace tonbo {

// One table row as the grid shows it.
struct NameGridRow {
  std::string newName;  // NewName, the new name without extension
  std::string oldName;  // the file name on disk, with its extension
  std::string folder;   // the file's folder, ending in "/"
};

std::vector<NameGridRow> NameGridRows(const TCsvDb& table);

// The new names a pasted text gives, one a line: each line's part before its
// first tab, and of that the part before its first ",", so the first column
// of tab- or comma-separated lines (a spreadsheet's column) comes out.
std::vector<std::string> PastedNames(std::string_view text);

// NewName of row r := names[r], for every row that has a name.
void WriteBackNames(TCsvDb& table, const std::vector<std::string>& names);

}  // namespace tonbo
