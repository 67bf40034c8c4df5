// --apply, the conflict methods and bad usage: real renames on disk, and
// nothing at all on disk when the command line is wrong.
#include <sys/time.h>

#include <ctime>
#include <filesystem>
#include <set>

#include "../tags/TagFiles.h"
#include "CliHarness.h"
#include "cli/CliOptions.h"

namespace tonbo::test {
namespace {

using Files = std::map<std::string, std::string>;

class CliApply : public CliFolder {};

TEST_F(CliApply, RenamesAndReportsOnStandardError) {
  File("a.txt", "A");
  File("b.txt", "B");
  const CliRun run = RunTonboCli({"--regex", "s/^/x_/", "--apply", dir_});
  EXPECT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(Disk(), (Files{{"x_a.txt", "A"}, {"x_b.txt", "B"}}));
  EXPECT_EQ(run.out, "");
  EXPECT_NE(run.err.find("2個のファイルを名前変更しました。"), std::string::npos) << run.err;
}

// Ctrl+C stops the run between two files: it says what it left, the next run goes on.
TEST_F(CliApply, ASignalStopsTheRunAndSaysWhatItLeft) {
  File("a.txt", "A");
  File("b.txt", "B");
  const CliRun run = RunTonboCli({"--upper", "--apply", dir_}, {}, SIGINT);
  EXPECT_EQ(run.code, 1) << run.err;
  EXPECT_EQ(Disk(), (Files{{"a.txt", "A"}, {"b.txt", "B"}}));
  EXPECT_NE(run.err.find("名前の変更を中止しました。"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("2個のファイルは変更していません。"), std::string::npos) << run.err;
  EXPECT_EQ(RunTonboCli({"--upper", "--apply", dir_}).code, 0);
  EXPECT_EQ(Disk(), (Files{{"A.txt", "A"}, {"B.txt", "B"}}));
}

TEST_F(CliApply, SwapsWithoutAQuestionAndWithoutLosingAFile) {
  File("1.txt", "one");
  File("2.txt", "two");
  File("3.txt", "three");
  // 1 -> 2 while 2 -> 1, and 3 -> 1 after them: only the last meets a file that stays.
  const CliRun run = RunTonboCli({"--regex", "s/^1$/x/", "--regex", "s/^2$/1/", "--regex",
                                  "s/^x$/2/", "--regex", "s/^3$/1/", "--apply", "--on-conflict",
                                  "number", dir_ + "1.txt", dir_ + "2.txt", dir_ + "3.txt"});
  EXPECT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(Disk(), (Files{{"2.txt", "one"}, {"1.txt", "two"}, {"1_1.txt", "three"}}));
}

TEST_F(CliApply, UndoLastPutsTheRunBack) {
  File("a.txt", "A");
  File("b.txt", "B");
  File("old.txt", "OLD");
  // A state folder of its own: no other test's run is the last one.
  const std::vector<std::string> env = {"XDG_STATE_HOME=" + MakeTempDir("state")};
  // a -> b waits for b -> old, which replaces old.txt.
  ASSERT_EQ(RunTonboCli({"--regex", "s/^a$/x/", "--regex", "s/^b$/old/", "--regex", "s/^x$/b/",
                         "--apply", "--on-conflict", "overwrite", dir_ + "a.txt", dir_ + "b.txt"},
                        env)
                .code,
            0);
  ASSERT_EQ(Disk(), (Files{{"b.txt", "A"}, {"old.txt", "B"}}));
  const CliRun undo = RunTonboCli({"--undo-last", "--apply"}, env);
  EXPECT_EQ(undo.code, 0) << undo.err;
  EXPECT_EQ(Disk(), (Files{{"a.txt", "A"}, {"b.txt", "B"}, {"old.txt", "OLD"}}));
  EXPECT_NE(undo.err.find("2個のファイルを元の名前に戻しました。"), std::string::npos) << undo.err;
  EXPECT_NE(undo.err.find("1個のファイルをごみ箱から戻しました。"), std::string::npos);
  const CliRun again = RunTonboCli({"--undo-last", "--apply"}, env);
  EXPECT_NE(again.code, 0);  // this run is undone; no older run of this test is left to undo
  EXPECT_EQ(Disk(), (Files{{"a.txt", "A"}, {"b.txt", "B"}, {"old.txt", "OLD"}}));
}

// Names a command may make that would take a file out of its folder.
TEST_F(CliApply, NamesWithASlashOrDotsAreRefused) {
  const std::string name =
      "a\xEF\xBC\x8F\xEF\xBC\x8E"
      "b.txt";  // a／．b.txt
  const std::vector<std::vector<std::string>> commands = {
      {"--hankaku"},                                      // ／ becomes /
      {"--set", "edtRenbanHeader.Text=../", "--renban"},  // a header going up
      {"--set", "ext_not_change=0", "--name", ".."},      // the folder above
      {"--regex", "s/^.*$/sub\\/x/"},                     // into a subfolder
      {"--replace", "", ".", "--scope", "name+ext"},      // the folder itself
  };
  for (const auto& command : commands) {
    SCOPED_TRACE(command.back());
    dir_ = MakeTempDir("slash");
    File(name, "N");
    mkdir((dir_ + "sub").c_str(), 0700);
    std::vector<std::string> args = command;
    args.insert(args.end(), {"--apply", "--on-conflict", "overwrite", dir_ + name});
    const CliRun run = RunTonboCli(args);
    EXPECT_EQ(run.code, 1) << run.err;
    EXPECT_TRUE(run.err.find("（名前に「/」は使えません）") != std::string::npos ||
                run.err.find("（「.」と「..」は名前にできません）") != std::string::npos)
        << run.err;
    EXPECT_EQ(Disk(), (Files{{name, "N"}}));
    struct stat st {};
    EXPECT_NE(lstat((dir_ + "sub/x.txt").c_str(), &st), 0);
    EXPECT_NE(lstat((dir_ + "../1.txt").c_str(), &st), 0);
  }
}

struct ConflictCase {
  const char* method;
  time_t listedTime;  // the time of a.txt; b.txt was written at 1700000000
  Files expected;
  int code;
  const char* message;
};

void PrintTo(const ConflictCase& c, std::ostream* os) { *os << c.method << "@" << c.listedTime; }

class CliConflicts : public CliFolder, public ::testing::WithParamInterface<ConflictCase> {};

// a.txt -> b.txt finds b.txt (not listed) in the way; c.txt -> d.txt comes after it.
TEST_P(CliConflicts, SettleTheTakenNameAsTold) {
  const ConflictCase& c = GetParam();
  File("a.txt", "A", c.listedTime);
  File("b.txt", "B");
  File("c.txt", "C");
  const CliRun run = RunTonboCli({"--replace", "a", "b", "--replace", "c", "d", "--apply",
                                  "--on-conflict", c.method, dir_ + "a.txt", dir_ + "c.txt"});
  EXPECT_EQ(run.code, c.code) << run.err;
  EXPECT_EQ(Disk(), c.expected);
  EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
  // Each replacement changes one of the two names, and says so.
  EXPECT_EQ(run.err.find("2 個のファイルを置換しました。"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("1 個のファイルを置換しました。"), std::string::npos) << run.err;
}

constexpr time_t kOlder = 1600000000, kNewer = 1800000000;

INSTANTIATE_TEST_SUITE_P(
    Methods, CliConflicts,
    ::testing::Values(
        ConflictCase{"skip",
                     kOlder,
                     {{"a.txt", "A"}, {"b.txt", "B"}, {"d.txt", "C"}},
                     1,
                     "同名ファイルがあったのでスキップ：\"b.txt\""},
        ConflictCase{"overwrite",
                     kOlder,
                     {{"b.txt", "A"}, {"d.txt", "C"}},
                     0,
                     "2個のファイルを名前変更しました。"},
        ConflictCase{"newer",
                     kOlder,
                     {{"a.txt", "A"}, {"b.txt", "B"}, {"d.txt", "C"}},
                     1,
                     "書込先ファイルの方が新しかったのでスキップ"},
        ConflictCase{"newer",
                     kNewer,
                     {{"b.txt", "A"}, {"d.txt", "C"}},
                     0,
                     "2個のファイルを名前変更しました。"},
        ConflictCase{"number",
                     kOlder,
                     {{"b.txt", "B"}, {"b_1.txt", "A"}, {"d.txt", "C"}},
                     0,
                     "2個のファイルを名前変更しました。"},
        ConflictCase{
            "stop", kOlder, {{"a.txt", "A"}, {"b.txt", "B"}, {"c.txt", "C"}}, 1, "中止しました"}));

// The reader's own files (pictures with a date taken, songs with tags) can
// join these; a file without tags takes its modification date.
TEST_F(CliApply, NamesFromTagsAndDatesTakenOnRealFiles) {
  std::tm local{};
  local.tm_year = 124, local.tm_mon = 4, local.tm_mday = 1, local.tm_hour = 10;
  local.tm_min = 20, local.tm_isdst = -1;
  const timeval may[2] = {{std::mktime(&local), 0}, {std::mktime(&local), 0}};
  for (const std::string f : {"a.jpg", "b.jpg", "c.mp3"}) {
    File(f, f);
    ASSERT_EQ(utimes((dir_ + f).c_str(), may), 0);
  }
  CliRun run = RunTonboCli(
      {"--date-source", "taken", "--set", "cmbDateFormat.ItemIndex=5", "--date", "--apply", dir_});
  EXPECT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(Disk(), (Files{{"20240501__001.jpg", "a.jpg"},
                           {"20240501__002.jpg", "b.jpg"},
                           {"20240501__003.mp3", "c.mp3"}}));
  run = RunTonboCli({"--from-tags", "[タイトル][更新日時:yymmdd-hhnn]", "--apply", dir_});
  EXPECT_EQ(run.code, 0) << run.err;
  EXPECT_NE(run.err.find("3個のファイルにタグから名前を付けました。"), std::string::npos);
  EXPECT_EQ(Disk(), (Files{{"240501-1020.jpg", "a.jpg"},
                           {"240501-1020_1.jpg", "b.jpg"},
                           {"240501-1020_2.mp3", "c.mp3"}}));
}

// Real tags, read by the program's reader: a photo's Exif, a song's ID3v2; a
// file without tags falls back to its modification time or the missing text.
TEST_F(CliApply, NamesFromRealTagsFallBackWhereAFileHasNone) {
  namespace make = tags::make;
  make::MakePicture(
      dir_ + "a.jpg", Exiv2::ImageType::jpeg,
      {{"Exif.Photo.DateTimeOriginal", "2023:12:24 18:30:05"}, {"Exif.Image.Model", "EOS/R5"}});
  make::MakeMp3(dir_ + "c.mp3");
  File("b.jpg", "no tags");
  std::tm local{};
  local.tm_year = 124, local.tm_mon = 4, local.tm_mday = 1, local.tm_isdst = -1;
  const timeval may[2] = {{std::mktime(&local), 0}, {std::mktime(&local), 0}};
  for (const std::string f : {"a.jpg", "b.jpg", "c.mp3"})
    ASSERT_EQ(utimes((dir_ + f).c_str(), may), 0);
  const Files before = Disk();
  CliRun run =
      RunTonboCli({"--date-source", "taken", "--set", "cmbDateFormat.ItemIndex=5", "--date", dir_});
  EXPECT_NE(run.out.find("20231224__001,.jpg"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("20240501__001,.jpg"), std::string::npos) << run.out;
  run = RunTonboCli({"--from-tags", "[撮影日時:yyyymmdd_hhnnss]_[機種]", "--tag-missing", "x",
                     "--apply", dir_ + "a.jpg", dir_ + "b.jpg"});
  EXPECT_EQ(run.code, 0) << run.err;
  run = RunTonboCli(
      {"--from-tags", "[アーティスト] - [曲番号:2] [タイトル]", "--apply", dir_ + "c.mp3"});
  EXPECT_EQ(run.code, 0) << run.err;
  Files after = Disk();
  EXPECT_EQ(after.size(), before.size());
  EXPECT_TRUE(after.count("20231224_183005_EOS_R5.jpg")) << run.err;
  EXPECT_TRUE(after.count("x_x.jpg"));
  EXPECT_TRUE(after.count("Artist - 03 夜明け.mp3"));
}

TEST_F(CliApply, OverwrittenFileGoesToTheTrash) {
  File("a.txt", "new");
  File("b.txt", "replaced by a");
  const CliRun run =
      RunTonboCli({"--name", "b", "--apply", "--on-conflict=overwrite", dir_ + "a.txt"});
  EXPECT_EQ(run.code, 0) << run.err;
  const std::string trash = std::string(getenv("XDG_DATA_HOME")) + "/Trash/files/b.txt";
  EXPECT_EQ(ReadFile(trash), "replaced by a");
}

// Only the delete command marks a row, never a name on disk, asked for or in a list.
TEST_F(CliApply, TheDeleteMarksTextIsAnOrdinaryName) {
  const std::string mark = " :(削除)";
  // The third is the mark as a saved list gives it back, without the space.
  Files files = {{mark + ".txt", "M"}, {mark, "bare"}, {mark.substr(1), "read"}, {"a.txt", "A"}};
  for (const auto& [name, bytes] : files) File(name, bytes);
  const std::string trash = std::string(getenv("XDG_DATA_HOME")) + "/Trash/files/";
  const size_t trashed = FolderFiles(trash).size();
  EXPECT_EQ(RunTonboCli({"--apply", dir_}).code, 0);
  EXPECT_EQ(RunTonboCli({"--name", mark, "--apply", dir_ + "a.txt"}).code, 1);  // mark.txt is taken
  // A list's row saved with the mark whose file is gone is not the file named like the mark.
  const std::string list = MakeTempDir("list") + "l.csv";
  WriteFile(list, "\"" + enc::Lit(mark) + "\",.txt,,,,\"" + dir_ + "gone.txt\"\r\n");
  const CliRun run = RunTonboCli({"--load-list", list, "--apply"});
  EXPECT_NE(run.err.find("ファイルが見つかりません。：" + dir_ + "gone.txt"), std::string::npos);
  EXPECT_EQ(Disk(), files);
  EXPECT_EQ(FolderFiles(trash).size(), trashed);
}

// Overwriting a file's other link changes nothing and says so; a folder holding the
// first numbered name is passed over; an unreadable settings file is warned of.
TEST_F(CliApply, HardLinksFoldersInTheWayAndUnreadableSettingsAreTold) {
  File("a.txt", "A");
  ASSERT_EQ(link((dir_ + "a.txt").c_str(), (dir_ + "b.txt").c_str()), 0);
  const std::string config = MakeTempDir("config");
  std::filesystem::create_directories(config + "tonbo/tonbo.ini");  // a settings file unreadable
  const CliRun run =
      RunTonboCli({"--name", "b", "--apply", "--on-conflict=overwrite", dir_ + "a.txt"},
                  {"XDG_CONFIG_HOME=" + config});
  for (const std::string& said :
       {std::string("（書き込み先は同じファイルの別の名前（ハードリンク）です）"),
        "設定ファイルを読み込めませんでした。\n" + config + "tonbo/tonbo.ini\n"})
    EXPECT_NE(run.err.find(said), std::string::npos) << run.err;
  EXPECT_EQ(Disk(), (Files{{"a.txt", "A"}, {"b.txt", "A"}}));
  mkdir((dir_ + "b_1.txt").c_str(), 0700);
  EXPECT_EQ(RunTonboCli({"--name", "b", "--apply", "--on-conflict=number", dir_ + "a.txt"}).code,
            0);
  EXPECT_EQ(Disk(), (Files{{"b.txt", "A"}, {"b_2.txt", "A"}}));
}

struct UsageCase {
  const char* label;
  std::vector<std::string> args;  // after the folder
  const char* message;
};

void PrintTo(const UsageCase& c, std::ostream* os) { *os << c.label; }

class CliBadUsage : public CliFolder, public ::testing::WithParamInterface<UsageCase> {};

TEST_P(CliBadUsage, ExplainsAndChangesNothing) {
  File("a.txt", "A");
  std::vector<std::string> args = {dir_, "--renban", "--apply"};
  args.insert(args.end(), GetParam().args.begin(), GetParam().args.end());
  const CliRun run = RunTonboCli(args);
  EXPECT_EQ(run.code, 2);
  EXPECT_NE(run.err.find(GetParam().message), std::string::npos) << run.err;
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(Disk(), (Files{{"a.txt", "A"}}));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliBadUsage,
    ::testing::Values(
        UsageCase{"unknown", {"--bogus"}, "不明なオプションです：--bogus"},
        UsageCase{"value_on_switch", {"--apply=yes"}, "不明なオプションです"},
        UsageCase{"missing_value", {"--replace", "a"}, "--replace には値が2つ必要です。"},
        UsageCase{"misplaced_modifier", {"--first"}, "--first は --replace の直後"},
        UsageCase{"first_after_regex", {"--regex", "s/a/b/", "--first"}, "--first は --replace"},
        UsageCase{"not_after_command", {"--not"}, "--not は --select-…"},
        UsageCase{"bad_scope", {"--replace", "a", "b", "--scope", "all"}, "name、name+ext、ext"},
        UsageCase{"bad_in", {"--select-text", "a", "--in", "size"}, "--in の値「size」"},
        UsageCase{"bad_conflict", {"--on-conflict", "ask"}, "--on-conflict の値「ask」"},
        UsageCase{"bad_seed", {"--seed", "-1"}, "--seed には"},
        UsageCase{"set_without_value", {"--set", "spnRenbanStart"}, "KEY=VALUE"},
        UsageCase{"empty_name", {"--name", ""}, "--name の文字列が空です。"},
        UsageCase{"malformed_mask", {"--select-mask", "[a"}, "--select-mask [a："},
        UsageCase{"malformed_regex", {"--regex", "s/(/x/"}, "--regex s/(/x/："},
        UsageCase{"malformed_select_regex",
                  {"--select-regex", "(", "--in", "contents"},
                  "--select-regex ("},
        UsageCase{"missing_path", {"/no/such/file"}, "見つかりません：/no/such/file"},
        UsageCase{
            "unknown_tag", {"--from-tags", "[カメラ]"}, "--from-tags：「[カメラ]」という項目"},
        UsageCase{"unclosed_tag", {"--from-tags", "[年"}, "「[年」の「[」が閉じていません"},
        UsageCase{"misplaced_tag_missing", {"--tag-missing", "x"}, "--from-tags の直後"},
        UsageCase{"bad_date_source", {"--date-source", "exif"}, "--date-source の値「exif」"},
        UsageCase{"no_random_characters",
                  {"--set", "chkRandomLower=0", "--set", "chkRandomUpper=0", "--set",
                   "chkRandomNum=0", "--set", "chkRandomSymbol=0", "--set", "chkRandomHira=0",
                   "--set", "chkRandomKana=0", "--random"},
                  "ランダムな名前に使う文字が選ばれていません。"}));

TEST_F(CliApply, NoPathIsBadUsage) {
  const CliRun run = RunTonboCli({"--renban"});
  EXPECT_EQ(run.code, 2);
  EXPECT_NE(run.err.find("ファイルかフォルダを指定してください"), std::string::npos);
}

// Once, listing 1,900 names outside the code page used up every character
// code for good, and from then on a folder with "é.txt" was refused. Now no
// number of such names runs out, and the second folder renames as always.
TEST_F(CliApply, NamesOutsideTheCodePageNeverRunOut) {
  Files hangul;
  for (unsigned u = 0xAC00; u < 0xAC00 + 1900; ++u) {
    const std::string name{static_cast<char>(0xE0 | (u >> 12)),
                           static_cast<char>(0x80 | ((u >> 6) & 0x3F)),
                           static_cast<char>(0x80 | (u & 0x3F)),
                           '.',
                           't',
                           'x',
                           't'};
    File(name, name);
    hangul[name] = name;
  }
  const CliRun listing = RunTonboCli({"--renban", dir_});
  EXPECT_EQ(listing.code, 0) << listing.err;
  EXPECT_EQ(Disk(), hangul);
  const std::string config = MakeTempDir("config");
  EXPECT_NE(access((config + "tonbo/charmap.txt").c_str(), F_OK), 0);

  const std::string other = MakeTempDir("latin");
  WriteFile(other + "é.txt", "e");
  WriteFile(other + "\xF0\x9F\x98\x80.txt", "smile");
  const CliRun run =
      RunTonboCli({"--regex", "s/^/x_/", "--apply", other}, {"XDG_CONFIG_HOME=" + config});
  EXPECT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(ReadFile(other + "x_é.txt"), "e");
  EXPECT_EQ(ReadFile(other + "x_\xF0\x9F\x98\x80.txt"), "smile");
  EXPECT_NE(access((config + "tonbo/charmap.txt").c_str(), F_OK), 0);
}

// --help is made from the option list; docs/cli.md is written by hand and
// must name the same options, no more and no fewer.
TEST(CliHelp, HelpAndDocsNameEveryOptionOfTheList) {
  const CliRun run = RunTonboCli({"--help"});
  EXPECT_EQ(run.code, 0);
  EXPECT_NE(run.out.find("終了コード"), std::string::npos);
  const std::string docs = ReadFile(std::string(TONBO_SOURCE_DATA_DIR) + "/../docs/cli.md");
  ASSERT_FALSE(docs.empty());
  auto named = [](const std::string& text, const std::string& before, const std::string& name,
                  const char* after) {
    for (const char* c = after; *c; ++c)
      if (text.find(before + name + *c) != std::string::npos) return true;
    return false;
  };
  std::set<std::string> listed;
  for (const cli::CliOption& option : cli::OptionList())
    for (const char* name : {option.name, option.shortName})
      if (name) listed.insert(name);
  for (const std::string& name : listed) {
    EXPECT_TRUE(named(run.out, " ", name, " ,")) << name;
    EXPECT_TRUE(named(docs, "`", name, "` =")) << name;
  }
  // Every misuse --help names under exit code 2 is in the docs' row for it.
  const size_t usage = run.out.find("2  使い方の誤り（");
  ASSERT_NE(usage, std::string::npos);
  const size_t from = run.out.find("（", usage) + std::string("（").size();
  std::string misuses = run.out.substr(from, run.out.find("）", from) - from);
  for (size_t nl; (nl = misuses.find("\n     ")) != std::string::npos;) misuses.erase(nl, 6);
  const std::string row = docs.substr(docs.find("| 2 |"), docs.find('\n', docs.find("| 2 |")));
  for (size_t at = 0, end; at < misuses.size(); at = end + std::string("、").size()) {
    end = std::min(misuses.find("、", at), misuses.size());
    EXPECT_NE(row.find(misuses.substr(at, end - at)), std::string::npos)
        << misuses.substr(at, end - at);
  }
  // "`--select-…`" stands for the three select options.
  for (size_t at = docs.find("`-"); at != std::string::npos; at = docs.find("`-", at + 1)) {
    const std::string word = docs.substr(at + 1, docs.find_first_of("` =", at + 1) - at - 1);
    EXPECT_TRUE(listed.count(word) || word.find("…") != std::string::npos) << word;
  }
}

}  // namespace
}  // namespace tonbo::test
