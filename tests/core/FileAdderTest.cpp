#include "core/FileAdder.h"

#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

#include "TestEnv.h"
#include "common/Sjis.h"

namespace tonbo {
namespace {

class FileAdderTest : public ::testing::Test {
 protected:
  std::string root_ = test::MakeTempDir("add");
  TCsvDb table_;
  int limit_ = 300;
  std::vector<int> asked_;
  std::vector<std::string> warnings_;
  int unreadCalls_ = 0;
  bool answer_ = true;

  FileAdder Adder() {
    return FileAdder(table_, limit_,
                     {[this](int limit) {
                        asked_.push_back(limit);
                        return answer_;
                      },
                      [this](const std::vector<std::string>& folders) {
                        ++unreadCalls_;
                        for (const std::string& f : folders)
                          warnings_.push_back(f + "\r\n" + enc::Lit("の読み込みに失敗"));
                      }});
  }
  void Touch(const std::string& rel, const std::string& bytes = "x") {
    std::string path = root_ + rel;
    for (size_t p = path.find('/', root_.size()); p != std::string::npos; p = path.find('/', p + 1))
      mkdir(path.substr(0, p).c_str(), 0755);
    test::WriteFile(path, bytes);
  }
  std::vector<std::string> Paths() const {
    std::vector<std::string> out;
    for (int r = 0; r < table_.RowCount(); ++r) out.emplace_back(table_.GetCell(colPath, r));
    return out;
  }
  std::vector<std::string> SortedRelPaths() const {
    std::vector<std::string> out;
    for (const auto& p : Paths()) out.push_back(p.substr(root_.size()));
    std::sort(out.begin(), out.end());
    return out;
  }
};

TEST_F(FileAdderTest, RowHoldsNameExtensionDateSizeAndPath) {
  Touch("photo.tar.gz", std::string(1500, 'a'));
  Touch("README");
  Touch(".profile");
  struct timespec times[2] = {{0, 0}, {1700000001, 0}};  // odd second
  utimensat(AT_FDCWD, (root_ + "photo.tar.gz").c_str(), times, 0);
  EXPECT_EQ(Adder().AddFiles({root_ + "photo.tar.gz", root_ + "README", root_ + ".profile"}), 3);
  EXPECT_EQ(table_.GetCell(colNewName, 0), "photo.tar");
  EXPECT_EQ(table_.GetCell(colExt, 0), ".gz");
  EXPECT_EQ(table_.GetCell(colSize, 0), "1500");
  EXPECT_EQ(table_.GetCell(colModified, 0), FormatFileTime(1700000000));
  EXPECT_EQ(table_.GetCell(colPath, 0), root_ + "photo.tar.gz");
  EXPECT_EQ(table_.GetCell(colIconIndex, 0), "");
  EXPECT_EQ(table_.GetCell(colNewName, 1), "README");
  EXPECT_EQ(table_.GetCell(colExt, 1), "");
  EXPECT_EQ(table_.GetCell(colNewName, 2), "");
  EXPECT_EQ(table_.GetCell(colExt, 2), ".profile");
}

TEST_F(FileAdderTest, FoldersExpandToEveryFileBelowExceptDotFolders) {
  Touch("top.txt");
  Touch("sub/a.txt");
  Touch("sub/deeper/b.txt");
  Touch(".hidden/c.txt");
  Touch("sub/.git/d.txt");
  Touch("sub/.dotfile");
  mkdir((root_ + "empty").c_str(), 0755);
  symlink(root_.c_str(), (root_ + "sub/loop").c_str());  // never walked
  symlink((root_ + "top.txt").c_str(), (root_ + "sub/link.txt").c_str());
  // Without the details the same files are found; only time and size stay empty.
  for (bool details : {true, false}) {
    SCOPED_TRACE(details);
    table_.Clear();
    FileAdder adder = Adder();
    adder.SetReadDetails(details);
    EXPECT_EQ(adder.AddFiles({root_}), 5);
    EXPECT_EQ(SortedRelPaths(),
              (std::vector<std::string>{"sub/.dotfile", "sub/a.txt", "sub/deeper/b.txt",
                                        "sub/link.txt", "top.txt"}));
    EXPECT_TRUE(table_.IsConsistent());
    for (int row = 0; row < table_.RowCount(); ++row) {
      EXPECT_EQ(table_.GetCell(colModified, row).empty(), !details);
      EXPECT_EQ(table_.GetCell(colSize, row), details ? "1" : "");
    }
  }
}

TEST_F(FileAdderTest, ListedPathsAreNotAddedTwiceButCaseDiffersCounts) {
  Touch("a.txt");
  Touch("A.txt");
  EXPECT_EQ(Adder().AddFiles({root_ + "a.txt", root_ + "a.txt"}), 1);
  EXPECT_EQ(Adder().AddFiles({root_ + "a.txt", root_}), 1);  // only A.txt is new
  EXPECT_EQ(table_.RowCount(), 2);
}

TEST_F(FileAdderTest, MissingPathsAreSkippedSilentlyAndUnreadableFoldersWarn) {
  Touch("ok.txt");
  Touch("blocked/x.txt");
  Touch("later.txt");
  // A name that is a file, used as a folder, fails to be read as one.
  std::vector<std::string> paths = {root_ + "missing.txt", root_ + "ok.txt",
                                    root_ + "ok.txt/inner/", root_ + "later.txt"};
  EXPECT_EQ(Adder().AddFiles(paths), 2);
  EXPECT_TRUE(warnings_.empty());  // ENOTDIR on lookup: nothing found
  // A folder that cannot be opened (no descriptor left, which stops root too).
  table_.Clear();
  struct rlimit before {};
  getrlimit(RLIMIT_NOFILE, &before);
  int next = dup(0);
  close(next);
  struct rlimit tight = before;
  tight.rlim_cur = static_cast<rlim_t>(next);
  setrlimit(RLIMIT_NOFILE, &tight);
  int added = Adder().AddFiles({root_ + "blocked", root_ + "later.txt"});
  setrlimit(RLIMIT_NOFILE, &before);
  EXPECT_EQ(added, 1);
  ASSERT_EQ(warnings_.size(), 1u);
  EXPECT_EQ(warnings_[0], root_ + "blocked/\r\n" + enc::Lit("の読み込みに失敗"));
}

// Past the system's path limit the warning names the folder that failed, not a parent.
TEST_F(FileAdderTest, AFolderTooDeepToReadIsNamedInTheWarning) {
  const std::string part(200, 'd');
  std::string made = "mkdir -p " + root_;  // mkdir -p goes down folder by folder
  for (int i = 0; i < 25; ++i) made += part + "/";
  ASSERT_EQ(std::system(made.c_str()), 0);
  std::string failed = root_;
  for (DIR* d; (d = opendir(failed.c_str())); failed += part + "/") closedir(d);
  Adder().AddFiles({root_ + part});
  EXPECT_EQ(warnings_, std::vector<std::string>{failed + "\r\n" + enc::Lit("の読み込みに失敗")});
  // Too deep for the sandbox's own removal.
  EXPECT_EQ(std::system(("rm -rf " + root_ + part).c_str()), 0);
}

// Folders that cannot be read (here: too deep for the system's path limit) are
// each named, in one warning, and the walk of their parents goes on.
TEST_F(FileAdderTest, UnreadableSubFoldersDoNotStopTheWalkOfTheirParent) {
  const std::string part(250, 'd');
  std::string deep = root_ + "{1,3}";
  for (int i = 0; i < 20; ++i) deep += "/" + part;
  ASSERT_EQ(std::system(("bash -c 'mkdir -p " + deep + "'").c_str()), 0);
  for (const char* file : {"0.txt", "1/a.txt", "2/b.txt", "3/c.txt", "4/d.txt", "5.txt"})
    Touch(file);
  EXPECT_EQ(Adder().AddFiles({root_}), 6);
  EXPECT_EQ(unreadCalls_, 1);
  ASSERT_EQ(warnings_.size(), 2u);
  EXPECT_EQ(warnings_[0].rfind(root_ + "1/" + part + "/", 0), 0u);
  EXPECT_EQ(warnings_[1].rfind(root_ + "3/" + part + "/", 0), 0u);
  EXPECT_EQ(std::system(("rm -rf " + root_ + "1 " + root_ + "3").c_str()), 0);
}

// Each folder is listed as a file manager shows it, whatever order the disk
// keeps: names compared case-blind with their numbers as numbers, a folder's
// files before its sub-folders.
TEST_F(FileAdderTest, FoldersAreListedInNaturalOrder) {
  const std::vector<std::string> shown = {
      "1.jpg",      "2.jpg",       "10.jpg",     "Apple.txt",   "apple2.txt",
      "banana.txt", "IMG_9.png",   "img_10.png", "IMG_100.png", "\xE3\x81\x82.txt" /* あ */,
      "sub2/z.txt", "sub10/a.txt", "sub10/b.txt"};
  // Made neither in that order nor against it.
  for (size_t i : {7, 2, 11, 0, 12, 9, 4, 1, 10, 6, 3, 8, 5}) Touch(shown[i]);
  Adder().AddFiles({root_});
  std::vector<std::string> listed;
  for (const auto& p : Paths()) listed.push_back(enc::SjisToDisk(p.substr(root_.size())));
  EXPECT_EQ(listed, shown);
}

TEST_F(FileAdderTest, GrowthQuestionComesAtEachDoubling) {
  for (int i = 0; i < 5; ++i) Touch("f" + std::to_string(i));
  for (int i = 0; i < 299; ++i) table_.SetCell(colPath, i, "/elsewhere/" + std::to_string(i));
  std::vector<std::string> paths;
  for (int i = 0; i < 5; ++i) paths.push_back(root_ + "f" + std::to_string(i));
  EXPECT_EQ(Adder().AddFiles(paths), 5);
  EXPECT_EQ(asked_, std::vector<int>{300});
  EXPECT_EQ(limit_, 600);
}

TEST_F(FileAdderTest, AnsweringNoStopsAtTheFirstRowPastTheLimit) {
  for (int i = 0; i < 5; ++i) Touch("f" + std::to_string(i));
  for (int i = 0; i < 299; ++i) table_.SetCell(colPath, i, "/elsewhere/" + std::to_string(i));
  answer_ = false;
  EXPECT_EQ(Adder().AddFiles({root_}), 2);
  EXPECT_EQ(table_.RowCount(), 301);
  EXPECT_EQ(asked_.size(), 1u);
  EXPECT_EQ(limit_, 300);
}

TEST_F(FileAdderTest, NamesThatAreNotUtf8RoundTrip) {
  Touch("caf\xE9.txt");
  Touch("\xE5\x86\x99\xE7\x9C\x9F \xE3\x80\x9C.jpg");  // 写真 〜
  EXPECT_EQ(Adder().AddFiles({root_}), 2);
  std::vector<std::string> back;
  for (const auto& p : Paths()) back.push_back(enc::SjisToDisk(p));
  std::sort(back.begin(), back.end());
  EXPECT_EQ(back, (std::vector<std::string>{root_ + "caf\xE9.txt",
                                            root_ + "\xE5\x86\x99\xE7\x9C\x9F \xE3\x80\x9C.jpg"}));
}

TEST_F(FileAdderTest, WildcardPathTakesTheFirstMatch) {
  Touch("only.log");
  EXPECT_EQ(Adder().AddFiles({root_ + "*.log"}), 1);
  EXPECT_EQ(Paths(), std::vector<std::string>{root_ + "only.log"});
}

// Answers false from the given step on; remembers every step it saw.
class StoppingSink : public ProgressSink {
 public:
  explicit StoppingSink(long long stopAt) : stopAt_(stopAt) {}
  bool Step(std::int64_t done, std::int64_t total, const std::string& name) override {
    steps.push_back({done, total, name});
    return static_cast<long long>(steps.size()) <= stopAt_;
  }
  void Finish() override { ++finished; }
  struct Seen {
    std::int64_t done, total;
    std::string name;
  };
  std::vector<Seen> steps;
  int finished = 0;

