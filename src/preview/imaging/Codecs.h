#pragma once
// Picture files: JPEG and PNG through libjpeg and libpng, BMP and ICO read
// here, BMP written as 24 bits. Failures come back as values with a reason;
// nothing throws, whatever the input.
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "preview/imaging/Bitmap.h"

namespace tonbo::img {

enum class PictureFormat { Unknown, Bmp, Ico, Jpeg, Png };

// By the extension with its dot, in any letter case (".jpg", ".JPEG").
PictureFormat FormatFromExtension(std::string_view extension);

enum class ImageError {
  None,
  CannotRead,     // the file could not be opened or read
  CannotWrite,    // the file could not be written
  EmptyFile,      // zero bytes
  UnknownFormat,  // no decoder for the extension
  NotThisFormat,  // the bytes are not a picture of the chosen format
  Truncated,      // the data ends before the picture does
  Corrupt,        // damaged or contradictory data
  TooLarge,       // dimensions beyond the limits, refused before allocating
  Unsupported,    // a valid variant this program does not read
  OutOfMemory,
  Cancelled,  // the progress callback asked to stop
};

// A short Japanese reason (UTF-8) for the log or the error box.
const char* Describe(ImageError error);

// Percent done, 0 to 100, rising; return false to stop decoding.
using ProgressFn = std::function<bool(int percent)>;

// Pictures wider or higher than this, or with more pixels than
// DecodeOptions::maxPixels, are refused before any pixel memory is taken.
inline constexpr int kMaxSide = 65535;
inline constexpr int64_t kDefaultMaxPixels = int64_t{1} << 27;  // 400 MB of pixels

struct DecodeOptions {
  ProgressFn progress;            // JPEG and PNG report progress
  Bgr background{255, 255, 255};  // shows through transparent pixels
  int64_t maxPixels = kDefaultMaxPixels;
  // JPEG only: when both are above 0, decode at the smallest of libjpeg's
  // reduced sizes (1/8 to 1/1) that still covers fitWidth × fitHeight when
  // fitted into it, so a view never shows a picture sharper than it decoded.
  int fitWidth = 0;
  int fitHeight = 0;
};

struct DecodeResult {
  Bitmap bitmap;
  ImageError error = ImageError::None;
  std::string detail;  // the codec's own words, for logs
  int warnings = 0;    // damaged data the decoder recovered from
  // The picture's size in the file (differs from the bitmap's after a reduced decode).
  int fullWidth = 0;
  int fullHeight = 0;
  bool Reduced() const { return bitmap.Width() != fullWidth || bitmap.Height() != fullHeight; }
  bool Ok() const { return error == ImageError::None; }
};

struct EncodeResult {
  std::vector<uint8_t> bytes;
  ImageError error = ImageError::None;
  std::string detail;
  bool Ok() const { return error == ImageError::None; }
};

struct SaveResult {
  ImageError error = ImageError::None;
  std::string detail;
  bool Ok() const { return error == ImageError::None; }
};

using ByteSpan = std::span<const uint8_t>;

DecodeResult DecodeJpeg(ByteSpan data, const DecodeOptions& options = {});
DecodeResult DecodePng(ByteSpan data, const DecodeOptions& options = {});
DecodeResult DecodeBmp(ByteSpan data, const DecodeOptions& options = {});
DecodeResult DecodeIco(ByteSpan data, const DecodeOptions& options = {});
DecodeResult Decode(PictureFormat format, ByteSpan data, const DecodeOptions& options = {});

// Quality 90, baseline, colour.
EncodeResult EncodeJpeg(const Bitmap& bitmap);
// 8-bit RGB, fast compression.
EncodeResult EncodePng(const Bitmap& bitmap);
// 24 bits per pixel, rows from the bottom as BMP files keep them.
EncodeResult EncodeBmp(const Bitmap& bitmap);
EncodeResult Encode(PictureFormat format, const Bitmap& bitmap);

// Whole files; the format is the caller's choice (usually by extension).
DecodeResult LoadPicture(const std::string& path, PictureFormat format,
                         const DecodeOptions& options = {});
// Encodes first and writes through a temporary file in the target folder that
// is then renamed over the target, so a failed save leaves any existing file
// untouched and never a truncated picture. An existing file keeps its
// permission bits.
SaveResult SavePicture(const Bitmap& bitmap, const std::string& path, PictureFormat format);

}  // namespace tonbo::img
