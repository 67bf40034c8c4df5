// Searching by characters. A match starts on a character boundary and must
// end on one too, so a key ending in a lone lead byte never takes the first
// byte of a double-byte character. After an inserted replacement the next
// search starts where the text now has its next character: a replacement that
// ends in a lone lead byte pairs with the byte after it.
#include <utility>

#include "text/StrUnit.h"
#include "text/StrUnitChars.h"

namespace tonbo {
namespace {

using strunit::CharLen;
using strunit::CodeAt;

constexpr size_t kNone = std::string_view::npos;

strunit::Code UpperCodeAt(std::string_view text, size_t i, size_t len) {
  const strunit::Code code = CodeAt(text, i, len);
  const strunit::Code upper = strunit::UpperMap().Get(code);
  return upper != 0 ? upper : code;
}

// Whether key's characters are text's characters from the boundary p on. With
// foldCase the key is already upper case and text is compared as upper case.
bool MatchesAt(std::string_view key, std::string_view text, size_t p, bool foldCase) {
  for (size_t k = 0; k < key.size();) {
    const size_t j = p + k;
    if (j >= text.size()) return false;
    const size_t len = CharLen(text, j);
    if (len != CharLen(key, k)) return false;
    const bool same = foldCase ? UpperCodeAt(text, j, len) == CodeAt(key, k, len)
                               : text.compare(j, len, key, k, len) == 0;
    if (!same) return false;
    k += len;
  }
  return true;
}

// Byte index of the first match at or after the boundary `from`, or kNone.
size_t FindFrom(std::string_view key, std::string_view text, size_t from, bool foldCase) {
  for (size_t p = from; p + key.size() <= text.size(); p += CharLen(text, p)) {
    if (MatchesAt(key, text, p, foldCase)) return p;
  }
  return kNone;
}

bool EndsInLoneLead(std::string_view text) {
  size_t i = 0;
  while (i + 1 < text.size()) i += CharLen(text, i);
  return i + 1 == text.size() && strunit::IsLead(static_cast<unsigned char>(text.back()));
}

std::string Replace(std::string_view text, std::string_view oldText, std::string_view newText,
                    bool all, bool foldCase) {
  if (oldText.empty()) return std::string(text);
  const std::string key = foldCase ? UpperStr(oldText) : std::string(oldText);
  const bool newEndsInLead = EndsInLoneLead(newText);
  std::string out;
  size_t done = 0;  // text[0, done) has been written to out
  for (size_t p = FindFrom(key, text, 0, foldCase); p != kNone;
       p = all ? FindFrom(key, text, done, foldCase) : kNone) {
    out.append(text, done, p - done).append(newText);
    done = p + oldText.size();
    if (newEndsInLead && done < text.size()) out.push_back(text[done++]);
  }
  return out.append(text, done);
}

}  // namespace

std::ptrdiff_t PosFrom(std::string_view sub, std::string_view text, std::ptrdiff_t start) {
  if (sub.empty() || text.empty() || start > static_cast<std::ptrdiff_t>(text.size())) return 0;
  const size_t from = start < 1 ? 0 : static_cast<size_t>(start - 1);
  size_t boundary = 0;
  while (boundary < from) boundary += CharLen(text, boundary);
  const size_t found = FindFrom(sub, text, boundary, false);
  return found == kNone ? 0 : static_cast<std::ptrdiff_t>(found + 1);
}

std::string ReplaceStr(std::string_view text, std::string_view oldText, std::string_view newText,
                       bool all) {
  return Replace(text, oldText, newText, all, false);
}

std::string ReplaceStrI(std::string_view text, std::string_view oldText, std::string_view newText,
                        bool all) {
  return Replace(text, oldText, newText, all, true);
}

std::string CutToken(std::string_view separator, std::string& text) {
  const std::ptrdiff_t pos = PosFrom(separator, text, 1);
  if (pos == 0) return std::exchange(text, std::string());
  const auto cut = static_cast<size_t>(pos - 1);
  std::string token = text.substr(0, cut);
  text.erase(0, cut + separator.size());
  return token;
}

}  // namespace tonbo
