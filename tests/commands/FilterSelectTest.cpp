#include "commands/FilterSelect.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "TestEnv.h"
#include "common/Sjis.h"
#include "text/BRegExp.h"
#include "text/Wildcard.h"

namespace tonbo {
namespace {

struct Entry {
  const char* name;
  const char* ext;
  const char* date;
};

// Names, extensions and dates as the list holds them; paths under /d/.
TCsvDb Table(std::initializer_list<Entry> entries) {
  TCsvDb t;
  int r = 0;
  for (const Entry& e : entries) {
    t.SetCell(colNewName, r, enc::Lit(e.name));
    t.SetCell(colExt, r, e.ext);
    t.SetCell(colModified, r, e.date);
    t.SetCell(colPath, r, enc::Lit(std::string("/d/") + e.name + e.ext));
    ++r;
  }
  return t;
}

const TCsvDb& Photos() {
  static const TCsvDb table = Table({{"photo", ".jpg", "2005/12/31 13:05:09"},
                                     {"Photo01", ".JPG", "2006/01/02 00:00:00"},
                                     {"写真", ".txt", "2005/12/31 08:00:00"},
                                     {"ＡＢＣ", ".png", "2005/01/01 00:00:00"},
                                     {"abc123", ".mp3", "2005/01/01 00:00:00"}});
  return table;
}

std::vector<int> Rows(const std::vector<bool>& selected) {
  std::vector<int> rows;
  for (size_t i = 0; i < selected.size(); ++i)
    if (selected[i]) rows.push_back(static_cast<int>(i));
  return rows;
}

struct Case {
  const char* label;
  FilterScope scope;
  FilterMethod method;
  const char* key;  // UTF-8
  bool useCase;
  bool exclude;
  std::vector<int> rows;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.label; }

class Condition : public testing::TestWithParam<Case> {};

TEST_P(Condition, SelectsTheRowsWhoseTextMeetsIt) {
  const Case& c = GetParam();
  FilterOptions o;
  o.scope = c.scope;
  o.method = c.method;
  o.key = enc::Lit(c.key);
  o.useCase = c.useCase;
  o.exclude = c.exclude;
  std::vector<bool> selected;
  const int count = SelectByCondition(Photos(), o, selected);
  ASSERT_EQ(selected.size(), 5u);
  EXPECT_EQ(Rows(selected), c.rows);
  EXPECT_EQ(count, static_cast<int>(c.rows.size()));
}

using S = FilterScope;
using M = FilterMethod;
const std::vector<int> kAll = {0, 1, 2, 3, 4};

INSTANTIATE_TEST_SUITE_P(
    Photos, Condition,
    testing::Values(
        Case{"plain ignores case", S::Name, M::Plain, "PHOTO", false, false, {0, 1}},
        Case{"plain with case", S::Name, M::Plain, "Photo", true, false, {1}},
        Case{"full-width letters fold when case is ignored",
             S::Name,
             M::Plain,
             "ａｂｃ",
             false,
             false,
             {3}},
        Case{"full-width letters with case", S::Name, M::Plain, "ａｂｃ", true, false, {}},
        Case{"extension keeps its dot", S::Ext, M::Plain, ".jp", false, false, {0, 1}},
        Case{"name and extension joined", S::NameExt, M::Plain, "o.j", false, false, {0}},
        Case{"path", S::Path, M::Plain, "/d/写", true, false, {2}},
        Case{"date", S::Date, M::Plain, "2005/12", true, false, {0, 2}},
        Case{"no scope: nothing contains a key", S::None, M::Plain, "a", false, false, {}},
        Case{"no scope: everything lacks a key", S::None, M::Plain, "a", false, true, kAll},
        Case{"an empty plain key never occurs", S::Name, M::Plain, "", false, true, kAll},
        Case{"not containing inverts", S::Ext, M::Plain, ".jpg", false, true, {2, 3, 4}},
        Case{"a mask covers the whole text", S::Name, M::Wildcard, "photo", false, false, {0}},
        Case{"a mask folds ASCII even with case",
             S::NameExt,
             M::Wildcard,
             "*.JPG",
             true,
             false,
             {0, 1}},
        Case{"a mask keeps full-width case", S::Name, M::Wildcard, "ａ*", true, false, {}},
        Case{"a mask over lowered full-width text", S::Name, M::Wildcard, "ａ*", false, false, {3}},
        Case{"a mask against an empty text", S::None, M::Wildcard, "*", false, false, kAll},
        Case{"a bare expression becomes m/key/", S::Name, M::RegExp, "^p.o", false, false, {0, 1}},
        Case{"a key starting with m is the command",
             S::Name,
             M::RegExp,
             "m#^ph#",
             false,
             false,
             {0, 1}},
        Case{"an empty expression matches everything", S::Ext, M::RegExp, "", false, false, kAll},
        Case{"an expression with case keeps its escapes",
             S::Name,
             M::RegExp,
             "\\D{3}\\d",
             true,
             false,
             {1, 4}},
        // \D becomes \d: four digits in a row, which no name has.
        Case{"ignoring case lowers the escapes too",
             S::Name,
             M::RegExp,
             "\\D{3}\\d",
             false,
             false,
             {}},
        Case{"not matching an expression", S::Date, M::RegExp, "^2005", true, true, {1}}));

FilterOptions Options(FilterScope scope, FilterMethod method, const std::string& key) {
  FilterOptions o;
  o.scope = scope;
  o.method = method;
  o.key = key;
  return o;
}

TEST(SelectByCondition, MalformedMaskEndsTheRunAtTheFirstRow) {
  std::vector<bool> selected = {true};
  const FilterOptions o = Options(S::Name, M::Wildcard, "[");
  EXPECT_THROW(SelectByCondition(Photos(), o, selected), EMaskException);
  EXPECT_TRUE(selected.empty());
  // With no row to test the mask is never read.
  EXPECT_EQ(SelectByCondition(TCsvDb(), o, selected), 0);
}

TEST(SelectByCondition, KeyStartingWithMReachesTheLibraryUnchanged) {
  // "movie" reads as a match command delimited by "o" that never closes.
  std::vector<bool> selected;
  EXPECT_THROW(SelectByCondition(Photos(), Options(S::Name, M::RegExp, "movie"), selected),
               EBRegExpError);
  EXPECT_TRUE(selected.empty());
}

TEST(SelectByCondition, RunawayMatchKeepsTheRowsDecidedBeforeIt) {
  TCsvDb table;
  const std::string names[] = {"ab", std::string(40, 'a') + "c b", "ab"};
  for (int r = 0; r < 3; ++r) table.SetCell(colNewName, r, names[r]);
  std::vector<bool> selected;
  EXPECT_THROW(SelectByCondition(table, Options(S::Name, M::RegExp, "(a+)+b"), selected),
               EBRegExpError);
  EXPECT_EQ(selected, std::vector<bool>{true});
}

// Files of every kind the list may hold, under the contents scope.
class Contents : public testing::Test {
 protected:
  void SetUp() override {
    const std::string dir = test::MakeTempDir("filter");
    test::WriteFile(dir + "notes.txt", "first line\nSecond LINE");
    test::WriteFile(dir + "data.bin", std::string("\0\x01PK\0hidden key\0\xFF", 17));
    ASSERT_EQ(mkfifo((dir + "pipe").c_str(), 0600), 0);
    const char* const names[] = {"notes.txt", "data.bin", "gone.txt", "", "pipe"};
    for (int r = 0; r < 5; ++r) table_.SetCell(colPath, r, dir + names[r]);
  }

