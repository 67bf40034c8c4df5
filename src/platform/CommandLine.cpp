#include "platform/CommandLine.h"

#include <QString>
#include <QStringList>

#include "platform/Launcher.h"

namespace tonbo::platform {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Notepad takes everything after the program as one file name, quoted or not.
std::string NotepadFile(const std::vector<std::string>& words) {
  std::string file;
  for (size_t i = 1; i < words.size(); ++i) {
    if (i > 1) file += ' ';
    file += words[i];
  }
  return file;
}

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view line) {
  std::vector<std::string> words;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && IsBlank(line[i])) ++i;
    if (i == line.size()) break;
    std::string word;
    bool quoted = false;
    for (; i < line.size() && (quoted || !IsBlank(line[i])); ++i) {
      if (line[i] == '"')
        quoted = !quoted;
      else
        word += line[i];
    }
    words.push_back(std::move(word));
  }
  return words;
}

bool IsNotepad(std::string_view program) {
  size_t cut = program.find_last_of("/\\");
  std::string_view name = cut == std::string_view::npos ? program : program.substr(cut + 1);
  std::string lower;
  for (char c : name) lower += AsciiLower(c);
  return lower == "notepad.exe" || lower == "notepad";
}

bool OpenInTextEditor(const std::string& diskPath) {
  // The URL form keeps names that are not UTF-8 intact on the way.
  QString url = QString::fromLatin1(FileUrlFromDisk(diskPath).toEncoded());
  return CurrentLauncher().StartDetached(QStringLiteral("xdg-open"), {url});
}

bool RunDiskCommandLine(const std::string& diskCommandLine) {
  std::vector<std::string> words = SplitCommandLine(diskCommandLine);
  if (words.empty()) return false;
  if (IsNotepad(words[0])) {
    std::string file = NotepadFile(words);
    if (file.empty()) return false;  // no editor to start without a file
    return OpenInTextEditor(file);
  }
  QStringList args;
  for (size_t i = 1; i < words.size(); ++i) args << DiskArgument(words[i]);
  return CurrentLauncher().StartDetached(DiskArgument(words[0]), args);
}

}  // namespace tonbo::platform
