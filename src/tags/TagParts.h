#pragma once
// The readers behind TagReader.h: the date texts, the bounded readers of a
// JPEG's Exif date and a video's creation time, and the library readers of
// pictures (Exiv2) and songs (TagLib). Each fills what it finds.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "tags/MediaTags.h"

namespace tonbo::tags {

// Bytes read at an offset: an open file or, for the fuzz targets, memory.
// ReadAt gives fewer bytes than asked at the end, and none past it.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  virtual std::uint64_t Size() const = 0;
  virtual std::size_t ReadAt(std::uint64_t offset, char* out, std::size_t count) const = 0;
  // Exactly count bytes at offset, or an empty string.
  std::string Bytes(std::uint64_t offset, std::size_t count) const;
};

class MemorySource : public ByteSource {
 public:
  explicit MemorySource(std::string_view bytes) : bytes_(bytes) {}
  std::uint64_t Size() const override { return bytes_.size(); }
  std::size_t ReadAt(std::uint64_t offset, char* out, std::size_t count) const override;

 private:
  std::string_view bytes_;
};

// "2024:05:06 07:08:09" (Exif) or "2024-05-06T07:08:09.5+09:00" (XMP, the
// seconds and the rest optional), with Exif's own sub-second digits and
// "+09:00" offset texts; nullopt for an empty, zero or impossible date.
std::optional<TakenTime> ParseDateText(std::string_view text, std::string_view subSecond = {},
                                       std::string_view offset = {});

// The date taken in an Exif block (the TIFF structure after "Exif\0\0"):
// DateTimeOriginal, else DateTimeDigitized, with their sub-seconds and offsets.
std::optional<TakenTime> ExifBlockTakenTime(std::string_view tiff);

// What the JPEG's Exif block gives; `hasExif` false when it has none, so a
// caller may look for XMP elsewhere.
std::optional<TakenTime> JpegTakenTime(const ByteSource& file, bool& hasExif);

// True when the file starts like an ISO media file (an ftyp box), and its
// brand, which tells a HEIF/AVIF picture from a video.
bool IsIsoMedia(const ByteSource& file, std::string* brand = nullptr);
// What an ISO media file's (MP4, MOV, M4A) movie header says: its creation
// time, seconds since 1904 in UTC, given in local time with the local
// offset; and its length, which TagLib knows only for a sound track.
struct MovieHeader {
  std::optional<TakenTime> taken;
  std::optional<int> durationSeconds;
};
MovieHeader ReadMovieHeader(const ByteSource& file);

// Exiv2: false when it is not a picture Exiv2 knows.
bool ReadPictureTags(const std::string& diskPath, MediaTags& tags);
// TagLib, the reader chosen by the file's first bytes: false when it is
// none TagLib reads.
bool ReadSoundTags(const std::string& diskPath, const ByteSource& file, MediaTags& tags);

}  // namespace tonbo::tags
