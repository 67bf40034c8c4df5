#include "text/RenameRules.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

#include "common/Sjis.h"

namespace tonbo {
namespace {

std::string Two(int v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d", v);
  return buf;
}

bool Digits(std::string_view text, size_t at, size_t count, int& value) {
  value = 0;
  if (at + count > text.size()) return false;
  for (size_t i = at; i < at + count; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    value = value * 10 + (text[i] - '0');
  }
  return true;
}

}  // namespace

bool ParseDateText(std::string_view t, LocalDateTime& d) {
  if (t.size() != 19 || t[4] != '/' || t[7] != '/' || t[10] != ' ' || t[13] != ':' || t[16] != ':')
    return false;
  if (!Digits(t, 0, 4, d.year) || !Digits(t, 5, 2, d.month) || !Digits(t, 8, 2, d.day) ||
      !Digits(t, 11, 2, d.hour) || !Digits(t, 14, 2, d.minute) || !Digits(t, 17, 2, d.second))
    return false;
  return d.month >= 1 && d.month <= 12 && d.day >= 1 && d.day <= 31 && d.hour < 24 &&
         d.minute < 60 && d.second < 60;
}

LocalDateTime CurrentLocalDateTime() {
  std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

std::string FormatDatePattern(std::string_view p, const LocalDateTime& d) {
  std::string out;
  for (size_t i = 0; i < p.size();) {
    auto starts = [&](std::string_view token) { return p.substr(i, token.size()) == token; };
    if (enc::IsLeadByte(static_cast<unsigned char>(p[i])) && i + 1 < p.size()) {
      out.append(p.substr(i, 2));
      i += 2;
    } else if (starts("yyyy")) {
      char buf[16];
      std::snprintf(buf, sizeof buf, "%04d", d.year);
      out += buf;
      i += 4;
    } else if (starts("yy")) {
      out += Two(d.year % 100), i += 2;
    } else if (starts("mm")) {
      out += Two(d.month), i += 2;
    } else if (starts("dd")) {
      out += Two(d.day), i += 2;
    } else if (starts("hh")) {
      out += Two(d.hour), i += 2;
    } else if (starts("nn")) {
      out += Two(d.minute), i += 2;
    } else if (starts("ss")) {
      out += Two(d.second), i += 2;
    } else {
      out += p[i++];
    }
  }
  return out;
}

const std::array<std::string, 11>& DateFormatChoices() {
  static const std::array<std::string, 11> choices = {"yy-mm-dd",
                                                      "yyyy-mm-dd",
                                                      "yy_mm_dd",
                                                      "yyyy_mm_dd",
                                                      "yymmdd",
                                                      "yyyymmdd",
                                                      "yy_mm",
                                                      "mm_dd",
                                                      enc::Lit("yy年mm月dd日hh時nn分"),
                                                      "yy_mm_dd-hh_nn_ss",
                                                      "hh_nn_ss"};
  return choices;
}

const std::array<std::string, 5>& SerialDatePatterns() {
  static const std::array<std::string, 5> patterns = {"", "yymmdd", "yy_mm_dd", "yyyymmdd",
                                                      "yyyy_mm_dd"};
  return patterns;
}

void RenameRules::Clamp() {
  randomFrom = std::clamp(randomFrom, 1, 30);
  randomTo = std::clamp(randomTo, 1, 30);
  renbanLength = std::clamp(renbanLength, 0, 30);
  renbanDate = std::clamp(renbanDate, 0, 4);
  renbanOldName = std::clamp(renbanOldName, 0, 1);
  renbanPattern = std::clamp(renbanPattern, 0, 2);
  dateFormat = std::clamp(dateFormat, 0, 10);
  dateKeta = std::clamp(dateKeta, 0, 30);
  dateSource = std::clamp(dateSource, 0, 1);
}

std::string DecimalText(long long number, int width) {
  std::string digits = std::to_string(number < 0 ? -number : number);
  if (static_cast<int>(digits.size()) < width)
    digits.insert(0, static_cast<size_t>(width) - digits.size(), '0');
  return number < 0 ? "-" + digits : digits;
}

std::string HexText(long long number, int width) {
  // A negative number is its 32-bit two's complement.
  unsigned long long v =
      number < 0 ? static_cast<uint32_t>(number) : static_cast<unsigned long long>(number);
  char buf[32];
  std::snprintf(buf, sizeof buf, "%llX", v);
  std::string digits = buf;
  if (static_cast<int>(digits.size()) < width)
    digits.insert(0, static_cast<size_t>(width) - digits.size(), '0');
  return digits;
}

std::string LetterText(long long number) {
  // a-z, aa-zz, aaa-...: one alphabet without gaps; below 1 in decimal.
  if (number < 1) return std::to_string(number);
  std::string out;
  for (long long n = number; n > 0; n = (n - 1) / 26)
    out.insert(out.begin(), static_cast<char>('a' + (n - 1) % 26));
  return out;
}

std::string FormatSerialName(const RenameRules& r, long long number, std::string_view oldName,
                             const LocalDateTime& date) {
  const int width = std::max(r.renbanLength, 1);
  std::string datePart;
  if (r.renbanDate >= 1 && r.renbanDate <= 4)
    datePart =
        FormatDatePattern(SerialDatePatterns()[static_cast<size_t>(r.renbanDate)], date) + "_";
  std::string numberText;
  switch (static_cast<SerialStyle>(r.renbanPattern)) {
    case SerialStyle::Hexadecimal:
      numberText = HexText(number, width);
      break;
    case SerialStyle::Letters:
      numberText = LetterText(number);
      break;
    default:
      numberText = DecimalText(number, width);
  }
  std::string name = r.renbanHeader + datePart + numberText + r.renbanFooter;
  if (r.renbanOldName == 1) name += oldName;
  return name;
}

std::string FormatDateName(const RenameRules& r, long long serial, const LocalDateTime& date) {
  const size_t format = static_cast<size_t>(std::clamp(r.dateFormat, 0, 10));
  return r.dateHeader + FormatDatePattern(DateFormatChoices()[format], date) + r.dateSplitter +
         DecimalText(serial, r.dateKeta) + r.dateFooter;
}

}  // namespace tonbo
