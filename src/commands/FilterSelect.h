#pragma once
// Selection by condition over the file table, without windows: the select
// dialog and the command line run the same code. Every row is tested, in
// table order, whether a part of it (name, extension, path, date or the
// file's contents) contains a key, as plain text, a wildcard mask or a
// regular expression; the result replaces the selection.
#include <functional>
#include <string>
#include <vector>

#include "core/CsvDb.h"

namespace tonbo {

// The text tested per row, in the order of the dialog's list.
enum class FilterScope : int {
  None = -1,  // nothing chosen: the empty text
  Name = 0,   // NewName
  Ext,        // Ext, with its "."
  NameExt,    // NewName followed by Ext
  Path,       // Path, the file on disk
  Date,       // Modified
  Contents,   // the file's contents, in code page 932 or UTF-8 (ContentText.h)
};

enum class FilterMethod {
  Plain,     // the key occurs in the text, by characters
  Wildcard,  // the whole text matches the key as a mask
  RegExp,    // the key, as an m/…/ command, matches; a key not starting with "m" becomes m/key/
};

struct FilterOptions {
  FilterScope scope = FilterScope::None;
  std::string key;       // code page 932
  bool exclude = false;  // select the rows whose text does not contain the key
  FilterMethod method = FilterMethod::Plain;
  // Off: key and texts are lower-cased first (LowerStr), the regular
  // expression's command letters and escapes included.
  bool useCase = false;
};

// Decides the new selected state of every row. `selected` is cleared and
// grows by one entry per row as it is decided, so when a test throws it
// holds the rows before the failing one. beforeEachFileRead runs before each
// row of the contents scope is decided (the window handles pending events
// there); the files themselves may have been read ahead by other threads.
// Returns the number of rows selected.
// Throws EMaskException (a malformed mask, at the first row) and
// EBRegExpError (a malformed command at the first row, runaway matching at
// any row).
int SelectByCondition(const TCsvDb& table, const FilterOptions& options,
                      std::vector<bool>& selected,
                      const std::function<void()>& beforeEachFileRead = {});

}  // namespace tonbo
