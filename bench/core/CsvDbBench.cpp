// The file table on 100,000 realistic rows: the three sorts, a history copy,
// and loading the saved list compared with a plain read of the same file.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "TestEnv.h"
#include "common/Sjis.h"
#include "core/CsvDb.h"

namespace tonbo {
namespace {

constexpr int kRows = 100000;

std::vector<std::string> Sjis(std::initializer_list<const char*> utf8) {
  std::vector<std::string> out;
  for (const char* s : utf8) out.push_back(enc::Lit(s));
  return out;
}

template <class T>
const T& Pick(std::mt19937& rng, const std::vector<T>& from) {
  return from[rng() % from.size()];
}

std::string NameOf(std::mt19937& rng) {
  static const std::vector<std::string> words =
      Sjis({"写真", "旅行", "報告書", "議事録", "ファイル", "テキスト", "画像", "あいう", "東京",
            "山田", "見積書", "請求書", "会議", "資料", "ソース", "表計算", "カタログ", "最終版"});
  static const std::vector<std::string> ascii = {"IMG_",   "DSC",   "report_", "Scan",   "memo-",
                                                 "Track ", "photo", "Backup_", "README", "data"};
  std::string name;
  if (rng() % 2 == 0) {
    for (int i = 0, n = 2 + static_cast<int>(rng() % 3); i < n; ++i) name += Pick(rng, words);
    if (rng() % 3 == 0) name += "_" + std::to_string(rng() % 100);
  } else {
    name = Pick(rng, ascii) + std::to_string(rng() % 100000);
  }
  return name;
}

std::string DateOf(std::mt19937& rng) {
  auto below = [&rng](unsigned n) { return static_cast<unsigned>(rng() % n); };
  char text[32];
  std::snprintf(text, sizeof text, "%04u/%02u/%02u %02u:%02u:%02u", 2000 + below(25), 1 + below(12),
                1 + below(28), below(24), below(60), below(30) * 2);
  return text;
}

// Columns NewName, Ext, Modified, Size, TypeName, Path, IconIndex, Selected.
const TCsvDb& FileTable() {
  static const TCsvDb table = [] {
    std::mt19937 rng(42);
    const std::vector<std::string> exts = {".jpg", ".JPG", ".txt",  ".pdf",
                                           ".mp3", ".png", ".docx", ""};
    const std::vector<std::string> types =
        Sjis({"JPEG 画像", "テキスト文書", "PDF 文書", "MP3 オーディオ", "PNG 画像", "文書"});
    const std::vector<std::string> folders =
        Sjis({"/home/user/写真/2023/旅行/", "/home/user/Documents/work/", "/mnt/data/音楽/",
              "/home/user/ダウンロード/"});
    TCsvDb t;
    for (int r = 0; r < kRows; ++r) {
      const std::string name = NameOf(rng), ext = Pick(rng, exts);
      const std::string row[] = {name,
                                 ext,
                                 DateOf(rng),
                                 std::to_string(rng() % 5000000000ull),
                                 Pick(rng, types),
                                 Pick(rng, folders) + name + "_" + std::to_string(r) + ext,
                                 std::to_string(rng() % 20),
                                 rng() % 10 == 0 ? "1" : ""};
      for (int c = 0; c < colFileColumnCount; ++c) t.SetCell(c, r, row[c]);
    }
    return t;
  }();
  return table;
}

template <void (TCsvDbBase::*Sort)(int), int col>
void BM_Sort(benchmark::State& state) {
  TCsvDb t;
  for (auto _ : state) {
    state.PauseTiming();
    t = FileTable();
    state.ResumeTiming();
    (t.*Sort)(col);
  }
  state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_Sort<&TCsvDbBase::SortText, colNewName>)
    ->Name("SortText/100000rows")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Sort<&TCsvDbBase::SortNumeric, colSize>)
    ->Name("SortNumeric/100000rows")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Sort<&TCsvDbBase::SortNoCase, colNewName>)
    ->Name("SortNoCase/100000rows")
    ->Unit(benchmark::kMillisecond);

// A history snapshot shares every row with the table.
void BM_CopyTable(benchmark::State& state) {
  for (auto _ : state) {
    TCsvDb copy = FileTable();
    benchmark::DoNotOptimize(copy);
  }
}
BENCHMARK(BM_CopyTable)->Name("CopyTable/100000rows")->Unit(benchmark::kMillisecond);

const std::string& SavedList() {
  static const std::string path = [] {
    std::string p = test::MakeTempDir("bench") + "list.csv";
    FileTable().SaveToFile(p);
    return p;
  }();
  return path;
}

std::string PlainRead(const std::string& path) {
  std::string bytes;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  char buf[1 << 16];
  for (ssize_t n; (n = ::read(fd, buf, sizeof buf)) > 0;) bytes.append(buf, n);
  ::close(fd);
  return bytes;
}

void BM_PlainRead(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(PlainRead(SavedList()));
  state.SetBytesProcessed(state.iterations() * PlainRead(SavedList()).size());
}
BENCHMARK(BM_PlainRead)->Name("PlainRead/100000rows")->Unit(benchmark::kMillisecond);

// The fastest of a few plain reads of the file, in seconds.
double PlainReadSeconds() {
  using Clock = std::chrono::steady_clock;
  double best = 1e9;
  for (int i = 0; i < 10; ++i) {
    const auto start = Clock::now();
    benchmark::DoNotOptimize(PlainRead(SavedList()));
    best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
  }
  return best;
}

// Also reports the load time as a multiple of a plain read of the same file.
void BM_LoadCsv(benchmark::State& state) {
  using Clock = std::chrono::steady_clock;
  const double read = PlainReadSeconds();
  Clock::duration load{};
  TCsvDb t;
  for (auto _ : state) {
    state.PauseTiming();
    t.Clear();
    state.ResumeTiming();
    const auto start = Clock::now();
    t.LoadFromFile(SavedList());
    load += Clock::now() - start;
  }
  state.counters["rows"] = t.RowCount();
  state.counters["x_plain_read"] =
      std::chrono::duration<double>(load).count() / static_cast<double>(state.iterations()) / read;
}
BENCHMARK(BM_LoadCsv)->Name("LoadFromFile/100000rows")->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tonbo
