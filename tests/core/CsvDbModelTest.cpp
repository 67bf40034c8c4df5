// The table against a plain model (a vector of optional rows of strings):
// random sequences of writes, deletes, reorders and copies. Copies must act
// as deep copies whatever the live table does later, and shared storage must
// never change what any table reads.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "core/CsvDb.h"

namespace tonbo {
namespace {

using Row = std::optional<std::vector<std::string>>;
using Model = std::vector<Row>;

void ModelSet(Model& m, int col, int row, const std::string& text) {
  if (col < 0 || row < 0) return;
  if (static_cast<int>(m.size()) <= row) m.resize(static_cast<size_t>(row) + 1);
  Row& r = m[static_cast<size_t>(row)];
  if (!r) r.emplace();
  if (static_cast<int>(r->size()) <= col) r->resize(static_cast<size_t>(col) + 1);
  (*r)[static_cast<size_t>(col)] = text;
}

// A table built afresh from the model: nothing shared, storage in row order.
TCsvDb Fresh(const Model& m) {
  TCsvDb t;
  for (size_t r = 0; r < m.size(); ++r) {
    RowPtr cells;
    if (m[r]) {
      cells = std::make_shared<TCsvCells>();
      for (const std::string& cell : *m[r]) cells->Add(cell);
    }
    t.PutRow(static_cast<int>(r), cells);
  }
  return t;
}

Model ModelOf(const TCsvDb& t) {
  Model m(static_cast<size_t>(t.RowCount()));
  for (int r = 0; r < t.RowCount(); ++r) {
    if (!t.RowPresent(r)) continue;
    m[static_cast<size_t>(r)].emplace();
    for (int c = 0; c < t.CellCount(r); ++c)
      m[static_cast<size_t>(r)]->emplace_back(t.GetCell(c, r));
  }
  return m;
}

void ExpectMatches(const TCsvDb& t, const Model& m, const std::string& where) {
  ASSERT_EQ(t.RowCount(), static_cast<int>(m.size())) << where;
  for (size_t r = 0; r < m.size(); ++r) {
    const int row = static_cast<int>(r);
    ASSERT_EQ(t.RowPresent(row), m[r].has_value()) << where << " row " << r;
    ASSERT_EQ(t.GetRow(row) != nullptr, m[r].has_value()) << where << " row " << r;
    const int count = m[r] ? static_cast<int>(m[r]->size()) : 0;
    ASSERT_EQ(t.CellCount(row), count) << where << " row " << r;
    for (int c = -1; c <= count + 1; ++c) {
      const std::string want = c >= 0 && c < count ? (*m[r])[static_cast<size_t>(c)] : "";
      ASSERT_EQ(t.GetCell(c, row), want) << where << " cell " << c << "," << r;
    }
  }
  ASSERT_EQ(t.SaveToText(), Fresh(m).SaveToText()) << where;
  ASSERT_EQ(t.MaxColCount(), Fresh(m).MaxColCount()) << where;
}

std::string RandomText(std::mt19937& rng) {
  static const char* const kTexts[] = {
      "", " ", "a", "B", "b", "10", "9", "x,y", "q\"uote", "\x83\x41", "long text of a cell"};
  std::string text = kTexts[rng() % std::size(kTexts)];
  if (rng() % 4 == 0) text += std::to_string(rng() % 1000);
  return text;
}

struct Copy {
  TCsvDb table;
  Model model;
};

// One step on the live table and the model; copies are taken now and then.
void Step(std::mt19937& rng, TCsvDb& t, Model& m, std::vector<Copy>& copies) {
  const int rows = t.RowCount();
  const int row = static_cast<int>(rng() % static_cast<unsigned>(rows + 3)) - 1;
  const int col = static_cast<int>(rng() % 9) - 1;
  switch (rng() % 17) {
    case 0:
      t.DeleteRow(row);
      if (row >= 0 && row < rows) m.erase(m.begin() + row);
      break;
    case 1: {
      Row r;
      RowPtr cells;
      if (rng() % 3) {
        cells = std::make_shared<TCsvCells>();
        r.emplace();
        for (int c = static_cast<int>(rng() % 5); c > 0; --c) {
          r->push_back(RandomText(rng));
          cells->Add(r->back());
        }
      }
      t.PutRow(row, cells);
      if (row < 0) break;
      if (static_cast<int>(m.size()) <= row) m.resize(static_cast<size_t>(row) + 1);
      m[static_cast<size_t>(row)] = r;
      break;
    }
    case 2:
      t.Reverse();
      std::reverse(m.begin(), m.end());
      break;
    case 3:
    case 4: {
      // Sorts and Compact: the same operation on a table that shares nothing.
      TCsvDb fresh = Fresh(m);
      const int which = static_cast<int>(rng() % 4);
      auto apply = [&](TCsvDb& x) {
        if (which == 0) x.SortText(col);
        if (which == 1) x.SortNumeric(col);
        if (which == 2) x.SortNoCase(col);
        if (which == 3) x.Compact();
      };
      apply(t);
      apply(fresh);
      m = ModelOf(fresh);
      break;
    }
    case 5:
      // As the history records an entry: the live table packed, then copied.
      if (rng() % 2) t.PackTight();
      copies.push_back({t, m});
      break;
    case 6: {
      // The live table takes over a copy, which must not change the copy.
      if (copies.empty()) break;
      const Copy& from = copies[rng() % copies.size()];
      t.Assign(from.table);
      m = from.model;
      for (Row& r : m)
        if (!r) r.emplace();
      break;
    }
    case 8:
      t.PackTight();
      break;
    case 7: {
      // Copy a cell onto another of the same column (a text from the same storage).
      const std::string text(t.GetCell(col, row));
      const int to = static_cast<int>(rng() % static_cast<unsigned>(rows + 2));
      t.SetCell(col, to, t.GetCell(col, row));
      ModelSet(m, col, to, text);
      break;
    }
    default: {
      const std::string text = RandomText(rng);
      t.SetCell(col, row, text);
      ModelSet(m, col, row, text);
      break;
    }
  }
}

TEST(CsvDbModel, RandomOperationsAndCopiesMatchThePlainModel) {
  for (unsigned seed = 1; seed <= 40; ++seed) {
    std::mt19937 rng(seed);
    TCsvDb t;
    Model m;
    // Some runs start past a storage block, so blocks and their edges are crossed.
    const int start = seed % 4 == 0 ? 2 * TCellChunk::kRows + 37 : static_cast<int>(rng() % 40);
    for (int r = 0; r < start; ++r) {
      const std::string text = "row" + std::to_string(r);
      const int col = static_cast<int>(rng() % 3);
      t.SetCell(col, r, text);
      ModelSet(m, col, r, text);
    }
    std::vector<Copy> copies;
    const int steps = start > 1000 ? 300 : 600;
    for (int i = 0; i < steps; ++i) {
      Step(rng, t, m, copies);
      if (m.size() > 200 && i % 20 != 0) continue;  // large tables: now and then
      ASSERT_NO_FATAL_FAILURE(
          ExpectMatches(t, m, "seed " + std::to_string(seed) + " step " + std::to_string(i)));
    }
    for (size_t k = 0; k < copies.size(); ++k)
      ASSERT_NO_FATAL_FAILURE(
          ExpectMatches(copies[k].table, copies[k].model,
                        "seed " + std::to_string(seed) + " copy " + std::to_string(k)));
  }
}

// Three blocks of rows, each with a name "name<r>" and a path in `folder`.
TCsvDb NamesAndPaths(const std::string& folder) {
  TCsvDb t;
  for (int r = 0; r < 3 * TCellChunk::kRows; ++r) {
    t.SetCell(colNewName, r, "name" + std::to_string(r));
    t.SetCell(colPath, r, folder + "name" + std::to_string(r) + ".txt");
  }
  return t;
}

TEST(CsvDbModel, AFullColumnWriteCopiesThatColumnOnly) {
  TCsvDb t = NamesAndPaths("/some/folder/of/files/");
  const int rows = t.RowCount();
  const TCsvDb snapshot = t;
  EXPECT_EQ(t.HeapBytesNotIn(&snapshot), 0u);
  const size_t names = TCsvDb(t).HeapBytesNotIn(nullptr);
  for (int r = 0; r < rows; ++r) t.SetCell(colNewName, r, "new" + std::to_string(r));
  const size_t grown = t.HeapBytesNotIn(&snapshot);
  EXPECT_GT(grown, 0u);
  // The paths are still shared; only the names were copied.
  EXPECT_LT(grown, names / 2);
  EXPECT_TRUE(t.SharesCell(colPath, rows - 1, snapshot, rows - 1));
  EXPECT_FALSE(t.SharesCell(colNewName, rows - 1, snapshot, rows - 1));
  EXPECT_EQ(snapshot.GetCell(colNewName, 5), "name5");
  EXPECT_EQ(t.GetCell(colNewName, 5), "new5");
}

TEST(CsvDbModel, PackingLeavesSharedStorageAloneAndTheWrittenColumnTight) {
  TCsvDb t = NamesAndPaths("/some/folder/");
  const int rows = t.RowCount();
  t.PackTight();
  const TCsvDb entry = t;  // as the history keeps it
  const size_t entryBytes = entry.HeapBytesNotIn(nullptr);
  size_t texts = 0;
  for (int r = 0; r < rows; ++r) {
    const std::string name = "2024-05-06_photo_" + std::to_string(r);
    t.SetCell(colNewName, r, name);
    texts += name.size();
  }
  const size_t loose = t.HeapBytesNotIn(&entry);
  const std::string_view before = entry.GetCell(colPath, 17);
  t.PackTight();
  // The entry's blocks were not touched: its views still hold.
  EXPECT_EQ(before, "/some/folder/name17.txt");
  EXPECT_EQ(entry.HeapBytesNotIn(nullptr), entryBytes);
  EXPECT_TRUE(t.SharesCell(colPath, 17, entry, 17));
  // The new names cost their bytes and two bytes a row, and a little per block.
  const size_t tight = t.HeapBytesNotIn(&entry);
  EXPECT_LT(tight, loose);
  EXPECT_LE(tight, texts + 2 * rows + 3 * (sizeof(TCellChunk) + 64));
  EXPECT_EQ(t.GetCell(colNewName, rows - 1), "2024-05-06_photo_" + std::to_string(rows - 1));
  EXPECT_EQ(entry.GetCell(colNewName, rows - 1), "name" + std::to_string(rows - 1));
  // Written again, packed blocks take the write like any other.
  t.SetCell(colNewName, 5, t.GetCell(colNewName, 6));
  t.SetCell(colPath, 5, "x");
  EXPECT_EQ(t.GetCell(colNewName, 5), "2024-05-06_photo_6");
  EXPECT_EQ(entry.GetCell(colPath, 5), "/some/folder/name5.txt");
}

TEST(CsvDbModel, SortsAndDeletesShareTheCellsWithTheCopy) {
  TCsvDb t;
  const int rows = 2 * TCellChunk::kRows;
  for (int r = 0; r < rows; ++r) t.SetCell(0, r, std::to_string(rows - r));
  const TCsvDb snapshot = t;
  t.SortNumeric(0);
  t.DeleteRow(7);
  t.Reverse();
  EXPECT_EQ(t.GetCell(0, 0), std::to_string(rows));
  EXPECT_EQ(snapshot.GetCell(0, 0), std::to_string(rows));
  EXPECT_EQ(snapshot.GetCell(0, 1), std::to_string(rows - 1));
  EXPECT_TRUE(t.SharesRow(0, snapshot, 0));
  // Only the row order is the table's own.
  EXPECT_LE(t.HeapBytesNotIn(&snapshot), static_cast<size_t>(rows) * 2 * sizeof(uint32_t));
}

TEST(CsvDbModel, StorageLeftByManyDeletesIsPackedAway) {
  TCsvDb t;
  const int rows = 70000;
  for (int r = 0; r < rows; ++r) t.SetCell(0, r, "cell" + std::to_string(r));
  const size_t full = t.HeapBytesNotIn(nullptr);
  while (t.RowCount() > 100) t.DeleteRow(t.RowCount() - 1);
  EXPECT_LT(t.HeapBytesNotIn(nullptr), full / 2);
  EXPECT_EQ(t.GetCell(0, 99), "cell99");
  t.SetCell(1, 99, "x");
  EXPECT_EQ(t.CellCount(99), 2);
}

}  // namespace
}  // namespace tonbo
