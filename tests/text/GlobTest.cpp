#include "text/Glob.h"

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "TestEnv.h"
#include "common/Sjis.h"
#include "text/NaturalOrder.h"

namespace tonbo {
namespace {

namespace fs = std::filesystem;
using enc::Lit;
using ::testing::IsEmpty;
using ::testing::UnorderedElementsAre;

std::string ToSjis(const std::string& disk) {
  std::string out;
  EXPECT_TRUE(enc::DiskToSjis(disk, out));
  return out;
}

// A folder with every kind of entry the lister sorts:
//   a.txt B.TXT .hidden.txt c.jpg "Movie [1080p].mkv" "a[b"
//   linkfile -> a.txt, dangling -> missing, linkdir -> sub1
//   sub1/x.txt sub1/deep/y.TXT, loop/self -> .. , 写真/旅行.txt, .git/z.txt
class GlobTree : public ::testing::Test {
 protected:
  void SetUp() override {
    disk_ = test::MakeTempDir("glob");
    root_ = ToSjis(disk_);
    for (const char* f : {"a.txt", "B.TXT", ".hidden.txt", "c.jpg", "Movie [1080p].mkv", "a[b",
                          "sub1/x.txt", "sub1/deep/y.TXT", "写真/旅行.txt", ".git/z.txt"}) {
      fs::create_directories(fs::path(disk_ + f).parent_path());
      test::WriteFile(disk_ + f, "x");
    }
    fs::create_directory(disk_ + "loop");
    fs::create_symlink("..", disk_ + "loop/self");
    fs::create_symlink("a.txt", disk_ + "linkfile");
    fs::create_symlink("missing", disk_ + "dangling");
    fs::create_directory_symlink("sub1", disk_ + "linkdir");
  }

  std::string disk_;  // trailing "/"
  std::string root_;  // the same in code page 932
};

TEST_F(GlobTree, TrailingSlashListsEveryEntryButDotFoldersAndFolderLinks) {
  const TGlob glob(root_);
  EXPECT_EQ(glob.BasePath(), root_);
  EXPECT_THAT(glob.Dirs(), UnorderedElementsAre("sub1", "loop", Lit("写真")));
  EXPECT_THAT(glob.Files(),
              UnorderedElementsAre("a.txt", "B.TXT", ".hidden.txt", "c.jpg", "Movie [1080p].mkv",
                                   "a[b", "linkfile", "dangling"));
}

TEST_F(GlobTree, MaskFiltersFilesAndFoldersAlike) {
  const TGlob glob(root_ + "*.TXT");
  EXPECT_THAT(glob.Files(), UnorderedElementsAre("a.txt", "B.TXT", ".hidden.txt"));
  EXPECT_THAT(glob.Dirs(), IsEmpty());
  EXPECT_THAT(TGlob(root_ + "s*").Dirs(), UnorderedElementsAre("sub1"));
  EXPECT_THAT(GlobFiles(root_ + "[ab].txt"), UnorderedElementsAre("a.txt", "B.TXT"));
}

TEST_F(GlobTree, NamesWithBracketsAreFoundByTheirOwnName) {
  EXPECT_THAT(GlobFiles(root_ + "Movie [1080p].mkv"), UnorderedElementsAre("Movie [1080p].mkv"));
  EXPECT_THAT(GlobFiles(root_ + "a[b"), UnorderedElementsAre("a[b"));  // malformed as a mask
}

TEST_F(GlobTree, SearchStartsOverOnANewPattern) {
  TGlob glob(root_ + "*.jpg");
  glob.Search(root_ + Lit("写真/*"));
  EXPECT_EQ(glob.BasePath(), root_ + Lit("写真/"));
  EXPECT_THAT(glob.Files(), UnorderedElementsAre(Lit("旅行.txt")));
  EXPECT_THAT(glob.Dirs(), IsEmpty());
}

TEST_F(GlobTree, FoldersThatCannotBeReadGiveEmptyLists) {
  for (const std::string& pattern : {root_ + "nothere/", root_ + "a.txt/*", root_ + "*.none"}) {
    const TGlob glob(pattern);
    EXPECT_THAT(glob.Files(), IsEmpty()) << pattern;
    EXPECT_THAT(glob.Dirs(), IsEmpty()) << pattern;
  }
}

TEST_F(GlobTree, ReadFolderSortsLikeTheListerAndGivesSizeAndTime) {
  test::WriteFile(disk_ + "c.jpg", "hello");
  const timespec times[2] = {{1600000000, 0}, {1600000000, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, (disk_ + "c.jpg").c_str(), times, 0), 0);
  std::vector<std::string> dirs, files;
  for (const TDirEntry& e : ReadFolder(root_)) {
    (e.isFolder ? dirs : files).push_back(e.name);
    if (e.name != "c.jpg") continue;
    EXPECT_EQ(e.size, 5);
    EXPECT_EQ(e.modified, 1600000000);
  }
  const TGlob glob(root_);
  EXPECT_EQ(dirs, glob.Dirs());
  EXPECT_EQ(files, glob.Files());
  EXPECT_THAT(ReadFolder(root_ + "nothere/"), IsEmpty());
}

// The walk as described, on std::filesystem: a folder's matching files in
// natural order, then each real sub-folder not beginning with "." in the same
// order.
void ReferenceWalk(const std::string& disk, const std::function<bool(const std::string&)>& keep,
                   std::vector<std::string>& out) {
  std::vector<std::string> folders;
  std::vector<fs::directory_entry> entries(fs::directory_iterator(disk), {});
  std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
    return NaturalNameLess(a.path().filename().string(), b.path().filename().string());
  });
  for (const fs::directory_entry& e : entries) {
    const std::string name = e.path().filename().string();
    if (e.is_symlink() && e.is_directory()) continue;
    if (e.is_directory() && !e.is_symlink()) {
      if (name[0] != '.') folders.push_back(name);
    } else if (keep(name)) {
      out.push_back(ToSjis(disk + name));
    }
  }
  for (const std::string& f : folders) ReferenceWalk(disk + f + "/", keep, out);
}

