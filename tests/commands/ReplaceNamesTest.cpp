#include "commands/ReplaceNames.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "common/Sjis.h"
#include "text/BRegExp.h"

namespace tonbo {
namespace {

using enc::Lit;

// Rows of {NewName, Ext} in code page 932, written as UTF-8.
TCsvDb Table(std::initializer_list<std::pair<const char*, const char*>> rows) {
  TCsvDb t;
  int r = 0;
  for (auto [name, ext] : rows) {
    t.SetCell(colNewName, r, Lit(name));
    t.SetCell(colExt, r, Lit(ext));
    t.SetCell(colPath, r, "/d/" + std::to_string(r));
    ++r;
  }
  return t;
}

// "name|ext" of every row, back in UTF-8, so a failure reads plainly.
std::vector<std::string> Rows(const TCsvDb& t) {
  std::vector<std::string> out;
  for (int r = 0; r < t.RowCount(); ++r)
    out.push_back(
        (enc::FromSjis(t.GetCell(colNewName, r)) + "|" + enc::FromSjis(t.GetCell(colExt, r)))
            .toStdString());
  return out;
}

ReplaceOptions Plain(const char* search, const char* replacement,
                     ReplaceScope scope = ReplaceScope::Name) {
  ReplaceOptions o;
  o.scope = scope;
  o.search = Lit(search);
  o.replacement = Lit(replacement);
  return o;
}

ReplaceOptions Regex(const char* command, ReplaceScope scope = ReplaceScope::Name) {
  ReplaceOptions o;
  o.scope = scope;
  o.regularExpression = true;
  o.command = Lit(command);
  return o;
}

std::string Once(const char* source, const ReplaceOptions& options) {
  TBRegExp re;
  return enc::FromSjis(ReplaceText(Lit(source), options, re)).toStdString();
}

TEST(ReplaceInNames, ScopesReadAndWriteTheirCells) {
  auto run = [](ReplaceOptions o) {
    TCsvDb t = Table({{"a.b", ".c"}});
    ReplaceInNames(t, {0}, o);
    return Rows(t)[0];
  };
  EXPECT_EQ(run(Plain(".", "_")), "a_b|.c");
  EXPECT_EQ(run(Plain(".", "_", ReplaceScope::ExtOnly)), "a.b|_c");
  // The name and extension are split again at the result's last ".".
  EXPECT_EQ(run(Plain("b.", "x.y.", ReplaceScope::NameAndExt)), "a.x.y|.c");
  EXPECT_EQ(run(Plain(".", "_", ReplaceScope::NameAndExt)), "a_b_c|");
  EXPECT_EQ(run(Plain("a.b.c", "n", ReplaceScope::NameAndExt)), "n|");
  // A "." inside a folder part is no extension.
  EXPECT_EQ(run(Plain(".c", "/d", ReplaceScope::NameAndExt)), "a.b/d|");
}

TEST(ReplaceInNames, AnEmptySearchReplacesTheWholeText) {
  TCsvDb t = Table({{"one", ".jpg"}, {"two", ".png"}});
  EXPECT_EQ(ReplaceInNames(t, {0, 1}, Plain("", "same")), 2);
  EXPECT_EQ(Rows(t), (std::vector<std::string>{"same|.jpg", "same|.png"}));
  ReplaceInNames(t, {1}, Plain("", "", ReplaceScope::NameAndExt));
  EXPECT_EQ(Rows(t)[1], "|");
}

TEST(ReplaceInNames, AnExtensionTypedWithoutItsDotGetsOne) {
  ReplaceOptions o = Plain("", "txt", ReplaceScope::ExtOnly);
  TCsvDb t = Table({{"a", ".jpg"}, {"b", ""}});
  EXPECT_EQ(ReplaceInNames(t, {0, 1}, o), 2);
  EXPECT_EQ(Rows(t), (std::vector<std::string>{"a|.txt", "b|.txt"}));
  EXPECT_EQ(o.replacement, "txt");  // the caller's options stay as given

  EXPECT_TRUE(PutExtensionDot(o));
  EXPECT_EQ(o.replacement, ".txt");
  EXPECT_FALSE(PutExtensionDot(o));
  for (ReplaceOptions keep :
       {Plain("", "t.xt", ReplaceScope::ExtOnly), Plain("jpg", "txt", ReplaceScope::ExtOnly),
        Plain("", "txt"), Plain("", "txt", ReplaceScope::NameAndExt)}) {
    const std::string before = keep.replacement;
    EXPECT_FALSE(PutExtensionDot(keep));
    EXPECT_EQ(keep.replacement, before);
  }
  // Whichever page is active.
  ReplaceOptions re = Plain("", "png", ReplaceScope::ExtOnly);
  re.regularExpression = true;
  re.command = "s/x/y/";
  EXPECT_TRUE(PutExtensionDot(re));
}

// The string unit does the searching; these check which of its forms the
// options choose, with the cases the dialog's users meet.
TEST(ReplaceText, PlainOptionsChooseCaseAndCount) {
  ReplaceOptions o = Plain("abc", "x");
  EXPECT_EQ(Once("ABCabcAbC", o), "xxx");
  o.firstOnly = true;
  EXPECT_EQ(Once("ABCabcAbC", o), "xabcAbC");
  o.matchCase = true;
  EXPECT_EQ(Once("ABCabcAbC", o), "ABCxAbC");
  EXPECT_EQ(Once("aaa", Plain("a", "aa")), "aaaaaa");
  // Full-width letters match either case; the trail byte of ア (0x83 0x41) is no A.
  EXPECT_EQ(Once("ａＡアa", Plain("ａ", "x")), "xxアa");
  EXPECT_EQ(Once("アAア", Plain("a", "_")), "ア_ア");
}

TEST(ReplaceText, SubstitutionCommandsRunOnTheText) {
  EXPECT_EQ(Once("IMG 12 of 3", Regex("s/(\\d+)/No.$1/g")), "IMG No.12 of No.3");
  EXPECT_EQ(Once("IMG 12 of 3", Regex("s/(\\d+)/No.$1/")), "IMG No.12 of 3");
  EXPECT_EQ(Once("写真と旅行", Regex("s/写真|旅行/photo/g")), "photoとphoto");
  EXPECT_EQ(Once("nothing", Regex("s/\\d/x/")), "nothing");
  EXPECT_EQ(Once("", Regex("s/^/x/")), "");  // an empty text is left alone
}

TEST(ReplaceInNames, OnlyTheGivenRowsChangeAndEveryOneCounts) {
  TCsvDb t = Table({{"IMG_1", ".jpg"}, {"IMG_2", ".jpg"}, {"memo", ".txt"}, {"IMG_4", ".jpg"}});
  EXPECT_EQ(ReplaceInNames(t, {0, 2, 3}, Regex("s/^IMG_//")), 3);
  EXPECT_EQ(Rows(t), (std::vector<std::string>{"1|.jpg", "IMG_2|.jpg", "memo|.txt", "4|.jpg"}));
  EXPECT_EQ(ReplaceInNames(t, {}, Regex("s/^/x/")), 0);
}

TEST(ReplaceInNames, ABadCommandEndsTheRunAtItsRow) {
  TCsvDb t = Table({{"a1", ""}, {"b2", ""}});
  for (const char* bad : {"s/(a/x/", "s/a/x/q", "s/a/x", "m/a/"}) {
    EXPECT_THROW(ReplaceInNames(t, {0, 1}, Regex(bad)), EBRegExpError) << bad;
    EXPECT_EQ(Rows(t), (std::vector<std::string>{"a1|", "b2|"})) << bad;
  }
  // Runaway backtracking on the third row: the rows before it keep their names.
  t = Table({{"aab", ""}, {"ab", ""}, {std::string(40, 'a').append("c b").c_str(), ""}, {"b", ""}});
  try {
    ReplaceInNames(t, {0, 1, 2, 3}, Regex("s/(a+)+b/x/"));
    FAIL() << "no error";
  } catch (const EBRegExpError& e) {
    EXPECT_NE(std::string(e.what()).find("上限"), std::string::npos) << e.what();
  }
  EXPECT_EQ(Rows(t)[0], "x|");
  EXPECT_EQ(Rows(t)[1], "x|");
  EXPECT_EQ(Rows(t)[3], "b|");
}

}  // namespace
}  // namespace tonbo
