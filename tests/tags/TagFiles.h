#pragma once
// Small files with known tags, made by the tests and the benchmark: pictures through Exiv2, songs
// through TagLib over a minimal stream, a video's movie header by hand.
#include <taglib/flacfile.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/tpropertymap.h>
#include <taglib/xiphcomment.h>
#include <exiv2/exiv2.hpp>

#include <cstdint>
#include <fstream>
#include <string>

namespace tonbo::tags::make {

inline void Write(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string BigEndian(std::uint64_t v, int width) {
  std::string out(width, '\0');
  for (int i = width - 1; i >= 0; --i, v >>= 8) out[i] = static_cast<char>(v & 0xFF);
  return out;
}

// A blank picture of Exiv2's with the given Exif and XMP values.
inline void MakePicture(const std::string& path, int type,
                        std::initializer_list<std::pair<const char*, const char*>> values) {
  auto image = Exiv2::ImageFactory::create(type, path);
  for (const auto& [key, value] : values) {
    if (std::string(key).rfind("Xmp.", 0) == 0)
      image->xmpData()[key] = value;
    else
      image->exifData()[key] = value;
  }
  image->writeMetadata();
}

// Silent MPEG-1 layer III frames (128 kbit/s, 44.1 kHz): by default three
// and a half seconds.
inline void MakeMp3(const std::string& path, int frames = 130) {
  std::string frame("\xFF\xFB\x90\x00", 4);
  frame.resize(417, '\0');
  std::string bytes;
  for (int i = 0; i < frames; ++i) bytes += frame;
  Write(path, bytes);
  TagLib::MPEG::File file(path.c_str());
  TagLib::PropertyMap map;
  map["TITLE"].append(TagLib::String("夜明け", TagLib::String::UTF8));
  map["ARTIST"].append("Artist");
  map["ALBUM"].append("Album");
  map["ALBUMARTIST"].append("Band");
  map["TRACKNUMBER"].append("3/12");
  map["DISCNUMBER"].append("2/2");
  map["DATE"].append("2021-05-01");
  map["GENRE"].append("Jazz");
  file.setProperties(map);
  file.save(TagLib::MPEG::File::ID3v2);
}

// A FLAC stream header of two seconds at 44.1 kHz (no frames), with Vorbis comments.
inline void MakeFlac(const std::string& path) {
  std::string info = BigEndian(4096, 2) + BigEndian(4096, 2) + BigEndian(0, 6);
  // 20 bits rate, 3 bits channels-1, 5 bits bits-1, 36 bits samples.
  info += BigEndian((44100ULL << 44) | (1ULL << 41) | (15ULL << 36) | 88200ULL, 8);
  info += std::string(16, '\0');
  Write(path, "fLaC" + std::string("\x80", 1) + BigEndian(info.size(), 3) + info);
  TagLib::FLAC::File file(path.c_str());
  file.xiphComment(true)->addField("TITLE", "Song");
  file.xiphComment(true)->addField("TRACKNUMBER", "7");
  file.save();
}

// An MP4 of an ftyp and a moov holding only its mvhd (version 1, 64-bit times).
inline std::string Mp4Bytes(std::uint64_t since1904) {
  const std::string ftyp = BigEndian(16, 4) + "ftypisom" + BigEndian(0, 4);
  std::string mvhd = std::string("\x01\0\0\0", 4) + BigEndian(since1904, 8) +
                     BigEndian(since1904, 8) + BigEndian(1000, 4) + BigEndian(5000, 8);
  mvhd.resize(108, '\0');
  mvhd = BigEndian(mvhd.size() + 8, 4) + "mvhd" + mvhd;
  return ftyp + BigEndian(mvhd.size() + 8, 4) + "moov" + mvhd;
}

}  // namespace tonbo::tags::make
