#pragma once
// A listed file's contents as selection by condition tests them: the file's
// lines, each followed by CR LF (a CR, an LF or a CR LF ends a line; NUL and
// every other byte stay as they are), lower-cased with LowerStr when case is
// ignored. A file that cannot be opened or read, or is no regular file (a
// folder, a pipe, a device), gives the empty text.
//
// One file is in memory at a time, read in chunks into buffers that are kept
// from file to file.
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tonbo {

class TContentReader {
 public:
  static constexpr size_t kChunkSize = size_t{1} << 20;
  // Masks and regular expressions need the whole text at once; they see at
  // most this many bytes of a file, as if it ended there, so a disk image in
  // the list cannot exhaust the memory.
  static constexpr size_t kWholeLimit = size_t{64} << 20;

  explicit TContentReader(size_t chunkSize = kChunkSize);

  // The tested text of the file from its first `limit` bytes. Valid until the
  // next call.
  const std::string& ReadWhole(const std::string& diskPath, bool lower, size_t limit = kWholeLimit);

  // Whether key (already lower-cased when lower) occurs in the tested text as
  // PosFrom finds it, by characters. The file is searched to its end whatever
  // its size, a chunk at a time, and reading stops at the first occurrence.
  // An empty key never occurs.
  bool Contains(const std::string& diskPath, std::string_view key, bool lower);

 private:
  enum class Outcome { Stopped, Ended, Failed };
  // Hands the tested text to sink in pieces that end on character
  // boundaries; sink returns true to stop reading.
  using Sink = std::function<bool(std::string_view piece)>;
  Outcome Stream(const std::string& diskPath, bool lower, size_t limit, const Sink& sink);

  std::vector<char> chunk_;  // raw bytes of one read
  std::string piece_;        // their text; a lead byte at its end waits for the next read
  std::string text_;         // ReadWhole's result
  std::string window_;       // Contains: the text not yet searched, and the overlap
};

}  // namespace tonbo
