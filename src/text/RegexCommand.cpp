#include "text/RegexCommand.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <utility>

namespace tonbo {
namespace {

constexpr char kNotACommand[] = "正規表現は m/…/ か s/…/…/ の形で書きます";
constexpr char kOpenPattern[] = "パターンの終わりの区切り文字がありません";
constexpr char kOpenReplacement[] = "置換文字列の終わりの区切り文字がありません";

// The closing partner of a bracketing delimiter, or the delimiter itself.
std::string_view ClosingOf(std::string_view open) {
  static constexpr std::string_view kPairs = "()[]{}<>";
  const size_t at = open.size() == 1 ? kPairs.find(open[0]) : std::string_view::npos;
  return at != std::string_view::npos && at % 2 == 0 ? kPairs.substr(at + 1, 1) : open;
}

// An escaped delimiter keeps its "\" where that still reads as the plain
// character (punctuation); before a letter, a digit or a double-byte
// character the "\" would change the meaning, so it goes.
bool KeepsBackslash(std::string_view delimiter) {
  return delimiter.size() == 1 && std::ispunct(static_cast<unsigned char>(delimiter[0]));
}

// Each option and the switch it sets; k is accepted and sets nothing.
constexpr std::pair<std::string_view, bool TRegexCommand::*> kOptions[] = {
    {"g", &TRegexCommand::global},    {"i", &TRegexCommand::ignoreCase},
    {"m", &TRegexCommand::multiLine}, {"s", &TRegexCommand::dotAll},
    {"x", &TRegexCommand::extended},  {"k", nullptr}};

bool IsBlank(std::string_view c) { return c == " " || c == "\t" || c == "\r" || c == "\n"; }

// Turns the replacement text into literal pieces and group references.
class ReplacementReader {
 public:
  explicit ReplacementReader(std::string_view text) : s_(text) {}

  std::vector<TReplacePiece> Run() {
    while (pos_ < s_.size()) {
      const char c = s_[pos_];
      const size_t n = SjisCharLength(s_, pos_);
      if (n == 1 && c == '\\' && pos_ + 1 < s_.size()) {
        ++pos_;
        Escape();
      } else if (n == 1 && c == '$' && pos_ + 1 < s_.size()) {
        ++pos_;
        Dollar();
      } else {
        Literal(s_.substr(pos_, n));
        pos_ += n;
      }
    }
    return std::move(pieces_);
  }

 private:
  static bool IsGroupDigit(char c) { return c >= '1' && c <= '9'; }

  void Literal(std::string_view text) {
    if (pieces_.empty() || pieces_.back().group >= 0) pieces_.emplace_back();
    pieces_.back().text += text;
  }
  void Group(int n) { pieces_.push_back({n, {}}); }

  // After "\": a group digit, a control character, or the character itself.
  void Escape() {
    const char c = s_[pos_];
    const size_t n = SjisCharLength(s_, pos_);
    if (IsGroupDigit(c)) {
      Group(c - '0');
    } else {
      Literal(c == 'n' ? "\n" : c == 't' ? "\t" : c == 'r' ? "\r" : s_.substr(pos_, n));
    }
    pos_ += n;
  }

  // After "$": "&", one group digit or "{digits}"; anything else leaves the "$" as it is.
  void Dollar() {
    const char c = s_[pos_];
    if (c == '&' || IsGroupDigit(c)) {
      Group(c == '&' ? 0 : c - '0');
      ++pos_;
    } else if (!Braced()) {
      Literal("$");
    }
  }

  // "${n}" with up to four digits.
  bool Braced() {
    if (s_[pos_] != '{') return false;
    size_t end = pos_ + 1;
    while (end < s_.size() && end - pos_ <= 4 && std::isdigit(static_cast<unsigned char>(s_[end])))
      ++end;
    if (end == pos_ + 1 || end >= s_.size() || s_[end] != '}') return false;
    Group(std::stoi(std::string(s_.substr(pos_ + 1, end - pos_ - 1))));
    pos_ = end + 1;
    return true;
  }

  std::string_view s_;
  size_t pos_ = 0;
  std::vector<TReplacePiece> pieces_;
};

class CommandReader {
 public:
  CommandReader(std::string_view command, TRegexCommand& out) : s_(command), out_(out) {}

  // Empty on success, else the message in code page 932.
  std::string Run() {
    const std::string_view kind = NextChar();
    if (kind != "m" && kind != "s") return enc::Lit(kNotACommand);
    out_.substitute = kind == "s";
    std::string_view open = NextChar();
    if (open.empty() || open == "\\") return enc::Lit(kNotACommand);
    if (!ReadPart(open, out_.pattern)) return enc::Lit(kOpenPattern);
    if (out_.substitute) {
      std::string text;
      if (ClosingOf(open) != open) open = NextNonBlank();
      if (open.empty() || open == "\\" || !ReadPart(open, text)) return enc::Lit(kOpenReplacement);
      out_.replacement = ReplacementReader(text).Run();
    }
    return ReadOptions();
  }

 private:
  // The character at the current position, stepping past it; empty at the end.
  std::string_view NextChar() {
    if (pos_ >= s_.size()) return {};
    const std::string_view c = s_.substr(pos_, SjisCharLength(s_, pos_));
    pos_ += c.size();
    return c;
  }

  std::string_view NextNonBlank() {
    std::string_view c = NextChar();
    while (IsBlank(c)) c = NextChar();
    return c;
  }

  // Reads up to the delimiter that closes open; false when none does.
  bool ReadPart(std::string_view open, std::string& part) {
    const std::string_view close = ClosingOf(open);
    int depth = 0;
    for (std::string_view c = NextChar(); !c.empty(); c = NextChar()) {
      if (c == "\\") {
        const std::string_view next = NextChar();
        if (next.empty()) return false;
        const bool delimiter = next == open || next == close;
        if (!delimiter || KeepsBackslash(next)) part += '\\';
        part += next;
        continue;
      }
      if (c == close && depth == 0) return true;
      if (open != close) depth += (c == open) - (c == close);
      part += c;
    }
    return false;
  }

  std::string ReadOptions() {
    for (std::string_view c = NextChar(); !c.empty(); c = NextChar()) {
      const auto* option = std::find_if(std::begin(kOptions), std::end(kOptions),
                                        [c](const auto& o) { return c == o.first; });
      if (option == std::end(kOptions))
        return enc::Lit("使えないオプション「") + std::string(c) +
               enc::Lit("」があります（g i m s x k のみ）");
      if (option->second) out_.*(option->second) = true;
    }
    return {};
  }

  std::string_view s_;
  size_t pos_ = 0;
  TRegexCommand& out_;
};

}  // namespace

bool ParseRegexCommand(std::string_view command, TRegexCommand& out, std::string& error) {
  out = TRegexCommand{};
  error = CommandReader(command, out).Run();
  return error.empty();
}

}  // namespace tonbo
