#pragma once
// Handing listed files to the desktop: open with their programs, show in the
// file manager, a terminal in their folder, the text editor, the clipboard
// and links on the desktop. Each per-file operation returns an empty text on
// success, else a status text naming the file and what the desktop lacks, so
// a file that no program takes never fails unseen. Paths are disk paths.
#include <QString>

class QMimeData;

#include <string>
#include <vector>

namespace tonbo::listio {

// Line end after each entry of a copied list: LF, as Linux programs and
// terminals read text (a CR would reach a terminal as a stray character).
inline constexpr const char* kClipboardLineEnd = "\n";

// What one entry puts on the clipboard: the full path, or the name on disk.
std::string ClipboardEntry(const std::string& diskPath, bool withPath);
// The text for several entries: each followed by the line end.
std::string ClipboardList(const std::vector<std::string>& diskPaths, bool withPath);
// What a copy puts on the clipboard (the caller owns it): the text (one entry
// alone, several as ClipboardList), and the files themselves as file
// managers paste them (text/uri-list, x-special/gnome-copied-files), whose
// URLs keep every byte of a name that is not UTF-8.
QMimeData* ClipboardData(const std::vector<std::string>& diskPaths, bool withPath);

QString OpenWithAssociation(const std::string& diskPath);
QString ShowInFileManager(const std::string& diskPath);
QString OpenTerminal(const std::string& diskPath);
QString OpenInEditor(const std::string& diskPath);
// A link on the desktop: desktop folder + name on disk + ".desktop", with the
// name as description and the file's folder as working folder.
QString MakeDesktopLink(const std::string& diskPath);

// Status text for the failures of one run: the first, and how many more.
QString FailureSummary(const std::vector<QString>& failures);

}  // namespace tonbo::listio
