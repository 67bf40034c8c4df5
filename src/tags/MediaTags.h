#pragma once
// What a picture, song or video says about itself: the date it was taken and
// its camera, or its title, artist and track. Every field is optional: a file
// without it, or one too broken to read, leaves it empty. Texts are UTF-8 as
// the file gives them; the naming converts them at the table's boundary.
#include <cstdint>
#include <optional>
#include <string>

namespace tonbo::tags {

// A local date and time as the file states it (no time zone applied).
struct TakenTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  int subSecondMillis = -1;          // -1 when the file gives none
  std::optional<int> offsetMinutes;  // the offset from UTC the file gives
};

struct MediaTags {
  std::optional<TakenTime>
      taken;  // Exif DateTimeOriginal, else CreateDate, else XMP, else QuickTime
  std::string make, model, lens;
  std::optional<int> width, height;
  int orientation = 1;  // Exif 1-8; 1 when none
  std::string title, artist, album, albumArtist, genre;
  std::optional<int> track, disc, year;
  std::optional<int> durationSeconds;
};

}  // namespace tonbo::tags
