#include <gtest/gtest.h>

#include <png.h>

#include "Pictures.h"
#include "preview/imaging/Codecs.h"

namespace tonbo::img {
namespace {

using test::Grey;
using test::MakeBitmap;
using test::Numbered;

ByteSpan Span(const std::vector<uint8_t>& v) { return {v.data(), v.size()}; }

// A PNG of any colour type written with libpng itself; `rows` are the raw
// stored bytes of each row.
struct PngSpec {
  int width, height, colorType, bitDepth;
  bool interlaced = false;
  std::vector<std::vector<uint8_t>> rows;
  std::vector<png_color> palette = {};
  std::vector<uint8_t> transparency = {};
};

void Append(png_structp png, png_bytep data, std::size_t n) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + n);
}

std::vector<uint8_t> WritePng(const PngSpec& spec) {
  std::vector<uint8_t> out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_set_write_fn(png, &out, Append, nullptr);
  png_set_IHDR(png, info, spec.width, spec.height, spec.bitDepth, spec.colorType,
               spec.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (!spec.palette.empty()) png_set_PLTE(png, info, spec.palette.data(), int(spec.palette.size()));
  if (!spec.transparency.empty())
    png_set_tRNS(png, info, spec.transparency.data(), int(spec.transparency.size()), nullptr);
  std::vector<png_bytep> rows;
  for (auto& row : spec.rows) rows.push_back(const_cast<png_bytep>(row.data()));
  png_set_rows(png, info, rows.data());
  png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

TEST(PngTest, RoundTripIsExact) {
  for (auto [w, h] : {std::pair{1, 1}, {3, 2}, {5, 7}, {64, 3}}) {
    const Bitmap original = Numbered(w, h);
    const EncodeResult png = EncodePng(original);
    ASSERT_TRUE(png.Ok()) << png.detail;
    const DecodeResult back = DecodePng(Span(png.bytes));
    ASSERT_TRUE(back.Ok()) << back.detail;
    EXPECT_EQ(back.bitmap, original) << w << "x" << h;
  }
}

struct PngVariant {
  const char* name;
  PngSpec spec;
  Bitmap expected;
};

void PrintTo(const PngVariant& v, std::ostream* os) { *os << v.name; }

class PngVariantTest : public testing::TestWithParam<PngVariant> {};

TEST_P(PngVariantTest, DecodesTo24Bits) {
  const DecodeResult result = DecodePng(Span(WritePng(GetParam().spec)));
  ASSERT_TRUE(result.Ok()) << result.detail;
  EXPECT_EQ(result.bitmap, GetParam().expected);
}

// 2×1 pictures unless said otherwise; transparent parts go over white.
INSTANTIATE_TEST_SUITE_P(
    ColourTypes, PngVariantTest,
    testing::Values(
        PngVariant{"grey8",
                   {2, 1, PNG_COLOR_TYPE_GRAY, 8, false, {{0, 200}}},
                   MakeBitmap(2, 1, {Grey(0), Grey(200)})},
        PngVariant{"grey1",
                   {2, 1, PNG_COLOR_TYPE_GRAY, 1, false, {{0x40}}},
                   MakeBitmap(2, 1, {Grey(0), Grey(255)})},
        PngVariant{"rgb16_scaled",
                   {1, 1, PNG_COLOR_TYPE_RGB, 16, false, {{0x12, 0x34, 0x80, 0x00, 0xFF, 0xFF}}},
                   MakeBitmap(1, 1, {{255, 128, 0x12}})},
        PngVariant{
            "palette_with_transparency",
            {2, 1, PNG_COLOR_TYPE_PALETTE, 8, false, {{0, 1}}, {{10, 20, 30}, {0, 0, 0}}, {255, 0}},
            MakeBitmap(2, 1, {{30, 20, 10}, {255, 255, 255}})},
        // 50 % red over white: (255 × 128 + 255 × 127 + 127) / 255 and (255 × 127 + 127) / 255.
        PngVariant{"rgba_half_red",
                   {1, 1, PNG_COLOR_TYPE_RGBA, 8, false, {{255, 0, 0, 128}}},
                   MakeBitmap(1, 1, {{127, 127, 255}})},
        PngVariant{"grey_alpha",
                   {1, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 8, false, {{0, 0}}},
                   MakeBitmap(1, 1, {Grey(255)})},
        PngVariant{"interlaced_rgb",
                   {3,
                    3,
                    PNG_COLOR_TYPE_RGB,
                    8,
                    true,
                    {{1, 2, 3, 4, 5, 6, 7, 8, 9},
                     {10, 11, 12, 13, 14, 15, 16, 17, 18},
                     {19, 20, 21, 22, 23, 24, 25, 26, 27}}},
                   MakeBitmap(3, 3,
                              {{3, 2, 1},
                               {6, 5, 4},
                               {9, 8, 7},
                               {12, 11, 10},
                               {15, 14, 13},
                               {18, 17, 16},
                               {21, 20, 19},
                               {24, 23, 22},
                               {27, 26, 25}})},
        PngVariant{"interlaced_rgba",
                   {2,
                    2,
                    PNG_COLOR_TYPE_RGBA,
                    8,
                    true,
                    {{1, 2, 3, 255, 0, 0, 0, 0}, {4, 5, 6, 255, 7, 8, 9, 255}}},
                   MakeBitmap(2, 2, {{3, 2, 1}, {255, 255, 255}, {6, 5, 4}, {9, 8, 7}})}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PngTest, TransparencyShowsTheChosenBackground) {
  PngSpec spec{1, 1, PNG_COLOR_TYPE_RGBA, 8, false, {{255, 255, 255, 0}}};
  DecodeOptions options;
  options.background = {10, 20, 30};
  EXPECT_EQ(DecodePng(Span(WritePng(spec)), options).bitmap.Pixel(0, 0), (Bgr{10, 20, 30}));
}

TEST(PngTest, ReportsProgressAndCanBeStopped) {
  const EncodeResult png = EncodePng(Numbered(64, 300));
  std::vector<int> seen;
  DecodeOptions options;
  options.progress = [&](int p) { return seen.push_back(p), true; };
  ASSERT_TRUE(DecodePng(Span(png.bytes), options).Ok());
  EXPECT_EQ(seen.front(), 0);
  EXPECT_EQ(seen.back(), 100);
  EXPECT_GT(seen.size(), 3u);
  options.progress = [](int p) { return p == 0; };
  EXPECT_EQ(DecodePng(Span(png.bytes), options).error, ImageError::Cancelled);
}

}  // namespace
}  // namespace tonbo::img
