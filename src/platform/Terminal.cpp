#include "platform/Terminal.h"

#include <cstdlib>

#include <QStandardPaths>
#include <QString>
#include <QStringList>

#include "platform/CommandLine.h"
#include "platform/Launcher.h"

namespace tonbo::platform {
namespace {

const char* const kKnownTerminals[] = {
    "gnome-terminal", "konsole", "xfce4-terminal", "mate-terminal", "lxterminal",
    "qterminal",      "kitty",   "alacritty",      "tilix",         "xterm",
};

bool OnPath(const std::string& program) {
  return !QStandardPaths::findExecutable(DiskArgument(program)).isEmpty();
}

}  // namespace

std::vector<std::string> FindTerminal() {
  if (const char* own = std::getenv("TERMINAL"); own && *own) {
    std::vector<std::string> words = SplitCommandLine(own);
    if (!words.empty() && OnPath(words[0])) return words;
  }
  if (OnPath("x-terminal-emulator")) return {"x-terminal-emulator"};
  for (const char* known : kKnownTerminals)
    if (OnPath(known)) return {known};
  return {};
}

bool OpenTerminalIn(const std::string& diskFolder) {
  std::vector<std::string> words = FindTerminal();
  if (words.empty()) return false;
  QStringList args;
  for (size_t i = 1; i < words.size(); ++i) args << DiskArgument(words[i]);
  return CurrentLauncher().StartIn(DiskArgument(words[0]), args, DiskArgument(diskFolder));
}

}  // namespace tonbo::platform
