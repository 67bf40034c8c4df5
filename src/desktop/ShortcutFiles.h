#pragma once
// Shortcut files on this desktop. In the desktop folder a shortcut is a
// desktop entry ("name.desktop"): Type=Application for a program,
// Type=Link for a document or folder. In the send-to folder (the file
// manager's scripts folder) it is a small executable script, because the
// file manager runs what it finds there with the selected files as its
// arguments. Both are written with the executable bit, so desktops trust them.
// All paths are disk paths (UTF-8 bytes).
#include <map>
#include <string>
#include <vector>

namespace tonbo::shell {

// Writes the shortcut at shortcutPath (a desktop entry when the name ends in
// ".desktop", else a script) pointing to target, replacing an existing file.
// description may be empty. A desktop entry names the working folder only
// when it exists, and shows icon (a theme name), else one for the target's
// kind. True when the file was written.
bool CreateShortcut(const std::string& shortcutPath, const std::string& target,
                    const std::string& description, const std::string& workingFolder,
                    const std::string& icon = {});

// CreateShortcut in the desktop folder under name + ".desktop", with the
// name as description.
bool CreateDesktopShortcut(const std::string& target, const std::string& name,
                           const std::string& workingFolder);

// A program: a regular file with an executable bit (not a desktop entry).
bool IsProgramFile(const std::string& path);
bool IsDesktopEntryName(const std::string& path);

// One argument of an Exec line, quoted when it needs it.
std::string QuoteExecArgument(const std::string& argument);
// Escapes a text for a desktop entry's string value (\\, \n, \t, \r).
std::string EscapeEntryValue(const std::string& text);
// One word for a POSIX shell, in single quotes.
std::string QuoteForShell(const std::string& text);

// The keys of the [Desktop Entry] group, values unescaped. Empty when the file
// cannot be read or has no such group.
std::map<std::string, std::string> ReadDesktopEntry(const std::string& path);

// Splits an Exec value into words and expands its field codes with the files
// (%f and %u: the first file, %F and %U: every file, %c: name, %k: entry
// path, %i and deprecated codes: nothing, %%: a percent sign). When the line
// has no file code, the files are not passed.
std::vector<std::string> ExpandExec(const std::string& exec, const std::vector<std::string>& files,
                                    const std::string& name, const std::string& entryPath);

}  // namespace tonbo::shell
