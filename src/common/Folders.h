#pragma once
// Where the program finds its support files, settings and logs.
// "Disk" paths are raw bytes for the OS; every folder ends in "/".
#include <string>

namespace tonbo {

std::string ExecutableDirDisk();
// The settings file lives beside the executable when tonbo.ini exists there
// and can be written (a portable copy).
bool IsPortable();
// The executable's folder when it holds doc/ (build tree, portable copy),
// otherwise <prefix>/share/tonbo/ of the installed program.
std::string ProgramDirDisk();
// The same in code page 932, as the commands use it.
std::string ProgramFolder();
// Stands in for the system folder: "/usr/".
std::string WindowsDir();

std::string ConfigDirDisk();     // settings and the character table
std::string SettingsPathDisk();  // tonbo.ini
std::string StateDirDisk();      // log.txt, err.txt
std::string CacheDirDisk();      // temp.htm

// Creates a folder and its parents; false when it cannot be made.
bool MakeDirs(const std::string& diskDir);

// Tests and portable launches point the program at another executable folder.
void OverrideExecutableDir(const std::string& diskDir);

}  // namespace tonbo
