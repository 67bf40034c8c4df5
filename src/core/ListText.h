#pragma once
// Texts the file list shows that are computed from table cells.
#include <cstdint>
#include <string>
#include <string_view>

namespace tonbo {

// The "ｻｲｽﾞ" column: bytes / 1024 + 0.5 held to four decimals, then rounded
// to a whole number with an exact half going to the even neighbour, with
// thousands separators and " KB". A cell that is not a number counts as 0.
std::string SizeText(std::string_view sizeCell);
std::string SizeTextOf(int64_t bytes);

// A decimal cell read as a 64-bit integer; fallback when it is not one.
int64_t CellToInt64(std::string_view cell, int64_t fallback);

}  // namespace tonbo
