#include "text/NameEncoding.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <string>
#include <vector>

namespace tonbo {
namespace {

// Fixture bytes the way another system wrote them (not the code under test).
std::string Encode(const char* to, const std::string& utf8) {
  iconv_t cd = iconv_open(to, "UTF-8");
  std::string out(utf8.size() * 4, '\0');
  char* ip = const_cast<char*>(utf8.data());
  char* op = out.data();
  size_t inLeft = utf8.size(), outLeft = out.size();
  const size_t r = iconv(cd, &ip, &inLeft, &op, &outLeft);
  iconv_close(cd);
  EXPECT_NE(r, static_cast<size_t>(-1)) << utf8;
  out.resize(out.size() - outLeft);
  return out;
}

// UTF-8 bytes shown as Latin-1 and saved again as UTF-8.
std::string Latin1Twice(const std::string& utf8) {
  std::string out;
  for (unsigned char c : utf8) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

struct GarbledCase {
  const char* label;
  std::string garbled;
  Garbling how;
  std::string meant;
  friend void PrintTo(const GarbledCase& c, std::ostream* os) { *os << c.label; }
};

class GarbledNames : public ::testing::TestWithParam<GarbledCase> {};

TEST_P(GarbledNames, ReadAsTheNameTheyWereMeantToHave) {
  const GarbledCase& c = GetParam();
  EXPECT_EQ(DetectGarbling(c.garbled), c.how) << c.label;
  EXPECT_EQ(Ungarble(c.how, c.garbled).value_or("(none)"), c.meant) << c.label;
}

INSTANTIATE_TEST_SUITE_P(
    FromEachSource, GarbledNames,
    ::testing::Values(
        // A zip made on Windows, unpacked without conversion.
        GarbledCase{"cp932 kanji", Encode("CP932", "写真.jpg"), Garbling::Cp932, "写真.jpg"},
        GarbledCase{"cp932 mixed", Encode("CP932", "会議資料_2023年度（案）.xlsx"), Garbling::Cp932,
                    "会議資料_2023年度（案）.xlsx"},
        GarbledCase{"cp932 half-width kana", Encode("CP932", "ﾃｽﾄ.txt"), Garbling::Cp932,
                    "ﾃｽﾄ.txt"},
        GarbledCase{"cp932 NEC special", Encode("CP932", "①請求書～.pdf"), Garbling::Cp932,
                    "①請求書～.pdf"},
        // Old Unix names: the same bytes also read as half-width kana in
        // code page 932, and the kanji reading must win.
        GarbledCase{"euc-jp kanji", Encode("EUC-JP", "写真.jpg"), Garbling::EucJp, "写真.jpg"},
        GarbledCase{"euc-jp kana", Encode("EUC-JP", "ひらがなとカタカナ.txt"), Garbling::EucJp,
                    "ひらがなとカタカナ.txt"},
        GarbledCase{"euc-jp long", Encode("EUC-JP", "議事録_第3回定例会議.doc"), Garbling::EucJp,
                    "議事録_第3回定例会議.doc"},
        // UTF-8 decoded once more.
        GarbledCase{"utf-8 as cp932", "蜀咏悄.jpg", Garbling::Cp932Twice, "写真.jpg"},
        GarbledCase{"utf-8 kana as cp932", "縺ｲ繧峨′縺ｪ.txt", Garbling::Cp932Twice, "ひらがな.txt"},
        GarbledCase{"utf-8 as latin-1", Latin1Twice("写真.jpg"), Garbling::Latin1Twice, "写真.jpg"},
        GarbledCase{"accents as latin-1", "CafÃ© rÃ©sumÃ©.txt", Garbling::Latin1Twice,
                    "Café résumé.txt"},
        GarbledCase{"utf-8 as windows-1252", "å†™çœŸ.jpg", Garbling::Latin1Twice, "写真.jpg"},
        // A Latin-1 name from an old Western system.
        GarbledCase{"latin-1 bytes", "caf\xE9.txt", Garbling::Latin1, "café.txt"}));

// Names that read well must never be "repaired" into something else.
TEST(GarbledNames, WellFormedNamesStayAsTheyAre) {
  const std::vector<std::string> names = {"readme.txt",
                                          "写真.jpg",
                                          "請求書_2024年3月.pdf",
                                          "ひらがな.txt",
                                          "カタカナ.txt",
                                          "議事録.docx",
                                          "日本語",
                                          "漢字",
                                          "資料",
                                          "東京",
                                          "会社",
                                          "ﾃｽﾄ",
                                          "Café résumé.txt",
                                          "Ñandú.mp3",
                                          "Straße.odt",
                                          "한국어.txt",
                                          "😀.png",
                                          "Ωμέγα.txt",
                                          "Москва.jpg",
                                          "①②③",
                                          "〜波ダッシュ",
                                          "か\u3099.txt",
                                          "e\u0301.txt",
                                          "×÷±",
                                          "©2024 Foo™"};
  for (const std::string& name : names) EXPECT_EQ(DetectGarbling(name), Garbling::None) << name;
}

// Two kana or kanji typed on Linux, in every combination of a few hundred
// common ones: none of them reads as garbled text.
TEST(GarbledNames, ShortJapaneseNamesAreNeverTakenForGarbledOnes) {
  std::u32string chars;
  for (char32_t u = U'ぁ'; u <= U'ん'; ++u) chars += u;
  for (char32_t u = U'ァ'; u <= U'ヶ'; u += 2) chars += u;
  const std::u32string kanji =
      U"日一国会人年大十二本中長出三同時政事自行社見月分議後前民生連五発間対上部東者党地合市業内"
      U"相方四定今回新場金員九入選立開手米力学問高代明実円関決子動京全目表戦経通外最言氏現理調体"
      U"化田当八六約主題下首意法不来作性的要用制治度務強気小七成期公持野協取都和統以機平総加山思"
      U"家話世受区領多県続進正安設保改数記院女初北午指権心界支第産結百派点教報済書府活原先共得解"
      U"名交資予川向際査勝面委告軍文反元重近千考判認画海参売利組知案道信策集在件団別物側任引使求"
      U"所次水半品昨論計死官増係感特情投示変打男基私各始島直両朝革価式確村提運終挙果西勢減台広容"
      U"必応演電歳住争談能無再位置企真流格有疑口過局少放税検藤町常校料沢裁状工建語球営空職証土与"
      U"写";
  chars += kanji;
  int checked = 0;
  for (char32_t a : chars) {
    for (char32_t b : chars) {
      std::string name;
      for (char32_t u : {a, b}) {
        name += static_cast<char>(0xE0 | (u >> 12));
        name += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        name += static_cast<char>(0x80 | (u & 0x3F));
      }
      ASSERT_EQ(DetectGarbling(name), Garbling::None) << name;
      ++checked;
    }
  }
  EXPECT_GT(checked, 100000);
}

TEST(GarbledNames, UnreadableBytesAreLeftAlone) {
  EXPECT_EQ(DetectGarbling("\x81\x7F\xFF"), Garbling::None);          // no reading is valid
  EXPECT_EQ(DetectGarbling("\xF0\x40\x81\x40.txt"), Garbling::None);  // user area, no Latin-1
  EXPECT_FALSE(Ungarble(Garbling::Cp932, "\x82"));
  EXPECT_FALSE(Ungarble(Garbling::Latin1Twice, "写真"));
}

TEST(ComposedName, JoinsVoicedMarksAndAccents) {
  EXPECT_EQ(ComposedName("か\u3099き\u3099.txt"), "がぎ.txt");
  EXPECT_EQ(ComposedName("ハ\u309Aン"), "パン");
  EXPECT_EQ(ComposedName("Cafe\u0301"), "Café");
  EXPECT_EQ(ComposedName("が.txt"), "が.txt");
  EXPECT_EQ(ComposedName("\x82\xAA\xFF"), "\x82\xAA\xFF");  // not UTF-8: left alone
}

}  // namespace
}  // namespace tonbo
