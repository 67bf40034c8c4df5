#pragma once
// The one place where text crosses between code page 932 (inside) and
// UTF-8 / UTF-16 (file names on disk, widgets). Characters that code page 932
// cannot hold, and bytes that are not UTF-8, take a code of the user-defined
// area (0xF040-0xF9FC) from a small persistent table, so every file name on
// disk survives the trip in and out byte for byte.
#include <QString>

#include <memory>
#include <string>
#include <string_view>

namespace tonbo::enc {

// First byte of a code page 932 double-byte character.
constexpr bool IsLeadByte(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

class SjisCodec {
 public:
  // tablePath: the persistent table of user-defined codes, shared by every
  // Tonbo process of the user; empty keeps the table in memory only.
  explicit SjisCodec(std::string tablePath);
  ~SjisCodec();
  SjisCodec(const SjisCodec&) = delete;
  SjisCodec& operator=(const SjisCodec&) = delete;

  // Outside bytes (UTF-8, possibly invalid) to code page 932. False when a
  // character needs a new user-defined code and the area is full.
  bool FromDisk(std::string_view bytes, std::string& out);
  // Code page 932 to the exact outside bytes.
  std::string ToDisk(std::string_view sjis);

  // Widget text. A byte that was not UTF-8 travels as the lone surrogate
  // U+DC80 + byte, so an edited name still maps back to the same code.
  bool FromQString(const QString& text, std::string& out);
  QString ToQString(std::string_view sjis);

  // UTF-16 code units of a code page 932 text (dictionary order); assigns nothing.
  std::u16string ToUtf16(std::string_view sjis);

  // Number of user-defined codes assigned so far (for messages and tests).
  int AssignedCount();

 private:
  struct Impl;
  std::unique_ptr<Impl> d_;
};

// The process-wide codec, its table in the configuration folder.
SjisCodec& Codec();

// Shorthands on Codec(). ToSjis/DiskToSjisLossy put "?" where the user-defined area is full.
std::string ToSjis(const QString& text);
QString FromSjis(std::string_view sjis);
std::string SjisToDisk(std::string_view sjis);
bool DiskToSjis(std::string_view disk, std::string& out);

// A UTF-8 source literal in code page 932 (delete mark, labels, headings).
std::string Lit(std::string_view utf8);

}  // namespace tonbo::enc
