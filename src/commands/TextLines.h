#pragma once
// Lines of a text as a list box or a grid paste takes them.
#include <string>
#include <string_view>
#include <vector>

namespace tonbo {

// The lines of text, split at CR LF, CR or LF. A line break at the very end
// ends the last line and starts no new one, so "" gives no line at all.
std::vector<std::string> SplitLines(std::string_view text);

}  // namespace tonbo
