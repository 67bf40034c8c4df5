// Picture work on a 24-megapixel photograph-sized picture: fitting it into
// the preview, each filter beside a memcpy of the picture, PNG saving and JPEG decoding beside
// djpeg.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "TestEnv.h"
#include "preview/imaging/BmpFilter.h"
#include "preview/imaging/Codecs.h"
#include "preview/imaging/SepiaF.h"
#include "preview/imaging/StretchF.h"

namespace tonbo::img {
namespace {

constexpr int kWidth = 6000, kHeight = 4000;

// Smooth gradients, soft waves and a little grain: roughly how a photograph
// compresses and decodes.
Bitmap MakePhoto() {
  Bitmap b;
  b.Reset(kWidth, kHeight, false);
  uint32_t seed = 12345;
  for (int y = 0; y < kHeight; ++y) {
    uint8_t* p = b.Row(y);
    for (int x = 0; x < kWidth; ++x, p += 3) {
      seed = seed * 1664525u + 1013904223u;
      const int grain = int(seed >> 29) - 4;
      const int wave = ((x / 7 + y / 5) % 64) - 32;
      p[0] = uint8_t(std::clamp(x * 255 / kWidth + grain, 0, 255));
      p[1] = uint8_t(std::clamp(y * 255 / kHeight + wave / 2 + grain, 0, 255));
      p[2] = uint8_t(std::clamp(128 + wave + grain, 0, 255));
    }
  }
  return b;
}

const Bitmap& Photo() {
  static const Bitmap photo = MakePhoto();
  return photo;
}

void Fit(benchmark::State& state, int mode) {
  const Bitmap& source = Photo();
  Bitmap dest;
  dest.Reset(800, 533);  // 6000 × 4000 fitted into 800 × 600
  for (auto _ : state) {
    StretchBitmap(source, dest, mode);
    benchmark::DoNotOptimize(dest.Data());
  }
}
void BM_FitQuality(benchmark::State& state) { Fit(state, smQuality); }
void BM_FitFast(benchmark::State& state) { Fit(state, smFast); }
BENCHMARK(BM_FitQuality)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FitFast)->Unit(benchmark::kMillisecond);

double Seconds(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

// The floor every pass over the picture is held against: copying its bytes
// once into a picture of the same size.
void BM_Memcpy(benchmark::State& state) {
  const Bitmap& photo = Photo();
  Bitmap copy;
  copy.Reset(kWidth, kHeight);
  const size_t bytes = static_cast<size_t>(photo.Stride()) * kHeight;
  for (auto _ : state) {
    std::memcpy(copy.Data(), photo.Data(), bytes);
    benchmark::DoNotOptimize(copy.Data());
  }
}
BENCHMARK(BM_Memcpy)->Unit(benchmark::kMillisecond);

// Each pass beside the memcpy floor, timed in turns within the same
// iterations so that both see the same load: the pass's best round over the
// memcpy's best round (goal in the counter "goal").
template <void (*Filter)(Bitmap&), int kGoalTenths>
void BM_Filter(benchmark::State& state) {
  const double goal = kGoalTenths / 10.0;
  Bitmap b = Photo();
  Bitmap copy;
  copy.Reset(kWidth, kHeight);
  const size_t bytes = static_cast<size_t>(b.Stride()) * kHeight;
  double best = 1e9, floor = 1e9;
  for (auto _ : state) {
    auto start = std::chrono::steady_clock::now();
    std::memcpy(copy.Data(), Photo().Data(), bytes);
    benchmark::DoNotOptimize(copy.Data());
    floor = std::min(floor, Seconds(std::chrono::steady_clock::now() - start));
    start = std::chrono::steady_clock::now();
    Filter(b);
    benchmark::DoNotOptimize(b.Data());
    best = std::min(best, Seconds(std::chrono::steady_clock::now() - start));
  }
  state.counters["best_ms"] = best * 1e3;
  state.counters["memcpy_ms"] = floor * 1e3;
  state.counters["x_memcpy"] = best / floor;
  if (goal > 0) state.counters["goal"] = goal;
}
void RotateRight(Bitmap& b) { Rotate90(b, true); }
BENCHMARK(BM_Filter<Negaposi, 30>)->Name("BM_Negaposi")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Filter<GrayScale, 30>)->Name("BM_GrayScale")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Filter<FlipHorizontal, 0>)->Name("BM_FlipHorizontal")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Filter<FlipVertical, 0>)->Name("BM_FlipVertical")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Filter<RotateRight, 40>)->Name("BM_Rotate90")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Filter<Sepia, 30>)->Name("BM_Sepia")->Unit(benchmark::kMillisecond);

const std::string& Folder() {
  static const std::string dir = tonbo::test::MakeTempDir("bench");
  return dir;
}

void BM_SavePng(benchmark::State& state) {
  const std::string path = Folder() + "save.png";
  for (auto _ : state) {
    if (!SavePicture(Photo(), path, PictureFormat::Png).Ok()) state.SkipWithError("save failed");
  }
}
BENCHMARK(BM_SavePng)->Unit(benchmark::kMillisecond);

void BM_SaveJpeg(benchmark::State& state) {
  const std::string path = Folder() + "save.jpg";
  for (auto _ : state) {
    if (!SavePicture(Photo(), path, PictureFormat::Jpeg).Ok()) state.SkipWithError("save failed");
  }
}
BENCHMARK(BM_SaveJpeg)->Unit(benchmark::kMillisecond);

// Our decoding (reading the file included) against libjpeg-turbo's djpeg
// on the same file, best of the runs for each.
void BM_DecodeJpegVsDjpeg(benchmark::State& state) {
  const std::string path = Folder() + "decode.jpg";
  if (!SavePicture(Photo(), path, PictureFormat::Jpeg).Ok()) {
    state.SkipWithError("cannot write the test JPEG");
    return;
  }
  double ours = 1e9;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    const DecodeResult r = LoadPicture(path, PictureFormat::Jpeg);
    ours = std::min(ours, Seconds(std::chrono::steady_clock::now() - start));
    if (!r.Ok()) state.SkipWithError("decode failed");
  }
  const std::string command = "djpeg -outfile /dev/null " + path;
  double djpeg = 1e9;
  for (int i = 0; i < 5; ++i) {
    const auto start = std::chrono::steady_clock::now();
    if (std::system(command.c_str()) != 0) {
      state.SkipWithError("djpeg failed (libjpeg-turbo-progs installed?)");
      return;
    }
    djpeg = std::min(djpeg, Seconds(std::chrono::steady_clock::now() - start));
  }
  state.counters["ours_ms"] = ours * 1e3;
  state.counters["djpeg_ms"] = djpeg * 1e3;
  state.counters["ratio"] = ours / djpeg;
  std::printf("JPEG 6000x4000 decode: ours %.1f ms, djpeg %.1f ms, ratio %.2f\n", ours * 1e3,
              djpeg * 1e3, ours / djpeg);
}
BENCHMARK(BM_DecodeJpegVsDjpeg)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
}  // namespace tonbo::img
