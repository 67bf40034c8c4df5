#include "commands/TagNaming.h"

#include <gtest/gtest.h>

#include <atomic>

#include "common/Sjis.h"

namespace tonbo {
namespace {

tags::TakenTime Taken(int y, int mo, int d, int h, int mi, int s) {
  tags::TakenTime t;
  t.year = y, t.month = mo, t.day = d, t.hour = h, t.minute = mi, t.second = s;
  return t;
}

tags::MediaTags Full() {
  tags::MediaTags t;
  t.taken = Taken(2024, 5, 1, 10, 20, 30);
  t.make = "Canon", t.model = "EOS R6", t.lens = "RF24-105";
  t.width = 6000, t.height = 4000;
  t.title = "夜/明け\x01\xC2\x85", t.artist = "バンド", t.album = "盤", t.albumArtist = "VA";
  t.track = 7, t.disc = 2, t.year = 2023, t.genre = "Rock", t.durationSeconds = 187;
  return t;
}

struct PatternCase {
  const char* pattern;
  const char* full;     // with every tag; "!" + words of the message for an error
  const char* missing;  // without tags or a date, missing fields as "?"
};

// Every field, formats, widths, brackets, the missing-field rule, names that
// cannot stand, and the faults a pattern can have.
TEST(TagPattern, EveryFormOfThePattern) {
  const PatternCase cases[] = {
      {"[撮影日時]", "20240501", "?"},
      {"[撮影日時:yyyymmdd_hhnnss]", "20240501_102030", "?"},
      {"[更新日時:yy年mm月dd日]", "05年12月31日", "?"},
      {"[メーカー] [機種] [レンズ]", "Canon EOS R6 RF24-105", "? ? ?"},
      {"[幅]x[高さ:5]", "6000x04000", "?x?"},
      {"[アーティスト]-[アルバム]-[アルバムアーティスト]", "バンド-盤-VA", "?-?-?"},
      {"[曲番号:2] [ディスク番号] [年:1]", "07 2 2023", "? ? ?"},
      {"[ジャンル]_[長さ]", "Rock_3-07", "?_?"},
      {"[タイトル]", "夜_明け__", "?"},
      {"[元の名前]-[[[年]]]", "IMG-[2023]", "IMG-[?]"},
      {"ー[年]ー", "ー2023ー", "ー?ー"},  // "ー" ends in the byte of "["
      {"a/b\tc", "a_b_c", "a_b_c"},
      {"[機種", "!「[機種」の「[」が閉じていません", ""},
      {"年]", "!「]」に対応する「[」がありません", ""},
      {"[カメラ]", "!「[カメラ]」という項目はありません", ""},
      {"[曲番号:0]", "!「[曲番号:0]」の桁数", ""},
      {"[年:31]", "!の桁数", ""},
      {"[幅:x]", "!の桁数", ""},
      {"[タイトル:3]", "!「[タイトル:3]」には「:」の後の指定は使えません", ""},
  };
  LocalDateTime modified;
  ASSERT_TRUE(ParseDateText("2005/12/31 13:05:09", modified));
  const tags::MediaTags full = Full(), none;
  const std::string old = "IMG";
  for (const PatternCase& c : cases) {
    SCOPED_TRACE(c.pattern);
    const std::string expected = c.full;
    if (expected[0] == '!') {
      try {
        TagPattern{enc::Lit(c.pattern)};
        ADD_FAILURE() << "no error";
      } catch (const ETagPatternError& e) {
        EXPECT_NE(std::string(e.what()).find(expected.substr(1)), std::string::npos) << e.what();
      }
      continue;
    }
    const TagPattern p(enc::Lit(c.pattern));
    EXPECT_EQ(p.Name({full, &modified, old}, "?"), enc::Lit(c.full));
    EXPECT_EQ(p.Name({none, nullptr, old}, "?"), enc::Lit(c.missing));
    std::string empty = enc::Lit(c.missing);
    std::erase(empty, '?');
    EXPECT_EQ(p.Name({none, nullptr, old}, ""), empty);
  }
}

TCsvDb Table(int rows) {
  TCsvDb t;
  for (int r = 0; r < rows; ++r) {
    t.SetCell(colNewName, r, "n" + std::to_string(r));
    t.SetCell(colExt, r, ".jpg");
    t.SetCell(colModified, r, "2005/12/31 13:05:09");
    t.SetCell(colPath, r, "/d/n" + std::to_string(r) + ".jpg");
  }
  return t;
}

// Names another row holds take "_n"; the row's own name does not count, the
// extension stays, and a name that comes out empty is not written.
TEST(TagNaming, NamesAreUniqueAndRunsRepeat) {
  TCsvDb t = Table(4);
  t.SetCell(colNewName, 0, "x");
  std::vector<tags::MediaTags> tags(3);
  tags[0].title = tags[1].title = "x";
  const TagPattern p(enc::Lit("[タイトル]"));
  for (int run = 0; run < 2; ++run) {
    EXPECT_EQ(NameFromTags(t, {1, 2, 3}, p, tags, ""), 2);
    EXPECT_EQ(t.GetCell(colNewName, 0), "x");
    EXPECT_EQ(t.GetCell(colNewName, 1), "x_1");
    EXPECT_EQ(t.GetCell(colNewName, 2), "x_2");
    EXPECT_EQ(t.GetCell(colNewName, 3), "n3");
    EXPECT_EQ(t.GetCell(colExt, 2), ".jpg");
  }
  EXPECT_EQ(TagNamedText(2), "2個のファイルにタグから名前を付けました。");
}

// The date source "taken" uses a row's date taken where it has one.
TEST(TagNaming, DateNamingTakesTheDateTakenWhenAsked) {
  const TakenTimes taken = {Taken(2024, 5, 1, 10, 20, 30), std::nullopt};
  RenameRules rules;
  for (int source : {0, 1}) {
    TCsvDb t = Table(2);
    rules.dateSource = source;
    EXPECT_EQ(NameByDate(t, {0, 1}, rules, taken).named, 2);
    EXPECT_EQ(t.GetCell(colNewName, 0), source ? "24-05-01__001" : "05-12-31__001");
    EXPECT_EQ(t.GetCell(colNewName, 1), source ? "05-12-31__001" : "05-12-31__002");
  }
}

class StopAfter : public ProgressSink {
 public:
  explicit StopAfter(int steps) : left_(steps) {}
  bool Step(std::int64_t, std::int64_t, const std::string&) override { return left_-- > 0; }
  void Finish() override { finished = true; }
  bool finished = false;

 private:
  int left_;
};

// Each file is read once, the results keep the rows' order, and a stop
// gives nothing.
TEST(TagNaming, ReadsEachRowOnceInOrderAndStops) {
  const TCsvDb t = Table(500);
  std::vector<int> rows;
  for (int r = 499; r >= 0; r -= 2) rows.push_back(r);
  std::atomic<int> reads = 0;
  const TagSource source{[&](const std::string& path) {
                           ++reads;
                           tags::MediaTags m;
                           m.title = path;
                           return m;
                         },
                         {}};
  StopAfter all(1000), some(10);
  const auto read = ReadRowTags(t, rows, source, &all);
  ASSERT_TRUE(read);
  EXPECT_EQ(reads, 250);
  for (size_t i = 0; i < rows.size(); ++i)
    EXPECT_EQ((*read)[i].title, "/d/n" + std::to_string(rows[i]) + ".jpg");
  EXPECT_FALSE(ReadRowTags(t, rows, source, &some));
  EXPECT_TRUE(all.finished && some.finished);
}

}  // namespace
}  // namespace tonbo
