// PNG through libpng, which reports fatal errors by longjmp to the setjmp in
// RunDecode / RunEncode; those functions keep only trivial locals, and
// everything with a destructor lives in the job struct of the caller.
#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <new>

#include "preview/imaging/CodecUtil.h"

namespace tonbo::img {
namespace {

constexpr std::size_t kPngSignatureSize = 8;
// Ancillary chunks (text, profiles) larger than this are refused.
constexpr png_alloc_size_t kMaxChunkBytes = png_alloc_size_t{8} << 20;
// Photographs gain little from zlib's higher levels but take several times
// as long; 2 with the "up" filter keeps a 24-megapixel picture under a second.
constexpr int kPngCompressionLevel = 2;
constexpr int kPngFilters = PNG_FILTER_UP;

struct Messages {
  ImageError error = ImageError::None;
  char text[200] = {};
  int warnings = 0;
};

void CopyMessage(Messages* m, png_const_charp message) {
  std::strncpy(m->text, message ? message : "", sizeof m->text - 1);
}

[[noreturn]] void OnError(png_structp png, png_const_charp message) {
  auto* m = static_cast<Messages*>(png_get_error_ptr(png));
  if (m->error == ImageError::None) m->error = ImageError::Corrupt;
  CopyMessage(m, message);
  png_longjmp(png, 1);
}

void OnWarning(png_structp png, png_const_charp) {
  static_cast<Messages*>(png_get_error_ptr(png))->warnings++;
}

struct DecodeJob {
  png_structp png = nullptr;
  png_infop info = nullptr;
  Messages messages;
  ByteSpan data;
  std::size_t position = 0;
  const DecodeOptions* options = nullptr;
  detail::ProgressReporter* reporter = nullptr;
  Bitmap* bitmap = nullptr;
  std::unique_ptr<uint8_t[]> bgra;  // pixels with coverage, before blending
  ImageError refused = ImageError::None;

  ~DecodeJob() { png_destroy_read_struct(&png, &info, nullptr); }
};

void ReadFromSpan(png_structp png, png_bytep out, std::size_t count) {
  auto* job = static_cast<DecodeJob*>(png_get_io_ptr(png));
  if (count > job->data.size() - job->position) {
    job->messages.error = ImageError::Truncated;
    png_error(png, "unexpected end of data");
  }
  std::memcpy(out, job->data.data() + job->position, count);
  job->position += count;
}

void BlendRow(const uint8_t* bgra, uint8_t* out, int width, Bgr bg) {
  for (int x = 0; x < width; ++x, bgra += 4, out += 3) {
    out[0] = detail::Blend(bgra[0], bgra[3], bg.b);
    out[1] = detail::Blend(bgra[1], bgra[3], bg.g);
    out[2] = detail::Blend(bgra[2], bgra[3], bg.r);
  }
}

// Reads every pass, row y into rowAt(y), then calls afterRow(y); progress
// counts rows over all passes. libpng may longjmp out of png_read_row, so
// this and its callers keep no locals with destructors.
template <typename RowAt, typename AfterRow>
bool ReadPasses(DecodeJob& job, int passes, int height, RowAt rowAt, AfterRow afterRow) {
  const int64_t total = int64_t{passes} * height;
  for (int pass = 0; pass < passes; ++pass) {
    for (int y = 0; y < height; ++y) {
      png_read_row(job.png, rowAt(y), nullptr);
      afterRow(y);
      const int64_t done = int64_t{pass} * height + y + 1;
      if ((y & 63) == 0 && !job.reporter->Report(static_cast<int>(done * 99 / total))) {
        job.refused = ImageError::Cancelled;
        return false;
      }
    }
  }
  return true;
}

bool ReadPixels(DecodeJob& job, int width, int height, int passes, bool hasAlpha) {
  Bitmap& bitmap = *job.bitmap;
  auto nothing = [](int) {};
  if (!hasAlpha)
    return ReadPasses(
        job, passes, height, [&](int y) { return bitmap.Row(y); }, nothing);
  // Pixels with coverage are read aside and blended onto the background:
  // row by row when the picture comes in one pass, all at once otherwise.
  const Bgr bg = job.options->background;
  const std::size_t rowBytes = std::size_t(width) * 4;
  const std::size_t rows = passes == 1 ? 1 : std::size_t(height);
  job.bgra.reset(new (std::nothrow) uint8_t[rowBytes * rows]);
  if (!job.bgra) return false;
  uint8_t* buffer = job.bgra.get();
  if (passes == 1) {
    return ReadPasses(
        job, 1, height, [&](int) { return buffer; },
        [&](int y) { BlendRow(buffer, bitmap.Row(y), width, bg); });
  }
  auto rowAt = [&](int y) { return buffer + rowBytes * std::size_t(y); };
  if (!ReadPasses(job, passes, height, rowAt, nothing)) return false;
  for (int y = 0; y < height; ++y) BlendRow(rowAt(y), bitmap.Row(y), width, bg);
  return true;
}

void SetReadTransforms(png_structp png) {
  png_set_expand(png);  // palette, low bit depths and tRNS to full channels
  png_set_scale_16(png);
  png_set_gray_to_rgb(png);
  png_set_bgr(png);
}

bool RunDecode(DecodeJob& job) {
  if (setjmp(png_jmpbuf(job.png))) return false;
  png_set_read_fn(job.png, &job, ReadFromSpan);
  png_set_user_limits(job.png, kMaxSide, kMaxSide);
  png_set_chunk_malloc_max(job.png, kMaxChunkBytes);
  png_read_info(job.png, job.info);
  const auto width = png_get_image_width(job.png, job.info);
  const auto height = png_get_image_height(job.png, job.info);
  job.refused = detail::CheckDimensions(width, height, *job.options);
  if (job.refused != ImageError::None) return false;
  SetReadTransforms(job.png);
  const int passes = png_set_interlace_handling(job.png);
  png_read_update_info(job.png, job.info);
  const bool hasAlpha = png_get_channels(job.png, job.info) == 4;
  if (!job.bitmap->Reset(static_cast<int>(width), static_cast<int>(height), false) ||
      !ReadPixels(job, static_cast<int>(width), static_cast<int>(height), passes, hasAlpha)) {
    if (job.refused == ImageError::None) job.refused = ImageError::OutOfMemory;
    return false;
  }
  png_read_end(job.png, nullptr);
  return true;
}

uint32_t Be32(const uint8_t* p) {
  return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}

// The size in the header chunk (which must come first) is checked here, so
// that a picture too large is told apart from a damaged one.
ImageError CheckHeader(ByteSpan data, const DecodeOptions& options) {
  constexpr std::size_t kHeaderEnd = kPngSignatureSize + 8 + 13;
  if (data.size() < kHeaderEnd) return ImageError::Truncated;
  if (std::memcmp(data.data() + kPngSignatureSize + 4, "IHDR", 4) != 0) return ImageError::Corrupt;
  return detail::CheckDimensions(Be32(data.data() + 16), Be32(data.data() + 20), options);
}

struct EncodeJob {
  png_structp png = nullptr;
  png_infop info = nullptr;
  Messages messages;
  const Bitmap* bitmap = nullptr;
  std::vector<uint8_t>* out = nullptr;

