#include "core/RenameExecutor.h"

#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <set>

#include "TestEnv.h"
#include "common/Paths.h"
#include "common/Sjis.h"

namespace tonbo {
namespace {

// Real files in a temporary folder; every test ends by checking that no file
// was lost: the files on disk and in the trash are the files before.
class RenameExecutorTest : public ::testing::Test {
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
    table_.SetCell(colNewName, table_.RowCount() - 1, enc::Lit(" :(削除)"));
  }
  RenameResult Run() {
    RenameExecutor executor([this](const std::string& target) {
      asked_.push_back(target);
      if (answers_.empty()) return ConflictAnswer{ConflictButton::Stop, ConflictMethod::Skip};
      ConflictAnswer a = answers_.front();
      answers_.erase(answers_.begin());
      return a;
    });
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

TEST_F(RenameExecutorTest, RenamesChangedRowsAndKeepsUnchangedOnes) {
  File("a.txt", "A");
  File("b.txt", "B");
  Row("a.txt", "x.txt");
  Row("b.txt", "b.txt");
  RenameResult r = Run();
  EXPECT_EQ(r.renamed, 1);
  EXPECT_EQ(r.notDone, 0);
  EXPECT_EQ(r.paths, (std::vector<std::string>{dir_ + "x.txt", dir_ + "b.txt"}));
  EXPECT_EQ(Disk(), (std::map<std::string, std::string>{{"x.txt", "A"}, {"b.txt", "B"}}));
  EXPECT_TRUE(asked_.empty());
}

TEST_F(RenameExecutorTest, RowsGoTopToBottomSoAShiftMeetsTheNextFile) {
  File("a.txt", "A");
  File("b.txt", "B");
  Row("a.txt", "b.txt");
  Row("b.txt", "c.txt");
  answers_ = {{ConflictButton::Ok, ConflictMethod::Skip}};
  RenameResult r = Run();
  EXPECT_EQ(asked_, std::vector<std::string>{dir_ + "b.txt"});
  EXPECT_EQ(Disk(), (std::map<std::string, std::string>{{"a.txt", "A"}, {"c.txt", "B"}}));
  EXPECT_EQ(Log(r), "同名ファイルがあったのでスキップ：\"b.txt\"←\"" + dir_ + "a.txt\"\r\n");
  EXPECT_EQ(r.paths, (std::vector<std::string>{dir_ + "a.txt", dir_ + "c.txt"}));
}

TEST_F(RenameExecutorTest, OverwriteSendsTheOldTargetToTheTrash) {
  File("new.txt", "NEW");
  File("old.txt", "OLD");
  Row("new.txt", "old.txt");
  answers_ = {{ConflictButton::Ok, ConflictMethod::Overwrite}};
  RenameResult r = Run();
  EXPECT_EQ(r.renamed, 1);
  EXPECT_EQ(Disk(), (std::map<std::string, std::string>{{"old.txt", "NEW"}}));
  EXPECT_EQ(TrashContents().count("OLD"), 1u);
}

TEST_F(RenameExecutorTest, OverwriteIfNewerSkipsANewerTargetAndTrashesAnOlderOne) {
  File("src1.txt", "S1", 1700000000);
  File("dst1.txt", "D1", 1700000100);  // newer: skipped
  File("src2.txt", "S2", 1700000100);
  File("dst2.txt", "D2", 1700000000);  // older: replaced
  Row("src1.txt", "dst1.txt");
  Row("src2.txt", "dst2.txt");
  answers_ = {{ConflictButton::OkAll, ConflictMethod::OverwriteIfNewer}};
  RenameResult r = Run();
  EXPECT_EQ(asked_.size(), 1u);  // "以降全て" answers the second conflict too
  EXPECT_EQ(Disk(), (std::map<std::string, std::string>{
                        {"src1.txt", "S1"}, {"dst1.txt", "D1"}, {"dst2.txt", "S2"}}));
  EXPECT_EQ(Log(r), "書込先ファイルの方が新しかったのでスキップ：\"dst1.txt\"←\"" + dir_ +
                        "src1.txt\"\r\n");
  EXPECT_EQ(TrashContents().count("D2"), 1u);
  EXPECT_EQ(r.notDone, 1);
}

TEST_F(RenameExecutorTest, NumberingTakesTheFirstFreeNumber) {
  File("x.txt", "X");
  File("a.txt", "A");
  File("a_1.txt", "A1");
  File("a_2.txt", "A2");
  Row("x.txt", "a.txt");
  answers_ = {{ConflictButton::Ok, ConflictMethod::Number}};
  RenameResult r = Run();
  EXPECT_EQ(r.paths, std::vector<std::string>{dir_ + "a_3.txt"});
  EXPECT_EQ(Disk().at("a_3.txt"), "X");
  EXPECT_EQ(Disk().size(), 4u);
}

TEST_F(RenameExecutorTest, TwoRowsWithOneNewNameMeetEachOther) {
  File("p.txt", "P");
  File("q.txt", "Q");
  Row("p.txt", "same.txt");
  Row("q.txt", "same.txt");
  answers_ = {{ConflictButton::Ok, ConflictMethod::Number}};
  Run();
  EXPECT_EQ(Disk(), (std::map<std::string, std::string>{{"same.txt", "P"}, {"same_1.txt", "Q"}}));
}

TEST_F(RenameExecutorTest, StoppingLeavesTheRestUntouchedAndListed) {
  File("a.txt", "A");
  File("b.txt", "B");
  File("c.txt", "C");
  Row("c.txt", "z.txt");
  Row("a.txt", "b.txt");
  Row("b.txt", "y.txt");
  answers_ = {{ConflictButton::Stop, ConflictMethod::Overwrite}};
  RenameResult r = Run();
  EXPECT_EQ(r.renamed, 1);
  EXPECT_EQ(r.paths, (std::vector<std::string>{dir_ + "z.txt", dir_ + "a.txt", dir_ + "b.txt"}));
  EXPECT_EQ(Disk(),
            (std::map<std::string, std::string>{{"z.txt", "C"}, {"a.txt", "A"}, {"b.txt", "B"}}));
}

TEST_F(RenameExecutorTest, MarkedFilesGoToTheTrashAndGoneFilesStillCount) {
  File("bye.txt", "BYE");
  Mark("bye.txt");
  Mark("gone.txt");
  RenameResult r = Run();
  EXPECT_EQ(r.deleted, 2);
  EXPECT_TRUE(r.paths.empty());
  EXPECT_TRUE(Disk().empty());
  EXPECT_EQ(TrashContents().count("BYE"), 1u);
}

TEST_F(RenameExecutorTest, FailuresAreLoggedAndLoseNothing) {
  File("a.txt", "A");
  mkdir((dir_ + "folder").c_str(), 0755);
  Row("vanished.txt", "x.txt");                  // the source is gone
  Row("a.txt", "folder");                        // a folder holds the name: no question, a failure
  Row("a.txt", std::string(300, 'n') + ".txt");  // longer than a name may be
  RenameResult r = Run();
  EXPECT_TRUE(asked_.empty());
  EXPECT_EQ(r.notDone, 3);
  EXPECT_EQ(r.renamed, 0);
  EXPECT_NE(Log(r).find("名前の変更に失敗：\"x.txt\"←\"" + dir_ + "vanished.txt\"\r\n"),
            std::string::npos);
  EXPECT_EQ(Disk().at("a.txt"), "A");
}

TEST_F(RenameExecutorTest, AMarkedFileTheTrashRefusesStaysListed) {
  File("keep.txt", "KEEP");
  Mark("keep.txt");
  // The trash cannot be made: a plain file stands where its folder would be.
  const std::string trash = std::string(getenv("XDG_DATA_HOME")) + "/Trash";
  rename(trash.c_str(), (trash + ".away").c_str());
  test::WriteFile(trash, "not a folder");
  RenameResult r = Run();
  unlink(trash.c_str());
  rename((trash + ".away").c_str(), trash.c_str());
  EXPECT_EQ(r.deleted, 0);
  EXPECT_EQ(r.notDone, 1);
  EXPECT_EQ(r.paths, std::vector<std::string>{dir_ + "keep.txt"});
  EXPECT_EQ(Disk().at("keep.txt"), "KEEP");
  EXPECT_NE(Log(r).find("ごみ箱に移動できませんでした：\"" + dir_ + "keep.txt\""),
            std::string::npos);
}

}  // namespace
}  // namespace tonbo
