// Benchmarks run in the same sandbox as the tests: no real settings or
// character table of the user is read or written.
#include <benchmark/benchmark.h>

#include "TestEnv.h"

int main(int argc, char** argv) {
  tonbo::test::PrepareEnvironment();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
