#pragma once
// Opening what the program reads: lists, the settings file, the files of the
// list (preview, contents search, backup). A path may name a FIFO, a socket
// or a device as well as a file: opening a FIFO waits for a writer, and
// /dev/zero never ends. So the type is looked at first, the open never waits
// (O_NONBLOCK), and the open file is looked at again, since the path may have
// changed in between; only a regular file is read. Header only, so that the
// picture codecs, which are free of Qt, open files the same way.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <string>

namespace tonbo {

// The error for a path naming something that is neither a regular file nor
// a folder (a folder gives EISDIR); beside the system's error numbers.
inline constexpr int kNotRegularFile = 0x10000;

enum class FileKind { Missing, Regular, Folder, Pipe, Socket, Device, Other };

inline FileKind KindOfMode(mode_t mode) {
  if (S_ISREG(mode)) return FileKind::Regular;
  if (S_ISDIR(mode)) return FileKind::Folder;
  if (S_ISFIFO(mode)) return FileKind::Pipe;
  if (S_ISSOCK(mode)) return FileKind::Socket;
  if (S_ISCHR(mode) || S_ISBLK(mode)) return FileKind::Device;
  return FileKind::Other;
}

// What the path names now, links followed; Missing when it cannot be looked at.
inline FileKind KindOf(const std::string& diskPath) {
  struct stat st {};
  return ::stat(diskPath.c_str(), &st) == 0 ? KindOfMode(st.st_mode) : FileKind::Missing;
}

// Opens a regular file to read (close-on-exec, reads block as usual). -1 with
// errno set otherwise: the system's error, EISDIR for a folder,
// kNotRegularFile for a FIFO, socket or device. `info` gets the open file's
// status. The path may be relative to an open folder (dirFd; AT_FDCWD the
// current one), which spares the system walking a long path twice for every
// file of a folder.
inline int OpenFileToReadAt(int dirFd, const char* diskPath, struct stat* info = nullptr) {
  struct stat st {};
  auto refuse = [](mode_t mode) {
    errno = S_ISDIR(mode) ? EISDIR : kNotRegularFile;
    return -1;
  };
  if (::fstatat(dirFd, diskPath, &st, 0) != 0) return -1;
  if (!S_ISREG(st.st_mode)) return refuse(st.st_mode);
  const int fd = ::openat(dirFd, diskPath, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) return -1;
  if (::fstat(fd, &st) != 0) {
    const int err = errno;
    ::close(fd);
    errno = err;
    return -1;
  }
  if (!S_ISREG(st.st_mode)) {
    ::close(fd);
    return refuse(st.st_mode);
  }
  // O_NONBLOCK is the only status flag the open set: one call clears it.
  ::fcntl(fd, F_SETFL, 0);
  if (info) *info = st;
  return fd;
}

inline int OpenFileToRead(const std::string& diskPath, struct stat* info = nullptr) {
  return OpenFileToReadAt(AT_FDCWD, diskPath.c_str(), info);
}

// The reason a read failed, for people (UTF-8): the two refusals above in
// words, EFBIG with the limit when maxBytes is given, else the system's text.
std::string ReadErrorText(int err, std::uint64_t maxBytes = 0);

}  // namespace tonbo
