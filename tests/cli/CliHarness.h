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
#include "common/Sjis.h"
#include "core/CsvDb.h"

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
