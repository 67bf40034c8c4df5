#pragma once
#include <atomic>
#include <map>
#include <string>
#include <thread>

namespace tonbo::test {

// Points HOME, the XDG folders and the runtime folder at a fresh temporary
// tree and selects the offscreen platform, so no test touches a real
// settings file, trash or display. Call before any Qt object exists.
void PrepareEnvironment();

// Root of the temporary tree made by PrepareEnvironment().
const std::string& SandboxRoot();

// A new empty folder inside the sandbox, with a trailing "/".
std::string MakeTempDir(const std::string& hint = "t");

// Writes bytes to a file; throws std::runtime_error on failure.
void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);

// Name -> bytes of every entry directly in a folder: the manifest a test
// compares before and after touching real files.
std::map<std::string, std::string> FolderFiles(const std::string& dir);
// Removes a folder and everything below it (links are removed, not followed).
void RemoveTree(const std::string& dir);

// A FIFO no code may wait on: from two seconds on it opens it for writing whenever a
// reader holds it (a stuck reader goes on) and records that, so a hang fails.
class FifoTrap {
 public:
  explicit FifoTrap(std::string path);
  ~FifoTrap();
  bool Caught() const { return caught_; }

 private:
  std::string path_;
  std::atomic<bool> stop_{false}, caught_{false};
  std::thread watcher_;
};

}  // namespace tonbo::test
