#include "commands/NameCounts.h"

namespace tonbo {

NameCounts::NameCounts(const TCsvDb& table) {
  counts_.reserve(static_cast<size_t>(table.RowCount()) * 2);
  for (int r = 0; r < table.RowCount(); ++r)
    if (table.RowPresent(r)) ++counts_[std::string(table.GetCell(colNewName, r))];
}

int NameCounts::Count(const std::string& name) const {
  auto it = counts_.find(name);
  return it == counts_.end() ? 0 : it->second;
}

bool NameCounts::Remove(const std::string& name) {
  auto it = counts_.find(name);
  if (it == counts_.end()) return true;
  if (--it->second > 0) return false;
  counts_.erase(it);
  return true;
}

}  // namespace tonbo
