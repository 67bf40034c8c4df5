// Adding 100,000 files with the progress window (shown after half a second,
// updated and letting the window system in at most every 50 ms) next to the
// same add without it, in one run.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>

#include "TestEnv.h"
#include "app/TfrmProgress.h"
#include "common/Sjis.h"
#include "core/FileAdder.h"

namespace {

using Clock = std::chrono::steady_clock;

// 100,000 empty files in 1,000 folders, made once per process.
const std::string& Tree() {
  static const std::string root = [] {
    std::string dir = tonbo::test::MakeTempDir("tree");
    for (int f = 0; f < 1000; ++f) {
      std::string sub = dir + "folder" + std::to_string(f) + "/";
      mkdir(sub.c_str(), 0755);
      for (int i = 0; i < 100; ++i)
        close(
            open((sub + "photo_" + std::to_string(i) + ".jpg").c_str(), O_CREAT | O_WRONLY, 0644));
    }
    return dir;
  }();
  return root;
}

double AddOnce(tonbo::ProgressSink* progress) {
  tonbo::TCsvDb table;
  int limit = 1 << 30;
  tonbo::FileAdder adder(table, limit, {});
  adder.SetProgress(progress);
  const auto start = Clock::now();
  benchmark::DoNotOptimize(adder.AddFiles({Tree()}));
  return std::chrono::duration<double>(Clock::now() - start).count();
}

void BM_AddTree100k_ProgressWindowVsNone(benchmark::State& state) {
  AddOnce(nullptr);  // the tree in the page cache for both
  double with = 0, without = 0;
  for (auto _ : state) {
    tonbo::TfrmProgress progress(nullptr, QStringLiteral("ファイルの追加"));
    with += AddOnce(&progress);
    without += AddOnce(nullptr);
  }
  state.counters["none_ms"] = without / static_cast<double>(state.iterations()) * 1000;
  state.counters["window_ms"] = with / static_cast<double>(state.iterations()) * 1000;
  state.counters["x_none"] = with / without;
}
BENCHMARK(BM_AddTree100k_ProgressWindowVsNone)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
