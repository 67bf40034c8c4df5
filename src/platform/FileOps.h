#pragma once
// File operations on raw disk paths (bytes as the OS takes them, possibly not
// UTF-8). Failures are returned as values: an errno, and for the operations
// that go through GIO or several steps also a short UTF-8 message.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace tonbo::platform {

// Which file an entry is (device and inode), with the size and modification
// time that tell whether it was written since, and the birth time that tells
// a file from a later one given the same inode (0 where the file system keeps
// none). ino 0: no such entry.
struct FileId {
  std::uint64_t dev = 0, ino = 0;
  std::int64_t size = 0, mtimeNs = 0;
  std::int64_t btimeNs = 0;
  bool Exists() const { return ino != 0; }
  bool SameFile(const FileId& o) const { return dev == o.dev && ino == o.ino && ino != 0; }
  // Born at the same time, where both times are known.
  bool SameBirth(const FileId& o) const {
    return btimeNs == 0 || o.btimeNs == 0 || btimeNs == o.btimeNs;
  }
  bool Unchanged(const FileId& o) const {
    return SameFile(o) && size == o.size && mtimeNs == o.mtimeNs && SameBirth(o);
  }
};

// The entry itself (statx without following a link); a zero FileId when it
// is missing.
FileId IdentityOf(const std::string& path);

// Renames a file or folder unless another entry already has the target name
// (then EEXIST and both stay as they were). A change of letter case only, on
// the same file, is allowed. Returns 0 or an errno.
int RenameNoReplace(const std::string& from, const std::string& to);

// An open folder that renames of its entries go through, so the folder's
// path is not walked again for every file of a large run. The folder opened
// is the last one asked for.
class FolderHandle {
 public:
  FolderHandle() = default;
  ~FolderHandle() { Close(); }
  FolderHandle(const FolderHandle&) = delete;
  FolderHandle& operator=(const FolderHandle&) = delete;

  // RenameNoReplace(dir + from, dir + to) for two names in folder dir (a
  // path ending in "/"). Returns 0 or an errno.
  int RenameNoReplaceIn(std::string_view dir, const char* from, const char* to);
  // IdentityOf(dir + name), through the open folder.
  FileId IdentityIn(std::string_view dir, const char* name);
  void Close();

 private:
  bool Open(std::string_view dir);

  std::string dir_;
  int fd_ = -1;
};

// The way RenameNoReplace goes on file systems that refuse the atomic
// no-replace flag: link() + unlink() for files, a checked rename() for
// folders and for file systems without hard links. Returns 0 or an errno.
int RenameByLink(const std::string& from, const std::string& to);

// Moves a file or folder to the desktop trash. A missing file, or a file
// system without a usable trash, is a failure: non-zero (an errno) and the
// reason in *message. Never falls back to deleting or moving elsewhere.
int MoveToTrash(const std::string& path, std::string* message);

// Puts a file trashed from originalPath back there: the newest entry of the
// desktop trash (the home trash, or the .Trash-$uid / .Trash/$uid folder of
// the file's volume) whose recorded path is originalPath and, when id names
// a file, that is this file. Never replaces an entry at originalPath.
// Returns 0 or an errno (ENOENT: no such entry in the trash).
int RestoreFromTrash(const std::string& originalPath, const FileId& id);

// The same for many files: each trash folder's entries are read once, so
// putting back a thousand files does not read the whole trash a thousand
// times. Entries trashed after the first Restore are not seen.
class TrashRestorer {
 public:
  TrashRestorer();
  ~TrashRestorer();
  TrashRestorer(const TrashRestorer&) = delete;
  TrashRestorer& operator=(const TrashRestorer&) = delete;
  int Restore(const std::string& originalPath, const FileId& id);
  // The trash holds the file trashed from originalPath (what Restore would
  // take back), without taking it.
  bool Holds(const std::string& originalPath, const FileId& id);

 private:
  struct Index;
  std::unique_ptr<Index> index_;
  struct Found;
  Found Find(const std::string& originalPath, const FileId& id);
};

// Copies a file over `to` (replacing it), keeping the source's permission
// bits and modification time. The bytes go to a temporary file in the target
// folder first, so a failed copy leaves any existing target untouched.
// Returns 0 or an errno, with the failing step in *message.
int CopyFileReplace(const std::string& from, const std::string& to, std::string* message);

// The same for a name no entry has: the finished copy takes the name without
// replacing anything (EEXIST when an entry appeared meanwhile). The copy is
// an unnamed file until then where the file system allows, else a temporary
// one. Not flushed to disk first, as no older file is at stake.
int CopyFileNew(const std::string& from, const std::string& to, std::string* message);

// Removes one file (unlink). Returns 0 or an errno.
int DeleteFileNow(const std::string& path);

// An entry of that name exists and is not a folder. Looks at the entry itself
// (lstat): a symbolic link, even a dangling one or one to a folder, counts,
// because renaming it renames the link.
bool FileExists(const std::string& path);

// A folder exists there; follows symbolic links (stat), so a link to a folder
// given by the user is taken as that folder.
bool DirectoryExists(const std::string& path);

// A short Japanese text for an errno value (ErrnoReason) or kNotRegularFile.
std::string ErrorText(int errnum);

}  // namespace tonbo::platform
