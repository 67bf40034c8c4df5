#include "text/BRegExp.h"

#include <gtest/gtest.h>

#include <vector>

#include "common/Sjis.h"

namespace tonbo {
namespace {

using enc::Lit;

// Our engine behind entries that log every call: "compile" when the slot is
// empty, the call with its text, and every release.
std::vector<std::string> calls;

int SpyMatch(const char* command, const char* start, const char* end, TRegexRecord** record,
             char* error) {
  if (!*record) calls.push_back(std::string("compile ") + command);
  calls.push_back("match " + std::string(start, end));
  return BMatch(command, start, end, record, error);
}

int SpySubst(const char* command, const char* start, const char* end, TRegexRecord** record,
             char* error) {
  if (!*record) calls.push_back(std::string("compile ") + command);
  calls.push_back("subst " + std::string(start, end));
  return BSubst(command, start, end, record, error);
}

void SpyRegfree(TRegexRecord* record) {
  calls.push_back(std::string("free ") + record->commandCopy);
  BRegfree(record);
}

class Adaptor : public ::testing::Test {
 protected:
  void SetUp() override { calls.clear(); }
  static TBRegExpEntries Spy() { return {SpyMatch, SpySubst, SpyRegfree}; }
};

using Log = std::vector<std::string>;

TEST_F(Adaptor, SameCommandCompilesOnceAndAnotherReleasesTheOldRecordFirst) {
  {
    TBRegExp re(Spy());
    EXPECT_TRUE(re.Match("m/a/", "a1"));
    EXPECT_FALSE(re.Match("m/a/", "b2"));
    EXPECT_TRUE(re.Match("m/b/", "b3"));
    std::string text = "b4";
    EXPECT_TRUE(re.Subst("s/b/x/", text));
    EXPECT_EQ(text, "x4");
    text = "b5";
    EXPECT_TRUE(re.Subst("s/b/x/", text));
  }
  EXPECT_EQ(calls,
            (Log{"compile m/a/", "match a1", "match b2", "free m/a/", "compile m/b/", "match b3",
                 "free m/b/", "compile s/b/x/", "subst b4", "subst b5", "free s/b/x/"}));
}

TEST_F(Adaptor, OneRecordServesMatchAndSubstOfTheSameCommand) {
  TBRegExp re(Spy());
  std::string text = "ab";
  EXPECT_TRUE(re.Subst("s/b/c/", text));
  EXPECT_TRUE(re.Match("s/b/c/", "b"));
  EXPECT_EQ(calls, (Log{"compile s/b/c/", "subst ab", "match b"}));
}

TEST_F(Adaptor, SubstOnAnEmptyTextDoesNotCallTheLibrary) {
  TBRegExp re(Spy());
  std::string text;
  EXPECT_FALSE(re.Subst("not a command", text));
  EXPECT_FALSE(re.Subst("s/^/x/", text));
  EXPECT_EQ(text, "");
  EXPECT_TRUE(calls.empty());
}

TEST_F(Adaptor, MatchOnAnEmptyTextPassesOneZeroByte) {
  TBRegExp re(Spy());
  EXPECT_TRUE(re.Match("m/^\\x00$/", ""));
  EXPECT_EQ(calls, (Log{"compile m/^\\x00$/", std::string("match \0", 7)}));
}

TEST_F(Adaptor, SubstWithoutMatchLeavesTheText) {
  TBRegExp re;
  std::string text = Lit("写真.jpg");
  EXPECT_FALSE(re.Subst("s/z/y/g", text));
  EXPECT_EQ(text, Lit("写真.jpg"));
}

TEST_F(Adaptor, OneAdaptorRunsOverManyNames) {
  TBRegExp re;
  const std::string command = "s/(\\d+)/No.$1/g";
  std::vector<std::string> names = {Lit("写真1"), Lit("旅行"), Lit("12と34")};
  for (std::string& name : names) re.Subst(command, name);
  EXPECT_EQ(names, (std::vector<std::string>{Lit("写真No.1"), Lit("旅行"), Lit("No.12とNo.34")}));
}

// The message arrives in UTF-8. A failed compile leaves no record, so the
// same command is compiled again; an error in a compiled record keeps it.
TEST_F(Adaptor, LibraryErrorsRaiseWithTheLibrarysText) {
  TBRegExp re(Spy());
  for (int i = 0; i < 2; ++i) {
    try {
      re.Match("m/(a/", "a");
      FAIL() << "no error";
    } catch (const EBRegExpError& e) {
      EXPECT_STREQ(e.what(), "正規表現の誤り：「(」が閉じていません");
    }
  }
  std::string text = "a";
  EXPECT_THROW(re.Subst("m/a/", text), EBRegExpError);
  EXPECT_EQ(text, "a");
  EXPECT_TRUE(re.Match("m/a/", "a"));
  EXPECT_EQ(calls, (Log{"compile m/(a/", "match a", "compile m/(a/", "match a", "compile m/a/",
                        "subst a", "match a"}));
}

TEST_F(Adaptor, RecordIsReleasedWhenARunEndsByAnError) {
  {
    TBRegExp re(Spy());
    EXPECT_THROW(re.Match("m/(a+)+b/", std::string(40, 'a') + "c b"), EBRegExpError);
  }
  EXPECT_EQ(calls.back(), "free m/(a+)+b/");
}

TEST_F(Adaptor, MissingLibraryRefusesInsteadOfCalling) {
  TBRegExp re(TBRegExpEntries{SpyMatch, nullptr, SpyRegfree});
  EXPECT_THROW(re.Match("m/a/", "a"), EBRegExpError);
  std::string text = "a";
  EXPECT_THROW(re.Subst("s/a/b/", text), EBRegExpError);
  text.clear();
  EXPECT_FALSE(re.Subst("s/a/b/", text));
  EXPECT_TRUE(calls.empty());
}

}  // namespace
}  // namespace tonbo
