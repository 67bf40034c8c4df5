#include "text/NaturalOrder.h"

#include <QCollator>
#include <QCollatorSortKey>
#include <QLocale>
#include <QString>
#include <algorithm>
#include <cstdint>
#include <numeric>
#include <optional>

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

std::string PlainKey(const PlainOrder& order, std::string_view disk) {
  std::string key;
  AppendPlainKey(order, disk, key);
  return key;
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

// A locale may join letters ("ch" in Czech) or weigh case apart; then the
// table is not the collation. Every name of one and two characters, sorted
// by the collator's keys, must come out sorted by the table too.
bool AgreesWithCollator(const QCollator& collator, const PlainOrder& order) {
  std::vector<std::string> names;
  for (char a = 0x20; a < 0x7f; ++a) {
    names.emplace_back(1, a);
    for (char b = 0x20; b < 0x7f; ++b) names.push_back({a, b});
  }
  std::vector<QCollatorSortKey> keys;
  for (const std::string& n : names) keys.push_back(collator.sortKey(QString::fromLatin1(n)));
  std::vector<std::size_t> byKeys(names.size());
  std::iota(byKeys.begin(), byKeys.end(), std::size_t{0});
  std::sort(byKeys.begin(), byKeys.end(), [&](std::size_t a, std::size_t b) {
    const int c = keys[a].compare(keys[b]);
    return c != 0 ? c < 0 : names[a] < names[b];
  });
  for (std::size_t i = 1; i < byKeys.size(); ++i) {
    const std::string& a = names[byKeys[i - 1]];
    const std::string& b = names[byKeys[i]];
    const std::string keyA = PlainKey(order, a), keyB = PlainKey(order, b);
    if (keyA > keyB || (keyA == keyB && a > b)) return false;
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

// Making and checking the table costs about as much as 10,000 keys, so a
// thread makes it for its first sort of at least 5,000 plain names, and
// keeps it.
constexpr std::size_t kNamesWorthATable = 5000;

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
template <class Key>
bool KeyLess(const Key& keyA, std::string_view diskA, const Key& keyB, std::string_view diskB) {
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

// A plain name's key, a 0 byte (below every byte of a key) and its bytes,
// so that one comparison of such strings is the key's and then the bytes'.
// Their first eight bytes as one number settle most comparisons without
// reading the buffer.
struct PlainEntry {
  std::uint64_t head;
  std::size_t begin;
  std::uint32_t length, index;
};

std::uint64_t Head(std::string_view sortable) {
  std::uint64_t head = 0;
  for (std::size_t i = 0; i < 8; ++i)
    head = head << 8 | (i < sortable.size() ? static_cast<unsigned char>(sortable[i]) : 0);
  return head;
}

// All keys side by side in one buffer: no allocation per name.
std::vector<std::size_t> TableOrder(const PlainOrder& plain,
                                    const std::vector<std::string_view>& diskNames) {
  std::string buffer;
  std::vector<PlainEntry> entries(diskNames.size());
  for (std::size_t i = 0; i < diskNames.size(); ++i) {
    entries[i].begin = buffer.size();
    AppendPlainKey(plain, diskNames[i], buffer);
    buffer += '\0';
    buffer.append(diskNames[i]);
    entries[i].length = static_cast<std::uint32_t>(buffer.size() - entries[i].begin);
    entries[i].index = static_cast<std::uint32_t>(i);
  }
  const std::string_view all(buffer);
  for (PlainEntry& e : entries) e.head = Head(all.substr(e.begin, e.length));
  std::sort(entries.begin(), entries.end(), [&](const PlainEntry& a, const PlainEntry& b) {
    if (a.head != b.head) return a.head < b.head;
    return all.substr(a.begin, a.length) < all.substr(b.begin, b.length);
  });
  std::vector<std::size_t> order;
  order.reserve(entries.size());
  for (const PlainEntry& e : entries) order.push_back(e.index);
  return order;
}

}  // namespace

bool NaturalNameLess(std::string_view diskA, std::string_view diskB) {
  NameCollation& collation = Collation();
  const PlainOrder* plain = IsPlain(diskA) && IsPlain(diskB) ? Plain(collation, 2) : nullptr;
  if (plain)
    return KeyLess(std::string_view(PlainKey(*plain, diskA)), diskA,
                   std::string_view(PlainKey(*plain, diskB)), diskB);
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
