// A folder's 100,000 names put in the order a file manager shows them: the
// camera's and scanner's plain names (one iteration sorts them all), and the
// same with one Japanese name among them.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "text/NaturalOrder.h"

namespace tonbo {
namespace {

constexpr int kNames = 100000;

std::vector<std::string> PlainNames() {
  static const char* const stems[] = {"IMG_", "DSC0", "Report_", "Scan ", "memo-", "file"};
  std::mt19937 rng(3);
  std::vector<std::string> out;
  for (int i = 0; i < kNames; ++i)
    out.push_back(stems[rng() % 6] + std::to_string(rng() % 100000) + (i % 3 ? ".jpg" : ".dat"));
  return out;
}

void SortAll(benchmark::State& state, const std::vector<std::string>& names) {
  const std::vector<std::string_view> views(names.begin(), names.end());
  for (auto _ : state) benchmark::DoNotOptimize(NaturalOrder(views));
  state.SetItemsProcessed(state.iterations() * kNames);
}

void BM_NaturalOrderPlain(benchmark::State& state) { SortAll(state, PlainNames()); }
BENCHMARK(BM_NaturalOrderPlain)->Unit(benchmark::kMillisecond);

void BM_NaturalOrderOneJapanese(benchmark::State& state) {
  std::vector<std::string> names = PlainNames();
  names[kNames / 2] = "写真1.jpg";
  SortAll(state, names);
}
BENCHMARK(BM_NaturalOrderOneJapanese)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tonbo
