#pragma once
// The shell helpers the commands share. Paths and command lines are code
// page 932 texts, as the file table holds them.
#include <string>

namespace tonbo::platform {

// Opens a file or folder with its associated program. True when the desktop
// took it; the system's own callers ignore the result.
bool ShellOpen(const std::string& sjisPath);

// Starts a command line without waiting. "notepad.exe" followed by a file
// opens that file in the default text editor. True when it could be started.
bool RunCommandLine(const std::string& sjisCommandLine);

// Copies one file, replacing the target, without asking. True on success.
bool ShellCopyFile(const std::string& sjisFrom, const std::string& sjisTo);

// Moves one file to the trash without asking. True on success.
bool ShellDeleteFile(const std::string& sjisPath);

}  // namespace tonbo::platform
