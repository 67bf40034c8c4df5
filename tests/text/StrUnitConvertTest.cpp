// Character-class conversions, row by row. Texts in UTF-8 go through the code
// page; rows of raw bytes spell broken or ambiguous code page 932 text.
#include <gtest/gtest.h>

#include <string>

#include "common/Sjis.h"
#include "text/StrUnit.h"

namespace tonbo {
namespace {

using Conversion = std::string (*)(std::string_view);

struct ConvertCase {
  const char* name;
  Conversion convert;
  std::string text;
  std::string expected;
  bool utf8 = true;  // false: text and expected are code page 932 bytes
};

class Converts : public ::testing::TestWithParam<ConvertCase> {};

TEST_P(Converts, AsTheRowSays) {
  const ConvertCase& row = GetParam();
  const auto bytes = [&](const std::string& s) { return row.utf8 ? enc::Lit(s) : s; };
  const std::string result = row.convert(bytes(row.text));
  EXPECT_EQ(result, bytes(row.expected)) << enc::SjisToDisk(result);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Converts,
    ::testing::Values(
        ConvertCase{"hankaku_splits_voiced_kana", HankakuStr, "データ", "ﾃﾞｰﾀ"},
        ConvertCase{"zenkaku_joins_voiced_kana", ZenkakuStr, "ﾃﾞｰﾀ", "データ"},
        ConvertCase{"zenkaku_semi_voiced_and_vu", ZenkakuStr, "ﾊﾟﾎﾟｳﾞ", "パポヴ"},
        ConvertCase{"zenkaku_marks_that_do_not_join", ZenkakuStr, "ﾞｶﾟﾜﾞﾟ", "゛カ゜ワ゛゜"},
        ConvertCase{"hiragana_keeps_half_width", HiraganaStr, "カタカナｶﾅ", "かたかなｶﾅ"},
        ConvertCase{"ank_letters_digits_signs", HankakuAnkStr, "ＡＢＣ－１２．ｔｘｔ",
                    "ABC-12.txt"},
        ConvertCase{"ank_changes_only_the_space", HankakuAnkStr, "ガッコウ　ｶﾞ", "ガッコウ ｶﾞ"},
        ConvertCase{"ank_keeps_signs_outside_the_table", HankakuAnkStr, "＋～＊＂≠", "＋～＊＂≠"},
        ConvertCase{"empty", ZenkakuStr, "", ""},
        // A lead byte at the end stands alone and stays.
        ConvertCase{"lead_byte_last", UpperStr, "a\x82", "A\x82", false},
        ConvertCase{"lead_byte_last_zenkaku", ZenkakuStr, "a\x82", "\x82\x81\x82", false},
        ConvertCase{"trail_kana_does_not_join", ZenkakuStr, "\x83\xb6\xde", "\x83\xb6\x81\x4a",
                    false},
        ConvertCase{"ank_never_across_two_table_characters", HankakuAnkStr, "\x81\x82", "\x81\x82",
                    false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AnkTable, HoldsTheFullWidthFormsInOrder) {
  EXPECT_EQ(AnkTable,
            enc::Lit("０１２３４５６７８９ａｂｃｄｅｆｇｈｉｊｋｌｍｎｏｐｑｒｓｔｕｖｗｘｙｚ"
                     "ＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯＰＱＲＳＴＵＶＷＸＹＺ"
                     "！”＃＄％＆’（）＝－￥［］｛｝＿／＞＜，．＠‘　"));
  EXPECT_EQ(HankakuAnkStr(AnkTable),
            "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
            "!\"#$%&'()=-\\[]{}_/><,.@` ");
}

}  // namespace
}  // namespace tonbo
