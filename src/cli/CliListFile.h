#pragma once
// --load-list and --save-list: the list file of "リストを読込" and
// "リストを保存" on the command line.
#include <string>
#include <vector>

#include "cli/CliReport.h"
#include "core/CsvDb.h"

namespace tonbo::cli {

struct LoadedLists {
  std::vector<std::string> paths;  // code page 932, the lists in order, for the add
  int missing = 0;                 // rows whose file was found in neither place
};

// Reads every list file (outside bytes) as the window does and reports each
// file it does not find. A file no row of which has the path column is no
// list of Tonbo's: it is said so, and its lines are taken as paths, as
// --files-from takes them. Throws EUsageError when a list cannot be read, so
// the run ends before anything is added.
LoadedLists LoadLists(const std::vector<std::string>& listFiles, Reporter& report);

// --files-from: the paths of each file (outside bytes; "-" standard input),
// one a line, or separated by NUL bytes. Relative paths are taken from the
// working folder. A path that is not there is reported with the reason and
// counted missing; the others are taken in order. Throws EUsageError when a
// file cannot be read.
LoadedLists ReadFilesFrom(const std::vector<std::string>& files, bool nulSeparated,
                          Reporter& report);

// Writes the table to the list file (outside bytes) through a temporary
// file; false, after an error naming the file and the reason, when it cannot.
bool SaveList(const TCsvDb& table, const std::string& listFile, Reporter& report);

}  // namespace tonbo::cli
