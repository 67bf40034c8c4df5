#include "commands/ContentText.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "common/FileRead.h"
#include "common/Sjis.h"
#include "common/TextFile.h"
#include "text/StrUnit.h"

namespace tonbo {
namespace {

// Every line followed by CR LF, fed a read at a time: a CR at the end of one
// read may be the first half of a CR LF.
class LineEnds {
 public:
  void Feed(std::string_view in, std::string& out) {
    for (size_t i = 0; i < in.size();) {
      if (pendingCr_) {
        out += "\r\n";
        pendingCr_ = false;
        midLine_ = false;
        if (in[i] == '\n') ++i;
        continue;
      }
      size_t end = i;
      while (end < in.size() && in[end] != '\r' && in[end] != '\n') ++end;
      out.append(in, i, end - i);
      midLine_ = midLine_ || end > i;
      if (end == in.size()) break;
      if (in[end] == '\r') {
        pendingCr_ = true;
      } else {
        out += "\r\n";
        midLine_ = false;
      }
      i = end + 1;
    }
  }
  // The last line ends too, with or without its line break in the file.
  void Finish(std::string& out) {
    if (pendingCr_ || midLine_) out += "\r\n";
    pendingCr_ = midLine_ = false;
  }

 private:
  bool pendingCr_ = false;
  bool midLine_ = false;
};

// (A sysfs file gives its size as a page.)
bool ReadFlag(const std::string& path) {
  std::string text;
  return ReadWholeFile(path, text, nullptr, 4096) && text.substr(0, 1) == "1";
}

}  // namespace

bool DiskGate::Rotating(dev_t device) {
  std::lock_guard lock(lookup_);
  const auto it = rotating_.find(device);
  if (it != rotating_.end()) return it->second;
  // A partition has no queue of its own: its disk's is one folder up.
  const std::string dev =
      "/sys/dev/block/" + std::to_string(major(device)) + ":" + std::to_string(minor(device));
  const bool rotating =
      ReadFlag(dev + "/queue/rotational") || ReadFlag(dev + "/../queue/rotational");
  rotating_.emplace(device, rotating);
  return rotating;
}

std::unique_lock<std::mutex> DiskGate::Enter(dev_t device, Known& known) {
  if (!known.valid || known.device != device) known = {device, true, Rotating(device)};
  if (!known.rotating) return {};
  return std::unique_lock(turn_);
}

// A regular file's bytes, read in large pieces; closed with the object.
class TContentReader::Source {
 public:
  // A pipe or a device is never opened for reading (OpenFileToRead).
  Source(Where where, DiskGate* gate, DiskGate::Known& known) {
    struct stat st {};
    fd_ = OpenFileToReadAt(where.dirFd, where.name, &st);
    if (fd_ < 0) return;
    size_ = static_cast<uint64_t>(st.st_size);
    if (gate) turn_ = gate->Enter(st.st_dev, known);
  }
  virtual ~Source() { Close(); }
  Source(const Source&) = delete;
  Source& operator=(const Source&) = delete;

  bool IsOpen() const { return fd_ >= 0; }
  bool Ended() const { return ended_; }

  // Bytes read (0 at the end), -1 on an error. A short read at or past the
  // size the file had when opened is its end, which saves asking once more.
  virtual ssize_t Read(unsigned char* buffer, size_t size) {
    ssize_t n;
    do {
      n = read(fd_, buffer, size);
    } while (n < 0 && errno == EINTR);
    if (n > 0) done_ += static_cast<uint64_t>(n);
    ended_ = n == 0 || (n > 0 && static_cast<size_t>(n) < size && done_ >= size_);
    return n;
  }

 protected:
  bool ended_ = false;

 private:
  void Close() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
  }
  int fd_ = -1;
  uint64_t size_ = 0;
  uint64_t done_ = 0;
  std::unique_lock<std::mutex> turn_;
};

namespace {

// The file's text with every line ended by CR LF, for keys that hold a line break.
class LineSource : public TContentReader::Source {
 public:
  LineSource(TContentReader::Where where, DiskGate* gate, DiskGate::Known& known, size_t chunk)
      : Source(where, gate, known), raw_(std::max<size_t>(chunk, 1)) {}

  ssize_t Read(unsigned char* buffer, size_t size) override {
    while (text_.size() - pos_ < size && !rawEnded_) {
      const ssize_t n = Source::Read(raw_.data(), raw_.size());
      if (n < 0) return -1;
      rawEnded_ = Source::Ended();
      text_.erase(0, pos_);
      pos_ = 0;
      lines_.Feed(
          std::string_view(reinterpret_cast<const char*>(raw_.data()), static_cast<size_t>(n)),
          text_);
      if (rawEnded_) lines_.Finish(text_);
    }
    const size_t n = std::min(size, text_.size() - pos_);
    std::memcpy(buffer, text_.data() + pos_, n);
    pos_ += n;
    ended_ = rawEnded_ && pos_ == text_.size();
    return static_cast<ssize_t>(n);
  }

