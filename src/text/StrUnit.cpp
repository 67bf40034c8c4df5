#include "text/StrUnit.h"

#include <charconv>
#include <cmath>
#include <cstdint>

#include "common/Sjis.h"

namespace tonbo {
namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 0x20; }

std::string_view TrimBlank(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

struct FullWidthSign {
  unsigned char trail;  // second byte after the lead byte 0x81
  char ascii;
};

// The ideographic space and the full-width signs of code page 932 row 0x81.
constexpr FullWidthSign kSigns81[] = {
    {0x40, ' '}, {0x43, ','}, {0x44, '.'}, {0x46, ':'}, {0x47, ';'},  {0x48, '?'}, {0x49, '!'},
    {0x4D, '`'}, {0x4F, '^'}, {0x51, '_'}, {0x5E, '/'}, {0x5F, '\\'}, {0x60, '~'}, {0x62, '|'},
    {0x69, '('}, {0x6A, ')'}, {0x6D, '['}, {0x6E, ']'}, {0x6F, '{'},  {0x70, '}'}, {0x7B, '+'},
    {0x7C, '-'}, {0x81, '='}, {0x83, '<'}, {0x84, '>'}, {0x90, '$'},  {0x93, '%'}, {0x94, '#'},
    {0x95, '&'}, {0x96, '*'}, {0x97, '@'},
};

// The ASCII character of a full-width form (or the ideographic space), 0 for
// any other double-byte character.
char HalfWidthOf(unsigned char lead, unsigned char trail) {
  if (lead == 0x81) {
    for (const FullWidthSign& sign : kSigns81) {
      if (sign.trail == trail) return sign.ascii;
    }
    return 0;
  }
  if (lead == 0x82 && trail >= 0x4F && trail <= 0x58) return static_cast<char>('0' + trail - 0x4F);
  if (lead == 0x82 && trail >= 0x60 && trail <= 0x79) return static_cast<char>('A' + trail - 0x60);
  if (lead == 0x82 && trail >= 0x81 && trail <= 0x9A) return static_cast<char>('a' + trail - 0x81);
  // Quotation mark and apostrophe live in the extension rows (two codes each).
  if ((lead == 0xFA && trail == 0x56) || (lead == 0xEE && trail == 0xFB)) return '\'';
  if ((lead == 0xFA && trail == 0x57) || (lead == 0xEE && trail == 0xFC)) return '"';
  return 0;
}

// Full-width ASCII forms and the ideographic space to ASCII, character by character.
std::string HalfWidthAscii(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (!enc::IsLeadByte(c) || i + 1 == text.size()) {
      out.push_back(text[i]);
      continue;
    }
    const unsigned char trail = static_cast<unsigned char>(text[i + 1]);
    if (const char ascii = HalfWidthOf(c, trail)) {
      out.push_back(ascii);
    } else {
      out.append(text.substr(i, 2));
    }
    ++i;
  }
  return out;
}

// "$" and hexadecimal digits, the whole text; anything else gives 0.
double HexNumber(std::string_view digits) {
  uint64_t value = 0;
  const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
  if (ec != std::errc() || end != digits.data() + digits.size()) return 0;
  return static_cast<double>(value);
}

// Length of the number part: digits, then a point and digits, then (only
// after a point) an exponent with at least one digit.
size_t NumberPartLength(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && IsDigit(s[i])) ++i;
  if (i == s.size() || s[i] != '.') return i;
  ++i;
  while (i < s.size() && IsDigit(s[i])) ++i;
  if (i == s.size() || (s[i] != 'e' && s[i] != 'E')) return i;
  size_t e = i + 1;
  if (e < s.size() && (s[e] == '+' || s[e] == '-')) ++e;
  if (e == s.size() || !IsDigit(s[e])) return i;
  while (e < s.size() && IsDigit(s[e])) ++e;
  return e;
}

// A lone point has no digits and reads as 0; beyond the range of a double the
// value is infinite (or 0 for a tiny one).
double DecimalNumber(std::string_view part) {
  if (part.find_first_of("0123456789") == std::string_view::npos) return 0;
  double value = 0;
  const auto [end, ec] = std::from_chars(part.data(), part.data() + part.size(), value);
  if (ec == std::errc::result_out_of_range) {
    return part.find("e-") != std::string_view::npos || part.find("E-") != std::string_view::npos
               ? 0
               : HUGE_VAL;
  }
  return ec == std::errc() ? value : 0;
}

}  // namespace

double StrToNumber(std::string_view text) {
  if (TrimBlank(text).empty()) return 0;
  std::string s = HalfWidthAscii(text.substr(0, 254));
  std::erase(s, ',');
  std::string_view rest = TrimBlank(s);
  if (!rest.empty() && rest.front() == '$') return HexNumber(rest.substr(1));
  double sign = 1;
  if (!rest.empty() && (rest.front() == '+' || rest.front() == '-')) {
    if (rest.front() == '-') sign = -1;
    rest.remove_prefix(1);
  }
  return sign * DecimalNumber(rest.substr(0, NumberPartLength(rest)));
}

}  // namespace tonbo
