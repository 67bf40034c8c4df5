#include "core/TakenTimes.h"

#include <cstdio>
#include <functional>
#include <limits>

#include "tags/TagReader.h"

namespace tonbo {
namespace {

std::uint64_t Pack(const std::optional<tags::TakenTime>& t) {
  if (!t) return TTakenTimes::kNoDate;
  std::uint64_t v = static_cast<std::uint64_t>(t->year);
  for (const int part : {t->month, t->day, t->hour, t->minute, t->second}) v = v * 100 + part;
  return v * 1000 + static_cast<std::uint64_t>(std::max(0, t->subSecondMillis));
}

}  // namespace

std::uint64_t TTakenTimes::Key(std::string_view sjisPath) {
  return std::hash<std::string_view>()(sjisPath);
}

std::uint64_t TTakenTimes::ReadPacked(const std::string& diskPath) {
  return Pack(tags::ReadTakenTime(diskPath));
}

std::optional<std::uint64_t> TTakenTimes::Find(std::string_view sjisPath) const {
  const auto it = dates_.find(Key(sjisPath));
  if (it == dates_.end()) return std::nullopt;
  return it->second;
}

std::vector<int> TTakenTimes::Unread(const TCsvDb& table) const {
  std::vector<int> rows;
  for (int r = 0; r < table.RowCount(); ++r)
    if (!dates_.count(Key(table.GetCell(colPath, r)))) rows.push_back(r);
  return rows;
}

void TTakenTimes::Add(const std::vector<Dated>& dates) {
  for (const Dated& d : dates) dates_.emplace(d.key, d.date);
}

void TTakenTimes::Clear() { std::unordered_map<std::uint64_t, std::uint64_t>().swap(dates_); }

std::string TTakenTimes::Text(std::uint64_t packed) {
  if (packed == kNoDate) return {};
  std::uint64_t s = packed / 1000;
  int part[6];
  for (int i = 5; i > 0; --i, s /= 100) part[i] = static_cast<int>(s % 100);
  part[0] = static_cast<int>(s);
  char text[32];
  std::snprintf(text, sizeof text, "%04d/%02d/%02d %02d:%02d:%02d", part[0], part[1], part[2],
                part[3], part[4], part[5]);
  return text;
}

std::vector<std::uint64_t> TTakenTimes::SortKeys(const TCsvDb& table) const {
  std::vector<std::uint64_t> keys;
  keys.reserve(static_cast<std::size_t>(table.RowCount()));
  for (int r = 0; r < table.RowCount(); ++r) {
    const std::uint64_t date = Find(table.GetCell(colPath, r)).value_or(kNoDate);
    keys.push_back(date == kNoDate ? std::numeric_limits<std::uint64_t>::max() : date);
  }
  return keys;
}

}  // namespace tonbo
