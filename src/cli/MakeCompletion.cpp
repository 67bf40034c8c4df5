// Writes tonbo-cli's bash completion to the file named by the argument.
#include <fstream>
#include <iostream>

#include "cli/CliOptions.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: tonbo-cli-completion FILE\n";
    return 2;
  }
  std::ofstream out(argv[1], std::ios::binary);
  out << tonbo::cli::BashCompletion();
  out.close();
  return out ? 0 : 1;
}
