#include "core/CsvDb.h"

#include <algorithm>
#include <string_view>
#include <unordered_set>

#include "common/Sjis.h"

namespace tonbo {

const std::string& DeleteMark() {
  static const std::string mark = enc::Lit(" :(削除)");
  return mark;
}
namespace {

const std::string kEmpty;

bool IsBlankText(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) <= 0x20; });
}

// The cell count TrimRight would leave.
int TrimmedCount(const TCsvCells& cells) {
  int n = cells.Count();
  while (n > 0 && IsBlankText(cells.Get(n - 1))) --n;
  return n;
}

}  // namespace

// --- TCsvCells ---

void TCsvCells::Add(std::string_view text) { cells_.emplace_back(text); }

const std::string& TCsvCells::Get(int index) const {
  if (index < 0 || index >= Count()) return kEmpty;
  return cells_[index];
}

void TCsvCells::Put(int index, std::string_view text) {
  if (index < 0) return;
  if (index >= Count()) cells_.resize(index + 1);
  cells_[index].assign(text);
}

void TCsvCells::Delete(int index) {
  if (index < 0 || index >= Count()) return;
  cells_.erase(cells_.begin() + index);
}

void TCsvCells::TrimRight() { cells_.resize(TrimmedCount(*this)); }

// --- TCsvDbBase: storage ---

uint32_t TCsvDbBase::RawMeta(uint32_t at) const {
  const auto& block = meta_[at / kRows];
  const size_t slot = at % kRows;
  return block && slot < block->size() ? (*block)[slot] : 0;
}

void TCsvDbBase::SetMeta(uint32_t at, uint32_t meta) {
  const uint32_t raw = (RawMeta(at) & kMarked) | meta;
  std::shared_ptr<MetaChunk>& block = meta_[at / kRows];
  if (!block) {
    block = std::make_shared<MetaChunk>();
  } else if (block.use_count() > 1) {
    block = std::make_shared<MetaChunk>(*block);
  }
  const size_t slot = at % kRows;
  if (slot >= block->size()) block->resize(slot + 1, 0);
  (*block)[slot] = raw;
}

void TCsvDbBase::SetMarked(uint32_t at, bool marked) {
  const uint32_t raw = RawMeta(at);
  if (((raw & kMarked) != 0) == marked) return;  // a shared block stays shared
  std::shared_ptr<MetaChunk>& block = meta_[at / kRows];
  if (block.use_count() > 1) block = std::make_shared<MetaChunk>(*block);
  (*block)[at % kRows] = raw ^ kMarked;
}

uint32_t TCsvDbBase::NewStorageRow() {
  const uint32_t at = stored_++;
  if (meta_.size() <= at / kRows) meta_.resize(at / kRows + 1);
  return at;
}

std::vector<uint32_t>& TCsvDbBase::WritableOrder() {
  if (!order_.rows_) {
    order_.rows_ = std::make_shared<std::vector<uint32_t>>();
  } else if (order_.rows_.use_count() > 1) {
    order_.rows_ = std::make_shared<std::vector<uint32_t>>(*order_.rows_);
  }
  return *order_.rows_;
}

void TCsvDbBase::PadRows(int row) {
  if (row < RowCount()) return;
  std::vector<uint32_t>& order = WritableOrder();
  while (static_cast<int>(order.size()) <= row) order.push_back(NewStorageRow());
}

const TCellChunk* TCsvDbBase::ChunkAt(int col, uint32_t at) const {
  if (col < 0 || col >= static_cast<int>(cols_.size())) return nullptr;
  const std::vector<ChunkPtr>& blocks = cols_[static_cast<size_t>(col)];
  const size_t b = at / kRows;
  return b < blocks.size() ? blocks[b].get() : nullptr;
}

TCellChunk& TCsvDbBase::WritableChunk(int col, uint32_t at) {
  if (static_cast<int>(cols_.size()) <= col) cols_.resize(static_cast<size_t>(col) + 1);
  std::vector<ChunkPtr>& blocks = cols_[static_cast<size_t>(col)];
  const size_t b = at / kRows;
  if (blocks.size() <= b) blocks.resize(b + 1);
  ChunkPtr& block = blocks[b];
  if (!block) {
    block = std::make_shared<TCellChunk>();
  } else if (block.use_count() > 1) {
    block = std::make_shared<TCellChunk>(*block);
  }
  return *block;
}

void TCsvDbBase::PutStored(int col, uint32_t at, std::string_view text) {
  // An empty text in a block that holds nothing stays without a block.
  if (text.empty() && !ChunkAt(col, at)) return;
  if (text.empty() && ChunkAt(col, at)->Get(static_cast<int>(at % kRows)).empty()) return;
  WritableChunk(col, at).Put(static_cast<int>(at % kRows), text);
}

