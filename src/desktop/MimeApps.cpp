#include "desktop/MimeApps.h"

#include <unistd.h>

#include <QString>
#include <QStringList>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <vector>

#include "common/Folders.h"
#include "common/Paths.h"
#include "common/TextFile.h"
#include "desktop/ShortcutFiles.h"
#include "platform/Launcher.h"
#include "platform/Terminal.h"

namespace tonbo::shell {
namespace {

std::string Env(const char* name, const std::string& fallback) {
  const char* value = std::getenv(name);
  return value && *value ? std::string(value) : fallback;
}

std::vector<std::string> SplitColons(const std::string& list) {
  std::vector<std::string> out;
  size_t start = 0;
  while (start <= list.size()) {
    size_t end = list.find(':', start);
    if (end == std::string::npos) end = list.size();
    if (end > start && list[start] == '/')
      out.push_back(IncludeTrailingSlash(list.substr(start, end - start)));
    start = end + 1;
  }
  return out;
}

std::string Home() { return IncludeTrailingSlash(Env("HOME", "/")); }

std::vector<std::string> DataDirs() {
  std::vector<std::string> dirs{
      IncludeTrailingSlash(Env("XDG_DATA_HOME", Home() + ".local/share"))};
  for (auto& d : SplitColons(Env("XDG_DATA_DIRS", "/usr/local/share:/usr/share")))
    dirs.push_back(d);
  return dirs;
}

std::string UserMimeAppsList() {
  return IncludeTrailingSlash(Env("XDG_CONFIG_HOME", Home() + ".config")) + "mimeapps.list";
}

// mimeapps.list files, most important first.
std::vector<std::string> MimeAppsLists() {
  std::vector<std::string> files{UserMimeAppsList()};
  for (auto& d : SplitColons(Env("XDG_CONFIG_DIRS", "/etc/xdg")))
    files.push_back(d + "mimeapps.list");
  for (auto& d : DataDirs()) files.push_back(d + "applications/mimeapps.list");
  return files;
}

// The same with the current desktops' own lists ("gnome-mimeapps.list")
// before each.
std::vector<std::string> MimeAppsListsWithDesktops() {
  std::vector<std::string> desktops;
  std::string current = Env("XDG_CURRENT_DESKTOP", "");
  for (char& c : current) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  size_t start = 0;
  while (start < current.size()) {
    size_t end = current.find(':', start);
    if (end == std::string::npos) end = current.size();
    if (end > start) desktops.push_back(current.substr(start, end - start));
    start = end + 1;
  }
  std::vector<std::string> files;
  for (const std::string& list : MimeAppsLists()) {
    const std::string folder = ExtractFilePath(list);
    for (const std::string& desktop : desktops)
      files.push_back(folder + desktop + "-mimeapps.list");
    files.push_back(list);
  }
  return files;
}

// Calls take(key, value) for each "key=value" line of one group of an ini
// file, until it returns false.
template <class Take>
void EachKeyIn(const std::string& file, const std::string& group, Take take) {
  std::string text;
  ReadWholeFile(file, text);
  std::istringstream in(text);
  std::string line;
  bool inGroup = false;
  while (std::getline(in, line)) {
    if (!line.empty() && line[0] == '[') {
      inGroup = line == "[" + group + "]";
      continue;
    }
    const size_t eq = line.find('=');
    if (inGroup && eq != std::string::npos && !take(line.substr(0, eq), line.substr(eq + 1)))
      return;
  }
}

// The ";"-separated desktop ids of the type in one group of an ini file.
std::vector<std::string> IdsIn(const std::string& file, const std::string& group,
                               const std::string& mimeType) {
  std::vector<std::string> ids;
  EachKeyIn(file, group, [&](const std::string& key, const std::string& list) {
    if (key != mimeType) return true;
    size_t start = 0;
    while (start < list.size()) {
      size_t end = list.find(';', start);
      if (end == std::string::npos) end = list.size();
      if (end > start) ids.push_back(list.substr(start, end - start));
      start = end + 1;
    }
    return false;
  });
  return ids;
}

// A desktop id's file: "a-b.desktop" may also live at applications/a/b.desktop.
std::string EntryFile(const std::string& id) {
  for (const std::string& dir : DataDirs()) {
    std::string path = dir + "applications/" + id;
    if (access(path.c_str(), R_OK) == 0) return path;
    std::string nested = id;
    for (char& c : nested)
      if (c == '-') c = '/';
    path = dir + "applications/" + nested;
    if (access(path.c_str(), R_OK) == 0) return path;
  }
  return {};
}

std::string FirstFound(const std::vector<std::string>& ids) {
  for (const std::string& id : ids)
    if (std::string file = EntryFile(id); !file.empty()) return file;
  return {};
}

}  // namespace

std::string DefaultApplicationFor(const std::string& mimeType) {
  for (const std::string& list : MimeAppsLists())
    if (std::string file = FirstFound(IdsIn(list, "Default Applications", mimeType)); !file.empty())
      return file;
  for (const std::string& dir : DataDirs())
    if (std::string file =
            FirstFound(IdsIn(dir + "applications/mimeinfo.cache", "MIME Cache", mimeType));
        !file.empty())
      return file;
  return {};
}

std::set<std::string> TypesWithNamedDefault() {
  std::set<std::string> types;
  for (const std::string& list : MimeAppsListsWithDesktops())
    EachKeyIn(list, "Default Applications", [&](const std::string& type, const std::string& ids) {
      if (!ids.empty()) types.insert(type);
      return true;
    });
  return types;
}

bool AddUserDefaults(const std::vector<std::pair<std::string, std::string>>& defaults) {
  if (defaults.empty()) return true;
  const std::string path = UserMimeAppsList();
  std::string old;
  int err = 0;
  // A list that exists but cannot be read is never written over.
  if (!ReadWholeFile(path, old, &err) && err != ENOENT) return false;
  std::vector<std::string> lines;
  {
    std::istringstream in(old);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
  }
  std::string added;
  for (const auto& [type, id] : defaults) added += type + "=" + id + ";\n";
  std::string text;
  bool placed = false;
  for (const std::string& line : lines) {
    text += line + "\n";
    if (!placed && line == "[Default Applications]") {
      text += added;
      placed = true;
    }
  }
  if (!placed) text += (text.empty() ? "" : "\n") + std::string("[Default Applications]\n") + added;
  MakeDirs(ExtractFilePath(path));
  return WriteFileAtomic(path, text);
}

bool LaunchEntryWithFile(const std::string& entryPath, const std::string& file) {
  auto keys = ReadDesktopEntry(entryPath);
  std::vector<std::string> words = ExpandExec(keys["Exec"], {file}, keys["Name"], entryPath);
  if (words.empty()) return false;
  // An entry whose line takes no file still gets it, as a text editor must.
  if (keys["Exec"].find('%') == std::string::npos) words.push_back(file);
  // A program that runs in a terminal runs in the user's terminal; without
  // one it would start with nowhere to show the file.
  if (keys["Terminal"] == "true") {
    std::vector<std::string> terminal = platform::FindTerminal();
    if (terminal.empty()) return false;
    terminal.push_back("-e");
    words.insert(words.begin(), terminal.begin(), terminal.end());
  }
  QStringList args;
  for (size_t i = 1; i < words.size(); ++i) args << platform::DiskArgument(words[i]);
  return platform::CurrentLauncher().StartDetached(platform::DiskArgument(words[0]), args);
}

}  // namespace tonbo::shell
