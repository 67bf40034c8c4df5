#include "common/Sjis.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "TestEnv.h"

namespace tonbo::enc {
namespace {

std::string In(SjisCodec& codec, std::string_view disk) {
  std::string out;
  EXPECT_TRUE(codec.FromDisk(disk, out));
  return out;
}

// True when s is made only of user-defined codes (0xF040-0xF9FC).
bool IsUserCode(std::string_view s) {
  if (s.empty() || s.size() % 2) return false;
  for (size_t i = 0; i < s.size(); i += 2)
    if (static_cast<unsigned char>(s[i]) < 0xF0 || static_cast<unsigned char>(s[i]) > 0xF9)
      return false;
  return true;
}

struct NameCase {
  const char* label;
  std::string disk;
  std::string sjis;  // expected code page 932 bytes; empty = user-defined codes
  friend void PrintTo(const NameCase& c, std::ostream* os) { *os << c.label; }
};

class SjisNames : public ::testing::TestWithParam<NameCase> {};

TEST_P(SjisNames, RoundTripsExactlyWithExpectedCodes) {
  SjisCodec codec;
  const NameCase& c = GetParam();
  std::string inside = In(codec, c.disk);
  if (c.sjis.empty())
    EXPECT_TRUE(IsUserCode(inside)) << c.label;
  else
    EXPECT_EQ(inside, c.sjis) << c.label;
  EXPECT_EQ(codec.ToDisk(inside), c.disk) << c.label;
  std::string viaWidget;
  ASSERT_TRUE(codec.FromQString(codec.ToQString(inside), viaWidget));
  EXPECT_EQ(viaWidget, inside) << c.label;
}

INSTANTIATE_TEST_SUITE_P(
    Names, SjisNames,
    ::testing::Values(
        NameCase{"ascii", "report-01_final.txt", "report-01_final.txt"},
        NameCase{"backslash stays backslash", "a\\b", "a\\b"},
        NameCase{"tilde stays tilde", "~x", "~x"}, NameCase{"hiragana", "あ", "\x82\xA0"},
        NameCase{"kanji", "写真", "\x8E\xCA\x90\x5E"}, NameCase{"half-width katakana", "ｱ", "\xB1"},
        NameCase{"full-width tilde", "～", "\x81\x60"}, NameCase{"NEC special", "①", "\x87\x40"},
        NameCase{"wave dash", "〜", ""}, NameCase{"e acute", "é", ""}, NameCase{"emoji", "😀", ""},
        NameCase{"yen sign", "¥", ""}, NameCase{"overline", "‾", ""}, NameCase{"em dash", "—", ""},
        NameCase{"minus sign", "−", ""}, NameCase{"double vertical", "‖", ""},
        NameCase{"cent", "¢", ""}, NameCase{"not sign", "¬", ""}, NameCase{"hiragana vu", "ゔ", ""},
        NameCase{"private use", "\xEE\x80\x80", ""}, NameCase{"invalid byte", "\xFF", ""},
        NameCase{"truncated sequence", "\xE3\x81", ""}));

TEST(SjisCodec, MixedNameKeepsEveryByte) {
  SjisCodec codec;
  const std::string names[] = {"写真 〜 é😀.jpg", "bad\xC3(\xFF)\xE3\x81.txt", "¥100 ‾ — − ‖.doc",
                               "ok\xF0\x9F\x98\x80\xF0\x9F.bin"};
  for (const auto& name : names) EXPECT_EQ(codec.ToDisk(In(codec, name)), name);
}

// Codes are computed, not handed out: two codecs (two processes, or one
// process years later) give every character the same code, and different
// characters different codes.
TEST(SjisCodec, EveryCodecGivesTheSameCodes) {
  SjisCodec one, two;
  const std::string e = In(one, "é"), u = In(two, "ü");
  EXPECT_NE(e, u);
  EXPECT_EQ(In(two, "é"), e);
  EXPECT_EQ(In(one, "xé"), "x" + e);
  EXPECT_EQ(two.ToDisk(e), "é");
  EXPECT_EQ(e, "\xF6\x40\xF1\x6D") << "U+00E9 is the pair (0, 233)";
}

// What filled the old table of 1,880 codes for good: a folder of Hangul, the
// rest of the emoji and a few thousand rare ideographs, each still round-trips.
TEST(SjisCodec, NoNumberOfDistinctCharactersRunsOut) {
  SjisCodec codec;
  std::string disk;
  for (char32_t u = 0xAC00; u < 0xAC00 + 11172; ++u) disk += QString::fromUcs4(&u, 1).toStdString();
  for (char32_t u = 0x1F300; u < 0x1FA00; ++u) disk += QString::fromUcs4(&u, 1).toStdString();
  for (char32_t u = 0x20000; u < 0x22000; ++u) disk += QString::fromUcs4(&u, 1).toStdString();
  const std::string inside = In(codec, disk);
  EXPECT_TRUE(IsUserCode(inside));
  EXPECT_EQ(codec.ToDisk(inside), disk);
  const char32_t last = 0x10FFFF;
  const std::string top = QString::fromUcs4(&last, 1).toStdString();
  EXPECT_EQ(codec.ToDisk(In(codec, top)), top);
}

// A private-use character typed by the user is a character outside the
// code page like any other; a single user-defined code in text made
// elsewhere reads as that character and goes out as it.
TEST(SjisCodec, PrivateUseCharactersRoundTrip) {
  SjisCodec codec;
  std::string out;
  for (char16_t u : {u'\xE000', u'\xE467', u'\xE468', u'\xE757', u'\xF8FF'}) {
    const QString typed = QString(QChar(u)) + QChar(u'\xE001') + QChar(u);
    ASSERT_TRUE(codec.FromQString(typed, out));
    EXPECT_EQ(codec.ToQString(out), typed) << int(u);
    EXPECT_EQ(codec.ToDisk(out), typed.toStdString()) << int(u);
  }
  EXPECT_EQ(codec.ToQString("\xF0\x40"), QString(QChar(0xE000)));
  EXPECT_EQ(codec.ToDisk("\xF0\x40"), "\xEE\x80\x80");
}

// Lists and settings written by versions that handed out single codes from
// charmap.txt still read; that table is never written again.
TEST(SjisCodec, EarlierVersionsCodesStillRead) {
  const std::string path = test::MakeTempDir("legacy") + "charmap.txt";
  const std::string table = "F040 U+00E9\nF041 U+DCFE\nnonsense\nF040 U+00FC\nF640 U+00E8\n";
  test::WriteFile(path, table);
  SjisCodec codec(path);
  EXPECT_EQ(codec.ToDisk("caf\xF0\x40.txt"), "café.txt");
  EXPECT_EQ(codec.ToDisk("\xF0\x41"), "\xFE");
  EXPECT_EQ(codec.ToDisk("\xF0\x42"), "\xEE\x80\x82");  // not in the table: U+E002
  EXPECT_EQ(codec.ToDisk("\xF6\x40"), "è");
  // New text takes computed codes; the typed private-use character of F040
  // too, so that code keeps its one meaning.
  EXPECT_EQ(In(codec, "é"), "\xF6\x40\xF1\x6D");
  const std::string typed = "\xEE\x80\x80";  // U+E000
  EXPECT_NE(In(codec, typed), "\xF0\x40");
  EXPECT_EQ(codec.ToDisk(In(codec, typed)), typed);
  EXPECT_EQ(test::ReadFile(path), table);
}

TEST(SjisCodec, CharLengthKeepsPairsWhole) {
  SjisCodec codec;
  const std::string text =
      "a" + In(codec, "한") + "\x82\xA0" + "\xF0\x40" + In(codec, "\xF3\xA0\x80\x81") + "\xF6\x40";
  std::vector<size_t> lengths;
  for (size_t i = 0; i < text.size(); i += CharLength(text, i))
    lengths.push_back(CharLength(text, i));
  EXPECT_EQ(lengths, (std::vector<size_t>{1, 4, 2, 2, 6, 2}));
  EXPECT_EQ(CharLength("\xF6", 0), 1u);
}

// Random code points from every plane (private use and the characters code
// page 932 holds included), and random bytes, valid UTF-8 or not: disk ->
// inside -> disk gives the same bytes, and so does the way through a widget.
TEST(SjisCodec, RandomNamesRoundTripExactly) {
  SjisCodec codec;
  std::mt19937 random(20261207);
  auto pick = [&](char32_t lo, char32_t hi) {
    return std::uniform_int_distribution<char32_t>(lo, hi)(random);
  };
  const std::pair<char32_t, char32_t> ranges[] = {
      {0x20, 0x7E},       {0x80, 0x7FF},      {0x3000, 0x30FF}, {0x4E00, 0x9FFF},
      {0xAC00, 0xD7A3},   {0xE000, 0xF8FF},   {0xFF00, 0xFFFF}, {0x800, 0xD7FF},
      {0x10000, 0x1FFFF}, {0x20000, 0x10FFFF}};
  for (int round = 0; round < 3000; ++round) {
    std::u32string text;
    const int length = 1 + static_cast<int>(random() % 12);
    for (int k = 0; k < length; ++k) {
      const auto& [lo, hi] = ranges[random() % std::size(ranges)];
      text += pick(lo, hi);
    }
    const std::string disk = QString::fromStdU32String(text).toStdString();
    const std::string inside = In(codec, disk);
    ASSERT_EQ(codec.ToDisk(inside), disk) << round;
    std::string viaWidget;
    codec.FromQString(codec.ToQString(inside), viaWidget);
    ASSERT_EQ(viaWidget, inside) << round;
  }
  for (int round = 0; round < 3000; ++round) {
    std::string disk(1 + random() % 16, '\0');
    for (char& c : disk) c = static_cast<char>(round % 2 ? random() % 256 : 0x80 + random() % 128);
    const std::string inside = In(codec, disk);
    ASSERT_EQ(codec.ToDisk(inside), disk) << round;
    std::string viaWidget;
    codec.FromQString(codec.ToQString(inside), viaWidget);
    ASSERT_EQ(codec.ToDisk(viaWidget), disk) << round;
  }
}

// Start codes never serve as continuations: a character's codes are found
// in a text of such characters only where that character is.
TEST(SjisCodec, ACharacterIsNeverFoundAcrossTwoOthers) {
  SjisCodec codec;
  std::mt19937 random(7);
  std::uniform_int_distribution<char32_t> any(0x80, 0x10FFFF);
  for (int round = 0; round < 20000; ++round) {
    char32_t u[3];
    for (char32_t& c : u) {
      do c = any(random);
      while (c >= 0xD800 && c <= 0xDFFF);
    }
    std::string part[3];
    for (int k = 0; k < 3; ++k) part[k] = In(codec, QString::fromUcs4(&u[k], 1).toStdString());
    if (!IsUserCode(part[0]) || !IsUserCode(part[1]) || !IsUserCode(part[2])) continue;
    const std::string text = part[0] + part[1];
    for (size_t at = text.find(part[2]); at != std::string::npos; at = text.find(part[2], at + 1)) {
      if (at % 2) continue;  // not a character boundary
      ASSERT_TRUE((at == 0 && u[2] == u[0]) || (at == part[0].size() && u[2] == u[1])) << round;
    }
  }
}

TEST(SjisCodec, MalformedInsideTextNeverCrashes) {
  SjisCodec codec;
  // A lead byte at the end, a lead byte with a bad trail byte, an undefined code.
  for (std::string s : {std::string("abc\x82"), std::string("\x82\x20x"), std::string("\x85\x40"),
                        std::string("\xFD\xFE\xFF"), std::string("\0z", 2)}) {
    std::string disk = codec.ToDisk(s);
    EXPECT_FALSE(disk.empty());
    EXPECT_FALSE(codec.ToQString(s).isEmpty());
  }
  EXPECT_EQ(codec.ToDisk("\x82\x20x"), "\x82 x");
}

TEST(SjisCodec, SingleUserCodeReadsAsPrivateUse) {
  SjisCodec codec;
  EXPECT_EQ(codec.ToUtf16("\xF0\x40"), std::u16string(1, u'\xE000'));
  EXPECT_EQ(codec.ToUtf16("\xF0\x41"), std::u16string(1, u'\xE001'));
  // A pair's first code without its partner (text made elsewhere).
  EXPECT_EQ(codec.ToUtf16("\xF6\x40x"), u"\xE468x");
}

TEST(SjisCodec, Utf16ForSorting) {
  SjisCodec codec;
  EXPECT_EQ(codec.ToUtf16("a\x82\xA0"), u"aあ");
  EXPECT_EQ(codec.ToUtf16(In(codec, "😀")), u"😀");
}

TEST(SjisShorthands, LiteralsConvertOnce) {
  EXPECT_EQ(Lit(" :(削除)"), std::string(" :(\x8D\xED\x8F\x9C)"));
  EXPECT_EQ(FromSjis(Lit("総数 = ")), QStringLiteral("総数 = "));
  EXPECT_EQ(SjisToDisk(ToSjis(QStringLiteral("é.txt"))), "é.txt");
}

}  // namespace
}  // namespace tonbo::enc
