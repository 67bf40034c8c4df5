#include <gtest/gtest.h>

#include <jpeglib.h>

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

#include "Pictures.h"
#include "TestEnv.h"
#include "preview/imaging/Codecs.h"

namespace tonbo::img {
namespace {

using test::Photo;

ByteSpan Span(const std::vector<uint8_t>& v) { return {v.data(), v.size()}; }
std::vector<uint8_t> ToBytes(const std::string& s) { return {s.begin(), s.end()}; }
std::string ToString(const std::vector<uint8_t>& v) { return {v.begin(), v.end()}; }

std::size_t FindMarker(const std::vector<uint8_t>& jpeg, uint8_t marker) {
  for (std::size_t i = 0; i + 1 < jpeg.size(); ++i)
    if (jpeg[i] == 0xFF && jpeg[i + 1] == marker) return i;
  return std::string::npos;
}

double MeanDifference(const Bitmap& a, const Bitmap& b) {
  double total = 0;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x) {
      const Bgr p = a.Pixel(x, y), q = b.Pixel(x, y);
      total += std::abs(p.b - q.b) + std::abs(p.g - q.g) + std::abs(p.r - q.r);
    }
  return total / (3.0 * a.Width() * a.Height());
}

TEST(JpegTest, EncodesBaselineColourAtQuality90AndDecodesClose) {
  Bitmap original;
  original.Reset(64, 48);
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 64; ++x) original.SetPixel(x, y, {uint8_t(4 * x), uint8_t(5 * y), 90});
  const EncodeResult jpeg = EncodeJpeg(original);
  ASSERT_TRUE(jpeg.Ok()) << jpeg.detail;
  const std::size_t sof = FindMarker(jpeg.bytes, 0xC0);
  ASSERT_NE(sof, std::string::npos) << "baseline frame";
  EXPECT_EQ(FindMarker(jpeg.bytes, 0xC2), std::string::npos) << "no progressive frame";
  EXPECT_EQ(jpeg.bytes[sof + 9], 3) << "three components";
  // Quality 90 scales the standard luminance table to 20 %: 16 -> 3.
  const std::size_t dqt = FindMarker(jpeg.bytes, 0xDB);
  ASSERT_NE(dqt, std::string::npos);
  EXPECT_EQ(jpeg.bytes[dqt + 5], 3);

  const DecodeResult back = DecodeJpeg(Span(jpeg.bytes));
  ASSERT_TRUE(back.Ok()) << back.detail;
  EXPECT_EQ(back.warnings, 0);
  ASSERT_EQ(back.bitmap.Width(), 64);
  ASSERT_EQ(back.bitmap.Height(), 48);
  EXPECT_LT(MeanDifference(back.bitmap, original), 1.5);
}

bool HaveTool(const char* name) {
  return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0;
}

struct Variant {
  const char* name;
  const char* cjpegSwitches;
};

void PrintTo(const Variant& v, std::ostream* os) { *os << v.name; }

class JpegVariantTest : public testing::TestWithParam<Variant> {};

// libjpeg's own tools as the reference: cjpeg makes the variant from a BMP,
// djpeg decodes it to a BMP, and both decodings must agree to the bit.
TEST_P(JpegVariantTest, DecodesLikeDjpeg) {
  if (!HaveTool("cjpeg") || !HaveTool("djpeg")) GTEST_SKIP() << "libjpeg-turbo-progs missing";
  const std::string dir = tonbo::test::MakeTempDir("jpeg");
  tonbo::test::WriteFile(dir + "in.bmp", ToString(EncodeBmp(Photo(67, 45)).bytes));
  const std::string make = std::string("cjpeg ") + GetParam().cjpegSwitches + " -outfile " + dir +
                           "v.jpg " + dir + "in.bmp";
  const std::string reference = "djpeg -bmp -outfile " + dir + "ref.bmp " + dir + "v.jpg";
  ASSERT_EQ(std::system(make.c_str()), 0);
  ASSERT_EQ(std::system(reference.c_str()), 0);
  const DecodeResult ours = DecodeJpeg(Span(ToBytes(tonbo::test::ReadFile(dir + "v.jpg"))));
  const DecodeResult theirs = DecodeBmp(Span(ToBytes(tonbo::test::ReadFile(dir + "ref.bmp"))));
  ASSERT_TRUE(ours.Ok()) << ours.detail;
  ASSERT_TRUE(theirs.Ok());
  EXPECT_TRUE(ours.bitmap == theirs.bitmap);
}

