// tonbo-cli --select-text KEY --in contents next to grep on the same files:
// exact case against grep -rlF, ignoring case against grep -rliF, a Japanese
// key against grep given both its encodings, and "--not" against grep -rLF.
// The files are read once before the rounds, so every contender finds them
// in the page cache; the order of the contenders turns every round. Prints
// medians of wall and CPU time, each contender's spread over the rounds, the
// ratios of each round and whether both found the same number of files.
//   tonbo_bench_contents [files] [rounds] [--small]   (defaults 10000 and 7)
// The mix: files of 1 KB to 1 MB, their sizes even on a log scale; 60% ASCII,
// 25% UTF-8 Japanese, 15% code page 932. --small: files of 0.5-8 KB of
// mostly ASCII text, the mix of earlier measurements.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <random>
#include <string>
#include <vector>

#include "../BenchArgs.h"
#include "ProcessBench.h"
#include "common/Sjis.h"

namespace {

using tonbo::bench::Measure;

const char* const kJapaneseKey = "請求金額";

// Words of a text file: mostly ASCII, now and then a Japanese word in UTF-8;
// about one file in ten holds the key, in one of three spellings.
std::string MakeSmallFiles(int files) {
  const std::string dir = tonbo::test::MakeTempDir("bench-contents");
  static const char* const kWords[] = {"alpha",  "report", "total", "the",     "invoice",
                                       "amount", "Tokyo",  "date",  "請求書",  "金額",
                                       "key",    "word",   "keys",  "wording", "K"};
  static const char* const kKey[] = {"Keyword", "keyword", "KEYWORD"};
  std::mt19937 rng(7);
  for (int f = 0; f < files; ++f) {
    const size_t size = 500 + rng() % 7501;
    std::string text;
    const bool hit = rng() % 10 == 0;
    const size_t at = rng() % size;
    while (text.size() < size) {
      if (hit && text.size() >= at && text.size() < at + 8) text += kKey[rng() % 3];
      text += kWords[rng() % 15];
      text += rng() % 9 ? " " : "\n";
    }
    tonbo::test::WriteFile(dir + "f" + std::to_string(f) + ".txt", text);
  }
  return dir;
}

// A few megabytes of words in one encoding; files are cut out of it at word
// starts. Japanese text holds ASCII words too.
std::string Corpus(bool japanese, bool sjis, std::mt19937& rng) {
  static const char* const kAscii[] = {"alpha", "report", "total", "the",  "invoice", "amount",
                                       "Tokyo", "date",   "key",   "word", "keys",    "wording"};
  static const char* const kJapanese[] = {"請求書", "金額", "東京", "日付", "合計",
                                          "報告",   "会議", "資料", "写真", "予定"};
  std::string text;
  while (text.size() < (size_t{4} << 20)) {
    if (japanese && rng() % 3 != 0) {
      const char* word = kJapanese[rng() % 10];
      text += sjis ? tonbo::enc::Lit(word) : word;
    } else {
      text += kAscii[rng() % 12];
    }
    text += rng() % 9 ? " " : "\n";
  }
  return text;
}

std::string MakeMixedFiles(int files) {
  const std::string dir = tonbo::test::MakeTempDir("bench-contents");
  std::mt19937 rng(11);
  const std::string corpora[] = {Corpus(false, false, rng), Corpus(true, false, rng),
                                 Corpus(true, true, rng)};
  static const char* const kKey[] = {"Keyword", "keyword", "KEYWORD"};
  std::uniform_real_distribution<double> logSize(std::log(1024.0), std::log(1048576.0));
  for (int f = 0; f < files; ++f) {
    const unsigned kind = rng() % 20;  // 12 ASCII, 5 UTF-8, 3 code page 932
    const int c = kind < 12 ? 0 : kind < 17 ? 1 : 2;
    const std::string& corpus = corpora[c];
    const auto size = static_cast<size_t>(std::exp(logSize(rng)));
    size_t from = corpus.find(' ', rng() % (corpus.size() - size - 64)) + 1;
    std::string text = corpus.substr(from, size);
    if (rng() % 10 == 0) {
      // The key after a space somewhere in the file, in the file's encoding.
      const size_t at = text.find(' ', rng() % text.size());
      std::string key = c == 0 || rng() % 2 ? kKey[rng() % 3] : kJapaneseKey;
      if (c == 2 && key == kJapaneseKey) key = tonbo::enc::Lit(key);
      text.insert(at == std::string::npos ? text.size() : at + 1, key + " ");
    }
    tonbo::test::WriteFile(dir + "f" + std::to_string(f) + ".txt", text);
  }
  return dir;
}

// The count from tonbo-cli's status text "N個のファイルを選択しました。".
long Selected(const std::string& err) {
  const size_t at = err.rfind("個のファイルを選択しました");
  if (at == std::string::npos) return -1;
  size_t start = at;
  while (start > 0 && err[start - 1] >= '0' && err[start - 1] <= '9') --start;
  return std::atol(err.substr(start, at - start).c_str());
}

long Lines(const std::string& out) {
  long n = 0;
  for (char c : out) n += c == '\n';
  return n;
}

struct Side {
  Side(std::initializer_list<std::string> a) : args(a) {}
  std::vector<std::string> args;
  std::vector<double> wall, cpu;
  long count = -2;
};

struct Pair {
  const char* label;
  Side tonbo, grep;
};

void RunOne(Pair& p, bool tonbo, const std::string& dir) {
  Side& s = tonbo ? p.tonbo : p.grep;
  std::string out, err;
  const Measure m = tonbo::bench::RunProcess(dir, s.args, &out, &err);
  if (!m.ok) std::printf("  %s (%s) failed\n", p.label, tonbo ? "tonbo-cli" : "grep");
  s.wall.push_back(m.seconds);
  s.cpu.push_back(m.cpu);
  s.count = tonbo ? Selected(err) : Lines(out);
}

void PrintSide(const char* name, const Side& s, const char* what) {
  using tonbo::bench::Median;
  std::printf("  %-10s median %7.1f ms (CPU %7.1f ms)  rounds %.1f-%.1f ms  (%ld files %s)\n", name,
              Median(s.wall) * 1e3, Median(s.cpu) * 1e3, tonbo::bench::Best(s.wall) * 1e3,
              tonbo::bench::Worst(s.wall) * 1e3, s.count, what);
}

void Print(const Pair& p, double goal) {
  using tonbo::bench::Median;
  std::printf("\n%s:\n", p.label);
  PrintSide("tonbo-cli", p.tonbo, "selected");
  PrintSide("grep", p.grep, "listed");
  std::printf("  per round:");
  for (size_t i = 0; i < p.tonbo.wall.size(); ++i)
    std::printf(" %.2f", p.tonbo.wall[i] / p.grep.wall[i]);
  std::printf("\n  tonbo-cli / grep by medians = %.2f, CPU %.2f  (goal <= %.1f)%s\n",
              Median(p.tonbo.wall) / Median(p.grep.wall), Median(p.tonbo.cpu) / Median(p.grep.cpu),
              goal, p.tonbo.count == p.grep.count ? "" : "  (DIFFERENT COUNTS)");
}

}  // namespace

