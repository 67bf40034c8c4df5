// Songs and videos through TagLib: its common property names cover ID3v2,
// Vorbis comments, MP4 atoms, ASF and RIFF INFO alike. The file's first
// bytes choose TagLib's reader, not its name. TagLib's MP3 reader searches a
// file for frames 1 KiB at a time, from end to end when there are none (a
// minute for 300 MB of anything named .mp3, seconds for a song with a
// broken tail), so a file is an MP3 only when it starts like one, and every
// reader reads through a stream that ends after kMaxReads reads.
#include <taglib/aifffile.h>
#include <taglib/asffile.h>
#include <taglib/flacfile.h>
#include <taglib/id3v2framefactory.h>
#include <taglib/mp4file.h>
#include <taglib/mpegfile.h>
#include <taglib/oggflacfile.h>
#include <taglib/opusfile.h>
#include <taglib/tdebuglistener.h>
#include <taglib/tfilestream.h>
#include <taglib/tpropertymap.h>
#include <taglib/vorbisfile.h>
#include <taglib/wavfile.h>

#include <charconv>
#include <memory>
#include <mutex>
#include <type_traits>

#include "tags/TagParts.h"

namespace tonbo::tags {
namespace {

class Silent : public TagLib::DebugListener {
 public:
  void printMessage(const TagLib::String&) override {}
};

void SetUpOnce() {
  static Silent silent;
  static std::once_flag once;
  std::call_once(once, [] { TagLib::setDebugListener(&silent); });
}

// Far more reads than a tagged song or video takes (a few per tag, frame
// or box), and some 4 MB of a search for frames that are not there.
constexpr int kMaxReads = 4096;

class BoundedStream : public TagLib::FileStream {
 public:
  explicit BoundedStream(const char* path) : FileStream(path, true) {}
  TagLib::ByteVector readBlock(unsigned long length) override {
    return ++reads_ > kMaxReads ? TagLib::ByteVector() : FileStream::readBlock(length);
  }

 private:
  int reads_ = 0;
};

unsigned char At(const std::string& bytes, std::size_t i) {
  return i < bytes.size() ? static_cast<unsigned char>(bytes[i]) : 0;
}

// An MPEG audio frame header at `at`: the sync, and no reserved version,
// layer, bit rate or sample rate.
bool FrameAt(const std::string& b, std::size_t at) {
  return At(b, at) == 0xFF && (At(b, at + 1) & 0xE0) == 0xE0 && (At(b, at + 1) & 0x18) != 0x08 &&
         (At(b, at + 1) & 0x06) != 0 && (At(b, at + 2) & 0xF0) != 0xF0 &&
         (At(b, at + 2) & 0x0C) != 0x0C;
}

// The end of the ID3v2 tag at the start (its size is 28 bits, seven to a byte).
std::size_t Id3v2End(const std::string& b) {
  const std::size_t size = (At(b, 6) & 0x7F) << 21 | (At(b, 7) & 0x7F) << 14 |
                           (At(b, 8) & 0x7F) << 7 | (At(b, 9) & 0x7F);
  return 10 + size + ((At(b, 5) & 0x10) ? 10 : 0);
}

using FilePtr = std::unique_ptr<TagLib::File>;

// A TagLib file on its stream; the file goes first.
struct Opened {
  explicit Opened(const char* path) : stream(path) {}
  BoundedStream stream;
  FilePtr file;
};

template <class F>
FilePtr Make(TagLib::IOStream* stream, bool length) {
  if constexpr (std::is_constructible_v<F, TagLib::IOStream*, bool,
                                        TagLib::AudioProperties::ReadStyle>)
    return std::make_unique<F>(stream, length, TagLib::AudioProperties::Fast);
  else
    return std::make_unique<F>(stream, TagLib::ID3v2::FrameFactory::instance(), length,
                               TagLib::AudioProperties::Fast);
}

// The reader for what the file's first bytes show; null for none of them.
FilePtr OpenByContent(const ByteSource& file, TagLib::IOStream* stream) {
  const std::string head = file.Bytes(0, 64);
  const std::string_view h(head);
  if (head.size() < 12) return nullptr;
  if (IsIsoMedia(file)) return Make<TagLib::MP4::File>(stream, true);
  if (h.substr(0, 4) == "fLaC") return Make<TagLib::FLAC::File>(stream, true);
  if (h.substr(0, 4) == "RIFF" && h.substr(8, 4) == "WAVE")
    return Make<TagLib::RIFF::WAV::File>(stream, true);
  if (h.substr(0, 4) == "FORM" && (h.substr(8, 4) == "AIFF" || h.substr(8, 4) == "AIFC"))
    return Make<TagLib::RIFF::AIFF::File>(stream, true);
  if (h.substr(0, 8) == std::string_view("\x30\x26\xB2\x75\x8E\x66\xCF\x11", 8))
    return Make<TagLib::ASF::File>(stream, true);
  if (h.substr(0, 4) == "OggS") {
    // The first packet, after the page header and its segment table.
    const std::string_view packet = h.substr(std::min<std::size_t>(h.size(), 27 + At(head, 26)));
    if (packet.substr(0, 7) == "\x01vorbis") return Make<TagLib::Ogg::Vorbis::File>(stream, true);
    if (packet.substr(0, 8) == "OpusHead") return Make<TagLib::Ogg::Opus::File>(stream, true);
    if (packet.substr(0, 5) ==
        "\x7F"
        "FLAC")
      return Make<TagLib::Ogg::FLAC::File>(stream, true);
    return nullptr;
  }
  if (h.substr(0, 3) == "ID3") {
    if (file.Bytes(Id3v2End(head), 4) == "fLaC") return Make<TagLib::FLAC::File>(stream, true);
    return Make<TagLib::MPEG::File>(stream, true);
  }
  if (FrameAt(head, 0)) return Make<TagLib::MPEG::File>(stream, true);
  return nullptr;
}

std::string First(const TagLib::PropertyMap& map, const char* key) {
  const auto it = map.find(key);
  if (it == map.end() || it->second.isEmpty()) return {};
  return it->second.front().to8Bit(true);
}

// The leading number of "3/12" or "2021-05-01"; nullopt for none or zero.
std::optional<int> Number(const std::string& text) {
  int value = 0;
  const auto [end, err] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (err != std::errc() || value <= 0) return std::nullopt;
  return value;
}

void Fill(const TagLib::File& file, MediaTags& tags) {
  const TagLib::PropertyMap map = file.properties();
  tags.title = First(map, "TITLE");
  tags.artist = First(map, "ARTIST");
  tags.album = First(map, "ALBUM");
  tags.albumArtist = First(map, "ALBUMARTIST");
  tags.genre = First(map, "GENRE");
  tags.track = Number(First(map, "TRACKNUMBER"));
  tags.disc = Number(First(map, "DISCNUMBER"));
  tags.year = Number(First(map, "DATE"));
  if (const auto* audio = file.audioProperties(); audio && audio->lengthInSeconds() > 0)
    tags.durationSeconds = audio->lengthInSeconds();
}

}  // namespace

bool ReadSoundTags(const std::string& diskPath, const ByteSource& file, MediaTags& tags) {
  SetUpOnce();
  try {
    Opened opened(diskPath.c_str());
    if (!opened.stream.isOpen()) return false;
    opened.file = OpenByContent(file, &opened.stream);
    if (!opened.file || !opened.file->isValid()) return false;
    Fill(*opened.file, tags);
    return true;
  } catch (...) {
    return false;
  }
}

}  // namespace tonbo::tags
