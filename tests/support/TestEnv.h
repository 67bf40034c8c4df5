#pragma once
#include <map>
#include <string>

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

}  // namespace tonbo::test
