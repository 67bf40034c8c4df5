// tonbo-cli: the renaming engine of Tonbo for scripts, without windows.
#include <cstdlib>
#include <iostream>

#include "cli/CliRun.h"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  const int code = tonbo::cli::RunCli(std::vector<std::string>(argv + 1, argv + argc), std::cout,
                                      std::cerr, tonbo::cli::Ending::LeaveMemory);
  std::cout.flush();
  std::cerr.flush();
  // A list of 100,000 files is given back with the process, not row by row.
  std::_Exit(code);
}
