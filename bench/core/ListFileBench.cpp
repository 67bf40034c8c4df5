// Saving and loading a list of 100,000 files. Loading reads every file again
// from the disk, so it is measured next to adding the same files by their
// folder, in the same run.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <string>

#include "TestEnv.h"
#include "common/Sjis.h"
#include "core/FileAdder.h"
#include "core/ListLoad.h"

namespace tonbo {
namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from) {
  return std::chrono::duration<double>(Clock::now() - from).count();
}

// 100,000 empty files in 1,000 folders, made once per process.
const std::string& ListTree() {
  static const std::string root = [] {
    std::string dir = test::MakeTempDir("listtree");
    for (int f = 0; f < 1000; ++f) {
      std::string sub = dir + "folder" + std::to_string(f) + "/";
      mkdir(sub.c_str(), 0755);
      for (int i = 0; i < 100; ++i)
        close(open((sub + "写真_" + std::to_string(i) + ".jpg").c_str(), O_CREAT | O_WRONLY, 0644));
    }
    return dir;
  }();
  return root;
}

std::string SjisTree() {
  std::string sjis;
  enc::DiskToSjis(ListTree(), sjis);
  return sjis;
}

// The list as the window holds it after adding the tree.
const TCsvDb& TreeTable() {
  static const TCsvDb table = [] {
    TCsvDb t;
    int limit = 1 << 30;
    FileAdder(t, limit, {}).AddFiles({SjisTree()});
    return t;
  }();
  return table;
}

void BM_SaveList100k(benchmark::State& state) {
  const TCsvDb& table = TreeTable();
  const std::string file = test::MakeTempDir("save") + "list.csv";
  for (auto _ : state) table.SaveToFile(file);
  state.counters["rows"] = table.RowCount();
  state.counters["goal_ms"] = 200;
}
BENCHMARK(BM_SaveList100k)->Unit(benchmark::kMillisecond)->Iterations(5);

// Reading the list and adding what it names, against adding the folder.
void BM_LoadList100k_VsAddFolder(benchmark::State& state) {
  const std::string file = test::MakeTempDir("load") + "list.csv";
  TreeTable().SaveToFile(file);
  double load = 0, add = 0, read = 0;
  int runs = 0;
  int loaded = 0;
  for (auto _ : state) {
    auto start = Clock::now();
    {
      TCsvDb table;
      int limit = 1 << 30;
      const ListedFiles listed = ReadListFile(file);
      read += Seconds(start);
      loaded = FileAdder(table, limit, {}).AddFiles(listed.paths);
    }
    load += Seconds(start);
    state.PauseTiming();
    start = Clock::now();
    {
      TCsvDb table;
      int limit = 1 << 30;
      benchmark::DoNotOptimize(FileAdder(table, limit, {}).AddFiles({SjisTree()}));
    }
    add += Seconds(start);
    ++runs;
    state.ResumeTiming();
  }
  state.counters["rows"] = loaded;
  state.counters["read_ms"] = read / runs * 1000;
  state.counters["add_folder_ms"] = add / runs * 1000;
  state.counters["x_add_folder"] = load / add;
  state.counters["goal_x"] = 1.5;
}
BENCHMARK(BM_LoadList100k_VsAddFolder)->Unit(benchmark::kMillisecond)->Iterations(3);

// Where loading spends its time: reading the CSV text, finding the files, and
// the conversion of the paths alone.
void BM_ListPhases(benchmark::State& state) {
  const std::string file = test::MakeTempDir("phase") + "list.csv";
  TreeTable().SaveToFile(file);
  double parse = 0, collect = 0, conv = 0;
  for (auto _ : state) {
    auto start = Clock::now();
    TCsvDb list;
    list.LoadFromFile(file);
    parse += Seconds(start);
    start = Clock::now();
    benchmark::DoNotOptimize(CollectListedFiles(list));
    collect += Seconds(start);
    start = Clock::now();
    size_t n = 0;
    for (int r = 0; r < list.RowCount(); ++r) n += enc::SjisToDisk(list.GetCell(colPath, r)).size();
    benchmark::DoNotOptimize(n);
    conv += Seconds(start);
  }
  state.counters["parse"] = parse * 1000 / state.iterations();
  state.counters["collect"] = collect * 1000 / state.iterations();
  state.counters["conv"] = conv * 1000 / state.iterations();
}
BENCHMARK(BM_ListPhases)->Unit(benchmark::kMillisecond)->Iterations(5);
}  // namespace
}  // namespace tonbo
