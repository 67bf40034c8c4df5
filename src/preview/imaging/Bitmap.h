#pragma once
// The 24-bit picture every image operation and codec works on: rows from the
// top, pixels blue-green-red, each row padded to a multiple of 4 bytes.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "common/Errors.h"

namespace tonbo::img {

struct Bgr {
  uint8_t b = 0, g = 0, r = 0;
  friend bool operator==(const Bgr&, const Bgr&) = default;
};

// Raised for an absent or empty picture where an operation needs pixels.
class EInvalidBitmap : public ETonboError {
 public:
  EInvalidBitmap();
};

// Pixel memory comes from malloc-style allocation (large pictures on huge
// pages); whoever takes it over releases it with std::free.
struct PixelDeleter {
  void operator()(uint8_t* p) const;
};
using PixelBuffer = std::unique_ptr<uint8_t[], PixelDeleter>;

class Bitmap {
 public:
  static constexpr int kBytesPerPixel = 3;

  Bitmap() = default;
  Bitmap(const Bitmap& other);
  Bitmap& operator=(const Bitmap& other);
  Bitmap(Bitmap&& other) noexcept;
  Bitmap& operator=(Bitmap&& other) noexcept;
  ~Bitmap() = default;

  // Gives the picture a new size. Zeroed pixels unless `zeroFill` is false,
  // which decoders use because they write every row anyway. Returns false
  // (and leaves the picture empty) when the memory cannot be had.
  bool Reset(int width, int height, bool zeroFill = true);
  void Clear();

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Empty() const { return width_ <= 0 || height_ <= 0; }
  // Bytes from one row to the next: width × 3 rounded up to 4.
  std::ptrdiff_t Stride() const { return stride_; }
  static std::ptrdiff_t StrideFor(int width);

  uint8_t* Row(int y) { return data_.get() + y * stride_; }
  const uint8_t* Row(int y) const { return data_.get() + y * stride_; }
  uint8_t* Data() { return data_.get(); }
  const uint8_t* Data() const { return data_.get(); }

  Bgr Pixel(int x, int y) const;
  void SetPixel(int x, int y, Bgr c);
  void Fill(Bgr c);

  // Hands the pixel memory to a new owner (the QImage bridge); the picture
  // becomes empty.
  PixelBuffer ReleaseData();

  // Called after an operation changed the pixels in place, so that a view
  // showing the picture can repaint. Not copied with the picture.
  void SetChangeHandler(std::function<void()> handler) { onChange_ = std::move(handler); }
  void NotifyChanged() const;

  // Same size and same pixels (row padding is not compared).
  friend bool operator==(const Bitmap& a, const Bitmap& b);

 private:
  int width_ = 0;
  int height_ = 0;
  std::ptrdiff_t stride_ = 0;
  PixelBuffer data_;
  std::function<void()> onChange_;
};

// The row addresses of a picture, index 0 the top row. Building it for an
// empty picture raises EInvalidBitmap.
class ScanlineTable {
 public:
  explicit ScanlineTable(Bitmap& bitmap);
  uint8_t* operator[](int y) const { return rows_[static_cast<std::size_t>(y)]; }
  int Size() const { return static_cast<int>(rows_.size()); }

 private:
  std::vector<uint8_t*> rows_;
};

}  // namespace tonbo::img
