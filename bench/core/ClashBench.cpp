// The clash marks after a command on 100,000 rows (100 folders of 1,000
// files, every name changed): the check from the names alone, which the
// window waits for, and the whole check with the disk on a warm cache, which
// runs off the window's thread.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "TestEnv.h"
#include "core/RunClashes.h"

namespace tonbo {
namespace {

constexpr int kFolders = 100, kPerFolder = 1000;

// The files, made once per process, listed with a new name each; one row in
// a hundred takes the name of the row before it.
const TCsvDb& Listed() {
  static const TCsvDb table = [] {
    TCsvDb t;
    const std::string dir = test::MakeTempDir("clash");
    for (int f = 0; f < kFolders; ++f) {
      const std::string sub = dir + "folder" + std::to_string(f) + "/";
      mkdir(sub.c_str(), 0755);
      for (int i = 0; i < kPerFolder; ++i) {
        const std::string name = "IMG_" + std::to_string(10000 + i);
        close(open((sub + name + ".jpg").c_str(), O_CREAT | O_WRONLY, 0644));
        const int row = t.RowCount();
        t.SetCell(colNewName, row, "travel_" + std::to_string(i - (i % 100 == 99)));
        t.SetCell(colExt, row, ".jpg");
        t.SetCell(colPath, row, sub + name + ".jpg");
      }
    }
    return t;
  }();
  return table;
}

void BM_ClashesFromTheNames100k(benchmark::State& state) {
  const TCsvDb& table = Listed();
  for (auto _ : state) benchmark::DoNotOptimize(CheckClashes(table).clashes);
}
BENCHMARK(BM_ClashesFromTheNames100k)->Unit(benchmark::kMillisecond);

void BM_ClashesWithTheDisk100k(benchmark::State& state) {
  const TCsvDb& table = Listed();
  SeenFiles seen;
  CheckClashesOnDisk(table, &seen);  // the files as listed, and a warm cache
  for (auto _ : state) benchmark::DoNotOptimize(CheckClashesOnDisk(table, &seen).clashes);
}
BENCHMARK(BM_ClashesWithTheDisk100k)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tonbo
