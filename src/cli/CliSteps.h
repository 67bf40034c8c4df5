#pragma once
// Runs the steps of the command line over the file table in memory, each
// through the same code the windows call, with the windows' messages.
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "cli/CliOptions.h"
#include "cli/CliReport.h"
#include "core/CsvDb.h"
#include "core/IniFile.h"
#include "core/Progress.h"

namespace tonbo::cli {

struct StepContext {
  TCsvDb& table;
  std::vector<int>& rows;  // the rows the next command works on, in table order
  TIniFileEx& settings;    // a copy in memory: --set never reaches the file
  std::mt19937& random;
  Reporter& report;
  std::string option = {};  // the option of the step being run ("--renban")
  // The progress of reading files (label UTF-8); none: no progress is shown.
  std::function<std::unique_ptr<ProgressSink>(const std::string& label)> progress = {};
};

// Throws EUsageError (a step that cannot run with these settings) and
// ETonboError (an expression that fails on a row); no step touches the disk.
void RunStep(const Step& step, StepContext& context);

// Runs every mask and expression of the steps once on a sample row, so a
// malformed one is reported before any file is read. Throws EUsageError.
void CheckExpressions(const std::vector<Step>& steps);

}  // namespace tonbo::cli
