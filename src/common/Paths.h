#pragma once
// Path pieces on "/" paths, for code page 932 and disk bytes alike ("/" and
// "." can never be the second byte of a double-byte character).
#include <string>
#include <string_view>

namespace tonbo {

// Folder part with its trailing "/" ("" when there is none).
std::string ExtractFilePath(std::string_view path);
// Name part after the last "/".
std::string ExtractFileName(std::string_view path);
// Extension of the name part at its last dot, dot included ("" when none).
std::string ExtractFileExt(std::string_view path);
// Name part without its extension.
std::string ExtractFileBase(std::string_view path);
// Path with the extension of its name part replaced (ext includes the dot).
std::string ChangeFileExt(std::string_view path, std::string_view ext);
// Adds a trailing "/" when missing.
std::string IncludeTrailingSlash(std::string_view dir);

// A path made absolute against the working folder, without "." parts and
// doubled "/" (outside paths: the command line, drops).
std::string AbsolutePath(const std::string& path);

// Lowers the letters A-Z byte by byte (for extension lookups).
std::string LowerAscii(std::string_view text);

}  // namespace tonbo
