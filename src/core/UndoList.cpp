#include "core/UndoList.h"

namespace tonbo {

int TUndoList::Add(std::string kind, std::string label, TCsvDb snapshot, TRowSelection selection,
                   TStepLines steps) {
  const int kept = position_ + 1;  // the entries up to the current one
  entries_.resize(static_cast<size_t>(kept));
  entries_.push_back(std::make_unique<TUndoNode>(std::move(kind), std::move(label),
                                                 std::move(snapshot), std::move(selection),
                                                 std::move(steps)));
  if (Count() > kLimit) entries_.erase(entries_.begin());
  position_ = Count() - 1;
  return position_;
}

const TUndoNode* TUndoList::At(int index) const {
  return index >= 0 && index < Count() ? entries_[static_cast<size_t>(index)].get() : nullptr;
}

const TUndoNode* TUndoList::Previous() const { return CanUndo() ? At(position_ - 1) : nullptr; }

const TUndoNode* TUndoList::Undo() {
  if (!CanUndo()) return nullptr;
  return At(--position_);
}

const TUndoNode* TUndoList::Redo() {
  if (!CanRedo()) return nullptr;
  return At(++position_);
}

void TUndoList::Clear() {
  entries_.clear();
  position_ = -1;
}

}  // namespace tonbo
