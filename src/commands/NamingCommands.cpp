#include "commands/NamingCommands.h"

#include <algorithm>
#include <unordered_map>

#include "commands/NameCounts.h"
#include "commands/TagPattern.h"
#include "common/Sjis.h"

namespace tonbo {
namespace {

void SetName(TCsvDb& table, NameCounts& counts, int row, const std::string& name) {
  counts.Remove(std::string(table.GetCell(colNewName, row)));
  table.SetCell(colNewName, row, name);
  counts.Add(name);
}

// Splits a trailing run of decimal digits (with an optional "-") at each of
// its possible starts, for recognising freed names "prefix" + number.
template <typename Fn>
void ForEachNumberTail(std::string_view text, Fn&& fn) {
  size_t digits = 0;
  while (digits < text.size() && text[text.size() - 1 - digits] >= '0' &&
         text[text.size() - 1 - digits] <= '9')
    ++digits;
  for (size_t k = 1; k <= digits && k <= 18; ++k) {
    size_t at = text.size() - k;
    fn(text.substr(0, at), text.substr(at));
    if (at > 0 && text[at - 1] == '-') fn(text.substr(0, at - 1), text.substr(at - 1));
  }
}

// Date names: stem = the date text; name = header + date + separator + serial + footer.
class DateNamer {
 public:
  explicit DateNamer(const RenameRules& r) : rules_(r), memo_(r.dateStart) {}

  std::string Name(const std::string& dateText, long long serial) const {
    return rules_.dateHeader + dateText + rules_.dateSplitter +
           DecimalText(serial, rules_.dateKeta) + rules_.dateFooter;
  }

  std::string FirstFree(const std::string& dateText, const NameCounts& counts) {
    long long serial = memo_.From(dateText);
    while (counts.Count(Name(dateText, serial)) > 0) ++serial;
    memo_.Taken(dateText, serial);
    return Name(dateText, serial);
  }

  void Freed(std::string_view name) {
    const std::string &h = rules_.dateHeader, &f = rules_.dateFooter, &s = rules_.dateSplitter;
    if (name.size() < h.size() + f.size() || name.substr(0, h.size()) != h ||
        name.substr(name.size() - f.size()) != f)
      return;
    std::string_view middle = name.substr(h.size(), name.size() - h.size() - f.size());
    ForEachNumberTail(middle, [&](std::string_view rest, std::string_view number) {
      long long serial = 0;
      if (rest.size() < s.size() || rest.substr(rest.size() - s.size()) != s) return;
      if (!ParseNumber(number, serial) || DecimalText(serial, rules_.dateKeta) != number) return;
      memo_.Freed(std::string(rest.substr(0, rest.size() - s.size())), serial);
    });
  }

