#pragma once
// Storage behind the file table: the cells of one column for a block of
// rows, kept as one byte buffer and an index into it. Tables share blocks
// until one of them writes to a block, so a command that changes one column
// of every row costs one new copy of that column only.
//
// A block has two forms. Written blocks are loose: an (offset, length) pair
// per cell, replaced texts left behind and spare room for more. Once a
// command is over, the table packs the blocks it alone holds: the texts
// back to back in cell order, exactly as long as they are, and only where
// each cell ends (two bytes a cell while the block holds less than 64 KB).
// A history entry keeps its blocks in that form; the first write to a packed
// block makes it loose again.
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
  // A copy holds the live texts only, loose without gaps, and room for
  // `room` more bytes.
  TCellChunk(const TCellChunk& other, size_t room = 0);
  TCellChunk& operator=(const TCellChunk&) = delete;

  std::string_view Get(int slot) const {
    const size_t at = static_cast<size_t>(slot);
    if (form_ == Form::Loose) {
      if (at >= loose_.size()) return {};
      return std::string_view(bytes_.data() + loose_[at].offset, loose_[at].length);
    }
    if (form_ == Form::Packed16) return Between(ends16_, at);
    return Between(ends32_, at);
  }
  // May move the buffer: views into this block end here. The text may be one.
  void Put(int slot, std::string_view text);
  // Packs the block (see above); views into it end here. Does nothing to a
  // block that is packed already.
  void PackTight();
  bool IsPacked() const { return form_ != Form::Loose; }
  // Heap bytes held (for the memory benchmark and tests).
  size_t HeapBytes() const {
    return bytes_.capacity() + loose_.capacity() * sizeof(Cell) +
           ends16_.capacity() * sizeof(uint16_t) + ends32_.capacity() * sizeof(uint32_t);
  }

 private:
  struct Cell {
    uint32_t offset = 0;
    uint32_t length = 0;
  };
  enum class Form : uint8_t { Loose, Packed16, Packed32 };

  template <typename End>
  std::string_view Between(const std::vector<End>& ends, size_t at) const {
    if (at >= ends.size()) return {};
    const size_t begin = at == 0 ? 0 : ends[at - 1];
    return std::string_view(bytes_.data() + begin, ends[at] - begin);
  }
  size_t CellCount() const;
  // Rebuilds the loose form without gaps, with room for `room` more bytes.
  void Repack(size_t room);
  // The loose form of a packed block, keeping its bytes where they are.
  void Loosen();
  // Makes `loose` the block's index over its bytes (no replaced texts).
  void TakeLoose(std::vector<Cell>&& loose);

  std::string bytes_;
  std::vector<Cell> loose_;       // the loose form
  std::vector<uint16_t> ends16_;  // the packed form of a block under 64 KB
  std::vector<uint32_t> ends32_;  // the packed form of a larger block
  Form form_ = Form::Loose;
  size_t unused_ = 0;  // bytes of texts that were replaced (loose form)
};

}  // namespace tonbo
