// Adding a large tree, the memory of the table and its history, and a rename
// run, each next to the floor it is measured against.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "TestEnv.h"
#include "common/Sjis.h"
#include "core/FileAdder.h"
#include "core/RenameExecutor.h"
#include "core/UndoList.h"
#include "platform/FileOps.h"

namespace tonbo {
namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from) {
  return std::chrono::duration<double>(Clock::now() - from).count();
}

// 100,000 empty files in 1,000 folders, made once per process.
const std::string& Tree() {
  static const std::string root = [] {
    std::string dir = test::MakeTempDir("tree");
    for (int f = 0; f < 1000; ++f) {
      std::string sub = dir + "folder" + std::to_string(f) + "/";
      mkdir(sub.c_str(), 0755);
      for (int i = 0; i < 100; ++i) {
        int fd =
            open((sub + "写真_" + std::to_string(i) + ".jpg").c_str(), O_CREAT | O_WRONLY, 0644);
        close(fd);
      }
    }
    return dir;
  }();
  return root;
}

double TimeFind(const std::string& dir) {
  auto start = Clock::now();
  std::string cmd = "find '" + dir + "' -printf '%s %T@ %p\\n' > /dev/null";
  if (std::system(cmd.c_str()) != 0) return 0;
  return Seconds(start);
}

void BM_AddTree100k_VsFind(benchmark::State& state) {
  const std::string& dir = Tree();
  double ours = 0, find = 0;
  int runs = 0;
  for (auto _ : state) {
    TCsvDb table;
    int limit = 1 << 30;
    FileAdder adder(table, limit, {});
    std::string sjis;
    enc::DiskToSjis(dir, sjis);
    auto start = Clock::now();
    benchmark::DoNotOptimize(adder.AddFiles({sjis}));
    ours += Seconds(start);
    state.PauseTiming();
    find += TimeFind(dir);
    ++runs;
    state.ResumeTiming();
  }
  state.counters["find_ms"] = find / runs * 1000;
  state.counters["x_find"] = ours / find;
}
BENCHMARK(BM_AddTree100k_VsFind)->Unit(benchmark::kMillisecond)->Iterations(3);

long ResidentKb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  return 0;
}

void BM_MemoryTableAndHistory(benchmark::State& state) {
  for (auto _ : state) {
    malloc_trim(0);
    const long base = ResidentKb();
    TCsvDb table;
    int limit = 1 << 30;
    std::string sjis;
    enc::DiskToSjis(Tree(), sjis);
    FileAdder(table, limit, {}).AddFiles({sjis});
    for (int r = 0; r < table.RowCount(); ++r) {
      table.SetCell(colTypeName, r, enc::Lit("JPEG 画像"));
      table.SetCell(colIconIndex, r, "3");
    }
    const long withTable = ResidentKb();
    TUndoList history;
    for (int e = 0; e < 30; ++e) {
      table.SetCell(colNewName, e * 1000, "changed" + std::to_string(e));  // a small change
      TCsvDb copy;
      copy.Assign(table);
      history.Add("list", "step", std::move(copy));
    }
    const long withHistory = ResidentKb();
    state.counters["table_MB"] = (withTable - base) / 1024.0;
    state.counters["history30_MB"] = (withHistory - withTable) / 1024.0;
    state.counters["x_table"] = double(withHistory - base) / double(withTable - base);
  }
}
BENCHMARK(BM_MemoryTableAndHistory)->Unit(benchmark::kMillisecond)->Iterations(1);

// 10,000 files in one folder, each to be renamed.
std::string MakeFolder(int files) {
  std::string dir = test::MakeTempDir("ren");
  for (int i = 0; i < files; ++i)
    close(open((dir + "f" + std::to_string(i)).c_str(), O_CREAT | O_WRONLY, 0644));
  return dir;
}

void BM_Rename10k_VsPlainLoop(benchmark::State& state) {
  constexpr int kFiles = 10000;
  double ours = 0, plain = 0, rebuild = 0;
  int runs = 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::string dir = MakeFolder(kFiles);
    TCsvDb table;
    for (int i = 0; i < kFiles; ++i) {
      table.SetCell(colNewName, i, "g" + std::to_string(i));
      table.SetCell(colPath, i, dir + "f" + std::to_string(i));
    }
    std::string floorDir = MakeFolder(kFiles);
    state.ResumeTiming();
    auto start = Clock::now();
    RenameResult result = RenameExecutor(nullptr).Run(table);
    ours += Seconds(start);
    state.PauseTiming();
    start = Clock::now();
    TCsvDb rebuilt;
    int limit = 1 << 30;
    FileAdder(rebuilt, limit, {}).AddFiles(result.paths);
    rebuild += Seconds(start);
    start = Clock::now();
    for (int i = 0; i < kFiles; ++i)
      platform::RenameNoReplace(floorDir + "f" + std::to_string(i),
                                floorDir + "g" + std::to_string(i));
    plain += Seconds(start);
    std::filesystem::remove_all(dir);
    std::filesystem::remove_all(floorDir);
    ++runs;
    state.ResumeTiming();
  }
  state.counters["plain_ms"] = plain / runs * 1000;
  state.counters["rebuild_ms"] = rebuild / runs * 1000;
  state.counters["x_plain"] = ours / plain;
}
BENCHMARK(BM_Rename10k_VsPlainLoop)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace tonbo
