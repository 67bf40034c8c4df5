#include "preview/imaging/SepiaF.h"

#include <algorithm>
#include <cstdint>
#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif
#include <vector>

namespace tonbo::img {
namespace {

// With Cb and Cr fixed, each output channel is trunc(Y × 255 + c + 0.5) for
// a constant c, and Y × 255 = s / 1000 with s = 299 r + 587 g + 114 b. None
// of the constants comes within 0.00007 of a whole number after adding any
// s / 1000, so whole-number arithmetic on s gives exactly the bytes the
// floating-point formula gives (the tests compare the two on every colour):
//   red   = s / 1000 + 25.894073  -> (s + 25894) div 1000
//   green = s / 1000 - 5.354137   -> (s - 5355) div 1000, 0 below
//   blue  = s / 1000 - 34.8532    -> (s - 34854) div 1000, 0 below
// The three quotients share s div 1000 and differ by whether the remainder
// reaches the point where the constant's fraction carries over
// (1000 - 894 = 106, 1000 - 645 = 355, 1000 - 146 = 854). Red can only
// overflow and green and blue only fall below zero.
}  // namespace

YCbCr RgbToYCbCr(double r, double g, double b) {
  return {0.299 * r + 0.587 * g + 0.114 * b, -0.1686 * r - 0.3311 * g + 0.4997 * b,
          0.4998 * r - 0.4185 * g - 0.0813 * b};
}

void YCbCrToRgb(const YCbCr& c, double& r, double& g, double& b) {
  r = c.y + 1.4026 * c.cr;
  g = c.y - 0.3444 * c.cb - 0.7114 * c.cr;
  b = c.y + 1.733 * c.cb;
}

namespace {

// The toned pixel (blue, green, red in the low three bytes) for every s.
const std::vector<uint32_t>& SepiaTable() {
  static const std::vector<uint32_t> table = [] {
    std::vector<uint32_t> t(255001);
    for (unsigned s = 0; s < t.size(); ++s) {
      const int q = static_cast<int>(s / 1000), rest = static_cast<int>(s % 1000);
      const auto r = static_cast<uint32_t>(std::min(q + 25 + (rest >= 106), 255));
      const auto g = static_cast<uint32_t>(std::max(q - 6 + (rest >= 355), 0));
      const auto b = static_cast<uint32_t>(std::max(q - 35 + (rest >= 854), 0));
      t[s] = b | g << 8 | r << 16;
    }
    return t;
  }();
  return table;
}

#if defined(__x86_64__) || defined(__i386__)
// Sixteen pixels a step in SSE4.1 registers, where the processor has it:
// the 48 bytes are sorted into blue, green and red by byte shuffles, s is
// summed in 32-bit lanes, s div 1000 is taken through single precision
// ((s + 0.5) / 1000 lies at least 0.0005 from a whole number, far more than
// the rounding error for s up to 255000), and packing with saturation does
// the clamping to 0..255.
struct ShuffleMasks {
  // in[c][k]: bytes of channel c found in input register k; out[k][c]: bytes
  // of channel c that output register k takes. -128 leaves a zero.
  alignas(16) int8_t in[3][3][16];
  alignas(16) int8_t out[3][3][16];
};

constexpr ShuffleMasks MakeMasks() {
  ShuffleMasks m{};
  for (int c = 0; c < 3; ++c)
    for (int k = 0; k < 3; ++k)
      for (int i = 0; i < 16; ++i) {
        const int j = 3 * i + c;  // input byte of pixel i, channel c
        m.in[c][k][i] = static_cast<int8_t>(j / 16 == k ? j % 16 : -128);
        const int o = 16 * k + i;  // output byte
        m.out[k][c][i] = static_cast<int8_t>(o % 3 == c ? o / 3 : -128);
      }
  return m;
}

constexpr ShuffleMasks kMasks = MakeMasks();

__attribute__((target("sse4.1"))) __m128i Gather(const __m128i v[3], const int8_t (*m)[16]) {
  const auto mask = [&](int k) { return _mm_load_si128(reinterpret_cast<const __m128i*>(m[k])); };
  return _mm_or_si128(
      _mm_or_si128(_mm_shuffle_epi8(v[0], mask(0)), _mm_shuffle_epi8(v[1], mask(1))),
      _mm_shuffle_epi8(v[2], mask(2)));
}

// Four pixels' channels (32-bit lanes) from four 16-bit blue, green, red values.
__attribute__((target("sse4.1"))) void ToneFour(__m128i b16, __m128i g16, __m128i r16, __m128i& r,
                                                __m128i& g, __m128i& b) {
  const __m128i rg = _mm_unpacklo_epi16(r16, g16);
  const __m128i b0 = _mm_unpacklo_epi16(b16, _mm_setzero_si128());
  const __m128i s = _mm_add_epi32(_mm_madd_epi16(rg, _mm_set1_epi32(299 | 587 << 16)),
                                  _mm_madd_epi16(b0, _mm_set1_epi32(114)));
  const __m128 sf = _mm_cvtepi32_ps(s);
  const __m128i q =
      _mm_cvttps_epi32(_mm_mul_ps(_mm_add_ps(sf, _mm_set1_ps(0.5f)), _mm_set1_ps(0.001f)));
  const __m128i rest = _mm_sub_epi32(s, _mm_mullo_epi32(q, _mm_set1_epi32(1000)));
  const auto past = [&](int edge) { return _mm_cmpgt_epi32(rest, _mm_set1_epi32(edge - 1)); };
  r = _mm_sub_epi32(_mm_add_epi32(q, _mm_set1_epi32(25)), past(106));
  g = _mm_sub_epi32(_mm_sub_epi32(q, _mm_set1_epi32(6)), past(355));
  b = _mm_sub_epi32(_mm_sub_epi32(q, _mm_set1_epi32(35)), past(854));
}

// Returns the number of pixels toned (a multiple of sixteen).
__attribute__((target("sse4.1"))) int SepiaRowSse41(uint8_t* p, int w) {
  int x = 0;
  for (; x + 16 <= w; x += 16, p += 48) {
    __m128i v[3];
    for (std::ptrdiff_t k = 0; k < 3; ++k)
      v[k] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * k));
    const __m128i ch[3] = {Gather(v, kMasks.in[0]), Gather(v, kMasks.in[1]),
                           Gather(v, kMasks.in[2])};
    __m128i part[3][4];  // red, green, blue of pixels 0-3, 4-7, 8-11, 12-15
    const __m128i zero = _mm_setzero_si128();
    for (std::ptrdiff_t half = 0; half < 2; ++half) {
      const auto widen = [&](__m128i c) {
        return half ? _mm_unpackhi_epi8(c, zero) : _mm_unpacklo_epi8(c, zero);
      };
      const __m128i b16 = widen(ch[0]), g16 = widen(ch[1]), r16 = widen(ch[2]);
      ToneFour(b16, g16, r16, part[0][2 * half], part[1][2 * half], part[2][2 * half]);
      ToneFour(_mm_srli_si128(b16, 8), _mm_srli_si128(g16, 8), _mm_srli_si128(r16, 8),
               part[0][2 * half + 1], part[1][2 * half + 1], part[2][2 * half + 1]);
    }
    __m128i out[3];  // blue, green, red bytes of the sixteen pixels
    for (int c = 0; c < 3; ++c) {
      const __m128i* q = part[2 - c];
      out[c] = _mm_packus_epi16(_mm_packs_epi32(q[0], q[1]), _mm_packs_epi32(q[2], q[3]));
    }
    for (std::ptrdiff_t k = 0; k < 3; ++k)
      _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 16 * k), Gather(out, kMasks.out[k]));
  }
  return x;
}

