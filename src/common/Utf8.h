#pragma once
// Writing one code point as UTF-8 (the code page boundary, the repair of
// garbled names) and telling well-formed UTF-8 (contents search, list files).
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace tonbo::enc {

inline void AppendUtf8Char(std::string& out, char32_t u) {
  if (u < 0x80) {
    out += static_cast<char>(u);
  } else if (u < 0x800) {
    out += static_cast<char>(0xC0 | (u >> 6));
    out += static_cast<char>(0x80 | (u & 0x3F));
  } else if (u < 0x10000) {
    out += static_cast<char>(0xE0 | (u >> 12));
    out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (u & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (u >> 18));
    out += static_cast<char>(0x80 | ((u >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (u & 0x3F));
  }
}

// Length of the UTF-8 sequence a byte starts; 0 for a continuation or a byte
// that never starts one.
inline size_t Utf8Length(unsigned char c) {
  return c < 0x80 ? 1 : c < 0xC2 ? 0 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : c < 0xF5 ? 4 : 0;
}

// Whether s[0, n) (n from Utf8Length(s[0])) is one well-formed character;
// only the bytes present are checked when n runs past `avail`.
inline bool Utf8WellFormed(const unsigned char* s, size_t n, size_t avail) {
  if (n == 0) return false;
  for (size_t k = 1; k < n && k < avail; ++k) {
    unsigned char lo = 0x80, hi = 0xBF;
    if (k == 1) {
      if (s[0] == 0xE0) lo = 0xA0;
      if (s[0] == 0xED) hi = 0x9F;
      if (s[0] == 0xF0) lo = 0x90;
      if (s[0] == 0xF4) hi = 0x8F;
    }
    if (s[k] < lo || s[k] > hi) return false;
  }
  return true;
}

// Whether text is well-formed UTF-8; an incomplete last character counts as
// well-formed when `cutAllowed`.
inline bool IsUtf8(std::string_view text, bool cutAllowed) {
  const auto* s = reinterpret_cast<const unsigned char*>(text.data());
  const size_t size = text.size();
  size_t i = 0;
  while (i < size) {
    // Runs of ASCII eight bytes a step.
    while (i + 8 <= size) {
      uint64_t word;
      std::memcpy(&word, s + i, 8);
      if (word & 0x8080808080808080ull) break;
      i += 8;
    }
    if (i >= size) break;
    const size_t n = Utf8Length(s[i]);
    if (n == 1) {
      ++i;
      continue;
    }
    if (!Utf8WellFormed(s + i, n, size - i)) return false;
    if (i + n > size) return cutAllowed;
    i += n;
  }
  return true;
}

}  // namespace tonbo::enc
