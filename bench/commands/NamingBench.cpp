// The naming commands over 100,000 selected entries.
#include <benchmark/benchmark.h>

#include <random>

#include "commands/NamingCommands.h"
#include "common/Sjis.h"
#include "text/StrUnit.h"

namespace tonbo {
namespace {

constexpr int kRows = 100000;

struct Fixture {
  TCsvDb table;
  std::vector<int> rows;
  Fixture() {
    const std::string kana = enc::Lit("写真ﾃﾞｰﾀ");
    for (int i = 0; i < kRows; ++i) {
      table.SetCell(colNewName, i, kana + "IMG_" + std::to_string(i));
      table.SetCell(colExt, i, ".JPG");
      table.SetCell(colModified, i, "2024/05/06 07:08:10");  // all on one day
      table.SetCell(colPath, i, "/photos/IMG_" + std::to_string(i) + ".JPG");
      rows.push_back(i);
    }
  }
};

const Fixture& Base() {
  static const Fixture fixture;
  return fixture;
}

template <typename Run>
void Measure(benchmark::State& state, Run run) {
  for (auto _ : state) {
    state.PauseTiming();
    TCsvDb table = Base().table;
    state.ResumeTiming();
    run(table, Base().rows);
  }
}

void BM_Serial(benchmark::State& s) {
  Measure(s, [](TCsvDb& t, const std::vector<int>& r) { NameSerial(t, r, RenameRules()); });
}
BENCHMARK(BM_Serial)->Unit(benchmark::kMillisecond);

void BM_DateSameDay(benchmark::State& s) {
  Measure(s, [](TCsvDb& t, const std::vector<int>& r) { NameByDate(t, r, RenameRules()); });
}
BENCHMARK(BM_DateSameDay)->Unit(benchmark::kMillisecond);

void BM_Random(benchmark::State& s) {
  std::mt19937 rng(1);
  Measure(s, [&](TCsvDb& t, const std::vector<int>& r) {
    RenameRules rules;
    NameRandom(t, r, rules, {[&](int n) { return static_cast<int>(rng() % unsigned(n)); }, {}});
  });
}
BENCHMARK(BM_Random)->Unit(benchmark::kMillisecond);

void BM_FixedName(benchmark::State& s) {
  Measure(s, [](TCsvDb& t, const std::vector<int>& r) { NameFixed(t, r, "photo", true); });
}
BENCHMARK(BM_FixedName)->Unit(benchmark::kMillisecond);

void BM_Zenkaku(benchmark::State& s) {
  Measure(s, [](TCsvDb& t, const std::vector<int>& r) {
    for (int row : r) ConvertRow(t, row, ZenkakuStr, true);
  });
}
BENCHMARK(BM_Zenkaku)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tonbo
