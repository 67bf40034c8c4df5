#include "text/Wildcard.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "common/Sjis.h"

namespace tonbo {
namespace {

using enc::Lit;

struct MaskCase {
  const char* what;
  const char* mask;  // UTF-8 source text, matched in code page 932
  const char* text;
  bool matches;
};

std::ostream& operator<<(std::ostream& os, const MaskCase& c) { return os << c.what; }

class MaskTable : public ::testing::TestWithParam<MaskCase> {};

TEST_P(MaskTable, MatchesTheWholeText) {
  const MaskCase& c = GetParam();
  EXPECT_EQ(WildcardMatch(Lit(c.text), Lit(c.mask)), c.matches)
      << "mask " << c.mask << " text " << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, MaskTable,
    ::testing::Values(
        MaskCase{"extension ignores ASCII case", "*.jpg", "Photo01.JPG", true},
        MaskCase{"extension must end the text", "*.jpg", "Photo01.JPG.txt", false},
        MaskCase{"full-width letters are not folded", "ａｂｃ*", "ＡＢＣ.txt", false},
        MaskCase{"full-width letters match themselves", "ＡＢＣ*", "ＡＢＣ.txt", true},
        MaskCase{"star-question matches the empty text", "*?", "", true},
        MaskCase{"question needs a byte", "?", "", false},
        MaskCase{"a? does not match a", "a?", "a", false},
        MaskCase{"a? matches ab", "a?", "ab", true},
        MaskCase{"question after star is dropped", "*?a", "a", true},
        MaskCase{"stars in a row act as one", "a**b", "ab", true},
        MaskCase{"trailing star takes any rest", "ab*", "ab写真.txt", true},
        MaskCase{"without star the text is covered exactly", "abc", "abcd", false},
        MaskCase{"without star a shorter text fails", "abc", "ab", false},
        MaskCase{"literal letters fold both ways", "ABC", "abc", true},
        MaskCase{"negated range keeps dog", "[!a-c]*", "dog", true},
        MaskCase{"negated range drops Cat", "[!a-c]*", "Cat", false},
        MaskCase{"range matches either case", "[a-z]", "Q", true},
        MaskCase{"upper end of a range is folded", "[A-z]", "q", true},
        MaskCase{"reversed range adds nothing", "[_-a]", "b", false},
        MaskCase{"start of a reversed range is a member", "[_-a]", "_", true},
        MaskCase{"range runs on from the previous member", "[a-c-e]", "E", true},
        MaskCase{"bang after the negation is a member", "[!!]", "!", false},
        MaskCase{"set passes over double-byte characters", "[aあ]", "あ", false},
        MaskCase{"set passes over double-byte characters, keeps others", "[あa]", "A", true},
        MaskCase{"negated set does not match the end", "a[!b]", "a", false},
        MaskCase{"set takes one byte of a double-byte character", "[!a]?", "あ", true},
        MaskCase{"two questions match one double-byte character", "??", "あ", true},
        MaskCase{"one question does not", "?", "あ", false},
        MaskCase{"star then double-byte after mixed text", "*写真*", "ab写真cd", true},
        MaskCase{"star then double-byte after double-byte text", "*あ", "xいyうzあ", true},
        MaskCase{"double-byte after star steps whole characters", "*ア", "ャA", false},
        MaskCase{"literal after star steps bytes, even trail bytes", "*A", "ア", true},
        MaskCase{"half-width katakana is one byte", "?", "ｱ", true},
        MaskCase{"later star retries after an earlier one", "*a*b", "aaab", true},
        MaskCase{"later star fails when nothing follows", "*a*b", "aaa", false},
        MaskCase{"empty mask matches only the empty text", "", "", true},
        MaskCase{"empty mask does not match a name", "", "a", false}));

TEST(Mask, LeadByteEndingTheMaskMatchesOneEndingTheText) {
  EXPECT_TRUE(WildcardMatch("a\x83", "a\x83"));
  EXPECT_TRUE(WildcardMatch("xy\x83", "*\x83"));
  EXPECT_FALSE(WildcardMatch("a\x83\x41", "a\x83"));
  EXPECT_FALSE(WildcardMatch("a", "a\x83"));
}

TEST(Mask, EmbeddedZeroBytesAreOrdinaryBytes) {
  using namespace std::string_view_literals;
  EXPECT_TRUE(WildcardMatch("ab\0cd"sv, "ab?cd"));
  EXPECT_FALSE(WildcardMatch("ab\0cd"sv, "ab"));
}

TEST(Mask, ThirtyStarredPartsAreAllowed) {
  std::string mask;
  for (int i = 0; i < 30; ++i) mask += "*a";
  EXPECT_TRUE(WildcardMatch(std::string(40, 'a'), mask));
  EXPECT_FALSE(WildcardMatch(std::string(29, 'a'), mask));
  std::string dropped;
  for (int i = 0; i < 40; ++i) dropped += "*?";
  EXPECT_TRUE(WildcardMatch("", dropped));
}

// Many stars over a long text that almost matches: the search must stay
// linear per star instead of trying every split.
TEST(Mask, ManyStarsOnALongTextFinishQuickly) {
  const std::string text(20000, 'a');
  EXPECT_FALSE(WildcardMatch(text, "*a*a*a*a*a*a*a*a*a*a*b"));
  EXPECT_TRUE(WildcardMatch(text + "b", "*a*a*a*a*a*a*a*a*a*a*b"));
  EXPECT_FALSE(
      WildcardMatch(std::string(5000, 'x') + Lit("ア"), "*" + Lit("ア") + "*" + Lit("イ")));
}

struct BadMask {
  const char* what;
  std::string mask;  // code page 932 bytes
  int position;
};

std::ostream& operator<<(std::ostream& os, const BadMask& c) { return os << c.what; }

std::string Repeat(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

class BadMasks : public ::testing::TestWithParam<BadMask> {};

TEST_P(BadMasks, RaiseWithThePositionOfTheFault) {
  const BadMask& c = GetParam();
  try {
    TMask mask(c.mask);
    FAIL() << "no error for " << c.what;
  } catch (const EMaskException& e) {
    EXPECT_EQ(e.Position(), c.position);
    EXPECT_EQ(e.Mask(), c.mask);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, BadMasks,
    ::testing::Values(BadMask{"unterminated set", "[", 2}, BadMask{"empty negated set", "[!]", 3},
                      BadMask{"range with nothing before", "[-a]", 2},
                      BadMask{"31 starred letters", Repeat("*a", 31), 62},
                      BadMask{"trailing star is the 31st", Repeat("*a", 30) + "*", 62},
                      BadMask{"31st starred part is a set", Repeat("*a", 30) + "*[bc]", 62},
                      BadMask{"set of one double-byte character", "[\x82\xA0]", 4},
                      BadMask{"range end swallows the bracket", "[a-]", 5},
                      BadMask{"range without an end", "[a-", 4},
                      BadMask{"set cut inside a double-byte character", "[a\x82", 4},
                      BadMask{"set opened after text", "abc[de", 7}));

TEST(BadMasks, MessageShowsTheMaskAsWritten) {
  try {
    WildcardMatch("x", Lit("写["));
    FAIL();
  } catch (const ETonboError& e) {
    EXPECT_STREQ(e.what(), "4 番目の文字（'写['）は正しくないマスク文字です");
  }
}

// A slow matcher that reads the mask text directly and tries every way a
// star can stretch, recursively.
class Reference {
 public:
  Reference(std::string_view mask, std::string_view text) : m_(mask), t_(text) {}
  bool Match(size_t mi = 0, size_t ti = 0) const {
    bool star = false;
    while (mi < m_.size() && (m_[mi] == '*' || (star && m_[mi] == '?'))) star = true, ++mi;
    if (mi == m_.size()) return star || ti == t_.size();
    size_t next = mi;
    const auto fits = Token(mi, next);
    const bool wide = IsLead(m_[mi]);
    for (size_t p = ti; p <= t_.size(); p += (wide && IsLead(t_[p])) ? 2 : 1) {
      const int w = fits(p);
      if (w >= 0 && Match(next, p + static_cast<size_t>(w))) return true;
      if (!star || p == t_.size()) break;
    }
    return false;
  }

 private:
  static bool IsLead(char c) { return enc::IsLeadByte(static_cast<unsigned char>(c)); }
  static int Up(char c) { return (c >= 'a' && c <= 'z') ? c - 32 : static_cast<unsigned char>(c); }

  // The test of the token at mi: bytes taken at p, or -1.
  std::function<int(size_t)> Token(size_t mi, size_t& next) const {
    const size_t n = t_.size();
    const char c = m_[mi];
    next = mi + 1;
    if (c == '?') return [n](size_t p) { return p < n ? 1 : -1; };
    if (c == '[') return SetToken(mi, next);
    if (IsLead(c) && mi + 1 == m_.size())
      return [this, c, n](size_t p) { return p + 1 == n && t_[p] == c ? 1 : -1; };
    if (IsLead(c)) {
      const char trail = m_[mi + 1];
      next = mi + 2;
      return [=, this](size_t p) { return p + 1 < n && t_[p] == c && t_[p + 1] == trail ? 2 : -1; };
    }
    return [=, this](size_t p) { return p < n && Up(t_[p]) == Up(c) ? 1 : -1; };
  }

  std::function<int(size_t)> SetToken(size_t mi, size_t& next) const {
    std::vector<bool> in(256);
    size_t i = mi + 1;
    const bool negate = m_[i] == '!';
    if (negate) ++i;
    int previous = -1;
    for (; m_[i] != ']'; ++i) {
      if (IsLead(m_[i])) {
        ++i;
      } else if (m_[i] == '-') {
        const int last = Up(m_[++i]);
        for (int b = previous; b <= last; ++b) in[b] = true;
      } else {
        in[previous = Up(m_[i])] = true;
      }
    }
    next = i + 1;
    const size_t n = t_.size();
    return [=, this](size_t p) { return p < n && in[Up(t_[p])] != negate ? 1 : -1; };
  }

  std::string_view m_, t_;
};

// Random masks and texts over letters of both cases, double-byte characters
// whose trail bytes are letters, half-width kana and lone lead bytes.
TEST(Mask, AgreesWithAReferenceOnRandomMasks) {
  const std::vector<std::string> maskParts = {"a",    "A",        "b",        "?",           "*",
                                              "**",   "\x83\x41", "\x83\x83", "\xB1",        "\x83",
                                              "[ab]", "[!a]",     "[a-c]",    "[!A\x83\x41]"};
  const std::vector<std::string> textParts = {"a",        "A",        "b",    "B",   "\x83\x41",
                                              "\x83\x83", "\x82\xA0", "\xB1", "\x83"};
  std::mt19937 rng(7);
  auto build = [&](const std::vector<std::string>& parts, int most) {
    std::string out;
    for (int k = static_cast<int>(rng() % (most + 1)); k > 0; --k)
      out += parts[rng() % parts.size()];
    return out;
  };
  int matched = 0;
  for (int round = 0; round < 40000; ++round) {
    const std::string mask = build(maskParts, 7), text = build(textParts, 9);
    const TMask compiled(mask);
    const bool expected = Reference(mask, text).Match();
    ASSERT_EQ(compiled.Matches(text), expected)
        << "mask " << ::testing::PrintToString(mask) << " text " << ::testing::PrintToString(text);
    matched += expected;
  }
  EXPECT_GT(matched, 2000);  // the rounds are not all misses
}

}  // namespace
}  // namespace tonbo
