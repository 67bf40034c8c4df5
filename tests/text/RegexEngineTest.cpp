#include "text/RegexEngine.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <functional>

#include "common/Sjis.h"

namespace tonbo {
namespace {

using enc::Lit;

// One library call on a fresh record, texts in code page 932.
struct Call {
  int result = 0;
  std::string error;  // UTF-8
  std::string output;

  static Call Run(bool subst, const std::string& command, const std::string& text) {
    TRegexRecord* record = nullptr;
    char error[kBRegErrorSize] = "stale";
    Call call;
    call.result = (subst ? BSubst : BMatch)(command.c_str(), text.data(), text.data() + text.size(),
                                            &record, error);
    call.error = enc::FromSjis(error).toStdString();
    if (subst && call.result != 0) call.output = record->resultStart;
    if (record) BRegfree(record);
    return call;
  }
};

struct SubstCase {
  const char* what;
  const char* command;  // UTF-8 source text, run in code page 932
  const char* text;
  const char* result;  // nullptr: nothing substituted
};

std::ostream& operator<<(std::ostream& os, const SubstCase& c) { return os << c.what; }

class SubstTable : public ::testing::TestWithParam<SubstCase> {};

TEST_P(SubstTable, GivesTheResult) {
  const SubstCase& c = GetParam();
  const Call call = Call::Run(true, Lit(c.command), Lit(c.text));
  EXPECT_EQ(call.error, "");
  if (c.result) {
    EXPECT_NE(call.result, 0);
    EXPECT_EQ(call.output, Lit(c.result));
  } else {
    EXPECT_EQ(call.result, 0);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SubstTable,
    ::testing::Values(
        SubstCase{"first occurrence only", "s/a/x/", "banana", "bxnana"},
        SubstCase{"g replaces every one", "s/a/x/g", "banana", "bxnxnx"},
        SubstCase{"numbered group", "s/(\\d+)/No.$1/g", "写真12と34", "写真No.12とNo.34"},
        SubstCase{"whole match", "s/\\d+/[$&]/", "IMG_0012", "IMG_[0012]"},
        SubstCase{"groups swapped", "s/(\\w+)-(\\w+)/$2-$1/", "abc-def", "def-abc"},
        SubstCase{"braced group before a digit", "s/(a)/${1}0/", "a", "a0"},
        SubstCase{"backslash group", "s/(b)/\\1\\1/", "abc", "abbc"},
        SubstCase{"escaped dollar and backslash", "s/a/\\$\\\\/", "a", "$\\"},
        SubstCase{"escaped tab", "s/_/\\t/", "a_b", "a\tb"},
        SubstCase{"dollar before other text stays", "s/a/$x$/", "a", "$x$"},
        SubstCase{"group that took no part is empty", "s/(x)?a/[$1]/", "a", "[]"},
        SubstCase{"group beyond the pattern is empty", "s/a/[$5]/", "a", "[]"},
        SubstCase{"named groups keep the numbers", "s/(?<y>\\d{4})-(\\d\\d)/$2.$1/", "2024-05",
                  "05.2024"},
        SubstCase{"other delimiter", "s#/#_#g", "a/b/c", "a_b_c"},
        SubstCase{"escaped delimiter in the pattern", "s/\\//_/g", "a/b", "a_b"},
        SubstCase{"escaped delimiter in the replacement", "s/_/\\//g", "a_b", "a/b"},
        SubstCase{"letter delimiter escaped", "sxa\\xxyx", "axb", "yb"},
        SubstCase{"bracket delimiters", "s{a}{b}", "aa", "ba"},
        SubstCase{"brackets nest inside", "s{a{2}} <x>", "aaa", "xa"},
        SubstCase{"double-byte delimiter", "s。あ。い。", "ああ", "いあ"},
        SubstCase{"ignore case", "s/abc/x/i", "ABC", "x"},
        SubstCase{"extended pattern", "s/ a  b # note/x/x", "ab", "x"},
        SubstCase{"k is accepted", "s/a/b/k", "a", "b"},
        SubstCase{"no match", "s/z/x/g", "abc", nullptr},
        SubstCase{"empty matches step over characters", "s/x*/-/g", "ab", "-a-b-"},
        SubstCase{"empty match right after a match", "s/x*/-/g", "axb", "-a--b-"},
        SubstCase{"empty matches step over double-byte characters", "s/x*/-/g", "あい", "-あ-い-"},
        // A non-empty match is tried first after an empty one: Perl's results.
        SubstCase{"lazy star grows after an empty match", "s/a*?/-/g", "aaa", "-------"},
        SubstCase{"empty alternative gives way", "s/|a/-/g", "ab", "---b-"},
        SubstCase{"empty look-ahead gives way", "s/(?=b)|b/-/g", "abab", "a--a--"},
        SubstCase{"group of a non-empty retry", "s/()|b/[$1]/g", "abc", "[]a[][][]c[]"},
        SubstCase{"retry takes a double-byte character", "s/|あ/-/g", "あい", "---い-"},
        SubstCase{"retry never splits a double-byte character", "s/A*?/-/g", "ソA", "-ソ---"},
        SubstCase{"dot takes a double-byte character", "s/^./X/", "あい", "Xい"},
        SubstCase{"trail byte is not a letter", "s/A/x/g", "アA", "アx"},
        SubstCase{"trail byte is not a backslash", "s/\\\\/x/g", "ソ\\", "ソx"},
        SubstCase{"trail byte is not the delimiter", "s@ァ@x@", "ァ", "x"},
        SubstCase{"trail backslash in the pattern escapes nothing", "s/ソ/x/", "ソフト", "xフト"},
        SubstCase{"trail backslash in the replacement escapes nothing", "s/a/表/", "a", "表"},
        SubstCase{"^ is the start of the text", "s/^b/x/g", "a\nb", nullptr},
        SubstCase{"m: ^ at every line", "s/^b/x/gm", "a\nb", "a\nx"},
        SubstCase{"$ before a final line break", "s/a$/x/", "a\n", "x\n"},
        SubstCase{"m: $ at every line", "s/a$/x/gm", "a\na", "x\nx"},
        SubstCase{"dot stops at a line break", "s/a.b/x/", "a\nb", nullptr},
        SubstCase{"s: dot takes a line break", "s/a.b/x/s", "a\nb", "x"}));

struct MatchCase {
  const char* what;
  const char* command;
  const char* text;
  bool matches;
};

std::ostream& operator<<(std::ostream& os, const MatchCase& c) { return os << c.what; }

class MatchTable : public ::testing::TestWithParam<MatchCase> {};

TEST_P(MatchTable, Matches) {
  const MatchCase& c = GetParam();
  const Call call = Call::Run(false, Lit(c.command), Lit(c.text));
  EXPECT_EQ(call.error, "");
  EXPECT_EQ(call.result != 0, c.matches);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, MatchTable,
    ::testing::Values(MatchCase{"anywhere in the text", "m/abc/", "xabcx", true},
                      MatchCase{"anchored", "m/^abc$/", "abcd", false},
                      MatchCase{"class does not take a trail byte", "m/[@-Z]/", "ア", false},
                      MatchCase{"i folds full-width letters", "m/ａＢ/i", "Ａｂ", true},
                      MatchCase{"word takes kanji", "m/^\\w\\w$/", "漢字", true},
                      MatchCase{"digit is ASCII only", "m/\\d/", "１", false},
                      MatchCase{"inline s option", "m/(?s)a.b/", "a\nb", true},
                      MatchCase{"inline m option", "m/(?m)^b/", "a\nb", true},
                      MatchCase{"substitution command matches its pattern", "s/b/x/", "abc",
                                true}));

INSTANTIATE_TEST_SUITE_P(
    IgnoreCase, MatchTable,
    ::testing::Values(MatchCase{"Greek and Cyrillic", "m/ωж/i", "ΩЖ", true},
                      MatchCase{"a class and a reference", "m/^([ａ-ｃ])\\1$/i", "ｂＢ", true},
                      MatchCase{"Roman numerals keep their form", "m/ⅰ/i", "Ⅰ", false}));

struct BadCommand {
  const char* what;
  bool subst;
  std::string command;  // code page 932
  const char* message;  // UTF-8, part of the error
};

std::ostream& operator<<(std::ostream& os, const BadCommand& c) { return os << c.what; }

class BadCommands : public ::testing::TestWithParam<BadCommand> {};

TEST_P(BadCommands, ReportAnError) {
  const BadCommand& c = GetParam();
  const Call call = Call::Run(c.subst, c.command, "abc");
  EXPECT_EQ(call.result, 0);
  EXPECT_NE(call.error.find(c.message), std::string::npos) << call.error;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, BadCommands,
    ::testing::Values(
        BadCommand{"not a command", false, "abc", "m/…/ か s/…/…/ の形"},
        BadCommand{"empty command", false, "", "m/…/ か s/…/…/ の形"},
        BadCommand{"backslash delimiter", false, "m\\a\\", "m/…/ か s/…/…/ の形"},
        BadCommand{"unterminated pattern", false, "m/abc", "パターンの終わりの区切り文字"},
        BadCommand{"letter delimiter left open", false, "movie", "パターンの終わりの区切り文字"},
        BadCommand{"escaped last delimiter", false, "m/abc\\/", "パターンの終わりの区切り文字"},
        BadCommand{"unterminated replacement", true, "s/a/b", "置換文字列の終わりの区切り文字"},
        BadCommand{"bracketed pattern without replacement", true, "s{a}", "置換文字列の終わり"},
        BadCommand{"unknown option", true, "s/a/b/gz", "使えないオプション「z」"},
        BadCommand{"double-byte option", true, Lit("s/a/b/gあ"), "使えないオプション「あ」"},
        BadCommand{"open group", false, "m/(a/", "「(」が閉じていません"},
        BadCommand{"close without open", false, "m/a)/", "「)」に対応する「(」がありません"},
        BadCommand{"open class", false, "m/[a/", "「[」が閉じていません"},
        BadCommand{"nothing to repeat", false, "m/*a/", "繰り返しの対象がありません"},
        BadCommand{"half a double-byte character", false, "m/\\x83/", "２バイト文字が途中"},
        BadCommand{"other mistakes keep the engine's words", false, "m/\\p{Foo}/",
                   "正規表現の誤り：invalid character property name {Foo}"},
        BadCommand{"match command given to substitute", true, "m/a/", "置換には s/…/…/ の形"}));

// Oniguruma's text names the unknown property, shortened by Oniguruma to 27
// bytes, here without the lead byte it cut off; with one letter more the
// message passes 79 bytes and is cut there.
TEST(RegexEngine, EngineMessagesAreWholeCharactersAndFitTheBuffer) {
  std::string a13, a30;
  for (int i = 0; i < 30; ++i) (i < 13 ? a13 : a30) += "あ";
  a30 += a13;
  const std::string prefix = "正規表現の誤り：invalid character property name {";
  EXPECT_EQ(Call::Run(false, Lit("m/\\p{" + a30 + "}/"), "x").error, prefix + a13 + "...}");
  EXPECT_EQ(Call::Run(false, Lit("m/\\p{x" + a30 + "}/"), "x").error, prefix + "x" + a13 + "...");
}

// A record in the slot is used as it is, whatever the command: the adaptor
// decides when to release it.
TEST(RegexEngine, ARecordInTheSlotIsReused) {
  TRegexRecord* record = nullptr;
  char error[kBRegErrorSize] = {};
  const std::string text = "ab";
  ASSERT_EQ(BSubst("s/a/x/", text.data(), text.data() + 2, &record, error), 1);
  EXPECT_STREQ(record->commandCopy, "s/a/x/");
  TRegexRecord* const first = record;
  ASSERT_EQ(BSubst("s/b/y/", text.data(), text.data() + 2, &record, error), 1);
  EXPECT_EQ(record, first);
  EXPECT_STREQ(record->resultStart, "xb");
  BRegfree(record);
}

// Texts that are not proper code page 932: a lead byte that ends the text is
// taken as a whole character, and nothing outside the text is copied.
TEST(RegexEngine, LeadByteEndingTheTextStaysInside) {
  const Call call = Call::Run(true, "s/[^a]/x/g", "a\x83");
  EXPECT_EQ(call.output, "ax");
  EXPECT_EQ(Call::Run(true, "s/$/!/", "a\x83").output, "a\x83!");
}

double SecondsOf(const std::function<void()>& run) {
  const auto start = std::chrono::steady_clock::now();
  run();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::string Blocks(int count, int run) {
  std::string text;
  for (int i = 0; i < count; ++i) text += std::string(run, 'a') + "c";
  return text;
}

struct Runaway {
  const char* what;
  bool subst;
  const char* command;
  std::string text;
  const char* message;
};

std::ostream& operator<<(std::ostream& os, const Runaway& c) { return os << c.what; }

class Runaways : public ::testing::TestWithParam<Runaway> {};

// Each of these would take from seconds to centuries without the limits.
TEST_P(Runaways, EndWithAnErrorWithinAboutASecond) {
  const Runaway& c = GetParam();
  Call call;
  const double seconds = SecondsOf([&] { call = Call::Run(c.subst, c.command, c.text); });
  EXPECT_EQ(call.result, 0);
  EXPECT_NE(call.error.find(c.message), std::string::npos) << call.error;
  // Without the limits these take from minutes to centuries; the bound is
  // loose so a loaded machine cannot fail it, yet a missing limit still does.
  EXPECT_LT(seconds, 30.0);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Runaways,
    ::testing::Values(Runaway{"nested repeat at one position", false, "m/(a+)+b/",
                              std::string(40, 'a') + "c b", "照合の手間が上限"},
                      Runaway{"nested repeat over many positions", false, "m/(a+)+$/",
                              Blocks(30, 22), "照合の手間が上限"},
                      Runaway{"many slow searches of a global substitution", true, "s/(a+)+$|c/x/g",
                              Blocks(60, 22), "時間がかかりすぎる"}));

}  // namespace
}  // namespace tonbo
