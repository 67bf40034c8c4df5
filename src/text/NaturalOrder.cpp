#include "text/NaturalOrder.h"

#include <QCollator>
#include <QCollatorSortKey>
#include <QLocale>
#include <QString>
#include <algorithm>
#include <numeric>

namespace tonbo {
namespace {

// One collator per thread: a QCollator is not to be shared between threads.
const QCollator& NameCollator() {
  thread_local const QCollator collator = [] {
    // The session's locale; under "C" (a bare session, the tests) Qt's
    // collator compares code points and ignores numbers, so the common
    // collation (Latin, then kana and kanji) stands in.
    QLocale locale;
    if (locale.language() == QLocale::C) locale = QLocale(QLocale::English, QLocale::UnitedStates);
    QCollator c(locale);
    c.setNumericMode(true);
    c.setCaseSensitivity(Qt::CaseInsensitive);
    c.setIgnorePunctuation(false);
    return c;
  }();
  return collator;
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

}  // namespace

bool NaturalNameLess(std::string_view diskA, std::string_view diskB) {
  const QCollator& collator = NameCollator();
  return KeyLess(collator.sortKey(NameText(diskA)), diskA, collator.sortKey(NameText(diskB)),
                 diskB);
}

std::vector<std::size_t> NaturalOrder(const std::vector<std::string_view>& diskNames) {
  const QCollator& collator = NameCollator();
  std::vector<QCollatorSortKey> keys;
  keys.reserve(diskNames.size());
  for (std::string_view name : diskNames) keys.push_back(collator.sortKey(NameText(name)));
  std::vector<std::size_t> order(diskNames.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return KeyLess(keys[a], diskNames[a], keys[b], diskNames[b]);
  });
  return order;
}

}  // namespace tonbo
