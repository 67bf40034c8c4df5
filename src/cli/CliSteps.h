#pragma once
// Runs the steps of the command line over the file table in memory, each
// through the recipes' runner, as the window runs them, with its messages.
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
  // The progress of reading files (label UTF-8); none: no progress is shown.
  std::function<std::unique_ptr<ProgressSink>(const std::string& label)> progress = {};
};

// Throws EUsageError (a step that cannot run with these settings) and
// ETonboError (an expression that fails on a row); no step touches the disk.
void RunStep(const Step& step, StepContext& context);

// The steps as a recipe's lines (a --recipe as the lines it ran), for --save-recipe.
std::vector<RecipeWords> RecipeLines(const std::vector<Step>& steps);

// Whether a step reads the files' dates, which the list then reads as it adds them.
bool ReadsFileDates(const std::vector<Step>& steps);

}  // namespace tonbo::cli
