#pragma once
// --write-batch, --write-script and --backup-to: the list kept as a batch
// file or shell script, or its files copied under their new names.
#include <string>
#include <vector>

#include "core/CsvDb.h"
#include "core/Progress.h"

namespace tonbo::cli {

class Reporter;
struct CliOptions;

struct KeepOptions {
  std::string batch;         // --write-batch FILE (outside bytes)
  std::string script;        // --write-script FILE
  std::string backupFolder;  // --backup-to FOLDER
  bool Any() const { return !batch.empty() || !script.empty() || !backupFolder.empty(); }
};

// Throws EUsageError when the backup folder is not a folder (before any file is read).
void CheckKeepOptions(const KeepOptions& keep);

// Writes the batch file, then the script, then copies the rows into the
// backup folder (the same-name question answered by --on-conflict), told to
// progress file by file. True when everything was done.
bool RunKeepCommands(const CliOptions& options, const TCsvDb& table, const std::vector<int>& rows,
                     Reporter& report, ProgressSink* progress = nullptr);

}  // namespace tonbo::cli
