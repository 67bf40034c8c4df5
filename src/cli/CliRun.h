#pragma once
// tonbo-cli from its arguments to its exit code: add the paths as the list
// does, run the steps in memory, then print the table or apply it.
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace tonbo::cli {

// The exit codes.
constexpr int kExitDone = 0;        // every row was done
constexpr int kExitIncomplete = 1;  // rows skipped or failed, folders unread, run stopped
constexpr int kExitUsage = 2;       // bad usage; nothing on disk changed

// What happens to the file table when the run is over.
enum class Ending {
  FreeMemory,   // freed as usual
  LeaveMemory,  // left for the process's end to take back at once; the caller
                // must end the process with std::_Exit right after
};

// Where out and err lead: a terminal gets the table with its names escaped
// (a file or pipe gets the exact bytes) and the progress line.
struct Terminals {
  bool out = false;
  bool err = false;
  int columns = 80;         // the width of the terminal of err
  bool utf8Locale = false;  // LC_CTYPE's codeset is UTF-8: the table is written in UTF-8
};

// Writes text to standard output whole and flushes it; a write that fails
// ends the command with exit code 1 and a message saying why.
void WriteOut(std::ostream& out, std::string_view text);

// args: the arguments after the program name (outside bytes). The table goes
// to out, every message to err. A table or help text that cannot be written
// whole (a full disk, a closed pipe) ends with exit code 1 and a message.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           Ending ending = Ending::FreeMemory, Terminals terminals = {});

}  // namespace tonbo::cli
