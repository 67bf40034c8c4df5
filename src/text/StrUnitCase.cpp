// Letter case. Only letters that have both forms in the code page change:
// ASCII, full-width Latin, Greek and Cyrillic. The Roman numerals of the
// extension rows (Ⅰ/ⅰ) are numbers to the user and keep their form.
#include "text/StrUnit.h"
#include "text/StrUnitChars.h"

namespace tonbo {
namespace {

using strunit::CharMap;
using strunit::Code;

// Trail byte of the n-th character of a row starting at `first`; trail bytes
// skip 0x7F.
constexpr Code Trail(int first, int n) {
  return static_cast<Code>(first + n + (first + n >= 0x7F));
}

constexpr CharMap MakeLowerMap() {
  CharMap map;
  for (int n = 0; n < 26; ++n) {
    map.Set(static_cast<Code>('A' + n), static_cast<Code>('a' + n));
    map.Set(static_cast<Code>(0x8260 + n), static_cast<Code>(0x8281 + n));  // Ａ-Ｚ
  }
  for (int n = 0; n < 24; ++n)  // Α-Ω (no final sigma in the code page)
    map.Set(static_cast<Code>(0x839F + n), static_cast<Code>(0x83BF + n));
  for (int n = 0; n < 33; ++n)  // А-Я with Ё; the small letters cross 0x7F
    map.Set(Trail(0x40, n) | 0x8400, Trail(0x70, n) | 0x8400);
  return map;
}

constexpr CharMap kLower = MakeLowerMap();
constexpr CharMap kUpper = kLower.Inverse();

}  // namespace

const CharMap& strunit::UpperMap() { return kUpper; }
const CharMap& strunit::LowerMap() { return kLower; }

std::string LowerStr(std::string_view text) { return strunit::MapChars(text, kLower, text.size()); }

std::string UpperStr(std::string_view text) { return strunit::MapChars(text, kUpper, text.size()); }

}  // namespace tonbo
