#include "common/TextFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "common/FileRead.h"

namespace tonbo {

std::string ToCrLfLines(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16 + 2);
  size_t i = 0;
  while (i < text.size()) {
    size_t end = text.find_first_of("\r\n", i);
    if (end == std::string_view::npos) end = text.size();
    out.append(text.substr(i, end - i));
    out += "\r\n";
    if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n')
      ++end;
    i = end + 1;
  }
  return out;
}

bool ReadWholeFile(const std::string& diskPath, std::string& bytes, int* errnum,
                   std::uint64_t maxBytes) {
  auto fail = [errnum](int err) {
    if (errnum) *errnum = err;
    return false;
  };
  struct stat st {};
  const int fd = OpenFileToRead(diskPath, &st);
  if (fd < 0) return fail(errno);
  if (static_cast<std::uint64_t>(st.st_size) > maxBytes) {
    close(fd);
    return fail(EFBIG);
  }
  std::string data;
  data.reserve(static_cast<size_t>(st.st_size));
  char buf[65536];
  ssize_t n = 0;
  // The size may grow while being read: the limit holds all the same.
  while (data.size() <= maxBytes) {
    n = read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    data.append(buf, static_cast<size_t>(n));
  }
  const int err = n < 0 ? errno : data.size() > maxBytes ? EFBIG : 0;
  close(fd);
  if (err) return fail(err);
  bytes.swap(data);
  return true;
}

bool WriteFileAtomic(const std::string& diskPath, std::string_view bytes, int* errnum) {
  size_t slash = diskPath.rfind('/');
  std::string dir = slash == std::string::npos ? std::string("./") : diskPath.substr(0, slash + 1);
  std::string name = slash == std::string::npos ? diskPath : diskPath.substr(slash + 1);
  std::string tmp = dir + "." + name + ".tmp-XXXXXX";
  int fd = mkostemp(tmp.data(), O_CLOEXEC);
  auto fail = [&](int err) {
    if (errnum) *errnum = err;
    if (fd >= 0) close(fd);
    unlink(tmp.c_str());
    return false;
  };
  if (fd < 0) {
    if (errnum) *errnum = errno;
    return false;
  }
  struct stat st {};
  mode_t mode = 0666;
  if (stat(diskPath.c_str(), &st) == 0) {
    mode = st.st_mode & 07777;
  } else {
    mode_t mask = umask(0);
    umask(mask);
    mode &= ~mask;
  }
  fchmod(fd, mode);
  for (size_t done = 0; done < bytes.size();) {
    ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return fail(errno);
    }
    done += static_cast<size_t>(n);
  }
  if (fsync(fd) != 0) return fail(errno);
  if (close(fd) != 0) {
    fd = -1;
    return fail(errno);
  }
  fd = -1;
  if (rename(tmp.c_str(), diskPath.c_str()) != 0) return fail(errno);
  return true;
}

bool SaveTextFile(const std::string& diskPath, std::string_view text) {
  return WriteFileAtomic(diskPath, ToCrLfLines(text));
}

bool LoadTextFile(const std::string& diskPath, std::string& text) {
  std::string bytes;
  if (!ReadWholeFile(diskPath, bytes)) return false;
  text = ToCrLfLines(bytes);
  return true;
}

}  // namespace tonbo