  std::vector<int> Run(FilterMethod method, const char* key, bool exclude = false) {
    FilterOptions o = Options(S::Contents, method, key);
    o.exclude = exclude;
    std::vector<bool> selected;
    SelectByCondition(table_, o, selected, [this] { ++reads_; });
    return Rows(selected);
  }

  TCsvDb table_;
  int reads_ = 0;
};

TEST_F(Contents, PlainKeysMeetLinesEndedByCrLfAndBytesPastNul) {
  EXPECT_EQ(Run(M::Plain, "line\r\nsecond"), std::vector<int>{0});
  EXPECT_EQ(Run(M::Plain, "hidden key"), std::vector<int>{1});
  EXPECT_EQ(reads_, 10);
}

TEST_F(Contents, WhatCannotBeReadIsTestedAsTheEmptyText) {
  EXPECT_EQ(Run(M::Plain, "e", true), (std::vector<int>{2, 3, 4}));
  EXPECT_EQ(Run(M::Wildcard, "*"), (std::vector<int>{0, 1, 2, 3, 4}));
  EXPECT_EQ(Run(M::RegExp, "e", true), (std::vector<int>{2, 3, 4}));
}

TEST_F(Contents, MasksAndExpressionsSeeTheWholeText) {
  EXPECT_EQ(Run(M::Wildcard, "first*line??"), std::vector<int>{0});
  // Every line ends in CR LF, and "$" stands before the LF.
  EXPECT_EQ(Run(M::RegExp, "m/^second line\\r$/m"), std::vector<int>{0});
  EXPECT_EQ(Run(M::RegExp, "m/^second line$/m"), std::vector<int>{});
  EXPECT_EQ(Run(M::RegExp, "pk\\x00hidden"), std::vector<int>{1});
}

// The same words in the two encodings a text file on Linux comes in.
class EncodedContents : public testing::Test {
 protected:
  void SetUp() override {
    const std::string dir = test::MakeTempDir("filter");
    const std::string words = "請求書 No.12 ＡＢＣ Invoice\n";
    Add(dir + "utf8.txt", words);
    Add(dir + "sjis.txt", enc::Lit(words));
    Add(dir + "bom.txt", "\xEF\xBB\xBF" + words);
    // Not text: a code page 932 ア (0x83 0x41) holds "A" as its second byte,
    // and UTF-8 bytes stand among bytes that are not UTF-8.
    Add(dir + "data.bin", std::string("\0\x83\x41\xFF\xE8\xAB\x8B\xE6\xB1\x82\xE6\x9B\xB8\0", 14));
    Add(dir + "hangul.txt", "한국어 café\n");
  }

