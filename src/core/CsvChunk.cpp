#include "core/CsvChunk.h"

#include <cstring>

namespace tonbo {

TCellChunk::TCellChunk(const TCellChunk& other, size_t room) : cells_(other.cells_.size()) {
  bytes_.reserve(other.bytes_.size() - other.unused_ + room);
  for (size_t i = 0; i < cells_.size(); ++i) {
    const std::string_view text = other.Get(static_cast<int>(i));
    cells_[i] = {static_cast<uint32_t>(bytes_.size()), static_cast<uint32_t>(text.size())};
    bytes_.append(text);
  }
}

void TCellChunk::Pack(size_t room) {
  TCellChunk packed(*this, room);
  bytes_.swap(packed.bytes_);
  cells_.swap(packed.cells_);
  unused_ = 0;
}

void TCellChunk::Put(int slot, std::string_view text) {
  const size_t at = static_cast<size_t>(slot);
  if (at >= cells_.size()) {
    if (text.empty()) return;
    cells_.resize(at + 1);
  }
  Cell& cell = cells_[at];
  if (text.size() <= cell.length) {
    // In place; memmove because the text may lie in this very buffer.
    if (!text.empty()) std::memmove(bytes_.data() + cell.offset, text.data(), text.size());
    unused_ += cell.length - text.size();
    cell.length = static_cast<uint32_t>(text.size());
    if (text.empty()) cell.offset = 0;
    return;
  }
  // Appending may move the buffer, so a text taken from it is copied first.
  std::string own;
  if (text.data() >= bytes_.data() && text.data() < bytes_.data() + bytes_.size()) {
    own.assign(text);
    text = own;
  }
  unused_ += cell.length;
  cell = {};
  if (bytes_.size() + text.size() > bytes_.capacity()) {
    // Instead of doubling: drop the replaced texts and leave a quarter
    // spare, since the block may go on living unchanged in the history.
    const size_t live = bytes_.size() - unused_;
    Pack((live + text.size()) / 4 + text.size() + 64);
  }
  cells_[at] = {static_cast<uint32_t>(bytes_.size()), static_cast<uint32_t>(text.size())};
  bytes_.append(text);
}

}  // namespace tonbo
