#include "text/StrUnitChars.h"

namespace tonbo::strunit {

std::string MapChars(std::string_view text, const CharMap& map, size_t reserve) {
  std::string out;
  out.reserve(reserve);
  for (size_t i = 0; i < text.size();) {
    const size_t len = CharLen(text, i);
    AppendMapped(out, map, text, i, len);
    i += len;
  }
  return out;
}

}  // namespace tonbo::strunit
