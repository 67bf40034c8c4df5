// The backup copy of 10,000 small files into an empty folder, side by side
// with cp of the same files (cp -p, which also keeps times and permission
// bits, and plain cp). Prints the best and the median of the rounds and the
// ratios.
//   tonbo_bench_backup [files] [rounds]   (defaults 10000 and 5)
#include <fcntl.h>
#include <ftw.h>
#include <spawn.h>
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

// Small files of a few hundred bytes to a few kilobytes.
std::string MakeSource(int files) {
  const std::string dir = tonbo::test::MakeTempDir("bsrc");
  for (int i = 0; i < files; ++i) {
    const std::string content(200 + (i * 37) % 4000, static_cast<char>('a' + i % 26));
    const int fd = open((dir + Name(i)).c_str(), O_CREAT | O_WRONLY, 0644);
    if (write(fd, content.data(), content.size()) < 0) std::perror("write");
    close(fd);
  }
  sync();
  return dir;
}

template <typename F>
double Seconds(F work) {
  const auto start = Clock::now();
  work();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

int Count(const std::string& dir) {
  int n = 0;
  if (FILE* p = popen(("ls -A '" + dir + "' | wc -l").c_str(), "r")) {
    if (std::fscanf(p, "%d", &n) != 1) n = -1;
    pclose(p);
  }
  return n;
}

// cp [flags] -t target -- every file, one process, no shell.
double Cp(const std::string& src, int files, const char* flag) {
  const std::string dst = tonbo::test::MakeTempDir("bcp");
  std::vector<std::string> args = {"cp"};
  if (*flag) args.push_back(flag);
  args.insert(args.end(), {"-t", dst, "--"});
  for (int i = 0; i < files; ++i) args.push_back(src + Name(i));
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  const double s = Seconds([&] {
    pid_t pid = 0;
    if (posix_spawnp(&pid, "cp", nullptr, nullptr, argv.data(), environ) != 0) return;
    int status = 0;
    waitpid(pid, &status, 0);
  });
  if (Count(dst) != files) std::printf("  cp %s: %d of %d copied\n", flag, Count(dst), files);
  tonbo::test::RemoveTree(dst);
  return s;
}

double Backup(const std::string& src, int files) {
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
  tonbo::BackupResult result;
  const double s = Seconds([&] { result = run.Run(table, rows, dst); });
  if (result.copied != files) std::printf("  backup: %d of %d copied\n", result.copied, files);
  tonbo::test::RemoveTree(dst);
  return s;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

double Best(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }

void Line(const char* label, const std::vector<double>& v) {
  std::printf("  %-16s best %7.3f s  median %7.3f s\n", label, Best(v), Median(v));
}

}  // namespace

int main(int argc, char** argv) {
  tonbo::test::PrepareEnvironment();
  const auto [files, rounds] = tonbo::bench::ReadFilesAndRounds(argc, argv, {10000, 5});
  const std::string src = MakeSource(files);
  std::vector<double> cpp, cp, backup;
  Cp(src, files, "-p");  // warm the cache for every contender
  for (int r = 0; r < rounds; ++r) {
    cpp.push_back(Cp(src, files, "-p"));
    backup.push_back(Backup(src, files));
    cp.push_back(Cp(src, files, ""));
  }
  tonbo::test::RemoveTree(src);
  std::printf("\n%d small files into an empty folder, %d rounds:\n", files, rounds);
  Line("cp -p", cpp);
  Line("cp", cp);
  Line("backup copy", backup);
  std::printf("  backup / cp -p = %.2f (goal <= 1.3), by medians %.2f\n", Best(backup) / Best(cpp),
              Median(backup) / Median(cpp));
  std::printf("  backup / cp    = %.2f, by medians %.2f\n", Best(backup) / Best(cp),
              Median(backup) / Median(cp));
  return 0;
}
