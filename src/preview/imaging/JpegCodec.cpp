// JPEG through libjpeg. libjpeg reports fatal errors by calling back, so the
// calls run in functions whose locals are trivial, behind setjmp; everything
// with a destructor lives in the job struct of the caller.
#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>
// after jpeglib.h, which it needs
#include <jerror.h>

#include "preview/imaging/CodecUtil.h"

namespace tonbo::img {
namespace {

// libjpeg's working memory (coefficients of progressive pictures and the
// like) is limited to this; beyond it decoding fails instead of swapping.
constexpr long kJpegMemoryLimit = 1024L * 1024 * 1024;
// Progressive files with absurd numbers of scans are refused (a tiny file can
// otherwise keep the decoder busy for minutes).
constexpr int kMaxScans = 500;
constexpr int kRowsPerRead = 16;
constexpr int kJpegQuality = 90;

struct ErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
  ImageError error;
  char message[JMSG_LENGTH_MAX];
};

// Ends the job at its setjmp. Without a text, libjpeg's own message is kept.
[[noreturn]] void Fail(j_common_ptr cinfo, ImageError error, const char* text = nullptr) {
  auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
  err->error = error;
  if (text)
    std::snprintf(err->message, sizeof err->message, "%s", text);
  else
    (*cinfo->err->format_message)(cinfo, err->message);
  std::longjmp(err->jump, 1);
}

// Reads from memory like jpeg_mem_src, but ends the data with an end marker
// without a warning: a file that lacks only its end marker decodes cleanly,
// while one that stops inside the pixel data still trips JWRN_HIT_MARKER.
struct MemorySource {
  jpeg_source_mgr pub;
  bool ranOut;
};

const JOCTET kEndMarker[2] = {0xFF, JPEG_EOI};

void InitSource(j_decompress_ptr) {}
void TermSource(j_decompress_ptr) {}

boolean FillInput(j_decompress_ptr cinfo) {
  auto* src = reinterpret_cast<MemorySource*>(cinfo->src);
  src->ranOut = true;
  src->pub.next_input_byte = kEndMarker;
  src->pub.bytes_in_buffer = sizeof kEndMarker;
  return TRUE;
}

void SkipInput(j_decompress_ptr cinfo, long count) {
  jpeg_source_mgr* src = cinfo->src;
  if (count <= 0) return;
  if (static_cast<std::size_t>(count) > src->bytes_in_buffer) {
    FillInput(cinfo);
    return;
  }
  src->next_input_byte += count;
  src->bytes_in_buffer -= static_cast<std::size_t>(count);
}

void InitMemorySource(MemorySource& src, ByteSpan data) {
  src.pub.init_source = InitSource;
  src.pub.fill_input_buffer = FillInput;
  src.pub.skip_input_data = SkipInput;
  src.pub.resync_to_restart = jpeg_resync_to_restart;
  src.pub.term_source = TermSource;
  src.pub.next_input_byte = data.data();
  src.pub.bytes_in_buffer = data.size();
  src.ranOut = false;
}

bool RanOut(j_common_ptr cinfo) {
  if (!cinfo->is_decompressor) return false;
  const auto* src = reinterpret_cast<j_decompress_ptr>(cinfo)->src;
  return src && reinterpret_cast<const MemorySource*>(src)->ranOut;
}

[[noreturn]] void OnError(j_common_ptr cinfo) {
  const int code = cinfo->err->msg_code;
  Fail(cinfo, RanOut(cinfo)                ? ImageError::Truncated
              : code == JERR_IMAGE_TOO_BIG ? ImageError::TooLarge
              : code == JERR_OUT_OF_MEMORY ? ImageError::OutOfMemory
                                           : ImageError::Corrupt);
}

// Warnings are counted. Missing pixel data ends decoding: libjpeg would fill
// the rest with grey and call it a success, and a few bytes could then claim
// hundreds of megabytes of picture.
void OnMessage(j_common_ptr cinfo, int level) {
  if (level >= 0) return;  // trace output
  cinfo->err->num_warnings++;
  if (cinfo->err->msg_code == JWRN_HIT_MARKER) Fail(cinfo, ImageError::Truncated);
}

void OnOutput(j_common_ptr) {}

void InitErrors(ErrorManager& err) {
  jpeg_std_error(&err.pub);
  err.pub.error_exit = OnError;
  err.pub.emit_message = OnMessage;
  err.pub.output_message = OnOutput;
  err.error = ImageError::None;
  err.message[0] = '\0';
}

struct Progress {
  jpeg_progress_mgr pub;
  detail::ProgressReporter* reporter;
};

void OnProgress(j_common_ptr cinfo) {
  auto* dinfo = reinterpret_cast<j_decompress_ptr>(cinfo);
  if (dinfo->input_scan_number > kMaxScans) Fail(cinfo, ImageError::Unsupported, "too many scans");
  const auto* p = reinterpret_cast<Progress*>(cinfo->progress);
  if (p->pub.total_passes <= 0 || p->pub.pass_limit <= 0) return;
  const double pass =
      static_cast<double>(p->pub.pass_counter) / static_cast<double>(p->pub.pass_limit);
  const double done = (p->pub.completed_passes + pass) / p->pub.total_passes;
  const int percent = static_cast<int>(done * 100);
  if (!p->reporter->Report(percent < 0 ? 0 : percent > 99 ? 99 : percent))
    Fail(cinfo, ImageError::Cancelled, "stopped by the caller");
}

struct DecodeJob {
  jpeg_decompress_struct cinfo{};
  ErrorManager err{};
  Progress progress{};
  MemorySource source{};
  ByteSpan data;
  const DecodeOptions* options = nullptr;
  Bitmap* bitmap = nullptr;
  ImageError refused = ImageError::None;  // set without a jump: size limits
  int fullWidth = 0;
  int fullHeight = 0;
};

// Adobe's CMYK files store the inks inverted; others store them plainly.
void CmykRowToBgr(const JSAMPLE* in, uint8_t* out, JDIMENSION width, bool inverted) {
  for (JDIMENSION x = 0; x < width; ++x, in += 4, out += 3) {
    const int c = inverted ? in[0] : 255 - in[0], m = inverted ? in[1] : 255 - in[1];
    const int y = inverted ? in[2] : 255 - in[2], k = inverted ? in[3] : 255 - in[3];
    out[0] = static_cast<uint8_t>((y * k + 127) / 255);
    out[1] = static_cast<uint8_t>((m * k + 127) / 255);
    out[2] = static_cast<uint8_t>((c * k + 127) / 255);
  }
}

void ReadRows(DecodeJob& job) {
  j_decompress_ptr cinfo = &job.cinfo;
  Bitmap& bitmap = *job.bitmap;
  if (cinfo->out_color_space == JCS_CMYK) {
    JSAMPARRAY buffer = (*cinfo->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(cinfo),
                                                    JPOOL_IMAGE, cinfo->output_width * 4, 1);
    while (cinfo->output_scanline < cinfo->output_height) {
      const int y = static_cast<int>(cinfo->output_scanline);
      jpeg_read_scanlines(cinfo, buffer, 1);
      CmykRowToBgr(buffer[0], bitmap.Row(y), cinfo->output_width, cinfo->saw_Adobe_marker);
    }
    return;
  }
  JSAMPROW rows[kRowsPerRead];
  while (cinfo->output_scanline < cinfo->output_height) {
    const int first = static_cast<int>(cinfo->output_scanline);
    const int count = std::min<int>(kRowsPerRead, bitmap.Height() - first);
    for (int i = 0; i < count; ++i) rows[i] = bitmap.Row(first + i);
    jpeg_read_scanlines(cinfo, rows, static_cast<JDIMENSION>(count));
  }
}

// The smallest reduction whose fitted picture is still not smaller than the
// fitted full picture would be.
void ChooseScale(j_decompress_ptr cinfo, const DecodeOptions& options) {
  if (options.fitWidth <= 0 || options.fitHeight <= 0) return;
  const double rw = static_cast<double>(options.fitWidth) / cinfo->image_width;
  const double rh = static_cast<double>(options.fitHeight) / cinfo->image_height;
  const double ratio = std::min(1.0, std::min(rw, rh));
  cinfo->scale_denom = 8;
  cinfo->scale_num = 8;
  for (unsigned num = 1; num < 8; ++num) {
    if (num / 8.0 >= ratio) {
      cinfo->scale_num = num;
      break;
    }
  }
}

bool RunDecode(DecodeJob& job) {
  j_decompress_ptr cinfo = &job.cinfo;
  cinfo->err = &job.err.pub;
  if (setjmp(job.err.jump)) return false;
  jpeg_create_decompress(cinfo);
  cinfo->mem->max_memory_to_use = kJpegMemoryLimit;
  InitMemorySource(job.source, job.data);
  cinfo->src = &job.source.pub;
  if (jpeg_read_header(cinfo, TRUE) != JPEG_HEADER_OK) {
    job.refused = ImageError::Corrupt;
    return false;
  }
  job.fullWidth = static_cast<int>(cinfo->image_width);
  job.fullHeight = static_cast<int>(cinfo->image_height);
  job.refused = detail::CheckDimensions(cinfo->image_width, cinfo->image_height, *job.options);
  if (job.refused != ImageError::None) return false;
  const bool cmyk = cinfo->jpeg_color_space == JCS_CMYK || cinfo->jpeg_color_space == JCS_YCCK;
  cinfo->out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGR;
  cinfo->progress = &job.progress.pub;
  ChooseScale(cinfo, *job.options);
  jpeg_start_decompress(cinfo);
  if (!job.bitmap->Reset(static_cast<int>(cinfo->output_width),
                         static_cast<int>(cinfo->output_height), false)) {
    job.refused = ImageError::OutOfMemory;
    return false;
  }
  ReadRows(job);
  jpeg_finish_decompress(cinfo);
  return true;
}

struct EncodeJob {
  jpeg_compress_struct cinfo{};
  ErrorManager err{};
  const Bitmap* bitmap = nullptr;
  unsigned char* buffer = nullptr;  // malloc'ed by libjpeg
  unsigned long size = 0;
};

bool RunEncode(EncodeJob& job) {
  j_compress_ptr cinfo = &job.cinfo;
  cinfo->err = &job.err.pub;
  if (setjmp(job.err.jump)) return false;
  jpeg_create_compress(cinfo);
  jpeg_mem_dest(cinfo, &job.buffer, &job.size);
  const Bitmap& bitmap = *job.bitmap;
  cinfo->image_width = static_cast<JDIMENSION>(bitmap.Width());
  cinfo->image_height = static_cast<JDIMENSION>(bitmap.Height());
  cinfo->input_components = 3;
  cinfo->in_color_space = JCS_EXT_BGR;
  jpeg_set_defaults(cinfo);  // sequential Huffman coding: baseline
  jpeg_set_quality(cinfo, kJpegQuality, TRUE);
  jpeg_start_compress(cinfo, TRUE);
  JSAMPROW rows[kRowsPerRead];
  while (cinfo->next_scanline < cinfo->image_height) {
    const int first = static_cast<int>(cinfo->next_scanline);
    const int count = std::min<int>(kRowsPerRead, bitmap.Height() - first);
    for (int i = 0; i < count; ++i) rows[i] = const_cast<JSAMPROW>(bitmap.Row(first + i));
    jpeg_write_scanlines(cinfo, rows, static_cast<JDIMENSION>(count));
  }
  jpeg_finish_compress(cinfo);
  return true;
}

}  // namespace

