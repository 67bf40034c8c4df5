// The CSV text form: reading and writing rules, bad input, and files on disk.
#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <random>
#include <string>
#include <vector>

#include "CsvTableRows.h"
#include "TestEnv.h"
#include "common/Errors.h"
#include "core/CsvDb.h"

namespace tonbo {
namespace {

using test::CellsOf;
using test::MakeTable;
using test::Rows;

using namespace std::string_literals;

// --- reading ---

struct ReadCase {
  const char* name;
  std::string text;
  Rows rows;
};

class CsvRead : public ::testing::TestWithParam<ReadCase> {};

TEST_P(CsvRead, GivesTheseCells) {
  TCsvDb t;
  t.LoadFromText(GetParam().text);
  EXPECT_EQ(CellsOf(t), GetParam().rows);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, CsvRead,
    ::testing::Values(
        ReadCase{"empty_middle_field", "a,,b\r\n", {{"a", "", "b"}}},
        ReadCase{"trailing_comma_adds_no_field", "a,\r\n", {{"a"}}},
        ReadCase{"leading_comma", ",a", {{"", "a"}}},
        ReadCase{"doubled_quotes_inside_quotes", "\"x,\"\"y\"\"\"\r\n", {{"x,\"y\""}}},
        ReadCase{"quoted_field_over_two_lines", "\"a\r\nb\",c\r\n", {{"a\r\nb", "c"}}},
        ReadCase{"lf_inside_quotes_comes_back_as_crlf", "\"a\nb\"\n", {{"a\r\nb"}}},
        ReadCase{"cr_lf_cr_inside_quotes", "\"a\r\r\nb\"", {{"a\r\n\r\nb"}}},
        ReadCase{"blank_lines_between_rows", "a\r\n\r\n\n\rb\r\n", {{"a"}, {"b"}}},
        ReadCase{"leading_blank_lines", "\r\n\na,b", {{"a", "b"}}},
        ReadCase{"cr_only_lines", "a,b\rc\rd", {{"a", "b"}, {"c"}, {"d"}}},
        ReadCase{"lf_only_lines", "a\nb\n", {{"a"}, {"b"}}},
        ReadCase{"no_final_line_break", "a,b", {{"a", "b"}}}, ReadCase{"nothing", "", {}},
        ReadCase{"only_line_breaks", "\r\n\n\r", {}},
        ReadCase{"line_of_spaces_is_one_empty_cell", "   \r\n", {{""}}},
        ReadCase{"fields_trimmed",
                 "  a  , b\t,\x01"
                 "c\x7f",
                 {{"a", "b", "c\x7f"}}},
        ReadCase{"quoted_fields_trimmed_too", "\" a \",\"\tb\"", {{"a", "b"}}},
        ReadCase{"spaces_before_opening_quote", "  \"a,b\"", {{"a,b"}}},
        ReadCase{"spaces_after_closing_quote", "\"a\"  ,b", {{"a", "b"}}},
        ReadCase{"empty_quoted_field", "\"\",x", {{"", "x"}}},
        ReadCase{"quote_inside_unquoted_field", "ab\"c,d", {{"ab\"c", "d"}}},
        ReadCase{"doubled_quote_in_unquoted_field", "a\"\"b", {{"a\"b"}}},
        ReadCase{"unquoted_field_ending_in_quote", "ab\",c", {{"ab", "c"}}},
        ReadCase{"stray_quote_inside_quotes_is_kept", "\"a\"b\",c", {{"a\"b", "c"}}},
        ReadCase{"unclosed_quote_takes_the_rest", "\"abc,def\r\nghi", {{"abc,def\r\nghi"}}},
        ReadCase{"lone_quote", "\"", {{""}}},
        ReadCase{"lead_byte_takes_a_comma", "\x82,x,y", {{"\x82,x", "y"}}},
        ReadCase{"lead_byte_takes_the_closing_quote", "\"\x82\",b\r\nc", {{"\x82\",b\r\nc"}}},
        ReadCase{"lead_byte_as_last_byte", "a,\x82", {{"a", "\x82"}}},
        ReadCase{
            "kanji_with_backslash_second_byte", "\x95\x5c,\x83\x5c", {{"\x95\x5c", "\x83\x5c"}}},
        ReadCase{"nul_bytes_are_ordinary", "a\0b,\0c\0d\r\n"s, {{"a\0b"s, "c\0d"s}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CsvReadLong, AOneMegabyteLineReadsAsOneCell) {
  const std::string big(1 << 20, 'x');
  const std::string quoted = std::string(1 << 20, '"');  // 2^19 doubled quotes
  TCsvDb t;
  t.LoadFromText(big + "," + "\"" + quoted + "\"\r\nnext");
  ASSERT_EQ(t.RowCount(), 2);
  EXPECT_EQ(t.GetCell(0, 0), big);
  EXPECT_EQ(t.GetCell(1, 0), std::string(1 << 19, '"'));
  EXPECT_EQ(t.GetCell(0, 1), "next");
}

TEST(CsvReadLong, AMegabyteOfLeadBytesAndStrayQuotesIsOneField) {
  // Each lead byte swallows the quote after it; the other quotes are followed
  // by a space and a lead byte, so none of them closes the field.
  std::string text;
  for (int i = 0; i < (1 << 19); ++i) text += (i % 3 == 0) ? "\x82" : "\" ";
  TCsvDb t;
  t.LoadFromText(text);
  ASSERT_EQ(t.RowCount(), 1);
  EXPECT_EQ(t.GetCell(0, 0), text.substr(0, text.size() - 1));
}

// --- writing ---

struct WriteCase {
  const char* name;
  std::string cell;
  std::string written;
};

class CsvWriteCell : public ::testing::TestWithParam<WriteCase> {};

TEST_P(CsvWriteCell, IsWrittenSo) {
  TCsvDb t = MakeTable({{GetParam().cell}});
  EXPECT_EQ(t.SaveToText(), GetParam().written + "\r\n");
}

INSTANTIATE_TEST_SUITE_P(
    Quoting, CsvWriteCell,
    ::testing::Values(
        WriteCase{"plain", "abc", "abc"}, WriteCase{"capital_ID", "ID001", "\"ID001\""},
        WriteCase{"ID_inside", "xIDy", "\"xIDy\""}, WriteCase{"lower_id", "id001", "id001"},
        WriteCase{"mixed_Id", "Id iD", "Id iD"}, WriteCase{"comma", "a,b", "\"a,b\""},
        WriteCase{"quote_doubled", "a\"b\"", "\"a\"\"b\"\"\""}, WriteCase{"cr", "a\rb", "\"a\rb\""},
        WriteCase{"lf", "a\nb", "\"a\nb\""}, WriteCase{"spaces_never_quote", " a b ", " a b "},
        WriteCase{"I_as_second_byte_then_D",
                  "\x83I"
                  "D",
                  "\x83I"
                  "D"},
        WriteCase{"I_as_second_byte_then_ID",
                  "\x83I"
                  "ID",
                  "\"\x83I"
                  "ID\""},
        WriteCase{"quote_as_second_byte_not_doubled", "\x82\"", "\x82\""},
        WriteCase{"quote_as_second_byte_with_comma", "\x82\",\"", "\"\x82\",\"\"\""},
        WriteCase{"lead_byte_last", "a\x82", "a\x82"},
        WriteCase{"kanji", "\x95\x5c\x8e\x52", "\x95\x5c\x8e\x52"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CsvWrite, EveryLineHasTheWidestRowsFieldCount) {
  TCsvDb t = MakeTable({{"a", "b"}, {"1", "2", "3", "4", "5"}, {"x", "", "z"}});
  t.PutRow(4, nullptr);
  EXPECT_EQ(t.SaveToText(), "a,b,,,\r\n1,2,3,4,5\r\nx,,z,,\r\n\r\n\r\n");
}

TEST(CsvWrite, AQuotedLineBreakSurvivesARoundTrip) {
  TCsvDb t;
  t.LoadFromText("\"first\r\nsecond\",x\r\n");
  EXPECT_EQ(t.SaveToText(), "\"first\r\nsecond\",x\r\n");
}

TEST(CsvWrite, SpacesAroundACellAreLostOnReading) {
  TCsvDb t = MakeTable({{" a "}});
  TCsvDb back;
  back.LoadFromText(t.SaveToText());
  EXPECT_EQ(back.GetCell(0, 0), "a");
}

// Cells made of whole characters from the troublesome ones, not starting or
// ending with a blank: such tables must come back exactly.
std::string RandomCell(std::mt19937& rng) {
  static const std::vector<std::string> pieces = {
      "a",     "I",      "D",        "ID",       ",",     "\"",       "\r\n", " ",
      "\x83I", "\x82\"", "\x95\x5c", "\x82\xa0", "\x82,", "\x81\x40", "x"};
  std::string cell;
  const int n = static_cast<int>(rng() % 6);
  for (int i = 0; i < n; ++i) cell += pieces[rng() % pieces.size()];
  if (!cell.empty() && (cell.front() == ' ' || cell.front() == '\r')) cell.insert(0, "x");
  if (!cell.empty() && (cell.back() == ' ' || cell.back() == '\n')) cell += "x";
  return cell;
}

TEST(CsvRoundTrip, RandomTablesComeBackCellForCell) {
  std::mt19937 rng(2024);
  for (int round = 0; round < 300; ++round) {
    TCsvDb t;
    const int rows = 1 + static_cast<int>(rng() % 6), cols = 1 + static_cast<int>(rng() % 4);
    // A non-empty first cell keeps the line from being empty; a non-empty
    // last cell keeps the width (a trailing empty field reads as no field).
    for (int r = 0; r < rows; ++r) {
      for (int c = 0; c < cols; ++c) t.SetCell(c, r, RandomCell(rng));
      t.SetCell(0, r, "r" + std::string(t.GetCell(0, r)));
      t.SetCell(cols - 1, r, std::string(t.GetCell(cols - 1, r)) + "z");
    }
    const std::string text = t.SaveToText();
    TCsvDb back;
    back.LoadFromText(text);
    ASSERT_EQ(back.RowCount(), rows) << text;
    for (int r = 0; r < rows; ++r) {
      for (int c = 0; c < cols; ++c) ASSERT_EQ(back.GetCell(c, r), t.GetCell(c, r)) << text;
    }
    ASSERT_EQ(back.SaveToText(), text);
  }
}

// --- files ---

std::vector<std::string> FolderEntries(const std::string& dir) {
  std::vector<std::string> names;
  DIR* d = opendir(dir.c_str());
  while (dirent* e = d ? readdir(d) : nullptr) {
    const std::string name = e->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  if (d) closedir(d);
  std::sort(names.begin(), names.end());
  return names;
}

TEST(CsvFile, SavedBytesAreTheTextFormAndLoadBack) {
  const std::string dir = test::MakeTempDir("csv");
  TCsvDb t = MakeTable({{"ID1", "a,b"}, {"\x95\x5c", "x"}});
  t.SaveToFile(dir + "list.csv");
  EXPECT_EQ(test::ReadFile(dir + "list.csv"), t.SaveToText());
  TCsvDb back;
  back.LoadFromFile(dir + "list.csv");
  EXPECT_EQ(CellsOf(back), CellsOf(t));
  EXPECT_EQ(FolderEntries(dir), std::vector<std::string>{"list.csv"});
}

TEST(CsvFile, AFileThatCannotBeReadLeavesTheTableUnchanged) {
  const std::string dir = test::MakeTempDir("csv");
  TCsvDb t = MakeTable({{"keep"}});
  for (const std::string& path : {dir + "missing.csv", dir}) {
    EXPECT_THROW(t.LoadFromFile(path), EInOutError) << path;
    EXPECT_EQ(CellsOf(t), (Rows{{"keep"}}));
  }
}

TEST(CsvFile, TheErrorNamesTheFileAndTheReason) {
  TCsvDb t;
  try {
    t.LoadFromFile("/nonexistent-folder/a.csv");
    FAIL() << "no error";
  } catch (const EInOutError& e) {
    EXPECT_NE(std::string(e.what()).find("/nonexistent-folder/a.csv"), std::string::npos);
    EXPECT_EQ(e.Code(), ENOENT);
  }
}

TEST(CsvFile, AnImpossibleSaveLeavesNoTemporaryFile) {
  const std::string dir = test::MakeTempDir("csv");
  ASSERT_EQ(mkdir((dir + "taken").c_str(), 0755), 0);
  for (const std::string& target : {dir + "no/such/list.csv", dir + "taken"}) {
    EXPECT_THROW(MakeTable({{"a"}}).SaveToFile(target), EInOutError) << target;
    EXPECT_EQ(FolderEntries(dir), std::vector<std::string>{"taken"});
  }
}

// Stops writes past a size limit for the life of the object (the test runs
// as root, where permission bits would not stop a write).
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = saved_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, oldHandler_);
  }

 private:
  rlimit saved_{};
  void (*oldHandler_)(int);
};

TEST(CsvFile, ASaveFailingHalfWayKeepsThePreviousFile) {
  const std::string dir = test::MakeTempDir("csv");
  const std::string path = dir + "list.csv";
  test::WriteFile(path, "previous\r\n");
  TCsvDb big;
  for (int r = 0; r < 2000; ++r) big.SetCell(0, r, std::string(100, 'x'));
  {
    FileSizeLimit limit(4096);
    EXPECT_THROW(big.SaveToFile(path), EInOutError);
  }
  EXPECT_EQ(test::ReadFile(path), "previous\r\n");
  EXPECT_EQ(FolderEntries(dir), std::vector<std::string>{"list.csv"});
}

mode_t ModeOf(const std::string& path) {
  struct stat st {};
  stat(path.c_str(), &st);
  return st.st_mode & 07777;
}

TEST(CsvFile, AnExistingFileKeepsItsModeAndANewOneFollowsTheUmask) {
  const std::string dir = test::MakeTempDir("csv");
  test::WriteFile(dir + "old.csv", "x");
  chmod((dir + "old.csv").c_str(), 0640);
  MakeTable({{"a"}}).SaveToFile(dir + "old.csv");
  EXPECT_EQ(ModeOf(dir + "old.csv"), 0640u);

  const mode_t saved = umask(027);
  MakeTable({{"a"}}).SaveToFile(dir + "new.csv");
  umask(saved);
  EXPECT_EQ(ModeOf(dir + "new.csv"), 0640u);
}

}  // namespace
}  // namespace tonbo
