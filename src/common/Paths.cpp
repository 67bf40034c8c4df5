#include "common/Paths.h"

#include <unistd.h>

namespace tonbo {
namespace {
size_t NameStart(std::string_view path) {
  size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? 0 : slash + 1;
}
// Position of the extension's dot inside path, or npos.
size_t ExtStart(std::string_view path) {
  size_t start = NameStart(path);
  size_t dot = path.rfind('.');
  return (dot == std::string_view::npos || dot < start) ? std::string_view::npos : dot;
}
}  // namespace

std::string ExtractFilePath(std::string_view path) {
  return std::string(path.substr(0, NameStart(path)));
}

std::string ExtractFileName(std::string_view path) {
  return std::string(path.substr(NameStart(path)));
}

std::string ExtractFileExt(std::string_view path) {
  size_t dot = ExtStart(path);
  return dot == std::string_view::npos ? std::string() : std::string(path.substr(dot));
}

std::string ExtractFileBase(std::string_view path) {
  size_t start = NameStart(path);
  size_t dot = ExtStart(path);
  return std::string(path.substr(start, dot == std::string_view::npos ? dot : dot - start));
}

std::string ChangeFileExt(std::string_view path, std::string_view ext) {
  size_t dot = ExtStart(path);
  std::string out(path.substr(0, dot == std::string_view::npos ? path.size() : dot));
  out += ext;
  return out;
}

std::string IncludeTrailingSlash(std::string_view dir) {
  std::string out(dir);
  if (out.empty() || out.back() != '/') out += '/';
  return out;
}

std::string AbsolutePath(const std::string& path) {
  std::string full = path;
  if (full.empty() || full[0] != '/') {
    char cwd[4096];
    if (getcwd(cwd, sizeof cwd)) full = IncludeTrailingSlash(cwd) + path;
  }
  std::string out;
  for (size_t start = 0; start < full.size();) {
    size_t end = full.find('/', start);
    if (end == std::string::npos) end = full.size();
    const std::string_view part = std::string_view(full).substr(start, end - start);
    if (!part.empty() && part != ".") out.append("/").append(part);
    start = end + 1;
  }
  return out.empty() ? "/" : out;
}

std::string LowerAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 0x20);
  return out;
}

}  // namespace tonbo
