#pragma once
// The inode of every regular file of one folder, and the kind of every
// entry, read with one listing instead of one stat per file: a large run
// learns which file each row stands for at the cost of a few directory reads.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tonbo::platform {

class FolderInodes {
 public:
  // Whether listing dir (a path ending in "/") is worth it for `rows`
  // entries of it and can be trusted: only on file systems whose listing
  // reports the inode that stat reports, and only when the folder is not
  // much larger than the rows wanted from it.
  static bool Worthwhile(const std::string& dir, int rows);

  // Reads the folder; false when it cannot be read (nothing is known then).
  bool Read(const std::string& dir);
  // The device of the folder, and the inode of a regular file named `name`
  // in it; 0 when the listing has no regular file of that name.
  std::uint64_t Device() const { return dev_; }
  std::uint64_t InodeOf(std::string_view name) const;
  // The kind of entry named `name` as the listing gives it (DT_REG, DT_DIR,
  // DT_LNK, DT_UNKNOWN...), or -1 when the folder held no such name.
  int TypeOf(std::string_view name) const;

 private:
  struct Entry {
    std::uint32_t offset;
    std::uint16_t length;  // a name is at most 255 bytes
    std::uint8_t type;
    std::uint64_t ino;
  };
  std::string_view NameOf(const Entry& e) const { return {names_.data() + e.offset, e.length}; }
  const Entry* Find(std::string_view name) const;
  void BuildSlots();

  std::uint64_t dev_ = 0;
  std::string names_;  // every name, one after another
  std::vector<Entry> entries_;
  // Open addressing over entries_: index + 1, 0 for an empty slot.
  std::vector<std::uint32_t> slots_;
};

}  // namespace tonbo::platform
