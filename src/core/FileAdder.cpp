#include "core/FileAdder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>

#include "common/Paths.h"
#include "common/Sjis.h"
#include "text/Glob.h"
#include "text/NaturalOrder.h"
#include "text/PathInfo.h"

namespace tonbo {
namespace {

struct DirCloser {
  void operator()(DIR* d) const { closedir(d); }
};

bool HasWildcard(std::string_view path) {
  std::string_view name = path.substr(path.rfind('/') + 1);
  return name.find_first_of("*?") != std::string_view::npos;
}

std::string WithoutTrailingSlashes(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

}  // namespace

std::string FormatFileTime(long long unixSeconds) {
  return FormatFileDate(DateTimeFromFileTime(static_cast<std::time_t>(unixSeconds)));
}

FileAdder::FileAdder(TCsvDb& table, int& growthLimit, Callbacks callbacks)
    : table_(table), growthLimit_(growthLimit), callbacks_(std::move(callbacks)), listed_(table) {}

FileAdder::LookFolder::~LookFolder() { Reset(); }

void FileAdder::LookFolder::Reset() {
  if (fd >= 0) close(fd);
  fd = -1;
  name.clear();
}

int FileAdder::LookUp(const std::string& diskPath, struct stat& st) {
  const size_t slash = diskPath.rfind('/');
  if (slash == std::string::npos || slash + 1 == diskPath.size())
    return lstat(diskPath.c_str(), &st);
  const std::string_view folder(diskPath.data(), slash + 1);
  if (folder != look_.name) {
    look_.Reset();
    look_.name.assign(folder);
    look_.fd = open(look_.name.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  }
  if (look_.fd < 0) return lstat(diskPath.c_str(), &st);
  return fstatat(look_.fd, diskPath.c_str() + slash + 1, &st, AT_SYMLINK_NOFOLLOW);
}

int FileAdder::AddFiles(const std::vector<std::string>& paths) {
  counter_ = 0;
  unread_.clear();
  reached_ = 0;
  stop_ = false;
  cancelled_ = false;
  look_.Reset();  // the disk may have changed since the last call
  listed_.Rebuild();
  for (const std::string& p : paths) {
    if (cancelled_) break;
    try {
      AddPath(p);
    } catch (const std::exception&) {
      unread_.push_back(ExtractFilePath(p));
    }
  }
  if (progress_) progress_->Finish();
  // One warning for the whole add, however many folders failed.
  if (!unread_.empty() && callbacks_.unread) callbacks_.unread(unread_);
  return counter_;
}

bool FileAdder::Reach(const std::string& name, bool isFile) {
  if (cancelled_) return false;
  if (progress_ && !progress_->Step(reached_, -1, name)) cancelled_ = true;
  if (isFile) ++reached_;
  return !cancelled_;
}

void FileAdder::AddPath(const std::string& path) {
  std::string p = WithoutTrailingSlashes(path);
  const std::string folder = ExtractFilePath(p);
  std::string disk = enc::SjisToDisk(p);
  struct stat st {};
  if (LookUp(disk, st) != 0) {
    if (!HasWildcard(p)) return;  // a path that does not exist is skipped silently
    TGlob glob(p);                // the first matching entry stands for the pattern
    const auto& found = !glob.Files().empty() ? glob.Files() : glob.Dirs();
    if (found.empty()) return;
    p = folder + found.front();
    disk = enc::SjisToDisk(p);
    if (lstat(disk.c_str(), &st) != 0) return;
  }
  // A link to a folder that the user named is followed; links met inside are not.
  struct stat target {};
  if (S_ISLNK(st.st_mode) && stat(disk.c_str(), &target) == 0 && S_ISDIR(target.st_mode))
    st = target;
  if (S_ISDIR(st.st_mode)) {
    AddFolder(IncludeTrailingSlash(p), IncludeTrailingSlash(disk));
    return;
  }
  AddOneFile(folder, disk.substr(disk.rfind('/') + 1), &st);
}

void FileAdder::AddFolder(const std::string& sjisDir, const std::string& diskDir) {
  std::unique_ptr<DIR, DirCloser> dir(opendir(diskDir.c_str()));
  if (!dir) {
    // Named in the warning at the end; the walk of its parent goes on.
    unread_.push_back(sjisDir);
    return;
  }
  struct Found {
    std::string name;
    unsigned char type;
  };
  std::vector<Found> entries;
  for (;;) {
    errno = 0;
    const dirent* entry = readdir(dir.get());
    if (!entry) {
      if (errno != 0) unread_.push_back(sjisDir);  // what was read is still added
      break;
    }
    if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) continue;
    entries.push_back({entry->d_name, entry->d_type});
  }
  // A file manager's order, not the disk's: "名前に連番をふる" right after a
  // drop numbers the files as the user sees them.
  SortByNaturalName(entries, [](const Found& f) -> std::string_view { return f.name; });
  // Entries are looked at relative to the open folder: the whole path is not
  // walked again for each of them.
  const int fd = dirfd(dir.get());
  std::vector<std::string> subfolders;
  for (const Found& found : entries) {
    if (cancelled_) return;
    const std::string& name = found.name;
    const bool dot = name[0] == '.';
    if (!details_ && found.type == DT_REG) {
      if (!dot || walk_.dotFiles) AddOneFile(sjisDir, name, nullptr);
      continue;
    }
    struct stat st {};
    if (fstatat(fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) continue;  // vanished meanwhile
    if (S_ISDIR(st.st_mode)) {
      if (walk_.subfolders && (!dot || walk_.dotFolders)) subfolders.push_back(name);
      continue;
    }
    if (dot && !walk_.dotFiles) continue;
    if (S_ISLNK(st.st_mode)) {
      // A link shows its target's size and time; a link to a folder is not walked.
      struct stat target {};
      if (fstatat(fd, name.c_str(), &target, 0) == 0) {
        if (S_ISDIR(target.st_mode)) continue;
        st = target;
      }
    }
    AddOneFile(sjisDir, name, details_ ? &st : nullptr);
  }
  // A folder's files come before those of its sub-folders.
  entries.clear();
  dir.reset();
  for (const std::string& name : subfolders) {
    if (cancelled_) return;
    AddSubfolder(sjisDir, diskDir, name);
  }
}

void FileAdder::AddSubfolder(const std::string& sjisDir, const std::string& diskDir,
                             const std::string& diskName) {
  std::string sjisName;
  enc::DiskToSjis(diskName, sjisName);
  const std::string sub = sjisDir + sjisName + "/";
  // A tree of many folders and few files still answers a stop at once.
  if (!Reach(sub, false)) return;
  AddFolder(sub, diskDir + diskName + "/");
}

void FileAdder::AddOneFile(const std::string& sjisDir, const std::string& diskName,
                           const struct stat* st) {
  if (stop_) return;
  std::string name;
  enc::DiskToSjis(diskName, name);
  const std::string full = sjisDir + name;
  if (!Reach(full, true)) return;
  const int row = table_.RowCount();
  if (!listed_.Insert(full, row)) return;
  // The last column first: the row's cells are made in one piece, not grown
  // cell by cell.
  table_.SetCell(colPath, row, full);
  table_.SetCell(colNewName, row, ExtractFileBase(name));
  table_.SetCell(colExt, row, ExtractFileExt(name));
  if (st) {
    table_.SetCell(colModified, row, FormatFileTime(st->st_mtime));
    table_.SetCell(colSize, row, std::to_string(static_cast<long long>(st->st_size)));
  }
  ++counter_;
  if (table_.RowCount() > growthLimit_) {
    if (callbacks_.askGrow && callbacks_.askGrow(growthLimit_))
      growthLimit_ *= 2;
    else
      stop_ = true;
  }
}

}  // namespace tonbo
