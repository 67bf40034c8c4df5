// tonbo-cli: the renaming engine of Tonbo for scripts, without windows.
#include <langinfo.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <clocale>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include "cli/CliRun.h"

namespace {

tonbo::cli::Terminals FindTerminals() {
  tonbo::cli::Terminals t;
  t.out = isatty(STDOUT_FILENO) == 1;
  t.err = isatty(STDERR_FILENO) == 1;
  winsize size{};
  if (t.err && ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
    t.columns = size.ws_col;
  // Only the codeset is wanted: the program itself goes on in the "C" locale.
  if (std::setlocale(LC_CTYPE, "")) {
    t.utf8Locale = std::strcmp(nl_langinfo(CODESET), "UTF-8") == 0;
    std::setlocale(LC_CTYPE, "C");
  }
  return t;
}

}  // namespace

int main(int argc, char** argv) {
  // A reader that goes away (a closed pipe) is a failed write with exit code
  // 1 and a message, not a silent end by signal.
  std::signal(SIGPIPE, SIG_IGN);
  std::ios::sync_with_stdio(false);
  const int code = tonbo::cli::RunCli(std::vector<std::string>(argv + 1, argv + argc), std::cout,
                                      std::cerr, tonbo::cli::Ending::LeaveMemory, FindTerminals());
  std::cerr.flush();
  // A list of 100,000 files is given back with the process, not row by row.
  std::_Exit(code);
}
