// Undo of a run that ended, and recovery of a run cut off in the middle
// (a child process that dies at a chosen file, its journal buffer unwritten).
#include "core/RunRecovery.h"

#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <optional>

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
  void RunAndDie(int dieAt, std::optional<ConflictMethod> forAll = {}) {
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
      if (forAll) executor.SetMethodForAll(*forAll);
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
  // Field `field` of the journal's plan line of `row` becomes `value`.
  static void Forge(const std::string& journal, int row, size_t field, const std::string& value) {
    std::string text = test::ReadFile(journal);
    const size_t at = text.find("\nP\t" + std::to_string(row) + "\t") + 1;
    size_t begin = at;
    for (size_t i = 0; i < field; ++i) begin = text.find('\t', begin) + 1;
    text.replace(begin, text.find_first_of("\t\n", begin) - begin, value);
    test::WriteFile(journal, text);
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

// Names holding the bytes the journal escapes (tab, line ends, "%", DEL,
// escape) come back from it as they were.
TEST_F(RunRecoveryTest, UndoPutsBackNamesWithEscapedBytes) {
  const std::vector<std::pair<std::string, std::string>> names = {
      {"a\tb", "%41\n"}, {"100%", "x\x7f%"}, {"\x1b[0m", "plain"}, {"c\rd", "%%"}};
  Files before;
  for (const auto& [from, to] : names) File(from, before[from] = from);
  for (const auto& [from, to] : names) Row(from, to);
  const RenameResult run = Run();
  ASSERT_EQ(run.renamed, 4) << Log(run);
  EXPECT_EQ(UndoRun(run.journal).moved, 4);
  EXPECT_EQ(Disk(), before);
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
  struct Stop : ProgressSink {  // asks to stop at every file: an undo goes on
    bool Step(std::int64_t, std::int64_t, const std::string&) override { return false; }
  } stop;
  const RecoveryResult undo = UndoRun(run.journal, &stop);
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
  // A step whose end was never written: "r\t12…" of a longer list, which
  // would name no planned row if the close mark made it a whole line.
  test::WriteFile(cut[0], text + "r\t12");

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

// Files deleted after a killed run's plan, and new files given their inodes
// (forged here: the file systems of the tests hand out fresh ones): one
// under a name the journal does not know, one under the run's old name but
// of another size. Neither is the run's file; both are reported and left.
TEST_F(RunRecoveryTest, ANewFileWithAFreedInodeIsNotTheRunsFile) {
  const std::string cut = DiedAfterTheFirstOfThree();
  unlink((dir_ + "a1").c_str());
  unlink((dir_ + "a2").c_str());
  File("a1", "a newer, longer a1");
  File("new", "new");
  Forge(cut, 1, 4, std::to_string(platform::IdentityOf(dir_ + "a1").ino));
  Forge(cut, 2, 4, std::to_string(platform::IdentityOf(dir_ + "new").ino));
  for (RecoverMode mode : {RecoverMode::Finish, RecoverMode::Rollback}) {
    const RecoveryResult r = RecoverRun(cut, mode);
    EXPECT_EQ(r.notDone, 2) << LogText(r);
    EXPECT_EQ(Disk(), (Files{{mode == RecoverMode::Finish ? "b0" : "a0", "a"},
                             {"a1", "a newer, longer a1"},
                             {"new", "new"}}));
    // Nothing more to recover: the journal is closed.
    EXPECT_TRUE(UnfinishedJournals().empty());
    test::WriteFile(cut, test::ReadFile(cut).substr(0, test::ReadFile(cut).rfind("closed")));
  }
}

// Lines Tonbo never writes: the journal is refused whole, nothing moves,
// nothing but the journal is written, and files that are not journals are
// passed over without waiting on them.
TEST_F(RunRecoveryTest, AJournalThatLiesIsRefusedAndWritesNothingElse) {
  alarm(60);  // a read that waits on the FIFO below fails the test
  const std::string cut = DiedAfterTheFirstOfThree();
  const std::string text = test::ReadFile(cut);
  File("user file", "mine");
  const std::string user = dir_ + "user file";
  const std::string lies[] = {
      text + "r\t2147483647\n",  // a step of no planned row
      text.substr(0, text.find("\tb1\t")) + "\t../b1" + text.substr(text.find("\tb1\t") + 3),
      text.substr(0, text.find("planned\n")) + "P\t0\t0\t1\t2\t3\t4\tx\ty\t\n" +
          text.substr(text.find("planned\n")),            // rows out of order
      "tonbo-journal\t1\tundo\t" + user + "\nplanned\n",  // a source outside the journals
  };
  const Files before = Disk();
  for (const std::string& lie : lies) {
    test::WriteFile(cut, lie);
    const RecoveryResult r = RecoverRun(cut, RecoverMode::Finish);
    EXPECT_NE(r.error.find("Tonboの書く形ではありません"), std::string::npos) << lie;
    EXPECT_EQ(Disk(), before);
    EXPECT_EQ(test::ReadFile(cut), lie);
    EXPECT_EQ(UnfinishedJournals(), std::vector<std::string>{cut});
  }
  EXPECT_EQ(CloseJournal(user, "undone"), EINVAL);
  EXPECT_EQ(test::ReadFile(user), "mine");
  ASSERT_EQ(mkfifo((journals_ + "fifo.journal").c_str(), 0600), 0);
  ASSERT_EQ(symlink(user.c_str(), (journals_ + "link.journal").c_str()), 0);
  EXPECT_EQ(ListJournals(journals_), std::vector<std::string>{cut});
  EXPECT_EQ(CloseJournal(journals_ + "link.journal", "undone"), ELOOP);
  EXPECT_FALSE(ReadJournal(journals_ + "fifo.journal", *std::make_unique<Journal>()));
  PruneJournals(journals_);
  EXPECT_EQ(test::ReadFile(user), "mine");
  alarm(0);
  unlink((journals_ + "fifo.journal").c_str());
  unlink((journals_ + "link.journal").c_str());
}

// A second recovery of a journal another one holds is refused; a rollback
// that leaves a file under its temporary name keeps the journal open.
TEST_F(RunRecoveryTest, AHeldJournalIsRefusedAndAFileLeftHiddenKeepsItOpen) {
  File("x", "x");
  File("y", "y");
  Row("x", "y");
  Row("y", "x");
  RunAndDie(0);
  const std::string cut = UnfinishedJournals().at(0);
  Journal j;
  ASSERT_TRUE(ReadJournal(cut, j));
  const std::string parked = j.entries[0].ParkedPath();
  ASSERT_EQ(rename((dir_ + "x").c_str(), parked.c_str()), 0);  // cut off inside the ring
  {
    const int held = open(cut.c_str(), O_RDONLY);
    flock(held, LOCK_EX);
    EXPECT_NE(RecoverRun(cut, RecoverMode::Rollback).error.find("ほかのTonboが使っています"),
              std::string::npos);
    close(held);
  }
  File("x", "in the way");
  const RecoveryResult r = RecoverRun(cut, RecoverMode::Rollback);
  EXPECT_TRUE(r.kept);
  EXPECT_EQ(UnfinishedJournals(), std::vector<std::string>{cut});
  unlink((dir_ + "x").c_str());
  EXPECT_FALSE(RecoverRun(cut, RecoverMode::Rollback).kept);
  EXPECT_EQ(Disk(), (Files{{"x", "x"}, {"y", "y"}}));
  EXPECT_TRUE(UnfinishedJournals().empty());
}

// Killed before its first conflict, a run told to settle every conflict one
// way is finished that way; a run told nothing leaves the conflict.
TEST_F(RunRecoveryTest, FinishingDoesWhatTheRunWasToldAtAConflict) {
  const std::optional<ConflictMethod> methods[] = {ConflictMethod::Overwrite,
                                                   ConflictMethod::Number, std::nullopt};
  const Files wanted[] = {{{"b.txt", "a"}},
                          {{"b.txt", "old b"}, {"b_1.txt", "a"}},
                          {{"a.txt", "a"}, {"b.txt", "old b"}}};
  for (int i = 0; i < 3; ++i) {
    dir_ = test::MakeTempDir("told");
    table_.Clear();
    File("a.txt", "a");
    File("b.txt", "old b");
    Row("a.txt", "b.txt");
    RunAndDie(0, methods[i]);
    const RecoveryResult r = RecoverRun(UnfinishedJournals().at(0), RecoverMode::Finish);
    EXPECT_EQ(Disk(), wanted[i]) << i << LogText(r);
    EXPECT_EQ(r.notDone, i == 2);
  }
  EXPECT_EQ(TrashContents().count("old b"), 1u);
}

// A recovered run is the newest run: undo takes it, never an older one in
// another folder; while the newest run is unfinished undo says so.
TEST_F(RunRecoveryTest, UndoTakesTheRecoveredRunOrSaysWhyNot) {
  File("old", "old");
  Row("old", "older");
  const RenameResult first = Run();
  const std::string firstDir = dir_;
  dir_ = test::MakeTempDir("second");
  table_.Clear();
  const std::string cut = DiedAfterTheFirstOfThree();
  const UndoChoice unfinished = LastUndoableRun();
  EXPECT_EQ(unfinished.journal, "");
  EXPECT_NE(unfinished.refusal.find("途中で終了しています"), std::string::npos);
  RecoverRun(cut, RecoverMode::Finish);
  ASSERT_EQ(LastUndoableRun().journal, cut);
  EXPECT_EQ(SummarizeRun(cut).folders, std::vector<std::string>{dir_});
  EXPECT_EQ(SummarizeRun(cut).files, 3);
  EXPECT_EQ(UndoRun(cut).moved, 3);
  EXPECT_EQ(Disk(), (Files{{"a0", "a"}, {"a1", "a"}, {"a2", "a"}}));
  EXPECT_EQ(LastUndoableRun().journal, first.journal);
  EXPECT_TRUE(platform::FileExists(firstDir + "older"));
}

// Finishing a cut-off undo holds the undone run's journal until it marks it.
TEST_F(RunRecoveryTest, FinishingACutOffUndoHoldsTheRunsJournal) {
  for (int i = 0; i < 3; ++i) File("a" + std::to_string(i), "a");
  for (int i = 0; i < 3; ++i) Row("a" + std::to_string(i), "b" + std::to_string(i));
  const RenameResult run = Run();
  if (fork() == 0) {
    struct Die : ProgressSink {
      bool Step(std::int64_t done, std::int64_t, const std::string&) override {
        if (done == 1) _exit(9);
        return true;
      }
    } die;
    UndoRun(run.journal, &die);
    _exit(0);
  }
  wait(nullptr);
  const std::vector<std::string> cut = UnfinishedJournals();
  ASSERT_EQ(cut.size(), 1u);
  const Files half = Disk();
  const int other = open(run.journal.c_str(), O_RDONLY);
  ASSERT_EQ(flock(other, LOCK_EX), 0);
  EXPECT_NE(RecoverRun(cut[0], RecoverMode::Finish).error.find("ほかのTonboが使っています"),
            std::string::npos);
  EXPECT_EQ(Disk(), half);
  close(other);
  EXPECT_EQ(RecoverRun(cut[0], RecoverMode::Finish).error, "");
  EXPECT_EQ(Disk(), (Files{{"a0", "a"}, {"a1", "a"}, {"a2", "a"}}));
  EXPECT_TRUE(PeekJournal(run.journal).closed);
}

// Undo that moves all or nothing checks every file first: a swap frees its
// own names and a trashed file is found, but a file in the way of one name
// stops the whole undo until it is gone.
TEST_F(RunRecoveryTest, UndoOfAllOrNothingChecksEveryFileFirst) {
  const Files before = {{"x", "x"}, {"y", "y"}, {"c", "c"}, {"e", "e"}};
  for (const auto& [name, content] : before) File(name, content);
  Row("x", "y");
  Row("y", "x");
  Row("c", "d");
  Mark("e");
  const RenameResult run = Run();
  EXPECT_EQ(PreviewUndo(run.journal).blocked, 0);
  test::WriteFile(dir_ + "c", "in the way");
  EXPECT_EQ(PreviewUndo(run.journal).blocked, 1);
  const RecoveryResult refused = UndoRun(run.journal, nullptr, UndoMode::AllOrNothing);
  EXPECT_EQ(refused.notDone, 1);
  EXPECT_NE(refused.error, "");
  EXPECT_EQ(Disk(), (Files{{"y", "x"}, {"x", "y"}, {"d", "c"}, {"c", "in the way"}}));
  unlink((dir_ + "c").c_str());
  EXPECT_EQ(UndoRun(run.journal, nullptr, UndoMode::AllOrNothing).moved, 3);
  EXPECT_EQ(Disk(), before);
}

}  // namespace
}  // namespace tonbo
