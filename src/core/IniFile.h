#pragma once
// The settings file: an ini file in code page 932 with sections in brackets
// and key=value lines. Section and key names compare without regard to the
// case of A-Z, as Windows ini files do. Lines the program does not know are
// kept as they are. Every write merges the keys the program changed into the
// file as it is on disk at that moment, so lines added by hand while the
// program runs survive; a settings file that is a symbolic link is written
// through to its target; a file that exists but cannot be read is never
// written over.
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tonbo {

// The parsed text of an ini file with an index of its sections and keys, so
// a lookup costs the same in a file of ten lines as in one of a million.
class IniText {
 public:
  explicit IniText(std::string_view bytes = {});

  // The value's line, or null when the section or the key is missing (the
  // first section and the first key of a name count, as on Windows).
  const std::string* Find(std::string_view section, std::string_view key) const;
  // Sets a value; a new key goes after the section's last non-blank line, a
  // new section at the end. False when the value was already the same.
  bool Set(std::string_view section, std::string_view key, std::string_view value);
  // Every line followed by CR LF.
  std::string Text() const;

 private:
  struct Line {
    std::string text;  // the whole line as read or written
    std::string key;   // section name or key, for sections and key=value lines
    std::string value;
    bool isPair = false;
  };
  struct Section {
    std::vector<Line> lines;  // lines[0] is the heading, except in the part before any
    std::unordered_map<std::string, size_t> keys;
  };
  void AddLine(Line line, bool isSection);
  Section& AddSection(std::string_view name);

  std::vector<Section> sections_;  // sections_[0]: the lines before the first heading
  std::unordered_map<std::string, size_t> index_;
};

// The largest settings file read; a larger one is unreadable (never written over).
inline constexpr std::uint64_t kMaxSettingsBytes = std::uint64_t{16} << 20;

class TIniFileEx {
 public:
  // diskPath: the file; an empty path keeps everything in memory.
  explicit TIniFileEx(std::string diskPath);

  const std::string& FileName() const { return path_; }
  // Re-reads the file; a missing or unreadable file reads as empty.
  void Reload();

  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view fallback) const;
  // Decimal or "$" hexadecimal; anything else gives the fallback.
  int ReadInteger(std::string_view section, std::string_view key, int fallback) const;
  // A number: 0 is false, any other number true; anything else gives the fallback.
  bool ReadBool(std::string_view section, std::string_view key, bool fallback) const;
  bool ValueExists(std::string_view section, std::string_view key) const;

  // Each returns false when the file could not be written.
  bool WriteString(std::string_view section, std::string_view key, std::string_view value);
  bool WriteInteger(std::string_view section, std::string_view key, int value);
  bool WriteBool(std::string_view section, std::string_view key, bool value);

  // While deferred, writes stay in memory until UpdateFile or the end of deferring
  // (saving many keys at exit writes the file once).
  void SetDeferred(bool deferred);
  bool UpdateFile();

  // The file's text as it would be written.
  std::string Text() const { return text_.Text(); }

  // True when the file exists but could not be read: it is then left alone
  // and the settings live in memory only.
  bool Unreadable() const { return unreadable_; }
  // Why, for people (UTF-8): a FIFO or device, the size limit, the system's error.
  std::string UnreadableReason() const;
  // True the first time it is asked after the file turned out unreadable, so
  // the window warns once.
  bool TakeUnreadableWarning();

 private:
  struct Change {
    std::string section, key, value;
  };
  bool Flush();
  void SetUnreadable(int err);

  std::string path_;
  IniText text_;
  std::vector<Change> pending_;  // changes not yet on disk, in the order made
  bool deferred_ = false;
  bool unreadable_ = false;
  int unreadableError_ = 0;
  bool warned_ = false;
};

// Reads a whole number the way the settings file stores one: decimal with an
// optional sign, or "$" and hexadecimal digits. False when text is not one.
bool ParseIniInteger(std::string_view text, int& value);

// Where a write to diskPath lands: the final target when diskPath is a
// symbolic link (or a chain of them), else diskPath itself.
std::string WriteTargetOf(const std::string& diskPath);

}  // namespace tonbo
