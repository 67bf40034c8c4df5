// Reading and writing the CSV text form on disk. A save goes to a temporary
// file beside the target and is renamed into place, so a failed save never
// destroys the previous file.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QString>

#include <cerrno>
#include <cstring>
#include <string>

#include "common/Errors.h"
#include "core/CsvDb.h"

namespace tonbo {
namespace {

// The path may hold bytes that are not UTF-8; the message must be UTF-8.
std::string Printable(const std::string& diskPath) {
  return QString::fromUtf8(diskPath.data(), static_cast<qsizetype>(diskPath.size()))
      .toUtf8()
      .toStdString();
}

[[noreturn]] void Fail(const char* what, const std::string& diskPath, int err) {
  throw EInOutError(std::string(what) + "\n" + Printable(diskPath) + "\n" + ErrnoReason(err), err);
}

// Closes the descriptor on every path out.
class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  // Closes now and reports the result (a late write error shows here).
  int Close() {
    const int rc = ::close(fd_);
    fd_ = -1;
    return rc;
  }

 private:
  int fd_;
};

// Reads the whole file; errno is set when it returns false.
bool ReadAll(int fd, std::string& out) {
  struct stat st {};
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) out.reserve(st.st_size);
  char buf[1 << 16];
  for (;;) {
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n == 0) return true;
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    out.append(buf, static_cast<size_t>(n));
  }
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

std::string FolderOf(const std::string& diskPath) {
  const size_t slash = diskPath.rfind('/');
  if (slash == std::string::npos) return "./";
  return diskPath.substr(0, slash + 1);
}

// An existing target keeps its permission bits; a new one gets 0644 less the umask.
mode_t ModeFor(const std::string& diskPath) {
  struct stat st {};
  if (::stat(diskPath.c_str(), &st) == 0 && S_ISREG(st.st_mode)) return st.st_mode & 07777;
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0644 & ~mask;
}

// Writes, flushes and closes the temporary file; errno is set when it returns false.
bool FillTemp(Fd& fd, const std::string& bytes, mode_t mode) {
  return ::fchmod(fd.get(), mode) == 0 && WriteAll(fd.get(), bytes) && ::fsync(fd.get()) == 0 &&
         fd.Close() == 0;
}

}  // namespace

void TCsvDbBase::LoadFromFile(const std::string& diskPath) {
  Fd fd(::open(diskPath.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) Fail("ファイルを開けません。", diskPath, errno);
  std::string bytes;
  if (!ReadAll(fd.get(), bytes)) Fail("ファイルを読み込めません。", diskPath, errno);
  LoadFromText(bytes);
}

void TCsvDbBase::SaveToFile(const std::string& diskPath) const {
  const std::string bytes = SaveToText();
  const mode_t mode = ModeFor(diskPath);
  std::string temp = FolderOf(diskPath) + ".tonbo-save-XXXXXX";
  Fd fd(::mkostemp(temp.data(), O_CLOEXEC));
  if (fd.get() < 0) Fail("ファイルを作成できません。", diskPath, errno);
  if (!FillTemp(fd, bytes, mode) || ::rename(temp.c_str(), diskPath.c_str()) != 0) {
    const int err = errno;
    ::unlink(temp.c_str());
    Fail("ファイルに書き込めません。", diskPath, err);
  }
}

}  // namespace tonbo
