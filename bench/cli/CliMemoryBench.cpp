// tonbo-cli's peak memory per file on one folder of many files, as a dry run
// and with --apply, each on its own fresh folder.
//   tonbo_bench_cli_memory [files] [rounds]   (defaults 100000 and 1)
#include <fcntl.h>
#include <ftw.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "../BenchArgs.h"
#include "ProcessBench.h"
#include "TestEnv.h"

namespace {

std::string MakeFolder(int files) {
  const std::string dir = tonbo::test::MakeTempDir("climem");
  char name[32];
  for (int i = 0; i < files; ++i) {
    std::snprintf(name, sizeof name, "file%07d.dat", i);
    close(open((dir + name).c_str(), O_CREAT | O_WRONLY, 0644));
  }
  return dir;
}

void Report(const char* what, const tonbo::bench::Measure& m, int files, long baseKb) {
  std::printf("%-8s %s  %.1f s  peak %.1f MB  %.0f bytes/file (%.0f over an empty folder)\n", what,
              m.ok ? "ok  " : "FAIL", m.seconds, m.peakKb / 1e3, m.peakKb * 1024.0 / files,
              (m.peakKb - baseKb) * 1024.0 / files);
}

}  // namespace

int main(int argc, char** argv) {
  const auto args = tonbo::bench::ReadFilesAndRounds(argc, argv, {100000, 1});
  const std::string empty = MakeFolder(0);
  const long baseKb =
      tonbo::bench::RunProcess(empty, {TONBO_CLI_PATH, "-q", "--regex", "s/^/x_/", "."}).peakKb;
  tonbo::test::RemoveTree(empty);
  std::printf("files %d; tonbo-cli on an empty folder: peak %.1f MB\n", args.files, baseKb / 1e3);
  for (int round = 0; round < args.rounds; ++round) {
    const std::string dir = MakeFolder(args.files);
    Report("dry run",
           tonbo::bench::RunProcess(dir, {TONBO_CLI_PATH, "-q", "--regex", "s/^/x_/", "."}),
           args.files, baseKb);
    Report(
        "--apply",
        tonbo::bench::RunProcess(dir, {TONBO_CLI_PATH, "-q", "--regex", "s/^/x_/", "--apply", "."}),
        args.files, baseKb);
    tonbo::test::RemoveTree(dir);
  }
  return 0;
}
