#pragma once
// The settings menu's install commands: shortcuts to the program on the
// desktop and in the send-to folder, the Open With entry for folders and
// files (the program's verb), and other programs in the send-to folder.
#include <QString>

#include <string>
#include <vector>

#include "desktop/SpecialFolders.h"

namespace tonbo {
class TIniFileEx;
}

namespace tonbo::shell {

// What the commands need of the main window.
class ShellHost {
 public:
  virtual ~ShellHost() = default;
  // The explain-before-executing guard for a topic.
  virtual bool ConfirmAction(const QString& key) = 0;
  virtual TIniFileEx& Ini() = 0;
  // Closes the main window, which ends the program.
  virtual void CloseProgram() = 0;
  // The program's own executable (disk path).
  virtual std::string ProgramPath() const = 0;
};

// Names of the files the commands write.
inline constexpr const char* kInstalledDesktopName = "!Tonbo.desktop";
inline constexpr const char* kInstalledSendToName = "!Tonbo";
inline constexpr const char* kVerbEntryName = "tonbo-open.desktop";
// The program's name on the desktop: its desktop entry and its icon.
inline constexpr const char* kAppId = "org.tonbo.Tonbo";

// Whether the program was installed by the system (the package, under /usr),
// so that removing it is the package manager's work.
bool InstalledBySystem(const std::string& programPath);

void Install(ShellHost& host);
void Uninstall(ShellHost& host);
void RegisterVerb(ShellHost& host);
// Removes the verb; true when there was one to remove.
bool RemoveVerb(ShellHost& host);
void RegisterSendToProgram(ShellHost& host);

// The text of the Open With entry for the program, offered for the types.
std::string VerbEntryText(const std::string& programPath, const std::vector<std::string>& types);
// What the entry claims: folders and every type of the MIME database, so Open
// With offers Tonbo for any file (GIO offers a program only for the types its
// entry names or their declared parents).
std::vector<std::string> VerbTypes();
// An entry in the user's folder that claims a type becomes the program that
// opens it wherever the desktop names no default; so the program that opens
// each such type now is named its default in the user's mimeapps.list first.
void KeepDefaultPrograms(const std::vector<std::string>& types);

// Opens a special folder, making a missing one under the home folder first.
// False (with the folder in missing) when nothing could open it.
bool OpenSpecialFolder(SpecialFolder folder, std::string* diskFolder = nullptr);

}  // namespace tonbo::shell
