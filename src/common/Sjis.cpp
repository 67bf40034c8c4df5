#include "common/Sjis.h"

#include <iconv.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <vector>

#include "common/FileRead.h"
#include "common/Folders.h"
#include "common/Utf8.h"

namespace tonbo::enc {
namespace {

constexpr char32_t kNone = 0xFFFFFFFF;
constexpr uint16_t kNoCode = 0xFFFF;
// Bytes that are not UTF-8 travel as these code points (as lone surrogates).
constexpr char32_t kRawByteBase = 0xDC00;
constexpr int kUserCodes = 1880;  // 0xF040-0xF9FC
// A character outside the code page is a start code (0xF640-0xF9FC) and one
// continuation code (0xF040-0xF5FC): 751 x 1,128 pairs hold the code points
// below 847,128; the last start code, 0xF9FC, takes two continuations for the
// rarely used planes above. The two sets never overlap, so a search never
// finds a character straddling two others. Bytes that are not UTF-8 ride on
// U+DC80-U+DCFF, which UTF-8 cannot hold.
constexpr int kContinuations = 6 * 188;
constexpr int kStarts = kUserCodes - kContinuations;
constexpr char32_t kPairValues = static_cast<char32_t>(kStarts - 1) * kContinuations;
constexpr unsigned char kStartLead = 0xF6;

bool IsUserLead(unsigned char c) { return c >= 0xF0 && c <= 0xF9; }
bool IsTrail(unsigned char c) { return c >= 0x40 && c <= 0xFC && c != 0x7F; }

uint16_t UserCode(int index) {
  int lead = 0xF0 + index / 188;
  int off = index % 188;
  int trail = off < 0x3F ? 0x40 + off : 0x80 + (off - 0x3F);
  return static_cast<uint16_t>((lead << 8) | trail);
}

int UserIndex(unsigned char lead, unsigned char trail) {
  int off = trail < 0x7F ? trail - 0x40 : trail - 0x80 + 0x3F;
  return (lead - 0xF0) * 188 + off;
}

// Code page 932 as glibc's iconv defines it, keeping only the codes whose
// round trip is exact: a Unicode character maps to a code only when that
// code decodes back to the same character.
struct StaticTables {
  std::vector<char32_t> decode = std::vector<char32_t>(65536, kNone);    // code -> char
  std::vector<uint16_t> encode = std::vector<uint16_t>(65536, kNoCode);  // BMP char -> code

  StaticTables() {
    iconv_t dec = iconv_open("UTF-32LE", "CP932");
    iconv_t enc = iconv_open("CP932", "UTF-32LE");
    // Without the converters (no descriptor left, no gconv module) the tables
    // would be empty: fail now, and the next conversion tries again.
    if (Failed(dec) || Failed(enc)) {
      if (!Failed(dec)) iconv_close(dec);
      if (!Failed(enc)) iconv_close(enc);
      throw std::runtime_error("code page 932 converter unavailable");
    }
    std::vector<uint16_t> codes;
    for (int b = 0; b < 0x100; ++b)
      if (!IsLeadByte(static_cast<unsigned char>(b))) codes.push_back(static_cast<uint16_t>(b));
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
      if (!IsLeadByte(static_cast<unsigned char>(lead)) || IsUserLead(lead)) continue;
      for (int trail = 0x40; trail <= 0xFC; ++trail)
        if (IsTrail(static_cast<unsigned char>(trail)))
          codes.push_back(static_cast<uint16_t>((lead << 8) | trail));
    }
    for (uint16_t code : codes) decode[code] = Decode(dec, code);
    for (uint16_t code : codes) {
      char32_t u = decode[code];
      if (u == kNone || u > 0xFFFF || encode[u] != kNoCode) continue;
      uint16_t back = Encode(enc, u);
      if (back != kNoCode && decode[back] == u) encode[u] = back;
    }
    iconv_close(dec);
    iconv_close(enc);
  }

  // iconv_open's failure value is (iconv_t)-1.
  static bool Failed(iconv_t cd) { return reinterpret_cast<std::intptr_t>(cd) == -1; }

