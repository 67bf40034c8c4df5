// Searching and replacing by characters: rows for the rules, and random texts
// checked against a slow version that cuts the texts into characters first.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "common/Sjis.h"
#include "text/StrUnit.h"

namespace tonbo {
namespace {

using namespace std::string_literals;

struct PosCase {
  const char* name;
  std::string sub, text;
  std::ptrdiff_t start, expected;
};

class PosFromFinds : public ::testing::TestWithParam<PosCase> {};

TEST_P(PosFromFinds, TheRowsPosition) {
  const PosCase& row = GetParam();
  EXPECT_EQ(PosFrom(row.sub, row.text, row.start), row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PosFromFinds,
    ::testing::Values(PosCase{"not_on_a_second_byte", "B", "\x83\x42\x42", 1, 3},  // ィB
                      PosCase{"start_inside_a_character_moves_on", "B", "\x83\x42\x42", 2, 3},
                      PosCase{"start_below_one", "a", "ba", -5, 2},
                      PosCase{"start_past_the_end", "a", "a", 2, 0},
                      PosCase{"empty_sub", "", "a", 1, 0},
                      PosCase{"lone_lead_never_inside_a_character", "\x83", "\x83\x42", 1, 0},
                      PosCase{"lone_lead_at_the_end", "\x83", "a\x83", 1, 2}),
    [](const auto& info) { return std::string(info.param.name); });

struct ReplaceCase {
  const char* name;
  bool ignoreCase, all;
  std::string text, oldText, newText, expected;
};

class ReplaceGives : public ::testing::TestWithParam<ReplaceCase> {};

TEST_P(ReplaceGives, TheRowsText) {
  const ReplaceCase& row = GetParam();
  const auto replace = row.ignoreCase ? ReplaceStrI : ReplaceStr;
  const std::string got =
      replace(enc::Lit(row.text), enc::Lit(row.oldText), enc::Lit(row.newText), row.all);
  EXPECT_EQ(enc::SjisToDisk(got), row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ReplaceGives,
    ::testing::Values(
        ReplaceCase{"inserted_text_not_searched_again", false, true, "aaa", "a", "aa", "aaaaaa"},
        ReplaceCase{"empty_old_changes_nothing", true, true, "abc", "", "x", "abc"},
        ReplaceCase{"empty_new_deletes", false, true, "a-b-c", "-", "", "abc"},
        ReplaceCase{"ignoring_case_all", true, true, "ABCabcAbC", "abc", "x", "xxx"},
        ReplaceCase{"ignoring_case_first", true, false, "ABCabcAbC", "abc", "x", "xabcAbC"},
        ReplaceCase{"full_width_greek_cyrillic", true, true, "ＡｂΣσЁё", "ａＢσΣёЁ", "=", "="},
        ReplaceCase{"second_byte_not_a_match", false, true, "ィB", "B", "C", "ィC"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CutToken, CutsAtTheFirstSeparator) {
  std::string text = "a\tb\tc";
  EXPECT_EQ(CutToken("\t", text), "a");
  EXPECT_EQ(text, "b\tc");
  text = "abc";
  EXPECT_EQ(CutToken("\t", text), "abc");
  EXPECT_EQ(text, "");
  text = enc::Lit("ィxB, y");  // the B inside ィ is no separator
  EXPECT_EQ(CutToken("B,", text), enc::Lit("ィx"));
  EXPECT_EQ(text, " y");
}

// The slow way: cut both texts into characters, then compare characters.
std::vector<std::string> Chars(std::string_view text) {
  std::vector<std::string> chars;
  for (size_t i = 0; i < text.size();) {
    const size_t len = enc::IsLeadByte(text[i]) && i + 1 < text.size() ? 2 : 1;
    chars.emplace_back(text.substr(i, len));
    i += len;
  }
  return chars;
}

std::ptrdiff_t SlowPos(std::string_view sub, std::string_view text, std::ptrdiff_t start) {
  if (sub.empty() || text.empty() || start > static_cast<std::ptrdiff_t>(text.size())) return 0;
  const std::vector<std::string> t = Chars(text), s = Chars(sub);
  std::ptrdiff_t offset = 0;
  for (size_t i = 0; i + s.size() <= t.size(); offset += t[i++].size()) {
    if (offset + 1 >= start && std::equal(s.begin(), s.end(), t.begin() + i)) return offset + 1;
  }
  return 0;
}

// Literally as the search is described: both texts upper-cased before each search.
std::string SlowReplace(std::string text, const std::string& oldText, const std::string& newText,
                        bool all, bool ignoreCase) {
  for (std::ptrdiff_t start = 1;;) {
    const std::ptrdiff_t p = ignoreCase ? SlowPos(UpperStr(oldText), UpperStr(text), start)
                                        : SlowPos(oldText, text, start);
    if (p == 0) return text;
    text.replace(static_cast<size_t>(p - 1), oldText.size(), newText);
    start = p + static_cast<std::ptrdiff_t>(newText.size());
    if (!all) return text;
  }
}

TEST(RandomTexts, SearchAsTheSlowWay) {
  // Bytes that make letters of three scripts, lead bytes, lone trail bytes and NUL.
  const std::string pool = "aAbB`@p\x81\x82\x83\x84\xde"s + '\0';
  std::mt19937 rng(7);
  const auto random = [&](size_t most) {
    std::string s(rng() % (most + 1), ' ');
    for (char& c : s) c = pool[rng() % pool.size()];
    return s;
  };
  for (int n = 0; n < 20000; ++n) {
    const std::string text = random(12), oldText = random(3), newText = random(3);
    const std::ptrdiff_t start = static_cast<std::ptrdiff_t>(rng() % 16) - 1;
    const bool all = rng() % 2, ignoreCase = rng() % 2;
    const auto replace = ignoreCase ? ReplaceStrI : ReplaceStr;
    SCOPED_TRACE(testing::PrintToString(text) + " " + testing::PrintToString(oldText) + " " +
                 testing::PrintToString(newText));
    ASSERT_EQ(PosFrom(oldText, text, start), SlowPos(oldText, text, start)) << start;
    ASSERT_EQ(replace(text, oldText, newText, all),
              SlowReplace(text, oldText, newText, all, ignoreCase));
    std::string rest = text;
    const auto p = static_cast<size_t>(SlowPos(oldText, text, 1));
    ASSERT_EQ(CutToken(oldText, rest), p ? text.substr(0, p - 1) : text);
    ASSERT_EQ(rest, p ? text.substr(p - 1 + oldText.size()) : "");
  }
}

}  // namespace
}  // namespace tonbo
