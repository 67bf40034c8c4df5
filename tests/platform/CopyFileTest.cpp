#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

#include "FsProbe.h"
#include "TestEnv.h"
#include "platform/FileOps.h"

namespace tonbo::platform {
namespace {

using test::ListDir;
using test::MakeTempDir;
using test::ReadFile;
using test::WriteFile;
using Strings = std::vector<std::string>;

void SetModeAndTime(const std::string& path, mode_t mode, time_t mtime) {
  ASSERT_EQ(chmod(path.c_str(), mode), 0);
  const struct timespec times[2] = {{mtime, 0}, {mtime, 123456789}};
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

struct stat StatOf(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(stat(path.c_str(), &st), 0) << path;
  return st;
}

// More than one read buffer, and no byte value left out.
std::string BigContent() {
  std::string s;
  for (unsigned i = 0; i < 300000; ++i) s += static_cast<char>(i * 7919u % 256u);
  return s;
}

class CopyFileTest : public ::testing::Test {
 protected:
  std::string src_ = MakeTempDir("copysrc");
  std::string dst_ = MakeTempDir("copydst");
  std::string message_;
};

TEST_F(CopyFileTest, CopiesBytesModeAndModificationTime) {
  const std::string content = BigContent();
  WriteFile(src_ + "a.bin", content);
  SetModeAndTime(src_ + "a.bin", 0640, 981173106);

  ASSERT_EQ(CopyFileReplace(src_ + "a.bin", dst_ + "b.bin", &message_), 0) << message_;
  EXPECT_EQ(ReadFile(dst_ + "b.bin"), content);
  struct stat st = StatOf(dst_ + "b.bin");
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(st.st_mtim.tv_sec, 981173106);
  EXPECT_EQ(st.st_mtim.tv_nsec, 123456789);
  EXPECT_EQ(ListDir(dst_), Strings{"b.bin"});
  EXPECT_EQ(ReadFile(src_ + "a.bin"), content);
}

TEST_F(CopyFileTest, ReplacesLongerTargetCompletely) {
  WriteFile(src_ + "short", "new");
  WriteFile(dst_ + "t", "old and much longer");
  ASSERT_EQ(CopyFileReplace(src_ + "short", dst_ + "t", &message_), 0) << message_;
  EXPECT_EQ(ReadFile(dst_ + "t"), "new");
  EXPECT_EQ(ListDir(dst_), Strings{"t"});
}

TEST_F(CopyFileTest, MissingSourceLeavesTargetAlone) {
  WriteFile(dst_ + "t", "keep");
  EXPECT_EQ(CopyFileReplace(src_ + "none", dst_ + "t", &message_), ENOENT);
  EXPECT_NE(message_.find(ErrorText(ENOENT)), std::string::npos) << message_;
  EXPECT_EQ(ReadFile(dst_ + "t"), "keep");
  EXPECT_EQ(ListDir(dst_), Strings{"t"});
}

TEST_F(CopyFileTest, MissingTargetFolderCreatesNothing) {
  WriteFile(src_ + "a", "a");
  EXPECT_EQ(CopyFileReplace(src_ + "a", dst_ + "no/such/b", &message_), ENOENT);
  EXPECT_FALSE(message_.empty());
  EXPECT_TRUE(ListDir(dst_).empty());
}

TEST_F(CopyFileTest, FolderSourceIsRefused) {
  EXPECT_EQ(CopyFileReplace(src_, dst_ + "b", &message_), EISDIR);
  EXPECT_TRUE(ListDir(dst_).empty());
}

// The bytes are already written when the last step fails: the temporary
// file must go, and what had the target name stays as it was.
TEST_F(CopyFileTest, FailedReplaceRemovesTemporaryFile) {
  WriteFile(src_ + "a", "a");
  ASSERT_EQ(mkdir((dst_ + "busy").c_str(), 0700), 0);
  WriteFile(dst_ + "busy/inner", "i");
  EXPECT_NE(CopyFileReplace(src_ + "a", dst_ + "busy", &message_), 0);
  EXPECT_FALSE(message_.empty());
  EXPECT_EQ(ListDir(dst_), Strings{"busy"});
  EXPECT_EQ(ListDir(dst_ + "busy"), Strings{"inner"});
}

TEST_F(CopyFileTest, ACopyToAFreeNameNeverReplacesWhatIsThere) {
  const std::string content = BigContent();
  WriteFile(src_ + "a.bin", content);
  SetModeAndTime(src_ + "a.bin", 0604, 981173106);
  ASSERT_EQ(CopyFileNew(src_ + "a.bin", dst_ + "new.bin", &message_), 0) << message_;
  EXPECT_EQ(ReadFile(dst_ + "new.bin"), content);
  EXPECT_EQ(StatOf(dst_ + "new.bin").st_mode & 07777, 0604u);
  EXPECT_EQ(StatOf(dst_ + "new.bin").st_mtim.tv_sec, 981173106);
  WriteFile(dst_ + "taken", "keep");
  EXPECT_EQ(CopyFileNew(src_ + "a.bin", dst_ + "taken", &message_), EEXIST);
  EXPECT_EQ(ReadFile(dst_ + "taken"), "keep");
  EXPECT_EQ(ListDir(dst_), (Strings{"new.bin", "taken"}));  // no temporary file left
}

// A disk that fills in the middle of a copy (here a file size limit, which
// fails the write the same way): neither kind of copy leaves a file or a
// temporary name, and the target that was there stays whole.
TEST_F(CopyFileTest, ACopyCutShortByTheDiskLeavesNoFile) {
  WriteFile(src_ + "big", BigContent());
  WriteFile(dst_ + "old", "keep");
  const pid_t child = fork();
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);
    const struct rlimit limit = {100000, 100000};
    setrlimit(RLIMIT_FSIZE, &limit);
    const int fresh = CopyFileNew(src_ + "big", dst_ + "new", nullptr);
    const int over = CopyFileReplace(src_ + "big", dst_ + "old", nullptr);
    _exit(fresh == EFBIG && over == EFBIG ? 0 : 1);
  }
  int status = -1;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(ListDir(dst_), Strings{"old"});
  EXPECT_EQ(ReadFile(dst_ + "old"), "keep");
}

}  // namespace
}  // namespace tonbo::platform
