#pragma once
// Runs the real tonbo-cli as a child process in the tests' sandbox (it
// inherits HOME and the XDG folders) on files in a temporary folder.
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <map>
#include <string>
#include <vector>

#include "TestEnv.h"

namespace tonbo::test {

struct CliRun {
  int code = -1;
  std::string out, err;
};

// env: extra NAME=VALUE settings for the child. Times are read in UTC.
inline CliRun RunTonboCli(const std::vector<std::string>& args,
                          const std::vector<std::string>& env = {}) {
  const std::string io = MakeTempDir("io");
  std::vector<char*> argv{const_cast<char*>(TONBO_CLI_PATH)};
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    setenv("TZ", "UTC", 1);
    for (const std::string& e : env) putenv(const_cast<char*>(e.c_str()));
    dup2(open((io + "out").c_str(), O_WRONLY | O_CREAT, 0600), 1);
    dup2(open((io + "err").c_str(), O_WRONLY | O_CREAT, 0600), 2);
    execv(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(io + "out"), ReadFile(io + "err")};
}

// A temporary folder of files and what the command line makes of it.
class CliFolder : public ::testing::Test {
 protected:
  std::string dir_ = MakeTempDir("cli");

  void File(const std::string& name, const std::string& content = "x", time_t mtime = 1700000000) {
    if (size_t slash = name.rfind('/'); slash != std::string::npos)
      mkdir((dir_ + name.substr(0, slash)).c_str(), 0700);
    WriteFile(dir_ + name, content);
    struct timespec times[2] = {{mtime, 0}, {mtime, 0}};
    utimensat(AT_FDCWD, (dir_ + name).c_str(), times, 0);
  }
  // Name -> content of every file of the folder (one level).
  std::map<std::string, std::string> Disk() const {
    std::map<std::string, std::string> out;
    DIR* d = opendir(dir_.c_str());
    while (dirent* e = readdir(d)) {
      const std::string n = e->d_name;
      if (n != "." && n != ".." && e->d_type == DT_REG) out[n] = ReadFile(dir_ + n);
    }
    closedir(d);
    return out;
  }
  // The table's rows as "new name + extension", in table order; the path
  // column must name a file of this folder.
  std::vector<std::string> NewNames(const CliRun& run) const {
    std::vector<std::string> names;
    for (size_t at = 0; at < run.out.size();) {
      const size_t end = run.out.find("\r\n", at);
      const std::string line = run.out.substr(at, end - at);
      const size_t c1 = line.find(','), c2 = line.find(',', c1 + 1);
      EXPECT_EQ(line.substr(c2 + 1, dir_.size()), dir_) << line;
      names.push_back(line.substr(0, c1) + line.substr(c1 + 1, c2 - c1 - 1));
      at = end + 2;
    }
    return names;
  }
};

}  // namespace tonbo::test
