#include "preview/imaging/SepiaF.h"

#include <gtest/gtest.h>

#include <cmath>

#include "Pictures.h"

namespace tonbo::img {
namespace {

using test::Grey;
using test::MakeBitmap;

// The toning as the text defines it, in floating point through the helpers.
Bgr SepiaReference(Bgr in) {
  YCbCr c = RgbToYCbCr(in.r / 255.0, in.g / 255.0, in.b / 255.0);
  c.cb = kSepiaCb;
  c.cr = kSepiaCr;
  double r, g, b;
  YCbCrToRgb(c, r, g, b);
  auto byte = [](double v) {
    const double t = std::trunc(v * 255 + 0.5);
    return uint8_t(t < 0 ? 0 : t > 255 ? 255 : t);
  };
  return {byte(b), byte(g), byte(r)};
}

TEST(SepiaTest, KnownColours) {
  Bitmap b = MakeBitmap(3, 1, {Grey(0), Grey(255), Grey(128)});
  Sepia(b);
  EXPECT_EQ(b.Pixel(0, 0), (Bgr{0, 0, 25}));       // negative green and blue clamp to 0
  EXPECT_EQ(b.Pixel(1, 0), (Bgr{220, 249, 255}));  // red clamps to 255
  EXPECT_EQ(b.Pixel(2, 0), (Bgr{93, 122, 153}));
}

TEST(SepiaTest, MatchesTheFloatingPointDefinitionForEveryColour) {
  // All 2^24 colours, one row per red value.
  Bitmap b;
  ASSERT_TRUE(b.Reset(256 * 256, 1));
  int mismatches = 0;
  for (int r = 0; r < 256 && mismatches < 5; ++r) {
    for (int i = 0; i < 256 * 256; ++i)
      b.SetPixel(i, 0, {uint8_t(i & 0xFF), uint8_t(i >> 8), uint8_t(r)});
    Sepia(b);
    for (int i = 0; i < 256 * 256; ++i) {
      const Bgr in{uint8_t(i & 0xFF), uint8_t(i >> 8), uint8_t(r)};
      if (b.Pixel(i, 0) != SepiaReference(in)) {
        ADD_FAILURE() << "colour " << in << " gave " << b.Pixel(i, 0);
        ++mismatches;
      }
    }
  }
}

// Thirty-two and sixteen pixels a step where the processor allows, the rest
// one by one.
TEST(SepiaTest, RowsOfEveryLengthAgreeWithTheDefinition) {
  for (int w = 1; w <= 100; ++w) {
    Bitmap b;
    ASSERT_TRUE(b.Reset(w, 2));
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < w; ++x)
        b.SetPixel(x, y, {uint8_t(x * 37 + y), uint8_t(x * 91), uint8_t(255 - x * 5)});
    const Bitmap original = b;
    Sepia(b);
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < w; ++x)
        ASSERT_EQ(b.Pixel(x, y), SepiaReference(original.Pixel(x, y)))
            << "width " << w << " x " << x;
  }
}

// The vector paths divide by 1000 through a multiply and shifts; every sum
// the toning can divide, negative ones included, must come out exact.
TEST(SepiaTest, QuotientByMultiplyIsExactOverTheWholeRange) {
  for (int x = -35000; x <= kSepiaQuotientLimit; ++x)
    ASSERT_EQ(SepiaQuotient(x), x < 0 ? 0 : x / 1000) << x;
  // Past the limit the shortcut is allowed to drift; make sure the limit is
  // the real largest sum (white's red) so that it is not set too low.
  EXPECT_EQ(299 * 255 + 587 * 255 + 114 * 255 + 25894, kSepiaQuotientLimit);
}

TEST(SepiaTest, WorksOnRowsWiderThan65536Pixels) {
  Bitmap b;
  ASSERT_TRUE(b.Reset(70000, 1));
  b.SetPixel(69999, 0, Grey(128));
  Sepia(b);
  EXPECT_EQ(b.Pixel(69999, 0), (Bgr{93, 122, 153}));
  EXPECT_EQ(b.Pixel(0, 0), (Bgr{0, 0, 25}));
}

TEST(SepiaTest, ColourSpaceHelpers) {
  const YCbCr white = RgbToYCbCr(1, 1, 1);
  EXPECT_NEAR(white.y, 1.0, 1e-12);
  EXPECT_NEAR(white.cb, 0.0, 1e-12);
  EXPECT_NEAR(white.cr, 0.0, 1e-12);
  // Each primary gives its own column of coefficients.
  const YCbCr red = RgbToYCbCr(1, 0, 0), blue = RgbToYCbCr(0, 0, 1);
  EXPECT_DOUBLE_EQ(red.y, 0.299);
  EXPECT_DOUBLE_EQ(red.cb, -0.1686);
  EXPECT_DOUBLE_EQ(red.cr, 0.4998);
  EXPECT_DOUBLE_EQ(blue.cb, 0.4997);
  EXPECT_DOUBLE_EQ(blue.cr, -0.0813);
}

}  // namespace
}  // namespace tonbo::img
