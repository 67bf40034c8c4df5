#pragma once
// The settings file: an ini file in code page 932 with sections in brackets
// and key=value lines. Section and key names compare without regard to the
// case of A-Z, as Windows ini files do. Lines the program does not know are
// kept as they are; every write goes to disk at once (through a temporary
// file, so a failed write never leaves half a settings file).
#include <string>
#include <string_view>
#include <vector>

namespace tonbo {

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
  std::string Text() const;

 private:
  struct Line {
    std::string text;  // the whole line as read or written
    std::string key;   // for key=value lines
    std::string value;
    bool isSection = false;
    bool isPair = false;
  };
  int FindSection(std::string_view section) const;
  int FindKey(int sectionLine, std::string_view key) const;
  int SectionEnd(int sectionLine) const;
  bool Flush();

  std::string path_;
  std::vector<Line> lines_;
  bool deferred_ = false;
  bool dirty_ = false;
};

// Reads a whole number the way the settings file stores one: decimal with an
// optional sign, or "$" and hexadecimal digits. False when text is not one.
bool ParseIniInteger(std::string_view text, int& value);

}  // namespace tonbo
