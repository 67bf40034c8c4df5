#include <gtest/gtest.h>
#include <unistd.h>

#include <QByteArray>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <vector>

#include "FsProbe.h"
#include "TestEnv.h"
#include "platform/FileOps.h"

namespace tonbo::platform {
namespace {

using test::ListDir;
using test::MakeTempDir;
using test::ReadFile;
using test::WriteFile;

// The sandbox trash: the test main points XDG_DATA_HOME (and HOME) into the
// temporary tree before GIO first reads them.
std::string TrashDir() { return std::string(std::getenv("XDG_DATA_HOME")) + "/Trash/"; }

// The raw value of the Path= line of a .trashinfo file.
std::string InfoPath(const std::string& infoFile) {
  std::istringstream in(ReadFile(infoFile));
  std::string line;
  while (std::getline(in, line))
    if (line.rfind("Path=", 0) == 0) return line.substr(5);
  return {};
}

bool IsPlainAscii(const std::string& s) {
  for (unsigned char c : s)
    if (c <= 0x20 || c >= 0x7f) return false;
  return true;
}

std::string Decode(const std::string& encoded) {
  return QByteArray::fromPercentEncoding(QByteArray::fromStdString(encoded)).toStdString();
}

// Each name is used once, so the trash keeps it without a numbered suffix.
class TrashNameTest : public ::testing::TestWithParam<const char*> {};

TEST_P(TrashNameTest, MovesFileWithPercentEncodedInfo) {
  const std::string name = GetParam();
  const std::string path = MakeTempDir("trash") + name;
  WriteFile(path, "bytes of " + name);
  std::string message;

  ASSERT_EQ(MoveToTrash(path, &message), 0) << message;
  EXPECT_FALSE(FileExists(path));
  EXPECT_EQ(ReadFile(TrashDir() + "files/" + name), "bytes of " + name);
  const std::string info = TrashDir() + "info/" + name + ".trashinfo";
  ASSERT_TRUE(FileExists(info));
  EXPECT_EQ(ReadFile(info).rfind("[Trash Info]\n", 0), 0u);
  const std::string encoded = InfoPath(info);
  EXPECT_TRUE(IsPlainAscii(encoded)) << encoded;
  EXPECT_EQ(Decode(encoded), path);
}

INSTANTIATE_TEST_SUITE_P(Names, TrashNameTest,
                         ::testing::Values("plain.txt", "with space.txt", "100% sure.txt",
                                           "not utf8 \xff\xfe.txt", "\xe6\x97\xa5\xe6\x9c\xac.txt",
                                           "hash#and?query.txt"));

TEST(TrashTest, MovesFolderWithItsContents) {
  const std::string dir = MakeTempDir("trashdir") + "folder to trash";
  ASSERT_EQ(mkdir(dir.c_str(), 0700), 0);
  WriteFile(dir + "/inside.txt", "in");
  std::string message;
  ASSERT_EQ(MoveToTrash(dir, &message), 0) << message;
  EXPECT_FALSE(DirectoryExists(dir));
  EXPECT_EQ(ReadFile(TrashDir() + "files/folder to trash/inside.txt"), "in");
}

TEST(TrashTest, MissingFileIsAFailure) {
  const std::string path = MakeTempDir("trash") + "never existed.txt";
  std::string message;
  EXPECT_EQ(MoveToTrash(path, &message), ENOENT);
  EXPECT_FALSE(message.empty());
  EXPECT_FALSE(FileExists(TrashDir() + "files/never existed.txt"));
}

// GIO reads "" as the current folder; run where a mistake costs nothing.
TEST(TrashTest, EmptyPathNeverTrashesTheCurrentFolder) {
  char* saved = getcwd(nullptr, 0);
  const std::string here = MakeTempDir("cwd");
  ASSERT_EQ(chdir(here.c_str()), 0);
  std::string message;
  EXPECT_EQ(MoveToTrash("", &message), ENOENT);
  EXPECT_FALSE(message.empty());
  EXPECT_TRUE(DirectoryExists(here));
  EXPECT_EQ(chdir(saved), 0);
  free(saved);
}

// An undo puts back every file a run trashed through one restorer; two
// entries from one path are told apart by the file each holds.
TEST(TrashRestorer, PutsBackManyFilesAndTellsEntriesOfOnePathApart) {
  const std::string dir = MakeTempDir("restore");
  std::string message;
  std::vector<FileId> ids;
  for (int i = 0; i < 40; ++i) {
    const std::string path = dir + "f" + std::to_string(i);
    WriteFile(path, "bytes " + std::to_string(i));
    ids.push_back(IdentityOf(path));
    ASSERT_EQ(MoveToTrash(path, &message), 0) << message;
  }
  FileId first, second;
  for (FileId* id : {&first, &second}) {
    WriteFile(dir + "same", id == &first ? "first" : "second");
    *id = IdentityOf(dir + "same");
    ASSERT_EQ(MoveToTrash(dir + "same", &message), 0) << message;
  }
  const size_t infos = ListDir(TrashDir() + "info").size();

  TrashRestorer restorer;
  for (int i = 39; i >= 0; --i) {
    const std::string path = dir + "f" + std::to_string(i);
    ASSERT_EQ(restorer.Restore(path, ids[static_cast<size_t>(i)]), 0) << path;
    EXPECT_EQ(ReadFile(path), "bytes " + std::to_string(i));
  }
  EXPECT_EQ(restorer.Restore(dir + "same", first), 0);
  EXPECT_EQ(ReadFile(dir + "same"), "first");
  EXPECT_EQ(restorer.Restore(dir + "same", second), EEXIST);  // never over a file
  ASSERT_EQ(rename((dir + "same").c_str(), (dir + "same.1").c_str()), 0);
  EXPECT_EQ(restorer.Restore(dir + "same", second), 0);
  EXPECT_EQ(ReadFile(dir + "same"), "second");
  EXPECT_EQ(restorer.Restore(dir + "same", second), ENOENT);
  EXPECT_EQ(restorer.Restore(dir + "never-trashed", FileId{}), ENOENT);
  EXPECT_EQ(ListDir(TrashDir() + "info").size(), infos - 42);
}

}  // namespace
}  // namespace tonbo::platform
