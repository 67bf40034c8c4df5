#include "preview/imaging/Dib.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "preview/imaging/CodecUtil.h"

namespace tonbo::img::detail {
namespace {

constexpr uint32_t kCoreHeaderSize = 12;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kLargestHeaderSize = 124;  // BITMAPV5HEADER
constexpr uint32_t kOs2HeaderSizes[] = {16, 64};

bool ValidDepth(int bits, uint32_t compression) {
  switch (compression) {
    case kDibRgb:
      return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
    case kDibRle8:
      return bits == 8;
    case kDibRle4:
      return bits == 4;
    case kDibBitfields:
    case kDibAlphaBitfields:
      return bits == 16 || bits == 32;
    default:
      return false;
  }
}

void DefaultMasks(DibInfo& info) {
  if (info.compression != kDibRgb) return;
  const bool wide = info.bitCount == 32;
  info.masks[0] = wide ? 0x00FF0000u : 0x7C00u;
  info.masks[1] = wide ? 0x0000FF00u : 0x03E0u;
  info.masks[2] = wide ? 0x000000FFu : 0x001Fu;
  info.masks[3] = wide ? 0xFF000000u : 0u;
}

// Reads sizes, depth and compression; the caller reads masks and palette.
ImageError ParseHeader(ByteSpan dib, uint32_t size, DibInfo& info, int64_t& height,
                       uint32_t& colorsUsed) {
  const uint8_t* p = dib.data();
  if (size == kCoreHeaderSize) {
    info.width = Le16(p + 4);
    height = Le16(p + 6);
    info.bitCount = Le16(p + 10);
    return ImageError::None;
  }
  if (size < 16 || size > kLargestHeaderSize) return ImageError::Corrupt;
  info.width = static_cast<int32_t>(Le32(p + 4));
  height = static_cast<int32_t>(Le32(p + 8));
  info.bitCount = Le16(p + 14);
  info.compression = size >= 20 ? Le32(p + 16) : kDibRgb;
  colorsUsed = size >= 36 ? Le32(p + 32) : 0;
  const bool os2 = std::find(std::begin(kOs2HeaderSizes), std::end(kOs2HeaderSizes), size) !=
                   std::end(kOs2HeaderSizes);
  // OS/2 reuses the numbers 3 and 4 for Huffman and RLE24 coding.
  if (os2 && info.compression >= kDibBitfields) return ImageError::Unsupported;
  return ImageError::None;
}

ImageError ReadMasks(ByteSpan dib, uint32_t size, DibInfo& info, std::size_t& end) {
  const bool bitfields =
      info.compression == kDibBitfields || info.compression == kDibAlphaBitfields;
  if (!bitfields) return ImageError::None;
  const std::size_t count = info.compression == kDibAlphaBitfields ? 4 : 3;
  constexpr std::size_t at = kInfoHeaderSize;
  if (size <= kInfoHeaderSize) {
    end += count * 4;  // the masks follow a short header
  } else if (size < kInfoHeaderSize + count * 4) {
    return ImageError::Corrupt;
  }
  if (dib.size() < at + count * 4) return ImageError::Truncated;
  for (std::size_t i = 0; i < count; ++i) info.masks[i] = Le32(dib.data() + at + 4 * i);
  return ImageError::None;
}

ImageError ReadPalette(ByteSpan dib, uint32_t size, uint32_t colorsUsed, std::size_t limit,
                       DibInfo& info, std::size_t& end) {
  const std::size_t entry = size == kCoreHeaderSize ? 3 : 4;
  if (info.bitCount > 8) {
    // A palette beside true-colour pixels is only a hint; it is skipped.
    end += std::min<std::size_t>(colorsUsed, 256) * entry;
    return ImageError::None;
  }
  const std::size_t full = std::size_t{1} << info.bitCount;
  std::size_t count = colorsUsed == 0 ? full : std::min<std::size_t>(colorsUsed, 256);
  // Writers of short palettes do not always say so; the entries up to the
  // pixels are taken and the rest stay black.
  limit = std::min(limit, dib.size());
  count = std::min(count, limit > end ? (limit - end) / entry : 0);
  if (count == 0) return end >= dib.size() ? ImageError::Truncated : ImageError::Corrupt;
  for (std::size_t i = 0; i < count; ++i) {
    const uint8_t* q = dib.data() + end + i * entry;
    info.palette[i] = {q[0], q[1], q[2]};
  }
  end += count * entry;
  return ImageError::None;
}

}  // namespace

int64_t DibStride(int width, int bitCount) { return (int64_t{width} * bitCount + 31) / 32 * 4; }

ImageError ParseDib(ByteSpan dib, bool icon, const DecodeOptions& options, std::size_t paletteLimit,
                    DibInfo& info) {
  if (dib.size() < 4) return ImageError::Truncated;
  const uint32_t size = Le32(dib.data());
  if (size < kCoreHeaderSize) return ImageError::Corrupt;
  if (dib.size() < std::min(size, kLargestHeaderSize)) return ImageError::Truncated;
  int64_t height = 0;
  uint32_t colorsUsed = 0;
  if (ImageError e = ParseHeader(dib, size, info, height, colorsUsed); e != ImageError::None)
    return e;
  if (!ValidDepth(info.bitCount, info.compression)) return ImageError::Unsupported;
  info.topDown = height < 0;
  height = height < 0 ? -height : height;
  if (icon) height /= 2;
  const bool rle = info.compression == kDibRle8 || info.compression == kDibRle4;
  if (rle && info.topDown) return ImageError::Corrupt;
  if (ImageError e = CheckDimensions(info.width, height, options); e != ImageError::None) return e;
  info.height = static_cast<int>(height);
  DefaultMasks(info);
  std::size_t end = size;
  if (ImageError e = ReadMasks(dib, size, info, end); e != ImageError::None) return e;
  if (ImageError e = ReadPalette(dib, size, colorsUsed, paletteLimit, info, end);
      e != ImageError::None)
    return e;
  info.headerEnd = end;
  return ImageError::None;
}

namespace {

// One channel of a bit-field pixel, scaled to 0..255.
struct Channel {
  uint32_t mask = 0;
  int shift = 0;
  uint32_t max = 0;

