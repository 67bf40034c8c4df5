#pragma once
// The data behind the hexadecimal view: a file mapped into memory read-only,
// so a file of any size opens at once and only the pages shown are read, and
// the text column of each line in one of five character sets.
#include <cstdint>
#include <string>
#include <vector>

namespace tonbo::preview {

class MappedFile {
 public:
  MappedFile() = default;
  ~MappedFile() { Close(); }
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;

  // Maps the file; false (and empty) when it cannot be opened or mapped.
  bool Open(const std::string& diskPath);
  void Close();
  uint64_t Size() const { return size_; }
  // The bytes from `offset`, at most `count` of them; fewer at the end.
  const uint8_t* Data() const { return data_; }
  std::vector<uint8_t> Read(uint64_t offset, size_t count) const;

 private:
  const uint8_t* data_ = nullptr;
  uint64_t size_ = 0;
};

enum class CharSet { Ascii = 0, ShiftJis = 1, Jis = 2, Euc = 3, Unicode = 4 };

// The characters of the text column for `bytes`, one UTF-8 cell per byte:
// a double-byte character stands in the cell of its first byte and its
// second byte's cell is empty; bytes that show nothing readable are ".".
// `before` is the data just ahead of the line (up to 16 bytes), so that a
// character split by the line start and JIS shift states come out right;
// `after` the data just behind it. A character split by the line end stands
// in its first byte's cell, at the end of the line, where it has room: the
// next line's first cell stays empty, as every second byte's.
std::vector<std::string> TextCells(const std::vector<uint8_t>& before,
                                   const std::vector<uint8_t>& bytes, CharSet set,
                                   const std::vector<uint8_t>& after = {});

// "00000010" and "41 42 ..." parts of a line.
std::string OffsetText(uint64_t offset);
std::string HexText(const std::vector<uint8_t>& bytes);

}  // namespace tonbo::preview
