#pragma once
// The desktop's default application for a MIME type, as the freedesktop
// "mimeapps.list" files and the desktop database name it.
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace tonbo::shell {

// The desktop entry file (disk path) of the default application for the
// type: [Default Applications] of the mimeapps.list files in the user's and
// then the system's folders, else the first entry the desktop database
// (mimeinfo.cache) lists. Empty when there is none.
std::string DefaultApplicationFor(const std::string& mimeType);

// The types some mimeapps.list (the user's, the system's, and the current
// desktop's own "<desktop>-mimeapps.list") names a default program for.
std::set<std::string> TypesWithNamedDefault();

// Adds "type=desktop id" lines to [Default Applications] of the user's
// mimeapps.list, keeping everything else in it. True when written.
bool AddUserDefaults(const std::vector<std::pair<std::string, std::string>>& defaults);

// Runs a desktop entry's Exec line with one file. False when it has no Exec
// line or could not be started.
bool LaunchEntryWithFile(const std::string& entryPath, const std::string& file);

}  // namespace tonbo::shell
