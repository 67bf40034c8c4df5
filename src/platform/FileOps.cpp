#include "platform/FileOps.h"

#include "common/Errors.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "common/FileRead.h"

#ifndef RENAME_NOREPLACE
#define RENAME_NOREPLACE (1 << 0)
#endif

namespace tonbo::platform {
namespace {

int RenameAt2NoReplace(int dirFd, const char* from, const char* to) {
#if defined(__GLIBC__) && __GLIBC_PREREQ(2, 28)
  return renameat2(dirFd, from, dirFd, to, RENAME_NOREPLACE);
#else
  return static_cast<int>(syscall(SYS_renameat2, dirFd, from, dirFd, to, RENAME_NOREPLACE));
#endif
}

// The file system does not know the no-replace flag (or renameat2 at all).
bool FlagRefused(int err) { return err == EINVAL || err == ENOSYS || err == EOPNOTSUPP; }

// On a case-folding file system "a.txt" and "A.txt" name one entry. With a
// single link it cannot be a second name of the same file, so the target is
// the source itself.
bool SameEntry(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_nlink == 1;
}

// Last resort where neither the no-replace flag nor hard links exist. Racy:
// an entry created between the check and rename() could be replaced. For a
// folder source only an empty folder made in that instant can be hit (rename
// refuses a file or a non-empty folder as target); for a file source it is a
// file system without hard links and without renameat2, which Linux hardly has.
int RenameChecked(const std::string& from, const struct stat& fromSt, const std::string& to) {
  struct stat toSt {};
  if (lstat(to.c_str(), &toSt) == 0) {
    if (!SameEntry(fromSt, toSt)) return EEXIST;
  } else if (errno != ENOENT) {
    return errno;
  }
  return rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

std::int64_t Nanoseconds(const struct statx_timestamp& t) {
  return static_cast<std::int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec;
}

// One statx gives the birth time at the cost of an lstat.
FileId IdAt(int dirFd, const char* name) {
  struct statx st {};
  if (statx(dirFd, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, STATX_BASIC_STATS | STATX_BTIME,
            &st) != 0)
    return {};
  const std::uint64_t dev = makedev(st.stx_dev_major, st.stx_dev_minor);
  return {dev, st.stx_ino, static_cast<std::int64_t>(st.stx_size), Nanoseconds(st.stx_mtime),
          (st.stx_mask & STATX_BTIME) ? Nanoseconds(st.stx_btime) : 0};
}

}  // namespace

int RenameNoReplace(const std::string& from, const std::string& to) {
  if (RenameAt2NoReplace(AT_FDCWD, from.c_str(), to.c_str()) == 0) return 0;
  int err = errno;
  return FlagRefused(err) ? RenameByLink(from, to) : err;
}

bool FolderHandle::Open(std::string_view dir) {
  if (fd_ < 0 || dir != dir_) {
    Close();
    dir_ = dir;
    fd_ = open(dir_.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  }
  return fd_ >= 0;
}

FileId FolderHandle::IdentityIn(std::string_view dir, const char* name) {
  if (!Open(dir)) return IdentityOf(std::string(dir) + name);
  return IdAt(fd_, name);
}

int FolderHandle::RenameNoReplaceIn(std::string_view dir, const char* from, const char* to) {
  Open(dir);
  if (fd_ >= 0 && RenameAt2NoReplace(fd_, from, to) == 0) return 0;
  // A folder that cannot be opened, or a file system without the flag, goes
  // the long way (which has the fallbacks and the right error).
  if (fd_ >= 0 && !FlagRefused(errno)) return errno;
  return RenameNoReplace(dir_ + from, dir_ + to);
}

void FolderHandle::Close() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
  dir_.clear();
}

int RenameByLink(const std::string& from, const std::string& to) {
  struct stat fromSt {};
  if (lstat(from.c_str(), &fromSt) != 0) return errno;
  if (S_ISDIR(fromSt.st_mode)) return RenameChecked(from, fromSt, to);
  if (link(from.c_str(), to.c_str()) == 0) {
    if (unlink(from.c_str()) == 0) return 0;
    int err = errno;
    unlink(to.c_str());  // leave the file under its old name only
    return err;
  }
  int err = errno;
  // EEXIST may be the source itself under another letter case; EPERM and
  // EOPNOTSUPP mean a file system without hard links (FAT, exFAT).
  if (err == EEXIST || err == EPERM || err == EOPNOTSUPP) return RenameChecked(from, fromSt, to);
  return err;
}

FileId IdentityOf(const std::string& path) { return IdAt(AT_FDCWD, path.c_str()); }

int DeleteFileNow(const std::string& path) { return unlink(path.c_str()) == 0 ? 0 : errno; }

bool FileExists(const std::string& path) {
  struct stat st {};
  return lstat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string ErrorText(int errnum) { return ReadErrorText(errnum); }

}  // namespace tonbo::platform