 private:
  long long stopAt_;
};

TEST_F(FileAdderTest, StoppingBetweenTwoFilesKeepsTheRowsAddedSoFar) {
  for (int i = 0; i < 10; ++i) Touch("many/f" + std::to_string(i));
  Touch("later.txt");
  FileAdder adder = Adder();
  StoppingSink sink(4);
  adder.SetProgress(&sink);
  // The folder stops after four files; the path after it is not looked at.
  EXPECT_EQ(adder.AddFiles({root_ + "many", root_ + "later.txt"}), 4);
  EXPECT_TRUE(adder.Cancelled());
  EXPECT_EQ(table_.RowCount(), 4);
  ASSERT_EQ(sink.steps.size(), 5u);
  EXPECT_EQ(sink.finished, 1);
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(sink.steps[i].done, i);
    EXPECT_EQ(sink.steps[i].total, -1);
  }
  // Every row added was announced by name; the refused fifth file is not listed.
  for (int r = 0; r < 4; ++r) EXPECT_EQ(sink.steps[r].name, table_.GetCell(colPath, r));
  const std::vector<std::string> listed = Paths();
  EXPECT_EQ(std::count(listed.begin(), listed.end(), sink.steps[4].name), 0);

  // The next add with the same adder starts afresh.
  StoppingSink all(1000);
  adder.SetProgress(&all);
  EXPECT_EQ(adder.AddFiles({root_ + "later.txt"}), 1);
  EXPECT_FALSE(adder.Cancelled());
  EXPECT_EQ(adder.AddFiles({root_ + "many"}), 6);
  EXPECT_EQ(table_.RowCount(), 11);
}

TEST_F(FileAdderTest, AStopInADeepTreeLeavesTheRestUnwalked) {
  for (int i = 0; i < 20; ++i) Touch("d" + std::to_string(i) + "/sub/file");
  FileAdder adder = Adder();
  StoppingSink sink(1);  // the first folder is shown, then the stop
  adder.SetProgress(&sink);
  EXPECT_EQ(adder.AddFiles({root_}), 0);
  EXPECT_TRUE(adder.Cancelled());
  EXPECT_EQ(sink.steps.size(), 2u);
  EXPECT_EQ(sink.steps[0].name.back(), '/');
}

// Paths of one folder are looked up relative to it; the folder is looked for
// again in every add, so one replaced meanwhile is the one read.
TEST_F(FileAdderTest, PathsOfOneFolderFollowTheFolderOnDisk) {
  Touch("a/x.txt");
  Touch("a/y.txt");
  Touch("b/z.txt");
  FileAdder adder = Adder();
  EXPECT_EQ(adder.AddFiles({root_ + "a/x.txt", root_ + "a/gone", root_ + "b/z.txt",
                            root_ + "a/y.txt", root_ + "a/", root_ + "a/x.txt"}),
            3);
  ASSERT_EQ(rename((root_ + "a").c_str(), (root_ + "old").c_str()), 0);
  Touch("a/new.txt");
  EXPECT_EQ(adder.AddFiles({root_ + "a/new.txt", root_ + "a/y.txt"}), 1);
  EXPECT_EQ(SortedRelPaths(),
            (std::vector<std::string>{"a/new.txt", "a/x.txt", "a/y.txt", "b/z.txt"}));
}

TEST(FormatFileTime, EvenSecondsLocalTime) {
  setenv("TZ", "UTC", 1);
  tzset();
  EXPECT_EQ(FormatFileTime(0), "1970/01/01 00:00:00");
  EXPECT_EQ(FormatFileTime(1700000001), "2023/11/14 22:13:20");
}

}  // namespace
}  // namespace tonbo
