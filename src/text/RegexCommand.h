#pragma once
// Perl-style command strings on code page 932 texts, as the replace and
// select dialogs pass them: m/pattern/options and s/pattern/replacement/options.
// Any character may stand for "/" (a double-byte one too); the bracket pairs
// (), [], {} and <> enclose each part on their own, as in s{a}{b}. A "\"
// before the delimiter makes it part of the text.
#include <string>
#include <string_view>
#include <vector>

#include "common/Sjis.h"

namespace tonbo {

// Byte length of the character that starts at i: a lead byte takes the byte
// after it, so a trail byte is never read as "\", "$" or a delimiter.
inline size_t SjisCharLength(std::string_view s, size_t i) {
  return enc::IsLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size() ? 2 : 1;
}

// One piece of a replacement: literal text, or the text a group matched.
struct TReplacePiece {
  int group = -1;  // -1: the literal text; 0: the whole match ($&)
  std::string text;
};

struct TRegexCommand {
  bool substitute = false;  // s/// rather than m//
  std::string pattern;      // handed to the engine as written
  std::vector<TReplacePiece> replacement;
  bool global = false;      // g: every match, not only the first
  bool ignoreCase = false;  // i
  bool multiLine = false;   // m: ^ and $ at every line, not only at the ends
  bool dotAll = false;      // s: "." matches a line break too
  bool extended = false;    // x: blanks and # comments in the pattern are ignored
};

// Reads a command. Options are g, i, m, s, x and k (accepted; texts are always
// code page 932). In a replacement, $& and $1-$9 (or ${n}, \1-\9) insert
// groups, \n \t \r give control characters and "\" before any other character
// gives that character. On a malformed command returns false with a short
// message in code page 932 in error.
bool ParseRegexCommand(std::string_view command, TRegexCommand& out, std::string& error);

}  // namespace tonbo
