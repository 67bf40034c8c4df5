#pragma once
// Inside the string unit: walking code page 932 text by characters and the
// character-for-character tables behind the conversions.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tonbo::strunit {

constexpr bool IsLead(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// Length of the character at text[i]: two bytes from a lead byte with a byte
// after it, otherwise one (a lead byte at the end stands alone).
constexpr size_t CharLen(std::string_view text, size_t i) {
  return IsLead(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
}

// A character as a number: the byte of a single-byte character, lead * 256 +
// trail of a double-byte one.
using Code = uint16_t;

constexpr Code CodeAt(std::string_view text, size_t i, size_t len) {
  const auto b = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  return len == 1 ? b(i) : static_cast<Code>((b(i) << 8) | b(i + 1));
}

// Appends a character or a pair of single-byte characters: a code below 0x100
// is one byte, any other two bytes, high byte first.
inline void AppendCode(std::string& out, Code code) {
  if (code > 0xFF) out.push_back(static_cast<char>(code >> 8));
  out.push_back(static_cast<char>(code & 0xFF));
}

// A character-for-character conversion: what each character becomes, 0 for
// "left as it is". Only the rows of double-byte characters that some
// conversion touches are held; every other double-byte character is kept.
class CharMap {
 public:
  constexpr void Set(Code from, Code to) { Slot(from) = to; }

  constexpr Code Get(Code code) const {
    if (code <= 0xFF) return single_[code];
    const int row = RowOf(code >> 8);
    return row < 0 ? 0 : rows_[row][code & 0xFF];
  }

  // The same table read the other way; two characters mapped to one keep the
  // first given.
  constexpr CharMap Inverse() const {
    CharMap inverse;
    for (int c = 0; c <= 0xFF; ++c) inverse.SetOnce(single_[c], static_cast<Code>(c));
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
      if (RowOf(lead) < 0) continue;
      for (int trail = 0; trail <= 0xFF; ++trail) {
        const auto code = static_cast<Code>((lead << 8) | trail);
        inverse.SetOnce(Get(code), code);
      }
    }
    return inverse;
  }

 private:
  static constexpr int RowOf(int lead) {
    switch (lead) {
      case 0x81:
        return 0;
      case 0x82:
        return 1;
      case 0x83:
        return 2;
      case 0x84:
        return 3;
      case 0xEE:
        return 4;
      case 0xFA:
        return 5;
      default:
        return -1;
    }
  }

  constexpr Code& Slot(Code code) {
    return code <= 0xFF ? single_[code] : rows_[RowOf(code >> 8)][code & 0xFF];
  }

  constexpr void SetOnce(Code from, Code to) {
    if (from != 0 && Slot(from) == 0) Slot(from) = to;
  }

  std::array<Code, 256> single_{};
  std::array<std::array<Code, 256>, 6> rows_{};
};

// Appends the character text[i..i+len) as the map converts it.
inline void AppendMapped(std::string& out, const CharMap& map, std::string_view text, size_t i,
                         size_t len) {
  if (const Code to = map.Get(CodeAt(text, i, len))) {
    AppendCode(out, to);
  } else {
    out.append(text.data() + i, len);
  }
}

// Converts every character of text with the map.
std::string MapChars(std::string_view text, const CharMap& map, size_t reserve);

// The upper-case and lower-case tables, shared with the case-blind search
// and the regular expressions' /i.
const CharMap& UpperMap();
const CharMap& LowerMap();

}  // namespace tonbo::strunit
