// Icon files: the largest, deepest picture of the file, drawn over the
// background where it is transparent.
#include <png.h>

#include <vector>

#include "preview/imaging/CodecUtil.h"
#include "preview/imaging/Dib.h"

namespace tonbo::img {
namespace {

constexpr std::size_t kDirectorySize = 6;
constexpr std::size_t kEntrySize = 16;
constexpr uint16_t kTypeIcon = 1;
constexpr uint16_t kTypeCursor = 2;

struct Entry {
  int width = 0, height = 0, bitCount = 0;
  uint32_t size = 0, offset = 0;
};

Entry ReadEntry(const uint8_t* p) {
  Entry e;
  e.width = p[0] == 0 ? 256 : p[0];
  e.height = p[1] == 0 ? 256 : p[1];
  e.bitCount = detail::Le16(p + 6);
  e.size = detail::Le32(p + 8);
  e.offset = detail::Le32(p + 12);
  return e;
}

bool Better(const Entry& a, const Entry& b) {
  const int areaA = a.width * a.height, areaB = b.width * b.height;
  return areaA != areaB ? areaA > areaB : a.bitCount > b.bitCount;
}

// Applies the 1-bit mask (set bits are transparent) that follows the colour
// rows, or the alpha bytes of 32-bit pictures that carry any.
void ApplyTransparency(const detail::DibInfo& info, ByteSpan mask,
                       const std::vector<uint8_t>& alpha, Bgr bg, Bitmap& bitmap) {
  bool useAlpha = false;
  for (uint8_t a : alpha) useAlpha = useAlpha || a != 0;
  const int64_t maskStride = detail::DibStride(info.width, 1);
  const bool haveMask = static_cast<int64_t>(mask.size()) >= maskStride * info.height;
  for (int y = 0; y < info.height; ++y) {
    const uint8_t* maskRow = haveMask ? mask.data() + (info.height - 1 - y) * maskStride : nullptr;
    uint8_t* p = bitmap.Row(y);
    for (int x = 0; x < info.width; ++x, p += 3) {
      uint8_t a = 255;
      if (useAlpha)
        a = alpha[static_cast<std::size_t>(y) * info.width + x];
      else if (maskRow && ((maskRow[x / 8] >> (7 - x % 8)) & 1))
        a = 0;
      p[0] = detail::Blend(p[0], a, bg.b);
      p[1] = detail::Blend(p[1], a, bg.g);
      p[2] = detail::Blend(p[2], a, bg.r);
    }
  }
}

DecodeResult DecodeDibIcon(ByteSpan image, const DecodeOptions& options) {
  detail::DibInfo info;
  if (ImageError e = detail::ParseDib(image, true, options, image.size(), info);
      e != ImageError::None)
    return detail::Failure(e);
  if (info.compression != detail::kDibRgb || info.topDown)
    return detail::Failure(ImageError::Unsupported);
  if (info.headerEnd > image.size()) return detail::Failure(ImageError::Truncated);
  const ByteSpan pixels = image.subspan(info.headerEnd);
  DecodeResult result;
  std::vector<uint8_t> alpha;
  result.error = detail::DecodeDibPixels(info, pixels, result.bitmap, &alpha);
  if (!result.Ok()) {
    result.bitmap.Clear();
    return result;
  }
  const std::size_t colourBytes =
      static_cast<std::size_t>(detail::DibStride(info.width, info.bitCount) * info.height);
  const ByteSpan mask = pixels.size() > colourBytes ? pixels.subspan(colourBytes) : ByteSpan{};
  ApplyTransparency(info, mask, alpha, options.background, result.bitmap);
  return result;
}

}  // namespace

DecodeResult DecodeIco(ByteSpan data, const DecodeOptions& options) {
  if (data.empty()) return detail::Failure(ImageError::EmptyFile);
  if (data.size() < kDirectorySize) return detail::Failure(ImageError::Truncated);
  const uint16_t type = detail::Le16(data.data() + 2), count = detail::Le16(data.data() + 4);
  if (detail::Le16(data.data()) != 0 || (type != kTypeIcon && type != kTypeCursor) || count == 0)
    return detail::Failure(ImageError::NotThisFormat);
  if (data.size() < kDirectorySize + count * kEntrySize)
    return detail::Failure(ImageError::Truncated);
  Entry best = ReadEntry(data.data() + kDirectorySize);
  for (int i = 1; i < count; ++i) {
    const Entry e = ReadEntry(data.data() + kDirectorySize + i * kEntrySize);
    if (Better(e, best)) best = e;
  }
  if (best.offset >= data.size() || best.size > data.size() - best.offset)
    return detail::Failure(ImageError::Truncated);
  const ByteSpan image = data.subspan(best.offset, best.size);
  if (image.size() >= 8 && png_sig_cmp(image.data(), 0, 8) == 0) return DecodePng(image, options);
  return DecodeDibIcon(image, options);
}

}  // namespace tonbo::img
