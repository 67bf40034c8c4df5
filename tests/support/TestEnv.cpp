#include "TestEnv.h"

#include <dirent.h>
#include <fcntl.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace tonbo::test {
namespace {
std::string g_root;
int g_counter = 0;
pid_t g_owner = 0;

// The sandbox goes when the test program that made it ends (not when a
// forked child does); TONBO_KEEP_SANDBOX keeps it for a look afterwards.
void RemoveSandbox() {
  if (getpid() == g_owner && !std::getenv("TONBO_KEEP_SANDBOX")) RemoveTree(g_root);
}

void MakeDir(const std::string& path) {
  if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
    throw std::runtime_error("cannot create " + path);
}
}  // namespace

void PrepareEnvironment() {
  if (!g_root.empty()) return;
  const char* base = std::getenv("TMPDIR");
  std::string tmpl = std::string(base && *base ? base : "/tmp") + "/tonbo-test-XXXXXX";
  if (!mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
  g_root = tmpl;
  g_owner = getpid();
  std::atexit(RemoveSandbox);
  const char* dirs[][2] = {{"HOME", "/home"},
                           {"XDG_CONFIG_HOME", "/home/.config"},
                           {"XDG_DATA_HOME", "/home/.local/share"},
                           {"XDG_STATE_HOME", "/home/.local/state"},
                           {"XDG_CACHE_HOME", "/home/.cache"},
                           {"XDG_RUNTIME_DIR", "/run"}};
  MakeDir(g_root + "/home");
  MakeDir(g_root + "/home/.config");
  MakeDir(g_root + "/home/.local");
  MakeDir(g_root + "/home/.local/share");
  MakeDir(g_root + "/home/.local/state");
  MakeDir(g_root + "/home/.cache");
  MakeDir(g_root + "/run");
  for (auto& d : dirs) setenv(d[0], (g_root + d[1]).c_str(), 1);
  // Desktop programs a test might start by mistake do nothing here.
  MakeDir(g_root + "/bin");
  for (const char* tool : {"xdg-open", "x-terminal-emulator", "gio"}) {
    std::string path = g_root + "/bin/" + tool;
    WriteFile(path, "#!/bin/sh\nexit 0\n");
    chmod(path.c_str(), 0755);
  }
  const char* oldPath = std::getenv("PATH");
  setenv("PATH", (g_root + "/bin:" + (oldPath ? oldPath : "/usr/bin:/bin")).c_str(), 1);
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  setenv("LANG", "C.UTF-8", 1);
  unsetenv("LC_ALL");
  unsetenv("LANGUAGE");
}

const std::string& SandboxRoot() {
  PrepareEnvironment();
  return g_root;
}

std::string MakeTempDir(const std::string& hint) {
  std::string dir = SandboxRoot() + "/" + hint + std::to_string(++g_counter);
  MakeDir(dir);
  return dir + "/";
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  if (!f) throw std::runtime_error("cannot write " + path);
  f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  if (!f) throw std::runtime_error("cannot read " + path);
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

std::map<std::string, std::string> FolderFiles(const std::string& dir) {
  std::map<std::string, std::string> out;
  if (DIR* d = opendir(dir.c_str())) {
    while (const dirent* e = readdir(d)) {
      const std::string n = e->d_name;
      if (n != "." && n != "..") out[n] = ReadFile(dir + n);
    }
    closedir(d);
  }
  return out;
}

void RemoveTree(const std::string& dir) {
  // Folders a test made read-only are opened up first, so nothing is left.
  nftw(
      dir.c_str(),
      [](const char* path, const struct stat* st, int type, struct FTW*) {
        if (type == FTW_D || type == FTW_DNR) chmod(path, (st->st_mode & 07777) | 0700);
        return 0;
      },
      64, FTW_PHYS);
  nftw(
      dir.c_str(),
      [](const char* path, const struct stat*, int, struct FTW*) { return remove(path); }, 64,
      FTW_DEPTH | FTW_PHYS);
}

FifoTrap::FifoTrap(std::string path) : path_(std::move(path)) {
  if (mkfifo(path_.c_str(), 0600) != 0) throw std::runtime_error("cannot create " + path_);
  watcher_ = std::thread([this] {
    for (int waited = 0; !stop_; waited += 10) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      const int fd = waited < 2000 ? -1 : open(path_.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
      if (fd < 0) continue;
      caught_ = true;
      close(fd);
    }
  });
}

FifoTrap::~FifoTrap() {
  stop_ = true;
  watcher_.join();
}

}  // namespace tonbo::test
