#pragma once
// The one place where text crosses between code page 932 (inside) and
// UTF-8 / UTF-16 (file names on disk, widgets). A character that code page
// 932 cannot hold, and a byte that is not UTF-8, becomes a fixed pair of
// codes of the user-defined area computed from its code point, so every file
// name on disk survives the trip in and out byte for byte, the same in every
// process, with nothing to fill up.
#include <QString>

#include <memory>
#include <string>
#include <string_view>

namespace tonbo::enc {

// First byte of a code page 932 double-byte character.
constexpr bool IsLeadByte(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// Bytes of the inside character that starts at s[i]: 4 (or, above U+CED17,
// 6) for the user-defined codes that stand for one character outside the
// code page, 2 for a double-byte character, 1 otherwise (never past the end).
size_t CharLength(std::string_view s, size_t i);

class SjisCodec {
 public:
  // legacyTablePath: the table of single user-defined codes that earlier
  // versions handed out (read once, never written), so lists and settings
  // saved with them still read; empty for none.
  explicit SjisCodec(const std::string& legacyTablePath = {});
  ~SjisCodec();
  SjisCodec(const SjisCodec&) = delete;
  SjisCodec& operator=(const SjisCodec&) = delete;

  // Outside bytes (UTF-8, possibly invalid) to code page 932; always true
  // (every byte string has its inside form).
  bool FromDisk(std::string_view bytes, std::string& out);
  // Code page 932 to the exact outside bytes.
  std::string ToDisk(std::string_view sjis);

  // Widget text. A byte that was not UTF-8 travels as the lone surrogate
  // U+DC80 + byte, so an edited name still maps back to the same code.
  bool FromQString(const QString& text, std::string& out);
  QString ToQString(std::string_view sjis);

  // UTF-16 code units of a code page 932 text (dictionary order).
  std::u16string ToUtf16(std::string_view sjis);

 private:
  struct Impl;
  std::unique_ptr<Impl> d_;
};

// The process-wide codec (with the earlier versions' table of the
// configuration folder, when there is one).
SjisCodec& Codec();

// Shorthands on Codec().
std::string ToSjis(const QString& text);
QString FromSjis(std::string_view sjis);
std::string SjisToDisk(std::string_view sjis);
bool DiskToSjis(std::string_view disk, std::string& out);

// A UTF-8 source literal in code page 932 (delete mark, labels, headings).
std::string Lit(std::string_view utf8);

}  // namespace tonbo::enc
