#pragma once
// Applies the file table to the disk: the one place where listed files are
// renamed or sent to the trash. Rows are taken top to bottom; a target name
// that is taken is settled by the same-name question; nothing is ever
// replaced that the user did not ask to replace.
#include <functional>
#include <string>
#include <vector>

#include "core/CsvDb.h"
#include "platform/FileOps.h"

namespace tonbo {

// The same-name question's methods, in the order the dialog lists them.
enum class ConflictMethod { Overwrite = 0, OverwriteIfNewer = 1, Number = 2, Skip = 3 };
// Its buttons: this file, this and every later conflict, stop the run.
enum class ConflictButton { Ok = 0, OkAll = 1, Stop = 2 };

struct ConflictAnswer {
  ConflictButton button = ConflictButton::Ok;
  ConflictMethod method = ConflictMethod::Number;
};

struct RenameResult {
  std::vector<std::string> paths;  // the files the list is rebuilt from, in order
  std::string log;                 // code page 932, lines end in CR LF
  int renamed = 0;
  int deleted = 0;
  int notDone = 0;
};

class RenameExecutor {
 public:
  // Asked at a conflict with the full target path (code page 932).
  using AskSameName = std::function<ConflictAnswer(const std::string& sjisTarget)>;

  explicit RenameExecutor(AskSameName ask) : ask_(std::move(ask)) {}
  RenameResult Run(const TCsvDb& table);
  // Off: RenameResult::paths stays empty, for a caller that does not list
  // the files again (a large run then keeps no second copy of every path).
  void SetKeepPaths(bool on) { keepPaths_ = on; }

 private:
  void RunRow(const TCsvDb& table, int row);
  bool Delete(const std::string& src);
  // Settles a taken target; false when the row is done with (skipped).
  bool Settle(const std::string& src, std::string& dst, const std::string& newName);
  // Renames when no entry holds the target name; false (nothing changed) otherwise.
  bool RenameIfFree(const std::string& src, const std::string& dst);
  void Rename(const std::string& src, const std::string& dst, const std::string& newName);
  void Log(const char* utf8Format, const std::string& first, const std::string& second);
  void Keep(const std::string& path) {
    if (keepPaths_) result_.paths.push_back(path);
  }

  AskSameName ask_;
  platform::FolderHandle folder_;  // the folder of the rows being renamed
  RenameResult result_;
  int applyToAll_ = 0;  // 0 ask, 1 use the method, 2 stop
  bool keepPaths_ = true;
  ConflictMethod method_ = ConflictMethod::Number;
};

}  // namespace tonbo
