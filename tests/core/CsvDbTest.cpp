// Cells, rows and the copy-on-write sharing of the table.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CsvTableRows.h"
#include "core/CsvDb.h"

namespace tonbo {
namespace {

using test::CellsOf;
using test::MakeTable;
using test::Rows;

std::vector<std::string> Column(const TCsvDb& t, int col) {
  std::vector<std::string> out;
  for (int r = 0; r < t.RowCount(); ++r) out.emplace_back(t.GetCell(col, r));
  return out;
}

TEST(CsvCells, PutPadsAndDeleteMovesLaterCellsDown) {
  TCsvCells row;
  row.Put(3, "d");
  row.Put(-1, "x");
  EXPECT_EQ(row.Count(), 4);
  EXPECT_EQ(row.Get(4), "");
  EXPECT_EQ(row.Get(-1), "");
  row.Delete(4);
  row.Delete(-1);
  row.Delete(1);
  ASSERT_EQ(row.Count(), 3);
  EXPECT_EQ(row.Get(2), "d");
}

TEST(CsvCells, TrimRightDropsOnlyTrailingBlankCells) {
  TCsvCells row;
  for (const char* s : {"", " x", "", " \t", "\x01"}) row.Add(s);
  row.TrimRight();
  EXPECT_EQ(row.Count(), 2);
  EXPECT_EQ(row.Get(1), " x");
  TCsvCells blank;
  for (const char* s : {"", "  "}) blank.Add(s);
  blank.TrimRight();
  EXPECT_EQ(blank.Count(), 0);
}

TEST(CsvDb, SettingACellBeyondTheEndPadsRowsAndCells) {
  TCsvDb t;
  t.SetCell(3, 5, "x");
  ASSERT_EQ(t.RowCount(), 6);
  for (int r = 0; r < 5; ++r) EXPECT_EQ(t.GetRow(r), nullptr) << r;
  ASSERT_NE(t.GetRow(5), nullptr);
  EXPECT_EQ(t.GetRow(5)->Count(), 4);
  EXPECT_EQ(t.GetCell(3, 5), "x");
  EXPECT_EQ(t.MaxColCount(), 4);
}

TEST(CsvDb, OutOfRangeReadsAreEmptyAndNegativeWritesIgnored) {
  TCsvDb t;
  t.SetCell(-1, 0, "x");
  t.SetCell(0, -1, "x");
  EXPECT_EQ(t.RowCount(), 0);
  t.SetCell(0, 1, "a");
  EXPECT_EQ(t.GetCell(0, 0), "");   // absent row
  EXPECT_EQ(t.GetCell(7, 1), "");   // beyond the row's end
  EXPECT_EQ(t.GetCell(-1, 1), "");  // negative column
  EXPECT_EQ(t.GetCell(0, 9), "");   // beyond the table
  EXPECT_EQ(t.GetRow(-1), nullptr);
  t.DeleteRow(5);
  t.DeleteRow(-1);
  EXPECT_EQ(t.RowCount(), 2);
}

TEST(CsvDb, FindRowIsByteExactFromTheFirstRowAndSkipsAbsentRows) {
  TCsvDb t = MakeTable({{"a"}, {}, {"B"}, {"b"}, {"b"}});
  t.PutRow(1, nullptr);
  EXPECT_EQ(t.FindRow("b", 0, 0), 3);
  EXPECT_EQ(t.FindRow("b", 0, 4), 4);
  EXPECT_EQ(t.FindRow("a", 0, 1), -1);
  EXPECT_EQ(t.FindRow("a", 0, -3), 0);
  EXPECT_EQ(t.FindRow("b", 0, 99), -1);
  EXPECT_EQ(t.FindRow("", 0, 0), -1) << "the absent row must be skipped";
  EXPECT_EQ(t.FindRow("", 1, 0), 0) << "a missing cell reads as empty";
}

TEST(CsvDb, AssignCopiesAbsentRowsAsEmptyRows) {
  TCsvDb src;
  src.SetCell(0, 2, "c");
  TCsvDb dst = MakeTable({{"old"}, {"old"}, {"old"}, {"old"}});
  dst.Assign(src);
  ASSERT_EQ(dst.RowCount(), 3);
  ASSERT_NE(dst.GetRow(0), nullptr);
  EXPECT_EQ(dst.GetRow(0)->Count(), 0);
  EXPECT_EQ(dst.GetCell(0, 2), "c");
  EXPECT_EQ(src.GetRow(0), nullptr);
}

TEST(CsvDb, AWriteToTheOriginalLeavesTheCopyAloneAndSharesOtherRows) {
  TCsvDb a = MakeTable({{"1"}, {"2"}, {"3"}});
  TCsvDb b = a;
  a.SetCell(0, 1, "two");
  EXPECT_EQ(Column(b, 0), (std::vector<std::string>{"1", "2", "3"}));
  EXPECT_EQ(Column(a, 0), (std::vector<std::string>{"1", "two", "3"}));
  EXPECT_FALSE(a.SharesRow(1, b, 1));
  // Storage is copied per block of rows of one column: a row in another
  // block, and another column of the written row, stay shared.
  const int far = TCellChunk::kRows + 5;
  a.SetCell(0, far, "far");
  a.SetCell(1, 1, "side");
  b = a;
  a.SetCell(0, 1, "2");
  EXPECT_EQ(b.GetCell(0, 1), "two");
  EXPECT_FALSE(a.SharesCell(0, 1, b, 1));
  EXPECT_TRUE(a.SharesCell(1, 1, b, 1));
  EXPECT_TRUE(a.SharesRow(far, b, far));
}

TEST(CsvDb, AWriteToTheCopyLeavesTheOriginalAlone) {
  TCsvDb a = MakeTable({{"1"}, {"2"}});
  TCsvDb b;
  b.Assign(a);
  b.SetCell(3, 0, "x");
  EXPECT_TRUE(a.SharesCell(0, 1, b, 1)) << "column 0 was not written";
  b.SetCell(0, 5, "new");
  EXPECT_EQ(a.RowCount(), 2);
  EXPECT_EQ(a.GetRow(0)->Count(), 1);
  EXPECT_EQ(b.GetCell(3, 0), "x");
  EXPECT_EQ(a.GetCell(3, 0), "");
  EXPECT_EQ(a.GetCell(0, 5), "");
}

TEST(CsvDb, SortingACopyMovesOnlyItsOwnRowSlots) {
  TCsvDb a = MakeTable({{"c"}, {"a"}, {"b"}});
  TCsvDb b = a;
  b.SortText(0);
  b.Reverse();
  EXPECT_EQ(Column(a, 0), (std::vector<std::string>{"c", "a", "b"}));
  EXPECT_EQ(Column(b, 0), (std::vector<std::string>{"c", "b", "a"}));
  EXPECT_TRUE(b.SharesRow(0, a, 0));
  EXPECT_TRUE(b.SharesRow(2, a, 1));
}

TEST(CsvDb, ARowHandedOutByGetRowIsASnapshot) {
  TCsvDb a = MakeTable({{"before"}});
  RowPtr held = a.GetRow(0);
  a.SetCell(0, 0, "after");
  EXPECT_EQ(held->Get(0), "before");
  EXPECT_EQ(a.GetCell(0, 0), "after");
}

TEST(CsvDb, CompactRemovesAbsentAndBlankRowsOnlyAtBothEnds) {
  TCsvDb t = MakeTable({{" ", ""}, {}, {"a", " "}, {}, {"", "b"}, {" \t"}, {}});
  t.PutRow(1, nullptr);
  t.PutRow(3, nullptr);
  t.PutRow(8, nullptr);
  TCsvDb copy = t;
  t.Compact();
  ASSERT_EQ(t.RowCount(), 3);
  EXPECT_EQ(t.GetCell(0, 0), "a");
  EXPECT_EQ(t.GetRow(0)->Count(), 1) << "the first kept row is right-trimmed";
  EXPECT_EQ(t.GetRow(1), nullptr) << "absent rows inside stay";
  EXPECT_EQ(t.GetCell(1, 2), "b");
  EXPECT_EQ(copy.GetRow(2)->Count(), 2) << "trimming a shared row must not reach the copy";
}

TEST(CsvDb, CompactOfOnlyBlankRowsEmptiesTheTable) {
  TCsvDb t = MakeTable({{" "}, {""}});
  t.PutRow(3, nullptr);
  t.Compact();
  EXPECT_EQ(t.RowCount(), 0);
}

// The mark stays through copies and packing; its text alone never marks; a new name unmarks.
TEST(CsvDb, OnlyMarkForDeletionMarksARow) {
  TCsvDb t;
  for (int r = 0; r < 70000; ++r) t.SetCell(colPath, r, std::to_string(r));
  t.SetCell(colNewName, 0, DeleteMark());  // a file named like the mark
  for (int r : {1, 2}) t.MarkForDeletion(r);
  const TCsvDb snapshot = t;
  t.SetCell(colNewName, 2, "x");
  t.SetCell(colNewName, 2, DeleteMark());                  // asked for once the mark was gone
  while (t.RowCount() > 3) t.DeleteRow(t.RowCount() - 1);  // packs the storage
  EXPECT_TRUE(!t.MarkedForDeletion(0) && t.MarkedForDeletion(1) && !t.MarkedForDeletion(2));
  EXPECT_TRUE(snapshot.MarkedForDeletion(2));
}

TEST(CsvDb, LoadFromGridSetsOnlyNonEmptyCells) {
  TCsvDb t = MakeTable({{"old"}});
  t.LoadFromGrid({{"h1", "", "h3"}, {"", ""}, {"", "x"}});
  ASSERT_EQ(t.RowCount(), 3);
  EXPECT_EQ(t.GetRow(0)->Count(), 3);
  EXPECT_EQ(t.GetRow(1), nullptr);
  EXPECT_EQ(t.GetRow(2)->Count(), 2);
  EXPECT_EQ(t.GetCell(0, 0), "h1");
  EXPECT_EQ(t.GetCell(1, 2), "x");
}

struct ConsistencyCase {
  const char* name;
  Rows paths;  // one Path per row; "-" marks an absent row
  bool consistent;
};

class FileTableConsistency : public ::testing::TestWithParam<ConsistencyCase> {};

TEST_P(FileTableConsistency, ChecksPresentUniqueNonEmptyPaths) {
  TCsvDb t;
  for (size_t r = 0; r < GetParam().paths.size(); ++r) {
    const std::string& path = GetParam().paths[r][0];
    if (path == "-") {
      t.PutRow(static_cast<int>(r), nullptr);
    } else {
      t.SetCell(colNewName, static_cast<int>(r), "n");
      t.SetCell(colPath, static_cast<int>(r), path);
    }
  }
  EXPECT_EQ(t.IsConsistent(), GetParam().consistent);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FileTableConsistency,
    ::testing::Values(ConsistencyCase{"empty_table", {}, true},
                      ConsistencyCase{"distinct_paths", {{"/a/x"}, {"/a/X"}, {"/b/x"}}, true},
                      ConsistencyCase{"same_path_twice", {{"/a/x"}, {"/b"}, {"/a/x"}}, false},
                      ConsistencyCase{"empty_path", {{"/a/x"}, {""}}, false},
                      ConsistencyCase{"absent_row", {{"/a/x"}, {"-"}}, false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tonbo
