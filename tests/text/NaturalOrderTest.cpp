#include "text/NaturalOrder.h"

#include <gtest/gtest.h>

#include <QCollator>
#include <QLocale>
#include <numeric>
#include <random>
#include <thread>

namespace tonbo {
namespace {

// Names that meet every way plain names can tie or differ: case, leading
// zeros, digit runs against letters and punctuation, runs longer than the
// collation's 254-digit pieces, one name a prefix of another.
std::vector<std::string> RandomPlainNames() {
  std::mt19937 rng(7);
  static const std::string kLetters = "aAbBcChHzZ._- ~()[]";
  static const int kRuns[] = {1, 2, 3, 12, 253, 254, 255, 300, 508};
  std::vector<std::string> names(10000);
  for (std::string& name : names) {
    for (int parts = rng() % 5; parts > 0; --parts) {
      if (rng() % 2) name += kLetters[rng() % kLetters.size()];
      for (int n = rng() % 3 ? 0 : kRuns[rng() % 9]; n > 0; --n) name += "0019"[rng() % 4];
    }
  }
  return names;
}

// The collator's keys, then the bytes: the order the table must reproduce.
std::vector<std::size_t> CollatorOrder(const std::vector<std::string_view>& names) {
  QCollator collator(QLocale().language() == QLocale::C ? QLocale("en_US") : QLocale());
  collator.setNumericMode(true);
  collator.setCaseSensitivity(Qt::CaseInsensitive);
  collator.setIgnorePunctuation(false);
  std::vector<QCollatorSortKey> keys;
  for (std::string_view n : names) keys.push_back(collator.sortKey(QString::fromLatin1(n)));
  std::vector<std::size_t> order(names.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    const int c = keys[a].compare(keys[b]);
    return c != 0 ? c < 0 : names[a] < names[b];
  });
  return order;
}

// Each locale in a thread of its own: the collation is made once per thread.
TEST(NaturalOrderTest, PlainNamesSortAsTheCollatorSortsThem) {
  const QLocale before;
  for (const char* localeName : {"C", "ja_JP", "de_DE", "sv_SE", "cs_CZ"}) {
    QLocale::setDefault(QLocale(localeName));
    std::thread([&] {
      const std::vector<std::string> names = RandomPlainNames();
      const std::vector<std::string_view> views(names.begin(), names.end());
      const std::vector<std::size_t> order = CollatorOrder(views);
      EXPECT_EQ(NaturalOrder(views), order) << localeName;
      for (std::size_t i = 1; i < order.size(); ++i)
        ASSERT_EQ(NaturalNameLess(views[order[i - 1]], views[order[i]]),
                  views[order[i - 1]] != views[order[i]]);
    }).join();
  }
  QLocale::setDefault(before);
}

}  // namespace
}  // namespace tonbo