// Thirty-two pixels a step in AVX2 registers: each 128-bit half holds
// sixteen pixels and is sorted with the same byte shuffles as above. Each
// channel is (s + its constant) div 1000 (see the top of the file), taken as
// SepiaQuotient does in 16-bit lanes; the signed-to-unsigned packs turn a
// negative sum into 0 and a red above 255 into 255.
__attribute__((target("avx2"))) __m256i Gather(const __m256i v[3], const int8_t (*m)[16]) {
  __m256i r = _mm256_setzero_si256();
  for (int k = 0; k < 3; ++k) {
    const __m128i mask = _mm_load_si128(reinterpret_cast<const __m128i*>(m[k]));
    r = _mm256_or_si256(r, _mm256_shuffle_epi8(v[k], _mm256_broadcastsi128_si256(mask)));
  }
  return r;
}

// Sixteen 16-bit quotients (s + add) div 1000 from the sums of pixels 0-3
// and 4-7 of each half.
__attribute__((target("avx2"))) __m256i Quotient(__m256i sLo, __m256i sHi, int add) {
  const __m256i k = _mm256_set1_epi32(add);
  const __m256i y = _mm256_packus_epi32(_mm256_srai_epi32(_mm256_add_epi32(sLo, k), 3),
                                        _mm256_srai_epi32(_mm256_add_epi32(sHi, k), 3));
  return _mm256_srli_epi16(_mm256_mulhi_epu16(y, _mm256_set1_epi16(static_cast<int16_t>(33555u))),
                           6);
}

