// Which reader a file goes to: its first bytes decide, not its name, since
// a renamer's files are often misnamed. Only regular files are opened, so a
// FIFO or a device in the list never blocks the reading.
#include "tags/TagReader.h"

#include <unistd.h>

#include <algorithm>

#include "common/FileRead.h"
#include "tags/TagParts.h"

namespace tonbo::tags {
namespace {

// An open regular file, read with pread.
class FileSource : public ByteSource {
 public:
  explicit FileSource(const std::string& diskPath) {
    struct stat st {};
    fd_ = OpenFileToRead(diskPath, &st);
    if (fd_ >= 0) size_ = static_cast<std::uint64_t>(st.st_size);
  }
  ~FileSource() override {
    if (fd_ >= 0) ::close(fd_);
  }
  FileSource(const FileSource&) = delete;
  FileSource& operator=(const FileSource&) = delete;
  bool Open() const { return fd_ >= 0; }
  std::uint64_t Size() const override { return size_; }
  std::size_t ReadAt(std::uint64_t offset, char* out, std::size_t count) const override {
    std::size_t done = 0;
    while (done < count) {
      const ssize_t n = ::pread(fd_, out + done, count - done, static_cast<off_t>(offset + done));
      if (n <= 0) break;
      done += static_cast<std::size_t>(n);
    }
    return done;
  }

 private:
  int fd_ = -1;
  std::uint64_t size_ = 0;
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
    ReadSoundTags(diskPath, tags, true);
    const MovieHeader movie = ReadMovieHeader(file);
    tags.taken = movie.taken;
    if (!tags.durationSeconds) tags.durationSeconds = movie.durationSeconds;
    return tags;
  }
  if (!ReadPictureTags(diskPath, tags)) ReadSoundTags(diskPath, tags, false);
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
