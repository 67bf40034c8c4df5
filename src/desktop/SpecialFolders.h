#pragma once
// The user's special folders as this desktop keeps them. Every path is a
// disk path ending in "/".
#include <string>

namespace tonbo::shell {

enum class SpecialFolder {
  Desktop,    // XDG_DESKTOP_DIR
  SendTo,     // the file manager's scripts folder
  StartUp,    // autostart entries
  Programs,   // the user's application entries
  Profile,    // $HOME
  StartMenu,  // the user's application entries, as the menus read them
  Personal,   // XDG_DOCUMENTS_DIR
  Favorites,  // the file manager's bookmarks
  Windows,    // the system's own installation
  ProgramFolder,
};

std::string SpecialFolderDisk(SpecialFolder folder);

// The folder of Open With entries: $XDG_DATA_HOME/applications/.
std::string ApplicationsDirDisk();

// Reads one XDG_*_DIR entry of user-dirs.dirs ("$HOME/..." expanded); empty
// when the file or the entry is missing.
std::string UserDirFromFile(const std::string& userDirsFile, const std::string& key,
                            const std::string& home);

}  // namespace tonbo::shell
