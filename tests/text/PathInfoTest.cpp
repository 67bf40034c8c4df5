#include "text/PathInfo.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "TestEnv.h"
#include "common/Sjis.h"

namespace tonbo {
namespace {

using enc::Lit;

struct SplitCase {
  const char* path;  // UTF-8 source text, split in code page 932
  const char* dir;
  const char* name;
  const char* ext;
};

class SplitTable : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitTable, DirUpToLastSlashExtFromLastDotOfTheName) {
  const SplitCase& c = GetParam();
  const TFileNameParts parts = SplitFileName(Lit(c.path));
  EXPECT_EQ(parts.dir, Lit(c.dir));
  EXPECT_EQ(parts.name, Lit(c.name));
  EXPECT_EQ(parts.ext, Lit(c.ext));
}

INSTANTIATE_TEST_SUITE_P(Rows, SplitTable,
                         ::testing::Values(SplitCase{"/d/x.tar.gz", "/d/", "x.tar", ".gz"},
                                           SplitCase{"/d/README", "/d/", "README", ""},
                                           SplitCase{"/a.b/c", "/a.b/", "c", ""},
                                           SplitCase{"C:\\d\\x.tar.gz", "", "C:\\d\\x.tar", ".gz"},
                                           SplitCase{"/写真/ソ表.jpg", "/写真/", "ソ表", ".jpg"},
                                           SplitCase{"/x/.bashrc", "/x/", "", ".bashrc"},
                                           SplitCase{"name.", "", "name", "."}));

struct DateCase {
  double value;
  const char* text;
};

class DateFormat : public ::testing::TestWithParam<DateCase> {};

TEST_P(DateFormat, ShowsDaysSinceTheEndOf1899) {
  EXPECT_EQ(FormatFileDate(GetParam().value), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Rows, DateFormat,
                         ::testing::Values(DateCase{0, "1899/12/30 00:00:00"},
                                           DateCase{1.5, "1899/12/31 12:00:00"},
                                           DateCase{-1.25, "1899/12/29 06:00:00"},
                                           DateCase{36526, "2000/01/01 00:00:00"},
                                           DateCase{36585.999988426, "2000/02/29 23:59:59"},
                                           DateCase{44259.5, "2021/03/04 12:00:00"}));

std::time_t LocalTime(int y, int mo, int d, int h, int mi, int s) {
  std::tm tm{};
  tm.tm_year = y - 1900, tm.tm_mon = mo - 1, tm.tm_mday = d;
  tm.tm_hour = h, tm.tm_min = mi, tm.tm_sec = s, tm.tm_isdst = -1;
  return std::mktime(&tm);
}

void SetMtime(const std::string& path, std::time_t t, int flags = 0) {
  const timespec times[2] = {{t, 0}, {t, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, flags), 0) << path;
}

TEST(FileDate, LocalTimeWithSecondsCutToEven) {
  const TDateTime odd = DateTimeFromFileTime(LocalTime(2021, 3, 4, 5, 6, 7));
  EXPECT_NEAR(odd, 44259 + (5 * 3600 + 6 * 60 + 6) / 86400.0, 1e-9);
  EXPECT_EQ(FormatFileDate(odd), "2021/03/04 05:06:06");
  EXPECT_EQ(FormatFileDate(DateTimeFromFileTime(LocalTime(1999, 12, 31, 23, 59, 58))),
            "1999/12/31 23:59:58");
}

TEST(FileDate, ReadsTheEntryItselfAndZeroWhenMissing) {
  const std::string dir = test::MakeTempDir();
  const std::string file = dir + "写真.jpg", link = dir + "link";
  test::WriteFile(file, "x");
  ASSERT_EQ(symlink("写真.jpg", link.c_str()), 0);
  SetMtime(file, LocalTime(2010, 6, 7, 8, 9, 11));
  SetMtime(link, LocalTime(2012, 1, 2, 3, 4, 5), AT_SYMLINK_NOFOLLOW);
  std::string sjisDir;
  ASSERT_TRUE(enc::DiskToSjis(dir, sjisDir));
  EXPECT_EQ(FormatFileDate(FileDateOf(sjisDir + Lit("写真.jpg"))), "2010/06/07 08:09:10");
  EXPECT_EQ(FormatFileDate(FileDateOf(sjisDir + "link")), "2012/01/02 03:04:04");
  EXPECT_EQ(FileDateOf(sjisDir + "missing.jpg"), 0);
  EXPECT_EQ(FileDateOf(sjisDir + "*.jpg"), 0);  // taken literally
}

}  // namespace
}  // namespace tonbo
