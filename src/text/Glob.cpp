#include "text/Glob.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <utility>

#include "common/Sjis.h"
#include "text/NaturalOrder.h"
#include "text/Wildcard.h"

namespace tonbo {
namespace {

enum class EntryKind { Folder, File, Skipped };

// The mask part of a pattern.
class NameFilter {
 public:
  explicit NameFilter(std::string_view mask) : mask_(mask), all_(mask == "*") {
    try {
      compiled_ = std::make_unique<TMask>(mask);
    } catch (const EMaskException&) {
      // Matched by exact name only: a listing reports nothing.
    }
  }
  bool Matches(std::string_view name) const {
    return all_ || name == mask_ || (compiled_ && compiled_->Matches(name));
  }

 private:
  std::string mask_;
  bool all_;
  std::unique_ptr<TMask> compiled_;
};

// One directory entry; its kind is looked up only when d_type does not tell.
struct Entry {
  int dirFd;
  const char* diskName;
  unsigned char dType;

  EntryKind Kind() const {
    unsigned char type = dType;
    struct stat st {};
    if (type == DT_UNKNOWN) {
      if (fstatat(dirFd, diskName, &st, AT_SYMLINK_NOFOLLOW) != 0) return EntryKind::Skipped;
      type = IFTODT(st.st_mode);
    }
    if (type == DT_DIR) return diskName[0] == '.' ? EntryKind::Skipped : EntryKind::Folder;
    // A link to a folder is neither entered (no loops) nor listed as a file.
    if (type == DT_LNK && fstatat(dirFd, diskName, &st, 0) == 0 && S_ISDIR(st.st_mode))
      return EntryKind::Skipped;
    return EntryKind::File;
  }
};

// Opens a folder for reading. Folders found by a walk are opened without
// following a link, in case one was put in their place since.
DIR* OpenFolder(std::string diskDir, bool followLink) {
  if (diskDir.empty()) diskDir = ".";
  // A trailing "/" would make the last component follow a link.
  if (!followLink && diskDir.size() > 1 && diskDir.back() == '/') diskDir.pop_back();
  const int flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | (followLink ? 0 : O_NOFOLLOW);
  const int fd = open(diskDir.c_str(), flags);
  if (fd < 0) return nullptr;
  DIR* dir = fdopendir(fd);
  if (!dir) close(fd);
  return dir;
}

bool IsSelfOrParent(const char* name) {
  return name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0));
}

// Calls fn(name, entry) for every entry of the folder in the order a file
// manager shows them (NaturalOrder.h), not the disk's.
template <class Fn>
void ForEachEntry(const std::string& diskDir, bool followLink, Fn&& fn) {
  std::unique_ptr<DIR, int (*)(DIR*)> dir(OpenFolder(diskDir, followLink), closedir);
  if (!dir) return;
  struct Read {
    std::string diskName;
    unsigned char dType;
  };
  std::vector<Read> entries;
  while (const dirent* ent = readdir(dir.get())) {
    if (IsSelfOrParent(ent->d_name)) continue;
    entries.push_back({ent->d_name, ent->d_type});
  }
  SortByNaturalName(entries, [](const Read& r) -> std::string_view { return r.diskName; });
  std::string name;
  for (const Read& r : entries) {
    enc::DiskToSjis(r.diskName, name);
    fn(std::as_const(name), Entry{dirfd(dir.get()), r.diskName.c_str(), r.dType});
  }
}

// The recursive walk: one read per folder gives both its matching files and
// its sub-folders (the same result as listing "mask" and then "*").
class Walker {
 public:
  Walker(std::string_view mask, std::vector<std::string>& out)
      : filter_(mask.empty() ? "*" : mask), out_(out) {}

  void Walk(const std::string& dir, const std::string& diskDir, bool followLink) {
    std::vector<std::pair<std::string, std::string>> folders;  // name, disk name
    ForEachEntry(diskDir, followLink, [&](const std::string& name, const Entry& e) {
      const EntryKind kind = e.Kind();
      if (kind == EntryKind::Folder) folders.emplace_back(name, e.diskName);
      if (kind == EntryKind::File && filter_.Matches(name)) out_.push_back(dir + name);
    });
    for (const auto& [name, diskName] : folders)
      Walk(dir + name + "/", diskDir + diskName + "/", false);
  }

 private:
  NameFilter filter_;
  std::vector<std::string>& out_;
};

// Length of the folder part of a pattern, its last "/" included.
size_t FolderPartLength(std::string_view pattern) {
  const size_t slash = pattern.rfind('/');
  return slash == std::string_view::npos ? 0 : slash + 1;
}

}  // namespace

TGlob::TGlob(std::string_view pattern) {
  std::string full(pattern);
  if (!full.empty() && full.back() == '/') full += '*';
  Search(full);
}

void TGlob::Search(std::string_view pattern) {
  const size_t cut = FolderPartLength(pattern);
  basePath_ = pattern.substr(0, cut);
  dirs_.clear();
  files_.clear();
  const NameFilter filter(pattern.substr(cut));
  ForEachEntry(enc::SjisToDisk(basePath_), true, [&](const std::string& name, const Entry& e) {
    if (!filter.Matches(name)) return;
    const EntryKind kind = e.Kind();
    if (kind == EntryKind::Folder) dirs_.push_back(name);
    if (kind == EntryKind::File) files_.push_back(name);
  });
}

std::vector<TDirEntry> ReadFolder(std::string_view dir) {
  std::vector<TDirEntry> out;
  ForEachEntry(enc::SjisToDisk(dir), true, [&](const std::string& name, const Entry& e) {
    const EntryKind kind = e.Kind();
    struct stat st {};
    if (kind == EntryKind::Skipped || fstatat(e.dirFd, e.diskName, &st, AT_SYMLINK_NOFOLLOW) != 0)
      return;
    out.push_back({name, kind == EntryKind::Folder, st.st_size, st.st_mtime});
  });
  return out;
}

std::vector<std::string> GlobFiles(std::string_view pattern) { return TGlob(pattern).Files(); }

std::optional<std::vector<std::string>> GlobFilesRecursive(std::string_view pattern) {
  const size_t cut = FolderPartLength(pattern);
  const std::string dir(pattern.substr(0, cut));
  try {
    std::vector<std::string> out;
    Walker(pattern.substr(cut), out).Walk(dir, enc::SjisToDisk(dir), true);
    return out;
  } catch (const std::exception&) {
    // Out of memory: no partial list.
    return std::nullopt;
  }
}

}  // namespace tonbo
