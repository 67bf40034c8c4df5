// Hiragana and katakana. Only ァ-ン and ぁ-ん pair up: ヴ ヵ ヶ have no
// hiragana in the code page and stay katakana; the iteration marks ヽヾ ゝゞ,
// half-width katakana and every other character are left as they are.
#include "text/StrUnit.h"
#include "text/StrUnitChars.h"

namespace tonbo {
namespace {

using strunit::CharMap;
using strunit::Code;

constexpr int kKanaCount = 83;  // ァ-ン, ぁ-ん

constexpr CharMap MakeHiraganaMap() {
  CharMap map;
  for (int n = 0; n < kKanaCount; ++n) {
    const int trail = 0x40 + n + (0x40 + n >= 0x7F);  // katakana trail bytes skip 0x7F
    map.Set(static_cast<Code>(0x8300 | trail), static_cast<Code>(0x829F + n));
  }
  return map;
}

constexpr CharMap kHiragana = MakeHiraganaMap();
constexpr CharMap kKatakana = kHiragana.Inverse();

}  // namespace

std::string HiraganaStr(std::string_view text) {
  return strunit::MapChars(text, kHiragana, text.size());
}

std::string KatakanaStr(std::string_view text) {
  return strunit::MapChars(text, kKatakana, text.size());
}

}  // namespace tonbo
