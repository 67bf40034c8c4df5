// One picture decoder fed arbitrary bytes; TONBO_FUZZ_FORMAT names it.
#include <cstddef>
#include <cstdint>

#include "preview/imaging/Codecs.h"

using tonbo::img::PictureFormat;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  tonbo::img::DecodeOptions options;
  // Same checks as in the program, on pictures small enough to decode
  // thousands of times a second.
  options.maxPixels = int64_t{1} << 22;
  options.progress = [](int percent) {
    if (percent < 0 || percent > 100) __builtin_trap();
    return true;
  };
  const tonbo::img::DecodeResult result =
      tonbo::img::Decode(PictureFormat::TONBO_FUZZ_FORMAT, {data, size}, options);
  // A result is either a picture or a reason, never both or neither.
  if (result.Ok() == result.bitmap.Empty()) __builtin_trap();
  if (!result.Ok() && tonbo::img::Describe(result.error)[0] == '\0') __builtin_trap();
  return 0;
}
