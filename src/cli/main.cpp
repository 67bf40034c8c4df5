// tonbo-cli: the renaming engine of Tonbo for scripts, without windows.
#include <iostream>

#include "cli/CliRun.h"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  return tonbo::cli::RunCli(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
