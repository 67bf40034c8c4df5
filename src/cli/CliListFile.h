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
// file it does not find. Throws EUsageError when a list cannot be read, so
// the run ends before anything is added.
LoadedLists LoadLists(const std::vector<std::string>& listFiles, Reporter& report);

// Writes the table to the list file (outside bytes) through a temporary
// file; false, after an error naming the file and the reason, when it cannot.
bool SaveList(const TCsvDb& table, const std::string& listFile, Reporter& report);

}  // namespace tonbo::cli
