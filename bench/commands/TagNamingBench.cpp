// Naming 100,000 selected entries from tags already read (the target: under
// a second), and the reading loop itself with a reader that costs nothing.
#include <benchmark/benchmark.h>

#include "commands/TagNaming.h"
#include "common/Sjis.h"

namespace tonbo {
namespace {

constexpr int kRows = 100000;

struct Fixture {
  TCsvDb table;
  std::vector<int> rows;
  std::vector<tags::MediaTags> photos, songs;
  TakenTimes taken;
  Fixture() {
    for (int i = 0; i < kRows; ++i) {
      table.SetCell(colNewName, i, "IMG_" + std::to_string(i));
      table.SetCell(colExt, i, ".JPG");
      table.SetCell(colModified, i, "2024/05/06 07:08:10");
      table.SetCell(colPath, i, "/photos/IMG_" + std::to_string(i) + ".JPG");
      rows.push_back(i);
      tags::MediaTags photo;
      // Ten pictures a second, so names repeat and take "_n".
      tags::TakenTime t;
      t.year = 2024, t.month = 5, t.day = 1;
      t.hour = 10 + i / 36000, t.minute = i / 600 % 60, t.second = i / 10 % 60;
      photo.taken = t;
      photo.make = "Canon";
      photo.model = "EOS R6";
      photos.push_back(photo);
      taken.push_back(photo.taken);
      tags::MediaTags song;
      song.artist = "バンド" + std::to_string(i / 1000);
      song.title = "曲 " + std::to_string(i);
      song.track = i % 20 + 1;
      song.durationSeconds = 180 + i % 120;
      songs.push_back(song);
    }
  }
};

const Fixture& Base() {
  static const Fixture fixture;
  return fixture;
}

void NameAll(benchmark::State& state, const char* utf8Pattern,
             const std::vector<tags::MediaTags>& tags) {
  const TagPattern pattern(enc::Lit(utf8Pattern));
  for (auto _ : state) {
    state.PauseTiming();
    TCsvDb table = Base().table;
    state.ResumeTiming();
    benchmark::DoNotOptimize(NameFromTags(table, Base().rows, pattern, tags, ""));
  }
}

void BM_TagNamePhotos(benchmark::State& s) {
  NameAll(s, "[撮影日時:yyyymmdd_hhnnss]_[機種]", Base().photos);
}
BENCHMARK(BM_TagNamePhotos)->Unit(benchmark::kMillisecond);

void BM_TagNameSongs(benchmark::State& s) {
  NameAll(s, "[アーティスト] - [曲番号:2] [タイトル] ([長さ])", Base().songs);
}
BENCHMARK(BM_TagNameSongs)->Unit(benchmark::kMillisecond);

void BM_DateNamesFromTaken(benchmark::State& state) {
  RenameRules rules;
  rules.dateSource = static_cast<int>(DateSource::Taken);
  for (auto _ : state) {
    state.PauseTiming();
    TCsvDb table = Base().table;
    state.ResumeTiming();
    benchmark::DoNotOptimize(NameByDate(table, Base().rows, rules, Base().taken));
  }
}
BENCHMARK(BM_DateNamesFromTaken)->Unit(benchmark::kMillisecond);

// The threads, paths and progress of the reading, without the files.
void BM_ReadLoop(benchmark::State& state) {
  const TagSource source{[](const std::string&) { return tags::MediaTags{}; }, {}};
  for (auto _ : state)
    benchmark::DoNotOptimize(ReadRowTags(Base().table, Base().rows, source, nullptr));
}
BENCHMARK(BM_ReadLoop)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tonbo
