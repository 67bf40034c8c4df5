// tonbo-cli --select-text KEY --in contents on 10,000 generated text files
// of 0.5-8 KB, next to grep -rlF (with case) and grep -rliF (ignoring case)
// on the same files. The files are read once before the rounds, so every
// contender finds them in the page cache; the order of the contenders turns
// every round. Prints medians, best rounds, the ratios of each round and
// whether both found the same number of files.
//   tonbo_bench_contents [files] [rounds]   (defaults 10000 and 7)
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "../BenchArgs.h"
#include "ProcessBench.h"

namespace {

using tonbo::bench::Measure;

// Words of a text file: mostly ASCII, now and then a Japanese word in UTF-8;
// about one file in ten holds the key, in one of three spellings.
std::string MakeFiles(int files) {
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

struct Pair {
  const char* label;
  std::vector<std::string> tonbo, grep;
  std::vector<double> tonboSeconds, grepSeconds;
  long tonboCount = -2, grepCount = -2;
  double goal;
};

void RunOne(Pair& p, bool tonbo, const std::string& dir) {
  std::string out, err;
  const Measure m = tonbo::bench::RunProcess(dir, tonbo ? p.tonbo : p.grep, &out, &err);
  if (!m.ok) std::printf("  %s (%s) failed\n", p.label, tonbo ? "tonbo-cli" : "grep");
  (tonbo ? p.tonboSeconds : p.grepSeconds).push_back(m.seconds);
  (tonbo ? p.tonboCount : p.grepCount) = tonbo ? Selected(err) : Lines(out);
}

}  // namespace

int main(int argc, char** argv) {
  tonbo::test::PrepareEnvironment();
  const auto [files, rounds] = tonbo::bench::ReadFilesAndRounds(argc, argv, {10000, 7});
  const std::string dir = MakeFiles(files);
  const std::string cli = TONBO_CLI_PATH;
  std::vector<Pair> pairs = {
      {"with case",
       {cli, "--select-text", "Keyword", "--in", "contents", "--case", "."},
       {"grep", "-rlF", "Keyword", "."},
       {},
       {},
       -2,
       -2,
       1.5},
      {"ignoring case",
       {cli, "--select-text", "keyword", "--in", "contents", "."},
       {"grep", "-rliF", "keyword", "."},
       {},
       {},
       -2,
       -2,
       2.0},
  };
  // Warm the page cache: every contender reads every file once.
  tonbo::bench::RunProcess(dir, {"sh", "-c", "cat ./* > /dev/null"}, nullptr, nullptr);
  const char* lang = std::getenv("LANG");
  std::printf("%d files, %d rounds, locale of grep: %s\n", files, rounds, lang ? lang : "(unset)");
  for (int r = 0; r < rounds; ++r) {
    // Four contenders: two programs for each of the two searches, turning.
    for (size_t i : tonbo::bench::RoundOrder(4, r)) RunOne(pairs[i / 2], i % 2 == 0, dir);
  }
  for (const Pair& p : pairs) {
    std::printf("\n%s:\n", p.label);
    std::printf("  tonbo-cli  median %7.1f ms  best %7.1f ms  (%ld files selected)\n",
                tonbo::bench::Median(p.tonboSeconds) * 1e3,
                tonbo::bench::Best(p.tonboSeconds) * 1e3, p.tonboCount);
    std::printf("  grep       median %7.1f ms  best %7.1f ms  (%ld files listed)\n",
                tonbo::bench::Median(p.grepSeconds) * 1e3, tonbo::bench::Best(p.grepSeconds) * 1e3,
                p.grepCount);
    std::printf("  per round:");
    for (size_t i = 0; i < p.tonboSeconds.size(); ++i)
      std::printf(" %.2f", p.tonboSeconds[i] / p.grepSeconds[i]);
    std::printf("\n  tonbo-cli / grep by medians = %.2f, by best rounds = %.2f  (goal <= %.1f)%s\n",
                tonbo::bench::Median(p.tonboSeconds) / tonbo::bench::Median(p.grepSeconds),
                tonbo::bench::Best(p.tonboSeconds) / tonbo::bench::Best(p.grepSeconds), p.goal,
                p.tonboCount == p.grepCount ? "" : "  (DIFFERENT COUNTS)");
  }
  return 0;
}