void TCsvDbBase::TrimStored(uint32_t at, int kept) {
  const int count = static_cast<int>(Meta(at)) - 1;
  for (int c = kept; c < count; ++c) PutStored(c, at, {});
  SetMeta(at, static_cast<uint32_t>(kept) + 1);
}

// --- TCsvDbBase: cells and rows ---

void TCsvDbBase::Clear() { *this = TCsvDbBase(); }

int TCsvDbBase::MaxColCount() const {
  uint32_t most = 1;
  for (size_t i = 0; i < order_.size(); ++i) most = std::max(most, Meta(order_[i]));
  return static_cast<int>(most) - 1;
}

int TCsvDbBase::CellCount(int row) const {
  return RowPresent(row) ? static_cast<int>(Meta(order_[row])) - 1 : 0;
}

std::string_view TCsvDbBase::GetCell(int col, int row) const {
  if (row < 0 || row >= RowCount() || col < 0) return {};
  const uint32_t at = order_[row];
  if (col + 1 >= static_cast<int>(Meta(at))) return {};
  const TCellChunk* block = ChunkAt(col, at);
  return block ? block->Get(static_cast<int>(at % kRows)) : std::string_view();
}

void TCsvDbBase::SetCell(int col, int row, std::string_view text) {
  if (col < 0 || row < 0) return;
  // Only MarkForDeletion marks a row; any other new name takes the mark away.
  if (col == colNewName && row < RowCount() && text != DeleteMark()) SetMarked(order_[row], false);
  // Writing what is already there leaves shared storage shared (history snapshots).
  if (col < CellCount(row) && GetCell(col, row) == text) return;
  PadRows(row);
  const uint32_t at = order_[row];
  const uint32_t meta = Meta(at);
  if (meta < static_cast<uint32_t>(col) + 2) SetMeta(at, static_cast<uint32_t>(col) + 2);
  PutStored(col, at, text);
}

RowPtr TCsvDbBase::GetRow(int row) const {
  if (!RowPresent(row)) return nullptr;
  auto cells = std::make_shared<TCsvCells>();
  const int count = CellCount(row);
  for (int c = 0; c < count; ++c) cells->Add(GetCell(c, row));
  return cells;
}

void TCsvDbBase::PutRow(int row, const RowPtr& cells) {
  if (row < 0) return;
  uint32_t at = 0;
  if (row >= RowCount()) {
    PadRows(row);  // the padding rows are new and empty
    at = order_[row];
  } else {
    // A new storage row: the old one may still be shown by copies.
    at = NewStorageRow();
    WritableOrder()[static_cast<size_t>(row)] = at;
  }
  if (!cells) return;
  SetMeta(at, static_cast<uint32_t>(cells->Count()) + 1);
  for (int c = 0; c < cells->Count(); ++c) PutStored(c, at, cells->Get(c));
}

void TCsvDbBase::DeleteRow(int row) {
  if (row < 0 || row >= RowCount()) return;
  std::vector<uint32_t>& order = WritableOrder();
  order.erase(order.begin() + row);
  PackStorageIfSparse();
}

void TCsvDbBase::PackStorageIfSparse() {
  if (stored_ < 65536 || stored_ / 4 < order_.size()) return;
  TCsvDbBase packed;
  std::vector<uint32_t>& order = packed.WritableOrder();
  order.reserve(order_.size());
  for (int r = 0; r < RowCount(); ++r) {
    const uint32_t at = packed.NewStorageRow();
    order.push_back(at);
    const uint32_t meta = Meta(order_[r]);
    if (meta == 0) continue;
    packed.SetMeta(at, meta);
    packed.SetMarked(at, (RawMeta(order_[r]) & kMarked) != 0);
    for (int c = 0; c + 1 < static_cast<int>(meta); ++c) packed.PutStored(c, at, GetCell(c, r));
  }
  *this = std::move(packed);
}

void TCsvDbBase::MarkForDeletion(int row) {
  if (row < 0) return;
  SetCell(colNewName, row, DeleteMark());
  SetMarked(order_[row], true);
}

bool TCsvDbBase::MarkedForDeletion(int row) const {
  return row >= 0 && row < RowCount() && (RawMeta(order_[row]) & kMarked) != 0 &&
         GetCell(colNewName, row) == DeleteMark();
}

int TCsvDbBase::FindRow(std::string_view text, int col, int firstRow) const {
  for (int r = std::max(firstRow, 0); r < RowCount(); ++r) {
    if (RowPresent(r) && GetCell(col, r) == text) return r;
  }
  return -1;
}

