#pragma once
// Recipes: the naming steps of one list kept as text and run again on other
// files, by the window and by tonbo-cli through the same runner. A recipe is
// a UTF-8 file whose first line is "tonbo-recipe 1", then one step a line,
// written as tonbo-cli's option with its values, quoted as a shell reads
// them (docs/recipes.md). Nothing here touches the disk but the recipe file.
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "commands/FilterSelect.h"
#include "commands/FormatCommands.h"
#include "commands/ReplaceNames.h"
#include "common/Errors.h"
#include "core/CsvDb.h"
#include "core/IniFile.h"
#include "core/Progress.h"
#include "text/RenameRules.h"

namespace tonbo {

// A recipe that cannot be read, or cannot run on these rows: what() is UTF-8,
// "N行目：…" where a line is at fault. Nothing has changed when it is thrown.
class ERecipeError : public ETonboError {
 public:
  using ETonboError::ETonboError;
};

inline constexpr int kRecipeVersion = 1;

// One step as a shell hands it to tonbo-cli: the option, then its values
// (bytes as on the command line: UTF-8 for typed text and names).
using RecipeWords = std::vector<std::string>;

struct RecipeLine {
  // In the file, from 1. 0: a step typed on tonbo-cli's line, whose messages
  // name no line and whose --set key no command reads is told of, not refused.
  int number = 0;
  RecipeWords words;
};

// A recipe read and checked: every line is a step this runner knows.
struct TRecipe {
  std::vector<RecipeLine> lines;
};

// The recipe's text: the version line, then each step quoted.
std::string RecipeText(const std::vector<RecipeWords>& steps);
// One step as its line in the file, without the line end.
std::string RecipeLineText(const RecipeWords& step);
// Reads and checks a whole recipe (unknown step, wrong values, a regular
// expression that does not compile, wrong version). Throws ERecipeError.
TRecipe ParseRecipe(std::string_view text);
// Throws ERecipeError when the line is not a step the runner knows, with
// the values and the options after it that the step takes.
void CheckRecipeStep(const RecipeLine& line);
// The same as ParseRecipe for a file; a file that cannot be read is an ERecipeError too.
TRecipe LoadRecipeFile(const std::string& diskPath);
// Writes the steps through the atomic writer; false when it failed, with
// the errno in *errnum.
bool SaveRecipeFile(const std::string& diskPath, const std::vector<RecipeWords>& steps,
                    int* errnum = nullptr);

// The words of a line, as a POSIX shell splits and unquotes them ('…', "…",
// \, and $'…' for control characters). Throws ERecipeError naming the line.
RecipeWords SplitRecipeLine(std::string_view line, int number);
// A word quoted so that SplitRecipeLine (and a shell) gives it back.
std::string QuoteRecipeWord(std::string_view word);

// The options the runner knows, with how many values each takes (-1: pairs,
// any number). tonbo-cli has every one of them but "--names".
struct RecipeOption {
  const char* name;
  int values;
};
const std::vector<RecipeOption>& RecipeOptions();

// What a naming command did, as the steps of a recipe. Texts in code page 932.
// The rule settings the command reads, then the command ("--renban", "--date", "--random").
std::vector<RecipeWords> RulesLines(const RenameRules& rules, const std::string& option);
// "--set ext_not_change=…", then the command.
std::vector<RecipeWords> ExtLines(bool extNotChange, const std::string& option);
// tonbo-cli's option of a formatting command ("--lower").
std::string FormatOption(Formatting formatting);
RecipeWords AddTextLine(std::string_view sjisText, bool atHead);
RecipeWords ReplaceLine(const ReplaceOptions& options);
// A step that depends on the list (the name grid, typed names): every row's
// name (NewName with Ext) before and after, as "--names OLD NEW …". Empty
// when no name changed.
RecipeWords NamesLine(const std::vector<std::string>& sjisBefore, const TCsvDb& after);

// One step as the runner did it, with the table after it.
struct RecipeStepDone {
  int line = 0;
  std::string label;   // UTF-8: the history label of the window's command
  std::string status;  // UTF-8: the count, as the window's status bar says it
  TCsvDb table;
  std::vector<RecipeWords> words;  // the step's line with the --set lines before it
  std::vector<int> rows;           // the rows the next step works on
};

struct RecipeRun {
  std::vector<RecipeStepDone> steps;
};

struct RecipeHooks {
  std::function<int(int n)> random;                 // 0 .. n-1
  std::function<void(const std::string&)> relaxed;  // UTF-8: random names made looser
  // The progress of reading the files' tags (label UTF-8); none: not shown.
  std::function<std::unique_ptr<ProgressSink>(const std::string& label)> progress = {};
  // Given: a naming step finding no row chosen is skipped, and its option told here.
  std::function<void(const std::string& option)> nothingChosen = {};
  // UTF-8: a --set key that no command reads (a line numbered 0 only).
  std::function<void(const std::string&)> unreadKey = {};
};

// What one line did: the history label and the status text (UTF-8), both
// empty for a setting ("--set", "--date-source") and a skipped step.
struct RecipeStepDid {
  std::string label, status;
};

// Runs one line on the table and rows as they stand; a selection step
// chooses the rows for the lines after it. Throws as RunRecipe does.
RecipeStepDid RunRecipeStep(TCsvDb& table, std::vector<int>& rows, const RecipeLine& line,
                            TIniFileEx& settings, const RecipeHooks& hooks);

// Whether the line reads the files' dates (the Modified cell): naming by
// date or number (which may carry the date), from tags, selecting by date.
bool ReadsFileDates(const RecipeLine& line);

// Runs the recipe on a copy of the table, on the given rows (table order)
// until a selection step chooses others, with "--set" lines written into
// settings (section "setting"). Throws
// ERecipeError (a list step whose names are not these rows' names, random
// names without characters to use) and ETonboError from an expression; the
// table given is never changed.
RecipeRun RunRecipe(const TCsvDb& table, const std::vector<int>& rows, const TRecipe& recipe,
                    TIniFileEx& settings, const RecipeHooks& hooks);

}  // namespace tonbo
