#include "commands/ReplaceSamples.h"

#include <gtest/gtest.h>

#include <map>
#include <ostream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "TestEnv.h"
#include "commands/ReplaceNames.h"
#include "commands/TextLines.h"
#include "common/Sjis.h"

namespace tonbo {
namespace {

using enc::Lit;

TEST(SampleCommand, IsWhatFollowsTheFirstCommaTrimmed) {
  EXPECT_EQ(SampleCommand("desc,s/a/b/"), "s/a/b/");
  EXPECT_EQ(SampleCommand("desc, \t s/a,b/c,d/g \r\n"), "s/a,b/c,d/g");
  EXPECT_EQ(SampleCommand(",s/ /_/"), "s/ /_/");  // spaces inside stay
  EXPECT_EQ(SampleCommand("no comma here"), "");
  EXPECT_EQ(SampleCommand("desc,"), "");
  EXPECT_EQ(SampleCommand(""), "");
  // A trail byte with the code of "," (none exists) or of a letter is no separator.
  EXPECT_EQ(SampleCommand(Lit("ア説明,s/ア/イ/")), Lit("s/ア/イ/"));
}

TEST(SplitLines, BreaksAtEveryKindOfLineEnd) {
  using V = std::vector<std::string>;
  EXPECT_EQ(SplitLines("a\r\nb\rc\nd"), (V{"a", "b", "c", "d"}));
  EXPECT_EQ(SplitLines("a\r\n"), (V{"a"}));
  EXPECT_EQ(SplitLines("a\n\nb\n"), (V{"a", "", "b"}));
  EXPECT_EQ(SplitLines("\r\n"), (V{""}));
  EXPECT_EQ(SplitLines(""), V{});
}

TEST(LoadReplaceSamples, ReadsUtf8AndOlderCodePage932Files) {
  const std::string dir = test::MakeTempDir("samples");
  std::vector<std::string> lines{"kept"};
  EXPECT_FALSE(LoadReplaceSamples(dir + "missing.txt", lines));
  EXPECT_EQ(lines, std::vector<std::string>{"kept"});

  test::WriteFile(dir + "utf8.txt", "\xEF\xBB\xBF写真を,s/写真/photo/\r\n数字,s/\\d//g\r\n");
  ASSERT_TRUE(LoadReplaceSamples(dir + "utf8.txt", lines));
  EXPECT_EQ(lines, (std::vector<std::string>{Lit("写真を,s/写真/photo/"), Lit("数字,s/\\d//g")}));

  const std::string sjis = Lit("写真を,s/写真/photo/\n");
  test::WriteFile(dir + "sjis.txt", sjis);
  ASSERT_TRUE(LoadReplaceSamples(dir + "sjis.txt", lines));
  EXPECT_EQ(lines, std::vector<std::string>{Lit("写真を,s/写真/photo/")});

  test::WriteFile(dir + "empty.txt", "");
  ASSERT_TRUE(LoadReplaceSamples(dir + "empty.txt", lines));
  EXPECT_TRUE(lines.empty());
}

// What each shipped sample does to a realistic name, keyed by its command.
struct SampleCase {
  const char* name;
  const char* expected;
  ReplaceScope scope = ReplaceScope::Name;
};

const std::map<std::string, SampleCase>& Cases() {
  static const std::map<std::string, SampleCase> cases = {
      {R"(s/(?<!\d)(\d)(?!\d)/0$1/g)", {"第3巻 page 7 of 12", "第03巻 page 07 of 12"}},
      {R"(s/(?<!\d)(\d\d)(?!\d)/0$1/g)", {"track 07 - 12 - 345", "track 007 - 012 - 345"}},
      {R"(s/第(\d)話/第0$1話/g)", {"アニメ 第1話 と 第10話", "アニメ 第01話 と 第10話"}},
      {R"(s/\s*(?:\([^)]*\)|\[[^\]]*\]|（[^）]*）|【[^】]*】)//g)",
       {"【公式】新曲 (Live) [HD]（完全版）", "新曲"}},
      {R"(s/[()\[\]（）【】]//g)", {"報告書（最終版）[v2]", "報告書最終版v2"}},
      {R"(s/\s*[(（]\d+[)）]$//)", {"見積書 (2)", "見積書"}},
      {R"(s/^(.+?)\s+-\s+(.+)$/$2 - $1/)",
       {"山田花子 - 春の歌 - Live", "春の歌 - Live - 山田花子"}},
      {R"(s/^([^_]+)_(.+)$/$2_$1/)", {"東京_2023_夏", "2023_夏_東京"}},
      {R"(s/^(.+?)[\s_-]*((?:19|20)\d\d)$/$2_$1/)", {"旅行_北海道_2023", "2023_旅行_北海道"}},
      {R"(s/(?<!\d)((?:19|20)\d\d)(\d\d)(\d\d)(?!\d)/$1-$2-$3/)",
       {"IMG_20230815_123456", "IMG_2023-08-15_123456"}},
      {R"(s/(?<!\d)(\d{4})-(\d\d)-(\d\d)(?!\d)/$1$2$3/)", {"議事録 2024-01-09", "議事録 20240109"}},
      {R"(s/(?<!\d)(\d\d)\.(\d\d)\.(\d{4})(?!\d)/$3-$2-$1/)",
       {"scan 31.12.2023", "scan 2023-12-31"}},
      {R"(s/[ 　]+/_/g)", {"my  holiday　写真 1", "my_holiday_写真_1"}},
      {R"(s/[ 　]+//g)", {"会議 資料　第2版", "会議資料第2版"}},
      {R"(s/\./ /g)", {"My.Trip.2023", "My Trip 2023"}},
      {R"(s/([_-])\1+/$1/g)", {"photo__2023--08___a", "photo_2023-08_a"}},
      {R"(s/^(?:IMG|DSC)_?//i)", {"img_0042", "0042"}},
      {R"(s/^[^_]*_//)", {"0001_表紙_カラー", "表紙_カラー"}},
      {R"(s/^\d+[\s._-]*//)", {"01. オープニング", "オープニング"}},
      {R"(s/^/2024_/)", {"家族写真", "2024_家族写真"}},
      {R"(s/$/_old/)", {"設定", "設定_old"}},
      {R"(s/\D+//g)", {"DSC_0123 (写真)", "0123"}},
      {R"(s/^\.jpeg$/.jpg/i)", {".JPEG", ".jpg", ReplaceScope::ExtOnly}},
  };
  return cases;
}

std::vector<std::string> ShippedLines() {
  std::vector<std::string> lines;
  LoadReplaceSamples(std::string(TONBO_DATA_DIR) + "/tools/re_sample.txt", lines);
  return lines;
}

// One line of the shipped file, shown readably when it fails.
struct SampleLine {
  std::string sjis;
};

std::ostream& operator<<(std::ostream& os, const SampleLine& line) {
  return os << enc::FromSjis(line.sjis).toStdString();
}

std::vector<SampleLine> ShippedSampleLines() {
  std::vector<SampleLine> out;
  for (std::string& line : ShippedLines()) out.push_back({std::move(line)});
  return out;
}

TEST(ShippedSamples, EveryLineHasADescriptionACommandAndACase) {
  const std::vector<std::string> lines = ShippedLines();
  ASSERT_GE(lines.size(), 15u);
  std::set<std::string> commands;
  for (const std::string& line : lines) {
    const std::string utf8 = enc::FromSjis(line).toStdString();
    const std::string command = enc::FromSjis(SampleCommand(line)).toStdString();
    EXPECT_GT(utf8.find(','), 0u) << utf8;
    EXPECT_TRUE(commands.insert(command).second) << "twice: " << utf8;
    EXPECT_TRUE(Cases().count(command)) << "no case for: " << utf8;
  }
  EXPECT_EQ(commands.size(), Cases().size()) << "a case without its sample line";
}

class ShippedSample : public ::testing::TestWithParam<SampleLine> {};

TEST_P(ShippedSample, GivesTheExpectedName) {
  const std::string command = SampleCommand(GetParam().sjis);
  const auto found = Cases().find(enc::FromSjis(command).toStdString());
  ASSERT_NE(found, Cases().end());
  const SampleCase& c = found->second;
  TCsvDb table;
  const int cell = c.scope == ReplaceScope::ExtOnly ? colExt : colNewName;
  table.SetCell(cell, 0, Lit(c.name));
  ReplaceOptions options;
  options.scope = c.scope;
  options.regularExpression = true;
  options.command = command;
  ASSERT_NO_THROW(ReplaceInNames(table, {0}, options));
  EXPECT_EQ(enc::FromSjis(table.GetCell(cell, 0)).toStdString(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Lines, ShippedSample, ::testing::ValuesIn(ShippedSampleLines()),
                         [](const auto& info) { return "line" + std::to_string(info.index + 1); });

}  // namespace
}  // namespace tonbo
