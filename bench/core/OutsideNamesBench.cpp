// Adding 100,000 files whose names are all outside code page 932 (Hangul)
// next to adding 100,000 ASCII names of the same length: time and memory per row.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <malloc.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <string>

#include "TestEnv.h"
#include "common/Sjis.h"
#include "core/FileAdder.h"

namespace tonbo {
namespace {

using Clock = std::chrono::steady_clock;
constexpr int kFolders = 1000, kPerFolder = 100, kLength = 8;

void AppendUtf8(std::string& out, char32_t u) {
  out += static_cast<char>(0xE0 | (u >> 12));
  out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
  out += static_cast<char>(0x80 | (u & 0x3F));
}

// The name of file n: kLength letters (a-z or Hangul syllables) spelling n.
std::string Name(int n, bool hangul) {
  std::string out;
  for (int k = 0; k < kLength; ++k, n /= 26) {
    const int digit = (n + k * 7) % 26;
    if (hangul)
      AppendUtf8(out, 0xAC00 + 28 * digit + k);
    else
      out += static_cast<char>('a' + digit);
  }
  return out + ".jpg";
}

// 100,000 empty files in 1,000 folders, made once per process.
std::string MakeTree(bool hangul) {
  const std::string dir = test::MakeTempDir(hangul ? "hangul" : "ascii");
  for (int f = 0; f < kFolders; ++f) {
    const std::string sub = dir + "folder" + std::to_string(f) + "/";
    mkdir(sub.c_str(), 0755);
    for (int i = 0; i < kPerFolder; ++i)
      close(open((sub + Name(f * kPerFolder + i, hangul)).c_str(), O_CREAT | O_WRONLY, 0644));
  }
  return dir;
}

const std::string& Tree(bool hangul) {
  static const std::string ascii = MakeTree(false), outside = MakeTree(true);
  return hangul ? outside : ascii;
}

long ResidentKb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  return 0;
}

struct AddResult {
  double seconds;  // wall clock
  double
      cpuSeconds;  // this process, user and system: what the other builds on the machine do not add
  double bytesPerRow;
};

double CpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

AddResult Add(bool hangul) {
  malloc_trim(0);
  const long base = ResidentKb();
  TCsvDb table;
  int limit = 1 << 30;
  std::string sjis;
  enc::DiskToSjis(Tree(hangul), sjis);
  const auto start = Clock::now();
  const double cpuStart = CpuSeconds();
  FileAdder(table, limit, {}).AddFiles({sjis});
  const double cpu = CpuSeconds() - cpuStart;
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  const double bytes = (ResidentKb() - base) * 1024.0 / table.RowCount();
  return {seconds, cpu, bytes};
}

// Rounds alternate between the two trees, so both see the same cache and
// machine load; the best round of each is compared.
void BM_AddHangulVsAscii100k(benchmark::State& state) {
  Tree(false), Tree(true);
  double ascii = 1e9, hangul = 1e9, asciiCpu = 1e9, hangulCpu = 1e9, asciiRow = 0, hangulRow = 0;
  for (auto _ : state) {
    const AddResult a = Add(false), h = Add(true);
    ascii = std::min(ascii, a.seconds), hangul = std::min(hangul, h.seconds);
    asciiCpu = std::min(asciiCpu, a.cpuSeconds), hangulCpu = std::min(hangulCpu, h.cpuSeconds);
    asciiRow = a.bytesPerRow, hangulRow = h.bytesPerRow;
  }
  state.counters["ascii_ms"] = ascii * 1000;
  state.counters["hangul_ms"] = hangul * 1000;
  state.counters["x_ascii"] = hangul / ascii;
  state.counters["x_ascii_cpu"] = hangulCpu / asciiCpu;
  state.counters["ascii_B_per_row"] = asciiRow;
  state.counters["hangul_B_per_row"] = hangulRow;
}
BENCHMARK(BM_AddHangulVsAscii100k)->Unit(benchmark::kMillisecond)->Iterations(5);

// The conversion alone: 100,000 Hangul names in and out of code page 932.
void BM_HangulNamesInAndOut(benchmark::State& state) {
  std::vector<std::string> names;
  for (int n = 0; n < 100000; ++n) names.push_back(Name(n, true));
  std::string inside;
  for (auto _ : state)
    for (const std::string& name : names) {
      enc::DiskToSjis(name, inside);
      benchmark::DoNotOptimize(enc::SjisToDisk(inside));
    }
}
BENCHMARK(BM_HangulNamesInAndOut)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tonbo
