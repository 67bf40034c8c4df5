#include "preview/imaging/BmpFilter.h"

#include <algorithm>
#include <array>
#include <cstring>
#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif
#include <vector>

namespace tonbo::img {
namespace {

// Offsets within a row are counted as wide as the stride.
constexpr std::ptrdiff_t kPx = Bitmap::kBytesPerPixel;

// One row of GrayScale. With t = 30 r + 59 g + 11 b + 50 (at most 25550),
// t / 100 rounded down is (t × 5243) >> 19 exactly in that range; a sum
// that was a half (t a multiple of 100) whose upper neighbour is odd goes
// down to the even one. Whole-number arithmetic on every pixel alike, so the
// compiler turns the loop into vector code (AVX2 where the processor has it).
__attribute__((target_clones("avx2", "default"))) void GreyRow(uint8_t* __restrict p, int w) {
  for (std::ptrdiff_t x = 0; x < w; ++x) {
    const uint32_t t = 30u * p[3 * x + 2] + 59u * p[3 * x + 1] + 11u * p[3 * x] + 50u;
    const uint32_t up = (t * 5243u) >> 19;
    const auto g = static_cast<uint8_t>(up - ((t == 100u * up) & up & 1u));
    p[3 * x] = g;
    p[3 * x + 1] = g;
    p[3 * x + 2] = g;
  }
}

// Rotation works in square tiles so that reads and writes both stay in cache.
constexpr int kTile = 64;

// Copies a pixel as one 4-byte move; the fourth byte lands on a pixel that
// is written later.
inline void CopyWide(uint8_t* to, const uint8_t* from) {
  uint32_t v;
  std::memcpy(&v, from, 4);
  std::memcpy(to, &v, 4);
}

inline void CopyPixel(uint8_t* to, const uint8_t* from) {
  to[0] = from[0];
  to[1] = from[1];
  to[2] = from[2];
}

// One tile: source rows y0..y1-1, columns x0..x1-1, walked along source rows
// (clockwise from the bottom of the tile up). Source row k becomes result
// column H-1-k (clockwise) or k (anticlockwise), so a wide move spills onto
// the next result column, which a later source row overwrites. Narrow moves
// are kept for the row whose neighbour column is already finished (the tile
// above, clockwise) or missing (the last one, anticlockwise), and for the
// picture's very last pixel, whose fourth byte would lie past the memory.
template <bool kRight>
void RotateTile(const ScanlineTable& src, int w, Bitmap& dst, int x0, int y0) {
  const int h = src.Size();
  const int x1 = std::min(x0 + kTile, w), y1 = std::min(y0 + kTile, h);
  const std::ptrdiff_t step = kRight ? dst.Stride() : -dst.Stride();
  for (int i = 0; i < y1 - y0; ++i) {
    const int k = kRight ? y1 - 1 - i : y0 + i;
    const bool narrow = kRight ? k == y0 : k == h - 1;
    const int wideEnd = narrow ? x0 : (k == h - 1 && x1 == w ? x1 - 1 : x1);
    const uint8_t* p = src[k] + x0 * kPx;
    uint8_t* q = dst.Row(kRight ? x0 : w - 1 - x0) + (kRight ? h - 1 - k : k) * kPx;
    int r = x0;
    for (; r < wideEnd; ++r, p += kPx, q += step) CopyWide(q, p);
    for (; r < x1; ++r, p += kPx, q += step) CopyPixel(q, p);
  }
}

#if defined(__x86_64__) || defined(__i386__)
// Rotation four by four pixels in vector registers where the processor has
// SSSE3: four source rows' 12 bytes are spread to 4-byte lanes, transposed as
// a 4 × 4 block of lanes and packed back into four result rows, so every
// read and write moves 12 bytes instead of one pixel. Result column j comes
// from source row h-1-j (clockwise) or j (anticlockwise), result row from
// source column x or w-1-x.
constexpr int kBlockTile = 64;

struct RotateGeometry {
  const ScanlineTable& src;
  Bitmap& dst;
  int w, h;
  bool right;
  const uint8_t* SourceRow(int j) const { return src[right ? h - 1 - j : j]; }
  uint8_t* ResultRow(int x) const { return dst.Row(right ? x : w - 1 - x); }
};

// Moves source columns x..x+3 of result columns j..j+3; out[c] is where
// result row x+c's pixel j goes. Stores 16 bytes there: the last four belong
// to pixels j+4 and j+5, which must exist and are written later.
__attribute__((target("ssse3"))) void RotateBlock(const RotateGeometry& g, int x, int j,
                                                  uint8_t* const out[4]) {
  alignas(16) static constexpr int8_t kSpread[16] = {0, 1, 2, -1, 3, 4,  5,  -1,
                                                     6, 7, 8, -1, 9, 10, 11, -1};
  alignas(16) static constexpr int8_t kPack[16] = {0,  1,  2,  4,  5,  6,  8,  9,
                                                   10, 12, 13, 14, -1, -1, -1, -1};
  const __m128i spread = _mm_load_si128(reinterpret_cast<const __m128i*>(kSpread));
  const __m128i pack = _mm_load_si128(reinterpret_cast<const __m128i*>(kPack));
  __m128i a[4];
  for (int i = 0; i < 4; ++i)
    a[i] = _mm_shuffle_epi8(
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(g.SourceRow(j + i) + x * kPx)), spread);
  const __m128i t0 = _mm_unpacklo_epi32(a[0], a[1]), t1 = _mm_unpacklo_epi32(a[2], a[3]);
  const __m128i t2 = _mm_unpackhi_epi32(a[0], a[1]), t3 = _mm_unpackhi_epi32(a[2], a[3]);
  const __m128i col[4] = {_mm_unpacklo_epi64(t0, t1), _mm_unpackhi_epi64(t0, t1),
                          _mm_unpacklo_epi64(t2, t3), _mm_unpackhi_epi64(t2, t3)};
  for (int c = 0; c < 4; ++c)
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out[c]), _mm_shuffle_epi8(col[c], pack));
}

