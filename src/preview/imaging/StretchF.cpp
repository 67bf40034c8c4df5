#include "preview/imaging/StretchF.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace tonbo::img {
namespace {

// Offsets within a row are counted as wide as the stride.
constexpr std::ptrdiff_t kPx = Bitmap::kBytesPerPixel;

// Positions are the exact values of the fractions the passes are defined
// by, computed in integers: floating point would turn a whole position such
// as 1/49 × 49 into 0.99999… and weight the wrong pixel.

// Position i × num / den as a whole part and a 16-bit fraction.
struct LinearStep {
  int base;
  int weight;
};

std::vector<LinearStep> LinearSteps(int count, int num, int den) {
  std::vector<LinearStep> steps(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    const int64_t n = int64_t{i} * num;
    // A zero denominator (a one-pixel-wide destination) takes column 0.
    steps[static_cast<std::size_t>(i)] =
        den == 0 ? LinearStep{0, 0}
                 : LinearStep{static_cast<int>(n / den), static_cast<int>(((n % den) << 16) / den)};
  }
  return steps;
}

inline uint8_t Lerp(int a, int b, int weight) {
  // Arithmetic shift: floor of the signed product, so the value stays
  // between a and b also on a falling ramp.
  return static_cast<uint8_t>(a + (((b - a) * weight) >> 16));
}

// Area averaging of `from` source pixels into `to` destination pixels in
// 1/256 units: boundary i lies at start[i] + frac[i] / 256.
struct AreaSteps {
  std::vector<int> start;
  std::vector<int> frac;
  uint32_t scale = 1;
  std::vector<uint8_t> quotient;  // (sum × 256) div scale for every reachable sum

  AreaSteps(int from, int to) : start(static_cast<std::size_t>(to) + 1), frac(start.size()) {
    int maxRun = 0;
    for (int i = 0; i <= to; ++i) {
      const int64_t n = int64_t{i} * from;
      start[static_cast<std::size_t>(i)] = static_cast<int>(n / to);
      frac[static_cast<std::size_t>(i)] = static_cast<int>(((n % to) * 256) / to);
      if (i > 0) maxRun = std::max(maxRun, start[i] - start[i - 1]);
    }
    scale = static_cast<uint32_t>((int64_t{from} * 256) / to);
    // Every sum is at most 255 × (run + 1); beyond a few megabytes of table
    // (absurd reduction ratios) Divide falls back to the division itself.
    const int64_t maxSum = int64_t{255} * (maxRun + 1);
    if (maxSum <= (1 << 22)) {
      quotient.resize(static_cast<std::size_t>(maxSum) + 1);
      for (uint32_t s = 0; s < quotient.size(); ++s)
        quotient[s] = static_cast<uint8_t>((s * 256) / scale);
    }
  }

  uint8_t Divide(uint32_t sum) const {
    return sum < quotient.size() ? quotient[sum]
                                 : static_cast<uint8_t>((uint64_t{sum} * 256) / scale);
  }
};

void ShrinkRow(const uint8_t* src, uint8_t* dst, const AreaSteps& steps, int dW) {
  int a = 0, e = 0;
  for (int i = 0; i < dW; ++i) {
    const uint8_t* p = src + a * kPx;
    uint32_t s0 = (p[0] * (256u - e)) >> 8, s1 = (p[1] * (256u - e)) >> 8,
             s2 = (p[2] * (256u - e)) >> 8;
    const int next = steps.start[static_cast<std::size_t>(i) + 1];
    for (int k = steps.start[static_cast<std::size_t>(i)] + 1; k < next; ++k) {
      const uint8_t* q = src + k * kPx;
      s0 += q[0];
      s1 += q[1];
      s2 += q[2];
    }
    a = next;
    e = steps.frac[static_cast<std::size_t>(i) + 1];
    if (e != 0) {
      const uint8_t* q = src + a * kPx;
      s0 += (q[0] * static_cast<uint32_t>(e)) >> 8;
      s1 += (q[1] * static_cast<uint32_t>(e)) >> 8;
      s2 += (q[2] * static_cast<uint32_t>(e)) >> 8;
    }
    uint8_t* d = dst + i * kPx;
    d[0] = steps.Divide(s0);
    d[1] = steps.Divide(s1);
    d[2] = steps.Divide(s2);
  }
}

void AddRow(std::vector<uint32_t>& sum, const uint8_t* row, uint32_t weight) {
  for (std::size_t x = 0; x < sum.size(); ++x) sum[x] += (row[x] * weight) >> 8;
}

void AddFullRow(std::vector<uint32_t>& sum, const uint8_t* row) {
  for (std::size_t x = 0; x < sum.size(); ++x) sum[x] += row[x];
}

}  // namespace

