// Every field read from files the test makes, one row per file; then the
// same files broken in the ways real files are, which must read as nothing
// or as what survived, and never crash, hang or stop with an exception.
#include "tags/TagReader.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <sstream>

#include "TagFiles.h"
#include "TestEnv.h"

namespace tonbo::tags {
namespace {

std::string Describe(const MediaTags& t) {
  std::ostringstream out;
  auto opt = [&](const std::optional<int>& v) { out << (v ? std::to_string(*v) : "-") << ' '; };
  if (t.taken)
    out << t.taken->year << '-' << t.taken->month << '-' << t.taken->day << ' ' << t.taken->hour
        << ':' << t.taken->minute << ':' << t.taken->second << '.' << t.taken->subSecondMillis
        << (t.taken->offsetMinutes ? "@" + std::to_string(*t.taken->offsetMinutes) : "") << ' ';
  out << '[' << t.make << '|' << t.model << '|' << t.lens << "] ";
  opt(t.width), opt(t.height);
  out << 'o' << t.orientation << " [" << t.title << '|' << t.artist << '|' << t.album << '|'
      << t.albumArtist << '|' << t.genre << "] ";
  opt(t.track), opt(t.disc), opt(t.year), opt(t.durationSeconds);
  return out.str();
}

std::string DescribeTaken(const std::optional<TakenTime>& taken) {
  MediaTags t;
  t.taken = taken;
  return Describe(t);
}

class TagReaderTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    setenv("TZ", "JST-9", 1);  // the video's UTC time is shown in this zone
    tzset();
  }
  std::string dir_ = test::MakeTempDir("tags");
};

TEST_F(TagReaderTest, EveryFieldFromEachKindOfFile) {
  using namespace tags::make;
  MakePicture(dir_ + "a.jpg", Exiv2::ImageType::jpeg,
              {{"Exif.Image.Make", "Canon"},
               {"Exif.Image.Model", "EOS R6 "},
               {"Exif.Image.Orientation", "6"},
               {"Exif.Photo.LensModel", "RF24-105mm"},
               {"Exif.Photo.DateTimeOriginal", "2024:05:06 07:08:09"},
               {"Exif.Photo.SubSecTimeOriginal", "25"},
               {"Exif.Photo.OffsetTimeOriginal", "+09:00"},
               {"Exif.Photo.DateTimeDigitized", "2000:01:01 00:00:00"}});
  MakePicture(dir_ + "digitized.jpg", Exiv2::ImageType::jpeg,
              {{"Exif.Photo.DateTimeOriginal", "0000:00:00 00:00:00"},
               {"Exif.Photo.DateTimeDigitized", "2019:12:31 23:59:59"}});
  MakePicture(dir_ + "xmp.png", Exiv2::ImageType::png,
              {{"Xmp.xmp.CreateDate", "2023-01-02T03:04:05.5-05:30"}});
  MakeMp3(dir_ + "song.mp3");
  MakeFlac(dir_ + "song.flac");
  // 2020-02-29 15:00:00 UTC in seconds since 1904.
  Write(dir_ + "clip.mp4", Mp4Bytes(1582988400ULL + 2082844800ULL));
  const struct {
    const char* name;
    const char* tags;
  } rows[] = {
      {"a.jpg", "2024-5-6 7:8:9.250@540 [Canon|EOS R6|RF24-105mm] 1 1 o6 [||||] - - - - "},
      {"digitized.jpg", "2019-12-31 23:59:59.-1 [||] 1 1 o1 [||||] - - - - "},
      {"xmp.png", "2023-1-2 3:4:5.500@-330 [||] 1 1 o1 [||||] - - - - "},
      {"song.mp3", "[||] - - o1 [夜明け|Artist|Album|Band|Jazz] 3 2 2021 3 "},
      {"song.flac", "[||] - - o1 [Song||||] 7 - - 2 "},
      {"clip.mp4", "2020-3-1 0:0:0.-1@540 [||] - - o1 [||||] - - - 5 "},
  };
  for (const auto& row : rows) {
    const MediaTags tags = ReadMediaTags(dir_ + row.name);
    EXPECT_EQ(Describe(tags), row.tags) << row.name;
    // The cheap path agrees with the whole reading.
    const auto taken = ReadTakenTime(dir_ + row.name);
    EXPECT_EQ(DescribeTaken(taken), DescribeTaken(tags.taken)) << row.name;
  }
}

TEST_F(TagReaderTest, BrokenAndLyingFilesReadAsNothingOrWhatSurvived) {
  using namespace tags::make;
  MakePicture(dir_ + "a.jpg", Exiv2::ImageType::jpeg,
              {{"Exif.Photo.DateTimeOriginal", "2024:05:06 07:08:09"}});
  MakeMp3(dir_ + "song.mp3");
  MakeFlac(dir_ + "song.flac");
  Write(dir_ + "clip.mp4", Mp4Bytes(3600));
  std::vector<std::string> hostile = {
      "",                                              // zero-length
      std::string("ID3\x04\0\0\x7F\x7F\x7F\x7F", 10),  // a tag of 256 MB, then nothing
      std::string("\xFF\xD8\xFF\xE1\xFF\xFF"
                  "Exif\0\0",
                  12),  // APP1 past the end
      BigEndian(8, 4) + "ftyp" + BigEndian(1, 4) + "moov" + BigEndian(1ULL << 32, 8),
  };
  for (const char* name : {"a.jpg", "song.mp3", "song.flac", "clip.mp4"}) {
    const std::string whole = test::ReadFile(dir_ + name);
    for (std::size_t cut : {std::size_t{1}, std::size_t{20}, whole.size() / 2, whole.size() - 1})
      hostile.push_back(whole.substr(0, cut));
  }
  // The Exif IFD pointer sent past the block.
  const std::string jpeg = test::ReadFile(dir_ + "a.jpg");
  const std::size_t ifd = std::min(jpeg.find("\x69\x87"), jpeg.find("\x87\x69")) + 8;
  ASSERT_LT(ifd, jpeg.size());
  hostile.push_back(jpeg.substr(0, ifd) + "\xFF\xFF\xFF\xF0" + jpeg.substr(ifd + 4));
  for (std::size_t i = 0; i < hostile.size(); ++i) {
    const std::string path = dir_ + "hostile" + std::to_string(i) + (i % 2 ? ".mp3" : ".jpg");
    Write(path, hostile[i]);
    EXPECT_NO_THROW(ReadMediaTags(path));
    EXPECT_NO_THROW(ReadTakenTime(path));
  }
  EXPECT_EQ(Describe(ReadMediaTags(dir_ + "hostile0.jpg")), Describe(MediaTags()));
  // Not a file: a folder, a missing path, a FIFO nobody writes to.
  test::FifoTrap fifo(dir_ + "fifo.jpg");
  for (const std::string& path : {dir_, dir_ + "missing.jpg", dir_ + "fifo.jpg"}) {
    EXPECT_EQ(Describe(ReadMediaTags(path)), Describe(MediaTags())) << path;
    EXPECT_FALSE(ReadTakenTime(path)) << path;
  }
  EXPECT_FALSE(fifo.Caught());
}

}  // namespace
}  // namespace tonbo::tags
