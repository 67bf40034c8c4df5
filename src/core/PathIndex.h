#pragma once
// Which paths a file table lists, for adding files: a hash index of row
// numbers that reads the paths from the table itself, so a path is neither
// copied nor allocated a second time (a list of 100,000 files is checked
// for duplicates at the cost of a hash and a compare per file).
#include <cstdint>
#include <string_view>
#include <vector>

#include "core/CsvDb.h"

namespace tonbo {

class PathIndex {
 public:
  explicit PathIndex(const TCsvDb& table) : table_(table) {}

  // Indexes the Path of every row of the table as it is now.
  void Rebuild();
  // Records that row will hold path and returns true, or returns false when
  // an indexed row already holds it. The caller writes the row right after.
  bool Insert(std::string_view path, int row);

 private:
  struct Slot {
    std::uint64_t hash = 0;  // kept, so growing never reads the paths again
    int row = -1;            // -1: empty
  };
  void Grow();
  void Place(const Slot& slot);

  const TCsvDb& table_;
  std::vector<Slot> slots_;  // a power of two in size, at most half full
  size_t used_ = 0;
};

}  // namespace tonbo
