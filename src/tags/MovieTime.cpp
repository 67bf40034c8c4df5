// A video's creation time from its movie header (moov/mvhd): a walk over the
// box sizes, never reading more than a header, so a box that claims 4 GB or
// points past the end only ends the walk.
#include <time.h>

#include "tags/TagParts.h"

namespace tonbo::tags {
namespace {

// Seconds from 1904-01-01 (the ISO media epoch) to 1970-01-01.
constexpr std::int64_t kEpoch1904 = 2082844800;
constexpr int kMaxBoxes = 256;

std::uint64_t BigEndian(std::string_view bytes) {
  std::uint64_t v = 0;
  for (const char c : bytes) v = (v << 8) | static_cast<unsigned char>(c);
  return v;
}

struct Box {
  std::uint64_t body = 0, end = 0;  // offsets of its content and of its end
  std::string type;
};

// The box at `pos` within [.., limit); false when its header does not fit.
bool BoxAt(const ByteSource& file, std::uint64_t pos, std::uint64_t limit, Box& box) {
  const std::string head = file.Bytes(pos, 8);
  if (head.size() < 8 || pos + 8 > limit) return false;
  std::uint64_t size = BigEndian(std::string_view(head).substr(0, 4));
  box.type = head.substr(4, 4);
  box.body = pos + 8;
  if (size == 1) {
    const std::string large = file.Bytes(pos + 8, 8);
    if (large.size() < 8) return false;
    size = BigEndian(large);
    box.body = pos + 16;
  } else if (size == 0) {
    size = limit - pos;
  }
  if (size < box.body - pos || size > limit - pos) return false;
  box.end = pos + size;
  return true;
}

// The first box of `type` among the boxes in [from, limit).
std::optional<Box> Find(const ByteSource& file, std::uint64_t from, std::uint64_t limit,
                        std::string_view type) {
  Box box;
  for (int i = 0; i < kMaxBoxes && BoxAt(file, from, limit, box); ++i) {
    if (box.type == type) return box;
    from = box.end;
  }
  return std::nullopt;
}

std::optional<TakenTime> LocalTime(std::uint64_t since1904) {
  // Zero is "not set"; beyond the year 9999 is a lie.
  if (since1904 == 0 || since1904 > 253402300799ULL + kEpoch1904) return std::nullopt;
  const time_t unix = static_cast<time_t>(static_cast<std::int64_t>(since1904) - kEpoch1904);
  struct tm tm {};
  if (!localtime_r(&unix, &tm)) return std::nullopt;
  TakenTime t;
  t.year = tm.tm_year + 1900;
  t.month = tm.tm_mon + 1;
  t.day = tm.tm_mday;
  t.hour = tm.tm_hour;
  t.minute = tm.tm_min;
  t.second = tm.tm_sec;
  t.offsetMinutes = static_cast<int>(tm.tm_gmtoff / 60);
  return t;
}

}  // namespace

bool IsIsoMedia(const ByteSource& file, std::string* brand) {
  const std::string head = file.Bytes(0, 12);
  if (head.size() < 12 || head.compare(4, 4, "ftyp") != 0) return false;
  if (brand) *brand = head.substr(8, 4);
  return true;
}

MovieHeader ReadMovieHeader(const ByteSource& file) {
  const auto moov = Find(file, 0, file.Size(), "moov");
  if (!moov) return {};
  const auto mvhd = Find(file, moov->body, moov->end, "mvhd");
  if (!mvhd) return {};
  // Version 1: creation, modification (8 bytes each), time scale, duration (8);
  // version 0: the same with 4-byte times and duration.
  const std::string head = file.Bytes(mvhd->body, 32);
  if (head.size() < 32 || mvhd->end - mvhd->body < 32) return {};
  const std::string_view v(head);
  const bool wide = head[0] == 1;
  MovieHeader out;
  out.taken = LocalTime(wide ? BigEndian(v.substr(4, 8)) : BigEndian(v.substr(4, 4)));
  const std::uint64_t scale = BigEndian(v.substr(wide ? 20 : 12, 4));
  const std::uint64_t length = wide ? BigEndian(v.substr(24, 8)) : BigEndian(v.substr(16, 4));
  if (scale > 0 && length / scale > 0 && length / scale < (1U << 30))
    out.durationSeconds = static_cast<int>(length / scale);
  return out;
}

}  // namespace tonbo::tags