INSTANTIATE_TEST_SUITE_P(
    Cjpeg, JpegVariantTest,
    testing::Values(Variant{"baseline", ""}, Variant{"progressive", "-progressive"},
                    Variant{"grayscale", "-grayscale"}, Variant{"no_subsampling", "-sample 1x1"},
                    Variant{"arithmetic", "-arithmetic"}, Variant{"restart_markers", "-restart 1"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(JpegTest, ReportsProgressFromZeroToHundred) {
  const EncodeResult jpeg = EncodeJpeg(Photo(256, 256));
  std::vector<int> seen;
  DecodeOptions options;
  options.progress = [&](int percent) {
    seen.push_back(percent);
    return true;
  };
  ASSERT_TRUE(DecodeJpeg(Span(jpeg.bytes), options).Ok());
  ASSERT_GE(seen.size(), 4u);
  EXPECT_EQ(seen.front(), 0);
  EXPECT_EQ(seen.back(), 100);
  EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
  EXPECT_EQ(std::adjacent_find(seen.begin(), seen.end()), seen.end()) << "each value once";
}

TEST(JpegTest, ProgressCallbackCanStopDecoding) {
  const EncodeResult jpeg = EncodeJpeg(Photo(256, 256));
  DecodeOptions stop;
  stop.progress = [](int percent) { return percent < 10; };
  const DecodeResult stopped = DecodeJpeg(Span(jpeg.bytes), stop);
  EXPECT_EQ(stopped.error, ImageError::Cancelled);
  EXPECT_TRUE(stopped.bitmap.Empty());
  DecodeOptions throwing;
  throwing.progress = [](int percent) -> bool {
    if (percent > 20) throw std::runtime_error("window closed");
    return true;
  };
  EXPECT_EQ(DecodeJpeg(Span(jpeg.bytes), throwing).error, ImageError::Cancelled);
}

TEST(JpegTest, CountsRecoverableDamageAndToleratesAMissingEndMarker) {
  std::vector<uint8_t> bytes = EncodeJpeg(Photo(32, 32)).bytes;
  std::vector<uint8_t> noEnd(bytes.begin(), bytes.end() - 2);
  const DecodeResult withoutEnd = DecodeJpeg(Span(noEnd));
  EXPECT_TRUE(withoutEnd.Ok()) << withoutEnd.detail;
  // Stray bytes before the pixel data: libjpeg skips them with a warning.
  bytes.insert(bytes.begin() + std::ptrdiff_t(FindMarker(bytes, 0xDA)), {0x00, 0x11, 0x22});
  const DecodeResult damaged = DecodeJpeg(Span(bytes));
  EXPECT_TRUE(damaged.Ok()) << damaged.detail;
  EXPECT_GT(damaged.warnings, 0);
}

// Writes a CMYK JPEG the way Adobe's programs do: inks stored inverted.
std::vector<uint8_t> AdobeCmykJpeg(const uint8_t cmyk[4], int size) {
  jpeg_compress_struct cinfo{};
  jpeg_error_mgr err{};
  cinfo.err = jpeg_std_error(&err);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long length = 0;
  jpeg_mem_dest(&cinfo, &buffer, &length);
  cinfo.image_width = cinfo.image_height = JDIMENSION(size);
  cinfo.input_components = 4;
  cinfo.in_color_space = JCS_CMYK;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 100, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<uint8_t> row;
  for (int x = 0; x < size; ++x) row.insert(row.end(), cmyk, cmyk + 4);
  JSAMPROW rows[1] = {row.data()};
  while (cinfo.next_scanline < cinfo.image_height) jpeg_write_scanlines(&cinfo, rows, 1);
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  std::vector<uint8_t> out(buffer, buffer + length);
  std::free(buffer);
  return out;
}

TEST(JpegTest, DecodesAdobeCmyk) {
  // Stored inverted: no cyan, full magenta and yellow, no black = red.
  const uint8_t red[4] = {255, 0, 0, 255};
  const DecodeResult result = DecodeJpeg(Span(AdobeCmykJpeg(red, 16)));
  ASSERT_TRUE(result.Ok()) << result.detail;
  const Bgr p = result.bitmap.Pixel(5, 5);
  EXPECT_GE(p.r, 250);
  EXPECT_LE(p.g, 5);
  EXPECT_LE(p.b, 5);
}

}  // namespace
}  // namespace tonbo::img
