#pragma once
// The date each listed file was taken, for the list's column "撮影日時".
// Read only while the column is shown, by TakenWorker off the window's
// thread, and kept by a hash of the row's path: a sort, an undo or a rebuild
// finds what was read, and a renamed file is read again. Some 40 bytes a file
// (the map's node and bucket), nothing while the column is off.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/CsvDb.h"

namespace tonbo {

class TTakenTimes {
 public:
  // A date packed to sort as it reads: YYYYMMDDhhmmss and the milliseconds;
  // kNoDate for a file that gives none.
  static constexpr std::uint64_t kNoDate = 0;

  // The packed date of the file at the path (code page 932, as the table's
  // Path cell), nullopt while it is not read.
  std::optional<std::uint64_t> Find(std::string_view sjisPath) const;
  // A file's key and packed date, as read off the window's thread.
  struct Dated {
    std::uint64_t key;
    std::uint64_t date;
  };
  static std::uint64_t Key(std::string_view sjisPath);
  // Reads the file's date; kNoDate for a file that gives none.
  static std::uint64_t ReadPacked(const std::string& diskPath);
  // The rows whose file is not read yet.
  std::vector<int> Unread(const TCsvDb& table) const;
  void Add(const std::vector<Dated>& dates);
  void Clear();
  // "2024/05/06 07:08:09" as the column shows it; empty for kNoDate.
  static std::string Text(std::uint64_t packed);
  // One key per row for "sort by date taken": rows without a date (or not
  // read) after those with one, ties in the list's order.
  std::vector<std::uint64_t> SortKeys(const TCsvDb& table) const;

 private:
  std::unordered_map<std::uint64_t, std::uint64_t> dates_;
};

}  // namespace tonbo
