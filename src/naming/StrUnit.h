#pragma once
// String utility unit: code page 932 aware conversions and searches.
#include <string>
#include <string_view>

namespace tonbo {

// Tolerant number reader used by the numeric sort.
double StrToNumber(std::string_view text);

}  // namespace tonbo
