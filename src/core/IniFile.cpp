#include "core/IniFile.h"

#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>

#include "common/FileRead.h"
#include "common/Folders.h"
#include "common/TextFile.h"

namespace tonbo {
namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// The index key of a name: A-Z folded, byte by byte, as the names compare.
std::string Folded(std::string_view name) {
  std::string out(name);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 0x20);
  return out;
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

std::string WriteTargetOf(const std::string& diskPath) {
  std::string path = diskPath;
  for (int hops = 0; hops < 40; ++hops) {  // the kernel's own limit on link chains
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) break;
    std::string target(PATH_MAX, '\0');
    ssize_t n = readlink(path.c_str(), target.data(), target.size());
    if (n <= 0) break;
    target.resize(static_cast<size_t>(n));
    if (target.front() != '/') target = path.substr(0, path.rfind('/') + 1) + target;
    path = std::move(target);
  }
  return path;
}

// ---- IniText ----

IniText::IniText(std::string_view bytes) {
  sections_.emplace_back();
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = bytes.size();
    Line line;
    line.text = std::string(bytes.substr(start, end - start));
    std::string_view t = Trim(line.text);
    bool isSection = false;
    if (t.size() >= 2 && t.front() == '[' && t.find(']') != std::string_view::npos) {
      isSection = true;
      line.key = std::string(Trim(t.substr(1, t.find(']') - 1)));
    } else if (size_t eq = t.find('='); eq != std::string_view::npos && t.front() != ';') {
      line.isPair = true;
      line.key = std::string(Trim(t.substr(0, eq)));
      line.value = std::string(Trim(t.substr(eq + 1)));
    }
    AddLine(std::move(line), isSection);
    if (end < bytes.size() && bytes[end] == '\r' && end + 1 < bytes.size() &&
        bytes[end + 1] == '\n')
      ++end;
    start = end + 1;
  }
}

void IniText::AddLine(Line line, bool isSection) {
  if (isSection) {
    sections_.emplace_back();
    index_.emplace(Folded(line.key), sections_.size() - 1);
  } else if (line.isPair) {
    Section& s = sections_.back();
    // Keys before the first heading belong to no section and are never found.
    if (sections_.size() > 1) s.keys.emplace(Folded(line.key), s.lines.size());
  }
  sections_.back().lines.push_back(std::move(line));
}

IniText::Section& IniText::AddSection(std::string_view name) {
  Line heading;
  heading.text = "[" + std::string(name) + "]";
  heading.key = std::string(name);
  AddLine(std::move(heading), true);
  return sections_.back();
}

const std::string* IniText::Find(std::string_view section, std::string_view key) const {
  auto s = index_.find(Folded(section));
  if (s == index_.end()) return nullptr;
  const Section& sec = sections_[s->second];
  auto k = sec.keys.find(Folded(key));
  return k == sec.keys.end() ? nullptr : &sec.lines[k->second].value;
}

bool IniText::Set(std::string_view section, std::string_view key, std::string_view value) {
  auto s = index_.find(Folded(section));
  Section& sec = s == index_.end() ? AddSection(section) : sections_[s->second];
  if (auto k = sec.keys.find(Folded(key)); k != sec.keys.end()) {
    Line& l = sec.lines[k->second];
    if (l.value == value) return false;
    l.value = std::string(value);
    l.text = l.key + "=" + l.value;
    return true;
  }
  // After the section's last non-blank line; only blank lines move, so the
  // index of every key stays right.
  size_t at = sec.lines.size();
  while (at > 1 && Trim(sec.lines[at - 1].text).empty()) --at;
  Line pair;
  pair.text = std::string(key) + "=" + std::string(value);
  pair.isPair = true;
  pair.key = std::string(key);
  pair.value = std::string(value);
  sec.lines.insert(sec.lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(pair));
  sec.keys.emplace(Folded(key), at);
  return true;
}

std::string IniText::Text() const {
  size_t size = 0;
  for (const Section& s : sections_)
    for (const Line& l : s.lines) size += l.text.size() + 2;
  std::string out;
  out.reserve(size);
  for (const Section& s : sections_)
    for (const Line& l : s.lines) {
      out += l.text;
      out += "\r\n";
    }
  return out;
}

// ---- TIniFileEx ----

TIniFileEx::TIniFileEx(std::string diskPath) : path_(std::move(diskPath)) { Reload(); }

void TIniFileEx::Reload() {
  text_ = IniText();
  pending_.clear();
  unreadable_ = false;
  if (path_.empty()) return;
  std::string bytes;
  int err = 0;
  if (ReadWholeFile(path_, bytes, &err, kMaxSettingsBytes))
    text_ = IniText(bytes);
  else if (err != ENOENT)
    SetUnreadable(err);
}

void TIniFileEx::SetUnreadable(int err) {
  unreadable_ = true;
  unreadableError_ = err;
}

std::string TIniFileEx::UnreadableReason() const {
  return unreadable_ ? ReadErrorText(unreadableError_, kMaxSettingsBytes) : std::string();
}

std::string TIniFileEx::ReadString(std::string_view section, std::string_view key,
                                   std::string_view fallback) const {
  const std::string* found = text_.Find(section, key);
  if (!found) return std::string(fallback);
  std::string_view v = *found;
  // A value in matching quotes reads without them, as the platform's routines do.
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
    v = v.substr(1, v.size() - 2);
  return std::string(v);
}

bool TIniFileEx::ValueExists(std::string_view section, std::string_view key) const {
  return text_.Find(section, key) != nullptr;
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
  if (!text_.Set(section, key, value)) return !unreadable_;
  pending_.push_back({std::string(section), std::string(key), std::string(value)});
  return Flush();
}

bool TIniFileEx::WriteInteger(std::string_view section, std::string_view key, int value) {
  return WriteString(section, key, std::to_string(value));
}

bool TIniFileEx::WriteBool(std::string_view section, std::string_view key, bool value) {
  return WriteString(section, key, value ? "1" : "0");
}

bool TIniFileEx::Flush() { return deferred_ || UpdateFile(); }

bool TIniFileEx::UpdateFile() {
  if (path_.empty()) {
    pending_.clear();
    return true;
  }
  if (unreadable_) return false;
  if (pending_.empty()) return true;
  // Merge into the file as it is now: lines added by hand meanwhile stay. A
  // file removed meanwhile is written again from what was read at the start.
  std::string bytes;
  int err = 0;
  if (ReadWholeFile(path_, bytes, &err, kMaxSettingsBytes)) {
    IniText merged(bytes);
    for (const Change& c : pending_) merged.Set(c.section, c.key, c.value);
    text_ = std::move(merged);
  } else if (err != ENOENT) {
    SetUnreadable(err);
    return false;
  }
  const std::string target = WriteTargetOf(path_);
  MakeDirs(target.substr(0, target.rfind('/') + 1));
  if (!WriteFileAtomic(target, text_.Text())) return false;
  pending_.clear();
  return true;
}

void TIniFileEx::SetDeferred(bool deferred) {
  deferred_ = deferred;
  if (!deferred_) UpdateFile();
}

bool TIniFileEx::TakeUnreadableWarning() {
  if (!unreadable_ || warned_) return false;
  warned_ = true;
  return true;
}

}  // namespace tonbo
