// Undo of a run that ended, and recovery of a run cut off in the middle
// (a child process that dies at a chosen file, its journal buffer unwritten).
#include "core/RunRecovery.h"

#include <sys/wait.h>
#include <unistd.h>

#include "RenameFixture.h"

namespace tonbo {
namespace {

using Files = std::map<std::string, std::string>;

class RunRecoveryTest : public RenameFixture {
 protected:
  std::string journals_ = JournalDirDisk();

  void SetUp() override {
    // Each test starts without earlier journals.
    for (const std::string& j : ListJournals(journals_)) unlink(j.c_str());
  }
  std::string LogText(const RecoveryResult& r) {
    std::string text;
    for (const std::string& line : r.log) text += enc::FromSjis(line).toStdString() + "\r\n";
    return text;
  }

  // Runs the list in a child that dies, without a word, when the progress
  // reaches file `dieAt` (the journal keeps only what it had written).
  void RunAndDie(int dieAt) {
    const pid_t pid = fork();
    if (pid == 0) {
      struct Die : ProgressSink {
        int at = 0;
        bool Step(std::int64_t done, std::int64_t, const std::string&) override {
          if (done == at) _exit(9);
          return true;
        }
      } die;
      die.at = dieAt;
      RenameExecutor executor(nullptr);
      executor.SetProgress(&die);
      executor.Run(table_);
      _exit(0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
  }
  // Three files listed to be renamed; the run dies after the first, before
  // writing a step. Its journal.
  std::string DiedAfterTheFirstOfThree() {
    for (int i = 0; i < 3; ++i) File("a" + std::to_string(i), "a");
    for (int i = 0; i < 3; ++i) Row("a" + std::to_string(i), "b" + std::to_string(i));
    RunAndDie(1);
    const std::vector<std::string> open = UnfinishedJournals();
    EXPECT_EQ(open.size(), 1u);
    return open.empty() ? std::string() : open[0];
  }
};

TEST_F(RunRecoveryTest, UndoPutsBackNamesAndTrashedFilesButNotAnEditedFile) {
  File("x", "x");
  File("y", "y");
  File("c", "c");
  File("e", "e");
  File("f", "f");
  File("g", "old g", 1600000000);
  Row("x", "y");
  Row("y", "x");
  Row("c", "d");
  Mark("e");
  Row("f", "g");
  answers_ = {{ConflictButton::Ok, ConflictMethod::Overwrite}};
  const RenameResult run = Run();
  ASSERT_EQ(run.renamed, 4) << Log(run);
  ASSERT_EQ(Disk(), (Files{{"y", "x"}, {"x", "y"}, {"d", "c"}, {"g", "f"}}));
  test::WriteFile(dir_ + "d", "c, edited");  // written since the run
  ASSERT_EQ(LastUndoableRun().journal, run.journal);

  const RecoveryResult undo = UndoRun(run.journal);
  EXPECT_EQ(undo.moved, 3);
  EXPECT_EQ(undo.restored, 2);  // e, and the g that f replaced
  EXPECT_EQ(undo.notDone, 1);
  EXPECT_EQ(
      Disk(),
      (Files{{"x", "x"}, {"y", "y"}, {"d", "c, edited"}, {"e", "e"}, {"f", "f"}, {"g", "old g"}}));
  EXPECT_EQ(LogText(undo), "名前の変更に失敗：\"c\"←\"" + dir_ +
                               "d\"（名前の変更の後で書き換えられています）\r\n");
  EXPECT_EQ(undo.paths.size(), 6u);
  EXPECT_EQ(LastUndoableRun().journal, "");  // the run is marked undone
  EXPECT_TRUE(UnfinishedJournals().empty());
}

TEST_F(RunRecoveryTest, UndoLeavesAFileMovedSinceAndAFileInTheWay) {
  File("a", "a");
  File("b", "b");
  Row("a", "A");
  Row("b", "B");
  const RenameResult run = Run();
  rename((dir_ + "A").c_str(), (dir_ + "elsewhere").c_str());
  test::WriteFile(dir_ + "b", "a new b");  // takes the name B would go back to
  const RecoveryResult undo = UndoRun(run.journal);
  EXPECT_EQ(undo.moved, 0);
  EXPECT_EQ(undo.notDone, 2);
  EXPECT_EQ(Disk(), (Files{{"elsewhere", "a"}, {"B", "b"}, {"b", "a new b"}}));
  EXPECT_NE(LogText(undo).find("（名前の変更の後で移動されたか、削除されています）"),
            std::string::npos);
  EXPECT_NE(LogText(undo).find("（同じ名前のファイルがあります）"), std::string::npos);
}

// A large folder's rows are known by device and inode from one listing; the
// size and time that undo compares still reach the journal.
TEST_F(RunRecoveryTest, UndoOfALargeFolderPutsBackAllButTheEditedFile) {
  Files before;
  for (int i = 0; i < 150; ++i) {
    const std::string n = "f" + std::to_string(i);
    File(n, n);
    Row(n, "g" + std::to_string(i));
    before[n] = n;
  }
  const RenameResult run = Run();
  ASSERT_EQ(run.renamed, 150) << Log(run);
  test::WriteFile(dir_ + "g7", "edited");
  const RecoveryResult undo = UndoRun(run.journal);
  EXPECT_EQ(undo.moved, 149) << LogText(undo);
  EXPECT_EQ(undo.notDone, 1);
  before.erase("f7");
  before["g7"] = "edited";
  EXPECT_EQ(Disk(), before);
}

TEST_F(RunRecoveryTest, ARunCutOffAnywhereIsRolledBackOrFinished) {
  // A ring of five, a chain of five and a marked file.
  std::vector<std::pair<std::string, std::string>> pairs;
  for (int i = 0; i < 5; ++i)
    pairs.emplace_back("r" + std::to_string(i), "r" + std::to_string((i + 1) % 5));
  for (int i = 4; i >= 0; --i)
    pairs.emplace_back("c" + std::to_string(i), "c" + std::to_string(i + 1));
  for (int dieAt = 0; dieAt <= 11; ++dieAt) {
    for (RecoverMode mode : {RecoverMode::Rollback, RecoverMode::Finish}) {
      SCOPED_TRACE("die at " + std::to_string(dieAt) +
                   (mode == RecoverMode::Finish ? " finish" : " rollback"));
      dir_ = test::MakeTempDir("cut");
      table_.Clear();
      Files before, after;
      for (const auto& [from, to] : pairs) {
        File(from, from);
        Row(from, to);
        before[from] = from;
        after[to] = from;
      }
      File("m", "m");
      Mark("m");
      before["m"] = "m";
      RunAndDie(dieAt);
      const std::vector<std::string> open = UnfinishedJournals();
      if (dieAt == 11) {  // the run ended before the last step
        EXPECT_TRUE(open.empty());
        continue;
      }
      ASSERT_EQ(open.size(), 1u);
      const std::vector<FileState> states = DescribeJournal(open[0]);
      EXPECT_TRUE(std::any_of(states.begin(), states.end(),
                              [](const FileState& f) { return f.state == "変更前"; }));
      const RecoveryResult r = RecoverRun(open[0], mode);
      EXPECT_EQ(r.notDone, 0) << LogText(r);
      EXPECT_EQ(Disk(), mode == RecoverMode::Rollback ? before : after);
      EXPECT_TRUE(UnfinishedJournals().empty());
    }
  }
}

// A run killed in the middle of writing a step leaves a line without its
// end. Once the run is recovered it must not come back as unfinished (the
// close mark joined the cut line), nor may the cut line count as a step.
TEST_F(RunRecoveryTest, ARecoveredRunWhoseLastLineWasCutStaysClosed) {
  for (int i = 0; i < 3; ++i) File("a" + std::to_string(i), "a");
  for (int i = 0; i < 3; ++i) Row("a" + std::to_string(i), "b" + std::to_string(i));
  RunAndDie(2);
  const std::vector<std::string> cut = UnfinishedJournals();
  ASSERT_EQ(cut.size(), 1u);
  const std::string text = test::ReadFile(cut[0]);
  ASSERT_EQ(text.back(), '\n');
  test::WriteFile(cut[0], text + "r\t1");  // a step whose end was never written

  const RecoveryResult done = RecoverRun(cut[0], RecoverMode::Finish);
  EXPECT_TRUE(done.error.empty()) << done.error;
  EXPECT_EQ(Disk(), (Files{{"b0", "a"}, {"b1", "a"}, {"b2", "a"}}));
  EXPECT_TRUE(UnfinishedJournals().empty());
  EXPECT_TRUE(PeekJournal(cut[0]).closed);
  Journal j;
  ASSERT_TRUE(ReadJournal(cut[0], j));
  EXPECT_EQ(j.closed, "finished");
}

// The cut line names the last row, which the run never reached.
TEST_F(RunRecoveryTest, ACutLastLineNamingAStepNotDoneIsNoStep) {
  const std::string cut = DiedAfterTheFirstOfThree();
  test::WriteFile(cut, test::ReadFile(cut) + "r\t2");
  Journal j;
  ASSERT_TRUE(ReadJournal(cut, j));
  ASSERT_EQ(j.entries.size(), 3u);
  EXPECT_FALSE(j.entries[2].renamed);
}

// A newer Tonbo's journal may say what this one would misread: nothing is
// moved by it, and it stays (even when old enough to prune) for that Tonbo.
TEST_F(RunRecoveryTest, AJournalOfAnotherFormatIsRefusedAndKept) {
  const std::vector<std::string> open = {DiedAfterTheFirstOfThree()};
  std::string text = test::ReadFile(open[0]);
  text.replace(text.find("\t1\t"), 3, "\t2\t");
  test::WriteFile(open[0], text);
  const timespec old = {time(nullptr) - 7200, 0}, times[2] = {old, old};
  utimensat(AT_FDCWD, open[0].c_str(), times, 0);
  const Files before = Disk();
  for (const RecoveryResult& r : {RecoverRun(open[0], RecoverMode::Finish),
                                  RecoverRun(open[0], RecoverMode::Rollback), UndoRun(open[0])})
    EXPECT_NE(r.error.find("知らない形式（2）"), std::string::npos) << r.error;
  PruneJournals(journals_);
  EXPECT_EQ(Disk(), before);
  EXPECT_EQ(test::ReadFile(open[0]), text);
  EXPECT_EQ(UnfinishedJournals(), open);  // still offered, so that it is refused aloud
}

}  // namespace
}  // namespace tonbo