DecodeResult DecodeJpeg(ByteSpan data, const DecodeOptions& options) {
  if (data.empty()) return detail::Failure(ImageError::EmptyFile);
  if (data.size() < 3 || data[0] != 0xFF || data[1] != 0xD8 || data[2] != 0xFF)
    return detail::Failure(ImageError::NotThisFormat);
  DecodeResult result;
  detail::ProgressReporter reporter(options.progress);
  DecodeJob job;
  job.data = data;
  job.options = &options;
  job.bitmap = &result.bitmap;
  InitErrors(job.err);
  job.progress.pub.progress_monitor = OnProgress;
  job.progress.reporter = &reporter;
  if (!reporter.Report(0)) return detail::Failure(ImageError::Cancelled);
  const bool ok = RunDecode(job);
  result.warnings = static_cast<int>(job.err.pub.num_warnings);
  jpeg_destroy_decompress(&job.cinfo);
  if (!ok) {
    DecodeResult failure = detail::Failure(
        job.refused != ImageError::None ? job.refused : job.err.error, job.err.message);
    failure.warnings = result.warnings;
    return failure;
  }
  if (!reporter.Report(100)) return detail::Failure(ImageError::Cancelled);
  result.fullWidth = job.fullWidth;
  result.fullHeight = job.fullHeight;
  return result;
}

EncodeResult EncodeJpeg(const Bitmap& bitmap) {
  EncodeResult result;
  if (bitmap.Empty()) {
    result.error = ImageError::Corrupt;
    result.detail = "empty picture";
    return result;
  }
  EncodeJob job;
  job.bitmap = &bitmap;
  InitErrors(job.err);
  const bool ok = RunEncode(job);
  jpeg_destroy_compress(&job.cinfo);
  if (ok) {
    result.bytes.assign(job.buffer, job.buffer + job.size);
  } else {
    result.error =
        job.err.error == ImageError::OutOfMemory ? ImageError::OutOfMemory : ImageError::Corrupt;
    result.detail = job.err.message;
  }
  std::free(job.buffer);
  return result;
}

}  // namespace tonbo::img
