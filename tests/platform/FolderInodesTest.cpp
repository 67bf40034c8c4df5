// The folder listing that stands in for one stat per file: it must name
// exactly the inode stat names, for regular files only.
#include "platform/FolderInodes.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "TestEnv.h"

namespace tonbo::platform {
namespace {

std::uint64_t StatInode(const std::string& path) {
  struct stat st {};
  return lstat(path.c_str(), &st) == 0 ? static_cast<std::uint64_t>(st.st_ino) : 0;
}

TEST(FolderInodes, NamesTheInodeStatNamesForRegularFilesOnly) {
  const std::string dir = test::MakeTempDir("inodes");
  std::vector<std::string> names;
  for (int i = 0; i < 300; ++i) names.push_back("f" + std::to_string(i));
  // Names that differ in a byte, hold no UTF-8, or look like others.
  for (const char* n : {"a b", "a\tb", "\xff\xfe", "-n", "f1 ", "F1"}) names.push_back(n);
  for (const std::string& n : names) test::WriteFile(dir + n, n);
  mkdir((dir + "sub").c_str(), 0755);
  ASSERT_EQ(symlink("f1", (dir + "link").c_str()), 0);
  // Elsewhere (overlay, network) runs take a stat per file, so nothing to check.
  if (!FolderInodes::Worthwhile(dir, static_cast<int>(names.size())))
    GTEST_SKIP() << "this file system's listing is not trusted for inodes";

  FolderInodes listing;
  ASSERT_TRUE(listing.Read(dir));
  struct stat folder {};
  stat(dir.c_str(), &folder);
  EXPECT_EQ(listing.Device(), static_cast<std::uint64_t>(folder.st_dev));
  for (const std::string& n : names) EXPECT_EQ(listing.InodeOf(n), StatInode(dir + n)) << n;
  // A folder and a link take their own stat; a name not there is not known.
  EXPECT_EQ(listing.InodeOf("sub"), 0u);
  EXPECT_EQ(listing.InodeOf("link"), 0u);
  EXPECT_EQ(listing.InodeOf("f"), 0u);
  EXPECT_EQ(listing.InodeOf("f1000"), 0u);
  EXPECT_EQ(listing.InodeOf(""), 0u);
  // Every entry's kind is known, so a name not listed is free.
  EXPECT_EQ(std::vector<int>({listing.TypeOf("sub"), listing.TypeOf("link"), listing.TypeOf("f1"),
                              listing.TypeOf("f1000")}),
            std::vector<int>({DT_DIR, DT_LNK, DT_REG, -1}));
}

TEST(FolderInodes, IsWorthwhileOnlyForManyRowsOfAFolderNotMuchLarger) {
  const std::string dir = test::MakeTempDir("worth");
  for (int i = 0; i < 5000; ++i) test::WriteFile(dir + "f" + std::to_string(i), "");
  EXPECT_FALSE(FolderInodes::Worthwhile(dir, 10));  // a few rows: a stat each
  EXPECT_FALSE(FolderInodes::Worthwhile(dir, 64));  // 5,000 entries for 64 rows
  EXPECT_FALSE(FolderInodes::Worthwhile(dir + "missing/", 5000));
  if (!FolderInodes::Worthwhile(dir, 5000))
    GTEST_SKIP() << "this file system's listing is not trusted for inodes";
  FolderInodes listing;
  EXPECT_FALSE(listing.Read(dir + "missing/"));
  EXPECT_EQ(listing.InodeOf("f1"), 0u);
}

}  // namespace
}  // namespace tonbo::platform
