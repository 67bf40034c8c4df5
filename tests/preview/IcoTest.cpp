#include <gtest/gtest.h>

#include "Pictures.h"
#include "preview/imaging/Codecs.h"

namespace tonbo::img {
namespace {

using test::Bytes;
using test::MakeBitmap;

ByteSpan Span(const std::vector<uint8_t>& v) { return {v.data(), v.size()}; }

const Bgr kWhite{255, 255, 255};

// The DIB of one icon picture: header (height doubled), palette, colour rows
// and mask rows, both bottom first.
std::vector<uint8_t> IconDib(int w, int h, int bits, std::vector<Bgr> palette,
                             std::vector<uint8_t> colour, std::vector<uint8_t> mask) {
  Bytes dib;
  dib.u32(40)
      .u32(w)
      .u32(2 * h)
      .u16(1)
      .u16(bits)
      .u32(0)
      .u32(0)
      .u32(0)
      .u32(0)
      .u32(palette.size())
      .u32(0);
  for (Bgr c : palette) dib.u8(c.b).u8(c.g).u8(c.r).u8(0);
  return dib.append(colour).append(mask).v;
}

struct IconImage {
  int w, h, bits;
  std::vector<uint8_t> data;
};

std::vector<uint8_t> MakeIco(const std::vector<IconImage>& images) {
  Bytes ico;
  ico.u16(0).u16(1).u16(images.size());
  std::size_t offset = 6 + 16 * images.size();
  for (const auto& im : images) {
    ico.u8(im.w & 0xFF)
        .u8(im.h & 0xFF)
        .u8(0)
        .u8(0)
        .u16(1)
        .u16(im.bits)
        .u32(im.data.size())
        .u32(offset);
    offset += im.data.size();
  }
  for (const auto& im : images) ico.append(im.data);
  return ico.v;
}

// 2×2 pictures; mask rows are 4 bytes, a set bit is transparent.
const std::vector<uint8_t> kMaskTopRight = {0, 0, 0, 0, 0x40, 0, 0, 0};

TEST(IcoTest, TwentyFourBitIconUsesItsMask) {
  const std::vector<uint8_t> colour = {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0};
  const DecodeResult r =
      DecodeIco(Span(MakeIco({{2, 2, 24, IconDib(2, 2, 24, {}, colour, kMaskTopRight)}})));
  ASSERT_TRUE(r.Ok()) << Describe(r.error);
  EXPECT_EQ(r.bitmap, MakeBitmap(2, 2, {{7, 8, 9}, kWhite, {1, 2, 3}, {4, 5, 6}}));
}

TEST(IcoTest, ThirtyTwoBitIconBlendsItsAlphaOrFallsBackToTheMask) {
  // Bottom row: opaque blue, half-covered red; top row: transparent, opaque green.
  const std::vector<uint8_t> alpha = {255, 0, 0, 255, 0, 0, 255, 128, 0, 0, 0, 0, 0, 255, 0, 255};
  const DecodeResult blended =
      DecodeIco(Span(MakeIco({{2, 2, 32, IconDib(2, 2, 32, {}, alpha, kMaskTopRight)}})));
  ASSERT_TRUE(blended.Ok());
  EXPECT_EQ(blended.bitmap, MakeBitmap(2, 2, {kWhite, {0, 255, 0}, {255, 0, 0}, {127, 127, 255}}));
  // Old 32-bit icons leave alpha at 0 and rely on the mask.
  const std::vector<uint8_t> noAlpha = {1, 1, 1, 0, 2, 2, 2, 0, 3, 3, 3, 0, 4, 4, 4, 0};
  const DecodeResult masked =
      DecodeIco(Span(MakeIco({{2, 2, 32, IconDib(2, 2, 32, {}, noAlpha, kMaskTopRight)}})));
  ASSERT_TRUE(masked.Ok());
  EXPECT_EQ(masked.bitmap, MakeBitmap(2, 2, {{3, 3, 3}, kWhite, {1, 1, 1}, {2, 2, 2}}));
}

TEST(IcoTest, ChoosesTheLargestThenDeepestPicture) {
  const Bgr A{10, 20, 30}, B{40, 50, 60};
  const std::vector<uint8_t> small = IconDib(1, 1, 8, {A, B}, {1, 0, 0, 0}, {0, 0, 0, 0});
  const std::vector<uint8_t> big4 =
      IconDib(2, 2, 4, {A, B}, {0, 0, 0, 0, 0, 0, 0, 0}, std::vector<uint8_t>(8));
  const std::vector<uint8_t> big8 =
      IconDib(2, 2, 8, {A, B}, {1, 1, 0, 0, 1, 1, 0, 0}, std::vector<uint8_t>(8));
  const DecodeResult r =
      DecodeIco(Span(MakeIco({{1, 1, 8, small}, {2, 2, 4, big4}, {2, 2, 8, big8}})));
  ASSERT_TRUE(r.Ok());
  EXPECT_EQ(r.bitmap, MakeBitmap(2, 2, {B, B, B, B}));
}

TEST(IcoTest, ReadsPngPictures) {
  const Bitmap picture = MakeBitmap(2, 1, {{1, 2, 3}, {4, 5, 6}});
  const DecodeResult r = DecodeIco(Span(MakeIco({{2, 1, 32, EncodePng(picture).bytes}})));
  ASSERT_TRUE(r.Ok());
  EXPECT_EQ(r.bitmap, picture);
}

}  // namespace
}  // namespace tonbo::img
