// Next / Previous through a folder of 24-megapixel JPEGs in the preview:
// each step loads the picture for an 800 × 600 view and fits it with the
// quality mode, as the picture page does. Beside it, djpeg decodes the same
// files in full. Resident memory is read after the first and the last step.
// TONBO_BENCH_PICTURES sets the number of files (200).
#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "BigJpegs.h"
#include "TestEnv.h"
#include "preview/PicturePreview.h"
#include "preview/imaging/Codecs.h"

extern char** environ;

namespace tonbo::preview {
namespace {

constexpr int kViewWidth = 800, kViewHeight = 600;

int PictureCount() {
  const char* text = std::getenv("TONBO_BENCH_PICTURES");
  return text ? std::max(2, std::atoi(text)) : 200;
}

const std::vector<std::string>& Files() {
  static const std::vector<std::string> files = bench::MakeBigJpegs(PictureCount());
  return files;
}

double ResidentMb() {
  long pages = 0, resident = 0;
  std::FILE* f = std::fopen("/proc/self/statm", "r");
  if (f && std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
  if (f) std::fclose(f);
  return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / 1048576.0;
}

// Processor time of this process: on a machine shared with other work the
// wall time of a step also holds the time spent waiting for a core.
double CpuMs() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

double Ms(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

// One pass forward through the folder; counters: the slowest and the mean step.
void BM_PreviewNextThroughJpegs(benchmark::State& state) {
  const std::vector<std::string>& files = Files();
  PicturePreview picture;
  double worst = 0, total = 0, rssFirst = 0, rssLast = 0, cpu = 0;
  for (auto _ : state) {
    worst = total = 0;
    const double cpuStart = CpuMs();
    for (size_t i = 0; i < files.size(); ++i) {
      const auto start = std::chrono::steady_clock::now();
      const img::DecodeResult r =
          picture.Load(files[i], img::PictureFormat::Jpeg, kViewWidth, kViewHeight);
      const img::Bitmap fitted = picture.Fit(kViewWidth, kViewHeight, true);
      const double ms = Ms(std::chrono::steady_clock::now() - start);
      if (!r.Ok() || fitted.Width() != kViewWidth) state.SkipWithError("load or fit failed");
      benchmark::DoNotOptimize(fitted.Data());
      worst = std::max(worst, ms);
      total += ms;
      if (i == 0) rssFirst = ResidentMb();
    }
    rssLast = ResidentMb();
    cpu = CpuMs() - cpuStart;
  }
  state.counters["steps"] = static_cast<double>(files.size());
  state.counters["mean_ms"] = total / static_cast<double>(files.size());
  state.counters["worst_ms"] = worst;
  state.counters["cpu_mean_ms"] = cpu / static_cast<double>(files.size());
  state.counters["rss_first_MB"] = rssFirst;
  state.counters["rss_last_MB"] = rssLast;
}
BENCHMARK(BM_PreviewNextThroughJpegs)->Unit(benchmark::kMillisecond)->Iterations(1);

// The full picture (what the full-size view and the operations use), fitted.
void BM_FullDecodeAndFitPerStep(benchmark::State& state) {
  const std::vector<std::string>& files = Files();
  PicturePreview picture;
  size_t i = 0;
  for (auto _ : state) {
    picture.Load(files[i++ % files.size()], img::PictureFormat::Jpeg, 0, 0);
    benchmark::DoNotOptimize(picture.Fit(kViewWidth, kViewHeight, true).Data());
  }
}
BENCHMARK(BM_FullDecodeAndFitPerStep)->Unit(benchmark::kMillisecond)->Iterations(10);

// djpeg decoding each file in full, process start included.
void BM_DjpegPerFile(benchmark::State& state) {
  const std::vector<std::string>& files = Files();
  size_t i = 0;
  for (auto _ : state) {
    std::string file = files[i++ % files.size()];
    char* argv[] = {const_cast<char*>("djpeg"), const_cast<char*>("-outfile"),
                    const_cast<char*>("/dev/null"), file.data(), nullptr};
    pid_t pid = 0;
    int status = 0;
    if (posix_spawnp(&pid, "djpeg", nullptr, nullptr, argv, environ) != 0 ||
        waitpid(pid, &status, 0) != pid || status != 0)
      state.SkipWithError("djpeg failed (libjpeg-turbo-progs installed?)");
  }
}
BENCHMARK(BM_DjpegPerFile)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace
}  // namespace tonbo::preview
