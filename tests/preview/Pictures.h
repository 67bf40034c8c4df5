#pragma once
// Small exact pictures and byte builders for the imaging tests.
#include <cstdint>
#include <initializer_list>
#include <ostream>
#include <string>
#include <vector>

#include "preview/imaging/Bitmap.h"

namespace tonbo::img {

inline std::ostream& operator<<(std::ostream& os, const Bgr& c) {
  return os << "(b" << int(c.b) << " g" << int(c.g) << " r" << int(c.r) << ")";
}

// Prints the pixels so a failing comparison shows which one differs.
inline void PrintTo(const Bitmap& b, std::ostream* os) {
  *os << b.Width() << "x" << b.Height() << ":";
  for (int y = 0; y < b.Height(); ++y) {
    *os << "\n  ";
    for (int x = 0; x < b.Width(); ++x) *os << b.Pixel(x, y) << " ";
  }
}

}  // namespace tonbo::img

namespace tonbo::img::test {

// Rows from the top, pixels left to right.
inline Bitmap MakeBitmap(int width, int height, std::initializer_list<Bgr> pixels) {
  Bitmap b;
  b.Reset(width, height);
  auto it = pixels.begin();
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) b.SetPixel(x, y, *it++);
  return b;
}

inline Bgr Grey(int v) { return {uint8_t(v), uint8_t(v), uint8_t(v)}; }

// One channel value per pixel in all three channels.
inline Bitmap GreyBitmap(int width, int height, std::initializer_list<int> values) {
  Bitmap b;
  b.Reset(width, height);
  auto it = values.begin();
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) b.SetPixel(x, y, Grey(*it++));
  return b;
}

// The blue channel of every pixel, rows from the top.
inline std::vector<int> Blues(const Bitmap& b) {
  std::vector<int> out;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) out.push_back(b.Pixel(x, y).b);
  return out;
}

// A picture where every pixel differs: handy to see where each one went.
inline Bitmap Numbered(int width, int height) {
  Bitmap b;
  b.Reset(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      b.SetPixel(x, y, {uint8_t(x), uint8_t(y), uint8_t(7 * x + 13 * y)});
  return b;
}

// A smooth, photo-like picture with some fine detail.
inline Bitmap Photo(int width, int height) {
  Bitmap b;
  b.Reset(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      b.SetPixel(x, y,
                 {uint8_t((x * 255) / width), uint8_t((y * 255) / height),
                  uint8_t(128 + ((x * y) % 61) - 30)});
  return b;
}

// Little-endian byte builder for hand-made files.
struct Bytes {
  std::vector<uint8_t> v;
  Bytes& u8(int x) { return v.push_back(uint8_t(x)), *this; }
  Bytes& u16(int x) { return u8(x & 0xFF).u8((x >> 8) & 0xFF); }
  Bytes& u32(int64_t x) { return u16(int(x & 0xFFFF)).u16(int((x >> 16) & 0xFFFF)); }
  Bytes& raw(std::initializer_list<int> xs) {
    for (int x : xs) u8(x);
    return *this;
  }
  Bytes& append(const std::vector<uint8_t>& other) {
    v.insert(v.end(), other.begin(), other.end());
    return *this;
  }
};

}  // namespace tonbo::img::test
