#include "cli/CliReport.h"

#include "cli/CliProgress.h"
#include "common/Escaped.h"
#include "common/Sjis.h"

namespace tonbo::cli {
namespace {

std::string WithoutCr(std::string text) {
  size_t to = 0;
  for (size_t i = 0; i < text.size(); ++i)
    if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) text[to++] = text[i];
  text.resize(to);
  return text;
}

}  // namespace

void Reporter::Info(std::string_view utf8) {
  if (!quiet_) Note(utf8);
}

void Reporter::Note(std::string_view utf8) {
  if (progress_) progress_->Clear();
  err_ << WithoutCr(std::string(utf8));
  if (utf8.empty() || utf8.back() != '\n') err_ << '\n';
  err_.flush();
}

void Reporter::Error(std::string_view utf8) { Note("tonbo-cli: " + std::string(utf8)); }

std::string ToUtf8(std::string_view sjis) { return WithoutCr(enc::SjisToDisk(sjis)); }

std::string Escaped(std::string_view bytes) { return EscapedBytes(bytes); }

std::string ShownName(std::string_view sjis) { return Escaped(enc::SjisToDisk(sjis)); }

std::string ShownLines(std::string_view sjis) {
  std::string out;
  for (size_t at = 0; at < sjis.size();) {
    size_t end = sjis.find("\r\n", at);
    if (end == std::string_view::npos) end = sjis.size();
    out += ShownName(sjis.substr(at, end - at));
    out += '\n';
    at = end + 2;
  }
  return out;
}

}  // namespace tonbo::cli
