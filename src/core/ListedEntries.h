#pragma once
// Whether the names of one folder are files, for many names at once: the
// folder's listing is read once instead of looking up each name. Loading a
// list of 100,000 files so makes one call to the system per folder rather
// than one per file, before the add looks up every file again anyway.
#include <string>
#include <vector>

namespace tonbo {

// Rows of a list in one folder, from this many on, are checked by the listing.
constexpr size_t kListFolderAt = 16;

// One path (outside bytes) looked up alone: an entry that is not a folder
// and not a link to one (lstat, so a dangling link counts).
bool IsFileEntry(const std::string& diskPath);

// For each name (outside bytes) of the folder (with its "/"), whether
// IsFileEntry would say yes; an empty name is never a file. Links, entries of
// unknown kind, and every name when the folder cannot be read, are looked
// up alone.
std::vector<char> FilesInFolder(const std::string& diskFolder,
                                const std::vector<std::string>& diskNames);

}  // namespace tonbo