  void Add(const std::string& path, const std::string& bytes) {
    test::WriteFile(path, bytes);
    table_.SetCell(colPath, table_.RowCount(), path);
  }

  std::vector<int> Run(FilterMethod method, const char* key, bool useCase = false) {
    FilterOptions o = Options(S::Contents, method, enc::Lit(key));
    o.useCase = useCase;
    std::vector<bool> selected;
    SelectByCondition(table_, o, selected);
    return Rows(selected);
  }

  TCsvDb table_;
};

TEST_F(EncodedContents, PlainKeysMatchInCodePage932AndInUtf8) {
  EXPECT_EQ(Run(M::Plain, "請求書"), (std::vector<int>{0, 1, 2, 3}));
  EXPECT_EQ(Run(M::Plain, "求書 No"), (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(Run(M::Plain, "café"), std::vector<int>{4});
  EXPECT_EQ(Run(M::Plain, "한국"), std::vector<int>{4});
  EXPECT_EQ(Run(M::Plain, "請求書X"), std::vector<int>{});
}

TEST_F(EncodedContents, CaseFoldsInBothEncodings) {
  EXPECT_EQ(Run(M::Plain, "invoice"), (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(Run(M::Plain, "invoice", true), std::vector<int>{});
  EXPECT_EQ(Run(M::Plain, "ａｂｃ"), (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(Run(M::Plain, "ａｂｃ", true), std::vector<int>{});
  EXPECT_EQ(Run(M::Plain, "ＡＢＣ", true), (std::vector<int>{0, 1, 2}));
  // The second byte of ア is no letter A, in either reading of the bytes.
  EXPECT_EQ(Run(M::Plain, "a"), std::vector<int>{4});
  EXPECT_EQ(Run(M::Plain, "A", true), std::vector<int>{});
}

TEST_F(EncodedContents, MasksAndExpressionsSeeUtf8FilesAsText) {
  // One character of the code page for each UTF-8 character: "." takes 請 whole.
  EXPECT_EQ(Run(M::RegExp, "^.求書 no\\.12"), (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(Run(M::RegExp, "^...$"), std::vector<int>{});
  // A character outside the code page is a pair of codes to an expression.
  EXPECT_EQ(Run(M::RegExp, "^\\S{6} caf..\\r$", true), std::vector<int>{4});
  EXPECT_EQ(Run(M::RegExp, "国語|café"), std::vector<int>{4});
  EXPECT_EQ(Run(M::Wildcard, "請求書*invoice??"), (std::vector<int>{0, 1, 2}));
  // Bytes that are not UTF-8 are tested as they are.
  EXPECT_EQ(Run(M::RegExp, "ア"), std::vector<int>{3});
}

TEST_F(EncodedContents, CharactersOutsideTheCodePageAreFoundInUtf8Files) {
  const FilterOptions o = Options(S::Contents, M::RegExp, enc::Lit("m/한|국어/"));
  std::vector<bool> selected;
  SelectByCondition(table_, o, selected);
  EXPECT_EQ(Rows(selected), std::vector<int>{4});
}

TEST(SelectByCondition, OtherScopesReadNoFile) {
  int reads = 0;
  std::vector<bool> selected;
  SelectByCondition(Photos(), Options(S::Path, M::Plain, "x"), selected, [&] { ++reads; });
  EXPECT_EQ(reads, 0);
}

}  // namespace
}  // namespace tonbo
