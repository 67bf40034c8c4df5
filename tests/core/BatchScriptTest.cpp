// The batch file's text, and the shell script run for real on names that a
// careless script would execute, split or lose.
#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <map>
#include <set>

#include "TestEnv.h"
#include "common/Paths.h"
#include "common/Sjis.h"
#include "core/BatchWriter.h"

namespace tonbo {
namespace {

using Manifest = std::map<std::string, std::string>;

Manifest Files(const std::string& dir) { return test::FolderFiles(dir); }

// A row for a file of dir named by disk bytes, to be named newName (disk bytes).
void AddRow(TCsvDb& table, const std::string& dir, const std::string& name,
            const std::string& newName) {
  std::string path, base, ext;
  enc::DiskToSjis(dir + name, path);
  enc::DiskToSjis(ExtractFileBase(newName), base);
  enc::DiskToSjis(ExtractFileExt(newName), ext);
  const int r = table.RowCount();
  table.SetCell(colNewName, r, base);
  table.SetCell(colExt, r, ext);
  table.SetCell(colPath, r, path);
}

TEST(BatchTextTest, HeadingThenOneLinePerRowInTableOrder) {
  TCsvDb table;
  EXPECT_EQ(BatchText(table).text, enc::Lit("; Tonbo自動生成バッチファイル") + "\r\n");
  AddRow(table, "/d/", "a b.txt", "c d.txt");
  AddRow(table, "/d/", "same.txt", "same.txt");  // unchanged: still a ren line
  AddRow(table, "/d/", "gone.txt", "gone.txt");
  table.MarkForDeletion(2);
  AddRow(table, "/d/", "x", "写真.jpg");
  EXPECT_EQ(enc::FromSjis(BatchText(table).text).toStdString(),
            "; Tonbo自動生成バッチファイル\r\n"
            "ren \"/d/a b.txt\" \"c d.txt\"\r\n"
            "ren \"/d/same.txt\" \"same.txt\"\r\n"
            "del \"/d/gone.txt\"\r\n"
            "ren \"/d/x\" \"写真.jpg\"\r\n");
}

// A line end must not start a command, nor a quote end the quoting: such rows are logged.
TEST(BatchTextTest, RowsThatCannotBeQuotedAreLoggedNotWritten) {
  TCsvDb table;
  AddRow(table, "/d/", "a.txt", "x\r\ndel C:\\Windows\r\n.txt");
  AddRow(table, "/d/", "b\n.txt", "b.txt");
  table.MarkForDeletion(1);
  AddRow(table, "/d/", "c.txt", "c\" & del x & \".txt");
  AddRow(table, "/d/", "ok\xE2\x80\xA8.txt", "e f.txt");  // a line separator is no control here
  const BatchFile batch = BatchText(table);
  const std::string left = "バッチファイルに書きませんでした：\"/d/",
                    control = "（名前に改行などの制御文字があります）\r\n";
  EXPECT_EQ(enc::FromSjis(batch.text + batch.log).toStdString(),
            "; Tonbo自動生成バッチファイル\r\nren \"/d/ok\xE2\x80\xA8.txt\" \"e f.txt\"\r\n" +
                left + "a.txt\"" + control + left + "b\\n.txt\"" + control + left +
                "c.txt\"（名前に「\"」があります）\r\n");
  EXPECT_EQ(batch.left, 3);
}

TEST(WriteWholeFileTest, AFailedWriteKeepsTheOldFileAndSaysWhy) {
  const std::string dir = test::MakeTempDir("bat");
  test::WriteFile(dir + "old.bat", "old");
  EXPECT_EQ(WriteWholeFile(dir + "old.bat", "new"), 0);
  EXPECT_EQ(test::ReadFile(dir + "old.bat"), "new");
  EXPECT_EQ(WriteWholeFile(dir + "missing/x.bat", "x"), ENOENT);
  mkdir((dir + "folder").c_str(), 0755);
  EXPECT_NE(WriteWholeFile(dir + "folder", "x"), 0);
  EXPECT_EQ(Files(dir), (Manifest{{"old.bat", "new"}, {"folder", ""}}));  // no temporary file left
  EXPECT_EQ(WriteWholeFile(dir + "s.sh", "#!/bin/sh\n", true), 0);
  struct stat st {};
  ASSERT_EQ(stat((dir + "s.sh").c_str(), &st), 0);
  EXPECT_TRUE(st.st_mode & S_IXUSR);
}

class ShellScriptTest : public ::testing::Test {
 protected:
  std::string dir_ = test::MakeTempDir("sh");
  std::string work_ = test::MakeTempDir("shwork");
  TCsvDb table_;
  std::string errors_;
  // Put in front of PATH while the script runs (the sandbox's own gio does nothing).
  std::string path_;

