#include "core/PathIndex.h"

#include <functional>

namespace tonbo {
namespace {

std::uint64_t HashOf(std::string_view text) { return std::hash<std::string_view>{}(text); }

}  // namespace

void PathIndex::Rebuild() {
  slots_.clear();  // the first Insert makes the slots
  used_ = 0;
  for (int row = 0; row < table_.RowCount(); ++row) Insert(table_.GetCell(colPath, row), row);
}

bool PathIndex::Insert(std::string_view path, int row) {
  if ((used_ + 1) * 2 > slots_.size()) Grow();
  const std::uint64_t hash = HashOf(path);
  const size_t mask = slots_.size() - 1;
  for (size_t at = hash & mask;; at = (at + 1) & mask) {
    Slot& slot = slots_[at];
    if (slot.row < 0) {
      slot = {hash, row};
      ++used_;
      return true;
    }
    if (slot.hash == hash && table_.GetCell(colPath, slot.row) == path) return false;
  }
}

void PathIndex::Grow() {
  std::vector<Slot> old = std::move(slots_);
  slots_.assign(old.empty() ? 16 : old.size() * 2, Slot());
  for (const Slot& slot : old)
    if (slot.row >= 0) Place(slot);
}

void PathIndex::Place(const Slot& slot) {
  const size_t mask = slots_.size() - 1;
  size_t at = slot.hash & mask;
  while (slots_[at].row >= 0) at = (at + 1) & mask;
  slots_[at] = slot;
}

}  // namespace tonbo
