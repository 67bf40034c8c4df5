// --write-batch, --write-script and --backup-to: the real tonbo-cli on real
// folders, every folder's bytes compared before and after.
#include "CliHarness.h"

namespace tonbo::test {
namespace {

using Files = std::map<std::string, std::string>;

Files FilesOf(const std::string& dir) {
  Files out;
  if (DIR* d = opendir(dir.c_str())) {
    while (dirent* e = readdir(d)) {
      const std::string n = e->d_name;
      if (n != "." && n != "..") out[n] = ReadFile(dir + n);
    }
    closedir(d);
  }
  return out;
}

class CliKeep : public CliFolder {};

TEST_F(CliKeep, BatchAndScriptDescribeTheRenamesAndChangeNothing) {
  File("a b.txt", "A");
  File("c.txt", "C");
  const std::string out = MakeTempDir("out");
  const CliRun run = RunTonboCli({"--prepend", "写真 ", "--write-batch", out + "list.bat",
                                  "--write-script=" + out + "list.sh", dir_});
  EXPECT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(run.out, "");  // no table: the files are the output
  EXPECT_EQ(Disk(), (Files{{"a b.txt", "A"}, {"c.txt", "C"}}));
  const std::string batch = enc::FromSjis(ReadFile(out + "list.bat")).toStdString();
  EXPECT_EQ(batch.rfind("; Tonbo自動生成バッチファイル\r\n", 0), 0u) << batch;
  EXPECT_NE(batch.find("ren \"" + dir_ + "a b.txt\" \"写真 a b.txt\"\r\n"), std::string::npos);
  EXPECT_NE(run.err.find("リストの全ファイルについてバッチファイルに変換しました。"),
            std::string::npos);
  // The script does what --apply would have done.
  ASSERT_EQ(system(("sh '" + out + "list.sh'").c_str()), 0);
  EXPECT_EQ(Disk(), (Files{{"写真 a b.txt", "A"}, {"写真 c.txt", "C"}}));
}

TEST_F(CliKeep, AFileThatCannotBeWrittenIsAnErrorAndLeavesNothing) {
  File("a.txt");
  const std::string out = MakeTempDir("out");
  const CliRun run = RunTonboCli({"--write-batch", out + "no/such.bat", dir_});
  EXPECT_EQ(run.code, 1);
  EXPECT_NE(run.err.find("に書き込めませんでした（ファイルが見つかりません）"), std::string::npos)
      << run.err;
  EXPECT_EQ(FilesOf(out), Files());
  EXPECT_EQ(RunTonboCli({"--write-batch", dir_}).code, 2);  // a value but no path
  EXPECT_EQ(RunTonboCli({dir_, "--write-script"}).code, 2);
}

TEST_F(CliKeep, BackupCopiesTheSelectionUnderItsNewNames) {
  File("a.txt", "A", 1700000100);
  File("b.txt", "B", 1700000100);
  File("c.jpg", "C");
  const std::string to = MakeTempDir("to");
  WriteFile(to + "x_a.txt", "old");
  const CliRun run = RunTonboCli({"--prepend", "x_", "--select-mask", "*.txt", "--backup-to", to,
                                  "--on-conflict", "number", dir_});
  EXPECT_EQ(run.code, 1) << run.err;  // the renamed copy is logged
  EXPECT_EQ(FilesOf(to), (Files{{"x_a.txt", "old"}, {"x_a_1.txt", "A"}, {"x_b.txt", "B"}}));
  EXPECT_EQ(Disk(), (Files{{"a.txt", "A"}, {"b.txt", "B"}, {"c.jpg", "C"}}));
  EXPECT_NE(run.err.find("2個のファイルをコピーしました。"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("適当に改名：\"x_a.txt\"を\"" + to + "x_a_1.txt\"に改名"),
            std::string::npos)
      << run.err;
}

TEST_F(CliKeep, BackupClashMethodsFromTheCommandLine) {
  File("a.txt", "new", 1700000100);
  const std::string to = MakeTempDir("to");
  WriteFile(to + "a.txt", "older");
  const struct timespec older[2] = {{1700000000, 0}, {1700000000, 0}};
  utimensat(AT_FDCWD, (to + "a.txt").c_str(), older, 0);
  ASSERT_EQ(FilesOf(to), (Files{{"a.txt", "older"}}));
  CliRun run = RunTonboCli({"--backup-to", to, dir_});  // skip by default
  EXPECT_EQ(run.code, 1);
  EXPECT_NE(run.err.find("同名ファイルがあったのでスキップ：\"" + dir_ + "a.txt\""),
            std::string::npos)
      << run.err;
  EXPECT_EQ(FilesOf(to), (Files{{"a.txt", "older"}}));
  run = RunTonboCli({"--backup-to", to, "--on-conflict", "stop", dir_});
  EXPECT_EQ(run.code, 1);
  EXPECT_NE(run.err.find("処理は途中で中止されました。"), std::string::npos) << run.err;
  EXPECT_EQ(FilesOf(to), (Files{{"a.txt", "older"}}));
  run = RunTonboCli({"--backup-to", to, "--on-conflict", "newer", dir_});
  EXPECT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(FilesOf(to), (Files{{"a.txt", "new"}}));
  // Into the list's own folder: a listed file is never overwritten.
  run = RunTonboCli({"--backup-to", dir_, "--on-conflict", "overwrite", dir_});
  EXPECT_EQ(run.code, 1);
  EXPECT_NE(run.err.find("（リストにあるファイルには上書きしません）"), std::string::npos);
  EXPECT_EQ(Disk(), (Files{{"a.txt", "new"}}));
}

TEST_F(CliKeep, AMissingBackupFolderIsBadUsage) {
  File("a.txt");
  const CliRun run = RunTonboCli({"--backup-to", dir_ + "nowhere", dir_});
  EXPECT_EQ(run.code, 2);
  EXPECT_NE(run.err.find("バックアップ先のフォルダが見つかりません"), std::string::npos);
  EXPECT_EQ(Disk(), (Files{{"a.txt", "x"}}));
}

}  // namespace
}  // namespace tonbo::test
