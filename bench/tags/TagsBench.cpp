// Reading what files say about themselves at the scale of a photo folder:
//  - the date taken of N JPEGs with Exif (ReadTakenTime, one thread and all
//    cores) next to `exiftool -DateTimeOriginal -r` and next to reading the
//    same files' modification times (stat), each walking the folder itself;
//  - the tags of N songs, half MP3 with ID3v2 and half FLAC (ReadMediaTags)
//    next to exiftool asked for the same fields.
// The contenders' order turns every round; the files are read once before
// the rounds, so all find them in the page cache. Prints the median wall
// time, its spread (fastest, slowest), the median CPU time and the ratios.
//   tonbo_bench_tags [files] [rounds]   (defaults 10000 and 5)
#include <dirent.h>
#include <sys/stat.h>
#include <time.h>

#include <atomic>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "../../tests/tags/TagFiles.h"
#include "../BenchArgs.h"
#include "../cli/ProcessBench.h"
#include "tags/TagReader.h"

namespace {

using namespace tonbo;
using bench::Measure;

double CpuNow() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

// Times fn in this process; `found` counts what it read.
Measure InProcess(const std::function<long()>& fn, long& found) {
  const double cpu = CpuNow();
  const auto start = bench::Clock::now();
  found = fn();
  Measure m;
  m.seconds = std::chrono::duration<double>(bench::Clock::now() - start).count();
  m.cpu = CpuNow() - cpu;
  m.ok = true;
  return m;
}

std::vector<std::string> Listing(const std::string& dir) {
  std::vector<std::string> paths;
  DIR* d = opendir(dir.c_str());
  while (dirent* e = readdir(d))
    if (e->d_name[0] != '.') paths.push_back(dir + e->d_name);
  closedir(d);
  return paths;
}

// Copies of one file with the given text changed in each, so no two agree.
void Copies(const std::string& dir, const std::string& model, const std::string& varied,
            const char* ext, int count) {
  const std::string bytes = test::ReadFile(model);
  const std::size_t at = varied.empty() ? std::string::npos : bytes.find(varied);
  for (int i = 0; i < count; ++i) {
    std::string copy = bytes;
    if (at != std::string::npos) {
      char digits[8];
      std::snprintf(digits, sizeof digits, "%02d", i % 60);
      copy.replace(at + varied.size() - 2, 2, digits);
    }
    test::WriteFile(dir + "f" + std::to_string(i) + ext, copy);
  }
}

struct Contender {
  Contender(const char* l, std::function<Measure(long&)> r) : label(l), run(std::move(r)) {}
  const char* label;
  std::function<Measure(long&)> run;
  std::vector<double> wall, cpu;
  long found = -1;
};

long ReadAll(const std::string& dir, bool taken, unsigned threads) {
  const std::vector<std::string> paths = Listing(dir);
  std::atomic<long> found{0};
  std::atomic<std::size_t> next{0};
  auto work = [&] {
    for (std::size_t i; (i = next++) < paths.size();)
      found += taken ? tags::ReadTakenTime(paths[i]).has_value()
                     : !tags::ReadMediaTags(paths[i]).title.empty();
  };
  std::vector<std::thread> pool;
  for (unsigned t = 1; t < threads; ++t) pool.emplace_back(work);
  work();
  for (auto& t : pool) t.join();
  return found;
}

long StatAll(const std::string& dir) {
  long found = 0;
  for (const std::string& p : Listing(dir)) {
    struct stat st {};
    found += stat(p.c_str(), &st) == 0 && st.st_mtime > 0;
  }
  return found;
}

long Lines(const std::string& out, const char* prefix) {
  long n = 0;
  for (std::size_t at = 0; (at = out.find(prefix, at)) != std::string::npos; ++at) ++n;
  return n;
}

Contender Exiftool(const std::string& dir, std::vector<std::string> fields, const char* counted) {
  return {"exiftool", [=](long& found) {
            std::vector<std::string> args = {"exiftool"};
            args.insert(args.end(), fields.begin(), fields.end());
            args.insert(args.end(), {"-r", dir});
            std::string out;
            const Measure m = bench::RunProcess(dir, args, &out);
            found = Lines(out, counted);
            return m;
          }};
}

void Report(const char* title, std::vector<Contender>& all, int rounds) {
  for (int r = 0; r < rounds; ++r)
    for (const std::size_t i : bench::RoundOrder(all.size(), r)) {
      const Measure m = all[i].run(all[i].found);
      all[i].wall.push_back(m.seconds);
      all[i].cpu.push_back(m.cpu);
    }
  std::printf("\n%s (%d rounds)\n%-26s %9s %17s %9s %8s\n", title, rounds, "", "wall s", "spread",
              "cpu s", "found");
  for (const Contender& c : all) {
    const auto [lo, hi] = std::minmax_element(c.wall.begin(), c.wall.end());
    std::printf("%-26s %9.3f %8.3f-%-8.3f %9.3f %8ld\n", c.label, bench::Median(c.wall), *lo, *hi,
                bench::Median(c.cpu), c.found);
  }
  for (std::size_t i = 0; i < all.size(); ++i)
    for (std::size_t j = i + 1; j < all.size(); ++j)
      std::printf("%s / %s: %.3gx wall, %.3gx cpu\n", all[i].label, all[j].label,
                  bench::Median(all[i].wall) / std::max(1e-9, bench::Median(all[j].wall)),
                  bench::Median(all[i].cpu) / std::max(1e-9, bench::Median(all[j].cpu)));
}

}  // namespace

