#pragma once
// Helpers of the command-line benches: each contender is a whole process (or
// a timed loop), run side by side with the others, the order rotated every
// round so that none always runs on a cache the one before it warmed.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include "TestEnv.h"

namespace tonbo::bench {

using Clock = std::chrono::steady_clock;

struct Measure {
  double seconds = 0;
  long peakKb = 0;
  bool ok = false;
  double cpu = 0;  // user and system time, less disturbed by other work than the wall clock
};

inline double CpuSeconds(const struct rusage& u) {
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// Runs argv in dir; standard output goes to `out` (or nowhere), standard
// error to `err` (or nowhere). Time and peak memory from wait4.
inline Measure RunProcess(const std::string& dir, const std::vector<std::string>& args,
                          std::string* out = nullptr, std::string* err = nullptr) {
  const std::string io = out || err ? test::MakeTempDir("io") : std::string();
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  const auto start = Clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    if (chdir(dir.c_str()) != 0) _exit(127);
    const int null = open("/dev/null", O_WRONLY);
    dup2(out ? open((io + "out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600) : null, 1);
    dup2(err ? open((io + "err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600) : null, 2);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  struct rusage usage {};
  wait4(pid, &status, 0, &usage);
  Measure m;
  m.seconds = std::chrono::duration<double>(Clock::now() - start).count();
  m.peakKb = usage.ru_maxrss;
  m.cpu = CpuSeconds(usage);
  m.ok = WIFEXITED(status) && WEXITSTATUS(status) <= 1;  // grep: 1 is "nothing found"
  if (out) *out = test::ReadFile(io + "out");
  if (err) *err = test::ReadFile(io + "err");
  return m;
}

inline double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty()      ? 0
         : v.size() % 2 ? v[v.size() / 2]
                        : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

inline double Best(const std::vector<double>& v) {
  return v.empty() ? 0 : *std::min_element(v.begin(), v.end());
}

inline double Worst(const std::vector<double>& v) {
  return v.empty() ? 0 : *std::max_element(v.begin(), v.end());
}

inline bool OnPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "/usr/bin:/bin";
  for (size_t start = 0; start <= dirs.size();) {
    size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    if (access((dirs.substr(start, end - start) + "/" + program).c_str(), X_OK) == 0) return true;
    start = end + 1;
  }
  return false;
}

// The contenders' indices in the order of round r: rotated by r.
inline std::vector<size_t> RoundOrder(size_t contenders, int round) {
  std::vector<size_t> order(contenders);
  for (size_t i = 0; i < contenders; ++i) order[i] = (i + static_cast<size_t>(round)) % contenders;
  return order;
}

}  // namespace tonbo::bench
