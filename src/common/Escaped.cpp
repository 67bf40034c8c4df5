#include "common/Escaped.h"

#include <cstdio>

#include "common/Sjis.h"

namespace tonbo {
namespace {

void AppendByte(std::string& out, unsigned char c) {
  char hex[5];
  std::snprintf(hex, sizeof hex, "\\x%02x", c);
  out += hex;
}

// Length of the well-formed UTF-8 sequence at s (0 when it is not one) and its code.
size_t DecodeUtf8(std::string_view s, char32_t& code) {
  const auto c = static_cast<unsigned char>(s[0]);
  size_t len = 0;
  if (c >= 0xC2 && c <= 0xDF) {
    len = 2, code = c & 0x1F;
  } else if (c >= 0xE0 && c <= 0xEF) {
    len = 3, code = c & 0x0F;
  } else if (c >= 0xF0 && c <= 0xF4) {
    len = 4, code = c & 0x07;
  } else {
    return 0;
  }
  if (s.size() < len) return 0;
  for (size_t i = 1; i < len; ++i) {
    const auto t = static_cast<unsigned char>(s[i]);
    if ((t & 0xC0) != 0x80) return 0;
    code = (code << 6) | (t & 0x3F);
  }
  const bool overlong = (len == 3 && code < 0x800) || (len == 4 && code < 0x10000);
  if (overlong || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) return 0;
  return len;
}

// Characters that act on a terminal or on how a line reads.
bool Unsafe(char32_t code) {
  return (code >= 0x80 && code <= 0x9F) || code == 0x2028 || code == 0x2029 ||
         (code >= 0x202A && code <= 0x202E) || (code >= 0x2066 && code <= 0x2069);
}

}  // namespace

std::string EscapedBytes(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (size_t i = 0; i < bytes.size();) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    if (c >= 0x20 && c < 0x7F) {
      if (c == '\\') out += '\\';
      out += static_cast<char>(c);
      ++i;
      continue;
    }
    if (c == '\n' || c == '\r' || c == '\t') {
      out += c == '\n' ? "\\n" : c == '\r' ? "\\r" : "\\t";
      ++i;
      continue;
    }
    char32_t code = 0;
    const size_t len = c < 0x80 ? 0 : DecodeUtf8(bytes.substr(i), code);
    if (len == 0) {
      AppendByte(out, c);
      ++i;
    } else if (Unsafe(code)) {
      for (size_t k = 0; k < len; ++k) AppendByte(out, static_cast<unsigned char>(bytes[i + k]));
      i += len;
    } else {
      out.append(bytes.substr(i, len));
      i += len;
    }
  }
  return out;
}

std::string EscapedSjis(std::string_view sjis) {
  std::string out;
  enc::DiskToSjis(EscapedBytes(enc::SjisToDisk(sjis)), out);
  return out;
}

}  // namespace tonbo