// One tile: source columns x0.., result columns j0... Blocks go as far as
// whole 16-byte reads stay inside a source row and the spill of each write
// lands on pixels written later; the rest goes pixel by pixel.
__attribute__((target("ssse3"))) void RotateTileBlocks(const RotateGeometry& g, int x0, int j0) {
  const int x1 = std::min(x0 + kBlockTile, g.w), j1 = std::min(j0 + kBlockTile, g.h);
  int xs = x0, js = j0;
  while (xs + 4 <= x1 && xs + 6 <= g.w) xs += 4;
  while (js + 4 <= j1 && js + 6 <= g.h) js += 4;
  for (int j = j0; j < js; j += 4)
    for (int x = x0; x < xs; x += 4) {
      uint8_t* const out[4] = {g.ResultRow(x) + j * kPx, g.ResultRow(x + 1) + j * kPx,
                               g.ResultRow(x + 2) + j * kPx, g.ResultRow(x + 3) + j * kPx};
      RotateBlock(g, x, j, out);
    }
  for (int x = x0; x < x1; ++x)
    for (int j = x < xs ? js : j0; j < j1; ++j)
      CopyPixel(g.ResultRow(x) + j * kPx, g.SourceRow(j) + x * kPx);
}

// A tile well inside the picture is put together in a buffer that stays in
// the first-level cache and then streamed to the result a whole row piece at
// a time, past the caches, so that the result's memory is never read first.
// Needs result rows on 16-byte boundaries.
constexpr int kStreamRow = kBlockTile * kPx;
static_assert(kStreamRow % 16 == 0, "each tile's row piece starts on a 16-byte boundary");

// Returns false for a tile at the picture's edge (the last block's 16-byte
// reads must stay inside the source row).
__attribute__((target("ssse3"))) bool StreamTile(const RotateGeometry& g, int x0, int j0) {
  if (x0 + kBlockTile + 2 > g.w || j0 + kBlockTile > g.h) return false;
  alignas(64) uint8_t buffer[kBlockTile][kStreamRow + 16];
  for (int j = 0; j < kBlockTile; j += 4)
    for (int x = 0; x < kBlockTile; x += 4) {
      uint8_t* const out[4] = {buffer[x] + j * kPx, buffer[x + 1] + j * kPx,
                               buffer[x + 2] + j * kPx, buffer[x + 3] + j * kPx};
      RotateBlock(g, x0 + x, j0 + j, out);
    }
  for (int x = 0; x < kBlockTile; ++x) {
    auto* to = reinterpret_cast<__m128i*>(g.ResultRow(x0 + x) + j0 * kPx);
    for (std::ptrdiff_t k = 0; k < kStreamRow / 16; ++k)
      _mm_stream_si128(to + k,
                       _mm_loadu_si128(reinterpret_cast<const __m128i*>(buffer[x] + 16 * k)));
  }
  return true;
}