  static bool Convert(iconv_t cd, const char* in, size_t inLen, char* out, size_t& outLen) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* ip = const_cast<char*>(in);
    char* op = out;
    size_t cap = outLen;
    if (iconv(cd, &ip, &inLen, &op, &cap) == static_cast<size_t>(-1) || inLen != 0) return false;
    outLen = static_cast<size_t>(op - out);
    return true;
  }

  static char32_t Decode(iconv_t dec, uint16_t code) {
    char in[2];
    size_t inLen = 0;
    if (code > 0xFF) in[inLen++] = static_cast<char>(code >> 8);
    in[inLen++] = static_cast<char>(code & 0xFF);
    char32_t u = 0;
    size_t outLen = sizeof u;
    if (!Convert(dec, in, inLen, reinterpret_cast<char*>(&u), outLen) || outLen != sizeof u)
      return kNone;
    // Private use belongs to the user-defined codes alone.
    return (u >= 0xE000 && u <= 0xF8FF) ? kNone : u;
  }

  static uint16_t Encode(iconv_t enc, char32_t u) {
    unsigned char out[4];
    size_t outLen = sizeof out;
    if (!Convert(enc, reinterpret_cast<const char*>(&u), sizeof u, reinterpret_cast<char*>(out),
                 outLen))
      return kNoCode;
    if (outLen == 1) return out[0];
    if (outLen == 2) return static_cast<uint16_t>((out[0] << 8) | out[1]);
    return kNoCode;
  }
};

const StaticTables& Tables() {
  static const StaticTables tables;
  return tables;
}

void AppendUtf8(std::string& out, char32_t u) {
  if (u >= kRawByteBase + 0x80 && u <= kRawByteBase + 0xFF)
    out += static_cast<char>(u - kRawByteBase);  // a byte that was not UTF-8
  else
    AppendUtf8Char(out, u);
}

// Decodes one strict UTF-8 sequence at s[i]; an invalid byte becomes a raw-byte code point.
char32_t NextUtf8(std::string_view s, size_t& i) {
  auto b = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
  unsigned char c = b(i);
  int len = c < 0x80                   ? 1
            : (c >= 0xC2 && c <= 0xDF) ? 2
            : (c >= 0xE0 && c <= 0xEF) ? 3
            : (c >= 0xF0 && c <= 0xF4) ? 4
                                       : 0;
  if (len == 1) return s[i++] & 0x7F;
  if (len == 0 || i + len > s.size()) return kRawByteBase + b(i++);
  char32_t u = c & (0xFF >> (len + 1));
  for (int k = 1; k < len; ++k) {
    if ((b(i + k) & 0xC0) != 0x80) return kRawByteBase + b(i++);
    u = (u << 6) | (b(i + k) & 0x3F);
  }
  bool overlong = (len == 3 && u < 0x800) || (len == 4 && u < 0x10000);
  if (overlong || u > 0x10FFFF || (u >= 0xD800 && u <= 0xDFFF)) return kRawByteBase + b(i++);
  i += len;
  return u;
}

}  // namespace

// The single user-defined codes that earlier versions handed out from a
// table in the configuration folder ("F040 U+00E9" a line). Read once and
// never written: only lists and settings saved then still hold such codes.
struct SjisCodec::Impl {
  std::array<char32_t, kUserCodes> legacyChar{};

  explicit Impl(const std::string& path) {
    legacyChar.fill(kNone);
    if (!path.empty()) Read(path);
  }

  void Read(const std::string& path) {
    const int fd = OpenFileToRead(path);
    if (fd < 0) return;
    FILE* f = fdopen(fd, "r");
    if (!f) {
      close(fd);
      return;
    }
    char line[64];
    while (std::fgets(line, sizeof line, f)) {
      unsigned code = 0, u = 0;
      if (std::sscanf(line, "%4X U+%X", &code, &u) != 2) continue;
      const unsigned char lead = code >> 8, trail = code & 0xFF;
      if (!IsUserLead(lead) || !IsTrail(trail) || u > 0x10FFFF) continue;
      const int index = UserIndex(lead, trail);
      if (legacyChar[index] == kNone) legacyChar[index] = u;
    }
    std::fclose(f);
  }

