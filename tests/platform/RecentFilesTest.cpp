#include "platform/RecentFiles.h"

#include <gtest/gtest.h>

#include "TestEnv.h"

namespace tonbo::platform {
namespace {

// A new file, then one another program keeps: its bookmarks and applications
// stay, ours is counted once more; a file that is no bookmark file is left alone.
TEST(RecentFiles, RecordsTheFileAndKeepsEverythingElse) {
  const std::string dir = test::MakeTempDir("recent"), xbel = dir + "share/recently-used.xbel";
  const std::string href = "file://" + dir + "%E3%83%AA%E3%82%B9%E3%83%88%201.csv";  // リスト 1
  auto add = [&] {
    return AddRecentFileTo(QString::fromStdString(xbel), dir + "リスト 1.csv", "text/csv",
                           QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5), Qt::UTC));
  };
  auto has = [&](const std::string& part) {
    return test::ReadFile(xbel).find(part) != std::string::npos;
  };
  ASSERT_TRUE(add());
  EXPECT_TRUE(has("<bookmark href=\"" + href + "\""));
  EXPECT_TRUE(has("<mime:mime-type type=\"text/csv\"/>"));
  EXPECT_TRUE(has(
      "name=\"Tonbo\" exec=\"'tonbo %u'\" modified=\"2026-01-02T03:04:05.000000Z\" count=\"1\""));
  const std::string apps = "<info><metadata><bookmark:applications><bookmark:application name=";
  test::WriteFile(
      xbel,
      "<xbel version=\"1.0\" xmlns:bookmark=\"http://www.freedesktop.org/standards/"
      "desktop-bookmarks\"><bookmark href=\"file:///o.txt\"><title>&lt;kept&gt;</title>" +
          apps +
          "\"gedit\" count=\"7\"/></bookmark:applications></metadata></info>"
          "</bookmark><bookmark href=\"" +
          href + "\" added=\"2021\">" + apps +
          "\"Tonbo\" count=\"2\"/></bookmark:applications></metadata></info></bookmark></xbel>");
  ASSERT_TRUE(add());
  for (const char* kept :
       {"&lt;kept&gt;", "\"gedit\" count=\"7\"", "added=\"2021\"", "count=\"3\""})
    EXPECT_TRUE(has(kept)) << kept << test::ReadFile(xbel);
  EXPECT_FALSE(has("count=\"1\""));
  for (const char* broken : {"<xbel><bookmark href=\"a\">", "not xml at all", "<other/>"}) {
    test::WriteFile(xbel, broken);
    EXPECT_FALSE(add()) << broken;
    EXPECT_EQ(test::ReadFile(xbel), broken);
  }
}

}  // namespace
}  // namespace tonbo::platform
