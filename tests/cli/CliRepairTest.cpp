// --fix-encoding and --nfc on real files whose names came from elsewhere,
// and what convmv makes of the same names.
#include <cstdlib>
#include <set>

#include "CliHarness.h"

namespace tonbo::test {
namespace {

using Files = std::map<std::string, std::string>;

// The names as another system wrote them (garbled -> meant), grouped by how
// convmv is told to read them.
struct Source {
  const char* convmv;
  std::vector<std::pair<std::string, std::string>> names;
};

const std::vector<Source>& Sources() {
  static const std::vector<Source> sources = {
      // A zip made on Windows and unpacked without conversion: code page 932 bytes.
      {"-f cp932 -t utf8",
       {{"\x8E\xCA\x90\x5E.jpg", "写真.jpg"},
        {"\x89\xEF\x8B\x63\x8E\x91\x97\xBF_2023.xlsx", "会議資料_2023.xlsx"},
        {"\xC3\xBD\xC4.txt", "ﾃｽﾄ.txt"}}},
      // An old Unix server: EUC-JP bytes.
      {"-f euc-jp -t utf8",
       {{"\xB5\xC4\xBB\xF6\xCF\xBF.doc", "議事録.doc"},
        {"\xA5\xAB\xA5\xBF\xA5\xAB\xA5\xCA.txt", "カタカナ.txt"}}},
      // UTF-8 shown as Latin-1 and saved again.
      {"-f utf8 -t latin1",
       {{"Caf\xC3\x83\xC2\xA9.txt", "Café.txt"},
        {"\xC3\xA5\xC2\x86\xC2\x99\xC3\xA7\xC2\x9C\xC2\x9F"
         "2.jpg",
         "写真2.jpg"}}},
      // UTF-8 shown as code page 932 and saved again.
      {"-f utf8 -t cp932", {{"蜀咏悄3.jpg", "写真3.jpg"}, {"縺ｲ繧峨′縺ｪ.txt", "ひらがな.txt"}}},
  };
  return sources;
}

bool HaveConvmv() { return std::system("command -v convmv >/dev/null 2>&1") == 0; }

// Every file name of a folder.
std::set<std::string> Names(const std::string& dir) {
  std::set<std::string> out;
  DIR* d = opendir(dir.c_str());
  while (dirent* e = readdir(d))
    if (e->d_type == DT_REG) out.insert(e->d_name);
  closedir(d);
  return out;
}

class CliRepair : public CliFolder {};

TEST_F(CliRepair, GarbledNamesFromEverySourceGetTheirMeantNames) {
  Files expected;
  for (const Source& source : Sources())
    for (const auto& [garbled, meant] : source.names) {
      File(garbled, meant);
      expected[meant] = meant;
    }
  // Names that read well as they are.
  for (const std::string name : {"readme.txt", "日本語.txt", "한국어.txt", "e\u0301.txt"}) {
    File(name, name);
    expected[name] = name;
  }
  const CliRun run = RunTonboCli({"--fix-encoding", "--apply", dir_});
  EXPECT_EQ(run.code, 0) << run.err;
  EXPECT_NE(run.err.find("9個のファイル名の文字化けを直しました。"), std::string::npos) << run.err;
  EXPECT_EQ(Disk(), expected);
}

TEST_F(CliRepair, RepairsAgreeWithConvmv) {
  if (!HaveConvmv()) GTEST_SKIP() << "convmv is not installed";
  for (const Source& source : Sources()) {
    const std::string theirs = MakeTempDir("convmv");
    const std::string ours = MakeTempDir("tonbo");
    std::set<std::string> meant;
    for (const auto& [garbled, name] : source.names) {
      WriteFile(theirs + garbled, name);
      WriteFile(ours + garbled, name);
      meant.insert(name);
    }
    const std::string command = std::string("convmv ") + source.convmv +
                                " --notest --qfrom --qto -r '" + theirs + "' >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    const CliRun run = RunTonboCli({"--fix-encoding", "--apply", "-q", ours});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(Names(theirs), meant) << source.convmv;
    EXPECT_EQ(Names(ours), Names(theirs)) << source.convmv;
  }
}

TEST_F(CliRepair, NfcComposesVoicedMarksAndAccentsLikeConvmv) {
  const std::vector<std::pair<std::string, std::string>> names = {
      {"\xE3\x81\x8B\xE3\x82\x99\xE3\x81\x8D\xE3\x82\x99.txt", "がぎ.txt"},  // か゛き゛ from macOS
      {"\xE3\x83\x8F\xE3\x82\x9A\xE3\x83\xB3.png", "パン.png"},
      {"Cafe\xCC\x81.txt", "Café.txt"},
      {"done.txt", "done.txt"}};
  Files expected;
  for (const auto& [decomposed, composed] : names) {
    File(decomposed, composed);
    expected[composed] = composed;
  }
  const CliRun run = RunTonboCli({"--nfc", "--apply", dir_});
  EXPECT_EQ(run.code, 0) << run.err;
  EXPECT_NE(run.err.find("3個のファイル名の濁点を結合しました。"), std::string::npos) << run.err;
  EXPECT_EQ(Disk(), expected);

  if (!HaveConvmv()) GTEST_SKIP() << "convmv is not installed";
  const std::string theirs = MakeTempDir("convmv");
  for (const auto& [decomposed, composed] : names) WriteFile(theirs + decomposed, composed);
  ASSERT_EQ(
      std::system(
          ("convmv -f utf8 -t utf8 --nfc --notest -r '" + theirs + "' >/dev/null 2>&1").c_str()),
      0);
  std::set<std::string> ours;
  for (const auto& [name, content] : Disk()) ours.insert(name);
  EXPECT_EQ(Names(theirs), ours);
}

// Without --apply nothing on disk changes; the list shows the repaired names.
TEST_F(CliRepair, ADryRunOnlyShowsTheRepairs) {
  File("\x8E\xCA\x90\x5E.jpg", "photo");
  const CliRun run = RunTonboCli({"--fix-encoding", "--utf8", dir_});
  EXPECT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(NewNames(run), std::vector<std::string>{"写真.jpg"});
  EXPECT_EQ(Disk(), (Files{{"\x8E\xCA\x90\x5E.jpg", "photo"}}));
}

}  // namespace
}  // namespace tonbo::test
