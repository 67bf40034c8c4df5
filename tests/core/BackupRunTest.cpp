// The backup copy on real files: every folder's bytes are compared before
// and after, so a lost, changed or half-written file shows.
#include "core/BackupRun.h"

#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>

#include "TestEnv.h"
#include "common/Paths.h"
#include "common/Sjis.h"

namespace tonbo {
namespace {

using Manifest = std::map<std::string, std::string>;

Manifest Files(const std::string& dir) { return test::FolderFiles(dir); }

class BackupRunTest : public ::testing::Test {
 protected:
  std::string src_ = test::MakeTempDir("bsrc");
  std::string dst_ = test::MakeTempDir("bdst");
  TCsvDb table_;
  std::vector<std::string> asked_;
  std::vector<ConflictAnswer> answers_;

  void File(const std::string& path, const std::string& content, time_t mtime = 1700000000) {
    test::WriteFile(path, content);
    const struct timespec times[2] = {{mtime, 0}, {mtime, 0}};
    utimensat(AT_FDCWD, path.c_str(), times, 0);
  }
  // A listed file of the source folder (created) with its new name.
  void Row(const std::string& name, const std::string& newName, time_t mtime = 1700000000) {
    File(src_ + name, "content of " + name, mtime);
    RowAt(src_ + name, newName);
  }
  void RowAt(const std::string& path, const std::string& newName) {
    const int r = table_.RowCount();
    table_.SetCell(colNewName, r, ExtractFileBase(newName));
    table_.SetCell(colExt, r, ExtractFileExt(newName));
    table_.SetCell(colPath, r, path);
  }
  BackupResult Run(std::vector<int> rows = {}, const std::string& folder = {}) {
    if (rows.empty())
      for (int r = 0; r < table_.RowCount(); ++r) rows.push_back(r);
    BackupRun run([this](const std::string& target) {
      asked_.push_back(target);
      if (answers_.empty()) return ConflictAnswer{ConflictButton::Stop, ConflictMethod::Skip};
      const ConflictAnswer a = answers_.front();
      answers_.erase(answers_.begin());
      return a;
    });
    return run.Run(table_, rows, folder.empty() ? dst_ : folder);
  }
  std::string Log(const BackupResult& r) { return enc::FromSjis(r.log).toStdString(); }
  std::string Content(const std::string& name) { return "content of " + name; }
};

// A FIFO in the list is neither waited on nor copied; the files after it are.
TEST_F(BackupRunTest, AFifoInTheListIsReportedAndTheRestCopied) {
  test::FifoTrap fifo(src_ + "pipe");
  RowAt(src_ + "pipe", "p.txt");
  Row("a.txt", "x.txt");
  const BackupResult r = Run();
  EXPECT_FALSE(fifo.Caught());
  EXPECT_EQ(r.copied, 1);
  EXPECT_EQ(Files(dst_), (Manifest{{"x.txt", Content("a.txt")}}));
  EXPECT_NE(Log(r).find("通常のファイルではありません"), std::string::npos) << Log(r);
}

TEST_F(BackupRunTest, CopiesTheChosenRowsUnderTheirNewNamesAndLeavesTheListAlone) {
  Row("a.txt", "x.txt");
  Row("b.txt", "y.txt");
  Row("c.txt", "z.txt");
  chmod((src_ + "a.txt").c_str(), 0640);
  const Manifest before = Files(src_);
  const BackupResult r = Run({0, 2}, dst_.substr(0, dst_.size() - 1));  // no trailing "/"
  EXPECT_EQ(r.copied, 2);
  EXPECT_TRUE(r.log.empty());
  EXPECT_FALSE(r.stopped);
  EXPECT_EQ(Files(src_), before);
  EXPECT_EQ(Files(dst_), (Manifest{{"x.txt", Content("a.txt")}, {"z.txt", Content("c.txt")}}));
  // Times and permission bits go with the copy, as the desktop's copy keeps them.
  struct stat st {};
  ASSERT_EQ(stat((dst_ + "x.txt").c_str(), &st), 0);
  EXPECT_EQ(st.st_mtime, 1700000000);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_TRUE(asked_.empty());
}

TEST_F(BackupRunTest, EachClashMethodDoesWhatItSays) {
  struct Case {
    ConflictMethod method;
    Manifest after;
    std::string log;
  };
  // Names that hold a line break: the log shows it escaped, never as a line end.
  const std::string old = "old target", s = "s\r\n.txt", t = "t\r\n.txt";
  const Case cases[] = {
      {ConflictMethod::Overwrite, {{t, "content of " + s}}, ""},
      {ConflictMethod::OverwriteIfNewer, {{t, "content of " + s}}, ""},
      {ConflictMethod::Number,
       {{t, old}, {"t\r\n_1.txt", "content of " + s}},
       "適当に改名：\"t\\r\\n.txt\"を\"" + dst_ + "t\\r\\n_1.txt\"に改名\r\n"},
      {ConflictMethod::Skip,
       {{t, old}},
       "同名ファイルがあったのでスキップ：\"" + src_ + "s\\r\\n.txt\"\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.method));
    for (const auto& [name, content] : Files(dst_)) unlink((dst_ + name).c_str());
    table_.Clear();
    asked_.clear();
    Row(s, t, 1700000100);
    File(dst_ + t, old, 1700000000);
    answers_ = {{ConflictButton::Ok, c.method}};
    const BackupResult r = Run();
    EXPECT_EQ(asked_, std::vector<std::string>{dst_ + t});
    EXPECT_EQ(Files(dst_), c.after);
    EXPECT_EQ(Log(r), c.log);
  }
}

TEST_F(BackupRunTest, OverwriteIfNewerSkipsEqualAndNewerTargets) {
  Row("a.txt", "a.txt", 1700000000);
  Row("b.txt", "b.txt", 1700000000);
  File(dst_ + "a.txt", "same time", 1700000001);  // the same two-second step
  File(dst_ + "b.txt", "newer", 1700000100);
  answers_ = {{ConflictButton::OkAll, ConflictMethod::OverwriteIfNewer}};
  const BackupResult r = Run();
  EXPECT_EQ(asked_.size(), 1u);
  EXPECT_EQ(Files(dst_), (Manifest{{"a.txt", "same time"}, {"b.txt", "newer"}}));
  EXPECT_EQ(Log(r), "同名ファイルがあったのでスキップ：\"" + src_ +
                        "a.txt\"\r\n同名ファイルがあったのでスキップ：\"" + src_ + "b.txt\"\r\n");
  EXPECT_EQ(r.copied, 0);
}

TEST_F(BackupRunTest, ApplyToAllAsksOnceAndStopEndsTheRun) {
  for (const char* n : {"a.txt", "b.txt", "c.txt"}) {
    Row(n, n);
    File(dst_ + n, "there");
  }
  answers_ = {{ConflictButton::OkAll, ConflictMethod::Number}};
  BackupResult r = Run();
  EXPECT_EQ(asked_.size(), 1u);
  EXPECT_EQ(r.copied, 3);
  EXPECT_EQ(Files(dst_).size(), 6u);
  EXPECT_EQ(Files(dst_).at("c_1.txt"), Content("c.txt"));

  // "中止(&C)" at the second clash: the first copy stays, nothing after it is made.
  table_.Clear();
  asked_.clear();
  Row("p.txt", "p.txt");
  Row("q.txt", "a.txt");
  Row("r.txt", "r.txt");
  answers_ = {{ConflictButton::Stop, ConflictMethod::Number}};
  const Manifest before = Files(dst_);
  r = Run();
  EXPECT_TRUE(r.stopped);
  EXPECT_EQ(r.copied, 1);
  Manifest expected = before;
  expected["p.txt"] = Content("p.txt");
  EXPECT_EQ(Files(dst_), expected);
  EXPECT_TRUE(r.log.empty());
}

TEST_F(BackupRunTest, TwoRowsWithOneNewNameNumberTheSecond) {
  Row("a.txt", "same.txt");
  Row("b.txt", "same.txt");
  answers_ = {{ConflictButton::Ok, ConflictMethod::Number}};
  const BackupResult r = Run();
  EXPECT_EQ(asked_, std::vector<std::string>{dst_ + "same.txt"});
  EXPECT_EQ(Files(dst_),
            (Manifest{{"same.txt", Content("a.txt")}, {"same_1.txt", Content("b.txt")}}));
  EXPECT_EQ(Log(r), "適当に改名：\"same.txt\"を\"" + dst_ + "same_1.txt\"に改名\r\n");
}

TEST_F(BackupRunTest, TheListsOwnFilesAreNeverOverwritten) {
  // Into the list's own folder: a.txt is to be copied as b.txt, which is a
  // listed file the user did not choose; c.txt keeps its name (the target is itself).
  Row("a.txt", "b.txt");
  Row("b.txt", "b.txt");
  Row("c.txt", "c.txt");
  File(src_ + "outside.txt", "outside");
  RowAt(src_ + "c.txt", "outside.txt");
  const Manifest before = Files(src_);
  answers_ = {{ConflictButton::OkAll, ConflictMethod::Overwrite}};
  const BackupResult r = Run({0, 2, 3}, src_);
  Manifest expected = before;
  expected["outside.txt"] = Content("c.txt");  // not listed: overwritten as asked
  EXPECT_EQ(Files(src_), expected);
  const std::string kept = "（リストにあるファイルには上書きしません）\r\n";
  EXPECT_EQ(Log(r), "同名ファイルがあったのでスキップ：\"" + src_ + "a.txt\"" + kept +
                        "同名ファイルがあったのでスキップ：\"" + src_ + "c.txt\"" + kept);
  EXPECT_EQ(r.copied, 1);
}

TEST_F(BackupRunTest, AFailedCopyLeavesNoFileAndNamesItsReason) {
  Row("gone.txt", "g.txt");
  unlink((src_ + "gone.txt").c_str());
  RowAt("/proc/self/mem", "unreadable.txt");  // opens, then every read fails (EIO)
  File(dst_ + "kept.txt", "old");
  RowAt("/proc/self/mem", "kept.txt");
  Row("long.txt", std::string(300, 'n') + ".txt");
  mkdir((src_ + "folder").c_str(), 0755);
  RowAt(src_ + "folder", "folder");
  Row("marked.txt", "marked.txt");
  table_.MarkForDeletion(table_.RowCount() - 1);
  Row("slash.txt", "b.txt");
  table_.SetCell(colNewName, table_.RowCount() - 1, "a/b");
  answers_ = {{ConflictButton::Ok, ConflictMethod::Overwrite}};
  const BackupResult r = Run();
  EXPECT_EQ(Files(dst_), (Manifest{{"kept.txt", "old"}}));  // no temporary file either
  EXPECT_EQ(r.copied, 0);
  EXPECT_EQ(Log(r),
            "コピー失敗：\"" + src_ + "gone.txt\"（ファイルが見つかりません）\r\n" +
                "コピー失敗：\"/proc/self/mem\"（ディスクの読み書きでエラーが起きました：5）\r\n" +
                "コピー失敗：\"/proc/self/mem\"（ディスクの読み書きでエラーが起きました：5）\r\n" +
                "コピー失敗：\"" + src_ + "long.txt\"（名前が長すぎます）\r\n" + "コピー失敗：\"" +
                src_ + "folder\"（フォルダはコピーできません）\r\n" + "コピー失敗：\"" + src_ +
                "marked.txt\"（削除対象のファイルです）\r\n" + "コピー失敗：\"" + src_ +
                "slash.txt\"（名前に「/」は使えません）\r\n");
}

TEST_F(BackupRunTest, AFolderThatCannotBeWrittenFailsEveryCopy) {
  Row("a.txt", "a.txt");
  Row("b.txt", "b.txt");
  chmod(dst_.c_str(), 0555);
  const bool writable = access(dst_.c_str(), W_OK) == 0;
  const BackupResult r = Run();
  chmod(dst_.c_str(), 0755);
  if (writable) GTEST_SKIP() << "the superuser may write anywhere";
  EXPECT_EQ(Files(dst_), Manifest());
  EXPECT_EQ(Log(r), "コピー失敗：\"" + src_ + "a.txt\"（書き込み権限がありません）\r\n" +
                        "コピー失敗：\"" + src_ + "b.txt\"（書き込み権限がありません）\r\n");
}

TEST_F(BackupRunTest, AFullDiskLeavesNoPartialFileAndKeepsTheOldTarget) {
  const std::string small = test::MakeTempDir("full");
  if (mount("tmpfs", small.c_str(), "tmpfs", 0, "size=64k") != 0)
    GTEST_SKIP() << "no small file system can be made here";
  File(small + "big.bin", "old big");
  File(src_ + "big.bin", std::string(200000, 'x'));
  RowAt(src_ + "big.bin", "big.bin");
  Row("small.txt", "small.txt");
  answers_ = {{ConflictButton::Ok, ConflictMethod::Overwrite}};
  const BackupResult r = Run({}, small);
  const Manifest after = Files(small);
  umount(small.c_str());
  EXPECT_EQ(after, (Manifest{{"big.bin", "old big"}, {"small.txt", Content("small.txt")}}));
  EXPECT_EQ(Log(r), "コピー失敗：\"" + src_ + "big.bin\"（ディスクの空きがありません）\r\n");
}

}  // namespace
}  // namespace tonbo
