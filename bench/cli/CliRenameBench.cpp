// tonbo-cli --regex 's/^/x_/' --apply on one folder of 100,000 files, next to
// Debian's perl rename, mmv and a plain C++ loop of no-replace renames, each
// on an identical fresh copy. Prints the times, the three ratios and the
// peak memory of each program. A peer that is not installed is skipped. A
// second plain loop renaming through the open folder is shown for reference.
//   tonbo_bench_cli [files] [rounds]   (defaults 100000 and 3; the best round counts)
#include <dirent.h>
#include <fcntl.h>
#include <ftw.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "TestEnv.h"
#include "platform/FileOps.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Measure {
  double seconds = 0;
  long peakKb = 0;
  bool ok = false;
};

std::string MakeFolder(int files) {
  const std::string dir = tonbo::test::MakeTempDir("bench");
  char name[32];
  for (int i = 0; i < files; ++i) {
    std::snprintf(name, sizeof name, "file%06d.dat", i);
    close(open((dir + name).c_str(), O_CREAT | O_WRONLY, 0644));
  }
  return dir;
}

std::vector<std::string> Names(const std::string& dir) {
  std::vector<std::string> names;
  DIR* d = opendir(dir.c_str());
  while (const dirent* e = readdir(d))
    if (e->d_name[0] != '.') names.emplace_back(e->d_name);
  closedir(d);
  return names;
}

// Every file carries the prefix exactly once: the job was done, and done once.
bool AllRenamed(const std::string& dir, int files) {
  int good = 0;
  for (const std::string& n : Names(dir)) good += n.rfind("x_file", 0) == 0;
  return good == files;
}

void RemoveTree(const std::string& dir) {
  nftw(
      dir.c_str(),
      [](const char* path, const struct stat*, int, struct FTW*) { return remove(path); }, 64,
      FTW_DEPTH | FTW_PHYS);
}

// Runs argv in dir (output discarded); time and peak memory from wait4.
Measure RunProcess(const std::string& dir, const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  const auto start = Clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    if (chdir(dir.c_str()) != 0) _exit(127);
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    dup2(null, 2);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  struct rusage usage {};
  wait4(pid, &status, 0, &usage);
  Measure m;
  m.seconds = std::chrono::duration<double>(Clock::now() - start).count();
  m.peakKb = usage.ru_maxrss;
  m.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  return m;
}

// Lists the folder, then renames every file to "x_" + its name with
// rename(name, newName); times the whole and reads this process's
// peak memory.
template <typename RenameOne>
Measure TimedLoop(const std::string& dir, RenameOne rename) {
  const auto start = Clock::now();
  Measure m{0, 0, true};
  for (const std::string& n : Names(dir)) m.ok &= rename(n, "x_" + n) == 0;
  m.seconds = std::chrono::duration<double>(Clock::now() - start).count();
  struct rusage self {};
  getrusage(RUSAGE_SELF, &self);
  m.peakKb = self.ru_maxrss;
  return m;
}

// The floor: one no-replace rename per file, by path.
Measure PlainLoop(const std::string& dir) {
  return TimedLoop(dir, [&](const std::string& from, const std::string& to) {
    return tonbo::platform::RenameNoReplace(dir + from, dir + to);
  });
}

// The floor again, renaming through the open folder as the rename executor
// does: shows how much of tonbo-cli's lead over the plain loop comes from
// not walking the folder's path for every file.
Measure PlainLoopInFolder(const std::string& dir) {
  const int fd = open(dir.c_str(), O_PATH | O_DIRECTORY);
  Measure m = TimedLoop(dir, [fd](const std::string& from, const std::string& to) {
    return renameat2(fd, from.c_str(), fd, to.c_str(), RENAME_NOREPLACE);
  });
  close(fd);
  return m;
}

