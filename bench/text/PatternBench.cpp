// Wildcard selection over 100,000 names, and the recursive lister over a tree
// of 100,000 files in 1,000 folders timed next to find(1) on the same tree.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "common/Sjis.h"
#include "text/Glob.h"
#include "text/PathInfo.h"
#include "text/Wildcard.h"

namespace tonbo {
namespace {

using Clock = std::chrono::steady_clock;
constexpr int kNames = 100000;

// Half Japanese, half ASCII, with the extensions a photo folder holds (UTF-8).
std::string NameOf(std::mt19937& rng, int index) {
  static const char* const words[] = {"写真", "旅行", "報告書", "議事録", "テキスト", "画像",
                                      "東京", "山田", "見積書", "会議",   "資料",     "最終版"};
  static const char* const ascii[] = {"IMG_", "DSC", "report_", "Scan", "memo-", "photo"};
  static const char* const exts[] = {".jpg", ".JPG", ".txt", ".pdf", ".png", ".mp3"};
  std::string name;
  if (rng() % 2 == 0) {
    for (int i = 0, n = 2 + static_cast<int>(rng() % 3); i < n; ++i) name += words[rng() % 12];
  } else {
    name = ascii[rng() % 6];
  }
  return name + std::to_string(index) + exts[rng() % 6];
}

const std::vector<std::string>& Names() {
  static const std::vector<std::string> names = [] {
    std::mt19937 rng(11);
    std::vector<std::string> out;
    for (int i = 0; i < kNames; ++i) out.push_back(enc::Lit(NameOf(rng, i)));
    return out;
  }();
  return names;
}

const char* const kMasks[] = {"*.jpg", "*写真*旅行*", "IMG_*[0-4].JP?", "*a*e*i*o*u*.txt"};

// Selection by condition: one compiled mask against every name.
void BM_MaskSelect(benchmark::State& state) {
  const TMask mask(enc::Lit(kMasks[state.range(0)]));
  int hits = 0;
  for (auto _ : state) {
    hits = 0;
    for (const std::string& name : Names()) hits += mask.Matches(name);
  }
  state.SetLabel(kMasks[state.range(0)]);
  state.counters["hits"] = hits;
  state.SetItemsProcessed(state.iterations() * kNames);
}
BENCHMARK(BM_MaskSelect)
    ->Name("MaskSelect/100000names")
    ->DenseRange(0, 3)
    ->Unit(benchmark::kMillisecond);

// The same with the mask compiled for every name.
void BM_WildcardMatchEach(benchmark::State& state) {
  const std::string mask = enc::Lit(kMasks[1]);
  for (auto _ : state)
    for (const std::string& name : Names()) benchmark::DoNotOptimize(WildcardMatch(name, mask));
  state.SetItemsProcessed(state.iterations() * kNames);
}
BENCHMARK(BM_WildcardMatchEach)->Name("WildcardMatch/100000names")->Unit(benchmark::kMillisecond);

// 10 groups of 100 folders of 100 files each, removed at exit.
class Tree {
 public:
  Tree() {
    char tmpl[] = "/tmp/tonbo-bench-glob-XXXXXX";
    if (!mkdtemp(tmpl)) std::abort();
    root_ = std::string(tmpl) + "/";
    std::mt19937 rng(5);
    for (int g = 0; g < 10; ++g) {
      const std::string group = root_ + (g % 2 ? "グループ" : "group") + std::to_string(g) + "/";
      mkdir(group.c_str(), 0755);
      for (int f = 0; f < 100; ++f) {
        const std::string folder = group + (f % 3 ? "写真" : "dir") + std::to_string(f) + "/";
        mkdir(folder.c_str(), 0755);
        for (int i = 0; i < 100; ++i) Touch(folder + NameOf(rng, i));
      }
    }
  }
  ~Tree() {
    nftw(
        root_.c_str(), [](const char* path, const struct stat*, int, FTW*) { return remove(path); },
        16, FTW_DEPTH | FTW_PHYS);
  }
  const std::string& Root() const { return root_; }

 private:
  static void Touch(const std::string& path) {
    const int fd = open(path.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
    if (fd >= 0) close(fd);
  }
  std::string root_;
};

const Tree& TheTree() {
  static const Tree tree;
  return tree;
}

double Seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

double TimeFind(const std::string& root, size_t& lines) {
  const auto start = Clock::now();
  FILE* pipe = popen(("find '" + root + "' -printf '%s %T@ %p\\n'").c_str(), "r");
  std::string out;
  char buf[1 << 16];
  for (size_t n; (n = fread(buf, 1, sizeof buf, pipe)) > 0;) out.append(buf, n);
  pclose(pipe);
  lines = static_cast<size_t>(std::count(out.begin(), out.end(), '\n'));
  return Seconds(start);
}

// What adding the files costs on top of the walk: each entry's date and size.
size_t StatEach(const std::vector<std::string>& paths) {
  size_t bytes = 0;
  struct stat st {};
  for (const std::string& path : paths) {
    if (lstat(enc::SjisToDisk(path).c_str(), &st) != 0) continue;
    bytes += FormatFileDate(DateTimeFromFileTime(st.st_mtime)).size() + st.st_size;
  }
  return bytes;
}

// Adding a folder: every entry with its date text and size, sub-folders
// entered as they are met.
size_t AddFolderLike(const std::string& dir) {
  size_t bytes = 0;
  for (const TDirEntry& e : ReadFolder(dir)) {
    if (e.isFolder) {
      bytes += AddFolderLike(dir + e.name + "/");
    } else {
      const std::string path = dir + e.name;
      bytes += path.size() + FormatFileDate(DateTimeFromFileTime(e.modified)).size() + e.size;
    }
  }
  return bytes;
}

// Iteration time is the walk alone; counters set it beside find(1), which
// also reads every file's size and time, beside walk + lstat and beside the
// walk of ReadFolder that adding files makes.
void BM_GlobRecursive(benchmark::State& state) {
  std::string root;
  enc::DiskToSjis(TheTree().Root(), root);
  size_t lines = 0, files = 0;
  TimeFind(TheTree().Root(), lines);  // warm the cache
  double glob = 0, withStat = 0, readFolder = 0, find = 0;
  for (auto _ : state) {
    auto start = Clock::now();
    const auto found = GlobFilesRecursive(root + "*");
    const double walk = Seconds(start);
    state.SetIterationTime(walk);
    glob += walk;
    files = found ? found->size() : 0;
    start = Clock::now();
    benchmark::DoNotOptimize(StatEach(*found));
    withStat += walk + Seconds(start);
    start = Clock::now();
    benchmark::DoNotOptimize(AddFolderLike(root));
    readFolder += Seconds(start);
    find += TimeFind(TheTree().Root(), lines);
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["files"] = static_cast<double>(files);
  state.counters["find_lines"] = static_cast<double>(lines);
  state.counters["glob_ms"] = glob / n * 1000;
  state.counters["glob_stat_ms"] = withStat / n * 1000;
  state.counters["find_ms"] = find / n * 1000;
  state.counters["glob/find"] = glob / find;
  state.counters["glob_stat/find"] = withStat / find;
  state.counters["read_folder_ms"] = readFolder / n * 1000;
  state.counters["read_folder/find"] = readFolder / find;
}
BENCHMARK(BM_GlobRecursive)
    ->Name("GlobFilesRecursive/100000files")
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tonbo
