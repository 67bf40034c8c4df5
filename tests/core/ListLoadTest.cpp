#include "core/ListLoad.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>
#include <random>

#include "TestEnv.h"
#include "common/Errors.h"
#include "common/Sjis.h"
#include "common/Utf8.h"
#include "core/FileAdder.h"
#include "core/ListedEntries.h"

namespace tonbo {
namespace {

class ListLoadTest : public ::testing::Test {
 protected:
  std::string root_ = test::MakeTempDir("list");

  std::string Touch(const std::string& rel) {
    test::WriteFile(root_ + rel, rel);
    return root_ + rel;
  }
  // A list file of raw bytes; returns its path.
  std::string List(const std::string& bytes) {
    test::WriteFile(root_ + "list.csv", bytes);
    return root_ + "list.csv";
  }
  // One saved row: new name, extension and path (code page 932), the rest as
  // the window writes them.
  static std::string Row(const std::string& newName, const std::string& ext,
                         const std::string& path) {
    return newName + "," + ext + ",2024/01/02 03:04:06,1," + enc::Lit("テキスト") + "," + path +
           ",,\r\n";
  }
  static std::string NotFound(const std::string& sjisPath) {
    return enc::Lit("ファイルが見つかりません。：") + sjisPath + "\r\n";
  }
};

TEST_F(ListLoadTest, SavedTableComesBackAsItsPathsInOrder) {
  Touch("b.txt");
  Touch("a.jpg");
  TCsvDb table;
  int limit = 300;
  FileAdder(table, limit, {}).AddFiles({root_ + "b.txt", root_ + "a.jpg"});
  table.SetCell(colNewName, 0, "edited");  // new names are not what is read back
  table.SaveToFile(root_ + "saved.csv");
  const ListedFiles read = ReadListFile(root_ + "saved.csv");
  EXPECT_EQ(read.paths, (std::vector<std::string>{root_ + "b.txt", root_ + "a.jpg"}));
  EXPECT_EQ(read.log, "");
  EXPECT_TRUE(read.missing.empty());
}

// The file was renamed on disk to the saved new name: found again in its
// folder, but only under the new name alone, without the extension.
TEST_F(ListLoadTest, RenamedFileIsFoundUnderTheSavedNewNameWithoutExtension) {
  Touch("renamed");
  Touch("other.txt");
  const ListedFiles read = ReadListFile(
      List(Row("renamed", ".txt", root_ + "old.txt") + Row("other", ".txt", root_ + "gone.txt")));
  EXPECT_EQ(read.paths, std::vector<std::string>{root_ + "renamed"});
  EXPECT_EQ(read.log, NotFound(root_ + "other"));
  EXPECT_EQ(read.missing, std::vector<std::string>{root_ + "other"});
}

TEST_F(ListLoadTest, EveryRowMissingGivesOneLogLineEach) {
  const ListedFiles read =
      ReadListFile(List(Row("x", ".txt", root_ + "x.txt") + Row("y", "", root_ + "sub/y")));
  EXPECT_TRUE(read.paths.empty());
  EXPECT_EQ(read.log, NotFound(root_ + "x") + NotFound(root_ + "sub/y"));
  EXPECT_EQ(read.missing.size(), 2u);
}

// Bad rows, each alone in a list file: what is added and what is logged.
TEST_F(ListLoadTest, BadRowsAreLoggedAndNeverTakeAnotherFile) {
  const std::string file = Touch("file.txt");
  Touch("named");
  mkdir((root_ + "dir").c_str(), 0755);
  symlink((root_ + "dir").c_str(), (root_ + "dirlink").c_str());
  symlink((root_ + "nowhere").c_str(), (root_ + "dangling").c_str());
  test::WriteFile(root_ + "relative.txt", "x");
  ASSERT_EQ(chdir(root_.c_str()), 0);  // a relative path could be found here
  struct Case {
    const char* what;
    std::string bytes;
    std::vector<std::string> paths;
    std::string log;
  };
  const std::string nul("\0", 1);
  const Case cases[] = {
      {"one column", "file\r\n", {}, NotFound("file")},
      {"path as the sixth and last column", "x,,,,," + file + "\r\n", {file}, ""},
      {"no path column, new name of a file here",
       "relative.txt,.txt\r\n",
       {},
       NotFound("relative.txt")},
      {"relative path", Row("relative", ".txt", "relative.txt"), {}, NotFound("relative")},
      {"path of a folder", Row("dir", "", root_ + "dir"), {}, NotFound(root_ + "dir")},
      {"folder path, new name of a file beside it",
       Row("named", "", root_ + "dir"),
       {root_ + "named"},
       ""},
      {"link to a folder", Row("dirlink", "", root_ + "dirlink"), {}, NotFound(root_ + "dirlink")},
      {"dangling link is an entry of its own",
       Row("dangling", "", root_ + "dangling"),
       {root_ + "dangling"},
       ""},
      {"a file's path with a slash after it",
       Row("f", ".txt", file + "/"),
       {},
       NotFound(file + "/f")},
      {"new name leading out of the folder",
       Row("../list/named", "", root_ + "dir/gone"),
       {},
       NotFound(root_ + "dir/../list/named")},
      {"new name of a folder", Row("dir", "", root_ + "gone"), {}, NotFound(root_ + "dir")},
      {"empty new name", Row("", "", root_ + "gone"), {}, NotFound(root_)},
      {"NUL inside the path", Row("q", "", file + nul + "junk"), {}, NotFound(root_ + "q")},
      {"duplicated rows", Row("file", ".txt", file) + Row("file", ".txt", file), {file, file}, ""},
      {"blank lines only", "\r\n\r\n\n", {}, ""},
  };
  for (const Case& c : cases) {
    const ListedFiles read = ReadListFile(List(c.bytes));
    EXPECT_EQ(read.paths, c.paths) << c.what;
    EXPECT_EQ(read.log, c.log) << c.what;
  }
}

TEST_F(ListLoadTest, DuplicatedRowsAddTheFileOnce) {
  const std::string file = Touch("file.txt");
  const ListedFiles read = ReadListFile(List(Row("file", ".txt", file) + Row("a", ".txt", file)));
  TCsvDb table;
  int limit = 300;
  EXPECT_EQ(FileAdder(table, limit, {}).AddFiles(read.paths), 1);
  EXPECT_EQ(table.RowCount(), 1);
}

TEST_F(ListLoadTest, MegabyteCellsAreReadAndLogged) {
  const std::string file = Touch("file.txt");
  const std::string huge(1 << 20, 'n');
  const ListedFiles read = ReadListFile(
      List(Row(huge, ".txt", file) + Row("x", "", root_ + huge) + Row(huge, "", root_ + "gone")));
  EXPECT_EQ(read.paths, std::vector<std::string>{file});
  EXPECT_EQ(read.missing.size(), 2u);
  EXPECT_EQ(read.log, NotFound(root_ + "x") + NotFound(root_ + huge));
}

// Random bytes: never a crash, and nothing but real files comes out.
TEST_F(ListLoadTest, BinaryGarbageYieldsOnlyRealFiles) {
  Touch("a");
  std::mt19937 random(7);
  for (int round = 0; round < 20; ++round) {
    std::string bytes(4096 + round * 517, '\0');
    for (char& b : bytes) b = static_cast<char>(random());
    // Now and then a real row before the garbage (an open quote in the
    // garbage may take every line after it into one cell).
    if (round % 2) bytes = Row("a", "", root_ + "a") + bytes;
    const ListedFiles read = ReadListFile(List(bytes));
    for (const std::string& path : read.paths) EXPECT_TRUE(IsListedFile(path)) << round;
    if (round % 2) {
      EXPECT_FALSE(read.paths.empty()) << round;
    }
  }
}

TEST_F(ListLoadTest, Utf8ListFindsItsFiles) {
  Touch("写真.jpg");
  Touch("café");
  const std::string utf8 = "写真,.jpg,,,," + root_ + "写真.jpg\r\n" + "café,,,,," + root_ +
                           "gone\r\n" + "x,,,,," + root_ + "まだ.txt\n";
  for (const std::string& bytes : {utf8, "\xEF\xBB\xBF" + utf8}) {
    const ListedFiles read = ReadListFile(List(bytes));
    ASSERT_EQ(read.paths.size(), 2u);
    EXPECT_EQ(enc::SjisToDisk(read.paths[0]), root_ + "写真.jpg");
    EXPECT_EQ(enc::SjisToDisk(read.paths[1]), root_ + "café");
    EXPECT_EQ(enc::SjisToDisk(read.log), "ファイルが見つかりません。：" + root_ + "x\r\n");
  }
}

TEST_F(ListLoadTest, CodePage932ListIsNotTakenForUtf8) {
  Touch("写真.jpg");
  std::string sjisPath;
  enc::DiskToSjis(root_ + "写真.jpg", sjisPath);
  const std::string bytes = Row(enc::Lit("写真"), ".jpg", sjisPath);
  EXPECT_EQ(ListFileText(bytes), bytes);
  EXPECT_EQ(ListFileText("plain,ascii\r\n"), "plain,ascii\r\n");
  EXPECT_EQ(ListFileText("\xEF\xBB\xBF"
                         "a\r\n"),
            "a\r\n");
  EXPECT_EQ(ReadListFile(List(bytes)).paths, std::vector<std::string>{sjisPath});
}

TEST_F(ListLoadTest, UnreadableListNamesTheFileAndReason) {
  for (const std::string& path : {root_ + "none.csv", root_}) {
    try {
      ReadListFile(path);
      ADD_FAILURE() << path;
    } catch (const EInOutError& e) {
      const std::string text = e.what();
      EXPECT_NE(text.find(path), std::string::npos) << text;
      EXPECT_NE(text.find("リストのファイルを読み込めません。"), std::string::npos) << text;
      EXPECT_NE(e.Code(), 0);
    }
  }
}

// Names of half-width kana pairs are valid UTF-8 as well (ﾃｽ is C3 BD, "ý"):
// a list saved of them brings back its own files beside files named by the
// other reading (also unmarked, as an earlier version saved it), and a file
// of its own that is gone is reported, never traded for one of those.
TEST_F(ListLoadTest, KanaPairNamesComeBackAsThemselves) {
  const char* const kana[] = {"ﾃｽ.txt", "ﾈｺ", "ﾅｶ.txt"};
  TCsvDb table;
  for (const char* name : {"ý.txt", "Ⱥ", "Ŷ.txt"}) Touch(name);  // the same bytes
  for (int i = 0; i < 3; ++i) {
    std::string sjis;
    enc::DiskToSjis(Touch(kana[i]), sjis);
    table.SetCell(colPath, i, sjis);
  }
  const std::vector<std::string> own = {std::string(table.GetCell(colPath, 0)),
                                        std::string(table.GetCell(colPath, 1)),
                                        std::string(table.GetCell(colPath, 2))};
  ASSERT_TRUE(enc::IsUtf8(table.SaveToText(), false));
  EXPECT_EQ(ReadListFile(List(table.SaveToText())).paths, own);
  SaveListFile(table, root_ + "saved.csv");
  EXPECT_EQ(ReadListFile(root_ + "saved.csv").paths, own);
  for (const char* name : kana) ASSERT_EQ(unlink((root_ + name).c_str()), 0);
  const ListedFiles gone = ReadListFile(root_ + "saved.csv");
  EXPECT_EQ(gone.paths, std::vector<std::string>{});
  EXPECT_EQ(gone.missing.size(), 3u);
}

}  // namespace
}  // namespace tonbo

