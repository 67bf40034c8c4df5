#pragma once
// Helpers shared by the decoders; not part of the library's interface.
#include <cstdint>
#include <cstring>

#include "preview/imaging/Codecs.h"

namespace tonbo::img::detail {

inline uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
inline uint32_t Le32(const uint8_t* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}
inline void PutLe16(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
inline void PutLe32(uint8_t* p, uint32_t v) {
  PutLe16(p, v);
  PutLe16(p + 2, v >> 16);
}

// None when a picture of this size may be decoded.
ImageError CheckDimensions(int64_t width, int64_t height, const DecodeOptions& options);

DecodeResult Failure(ImageError error, std::string detail = {});

// Passes percentages on to the caller's callback, each value once and
// never falling; an exception from the callback counts as a request to stop.
class ProgressReporter {
 public:
  explicit ProgressReporter(const ProgressFn& fn) : fn_(fn) {}
  bool Report(int percent);
  bool Active() const { return static_cast<bool>(fn_); }

 private:
  const ProgressFn& fn_;
  int last_ = -1;
};

// Draws a colour with coverage `alpha` over the background.
inline uint8_t Blend(uint8_t c, uint8_t alpha, uint8_t background) {
  return static_cast<uint8_t>((c * alpha + background * (255 - alpha) + 127) / 255);
}

}  // namespace tonbo::img::detail
