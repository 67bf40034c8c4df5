// The rename run with its journal on one folder of 100,000 files, side by
// side with a plain loop of no-replace renames on an identical fresh copy;
// then the undo of that run; then the planning of 100,000 rows that form one
// ring. Prints the best and the median of the rounds and the ratios.
//   tonbo_bench_run [files] [rounds]   (defaults 100000 and 3)
#include <fcntl.h>
#include <ftw.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "../../BenchArgs.h"
#include "TestEnv.h"
#include "core/RenameExecutor.h"
#include "core/RenamePlan.h"
#include "core/RunRecovery.h"
#include "platform/FileOps.h"

namespace {

using Clock = std::chrono::steady_clock;

std::string Name(int i) {
  char name[32];
  std::snprintf(name, sizeof name, "file%06d.dat", i);
  return name;
}

std::string MakeFolder(int files) {
  const std::string dir = tonbo::test::MakeTempDir("bench");
  for (int i = 0; i < files; ++i) close(open((dir + Name(i)).c_str(), O_CREAT | O_WRONLY, 0644));
  sync();
  return dir;
}

template <typename F>
double Seconds(F work) {
  const auto start = Clock::now();
  work();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// The floor: one no-replace rename per file, by path.
double PlainLoop(int files) {
  const std::string dir = MakeFolder(files);
  std::vector<std::pair<std::string, std::string>> names;
  for (int i = 0; i < files; ++i) names.emplace_back(dir + Name(i), dir + "x_" + Name(i));
  int failed = 0;
  const double s = Seconds([&] {
    for (const auto& [from, to] : names) failed += tonbo::platform::RenameNoReplace(from, to) != 0;
  });
  if (failed) std::printf("  plain loop: %d renames failed\n", failed);
  tonbo::test::RemoveTree(dir);
  return s;
}

// The run as the list makes it ("x_" in front of every name), then its undo.
void RunAndUndo(int files, double& run, double& undo) {
  const std::string dir = MakeFolder(files);
  tonbo::TCsvDb table;
  for (int i = 0; i < files; ++i) {
    table.SetCell(tonbo::colNewName, i, "x_file" + Name(i).substr(4, 6));
    table.SetCell(tonbo::colExt, i, ".dat");
    table.SetCell(tonbo::colPath, i, dir + Name(i));
  }
  tonbo::RenameExecutor executor(nullptr);
  executor.SetKeepPaths(false);
  tonbo::RenameResult result;
  run = Seconds([&] { result = executor.Run(table); });
  if (result.renamed != files) std::printf("  run: %d of %d renamed\n", result.renamed, files);
  tonbo::RecoveryResult back;
  undo = Seconds([&] { back = tonbo::UndoRun(result.journal); });
  if (back.moved != files) std::printf("  undo: %d of %d back\n", back.moved, files);
  tonbo::test::RemoveTree(dir);
}

// Every row's target is the next row's file, the last one's the first's.
double PlanOneRing(int files) {
  std::vector<std::string> paths;
  for (int i = 0; i < files; ++i) paths.push_back("/some/folder/" + Name(i));
  std::vector<std::string_view> from(paths.begin(), paths.end()), to(files);
  for (int i = 0; i < files; ++i) to[i] = paths[(i + 1) % files];
  const std::vector<char> leaves(files, 1);
  tonbo::RunPlan plan;
  const double s = Seconds([&] { plan = tonbo::PlanRun(from, to, leaves); });
  if (plan.cycles.size() != 1 || plan.cycles[0].size() != static_cast<size_t>(files))
    std::printf("  planning: the ring was not found\n");
  return s;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

void Line(const char* label, const std::vector<double>& v) {
  std::printf("  %-28s best %7.3f s  median %7.3f s\n", label,
              *std::min_element(v.begin(), v.end()), Median(v));
}

}  // namespace

int main(int argc, char** argv) {
  tonbo::test::PrepareEnvironment();
  const auto [files, rounds] = tonbo::bench::ReadFilesAndRounds(argc, argv, {100000, 3});
  std::vector<double> plain, run, undo, plan;
  for (int r = 0; r < rounds; ++r) {
    std::printf("round %d of %d\n", r + 1, rounds);
    std::fflush(stdout);
    plain.push_back(PlainLoop(files));
    double s = 0, u = 0;
    RunAndUndo(files, s, u);
    run.push_back(s);
    undo.push_back(u);
    plan.push_back(PlanOneRing(files));
  }
  std::printf("\n%d files in one folder:\n", files);
  Line("plain no-replace loop", plain);
  Line("rename run with journal", run);
  Line("undo of the run", undo);
  Line("planning one ring of all", plan);
  const double floor = *std::min_element(plain.begin(), plain.end());
  std::printf("  run / plain loop  = %.2f (goal <= 1.3), by medians %.2f\n",
              *std::min_element(run.begin(), run.end()) / floor, Median(run) / Median(plain));
  std::printf("  undo / plain loop = %.2f (goal <= 1.5), by medians %.2f\n",
              *std::min_element(undo.begin(), undo.end()) / floor, Median(undo) / Median(plain));
  std::printf("  planning one ring: %.3f s (goal < 1)\n",
              *std::min_element(plan.begin(), plan.end()));
  return 0;
}
