#include "text/NaturalOrder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace tonbo {
namespace {

// Names as a file manager shows them; each shuffle of them sorts back the
// same way, by keys and by the single comparison alike.
TEST(NaturalOrder, AnyListingSortsToTheOrderShown) {
  const std::vector<std::string> shown = {"(1).txt",     "1.jpg",
                                          "2.jpg",       "10.jpg",
                                          "A.txt",       "a.txt",
                                          "a1b2.txt",    "a1b10.txt",
                                          "a10b1.txt",   "caf\xE9" /* not UTF-8 */,
                                          "File 2.txt",  "file 10.txt",
                                          "z.txt",       "\xE3\x81\x82" /* あ */,
                                          "\xE3\x81\x84" /* い */};
  std::mt19937 random(27);
  for (int round = 0; round < 20; ++round) {
    std::vector<std::string> listed = shown;
    std::shuffle(listed.begin(), listed.end(), random);
    std::vector<std::string> byKeys = listed;
    SortByNaturalName(byKeys, [](const std::string& s) -> std::string_view { return s; });
    EXPECT_EQ(byKeys, shown);
    std::sort(listed.begin(), listed.end(),
              [](const std::string& a, const std::string& b) { return NaturalNameLess(a, b); });
    EXPECT_EQ(listed, shown);
  }
}

}  // namespace
}  // namespace tonbo
