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

// Name -> bytes of every entry directly in a folder ("(fifo)" for a FIFO):
// the manifest a test compares before and after touching real files.
std::map<std::string, std::string> FolderFiles(const std::string& dir);
// Removes a folder and everything below it (links are removed, not followed).
void RemoveTree(const std::string& dir);

// A FIFO for code that must never wait on one. From the deadline on, it
// opens the FIFO for writing whenever a reader holds it, which lets a reader
// stuck in open() go on, and records it: a hang becomes a failed check
// instead of a test that never ends.
class FifoTrap {
 public:
  explicit FifoTrap(std::string path, int deadlineMs = 2000);
  ~FifoTrap();
  FifoTrap(const FifoTrap&) = delete;
  FifoTrap& operator=(const FifoTrap&) = delete;
  bool Caught() const { return caught_; }

 private:
  std::string path_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> caught_{false};
  std::thread watcher_;
};

}  // namespace tonbo::test
