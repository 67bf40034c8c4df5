#include "common/Folders.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "common/Sjis.h"

namespace tonbo {
namespace {

std::string g_exeDirOverride;

std::string WithSlash(std::string dir) {
  if (dir.empty() || dir.back() != '/') dir += '/';
  return dir;
}

bool IsDir(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// $VAR when set and absolute, else $HOME + fallback.
std::string XdgDir(const char* var, const char* homeRelative) {
  const char* v = std::getenv(var);
  if (v && v[0] == '/') return WithSlash(v);
  const char* home = std::getenv("HOME");
  return WithSlash(std::string(home ? home : "") + homeRelative);
}

}  // namespace

std::string ExecutableDirDisk() {
  if (!g_exeDirOverride.empty()) return g_exeDirOverride;
  std::string buf(4096, '\0');
  ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size());
  if (n <= 0) return "./";
  buf.resize(static_cast<size_t>(n));
  return buf.substr(0, buf.rfind('/') + 1);
}

void OverrideExecutableDir(const std::string& diskDir) { g_exeDirOverride = WithSlash(diskDir); }

bool IsPortable() {
  std::string ini = ExecutableDirDisk() + "tonbo.ini";
  return access(ini.c_str(), W_OK) == 0;
}

std::string ProgramDirDisk() {
  std::string exe = ExecutableDirDisk();
  if (IsDir(exe + "doc")) return exe;
  return exe + "../share/tonbo/";
}

std::string ProgramFolder() {
  std::string out;
  enc::DiskToSjis(ProgramDirDisk(), out);
  return out;
}

std::string WindowsDir() { return "/usr/"; }

std::string ConfigDirDisk() {
  if (IsPortable()) return ExecutableDirDisk();
  return XdgDir("XDG_CONFIG_HOME", "/.config") + "tonbo/";
}

std::string SettingsPathDisk() { return ConfigDirDisk() + "tonbo.ini"; }

std::string StateDirDisk() {
  if (IsPortable()) return ProgramDirDisk();
  return XdgDir("XDG_STATE_HOME", "/.local/state") + "tonbo/";
}

std::string CacheDirDisk() {
  if (IsPortable()) return ProgramDirDisk();
  return XdgDir("XDG_CACHE_HOME", "/.cache") + "tonbo/";
}

bool MakeDirs(const std::string& diskDir) {
  if (diskDir.empty()) return false;
  std::string path;
  size_t pos = 0;
  while (pos != std::string::npos) {
    pos = diskDir.find('/', pos + 1);
    path = diskDir.substr(0, pos);
    if (path.empty()) continue;
    if (mkdir(path.c_str(), 0755) != 0 && errno != EEXIST) return false;
  }
  return IsDir(diskDir);
}

}  // namespace tonbo
