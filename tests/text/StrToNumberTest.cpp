// The tolerant number reader behind the numeric sort. Code page 932 texts are
// spelled as bytes; the comment at the end of each row shows the characters.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "text/StrUnit.h"

namespace tonbo {
namespace {

struct NumberCase {
  const char* name;
  std::string text;
  double value;
};

class StrToNumberReads : public ::testing::TestWithParam<NumberCase> {};

TEST_P(StrToNumberReads, TheNumberPart) {
  EXPECT_DOUBLE_EQ(StrToNumber(GetParam().text), GetParam().value) << GetParam().text;
}

using namespace std::string_literals;

INSTANTIATE_TEST_SUITE_P(
    Rules, StrToNumberReads,
    ::testing::Values(NumberCase{"thousands_and_unit", "1,234.5\x89\x7e", 1234.5},  // 1,234.5円
                      NumberCase{"full_width_digits", "\x82\x50\x82\x51\x82\x52", 123},  // １２３
                      NumberCase{"leading_space_sign_and_junk", " -12abc", -12},
                      NumberCase{"exponent_after_point", "3.5e2", 350},
                      NumberCase{"no_exponent_without_point", "1e5", 1},
                      NumberCase{"exponent_after_bare_point", "1.E+2x", 100},
                      NumberCase{"exponent_needs_a_digit", "2.5e+", 2.5},
                      NumberCase{"negative_exponent", "25.0e-1", 2.5},
                      NumberCase{"letters", "abc", 0}, NumberCase{"empty", "", 0},
                      NumberCase{"blanks_only", " \t\r\n", 0},
                      NumberCase{"ideographic_space_only", "\x81\x40", 0},  // 　
                      NumberCase{"hex", "$FF", 255}, NumberCase{"hex_lower_case", "$1f", 31},
                      NumberCase{"full_width_hex", "\x81\x90\x82\x65\x82\x65", 255},  // ＄ＦＦ
                      NumberCase{"hex_with_junk", "$1G", 0},
                      NumberCase{"hex_without_digits", "$", 0}, NumberCase{"plus_sign", "+7", 7},
                      NumberCase{"full_width_minus_and_point", "\x81\x7c\x82\x50\x81\x44\x82\x54",
                                 -1.5},  // －１．５
                      NumberCase{"full_width_comma_removed",
                                 "1\x81\x43"
                                 "000",
                                 1000},  // 1，000
                      NumberCase{"ideographic_space_before",
                                 "\x81\x40\x81\x40"
                                 "42",
                                 42},  // 　　42
                      NumberCase{"point_then_digits", ".25", 0.25},
                      NumberCase{"trailing_point", "7.", 7}, NumberCase{"lone_point", ".", 0},
                      NumberCase{"signed_lone_point", "-.", 0}, NumberCase{"double_sign", "--1", 0},
                      NumberCase{"space_after_sign", "- 1", 0},
                      NumberCase{"second_point_ends_it", "1.2.3", 1.2},
                      NumberCase{"commas_anywhere", ",1,,2,", 12},
                      NumberCase{"control_characters_trimmed",
                                 "\x01\x02"
                                 "5\x1f",
                                 5},
                      NumberCase{"kanji_first",
                                 "\x95\x5c"
                                 "5",
                                 0},  // 表5
                      NumberCase{"nul_ends_the_number_part",
                                 "12\0"
                                 "3"s,
                                 12},
                      NumberCase{"lead_byte_last", "9\x82", 9},
                      NumberCase{"only_first_254_bytes", std::string(253, '0') + "12", 1},
                      NumberCase{"huge_exponent", "1.0e400", HUGE_VAL},
                      NumberCase{"tiny_exponent", "1.0e-400", 0}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tonbo
