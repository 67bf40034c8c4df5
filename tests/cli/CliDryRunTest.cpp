// The dry run as a user sees it on a terminal and as a script reads it, and
// the ways files come in: --files-from, plain lists, grouped options.
#include "CliHarness.h"
#include "cli/CliOptions.h"

namespace tonbo::test {
namespace {

using Files = std::map<std::string, std::string>;

class CliDryRun : public CliFolder {};

// 1 → 2 while 2 → 1 is a swap, no clash. x → stay finds a file that is
// not listed; p and q both become same; s becomes a name with "/".
TEST_F(CliDryRun, ATerminalSeesTheChangedRowsWithEveryClashMarked) {
  const Files files = {{"1", "one"}, {"2", "two"}, {"x", "x"}, {"stay", "S"},
                       {"p", "p"},   {"q", "q"},   {"s", "s"}, {"same-old", "u"}};
  for (const auto& [name, bytes] : files) File(name, bytes);
  std::vector<std::string> args = {"--regex", "s/^1$/t/",       "--regex", "s/^2$/1/",
                                   "--regex", "s/^t$/2/",       "--regex", "s/^x$/stay/",
                                   "--regex", "s/^[pq]$/same/", "--regex", "s/^s$/a\\/b/"};
  for (const char* name : {"1", "2", "x", "stay", "p", "q", "s", "same-old"})
    args.push_back(dir_ + name);
  const CliRun run = RunTonboCliTo(args, Sink::Terminal, Sink::Pipe);
  EXPECT_EQ(run.code, 1) << run.out;
  EXPECT_EQ(
      run.out,
      dir_ +
          "\r\n"
          "  1 → 2\r\n"
          "  2 → 1\r\n"
          "! x → stay（同じ名前のファイルがあります）\r\n"
          "  p → same\r\n"
          "! q → same（「p」と同じ名前になります）\r\n"
          "! s → a/b（名前に「/」は使えません）\r\n"
          "名前が変わる 6 個、変わらない 2 個、衝突 3 個\r\n"
          "ディスクはまだ変更していません。変更するには --apply を付けて実行してください。\r\n");
  EXPECT_EQ(Disk(), files);
  // Without the clashing rows the plan can be applied: exit code 0.
  args.erase(args.begin() + 6, args.begin() + 12);
  EXPECT_EQ(RunTonboCliTo(args, Sink::Terminal, Sink::Pipe).code, 0);
}

// A file or pipe gets every row, exact; the clashes go to standard error, and
// --apply then leaves exactly the rows the dry run marked.
TEST_F(CliDryRun, AScriptGetsTheWholeTableAndTheSameVerdictAsTheRun) {
  File("a", "A");
  File("b", "B");
  File("c", "C");
  File("keep", "K");
  // a → b waits for b → c, which finds c.txt, a file not listed: both stay.
  const std::vector<std::string> rules = {"--regex",  "s/^b$/c/", "--regex",    "s/^a$/b/",
                                          dir_ + "a", dir_ + "b", dir_ + "keep"};
  const CliRun dry = RunTonboCliTo(rules, Sink::Pipe, Sink::Pipe);
  EXPECT_EQ(dry.code, 1);
  EXPECT_EQ(dry.out, "b,," + dir_ + "a\nc,," + dir_ + "b\nkeep,," + dir_ + "keep\n");
  for (const std::string& said : {"衝突：" + dir_ + "a → b（同じ名前のファイルがあります）",
                                  "衝突：" + dir_ + "b → c（同じ名前のファイルがあります）",
                                  std::string("名前が変わる 2 個、変わらない 1 個、衝突 2 個")})
    EXPECT_NE(dry.err.find(said), std::string::npos) << dry.err;
  std::vector<std::string> apply = rules;
  apply.push_back("--apply");
  EXPECT_EQ(RunTonboCli(apply).code, 1);
  EXPECT_EQ(Disk(), (Files{{"a", "A"}, {"b", "B"}, {"c", "C"}, {"keep", "K"}}));
}

// Runs tonbo-cli with the given bytes on its standard input.
CliRun RunWithInput(const std::vector<std::string>& args, const std::string& input) {
  const std::string in = MakeTempDir("stdin") + "in";
  WriteFile(in, input);
  const int saved = dup(0);
  dup2(open(in.c_str(), O_RDONLY | O_CLOEXEC), 0);
  CliRun run = RunTonboCli(args);
  dup2(saved, 0);
  close(saved);
  return run;
}

TEST_F(CliDryRun, PathsComeFromFilesAndStandardInputAndMissingOnesAreTold) {
  File("a b.txt");
  File("c\nd.txt");
  File(".e");
  const std::string list = MakeTempDir("from") + "paths";
  WriteFile(list, dir_ + "a b.txt\r\n\n" + dir_ + "gone.txt\n" + dir_ + ".e\n");
  const CliRun lines = RunTonboCli({"--files-from", list, "--table"});
  EXPECT_EQ(lines.code, 1);
  EXPECT_EQ(NewNames(lines), (std::vector<std::string>{"a b.txt", ".e"}));
  EXPECT_NE(lines.err.find("ファイルまたはフォルダが見つかりません：" + dir_ +
                           "gone.txt（ファイルが見つかりません）"),
            std::string::npos)
      << lines.err;
  ASSERT_EQ(chdir(dir_.c_str()), 0);
  const CliRun nul =
      RunWithInput({"-0q", "--files-from", "-"}, std::string("./c\nd.txt\0a b.txt\0", 18));
  EXPECT_EQ(nul.code, 0) << nul.err;
  EXPECT_EQ(nul.out, "\"c\nd\",.txt,\"" + dir_ + "c\nd.txt\"\na b,.txt," + dir_ + "a b.txt\n");
  EXPECT_EQ(nul.err, "");  // -q in a group
}

// A list of paths, one a line, is no list of Tonbo's: said, and read as paths.
TEST_F(CliDryRun, APlainListIsTakenAsPaths) {
  File("x,y.txt");
  File("z.txt");
  const std::string list = MakeTempDir("plain") + "list.txt";
  WriteFile(list, "\xEF\xBB\xBF" + dir_ + "x,y.txt\n" + dir_ + "z.txt\n" + dir_ + "no.txt\n");
  const CliRun run = RunTonboCli({"--load-list", list});
  EXPECT_EQ(run.code, 1);
  EXPECT_EQ(NewNames(run), (std::vector<std::string>{"x,y.txt", "z.txt"}));
  EXPECT_NE(run.err.find("「" + list + "」は Tonbo のリストではないので"), std::string::npos)
      << run.err;
  EXPECT_NE(run.err.find("見つかりません：" + dir_ + "no.txt"), std::string::npos);
}

TEST(CliVersion, VersionAndGroupedOptions) {
  for (const char* v : {"--version", "-V"}) {
    const CliRun run = RunTonboCli({v});
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(run.out.rfind("tonbo-cli ", 0), 0u) << run.out;
  }
  const CliRun bad = RunTonboCli({"-qx", "."});
  EXPECT_EQ(bad.code, 2);
  EXPECT_NE(bad.err.find("不明なオプションです：-qx"), std::string::npos) << bad.err;
}

// The completion offers what the program takes, asked as bash asks it.
TEST(CliCompletion, BashCompletesOptionsAndTheirWords) {
  const std::string script = MakeTempDir("completion") + "tonbo-cli";
  WriteFile(script, cli::BashCompletion());
  auto complete = [&](const std::string& words) {
    const std::string command = "bash -c 'source " + script + "; COMP_WORDS=(tonbo-cli " + words +
                                "); COMP_CWORD=$((${#COMP_WORDS[@]}-1)); _tonbo_cli; echo "
                                "\"${COMPREPLY[*]}\"'";
    std::string out;
    FILE* p = popen(command.c_str(), "r");
    char buf[512];
    while (p && fgets(buf, sizeof buf, p)) out += buf;
    if (p) pclose(p);
    return out;
  };
  EXPECT_EQ(complete("--on-c"), "--on-conflict\n");
  EXPECT_EQ(complete("--on-conflict n"), "newer number\n");
  EXPECT_EQ(complete("--files-f"), "--files-from\n");
  EXPECT_EQ(complete("--scope name"), "name name+ext\n");
}

}  // namespace
}  // namespace tonbo::test
