#pragma once
// A folder of 24-megapixel photograph-like JPEGs for the preview's benches:
// four different pictures, linked round to the count, so that 200 files take
// the disk space of four.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "TestEnv.h"
#include "preview/imaging/Codecs.h"

namespace tonbo::bench {

constexpr int kBigJpegWidth = 6000, kBigJpegHeight = 4000;

inline img::Bitmap BigPhoto(int k) {
  img::Bitmap b;
  b.Reset(kBigJpegWidth, kBigJpegHeight, false);
  uint32_t seed = 777u + static_cast<uint32_t>(k);
  for (int y = 0; y < kBigJpegHeight; ++y) {
    uint8_t* p = b.Row(y);
    for (int x = 0; x < kBigJpegWidth; ++x, p += 3) {
      seed = seed * 1664525u + 1013904223u;
      const int grain = int(seed >> 29) - 4, wave = ((x / (5 + k) + y / 7) % 64) - 32;
      p[0] = uint8_t(std::clamp(x * 255 / kBigJpegWidth + grain, 0, 255));
      p[1] = uint8_t(std::clamp(y * 255 / kBigJpegHeight + wave / 2 + grain, 0, 255));
      p[2] = uint8_t(std::clamp(96 + 32 * k + wave + grain, 0, 255));
    }
  }
  return b;
}

// p1000.jpg, p1001.jpg, ... in a new folder of the sandbox.
inline std::vector<std::string> MakeBigJpegs(int count) {
  const std::string dir = test::MakeTempDir("steps");
  std::vector<std::string> seeds;
  for (int k = 0; k < 4; ++k) {
    seeds.push_back(dir + "seed" + std::to_string(k) + ".jpg");
    img::SavePicture(BigPhoto(k), seeds.back(), img::PictureFormat::Jpeg);
  }
  std::vector<std::string> files;
  for (int i = 0; i < count; ++i) {
    files.push_back(dir + "p" + std::to_string(1000 + i) + ".jpg");
    if (link(seeds[static_cast<size_t>(i % 4)].c_str(), files.back().c_str()) != 0)
      files.pop_back();
  }
  return files;
}

}  // namespace tonbo::bench