  // What a user-defined code standing alone means: what the earlier table
  // said, else the private-use character code page 932 gives it.
  char32_t Single(int index) const {
    return legacyChar[index] != kNone ? legacyChar[index] : static_cast<char32_t>(0xE000 + index);
  }
};

SjisCodec::SjisCodec(const std::string& legacyTablePath)
    : d_(std::make_unique<Impl>(legacyTablePath)) {}
SjisCodec::~SjisCodec() = default;

namespace {

void AppendCode(std::string& out, uint16_t code) {
  if (code > 0xFF) out += static_cast<char>(code >> 8);
  out += static_cast<char>(code & 0xFF);
}

void AppendUser(std::string& out, int index) {
  const uint16_t code = UserCode(index);
  out += static_cast<char>(code >> 8);
  out += static_cast<char>(code & 0xFF);
}

// The start code and continuations that stand for a code point.
void AppendPair(std::string& out, char32_t u) {
  if (u < kPairValues) {
    AppendUser(out, kContinuations + static_cast<int>(u / kContinuations));
  } else {
    AppendUser(out, kUserCodes - 1);
    u -= kPairValues;
    AppendUser(out, static_cast<int>(u / kContinuations));
  }
  AppendUser(out, static_cast<int>(u % kContinuations));
}

// Index of the user-defined code at s[i] (2 bytes), or -1.
int UserAt(std::string_view s, size_t i) {
  if (i + 1 >= s.size()) return -1;
  const auto lead = static_cast<unsigned char>(s[i]), trail = static_cast<unsigned char>(s[i + 1]);
  return IsUserLead(lead) && IsTrail(trail) ? UserIndex(lead, trail) : -1;
}

bool IsContinuation(int index) { return index >= 0 && index < kContinuations; }

// The code point of the start code and continuations at s[i], and their
// length in bytes (0 when there is no whole character there).
char32_t PairAt(std::string_view s, size_t i, size_t& length) {
  length = 0;
  const int start = UserAt(s, i), first = UserAt(s, i + 2);
  if (start < kContinuations || !IsContinuation(first)) return kNone;
  if (start < kUserCodes - 1) {
    length = 4;
    return static_cast<char32_t>(start - kContinuations) * kContinuations + first;
  }
  const int second = UserAt(s, i + 4);
  const char32_t u = kPairValues + static_cast<char32_t>(first) * kContinuations + second;
  if (!IsContinuation(second) || u > 0x10FFFF) return kNone;
  length = 6;
  return u;
}

void EncodeChar(std::string& out, char32_t u) {
  if (u < 0x80) {
    out += static_cast<char>(u);
    return;
  }
  if (u <= 0xFFFF) {
    const uint16_t code = Tables().encode[u];
    if (code != kNoCode) return AppendCode(out, code);
  }
  AppendPair(out, u);
}

// Walks code page 932 text character by character, giving each code point.
template <typename Sink, typename UserFn>
void DecodeSjis(std::string_view s, Sink&& sink, UserFn&& single) {
  const auto& tables = Tables();
  for (size_t i = 0; i < s.size();) {
    auto c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
      sink(c);
      ++i;
      continue;
    }
    if (IsLeadByte(c) && i + 1 < s.size()) {
      auto t = static_cast<unsigned char>(s[i + 1]);
      if (IsUserLead(c) && IsTrail(t)) {
        size_t length = 0;
        const char32_t u = c >= kStartLead ? PairAt(s, i, length) : kNone;
        // A code on its own (from text made elsewhere, or half of a
        // character cut by an edit) reads as a character of its own.
        sink(length ? u : single(UserIndex(c, t)));
        i += length ? length : 2;
        continue;
      }
      char32_t u = tables.decode[(c << 8) | t];
      if (u != kNone) {
        sink(u);
        i += 2;
        continue;
      }
    }
    char32_t u = IsLeadByte(c) ? kNone : tables.decode[c];
    sink(u != kNone ? u : kRawByteBase + c);
    ++i;
  }
}

