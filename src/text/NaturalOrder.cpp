#include "text/NaturalOrder.h"

#include <QCollator>
#include <QCollatorSortKey>
#include <QLocale>
#include <QString>
#include <algorithm>
#include <cstdint>
#include <numeric>
#include <optional>
#include <utility>

namespace tonbo {
namespace {

// The collation's order of names made of printable ASCII, as a key compared
// byte by byte: each character its place in the collation (case folded
// together as the collation folds it), each run of digits one number. The
// collation's numeric mode drops leading zeros and takes a run in pieces of
// at most 254 digits, each piece again without its leading zeros.
struct PlainOrder {
  unsigned char rank[128] = {};  // 0 for the bytes a plain name has not
  unsigned char numberRank = 0;
};

constexpr std::size_t kNumberPiece = 254;

bool IsPlain(std::string_view disk) {
  return std::all_of(disk.begin(), disk.end(), [](char c) { return c >= 0x20 && c < 0x7f; });
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

void AppendNumber(const PlainOrder& order, std::string_view digits, std::string& key) {
  std::size_t pos = 0;
  do {
    while (pos + 1 < digits.size() && digits[pos] == '0') ++pos;
    const std::size_t length = std::min(digits.size() - pos, kNumberPiece);
    key += static_cast<char>(order.numberRank);
    key += static_cast<char>(length);  // more digits, a larger number
    key.append(digits.substr(pos, length));
    pos += length;
  } while (pos < digits.size());
}

void AppendPlainKey(const PlainOrder& order, std::string_view disk, std::string& key) {
  for (std::size_t i = 0; i < disk.size();) {
    if (!IsDigit(disk[i])) {
      key += static_cast<char>(order.rank[static_cast<unsigned char>(disk[i++])]);
      continue;
    }
    const std::size_t start = i;
    while (i < disk.size() && IsDigit(disk[i])) ++i;
    AppendNumber(order, disk.substr(start, i - start), key);
  }
}

// A plain name's key, a 0 byte (below every byte of a key) and its bytes,
// so that one comparison of such strings is the key's and then the bytes'.
void AppendSortable(const PlainOrder& order, std::string_view disk, std::string& sortable) {
  AppendPlainKey(order, disk, sortable);
  sortable += '\0';
  sortable.append(disk);
}

std::string Sortable(const PlainOrder& order, std::string_view disk) {
  std::string sortable;
  AppendSortable(order, disk, sortable);
  return sortable;
}

// The places of the characters, read from the collator itself; every
// number stands where the digit 0 stands.
PlainOrder RankCharacters(const QCollator& collator) {
  std::vector<QString> chars;
  for (char c = 0x20; c < 0x7f; ++c)
    if (!IsDigit(c) || c == '0') chars.push_back(QString(QChar(c)));
  std::sort(chars.begin(), chars.end(),
            [&](const QString& a, const QString& b) { return collator.compare(a, b) < 0; });
  PlainOrder order;
  unsigned char rank = 1;
  for (std::size_t i = 0; i < chars.size(); ++i) {
    if (i > 0 && collator.compare(chars[i - 1], chars[i]) != 0) ++rank;
    const char c = chars[i].front().toLatin1();
    (c == '0' ? order.numberRank : order.rank[static_cast<unsigned char>(c)]) = rank;
  }
  return order;
}

// Eight bytes of a sortable string as one number, in the same order.
std::uint64_t Word(std::string_view sortable, std::size_t from) {
  std::uint64_t word = 0;
  for (std::size_t i = from; i < from + 8; ++i)
    word = word << 8 | (i < sortable.size() ? static_cast<unsigned char>(sortable[i]) : 0);
  return word;
}

// A locale may join letters ("ch" in Czech) or weigh case apart; then the
// table is not the collation. Every name of one and two characters, sorted
// by the table, must come out in the collator's order too: each name before
// the next by the collator's keys, then the bytes. (Such a name's sortable
// string has at most seven bytes.)
bool AgreesWithCollator(const QCollator& collator, const PlainOrder& order) {
  std::vector<std::string> names;
  for (char a = 0x20; a < 0x7f; ++a) {
    names.emplace_back(1, a);
    for (char b = 0x20; b < 0x7f; ++b) names.push_back({a, b});
  }
  std::vector<std::pair<std::uint64_t, std::size_t>> byTable;
  for (std::size_t i = 0; i < names.size(); ++i)
    byTable.emplace_back(Word(Sortable(order, names[i]), 0), i);
  std::sort(byTable.begin(), byTable.end());
  QCollatorSortKey before = collator.sortKey(QString::fromLatin1(names[byTable[0].second]));
  for (std::size_t i = 1; i < byTable.size(); ++i) {
    const std::string& name = names[byTable[i].second];
    QCollatorSortKey key = collator.sortKey(QString::fromLatin1(name));
    const int c = before.compare(key);
    if (c > 0 || (c == 0 && names[byTable[i - 1].second] > name)) return false;
    before = std::move(key);
  }
  return true;
}

struct NameCollation {
  QCollator collator;
  std::optional<PlainOrder> plain;  // empty: the locale's order is not a table's
  bool plainChecked = false;
};

// One per thread: a QCollator is not to be shared between threads.
NameCollation& Collation() {
  thread_local NameCollation collation = [] {
    // The session's locale; under "C" (a bare session, the tests) Qt's
    // collator compares code points and ignores numbers, so the common
    // collation (Latin, then kana and kanji) stands in.
    QLocale locale;
    if (locale.language() == QLocale::C) locale = QLocale(QLocale::English, QLocale::UnitedStates);
    NameCollation n;
    n.collator = QCollator(locale);
    n.collator.setNumericMode(true);
    n.collator.setCaseSensitivity(Qt::CaseInsensitive);
    n.collator.setIgnorePunctuation(false);
    return n;
  }();
  return collation;
}

// Making and checking the table costs about as much as sorting 10,000
// names by their keys, so a thread makes it for its first sort of at least
// that many plain names, and keeps it.
constexpr std::size_t kNamesWorthATable = 10000;

const PlainOrder* Plain(NameCollation& collation, std::size_t names) {
  if (!collation.plainChecked && names >= kNamesWorthATable) {
    collation.plainChecked = true;
    PlainOrder order = RankCharacters(collation.collator);
    if (AgreesWithCollator(collation.collator, order)) collation.plain = order;
  }
  return collation.plain ? &*collation.plain : nullptr;
}

QString NameText(std::string_view disk) {
  return QString::fromUtf8(disk.data(), static_cast<qsizetype>(disk.size()));
}

// The one comparison: the collation's keys, then the bytes.
bool KeyLess(const QCollatorSortKey& keyA, std::string_view diskA, const QCollatorSortKey& keyB,
             std::string_view diskB) {
  const int c = keyA.compare(keyB);
  if (c != 0) return c < 0;
  return diskA < diskB;
}

std::vector<std::size_t> Positions(std::size_t count) {
  std::vector<std::size_t> order(count);
  std::iota(order.begin(), order.end(), std::size_t{0});
  return order;
}

std::vector<std::size_t> CollatorOrder(const QCollator& collator,
                                       const std::vector<std::string_view>& diskNames) {
  std::vector<QCollatorSortKey> keys;
  keys.reserve(diskNames.size());
  for (std::string_view name : diskNames) keys.push_back(collator.sortKey(NameText(name)));
  std::vector<std::size_t> order = Positions(diskNames.size());
  std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return KeyLess(keys[a], diskNames[a], keys[b], diskNames[b]);
  });
  return order;
}

// A plain name's sortable string; its first sixteen bytes as two numbers
// settle most comparisons without reading the buffer.
struct PlainEntry {
  std::uint64_t head[2];
  std::size_t begin;
  std::uint32_t length, index;
};

bool EntryLess(const PlainEntry& a, const PlainEntry& b, const char* buffer) {
  if (a.head[0] != b.head[0]) return a.head[0] < b.head[0];
  if (a.head[1] != b.head[1]) return a.head[1] < b.head[1];
  return std::string_view(buffer + a.begin, a.length) <
         std::string_view(buffer + b.begin, b.length);
}

// All sortable strings side by side in one buffer: no allocation per name.
std::vector<std::size_t> TableOrder(const PlainOrder& plain,
                                    const std::vector<std::string_view>& diskNames) {
  std::string buffer;
  std::vector<PlainEntry> entries(diskNames.size());
  for (std::size_t i = 0; i < diskNames.size(); ++i) {
    entries[i].begin = buffer.size();
    AppendSortable(plain, diskNames[i], buffer);
    entries[i].length = static_cast<std::uint32_t>(buffer.size() - entries[i].begin);
    entries[i].index = static_cast<std::uint32_t>(i);
  }
  for (PlainEntry& e : entries) {
    const std::string_view sortable = std::string_view(buffer).substr(e.begin, e.length);
    e.head[0] = Word(sortable, 0);
    e.head[1] = Word(sortable, 8);
  }
  std::sort(entries.begin(), entries.end(), [&](const PlainEntry& a, const PlainEntry& b) {
    return EntryLess(a, b, buffer.data());
  });
  std::vector<std::size_t> order;
  order.reserve(entries.size());
  for (const PlainEntry& e : entries) order.push_back(e.index);
  return order;
}

}  // namespace

bool NaturalNameLess(std::string_view diskA, std::string_view diskB) {
  NameCollation& collation = Collation();
  // The table only if this thread has made it already: one pair is not
  // worth making it.
  const PlainOrder* plain = IsPlain(diskA) && IsPlain(diskB) ? Plain(collation, 2) : nullptr;
  if (plain) return Sortable(*plain, diskA) < Sortable(*plain, diskB);
  const QCollator& collator = collation.collator;
  return KeyLess(collator.sortKey(NameText(diskA)), diskA, collator.sortKey(NameText(diskB)),
                 diskB);
}

std::vector<std::size_t> NaturalOrder(const std::vector<std::string_view>& diskNames) {
  NameCollation& collation = Collation();
  // One name the table cannot place and the whole sort takes the collator's
  // keys: two orders mixed in one sort could contradict each other.
  const bool allPlain = std::all_of(diskNames.begin(), diskNames.end(), IsPlain);
  if (const PlainOrder* plain = allPlain ? Plain(collation, diskNames.size()) : nullptr)
    return TableOrder(*plain, diskNames);
  return CollatorOrder(collation.collator, diskNames);
}

}  // namespace tonbo
