#pragma once
// The order in which a file manager shows the entries of one folder: the
// locale's collation with letter case ignored and runs of digits compared as
// numbers ("photo2" before "photo10"). Names are the disk's bytes; two names
// the collation finds equal ("a.txt", "A.txt") fall back to byte order, so the
// order never depends on how the disk happened to list them.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tonbo {

// True when the name diskA is shown before diskB.
bool NaturalNameLess(std::string_view diskA, std::string_view diskB);

// The positions of the names in that order. Each name's collation key is made
// once, so a folder of 100,000 files sorts quickly; when every name is
// printable ASCII, a table of the collation's own order of those characters
// makes the keys, several times faster, where the locale allows.
std::vector<std::size_t> NaturalOrder(const std::vector<std::string_view>& diskNames);

// Puts items in the order of their names; diskName(item) gives the bytes.
template <class T, class NameOf>
void SortByNaturalName(std::vector<T>& items, NameOf diskName) {
  std::vector<std::string_view> names;
  names.reserve(items.size());
  for (const T& item : items) names.emplace_back(diskName(item));
  const std::vector<std::size_t> order = NaturalOrder(names);
  std::vector<T> sorted;
  sorted.reserve(items.size());
  for (std::size_t i : order) sorted.push_back(std::move(items[i]));
  items = std::move(sorted);
}

}  // namespace tonbo
