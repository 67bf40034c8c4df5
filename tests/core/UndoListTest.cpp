#include "core/UndoList.h"

#include <gtest/gtest.h>

#include <random>

namespace tonbo {
namespace {

TCsvDb TableWith(const std::string& marker) {
  TCsvDb t;
  t.SetCell(0, 0, marker);
  return t;
}

// The history checked against a plain vector and index over random steps.
TEST(UndoList, BehavesLikeAVectorWithAPosition) {
  std::mt19937 rng(42);
  TUndoList history;
  std::vector<std::string> model;
  int pos = -1;
  for (int step = 0; step < 5000; ++step) {
    int action = static_cast<int>(rng() % 4);
    if (action <= 1) {
      std::string label = "e" + std::to_string(step);
      history.Add("list", label, TableWith(label));
      model.resize(static_cast<size_t>(pos + 1));
      model.push_back(label);
      if (model.size() > 30) model.erase(model.begin());
      pos = static_cast<int>(model.size()) - 1;
    } else if (action == 2) {
      const TUndoNode* e = history.Undo();
      if (pos > 0) {
        --pos;
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(e->Snapshot().GetCell(0, 0), model[static_cast<size_t>(pos)]);
      } else {
        EXPECT_EQ(e, nullptr);
      }
    } else {
      const TUndoNode* e = history.Redo();
      if (pos < static_cast<int>(model.size()) - 1) {
        ++pos;
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(e->Label(), model[static_cast<size_t>(pos)]);
      } else {
        EXPECT_EQ(e, nullptr);
      }
    }
    ASSERT_EQ(history.Count(), static_cast<int>(model.size()));
    ASSERT_EQ(history.Position(), pos);
    ASSERT_EQ(history.CanUndo(), pos > 0);
    ASSERT_EQ(history.CanRedo(), pos < static_cast<int>(model.size()) - 1);
    const TUndoNode* prev = history.Previous();
    ASSERT_EQ(prev != nullptr, pos > 0);
    if (prev) {
      ASSERT_EQ(prev->Label(), model[static_cast<size_t>(pos - 1)]);
    }
  }
}

TEST(UndoList, ThirtyFirstEntryDropsTheOldest) {
  TUndoList history;
  for (int i = 0; i < 31; ++i) history.Add("list", std::to_string(i), TableWith(std::to_string(i)));
  EXPECT_EQ(history.Count(), 30);
  EXPECT_EQ(history.At(0)->Label(), "1");
  int undos = 0;
  while (history.Undo()) ++undos;
  EXPECT_EQ(undos, 29);
  history.Clear();
  EXPECT_EQ(history.Position(), -1);
  EXPECT_FALSE(history.CanRedo());
  EXPECT_EQ(history.Undo(), nullptr);
}

TEST(UndoList, SnapshotsAreIndependentOfTheTable) {
  TCsvDb table;
  table.SetCell(0, 0, "before");
  const int far = TCellChunk::kRows;  // a row in another block of storage
  table.SetCell(0, far, "same");
  TUndoList history;
  TCsvDb copy;
  copy.Assign(table);
  history.Add("list", "", std::move(copy));
  table.SetCell(0, 0, "after");
  EXPECT_EQ(history.At(0)->Snapshot().GetCell(0, 0), "before");
  // The unchanged row is still held once for both.
  EXPECT_TRUE(history.At(0)->Snapshot().SharesRow(far, table, far));
  EXPECT_FALSE(history.At(0)->Snapshot().SharesRow(0, table, 0));
}

}  // namespace
}  // namespace tonbo
