// The backup copy of 10,000 files of 4 KB into an empty folder, side by
// side with cp of the same files (cp -p, which also keeps times and
// permission bits, and plain cp). Every contender copies into a fresh folder
// of its own; the order of the contenders turns every round. Prints medians
// of wall and CPU time, each contender's spread over the rounds, the ratios
// of each round, and the files and bytes each copied.
//   tonbo_bench_backup [files] [rounds]   (defaults 10000 and 7)
#include <dirent.h>
#include <fcntl.h>
#include <ftw.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "../../BenchArgs.h"
#include "TestEnv.h"
#include "core/BackupRun.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

std::string Name(int i) {
  char name[32];
  std::snprintf(name, sizeof name, "file%06d.txt", i);
  return name;
}

std::string MakeSource(int files) {
  const std::string dir = tonbo::test::MakeTempDir("bsrc");
  for (int i = 0; i < files; ++i) {
    const std::string content(4096, static_cast<char>('a' + i % 26));
    const int fd = open((dir + Name(i)).c_str(), O_CREAT | O_WRONLY, 0644);
    if (write(fd, content.data(), content.size()) < 0) std::perror("write");
    close(fd);
  }
  sync();
  return dir;
}

struct Round {
  double wall = 0, cpu = 0;
  long long files = 0, bytes = 0;
};

double CpuOf(const struct rusage& u) {
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// The files in dir and their bytes: what a contender copied.
void Count(const std::string& dir, Round& r) {
  DIR* d = opendir(dir.c_str());
  if (!d) return;
  while (const dirent* e = readdir(d)) {
    struct stat st {};
    if (e->d_name[0] == '.' || stat((dir + e->d_name).c_str(), &st) != 0) continue;
    ++r.files;
    r.bytes += st.st_size;
  }
  closedir(d);
}

// cp [flag] -t target -- every file, one process, no shell.
Round Cp(const std::string& src, int files, const char* flag) {
  const std::string dst = tonbo::test::MakeTempDir("bcp");
  std::vector<std::string> args = {"cp"};
  if (*flag) args.push_back(flag);
  args.insert(args.end(), {"-t", dst, "--"});
  for (int i = 0; i < files; ++i) args.push_back(src + Name(i));
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  Round r;
  const auto start = Clock::now();
  pid_t pid = 0;
  if (posix_spawnp(&pid, "cp", nullptr, nullptr, argv.data(), environ) == 0) {
    int status = 0;
    struct rusage usage {};
    wait4(pid, &status, 0, &usage);
    r.cpu = CpuOf(usage);
  }
  r.wall = std::chrono::duration<double>(Clock::now() - start).count();
  Count(dst, r);
  tonbo::test::RemoveTree(dst);
  return r;
}

Round Backup(const std::string& src, int files) {
  const std::string dst = tonbo::test::MakeTempDir("bbk");
  tonbo::TCsvDb table;
  std::vector<int> rows;
  for (int i = 0; i < files; ++i) {
    table.SetCell(tonbo::colNewName, i, "file" + Name(i).substr(4, 6));
    table.SetCell(tonbo::colExt, i, ".txt");
    table.SetCell(tonbo::colPath, i, src + Name(i));
    rows.push_back(i);
  }
  tonbo::BackupRun run(nullptr);
  struct rusage before {
  }, after{};
  getrusage(RUSAGE_SELF, &before);
  const auto start = Clock::now();
  const tonbo::BackupResult result = run.Run(table, rows, dst);
  Round r;
  r.wall = std::chrono::duration<double>(Clock::now() - start).count();
  getrusage(RUSAGE_SELF, &after);
  r.cpu = CpuOf(after) - CpuOf(before);
  Count(dst, r);
  if (result.copied != files) std::printf("  backup: %d of %d copied\n", result.copied, files);
  tonbo::test::RemoveTree(dst);
  return r;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

struct Contender {
  const char* label;
  std::vector<Round> rounds;
  std::vector<double> Wall() const {
    std::vector<double> v;
    for (const Round& r : rounds) v.push_back(r.wall);
    return v;
  }
  std::vector<double> Cpu() const {
    std::vector<double> v;
    for (const Round& r : rounds) v.push_back(r.cpu);
    return v;
  }
};

void Line(const Contender& c) {
  const std::vector<double> wall = c.Wall();
  std::printf("  %-12s median %6.3f s (CPU %6.3f s)  rounds %.3f-%.3f s  %lld files, %lld bytes\n",
              c.label, Median(wall), Median(c.Cpu()), *std::min_element(wall.begin(), wall.end()),
              *std::max_element(wall.begin(), wall.end()), c.rounds.back().files,
              c.rounds.back().bytes);
}

void Ratio(const Contender& a, const Contender& b, double goal) {
  std::printf("  %s / %s per round:", a.label, b.label);
  for (size_t i = 0; i < a.rounds.size(); ++i)
    std::printf(" %.2f", a.rounds[i].wall / b.rounds[i].wall);
  std::printf("\n    by medians %.2f, CPU %.2f", Median(a.Wall()) / Median(b.Wall()),
              Median(a.Cpu()) / Median(b.Cpu()));
  if (goal > 0) std::printf("  (goal <= %.2f)", goal);
  std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
  tonbo::test::PrepareEnvironment();
  const auto [files, rounds] = tonbo::bench::ReadFilesAndRounds(argc, argv, {10000, 7});
  const std::string src = MakeSource(files);
  Contender cpp{"cp -p", {}}, cp{"cp", {}}, backup{"backup copy", {}};
  Cp(src, files, "-p");  // warm the cache for every contender
  for (int r = 0; r < rounds; ++r) {
    for (int i = 0; i < 3; ++i) {
      switch ((i + r) % 3) {
        case 0:
          cpp.rounds.push_back(Cp(src, files, "-p"));
          break;
        case 1:
          backup.rounds.push_back(Backup(src, files));
          break;
        default:
          cp.rounds.push_back(Cp(src, files, ""));
      }
    }
  }
  tonbo::test::RemoveTree(src);
  std::printf("\n%d files of 4 KB into an empty folder, %d rounds:\n", files, rounds);
  Line(cpp);
  Line(cp);
  Line(backup);
  Ratio(backup, cpp, 1.15);
  Ratio(backup, cp, 0);
  const bool same = backup.rounds.back().bytes == cpp.rounds.back().bytes &&
                    backup.rounds.back().files == cpp.rounds.back().files;
  std::printf("  %s\n", same ? "same files and bytes copied" : "DIFFERENT FILES OR BYTES COPIED");
  return 0;
}
