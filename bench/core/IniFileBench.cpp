// The settings file at sizes far beyond what the program writes: a file of
// 10 MB (hundreds of thousands of keys, kept by hand or by other tools) must
// open in well under a second, and a write merges into it just as fast.
#include <benchmark/benchmark.h>

#include <string>

#include "TestEnv.h"
#include "core/IniFile.h"

namespace tonbo {
namespace {

constexpr size_t kBytes = 10 * 1024 * 1024;

const std::string& BigIniPath() {
  static const std::string path = [] {
    std::string text;
    text.reserve(kBytes + 4096);
    for (int section = 0; text.size() < kBytes; ++section) {
      text += "[section" + std::to_string(section) + "]\r\n";
      for (int key = 0; key < 500; ++key)
        text += "key" + std::to_string(key) + "=value of key " + std::to_string(key) + "\r\n";
    }
    text += "[setting]\r\nsound=1\r\n";
    std::string p = test::MakeTempDir("bench") + "tonbo.ini";
    test::WriteFile(p, text);
    return p;
  }();
  return path;
}

void BM_OpenAndRead(benchmark::State& state) {
  const std::string& path = BigIniPath();
  for (auto _ : state) {
    TIniFileEx ini(path);
    benchmark::DoNotOptimize(ini.ReadBool("setting", "sound", false));
  }
}
BENCHMARK(BM_OpenAndRead)->Name("IniOpen/10MB")->Unit(benchmark::kMillisecond);

void BM_LookupEveryKey(benchmark::State& state) {
  TIniFileEx ini(BigIniPath());
  for (auto _ : state)
    for (int key = 0; key < 500; ++key)
      benchmark::DoNotOptimize(ini.ReadString("section7", "key" + std::to_string(key), ""));
}
BENCHMARK(BM_LookupEveryKey)->Name("IniLookup/500keys")->Unit(benchmark::kMicrosecond);

void BM_MergeWrite(benchmark::State& state) {
  TIniFileEx ini(BigIniPath());
  int n = 0;
  for (auto _ : state) ini.WriteInteger("frmMain", "top", ++n);
}
BENCHMARK(BM_MergeWrite)->Name("IniWrite/10MB")->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tonbo
