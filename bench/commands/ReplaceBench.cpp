// The replace dialog's run over 100,000 selected entries, as the dialog and
// the command line call it: one adaptor for the whole run, and a table whose
// rows are still shared with the history's snapshot, so every write copies
// its row as a real run does.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "commands/ReplaceNames.h"
#include "common/Sjis.h"
#include "core/CsvDb.h"

namespace tonbo {
namespace {

constexpr int kRows = 100000;

// Photo, document and music entries, half of them Japanese (code page 932).
const TCsvDb& Listed() {
  static const TCsvDb table = [] {
    static const char* const words[] = {"写真", "旅行", "報告書", "議事録", "ソフト", "表計算",
                                        "東京", "山田", "見積書", "会議",   "資料",   "最終版"};
    static const char* const ascii[] = {"IMG_", "DSC", "report_", "Scan", "memo-", "photo"};
    static const char* const exts[] = {".jpg", ".JPG", ".txt", ".pdf", ".png", ".mp3"};
    std::mt19937 rng(11);
    TCsvDb t;
    for (int r = 0; r < kRows; ++r) {
      std::string name;
      if (rng() % 2 == 0) {
        for (int w = 0, n = 2 + static_cast<int>(rng() % 3); w < n; ++w) name += words[rng() % 12];
      } else {
        name = ascii[rng() % 6];
      }
      name = enc::Lit(name + std::to_string(r));
      const std::string ext = exts[rng() % 6];
      t.SetCell(colNewName, r, name);
      t.SetCell(colExt, r, ext);
      t.SetCell(colModified, r, "2024/05/01 12:00:00");
      t.SetCell(colSize, r, "123456");
      t.SetCell(colPath, r, "/home/user/pictures/" + name + ext);
    }
    return t;
  }();
  return table;
}

const std::vector<int>& AllRows() {
  static const std::vector<int> rows = [] {
    std::vector<int> out(kRows);
    for (int r = 0; r < kRows; ++r) out[r] = r;
    return out;
  }();
  return rows;
}

void RunReplace(benchmark::State& state, const ReplaceOptions& options) {
  int count = 0;
  for (auto _ : state) {
    TCsvDb table = Listed();  // shares every row, as after the history's snapshot
    count = ReplaceInNames(table, AllRows(), options);
    benchmark::DoNotOptimize(table);
  }
  state.counters["rows"] = count;
  state.SetItemsProcessed(state.iterations() * kRows);
}

ReplaceOptions Plain(const char* search, const char* replacement, bool matchCase,
                     ReplaceScope scope) {
  ReplaceOptions o;
  o.search = enc::Lit(search);
  o.replacement = enc::Lit(replacement);
  o.matchCase = matchCase;
  o.scope = scope;
  return o;
}

ReplaceOptions Regex(const char* command, ReplaceScope scope) {
  ReplaceOptions o;
  o.regularExpression = true;
  o.command = enc::Lit(command);
  o.scope = scope;
  return o;
}

void BM_ReplacePlainIgnoringCase(benchmark::State& state) {
  RunReplace(state, Plain("img_", "photo-", false, ReplaceScope::Name));
}
BENCHMARK(BM_ReplacePlainIgnoringCase)
    ->Name("ReplacePlainIgnoringCase/100000rows")
    ->Unit(benchmark::kMillisecond);

void BM_ReplacePlainMatchingCase(benchmark::State& state) {
  RunReplace(state, Plain("写真", "photo", true, ReplaceScope::Name));
}
BENCHMARK(BM_ReplacePlainMatchingCase)
    ->Name("ReplacePlainMatchingCase/100000rows")
    ->Unit(benchmark::kMillisecond);

void BM_ReplacePlainNameAndExt(benchmark::State& state) {
  RunReplace(state, Plain(".", "_", false, ReplaceScope::NameAndExt));
}
BENCHMARK(BM_ReplacePlainNameAndExt)
    ->Name("ReplacePlainNameAndExt/100000rows")
    ->Unit(benchmark::kMillisecond);

void BM_ReplaceRegex(benchmark::State& state) {
  RunReplace(state, Regex("s/(\\d+)/No.$1/g", ReplaceScope::Name));
}
BENCHMARK(BM_ReplaceRegex)->Name("ReplaceRegex/100000rows")->Unit(benchmark::kMillisecond);

void BM_ReplaceRegexNameAndExt(benchmark::State& state) {
  RunReplace(state, Regex("s/^(.+?)(\\d+)\\.(jpg|png)$/$2_$1.$3/i", ReplaceScope::NameAndExt));
}
BENCHMARK(BM_ReplaceRegexNameAndExt)
    ->Name("ReplaceRegexNameAndExt/100000rows")
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tonbo
