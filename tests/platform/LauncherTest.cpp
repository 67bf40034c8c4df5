#include <gtest/gtest.h>
#include <unistd.h>

#include <QByteArray>
#include <cstdlib>

#include "RecordingLauncher.h"
#include "TestEnv.h"
#include "platform/CommandLine.h"
#include "platform/Launcher.h"

namespace tonbo::platform {
namespace {

using test::RecordingLauncher;
using Words = std::vector<std::string>;

struct SplitCase {
  const char* line;
  Words words;
};

TEST(SplitCommandLineTest, BlanksSeparateAndQuotesGroup) {
  const SplitCase cases[] = {
      {"notepad.exe \"/tmp/log dir/log.txt\"", {"notepad.exe", "/tmp/log dir/log.txt"}},
      {"  prog \t a   b  ", {"prog", "a", "b"}},
      {"\"/opt/my tools/run\" -x", {"/opt/my tools/run", "-x"}},
      {"prog \"\" x", {"prog", "", "x"}},
      {"prog a\"b c\"d", {"prog", "ab cd"}},
      {"prog \"open to the end", {"prog", "open to the end"}},
      {"prog C:\\dir\\file \\\"", {"prog", "C:\\dir\\file", "\\"}},
      {"", {}},
      {"   ", {}},
  };
  for (const SplitCase& c : cases) EXPECT_EQ(SplitCommandLine(c.line), c.words) << c.line;
}

TEST(IsNotepadTest, NameInAnyCaseAndFolder) {
  for (const char* yes :
       {"notepad.exe", "NOTEPAD.EXE", "Notepad", "C:\\WINDOWS\\notepad.exe", "/usr/bin/notepad"})
    EXPECT_TRUE(IsNotepad(yes)) << yes;
  for (const char* no : {"notepad.exe.bak", "mynotepad.exe", "notepad2", "", "notepad/x"})
    EXPECT_FALSE(IsNotepad(no)) << no;
}

TEST(FileUrlFromDiskTest, EncodesEveryByteOutsideTheUnreservedSet) {
  const std::string path = "/tmp/a b%#?\xff/\xe3\x81\x82~_-.txt";
  QUrl url = FileUrlFromDisk(path);
  EXPECT_TRUE(url.isLocalFile());
  EXPECT_EQ(url.toEncoded().toStdString(), "file:///tmp/a%20b%25%23%3F%FF/%E3%81%82~_-.txt");
  QByteArray back = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
  EXPECT_EQ(back.toStdString(), path);
}

TEST(FileUrlFromDiskTest, RelativePathStartsAtCurrentFolder) {
  char* cwd = getcwd(nullptr, 0);
  const std::string expected = std::string(cwd) + "/log.txt";
  free(cwd);
  EXPECT_EQ(FileUrlFromDisk("log.txt").toLocalFile().toStdString(), expected);
}

TEST(OpenDiskPathTest, HandsTheFileUrlToTheDesktop) {
  RecordingLauncher launcher;
  launcher.answer = false;  // not reported either way
  OpenDiskPath("/tmp/doc/index.htm");
  OpenDiskPath("");
  ASSERT_EQ(launcher.opened.size(), 1u);
  EXPECT_EQ(launcher.opened[0].toString(), "file:///tmp/doc/index.htm");
  EXPECT_TRUE(launcher.started.empty());
}

TEST(RunDiskCommandLineTest, NotepadOpensTheFileWithXdgOpen) {
  RecordingLauncher launcher;
  EXPECT_TRUE(RunDiskCommandLine("notepad.exe \"/tmp/log dir/log.txt\""));
  EXPECT_TRUE(RunDiskCommandLine("NOTEPAD /tmp/err file.txt"));
  EXPECT_TRUE(RunDiskCommandLine("notepad.exe \"/tmp/\xff.txt\""));
  ASSERT_EQ(launcher.started.size(), 3u);
  for (const auto& s : launcher.started) EXPECT_EQ(s.program, "xdg-open");
  EXPECT_EQ(launcher.started[0].arguments, QStringList{"file:///tmp/log%20dir/log.txt"});
  EXPECT_EQ(launcher.started[1].arguments, QStringList{"file:///tmp/err%20file.txt"});
  EXPECT_EQ(launcher.started[2].arguments, QStringList{"file:///tmp/%FF.txt"});
  EXPECT_TRUE(launcher.opened.empty());
}

TEST(RunDiskCommandLineTest, OtherProgramsStartWithTheirArguments) {
  RecordingLauncher launcher;
  EXPECT_TRUE(RunDiskCommandLine("\"/opt/my tools/run\" -x \"a b\" \xe3\x81\x82"));
  ASSERT_EQ(launcher.started.size(), 1u);
  EXPECT_EQ(launcher.started[0].program, "/opt/my tools/run");
  EXPECT_EQ(launcher.started[0].arguments,
            (QStringList{"-x", "a b", QString::fromUtf8("\xe3\x81\x82")}));
}

TEST(RunDiskCommandLineTest, ReportsWhetherTheProcessStarted) {
  RecordingLauncher launcher;
  launcher.answer = false;
  EXPECT_FALSE(RunDiskCommandLine("notepad.exe \"/tmp/log.txt\""));
  EXPECT_FALSE(RunDiskCommandLine("gedit /tmp/log.txt"));
  EXPECT_EQ(launcher.started.size(), 2u);
}

TEST(RunDiskCommandLineTest, NothingToStartIsAFailure) {
  RecordingLauncher launcher;
  EXPECT_FALSE(RunDiskCommandLine(""));
  EXPECT_FALSE(RunDiskCommandLine("notepad.exe"));
  EXPECT_FALSE(RunDiskCommandLine("notepad.exe \"\""));
  EXPECT_TRUE(launcher.started.empty());
}

// A started program gets every byte of a name that is not UTF-8, in the
// folder asked for; a program or folder that is not there is a failure.
TEST(SpawnDetachedTest, ProgramsReceiveTheExactBytes) {
  const std::string dir = test::MakeTempDir("spawn");
  const std::string odd = dir + "\xff\x81 \xe3\x81 a.txt";
  const QString script = QStringLiteral("printf %s \"$1\" > out.new && mv out.new out");
  EXPECT_TRUE(SpawnDetached("sh", {"-c", script, "sh", DiskArgument(odd)}, DiskArgument(dir)));
  for (int i = 0; i < 100 && access((dir + "out").c_str(), F_OK) != 0; ++i) usleep(50 * 1000);
  EXPECT_EQ(test::ReadFile(dir + "out"), odd);
  EXPECT_FALSE(SpawnDetached("tonbo-no-such-program", {}, QString()));
  EXPECT_FALSE(SpawnDetached("sh", {"-c", "true"}, DiskArgument(dir + "missing")));
}

}  // namespace
}  // namespace tonbo::platform
