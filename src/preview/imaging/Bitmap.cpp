#include "preview/imaging/Bitmap.h"

#include <sys/mman.h>

#include <cstdlib>
#include <cstring>
#include <new>

namespace tonbo::img {
namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;

// Large pictures go on huge pages: a 24-megapixel picture then costs a few
// dozen page faults instead of eighteen thousand when it is first written.
uint8_t* AllocatePixels(std::size_t bytes, bool zeroFill) {
  if (bytes < kHugePage)
    return static_cast<uint8_t*>(zeroFill ? std::calloc(bytes, 1) : std::malloc(bytes));
  const std::size_t rounded = (bytes + kHugePage - 1) & ~(kHugePage - 1);
  void* p = std::aligned_alloc(kHugePage, rounded);
  if (!p) return nullptr;
  madvise(p, rounded, MADV_HUGEPAGE);  // a hint; failure only costs speed
  if (zeroFill) std::memset(p, 0, bytes);
  return static_cast<uint8_t*>(p);
}

}  // namespace

void PixelDeleter::operator()(uint8_t* p) const { std::free(p); }

EInvalidBitmap::EInvalidBitmap() : ETonboError("ビットマップが不正です。") {}

std::ptrdiff_t Bitmap::StrideFor(int width) {
  return (static_cast<std::ptrdiff_t>(width) * kBytesPerPixel + 3) & ~std::ptrdiff_t{3};
}

Bitmap::Bitmap(const Bitmap& other) { *this = other; }

Bitmap& Bitmap::operator=(const Bitmap& other) {
  if (this == &other) return *this;
  if (other.Empty()) {
    Clear();
    return *this;
  }
  if (!Reset(other.width_, other.height_, false)) throw std::bad_alloc();
  std::memcpy(data_.get(), other.data_.get(), static_cast<std::size_t>(stride_) * height_);
  return *this;
}

Bitmap::Bitmap(Bitmap&& other) noexcept { *this = std::move(other); }

Bitmap& Bitmap::operator=(Bitmap&& other) noexcept {
  if (this == &other) return *this;
  width_ = other.width_;
  height_ = other.height_;
  stride_ = other.stride_;
  data_ = std::move(other.data_);
  other.width_ = other.height_ = 0;
  other.stride_ = 0;
  return *this;
}

bool Bitmap::Reset(int width, int height, bool zeroFill) {
  Clear();
  if (width <= 0 || height <= 0) return true;
  const std::ptrdiff_t stride = StrideFor(width);
  const std::size_t bytes = static_cast<std::size_t>(stride) * static_cast<std::size_t>(height);
  // Uninitialised on request: a large picture's pages are only committed as
  // the decoder writes them, so a lying header costs no real memory.
  data_.reset(AllocatePixels(bytes, zeroFill));
  if (!data_) return false;
  width_ = width;
  height_ = height;
  stride_ = stride;
  return true;
}

void Bitmap::Clear() {
  data_.reset();
  width_ = height_ = 0;
  stride_ = 0;
}

Bgr Bitmap::Pixel(int x, int y) const {
  const uint8_t* p = Row(y) + std::ptrdiff_t{x} * kBytesPerPixel;
  return {p[0], p[1], p[2]};
}

void Bitmap::SetPixel(int x, int y, Bgr c) {
  uint8_t* p = Row(y) + std::ptrdiff_t{x} * kBytesPerPixel;
  p[0] = c.b;
  p[1] = c.g;
  p[2] = c.r;
}

void Bitmap::Fill(Bgr c) {
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x) SetPixel(x, y, c);
}

PixelBuffer Bitmap::ReleaseData() {
  auto data = std::move(data_);
  Clear();
  return data;
}

void Bitmap::NotifyChanged() const {
  if (onChange_) onChange_();
}

bool operator==(const Bitmap& a, const Bitmap& b) {
  if (a.width_ != b.width_ || a.height_ != b.height_) return false;
  const std::size_t rowBytes = static_cast<std::size_t>(a.width_) * Bitmap::kBytesPerPixel;
  for (int y = 0; y < a.height_; ++y)
    if (std::memcmp(a.Row(y), b.Row(y), rowBytes) != 0) return false;
  return true;
}

ScanlineTable::ScanlineTable(Bitmap& bitmap) {
  if (bitmap.Empty()) throw EInvalidBitmap();
  rows_.resize(static_cast<std::size_t>(bitmap.Height()));
  for (int y = 0; y < bitmap.Height(); ++y) rows_[static_cast<std::size_t>(y)] = bitmap.Row(y);
}

}  // namespace tonbo::img
