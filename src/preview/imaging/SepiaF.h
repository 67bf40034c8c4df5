#pragma once
// Unit sepiaf: sepia toning through the YCbCr colour space.
#include "preview/imaging/Bitmap.h"

namespace tonbo::img {

// The chroma every pixel takes.
inline constexpr double kSepiaCb = -0.08;
inline constexpr double kSepiaCr = 0.071;

struct YCbCr {
  double y, cb, cr;
};

// Channels in 0..1.
YCbCr RgbToYCbCr(double r, double g, double b);
void YCbCrToRgb(const YCbCr& c, double& r, double& g, double& b);

// max(x, 0) div 1000 for x up to kSepiaQuotientLimit, the largest sum the
// toning divides: y = x div 8, then y div 125 as (y × 33555) >> 22, which
// vector units do with a 16-bit multiply-high. The error y × (33555 / 2^22 -
// 1 / 125) stays under 0.005, less than the 0.008 that a remainder of 124
// leaves before the next whole number.
constexpr int SepiaQuotient(int x) {
  if (x < 0) return 0;
  return static_cast<int>((static_cast<unsigned>(x >> 3) * 33555u) >> 22);
}
inline constexpr int kSepiaQuotientLimit = 280894;

// Keeps each pixel's luma and replaces its chroma by a fixed brown (Cb -0.08,
// Cr 0.071). Works on pictures of any width.
void Sepia(Bitmap& bitmap);

}  // namespace tonbo::img