int main(int argc, char** argv) {
  test::PrepareEnvironment();
  const auto [files, rounds] = bench::ReadFilesAndRounds(argc, argv, {10000, 5});
  const bool exiftool = bench::OnPath("exiftool");
  if (!exiftool) std::printf("exiftool is not installed: it is left out\n");
  const unsigned cores = std::max(1u, std::thread::hardware_concurrency());

  const std::string models = test::MakeTempDir("models");
  tags::make::MakePicture(
      models + "m.jpg", Exiv2::ImageType::jpeg,
      {{"Exif.Image.Make", "Canon"}, {"Exif.Photo.DateTimeOriginal", "2024:05:06 07:08:09"}});
  tags::make::MakeMp3(models + "m.mp3", 8);
  tags::make::MakeFlac(models + "m.flac");
  const std::string photos = test::MakeTempDir("photos");
  Copies(photos, models + "m.jpg", "2024:05:06 07:08:09", ".jpg", files);
  const std::string songs = test::MakeTempDir("songs");
  Copies(songs, models + "m.mp3", "", ".mp3", files / 2);
  Copies(songs, models + "m.flac", "", ".flac", files - files / 2);
  long warm = 0;
  InProcess([&] { return ReadAll(photos, true, 1) + ReadAll(songs, false, 1); }, warm);

  std::vector<Contender> dates = {
      {"ReadTakenTime",
       [&](long& n) { return InProcess([&] { return ReadAll(photos, true, 1); }, n); }},
      {"ReadTakenTime, all cores",
       [&](long& n) { return InProcess([&] { return ReadAll(photos, true, cores); }, n); }},
      {"stat (modification time)",
       [&](long& n) { return InProcess([&] { return StatAll(photos); }, n); }},
  };
  if (exiftool) dates.push_back(Exiftool(photos, {"-DateTimeOriginal"}, "Date/Time Original"));
  Report(("Date taken of " + std::to_string(files) + " JPEGs").c_str(), dates, rounds);

  std::vector<Contender> songTags = {
      {"ReadMediaTags",
       [&](long& n) { return InProcess([&] { return ReadAll(songs, false, 1); }, n); }},
  };
  if (exiftool)
    songTags.push_back(Exiftool(
        songs, {"-Title", "-Artist", "-Album", "-Track", "-Year", "-Genre", "-Duration"}, "Title"));
  Report(("Tags of " + std::to_string(files) + " MP3 and FLAC files").c_str(), songTags, rounds);
  return 0;
}
