#pragma once
// Storage behind the file table: the cells of one column for a block of
// rows, kept as one byte buffer with an (offset, length) pair per cell.
// Tables share blocks until one of them writes to a block, so a command that
// changes one column of every row costs one new copy of that column only.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tonbo {

class TCellChunk {
 public:
  // Rows per block: small enough that one written cell copies little, large
  // enough that the per-block bookkeeping stays out of sight.
  static constexpr int kRows = 1024;

  TCellChunk() = default;
  // A copy holds the live texts only, packed without gaps, and room for
  // `room` more bytes.
  TCellChunk(const TCellChunk& other, size_t room = 0);
  TCellChunk& operator=(const TCellChunk&) = delete;

  std::string_view Get(int slot) const {
    if (slot >= static_cast<int>(cells_.size())) return {};
    const Cell& cell = cells_[static_cast<size_t>(slot)];
    return std::string_view(bytes_.data() + cell.offset, cell.length);
  }
  // May move the buffer: views into this block end here. The text may be one.
  void Put(int slot, std::string_view text);
  // Heap bytes held (for the memory benchmark and tests).
  size_t HeapBytes() const { return bytes_.capacity() + cells_.capacity() * sizeof(Cell); }

 private:
  struct Cell {
    uint32_t offset = 0;
    uint32_t length = 0;
  };
  void Pack(size_t room);

  std::string bytes_;
  std::vector<Cell> cells_;
  size_t unused_ = 0;  // bytes of texts that were replaced
};

}  // namespace tonbo
