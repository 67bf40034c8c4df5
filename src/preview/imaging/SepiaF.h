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

// Keeps each pixel's luma and replaces its chroma by a fixed brown (Cb -0.08,
// Cr 0.071). Works on pictures of any width.
void Sepia(Bitmap& bitmap);

}  // namespace tonbo::img
