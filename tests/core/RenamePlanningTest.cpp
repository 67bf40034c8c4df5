// The run planned as a whole: chains, rings, identity, refused names, the
// reasons in the log and stopping through the progress. Every test compares
// the folder's files (name and bytes) with what the list showed.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <tuple>

#include <sys/stat.h>

#include "RenameFixture.h"
#include "common/Folders.h"
#include "core/BatchWriter.h"
#include "core/RenamePlan.h"
#include "core/RunJournal.h"

namespace tonbo {
namespace {

using Files = std::map<std::string, std::string>;

class RenamePlanning : public RenameFixture {
 protected:
  // Lists name -> newName for each pair and writes each file with its old name as content.
  void Rows(const std::vector<std::pair<std::string, std::string>>& pairs) {
    for (const auto& [from, to] : pairs) {
      File(from, from);
      Row(from, to);
    }
  }
  // What the folder must hold after every pair was done: new name -> old name.
  static Files Expected(const std::vector<std::pair<std::string, std::string>>& pairs) {
    Files out;
    for (const auto& [from, to] : pairs) out[to] = from;
    return out;
  }
  void ExpectAllDone(const std::vector<std::pair<std::string, std::string>>& pairs) {
    const RenameResult r = Run();
    EXPECT_EQ(r.renamed, static_cast<int>(pairs.size())) << Log(r);
    EXPECT_EQ(r.notDone, 0) << Log(r);
    EXPECT_TRUE(asked_.empty());
    EXPECT_EQ(Disk(), Expected(pairs));
    std::vector<std::string> shown;
    for (const auto& p : pairs) shown.push_back(dir_ + p.second);
    EXPECT_EQ(r.paths, shown);
  }
};

std::string Num(int n) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%04d.dat", n);
  return buf;
}

TEST_F(RenamePlanning, ChainsSucceedInEitherListOrder) {
  Rows({{"a", "b"}, {"b", "c"}, {"c", "d"}});
  ExpectAllDone({{"a", "b"}, {"b", "c"}, {"c", "d"}});
}

TEST_F(RenamePlanning, ChainsListedBackwardsSucceedToo) {
  Rows({{"c", "d"}, {"b", "c"}, {"a", "b"}});
  ExpectAllDone({{"c", "d"}, {"b", "c"}, {"a", "b"}});
}

TEST_F(RenamePlanning, AThousandFilesShiftedByOne) {
  std::vector<std::pair<std::string, std::string>> pairs;
  for (int i = 1; i <= 1000; ++i) pairs.emplace_back(Num(i), Num(i + 1));
  Rows(pairs);
  ExpectAllDone(pairs);
}

TEST_F(RenamePlanning, SwapsAndRotationsGoRoundWithoutATrace) {
  std::vector<std::pair<std::string, std::string>> pairs = {{"x", "y"},
                                                            {"y", "x"},  // a swap
                                                            {"p", "q"},
                                                            {"q", "r"},
                                                            {"r", "p"}};  // a rotation of three
  for (int i = 0; i < 10; ++i) pairs.emplace_back(Num(i), Num((i + 1) % 10));  // of ten
  std::reverse(pairs.begin() + 5, pairs.end());                                // any list order
  Rows(pairs);
  ExpectAllDone(pairs);  // Disk() sees every entry: no temporary name is left
}

TEST_F(RenamePlanning, TheSameNamesInOtherFoldersAreOtherFiles) {
  // a/x -> y while a/y stays; b/y -> x and b/x leaves for z. Taken as names
  // alone, a/x and b/y would look like a swap and b/y like a wait for b/x.
  for (const char* sub : {"a", "b"}) mkdir((dir_ + sub).c_str(), 0755);
  File("a/x", "ax");
  File("a/y", "ay");
  File("b/x", "bx");
  File("b/y", "by");
  Row("a/x", "y");
  Row("b/y", "x");
  Row("b/x", "z");
  answers_ = {{ConflictButton::Ok, ConflictMethod::Number}};
  const RenameResult r = Run();
  EXPECT_EQ(r.renamed, 3) << Log(r);
  EXPECT_EQ(asked_, std::vector<std::string>{dir_ + "a/y"});
  EXPECT_EQ(test::ReadFile(dir_ + "a/y_1"), "ax");
  EXPECT_EQ(test::ReadFile(dir_ + "a/y"), "ay");
  EXPECT_EQ(test::ReadFile(dir_ + "b/x"), "by");
  EXPECT_EQ(test::ReadFile(dir_ + "b/z"), "bx");
  EXPECT_EQ(r.paths, (std::vector<std::string>{dir_ + "a/y_1", dir_ + "b/x", dir_ + "b/z"}));
}

TEST_F(RenamePlanning, OverwriteForAllMeetsNoListedFileInARing) {
  // The reported loss: b->c, c->a, a->b with "上書きする" and "以降全て".
  Rows({{"b", "c"}, {"c", "a"}, {"a", "b"}});
  const size_t trashed = TrashContents().count("c");
  File("outside", "O");
  Row("outside", "a");  // a name of the ring that stays taken once the ring is done
  answers_ = {{ConflictButton::OkAll, ConflictMethod::Overwrite}};
  const RenameResult r = Run();
  EXPECT_EQ(r.renamed, 4);
  EXPECT_EQ(asked_, std::vector<std::string>{dir_ + "a"});
  EXPECT_EQ(Disk(), (Files{{"c", "b"}, {"a", "O"}, {"b", "a"}}));
  EXPECT_EQ(TrashContents().count("c"), trashed + 1);  // the file the ring put at "a"
}

TEST_F(RenamePlanning, EveryMethodOnAChainWhoseEndIsTaken) {
  for (ConflictMethod method : {ConflictMethod::Overwrite, ConflictMethod::OverwriteIfNewer,
                                ConflictMethod::Number, ConflictMethod::Skip}) {
    SCOPED_TRACE(static_cast<int>(method));
    dir_ = test::MakeTempDir("method");
    table_.Clear();
    asked_.clear();
    File("end", "END", 1600000000);  // older than the listed files
    Rows({{"a", "b"}, {"b", "end"}});
    answers_ = {{ConflictButton::OkAll, method}};
    const RenameResult r = Run();
    EXPECT_EQ(asked_, std::vector<std::string>{dir_ + "end"});
    const Files after = Disk();
    size_t files = after.size();
    switch (method) {
      case ConflictMethod::Overwrite:
      case ConflictMethod::OverwriteIfNewer:
        EXPECT_EQ(after, (Files{{"b", "a"}, {"end", "b"}}));
        ++files;  // "END" is in the trash
        break;
      case ConflictMethod::Number:
        EXPECT_EQ(after, (Files{{"b", "a"}, {"end", "END"}, {"end_1", "b"}}));
        break;
      case ConflictMethod::Skip:
        // b stays, so a meets it and is skipped too.
        EXPECT_EQ(after, (Files{{"a", "a"}, {"b", "b"}, {"end", "END"}}));
        break;
    }
    EXPECT_EQ(files, 3u) << Log(r);
  }
}

// Once the run is under way, other files take the given names: written
// beside and renamed over, as editors save, so each is a new inode.
struct Swapper : ProgressSink {
  Swapper(std::string d, std::vector<std::string> n) : dir(std::move(d)), names(std::move(n)) {}
  bool Step(std::int64_t done, std::int64_t, const std::string&) override {
    if (done == 0)
      for (const std::string& n : names) {
        test::WriteFile(dir + n + ".new", "other " + n);
        rename((dir + n + ".new").c_str(), (dir + n).c_str());
      }
    return true;
  }
  std::string dir;
  std::vector<std::string> names;
};

TEST_F(RenamePlanning, AFileReplacedSinceItWasListedIsLeftAlone) {
  Rows({{"a", "b"}, {"c", "d"}, {"x", "y"}, {"y", "x"}});
  File("m", "m");
  Mark("m");
  // Other files take the names of c, x and m once the run is under way.
  Swapper swapper(dir_, {"c", "x", "m"});
  progress_ = &swapper;
  answers_ = {{ConflictButton::Ok, ConflictMethod::Skip}};  // y meets the other x
  const RenameResult r = Run();
  EXPECT_EQ(Disk(),
            (Files{{"b", "a"}, {"c", "other c"}, {"x", "other x"}, {"y", "y"}, {"m", "other m"}}));
  EXPECT_EQ(TrashContents().count("other m"), 0u);
  const std::string log = Log(r);
  const std::string replaced = "（リストに加えた後で別のファイルに置き換わっています）\r\n";
  EXPECT_NE(log.find("名前の変更に失敗：\"d\"←\"" + dir_ + "c\"" + replaced), std::string::npos)
      << log;
  EXPECT_NE(log.find("名前の変更に失敗：\"y\"←\"" + dir_ + "x\"" + replaced), std::string::npos);
  EXPECT_NE(log.find("ごみ箱に移動できませんでした：\"" + dir_ + "m\"" + replaced),
            std::string::npos);
  EXPECT_NE(log.find("同名ファイルがあったのでスキップ：\"x\"←\"" + dir_ + "y\"\r\n"),
            std::string::npos);
  EXPECT_EQ(r.renamed, 1);
  EXPECT_EQ(r.notDone, 4);
}

// A folder with many rows is listed once at the start instead of a stat per
// file; a file replaced after that is still caught before it moves.
TEST_F(RenamePlanning, ALargeFolderReadOnceStillCatchesAFileReplacedDuringTheRun) {
  Files expected;
  for (int i = 0; i < 200; ++i) {
    const std::string n = "p" + std::to_string(i);
    File(n, n);
    Row(n, "q" + std::to_string(i));
    expected["q" + std::to_string(i)] = n;
  }
  Rows({{"c", "d"}, {"x", "y"}, {"y", "x"}});
  Swapper swapper(dir_, {"c", "y"});
  progress_ = &swapper;
  answers_ = {{ConflictButton::Ok, ConflictMethod::Skip}};  // x meets the other y
  const RenameResult r = Run();
  expected.insert({{"c", "other c"}, {"x", "x"}, {"y", "other y"}});
  EXPECT_EQ(Disk(), expected);
  EXPECT_EQ(r.renamed, 200) << Log(r);
  EXPECT_EQ(r.notDone, 3);
  const std::string replaced = "（リストに加えた後で別のファイルに置き換わっています）\r\n";
  EXPECT_NE(Log(r).find("名前の変更に失敗：\"d\"←\"" + dir_ + "c\"" + replaced), std::string::npos)
      << Log(r);
}

TEST_F(RenamePlanning, NamesThatWouldLeaveTheFolderAreRefused) {
  mkdir((dir_ + "sub").c_str(), 0755);
  const std::string sub = dir_;
  dir_ += "sub/";
  File("a", "A");
  File("b", "B");
  File("c", "C");
  File("d", "D");
  File("e", "E");
  // The cells as a naming command may leave them (name, extension).
  for (const auto& [name, base, ext] :
       std::vector<std::tuple<std::string, std::string, std::string>>{
           {"a", "../a", ""},
           {"b", "..", ""},
           {"c", ".", ""},
           {"d", std::string("x\0y", 3), ""},
           {"e", "sub/e", ".txt"}}) {
    const int r = table_.RowCount();
    table_.SetCell(colNewName, r, base);
    table_.SetCell(colExt, r, ext);
    table_.SetCell(colPath, r, dir_ + name);
  }
  const RenameResult r = Run();
  EXPECT_EQ(r.notDone, 5);
  EXPECT_EQ(Disk(), (Files{{"a", "A"}, {"b", "B"}, {"c", "C"}, {"d", "D"}, {"e", "E"}}));
  EXPECT_FALSE(platform::FileExists(sub + "a"));
  const std::string log = Log(r);
  EXPECT_NE(log.find("名前の変更に失敗：\"../a\"←\"" + dir_ + "a\"（名前に「/」は使えません）\r\n"),
            std::string::npos)
      << log;
  EXPECT_NE(log.find("（「.」と「..」は名前にできません）\r\n名前の変更に失敗：\".\""),
            std::string::npos)
      << log;
  EXPECT_NE(log.find("（名前に使えない文字があります）"), std::string::npos);
  EXPECT_TRUE(r.paths.empty());
}

TEST_F(RenamePlanning, AFolderWithoutWritePermissionGivesTheReason) {
  if (geteuid() == 0) GTEST_SKIP() << "the superuser may write anywhere";
  Rows({{"a", "b"}});
  chmod(dir_.c_str(), 0555);
  const RenameResult r = Run();
  chmod(dir_.c_str(), 0755);
  EXPECT_NE(Log(r).find("（書き込み権限がありません）\r\n"), std::string::npos) << Log(r);
}

// Stops at the stopAt-th file (the third unless told); counts every call.
struct StopAt : ProgressSink {
  int stopAt = 3, calls = 0, finished = 0;
  std::int64_t total = 0;
  std::vector<std::string> names;
  bool Step(std::int64_t done, std::int64_t all, const std::string& name) override {
    total = all;
    names.push_back(name);
    return ++calls < stopAt || done < 0;
  }
  void Finish() override { ++finished; }
};

TEST_F(RenamePlanning, AStopFromTheProgressLeavesTheRestAsTheyAre) {
  Rows({{"a", "A"}, {"b", "B"}, {"c", "C"}, {"d", "D"}});
  Row("z", "z");  // unchanged: no step
  File("z", "z");
  StopAt stop;
  progress_ = &stop;
  const RenameResult r = Run();
  EXPECT_TRUE(r.stopped);
  EXPECT_EQ(stop.total, 4);
  EXPECT_EQ(stop.names, (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(stop.finished, 1);
  EXPECT_EQ(r.renamed, 2);
  EXPECT_EQ(r.paths,
            (std::vector<std::string>{dir_ + "A", dir_ + "B", dir_ + "c", dir_ + "d", dir_ + "z"}));
  EXPECT_EQ(Disk(), (Files{{"A", "a"}, {"B", "b"}, {"c", "c"}, {"d", "d"}, {"z", "z"}}));
  Journal j;
  ASSERT_TRUE(ReadJournal(r.journal, j));
  EXPECT_TRUE(j.complete);
  EXPECT_EQ(j.entries.size(), 4u);
  EXPECT_TRUE(j.entries[1].renamed);
  EXPECT_FALSE(j.entries[2].renamed);
}

// Row 0 waits for a name of the ring c->a, a->b, b->c, so the planning meets
// the ring through its last row. The ring still goes, parking its first row,
// when the list reaches that row: before x, listed between its rows, and
// the shell script follows the same order.
TEST_F(RenamePlanning, ARingMetThroughALaterRowGoesAtItsFirstRow) {
  Rows({{"d", "a"}, {"c", "a"}, {"x", "y"}, {"b", "c"}, {"a", "b"}});
  const std::string script = ShellScriptText(table_);
  EXPECT_LT(script.find(".tonbo-ring-1' '" + dir_ + "c'"), script.find("'" + dir_ + "x'"));
  StopAt steps;
  steps.stopAt = 100;
  progress_ = &steps;
  answers_ = {{ConflictButton::Ok, ConflictMethod::Skip}};
  Run();
  EXPECT_EQ(steps.names, (std::vector<std::string>{"c", "b", "a", "d", "x"}));
  EXPECT_EQ(asked_, std::vector<std::string>{dir_ + "a"});  // d meets the ring's file at a
  EXPECT_EQ(Disk(), (Files{{"a", "c"}, {"b", "a"}, {"c", "b"}, {"d", "d"}, {"y", "x"}}));
}

// A plan of several megabytes goes to the journal in pieces and reads back whole.
TEST_F(RenamePlanning, ALargePlanIsJournalledWhole) {
  const std::string pad(200, 'n');
  const int files = 3000;
  for (int i = 0; i < files; ++i) {
    File(pad + std::to_string(i), "");
    Row(pad + std::to_string(i), pad + "_" + std::to_string(i));
  }
  const RenameResult r = Run();
  ASSERT_EQ(r.renamed, files) << Log(r);
  struct stat st {};
  ASSERT_EQ(stat(r.journal.c_str(), &st), 0);
  EXPECT_GT(st.st_size, 1 << 20);
  Journal j;
  ASSERT_TRUE(ReadJournal(r.journal, j));
  EXPECT_TRUE(j.planned && j.complete);
  ASSERT_EQ(j.entries.size(), static_cast<size_t>(files));
  EXPECT_EQ(j.entries.back().TargetPath(), dir_ + pad + "_" + std::to_string(files - 1));
  EXPECT_TRUE(j.entries.front().renamed && j.entries.back().renamed);
}

TEST_F(RenamePlanning, TheJournalHoldsThePlanAndTheSteps) {
  Rows({{"x", "y"}, {"y", "x"}, {"tab\tand\nline%", "plain"}});
  Mark("gone");
  answers_ = {};
  const RenameResult r = Run();
  ASSERT_FALSE(r.journal.empty());
  Journal j;
  ASSERT_TRUE(ReadJournal(r.journal, j));
  EXPECT_EQ(j.kind, "run");
  EXPECT_TRUE(j.planned);
  EXPECT_TRUE(j.complete);
  EXPECT_FALSE(JournalInUse(r.journal));
  ASSERT_EQ(j.entries.size(), 3u);  // the missing marked file has nothing to journal
  EXPECT_EQ(j.entries[0].FromPath(), dir_ + "x");
  EXPECT_EQ(j.entries[0].TargetPath(), dir_ + "y");
  EXPECT_FALSE(j.entries[0].parked.empty());  // the ring's first row
  EXPECT_TRUE(j.entries[1].parked.empty());
  EXPECT_EQ(j.entries[2].from, "tab\tand\nline%");
  EXPECT_TRUE(j.entries[0].renamed && j.entries[1].renamed && j.entries[2].renamed);
  EXPECT_EQ(j.entries[0].id.ino, platform::IdentityOf(dir_ + "y").ino);
}

TEST(RunJournalKeeping, OnlyTheLastTwentyFinishedRunsAreKept) {
  const std::string dir = test::MakeTempDir("journals");
  for (int i = 0; i < 25; ++i) {
    const std::string path =
        dir + "2026010" + std::to_string(i / 10) + "-" + std::to_string(100 + i) + ".journal";
    test::WriteFile(path, i == 0 ? "tonbo-journal\t1\trun\t\nplanned\n"
                                 : "tonbo-journal\t1\trun\t\nplanned\ncomplete\t1\t0\t0\n");
  }
  PruneJournals(dir);
  const std::vector<std::string> kept = ListJournals(dir);
  EXPECT_EQ(kept.size(), 21u);  // the twenty newest and the unfinished one
  EXPECT_EQ(kept.back(), dir + "20260100-100.journal");
}

// The settings file sets both limits; a value that is no sensible number keeps its default.
TEST(RunJournalKeeping, TheSettingsFileSaysHowManyRunsAndHowManyDays) {
  const std::pair<const char*, size_t> cases[] = {
      {"", 21},
      {"keep_runs=5", 6},
      {"keep_runs=0", 21},
      {"keep_days=1", 11},
      {"keep_days=-1\r\nkeep_runs=x", 21},
      {"keep_runs=3\r\nkeep_days=1", 4},
  };
  ASSERT_TRUE(MakeDirs(ConfigDirDisk()));
  for (const auto& [settings, kept] : cases) {
    const std::string dir = test::MakeTempDir("journals");
    for (int i = 0; i < 25; ++i) {  // 0 unfinished, 1 to 14 two days old
      const std::string path =
          dir + "2026010" + std::to_string(i / 10) + "-" + std::to_string(100 + i) + ".journal";
      test::WriteFile(path, i == 0 ? "tonbo-journal\t1\trun\t\nplanned\n"
                                   : "tonbo-journal\t1\trun\t\nplanned\ncomplete\t1\t0\t0\n");
      const timespec old = {time(nullptr) - 2 * 24 * 3600, 0}, times[2] = {old, old};
      if (i > 0 && i < 15) utimensat(AT_FDCWD, path.c_str(), times, 0);
    }
    test::WriteFile(SettingsPathDisk(), std::string("[journal]\r\n") + settings + "\r\n");
    PruneJournals(dir);
    EXPECT_EQ(ListJournals(dir).size(), kept) << settings;
  }
  unlink(SettingsPathDisk().c_str());
}

TEST(RunPlan, RingsAreFoundInOnePassAndStartAtTheirFirstRow) {
  // Rows: 0 a->b, 1 b->c, 2 c->a (ring), 3 d->e, 4 x->d (waits for 3), 5 y->y (stays).
  const std::vector<std::string_view> from{"a", "b", "c", "d", "x", "y"};
  const std::vector<std::string_view> to{"b", "c", "a", "e", "d", ""};
  const RunPlan plan = PlanRun(from, to, {1, 1, 1, 1, 1, 0});
  EXPECT_EQ(plan.holder, (std::vector<int>{1, 2, 0, -1, 3, -1}));
  ASSERT_EQ(plan.cycles.size(), 1u);
  EXPECT_EQ(plan.cycles[0], (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(plan.cycleOf, (std::vector<int>{0, 0, 0, -1, -1, -1}));
  EXPECT_EQ(std::vector<int>(plan.waiting.begin() + plan.waitStart[3],
                             plan.waiting.begin() + plan.waitStart[4]),
            std::vector<int>{4});
}

}  // namespace
}  // namespace tonbo
