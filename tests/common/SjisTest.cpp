#include "common/Sjis.h"

#include <gtest/gtest.h>

#include <string>

#include "TestEnv.h"

namespace tonbo::enc {
namespace {

std::string TablePath() { return test::MakeTempDir("charmap") + "charmap.txt"; }

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
  SjisCodec codec(TablePath());
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
  SjisCodec codec(TablePath());
  const std::string names[] = {"写真 〜 é😀.jpg", "bad\xC3(\xFF)\xE3\x81.txt", "¥100 ‾ — − ‖.doc",
                               "ok\xF0\x9F\x98\x80\xF0\x9F.bin"};
  for (const auto& name : names) EXPECT_EQ(codec.ToDisk(In(codec, name)), name);
}

TEST(SjisCodec, SameCharacterSameCodeDifferentCharactersDifferentCodes) {
  SjisCodec codec(TablePath());
  std::string a = In(codec, "é"), b = In(codec, "ü"), a2 = In(codec, "xé");
  EXPECT_NE(a, b);
  EXPECT_EQ("x" + a, a2);
  EXPECT_EQ(codec.AssignedCount(), 2);
}

TEST(SjisCodec, AssignedCodesSurviveARestart) {
  std::string path = TablePath();
  std::string e, raw;
  {
    SjisCodec first(path);
    e = In(first, "é");
    raw = In(first, "\xFE");
  }
  SjisCodec second(path);
  EXPECT_EQ(second.ToDisk(e), "é");
  EXPECT_EQ(second.ToDisk(raw), "\xFE");
  EXPECT_EQ(In(second, "é"), e);
}

TEST(SjisCodec, TwoProcessesNeverGiveOneCodeTwoMeanings) {
  std::string path = TablePath();
  SjisCodec one(path), two(path);  // both read the empty table
  std::string e = In(one, "é");
  std::string u = In(two, "ü");  // must see one's code under the lock
  EXPECT_NE(e, u);
  EXPECT_EQ(two.ToDisk(e), "é");  // two learns one's code on demand
  EXPECT_EQ(In(two, "é"), e);
}

TEST(SjisCodec, FullAreaRefusesInsteadOfGuessing) {
  SjisCodec codec("");
  std::string out;
  for (char32_t u = 0x10000; u < 0x10000 + 1880; ++u) {
    QString s = QString::fromUcs4(&u, 1);
    ASSERT_TRUE(codec.FromQString(s, out));
  }
  char32_t more = 0x20000;
  EXPECT_FALSE(codec.FromQString(QString::fromUcs4(&more, 1), out));
  EXPECT_TRUE(codec.FromDisk("still fine あ", out));
}

TEST(SjisCodec, GarbageTableLinesAreIgnored) {
  std::string path = TablePath();
  test::WriteFile(path, "nonsense\nF040 U+00E9\nF040 U+00FC\n0041 U+00FF\nF041\n");
  SjisCodec codec(path);
  EXPECT_EQ(In(codec, "é"), "\xF0\x40");
  EXPECT_NE(In(codec, "ü"), "\xF0\x40");
  EXPECT_EQ(codec.ToDisk("A"), "A");
}

TEST(SjisCodec, MalformedInsideTextNeverCrashes) {
  SjisCodec codec(TablePath());
  // A lead byte at the end, a lead byte with a bad trail byte, an undefined code.
  for (std::string s : {std::string("abc\x82"), std::string("\x82\x20x"), std::string("\x85\x40"),
                        std::string("\xFD\xFE\xFF"), std::string("\0z", 2)}) {
    std::string disk = codec.ToDisk(s);
    EXPECT_FALSE(disk.empty());
    EXPECT_FALSE(codec.ToQString(s).isEmpty());
  }
  EXPECT_EQ(codec.ToDisk("\x82\x20x"), "\x82 x");
}

TEST(SjisCodec, UnassignedUserCodeReadsAsPrivateUse) {
  SjisCodec codec(TablePath());
  EXPECT_EQ(codec.ToUtf16("\xF0\x40"), std::u16string(1, u'\xE000'));
  EXPECT_EQ(codec.ToUtf16("\xF0\x41"), std::u16string(1, u'\xE001'));
}

TEST(SjisCodec, Utf16ForSorting) {
  SjisCodec codec(TablePath());
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