  explicit Channel(uint32_t m) : mask(m) {
    if (m == 0) return;
    shift = std::countr_zero(m);
    max = m >> shift;  // gaps in a mask are taken as part of it
    max = max >= 0x80000000u ? 0xFFFFFFFFu : (std::bit_ceil(max + 1) - 1);
  }
  uint8_t operator()(uint32_t px) const {
    if (max == 0) return 0;
    const uint64_t v = (px & mask) >> shift;
    return static_cast<uint8_t>((v * 255 + max / 2) / max);
  }
};

void IndexedRow(const DibInfo& info, const uint8_t* src, uint8_t* out) {
  const int bits = info.bitCount;
  const int perByte = 8 / bits;
  const unsigned valueMask = (1u << bits) - 1;
  for (int x = 0; x < info.width; ++x, out += 3) {
    const int shift = 8 - bits * (x % perByte + 1);
    const Bgr c = info.palette[(src[x / perByte] >> shift) & valueMask];
    out[0] = c.b;
    out[1] = c.g;
    out[2] = c.r;
  }
}

void BitfieldRow(const DibInfo& info, const uint8_t* src, uint8_t* out, uint8_t* alpha) {
  const Channel r(info.masks[0]), g(info.masks[1]), b(info.masks[2]), a(info.masks[3]);
  const bool wide = info.bitCount == 32;
  for (int x = 0; x < info.width; ++x, out += 3) {
    const std::ptrdiff_t at = x;
    const uint32_t px = wide ? Le32(src + 4 * at) : Le16(src + 2 * at);
    out[0] = b(px);
    out[1] = g(px);
    out[2] = r(px);
    if (alpha) alpha[x] = a(px);
  }
}

void ConvertRow(const DibInfo& info, const uint8_t* src, uint8_t* out, uint8_t* alpha) {
  if (info.bitCount <= 8)
    IndexedRow(info, src, out);
  else if (info.bitCount == 24)
    std::memcpy(out, src, static_cast<std::size_t>(info.width) * 3);
  else
    BitfieldRow(info, src, out, alpha);
}

// Run-length coded rows, bottom row first. Pixels the codes skip stay black.
class RleDecoder {
 public:
  RleDecoder(const DibInfo& info, ByteSpan data, Bitmap& out)
      : info_(info), data_(data), out_(out) {}