void TCsvDbBase::Assign(const TCsvDbBase& other) {
  if (this == &other) return;
  *this = other;
  for (size_t i = 0; i < order_.size(); ++i) {
    if (Meta(order_[i]) == 0) SetMeta(order_[i], 1);
  }
}

void TCsvDbBase::LoadFromGrid(const std::vector<std::vector<std::string>>& grid) {
  Clear();
  for (size_t r = 0; r < grid.size(); ++r) {
    for (size_t c = 0; c < grid[r].size(); ++c) {
      if (!grid[r][c].empty()) SetCell(static_cast<int>(c), static_cast<int>(r), grid[r][c]);
    }
  }
}

// --- TCsvDbBase: order ---

void TCsvDbBase::Reverse() {
  if (RowCount() == 0) return;
  std::vector<uint32_t>& order = WritableOrder();
  std::reverse(order.begin(), order.end());
}

void TCsvDbBase::Compact() {
  // A row that is kept is still right-trimmed, as the blank test trims it.
  auto blankAfterTrim = [this](int r) {
    const int count = CellCount(r);
    int kept = count;
    while (kept > 0 && IsBlankText(GetCell(kept - 1, r))) --kept;
    if (kept == 0) return true;
    if (kept != count) TrimStored(order_[r], kept);
    return false;
  };
  int top = 0;
  while (top < RowCount() && blankAfterTrim(top)) ++top;
  int end = RowCount();
  while (end > top && blankAfterTrim(end - 1)) --end;
  if (top == 0 && end == RowCount()) return;
  std::vector<uint32_t>& order = WritableOrder();
  order.erase(order.begin() + end, order.end());
  order.erase(order.begin(), order.begin() + top);
}

void TCsvDbBase::Reorder(const std::vector<int>& order) {
  if (order.empty()) return;
  std::vector<uint32_t> rows;
  rows.reserve(order.size());
  for (int from : order) rows.push_back(order_[static_cast<size_t>(from)]);
  WritableOrder() = std::move(rows);
}

void TCsvDbBase::PackTight() {
  for (std::vector<ChunkPtr>& blocks : cols_) {
    for (ChunkPtr& block : blocks)
      if (block && block.use_count() == 1) block->PackTight();
  }
  for (std::shared_ptr<MetaChunk>& block : meta_)
    if (block && block.use_count() == 1) block->shrink_to_fit();
  if (order_.rows_ && order_.rows_.use_count() == 1) order_.rows_->shrink_to_fit();
}

bool TCsvDbBase::IsConsistent() const {
  std::unordered_set<std::string_view> paths;
  for (int r = 0; r < RowCount(); ++r) {
    if (!RowPresent(r)) return false;
    const std::string_view path = GetCell(colPath, r);
    if (path.empty() || !paths.insert(path).second) return false;
  }
  return true;
}

// --- TCsvDbBase: sharing ---

bool TCsvDbBase::SharesCell(int col, int row, const TCsvDbBase& other, int otherRow) const {
  if (row < 0 || row >= RowCount() || otherRow < 0 || otherRow >= other.RowCount()) return false;
  const uint32_t at = order_[row];
  if (at != other.order_[otherRow] || at >= stored_ || at >= other.stored_) return false;
  return ChunkAt(col, at) == other.ChunkAt(col, at);
}

bool TCsvDbBase::SharesRow(int row, const TCsvDbBase& other, int otherRow) const {
  const int count = std::max(CellCount(row), 1);
  for (int c = 0; c < count; ++c)
    if (!SharesCell(c, row, other, otherRow)) return false;
  return true;
}

size_t TCsvDbBase::HeapBytesNotIn(const TCsvDbBase* other) const {
  auto shared = [](const auto& mine, const auto* theirs, size_t b) {
    return theirs && b < theirs->size() && (*theirs)[b] == mine[b];
  };
  size_t bytes = 0;
  for (size_t c = 0; c < cols_.size(); ++c) {
    const auto* theirs = other && c < other->cols_.size() ? &other->cols_[c] : nullptr;
    for (size_t b = 0; b < cols_[c].size(); ++b)
      if (cols_[c][b] && !shared(cols_[c], theirs, b))
        bytes += sizeof(TCellChunk) + cols_[c][b]->HeapBytes();
  }
  for (size_t b = 0; b < meta_.size(); ++b)
    if (meta_[b] && !shared(meta_, other ? &other->meta_ : nullptr, b))
      bytes += meta_[b]->capacity() * sizeof(uint32_t);
  if (order_.rows_ && !(other && other->order_.rows_ == order_.rows_))
    bytes += order_.rows_->capacity() * sizeof(uint32_t);
  return bytes;
}

}  // namespace tonbo
