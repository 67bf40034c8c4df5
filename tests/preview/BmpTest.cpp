#include <gtest/gtest.h>

#include <QImage>

#include "Pictures.h"
#include "preview/imaging/Codecs.h"

namespace tonbo::img {
namespace {

using test::Bytes;
using test::MakeBitmap;
using test::Numbered;

ByteSpan Span(const std::vector<uint8_t>& v) { return {v.data(), v.size()}; }

TEST(BmpTest, WritesBottomUp24BitFilesThatReadBackExactly) {
  for (auto [w, h] : {std::pair{1, 1}, {2, 3}, {3, 2}, {4, 1}, {5, 4}}) {
    const Bitmap original = Numbered(w, h);
    const std::vector<uint8_t> bmp = EncodeBmp(original).bytes;
    const int stride = (w * 3 + 3) / 4 * 4;
    ASSERT_EQ(bmp.size(), std::size_t(54 + stride * h));
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[10], 54) << "pixels right after the header";
    EXPECT_EQ(bmp[28], 24) << "bits per pixel";
    EXPECT_EQ(bmp[54], original.Pixel(0, h - 1).b) << "bottom row first";
    EXPECT_EQ(DecodeBmp(Span(bmp)).bitmap, original) << w << "x" << h;
  }
}

// A BMP file with a 40-byte header (or the 12-byte OS/2 one) around the
// given palette (blue, green, red per entry) and pixel bytes.
std::vector<uint8_t> MakeBmp(int headerSize, int w, int h, int bits, int compression,
                             std::vector<Bgr> palette, std::vector<uint8_t> pixels,
                             std::vector<uint32_t> masks = {}) {
  Bytes info;
  if (headerSize == 12) {
    info.u32(12).u16(w).u16(h).u16(1).u16(bits);
  } else {
    info.u32(40)
        .u32(w)
        .u32(h)
        .u16(1)
        .u16(bits)
        .u32(compression)
        .u32(pixels.size())
        .u32(0)
        .u32(0)
        .u32(palette.size())
        .u32(0);
  }
  for (uint32_t m : masks) info.u32(m);
  for (Bgr c : palette) {
    info.u8(c.b).u8(c.g).u8(c.r);
    if (headerSize != 12) info.u8(0);
  }
  Bytes file;
  file.raw({'B', 'M'}).u32(14 + info.v.size() + pixels.size()).u32(0).u32(14 + info.v.size());
  return file.append(info.v).append(pixels).v;
}

struct BmpVariant {
  const char* name;
  std::vector<uint8_t> file;
  Bitmap expected;
  bool qtAgrees;  // Qt's reader gives the same pixels
};

void PrintTo(const BmpVariant& v, std::ostream* os) { *os << v.name; }

class BmpVariantTest : public testing::TestWithParam<BmpVariant> {};

TEST_P(BmpVariantTest, Decodes) {
  const DecodeResult result = DecodeBmp(Span(GetParam().file));
  ASSERT_TRUE(result.Ok()) << Describe(result.error);
  EXPECT_EQ(result.bitmap, GetParam().expected);
  if (!GetParam().qtAgrees) return;
  const QImage qt = QImage::fromData(GetParam().file.data(), int(GetParam().file.size()), "BMP")
                        .convertToFormat(QImage::Format_RGB32);
  ASSERT_FALSE(qt.isNull());
  for (int y = 0; y < qt.height(); ++y)
    for (int x = 0; x < qt.width(); ++x) {
      const QRgb c = qt.pixel(x, y);
      EXPECT_EQ(result.bitmap.Pixel(x, y),
                (Bgr{uint8_t(qBlue(c)), uint8_t(qGreen(c)), uint8_t(qRed(c))}))
          << "Qt differs at " << x << "," << y;
    }
}

const Bgr A{10, 20, 30}, B{40, 50, 60}, C{70, 80, 90}, D{100, 110, 120};
const Bgr kBlack{0, 0, 0};

INSTANTIATE_TEST_SUITE_P(
    Variants, BmpVariantTest,
    testing::Values(
        // Rows are stored bottom first, each padded to 4 bytes.
        BmpVariant{"bits1", MakeBmp(40, 2, 2, 1, 0, {A, B}, {0x80, 0, 0, 0, 0x40, 0, 0, 0}),
                   MakeBitmap(2, 2, {A, B, B, A}), true},
        BmpVariant{"bits4", MakeBmp(40, 3, 1, 4, 0, {A, B, C, D}, {0x12, 0x30, 0, 0}),
                   MakeBitmap(3, 1, {B, C, D}), true},
        BmpVariant{"bits8", MakeBmp(40, 2, 1, 8, 0, {A, B, C}, {2, 0, 0, 0}),
                   MakeBitmap(2, 1, {C, A}), true},
        BmpVariant{"os2_core_header", MakeBmp(12, 2, 1, 8, 0, {A, B, C}, {1, 2, 0, 0}),
                   MakeBitmap(2, 1, {B, C}), false},  // Qt wants all 256 entries
        // Channels are scaled to the full range, rounded: 5-5-5 red 31 -> 255,
        // blue 16 -> (16 × 255 + 15) / 31 = 132; 5-6-5 green 63 -> 255.
        BmpVariant{"bits16_555", MakeBmp(40, 1, 1, 16, 0, {}, {0x10, 0x7C, 0, 0}),
                   MakeBitmap(1, 1, {{132, 0, 255}}), false},
        BmpVariant{"bits16_565",
                   MakeBmp(40, 1, 1, 16, 3, {}, {0xE0, 0x07, 0, 0}, {0xF800, 0x07E0, 0x001F}),
                   MakeBitmap(1, 1, {{0, 255, 0}}), false},  // Qt gives 252
        BmpVariant{"bits24_top_down",
                   [] {
                     auto f = MakeBmp(40, 1, 2, 24, 0, {}, {1, 2, 3, 0, 4, 5, 6, 0});
                     f[22] = 0xFE, f[23] = f[24] = f[25] = 0xFF;  // height -2
                     return f;
                   }(),
                   MakeBitmap(1, 2, {{1, 2, 3}, {4, 5, 6}}), true},
        BmpVariant{"bits32_alpha_ignored", MakeBmp(40, 1, 1, 32, 0, {}, {1, 2, 3, 0}),
                   MakeBitmap(1, 1, {{1, 2, 3}}), true},
        // Bottom row: run of 2 × index 1, run of 2 × index 2, end of line;
        // top row: literal 0 1 2 (padded), run of 1 × index 1, end of bitmap.
        BmpVariant{
            "rle8",
            MakeBmp(40, 4, 2, 8, 1, {A, B, C}, {2, 1, 2, 2, 0, 0, 0, 3, 0, 1, 2, 0, 1, 1, 0, 1}),
            MakeBitmap(4, 2, {A, B, C, B, B, B, C, C}), true},
        // A delta skips to the top row's last pixel; skipped pixels stay black.
        BmpVariant{"rle8_delta", MakeBmp(40, 3, 2, 8, 1, {A, B, C}, {1, 1, 0, 2, 1, 1, 1, 2, 0, 1}),
                   MakeBitmap(3, 2, {kBlack, kBlack, C, B, kBlack, kBlack}), false},
        // Literal of three nibbles (two bytes), then a run of one nibble.
        BmpVariant{"rle4", MakeBmp(40, 4, 1, 4, 2, {A, B, C, D}, {0, 3, 0x12, 0x30, 1, 0x00, 0, 1}),
                   MakeBitmap(4, 1, {B, C, D, A}), true}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tonbo::img
