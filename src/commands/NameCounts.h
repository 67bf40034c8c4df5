#pragma once
// How many rows hold each `NewName`, kept current while a command renames,
// so uniqueness checks cost a lookup instead of a search of the table.
#include <string>
#include <string_view>
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

// The lowest number worth trying per name stem: every number from the start
// up to it is known to be taken. A freed name of the stem lowers it again.
class NumberMemo {
 public:
  explicit NumberMemo(long long start) : start_(start) {}
  long long From(const std::string& stem) const {
    auto it = lowest_.find(stem);
    return it == lowest_.end() ? start_ : it->second;
  }
  void Taken(const std::string& stem, long long number) { lowest_[stem] = number + 1; }
  void Freed(const std::string& stem, long long number) {
    auto it = lowest_.find(stem);
    if (it != lowest_.end() && number >= start_ && number < it->second) it->second = number;
  }

 private:
  long long start_;
  std::unordered_map<std::string, long long> lowest_;
};

// A whole decimal number, "-" allowed; false for anything else.
bool ParseNumber(std::string_view text, long long& value);

// Names unique among all `NewName`s: a name no other row holds is kept, a
// taken one becomes name + "_1", "_2", ..., the lowest number free.
class UniqueNames {
 public:
  explicit UniqueNames(const TCsvDb& table) : counts_(table), memo_(1) {}
  // The row about to be named gives up its name (it never counts as taken).
  void Release(const std::string& oldName);
  // The name to write, counted as taken from now on.
  std::string Take(const std::string& name);

 private:
  NameCounts counts_;
  NumberMemo memo_;
};

}  // namespace tonbo
