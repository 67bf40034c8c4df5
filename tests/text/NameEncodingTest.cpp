#include "text/NameEncoding.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <sstream>
#include <string>
#include <vector>

namespace tonbo {
namespace {

// Fixture bytes the way another system wrote them (not the code under test).
std::optional<std::string> Convert(const char* to, const char* from, const std::string& in) {
  iconv_t cd = iconv_open(to, from);
  std::string out(in.size() * 4, '\0');
  char* ip = const_cast<char*>(in.data());
  char* op = out.data();
  size_t inLeft = in.size(), outLeft = out.size();
  const size_t r = iconv(cd, &ip, &inLeft, &op, &outLeft);
  iconv_close(cd);
  if (r == static_cast<size_t>(-1)) return std::nullopt;
  out.resize(out.size() - outLeft);
  return out;
}

std::string Encode(const char* to, const std::string& s) { return Convert(to, "UTF-8", s).value(); }

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

// UTF-8 bytes as Windows reads code page 932 (0x80 and 0xA0 are U+0080 and
// U+F8F0 there), saved again as UTF-8; nullopt when a pair has no character.
std::optional<std::string> WindowsCp932Twice(const std::string& utf8) {
  std::string out;
  for (size_t i = 0, n = 1; i < utf8.size(); i += n) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    n = (c >= 0x81 && c <= 0x9F) || c >= 0xE0 ? 2 : 1;
    const auto piece = c == 0x80   ? "\u0080"
                       : c == 0xA0 ? "\uF8F0"
                                   : Convert("UTF-8", "CP932", utf8.substr(i, n));
    if (!piece) return std::nullopt;
    out += *piece;
  }
  return out;
}

std::string Repaired(const std::string& g) { return Ungarble(DetectGarbling(g), g).value_or("?"); }

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

// Not 筑粟, 宰澎, 厶; left as close to 鏡凝, 箕荷; not ｸ藪emo; 0x80, 0xA0, ＼.
TEST(GarbledNames, NamesOfTheAuditAreRepairedOrLeft) {
  for (const char* name : {"ﾃﾞｰﾀ.txt", "ｺﾋﾟｰ", "ﾒﾓ.txt"})
    EXPECT_EQ(Repaired(Encode("CP932", name)), name);
  for (const char* name : {"ｶﾀｶﾅ", "ﾌｧｲﾙ"})
    EXPECT_EQ(DetectGarbling(Encode("CP932", name)), Garbling::None);
  for (const char* name : {"後Memo.txt", "メモ_final.txt", "月_10.jpg"})
    EXPECT_EQ(Repaired(Encode("EUC-JP", name)), name);
  for (const char* name : {"一.txt", "ダム.txt", "だんご.txt", "全角　空白.txt"})
    EXPECT_EQ(Repaired(WindowsCp932Twice(name).value_or("")), name);
  EXPECT_EQ(Repaired("譯＼12.jpg"), "桁_12.jpg");
}

// Names of every kind, with and without ASCII around them; the last few read
// in code page 932 are UTF-8 as long (驟雨 is 酉J).
std::vector<std::string> CorpusNames() {
  std::vector<std::string> names;
  std::istringstream words(
      "写真 会議 資料 旅行 請求書 議事録 家族 運動会 誕生日 東京 北海道 桜 花火 海 山 夏休み "
      "音楽 動画 原稿 契約書 名簿 献立 買い物 発表 設計 図面 鏡餅 凝縮 挨拶 稟議書 桁 後 月 "
      "柿 鮭 薔薇 檸檬 一覧 一 ひらがな おしらせ まとめ めも しゃしん さくら むかし だんご "
      "データ ファイル コピー メモ バックアップ フォルダ ピクチャ ミュージック ダム "
      "デスクトップ ダウンロード カレンダー ﾃﾞｰﾀ ｶﾀｶﾅ ｺﾋﾟｰ ﾒﾓ ﾌｧｲﾙ ﾃｽﾄ ﾊﾞｯｸｱｯﾌﾟ ﾌｫﾙﾀﾞ "
      "ｻﾝﾌﾟﾙ ﾀﾞｳﾝﾛｰﾄﾞ ﾚｼﾋﾟ ｶﾚﾝﾀﾞｰ ｷｬﾌﾟﾁｬ 第3回会議 会議資料_2023年度（案） 全角　空白 "
      "旅行の写真 新しいフォルダー 名称未設定 Café résumé Ñandú Straße Łódź naïve Škoda 😀 "
      "🎉🎂 👨‍👩‍👧 🇯🇵 蠅 鰻重 驟雨 鼈甲 驢馬 蠍（");
  for (std::string word; words >> word;)
    for (const std::string around : {"", ".txt", "_01.jpg", "Memo.txt", " (2).pdf", "IMG_"})
      names.push_back(around == "IMG_" ? around + word + ".jpg" : word + around);
  return names;
}

// Correct names are never changed; each garbled in each way the repair knows
// comes back or is left alone, never as a third name, and most come back.
TEST(GarbledNames, CorpusIsRepairedOrLeftNeverMisread) {
  ASSERT_GE(CorpusNames().size(), 500u);
  for (const std::string& name : CorpusNames())
    EXPECT_EQ(DetectGarbling(name), Garbling::None) << name;
  std::optional<std::string> (*const ways[])(const std::string&) = {
      [](const std::string& n) { return Convert("CP932", "UTF-8", n); },
      [](const std::string& n) { return Convert("EUC-JP", "UTF-8", n); }, WindowsCp932Twice,
      [](const std::string& n) { return std::optional(Latin1Twice(n)); }};
  for (const auto& garble : ways) {
    int repaired = 0, left = 0;
    for (const std::string& name : CorpusNames()) {
      const auto garbled = garble(name);
      if (!garbled || *garbled == name) continue;
      const std::string got = Repaired(*garbled);
      EXPECT_TRUE(got == name || got == *garbled) << name << " became " << got;
      ++(got == name ? repaired : left);
    }
    EXPECT_GE(repaired, 2 * left);
  }
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
