#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

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

struct RenameWay {
  const char* name;
  int (*rename)(const std::string&, const std::string&);
};
void PrintTo(const RenameWay& way, std::ostream* os) { *os << way.name; }

// Every case runs through the public call and through the link-based way it
// takes on file systems without the no-replace flag.
class RenameTest : public ::testing::TestWithParam<RenameWay> {
 protected:
  int Rename(const std::string& from, const std::string& to) { return GetParam().rename(from, to); }
  std::string dir_ = MakeTempDir("rename");
};

TEST_P(RenameTest, MovesFileToFreeName) {
  WriteFile(dir_ + "old.txt", "data");
  EXPECT_EQ(Rename(dir_ + "old.txt", dir_ + "new.txt"), 0);
  EXPECT_EQ(ListDir(dir_), Strings{"new.txt"});
  EXPECT_EQ(ReadFile(dir_ + "new.txt"), "data");
}

TEST_P(RenameTest, RefusesTakenNameAndKeepsBothFiles) {
  WriteFile(dir_ + "a.txt", "A");
  WriteFile(dir_ + "b.txt", "B");
  EXPECT_EQ(Rename(dir_ + "a.txt", dir_ + "b.txt"), EEXIST);
  EXPECT_EQ(ReadFile(dir_ + "a.txt"), "A");
  EXPECT_EQ(ReadFile(dir_ + "b.txt"), "B");

  ASSERT_EQ(mkdir((dir_ + "sub").c_str(), 0700), 0);
  EXPECT_EQ(Rename(dir_ + "a.txt", dir_ + "sub"), EEXIST);
  EXPECT_EQ(ListDir(dir_), (Strings{"a.txt", "b.txt", "sub"}));
}

TEST_P(RenameTest, ChangesLetterCaseOnly) {
  WriteFile(dir_ + "photo.jpg", "img");
  EXPECT_EQ(Rename(dir_ + "photo.jpg", dir_ + "PHOTO.JPG"), 0);
  EXPECT_EQ(ListDir(dir_), Strings{"PHOTO.JPG"});
  EXPECT_EQ(ReadFile(dir_ + "PHOTO.JPG"), "img");
}

TEST_P(RenameTest, MissingSourceIsNotFound) {
  EXPECT_EQ(Rename(dir_ + "none.txt", dir_ + "new.txt"), ENOENT);
  EXPECT_TRUE(ListDir(dir_).empty());
}

TEST_P(RenameTest, KeepsBytesOfNamesThatAreNotUtf8) {
  const std::string from = dir_ + "\xff\xfe.txt";
  const std::string to = dir_ + "\x82\xa0 \x81.txt";
  WriteFile(from, "x");
  EXPECT_EQ(Rename(from, to), 0);
  EXPECT_EQ(ListDir(dir_), Strings{"\x82\xa0 \x81.txt"});
}

TEST_P(RenameTest, RenamesFolderButNeverOverAnEmptyOne) {
  ASSERT_EQ(mkdir((dir_ + "src").c_str(), 0700), 0);
  WriteFile(dir_ + "src/in.txt", "in");
  ASSERT_EQ(mkdir((dir_ + "empty").c_str(), 0700), 0);
  // A plain rename() would silently replace the empty folder.
  EXPECT_EQ(Rename(dir_ + "src", dir_ + "empty"), EEXIST);
  EXPECT_EQ(ListDir(dir_ + "src"), Strings{"in.txt"});

  EXPECT_EQ(Rename(dir_ + "src", dir_ + "dst"), 0);
  EXPECT_EQ(ListDir(dir_), (Strings{"dst", "empty"}));
  EXPECT_EQ(ReadFile(dir_ + "dst/in.txt"), "in");
}

TEST_P(RenameTest, RenamesTheLinkNotItsTarget) {
  WriteFile(dir_ + "real.txt", "r");
  ASSERT_EQ(symlink("real.txt", (dir_ + "link.txt").c_str()), 0);
  ASSERT_EQ(symlink("nowhere", (dir_ + "dangling").c_str()), 0);
  EXPECT_EQ(Rename(dir_ + "link.txt", dir_ + "renamed.txt"), 0);
  EXPECT_EQ(Rename(dir_ + "dangling", dir_ + "still-dangling"), 0);
  EXPECT_TRUE(test::IsSymlink(dir_ + "renamed.txt"));
  EXPECT_TRUE(test::IsSymlink(dir_ + "still-dangling"));
  EXPECT_EQ(ListDir(dir_), (Strings{"real.txt", "renamed.txt", "still-dangling"}));
  EXPECT_EQ(ReadFile(dir_ + "renamed.txt"), "r");
}

// Through an open folder, as a run renames; one handle for every case, so it
// also moves from folder to folder. Names in two folders take the long way.
int RenameInFolder(const std::string& from, const std::string& to) {
  static FolderHandle folder;
  const size_t cut = from.rfind('/') + 1;
  if (to.rfind('/') + 1 != cut || to.compare(0, cut, from, 0, cut) != 0)
    return RenameNoReplace(from, to);
  return folder.RenameNoReplaceIn(std::string_view(from).substr(0, cut), from.c_str() + cut,
                                  to.c_str() + cut);
}

INSTANTIATE_TEST_SUITE_P(Ways, RenameTest,
                         ::testing::Values(RenameWay{"NoReplace", &RenameNoReplace},
                                           RenameWay{"ByLink", &RenameByLink},
                                           RenameWay{"InFolder", &RenameInFolder}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FolderHandleTest, FolderThatCannotBeOpenedGivesTheErrorOfThePath) {
  FolderHandle folder;
  const std::string dir = MakeTempDir("handle");
  EXPECT_EQ(folder.RenameNoReplaceIn(dir + "missing/", "a", "b"), ENOENT);
  WriteFile(dir + "a", "x");
  EXPECT_EQ(folder.RenameNoReplaceIn(dir, "a", "b"), 0);
  EXPECT_EQ(ListDir(dir), Strings{"b"});
}

TEST(DeleteFileNowTest, RemovesFilesOnly) {
  std::string dir = MakeTempDir("del");
  WriteFile(dir + "f", "");
  ASSERT_EQ(mkdir((dir + "d").c_str(), 0700), 0);
  EXPECT_EQ(DeleteFileNow(dir + "f"), 0);
  EXPECT_EQ(DeleteFileNow(dir + "f"), ENOENT);
  EXPECT_NE(DeleteFileNow(dir + "d"), 0);
  EXPECT_EQ(ListDir(dir), Strings{"d"});
}

TEST(ExistsTest, FilesFoldersAndLinks) {
  std::string dir = MakeTempDir("exists");
  WriteFile(dir + "file", "");
  ASSERT_EQ(mkdir((dir + "dir").c_str(), 0700), 0);
  ASSERT_EQ(symlink("dir", (dir + "dirlink").c_str()), 0);
  ASSERT_EQ(symlink("gone", (dir + "dangling").c_str()), 0);
  struct Row {
    const char* name;
    bool file, folder;
  };
  for (const Row& r :
       {Row{"file", true, false}, Row{"dir", false, true}, Row{"dirlink", true, true},
        Row{"dangling", true, false}, Row{"missing", false, false}}) {
    EXPECT_EQ(FileExists(dir + r.name), r.file) << r.name;
    EXPECT_EQ(DirectoryExists(dir + r.name), r.folder) << r.name;
  }
}

}  // namespace
}  // namespace tonbo::platform
