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

// --- TCsvDbBase: cells and rows ---

void TCsvDbBase::Clear() { rows_.clear(); }

int TCsvDbBase::MaxColCount() const {
  int most = 0;
  for (const RowPtr& row : rows_) {
    if (row) most = std::max(most, row->Count());
  }
  return most;
}

const std::string& TCsvDbBase::GetCell(int col, int row) const {
  if (row < 0 || row >= RowCount() || !rows_[row]) return kEmpty;
  return rows_[row]->Get(col);
}

void TCsvDbBase::SetCell(int col, int row, std::string_view text) {
  if (col < 0 || row < 0) return;
  // Writing what is already there leaves a shared row shared (history snapshots).
  if (row < RowCount() && rows_[row] && col < rows_[row]->Count() && rows_[row]->Get(col) == text)
    return;
  WritableRow(row).Put(col, text);
}

TCsvCells& TCsvDbBase::WritableRow(int row) {
  if (row >= RowCount()) rows_.resize(row + 1);
  RowPtr& slot = rows_[row];
  if (!slot) {
    slot = std::make_shared<TCsvCells>();
  } else if (slot.use_count() > 1) {
    slot = std::make_shared<TCsvCells>(*slot);
  }
  return *slot;
}

RowPtr TCsvDbBase::GetRow(int row) const {
  if (row < 0 || row >= RowCount()) return nullptr;
  return rows_[row];
}

void TCsvDbBase::PutRow(int row, RowPtr cells) {
  if (row < 0) return;
  if (row >= RowCount()) rows_.resize(row + 1);
  rows_[row] = std::move(cells);
}

void TCsvDbBase::DeleteRow(int row) {
  if (row < 0 || row >= RowCount()) return;
  rows_.erase(rows_.begin() + row);
}

int TCsvDbBase::FindRow(std::string_view text, int col, int firstRow) const {
  for (int r = std::max(firstRow, 0); r < RowCount(); ++r) {
    if (rows_[r] && rows_[r]->Get(col) == text) return r;
  }
  return -1;
}

void TCsvDbBase::Assign(const TCsvDbBase& other) {
  std::vector<RowPtr> rows = other.rows_;
  for (RowPtr& row : rows) {
    if (!row) row = std::make_shared<TCsvCells>();
  }
  rows_ = std::move(rows);
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

void TCsvDbBase::Reverse() { std::reverse(rows_.begin(), rows_.end()); }

void TCsvDbBase::Compact() {
  // A row that is kept is still right-trimmed, as the blank test trims it.
  auto blankAfterTrim = [this](int r) {
    if (!rows_[r]) return true;
    int kept = TrimmedCount(*rows_[r]);
    if (kept == 0) return true;
    if (kept != rows_[r]->Count()) WritableRow(r).TrimRight();
    return false;
  };
  size_t top = 0;
  while (top < rows_.size() && blankAfterTrim(static_cast<int>(top))) ++top;
  rows_.erase(rows_.begin(), rows_.begin() + static_cast<std::ptrdiff_t>(top));
  size_t end = rows_.size();
  while (end > 0 && blankAfterTrim(static_cast<int>(end - 1))) --end;
  rows_.resize(end);
}

void TCsvDbBase::Reorder(const std::vector<int>& order) {
  std::vector<RowPtr> rows;
  rows.reserve(order.size());
  for (int from : order) rows.push_back(std::move(rows_[from]));
  rows_ = std::move(rows);
}

bool TCsvDbBase::IsConsistent() const {
  std::unordered_set<std::string_view> paths;
  for (const RowPtr& row : rows_) {
    if (!row) return false;
    const std::string& path = row->Get(colPath);
    if (path.empty() || !paths.insert(path).second) return false;
  }
  return true;
}

}  // namespace tonbo
