#pragma once
// Real files in a temporary folder for the rename run's tests.
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <map>
#include <set>

#include "TestEnv.h"
#include "common/Paths.h"
#include "common/Sjis.h"
#include "core/RenameExecutor.h"

namespace tonbo {

// Real files in a temporary folder; every test ends by checking that no file
// was lost: the files on disk and in the trash are the files before.
class RenameFixture : public ::testing::Test {
 protected:
  std::string dir_ = test::MakeTempDir("run");
  TCsvDb table_;
  std::vector<std::string> asked_;
  std::vector<ConflictAnswer> answers_;

  void File(const std::string& name, const std::string& content, time_t mtime = 1700000000) {
    test::WriteFile(dir_ + name, content);
    struct timespec times[2] = {{mtime, 0}, {mtime, 0}};
    utimensat(AT_FDCWD, (dir_ + name).c_str(), times, 0);
  }
  void Row(const std::string& name, const std::string& newName) {
    const int r = table_.RowCount();
    table_.SetCell(colNewName, r, ExtractFileBase(newName));
    table_.SetCell(colExt, r, ExtractFileExt(newName));
    table_.SetCell(colPath, r, dir_ + name);
  }
  void Mark(const std::string& name) {
    Row(name, name);
    table_.MarkForDeletion(table_.RowCount() - 1);
  }
  ProgressSink* progress_ = nullptr;
  RenameResult Run() {
    RenameExecutor executor([this](const std::string& target) {
      asked_.push_back(target);
      if (answers_.empty()) return ConflictAnswer{ConflictButton::Stop, ConflictMethod::Skip};
      ConflictAnswer a = answers_.front();
      answers_.erase(answers_.begin());
      return a;
    });
    executor.SetProgress(progress_);
    return executor.Run(table_);
  }
  // name -> content of every file in the folder.
  std::map<std::string, std::string> Disk() const {
    std::map<std::string, std::string> out;
    DIR* d = opendir(dir_.c_str());
    while (dirent* e = readdir(d)) {
      std::string n = e->d_name;
      if (n != "." && n != "..") out[n] = test::ReadFile(dir_ + n);
    }
    closedir(d);
    return out;
  }
  std::multiset<std::string> TrashContents() const {
    std::multiset<std::string> out;
    std::string trash = std::string(getenv("XDG_DATA_HOME")) + "/Trash/files/";
    if (DIR* d = opendir(trash.c_str())) {
      while (dirent* e = readdir(d)) {
        std::string n = e->d_name;
        if (n != "." && n != "..") out.insert(test::ReadFile(trash + n));
      }
      closedir(d);
    }
    return out;
  }
  std::string Log(const RenameResult& r) { return enc::FromSjis(r.log).toStdString(); }
};

}  // namespace tonbo
