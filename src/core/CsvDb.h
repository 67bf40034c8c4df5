#pragma once
// The file table and general CSV table. Every text is a code page 932 byte
// string. Rows are shared between tables until one of them writes to the row
// (copy on write), so a table copy behaves as a deep copy while history
// snapshots of a large list cost little.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tonbo {

// Columns of the main window's file table.
enum FileColumn : int {
  colNewName = 0,
  colExt = 1,
  colModified = 2,
  colSize = 3,
  colTypeName = 4,
  colPath = 5,
  colIconIndex = 6,
  colSelected = 7,
  colFileColumnCount = 8,
};

// The delete mark " :(削除)" in code page 932 as a row's `NewName`: the
// row's file goes to the trash in the next rename run.
const std::string& DeleteMark();

// One row: an ordered sequence of cells; an absent cell reads as empty.
class TCsvCells {
 public:
  void Add(std::string_view text);
  const std::string& Get(int index) const;
  void Put(int index, std::string_view text);
  void Delete(int index);
  int Count() const { return static_cast<int>(cells_.size()); }
  void Clear() { cells_.clear(); }
  void TrimRight();
  void Assign(const TCsvCells& other) { cells_ = other.cells_; }

 private:
  std::vector<std::string> cells_;
};

using RowPtr = std::shared_ptr<TCsvCells>;

class TCsvDbBase {
 public:
  TCsvDbBase() = default;
  virtual ~TCsvDbBase() = default;
  // Copies share rows (copy on write) and keep absent row slots as they are.
  TCsvDbBase(const TCsvDbBase&) = default;
  TCsvDbBase& operator=(const TCsvDbBase&) = default;

  void Clear();
  int RowCount() const { return static_cast<int>(rows_.size()); }
  int MaxColCount() const;
  const std::string& GetCell(int col, int row) const;
  void SetCell(int col, int row, std::string_view text);
  // Direct access to a row slot; null when absent or out of range. The row may
  // be shared with copies of the table: read it or hand it to PutRow, and
  // change cells only through SetCell. PutRow pads with absent rows.
  RowPtr GetRow(int row) const;
  void PutRow(int row, RowPtr cells);
  void DeleteRow(int row);
  int FindRow(std::string_view text, int col, int firstRow) const;
  void Assign(const TCsvDbBase& other);

  // Reads a CSV file (disk path bytes), replacing the contents. Throws
  // EInOutError and leaves the table unchanged when the file cannot be read.
  void LoadFromFile(const std::string& diskPath);
  // Writes the table as CSV. Throws EInOutError; a failed write leaves the
  // previous file as it was (written to a temporary file, then renamed).
  void SaveToFile(const std::string& diskPath) const;
  // The same formats on text in memory.
  void LoadFromText(std::string_view text);
  std::string SaveToText() const;
  void LoadFromGrid(const std::vector<std::vector<std::string>>& grid);

  void SortText(int col);
  void SortNumeric(int col);
  void SortNoCase(int col);
  void Reverse();
  void Compact();

  // The file-table invariants (for tests): every row present with a
  // non-empty Path, and no two rows with the same Path.
  bool IsConsistent() const;

 private:
  // The row slot ready for writing: created when absent, detached when shared.
  TCsvCells& WritableRow(int row);
  // Puts old row slot order[k] at slot k (the sorts; moves pointers only).
  void Reorder(const std::vector<int>& order);

  std::vector<RowPtr> rows_;
};

class TCsvDb : public TCsvDbBase {
 public:
  using TCsvDbBase::TCsvDbBase;
};

}  // namespace tonbo
