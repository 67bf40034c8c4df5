// Songs and videos through TagLib: its common property names cover ID3v2,
// Vorbis comments, MP4 atoms, ASF and RIFF INFO alike.
#include <taglib/fileref.h>
#include <taglib/mp4file.h>
#include <taglib/tdebuglistener.h>
#include <taglib/tpropertymap.h>

#include <charconv>
#include <memory>
#include <mutex>

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

bool ReadSoundTags(const std::string& diskPath, MediaTags& tags, bool isoMedia) {
  SetUpOnce();
  try {
    if (isoMedia) {
      const TagLib::MP4::File file(diskPath.c_str(), true, TagLib::AudioProperties::Fast);
      if (!file.isValid()) return false;
      Fill(file, tags);
      return true;
    }
    const TagLib::FileRef ref(diskPath.c_str(), true, TagLib::AudioProperties::Fast);
    if (ref.isNull() || !ref.file()->isValid()) return false;
    Fill(*ref.file(), tags);
    return true;
  } catch (...) {
    return false;
  }
}

}  // namespace tonbo::tags
