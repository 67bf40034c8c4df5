// Pictures through Exiv2: the date taken, the camera and the picture's size
// and orientation. Exiv2 throws on broken files and logs to stderr; both are
// kept inside this file. Videos are never handed to it (its readers of
// those walk boxes without bounds); they go to MovieTime.cpp and TagLib.
#include <exiv2/bmffimage.hpp>
#include <exiv2/exiv2.hpp>
#include <exiv2/webpimage.hpp>

#include <algorithm>
#include <mutex>

#include "tags/TagParts.h"

namespace tonbo::tags {
namespace {

void SetUpOnce() {
  static std::once_flag once;
  std::call_once(once, [] {
    Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
    Exiv2::LogMsg::setHandler(nullptr);
    Exiv2::XmpParser::initialize();  // before readers run on several threads
#ifdef EXV_ENABLE_BMFF
    Exiv2::enableBMFF(true);
#endif
  });
}

// The picture types read; anything else Exiv2 knows (videos, PostScript) is not.
bool IsPictureType(int type) {
  namespace T = Exiv2::ImageType;
  static const int kTypes[] = {T::jpeg, T::exv, T::cr2, T::crw, T::tiff, T::mrw, T::orf,
                               T::rw2,  T::raf, T::png, T::pgf, T::webp, T::jp2,
#ifdef EXV_ENABLE_BMFF
                               T::bmff,
#endif
                               T::psd};
  return std::find(std::begin(kTypes), std::end(kTypes), type) != std::end(kTypes);
}

std::string Trimmed(std::string text) {
  while (!text.empty() && (text.back() == '\0' || text.back() == ' ')) text.pop_back();
  return text;
}

// The Exif value of a tag of the given group ("Image", "Photo"), or empty.
std::string ExifText(const Exiv2::ExifData& exif, const char* group, std::uint16_t tag) {
  for (const auto& d : exif)
    if (d.tag() == tag && d.groupName() == group) return Trimmed(d.toString());
  return {};
}

std::string XmpText(const Exiv2::XmpData& xmp, const char* key) {
  const auto it = xmp.findKey(Exiv2::XmpKey(key));
  return it == xmp.end() ? std::string() : Trimmed(it->toString());
}

std::optional<TakenTime> ExifTaken(const Exiv2::ExifData& exif) {
  if (auto t = ParseDateText(ExifText(exif, "Photo", 0x9003), ExifText(exif, "Photo", 0x9291),
                             ExifText(exif, "Photo", 0x9011)))
    return t;
  return ParseDateText(ExifText(exif, "Photo", 0x9004), ExifText(exif, "Photo", 0x9292),
                       ExifText(exif, "Photo", 0x9012));
}

std::optional<TakenTime> XmpTaken(const Exiv2::XmpData& xmp) {
  for (const char* key : {"Xmp.exif.DateTimeOriginal", "Xmp.xmp.CreateDate",
                          "Xmp.exif.DateTimeDigitized", "Xmp.photoshop.DateCreated"})
    if (auto t = ParseDateText(XmpText(xmp, key))) return t;
  return std::nullopt;
}

std::optional<int> Positive(long value) {
  return value > 0 && value < (1L << 30) ? std::optional<int>(static_cast<int>(value))
                                         : std::nullopt;
}

void Fill(Exiv2::Image& image, MediaTags& tags) {
  const Exiv2::ExifData& exif = image.exifData();
  const Exiv2::XmpData& xmp = image.xmpData();
  tags.taken = ExifTaken(exif);
  if (!tags.taken) tags.taken = XmpTaken(xmp);
  tags.make = ExifText(exif, "Image", 0x010F);
  tags.model = ExifText(exif, "Image", 0x0110);
  tags.lens = ExifText(exif, "Photo", 0xA434);
  if (tags.lens.empty()) tags.lens = XmpText(xmp, "Xmp.aux.Lens");
  tags.width = Positive(image.pixelWidth());
  tags.height = Positive(image.pixelHeight());
  std::string orientation = ExifText(exif, "Image", 0x0112);
  if (orientation.empty()) orientation = XmpText(xmp, "Xmp.tiff.Orientation");
  if (orientation.size() == 1 && orientation[0] >= '1' && orientation[0] <= '8')
    tags.orientation = orientation[0] - '0';
}

}  // namespace

bool ReadPictureTags(const std::string& diskPath, MediaTags& tags) {
  SetUpOnce();
  try {
    if (!IsPictureType(Exiv2::ImageFactory::getType(diskPath))) return false;
    auto image = Exiv2::ImageFactory::open(diskPath);
    if (!image.get()) return false;
    image->readMetadata();
    Fill(*image, tags);
    return true;
  } catch (...) {
    // Broken or lying: what was read is kept, the rest stays empty.
    return true;
  }
}

}  // namespace tonbo::tags
