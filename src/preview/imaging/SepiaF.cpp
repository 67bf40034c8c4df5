#include "preview/imaging/SepiaF.h"

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
// (1000 - 894 = 106, 1000 - 645 = 355, 1000 - 146 = 854).
inline uint8_t Clamp(int v) { return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v); }

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

void Sepia(Bitmap& bitmap) {
  static_assert(kSepiaCb == -0.08 && kSepiaCr == 0.071, "the constants below derive from these");
  for (int y = 0; y < bitmap.Height(); ++y) {
    uint8_t* p = bitmap.Row(y);
    for (int x = 0; x < bitmap.Width(); ++x, p += Bitmap::kBytesPerPixel) {
      const int s = 299 * p[2] + 587 * p[1] + 114 * p[0];
      const int t = s / 1000, rest = s - 1000 * t;
      p[2] = Clamp(t + 25 + (rest >= 106));
      p[1] = Clamp(t - 6 + (rest >= 355));
      p[0] = Clamp(t - 35 + (rest >= 854));
    }
  }
  bitmap.NotifyChanged();
}

}  // namespace tonbo::img
