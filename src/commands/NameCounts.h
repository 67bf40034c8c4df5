#pragma once
// How many rows hold each `NewName`, kept current while a command renames,
// so uniqueness checks cost a lookup instead of a search of the table.
#include <string>
#include <unordered_map>

#include "core/CsvDb.h"

namespace tonbo {

class NameCounts {
 public:
  explicit NameCounts(const TCsvDb& table);
  int Count(const std::string& name) const;
  void Add(const std::string& name) { ++counts_[name]; }
  // True when no row holds the name any more.
  bool Remove(const std::string& name);

 private:
  std::unordered_map<std::string, int> counts_;
};

}  // namespace tonbo
