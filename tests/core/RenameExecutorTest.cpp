#include "core/RenameExecutor.h"

#include "RenameFixture.h"

namespace tonbo {
namespace {

using RenameExecutorTest = RenameFixture;

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

TEST_F(RenameExecutorTest, ANameHeldByAFileThatStaysIsAskedAbout) {
  File("a.txt", "A");
  File("b.txt", "B");
  Row("a.txt", "b.txt");
  Row("b.txt", "b.txt");  // listed, unchanged: it stays
  answers_ = {{ConflictButton::Ok, ConflictMethod::Skip}};
  RenameResult r = Run();
  EXPECT_EQ(asked_, std::vector<std::string>{dir_ + "b.txt"});
  EXPECT_EQ(Disk(), (std::map<std::string, std::string>{{"a.txt", "A"}, {"b.txt", "B"}}));
  EXPECT_EQ(Log(r), "同名ファイルがあったのでスキップ：\"b.txt\"←\"" + dir_ + "a.txt\"\r\n");
  EXPECT_EQ(r.paths, (std::vector<std::string>{dir_ + "a.txt", dir_ + "b.txt"}));
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

// Only a listed file newer than the target replaces it; the list then shows
// the target, the file that holds the name.
TEST_F(RenameExecutorTest, OverwriteIfNewerSkipsATargetOfTheSameAgeAndListsIt) {
  File("src.txt", "S", 1700000000);
  File("dst.txt", "D", 1700000000);
  Row("src.txt", "dst.txt");
  answers_ = {{ConflictButton::Ok, ConflictMethod::OverwriteIfNewer}};
  const RenameResult r = Run();
  EXPECT_EQ(Disk(), (std::map<std::string, std::string>{{"src.txt", "S"}, {"dst.txt", "D"}}));
  EXPECT_EQ(r.paths, std::vector<std::string>{dir_ + "dst.txt"});
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
  File("q.txt", "Q");
  Row("c.txt", "z.txt");
  Row("a.txt", "q.txt");
  Row("b.txt", "y.txt");
  answers_ = {{ConflictButton::Stop, ConflictMethod::Overwrite}};
  RenameResult r = Run();
  EXPECT_EQ(r.renamed, 1);
  EXPECT_TRUE(r.stopped);
  EXPECT_EQ(r.paths, (std::vector<std::string>{dir_ + "z.txt", dir_ + "a.txt", dir_ + "b.txt"}));
  EXPECT_EQ(Disk(), (std::map<std::string, std::string>{
                        {"z.txt", "C"}, {"a.txt", "A"}, {"b.txt", "B"}, {"q.txt", "Q"}}));
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

TEST_F(RenameExecutorTest, NumberingKeepsADotOfTheNewNameInPlace) {
  File("x", "X");
  File("v1.9", "V");
  Row("x", "v1.9");
  table_.SetCell(colNewName, 0, "v1.9");  // the whole name, no extension
  table_.SetCell(colExt, 0, "");
  answers_ = {{ConflictButton::Ok, ConflictMethod::Number}};
  RenameResult r = Run();
  EXPECT_EQ(r.paths, std::vector<std::string>{dir_ + "v1.9_1"});
  EXPECT_EQ(Disk(), (std::map<std::string, std::string>{{"v1.9", "V"}, {"v1.9_1", "X"}}));
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
  EXPECT_NE(Log(r).find("名前の変更に失敗：\"x.txt\"←\"" + dir_ +
                        "vanished.txt\"（ファイルが見つかりません）\r\n"),
            std::string::npos);
  EXPECT_NE(Log(r).find("\"（同じ名前のフォルダがあります）\r\n"), std::string::npos);
  EXPECT_NE(Log(r).find("\"（名前が長すぎます）\r\n"), std::string::npos);
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
  EXPECT_NE(Log(r).find("ごみ箱に移動できませんでした：\"" + dir_ + "keep.txt\"（"),
            std::string::npos);
  EXPECT_EQ(Log(r).substr(Log(r).size() - 5), "）\r\n");
}

}  // namespace
}  // namespace tonbo
