// Damaged, empty, absurd and foreign files give a reason, never a crash.
#include <gtest/gtest.h>

#include <functional>

#include "Pictures.h"
#include "preview/imaging/Codecs.h"

namespace tonbo::img {
namespace {

using test::Bytes;
using test::Photo;

using Maker = std::function<std::vector<uint8_t>()>;

std::vector<uint8_t> Cut(std::vector<uint8_t> v, std::size_t keep) {
  v.resize(std::min(keep, v.size()));
  return v;
}

void PutBe16(std::vector<uint8_t>& v, std::size_t at, int x) {
  v[at] = uint8_t(x >> 8);
  v[at + 1] = uint8_t(x);
}

void PutBe32(std::vector<uint8_t>& v, std::size_t at, uint32_t x) {
  PutBe16(v, at, int(x >> 16));
  PutBe16(v, at + 2, int(x & 0xFFFF));
}

void PutLe32(std::vector<uint8_t>& v, std::size_t at, uint32_t x) {
  for (int i = 0; i < 4; ++i) v[at + i] = uint8_t(x >> (8 * i));
}

std::vector<uint8_t> Jpeg() { return EncodeJpeg(Photo(40, 30)).bytes; }
std::vector<uint8_t> Png() { return EncodePng(Photo(40, 30)).bytes; }
std::vector<uint8_t> Bmp() { return EncodeBmp(Photo(40, 30)).bytes; }

// Sets the frame size of a JPEG (height, then width, after the SOF marker).
std::vector<uint8_t> JpegSized(int w, int h) {
  auto v = Jpeg();
  for (std::size_t i = 0; i + 8 < v.size(); ++i)
    if (v[i] == 0xFF && v[i + 1] == 0xC0) {
      PutBe16(v, i + 5, h);
      PutBe16(v, i + 7, w);
      break;
    }
  return v;
}

std::vector<uint8_t> PngSized(uint32_t w, uint32_t h) {
  auto v = Png();
  PutBe32(v, 16, w);
  PutBe32(v, 20, h);
  return v;
}

std::vector<uint8_t> BmpSized(uint32_t w, uint32_t h) {
  auto v = Bmp();
  PutLe32(v, 18, w);
  PutLe32(v, 22, h);
  return v;
}

std::vector<uint8_t> IcoAround(std::vector<uint8_t> image) {
  Bytes ico;
  ico.u16(0).u16(1).u16(1).u8(16).u8(16).u8(0).u8(0).u16(1).u16(24).u32(image.size()).u32(22);
  return ico.append(image).v;
}

// A 40-byte icon header claiming the given size, with no pixels.
std::vector<uint8_t> IcoDibSized(uint32_t w, uint32_t h) {
  Bytes dib;
  dib.u32(40).u32(w).u32(2 * h).u16(1).u16(24).u32(0).u32(0).u32(0).u32(0).u32(0).u32(0);
  return IcoAround(dib.v);
}

std::vector<uint8_t> Text() {
  const std::string s = "This is not a picture at all, just some text.";
  return {s.begin(), s.end()};
}

struct BadCase {
  const char* name;
  PictureFormat format;
  Maker make;
  ImageError expected;
};

void PrintTo(const BadCase& c, std::ostream* os) { *os << c.name; }

class BadInputTest : public testing::TestWithParam<BadCase> {};

TEST_P(BadInputTest, FailsWithReason) {
  const std::vector<uint8_t> bytes = GetParam().make();
  const DecodeResult result = Decode(GetParam().format, ByteSpan(bytes.data(), bytes.size()));
  EXPECT_EQ(result.error, GetParam().expected) << Describe(result.error) << " " << result.detail;
  EXPECT_TRUE(result.bitmap.Empty());
  EXPECT_STRNE(Describe(result.error), "");
}

using F = PictureFormat;
using E = ImageError;

INSTANTIATE_TEST_SUITE_P(
    Files, BadInputTest,
    testing::Values(
        BadCase{"jpeg_empty", F::Jpeg, [] { return std::vector<uint8_t>{}; }, E::EmptyFile},
        BadCase{"jpeg_text", F::Jpeg, Text, E::NotThisFormat},
        BadCase{"jpeg_png_inside", F::Jpeg, Png, E::NotThisFormat},
        BadCase{"jpeg_cut_in_headers", F::Jpeg, [] { return Cut(Jpeg(), 100); }, E::Truncated},
        BadCase{"jpeg_cut_in_pixels", F::Jpeg,
                [] {
                  auto v = Jpeg();
                  return Cut(v, v.size() / 2);
                },
                E::Truncated},
        BadCase{"jpeg_huge", F::Jpeg, [] { return JpegSized(65535, 65535); }, E::TooLarge},
        BadCase{"jpeg_huge_but_allowed_size_without_data", F::Jpeg,
                [] { return JpegSized(10000, 10000); }, E::Truncated},
        BadCase{"jpeg_zero_width", F::Jpeg, [] { return JpegSized(0, 30); }, E::Corrupt},
        BadCase{"png_empty", F::Png, [] { return std::vector<uint8_t>{}; }, E::EmptyFile},
        BadCase{"png_text", F::Png, Text, E::NotThisFormat},
        BadCase{"png_cut_in_header", F::Png, [] { return Cut(Png(), 20); }, E::Truncated},
        BadCase{"png_cut_in_pixels", F::Png,
                [] {
                  auto v = Png();
                  return Cut(v, v.size() / 2);
                },
                E::Truncated},
        BadCase{"png_without_end", F::Png,
                [] {
                  auto v = Png();
                  return Cut(v, v.size() - 12);
                },
                E::Truncated},
        BadCase{"png_huge", F::Png, [] { return PngSized(100000, 100000); }, E::TooLarge},
        BadCase{"png_zero_height", F::Png, [] { return PngSized(40, 0); }, E::Corrupt},
        BadCase{"png_bad_checksum", F::Png,
                [] {
                  auto v = Png();
                  v[v.size() / 2] ^= 0x55;
                  return v;
                },
                E::Corrupt},
        BadCase{"bmp_empty", F::Bmp, [] { return std::vector<uint8_t>{}; }, E::EmptyFile},
        BadCase{"bmp_text", F::Bmp, Text, E::NotThisFormat},
        BadCase{"bmp_cut_in_header", F::Bmp, [] { return Cut(Bmp(), 30); }, E::Truncated},
        BadCase{"bmp_cut_in_pixels", F::Bmp,
                [] {
                  auto v = Bmp();
                  return Cut(v, v.size() - 10);
                },
                E::Truncated},
        BadCase{"bmp_huge", F::Bmp, [] { return BmpSized(100000, 100000); }, E::TooLarge},
        BadCase{"bmp_zero_width", F::Bmp, [] { return BmpSized(0, 30); }, E::Corrupt},
        BadCase{"bmp_odd_depth", F::Bmp,
                [] {
                  auto v = Bmp();
                  v[28] = 7;
                  return v;
                },
                E::Unsupported},
        BadCase{"bmp_rle_without_end", F::Bmp,
                [] {
                  auto v = Bmp();  // an 8-bit run-length picture whose codes stop early
                  v[28] = 8, v[30] = 1;
                  PutLe32(v, 10, 54 + 1024);
                  v.resize(54 + 1024);
                  for (int code : {2, 0, 0, 0}) v.push_back(uint8_t(code));  // a run, end of line
                  return v;
                },
                E::Truncated},
        BadCase{"ico_empty", F::Ico, [] { return std::vector<uint8_t>{}; }, E::EmptyFile},
        BadCase{"ico_text", F::Ico, Text, E::NotThisFormat},
        BadCase{"ico_cut_directory", F::Ico, [] { return Cut(IcoDibSized(16, 16), 12); },
                E::Truncated},
        BadCase{"ico_entry_beyond_file", F::Ico,
                [] {
                  auto v = IcoDibSized(16, 16);
                  v[18] = 0xF0;
                  return v;
                },
                E::Truncated},
        BadCase{"ico_huge", F::Ico, [] { return IcoDibSized(100000, 100000); }, E::TooLarge},
        BadCase{"ico_pixels_missing", F::Ico, [] { return IcoDibSized(16, 16); }, E::Truncated},
        BadCase{"ico_cut_png", F::Ico,
                [] {
                  auto v = Png();
                  return IcoAround(Cut(v, v.size() / 2));
                },
                E::Truncated},
        BadCase{"unknown_format", F::Unknown, Png, E::UnknownFormat}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BadInputTest, PixelLimitIsCheckedBeforeDecoding) {
  DecodeOptions options;
  options.maxPixels = 40 * 30 - 1;
  for (auto [format, bytes] : {std::pair{F::Jpeg, Jpeg()}, {F::Png, Png()}, {F::Bmp, Bmp()}})
    EXPECT_EQ(Decode(format, ByteSpan(bytes.data(), bytes.size()), options).error, E::TooLarge);
}

TEST(BadInputTest, NoByteFlipCrashesAnyDecoder) {
  // Every single-byte corruption of small files: each must end in a result.
  for (auto [format, good] :
       {std::pair{F::Jpeg, Jpeg()}, {F::Png, Png()}, {F::Bmp, Bmp()}, {F::Ico, IcoAround(Png())}}) {
    for (std::size_t i = 0; i < std::min<std::size_t>(good.size(), 700); ++i) {
      std::vector<uint8_t> bad = good;
      bad[i] ^= 0xA5;
      const DecodeResult r = Decode(format, ByteSpan(bad.data(), bad.size()));
      EXPECT_EQ(r.Ok(), !r.bitmap.Empty()) << "byte " << i;
    }
  }
}

}  // namespace
}  // namespace tonbo::img
