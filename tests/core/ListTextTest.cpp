#include "core/ListText.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tonbo {
namespace {

TEST(SizeText, RoundsUpAndHalvesToEven) {
  struct {
    const char* cell;
    const char* text;
  } cases[] = {
      {"0", "0 KB"},
      {"1", "1 KB"},
      {"1023", "1 KB"},
      {"1024", "2 KB"},
      {"1025", "2 KB"},
      {"1536", "2 KB"},
      {"2048", "2 KB"},
      {"3072", "4 KB"},
      {"1000000", "977 KB"},
      {"2560000", "2,500 KB"},
      {"abc", "0 KB"},
      {"", "0 KB"},
      {"5368709120", "5,242,880 KB"},  // 5 GiB: no 32-bit wrap
  };
  for (const auto& c : cases) EXPECT_EQ(SizeText(c.cell), c.text) << c.cell;
}

TEST(SizeText, MatchesAFloatingReferenceAwayFromTies) {
  for (int64_t n = 0; n < 200000; n += 7) {
    double v = static_cast<double>(n) / 1024.0 + 0.5;
    double frac = v - static_cast<double>(static_cast<int64_t>(v));
    if (frac > 0.49 && frac < 0.51) continue;
    std::string expect = std::to_string(static_cast<int64_t>(v + 0.5));
    std::string got = SizeTextOf(n);
    got.erase(std::remove(got.begin(), got.end(), ','), got.end());
    EXPECT_EQ(got, expect + " KB") << n;
  }
}

}  // namespace
}  // namespace tonbo