TEST_F(GlobTree, RecursiveWalkIsDepthFirstPreOrderWithFullPaths) {
  std::vector<std::string> expected;
  auto isTxt = [](const std::string& n) { return n.ends_with(".txt") || n.ends_with(".TXT"); };
  ReferenceWalk(disk_, isTxt, expected);
  const auto found = GlobFilesRecursive(root_ + "*.txt");
  ASSERT_TRUE(found);
  EXPECT_EQ(*found, expected);
  EXPECT_EQ(expected.size(), 6u);  // a, B, .hidden, x, y and 旅行; not .git/z.txt
}

TEST_F(GlobTree, EmptyMaskWalksEveryFileOnceWithoutFollowingLinks) {
  std::vector<std::string> expected;
  ReferenceWalk(
      disk_, [](const std::string&) { return true; }, expected);
  const auto found = GlobFilesRecursive(root_);
  ASSERT_TRUE(found);
  EXPECT_EQ(*found, expected);
  EXPECT_EQ(std::count(found->begin(), found->end(), root_ + "sub1/x.txt"), 1);
  EXPECT_THAT(*found, ::testing::Contains(root_ + Lit("写真/旅行.txt")));
}

TEST_F(GlobTree, StartingFolderGivenAsALinkIsRead) {
  const auto found = GlobFilesRecursive(root_ + "linkdir/*");
  ASSERT_TRUE(found);
  EXPECT_THAT(*found, UnorderedElementsAre(root_ + "linkdir/x.txt", root_ + "linkdir/deep/y.TXT"));
}

TEST_F(GlobTree, UnreadableSubFolderIsPassedOver) {
  fs::create_directories(disk_ + "locked/inner");
  test::WriteFile(disk_ + "locked/inner/secret.txt", "x");
  chmod((disk_ + "locked").c_str(), 0);
  const bool stillReadable = access((disk_ + "locked").c_str(), R_OK) == 0;
  const auto found = GlobFilesRecursive(root_ + "*.txt");
  chmod((disk_ + "locked").c_str(), 0755);
  if (stillReadable) GTEST_SKIP() << "permissions do not apply to this user";
  ASSERT_TRUE(found);
  EXPECT_THAT(*found, ::testing::Contains(root_ + "sub1/x.txt"));
  EXPECT_THAT(*found, ::testing::Not(::testing::Contains(root_ + "locked/inner/secret.txt")));
}

// A folder whose path is longer than the platform accepts cannot be opened,
// whoever runs the walk.
TEST_F(GlobTree, FolderTooDeepToOpenIsPassedOver) {
  int fd = open(disk_.c_str(), O_RDONLY | O_DIRECTORY);
  const std::string name(200, 'd');
  for (int depth = 0; depth < 25 && fd >= 0; ++depth) {
    ASSERT_EQ(mkdirat(fd, name.c_str(), 0755), 0);
    const int inner = openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY);
    close(fd);
    fd = inner;
  }
  ASSERT_GE(fd, 0);
  close(openat(fd, "deep.txt", O_CREAT | O_WRONLY, 0644));
  close(fd);
  const auto found = GlobFilesRecursive(root_ + "*.txt");
  ASSERT_TRUE(found);
  EXPECT_THAT(*found, ::testing::Contains(root_ + "sub1/deep/y.TXT"));
  for (const std::string& path : *found) EXPECT_FALSE(path.ends_with("deep.txt")) << path;
}

TEST(Glob, MissingStartingFolderGivesAnEmptyList) {
  const auto found = GlobFilesRecursive(test::MakeTempDir() + "gone/*");
  ASSERT_TRUE(found);
  EXPECT_THAT(*found, IsEmpty());
}

}  // namespace
}  // namespace tonbo
