#include "core/ListedEntries.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <numeric>

namespace tonbo {
namespace {

struct DirCloser {
  void operator()(DIR* d) const { closedir(d); }
};

enum Kind : char { kMissing, kFile, kFolder, kAsk };

Kind KindOf(unsigned char type) {
  if (type == DT_DIR) return kFolder;
  if (type == DT_LNK || type == DT_UNKNOWN) return kAsk;
  return kFile;
}

}  // namespace

bool IsFileEntry(const std::string& diskPath) {
  struct stat st {};
  if (lstat(diskPath.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
  // A link to a folder would bring the whole folder in.
  struct stat target {};
  return !(S_ISLNK(st.st_mode) && stat(diskPath.c_str(), &target) == 0 && S_ISDIR(target.st_mode));
}

std::vector<char> FilesInFolder(const std::string& diskFolder,
                                const std::vector<std::string>& diskNames) {
  std::vector<char> kinds(diskNames.size(), kAsk);
  std::unique_ptr<DIR, DirCloser> dir(opendir(diskFolder.c_str()));
  if (dir) {
    std::fill(kinds.begin(), kinds.end(), kMissing);
    // The names in order, so each entry of the listing is found by halving.
    std::vector<size_t> order(diskNames.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(),
              [&](size_t a, size_t b) { return diskNames[a] < diskNames[b]; });
    while (const dirent* entry = readdir(dir.get())) {
      const std::string_view name = entry->d_name;
      auto at = std::lower_bound(order.begin(), order.end(), name,
                                 [&](size_t i, std::string_view n) { return diskNames[i] < n; });
      for (; at != order.end() && diskNames[*at] == name; ++at) kinds[*at] = KindOf(entry->d_type);
    }
  }
  std::vector<char> files(diskNames.size());
  for (size_t i = 0; i < diskNames.size(); ++i) {
    const std::string& name = diskNames[i];
    // "." and ".." are folders; an empty name is the folder itself.
    if (name.empty() || name == "." || name == "..") continue;
    files[i] = static_cast<char>(kinds[i] == kFile ||
                                 (kinds[i] == kAsk && IsFileEntry(diskFolder + name)));
  }
  return files;
}

}  // namespace tonbo
