#include "text/PathInfo.h"

#include <sys/stat.h>

#include <chrono>
#include <cmath>

#include "common/Paths.h"
#include "common/Sjis.h"

namespace tonbo {
namespace {

using namespace std::chrono;

constexpr int kSecondsPerDay = 86400;
// 1899-12-30, the day zero of a date-time, counted from 1970-01-01.
constexpr int kDayZero = -25569;

int DayNumber(int y, int m, int d) {
  const sys_days date{year{y} / m / d};
  return static_cast<int>(date.time_since_epoch().count()) - kDayZero;
}

// Writes value as count decimal digits at text[at].
void PutDigits(std::string& text, size_t at, int count, int value) {
  for (int i = count - 1; i >= 0; --i, value /= 10)
    text[at + i] = static_cast<char>('0' + value % 10);
}

}  // namespace

TFileNameParts SplitFileName(std::string_view path) {
  // "/" and "." are below every trail byte, so byte searches never split a
  // double-byte character.
  return {ExtractFilePath(path), ExtractFileBase(path), ExtractFileExt(path)};
}

TDateTime FileDateOf(std::string_view path) {
  struct stat st {};
  if (lstat(enc::SjisToDisk(path).c_str(), &st) != 0) return 0;
  return DateTimeFromFileTime(st.st_mtime);
}

TDateTime DateTimeFromFileTime(std::time_t mtime) {
  std::tm local{};
  localtime_r(&mtime, &local);
  const int day = DayNumber(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
  const int seconds = local.tm_hour * 3600 + local.tm_min * 60 + (local.tm_sec & ~1);
  const double time = static_cast<double>(seconds) / kSecondsPerDay;
  return day >= 0 ? day + time : day - time;
}

std::string FormatFileDate(TDateTime value) {
  const double whole = std::trunc(value);
  long long ms = std::llround(std::fabs(value - whole) * kSecondsPerDay * 1000.0);
  if (ms >= kSecondsPerDay * 1000LL) ms = kSecondsPerDay * 1000LL - 1;
  const int seconds = static_cast<int>(ms / 1000);
  const year_month_day date{sys_days{days{static_cast<int>(whole) + kDayZero}}};
  const int y = static_cast<int>(date.year());
  if (y < 0 || y > 9999) return {};
  // Written by hand: the list fills one of these per added file.
  std::string text = "0000/00/00 00:00:00";
  PutDigits(text, 0, 4, y);
  PutDigits(text, 5, 2, static_cast<int>(static_cast<unsigned>(date.month())));
  PutDigits(text, 8, 2, static_cast<int>(static_cast<unsigned>(date.day())));
  PutDigits(text, 11, 2, seconds / 3600);
  PutDigits(text, 14, 2, seconds / 60 % 60);
  PutDigits(text, 17, 2, seconds % 60);
  return text;
}

}  // namespace tonbo
