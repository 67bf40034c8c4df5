#include "cli/CliProgress.h"

#include <chrono>
#include <vector>

#include "cli/CliReport.h"

namespace tonbo::cli {
namespace {

constexpr const char* kClearLine = "\r\x1b[K";

std::int64_t SteadyMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// Display columns of a character: two for the wide East Asian ranges
// (kanji, kana, full-width forms, hangul), one for the rest.
int Width(char32_t c) {
  const bool wide = (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0x303E) ||
                    (c >= 0x3041 && c <= 0x33FF) || (c >= 0x3400 && c <= 0x4DBF) ||
                    (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xA000 && c <= 0xA4CF) ||
                    (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
                    (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
                    (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x1F300 && c <= 0x1FAFF) ||
                    (c >= 0x20000 && c <= 0x3FFFD);
  return wide ? 2 : 1;
}

// The characters of a UTF-8 text (escaped, so well formed) with their widths.
struct Char {
  size_t at, len;
  int width;
};

std::vector<Char> Chars(const std::string& s) {
  std::vector<Char> out;
  for (size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    const size_t len = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    char32_t code = len == 1 ? c : c & (0x7F >> len);
    for (size_t k = 1; k < len && i + k < s.size(); ++k)
      code = (code << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
    out.push_back({i, len, Width(code)});
    i += len;
  }
  return out;
}

int Columns(const std::string& s) {
  int n = 0;
  for (const Char& c : Chars(s)) n += c.width;
  return n;
}

}  // namespace

std::string ProgressLine(const std::string& label, std::int64_t done, std::int64_t total,
                         const std::string& shownName, int columns) {
  std::string line = label + ": " + std::to_string(done);
  if (total >= 0) line += " / " + std::to_string(total);
  line += " 個  ";
  const int room = columns - 1 - Columns(line);
  if (room <= 0) return line;
  if (Columns(shownName) <= room) return line + shownName;
  // The end of the name tells the file best; "…" stands for the rest.
  const std::vector<Char> chars = Chars(shownName);
  int used = 1;
  size_t from = chars.size();
  while (from > 0 && used + chars[from - 1].width <= room) used += chars[--from].width;
  return line + "…" + shownName.substr(from < chars.size() ? chars[from].at : shownName.size());
}

TerminalProgress::TerminalProgress(std::ostream& err, bool on, std::string label, int columns,
                                   Clock clock)
    : err_(err),
      label_(std::move(label)),
      clock_(clock ? std::move(clock) : Clock(SteadyMs)),
      columns_(columns > 0 ? columns : 80),
      on_(on) {}

bool TerminalProgress::Step(std::int64_t done, std::int64_t total, const std::string& sjisName) {
  if (!on_) return true;
  const std::int64_t now = clock_();
  if (started_ < 0) {
    started_ = drawnAt_ = now;
    return true;
  }
  if (now - started_ < kShowAfterMs || (drawn_ && now - drawnAt_ < kUpdateEveryMs)) return true;
  drawnAt_ = now;
  err_ << kClearLine << ProgressLine(label_, done, total, ShownName(sjisName), columns_);
  err_.flush();
  drawn_ = true;
  return true;
}

void TerminalProgress::Clear() {
  if (!drawn_) return;
  err_ << kClearLine;
  err_.flush();
  drawn_ = false;
}

void TerminalProgress::Finish() {
  Clear();
  started_ = -1;
}

}  // namespace tonbo::cli
