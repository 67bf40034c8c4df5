// Saving and loading a list of 100,000 files. Loading reads every file again
// from the disk, so it is measured next to adding the same files by their
// folder, in the same run: medians of wall and CPU time, the slowest round,
// and the rows each added.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <string>
#include <vector>

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

// 100,000 empty files in 1,000 folders, or all in one folder, made once per
// process.
const std::string& ListTree(bool oneFolder = false) {
  static const std::string trees[2] = {std::string(), test::MakeTempDir("listone")};
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
  if (!oneFolder) return root;
  static const bool made = [] {
    for (int i = 0; i < 100000; ++i)
      close(open((trees[1] + "写真_" + std::to_string(i) + ".jpg").c_str(), O_CREAT | O_WRONLY,
                 0644));
    return true;
  }();
  (void)made;
  return trees[1];
}

std::string SjisTree(bool oneFolder = false) {
  std::string sjis;
  enc::DiskToSjis(ListTree(oneFolder), sjis);
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

double CpuSeconds() {
  struct timespec t {};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

struct Timed {
  std::vector<double> wall, cpu;
  int rows = 0;
  template <typename F>
  void Run(F work) {
    const auto start = Clock::now();
    const double cpuStart = CpuSeconds();
    rows = work();
    cpu.push_back(CpuSeconds() - cpuStart);
    wall.push_back(Seconds(start));
  }
};

// Reading the list and adding what it names (the window's way: times and
// sizes read), against adding the folder, in rounds whose order turns. The
// argument: 0 for 1,000 folders of 100 files, 1 for one folder of 100,000.
void BM_LoadList100k_VsAddFolder(benchmark::State& state) {
  const bool oneFolder = state.range(0) != 0;
  const std::string file = test::MakeTempDir("load") + "list.csv";
  {
    TCsvDb t;
    int limit = 1 << 30;
    FileAdder(t, limit, {}).AddFiles({SjisTree(oneFolder)});
    t.SaveToFile(file);
  }
  Timed load, add;
  const auto loadList = [&] {
    TCsvDb table;
    int limit = 1 << 30;
    return FileAdder(table, limit, {}).AddFiles(ReadListFile(file).paths);
  };
  const auto addFolder = [&] {
    TCsvDb table;
    int limit = 1 << 30;
    return FileAdder(table, limit, {}).AddFiles({SjisTree(oneFolder)});
  };
  int round = 0;
  for (auto _ : state) {
    if (round++ % 2 == 0) {
      load.Run(loadList);
      add.Run(addFolder);
    } else {
      add.Run(addFolder);
      load.Run(loadList);
    }
  }
  state.counters["rows_loaded"] = load.rows;
  state.counters["rows_added"] = add.rows;
  state.counters["load_ms"] = Median(load.wall) * 1000;
  state.counters["load_cpu_ms"] = Median(load.cpu) * 1000;
  state.counters["load_max_ms"] = *std::max_element(load.wall.begin(), load.wall.end()) * 1000;
  state.counters["add_folder_ms"] = Median(add.wall) * 1000;
  state.counters["add_cpu_ms"] = Median(add.cpu) * 1000;
  state.counters["add_max_ms"] = *std::max_element(add.wall.begin(), add.wall.end()) * 1000;
  state.counters["x_add_folder"] = Median(load.wall) / Median(add.wall);
  state.counters["x_cpu"] = Median(load.cpu) / Median(add.cpu);
  state.counters["goal_x"] = 2;
}
BENCHMARK(BM_LoadList100k_VsAddFolder)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

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
