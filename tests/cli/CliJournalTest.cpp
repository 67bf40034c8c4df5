// --recover and --undo-last on journals that hold hostile names or that the
// run could not complete.
#include <signal.h>
#include <sys/resource.h>

#include "CliHarness.h"
#include "core/RunJournal.h"

namespace tonbo::test {
namespace {

class CliJournal : public CliFolder {
 protected:
  void SetUp() override {
    for (const std::string& j : ListJournals(JournalDirDisk())) unlink(j.c_str());
  }
};

// A name with an ESC sequence and a line end, a run cut off before renaming
// it to a name taken meanwhile: the listing, the log and the messages print
// the names escaped, and a listing that cannot be written fails.
TEST_F(CliJournal, NamesInTheRecoveryAreEscapedAndAFullOutputFails) {
  const std::string hostile = "e\x1b[2Jvil\nforged", taken = "t\n\x1b[31mforged";
  File(hostile, "run's file");
  File(taken, "in the way");
  {
    JournalWriter w;
    ASSERT_EQ(w.Create(JournalDirDisk(), "run", ""), 0);
    w.PlanRename(0, dir_, hostile, platform::IdentityOf(dir_ + hostile), taken, "", 0);
    ASSERT_EQ(w.Commit(), 0);
  }
  const CliRun full = RunTonboCliTo({"--recover", "show"}, Sink::DevFull, Sink::Pipe);
  EXPECT_EQ(full.code, 1);
  EXPECT_NE(full.err.find("標準出力に書き込めませんでした"), std::string::npos) << full.err;
  const CliRun show = RunTonboCli({"--recover", "show"});
  EXPECT_NE(show.out.find("変更前\t" + dir_ + "e\\x1b[2Jvil\\nforged\t→\tt\\n\\x1b[31mforged\n"),
            std::string::npos)
      << show.out;
  const CliRun finish = RunTonboCli({"--recover", "finish"});
  EXPECT_EQ(finish.code, 1);
  EXPECT_NE(finish.err.find("t\\n\\x1b[31mforged"), std::string::npos) << finish.err;
  for (const std::string& text : {show.out, show.err, finish.err}) {
    EXPECT_EQ(text.find('\x1b'), std::string::npos) << text;
    EXPECT_EQ(text.find("\nforged"), std::string::npos) << text;
  }
  EXPECT_EQ(Disk(),
            (std::map<std::string, std::string>{{hostile, "run's file"}, {taken, "in the way"}}));
}

// The journal's disk fills after the plan (here a file size limit that
// leaves room for the plan only): the run says so and fails, recovery sees
// from the files that it finished, and undo takes it back.
TEST_F(CliJournal, AJournalThatCannotBeCompletedIsToldAndTheRunCanBeUndone) {
  std::vector<std::string> run = {"--prepend", "x_", "--apply"};
  for (int i = 0; i < 20; ++i) {
    File("f" + std::to_string(i), std::to_string(i));
    run.push_back(dir_ + "f" + std::to_string(i));
  }
  const std::map<std::string, std::string> before = Disk();
  ASSERT_EQ(RunTonboCli(run).code, 0);
  const std::string text = ReadFile(ListJournals(JournalDirDisk()).at(0));
  ASSERT_EQ(RunTonboCli({"--undo-last", "--apply"}).code, 0);
  ASSERT_EQ(Disk(), before);

  rlimit old{};
  getrlimit(RLIMIT_FSIZE, &old);
  rlimit planOnly = old;
  planOnly.rlim_cur = text.find("planned\n") + 8;  // the same files make the same plan
  signal(SIGXFSZ, SIG_IGN);
  setrlimit(RLIMIT_FSIZE, &planOnly);
  const CliRun cut = RunTonboCli(run);
  setrlimit(RLIMIT_FSIZE, &old);
  signal(SIGXFSZ, SIG_DFL);
  EXPECT_EQ(cut.code, 1);
  EXPECT_NE(cut.err.find("名前の変更の記録を最後まで書けませんでした"), std::string::npos)
      << cut.err;
  EXPECT_EQ(Disk().count("x_f7"), 1u);

  const CliRun show = RunTonboCli({"--recover", "show"});
  EXPECT_EQ(show.out, "");
  EXPECT_NE(show.err.find("途中で終わった名前変更はありません。"), std::string::npos);
  const CliRun undo = RunTonboCli({"--undo-last", "--apply"});
  EXPECT_EQ(undo.code, 0) << undo.err;
  EXPECT_NE(undo.err.find("20 個のファイル、フォルダ " + dir_ + "\n"), std::string::npos)
      << undo.err;
  EXPECT_EQ(Disk(), before);
}

// Two runs in two folders: --undo-last DIR (named through "..") shows the
// run that changed DIR with its names escaped, moves nothing without
// --apply, and undoes that run only with it; --runs tells each run's state.
TEST_F(CliJournal, UndoLastOfAFolderTakesTheRunThatChangedIt) {
  const std::string first = dir_, hostile = "a\x1b[2J";
  File(hostile, "A");
  File("b", "B");
  const auto original = Disk();
  ASSERT_EQ(RunTonboCli({"--prepend", "x_", "--apply", first}).code, 0);
  const auto renamed = Disk();
  dir_ = MakeTempDir("other");
  File("c", "C");
  ASSERT_EQ(RunTonboCli({"--prepend", "y_", "--apply", dir_}).code, 0);
  const auto other = Disk();
  const std::string second = dir_, name = first.substr(first.rfind('/', first.size() - 2));
  dir_ = first;
  const CliRun dry = RunTonboCli({"--undo-last", second + ".." + name});
  EXPECT_EQ(dry.code, 0) << dry.err;
  EXPECT_NE(dry.err.find("2 個のファイル、フォルダ " + first + "\n"), std::string::npos) << dry.err;
  EXPECT_NE(dry.err.find("  x_a\\x1b[2J → a\\x1b[2J\n"), std::string::npos) << dry.err;
  EXPECT_EQ(dry.err.find('\x1b'), std::string::npos);
  EXPECT_EQ(Disk(), renamed);
  EXPECT_EQ(RunTonboCli({"--undo-last", first, "--apply"}).code, 0);
  EXPECT_EQ(Disk(), original);
  dir_ = second;
  EXPECT_EQ(Disk(), other);
  File("d");
  {
    JournalWriter w;  // cut off after its plan
    ASSERT_EQ(w.Create(JournalDirDisk(), "run", ""), 0);
    w.PlanRename(0, dir_, "d", platform::IdentityOf(dir_ + "d"), "e", "", 0);
    ASSERT_EQ(w.Commit(), 0);
  }
  WriteFile(JournalDirDisk() + "29991231-000000.000000-1.journal", "tonbo-journal\t2\trun\t\n");
  const CliRun runs = RunTonboCli({"--runs"});
  EXPECT_EQ(runs.code, 1);  // a journal of another format
  for (const std::string& line :
       {std::string("\t-\t読めない記録\n"), "\t1\t途中で終了\t" + second + "\n",
        "\t1\t完了\t" + second + "\n", "\t2\t元に戻した\t" + first + "\n"})
    EXPECT_NE(runs.out.find(line), std::string::npos) << line << runs.out;
}

// A run with one file written since: --undo, dry or with --apply, names
// the file and why, and moves no file of the run.
TEST_F(CliJournal, UndoOfARunWithAChangedFileMovesNothing) {
  File("a");
  File("b");
  ASSERT_EQ(RunTonboCli({"--prepend", "x_", "--apply", dir_}).code, 0);
  WriteFile(dir_ + "x_b", "edited");
  const auto before = Disk();
  const std::string out = RunTonboCli({"--runs"}).out, id = out.substr(out.find('\n') + 1, 15);
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--undo", id}, {"--undo", id, "--apply"}}) {
    const CliRun undo = RunTonboCli(args);
    EXPECT_EQ(undo.code, 1);
    EXPECT_NE(undo.err.find("  x_b → b（名前の変更の後で書き換えられています）"), std::string::npos)
        << undo.err;
    EXPECT_EQ(Disk(), before);
  }
}

}  // namespace
}  // namespace tonbo::test
