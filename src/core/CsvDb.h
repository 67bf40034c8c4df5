#pragma once
// The file table and general CSV table. Every text is a code page 932 byte
// string. A table copy behaves as a deep copy, but copies share every block
// of cells neither of them wrote to (copy on write per column and block of
// rows), and the row order is a list of indices into that storage, so
// history snapshots of a large list cost little: a command that changes one
// column of every row costs one copy of that column, and a sort only a new
// order.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/CsvChunk.h"

namespace tonbo {

// The largest CSV file (a saved list, a grid) read: some two million rows.
inline constexpr std::uint64_t kMaxCsvBytes = std::uint64_t{512} << 20;

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

// The delete mark " :(削除)" in code page 932, the text a row marked for
// deletion shows as its `NewName`. On this system a file may be named so, so
// the text alone never marks a row: see TCsvDbBase::MarkForDeletion.
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

// Writes a cell in the CSV text form: quoted when it holds a quote, a comma,
// a line break or "ID".
void AppendCsvCell(std::string& out, std::string_view cell);

class TCsvDbBase {
 public:
  TCsvDbBase() = default;
  virtual ~TCsvDbBase() = default;
  // Copies share storage (copy on write) and keep absent row slots as they are.
  TCsvDbBase(const TCsvDbBase&) = default;
  TCsvDbBase& operator=(const TCsvDbBase&) = default;
  TCsvDbBase(TCsvDbBase&&) = default;
  TCsvDbBase& operator=(TCsvDbBase&&) = default;

  void Clear();
  int RowCount() const { return static_cast<int>(order_.size()); }
  int MaxColCount() const;
  // The view stays valid until the next write to this table.
  std::string_view GetCell(int col, int row) const;
  void SetCell(int col, int row, std::string_view text);
  // A copy of a row slot; null when absent or out of range. PutRow replaces
  // the slot with a copy of the given row (null: an absent slot) and pads
  // with absent rows.
  RowPtr GetRow(int row) const;
  void PutRow(int row, const RowPtr& cells);
  bool RowPresent(int row) const { return row >= 0 && row < RowCount() && Meta(order_[row]) > 0; }
  // Number of cell slots of a row (0 for an absent row).
  int CellCount(int row) const;
  void DeleteRow(int row);
  int FindRow(std::string_view text, int col, int firstRow) const;
  void Assign(const TCsvDbBase& other);

  // The delete command's mark: the row's NewName becomes the mark's text and
  // the row carries the fact beside its cells (copies, history snapshots and
  // sorts keep it; saved lists hold only the text). Any other NewName
  // written to the row takes the mark away. A row whose NewName merely reads
  // like the mark (a file named " :(削除).txt", a name the user typed) is
  // renamed or left as any other row.
  void MarkForDeletion(int row);
  // The row's file goes to the trash in the next rename run.
  bool MarkedForDeletion(int row) const;

  // Reads a CSV file (disk path bytes), replacing the contents. Throws
  // EInOutError and leaves the table unchanged when the file cannot be read,
  // is no regular file or holds more than kMaxCsvBytes.
  void LoadFromFile(const std::string& diskPath);
  // Writes the table as CSV. Throws EInOutError; a failed write leaves the
  // previous file as it was (written to a temporary file, then renamed).
  void SaveToFile(const std::string& diskPath) const;
  // The same formats on text in memory.
  void LoadFromText(std::string_view text);
  std::string SaveToText() const;
  // One row's line of the CSV text form (with its CR LF) for `cols` columns.
  void AppendRowText(std::string& out, int row, int cols) const;
  void LoadFromGrid(const std::vector<std::vector<std::string>>& grid);

  void SortText(int col);
  void SortNumeric(int col);
  void SortNoCase(int col);
  // Orders the rows by a key given for each (a value not held in a cell,
  // such as the date a picture was taken); equal keys keep their order.
  void SortByKeys(const std::vector<std::uint64_t>& keys);
  void Reverse();
  void Compact();
  // Packs the storage this table alone holds (written since the last time),
  // so that copies kept for long, such as history entries, hold no spare
  // room. Reads the same; views into the table end here.
  void PackTight();

  // The file-table invariants (for tests): every row present with a
  // non-empty Path, and no two rows with the same Path.
  bool IsConsistent() const;

  // True when the cell is held in the same storage by both tables, so
  // neither has copied its block (for tests of the sharing).
  bool SharesCell(int col, int row, const TCsvDbBase& other, int otherRow) const;
  // True when every cell slot of the row is shared that way.
  bool SharesRow(int row, const TCsvDbBase& other, int otherRow) const;
  // Heap bytes of the blocks this table holds that `other` does not share
  // (the whole storage when other is null), the row order included.
  size_t HeapBytesNotIn(const TCsvDbBase* other) const;

 private:
  using ChunkPtr = std::shared_ptr<TCellChunk>;
  // Per block of storage rows: 0 for an absent row, else 1 + its cell count,
  // with kMarked added while the row is marked for deletion.
  using MetaChunk = std::vector<uint32_t>;
  static constexpr int kRows = TCellChunk::kRows;
  static constexpr uint32_t kMarked = 1u << 31;

  // The row's 1 + cell count (0: absent), without the mark.
  uint32_t Meta(uint32_t at) const { return RawMeta(at) & ~kMarked; }
  uint32_t RawMeta(uint32_t at) const;
  // Sets 1 + cell count; the mark stays as it was.
  void SetMeta(uint32_t at, uint32_t meta);
  void SetMarked(uint32_t at, bool marked);
  // A new storage row (absent, no cells) at the end of the storage.
  uint32_t NewStorageRow();
  void PadRows(int row);
  TCellChunk& WritableChunk(int col, uint32_t at);
  const TCellChunk* ChunkAt(int col, uint32_t at) const;
  void PutStored(int col, uint32_t at, std::string_view text);
  // Drops trailing blank cells of a row (kept as far as `kept`).
  void TrimStored(uint32_t at, int kept);
  std::vector<uint32_t>& WritableOrder();
  // Puts old row slot order[k] at slot k (the sorts; moves indices only).
  void Reorder(const std::vector<int>& order);
  // Rebuilds the storage from the rows in order once most of it is unused.
  void PackStorageIfSparse();

  // cols_[c][b]: block b of column c; null blocks hold only empty cells.
  std::vector<std::vector<ChunkPtr>> cols_;
  std::vector<std::shared_ptr<MetaChunk>> meta_;
  uint32_t stored_ = 0;  // storage rows in use
  // Row slot i shows storage row order_[i]; shared until a copy reorders.
  class Order {
   public:
    size_t size() const { return rows_ ? rows_->size() : 0; }
    uint32_t operator[](size_t i) const { return (*rows_)[i]; }
    const std::vector<uint32_t>* get() const { return rows_.get(); }
    std::shared_ptr<std::vector<uint32_t>> rows_;
  } order_;
};

class TCsvDb : public TCsvDbBase {
 public:
  using TCsvDbBase::TCsvDbBase;
};

// Writes CSV text as SaveToFile does: through a temporary file, throwing
// EInOutError.
void SaveCsvText(const std::string& diskPath, const std::string& bytes);

}  // namespace tonbo
