#pragma once
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

}  // namespace tonbo::test
