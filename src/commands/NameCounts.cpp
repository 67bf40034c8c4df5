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

bool ParseNumber(std::string_view text, long long& value) {
  try {
    size_t used = 0;
    value = std::stoll(std::string(text), &used);
    return used == text.size();
  } catch (const std::exception&) {
    return false;
  }
}

void UniqueNames::Release(const std::string& oldName) {
  if (!counts_.Remove(oldName)) return;
  // A freed "stem_n" lets the next taker of the stem try n again.
  const size_t at = oldName.rfind('_');
  long long n = 0;
  if (at != std::string::npos && ParseNumber(oldName.substr(at + 1), n) &&
      std::to_string(n) == oldName.substr(at + 1))
    memo_.Freed(oldName.substr(0, at + 1), n);
}

std::string UniqueNames::Take(const std::string& name) {
  std::string chosen = name;
  if (counts_.Count(name) > 0) {
    const std::string stem = name + "_";
    long long n = memo_.From(stem);
    while (counts_.Count(stem + std::to_string(n)) > 0) ++n;
    memo_.Taken(stem, n);
    chosen = stem + std::to_string(n);
  }
  counts_.Add(chosen);
  return chosen;
}

}  // namespace tonbo
