#include "pattern/commands/ContentText.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>

#include "common/Sjis.h"
#include "naming/StrUnit.h"

namespace tonbo {
namespace {

bool IsLead(char c) { return enc::IsLeadByte(static_cast<unsigned char>(c)); }

size_t CharLength(std::string_view s, size_t i) { return IsLead(s[i]) && i + 1 < s.size() ? 2 : 1; }

// Bytes of s that are whole characters: a lead byte at the very end waits
// for its trail byte.
size_t WholeChars(std::string_view s) {
  size_t i = 0;
  while (i < s.size()) {
    if (!IsLead(s[i])) {
      ++i;
    } else if (i + 1 == s.size()) {
      return i;
    } else {
      i += 2;
    }
  }
  return s.size();
}

// The last character boundary at or before `limit`.
size_t BoundaryAtOrBefore(std::string_view s, size_t limit) {
  size_t at = 0;
  for (size_t next = 0; next <= limit && next < s.size(); next += CharLength(s, next)) at = next;
  return limit >= s.size() ? s.size() : at;
}

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
  }

 private:
  bool pendingCr_ = false;
  bool midLine_ = false;
};

// A regular file open for reading, closed with the object.
class InputFile {
 public:
  // O_NONBLOCK: opening a pipe must not wait for a writer.
  explicit InputFile(const std::string& diskPath)
      : fd_(open(diskPath.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK)) {
    struct stat st {};
    if (fd_ >= 0 && (fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode))) Close();
  }
  ~InputFile() { Close(); }
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  bool IsOpen() const { return fd_ >= 0; }
  // Bytes read (0 at the end), -1 on an error.
  ssize_t Read(char* buffer, size_t size) {
    ssize_t n;
    do {
      n = read(fd_, buffer, size);
    } while (n < 0 && errno == EINTR);
    return n;
  }

 private:
  void Close() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
  }
  int fd_;
};

}  // namespace

TContentReader::TContentReader(size_t chunkSize) : chunk_(std::max<size_t>(chunkSize, 1)) {}

TContentReader::Outcome TContentReader::Stream(const std::string& diskPath, bool lower,
                                               size_t limit, const Sink& sink) {
  InputFile file(diskPath);
  if (!file.IsOpen()) return Outcome::Failed;
  LineEnds lines;
  piece_.clear();
  auto pass = [&](size_t length) {
    const std::string_view whole(piece_.data(), length);
    const bool stop = lower ? sink(LowerStr(whole)) : sink(whole);
    piece_.erase(0, length);
    return stop;
  };
  for (size_t done = 0; done < limit;) {
    const ssize_t n = file.Read(chunk_.data(), std::min(chunk_.size(), limit - done));
    if (n < 0) return Outcome::Failed;
    if (n == 0) break;
    done += static_cast<size_t>(n);
    lines.Feed(std::string_view(chunk_.data(), static_cast<size_t>(n)), piece_);
    if (pass(WholeChars(piece_))) return Outcome::Stopped;
  }
  lines.Finish(piece_);
  return pass(piece_.size()) ? Outcome::Stopped : Outcome::Ended;
}

const std::string& TContentReader::ReadWhole(const std::string& diskPath, bool lower,
                                             size_t limit) {
  text_.clear();
  const Outcome outcome = Stream(diskPath, lower, limit, [this](std::string_view piece) {
    text_.append(piece);
    return false;
  });
  if (outcome == Outcome::Failed) text_.clear();
  return text_;
}

bool TContentReader::Contains(const std::string& diskPath, std::string_view key, bool lower) {
  if (key.empty()) return false;
  // A match that straddles two reads is found in the window: the text after
  // the last search keeps the key's length less one byte from before,
  // starting on a character boundary, so the characters line up as they do
  // in the whole text.
  window_.clear();
  const Outcome outcome = Stream(diskPath, lower, SIZE_MAX, [&](std::string_view piece) {
    window_.append(piece);
    // Every match by characters is a match of the bytes; most texts have none.
    if (window_.find(key) != std::string::npos && PosFrom(key, window_, 1) != 0) return true;
    const size_t keep = key.size() - 1;
    window_.erase(0, BoundaryAtOrBefore(window_, window_.size() - std::min(keep, window_.size())));
    return false;
  });
  return outcome == Outcome::Stopped;
}

}  // namespace tonbo
