#pragma once
// The naming settings of the rule settings dialog as a plain value, and the
// two formatters built on them. The commands read a copy at the moment they
// run; the dialog hands it out and takes changes back.
#include <array>
#include <string>
#include <string_view>

namespace tonbo {

// A local date and time as the file table writes it.
struct LocalDateTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// Reads "yyyy/mm/dd hh:nn:ss" (the file table's date column); false when the
// text is not such a date.
bool ParseDateText(std::string_view text, LocalDateTime& out);
LocalDateTime CurrentLocalDateTime();
// Date patterns: "yyyy", "yy", "mm", "dd", "hh", "nn", "ss"; every other
// character (single- or double-byte, code page 932) is copied.
std::string FormatDatePattern(std::string_view pattern, const LocalDateTime& date);

// The choices of "日付の形式" in code page 932 (each text is its pattern).
const std::array<std::string, 11>& DateFormatChoices();
// The patterns of "ファイル更新日" choices 1 to 4 (choice 0 inserts no date).
const std::array<std::string, 5>& SerialDatePatterns();

// Where the date naming takes a file's date from: its modification time, or
// the time a picture was taken (the modification time where there is none).
enum class DateSource { Modified = 0, Taken = 1 };

enum class SerialStyle { Decimal = 0, Hexadecimal = 1, Letters = 2 };

struct RenameRules {
  // Random names.
  int randomFrom = 4, randomTo = 8;  // 1-30
  bool randomLower = true, randomUpper = true, randomNum = true;
  bool randomSymbol = true, randomHira = true, randomKana = true;
  // Serial numbers.
  int renbanLength = 3;                    // 0-30
  std::string renbanHeader, renbanFooter;  // code page 932, taken literally
  int renbanDate = 0;                      // 0-4
  int renbanOldName = 0;                   // 0-1
  int renbanPattern = 0;                   // SerialStyle
  int renbanStart = 1;
  // Date names.
  int dateFormat = 0;  // 0-10
  int dateKeta = 3;    // 0-30
  std::string dateSplitter = "__", dateHeader, dateFooter;
  int dateStart = 1;
  int dateSource = 0;  // DateSource

  // Brings every number and choice into its range.
  void Clamp();
};

// Header, date part, number, footer, old name.
std::string FormatSerialName(const RenameRules& rules, long long number, std::string_view oldName,
                             const LocalDateTime& date);
// Header, date, separator, serial, footer.
std::string FormatDateName(const RenameRules& rules, long long serial, const LocalDateTime& date);

// The number texts of the three serial styles.
std::string DecimalText(long long number, int width);
std::string HexText(long long number, int width);
std::string LetterText(long long number);

}  // namespace tonbo
