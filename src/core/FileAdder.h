#pragma once
// Adding files to the file table: folders are expanded into every file they
// hold (sub-folders included, dot folders skipped), a path already listed is
// not added again, and the user is asked before the table grows past the
// growth limit (300, then 600, 1200, ...).
#include <sys/stat.h>

#include <functional>
#include <string>
#include <unordered_set>
#include <vector>

#include "core/CsvDb.h"

namespace tonbo {

class FileAdder {
 public:
  struct Callbacks {
    // "Yes" to the growth question at the given limit.
    std::function<bool(int limit)> askGrow;
    // A path whose reading failed; the text is the system's warning.
    std::function<void(const std::string& sjisText)> warn;
  };

  // growthLimit lives with the caller (the main window) and doubles each
  // time the user agrees to go past it.
  FileAdder(TCsvDb& table, int& growthLimit, Callbacks callbacks);

  // Adds every path (code page 932) in order; returns how many rows were added.
  int AddFiles(const std::vector<std::string>& paths);

  // Names that could not be taken in because the user-defined area of the
  // code page was full (disk bytes), from the last AddFiles.
  const std::vector<std::string>& Unrepresentable() const { return unrepresentable_; }

 private:
  void AddPath(const std::string& path);
  void AddFolder(const std::string& sjisDir, const std::string& diskDir);
  void AddSubfolder(const std::string& sjisDir, const std::string& diskDir,
                    const std::string& diskName);
  void AddOneFile(const std::string& sjisDir, const std::string& diskName, const struct stat& st);

  TCsvDb& table_;
  int& growthLimit_;
  Callbacks callbacks_;
  std::unordered_set<std::string> listed_;
  std::vector<std::string> unrepresentable_;
  int counter_ = 0;
  bool stop_ = false;
};

// The file table's text for a file time: local time, "yyyy/mm/dd hh:nn:ss",
// seconds truncated to an even number.
std::string FormatFileTime(long long unixSeconds);

}  // namespace tonbo