__attribute__((target("avx2"))) __m256i LoadHalves(const uint8_t* low, const uint8_t* high) {
  return _mm256_inserti128_si256(
      _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(low))),
      _mm_loadu_si128(reinterpret_cast<const __m128i*>(high)), 1);
}

__attribute__((target("avx2"))) __m256i Widen(__m256i c, int half) {
  const __m256i zero = _mm256_setzero_si256();
  return half ? _mm256_unpackhi_epi8(c, zero) : _mm256_unpacklo_epi8(c, zero);
}

// Returns the number of pixels toned (a multiple of thirty-two).
__attribute__((target("avx2"))) int SepiaRowAvx2(uint8_t* p, int w) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i rgWeights = _mm256_set1_epi32(299 | 587 << 16), bWeight = _mm256_set1_epi32(114);
  int x = 0;
  for (; x + 32 <= w; x += 32, p += 96) {
    __m256i v[3];
    for (std::ptrdiff_t k = 0; k < 3; ++k) v[k] = LoadHalves(p + 16 * k, p + 48 + 16 * k);
    const __m256i ch[3] = {Gather(v, kMasks.in[0]), Gather(v, kMasks.in[1]),
                           Gather(v, kMasks.in[2])};
    __m256i q[3][2];  // red, green, blue quotients of pixels 0-7 and 8-15 of each half
    for (int half = 0; half < 2; ++half) {
      const __m256i b16 = Widen(ch[0], half), g16 = Widen(ch[1], half), r16 = Widen(ch[2], half);
      const __m256i sLo =
          _mm256_add_epi32(_mm256_madd_epi16(_mm256_unpacklo_epi16(r16, g16), rgWeights),
                           _mm256_madd_epi16(_mm256_unpacklo_epi16(b16, zero), bWeight));
      const __m256i sHi =
          _mm256_add_epi32(_mm256_madd_epi16(_mm256_unpackhi_epi16(r16, g16), rgWeights),
                           _mm256_madd_epi16(_mm256_unpackhi_epi16(b16, zero), bWeight));
      q[0][half] = Quotient(sLo, sHi, 25894);
      q[1][half] = Quotient(sLo, sHi, -5355);
      q[2][half] = Quotient(sLo, sHi, -34854);
    }
    __m256i out[3];  // blue, green, red bytes of the pixels
    for (int c = 0; c < 3; ++c) out[c] = _mm256_packus_epi16(q[2 - c][0], q[2 - c][1]);
    for (std::ptrdiff_t k = 0; k < 3; ++k) {
      const __m256i o = Gather(out, kMasks.out[k]);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 16 * k), _mm256_castsi256_si128(o));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 48 + 16 * k), _mm256_extracti128_si256(o, 1));
    }
  }
  return x;
}

bool HasAvx2() {
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
}

bool HasSse41() {
  static const bool has = __builtin_cpu_supports("sse4.1");
  return has;
}
#else
int SepiaRowAvx2(uint8_t*, int) { return 0; }
bool HasAvx2() { return false; }
int SepiaRowSse41(uint8_t*, int) { return 0; }
bool HasSse41() { return false; }
#endif

}  // namespace

void Sepia(Bitmap& bitmap) {
  static_assert(kSepiaCb == -0.08 && kSepiaCr == 0.071, "the constants below derive from these");
  const uint32_t* table = SepiaTable().data();
  const bool avx2 = HasAvx2(), sse41 = HasSse41();
  const int w = bitmap.Width();
  for (int y = 0; y < bitmap.Height(); ++y) {
    uint8_t* p = bitmap.Row(y);
    int done = avx2 ? SepiaRowAvx2(p, w) : 0;
    if (sse41) done += SepiaRowSse41(p + std::ptrdiff_t{done} * Bitmap::kBytesPerPixel, w - done);
    p += std::ptrdiff_t{done} * Bitmap::kBytesPerPixel;
    for (int x = done; x < w; ++x, p += Bitmap::kBytesPerPixel) {
      const uint32_t c = table[299u * p[2] + 587u * p[1] + 114u * p[0]];
      p[0] = static_cast<uint8_t>(c);
      p[1] = static_cast<uint8_t>(c >> 8);
      p[2] = static_cast<uint8_t>(c >> 16);
    }
  }
  bitmap.NotifyChanged();
}

}  // namespace tonbo::img
