#pragma once
// Runs the real tonbo-cli as a child process in the tests' sandbox (it
// inherits HOME and the XDG folders) on files in a temporary folder.
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <map>
#include <string>
#include <vector>

#include "TestEnv.h"
#include "common/Sjis.h"
#include "core/CsvDb.h"

namespace tonbo::test {

struct CliRun {
  int code = -1;
  std::string out, err;
};

// env: extra NAME=VALUE settings for the child. Times are read in UTC.
// heldSignal: sent to the child before it starts, blocked, so it arrives
// when the program lets it through.
inline CliRun RunTonboCli(const std::vector<std::string>& args,
                          const std::vector<std::string>& env = {}, int heldSignal = 0) {
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
    if (heldSignal) {
      sigset_t held;
      sigemptyset(&held);
      sigaddset(&held, heldSignal);
      sigprocmask(SIG_BLOCK, &held, nullptr);
      raise(heldSignal);
    }
    execv(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(io + "out"), ReadFile(io + "err")};
}

// Where a stream of the child leads.
enum class Sink {
  Pipe,        // a pipe read to its end
  Terminal,    // a pseudo-terminal read to its end (both streams share one)
  ClosedPipe,  // a pipe whose reading end is closed before the child starts
  DevFull,     // /dev/full: every write fails for want of space
};

// Runs tonbo-cli with standard output and standard error led to out and err.
// What a terminal shows comes back in CliRun::out when out is the terminal
// (err then shares it), else in CliRun::err.
inline CliRun RunTonboCliTo(const std::vector<std::string>& args, Sink out, Sink err) {
  int master = -1, slave = -1;
  if (out == Sink::Terminal || err == Sink::Terminal) {
    winsize size{};
    size.ws_col = 60;
    size.ws_row = 24;
    if (openpty(&master, &slave, nullptr, nullptr, &size) != 0) return {};
  }
  int outPipe[2] = {-1, -1}, errPipe[2] = {-1, -1};
  auto leadTo = [&](Sink sink, int(&p)[2]) {
    if (sink == Sink::Pipe || sink == Sink::ClosedPipe) pipe2(p, O_CLOEXEC);
    if (sink == Sink::ClosedPipe) close(p[0]), p[0] = -1;
  };
  leadTo(out, outPipe);
  leadTo(err, errPipe);
  std::vector<char*> argv{const_cast<char*>(TONBO_CLI_PATH)};
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    setenv("TZ", "UTC", 1);
    auto attach = [&](Sink sink, int(&p)[2], int fd) {
      if (sink == Sink::Terminal) dup2(slave, fd);
      if (sink == Sink::Pipe || sink == Sink::ClosedPipe) dup2(p[1], fd);
      if (sink == Sink::DevFull) dup2(open("/dev/full", O_WRONLY), fd);
    };
    if (master >= 0) setsid(), ioctl(slave, TIOCSCTTY, 0);
    attach(out, outPipe, 1);
    attach(err, errPipe, 2);
    if (master >= 0) close(master), close(slave);
    execv(argv[0], argv.data());
    _exit(127);
  }
  if (slave >= 0) close(slave);
  for (int fd : {outPipe[1], errPipe[1]})
    if (fd >= 0) close(fd);
  // Both readable ends are read together, so neither fills and blocks the child.
  const int outFd = out == Sink::Terminal ? master : outPipe[0];
  const int errFd = err == Sink::Terminal ? (out == Sink::Terminal ? -1 : master) : errPipe[0];
  CliRun run;
  std::vector<std::pair<int, std::string*>> open;
  if (outFd >= 0) open.push_back({outFd, &run.out});
  if (errFd >= 0) open.push_back({errFd, &run.err});
  while (!open.empty()) {
    std::vector<pollfd> fds;
    for (auto& o : open) fds.push_back({o.first, POLLIN, 0});
    poll(fds.data(), fds.size(), 10000);
    for (size_t i = fds.size(); i-- > 0;) {
      if (!fds[i].revents) continue;
      char buf[4096];
      const ssize_t n = read(fds[i].fd, buf, sizeof buf);
      if (n > 0) {
        open[i].second->append(buf, static_cast<size_t>(n));
      } else {
        close(fds[i].fd);  // the end, or EIO once the terminal's last writer is gone
        open.erase(open.begin() + static_cast<std::ptrdiff_t>(i));
      }
    }
  }
  int status = 0;
  waitpid(pid, &status, 0);
  run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

// Printed table text, code page 932 or UTF-8 (--utf8), as rows of cells in
// the same encoding.
inline std::vector<std::vector<std::string>> TableRows(const std::string& out) {
  const QString decoded = QString::fromUtf8(out);
  const bool utf8 = decoded.toUtf8().toStdString() == out;
  TCsvDb table;
  table.LoadFromText(utf8 ? enc::ToSjis(decoded) : out);
  std::vector<std::vector<std::string>> rows;
  for (int r = 0; r < table.RowCount(); ++r) {
    std::vector<std::string> cells;
    const RowPtr row = table.GetRow(r);
    for (int c = 0; row && c < row->Count(); ++c) {
      const std::string& cell = row->Get(c);
      cells.push_back(utf8 ? enc::FromSjis(cell).toStdString() : cell);
    }
    rows.push_back(std::move(cells));
  }
  return rows;
}

// One table line as tonbo-cli prints it (code page 932 cells; quoted where
// the CSV form asks for it).
inline std::string TableLine(const std::vector<std::string>& sjisCells) {
  TCsvDb table;
  for (size_t c = 0; c < sjisCells.size(); ++c) table.SetCell(static_cast<int>(c), 0, sjisCells[c]);
  return table.SaveToText();
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
  // column must name a file of this folder. The table is read the way the
  // program reads a CSV file, so a quoted cell (a folder whose name holds
  // "ID", for one) reads as what it holds.
  std::vector<std::string> NewNames(const CliRun& run) const {
    std::vector<std::string> names;
    for (const std::vector<std::string>& row : TableRows(run.out)) {
      EXPECT_EQ(row.size(), 3u);
      if (row.size() < 3) continue;
      EXPECT_EQ(row[2].substr(0, dir_.size()), dir_) << row[2];
      names.push_back(row[0] + row[1]);
    }
    return names;
  }
};

}  // namespace tonbo::test
