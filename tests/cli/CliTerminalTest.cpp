// The escaped form of names and the progress line, without a real terminal.
#include <gtest/gtest.h>

#include <sstream>

#include "cli/CliProgress.h"
#include "cli/CliReport.h"
#include "common/Escaped.h"
#include "common/Sjis.h"

namespace tonbo::cli {
namespace {

TEST(Escaped, ControlsAndBrokenBytesBecomeVisibleEscapes) {
  struct Case {
    std::string in, out;
  } cases[] = {
      {"plain 名前.txt", "plain 名前.txt"},
      {"a\x1b[2Jb", "a\\x1b[2Jb"},
      {"line\nfake\r\tx", "line\\nfake\\r\\tx"},
      {std::string("nul\0x", 5), "nul\\x00x"},
      {"del\x7f", "del\\x7f"},
      {"c1\xc2\x9b"
       "31m",
       "c1\\xc2\\x9b31m"},                                      // CSI as a character
      {"lone\x9b", "lone\\x9b"},                                // CSI as a byte
      {"caf\xe9", "caf\\xe9"},                                  // not UTF-8
      {"\xe3\x81", "\\xe3\\x81"},                               // cut short
      {"\xc0\xaf", "\\xc0\\xaf"},                               // overlong "/"
      {"rtl\xe2\x80\xaegpj.exe", "rtl\\xe2\\x80\\xaegpj.exe"},  // direction override
      {"back\\slash", "back\\\\slash"},
      {"\xf0\x9f\x90\x9f", "\xf0\x9f\x90\x9f"},  // four bytes, kept
  };
  for (const Case& c : cases) EXPECT_EQ(Escaped(c.in), c.out) << c.in;
}

TEST(Escaped, LogLinesStayLinesAndNamesInThemDoNotAddAny) {
  // As the run and the backup write their logs: each name escaped as it is put in.
  const std::string log =
      enc::Lit("スキップ：\"") + EscapedSjis("a\r\nb") + "\"\r\n" + enc::Lit("失敗：\"c\"\r\n");
  EXPECT_EQ(ToUtf8(log), "スキップ：\"a\\r\\nb\"\n失敗：\"c\"\n");
  EXPECT_EQ(ShownName(enc::Lit("写真\x1b.jpg")), "写真\\x1b.jpg");
}

TEST(ProgressLine, FitsTheTerminalKeepingTheEndOfTheName) {
  EXPECT_EQ(ProgressLine("追加", 5, -1, "/a/b.txt", 80), "追加: 5 個  /a/b.txt");
  EXPECT_EQ(ProgressLine("追加", 5, 10, "/a/b.txt", 80), "追加: 5 / 10 個  /a/b.txt");
  // 19 columns: "x: 5 個  " takes 9, so 9 remain for "…" and the name's end.
  EXPECT_EQ(ProgressLine("x", 5, -1, "/folder/写真写真.jpg", 19), "x: 5 個  …写真.jpg");
  EXPECT_EQ(ProgressLine("x", 5, -1, "/folder/写真写真.jpg", 21), "x: 5 個  …真写真.jpg");
  EXPECT_EQ(ProgressLine("x", 5, -1, "abc", 5), "x: 5 個  ");
}

class TerminalProgressTest : public ::testing::Test {
 protected:
  std::ostringstream err_;
  std::int64_t now_ = 1000;
  TerminalProgress::Clock Clock() {
    return [this] { return now_; };
  }
};

TEST_F(TerminalProgressTest, DrawsOverItselfAfterHalfASecondAndClearsAtTheEnd) {
  {
    TerminalProgress p(err_, true, "追加", 80, Clock());
    for (int i = 0; i < 50; ++i, now_ += 10) EXPECT_TRUE(p.Step(i, -1, "f"));  // 0.5 s
    EXPECT_EQ(err_.str(), "");
    EXPECT_TRUE(p.Step(50, -1, "g\x1b"));
    EXPECT_EQ(err_.str(), "\r\x1b[K追加: 50 個  g\\x1b");
    now_ += TerminalProgress::kUpdateEveryMs - 1;
    p.Step(51, -1, "h");  // too soon: unchanged
    now_ += 1;
    p.Step(52, -1, "i");
    EXPECT_EQ(err_.str(), "\r\x1b[K追加: 50 個  g\\x1b\r\x1b[K追加: 52 個  i");
  }  // the end takes the line away
  EXPECT_EQ(err_.str().substr(err_.str().size() - 4), "\r\x1b[K");
}

TEST_F(TerminalProgressTest, MessagesTakeTheLineAwayFirstAndOffWritesNothing) {
  TerminalProgress p(err_, true, "x", 80, Clock());
  Reporter report(err_, false);
  report.SetProgress(&p);
  p.Step(0, -1, "a");
  now_ += 600;
  p.Step(1, -1, "b");
  report.Note("message");
  EXPECT_EQ(err_.str(), "\r\x1b[Kx: 1 個  b\r\x1b[Kmessage\n");
  p.Finish();  // nothing left to clear
  EXPECT_EQ(err_.str(), "\r\x1b[Kx: 1 個  b\r\x1b[Kmessage\n");

  std::ostringstream redirected;
  TerminalProgress off(redirected, false, "x", 80, Clock());
  off.Step(0, -1, "a");
  now_ += 600;
  EXPECT_TRUE(off.Step(1, -1, "b"));
  off.Finish();
  EXPECT_EQ(redirected.str(), "");
}

}  // namespace
}  // namespace tonbo::cli
