#include "platform/FolderInodes.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <cstdint>
#include <functional>

namespace tonbo::platform {
namespace {

// File systems whose directory entries carry the same inode number as the
// file's own stat. Overlay and network file systems may not, so they are
// left to one stat per file.
bool ListingMatchesStat(long type) {
  switch (static_cast<unsigned long>(type)) {
    case 0xEF53UL:      // ext2, ext3, ext4
    case 0x58465342UL:  // xfs
    case 0x9123683EUL:  // btrfs
    case 0x01021994UL:  // tmpfs
    case 0xF2F52010UL:  // f2fs
      return true;
    default:
      return false;
  }
}

// A directory entry takes roughly this many bytes of the folder's size.
constexpr long long kBytesPerEntry = 32;
// Listing reads every entry; it pays while the folder holds at most this
// many entries for each row wanted from it.
constexpr long long kEntriesPerRow = 16;
constexpr int kFewestRows = 64;

}  // namespace

bool FolderInodes::Worthwhile(const std::string& dir, int rows) {
  if (rows < kFewestRows) return false;
  struct statfs fs {};
  struct stat st {};
  if (statfs(dir.c_str(), &fs) != 0 || !ListingMatchesStat(fs.f_type)) return false;
  if (stat(dir.c_str(), &st) != 0) return false;
  return st.st_size / kBytesPerEntry <= rows * kEntriesPerRow;
}

bool FolderInodes::Read(const std::string& dir) {
  names_.clear();
  entries_.clear();
  DIR* d = opendir(dir.c_str());
  if (!d) return false;
  struct stat st {};
  if (fstat(dirfd(d), &st) != 0) {
    closedir(d);
    return false;
  }
  dev_ = static_cast<std::uint64_t>(st.st_dev);
  while (const dirent* e = readdir(d)) {
    const std::string_view name(e->d_name);
    if (name == "." || name == "..") continue;
    if (names_.size() + name.size() > UINT32_MAX || name.size() > UINT16_MAX) {
      closedir(d);
      entries_.clear();
      return false;
    }
    entries_.push_back({static_cast<std::uint32_t>(names_.size()),
                        static_cast<std::uint16_t>(name.size()), e->d_type,
                        static_cast<std::uint64_t>(e->d_ino)});
    names_.append(name);
  }
  closedir(d);
  BuildSlots();
  return true;
}

void FolderInodes::BuildSlots() {
  size_t size = 16;
  while (size < entries_.size() * 2) size *= 2;
  slots_.assign(size, 0);
  const size_t mask = size - 1;
  for (size_t i = 0; i < entries_.size(); ++i) {
    size_t at = std::hash<std::string_view>()(NameOf(entries_[i])) & mask;
    while (slots_[at] != 0) at = (at + 1) & mask;
    slots_[at] = static_cast<std::uint32_t>(i + 1);
  }
}

const FolderInodes::Entry* FolderInodes::Find(std::string_view name) const {
  if (slots_.empty()) return nullptr;
  const size_t mask = slots_.size() - 1;
  for (size_t at = std::hash<std::string_view>()(name) & mask; slots_[at] != 0;
       at = (at + 1) & mask) {
    const Entry& e = entries_[slots_[at] - 1];
    if (NameOf(e) == name) return &e;
  }
  return nullptr;
}

// Other kinds (and DT_UNKNOWN) get their own stat.
std::uint64_t FolderInodes::InodeOf(std::string_view name) const {
  const Entry* e = Find(name);
  return e && e->type == DT_REG ? e->ino : 0;
}

int FolderInodes::TypeOf(std::string_view name) const {
  const Entry* e = Find(name);
  return e ? e->type : -1;
}

}  // namespace tonbo::platform
