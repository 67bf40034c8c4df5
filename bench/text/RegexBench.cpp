// Regular-expression substitution and selection over 100,000 names, one
// adaptor (so one compiled record) per run as the replace and select dialogs
// use it, and for contrast an adaptor per name.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "common/Sjis.h"
#include "text/BRegExp.h"

namespace tonbo {
namespace {

constexpr int kNames = 100000;

// Photo, document and music names, half of them Japanese (code page 932).
const std::vector<std::string>& Names() {
  static const std::vector<std::string> names = [] {
    static const char* const words[] = {"写真", "旅行", "報告書", "議事録", "ソフト", "表計算",
                                        "東京", "山田", "見積書", "会議",   "資料",   "最終版"};
    static const char* const ascii[] = {"IMG_", "DSC", "report_", "Scan", "memo-", "photo"};
    static const char* const exts[] = {".jpg", ".JPG", ".txt", ".pdf", ".png", ".mp3"};
    std::mt19937 rng(7);
    std::vector<std::string> out;
    for (int i = 0; i < kNames; ++i) {
      std::string name;
      if (rng() % 2 == 0) {
        for (int w = 0, n = 2 + static_cast<int>(rng() % 3); w < n; ++w) name += words[rng() % 12];
      } else {
        name = ascii[rng() % 6];
      }
      out.push_back(enc::Lit(name + std::to_string(i) + exts[rng() % 6]));
    }
    return out;
  }();
  return names;
}

const char* const kSubstCommands[] = {"s/(\\d+)/No.$1/g", "s/^(.+)\\.jpg$/$1.png/i",
                                      "s/写真|旅行/photo/g", "s/(?<=\\D)(\\d)(?=\\.)/0$1/"};
const char* const kMatchCommands[] = {"m/写真.*\\d/", "m/^IMG_\\d+\\.JPG$/i", "m/[a-z]{5,}/"};

void BM_RegexSubst(benchmark::State& state) {
  const std::string command = enc::Lit(kSubstCommands[state.range(0)]);
  int changed = 0;
  for (auto _ : state) {
    TBRegExp re;
    changed = 0;
    for (const std::string& name : Names()) {
      std::string text = name;
      changed += re.Subst(command, text);
    }
  }
  state.SetLabel(kSubstCommands[state.range(0)]);
  state.counters["changed"] = changed;
  state.SetItemsProcessed(state.iterations() * kNames);
}
BENCHMARK(BM_RegexSubst)
    ->Name("RegexSubst/100000names")
    ->DenseRange(0, 3)
    ->Unit(benchmark::kMillisecond);

void BM_RegexMatch(benchmark::State& state) {
  const std::string command = enc::Lit(kMatchCommands[state.range(0)]);
  int hits = 0;
  for (auto _ : state) {
    TBRegExp re;
    hits = 0;
    for (const std::string& name : Names()) hits += re.Match(command, name);
  }
  state.SetLabel(kMatchCommands[state.range(0)]);
  state.counters["hits"] = hits;
  state.SetItemsProcessed(state.iterations() * kNames);
}
BENCHMARK(BM_RegexMatch)
    ->Name("RegexMatch/100000names")
    ->DenseRange(0, 2)
    ->Unit(benchmark::kMillisecond);

// What keeping the record saves: a new adaptor, so a new compile, per name.
void BM_RegexSubstCompileEach(benchmark::State& state) {
  const std::string command = enc::Lit(kSubstCommands[0]);
  for (auto _ : state) {
    for (const std::string& name : Names()) {
      TBRegExp re;
      std::string text = name;
      benchmark::DoNotOptimize(re.Subst(command, text));
    }
  }
  state.SetItemsProcessed(state.iterations() * kNames);
}
BENCHMARK(BM_RegexSubstCompileEach)
    ->Name("RegexSubstCompileEach/100000names")
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tonbo
