#include "core/ListText.h"

#include <charconv>

namespace tonbo {
namespace {

// Rounds num / den to a whole number, an exact half to the even neighbour.
__int128 RoundHalfEven(__int128 num, __int128 den) {
  bool negative = (num < 0) != (den < 0);
  if (num < 0) num = -num;
  if (den < 0) den = -den;
  __int128 q = num / den, r = num % den;
  if (2 * r > den || (2 * r == den && (q & 1))) ++q;
  return negative ? -q : q;
}

std::string WithThousands(__int128 v) {
  bool negative = v < 0;
  if (negative) v = -v;
  std::string digits;
  do {
    digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(v % 10)));
    v /= 10;
  } while (v > 0);
  std::string out;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return negative ? "-" + out : out;
}

}  // namespace

int64_t CellToInt64(std::string_view cell, int64_t fallback) {
  int64_t v = 0;
  auto [ptr, ec] = std::from_chars(cell.data(), cell.data() + cell.size(), v);
  if (ec != std::errc() || ptr != cell.data() + cell.size() || cell.empty()) return fallback;
  return v;
}

std::string SizeTextOf(int64_t bytes) {
  // In units of 1/10000: bytes / 1024 to four decimals, plus one half.
  __int128 tenThousandths = RoundHalfEven(static_cast<__int128>(bytes) * 10000, 1024) + 5000;
  return WithThousands(RoundHalfEven(tenThousandths, 10000)) + " KB";
}

std::string SizeText(std::string_view sizeCell) { return SizeTextOf(CellToInt64(sizeCell, 0)); }

}  // namespace tonbo
