#pragma once
// Messages of tonbo-cli: every one goes to standard error in UTF-8, one per
// line, so the table on standard output stays clean for scripts. Names in
// messages are escaped (see Escaped), so a name cannot drive the terminal or
// pass for a line of its own.
#include <ostream>
#include <string>
#include <string_view>

namespace tonbo::cli {

class TerminalProgress;

class Reporter {
 public:
  Reporter(std::ostream& err, bool quiet) : err_(err), quiet_(quiet) {}
  // What a command did (the windows' status texts); --quiet leaves them out.
  void Info(std::string_view utf8);
  // Results, warnings and the executor's log: always written.
  void Note(std::string_view utf8);
  // A fault that ends the run or spoils its result.
  void Error(std::string_view utf8);
  // A progress line shown on the same terminal: taken away before each
  // message (it comes back with the next step). Null: none.
  void SetProgress(TerminalProgress* progress) { progress_ = progress; }

 private:
  std::ostream& err_;
  TerminalProgress* progress_ = nullptr;
  bool quiet_;
};

// Code page 932 text as UTF-8 for the terminal, CR LF line ends as LF.
std::string ToUtf8(std::string_view sjis);

// Outside bytes escaped for a message (EscapedBytes, common/Escaped.h).
std::string Escaped(std::string_view bytes);
// A name (code page 932) in a message: its outside bytes, escaped.
std::string ShownName(std::string_view sjis);
// A text of lines ending in CR LF (the rename log, code page 932): each line
// escaped and ended by LF.
std::string ShownLines(std::string_view sjis);

}  // namespace tonbo::cli