int main(int argc, char** argv) {
  tonbo::test::PrepareEnvironment();
  bool small = false;
  for (int i = 1; i < argc; ++i) small = small || std::strcmp(argv[i], "--small") == 0;
  const auto [files, rounds] = tonbo::bench::ReadFilesAndRounds(argc, argv, {10000, 7});
  const std::string dir = small ? MakeSmallFiles(files) : MakeMixedFiles(files);
  const std::string cli = TONBO_CLI_PATH;
  const std::string sjisKey = tonbo::enc::Lit(kJapaneseKey);
  std::vector<Pair> pairs = {
      {"with case",
       {{cli, "--select-text", "Keyword", "--in", "contents", "--case", "."}},
       {{"grep", "-rlF", "Keyword", "."}}},
      {"ignoring case",
       {{cli, "--select-text", "keyword", "--in", "contents", "."}},
       {{"grep", "-rliF", "keyword", "."}}},
      // grep in the C locale: the key's code page 932 bytes are no UTF-8.
      {"Japanese key, both encodings",
       {{cli, "--select-text", kJapaneseKey, "--in", "contents", "--case", "."}},
       {{"env", "LC_ALL=C", "grep", "-rlF", "-e", kJapaneseKey, "-e", sjisKey, "."}}},
      {"not holding the key (--not)",
       {{cli, "--select-text", "Keyword", "--not", "--in", "contents", "--case", "."}},
       {{"grep", "-rLF", "Keyword", "."}}},
  };
  // Warm the page cache: every contender reads every file once.
  tonbo::bench::RunProcess(dir, {"sh", "-c", "cat ./* > /dev/null"}, nullptr, nullptr);
  const char* lang = std::getenv("LANG");
  std::printf("%d %s files, %d rounds, locale of grep: %s\n", files, small ? "small" : "mixed",
              rounds, lang ? lang : "(unset)");
  const size_t contenders = pairs.size() * 2;
  for (int r = 0; r < rounds; ++r) {
    for (size_t i : tonbo::bench::RoundOrder(contenders, r)) RunOne(pairs[i / 2], i % 2 == 0, dir);
  }
  for (const Pair& p : pairs) Print(p, 1.2);
  return 0;
}
