#include "common/Paths.h"

#include <gtest/gtest.h>

#include "TestEnv.h"
#include "common/FileRead.h"
#include "common/TextFile.h"

namespace tonbo {
namespace {

struct PathCase {
  const char* path;
  const char* dir;
  const char* name;
  const char* base;
  const char* ext;
};

class PathParts : public ::testing::TestWithParam<PathCase> {};

TEST_P(PathParts, SplitAtLastSlashAndLastDotOfName) {
  const PathCase& c = GetParam();
  EXPECT_EQ(ExtractFilePath(c.path), c.dir);
  EXPECT_EQ(ExtractFileName(c.path), c.name);
  EXPECT_EQ(ExtractFileBase(c.path), c.base);
  EXPECT_EQ(ExtractFileExt(c.path), c.ext);
  EXPECT_EQ(ExtractFilePath(c.path) + ExtractFileBase(c.path) + ExtractFileExt(c.path), c.path);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PathParts,
    ::testing::Values(PathCase{"/home/u/photo.tar.gz", "/home/u/", "photo.tar.gz", "photo.tar",
                               ".gz"},
                      PathCase{"/home/u/README", "/home/u/", "README", "README", ""},
                      PathCase{"/home/u.d/README", "/home/u.d/", "README", "README", ""},
                      PathCase{"/x/.bashrc", "/x/", ".bashrc", "", ".bashrc"},
                      PathCase{"/x/name.", "/x/", "name.", "name", "."},
                      PathCase{"/a\\b:c.txt", "/", "a\\b:c.txt", "a\\b:c", ".txt"},
                      PathCase{"plain.txt", "", "plain.txt", "plain", ".txt"},
                      PathCase{"/dir/", "/dir/", "", "", ""}));

TEST(Paths, ChangeExtAndSlash) {
  EXPECT_EQ(ChangeFileExt("/a.b/c.txt", ".csv"), "/a.b/c.csv");
  EXPECT_EQ(ChangeFileExt("/a.b/c", ".csv"), "/a.b/c.csv");
  EXPECT_EQ(IncludeTrailingSlash("/a"), "/a/");
  EXPECT_EQ(IncludeTrailingSlash("/a/"), "/a/");
  EXPECT_EQ(LowerAscii(".JPG"), ".jpg");
}

TEST(TextFile, SavesEveryLineWithCrLfAndLoadsTheSame) {
  std::string path = test::MakeTempDir() + "log.txt";
  ASSERT_TRUE(SaveTextFile(path, "a\rb\nc\r\nd"));
  EXPECT_EQ(test::ReadFile(path), "a\r\nb\r\nc\r\nd\r\n");
  test::WriteFile(path, "x\ny");
  std::string text = "old";
  ASSERT_TRUE(LoadTextFile(path, text));
  EXPECT_EQ(text, "x\r\ny\r\n");
}

TEST(TextFile, FailuresReportFalseAndKeepThings) {
  std::string dir = test::MakeTempDir();
  std::string text = "unchanged";
  EXPECT_FALSE(LoadTextFile(dir + "missing.txt", text));
  EXPECT_EQ(text, "unchanged");
  EXPECT_FALSE(SaveTextFile(dir + "no/such/folder.txt", "x"));
  // A failed replacement leaves the previous file whole.
  test::WriteFile(dir + "keep.txt", "previous");
  EXPECT_FALSE(SaveTextFile(dir, "x"));
  EXPECT_EQ(test::ReadFile(dir + "keep.txt"), "previous");
}

// Each kind of entry, read with a limit of five bytes: only a regular file within
// the limit is read, nothing waits, and a refusal leaves the bytes as they were.
TEST(FileRead, OnlyARegularFileWithinTheLimitIsRead) {
  const std::string dir = test::MakeTempDir("read");
  test::WriteFile(dir + "small", "12345");
  test::WriteFile(dir + "large", "123456");
  test::FifoTrap fifo(dir + "fifo");
  ASSERT_EQ(symlink("/dev/zero", (dir + "zero").c_str()), 0);
  const struct {
    std::string path;
    int error;
    FileKind kind;
  } cases[] = {{dir + "small", 0, FileKind::Regular},
               {dir + "large", EFBIG, FileKind::Regular},
               {dir, EISDIR, FileKind::Folder},
               {dir + "fifo", kNotRegularFile, FileKind::Pipe},
               {dir + "zero", kNotRegularFile, FileKind::Device},
               {dir + "gone", ENOENT, FileKind::Missing}};
  for (const auto& c : cases) {
    std::string bytes = "before";
    int err = 0;
    EXPECT_EQ(ReadWholeFile(c.path, bytes, &err, 5), c.error == 0) << c.path;
    EXPECT_EQ(err, c.error) << c.path;
    EXPECT_EQ(bytes, c.error ? "before" : "12345") << c.path;
    EXPECT_EQ(KindOf(c.path), c.kind) << c.path;
  }
  EXPECT_FALSE(fifo.Caught());
}

}  // namespace
}  // namespace tonbo
