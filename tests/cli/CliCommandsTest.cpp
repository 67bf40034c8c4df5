// The commands without --apply: the table printed for files in list order,
// nothing changed on disk.
#include <set>

#include "CliHarness.h"
#include "common/Sjis.h"

namespace tonbo::test {
namespace {

struct CommandCase {
  const char* label;
  std::vector<std::string> files;  // listed in this order
  std::vector<std::string> args;
  std::vector<std::string> expected;  // new names, in the same order
};

void PrintTo(const CommandCase& c, std::ostream* os) { *os << c.label; }

class CliCommands : public CliFolder, public ::testing::WithParamInterface<CommandCase> {};

TEST_P(CliCommands, PrintsTheNewNamesAndLeavesTheDiskAlone) {
  const CommandCase& c = GetParam();
  std::vector<std::string> args = c.args;
  args.push_back("--utf8");
  for (const std::string& f : c.files) {
    File(f, "content of " + f);
    args.push_back(dir_ + f);
  }
  const auto before = Disk();
  const CliRun run = RunTonboCli(args);
  EXPECT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(NewNames(run), c.expected) << run.err;
  EXPECT_EQ(Disk(), before);
}

const std::vector<std::string> kTwo = {"b.txt", "a.jpg"};
const std::vector<std::string> kMixed = {"Ab.TXT", "カナ１.Jpg"};
const std::vector<std::string> kThree = {"a.txt", "b.jpg", "c.txt"};

INSTANTIATE_TEST_SUITE_P(
    Naming, CliCommands,
    ::testing::Values(
        CommandCase{"serial", kTwo, {"--renban"}, {"001.txt", "002.jpg"}},
        CommandCase{
            "serial_settings",
            kTwo,
            {"--set", "spnRenbanLength.Value=2", "--set=edtRenbanHeader.Text=p", "--renban"},
            {"p01.txt", "p02.jpg"}},
        CommandCase{
            "set_before", kTwo, {"--set", "spnRenbanStart=5", "--renban"}, {"005.txt", "006.jpg"}},
        CommandCase{
            "set_after", kTwo, {"--renban", "--set", "spnRenbanStart=5"}, {"001.txt", "002.jpg"}},
        CommandCase{"date", kTwo, {"--date"}, {"23-11-14__001.txt", "23-11-14__002.jpg"}},
        CommandCase{"fixed", kTwo, {"--name", "新"}, {"新.txt", "新_1.jpg"}},
        CommandCase{"fixed_with_ext",
                    kTwo,
                    {"--set", "ext_not_change=0", "--name", "n.md"},
                    {"n.md", "n_1.md"}},
        CommandCase{"append", kTwo, {"--append", "_x"}, {"b_x.txt", "a_x.jpg"}},
        CommandCase{"prepend", kTwo, {"--prepend", "x_"}, {"x_b.txt", "x_a.jpg"}},
        // Fields the files lack; real tags come with the reader's own files.
        CommandCase{"from_tags_missing",
                    kThree,
                    {"--from-tags", "[タイトル]", "--tag-missing", "不明"},
                    {"不明.txt", "不明_1.jpg", "不明_2.txt"}},
        CommandCase{"from_tags_brackets",
                    kTwo,
                    {"--from-tags", "[[[元の名前]]]/[年]"},
                    {"[b]_.txt", "[a]_.jpg"}}));

INSTANTIATE_TEST_SUITE_P(
    Formatting, CliCommands,
    ::testing::Values(
        CommandCase{"lower", kMixed, {"--lower"}, {"ab.TXT", "カナ１.Jpg"}},
        CommandCase{"lower_ext",
                    kMixed,
                    {"--set", "ext_not_change=0", "--lower"},
                    {"ab.txt", "カナ１.jpg"}},
        CommandCase{"upper", kMixed, {"--upper"}, {"AB.TXT", "カナ１.Jpg"}},
        CommandCase{"hankaku_ank", kMixed, {"--hankaku-ank"}, {"Ab.TXT", "カナ1.Jpg"}},
        CommandCase{"hankaku", kMixed, {"--hankaku"}, {"Ab.TXT", "ｶﾅ1.Jpg"}},
        CommandCase{"zenkaku", kMixed, {"--zenkaku"}, {"Ａｂ.TXT", "カナ１.Jpg"}},
        CommandCase{"hiragana_never_ext",
                    {"カナ.カナ"},
                    {"--set", "ext_not_change=0", "--hiragana"},
                    {"かな.カナ"}},
        CommandCase{"kana_round_trip", kMixed, {"--hiragana", "--katakana"}, kMixed}));

INSTANTIATE_TEST_SUITE_P(
    Replacing, CliCommands,
    ::testing::Values(
        CommandCase{
            "plain", {"aXa.txt", "b.a.txt"}, {"--replace", "x", "y"}, {"aya.txt", "b.a.txt"}},
        CommandCase{"plain_case", {"aXa.txt"}, {"--replace", "x", "y", "--case"}, {"aXa.txt"}},
        CommandCase{"plain_first", {"aXa.txt"}, {"--replace", "a", "z", "--first"}, {"zXa.txt"}},
        CommandCase{"plain_whole", {"aXa.txt"}, {"--replace", "", "w"}, {"w.txt"}},
        CommandCase{
            "plain_ext", {"aXa.txt"}, {"--replace", "txt", "md", "--scope", "ext"}, {"aXa.md"}},
        CommandCase{
            "regex", {"aXa.txt", "b.a.txt"}, {"--regex", "s/a/Q/g"}, {"QXQ.txt", "b.Q.txt"}},
        CommandCase{"regex_name_ext",
                    {"b.a.txt"},
                    {"--regex", "s/\\.txt$//", "--scope", "name+ext"},
                    {"b.a"}}));

INSTANTIATE_TEST_SUITE_P(
    Selecting, CliCommands,
    ::testing::Values(
        CommandCase{"mask",
                    kThree,
                    {"--select-mask", "*.TXT", "--append", "_t"},
                    {"a_t.txt", "b.jpg", "c_t.txt"}},
        CommandCase{"mask_not",
                    kThree,
                    {"--select-mask", "*.txt", "--not", "--append", "_t"},
                    {"a.txt", "b_t.jpg", "c.txt"}},
        CommandCase{"text_in_name",
                    kThree,
                    {"--select-text", "B", "--in", "name", "--renban"},
                    {"a.txt", "001.jpg", "c.txt"}},
        CommandCase{"text_case_none", kThree, {"--select-text", "B", "--case", "--renban"}, kThree},
        CommandCase{"regex_ext",
                    kThree,
                    {"--select-regex", "^\\.j", "--in", "ext", "--upper"},
                    {"a.txt", "B.jpg", "c.txt"}},
        CommandCase{"path",
                    kThree,
                    {"--select-text", "/c.", "--in", "path", "--upper"},
                    {"a.txt", "b.jpg", "C.txt"}},
        CommandCase{"contents",
                    kThree,
                    {"--select-text", "of b", "--in", "contents", "--upper"},
                    {"a.txt", "B.jpg", "c.txt"}},
        CommandCase{
            "chain_reselects",
            kThree,
            {"--select-mask", "*.txt", "--append", "_t", "--select-mask", "a*", "--prepend", "p_"},
            {"p_a_t.txt", "b.jpg", "c_t.txt"}}));

class CliListing : public CliFolder {};

// A folder gives its own files; sub-folders with -r, dot names with
// --hidden; what is named on the line is taken whatever its name, in order.
TEST_F(CliListing, AddsFoldersAsAskedAndNamedFilesAlways) {
  File("a.txt");
  File("sub/b.txt");
  File(".dot/c.txt");
  File(".hidden");
  File("sub/.d.txt");
  const struct {
    std::vector<std::string> args;
    std::multiset<std::string> names;
  } cases[] = {
      {{dir_}, {"a.txt"}},
      {{"-r", dir_}, {"a.txt", "b.txt"}},
      {{"--hidden", dir_}, {"a.txt", ".hidden"}},
      {{"-r", "--hidden", dir_}, {"a.txt", "b.txt", ".hidden", "c.txt", ".d.txt"}},
      {{dir_ + ".hidden", dir_ + "sub/", dir_ + "sub/.d.txt", dir_},
       {".hidden", "b.txt", ".d.txt", "a.txt"}},
  };
  for (const auto& c : cases) {
    const CliRun run = RunTonboCli(c.args);
    EXPECT_EQ(run.code, 0) << run.err;
    const std::vector<std::string> names = NewNames(run);
    EXPECT_EQ(std::multiset<std::string>(names.begin(), names.end()), c.names) << c.args[0];
    if (c.args.size() == 4) {  // named files come first, in the order given
      EXPECT_EQ(names, (std::vector<std::string>{".hidden", "b.txt", ".d.txt", "a.txt"}));
    }
  }
  const CliRun none = RunTonboCli({dir_ + "sub/.d.txt", "--select-mask", "*.jpg", "--renban"});
  EXPECT_NE(none.err.find("選ばれたファイルがないので、--renban は何もしません。"),
            std::string::npos)
      << none.err;
  File("only/.x");
  const CliRun empty = RunTonboCli({dir_ + "only", "--renban"});
  EXPECT_NE(empty.err.find("名前を変えるファイルがありません。"), std::string::npos) << empty.err;
  EXPECT_EQ(empty.err.find("範囲が選択されていません"), std::string::npos) << empty.err;
}

TEST_F(CliListing, ContentsAreSearchedInUtf8AndInCodePage932) {
  File("utf8.txt", "請求書 2024\n");
  File("sjis.txt", enc::Lit("請求書 2024\n"));
  File("other.txt", "見積書\n");
  const CliRun run =
      RunTonboCli({"--select-text", "請求書", "--in", "contents", "--upper", "--utf8",
                   dir_ + "utf8.txt", dir_ + "sjis.txt", dir_ + "other.txt"});
  EXPECT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(NewNames(run), (std::vector<std::string>{"UTF8.txt", "SJIS.txt", "other.txt"}));
}

// Files found in a folder are listed without their times when no command
// uses them; the commands that do must still see them.
TEST_F(CliListing, FolderFilesKeepTheirDatesForTheCommandsThatUseThem) {
  File("old.txt", "x", 1500000000);  // 2017
  File("new.txt");                   // 2023/11/14
  const auto selected =
      NewNames(RunTonboCli({"--select-text", "2023/11", "--in", "date", "--append", "_d", dir_}));
  EXPECT_EQ(std::multiset<std::string>(selected.begin(), selected.end()),
            (std::multiset<std::string>{"old.txt", "new_d.txt"}));
  for (const char* command : {"--date", "--renban"}) {
    const CliRun run = RunTonboCli({command, "--set", "cmbRenbanDate.ItemIndex=1", dir_});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.err.find("そのまま"), std::string::npos) << command << run.err;
  }
}

// UTF-8 with LF in a UTF-8 locale; code page 932 when asked for, or in a
// locale that is not UTF-8 unless --utf8 says so; CR LF when asked for.
TEST_F(CliListing, WritesTheLocalesEncodingOrCodePage932WhenAsked) {
  File("写真.jpg");
  const std::string utf8 = "写真,.jpg," + dir_ + "写真.jpg";
  const std::string sjis = enc::Lit(utf8);
  const struct {
    std::vector<std::string> args;
    const char* lang;
    std::string out;
  } cases[] = {
      {{}, "LANG=C.UTF-8", utf8 + "\n"},
      {{"--utf8"}, "LANG=C.UTF-8", utf8 + "\n"},
      {{"--sjis"}, "LANG=C.UTF-8", sjis + "\n"},
      {{"--sjis", "--crlf"}, "LANG=C.UTF-8", sjis + "\r\n"},
      {{}, "LANG=C", sjis + "\n"},
      {{"--utf8", "--crlf"}, "LANG=C", utf8 + "\r\n"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = c.args;
    args.push_back(dir_ + "写真.jpg");
    const CliRun run = RunTonboCli(args, {c.lang});
    EXPECT_EQ(run.out, c.out) << c.lang << " " << args[0];
  }
}

// A path holding "ID" is quoted in the table, as in every CSV the program
// writes; read back, it is the path itself.
TEST_F(CliListing, PathsHoldingIdAreQuotedAndReadBack) {
  File("IDs/a.txt");
  const CliRun run = RunTonboCli({"--utf8", dir_ + "IDs/a.txt"});
  EXPECT_EQ(run.out, "a,.txt,\"" + dir_ + "IDs/a.txt\"\n");
  EXPECT_EQ(TableRows(run.out),
            (std::vector<std::vector<std::string>>{{"a", ".txt", dir_ + "IDs/a.txt"}}));
}

// A table far longer than the writer's buffer comes out whole, and its
// UTF-8 form is the code page 932 form converted as one text.
TEST_F(CliListing, ALongTableIsWrittenWhole) {
  const int files = 1500;
  for (int i = 0; i < files; ++i)
    File("写真とても長い名前の見本" + std::to_string(10000 + i) + ".jpg");
  const CliRun sjis = RunTonboCli({"--sjis", dir_});
  const CliRun utf8 = RunTonboCli({"--utf8", dir_});
  ASSERT_GT(sjis.out.size(), size_t(2) << 16);
  EXPECT_EQ(utf8.out, enc::FromSjis(sjis.out).toStdString());
  const std::vector<std::vector<std::string>> rows = TableRows(sjis.out);
  ASSERT_EQ(rows.size(), size_t(files));
  std::set<std::string> names;
  for (const std::vector<std::string>& row : rows) names.insert(row[0] + row[1]);
  EXPECT_EQ(names.size(), size_t(files));
  EXPECT_EQ(names.count(enc::Lit("写真とても長い名前の見本11499.jpg")), 1u);
}

TEST_F(CliListing, RelativePathsBecomeAbsolute) {
  File("a.txt");
  ASSERT_EQ(chdir(dir_.c_str()), 0);
  const CliRun run = RunTonboCli({"--crlf", "./a.txt"});
  EXPECT_EQ(run.out, TableLine({"a", ".txt", dir_ + "a.txt"}));
}

TEST_F(CliListing, RandomNamesAreUniqueAndFollowTheSeed) {
  for (const char* f : {"a", "b", "c", "d", "e", "f"}) File(f);
  std::vector<std::string> args = {"--set",    "chkRandomHira=0",
                                   "--set",    "chkRandomKana=0",
                                   "--set",    "chkRandomSymbol=0",
                                   "--set",    "spnRandomFrom=5",
                                   "--set",    "spnRandomTo=5",
                                   "--random", "--seed",
                                   "7",        dir_};
  const auto first = NewNames(RunTonboCli(args));
  const auto again = NewNames(RunTonboCli(args));
  args[args.size() - 2] = "8";
  const auto other = NewNames(RunTonboCli(args));
  EXPECT_EQ(first, again);
  EXPECT_NE(first, other);
  EXPECT_EQ(std::set<std::string>(first.begin(), first.end()).size(), 6u);
  for (const std::string& name : first) {
    EXPECT_EQ(name.size(), 5u) << name;
    EXPECT_EQ(
        name.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"),
        std::string::npos)
        << name;
  }
}

// The settings file of the windows is read, and never written.
TEST_F(CliListing, ReadsTheSettingsFileAndNeverWritesIt) {
  const std::string ini = std::string(getenv("XDG_CONFIG_HOME")) + "/tonbo/tonbo.ini";
  mkdir((std::string(getenv("XDG_CONFIG_HOME")) + "/tonbo").c_str(), 0700);
  const std::string text = "[setting]\r\nspnRenbanLength.Value=5\r\next_not_change=0\r\n";
  WriteFile(ini, text);
  File("a.TXT");
  const CliRun run = RunTonboCli(
      {"--set", "edtRenbanHeader.Text=h", "--set", "nosuchkey=1", "--renban", "--lower", dir_});
  const std::string after = ReadFile(ini);
  unlink(ini.c_str());
  EXPECT_EQ(NewNames(run), std::vector<std::string>{"h00001.txt"});
  EXPECT_EQ(after, text);
  EXPECT_NE(run.err.find("nosuchkey"), std::string::npos);
}

}  // namespace
}  // namespace tonbo::test
