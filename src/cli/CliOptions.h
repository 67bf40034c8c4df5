#pragma once
// The command line of tonbo-cli as a plain value: the paths to add, the
// steps to run in the order given, and how the result leaves the program.
// A step's words stay as typed (outside bytes), as a recipe's line holds them.
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "cli/CliKeep.h"
#include "commands/FormatCommands.h"
#include "commands/Recipe.h"
#include "common/Errors.h"
#include "core/RenameExecutor.h"

namespace tonbo::cli {

// Bad usage: what() is the UTF-8 message; the program ends with exit code 2
// before anything on disk changes.
class EUsageError : public ETonboError {
 public:
  using ETonboError::ETonboError;
};

// A step of the command line, run by the recipes' runner: a recipe's line
// (the option, its values, the options that qualify it; numbered 0), or
// "--recipe FILE" with the recipe read from the file.
struct Step {
  RecipeLine line;
  std::optional<TRecipe> recipe;
};

// What --on-conflict chose: a method for every conflict, or stop at the first.
struct ConflictChoice {
  bool stop = false;
  ConflictMethod method = ConflictMethod::Skip;
};

// --recover: what to do with a run that did not end.
enum class RecoverAction { None, Finish, Rollback, Show };

struct CliOptions {
  bool help = false;
  RecoverAction recover = RecoverAction::None;
  bool undoLast = false;
  bool runs = false;
  std::string undoRun;  // --undo: a run's id (or its start)
  bool apply = false;
  bool utf8 = false;   // --utf8: UTF-8 whatever the locale says
  bool sjis = false;   // --sjis: code page 932 whatever the locale or terminal says
  bool crlf = false;   // --crlf: the table's lines end in CR LF
  bool table = false;  // --table: the CSV table on a terminal too, not the changed rows
  bool version = false;
  bool quiet = false;
  ConflictChoice conflict;
  KeepOptions keep;  // --write-batch, --write-script, --backup-to
  std::optional<unsigned long long> seed;
  std::vector<Step> steps;
  std::vector<std::string> paths;  // as given (disk bytes)
  // How folders among the paths are walked: -r, --hidden.
  bool recursive = false;
  bool hidden = false;
  // --files-from files ("-" standard input), one path a line or NUL-separated (-0).
  std::vector<std::string> filesFrom;
  bool nulSeparated = false;
  // --load-list files, added after the paths; --save-list, written after the steps.
  std::vector<std::string> loadLists;
  std::string saveList;
  // --save-recipe: the steps as a recipe's lines, written after they ran.
  std::string saveRecipe;
};

// Reads the arguments after the program name. Throws EUsageError.
CliOptions ParseArguments(const std::vector<std::string>& args);

struct OptionParser;

// One entry of the option list, which the parser reads and --help shows in
// its order. An entry without a name is a heading of --help.
struct CliOption {
  const char* name = nullptr;       // "--renban"
  const char* shortName = nullptr;  // "-q"
  // The values as --help writes them, one word each ("OLD NEW"): as many
  // follow the option on the line.
  const char* values = "";
  const char* help = nullptr;  // UTF-8 lines; a heading's text
  bool follows = false;        // qualifies the command before it (indented in --help)
  // Null for an option shown a second time under another command.
  void (*parse)(OptionParser& p, const std::string& name,
                const std::vector<std::string>& values) = nullptr;
  // A formatting command: --help shows its label.
  std::optional<Formatting> formatting = std::nullopt;
};

std::span<const CliOption> OptionList();

// How many values follow the option.
size_t ValueCount(const CliOption& option);

// The Japanese --help text (UTF-8).
const char* HelpText();

// "tonbo-cli 0.1.0" and a line end.
std::string VersionText();

// A bash completion script for tonbo-cli, made from the option list.
std::string BashCompletion();

}  // namespace tonbo::cli
