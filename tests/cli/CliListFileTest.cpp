// --save-list and --load-list: the list file of the windows, end to end.
#include "CliHarness.h"

namespace tonbo::test {
namespace {

using Files = std::map<std::string, std::string>;

class CliListFile : public CliFolder {
 protected:
  std::string lists_ = MakeTempDir("lists");

  std::vector<std::string> Paths(const CliRun& run) const {
    std::vector<std::string> out;
    for (const auto& row : TableRows(run.out)) out.push_back(row.size() > 2 ? row[2] : "");
    return out;
  }
};

// The list holds the table after the steps with every column; read back it
// gives the files under their names on disk.
TEST_F(CliListFile, SavedAfterTheStepsAndLoadedBack) {
  File("a.txt", "A", 1700000000);
  File("b.jpg", "BB", 1700000000);
  const std::string list = lists_ + "l.csv";
  const CliRun save =
      RunTonboCli({"--select-mask", "*.txt", "--name", "x", "--save-list", list, dir_});
  ASSERT_EQ(save.code, 0) << save.err;
  TCsvDb saved;
  saved.LoadFromFile(list);
  ASSERT_EQ(saved.RowCount(), 2);
  const int a = saved.GetCell(colExt, 0) == ".txt" ? 0 : 1;
  EXPECT_EQ(saved.GetCell(colNewName, a), "x");
  EXPECT_EQ(saved.GetCell(colModified, a), "2023/11/14 22:13:20");
  EXPECT_EQ(saved.GetCell(colSize, 1 - a), "2");
  EXPECT_EQ(saved.GetCell(colPath, a), dir_ + "a.txt");
  EXPECT_NE(save.err.find("2個のファイルのリストを保存しました："), std::string::npos) << save.err;

  const CliRun load = RunTonboCli({"--load-list", list});
  EXPECT_EQ(load.code, 0) << load.err;
  EXPECT_EQ(Paths(load), (std::vector<std::string>{std::string(saved.GetCell(colPath, 0)),
                                                   std::string(saved.GetCell(colPath, 1))}));
  EXPECT_EQ(NewNames(load)[a], "a.txt");
}

// Renamed meanwhile to the saved new name: found; to the new name with its
// extension: reported, exit code 1, the rest still listed.
TEST_F(CliListFile, RenamedFilesAreFoundOrReported) {
  File("a.txt");
  File("b.txt");
  File("c.txt");
  const std::string list = lists_ + "l.csv";
  ASSERT_EQ(
      RunTonboCli({"--renban", "--save-list", list, dir_ + "a.txt", dir_ + "b.txt", dir_ + "c.txt"})
          .code,
      0);
  ASSERT_EQ(rename((dir_ + "a.txt").c_str(), (dir_ + "001").c_str()), 0);
  ASSERT_EQ(rename((dir_ + "b.txt").c_str(), (dir_ + "002.txt").c_str()), 0);
  const CliRun load = RunTonboCli({"--load-list", list});
  EXPECT_EQ(load.code, 1) << load.err;
  EXPECT_EQ(Paths(load), (std::vector<std::string>{dir_ + "001", dir_ + "c.txt"}));
  EXPECT_NE(load.err.find("ファイルが見つかりません。：" + dir_ + "002\n"), std::string::npos)
      << load.err;
}

TEST_F(CliListFile, ListsComeAfterThePathsAndAFileIsListedOnce) {
  File("a.txt");
  File("b.txt");
  const std::string list = lists_ + "l.csv";
  WriteFile(list, ",,,,," + dir_ + "b.txt\r\n,,,,," + dir_ + "a.txt\r\n");
  const CliRun run = RunTonboCli({dir_ + "a.txt", "--load-list", list, "--load-list", list});
  EXPECT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(Paths(run), (std::vector<std::string>{dir_ + "a.txt", dir_ + "b.txt"}));
}

// A name holding a line break is reported on one line, escaped.
TEST_F(CliListFile, MissingNamesAreEscapedInTheReport) {
  const std::string list = lists_ + "l.csv";
  WriteFile(list, "\"x\r\n\x1b[31m\",,,,," + dir_ + "gone\r\n");
  const CliRun run = RunTonboCli({"--load-list", list});
  EXPECT_EQ(run.code, 1);
  EXPECT_NE(run.err.find("ファイルが見つかりません。：" + dir_ + "x\\r\\n\\x1b[31m\n"),
            std::string::npos)
      << run.err;
  EXPECT_NE(run.err.find("何も追加できるファイルがありませんでした："), std::string::npos);
}

TEST_F(CliListFile, UnreadableListEndsTheRunBeforeAnyRename) {
  File("a.txt", "A");
  FifoTrap fifo(lists_ + "fifo.csv");  // never waited on
  WriteFile(lists_ + "big.csv", "");
  ASSERT_EQ(truncate((lists_ + "big.csv").c_str(), off_t{512 << 20} + 1), 0);  // sparse
  for (const auto& [name, reason] :
       {std::pair{"no.csv", "（ファイルが見つかりません）"},
        {"fifo.csv", "（パイプやデバイスなど、通常のファイルではありません）"},
        {"big.csv", "（512 MB を超えるファイルは読み込みません）"}}) {
    const CliRun run = RunTonboCli({"--name", "z", "--apply", dir_, "--load-list", lists_ + name});
    EXPECT_EQ(run.code, 2);
    EXPECT_NE(run.err.find("リストのファイルを読み込めません：" + lists_ + name + reason),
              std::string::npos)
        << run.err;
    EXPECT_EQ(Disk(), (Files{{"a.txt", "A"}}));
  }
  EXPECT_FALSE(fifo.Caught());
}

// The list cannot be written (a folder has its name): nothing is renamed,
// nothing half-written is left.
TEST_F(CliListFile, FailedSaveStopsBeforeTheRenames) {
  File("a.txt", "A");
  const std::string taken = lists_ + "taken.csv";
  mkdir(taken.c_str(), 0700);
  const CliRun run = RunTonboCli({"--name", "z", "--save-list", taken, "--apply", dir_});
  EXPECT_EQ(run.code, 1);
  EXPECT_NE(run.err.find("リストを保存できませんでした：" + taken), std::string::npos) << run.err;
  EXPECT_EQ(Disk(), (Files{{"a.txt", "A"}}));
  DIR* d = opendir(lists_.c_str());
  int entries = 0;
  while (dirent* e = readdir(d)) entries += e->d_name[0] != '.';
  closedir(d);
  EXPECT_EQ(entries, 1);
}

TEST_F(CliListFile, BadUsage) {
  const std::string list = lists_ + "l.csv";
  WriteFile(list, "");
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--save-list", list, "--save-list", list, dir_},
        {"--save-list", "", dir_},
        {"--load-list"},
        {"--save-list", list},
        {"--undo-last", "--load-list", list}}) {
    const CliRun run = RunTonboCli(args);
    EXPECT_EQ(run.code, 2) << args.front() << run.err;
  }
  const CliRun alone = RunTonboCli({"--load-list=" + list});
  EXPECT_EQ(alone.code, 0) << alone.err;
  EXPECT_EQ(alone.out, "");
}

}  // namespace
}  // namespace tonbo::test
