// Which reader a file goes to: its first bytes decide, not its name, since
// a renamer's files are often misnamed. Only regular files are opened, so a
// FIFO or a device in the list never blocks the reading.
#include "tags/TagReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "tags/TagParts.h"

namespace tonbo::tags {
namespace {

// The bytes read at once from a file's start: a camera's Exif block, without
// its thumbnail, and a video's first boxes mostly lie within them.
constexpr std::size_t kHeadBytes = 16 * 1024;

// An open regular file, read with pread; its head is read once and kept, so
// walking a JPEG's markers or a video's boxes costs one read, not one each.
class FileSource : public ByteSource {
 public:
  explicit FileSource(const std::string& diskPath) {
    // As common/FileRead.h's OpenFileToRead, look before opening and open
    // without waiting, but with two calls less, since the list's column
    // opens thousands: no second look (what replaced the file since holds no
    // more than the size looked at, and a FIFO gives no bytes to pread), no
    // switch back to blocking reads, which a regular file never needs.
    struct stat st {};
    if (::stat(diskPath.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return;
    fd_ = ::open(diskPath.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd_ < 0) return;
    size_ = static_cast<std::uint64_t>(st.st_size);
  }
  ~FileSource() override {
    if (fd_ >= 0) ::close(fd_);
  }
  FileSource(const FileSource&) = delete;
  FileSource& operator=(const FileSource&) = delete;
  bool Open() const { return fd_ >= 0; }
  std::uint64_t Size() const override { return size_; }
  std::size_t ReadAt(std::uint64_t offset, char* out, std::size_t count) const override {
    if (!headRead_) {
      head_.resize(std::min<std::uint64_t>(kHeadBytes, size_));
      head_.resize(Pread(0, head_.data(), head_.size()));
      headRead_ = true;
    }
    if (offset + count <= head_.size()) {
      std::copy_n(head_.data() + offset, count, out);
      return count;
    }
    return Pread(offset, out, count);
  }

 private:
  std::size_t Pread(std::uint64_t offset, char* out, std::size_t count) const {
    std::size_t done = 0;
    while (done < count) {
      const ssize_t n = ::pread(fd_, out + done, count - done, static_cast<off_t>(offset + done));
      if (n <= 0) break;
      done += static_cast<std::size_t>(n);
    }
    return done;
  }

  int fd_ = -1;
  std::uint64_t size_ = 0;
  mutable std::string head_;
  mutable bool headRead_ = false;
};

// HEIF and AVIF pictures are ISO media files too; Exiv2 reads those.
bool IsPictureBrand(const std::string& brand) {
  static const char* const kBrands[] = {"heic", "heix", "heim", "heis", "hevc",
                                        "mif1", "msf1", "avif", "avis", "crx "};
  return std::any_of(std::begin(kBrands), std::end(kBrands),
                     [&](const char* b) { return brand == b; });
}

}  // namespace

std::string ByteSource::Bytes(std::uint64_t offset, std::size_t count) const {
  if (offset > Size() || count > Size() - offset) return {};
  std::string out(count, '\0');
  return ReadAt(offset, out.data(), count) == count ? out : std::string();
}

std::size_t MemorySource::ReadAt(std::uint64_t offset, char* out, std::size_t count) const {
  if (offset >= bytes_.size()) return 0;
  const std::size_t n = std::min<std::uint64_t>(count, bytes_.size() - offset);
  std::copy_n(bytes_.data() + offset, n, out);
  return n;
}

MediaTags ReadMediaTags(const std::string& diskPath) {
  MediaTags tags;
  const FileSource file(diskPath);
  if (!file.Open() || file.Size() == 0) return tags;
  std::string brand;
  if (IsIsoMedia(file, &brand) && !IsPictureBrand(brand)) {
    ReadSoundTags(diskPath, file, tags);
    const MovieHeader movie = ReadMovieHeader(file);
    tags.taken = movie.taken;
    if (!tags.durationSeconds) tags.durationSeconds = movie.durationSeconds;
    return tags;
  }
  if (!ReadPictureTags(diskPath, tags)) ReadSoundTags(diskPath, file, tags);
  return tags;
}

std::optional<TakenTime> ReadTakenTime(const std::string& diskPath) {
  const FileSource file(diskPath);
  if (!file.Open() || file.Size() == 0) return std::nullopt;
  // The usual case, a JPEG with its date in Exif, without Exiv2's whole
  // reading; any other file, or Exif without a date, goes the long way.
  bool hasExif = false;
  if (auto t = JpegTakenTime(file, hasExif)) return t;
  std::string brand;
  if (IsIsoMedia(file, &brand) && !IsPictureBrand(brand)) return ReadMovieHeader(file).taken;
  MediaTags tags;
  ReadPictureTags(diskPath, tags);
  return tags.taken;
}

}  // namespace tonbo::tags
