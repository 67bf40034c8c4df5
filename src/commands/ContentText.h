#pragma once
// A listed file's contents as selection by condition tests them: the file's
// lines, each followed by CR LF (a CR, an LF or a CR LF ends a line; NUL and
// every other byte stay as they are), lower-cased with LowerStr when case is
// ignored. A file that cannot be opened or read, or is no regular file (a
// folder, a pipe, a device), gives the empty text.
//
// A plain key is looked for in the file's bytes as they are (TContentKey),
// a large read at a time, without making the text; masks and regular
// expressions get the whole text. One reader serves one thread; its buffers
// are kept from file to file.
#include <sys/types.h>

#include <cstddef>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "commands/ContentKey.h"

namespace tonbo {

namespace enc {
class SjisCodec;
}

// Readers on several threads take turns on a rotating disk, where reading
// two files at once only makes the head jump; other storage is read by all
// of them at once.
class DiskGate {
 public:
  // What one reader learnt of the device it read last: the readers do not
  // meet on the gate's lock for every file.
  struct Known {
    dev_t device = 0;
    bool valid = false;
    bool rotating = false;
  };
  std::unique_lock<std::mutex> Enter(dev_t device, Known& known);

 private:
  bool Rotating(dev_t device);
  std::mutex lookup_;
  std::map<dev_t, bool> rotating_;
  std::mutex turn_;
};

class TContentReader {
 public:
  static constexpr size_t kChunkSize = size_t{256} << 10;
  // Masks and regular expressions need the whole text at once; they see at
  // most this many bytes of a file, as if it ended there, so a disk image in
  // the list cannot exhaust the memory.
  static constexpr size_t kWholeLimit = size_t{64} << 20;

  explicit TContentReader(size_t chunkSize = kChunkSize, DiskGate* gate = nullptr);

  // The tested text of the file from its first `limit` bytes. With `utf8`
  // given, bytes that are well-formed UTF-8 (a character cut at the limit
  // aside) are first converted to code page 932 through that codec, a byte
  // order mark dropped; WasUtf8() then tells so. Valid until the next call.
  const std::string& ReadWhole(const std::string& diskPath, bool lower, size_t limit = kWholeLimit,
                               enc::SjisCodec* utf8 = nullptr);
  bool WasUtf8() const { return wasUtf8_; }

  // Whether the key occurs in the file (TContentKey), which is searched to
  // its end whatever its size; reading stops at the first occurrence.
  bool Contains(const std::string& diskPath, const TContentKey& key);
  // The same for a key in code page 932 (lower-cased when lower).
  bool Contains(const std::string& diskPath, std::string_view key, bool lower);

  // A file as the system is given it: a name in an open folder.
  struct Where {
    int dirFd;
    const char* name;
  };
  class Source;  // a file being read (ContentText.cpp)

 private:
  bool Search(Source& source, const TContentKey& key);

  size_t chunk_;
  DiskGate* gate_;
  DiskGate::Known known_;
  // The folder of the last file read, kept open: files are opened relative
  // to it, as most rows of a list share a folder with the row before.
  struct Folder {
    std::string path;  // disk bytes, with its "/"
    int fd = -1;
    // A copy of the reader opens its own.
    Folder() = default;
    Folder(const Folder&) {}
    Folder& operator=(const Folder&) {
      Reset();
      return *this;
    }
    ~Folder() { Reset(); }
    void Reset();
  } folder_;
  Where Locate(const std::string& diskPath);
  std::vector<unsigned char> window_;   // the bytes searched, and those kept for the next read
  std::vector<unsigned char> scratch_;  // their folded form
  std::string raw_;                     // ReadWhole: the file's bytes
  std::string converted_;               // ReadWhole: UTF-8 bytes in code page 932
  std::string text_;                    // ReadWhole's result
  bool wasUtf8_ = false;
};

// Converts well-formed UTF-8 to code page 932 through codec.
void Utf8ToSjis(enc::SjisCodec& codec, std::string_view utf8, std::string& out);

}  // namespace tonbo
