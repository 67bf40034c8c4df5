#include "preview/PreviewText.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>

namespace tonbo::preview {
namespace {

// One conversion through glibc's iconv. With `lenient`, a byte that does not
// convert becomes U+FFFD (the decoding is then not exact).
bool Convert(const char* to, const char* from, std::string_view in, std::string& out,
             bool lenient) {
  iconv_t cd = iconv_open(to, from);
  if (reinterpret_cast<std::intptr_t>(cd) == -1) return false;  // (iconv_t)-1: failed
  out.clear();
  bool exact = true;
  char buffer[4096];
  char* src = const_cast<char*>(in.data());
  size_t left = in.size();
  while (left > 0) {
    char* dst = buffer;
    size_t room = sizeof buffer;
    const size_t r = iconv(cd, &src, &left, &dst, &room);
    out.append(buffer, static_cast<size_t>(dst - buffer));
    if (r != static_cast<size_t>(-1)) continue;
    if (errno == E2BIG) continue;
    exact = false;
    if (!lenient) break;
    out.append("\xEF\xBF\xBD");  // U+FFFD
    ++src;
    --left;
  }
  iconv_close(cd);
  return exact;
}

std::string FirstLineEnd(std::string_view bytes) {
  const size_t at = bytes.find_first_of("\r\n");
  if (at == std::string_view::npos) return "\n";
  if (bytes[at] == '\n') return "\n";
  return at + 1 < bytes.size() && bytes[at + 1] == '\n' ? "\r\n" : "\r";
}

// Every line end (CR LF, CR or LF) becomes LF.
std::string ToLf(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      out += '\n';
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::string FromLf(std::string_view text, std::string_view lineEnd) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c == '\n')
      out += lineEnd;
    else
      out += c;
  }
  return out;
}

}  // namespace

DecodedText DecodeTextFile(std::string_view bytes) {
  DecodedText result;
  result.form.lineEnd = FirstLineEnd(bytes);
  std::string utf8;
  const QByteArray raw =
      QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
  if (QString::fromUtf8(raw).toUtf8() == raw) {
    result.form.encoding = TextEncoding::Utf8;
    utf8.assign(bytes);
  } else {
    result.form.encoding = TextEncoding::Cp932;
    result.form.lossless = Convert("UTF-8", "CP932", bytes, utf8, true);
  }
  const std::string lf = ToLf(utf8);
  result.text = QString::fromUtf8(lf.data(), static_cast<qsizetype>(lf.size()));
  // A NUL ends the text in an edit box, and mixed line ends come back as one kind.
  std::string again;
  if (result.form.lossless)
    result.form.lossless = bytes.find('\0') == std::string_view::npos &&
                           EncodeTextFile(result.text, result.form, again) && again == bytes;
  return result;
}

bool EncodeTextFile(const QString& text, const TextForm& form, std::string& bytes) {
  const QByteArray utf8 = text.toUtf8();
  const std::string lines =
      FromLf(std::string_view(utf8.data(), static_cast<size_t>(utf8.size())), form.lineEnd);
  if (form.encoding == TextEncoding::Utf8) {
    bytes = lines;
    return true;
  }
  return Convert("CP932", "UTF-8", lines, bytes, false);
}

}  // namespace tonbo::preview
