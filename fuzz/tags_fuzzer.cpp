// The readers of what files say about themselves, fed arbitrary bytes: the
// bounded readers of a JPEG's Exif date and a video's movie header straight
// from memory, then the whole reading (Exiv2, TagLib) through a file whose
// name ends as the first byte chooses, since TagLib goes by the name. It
// stops on a crash, a sanitizer report, a hang (-timeout) or a huge
// allocation (-rss_limit_mb), and on a date that is not a date.
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "tags/TagParts.h"
#include "tags/TagReader.h"

namespace {

using tonbo::tags::TakenTime;

void Check(const std::optional<TakenTime>& t) {
  if (!t) return;
  if (t->month < 1 || t->month > 12 || t->day < 1 || t->day > 31 || t->hour > 23 ||
      t->minute > 59 || t->second > 60 || t->subSecondMillis > 999)
    __builtin_trap();
}

// One scratch file per process, rewritten for every input.
std::string Scratch(std::string_view ext) {
  static const char* const kExts[] = {".jpg", ".png",  ".tif", ".webp", ".mp3", ".flac",
                                      ".ogg", ".opus", ".m4a", ".mp4",  ".wma", ".wav"};
  static std::string base = [] {
    std::string path = (getenv("TMPDIR") ? getenv("TMPDIR") : "/tmp") + std::string("/tagsXXXXXX");
    const int fd = mkstemp(path.data());
    if (fd >= 0) close(fd);
    return path;
  }();
  const unsigned char pick = ext.empty() ? 0 : static_cast<unsigned char>(ext[0]);
  return base + kExts[pick % std::size(kExts)];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace tonbo::tags;
  const std::string_view all(reinterpret_cast<const char*>(data), size);
  const std::string_view bytes = all.substr(all.empty() ? 0 : 1);
  const MemorySource memory(bytes);
  bool hasExif = false;
  Check(JpegTakenTime(memory, hasExif));
  Check(ReadMovieHeader(memory).taken);
  Check(ExifBlockTakenTime(bytes));
  Check(ParseDateText(bytes.substr(0, 40)));

  const std::string path = Scratch(all.substr(0, 1));
  FILE* out = fopen(path.c_str(), "wb");
  if (!out) return 0;
  fwrite(bytes.data(), 1, bytes.size(), out);
  fclose(out);
  const MediaTags tags = ReadMediaTags(path);
  Check(tags.taken);
  if (tags.orientation < 1 || tags.orientation > 8) __builtin_trap();
  Check(ReadTakenTime(path));
  unlink(path.c_str());
  return 0;
}