bool HasSsse3() {
  static const bool has = __builtin_cpu_supports("ssse3");
  return has;
}

// Returns false where the processor lacks the instructions.
bool RotateInBlocks(const ScanlineTable& src, int w, Bitmap& dst, bool right) {
  if (!HasSsse3()) return false;
  const RotateGeometry g{src, dst, w, src.Size(), right};
  const bool stream =
      dst.Stride() % 16 == 0 && reinterpret_cast<std::uintptr_t>(dst.Data()) % 16 == 0;
  for (int j0 = 0; j0 < g.h; j0 += kBlockTile)
    for (int x0 = 0; x0 < w; x0 += kBlockTile)
      if (!stream || !StreamTile(g, x0, j0)) RotateTileBlocks(g, x0, j0);
  _mm_sfence();
  return true;
}
#else
bool RotateInBlocks(const ScanlineTable&, int, Bitmap&, bool) { return false; }
#endif

using V16 = uint8_t __attribute__((vector_size(16)));

// Complements 64 bytes a step in vector registers, the rest byte by byte.
void ComplementBytes(uint8_t* p, std::size_t n) {
  std::size_t i = 0;
  for (; i + 64 <= n; i += 64) {
    V16 v[4];
    std::memcpy(v, p + i, 64);
    for (V16& x : v) x = ~x;
    std::memcpy(p + i, v, 64);
  }
  for (; i < n; ++i) p[i] = static_cast<uint8_t>(~p[i]);
}

}  // namespace

void Negaposi(Bitmap& bitmap) {
  if (bitmap.Empty()) return;
  // The rows lie end to end: the whole memory is complemented at once, the
  // padding bytes with it, which nothing reads.
  ComplementBytes(bitmap.Data(), static_cast<std::size_t>(bitmap.Stride()) * bitmap.Height());
  bitmap.NotifyChanged();
}

void GrayScale(Bitmap& bitmap) {
  if (bitmap.Empty()) return;
  for (int y = 0; y < bitmap.Height(); ++y) GreyRow(bitmap.Row(y), bitmap.Width());
  bitmap.NotifyChanged();
}

void FlipHorizontal(Bitmap& bitmap) {
  if (bitmap.Empty()) return;
  const int w = bitmap.Width();
  for (int y = 0; y < bitmap.Height(); ++y) {
    uint8_t* row = bitmap.Row(y);
    for (int j = 0; j <= (w - 1) / 2; ++j) {
      uint8_t* a = row + j * kPx;
      uint8_t* b = row + (w - 1 - j) * kPx;
      std::swap(a[0], b[0]);
      std::swap(a[1], b[1]);
      std::swap(a[2], b[2]);
    }
  }
  bitmap.NotifyChanged();
}

void FlipVertical(Bitmap& bitmap) {
  if (bitmap.Empty()) return;
  const std::size_t stride = static_cast<std::size_t>(bitmap.Stride());
  std::vector<uint8_t> buffer(stride);
  const int h = bitmap.Height();
  for (int i = 0; i <= (h - 1) / 2; ++i) {
    uint8_t* top = bitmap.Row(i);
    uint8_t* bottom = bitmap.Row(h - 1 - i);
    std::memcpy(buffer.data(), top, stride);
    std::memcpy(top, bottom, stride);
    std::memcpy(bottom, buffer.data(), stride);
  }
  bitmap.NotifyChanged();
}

void Rotate90(Bitmap& bitmap, bool right) {
  const ScanlineTable rows(bitmap);  // raises on an empty picture
  const int w = bitmap.Width(), h = bitmap.Height();
  Bitmap result;
  if (!result.Reset(h, w, false)) throw std::bad_alloc();
  if (!RotateInBlocks(rows, w, result, right))
    for (int y0 = 0; y0 < h; y0 += kTile)
      for (int x0 = 0; x0 < w; x0 += kTile)
        right ? RotateTile<true>(rows, w, result, x0, y0)
              : RotateTile<false>(rows, w, result, x0, y0);
  bitmap = std::move(result);
  bitmap.NotifyChanged();
}

}  // namespace tonbo::img
