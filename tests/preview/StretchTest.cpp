#include "preview/imaging/StretchF.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "Pictures.h"

namespace tonbo::img {
namespace {

using test::Blues;
using test::GreyBitmap;
using test::Numbered;

Bitmap Blank(int width, int height) {
  Bitmap b;
  b.Reset(width, height);
  return b;
}

Bitmap RandomRow(int width, unsigned seed) {
  std::mt19937 gen(seed);
  Bitmap b = Blank(width, 1);
  for (int x = 0; x < width; ++x)
    b.SetPixel(x, 0, {uint8_t(gen()), uint8_t(gen()), uint8_t(gen())});
  return b;
}

// The one-dimensional passes, run on a row (horizontal) and on the same
// values stood up as a column (vertical).
using Pass = void (*)(const Bitmap&, Bitmap&);

std::vector<int> RunRow(Pass pass, std::initializer_list<int> values, int to) {
  const Bitmap src = GreyBitmap(int(values.size()), 1, values);
  Bitmap dst = Blank(to, 1);
  pass(src, dst);
  return Blues(dst);
}

std::vector<int> RunColumn(Pass pass, std::initializer_list<int> values, int to) {
  const Bitmap src = GreyBitmap(1, int(values.size()), values);
  Bitmap dst = Blank(1, to);
  pass(src, dst);
  return Blues(dst);
}

using V = std::vector<int>;

TEST(StretchTest, HorzUpInterpolatesWithFloor) {
  EXPECT_EQ(RunRow(StretchHorzUp, {0, 255}, 3), (V{0, 127, 255}));
  // A falling ramp at weight 32768: 100 + floor(-0.5) = 99.
  EXPECT_EQ(RunRow(StretchHorzUp, {100, 99}, 3), (V{100, 99, 99}));
  // x = i / 4 × 2: 0, 0.5, 1, 1.5, 2.
  EXPECT_EQ(RunRow(StretchHorzUp, {0, 100, 200}, 5), (V{0, 50, 100, 150, 200}));
  // A one-pixel destination takes source column 0.
  EXPECT_EQ(RunRow(StretchHorzUp, {42}, 1), (V{42}));
}

TEST(StretchTest, HorzUpToEqualWidthCopiesExactly) {
  // Positions like 1 / 49 × 49 must come out whole, not as 0.99999….
  for (int width : {3, 49, 50, 99, 641}) {
    const Bitmap src = RandomRow(width, unsigned(width));
    Bitmap dst = Blank(width, 1);
    StretchHorzUp(src, dst);
    EXPECT_EQ(dst, src) << "width " << width;
  }
}

TEST(StretchTest, VertUpDividesByDestinationHeightAndKeepsLastLowerRow) {
  // y = i × 3 / 5: 0, 0.6, 1.2, 1.8, 2.4. The last row's base moves to row 2,
  // but it keeps row 2 as its lower row (taken for the row before), so it
  // copies 200 instead of heading for 250.
  EXPECT_EQ(RunColumn(StretchVertUp, {0, 100, 200, 250}, 5), (V{0, 59, 119, 179, 200}));
  // y = i × 2 / 4: the last row keeps a base of 1 and interpolates normally.
  EXPECT_EQ(RunColumn(StretchVertUp, {0, 100, 200}, 4), (V{0, 50, 100, 150}));
  EXPECT_EQ(RunColumn(StretchVertUp, {7}, 3), (V{7, 7, 7}));
  // Equal heights are not a copy: the rows still move down by (sH - 1) / sH.
  EXPECT_EQ(RunColumn(StretchVertUp, {0, 100}, 2), (V{0, 50}));
}

TEST(StretchTest, ShrinkAveragesAreasInBothDirections) {
  for (Pass pass : {ShrinkHorz, ShrinkVert}) {
    auto run = pass == ShrinkHorz ? RunRow : RunColumn;
    // scale 512: (10 + 21) × 256 div 512 = 15, (100 + 201) × 256 div 512 = 150.
    EXPECT_EQ(run(pass, {10, 21, 100, 201}, 2), (V{15, 150}));
    // 3 to 2: each takes 1.5 pixels in 1/256 units, rounded down twice,
    // so white comes out as 254.
    EXPECT_EQ(run(pass, {255, 255, 255}, 2), (V{254, 254}));
    // The second destination pixel starts with the rest of the shared one:
    // (0 + 128 × 200 / 256) = 100; (100 + 0) × 256 div 384 = 66.
    EXPECT_EQ(run(pass, {0, 200, 0}, 2), (V{66, 66}));
  }
}

TEST(StretchTest, ShrinkByHugeRatiosStaysExact) {
  for (int width : {2000, 20000}) {  // the second is beyond the quotient table
    Bitmap src = Blank(width, 1);
    for (int x = 0; x < width; ++x) src.SetPixel(x, 0, test::Grey(x < width / 2 ? 100 : 201));
    Bitmap dst = Blank(1, 1);
    ShrinkHorz(src, dst);
    EXPECT_EQ(Blues(dst), (V{150})) << width;
  }
}

// The shrinking pass as the text defines it, in floating point; the ratios
// below are exact in binary so the positions carry no rounding.
std::vector<int> ShrinkReference(const std::vector<int>& s, int dW) {
  const int sW = int(s.size());
  std::vector<int> start(dW + 1), f(dW + 1), out;
  for (int i = 0; i <= dW; ++i) {
    const double p = double(sW) / dW * i;
    start[i] = int(std::trunc(p));
    f[i] = int(std::trunc((p - std::trunc(p)) * 256));
  }
  const int scale = int(std::trunc(double(sW) / dW * 256));
  int a = 0, e = 0;
  for (int i = 0; i < dW; ++i) {
    int sum = (s[a] * (256 - e)) >> 8;
    for (int k = start[i] + 1; k <= start[i + 1] - 1; ++k) sum += s[k];
    a = start[i + 1];
    e = f[i + 1];
    if (e != 0) sum += (s[a] * e) >> 8;
    out.push_back((sum * 256) / scale);
  }
  return out;
}

TEST(StretchTest, ShrinkHorzMatchesTheFloatingPointDefinition) {
  for (auto [sW, dW] : {std::pair{6000, 800}, {7, 4}, {13, 8}, {100, 64}, {33, 32}}) {
    const Bitmap src = RandomRow(sW, unsigned(sW + dW));
    Bitmap dst = Blank(dW, 1);
    ShrinkHorz(src, dst);
    EXPECT_EQ(Blues(dst), ShrinkReference(Blues(src), dW)) << sW << " to " << dW;
  }
}

TEST(StretchTest, NearestRoundsPositionsHalfUp) {
  // 0 / 2 × 2 + 0.5 = 0.5 -> 0; 1 / 2 × 2 + 0.5 = 1.5 -> 1.
  EXPECT_EQ(RunRow(StretchNearest, {10, 20, 30}, 2), (V{10, 20}));
  // i / 5 + 0.5: 0.5, 0.7, 0.9, 1.1, 1.3.
  EXPECT_EQ(RunRow(StretchNearest, {10, 20}, 5), (V{10, 10, 10, 20, 20}));
  EXPECT_EQ(RunColumn(StretchNearest, {10, 20}, 5), (V{10, 10, 10, 20, 20}));
}

TEST(StretchTest, StretchBitmapChoosesThePasses) {
  // Quality: 2 to 3 columns by interpolation, then 1 to 2 rows by copying.
  Bitmap dst = Blank(3, 2);
  StretchBitmap(GreyBitmap(2, 1, {0, 255}), dst, smQuality);
  EXPECT_EQ(dst, GreyBitmap(3, 2, {0, 127, 255, 0, 127, 255}));
  // Quality reducing both ways: 4×4 to 2×2, each the truncated mean of a 2×2 block.
  Bitmap small = Blank(2, 2);
  StretchBitmap(GreyBitmap(4, 4, {0, 2, 100, 100, 4, 6, 100, 100, 9, 9, 50, 51, 9, 9, 50, 51}),
                small, smQuality);
  EXPECT_EQ(small, GreyBitmap(2, 2, {3, 100, 9, 50}));
  // Fast: nearest neighbour in both directions.
  const Bitmap src = Numbered(3, 3);
  Bitmap fast = Blank(2, 2);
  StretchBitmap(src, fast, smFast);
  EXPECT_EQ(fast.Pixel(1, 1), src.Pixel(1, 1));
  EXPECT_EQ(fast.Pixel(1, 0), src.Pixel(1, 0));
}

TEST(StretchTest, NothingHappensForEmptyPicturesOrUnknownModes) {
  const Bitmap src = Numbered(3, 3);
  Bitmap dst = GreyBitmap(2, 2, {1, 2, 3, 4});
  const Bitmap before = dst;
  StretchBitmap(src, dst, 2);
  StretchBitmap(Bitmap{}, dst, smQuality);
  EXPECT_EQ(dst, before);
  Bitmap empty;
  StretchBitmap(src, empty, smFast);
  EXPECT_TRUE(empty.Empty());
}

}  // namespace
}  // namespace tonbo::img
