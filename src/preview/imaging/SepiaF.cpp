#include "preview/imaging/SepiaF.h"

#include <algorithm>
#include <vector>

namespace tonbo::img {
namespace {

// With Cb and Cr fixed, each output channel is trunc(Y × 255 + c + 0.5) for
// a constant c, and Y × 255 = s / 1000 with s = 299 r + 587 g + 114 b. None
// of the constants comes within 0.00007 of a whole number after adding any
// s / 1000, so whole-number arithmetic on s gives exactly the bytes the
// floating-point formula gives (the tests compare the two on every colour):
//   red   = s / 1000 + 25.894073  -> (s + 25894) div 1000
//   green = s / 1000 - 5.354137   -> (s - 5355) div 1000, 0 below
//   blue  = s / 1000 - 34.8532    -> (s - 34854) div 1000, 0 below
// The three quotients share s div 1000 and differ by whether the remainder
// reaches the point where the constant's fraction carries over
// (1000 - 894 = 106, 1000 - 645 = 355, 1000 - 146 = 854). Red can only
// overflow and green and blue only fall below zero.
}  // namespace

YCbCr RgbToYCbCr(double r, double g, double b) {
  return {0.299 * r + 0.587 * g + 0.114 * b, -0.1686 * r - 0.3311 * g + 0.4997 * b,
          0.4998 * r - 0.4185 * g - 0.0813 * b};
}

void YCbCrToRgb(const YCbCr& c, double& r, double& g, double& b) {
  r = c.y + 1.4026 * c.cr;
  g = c.y - 0.3444 * c.cb - 0.7114 * c.cr;
  b = c.y + 1.733 * c.cb;
}

namespace {

// The toned pixel (blue, green, red in the low three bytes) for every s.
const std::vector<uint32_t>& SepiaTable() {
  static const std::vector<uint32_t> table = [] {
    std::vector<uint32_t> t(255001);
    for (unsigned s = 0; s < t.size(); ++s) {
      const int q = static_cast<int>(s / 1000), rest = static_cast<int>(s % 1000);
      const auto r = static_cast<uint32_t>(std::min(q + 25 + (rest >= 106), 255));
      const auto g = static_cast<uint32_t>(std::max(q - 6 + (rest >= 355), 0));
      const auto b = static_cast<uint32_t>(std::max(q - 35 + (rest >= 854), 0));
      t[s] = b | g << 8 | r << 16;
    }
    return t;
  }();
  return table;
}

}  // namespace

void Sepia(Bitmap& bitmap) {
  static_assert(kSepiaCb == -0.08 && kSepiaCr == 0.071, "the constants below derive from these");
  const uint32_t* table = SepiaTable().data();
  for (int y = 0; y < bitmap.Height(); ++y) {
    uint8_t* p = bitmap.Row(y);
    for (int x = 0; x < bitmap.Width(); ++x, p += Bitmap::kBytesPerPixel) {
      const uint32_t c = table[299u * p[2] + 587u * p[1] + 114u * p[0]];
      p[0] = static_cast<uint8_t>(c);
      p[1] = static_cast<uint8_t>(c >> 8);
      p[2] = static_cast<uint8_t>(c >> 16);
    }
  }
  bitmap.NotifyChanged();
}

}  // namespace tonbo::img
