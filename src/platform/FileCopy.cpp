#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
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

int CopyBytes(int in, int out) {
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
  if (int err = CopyBytes(in, out.get())) return Fail(err, "write copy", message);
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

}  // namespace

int CopyFileReplace(const std::string& from, const std::string& to, std::string* message) {
  return CopyThroughTemp(from, to, true, message);
}

int CopyFileNew(const std::string& from, const std::string& to, std::string* message) {
  return CopyThroughTemp(from, to, false, message);
}

}  // namespace tonbo::platform