 private:
  const RenameRules& rules_;
  NumberMemo memo_;
};

}  // namespace

std::string ChangedNamesText(int named, int skipped) {
  std::string text = std::to_string(named) + "個のファイル名を変更しました。";
  if (skipped > 0) text += "（更新日を読めない" + std::to_string(skipped) + "個はそのままです。）";
  return text;
}

NamingOutcome NameSerial(TCsvDb& table, const std::vector<int>& rows, const RenameRules& rules) {
  NamingOutcome out;
  const bool needsDate = rules.renbanDate >= 1 && rules.renbanDate <= 4;
  for (int row : rows) {
    LocalDateTime date;
    if (!ParseDateText(table.GetCell(colModified, row), date) && needsDate) {
      ++out.skipped;
      continue;
    }
    const long long number = static_cast<long long>(rules.renbanStart) + out.named;
    table.SetCell(colNewName, row,
                  FormatSerialName(rules, number, table.GetCell(colNewName, row), date));
    ++out.named;
  }
  return out;
}

NamingOutcome NameByDate(TCsvDb& table, const std::vector<int>& rows, const RenameRules& rules,
                         const TakenTimes& taken) {
  NamingOutcome out;
  NameCounts counts(table);
  DateNamer namer(rules);
  const std::string& pattern =
      DateFormatChoices()[static_cast<size_t>(std::clamp(rules.dateFormat, 0, 10))];
  const bool useTaken = rules.dateSource == static_cast<int>(DateSource::Taken);
  for (size_t i = 0; i < rows.size(); ++i) {
    const int row = rows[i];
    LocalDateTime date;
    if (useTaken && i < taken.size() && taken[i]) {
      date = TakenDate(*taken[i]);
    } else if (!ParseDateText(table.GetCell(colModified, row), date)) {
      ++out.skipped;
      continue;
    }
    // The row's own name does not count as taken.
    const std::string old(table.GetCell(colNewName, row));
    if (counts.Remove(old)) namer.Freed(old);
    table.SetCell(colNewName, row, "");
    SetName(table, counts, row, namer.FirstFree(FormatDatePattern(pattern, date), counts));
    ++out.named;
  }
  return out;
}

int NameFixed(TCsvDb& table, const std::vector<int>& rows, std::string_view text,
              bool extNotChange) {
  std::string name(text), ext;
  if (!extNotChange) {
    // "." is never the second byte of a double-byte character.
    const size_t dot = text.rfind('.');
    if (dot != std::string_view::npos) {
      name = std::string(text.substr(0, dot));
      ext = std::string(text.substr(dot));
    }
  }
  UniqueNames unique(table);
  for (int row : rows) {
    unique.Release(std::string(table.GetCell(colNewName, row)));
    if (!extNotChange) table.SetCell(colExt, row, ext);
    table.SetCell(colNewName, row, unique.Take(name));
  }
  return static_cast<int>(rows.size());
}

int AddText(TCsvDb& table, const std::vector<int>& rows, std::string_view text, bool atHead) {
  for (int row : rows) {
    const std::string name(table.GetCell(colNewName, row));
    table.SetCell(colNewName, row, atHead ? std::string(text) + name : name + std::string(text));
  }
  return static_cast<int>(rows.size());
}

std::vector<std::string> RandomPool(const RenameRules& rules) {
  std::vector<std::string> pool;
  auto singles = [&](std::string_view chars) {
    for (char c : chars) pool.emplace_back(1, c);
  };
  auto doubles = [&](const char* utf8) {
    const std::string sjis = enc::Lit(utf8);
    for (size_t i = 0; i + 1 < sjis.size(); i += 2) pool.push_back(sjis.substr(i, 2));
  };
  if (rules.randomLower) singles("abcdefghijklmnopqrstuvwxyz");
  if (rules.randomUpper) singles("ABCDEFGHIJKLMNOPQRSTUVWXYZ");
  if (rules.randomNum) singles("0123456789");
  if (rules.randomSymbol) singles("-_.@#()%!$");
  if (rules.randomHira)
    doubles(
        "あいうえおかきくけこがぎぐげごさしすせそざじずぜぞたちつてとだぢづでどなにぬねのはひふへほ"
        "ばびぶべぼまみむめもやゆよわをんー");
  if (rules.randomKana)
    doubles(
        "アイウエオカキクケコガギグゲゴサシスセソザジズゼゾタチツテトダヂヅデドナニヌネノハヒフヘ"
        "バビブベボホマミムメモヤユヨワヲン");
  return pool;
}

int NameRandom(TCsvDb& table, const std::vector<int>& rows, RenameRules& rules,
               const RandomHooks& hooks) {
  const std::vector<std::string> pool = RandomPool(rules);
  if (pool.empty()) return 0;
  int from = rules.randomFrom, to = rules.randomTo;
  if (from > to) std::swap(from, to);
  NameCounts counts(table);
  auto random = [&](int n) { return n <= 0 ? 0 : hooks.random(n); };
  auto oneName = [&] {
    const int length = from + random(to - from);
    std::string name;
    do {
      name += pool[static_cast<size_t>(random(static_cast<int>(pool.size())))];
    } while (name.size() < static_cast<size_t>(length));
    return name;
  };
  for (int row : rows) {
    for (;;) {
      std::string name;
      int attempt = 0;
      for (; attempt < 501; ++attempt) {
        name = oneName();
        if (counts.Count(name) == 0) break;
      }
      if (attempt < 501) {
        SetName(table, counts, row, name);
        break;
      }
      if (hooks.relaxing) hooks.relaxing();
      to += 4;
      rules.randomTo = to;
      rules.randomLower = true;
    }
  }
  return static_cast<int>(rows.size());
}

void ConvertRow(TCsvDb& table, int row, const std::function<std::string(std::string_view)>& convert,
                bool alsoExt) {
  table.SetCell(colNewName, row, convert(table.GetCell(colNewName, row)));
  if (alsoExt) table.SetCell(colExt, row, convert(table.GetCell(colExt, row)));
}

}  // namespace tonbo
