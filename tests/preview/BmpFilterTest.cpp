#include "preview/imaging/BmpFilter.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "Pictures.h"

namespace tonbo::img {
namespace {

using test::Grey;
using test::GreyBitmap;
using test::MakeBitmap;
using test::Numbered;

TEST(BitmapTest, RowsArePaddedToFourBytes) {
  for (auto [width, stride] : {std::pair{1, 4}, {2, 8}, {3, 12}, {4, 12}, {5, 16}}) {
    Bitmap b;
    ASSERT_TRUE(b.Reset(width, 2));
    EXPECT_EQ(b.Stride(), stride) << "width " << width;
    EXPECT_EQ(b.Row(1) - b.Row(0), stride);
  }
}

TEST(BitmapTest, EqualityIgnoresPaddingAndCopiesAreDeep) {
  Bitmap a = Numbered(3, 2);
  Bitmap b = a;
  b.Row(0)[9] = 0xAB;  // padding byte
  EXPECT_EQ(a, b);
  b.SetPixel(2, 1, Grey(1));
  EXPECT_NE(a, b);
  EXPECT_EQ(a.Pixel(2, 1), Numbered(3, 2).Pixel(2, 1));
}

TEST(BitmapTest, ScanlineTableOfEmptyPictureFails) {
  Bitmap empty;
  EXPECT_THROW(ScanlineTable{empty}, EInvalidBitmap);
  try {
    ScanlineTable table(empty);
  } catch (const EInvalidBitmap& e) {
    EXPECT_STREQ(e.what(), "ビットマップが不正です。");
  }
  Bitmap b = Numbered(2, 3);
  ScanlineTable table(b);
  ASSERT_EQ(table.Size(), 3);
  EXPECT_EQ(table[2], b.Row(2));
}

struct GreyCase {
  const char* name;
  Bgr in;
  int expected;
};

void PrintTo(const GreyCase& c, std::ostream* os) { *os << c.name; }

class GrayScaleTest : public testing::TestWithParam<GreyCase> {};

TEST_P(GrayScaleTest, WeightsAndRoundsHalvesToEven) {
  Bitmap b = MakeBitmap(1, 1, {GetParam().in});
  GrayScale(b);
  EXPECT_EQ(b.Pixel(0, 0), Grey(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Pixels, GrayScaleTest,
    testing::Values(GreyCase{"red_76_5_to_even_76", {0, 0, 255}, 76},
                    GreyCase{"green_150_45_down", {0, 255, 0}, 150},
                    GreyCase{"blue_28_05_down", {255, 0, 0}, 28},
                    GreyCase{"white_stays_255", {255, 255, 255}, 255},
                    GreyCase{"black_stays_0", {0, 0, 0}, 0},
                    // 30 × 130 + 59 × 150 = 12750: 127.5 goes up to the even 128
                    GreyCase{"half_up_to_even_128", {0, 150, 130}, 128},
                    // 30 × 123 + 59 × 150 + 11 × 10 = 12650: 126.5 goes down to 126
                    GreyCase{"half_down_to_even_126", {10, 150, 123}, 126},
                    // 30 × 100 + 59 × 150 + 11 × 40 = 12290: 122.9 goes up
                    GreyCase{"fraction_above_half_up", {40, 150, 100}, 123}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BmpFilterTest, NegaposiComplementsEveryChannelAndTwiceRestores) {
  Bitmap b = MakeBitmap(2, 1, {{0, 1, 254}, {255, 128, 127}});
  const Bitmap original = b;
  Negaposi(b);
  EXPECT_EQ(b, MakeBitmap(2, 1, {{255, 254, 1}, {0, 127, 128}}));
  Negaposi(b);
  EXPECT_EQ(b, original);
}

TEST(BmpFilterTest, GrayScaleMatchesTheRoundingRuleForEveryColour) {
  // All 2^24 colours, one row per red value; rows wide enough for vector steps.
  Bitmap b;
  ASSERT_TRUE(b.Reset(256 * 256, 1));
  int mismatches = 0;
  for (int r = 0; r < 256 && mismatches < 5; ++r) {
    for (int i = 0; i < 256 * 256; ++i)
      b.SetPixel(i, 0, {uint8_t(i & 0xFF), uint8_t(i >> 8), uint8_t(r)});
    GrayScale(b);
    for (int i = 0; i < 256 * 256; ++i) {
      const int s = 30 * r + 59 * (i >> 8) + 11 * (i & 0xFF);
      int g = s / 100;
      if (s % 100 > 50 || (s % 100 == 50 && g % 2 == 1)) ++g;
      if (b.Pixel(i, 0) != Grey(g)) {
        ADD_FAILURE() << "sum " << s << " gave " << int(b.Pixel(i, 0).g);
        ++mismatches;
      }
    }
  }
}

// Large enough for the wide steps, with rows whose ends fall between them.
TEST(BmpFilterTest, NegaposiComplementsEveryPixelOfAWidePicture) {
  Bitmap b;
  ASSERT_TRUE(b.Reset(37, 5));
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 37; ++x)
      b.SetPixel(x, y, {uint8_t(x * 7 + y), uint8_t(x * 13 + y * 3), uint8_t(255 - x - y)});
  const Bitmap original = b;
  Negaposi(b);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 37; ++x) {
      const Bgr o = original.Pixel(x, y), n = b.Pixel(x, y);
      ASSERT_EQ(n, (Bgr{uint8_t(255 - o.b), uint8_t(255 - o.g), uint8_t(255 - o.r)}))
          << x << "," << y;
    }
}

TEST(BmpFilterTest, FlipHorizontalMirrorsEachRow) {
  Bitmap b = GreyBitmap(3, 3, {1, 2, 3, 4, 5, 6, 7, 8, 9});
  FlipHorizontal(b);
  EXPECT_EQ(b, GreyBitmap(3, 3, {3, 2, 1, 6, 5, 4, 9, 8, 7}));
  Bitmap even = GreyBitmap(4, 1, {1, 2, 3, 4});
  FlipHorizontal(even);
  EXPECT_EQ(even, GreyBitmap(4, 1, {4, 3, 2, 1}));
  Bitmap narrow = GreyBitmap(1, 3, {1, 2, 3});
  FlipHorizontal(narrow);
  EXPECT_EQ(narrow, GreyBitmap(1, 3, {1, 2, 3}));
}

TEST(BmpFilterTest, FlipVerticalMirrorsRows) {
  Bitmap b = GreyBitmap(3, 3, {1, 2, 3, 4, 5, 6, 7, 8, 9});
  FlipVertical(b);
  EXPECT_EQ(b, GreyBitmap(3, 3, {7, 8, 9, 4, 5, 6, 1, 2, 3}));
  Bitmap two = GreyBitmap(2, 2, {1, 2, 3, 4});
  FlipVertical(two);
  EXPECT_EQ(two, GreyBitmap(2, 2, {3, 4, 1, 2}));
}

TEST(BmpFilterTest, Rotate90TurnsThreeByTwoIntoTwoByThree) {
  // 1 2 3        right: 4 1     left: 3 6
  // 4 5 6               5 2           2 5
  //                     6 3           1 4
  Bitmap right = GreyBitmap(3, 2, {1, 2, 3, 4, 5, 6});
  Rotate90(right, true);
  EXPECT_EQ(right, GreyBitmap(2, 3, {4, 1, 5, 2, 6, 3}));
  Bitmap left = GreyBitmap(3, 2, {1, 2, 3, 4, 5, 6});
  Rotate90(left, false);
  EXPECT_EQ(left, GreyBitmap(2, 3, {3, 6, 2, 5, 1, 4}));
}

// Rotation by the definition, one pixel at a time.
Bitmap RotateReference(const Bitmap& src, bool right) {
  const int w = src.Width(), h = src.Height();
  Bitmap out;
  out.Reset(h, w);
  for (int r = 0; r < w; ++r)
    for (int c = 0; c < h; ++c)
      out.SetPixel(c, r, right ? src.Pixel(r, h - 1 - c) : src.Pixel(w - 1 - r, c));
  return out;
}

TEST(BmpFilterTest, Rotate90MatchesTheDefinitionAcrossTilesAndPaddings) {
  // Several tiles each way, ragged edges, and widths with and without padding.
  for (auto [w, h] : {std::pair{1, 1}, {4, 200}, {64, 64}, {130, 67}, {65, 129}, {201, 3}}) {
    const Bitmap original = Numbered(w, h);
    for (bool right : {true, false}) {
      Bitmap b = original;
      Rotate90(b, right);
      EXPECT_TRUE(b == RotateReference(original, right))
          << w << "x" << h << (right ? " right" : " left");
      Rotate90(b, !right);
      EXPECT_TRUE(b == original) << w << "x" << h << " back";
    }
  }
}

// Rotation moves 4 × 4 blocks whose writes spill onto the next pixels; every
// size up to 13 each way meets each way a block can stop short of an edge.
// The larger ones cross tiles with ragged blocks at both ends; where result
// rows fall on 16-byte boundaries (heights 261 and 144) inner tiles are
// streamed from a buffer and the tiles round them are not.
TEST(BmpFilterTest, Rotate90BlocksLeaveNoSpillAtAnyEdge) {
  std::vector<std::pair<int, int>> sizes{{260, 261}, {261, 258}, {200, 144}};
  for (int w = 1; w <= 13; ++w)
    for (int h = 1; h <= 13; ++h) sizes.emplace_back(w, h);
  for (auto [w, h] : sizes) {
    const Bitmap original = Numbered(w, h);
    for (bool right : {true, false}) {
      Bitmap b = original;
      Rotate90(b, right);
      ASSERT_TRUE(b == RotateReference(original, right))
          << w << "x" << h << (right ? " right" : " left");
    }
  }
}

TEST(BmpFilterTest, Rotate90OfEmptyPictureFailsAndOthersDoNothing) {
  Bitmap empty;
  EXPECT_THROW(Rotate90(empty, true), EInvalidBitmap);
  EXPECT_TRUE(empty.Empty());
  for (auto op : {Negaposi, GrayScale, FlipHorizontal, FlipVertical}) {
    op(empty);
    EXPECT_TRUE(empty.Empty());
  }
}

TEST(BmpFilterTest, EveryFilterSignalsTheChange) {
  int calls = 0;
  Bitmap b = Numbered(2, 2);
  b.SetChangeHandler([&] { ++calls; });
  Negaposi(b);
  GrayScale(b);
  FlipHorizontal(b);
  FlipVertical(b);
  Rotate90(b, true);
  EXPECT_EQ(calls, 5);
}

}  // namespace
}  // namespace tonbo::img
