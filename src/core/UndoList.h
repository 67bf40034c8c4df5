#pragma once
// The history: labelled snapshots of the file table with the list's
// selection, at most 30. Snapshots share unchanged cells with the table and
// with each other, so a full history of a large list costs little more than
// the list itself.
#include <memory>
#include <string>
#include <vector>

#include "core/CsvDb.h"
#include "core/RowSelection.h"

namespace tonbo {

// The naming step that made an entry, as recipe lines: each line a tonbo-cli
// option and its values (commands/Recipe.h). Empty for entries of other commands.
using TStepLines = std::vector<std::vector<std::string>>;

class TUndoNode {
 public:
  TUndoNode(std::string kind, std::string label, TCsvDb snapshot, TRowSelection selection = {},
            TStepLines steps = {})
      : kind_(std::move(kind)),
        label_(std::move(label)),
        snapshot_(std::move(snapshot)),
        selection_(std::move(selection)),
        steps_(std::move(steps)) {}
  const std::string& Kind() const { return kind_; }
  const std::string& Label() const { return label_; }
  const TCsvDb& Snapshot() const { return snapshot_; }
  // The rows selected in the list when the entry was recorded.
  const TRowSelection& Selection() const { return selection_; }
  const TStepLines& Steps() const { return steps_; }

 private:
  std::string kind_;
  std::string label_;  // code page 932
  TCsvDb snapshot_;
  TRowSelection selection_;
  TStepLines steps_;
};

class TUndoList {
 public:
  static constexpr int kLimit = 30;

  // Drops the redo tail, appends the entry, drops the oldest past the limit;
  // the position moves to the new entry. Returns its index.
  int Add(std::string kind, std::string label, TCsvDb snapshot, TRowSelection selection = {},
          TStepLines steps = {});
  bool CanUndo() const { return position_ > 0; }
  bool CanRedo() const { return Count() > 0 && position_ < Count() - 1; }
  const TUndoNode* Previous() const;
  const TUndoNode* Undo();
  const TUndoNode* Redo();
  void Clear();

  int Count() const { return static_cast<int>(entries_.size()); }
  int Position() const { return position_; }
  const TUndoNode* At(int index) const;

 private:
  std::vector<std::unique_ptr<TUndoNode>> entries_;
  int position_ = -1;
};

}  // namespace tonbo
