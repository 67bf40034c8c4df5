// Date texts as Exif and XMP write them. Cameras without a clock write
// "0000:00:00 00:00:00" or blanks; those are no date.
#include <cctype>

#include "tags/TagParts.h"

namespace tonbo::tags {
namespace {

// Reads `width` digits at pos into out; false if any is not a digit.
bool Digits(std::string_view text, std::size_t pos, int width, int& out) {
  if (pos + width > text.size()) return false;
  out = 0;
  for (int i = 0; i < width; ++i) {
    const char c = text[pos + i];
    if (c < '0' || c > '9') return false;
    out = out * 10 + (c - '0');
  }
  return true;
}

// "123" -> 123, "5" -> 500, "123456" -> 123; -1 for none.
int Millis(std::string_view digits) {
  int value = 0, count = 0;
  for (const char c : digits) {
    if (c < '0' || c > '9') break;
    if (count < 3) value = value * 10 + (c - '0');
    ++count;
  }
  if (count == 0) return -1;
  for (; count < 3; ++count) value *= 10;
  return value;
}

// "+09:00", "-0530", "Z"; nullopt when it is none of these.
std::optional<int> OffsetMinutes(std::string_view text) {
  if (text == "Z") return 0;
  if (text.size() < 3 || (text[0] != '+' && text[0] != '-')) return std::nullopt;
  int hours = 0, minutes = 0;
  if (!Digits(text, 1, 2, hours)) return std::nullopt;
  const std::size_t at = text.size() > 3 && text[3] == ':' ? 4 : 3;
  if (text.size() > at && !Digits(text, at, 2, minutes)) return std::nullopt;
  if (hours > 14 || minutes > 59) return std::nullopt;
  const int total = hours * 60 + minutes;
  return text[0] == '-' ? -total : total;
}

bool Plausible(const TakenTime& t) {
  static constexpr int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return t.year >= 1 && t.month >= 1 && t.month <= 12 && t.day >= 1 &&
         t.day <= kDays[t.month - 1] && t.hour <= 23 && t.minute <= 59 && t.second <= 60;
}

}  // namespace

std::optional<TakenTime> ParseDateText(std::string_view text, std::string_view subSecond,
                                       std::string_view offset) {
  while (!text.empty() && (text.back() == '\0' || text.back() == ' ')) text.remove_suffix(1);
  TakenTime t;
  if (!Digits(text, 0, 4, t.year) || !Digits(text, 5, 2, t.month) || !Digits(text, 8, 2, t.day))
    return std::nullopt;
  std::size_t pos = 10;
  if (text.size() > pos + 5 && (text[pos] == ' ' || text[pos] == 'T')) {
    if (!Digits(text, pos + 1, 2, t.hour) || !Digits(text, pos + 4, 2, t.minute))
      return std::nullopt;
    pos += 6;
    if (text.size() > pos && text[pos] == ':') {
      if (!Digits(text, pos + 1, 2, t.second)) return std::nullopt;
      pos += 3;
    }
  }
  if (!Plausible(t)) return std::nullopt;
  if (text.size() > pos && text[pos] == '.') {
    std::size_t end = ++pos;
    while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end]))) ++end;
    t.subSecondMillis = Millis(text.substr(pos, end - pos));
    pos = end;
  }
  if (text.size() > pos) t.offsetMinutes = OffsetMinutes(text.substr(pos));
  if (t.subSecondMillis < 0) {
    while (!subSecond.empty() && subSecond.front() == ' ') subSecond.remove_prefix(1);
    t.subSecondMillis = Millis(subSecond);
  }
  if (!t.offsetMinutes) {
    while (!offset.empty() && (offset.back() == '\0' || offset.back() == ' '))
      offset.remove_suffix(1);
    t.offsetMinutes = OffsetMinutes(offset);
  }
  return t;
}

}  // namespace tonbo::tags
