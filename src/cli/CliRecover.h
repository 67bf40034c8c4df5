#pragma once
// tonbo-cli --recover and --undo-last: the journal of a rename run that did
// not end is finished or rolled back; the last run that ended is undone.
#include <ostream>

#include "cli/CliOptions.h"
#include "cli/CliReport.h"

namespace tonbo::cli {

// The exit code: 0 when every file was dealt with, 1 otherwise.
int RunJournalCommand(const CliOptions& options, std::ostream& out, Reporter& report);

}  // namespace tonbo::cli
