// The date taken straight from a JPEG's Exif block: the markers up to the
// first APP1 "Exif", then IFD0 -> Exif IFD, every offset checked against the
// block (at most 64 KiB), so a lying file costs one short read and no more.
#include "tags/TagParts.h"

namespace tonbo::tags {
namespace {

constexpr std::uint16_t kExifIfdPointer = 0x8769;
constexpr std::uint16_t kAscii = 2;
// The tags of the Exif IFD, first the original's, then the digitized ones.
constexpr std::uint16_t kDateOriginal = 0x9003, kSubSecOriginal = 0x9291, kOffsetOriginal = 0x9011;
constexpr std::uint16_t kDateDigitized = 0x9004, kSubSecDigitized = 0x9292,
                        kOffsetDigitized = 0x9012;
// More markers than a camera writes before its picture data.
constexpr int kMaxSegments = 64;

class Tiff {
 public:
  explicit Tiff(std::string_view bytes) : b_(bytes) {}
  bool Valid() const {
    return b_.size() >= 8 && (b_.substr(0, 4) == std::string_view("II*\0", 4) ||
                              b_.substr(0, 4) == std::string_view("MM\0*", 4));
  }
  std::uint32_t U16(std::size_t at) const { return Read(at, 2); }
  std::uint32_t U32(std::size_t at) const { return Read(at, 4); }

  // The entry for `tag` in the IFD at `ifd`: its offset in the block, or 0.
  std::size_t Entry(std::size_t ifd, std::uint16_t tag) const {
    if (ifd < 8 || ifd + 2 > b_.size()) return 0;
    const std::size_t count = U16(ifd);
    for (std::size_t i = 0; i < count; ++i) {
      const std::size_t at = ifd + 2 + i * 12;
      if (at + 12 > b_.size()) return 0;
      if (U16(at) == tag) return at;
    }
    return 0;
  }

  // The text of an ASCII entry; empty when absent or out of the block.
  std::string_view Text(std::size_t ifd, std::uint16_t tag) const {
    const std::size_t at = Entry(ifd, tag);
    if (at == 0 || U16(at + 2) != kAscii) return {};
    const std::size_t count = U32(at + 4);
    const std::size_t from = count <= 4 ? at + 8 : U32(at + 8);
    if (from > b_.size() || count > b_.size() - from) return {};
    return b_.substr(from, count);
  }

 private:
  std::uint32_t Read(std::size_t at, int width) const {
    if (at + width > b_.size()) return 0;
    std::uint32_t v = 0;
    for (int i = 0; i < width; ++i) {
      const auto byte = static_cast<unsigned char>(b_[at + (b_[0] == 'I' ? width - 1 - i : i)]);
      v = (v << 8) | byte;
    }
    return v;
  }
  std::string_view b_;
};

}  // namespace

std::optional<TakenTime> ExifBlockTakenTime(std::string_view block) {
  const Tiff tiff(block);
  if (!tiff.Valid()) return std::nullopt;
  const std::size_t pointer = tiff.Entry(tiff.U32(4), kExifIfdPointer);
  if (pointer == 0) return std::nullopt;
  const std::size_t exif = tiff.U32(pointer + 8);
  if (auto t = ParseDateText(tiff.Text(exif, kDateOriginal), tiff.Text(exif, kSubSecOriginal),
                             tiff.Text(exif, kOffsetOriginal)))
    return t;
  return ParseDateText(tiff.Text(exif, kDateDigitized), tiff.Text(exif, kSubSecDigitized),
                       tiff.Text(exif, kOffsetDigitized));
}

std::optional<TakenTime> JpegTakenTime(const ByteSource& file, bool& hasExif) {
  hasExif = false;
  if (file.Bytes(0, 2) != "\xFF\xD8") return std::nullopt;
  std::uint64_t pos = 2;
  for (int i = 0; i < kMaxSegments; ++i) {
    const std::string head = file.Bytes(pos, 4);
    if (head.size() < 4 || static_cast<unsigned char>(head[0]) != 0xFF) return std::nullopt;
    const auto marker = static_cast<unsigned char>(head[1]);
    if (marker == 0xDA || marker == 0xD9) return std::nullopt;  // the picture data begins
    const std::size_t length =
        static_cast<unsigned char>(head[2]) << 8 | static_cast<unsigned char>(head[3]);
    if (length < 2) return std::nullopt;
    if (marker == 0xE1 && length > 8) {
      const std::string body = file.Bytes(pos + 4, length - 2);
      if (body.compare(0, 6, std::string_view("Exif\0\0", 6)) == 0) {
        hasExif = true;
        return ExifBlockTakenTime(std::string_view(body).substr(6));
      }
    }
    pos += 2 + length;
  }
  return std::nullopt;
}

}  // namespace tonbo::tags
