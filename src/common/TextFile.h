#pragma once
// Whole text files in code page 932 with CR LF line ends.
#include <cstdint>
#include <string>
#include <string_view>

namespace tonbo {

// Splits text into lines at CR LF, CR or LF and writes each followed by CR LF,
// replacing the file (the old file stays intact when the write fails).
bool SaveTextFile(const std::string& diskPath, std::string_view text);
// The file's lines, each followed by CR LF; false (text unchanged) when unreadable.
bool LoadTextFile(const std::string& diskPath, std::string& text);

// What a whole-file read takes at most unless the caller says otherwise.
inline constexpr std::uint64_t kReadWholeLimit = std::uint64_t{64} << 20;

// Raw whole-file access for the above and their friends. Only a regular file
// is read (OpenFileToRead), and only up to maxBytes: a larger one fails with
// EFBIG, without being read.
bool ReadWholeFile(const std::string& diskPath, std::string& bytes, int* errnum = nullptr,
                   std::uint64_t maxBytes = kReadWholeLimit);
// Writes through a temporary file in the same folder, then renames it into place.
bool WriteFileAtomic(const std::string& diskPath, std::string_view bytes, int* errnum = nullptr);

// Normalises line ends: every line followed by CR LF.
std::string ToCrLfLines(std::string_view text);

}  // namespace tonbo
