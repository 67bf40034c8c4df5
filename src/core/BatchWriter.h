#pragma once
// The list as files that perform its renames later or elsewhere: the batch
// file for the Windows command interpreter, and a POSIX sh script that does
// the same on this system.
#include <string>

#include "core/CsvDb.h"

namespace tonbo {

// The batch file: the heading "; Tonbo自動生成バッチファイル", then one ren or
// del line per row in table order. Code page 932, lines end in CR LF. The
// lines are not quoted beyond their double quotes, so a row whose path or
// new name holds a control character (a line end would start a command of
// its own) or a double quote (which would end the quoting) is left out and
// logged instead: no line is written that the list did not ask for.
struct BatchFile {
  std::string text;
  std::string log;  // code page 932, a line per row left out (names escaped), CR LF
  int left = 0;     // rows left out
};
BatchFile BatchText(const TCsvDb& table);

// The shell script (UTF-8 text with the names' exact disk bytes). Renames go
// in the order the rename run would take (chains wait for the file that
// leaves, rings go through a temporary name); every name is single-quoted.
std::string ShellScriptText(const TCsvDb& table);

// Writes text to a file through a temporary file in the same folder and a
// rename, so an existing file is never left half-written. executable: the
// file gets the execute bits where it has read bits. Returns 0 or an errno.
int WriteWholeFile(const std::string& diskPath, const std::string& text, bool executable = false);

}  // namespace tonbo
