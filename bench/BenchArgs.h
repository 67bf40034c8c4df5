#pragma once
// The two numbers the side-by-side benches take: how many files and how many
// rounds. Arguments starting with "-" (Google Benchmark's flags) pass by.
#include <cstdlib>
#include <vector>

namespace tonbo::bench {

struct FilesAndRounds {
  int files;
  int rounds;
};

inline FilesAndRounds ReadFilesAndRounds(int argc, char** argv, FilesAndRounds fallback) {
  std::vector<int> numbers;
  for (int i = 1; i < argc; ++i)
    if (argv[i][0] != '-') numbers.push_back(std::atoi(argv[i]));
  if (numbers.size() > 0 && numbers[0] > 0) fallback.files = numbers[0];
  if (numbers.size() > 1 && numbers[1] > 0) fallback.rounds = numbers[1];
  return fallback;
}

}  // namespace tonbo::bench
