#pragma once
// Copies listed files into one folder under their new names, leaving the
// list and its files untouched. A name already taken in the folder is settled
// by the same-name question of the rename run; every copy is written as an
// unnamed or temporary file and takes its name only when complete, so a
// failed copy leaves nothing behind and replaces nothing.
#include <cstdint>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/CsvDb.h"
#include "core/Progress.h"
#include "core/RenameExecutor.h"

namespace tonbo {

struct BackupResult {
  std::string log;  // code page 932, lines end in CR LF
  int copied = 0;
  bool stopped = false;  // "中止(&C)", or a stop asked through the progress
};

class BackupRun {
 public:
  // Asked at a clash with the full target path (code page 932), as the rename run asks.
  explicit BackupRun(RenameExecutor::AskSameName ask) : ask_(std::move(ask)) {}
  // Told before each file; a false answer stops as "中止(&C)" does.
  void SetProgress(ProgressSink* sink) { progress_ = sink; }
  // rows: the rows to copy, in table order; sjisFolder: the target folder.
  BackupResult Run(const TCsvDb& table, const std::vector<int>& rows,
                   const std::string& sjisFolder);

 private:
  // False when the run stops here.
  bool CopyRow(int row);
  bool Settle(int row, std::string& target, bool& replace);
  bool IsListedFile(const std::string& diskPath);
  void Copy(int row, const std::string& target, bool replace);
  void LogLine(const char* utf8Fixed, const std::string& sjisPath, const std::string& utf8Reason);

  RenameExecutor::AskSameName ask_;
  ProgressSink* progress_ = nullptr;
  const TCsvDb* table_ = nullptr;
  std::string folder_;
  BackupResult result_;
  std::set<std::pair<std::uint64_t, std::uint64_t>> listed_;  // files of the list (device, inode)
  bool listedRead_ = false;
  int applyToAll_ = 0;  // 0 ask, 1 use the method, 2 stop
  ConflictMethod method_ = ConflictMethod::Number;
};

}  // namespace tonbo
