#pragma once
// File operations on raw disk paths (bytes as the OS takes them, possibly not
// UTF-8). Failures are returned as values: an errno, and for the operations
// that go through GIO or several steps also a short UTF-8 message.
#include <string>
#include <string_view>

namespace tonbo::platform {

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
  void Close();

 private:
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

// Copies a file over `to` (replacing it), keeping the source's permission
// bits and modification time. The bytes go to a temporary file in the target
// folder first, so a failed copy leaves any existing target untouched.
// Returns 0 or an errno, with the failing step in *message.
int CopyFileReplace(const std::string& from, const std::string& to, std::string* message);

// Removes one file (unlink). Returns 0 or an errno.
int DeleteFileNow(const std::string& path);

// An entry of that name exists and is not a folder. Looks at the entry itself
// (lstat): a symbolic link, even a dangling one or one to a folder, counts,
// because renaming it renames the link.
bool FileExists(const std::string& path);

// A folder exists there; follows symbolic links (stat), so a link to a folder
// given by the user is taken as that folder.
bool DirectoryExists(const std::string& path);

// A short human-readable text for an errno value.
std::string ErrorText(int errnum);

}  // namespace tonbo::platform
