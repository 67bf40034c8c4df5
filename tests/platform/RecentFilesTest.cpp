#include "platform/RecentFiles.h"

#include <gtest/gtest.h>

#include <QXmlStreamReader>
#include <map>

#include "TestEnv.h"

namespace tonbo::platform {
namespace {

const QDateTime kNow(QDate(2026, 1, 2), QTime(3, 4, 5), Qt::UTC);
const char kNowText[] = "2026-01-02T03:04:05.000000Z";

// href -> (application -> count) of a bookmark file, and whether it is well formed.
struct Read {
  bool ok = false;
  std::map<std::string, std::map<std::string, int>> apps;
  std::map<std::string, std::string> added;
};

Read ReadBack(const std::string& path) {
  Read r;
  QXmlStreamReader in(QByteArray::fromStdString(test::ReadFile(path)));
  std::string href;
  while (!in.atEnd()) {
    in.readNext();
    if (!in.isStartElement()) continue;
    const auto attr = [&](const char* name) {
      return in.attributes().value(QLatin1String(name)).toString().toStdString();
    };
    if (in.name() == QLatin1String("bookmark")) {
      href = attr("href");
      r.apps[href];
      r.added[href] = attr("added");
    }
    if (in.qualifiedName() == QLatin1String("bookmark:application"))
      r.apps[href][attr("name")] = std::stoi(attr("count"));
  }
  r.ok = !in.hasError();
  return r;
}

// A new file, then an update of a file another program keeps: its bookmarks
// and applications stay, ours is counted once more; a file that is no
// bookmark file is never touched.
TEST(RecentFiles, RecordsTheFileAndKeepsEverythingElse) {
  const std::string dir = test::MakeTempDir("recent");
  const std::string xbel = dir + "share/recently-used.xbel";
  const QString path = QString::fromStdString(xbel);
  const std::string list = dir + "リスト 1.csv";
  const std::string href = "file://" + dir + "%E3%83%AA%E3%82%B9%E3%83%88%201.csv";

  ASSERT_TRUE(AddRecentFileTo(path, list, QStringLiteral("text/csv"), kNow));
  Read r = ReadBack(xbel);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.apps[href], (std::map<std::string, int>{{"Tonbo", 1}}));
  EXPECT_NE(test::ReadFile(xbel).find("<mime:mime-type type=\"text/csv\"/>"), std::string::npos);

  test::WriteFile(xbel, R"(<?xml version="1.0" encoding="UTF-8"?>
<xbel version="1.0" xmlns:bookmark="http://www.freedesktop.org/standards/desktop-bookmarks"
      xmlns:mime="http://www.freedesktop.org/standards/shared-mime-info">
  <bookmark href="file:///other.txt" added="2020-01-01T00:00:00Z" modified="x" visited="x">
    <title>&lt;kept&gt;</title>
    <info><metadata owner="http://freedesktop.org"><bookmark:applications>
      <bookmark:application name="gedit" exec="'gedit %u'" modified="x" count="7"/>
    </bookmark:applications></metadata></info>
  </bookmark>
  <bookmark href=")" + href +
                            R"(" added="2021-01-01T00:00:00Z" modified="x" visited="x">
    <info><metadata owner="http://freedesktop.org"><bookmark:applications>
      <bookmark:application name="gedit" exec="'gedit %u'" modified="x" count="3"/>
      <bookmark:application name="Tonbo" exec="'tonbo %u'" modified="x" count="2"/>
    </bookmark:applications></metadata></info>
  </bookmark>
</xbel>
)");
  ASSERT_TRUE(AddRecentFileTo(path, list, QStringLiteral("text/csv"), kNow));
  r = ReadBack(xbel);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.apps["file:///other.txt"], (std::map<std::string, int>{{"gedit", 7}}));
  EXPECT_EQ(r.apps[href], (std::map<std::string, int>{{"gedit", 3}, {"Tonbo", 3}}));
  EXPECT_EQ(r.added[href], "2021-01-01T00:00:00Z");
  EXPECT_EQ(r.apps.size(), 2u);
  EXPECT_NE(test::ReadFile(xbel).find("&lt;kept&gt;"), std::string::npos);
  EXPECT_NE(test::ReadFile(xbel).find(kNowText), std::string::npos);

  for (const char* broken : {"<xbel><bookmark href=\"a\">", "not xml at all", "<other/>"}) {
    test::WriteFile(xbel, broken);
    EXPECT_FALSE(AddRecentFileTo(path, list, QStringLiteral("text/csv"), kNow)) << broken;
    EXPECT_EQ(test::ReadFile(xbel), broken);
  }
}

}  // namespace
}  // namespace tonbo::platform
