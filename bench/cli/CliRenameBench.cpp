// tonbo-cli --regex 's/^/x_/' --apply on one folder of 100,000 files, next to
// Debian's perl rename, mmv and two plain C++ loops of no-replace renames
// (by path, and through the open folder as the rename executor does, also
// with its check before each rename), each
// on its own fresh folder made after a sync. The order of the contenders
// turns every round. Prints medians, best rounds, peak memory and, for every
// round, tonbo-cli's time over both plain loops. A peer that is not
// installed is skipped.
//   tonbo_bench_cli [files] [rounds]   (defaults 100000 and 5)
#include <dirent.h>
#include <fcntl.h>
#include <ftw.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "../BenchArgs.h"
#include "ProcessBench.h"
#include "TestEnv.h"
#include "platform/FileOps.h"

namespace {

using tonbo::bench::Clock;
using tonbo::bench::Measure;
using tonbo::bench::RunProcess;

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

// Lists the folder, then renames every file to "x_" + its name with
// rename(name, newName); times the whole and reads this process's
// peak memory.
template <typename RenameOne>
Measure TimedLoop(const std::string& dir, RenameOne rename) {
  struct rusage before {};
  getrusage(RUSAGE_SELF, &before);
  const auto start = Clock::now();
  Measure m{0, 0, true};
  for (const std::string& n : Names(dir)) m.ok &= rename(n, "x_" + n) == 0;
  m.seconds = std::chrono::duration<double>(Clock::now() - start).count();
  struct rusage self {};
  getrusage(RUSAGE_SELF, &self);
  m.peakKb = self.ru_maxrss;
  m.cpu = tonbo::bench::CpuSeconds(self) - tonbo::bench::CpuSeconds(before);
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

// The open-folder loop with the check every rename of tonbo-cli makes first:
// the file under the name is still the one the listing found (its inode).
// Shows what the check costs and how much tonbo-cli adds beyond it.
Measure CheckedLoopInFolder(const std::string& dir) {
  const int fd = open(dir.c_str(), O_PATH | O_DIRECTORY);
  std::vector<std::pair<std::string, ino_t>> listed;
  struct rusage before {};
  getrusage(RUSAGE_SELF, &before);
  const auto start = Clock::now();
  DIR* d = opendir(dir.c_str());
  while (const dirent* e = readdir(d))
    if (e->d_name[0] != '.') listed.emplace_back(e->d_name, e->d_ino);
  closedir(d);
  Measure m{0, 0, true};
  for (const auto& [name, ino] : listed) {
    struct stat st {};
    m.ok &= fstatat(fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && st.st_ino == ino;
    m.ok &= renameat2(fd, name.c_str(), fd, ("x_" + name).c_str(), RENAME_NOREPLACE) == 0;
  }
  m.seconds = std::chrono::duration<double>(Clock::now() - start).count();
  struct rusage self {};
  getrusage(RUSAGE_SELF, &self);
  m.peakKb = self.ru_maxrss;
  m.cpu = tonbo::bench::CpuSeconds(self) - tonbo::bench::CpuSeconds(before);
  close(fd);
  return m;
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
  std::vector<double> cpu;
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
       tonbo::bench::OnPath("rename")},
      {"mmv",
       [](const std::string& dir) {
         return RunProcess(dir, {"mmv", "*", "x_#1"});
       },
       tonbo::bench::OnPath("mmv")},
      {"plain in folder", PlainLoopInFolder},
      {"checked loop", CheckedLoopInFolder},
  };
}

// The folders are removed only at the end: ext4 makes new files slowly
// where many were deleted a moment ago, which made a round take minutes.
void Round(std::vector<Contender>& contenders, int files, int round,
           std::vector<std::string>& used) {
  for (const size_t i : tonbo::bench::RoundOrder(contenders.size(), round)) {
    Contender& c = contenders[i];
    if (!c.present) continue;
    const std::string dir = MakeFolder(files);
    sync();
    Measure m = c.run(dir);
    m.ok = m.ok && AllRenamed(dir, files);
    used.push_back(dir);
    if (!m.ok) std::printf("  %s: the folder was not renamed as expected\n", c.label);
    if (!c.measured || m.seconds < c.best.seconds) c.best = m;
    c.measured = true;
    c.seconds.push_back(m.seconds);
    c.cpu.push_back(m.cpu);
    std::printf("  %-15s %7.3f s  (cpu %.3f s)\n", c.label, m.seconds, m.cpu);
    std::fflush(stdout);
  }
}

using tonbo::bench::Median;

void Report(const std::vector<Contender>& c, int files) {
  std::printf("\n%d files in one folder:\n", files);
  for (const Contender& one : c) {
    if (!one.present) {
      std::printf("  %-15s not installed, skipped\n", one.label);
      continue;
    }
    std::printf("  %-15s median %7.3f s  best %7.3f s  peak %7.1f MB%s\n", one.label,
                Median(one.seconds), one.best.seconds, one.best.peakKb / 1024.0,
                one.best.ok ? "" : "  (FAILED)");
  }
  const Contender& tonbo = c[1];
  for (const size_t floor : {size_t{0}, size_t{4}, size_t{5}}) {
    std::printf("  tonbo-cli / %s per round:", c[floor].label);
    for (size_t r = 0; r < tonbo.seconds.size(); ++r)
      std::printf(" %.2f", tonbo.seconds[r] / c[floor].seconds[r]);
    std::printf("\n    by medians %.2f, by best rounds %.2f%s\n",
                Median(tonbo.seconds) / Median(c[floor].seconds),
                tonbo.best.seconds / c[floor].best.seconds,
                floor == 5 ? "  (goal <= 1.10 by medians)" : "");
    std::printf("    cpu time per round:");
    for (size_t r = 0; r < tonbo.cpu.size(); ++r)
      std::printf(" %.2f", tonbo.cpu[r] / c[floor].cpu[r]);
    std::printf(", by medians %.2f\n", Median(tonbo.cpu) / Median(c[floor].cpu));
  }
  for (size_t i = 2; i < 4; ++i) {
    if (!c[i].present) continue;
    std::printf(
        "  tonbo-cli / %-6s by medians %.2f, by best rounds %.2f  (goal < 1 in every round)\n",
        c[i].label, Median(tonbo.seconds) / Median(c[i].seconds),
        tonbo.best.seconds / c[i].best.seconds);
    std::printf("    per round:");
    for (size_t r = 0; r < tonbo.seconds.size(); ++r)
      std::printf(" %.2f", tonbo.seconds[r] / c[i].seconds[r]);
    std::printf("\n");
  }
  std::printf("  tonbo-cli peak memory %.1f MB (goal < 150)\n", tonbo.best.peakKb / 1024.0);
}

}  // namespace

int main(int argc, char** argv) {
  tonbo::test::PrepareEnvironment();
  const auto [files, rounds] = tonbo::bench::ReadFilesAndRounds(argc, argv, {100000, 5});
  std::vector<Contender> contenders = Contenders();
  std::vector<std::string> used;
  for (int r = 0; r < rounds; ++r) {
    std::printf("round %d of %d\n", r + 1, rounds);
    std::fflush(stdout);
    Round(contenders, files, r, used);
  }
  Report(contenders, files);
  for (const std::string& dir : used) tonbo::test::RemoveTree(dir);
  return 0;
}
