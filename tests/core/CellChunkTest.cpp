// One storage block against a plain vector of texts: writes, packing and
// copies in random order, every text also taken from the block itself.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "core/CsvChunk.h"

namespace tonbo {
namespace {

using Texts = std::vector<std::string>;

void ExpectHolds(const TCellChunk& block, const Texts& want, const std::string& where) {
  for (int i = 0; i < TCellChunk::kRows + 2; ++i) {
    const std::string text = i < static_cast<int>(want.size()) ? want[static_cast<size_t>(i)] : "";
    ASSERT_EQ(block.Get(i), text) << where << " cell " << i;
  }
}

std::string RandomText(std::mt19937& rng) {
  static const char* const kTexts[] = {"", "a", "bc", "\x83\x41\x83\x43",
                                       "a longer text of a cell"};
  std::string text = kTexts[rng() % std::size(kTexts)];
  if (rng() % 3 == 0) text += std::to_string(rng() % 100000);
  if (rng() % 50 == 0) text.append(rng() % 300, 'w');
  return text;
}

struct Kept {
  TCellChunk block;
  Texts texts;
};

TEST(CellChunk, WritesPackingAndCopiesMatchAPlainVector) {
  for (unsigned seed = 1; seed <= 30; ++seed) {
    std::mt19937 rng(seed);
    TCellChunk block;
    Texts texts(TCellChunk::kRows);
    std::vector<std::unique_ptr<Kept>> kept;
    // Some blocks grow past 64 KB, where a packed block keeps 4-byte ends.
    const int fill = seed % 3 == 0 ? 90 : 0;
    for (int i = 0; i < TCellChunk::kRows && fill > 0; ++i) {
      texts[static_cast<size_t>(i)] =
          std::string(static_cast<size_t>(fill), 'f') + std::to_string(i);
      block.Put(i, texts[static_cast<size_t>(i)]);
    }
    for (int step = 0; step < 3000; ++step) {
      const int slot = static_cast<int>(rng() % (TCellChunk::kRows + 0u));
      switch (rng() % 10) {
        case 0:
          block.PackTight();
          ASSERT_TRUE(block.IsPacked());
          break;
        case 1:
          kept.push_back(std::make_unique<Kept>(Kept{TCellChunk(block), texts}));
          break;
        case 2: {
          // A text of this very block, whole or in part.
          const int from = static_cast<int>(rng() % (TCellChunk::kRows + 0u));
          const std::string_view whole = block.Get(from);
          const size_t cut = whole.empty() ? 0 : rng() % whole.size();
          texts[static_cast<size_t>(slot)] = std::string(whole.substr(cut));
          block.Put(slot, whole.substr(cut));
          break;
        }
        default:
          texts[static_cast<size_t>(slot)] = RandomText(rng);
          block.Put(slot, texts[static_cast<size_t>(slot)]);
          break;
      }
      if (step % 100 == 0 || block.IsPacked()) {
        ASSERT_NO_FATAL_FAILURE(ExpectHolds(
            block, texts, "seed " + std::to_string(seed) + " step " + std::to_string(step)));
      }
    }
    for (size_t k = 0; k < kept.size(); ++k) {
      ASSERT_NO_FATAL_FAILURE(
          ExpectHolds(kept[k]->block, kept[k]->texts,
                      "seed " + std::to_string(seed) + " copy " + std::to_string(k)));
    }
  }
}

TEST(CellChunk, APackedBlockHoldsItsTextsAndTheirEndsOnly) {
  for (const size_t width : {20u, 100u}) {
    TCellChunk block;
    size_t texts = 0;
    for (int i = 0; i < TCellChunk::kRows; ++i) {
      // Every text written twice, the second time longer, so the loose form
      // holds replaced texts and spare room.
      block.Put(i, "x" + std::to_string(i));
      const std::string text = std::string(width, 'n') + std::to_string(i);
      block.Put(i, text);
      texts += text.size();
    }
    block.Put(TCellChunk::kRows - 1, "");
    texts -= width + 4;
    const size_t loose = block.HeapBytes();
    block.PackTight();
    EXPECT_LT(block.HeapBytes(), loose);
    // Two bytes a cell under 64 KB of texts, four above; no entry for the
    // trailing empty cell.
    const size_t end = texts < 65536 ? 2 : 4;
    EXPECT_LE(block.HeapBytes(), texts + end * (TCellChunk::kRows - 1) + 32) << width;
    for (int i = 0; i + 1 < TCellChunk::kRows; ++i)
      ASSERT_EQ(block.Get(i), std::string(width, 'n') + std::to_string(i));
    EXPECT_EQ(block.Get(TCellChunk::kRows - 1), "");
    // Written again, it is loose; its texts are still where they were read.
    block.Put(3, "short");
    EXPECT_FALSE(block.IsPacked());
    EXPECT_EQ(block.Get(3), "short");
    EXPECT_EQ(block.Get(4), std::string(width, 'n') + "4");
  }
}

TEST(CellChunk, RewritingEveryCellLongerKeepsTheBlockCloseToItsTexts) {
  TCellChunk block;
  for (int i = 0; i < TCellChunk::kRows; ++i) block.Put(i, "n" + std::to_string(i));
  const TCellChunk frozen(block);  // as a history entry would keep it
  TCellChunk live(frozen);
  size_t texts = 0;
  for (int i = 0; i < TCellChunk::kRows; ++i) {
    const std::string longer = "2024-05-06_photo_" + std::to_string(i);
    live.Put(i, longer);
    texts += longer.size();
  }
  for (int i = 0; i < TCellChunk::kRows; ++i) {
    ASSERT_EQ(live.Get(i), "2024-05-06_photo_" + std::to_string(i));
    ASSERT_EQ(frozen.Get(i), "n" + std::to_string(i));
  }
  const size_t index = TCellChunk::kRows * 2 * sizeof(uint32_t);
  // The replaced texts are gone and the spare room is a fraction, not a doubling.
  EXPECT_LE(live.HeapBytes(), index + texts * 3 / 2);
  EXPECT_LE(frozen.HeapBytes(), index + TCellChunk::kRows * 6);
}

TEST(CellChunk, ACellMayBeWrittenFromItsOwnBlock) {
  TCellChunk block;
  block.Put(0, "short");
  block.Put(1, "a much longer text than the first");
  block.Put(0, block.Get(1));               // appended: the buffer may move under the text
  block.Put(1, block.Get(0).substr(2, 4));  // in place, overlapping
  block.Put(5, block.Get(1));
  EXPECT_EQ(block.Get(0), "a much longer text than the first");
  EXPECT_EQ(block.Get(1), "much");
  EXPECT_EQ(block.Get(5), "much");
  EXPECT_EQ(block.Get(4), "");
  EXPECT_EQ(block.Get(900), "");
}

}  // namespace
}  // namespace tonbo
