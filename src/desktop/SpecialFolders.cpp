#include "desktop/SpecialFolders.h"

#include <cstdlib>
#include <sstream>

#include "common/Folders.h"
#include "common/Paths.h"
#include "common/TextFile.h"

namespace tonbo::shell {
namespace {

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value && *value == '/' ? std::string(value) : std::string();
}

std::string Home() {
  std::string home = Env("HOME");
  return home.empty() ? std::string("/") : IncludeTrailingSlash(home);
}

std::string XdgHome(const char* variable, const char* fallback) {
  std::string dir = Env(variable);
  return IncludeTrailingSlash(dir.empty() ? Home() + fallback : dir);
}

std::string ConfigHome() { return XdgHome("XDG_CONFIG_HOME", ".config"); }
std::string DataHome() { return XdgHome("XDG_DATA_HOME", ".local/share"); }

// XDG_DESKTOP_DIR and friends: user-dirs.dirs, else the usual English name.
std::string UserDir(const char* key, const char* fallback) {
  std::string dir = UserDirFromFile(ConfigHome() + "user-dirs.dirs", key, Home());
  return IncludeTrailingSlash(dir.empty() ? Home() + fallback : dir);
}

}  // namespace

std::string UserDirFromFile(const std::string& userDirsFile, const std::string& key,
                            const std::string& home) {
  std::string text;
  ReadWholeFile(userDirsFile, text);
  std::istringstream in(text);
  std::string line;
  std::string found;
  while (std::getline(in, line)) {
    if (line.compare(0, key.size() + 1, key + "=") != 0) continue;
    std::string value = line.substr(key.size() + 1);
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
      value = value.substr(1, value.size() - 2);
    if (value.compare(0, 5, "$HOME") == 0)
      value = IncludeTrailingSlash(home) + value.substr(value.size() > 5 ? 6 : 5);
    if (!value.empty() && value[0] == '/') found = value;  // the last entry wins
  }
  return found;
}

std::string ApplicationsDirDisk() { return DataHome() + "applications/"; }

std::string SpecialFolderDisk(SpecialFolder folder) {
  switch (folder) {
    case SpecialFolder::Desktop:
      return UserDir("XDG_DESKTOP_DIR", "Desktop");
    case SpecialFolder::SendTo:
      return DataHome() + "nautilus/scripts/";
    case SpecialFolder::StartUp:
      return ConfigHome() + "autostart/";
    case SpecialFolder::Programs:
    case SpecialFolder::StartMenu:
      return ApplicationsDirDisk();
    case SpecialFolder::Profile:
      return Home();
    case SpecialFolder::Personal:
      return UserDir("XDG_DOCUMENTS_DIR", "Documents");
    case SpecialFolder::Favorites:
      return ConfigHome() + "gtk-3.0/";
    case SpecialFolder::Windows:
      return WindowsDir();
    case SpecialFolder::ProgramFolder:
      return ProgramDirDisk();
  }
  return Home();
}

}  // namespace tonbo::shell
