#include "commands/NameGrid.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/Sjis.h"

namespace tonbo {
namespace {

using enc::Lit;
using Names = std::vector<std::string>;

TEST(NameGridRows, ShowTheNewNameTheFileNameAndItsFolder) {
  TCsvDb t;
  t.SetCell(colNewName, 0, Lit("新しい名前"));
  t.SetCell(colExt, 0, ".jpg");
  t.SetCell(colPath, 0, Lit("/home/u/写真/IMG_0001.JPG"));
  t.SetCell(colPath, 1, "/noext");
  const std::vector<NameGridRow> rows = NameGridRows(t);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].newName, Lit("新しい名前"));
  EXPECT_EQ(rows[0].oldName, "IMG_0001.JPG");
  EXPECT_EQ(rows[0].folder, Lit("/home/u/写真/"));
  EXPECT_EQ(rows[1].newName, "");
  EXPECT_EQ(rows[1].oldName, "noext");
  EXPECT_EQ(rows[1].folder, "/");
}

TEST(PastedNames, TakeTheFirstFieldOfEveryLine) {
  EXPECT_EQ(PastedNames("a.jpg\tx\r\nb,c\tz\rplain\n"), (Names{"a.jpg", "b", "plain"}));
  // The tab is cut first, then the comma of what is left.
  EXPECT_EQ(PastedNames("x\ty,z\n,lead\n\ttab"), (Names{"x", "", ""}));
  EXPECT_EQ(PastedNames(Lit("写真１\t備考\n\n")), (Names{Lit("写真１"), ""}));
  EXPECT_EQ(PastedNames(""), Names{});
}

TEST(WriteBackNames, SetsTheNewNamesOfTheRowsItHas) {
  TCsvDb t;
  for (int r = 0; r < 3; ++r) {
    t.SetCell(colNewName, r, "old" + std::to_string(r));
    t.SetCell(colExt, r, ".txt");
  }
  const TCsvDb snapshot = t;
  WriteBackNames(t, {"a", "old1", "c", "beyond the table"});
  EXPECT_EQ(t.RowCount(), 3);
  EXPECT_EQ(t.GetCell(colNewName, 0), "a");
  EXPECT_EQ(t.GetCell(colNewName, 1), "old1");
  EXPECT_EQ(t.GetCell(colNewName, 2), "c");
  EXPECT_EQ(t.GetCell(colExt, 2), ".txt");
  // Names written back unchanged copy nothing away from the history's snapshot.
  TCsvDb same = snapshot;
  WriteBackNames(same, {"old0", "old1", "old2"});
  EXPECT_EQ(same.HeapBytesNotIn(&snapshot), 0u);
  EXPECT_EQ(snapshot.GetCell(colNewName, 0), "old0");
  WriteBackNames(t, {"only"});
  EXPECT_EQ(t.GetCell(colNewName, 0), "only");
  EXPECT_EQ(t.GetCell(colNewName, 2), "c");
}

}  // namespace
}  // namespace tonbo
