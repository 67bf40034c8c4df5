#pragma once
// Saving a list, and reading a saved list back. The list is only a list of
// files to add again: each row names a file by its path, or, when that path
// is gone, by the new name it was saved with (no extension) in the same
// folder; a row saved with the delete mark only by its path. Rows whose file
// is found neither way are logged, one line each.
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

// The list file of a table: its CSV text in code page 932. When that text
// would also pass for UTF-8 (names of half-width kana pairs such as ﾃｽ, bytes
// C3 BD, "ý"), the first row gets one more cell, "シフトJIS", which UTF-8
// cannot hold, so that the list says what it is to every reader.
std::string ListFileBytes(const TCsvDbBase& table);
// Writes it as TCsvDbBase::SaveToFile does (EInOutError on failure).
void SaveListFile(const TCsvDbBase& table, const std::string& diskPath);

// Walks the rows of a list read into a table of its own.
ListedFiles CollectListedFiles(const TCsvDb& list);

// Reads a list file (disk path bytes) and walks it. Throws EInOutError, with
// the file and the reason, when the file cannot be read, is no regular file
// (a FIFO, a device) or is larger than kMaxCsvBytes.
ListedFiles ReadListFile(const std::string& diskPath);
// The same for the file's bytes.
ListedFiles ReadListBytes(std::string_view bytes);
// The same for a list already read from those bytes with ListFileText (list
// is read again when the bytes turn out to be UTF-8).
ListedFiles CollectListBytes(TCsvDb& list, std::string_view bytes);

// The list file's bytes as the table's code page 932 text, as the list says:
// after a UTF-8 byte order mark UTF-8, else code page 932, which is what the
// program writes. (ReadListBytes also tries an unmarked list that is valid
// UTF-8 as UTF-8, docs/platform.md.)
std::string ListFileText(std::string_view bytes);

// A path of the list that names a file to add: absolute, no NUL byte, and an
// entry that is not a folder (a link counts, unless it leads to a folder).
bool IsListedFile(const std::string& sjisPath);

}  // namespace tonbo
