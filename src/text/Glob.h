#pragma once
// Directory listing by wildcard path pattern ("folder/mask"), once or through
// all sub-folders. Patterns and results are code page 932 texts with "/" as
// the separator.
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tonbo {

// The entries of one folder whose names match the pattern's mask.
//
// A name matches when it equals the mask exactly or matches it as a wildcard
// mask (Wildcard.h). The first rule keeps names such as "Movie [1080p].mkv"
// findable by their own name; a malformed mask matches by that rule alone,
// because a listing reports nothing.
//
// Entry kinds come from the folder entry itself (a link is not followed):
// - a folder whose name does not begin with "." goes to Dirs; other folders
//   are left out ("." and ".." are never listed);
// - a symbolic link to a folder is left out of both lists: it is not entered,
//   so walks cannot loop, and it is no file to rename either;
// - everything else (files, links to files, dangling links, devices) goes to
//   Files.
// Entries come in the order a file manager shows them (NaturalOrder.h). A
// folder that cannot be read gives empty lists.
class TGlob {
 public:
  // A pattern ending in "/" lists the whole folder ("*" is appended).
  explicit TGlob(std::string_view pattern);
  void Search(std::string_view pattern);

  // The pattern's folder part, up to and including its last "/".
  const std::string& BasePath() const { return basePath_; }
  // Names without a path.
  const std::vector<std::string>& Dirs() const { return dirs_; }
  const std::vector<std::string>& Files() const { return files_; }

 private:
  std::string basePath_;
  std::vector<std::string> dirs_;
  std::vector<std::string> files_;
};

// One entry of a folder with what the file list shows of it.
struct TDirEntry {
  std::string name;      // no path
  bool isFolder;         // a folder to enter (never a link)
  std::int64_t size;     // bytes, of the entry itself
  std::time_t modified;  // last write, of the entry itself
};

// Every entry of a folder (ending in "/") in the order of TGlob, sorted
// out by the same rules as TGlob, for callers that enter sub-folders as they
// meet them. Empty when the folder cannot be read.
std::vector<TDirEntry> ReadFolder(std::string_view dir);

// Names (no path) of the files of TGlob(pattern); sub-folders are not entered.
std::vector<std::string> GlobFiles(std::string_view pattern);

// Full paths of the files matching the pattern's mask (empty: every file) in
// its folder and all sub-folders, depth first: a folder's files come before
// those of its sub-folders. Sub-folders are entered whatever their names,
// except names beginning with "." and links. nullopt when the walk fails.
std::optional<std::vector<std::string>> GlobFilesRecursive(std::string_view pattern);

}  // namespace tonbo
