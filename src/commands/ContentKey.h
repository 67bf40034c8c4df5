#pragma once
// A plain key of the contents search, ready to be looked for in a file's
// bytes a window at a time. The key matches where the bytes hold it
//  - in code page 932, starting and ending on character boundaries (a lead
//    byte pairs with the byte after it, counted from the start of the text),
//  - or in UTF-8, starting on a UTF-8 character boundary.
// With case folded, a text character matches a key character when it is the
// character or its upper-case form (the letters LowerStr changes: ASCII,
// full-width Latin, Greek, Cyrillic), in either encoding. No lowered copy of
// the text is made: the window is folded a block at a time into a small
// buffer by a byte map that merges at least every pair the key needs, and
// each hit found there is checked against the key character by character.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tonbo {

// Bytes of a file in memory: bytes[0, size) of which the positions before
// `from` were searched already and serve as context; `known` is a code page
// 932 character boundary at or before `from`. Matches may start at
// from..stop-1. At least three bytes stand before `from` unless bytes[0] is
// the file's first byte (startsFile).
struct ContentWindow {
  const unsigned char* bytes = nullptr;
  size_t size = 0;
  size_t known = 0;
  size_t from = 0;
  size_t stop = 0;
  bool startsFile = true;
};

class TContentKey {
 public:
  // key: code page 932, already lower-cased (LowerStr) when foldCase.
  TContentKey(std::string_view key, bool foldCase);

  bool Empty() const { return forms_.empty(); }
  // A key holding CR or LF is looked for in the text with its lines ended by
  // CR LF, as the rest of the contents scope reads it; others in the bytes.
  bool HasLineBreak() const { return lineBreak_; }
  // The longest form in bytes (a window keeps this much less one at its end).
  size_t MaxLength() const { return maxLength_; }

  // Whether a match starts at one of the window's positions from..stop-1.
  // `scratch` is the caller's buffer for the folded bytes.
  bool Occurs(const ContentWindow& w, std::vector<unsigned char>& scratch) const;

 private:
  enum Boundary : uint8_t { kSjis = 1, kUtf8 = 2 };
  struct Form {
    std::string lower;   // the key in this encoding
    std::string upper;   // the same characters in upper case (equal to lower without folding)
    std::string needle;  // lower through the byte map
    std::vector<uint8_t> charLengths;
    uint8_t boundaries = 0;  // which boundary rules a match may meet
  };

  void AddForm(std::string lower, std::string upper, std::vector<uint8_t> lengths, uint8_t rules);
  void BuildFold();
  bool FormOccurs(const Form& f, const ContentWindow& w, const unsigned char* hay, size_t hayStart,
                  size_t hayEnd) const;
  bool MatchesAt(const Form& f, const ContentWindow& w, size_t p) const;

  bool fold_ = false;
  bool asciiFold_ = false;  // the byte map is ASCII lower-casing alone
  bool lineBreak_ = false;
  size_t maxLength_ = 0;
  std::array<unsigned char, 256> map_{};
  std::vector<Form> forms_;
};

// Character boundary tests on raw bytes, exposed for the tests.
namespace content {
// Whether p starts a code page 932 character, counting from `known`, a boundary.
bool SjisBoundary(const unsigned char* bytes, size_t known, size_t p);
// Whether p starts a UTF-8 character: a byte that only starts one stands
// there, or the text starts there, or the byte before is ASCII, or a whole
// well-formed sequence ends right before it.
bool Utf8Boundary(const unsigned char* bytes, size_t p, bool startsText);
// Whether bytes are well-formed UTF-8; an incomplete last character counts as
// well-formed when `cutAllowed`.
bool IsUtf8(std::string_view bytes, bool cutAllowed);
}  // namespace content

}  // namespace tonbo
