#include "core/PathIndex.h"

#include <gtest/gtest.h>

#include <string>

namespace tonbo {
namespace {

std::string PathOf(int i) { return "/d/" + std::to_string(i) + "\x83\x5c.txt"; }

// The index answers from the table's own cells: it must find every path
// after growing many times, tell apart paths that differ in one byte, and
// start again from whatever the table holds.
TEST(PathIndexTest, FindsEveryPathThroughGrowthAndRebuild) {
  TCsvDb table;
  PathIndex index(table);
  index.Rebuild();
  const int count = 5000;
  for (int i = 0; i < count; ++i) {
    ASSERT_TRUE(index.Insert(PathOf(i), i));
    table.SetCell(colPath, i, PathOf(i));
  }
  for (int i = 0; i < count; ++i) EXPECT_FALSE(index.Insert(PathOf(i), count)) << i;
  EXPECT_TRUE(index.Insert(PathOf(1) + "x", count));
  table.SetCell(colPath, count, PathOf(1) + "x");

  table.DeleteRow(0);  // the table changed outside: the index is made again
  index.Rebuild();
  EXPECT_TRUE(index.Insert(PathOf(0), table.RowCount()));
  EXPECT_FALSE(index.Insert(PathOf(count - 1), table.RowCount()));
  EXPECT_FALSE(index.Insert(PathOf(1) + "x", table.RowCount()));
}

}  // namespace
}  // namespace tonbo
