#pragma once
// Reading a saved list back. The list is only a list of files to add again:
// each row names a file by its path, or, when that path is gone, by the new
// name it was saved with (no extension) in the same folder; a row saved with
// the delete mark only by its path. Rows whose file is found neither way are
// logged, one line each.
#include <string>
#include <string_view>
#include <vector>

#include "core/CsvDb.h"

namespace tonbo {

struct ListedFiles {
  std::vector<std::string> paths;  // code page 932, in list order, for the add
  std::string log;  // "ファイルが見つかりません。：" + the path tried + CR LF, per row
  std::vector<std::string> missing;  // the path tried for each of those rows
};

// Walks the rows of a list read into a table of its own.
ListedFiles CollectListedFiles(const TCsvDb& list);

// Reads a list file (disk path bytes) and walks it. Throws EInOutError, with
// the file and the reason, when the file cannot be read.
ListedFiles ReadListFile(const std::string& diskPath);

// The list file's bytes as the table's code page 932 text. A file that is
// valid UTF-8 and holds more than ASCII (a list written by another tool, a
// byte order mark) is read as UTF-8; anything else is taken as code page 932.
std::string ListFileText(std::string_view bytes);

// A path of the list that names a file to add: absolute, no NUL byte, and an
// entry that is not a folder (a link counts, unless it leads to a folder).
bool IsListedFile(const std::string& sjisPath);

}  // namespace tonbo
