#include "commands/NamingCommands.h"

#include <gtest/gtest.h>

#include <set>

#include "common/Sjis.h"

namespace tonbo {
namespace {

TCsvDb Table(std::initializer_list<std::pair<const char*, const char*>> rows) {
  TCsvDb t;
  int r = 0;
  for (auto [name, date] : rows) {
    t.SetCell(colNewName, r, name);
    t.SetCell(colExt, r, ".jpg");
    t.SetCell(colModified, r, date);
    t.SetCell(colPath, r, std::string("/d/") + name + ".jpg");
    ++r;
  }
  return t;
}

std::vector<std::string> Names(const TCsvDb& t) {
  std::vector<std::string> out;
  for (int r = 0; r < t.RowCount(); ++r) out.emplace_back(t.GetCell(colNewName, r));
  return out;
}

constexpr const char* kDay = "2005/12/31 13:05:09";

TEST(RenameRules, FormattersFollowTheSettings) {
  RenameRules r;
  LocalDateTime d;
  ASSERT_TRUE(ParseDateText(kDay, d));
  EXPECT_EQ(FormatSerialName(r, 1, "FileName", d), "001");
  r.renbanDate = 1;
  EXPECT_EQ(FormatSerialName(r, 1, "FileName", d), "051231_001");
  r = RenameRules();
  r.renbanOldName = 1;
  r.renbanFooter = "-";
  EXPECT_EQ(FormatSerialName(r, 1, "FileName", d), "001-FileName");
  r = RenameRules();
  r.renbanPattern = 1;
  r.renbanLength = 4;
  EXPECT_EQ(FormatSerialName(r, 255, "", d), "00FF");
  EXPECT_EQ(FormatSerialName(r, -1, "", d), "FFFFFFFF");
  r.renbanPattern = 0;
  r.renbanLength = 0;
  EXPECT_EQ(FormatSerialName(r, 7, "", d), "7");
  EXPECT_EQ(FormatSerialName(r, -5, "", d), "-5");
  r.renbanLength = 3;
  r.renbanHeader = "100%";
  EXPECT_EQ(FormatSerialName(r, 1, "", d), "100%001");
  EXPECT_EQ(FormatSerialName(r, -5, "", d), "100%-005");
  r = RenameRules();
  EXPECT_EQ(FormatDateName(r, 1, d), "05-12-31__001");
  r.dateFormat = 8;
  EXPECT_EQ(enc::FromSjis(FormatDateName(r, 1, d)), QStringLiteral("05年12月31日13時05分__001"));
  r.dateFormat = 10;
  r.dateKeta = 0;
  EXPECT_EQ(FormatDateName(r, 7, d), "13_05_09__7");
}

TEST(RenameRules, LettersFormOneAlphabetWithoutGaps) {
  struct {
    long long n;
    const char* text;
  } cases[] = {{1, "a"},    {26, "z"},   {27, "aa"},  {28, "ab"},   {52, "az"}, {53, "ba"},
               {676, "yz"}, {677, "za"}, {702, "zz"}, {703, "aaa"}, {0, "0"},   {-3, "-3"}};
  for (const auto& c : cases) EXPECT_EQ(LetterText(c.n), c.text) << c.n;
}

TEST(RenameRules, DateTextMustBeTheTablesForm) {
  LocalDateTime d;
  EXPECT_TRUE(ParseDateText("2024/02/29 23:59:58", d));
  EXPECT_FALSE(ParseDateText("2024-02-29 23:59:58", d));
  EXPECT_FALSE(ParseDateText("2024/13/01 00:00:00", d));
  EXPECT_FALSE(ParseDateText("", d));
}

TEST(NameSerial, SelectedRowsTakeConsecutiveNumbers) {
  TCsvDb t = Table({{"a", kDay}, {"b", kDay}, {"c", kDay}, {"d", kDay}, {"e", kDay}});
  RenameRules r;
  EXPECT_EQ(NameSerial(t, {0, 2, 4}, r).named, 3);
  EXPECT_EQ(Names(t), (std::vector<std::string>{"001", "b", "002", "d", "003"}));
  EXPECT_EQ(t.GetCell(colExt, 0), ".jpg");
  NameSerial(t, {0, 2, 4}, r);  // again: the same names
  EXPECT_EQ(Names(t), (std::vector<std::string>{"001", "b", "002", "d", "003"}));
}

TEST(NameSerial, UnreadableDateIsSkippedOnlyWhenTheDateIsUsed) {
  TCsvDb t = Table({{"a", kDay}, {"b", "garbage"}, {"c", kDay}});
  RenameRules r;
  EXPECT_EQ(NameSerial(t, {0, 1, 2}, r).skipped, 0);
  r.renbanDate = 3;
  NamingOutcome o = NameSerial(t, {0, 1, 2}, r);
  EXPECT_EQ(o.named, 2);
  EXPECT_EQ(o.skipped, 1);
  EXPECT_EQ(Names(t), (std::vector<std::string>{"20051231_001", "002", "20051231_002"}));
}

TEST(NameByDate, SameDateGetsConsecutiveSerialsAndOthersStartAgain) {
  TCsvDb t = Table({{"a", kDay},
                    {"b", kDay},
                    {"x", "2005/12/30 10:00:00"},
                    {"c", kDay},
                    {"05-12-31__001", kDay}});
  RenameRules r;
  NameByDate(t, {0, 1, 2, 3}, r);
  // An unselected row already holds 05-12-31__001.
  EXPECT_EQ(Names(t), (std::vector<std::string>{"05-12-31__002", "05-12-31__003", "05-12-30__001",
                                                "05-12-31__004", "05-12-31__001"}));
  NameByDate(t, {0, 1, 2, 3}, r);  // again: the same names
  EXPECT_EQ(Names(t)[0], "05-12-31__002");
  EXPECT_EQ(Names(t)[3], "05-12-31__004");
}

TEST(NameByDate, AFreedNameIsTakenAgain) {
  // b holds 001 while a is named; b's own name is free again when b's turn comes.
  TCsvDb t = Table({{"a", kDay}, {"05-12-31__001", kDay}});
  RenameRules r;
  NameByDate(t, {0, 1}, r);
  EXPECT_EQ(Names(t), (std::vector<std::string>{"05-12-31__002", "05-12-31__001"}));
}

// The indexed date naming against the literal search over the table.
TEST(NameByDate, MatchesALinearReference) {
  RenameRules r;
  r.dateKeta = 1;
  r.dateSplitter = "_";
  const char* dates[] = {"2005/12/31 01:00:00", "2005/12/30 01:00:00"};
  for (int seed = 0; seed < 200; ++seed) {
    std::mt19937 rng(static_cast<unsigned>(seed));
    TCsvDb t;
    std::vector<int> rows;
    for (int i = 0; i < 12; ++i) {
      const char* date = dates[rng() % 2];
      t.SetCell(colModified, i, date);
      std::string name =
          rng() % 2 ? "05-12-3" + std::to_string(rng() % 2) + "_" + std::to_string(rng() % 5 + 1)
                    : "x" + std::to_string(i);
      t.SetCell(colNewName, i, name);
      if (rng() % 3) rows.push_back(i);
    }
    TCsvDb expect = t;
    for (int row : rows) {
      LocalDateTime d;
      ParseDateText(expect.GetCell(colModified, row), d);
      expect.SetCell(colNewName, row, "");
      long long s = r.dateStart;
      while (expect.FindRow(FormatDateName(r, s, d), colNewName, 0) >= 0) ++s;
      expect.SetCell(colNewName, row, FormatDateName(r, s, d));
    }
    NameByDate(t, rows, r);
    ASSERT_EQ(Names(t), Names(expect)) << "seed " << seed;
  }
}

TEST(NameFixed, NumbersDuplicatesInListOrder) {
  TCsvDb t = Table({{"a", kDay}, {"b", kDay}, {"c", kDay}, {"d", kDay}});
  t.SetCell(colExt, 2, ".png");
  NameFixed(t, {0, 1, 2, 3}, "photo", true);
  EXPECT_EQ(Names(t), (std::vector<std::string>{"photo", "photo_1", "photo_2", "photo_3"}));
  EXPECT_EQ(t.GetCell(colExt, 2), ".png");
  NameFixed(t, {0, 1, 2, 3}, "photo.png", false);
  EXPECT_EQ(Names(t), (std::vector<std::string>{"photo", "photo_1", "photo_2", "photo_3"}));
  EXPECT_EQ(t.GetCell(colExt, 0), ".png");
  NameFixed(t, {0}, "archive.tar.gz", false);
  EXPECT_EQ(t.GetCell(colNewName, 0), "archive.tar");
  EXPECT_EQ(t.GetCell(colExt, 0), ".gz");
  NameFixed(t, {0}, "README", false);
  EXPECT_EQ(t.GetCell(colExt, 0), "");
}

TEST(NameFixed, AnUnselectedHolderPushesTheFirstToOne) {
  TCsvDb t = Table({{"photo", kDay}, {"a", kDay}, {"b", kDay}});
  NameFixed(t, {1, 2}, "photo", true);
  EXPECT_EQ(Names(t), (std::vector<std::string>{"photo", "photo_1", "photo_2"}));
  NameFixed(t, {0}, "photo", true);  // its own name is no duplicate
  EXPECT_EQ(Names(t)[0], "photo");
}

TEST(AddText, HeadAndFoot) {
  TCsvDb t = Table({{"a", kDay}, {"b", kDay}});
  AddText(t, {0, 1}, "_old", false);
  AddText(t, {0}, "2005_", true);
  EXPECT_EQ(Names(t), (std::vector<std::string>{"2005_a_old", "b_old"}));
}

TEST(NameRandom, NamesAreUniqueWithinTheLengthBounds) {
  TCsvDb t;
  std::vector<int> rows;
  for (int i = 0; i < 300; ++i) {
    t.SetCell(colNewName, i, "n" + std::to_string(i));
    rows.push_back(i);
  }
  RenameRules r;
  std::mt19937 rng(1);
  RandomHooks hooks{[&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); }, {}};
  NameRandom(t, rows, r, hooks);
  std::set<std::string> seen;
  for (const auto& n : Names(t)) {
    EXPECT_GE(n.size(), 4u);
    EXPECT_LE(n.size(), 8u);
    // Whole characters: a kana's second byte may be the code of "\\".
    for (QChar c : enc::FromSjis(n)) EXPECT_FALSE(QStringLiteral(" \\/:*?<>|\"").contains(c));
    seen.insert(n);
  }
  EXPECT_EQ(seen.size(), 300u);
}

TEST(NameRandom, RelaxesWhenNamesRunOut) {
  TCsvDb t;
  std::vector<int> rows;
  for (int i = 0; i < 12; ++i)
    rows.push_back(i), t.SetCell(colNewName, i, "file" + std::to_string(i));
  RenameRules r;
  r.randomFrom = r.randomTo = 1;
  r.randomLower = r.randomUpper = r.randomSymbol = r.randomHira = r.randomKana = false;
  std::mt19937 rng(7);
  int relaxed = 0;
  RandomHooks hooks{[&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); },
                    [&] { ++relaxed; }};
  NameRandom(t, rows, r, hooks);
  EXPECT_EQ(relaxed, 1);
  EXPECT_EQ(r.randomTo, 5);
  EXPECT_TRUE(r.randomLower);
  const std::vector<std::string> names = Names(t);
  EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), 12u);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(t.GetCell(colNewName, i).size(), 1u);
  EXPECT_LE(t.GetCell(colNewName, 11).size(), 4u);
}

TEST(NameRandom, PoolHoldsTheClassesInOrder) {
  RenameRules r;
  std::vector<std::string> pool = RandomPool(r);
  EXPECT_EQ(pool.size(), 195u);
  EXPECT_EQ(pool.front(), "a");
  EXPECT_EQ(enc::FromSjis(pool.back()), QStringLiteral("ン"));
  r.randomLower = r.randomUpper = r.randomNum = r.randomSymbol = r.randomHira = r.randomKana =
      false;
  EXPECT_TRUE(RandomPool(r).empty());
  TCsvDb t = Table({{"a", kDay}});
  RandomHooks hooks{[](int) { return 0; }, {}};
  EXPECT_EQ(NameRandom(t, {0}, r, hooks), 0);
  EXPECT_EQ(Names(t)[0], "a");
}

}  // namespace
}  // namespace tonbo
