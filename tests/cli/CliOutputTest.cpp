// Standard output that cannot be written, and names that would act on a
// terminal: the real tonbo-cli on pipes, /dev/full and a pseudo-terminal.
#include "CliHarness.h"

namespace tonbo::test {
namespace {

// A name that colours the terminal red and then starts a line of its own.
const std::string kHostile = "a\x1b[31mred\r\nFAKE.txt";
const std::string kHostileShown = "a\\x1b[31mred\\r\\nFAKE.txt";

class CliOutput : public CliFolder {};

TEST_F(CliOutput, AFullDiskOrAGoneReaderIsAFailureWithAMessage) {
  File("a.txt");
  struct Case {
    Sink out;
    std::vector<std::string> args;
    const char* reason;
  } cases[] = {
      {Sink::DevFull, {"--renban", dir_}, "（ディスクの空きがありません）"},
      {Sink::DevFull, {"--help"}, "（ディスクの空きがありません）"},
      {Sink::ClosedPipe, {"--renban", dir_}, "（出力の読み手が終了しました）"},
      {Sink::ClosedPipe, {"--help"}, "（出力の読み手が終了しました）"},
  };
  for (const Case& c : cases) {
    const CliRun run = RunTonboCliTo(c.args, c.out, Sink::Pipe);
    EXPECT_EQ(run.code, 1) << c.args[0] << run.err;
    EXPECT_NE(run.err.find(std::string("tonbo-cli: 標準出力に書き込めませんでした") + c.reason),
              std::string::npos)
        << run.err;
  }
  // The same run with a reader that stays succeeds.
  const CliRun ok = RunTonboCliTo({"--renban", dir_}, Sink::Pipe, Sink::Pipe);
  EXPECT_EQ(ok.code, 0) << ok.err;
  EXPECT_NE(ok.out.find("a.txt"), std::string::npos);
}

TEST_F(CliOutput, ATableLargerThanThePipeStillFailsWhenTheReaderIsGone) {
  for (int i = 0; i < 2000; ++i) File("file_with_a_rather_long_name_" + std::to_string(i) + ".txt");
  const CliRun run = RunTonboCliTo({dir_}, Sink::ClosedPipe, Sink::Pipe);
  EXPECT_EQ(run.code, 1) << run.err;
}

TEST_F(CliOutput, APipeGetsTheExactBytesAndMessagesEscapeTheName) {
  File(kHostile, "H");
  File("b.txt", "B");
  const CliRun run = RunTonboCliTo({"--utf8", dir_}, Sink::Pipe, Sink::Pipe);
  EXPECT_EQ(run.code, 0) << run.err;
  EXPECT_NE(run.out.find("\"" + dir_ + kHostile + "\"\n"), std::string::npos) << run.out;
  // A message naming the file: skipped because b.txt is taken.
  const CliRun apply =
      RunTonboCliTo({"--name", "b", "--apply", dir_ + kHostile}, Sink::Pipe, Sink::Pipe);
  EXPECT_EQ(apply.code, 1);
  EXPECT_NE(apply.err.find(dir_ + kHostileShown), std::string::npos) << apply.err;
  EXPECT_EQ(apply.err.find('\x1b'), std::string::npos);
  EXPECT_EQ(apply.err.find("\nFAKE"), std::string::npos);
}

TEST_F(CliOutput, ATerminalSeesEveryNameEscaped) {
  File(kHostile, "H");
  File("b.txt", "B");
  for (const char* encoding : {"--utf8", "--sjis"}) {
    const CliRun run = RunTonboCliTo({encoding, "--table", dir_}, Sink::Terminal, Sink::Terminal);
    EXPECT_EQ(run.code, 0) << run.out;
    EXPECT_EQ(run.out.find('\x1b'), std::string::npos) << run.out;
    EXPECT_NE(run.out.find(dir_ + kHostileShown), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("\nFAKE"), std::string::npos);
  }
  // The changed rows as a terminal sees them: old → new, escaped.
  const CliRun view = RunTonboCliTo({"--prepend", "x_", dir_}, Sink::Terminal, Sink::Terminal);
  EXPECT_NE(view.out.find("  " + kHostileShown + " → x_" + kHostileShown), std::string::npos);
  EXPECT_EQ(view.out.find('\x1b'), std::string::npos) << view.out;
  const CliRun apply =
      RunTonboCliTo({"--name", "b", "--apply", dir_ + kHostile}, Sink::Terminal, Sink::Terminal);
  EXPECT_EQ(apply.code, 1);
  EXPECT_NE(apply.out.find("同名ファイルがあったのでスキップ"), std::string::npos) << apply.out;
  EXPECT_EQ(apply.out.find('\x1b'), std::string::npos) << apply.out;
  // Usage errors quote what was typed, escaped as well.
  const CliRun usage =
      RunTonboCliTo({"--on-conflict", "\x1b]0;title\x07", dir_}, Sink::Pipe, Sink::Terminal);
  EXPECT_EQ(usage.code, 2);
  EXPECT_NE(usage.err.find("「\\x1b]0;title\\x07」"), std::string::npos) << usage.err;
}

TEST_F(CliOutput, AShortRunLeavesNoProgressLineOnTheTerminal) {
  File("a.txt");
  const CliRun run = RunTonboCliTo({"--utf8", dir_}, Sink::Pipe, Sink::Terminal);
  EXPECT_EQ(run.code, 0);
  EXPECT_EQ(run.err.find('\x1b'), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("今回 1個のファイルをリストに追加しました。"), std::string::npos);
}

}  // namespace
}  // namespace tonbo::test
