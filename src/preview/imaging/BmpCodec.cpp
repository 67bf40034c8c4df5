// BMP files: read in every common variant, written as 24-bit bottom-up.
#include <cstring>

#include "preview/imaging/CodecUtil.h"
#include "preview/imaging/Dib.h"

namespace tonbo::img {
namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kInfoHeaderSize = 40;
constexpr uint32_t kPixelsPerMetre = 0;  // no resolution recorded

}  // namespace

DecodeResult DecodeBmp(ByteSpan data, const DecodeOptions& options) {
  if (data.empty()) return detail::Failure(ImageError::EmptyFile);
  if (data.size() < 2 || data[0] != 'B' || data[1] != 'M')
    return detail::Failure(ImageError::NotThisFormat);
  if (data.size() < kFileHeaderSize) return detail::Failure(ImageError::Truncated);
  const ByteSpan dib = data.subspan(kFileHeaderSize);
  // The file header says where the pixels start; writers that leave it 0 or
  // point into the header get the place right after the palette.
  const std::size_t offset = detail::Le32(data.data() + 10);
  const std::size_t paletteLimit =
      offset > kFileHeaderSize && offset <= data.size() ? offset - kFileHeaderSize : dib.size();
  detail::DibInfo info;
  if (ImageError e = detail::ParseDib(dib, false, options, paletteLimit, info);
      e != ImageError::None)
    return detail::Failure(e);
  const std::size_t start = offset >= kFileHeaderSize + info.headerEnd && offset <= data.size()
                                ? offset
                                : kFileHeaderSize + info.headerEnd;
  if (start > data.size()) return detail::Failure(ImageError::Truncated);
  DecodeResult result;
  result.error = detail::DecodeDibPixels(info, data.subspan(start), result.bitmap, nullptr);
  if (!result.Ok()) result.bitmap.Clear();
  return result;
}

EncodeResult EncodeBmp(const Bitmap& bitmap) {
  EncodeResult result;
  if (bitmap.Empty()) {
    result.error = ImageError::Corrupt;
    result.detail = "empty picture";
    return result;
  }
  // Rows are kept exactly as the file wants them (3 bytes a pixel, padded to
  // 4), so each is written as it is, bottom row first.
  const std::size_t stride = static_cast<std::size_t>(bitmap.Stride());
  const std::size_t pixelBytes = stride * static_cast<std::size_t>(bitmap.Height());
  const std::size_t fileSize = kFileHeaderSize + kInfoHeaderSize + pixelBytes;
  if (fileSize > 0xFFFFFFFFu) {
    result.error = ImageError::TooLarge;
    return result;
  }
  result.bytes.assign(kFileHeaderSize + kInfoHeaderSize, 0);
  uint8_t* h = result.bytes.data();
  h[0] = 'B';
  h[1] = 'M';
  detail::PutLe32(h + 2, static_cast<uint32_t>(fileSize));
  detail::PutLe32(h + 10, kFileHeaderSize + kInfoHeaderSize);
  uint8_t* info = h + kFileHeaderSize;
  detail::PutLe32(info, kInfoHeaderSize);
  detail::PutLe32(info + 4, static_cast<uint32_t>(bitmap.Width()));
  detail::PutLe32(info + 8, static_cast<uint32_t>(bitmap.Height()));
  detail::PutLe16(info + 12, 1);   // planes
  detail::PutLe16(info + 14, 24);  // bits per pixel
  detail::PutLe32(info + 16, detail::kDibRgb);
  detail::PutLe32(info + 20, static_cast<uint32_t>(pixelBytes));
  detail::PutLe32(info + 24, kPixelsPerMetre);
  detail::PutLe32(info + 28, kPixelsPerMetre);
  result.bytes.resize(fileSize);
  uint8_t* out = result.bytes.data() + kFileHeaderSize + kInfoHeaderSize;
  const std::size_t rowBytes = static_cast<std::size_t>(bitmap.Width()) * 3;
  for (int y = bitmap.Height() - 1; y >= 0; --y, out += stride) {
    std::memcpy(out, bitmap.Row(y), rowBytes);
    std::memset(out + rowBytes, 0, stride - rowBytes);
  }
  return result;
}

}  // namespace tonbo::img
