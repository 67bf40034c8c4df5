#pragma once
// The user's terminal, standing in for the command window.
#include <string>
#include <vector>

namespace tonbo::platform {

// The terminal's command words: $TERMINAL (a command line of its own), else
// x-terminal-emulator, else the first of a short list of known terminals
// found on PATH. Empty when there is none.
std::vector<std::string> FindTerminal();

// Opens the terminal with the folder (disk path) as its working folder.
// False when no terminal is found or it could not be started.
bool OpenTerminalIn(const std::string& diskFolder);

}  // namespace tonbo::platform
