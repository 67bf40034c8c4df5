#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "common/FileRead.h"
#include "platform/FileOps.h"

namespace tonbo::platform {
namespace {

// Closes a descriptor when the copy ends, on every path.
class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  // Closes now and reports the result: a late write error shows up here.
  int Close() {
    int rc = close(fd_);
    fd_ = -1;
    return rc == 0 ? 0 : errno;
  }

 private:
  int fd_;
};

int Fail(int err, const char* step, std::string* message) {
  if (message) *message = std::string(step) + ": " + ErrorText(err);
  return err;
}

int WriteAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    ssize_t n = write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    data += n;
    size -= static_cast<size_t>(n);
  }
  return 0;
}

int CopyByReads(int in, int out) {
  // One buffer for every copy: a backup copies thousands of small files.
  thread_local std::vector<char> buf(1 << 17);
  for (;;) {
    ssize_t n = read(in, buf.data(), buf.size());
    if (n == 0) return 0;
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (int err = WriteAll(out, buf.data(), static_cast<size_t>(n))) return err;
  }
}

// The kernel cannot copy between these two files (other file systems on an
// older kernel, or a file system without the call).
bool KernelCopyRefused(int err) {
  return err == EXDEV || err == EINVAL || err == ENOSYS || err == EOPNOTSUPP;
}

// The source's bytes, as many as it had when opened, copied by the kernel
// (copy_file_range: a reflink where the file system shares blocks, and no
// trip through this process elsewhere), else by reads and writes. A file
// whose size says nothing (0, as the kernel's own files give) is read to its end.
int CopyBytes(int in, const struct stat& src, int out) {
  const auto size = static_cast<uint64_t>(src.st_size);
  uint64_t done = 0;
  while (done < size) {
    const ssize_t n =
        copy_file_range(in, nullptr, out, nullptr, static_cast<size_t>(size - done), 0);
    if (n > 0) {
      done += static_cast<uint64_t>(n);
    } else if (n == 0) {
      return 0;  // shorter now than when opened
    } else if (errno != EINTR) {
      return done == 0 && KernelCopyRefused(errno) ? CopyByReads(in, out) : errno;
    }
  }
  return size == 0 ? CopyByReads(in, out) : 0;
}

// Permission bits without set-user/group-ID (a copy is not meant to grant
// them), then the times, then, when an older file is replaced, the data to
// disk before the rename.
int FinishCopy(int fd, const struct stat& src, bool sync) {
  if (fchmod(fd, src.st_mode & 0777) != 0) return errno;
  const struct timespec times[2] = {src.st_atim, src.st_mtim};
  if (futimens(fd, times) != 0) return errno;
  return !sync || fsync(fd) == 0 ? 0 : errno;
}

std::string TempTemplateFor(const std::string& to) {
  size_t slash = to.rfind('/');
  std::string dir = slash == std::string::npos ? std::string() : to.substr(0, slash + 1);
  return dir + ".tonbo-copy-XXXXXX";
}

int CopyIntoTemp(int in, const struct stat& src, Fd& out, bool sync, std::string* message) {
  if (int err = CopyBytes(in, src, out.get())) return Fail(err, "write copy", message);
  if (int err = FinishCopy(out.get(), src, sync)) return Fail(err, "finish copy", message);
  if (int err = out.Close()) return Fail(err, "close copy", message);
  return 0;
}

// The whole copy under a temporary name beside `to`, then `to` takes it.
int CopyThroughTemp(const std::string& from, const std::string& to, bool replace,
                    std::string* message) {
  // Only a regular file is copied: a FIFO would wait for a writer, a device
  // never end.
  struct stat src {};
  Fd in(OpenFileToRead(from, &src));
  if (in.get() < 0) return Fail(errno, "open source", message);

  std::string tmp = TempTemplateFor(to);
  Fd out(mkostemp(tmp.data(), O_CLOEXEC));
  if (out.get() < 0) return Fail(errno, "create copy", message);
  int err = CopyIntoTemp(in.get(), src, out, replace, message);
  if (err == 0 && replace && rename(tmp.c_str(), to.c_str()) != 0)
    err = Fail(errno, "replace target", message);
  if (err == 0 && !replace && (err = RenameNoReplace(tmp, to)) != 0)
    Fail(err, "name copy", message);
  if (err != 0) unlink(tmp.c_str());
  return err;
}

// A copy to a free name in an unnamed file of the target's folder
// (O_TMPFILE): it takes the name only when complete (linkat, which never
// replaces), and a copy that fails on the way, a full disk included, leaves
// nothing, not even a temporary name, since the file goes with its
// descriptor. Saves the temporary name's creation and rename of each file.
// -1 where the file system or the system has no such file, or /proc is
// missing: the caller goes through a named temporary file then.
int CopyThroughUnnamed(const std::string& from, const std::string& to, std::string* message) {
  struct stat src {};
  Fd in(OpenFileToRead(from, &src));
  if (in.get() < 0) return Fail(errno, "open source", message);
  const size_t slash = to.rfind('/');
  const std::string dir = slash == std::string::npos ? "." : to.substr(0, slash + 1);
  Fd out(open(dir.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600));
  if (out.get() < 0)
    return errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL
               ? -1
               : Fail(errno, "create copy", message);
  if (int err = CopyBytes(in.get(), src, out.get())) return Fail(err, "write copy", message);
  if (int err = FinishCopy(out.get(), src, false)) return Fail(err, "finish copy", message);
  const std::string self = "/proc/self/fd/" + std::to_string(out.get());
  if (linkat(AT_FDCWD, self.c_str(), AT_FDCWD, to.c_str(), AT_SYMLINK_FOLLOW) != 0) {
    if (errno == ENOENT && access("/proc/self/fd", X_OK) != 0) return -1;
    return Fail(errno, "name copy", message);
  }
  // Written data that cannot reach the disk shows at the close; the name is
  // taken back then (from the copy: its size and time are the source's), as
  // a named temporary file would never have got it.
  if (int err = out.Close()) {
    struct stat now {};
    if (lstat(to.c_str(), &now) == 0 && S_ISREG(now.st_mode) && now.st_size == src.st_size &&
        now.st_mtim.tv_sec == src.st_mtim.tv_sec && now.st_mtim.tv_nsec == src.st_mtim.tv_nsec)
      unlink(to.c_str());
    return Fail(err, "close copy", message);
  }
  return 0;
}

}  // namespace

int CopyFileReplace(const std::string& from, const std::string& to, std::string* message) {
  return CopyThroughTemp(from, to, true, message);
}

int CopyFileNew(const std::string& from, const std::string& to, std::string* message) {
  const int err = CopyThroughUnnamed(from, to, message);
  return err >= 0 ? err : CopyThroughTemp(from, to, false, message);
}

}  // namespace tonbo::platform