  ImageError Run() {
    while (y_ < info_.height) {
      if (pos_ + 2 > data_.size()) return ImageError::Truncated;
      const uint8_t count = data_[pos_], value = data_[pos_ + 1];
      pos_ += 2;
      if (count > 0) {
        for (int i = 0; i < count; ++i) Put(Nibble(value, i));
      } else if (value == 0) {
        x_ = 0;
        ++y_;
      } else if (value == 1) {
        return ImageError::None;
      } else if (value == 2) {
        if (pos_ + 2 > data_.size()) return ImageError::Truncated;
        x_ += data_[pos_];
        y_ += data_[pos_ + 1];
        pos_ += 2;
      } else if (!Literal(value)) {
        return ImageError::Truncated;
      }
    }
    return ImageError::None;
  }

 private:
  bool Rle4() const { return info_.compression == kDibRle4; }

  // In RLE4 the two nibbles of a byte alternate.
  uint8_t Nibble(uint8_t value, int i) const {
    if (!Rle4()) return value;
    return (i & 1) ? value & 0x0F : value >> 4;
  }

  bool Literal(int count) {
    const std::size_t bytes = Rle4() ? (count + 1) / 2 : count;
    if (pos_ + bytes > data_.size()) return false;
    for (int i = 0; i < count; ++i) {
      const uint8_t byte = data_[pos_ + (Rle4() ? i / 2 : i)];
      Put(Nibble(byte, i));
    }
    pos_ += bytes + (bytes & 1);  // literal runs are padded to 16 bits
    return true;
  }

  void Put(uint8_t index) {
    if (x_ < info_.width && y_ < info_.height) {
      const Bgr c = info_.palette[index];
      out_.SetPixel(x_, info_.height - 1 - y_, c);
    }
    ++x_;
  }

  const DibInfo& info_;
  ByteSpan data_;
  Bitmap& out_;
  std::size_t pos_ = 0;
  int x_ = 0, y_ = 0;
};

}  // namespace

ImageError DecodeDibPixels(const DibInfo& info, ByteSpan pixels, Bitmap& out,
                           std::vector<uint8_t>* alpha) {
  if (info.compression == kDibRle8 || info.compression == kDibRle4) {
    if (!out.Reset(info.width, info.height, true)) return ImageError::OutOfMemory;
    return RleDecoder(info, pixels, out).Run();
  }
  const int64_t stride = DibStride(info.width, info.bitCount);
  const int64_t lastRow = (int64_t{info.width} * info.bitCount + 7) / 8;
  // Checked before allocating: the file must hold every row it promises.
  if (static_cast<int64_t>(pixels.size()) < stride * (info.height - 1) + lastRow)
    return ImageError::Truncated;
  if (!out.Reset(info.width, info.height, false)) return ImageError::OutOfMemory;
  const bool wantAlpha = alpha && info.bitCount == 32;
  if (wantAlpha) alpha->assign(static_cast<std::size_t>(info.width) * info.height, 255);
  for (int r = 0; r < info.height; ++r) {
    const int y = info.topDown ? r : info.height - 1 - r;
    uint8_t* alphaRow =
        wantAlpha ? alpha->data() + static_cast<std::size_t>(y) * info.width : nullptr;
    ConvertRow(info, pixels.data() + r * stride, out.Row(y), alphaRow);
  }
  return ImageError::None;
}

}  // namespace tonbo::img::detail
