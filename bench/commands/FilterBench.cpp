// Selection by condition: 100,000 entries by name with each kind of key, and
// the contents of 1,000 small files and of one large file.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "TestEnv.h"
#include "commands/ContentText.h"
#include "commands/FilterSelect.h"
#include "common/Sjis.h"

namespace tonbo {
namespace {

constexpr int kRows = 100000;
constexpr int kFiles = 1000;

std::string NameOf(std::mt19937& rng, int index) {
  static const char* const words[] = {"写真", "旅行", "報告書", "議事録", "テキスト", "画像",
                                      "東京", "山田", "見積書", "会議",   "資料",     "最終版"};
  static const char* const ascii[] = {"IMG_", "DSC", "report_", "Scan", "memo-", "Photo"};
  std::string name;
  if (rng() % 2 == 0) {
    for (int i = 0, n = 2 + static_cast<int>(rng() % 3); i < n; ++i) name += words[rng() % 12];
  } else {
    name = ascii[rng() % 6];
  }
  return enc::Lit(name + std::to_string(index));
}

// A file table as adding a photo folder gives it.
const TCsvDb& Table() {
  static const TCsvDb table = [] {
    static const char* const exts[] = {".jpg", ".JPG", ".txt", ".pdf", ".png", ".mp3"};
    std::mt19937 rng(3);
    TCsvDb t;
    for (int r = 0; r < kRows; ++r) {
      const std::string name = NameOf(rng, r), ext = exts[rng() % 6];
      t.SetCell(colNewName, r, name);
      t.SetCell(colExt, r, ext);
      t.SetCell(colModified, r, "2005/12/31 13:05:09");
      t.SetCell(colPath, r, enc::Lit("/home/user/写真/") + name + ext);
    }
    return t;
  }();
  return table;
}

struct Run {
  const char* label;
  FilterScope scope;
  FilterMethod method;
  const char* key;
  bool useCase;
};

const Run kRuns[] = {
    {"plain name", FilterScope::Name, FilterMethod::Plain, "写真", false},
    {"plain path, case", FilterScope::Path, FilterMethod::Plain, "写真/Photo", true},
    {"mask name+ext", FilterScope::NameExt, FilterMethod::Wildcard, "*写真*.jpg", false},
    {"mask name+ext, case", FilterScope::NameExt, FilterMethod::Wildcard, "IMG_*[0-4].JP?", true},
    {"regexp name", FilterScope::Name, FilterMethod::RegExp, "写真.*\\d", false},
    {"regexp name+ext, case", FilterScope::NameExt, FilterMethod::RegExp, "^IMG_\\d+\\.JPG$", true},
};

FilterOptions OptionsOf(const Run& run) {
  FilterOptions o;
  o.scope = run.scope;
  o.method = run.method;
  o.key = enc::Lit(run.key);
  o.useCase = run.useCase;
  return o;
}

void BM_SelectNames(benchmark::State& state) {
  const Run& run = kRuns[state.range(0)];
  const FilterOptions options = OptionsOf(run);
  Table();
  std::vector<bool> selected;
  int count = 0;
  for (auto _ : state) count = SelectByCondition(Table(), options, selected);
  state.SetLabel(run.label);
  state.counters["selected"] = count;
  state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_SelectNames)
    ->Name("SelectByCondition/100000entries")
    ->DenseRange(0, 5)
    ->Unit(benchmark::kMillisecond);

// 1,000 text files of about 8 KB; every tenth holds the word looked for.
const TCsvDb& SmallFiles() {
  static const TCsvDb table = [] {
    const std::string dir = test::MakeTempDir("filter-bench");
    std::mt19937 rng(9);
    TCsvDb t;
    for (int r = 0; r < kFiles; ++r) {
      std::string text;
      while (text.size() < 8000) {
        text += NameOf(rng, r) + (rng() % 3 ? " " : "\r\n");
        if (r % 10 == 0 && text.size() / 100 == 40) text += "Keyword ";
      }
      const std::string path = dir + std::to_string(r) + ".txt";
      test::WriteFile(path, text);
      t.SetCell(colPath, r, path);
    }
    return t;
  }();
  return table;
}

void BM_SelectContents(benchmark::State& state) {
  static const Run runs[] = {
      {"plain", FilterScope::Contents, FilterMethod::Plain, "keyword", false},
      {"mask", FilterScope::Contents, FilterMethod::Wildcard, "*keyword*", false},
      {"regexp", FilterScope::Contents, FilterMethod::RegExp, "key\\w+", false},
  };
  const Run& run = runs[state.range(0)];
  const FilterOptions options = OptionsOf(run);
  SmallFiles();
  std::vector<bool> selected;
  int count = 0;
  for (auto _ : state) count = SelectByCondition(SmallFiles(), options, selected);
  state.SetLabel(run.label);
  state.counters["selected"] = count;
  state.SetItemsProcessed(state.iterations() * kFiles);
}
BENCHMARK(BM_SelectContents)
    ->Name("SelectByCondition/1000files")
    ->DenseRange(0, 2)
    ->Unit(benchmark::kMillisecond);

// A 64 MB file with the key at its end: the plain search a chunk at a time
// against reading the whole text for a mask.
const std::string& LargeFile() {
  static const std::string path = [] {
    const std::string p = test::MakeTempDir("filter-bench") + "large.log";
    std::string text;
    std::mt19937 rng(4);
    while (text.size() < TContentReader::kWholeLimit - 100) text += NameOf(rng, 7) + "\r\n";
    test::WriteFile(p, text + "Keyword\r\n");
    return p;
  }();
  return path;
}

void BM_LargeFilePlain(benchmark::State& state) {
  TContentReader reader;
  LargeFile();
  for (auto _ : state) benchmark::DoNotOptimize(reader.Contains(LargeFile(), "keyword", true));
  state.SetBytesProcessed(state.iterations() * TContentReader::kWholeLimit);
}
BENCHMARK(BM_LargeFilePlain)->Name("Contents/64MB/plain")->Unit(benchmark::kMillisecond);

void BM_LargeFileWhole(benchmark::State& state) {
  TContentReader reader;
  LargeFile();
  for (auto _ : state) benchmark::DoNotOptimize(reader.ReadWhole(LargeFile(), true).size());
  state.SetBytesProcessed(state.iterations() * TContentReader::kWholeLimit);
}
BENCHMARK(BM_LargeFileWhole)->Name("Contents/64MB/whole")->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tonbo