  ~EncodeJob() { png_destroy_write_struct(&png, &info); }
};

void WriteToVector(png_structp png, png_bytep data, std::size_t count) {
  auto* job = static_cast<EncodeJob*>(png_get_io_ptr(png));
  bool grown = true;
  try {
    job->out->insert(job->out->end(), data, data + count);
  } catch (...) {
    grown = false;
  }
  if (!grown) {
    job->messages.error = ImageError::OutOfMemory;
    png_error(png, "out of memory");
  }
}

void FlushNothing(png_structp) {}

bool RunEncode(EncodeJob& job) {
  if (setjmp(png_jmpbuf(job.png))) return false;
  const Bitmap& bitmap = *job.bitmap;
  png_set_write_fn(job.png, &job, WriteToVector, FlushNothing);
  png_set_IHDR(job.png, job.info, static_cast<png_uint_32>(bitmap.Width()),
               static_cast<png_uint_32>(bitmap.Height()), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_compression_level(job.png, kPngCompressionLevel);
  png_set_filter(job.png, PNG_FILTER_TYPE_BASE, kPngFilters);
  png_set_compression_buffer_size(job.png, std::size_t{1} << 20);
  png_write_info(job.png, job.info);
  png_set_bgr(job.png);
  for (int y = 0; y < bitmap.Height(); ++y)
    png_write_row(job.png, const_cast<png_bytep>(bitmap.Row(y)));
  png_write_end(job.png, nullptr);
  return true;
}

}  // namespace

DecodeResult DecodePng(ByteSpan data, const DecodeOptions& options) {
  if (data.empty()) return detail::Failure(ImageError::EmptyFile);
  if (data.size() < kPngSignatureSize || png_sig_cmp(data.data(), 0, kPngSignatureSize) != 0)
    return detail::Failure(ImageError::NotThisFormat);
  if (ImageError e = CheckHeader(data, options); e != ImageError::None) return detail::Failure(e);
  DecodeResult result;
  detail::ProgressReporter reporter(options.progress);
  if (!reporter.Report(0)) return detail::Failure(ImageError::Cancelled);
  DecodeJob job;
  job.data = data;
  job.options = &options;
  job.reporter = &reporter;
  job.bitmap = &result.bitmap;
  job.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &job.messages, OnError, OnWarning);
  job.info = job.png ? png_create_info_struct(job.png) : nullptr;
  if (!job.info) return detail::Failure(ImageError::OutOfMemory);
  const bool ok = RunDecode(job);
  result.warnings = job.messages.warnings;
  if (!ok) {
    DecodeResult failure = detail::Failure(
        job.refused != ImageError::None ? job.refused : job.messages.error, job.messages.text);
    failure.warnings = result.warnings;
    return failure;
  }
  if (!reporter.Report(100)) return detail::Failure(ImageError::Cancelled);
  return result;
}

EncodeResult EncodePng(const Bitmap& bitmap) {
  EncodeResult result;
  if (bitmap.Empty()) {
    result.error = ImageError::Corrupt;
    result.detail = "empty picture";
    return result;
  }
  EncodeJob job;
  job.bitmap = &bitmap;
  job.out = &result.bytes;
  job.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &job.messages, OnError, OnWarning);
  job.info = job.png ? png_create_info_struct(job.png) : nullptr;
  if (!job.info) {
    result.error = ImageError::OutOfMemory;
    return result;
  }
  if (!RunEncode(job)) {
    result.error = job.messages.error == ImageError::OutOfMemory ? ImageError::OutOfMemory
                                                                 : ImageError::Corrupt;
    result.detail = job.messages.text;
    result.bytes.clear();
  }
  return result;
}

}  // namespace tonbo::img