  void File(const std::string& name) { test::WriteFile(dir_ + name, "<" + name + ">"); }
  void Row(const std::string& name, const std::string& newName) {
    AddRow(table_, dir_, name, newName);
  }
  // Writes the script and runs it with sh in another folder; the exit code.
  int RunScript() {
    const std::string script = work_ + "run.sh";
    EXPECT_EQ(WriteWholeFile(script, ShellScriptText(table_), true), 0);
    const std::string command = "cd '" + work_ + "' && PATH='" + path_ +
                                "/usr/bin:'\"$PATH\" sh '" + script + "' 2>'" + work_ +
                                "errors.txt'";
    const int status = system(command.c_str());
    errors_ = test::ReadFile(work_ + "errors.txt");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::multiset<std::string> Trash() const {
    std::multiset<std::string> out;
    for (const auto& [name, content] :
         Files(std::string(getenv("XDG_DATA_HOME")) + "/Trash/files/"))
      out.insert(content);
    return out;
  }
};

TEST_F(ShellScriptTest, NamesThatAShellWouldReadStayNames) {
  const std::string names[] = {
      "it's.txt",
      "say \"hi\".txt",
      "$HOME.txt",
      "`touch pwned`.txt",
      "back\\slash.txt",
      "bang!.txt",
      "star*.txt",
      "new\nline.txt",
      "-n dash.txt",
      "  two  spaces .txt",
      "caf\xe9.txt",
      "$(touch pwned)",
      "'; touch pwned; '.txt",
  };
  Manifest expected;
  for (const std::string& n : names) {
    File(n);
    Row(n, "r " + n);
    expected["r " + n] = "<" + n + ">";
  }
  ASSERT_EQ(Files(dir_).size(), std::size(names));
  EXPECT_EQ(RunScript(), 0) << errors_;
  EXPECT_EQ(errors_, "");
  EXPECT_EQ(Files(dir_), expected);
  EXPECT_EQ(Files(work_).count("pwned"), 0u);
  EXPECT_EQ(Files(dir_).count("pwned"), 0u);
}

TEST_F(ShellScriptTest, ChainsSwapsAndRingsGoInASafeOrder) {
  for (const char* n : {"a", "b", "c", "d", "e", "x", "y", "z", "old"}) File(n);
  Row("a", "b");  // a swap
  Row("b", "a");
  Row("c", "d");  // a chain listed in the unlucky order: d must leave first
  Row("d", "e");
  Row("x", "y");  // a ring of three
  Row("y", "z");
  Row("z", "x");
  Row("old", "old");
  table_.MarkForDeletion(7);  // to the trash
  Row("e", "gone");           // e leaves before d arrives
  const std::multiset<std::string> trashBefore = Trash();
  EXPECT_EQ(RunScript(), 0) << errors_;
  EXPECT_EQ(Files(dir_), (Manifest{{"a", "<b>"},
                                   {"b", "<a>"},
                                   {"d", "<c>"},
                                   {"e", "<d>"},
                                   {"gone", "<e>"},
                                   {"y", "<x>"},
                                   {"z", "<y>"},
                                   {"x", "<z>"}}));
  EXPECT_EQ(Trash().size(), trashBefore.size() + 1);
  EXPECT_EQ(Trash().count("<old>"), trashBefore.count("<old>") + 1);
}

TEST_F(ShellScriptTest, WhatCannotBeDoneIsPrintedAndNothingIsReplaced) {
  for (const char* n : {"p", "q", "r", "taken", "s", "t"}) File(n);
  Row("p", "same");  // two rows, one new name: the second finds it taken
  Row("q", "same");
  Row("r", "taken");  // a file outside the list holds the name
  Row("missing", "found");
  Row("s", "name");  // a name that would leave the folder
  table_.SetCell(colNewName, table_.RowCount() - 1, "bad/name");
  Row("t", "u");  // a ring whose partner has gone since: nothing moves
  Row("u", "t");
  const int code = RunScript();
  EXPECT_EQ(code, 1);
  EXPECT_EQ(Files(dir_), (Manifest{{"same", "<p>"},
                                   {"q", "<q>"},
                                   {"r", "<r>"},
                                   {"taken", "<taken>"},
                                   {"s", "<s>"},
                                   {"t", "<t>"}}));
  // One line per failed row, each naming the script's line.
  int lines = 0;
  for (char c : errors_) lines += c == '\n';
  EXPECT_EQ(lines, 5) << errors_;
  EXPECT_NE(
      errors_.find("同じ名前のファイルがあるので変更しません：" + dir_ + "q → " + dir_ + "same"),
      std::string::npos)
      << errors_;
  EXPECT_NE(errors_.find("ファイルが見つかりません：" + dir_ + "missing"), std::string::npos);
  EXPECT_NE(errors_.find("名前を変更できません（名前に「/」は使えません）：" + dir_ + "s"),
            std::string::npos);
  EXPECT_NE(errors_.find("ファイルが見つかりません：" + dir_ + "u"), std::string::npos);
}

TEST_F(ShellScriptTest, ARingThatCannotGoRoundIsPutBack) {
  for (const char* n : {"a", "b", "c"}) File(n);
  Row("a", "b");
  Row("b", "c");
  Row("c", "a");
  const Manifest before = Files(dir_);
  // The temporary name is taken: the ring does not start.
  mkdir((dir_ + ".tonbo-ring-0").c_str(), 0755);
  EXPECT_EQ(RunScript(), 1);
  rmdir((dir_ + ".tonbo-ring-0").c_str());
  EXPECT_EQ(Files(dir_), before);
  // A move inside the ring fails (an mv that refuses to move b): the files
  // that had moved go back, the parked one last.
  mkdir((work_ + "bin").c_str(), 0755);
  test::WriteFile(work_ + "bin/mv",
                  "#!/bin/sh\ncase \"$3\" in */b) exit 1;; esac\nexec /bin/mv \"$@\"\n");
  chmod((work_ + "bin/mv").c_str(), 0755);
  path_ = work_ + "bin:";
  EXPECT_EQ(RunScript(), 1);
  EXPECT_EQ(Files(dir_), before);
  EXPECT_NE(errors_.find("入れ替えを元に戻します"), std::string::npos) << errors_;
  // And with a working mv the same script goes round.
  path_.clear();
  EXPECT_EQ(RunScript(), 0) << errors_;
  EXPECT_EQ(Files(dir_), (Manifest{{"a", "<c>"}, {"b", "<a>"}, {"c", "<b>"}}));
}

}  // namespace
}  // namespace tonbo
