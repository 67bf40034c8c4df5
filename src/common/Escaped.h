#pragma once
// Names as every message shows them (tonbo-cli's messages, the rename run's
// log): a name cannot drive a terminal, end a line early or pass for a line
// of its own.
#include <string>
#include <string_view>

namespace tonbo {

// Outside bytes (UTF-8, possibly invalid) with everything that could act on a
// terminal or break a line written as text: "\n", "\r", "\t", other
// controls below 0x20 and 0x7F as "\x1b" and so on, the C1 controls, line
// and paragraph separators, direction overrides and bytes that are not UTF-8
// as "\xNN" for each byte; a backslash as "\\", so every escape is read back
// one way.
std::string EscapedBytes(std::string_view bytes);

// A name in code page 932 escaped the same way, back in code page 932, for
// texts kept in code page 932 (the run's log, the batch file's log).
std::string EscapedSjis(std::string_view sjis);

}  // namespace tonbo
