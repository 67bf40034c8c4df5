#include "core/CsvChunk.h"

#include <cstring>
#include <limits>

namespace tonbo {

TCellChunk::TCellChunk(const TCellChunk& other, size_t room) : loose_(other.CellCount()) {
  bytes_.reserve(other.bytes_.size() - other.unused_ + room);
  for (size_t i = 0; i < loose_.size(); ++i) {
    const std::string_view text = other.Get(static_cast<int>(i));
    loose_[i] = {static_cast<uint32_t>(bytes_.size()), static_cast<uint32_t>(text.size())};
    bytes_.append(text);
  }
}

size_t TCellChunk::CellCount() const {
  if (form_ == Form::Loose) return loose_.size();
  return form_ == Form::Packed16 ? ends16_.size() : ends32_.size();
}

void TCellChunk::Repack(size_t room) {
  TCellChunk packed(*this, room);
  bytes_.swap(packed.bytes_);
  TakeLoose(std::move(packed.loose_));
}

void TCellChunk::TakeLoose(std::vector<Cell>&& loose) {
  loose_.swap(loose);
  std::vector<uint16_t>().swap(ends16_);
  std::vector<uint32_t>().swap(ends32_);
  form_ = Form::Loose;
  unused_ = 0;
}

void TCellChunk::Loosen() {
  std::vector<Cell> loose(CellCount());
  for (size_t i = 0; i < loose.size(); ++i) {
    const std::string_view text = Get(static_cast<int>(i));
    loose[i] = {static_cast<uint32_t>(text.data() - bytes_.data()),
                static_cast<uint32_t>(text.size())};
  }
  TakeLoose(std::move(loose));
}

void TCellChunk::PackTight() {
  if (form_ != Form::Loose) return;
  // Trailing empty cells read the same without an entry.
  size_t count = loose_.size();
  while (count > 0 && loose_[count - 1].length == 0) --count;
  std::string bytes;
  bytes.reserve(bytes_.size() - unused_);
  std::vector<uint32_t> ends(count);
  for (size_t i = 0; i < count; ++i) {
    bytes.append(Get(static_cast<int>(i)));
    ends[i] = static_cast<uint32_t>(bytes.size());
  }
  bytes_.swap(bytes);
  std::vector<Cell>().swap(loose_);
  unused_ = 0;
  if (bytes_.size() <= std::numeric_limits<uint16_t>::max()) {
    ends16_.assign(ends.begin(), ends.end());
    form_ = Form::Packed16;
  } else {
    ends32_.swap(ends);
    form_ = Form::Packed32;
  }
}

void TCellChunk::Put(int slot, std::string_view text) {
  if (form_ != Form::Loose) Loosen();
  const size_t at = static_cast<size_t>(slot);
  if (at >= loose_.size()) {
    if (text.empty()) return;
    loose_.resize(at + 1);
  }
  Cell& cell = loose_[at];
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
    // Drop the replaced texts and double: a command that fills or lengthens
    // every cell stays linear, and the spare room goes when the block is
    // packed tight once the command is over.
    const size_t live = bytes_.size() - unused_;
    Repack(live + text.size() + 64);
  }
  loose_[at] = {static_cast<uint32_t>(bytes_.size()), static_cast<uint32_t>(text.size())};
  bytes_.append(text);
}

}  // namespace tonbo
