#include "core/IniFile.h"

#include <charconv>

#include "common/Folders.h"
#include "common/TextFile.h"

namespace tonbo {
namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 0x20);
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 0x20);
    if (x != y) return false;
  }
  return true;
}

}  // namespace

bool ParseIniInteger(std::string_view text, int& value) {
  text = Trim(text);
  if (text.empty()) return false;
  bool negative = false;
  if (text.front() == '-' || text.front() == '+') {
    negative = text.front() == '-';
    text.remove_prefix(1);
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) return false;
  }
  int base = 10;
  if (!text.empty() && text.front() == '$') {
    base = 16;
    text.remove_prefix(1);
  } else if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  long long v = 0;
  auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), v, base);
  if (ec != std::errc() || ptr != text.data() + text.size()) return false;
  if (negative) v = -v;
  if (v < INT32_MIN || v > INT32_MAX) return false;
  value = static_cast<int>(v);
  return true;
}

TIniFileEx::TIniFileEx(std::string diskPath) : path_(std::move(diskPath)) { Reload(); }

void TIniFileEx::Reload() {
  lines_.clear();
  std::string bytes;
  if (path_.empty() || !ReadWholeFile(path_, bytes)) return;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find_first_of("\r\n", start);
    if (end == std::string::npos) end = bytes.size();
    Line line;
    line.text = bytes.substr(start, end - start);
    std::string_view t = Trim(line.text);
    if (t.size() >= 2 && t.front() == '[' && t.find(']') != std::string_view::npos) {
      line.isSection = true;
      line.key = std::string(Trim(t.substr(1, t.find(']') - 1)));
    } else if (size_t eq = t.find('='); eq != std::string_view::npos && t.front() != ';') {
      line.isPair = true;
      line.key = std::string(Trim(t.substr(0, eq)));
      line.value = std::string(Trim(t.substr(eq + 1)));
    }
    lines_.push_back(std::move(line));
    if (end < bytes.size() && bytes[end] == '\r' && end + 1 < bytes.size() &&
        bytes[end + 1] == '\n')
      ++end;
    start = end + 1;
  }
}

int TIniFileEx::FindSection(std::string_view section) const {
  for (size_t i = 0; i < lines_.size(); ++i)
    if (lines_[i].isSection && SameName(lines_[i].key, section)) return static_cast<int>(i);
  return -1;
}

int TIniFileEx::SectionEnd(int sectionLine) const {
  size_t i = static_cast<size_t>(sectionLine) + 1;
  while (i < lines_.size() && !lines_[i].isSection) ++i;
  return static_cast<int>(i);
}

int TIniFileEx::FindKey(int sectionLine, std::string_view key) const {
  if (sectionLine < 0) return -1;
  for (int i = sectionLine + 1; i < SectionEnd(sectionLine); ++i)
    if (lines_[static_cast<size_t>(i)].isPair && SameName(lines_[static_cast<size_t>(i)].key, key))
      return i;
  return -1;
}

std::string TIniFileEx::ReadString(std::string_view section, std::string_view key,
                                   std::string_view fallback) const {
  int line = FindKey(FindSection(section), key);
  if (line < 0) return std::string(fallback);
  std::string_view v = lines_[static_cast<size_t>(line)].value;
  // A value in matching quotes reads without them, as the platform's routines do.
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
    v = v.substr(1, v.size() - 2);
  return std::string(v);
}

bool TIniFileEx::ValueExists(std::string_view section, std::string_view key) const {
  return FindKey(FindSection(section), key) >= 0;
}

int TIniFileEx::ReadInteger(std::string_view section, std::string_view key, int fallback) const {
  int value = 0;
  return ParseIniInteger(ReadString(section, key, ""), value) ? value : fallback;
}

bool TIniFileEx::ReadBool(std::string_view section, std::string_view key, bool fallback) const {
  return ReadInteger(section, key, fallback ? 1 : 0) != 0;
}

bool TIniFileEx::WriteString(std::string_view section, std::string_view key,
                             std::string_view value) {
  std::string text = std::string(key) + "=" + std::string(value);
  int sec = FindSection(section);
  if (sec < 0) {
    Line header;
    header.text = "[" + std::string(section) + "]";
    header.isSection = true;
    header.key = std::string(section);
    lines_.push_back(std::move(header));
    sec = static_cast<int>(lines_.size()) - 1;
  }
  int line = FindKey(sec, key);
  if (line >= 0) {
    Line& l = lines_[static_cast<size_t>(line)];
    if (l.value == value) return true;
    l.value = std::string(value);
    l.text = l.key + "=" + l.value;
  } else {
    // After the section's last non-blank line.
    int at = SectionEnd(sec);
    while (at - 1 > sec && Trim(lines_[static_cast<size_t>(at - 1)].text).empty()) --at;
    Line pair;
    pair.text = text;
    pair.isPair = true;
    pair.key = std::string(key);
    pair.value = std::string(value);
    lines_.insert(lines_.begin() + at, std::move(pair));
  }
  return Flush();
}

bool TIniFileEx::WriteInteger(std::string_view section, std::string_view key, int value) {
  return WriteString(section, key, std::to_string(value));
}

bool TIniFileEx::WriteBool(std::string_view section, std::string_view key, bool value) {
  return WriteString(section, key, value ? "1" : "0");
}

std::string TIniFileEx::Text() const {
  std::string out;
  for (const Line& l : lines_) out += l.text + "\r\n";
  return out;
}

bool TIniFileEx::Flush() {
  if (deferred_) {
    dirty_ = true;
    return true;
  }
  return UpdateFile();
}

bool TIniFileEx::UpdateFile() {
  dirty_ = false;
  if (path_.empty()) return true;
  MakeDirs(path_.substr(0, path_.rfind('/') + 1));
  return WriteFileAtomic(path_, Text());
}

void TIniFileEx::SetDeferred(bool deferred) {
  deferred_ = deferred;
  if (!deferred_ && dirty_) UpdateFile();
}

}  // namespace tonbo
