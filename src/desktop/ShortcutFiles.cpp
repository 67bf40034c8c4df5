#include "desktop/ShortcutFiles.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include <QByteArray>
#include <QFile>
#include <QMimeDatabase>

#include "common/Folders.h"
#include "common/Paths.h"
#include "common/TextFile.h"
#include "desktop/SpecialFolders.h"
#include "platform/Launcher.h"

namespace tonbo::shell {
namespace {

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() &&
         text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// Writes through a temporary file beside the target, so an existing shortcut
// is replaced whole or not at all.
bool WriteExecutable(const std::string& path, const std::string& text) {
  const std::string temp = path + ".tonbo-tmp";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out << text;
    if (!out.flush()) {
      std::remove(temp.c_str());
      return false;
    }
  }
  if (chmod(temp.c_str(), 0755) != 0 || std::rename(temp.c_str(), path.c_str()) != 0) {
    std::remove(temp.c_str());
    return false;
  }
  return true;
}

std::string FileUrl(const std::string& path) {
  return platform::FileUrlFromDisk(path).toEncoded().toStdString();
}

bool IsFolder(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The theme icon a document's link shows: its type's generic icon, which
// every icon theme draws.
std::string DocumentIcon(const std::string& path) {
  if (IsFolder(path)) return "folder";
  const QMimeType type = QMimeDatabase().mimeTypeForFile(
      QFile::decodeName(QByteArray::fromStdString(path)), QMimeDatabase::MatchExtension);
  return type.genericIconName().toStdString();
}

std::string DesktopEntryText(const std::string& shortcutPath, const std::string& target,
                             const std::string& description, const std::string& workingFolder,
                             const std::string& icon) {
  std::string name = ExtractFileName(shortcutPath);
  name.resize(name.size() - std::string(".desktop").size());
  std::string text = "[Desktop Entry]\nVersion=1.0\n";
  if (IsProgramFile(target)) {
    text += "Type=Application\n";
    text += "Exec=" + EscapeEntryValue(QuoteExecArgument(target)) + " %F\n";
    // A launcher whose Path= is missing does not start at all: the folder is
    // named only when it is there.
    if (!workingFolder.empty() && IsFolder(workingFolder))
      text += "Path=" + EscapeEntryValue(workingFolder) + "\n";
    text += "Icon=" + EscapeEntryValue(icon.empty() ? "application-x-executable" : icon) + "\n";
  } else {
    text += "Type=Link\n";
    text += "URL=" + FileUrl(target) + "\n";
    text += "Icon=" + EscapeEntryValue(icon.empty() ? DocumentIcon(target) : icon) + "\n";
  }
  text += "Name=" + EscapeEntryValue(name) + "\n";
  if (!description.empty()) text += "Comment=" + EscapeEntryValue(description) + "\n";
  return text;
}

std::string ScriptText(const std::string& target, const std::string& description,
                       const std::string& workingFolder) {
  std::string text = "#!/bin/sh\n";
  std::string comment = description;
  for (char& c : comment)
    if (c == '\n' || c == '\r') c = ' ';
  if (!comment.empty()) text += "# " + comment + "\n";
  const bool takesFiles = IsDesktopEntryName(target) || IsProgramFile(target);
  // The file manager starts the script in the folder it shows and passes the
  // selected names relative to it: they are made absolute before the cd.
  if (takesFiles && !workingFolder.empty())
    text +=
        "for f do\n"
        "  shift\n"
        "  case $f in /*) ;; *) f=\"$PWD/$f\" ;; esac\n"
        "  set -- \"$@\" \"$f\"\n"
        "done\n";
  if (!workingFolder.empty()) text += "cd " + QuoteForShell(workingFolder) + " 2>/dev/null\n";
  if (IsDesktopEntryName(target))
    text += "exec gio launch " + QuoteForShell(target) + " \"$@\"\n";
  else if (IsProgramFile(target))
    text += "exec " + QuoteForShell(target) + " \"$@\"\n";
  else
    text += "exec xdg-open " + QuoteForShell(target) + "\n";
  return text;
}

std::string Unescape(const std::string& value) {
  std::string out;
  for (size_t i = 0; i < value.size(); ++i) {
    if (value[i] != '\\' || i + 1 == value.size()) {
      out += value[i];
      continue;
    }
    char c = value[++i];
    out += c == 's' ? ' ' : c == 'n' ? '\n' : c == 't' ? '\t' : c == 'r' ? '\r' : c;
  }
  return out;
}

// Exec words: blanks separate, double quotes group; inside quotes a
// backslash escapes the next character.
std::vector<std::string> SplitExec(const std::string& exec) {
  std::vector<std::string> words;
  size_t i = 0;
  while (i < exec.size()) {
    while (i < exec.size() && exec[i] == ' ') ++i;
    if (i == exec.size()) break;
    std::string word;
    bool quoted = false;
    for (; i < exec.size() && (quoted || exec[i] != ' '); ++i) {
      if (exec[i] == '"')
        quoted = !quoted;
      else if (quoted && exec[i] == '\\' && i + 1 < exec.size())
        word += exec[++i];
      else
        word += exec[i];
    }
    words.push_back(std::move(word));
  }
  return words;
}

void ExpandWord(const std::string& word, const std::vector<std::string>& files,
                const std::string& name, const std::string& entryPath,
                std::vector<std::string>& out) {
  if (word == "%F" || word == "%U") {
    out.insert(out.end(), files.begin(), files.end());
    return;
  }
  if (word == "%i") return;
  std::string text;
  for (size_t i = 0; i < word.size(); ++i) {
    if (word[i] != '%' || i + 1 == word.size()) {
      text += word[i];
      continue;
    }
    char code = word[++i];
    if (code == '%')
      text += '%';
    else if ((code == 'f' || code == 'u' || code == 'F' || code == 'U') && !files.empty())
      text += files.front();
    else if (code == 'c')
      text += name;
    else if (code == 'k')
      text += entryPath;
  }
  if (!text.empty() || word.find('%') == std::string::npos) out.push_back(text);
}

}  // namespace

bool IsDesktopEntryName(const std::string& path) { return EndsWith(path, ".desktop"); }

bool IsProgramFile(const std::string& path) {
  struct stat st {};
  return !IsDesktopEntryName(path) && stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
         (st.st_mode & 0111) != 0;
}

std::string QuoteExecArgument(const std::string& argument) {
  const std::string reserved = " \t\n\"'\\><~|&;$*?#()`=";
  if (!argument.empty() && argument.find_first_of(reserved) == std::string::npos) return argument;
  std::string out = "\"";
  for (char c : argument) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

std::string EscapeEntryValue(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\\')
      out += "\\\\";
    else if (c == '\n')
      out += "\\n";
    else if (c == '\t')
      out += "\\t";
    else if (c == '\r')
      out += "\\r";
    else
      out += c;
  }
  return out;
}

std::string QuoteForShell(const std::string& text) {
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

bool CreateShortcut(const std::string& shortcutPath, const std::string& target,
                    const std::string& description, const std::string& workingFolder,
                    const std::string& icon) {
  if (shortcutPath.empty() || target.empty()) return false;
  const std::string text =
      IsDesktopEntryName(shortcutPath)
          ? DesktopEntryText(shortcutPath, target, description, workingFolder, icon)
          : ScriptText(target, description, workingFolder);
  return WriteExecutable(shortcutPath, text);
}

bool CreateDesktopShortcut(const std::string& target, const std::string& name,
                           const std::string& workingFolder) {
  const std::string desktop = SpecialFolderDisk(SpecialFolder::Desktop);
  MakeDirs(desktop);  // a fresh account may have none yet
  return CreateShortcut(desktop + name + ".desktop", target, name, workingFolder);
}

std::map<std::string, std::string> ReadDesktopEntry(const std::string& path) {
  std::map<std::string, std::string> keys;
  std::string text;
  ReadWholeFile(path, text);  // a send-to entry may be a FIFO: never waited on
  std::istringstream in(text);
  std::string line;
  bool inGroup = false;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    if (line[0] == '[') {
      inGroup = line == "[Desktop Entry]";
      continue;
    }
    size_t eq = line.find('=');
    if (!inGroup || eq == std::string::npos) continue;
    std::string key = line.substr(0, eq);
    while (!key.empty() && key.back() == ' ') key.pop_back();
    size_t start = line.find_first_not_of(' ', eq + 1);
    keys.try_emplace(key, Unescape(start == std::string::npos ? "" : line.substr(start)));
  }
  return keys;
}

std::vector<std::string> ExpandExec(const std::string& exec, const std::vector<std::string>& files,
                                    const std::string& name, const std::string& entryPath) {
  std::vector<std::string> out;
  for (const std::string& word : SplitExec(exec)) ExpandWord(word, files, name, entryPath, out);
  return out;
}

}  // namespace tonbo::shell
