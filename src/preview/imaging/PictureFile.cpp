// Format choice, reasons, limits and whole-file loading and saving.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "common/FileRead.h"
#include "preview/imaging/CodecUtil.h"
#include "preview/imaging/Codecs.h"

namespace tonbo::img {

namespace detail {

ImageError CheckDimensions(int64_t width, int64_t height, const DecodeOptions& options) {
  if (width <= 0 || height <= 0) return ImageError::Corrupt;
  if (width > kMaxSide || height > kMaxSide || width * height > options.maxPixels)
    return ImageError::TooLarge;
  return ImageError::None;
}

DecodeResult Failure(ImageError error, std::string detail) {
  DecodeResult result;
  result.error = error;
  result.detail = std::move(detail);
  return result;
}

bool ProgressReporter::Report(int percent) {
  if (!fn_ || percent <= last_) return true;
  last_ = percent;
  try {
    return fn_(percent);
  } catch (...) {
    return false;
  }
}

}  // namespace detail

namespace {

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsLower(std::string_view text, std::string_view lower) {
  if (text.size() != lower.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i)
    if (LowerAscii(text[i]) != lower[i]) return false;
  return true;
}

// Closes a descriptor on every path out of the file functions.
struct FileCloser {
  int fd;
  ~FileCloser() {
    if (fd >= 0) close(fd);
  }
};

std::string ErrnoText(int error) { return std::strerror(error); }

bool ReadAll(int fd, uint8_t* out, std::size_t size) {
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = read(fd, out + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n == 0) errno = EIO;  // the file shrank while being read
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

bool WriteAll(int fd, const uint8_t* data, std::size_t size) {
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = write(fd, data + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// A new file beside `path` for the bytes that will replace it; -1 with errno.
int OpenTempBeside(const std::string& path, std::string& temp) {
  const std::size_t slash = path.rfind('/');
  const std::string dir = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  const std::string name = path.substr(dir.size());
  for (unsigned attempt = 0; attempt < 100; ++attempt) {
    temp = dir + "." + name + ".tmp" + std::to_string(getpid()) + "_" + std::to_string(attempt);
    const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

// Compressed files beyond this are refused without reading them.
constexpr off_t kMaxFileBytes = off_t{1} << 31;

}  // namespace

PictureFormat FormatFromExtension(std::string_view extension) {
  if (EqualsLower(extension, ".jpg") || EqualsLower(extension, ".jpeg") ||
      EqualsLower(extension, ".jpe"))
    return PictureFormat::Jpeg;
  if (EqualsLower(extension, ".png")) return PictureFormat::Png;
  if (EqualsLower(extension, ".bmp")) return PictureFormat::Bmp;
  if (EqualsLower(extension, ".ico")) return PictureFormat::Ico;
  return PictureFormat::Unknown;
}

const char* Describe(ImageError error) {
  switch (error) {
    case ImageError::None:
      return "";
    case ImageError::CannotRead:
      return "ファイルを読み込めません。";
    case ImageError::CannotWrite:
      return "ファイルに書き込めません。";
    case ImageError::EmptyFile:
      return "ファイルが空です。";
    case ImageError::UnknownFormat:
      return "この拡張子の画像は読み込めません。";
    case ImageError::NotThisFormat:
      return "画像の形式が拡張子と合いません。";
    case ImageError::Truncated:
      return "画像のデータが途中で切れています。";
    case ImageError::Corrupt:
      return "画像のデータが壊れています。";
    case ImageError::TooLarge:
      return "画像が大きすぎます。";
    case ImageError::Unsupported:
      return "対応していない種類の画像です。";
    case ImageError::OutOfMemory:
      return "メモリが足りません。";
    case ImageError::Cancelled:
      return "読み込みを中止しました。";
  }
  return "";
}

DecodeResult Decode(PictureFormat format, ByteSpan data, const DecodeOptions& options) {
  DecodeResult result;
  switch (format) {
    case PictureFormat::Jpeg:
      return DecodeJpeg(data, options);
    case PictureFormat::Png:
      result = DecodePng(data, options);
      break;
    case PictureFormat::Bmp:
      result = DecodeBmp(data, options);
      break;
    case PictureFormat::Ico:
      result = DecodeIco(data, options);
      break;
    case PictureFormat::Unknown:
      return detail::Failure(ImageError::UnknownFormat);
  }
  result.fullWidth = result.bitmap.Width();
  result.fullHeight = result.bitmap.Height();
  return result;
}

EncodeResult Encode(PictureFormat format, const Bitmap& bitmap) {
  switch (format) {
    case PictureFormat::Jpeg:
      return EncodeJpeg(bitmap);
    case PictureFormat::Png:
      return EncodePng(bitmap);
    case PictureFormat::Bmp:
      return EncodeBmp(bitmap);
    case PictureFormat::Ico:
    case PictureFormat::Unknown:
      break;
  }
  EncodeResult result;
  result.error = ImageError::UnknownFormat;
  return result;
}

DecodeResult LoadPicture(const std::string& path, PictureFormat format,
                         const DecodeOptions& options) {
  if (format == PictureFormat::Unknown) return detail::Failure(ImageError::UnknownFormat);
  struct stat info {};
  FileCloser file{OpenFileToRead(path, &info)};
  if (file.fd < 0)
    return detail::Failure(ImageError::CannotRead,
                           errno == kNotRegularFile ? "not a file" : ErrnoText(errno));
  if (info.st_size == 0) return detail::Failure(ImageError::EmptyFile);
  if (info.st_size > kMaxFileBytes) return detail::Failure(ImageError::TooLarge, "file size");
  const auto size = static_cast<std::size_t>(info.st_size);
  std::unique_ptr<uint8_t[]> bytes(new (std::nothrow) uint8_t[size]);
  if (!bytes) return detail::Failure(ImageError::OutOfMemory);
  if (!ReadAll(file.fd, bytes.get(), size))
    return detail::Failure(ImageError::CannotRead, ErrnoText(errno));
  return Decode(format, ByteSpan(bytes.get(), size), options);
}

SaveResult SavePicture(const Bitmap& bitmap, const std::string& path, PictureFormat format) {
  EncodeResult encoded = Encode(format, bitmap);
  if (!encoded.Ok()) return {encoded.error, std::move(encoded.detail)};
  std::string temp;
  FileCloser file{OpenTempBeside(path, temp)};
  if (file.fd < 0) return {ImageError::CannotWrite, ErrnoText(errno)};
  struct stat existing {};
  if (stat(path.c_str(), &existing) == 0) fchmod(file.fd, existing.st_mode & 07777);
  bool ok = WriteAll(file.fd, encoded.bytes.data(), encoded.bytes.size()) && fsync(file.fd) == 0;
  const int fd = file.fd;
  file.fd = -1;
  ok = close(fd) == 0 && ok;
  if (ok && rename(temp.c_str(), path.c_str()) == 0) return {};
  const int error = errno;
  unlink(temp.c_str());
  return {ImageError::CannotWrite, ErrnoText(error)};
}

}  // namespace tonbo::img