bool OnPath(const std::string& program) {
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

struct Contender {
  Contender(const char* l, std::function<Measure(const std::string&)> r, bool p = true)
      : label(l), run(std::move(r)), present(p) {}
  const char* label;
  std::function<Measure(const std::string& dir)> run;
  bool present;
  Measure best;
  bool measured = false;
  std::vector<double> seconds;  // every round, for the median
};

std::vector<Contender> Contenders() {
  return {
      {"plain loop", PlainLoop},
      {"tonbo-cli",
       [](const std::string& dir) {
         return RunProcess(dir, {TONBO_CLI_PATH, "-q", "--regex", "s/^/x_/", "--apply", "."});
       }},
      // perl rename reads the names from its standard input: the listing is part of the run.
      {"rename",
       [](const std::string& dir) {
         return RunProcess(dir, {"sh", "-c", "ls -U | rename 's/^/x_/'"});
       },
       OnPath("rename")},
      {"mmv",
       [](const std::string& dir) {
         return RunProcess(dir, {"mmv", "*", "x_#1"});
       },
       OnPath("mmv")},
      {"plain in folder", PlainLoopInFolder},
  };
}

void Round(std::vector<Contender>& contenders, int files) {
  for (Contender& c : contenders) {
    if (!c.present) continue;
    const std::string dir = MakeFolder(files);
    sync();
    Measure m = c.run(dir);
    m.ok = m.ok && AllRenamed(dir, files);
    RemoveTree(dir);
    if (!m.ok) std::printf("  %s: the folder was not renamed as expected\n", c.label);
    if (!c.measured || m.seconds < c.best.seconds) c.best = m;
    c.measured = true;
    c.seconds.push_back(m.seconds);
  }
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty()      ? 0
         : v.size() % 2 ? v[v.size() / 2]
                        : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

void Report(const std::vector<Contender>& c, int files) {
  std::printf("\n%d files in one folder, best of the rounds:\n", files);
  for (const Contender& one : c) {
    if (!one.present) {
      std::printf("  %-15s not installed, skipped\n", one.label);
      continue;
    }
    std::printf("  %-15s %8.3f s  (median %.3f s)  peak %7.1f MB%s\n", one.label, one.best.seconds,
                Median(one.seconds), one.best.peakKb / 1024.0, one.best.ok ? "" : "  (FAILED)");
  }
  const double tonbo = c[1].best.seconds;
  std::printf("  tonbo-cli / plain loop = %.2f  (goal <= 1.2)\n", tonbo / c[0].best.seconds);
  for (size_t i = 2; i < 4; ++i)
    if (c[i].present)
      std::printf("  tonbo-cli / %-10s = %.2f  (goal < 1)\n", c[i].label,
                  tonbo / c[i].best.seconds);
  std::printf("  tonbo-cli / plain loop in the open folder = %.2f  (for reference)\n",
              tonbo / c[4].best.seconds);
  std::printf("  tonbo-cli peak memory %.1f MB (goal < 150)\n", c[1].best.peakKb / 1024.0);
  std::printf("  by medians: tonbo-cli / plain loop = %.2f",
              Median(c[1].seconds) / Median(c[0].seconds));
  for (size_t i = 2; i < 4; ++i)
    if (c[i].present)
      std::printf(", / %s = %.2f", c[i].label, Median(c[1].seconds) / Median(c[i].seconds));
  std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
  tonbo::test::PrepareEnvironment();
  std::vector<int> numbers;
  for (int i = 1; i < argc; ++i)
    if (argv[i][0] != '-') numbers.push_back(std::atoi(argv[i]));  // Google Benchmark flags pass by
  const int files = numbers.size() > 0 && numbers[0] > 0 ? numbers[0] : 100000;
  const int rounds = numbers.size() > 1 && numbers[1] > 0 ? numbers[1] : 3;
  std::vector<Contender> contenders = Contenders();
  for (int r = 0; r < rounds; ++r) {
    std::printf("round %d of %d\n", r + 1, rounds);
    std::fflush(stdout);
    Round(contenders, files);
  }
  Report(contenders, files);
  return 0;
}