void StretchHorzUp(const Bitmap& source, Bitmap& dest) {
  const int sW = source.Width(), dW = dest.Width();
  if (source.Empty() || dest.Empty() || source.Height() != dest.Height() || dW < sW) return;
  const auto steps = LinearSteps(dW, sW - 1, dW - 1);
  for (int y = 0; y < source.Height(); ++y) {
    const uint8_t* s = source.Row(y);
    uint8_t* d = dest.Row(y);
    for (int i = 0; i < dW; ++i, d += kPx) {
      const auto [base, weight] = steps[static_cast<std::size_t>(i)];
      const uint8_t* a = s + base * kPx;
      if (weight == 0) {
        std::memcpy(d, a, kPx);
        continue;
      }
      const uint8_t* b = a + kPx;
      d[0] = Lerp(a[0], b[0], weight);
      d[1] = Lerp(a[1], b[1], weight);
      d[2] = Lerp(a[2], b[2], weight);
    }
  }
}

void StretchVertUp(const Bitmap& source, Bitmap& dest) {
  const int sH = source.Height(), dH = dest.Height();
  if (source.Empty() || dest.Empty() || source.Width() != dest.Width() || dH < sH) return;
  // Divided by dH, not dH - 1: the last row stops short of the last source row.
  const auto steps = LinearSteps(dH, sH - 1, dH);
  const std::size_t rowBytes = static_cast<std::size_t>(source.Width()) * kPx;
  const uint8_t* lower = nullptr;
  for (int i = 0; i < dH; ++i) {
    const auto [base, weight] = steps[static_cast<std::size_t>(i)];
    const uint8_t* upper = source.Row(base);
    // The last row keeps the lower row of the row before it.
    if (i < dH - 1 && base + 1 < sH) lower = source.Row(base + 1);
    uint8_t* d = dest.Row(i);
    if (weight == 0 || lower == nullptr) {
      std::memcpy(d, upper, rowBytes);
      continue;
    }
    for (std::size_t x = 0; x < rowBytes; ++x) d[x] = Lerp(upper[x], lower[x], weight);
  }
}

void ShrinkHorz(const Bitmap& source, Bitmap& dest) {
  const int sW = source.Width(), dW = dest.Width();
  if (source.Empty() || dest.Empty() || source.Height() != dest.Height() || dW >= sW) return;
  const AreaSteps steps(sW, dW);
  for (int y = 0; y < source.Height(); ++y) ShrinkRow(source.Row(y), dest.Row(y), steps, dW);
}

void ShrinkVert(const Bitmap& source, Bitmap& dest) {
  const int sH = source.Height(), dH = dest.Height();
  if (source.Empty() || dest.Empty() || source.Width() != dest.Width() || dH >= sH) return;
  const AreaSteps steps(sH, dH);
  std::vector<uint32_t> sum(static_cast<std::size_t>(source.Width()) * kPx);
  int a = 0, e = 0;
  for (int i = 0; i < dH; ++i) {
    std::fill(sum.begin(), sum.end(), 0u);
    AddRow(sum, source.Row(a), 256u - static_cast<uint32_t>(e));
    const int next = steps.start[static_cast<std::size_t>(i) + 1];
    for (int k = steps.start[static_cast<std::size_t>(i)] + 1; k < next; ++k)
      AddFullRow(sum, source.Row(k));
    a = next;
    e = steps.frac[static_cast<std::size_t>(i) + 1];
    if (e != 0) AddRow(sum, source.Row(a), static_cast<uint32_t>(e));
    uint8_t* d = dest.Row(i);
    for (std::size_t x = 0; x < sum.size(); ++x) d[x] = steps.Divide(sum[x]);
  }
}

void StretchNearest(const Bitmap& source, Bitmap& dest) {
  if (source.Empty() || dest.Empty()) return;
  const int sW = source.Width(), sH = source.Height();
  const int dW = dest.Width(), dH = dest.Height();
  // trunc(i / d × (s - 1) + 0.5), exactly: floor((2 i (s - 1) + d) / 2 d).
  auto nearest = [](int i, int s, int d) {
    return static_cast<int>((2 * int64_t{i} * (s - 1) + d) / (2 * int64_t{d}));
  };
  std::vector<std::ptrdiff_t> col(static_cast<std::size_t>(dW));
  for (int i = 0; i < dW; ++i) col[static_cast<std::size_t>(i)] = nearest(i, sW, dW) * kPx;
  for (int j = 0; j < dH; ++j) {
    const uint8_t* s = source.Row(nearest(j, sH, dH));
    uint8_t* d = dest.Row(j);
    for (int i = 0; i < dW; ++i, d += kPx)
      std::memcpy(d, s + col[static_cast<std::size_t>(i)], kPx);
  }
}

void StretchBitmap(const Bitmap& source, Bitmap& dest, int mode) {
  if (source.Empty() || dest.Empty()) return;
  if (mode == smFast) {
    StretchNearest(source, dest);
    return;
  }
  if (mode != smQuality) return;
  Bitmap temp;
  if (!temp.Reset(dest.Width(), source.Height(), false)) throw std::bad_alloc();
  if (dest.Width() < source.Width())
    ShrinkHorz(source, temp);
  else
    StretchHorzUp(source, temp);
  if (dest.Height() < source.Height())
    ShrinkVert(temp, dest);
  else
    StretchVertUp(temp, dest);
}

}  // namespace tonbo::img
