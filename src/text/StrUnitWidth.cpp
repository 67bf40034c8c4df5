// Half-width and full-width. Each printable ASCII character pairs with one
// full-width character, the one AnkTable gives where it has one: so the
// quotes and the grave accent pair with ” ’ ‘. The backslash pairs with ＼:
// a file name's "\" is a backslash here, never a yen sign (￥ still becomes
// "\" on the way to half-width). The lone marks ﾞ ﾟ pair with ゛ ゜, so that
// going full-width and back gives the same text. Katakana without a
// half-width form (ヮ ヰ ヱ ヵ ヶ) stay full-width.
#include "text/StrUnit.h"
#include "text/StrUnitChars.h"

namespace tonbo {
namespace {

using strunit::CharMap;
using strunit::Code;

struct Pair {
  char ascii;
  Code full;
};

// The full-width partner of each printable ASCII sign.
constexpr Pair kSigns[] = {
    {'!', 0x8149},  {'"', 0x8168}, {'#', 0x8194}, {'$', 0x8190}, {'%', 0x8193}, {'&', 0x8195},
    {'\'', 0x8166}, {'(', 0x8169}, {')', 0x816A}, {'*', 0x8196}, {'+', 0x817B}, {',', 0x8143},
    {'-', 0x817C},  {'.', 0x8144}, {'/', 0x815E}, {':', 0x8146}, {';', 0x8147}, {'<', 0x8183},
    {'=', 0x8181},  {'>', 0x8184}, {'?', 0x8148}, {'@', 0x8197}, {'[', 0x816D}, {'\\', 0x815F},
    {']', 0x816E},  {'^', 0x814F}, {'_', 0x8151}, {'`', 0x8165}, {'{', 0x816F}, {'|', 0x8162},
    {'}', 0x8170},  {'~', 0x8160}, {' ', 0x8140},
};

// Further full-width forms that only the way to half-width knows: ｀, ￥, and
// ＇ ＂ of the two extension rows.
constexpr Pair kHalfOnly[] = {
    {'`', 0x814D}, {'\\', 0x818F}, {'\'', 0xFA56}, {'"', 0xFA57}, {'\'', 0xEEFB}, {'"', 0xEEFC},
};

// The full-width partner of each half-width katakana byte 0xA1-0xDF.
constexpr Code kKana[63] = {
    0x8142, 0x8175, 0x8176, 0x8141, 0x8145, 0x8392,                  // ｡｢｣､･ｦ
    0x8340, 0x8342, 0x8344, 0x8346, 0x8348, 0x8383, 0x8385, 0x8387,  // ｧｨｩｪｫｬｭｮ
    0x8362, 0x815B,                                                  // ｯｰ
    0x8341, 0x8343, 0x8345, 0x8347, 0x8349,                          // ｱｲｳｴｵ
    0x834A, 0x834C, 0x834E, 0x8350, 0x8352,                          // ｶｷｸｹｺ
    0x8354, 0x8356, 0x8358, 0x835A, 0x835C,                          // ｻｼｽｾｿ
    0x835E, 0x8360, 0x8363, 0x8365, 0x8367,                          // ﾀﾁﾂﾃﾄ
    0x8369, 0x836A, 0x836B, 0x836C, 0x836D,                          // ﾅﾆﾇﾈﾉ
    0x836E, 0x8371, 0x8374, 0x8377, 0x837A,                          // ﾊﾋﾌﾍﾎ
    0x837D, 0x837E, 0x8380, 0x8381, 0x8382,                          // ﾏﾐﾑﾒﾓ
    0x8384, 0x8386, 0x8388,                                          // ﾔﾕﾖ
    0x8389, 0x838A, 0x838B, 0x838C, 0x838D,                          // ﾗﾘﾙﾚﾛ
    0x838F, 0x8393, 0x814A, 0x814B,                                  // ﾜﾝﾞﾟ
};

constexpr unsigned char kVoicedMark = 0xDE;      // ﾞ
constexpr unsigned char kSemiVoicedMark = 0xDF;  // ﾟ

// The voiced or semi-voiced katakana of a half-width base and mark, 0 when the
// code page has none (ｶﾟ, ﾜﾞ).
constexpr Code JoinedKana(unsigned char base, unsigned char mark) {
  const bool kaToTo = base >= 0xB6 && base <= 0xC4;        // ｶ-ﾄ
  const bool haToHo = base >= 0xCA && base <= 0xCE;        // ﾊ-ﾎ
  if (mark == kVoicedMark && base == 0xB3) return 0x8394;  // ｳﾞ -> ヴ
  if (mark == kVoicedMark && (kaToTo || haToHo)) return kKana[base - 0xA1] + 1;
  if (mark == kSemiVoicedMark && haToHo) return kKana[base - 0xA1] + 2;
  return 0;
}

constexpr CharMap MakeZenkakuMap() {
  CharMap map;
  for (int n = 0; n < 10; ++n) map.Set(static_cast<Code>('0' + n), static_cast<Code>(0x824F + n));
  for (int n = 0; n < 26; ++n) {
    map.Set(static_cast<Code>('A' + n), static_cast<Code>(0x8260 + n));
    map.Set(static_cast<Code>('a' + n), static_cast<Code>(0x8281 + n));
  }
  for (const Pair& sign : kSigns) map.Set(static_cast<unsigned char>(sign.ascii), sign.full);
  for (int b = 0xA1; b <= 0xDF; ++b) map.Set(static_cast<Code>(b), kKana[b - 0xA1]);
  return map;
}

constexpr CharMap MakeHankakuMap() {
  CharMap map = MakeZenkakuMap().Inverse();
  for (const Pair& sign : kHalfOnly) map.Set(sign.full, static_cast<unsigned char>(sign.ascii));
  for (int base = 0xA6; base <= 0xDD; ++base) {
    for (const unsigned char mark : {kVoicedMark, kSemiVoicedMark}) {
      if (const Code joined = JoinedKana(static_cast<unsigned char>(base), mark))
        map.Set(joined, static_cast<Code>((base << 8) | mark));
    }
  }
  return map;
}

// Each AnkTable character to the first byte of its half-width form.
constexpr CharMap MakeAnkMap(const CharMap& hankaku) {
  CharMap map;
  for (size_t i = 0; i + 1 < AnkTable.size(); i += 2) {
    const Code code = strunit::CodeAt(AnkTable, i, 2);
    const Code half = hankaku.Get(code);
    map.Set(code, half > 0xFF ? static_cast<Code>(half >> 8) : half);
  }
  return map;
}

constexpr CharMap kZenkaku = MakeZenkakuMap();
constexpr CharMap kHankaku = MakeHankakuMap();
constexpr CharMap kAnk = MakeAnkMap(kHankaku);

// A half-width kana and the mark after it, joined; 0 when they do not join.
Code JoinedAt(std::string_view text, size_t i) {
  if (i + 1 >= text.size()) return 0;
  return JoinedKana(static_cast<unsigned char>(text[i]), static_cast<unsigned char>(text[i + 1]));
}

}  // namespace

std::string HankakuStr(std::string_view text) {
  return strunit::MapChars(text, kHankaku, text.size());
}

std::string ZenkakuStr(std::string_view text) {
  std::string out;
  out.reserve(text.size() * 2);
  for (size_t i = 0; i < text.size();) {
    const size_t len = strunit::CharLen(text, i);
    const Code joined = len == 1 ? JoinedAt(text, i) : 0;
    if (joined != 0) {
      strunit::AppendCode(out, joined);
      i += 2;
      continue;
    }
    strunit::AppendMapped(out, kZenkaku, text, i, len);
    i += len;
  }
  return out;
}

std::string HankakuAnkStr(std::string_view text) {
  return strunit::MapChars(text, kAnk, text.size());
}

}  // namespace tonbo