namespace tonbo {
namespace {

// A folder named by many rows is read once; its listing must give the same
// answers as looking up each name alone.
class FolderListingTest : public ListLoadTest {
 protected:
  void SetUp() override {
    for (int i = 0; i < 20; ++i) Touch("f" + std::to_string(i));
    mkdir((root_ + "dir").c_str(), 0755);
    symlink((root_ + "dir").c_str(), (root_ + "dirlink").c_str());
    symlink((root_ + "nowhere").c_str(), (root_ + "dangling").c_str());
    symlink((root_ + "f0").c_str(), (root_ + "filelink").c_str());
    mkfifo((root_ + "pipe").c_str(), 0644);
  }
};

TEST_F(FolderListingTest, AgreesWithLookingUpEachName) {
  std::vector<std::string> names;
  for (int i = 0; i < 20; ++i) names.push_back("f" + std::to_string(i));
  const std::map<std::string, bool> odd = {
      {"dir", false}, {"dirlink", false}, {"dangling", true}, {"filelink", true},
      {"pipe", true}, {"gone", false},    {".", false},       {"..", false},
      {"", false},    {"f0", true},       {"F1", false},      {"f1/", false}};
  for (const auto& [name, file] : odd) names.push_back(name);
  ASSERT_GE(names.size(), kListFolderAt);
  const std::vector<char> listed = FilesInFolder(root_, names);
  for (size_t i = 0; i < names.size(); ++i) {
    const bool alone = !names[i].empty() && IsFileEntry(root_ + names[i]);
    EXPECT_EQ(static_cast<bool>(listed[i]), alone) << names[i];
    if (odd.count(names[i])) {
      EXPECT_EQ(alone, odd.at(names[i])) << names[i];
    }
  }
  // A folder that cannot be opened: every name is looked up alone.
  EXPECT_EQ(FilesInFolder(root_ + "f0/", {"x"}), std::vector<char>{0});
  EXPECT_EQ(FilesInFolder(root_ + "gone/", {"f0"}), std::vector<char>{0});
}

TEST_F(FolderListingTest, ListOfOneFolderGivesTheSameAsRowsAlone) {
  std::string bytes;
  std::vector<std::string> expected;
  for (int i = 0; i < 20; ++i) {
    bytes += Row("x", "", root_ + "f" + std::to_string(i));
    expected.push_back(root_ + "f" + std::to_string(i));
  }
  const std::string nul("\0", 1);
  bytes += Row("dir", "", root_ + "dir") + Row("f3", "", root_ + "gone") +
           Row("f4", ".txt", root_ + "dirlink") + Row("d", "", root_ + "dangling") +
           Row("p", "", root_ + "pipe") + Row("q", "", root_ + "f5" + nul + "x") +
           Row("dir", "", root_ + "missing");
  expected.insert(expected.end(), {root_ + "f3", root_ + "f4", root_ + "dangling", root_ + "pipe"});
  const ListedFiles read = ReadListFile(List(bytes));
  EXPECT_EQ(read.paths, expected);
  EXPECT_EQ(read.log, NotFound(root_ + "dir") + NotFound(root_ + "q") + NotFound(root_ + "dir"));
}

}  // namespace
}  // namespace tonbo
