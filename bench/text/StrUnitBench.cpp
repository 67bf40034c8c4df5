// Each character-class conversion and the plain replacements over 100,000
// names, half Japanese (full- and half-width kana, kanji, full-width letters)
// and half ASCII. One iteration converts every name.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "common/Sjis.h"
#include "text/StrUnit.h"

namespace tonbo {
namespace {

constexpr int kNames = 100000;

std::string NameOf(std::mt19937& rng, int index) {
  static const char* const words[] = {"写真",     "旅行",         "報告書",   "ﾃﾞｰﾀ",
                                      "テキスト", "ｶﾞｲﾄﾞﾌﾞｯｸ",    "ＡＢＣ－", "東京",
                                      "ひらがな", "Ｒｅｐｏｒｔ", "資料　",   "ΑΒΓ"};
  static const char* const ascii[] = {"IMG_", "DSC", "Report_", "Scan ", "memo-", "Photo"};
  std::string name;
  if (rng() % 2 == 0) {
    for (int i = 0, n = 2 + static_cast<int>(rng() % 3); i < n; ++i) name += words[rng() % 12];
  } else {
    name = ascii[rng() % 6];
  }
  return name + std::to_string(index);
}

const std::vector<std::string>& Names() {
  static const std::vector<std::string> names = [] {
    std::mt19937 rng(5);
    std::vector<std::string> out;
    for (int i = 0; i < kNames; ++i) out.push_back(enc::Lit(NameOf(rng, i)));
    return out;
  }();
  return names;
}

struct Conversion {
  const char* name;
  std::string (*convert)(std::string_view);
};

const Conversion kConversions[] = {
    {"LowerStr", LowerStr},       {"UpperStr", UpperStr},     {"HankakuAnkStr", HankakuAnkStr},
    {"HankakuStr", HankakuStr},   {"ZenkakuStr", ZenkakuStr}, {"HiraganaStr", HiraganaStr},
    {"KatakanaStr", KatakanaStr},
};

void BM_Convert(benchmark::State& state) {
  const Conversion& conversion = kConversions[state.range(0)];
  for (auto _ : state) {
    for (const std::string& name : Names()) benchmark::DoNotOptimize(conversion.convert(name));
  }
  state.SetLabel(conversion.name);
  state.SetItemsProcessed(state.iterations() * kNames);
}
BENCHMARK(BM_Convert)->DenseRange(0, 6)->Unit(benchmark::kMillisecond);

struct Replacement {
  const char* label;
  bool ignoreCase;
  const char* oldText;
  const char* newText;
};

const Replacement kReplacements[] = {
    {"ReplaceStr _ by -", false, "_", "-"},
    {"ReplaceStr 写真 by 画像", false, "写真", "画像"},
    {"ReplaceStrI img by pic", true, "img", "pic"},
    {"ReplaceStrI ａｂｃ by x", true, "ａｂｃ", "x"},
};

void BM_Replace(benchmark::State& state) {
  const Replacement& r = kReplacements[state.range(0)];
  const std::string oldText = enc::Lit(r.oldText), newText = enc::Lit(r.newText);
  const auto replace = r.ignoreCase ? ReplaceStrI : ReplaceStr;
  for (auto _ : state) {
    for (const std::string& name : Names())
      benchmark::DoNotOptimize(replace(name, oldText, newText, true));
  }
  state.SetLabel(r.label);
  state.SetItemsProcessed(state.iterations() * kNames);
}
BENCHMARK(BM_Replace)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tonbo
