#pragma once
// Command lines as the system writes them for its helpers: a program, then
// arguments, separated by blanks; double quotes group a path with spaces.
#include <string>
#include <string_view>
#include <vector>

namespace tonbo::platform {

// Splits a command line into the program and its arguments. Quotes group
// and are removed; a backslash is an ordinary character (no escapes).
std::vector<std::string> SplitCommandLine(std::string_view line);

// "notepad.exe" or "notepad" in any letter case, with or without a folder.
bool IsNotepad(std::string_view program);

// Opens a file (disk path) in the default text editor: the file is handed
// to xdg-open. True when that could be started.
bool OpenInTextEditor(const std::string& diskPath);

// Runs a command line given in disk bytes without waiting for it. Notepad
// with a file stands for "the default text editor": the file is handed to
// xdg-open. True when the process could be started.
bool RunDiskCommandLine(const std::string& diskCommandLine);

}  // namespace tonbo::platform
