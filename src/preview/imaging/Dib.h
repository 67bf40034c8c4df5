#pragma once
// The device-independent bitmap inside BMP files and icons; not part of the
// library's interface.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "preview/imaging/Codecs.h"

namespace tonbo::img::detail {

enum DibCompression : uint32_t {
  kDibRgb = 0,
  kDibRle8 = 1,
  kDibRle4 = 2,
  kDibBitfields = 3,
  kDibAlphaBitfields = 6,
};

struct DibInfo {
  int width = 0;
  int height = 0;  // rows of colour data (half the header's height in icons)
  bool topDown = false;
  int bitCount = 0;
  uint32_t compression = kDibRgb;
  uint32_t masks[4] = {};     // red, green, blue, alpha of 16- and 32-bit pixels
  Bgr palette[256] = {};      // entries the file lacks stay black
  std::size_t headerEnd = 0;  // past the header, its masks and its palette
};

// Reads the header at the start of `dib`. In icons the header's height
// counts the colour rows and the mask rows. The palette ends at
// `paletteLimit` at the latest (where a BMP file says its pixels start).
ImageError ParseDib(ByteSpan dib, bool icon, const DecodeOptions& options, std::size_t paletteLimit,
                    DibInfo& info);

// Bytes per stored row of colour data.
int64_t DibStride(int width, int bitCount);

// Decodes the colour data into `out`. When `alpha` is given and the pixels
// have 32 bits, it receives each pixel's alpha byte, top row first.
ImageError DecodeDibPixels(const DibInfo& info, ByteSpan pixels, Bitmap& out,
                           std::vector<uint8_t>* alpha);

}  // namespace tonbo::img::detail