void AppendUtf16(std::u16string& out, char32_t u) {
  if (u > 0xFFFF) {
    u -= 0x10000;
    out += static_cast<char16_t>(0xD800 + (u >> 10));
    out += static_cast<char16_t>(0xDC00 + (u & 0x3FF));
  } else {
    out += static_cast<char16_t>(u);
  }
}

// The length of the leading run of ASCII, which reads the same on both sides.
// The tables are made here all the same, so they are ready at the first
// conversion whatever its text (later, descriptors may have run out).
size_t AsciiPrefix(std::string_view text) {
  Tables();
  size_t n = 0;
  while (n < text.size() && static_cast<unsigned char>(text[n]) < 0x80) ++n;
  return n;
}

}  // namespace

size_t CharLength(std::string_view s, size_t i) {
  const auto c = static_cast<unsigned char>(s[i]);
  if (!IsLeadByte(c) || i + 1 >= s.size()) return 1;
  size_t length = 0;
  if (c >= kStartLead && IsUserLead(c)) PairAt(s, i, length);
  return length ? length : 2;
}

bool SjisCodec::FromDisk(std::string_view bytes, std::string& out) {
  const size_t ascii = AsciiPrefix(bytes);
  out.assign(bytes.substr(0, ascii));
  if (ascii == bytes.size()) return true;
  out.reserve(bytes.size() + bytes.size() / 3);
  for (size_t i = ascii; i < bytes.size();) EncodeChar(out, NextUtf8(bytes, i));
  return true;
}

std::string SjisCodec::ToDisk(std::string_view sjis) {
  // Most names are all ASCII: copied at once.
  const size_t ascii = AsciiPrefix(sjis);
  if (ascii == sjis.size()) return std::string(sjis);
  std::string out;
  out.reserve(sjis.size() + sjis.size() / 2);
  out.append(sjis.substr(0, ascii));
  const Impl& d = *d_;
  DecodeSjis(
      sjis.substr(ascii), [&](char32_t u) { AppendUtf8(out, u); },
      [&d](int i) { return d.Single(i); });
  return out;
}

bool SjisCodec::FromQString(const QString& text, std::string& out) {
  out.clear();
  out.reserve(static_cast<size_t>(text.size()) * 2);
  const QChar* p = text.constData();
  const qsizetype n = text.size();
  for (qsizetype i = 0; i < n; ++i) {
    char32_t u = p[i].unicode();
    if (QChar::isHighSurrogate(u) && i + 1 < n && p[i + 1].isLowSurrogate()) {
      u = QChar::surrogateToUcs4(p[i].unicode(), p[i + 1].unicode());
      ++i;
    }
    EncodeChar(out, u);
  }
  return true;
}

QString SjisCodec::ToQString(std::string_view sjis) {
  std::u16string units = ToUtf16(sjis);
  return QString(reinterpret_cast<const QChar*>(units.data()),
                 static_cast<qsizetype>(units.size()));
}

std::u16string SjisCodec::ToUtf16(std::string_view sjis) {
  std::u16string out;
  out.reserve(sjis.size());
  const Impl& d = *d_;
  DecodeSjis(
      sjis, [&](char32_t u) { AppendUtf16(out, u); }, [&d](int i) { return d.Single(i); });
  return out;
}

SjisCodec& Codec() {
  static SjisCodec codec(ConfigDirDisk() + "charmap.txt");
  return codec;
}

std::string ToSjis(const QString& text) {
  std::string out;
  Codec().FromQString(text, out);
  return out;
}

QString FromSjis(std::string_view sjis) { return Codec().ToQString(sjis); }

std::string SjisToDisk(std::string_view sjis) { return Codec().ToDisk(sjis); }

bool DiskToSjis(std::string_view disk, std::string& out) { return Codec().FromDisk(disk, out); }

std::string Lit(std::string_view utf8) {
  std::string out;
  Codec().FromDisk(utf8, out);
  return out;
}

}  // namespace tonbo::enc