 private:
  std::vector<unsigned char> raw_;
  std::string text_;
  size_t pos_ = 0;
  bool rawEnded_ = false;
  LineEnds lines_;
};

// The largest character boundary at or before s, from the known one.
size_t BoundaryAtOrBefore(const ContentWindow& w, size_t s) {
  size_t q = s;
  while (q > w.known && enc::IsLeadByte(w.bytes[q - 1])) --q;
  return q + (s - q) / 2 * 2;
}

}  // namespace

TContentReader::TContentReader(size_t chunkSize, DiskGate* gate)
    : chunk_(std::max<size_t>(chunkSize, 1)), gate_(gate) {}

void TContentReader::Folder::Reset() {
  if (fd >= 0) close(fd);
  fd = -1;
  path.clear();
}

TContentReader::Where TContentReader::Locate(const std::string& diskPath) {
  const size_t slash = diskPath.rfind('/');
  if (slash == std::string::npos) return {AT_FDCWD, diskPath.c_str()};
  const std::string_view dir(diskPath.data(), slash + 1);
  if (dir != folder_.path) {
    folder_.Reset();
    folder_.path.assign(dir);
    folder_.fd = open(folder_.path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  }
  if (folder_.fd < 0) return {AT_FDCWD, diskPath.c_str()};
  return {folder_.fd, diskPath.c_str() + slash + 1};
}

bool TContentReader::Contains(const std::string& diskPath, std::string_view key, bool lower) {
  return Contains(diskPath, TContentKey(key, lower));
}

bool TContentReader::Contains(const std::string& diskPath, const TContentKey& key) {
  if (key.Empty()) return false;
  if (key.HasLineBreak()) {
    LineSource source(Locate(diskPath), gate_, known_, chunk_);
    return source.IsOpen() && Search(source, key);
  }
  Source source(Locate(diskPath), gate_, known_);
  return source.IsOpen() && Search(source, key);
}

// Reads into the window behind what it keeps, searches the new part, and
// keeps the key's length less one byte (so that a match across two reads is
// found), from a character boundary, with three bytes of context before it.
bool TContentReader::Search(Source& source, const TContentKey& key) {
  const size_t keep = key.MaxLength() - 1;
  ContentWindow w;
  size_t size = 0;
  for (;;) {
    if (window_.size() < size + chunk_) window_.resize(size + chunk_);
    const ssize_t n = source.Read(window_.data() + size, chunk_);
    if (n < 0) return false;
    size += static_cast<size_t>(n);
    w.bytes = window_.data();
    w.size = size;
    w.stop = source.Ended() ? size : (size > keep ? size - keep : 0);
    if (w.stop > w.from && key.Occurs(w, scratch_)) return true;
    if (source.Ended()) return false;
    if (w.stop <= w.from) continue;
    const size_t boundary = BoundaryAtOrBefore(w, w.stop);
    const size_t cut = std::min(boundary, w.stop >= 3 ? w.stop - 3 : 0);
    std::memmove(window_.data(), window_.data() + cut, size - cut);
    size -= cut;
    w.known = boundary - cut;
    w.from = w.stop - cut;
    w.startsFile = w.startsFile && cut == 0;
  }
}

void Utf8ToSjis(enc::SjisCodec& codec, std::string_view utf8, std::string& out) {
  codec.FromDisk(utf8, out);  // every byte string has its inside form
}

const std::string& TContentReader::ReadWhole(const std::string& diskPath, bool lower, size_t limit,
                                             enc::SjisCodec* utf8) {
  text_.clear();
  raw_.clear();
  wasUtf8_ = false;
  Source file(Locate(diskPath), gate_, known_);
  if (!file.IsOpen()) return text_;
  while (raw_.size() < limit && !file.Ended()) {
    const size_t want = std::min(chunk_, limit - raw_.size());
    const size_t at = raw_.size();
    raw_.resize(at + want);
    const ssize_t n = file.Read(reinterpret_cast<unsigned char*>(raw_.data() + at), want);
    if (n < 0) {
      raw_.clear();
      return text_;
    }
    raw_.resize(at + static_cast<size_t>(n));
  }
  std::string_view bytes = raw_;
  const bool cut = !file.Ended() || raw_.size() >= limit;
  if (utf8 && content::IsUtf8(bytes, cut)) {
    wasUtf8_ = true;
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    // A character cut at the limit is left out.
    size_t whole = bytes.size();
    for (size_t back = 0; back < 3 && back < whole; ++back) {
      const auto c = static_cast<unsigned char>(bytes[whole - 1 - back]);
      if (c < 0x80) break;
      if (c >= 0xC0) {
        const size_t n = c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        if (back + 1 < n) whole -= back + 1;
        break;
      }
    }
    Utf8ToSjis(*utf8, bytes.substr(0, whole), converted_);
    bytes = converted_;
  }
  text_ = ToCrLfLines(bytes);
  if (lower) text_ = LowerStr(text_);
  return text_;
}

}  // namespace tonbo
