#pragma once
// "文字化けを直す" and "濁点を結合する" over the file table: names from
// archives, shares and other systems made to read as names typed on Linux.
// Each works on `NewName` (and `Ext` when alsoExt) of the given rows and
// returns how many rows it changed.
#include <string>
#include <vector>

#include "core/CsvDb.h"

namespace tonbo {

// Garbled names get the name they were meant to have; a row whose name has
// no plausible repaired form stays as it is.
int FixGarbledNames(TCsvDb& table, const std::vector<int>& rows, bool alsoExt);

// Decomposed names (か + combining voiced mark) become composed (NFC).
int ComposeNames(TCsvDb& table, const std::vector<int>& rows, bool alsoExt);

// The status texts after the two commands (UTF-8).
std::string FixedNamesText(int changed);
std::string ComposedNamesText(int changed);

}  // namespace tonbo
