#pragma once
// Wildcard masks on code page 932 texts: "*" any run of bytes, "?" one byte,
// "[...]" one byte of a set ("[!...]" its complement, "a-z" ranges). ASCII
// letters match regardless of case; double-byte characters match only
// themselves (and "??" or "*").
#include <bitset>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/Errors.h"

namespace tonbo {

// A malformed mask: an empty or unterminated set, a "-" with nothing before it
// in a set, or more than 30 parts that follow a "*".
class EMaskException : public ETonboError {
 public:
  // position: 1-based byte position in the mask where the fault was seen.
  EMaskException(std::string_view mask, int position);
  const std::string& Mask() const { return mask_; }
  int Position() const { return position_; }

 private:
  std::string mask_;
  int position_;
};

// A mask compiled once, to be matched against many texts (selection over a
// whole list compiles its key once).
class TMask {
 public:
  // Throws EMaskException.
  explicit TMask(std::string_view mask);
  // True when the whole text matches.
  bool Matches(std::string_view text) const;

  enum class Kind : uint8_t {
    Literal,     // one byte, upper-cased
    AnyByte,     // "?"
    Set,         // "[...]"
    DoubleByte,  // a double-byte character, as written
    LoneLead,    // a lead byte that ends the mask: matches one that ends the text
    End,         // the end of the text
  };
  struct State {
    bool skip = false;  // a "*" stood before: may begin anywhere at or after
    Kind kind = Kind::End;
    bool negate = false;
    uint8_t star = 0;         // ordinal among the states with the skip flag
    unsigned char byte = 0;   // literal byte, or lead byte
    unsigned char trail = 0;  // trail byte of a double-byte character
    std::bitset<256> set;     // upper-cased members
  };

 private:
  std::vector<State> states_;
  int skipStates_ = 0;  // states with the skip flag, the end excepted
};

// Compiles the mask and matches the whole text. Throws EMaskException.
bool WildcardMatch(std::string_view text, std::string_view mask);

}  // namespace tonbo
