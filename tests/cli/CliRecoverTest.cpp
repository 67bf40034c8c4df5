// --recover on a journal that this Tonbo cannot read.
#include "CliHarness.h"
#include "common/Folders.h"
#include "core/RunJournal.h"

namespace tonbo::test {
namespace {

using CliRecover = CliFolder;

// A newer Tonbo's journal, otherwise one this Tonbo would act on: a planned
// rename of a to b that was not done.
TEST_F(CliRecover, AJournalOfAnotherFormatIsRefusedAndKept) {
  File("a", "a");
  struct stat st {};
  ASSERT_EQ(stat((dir_ + "a").c_str(), &st), 0);
  const std::string journal = JournalDirDisk() + "20990101-000000.000000-1.journal";
  ASSERT_TRUE(MakeDirs(JournalDirDisk()));
  const std::string text = "tonbo-journal\t2\trun\t\nF\t0\t" + dir_ + "\nP\t0\t0\t" +
                           std::to_string(st.st_dev) + "\t" + std::to_string(st.st_ino) + "\t1\t" +
                           std::to_string(st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec) +
                           "\ta\tb\t\nplanned\n";
  WriteFile(journal, text);
  for (const char* action : {"show", "finish", "rollback"}) {
    const CliRun run = RunTonboCli({"--recover", action});
    EXPECT_EQ(run.code, 1) << action;
    EXPECT_NE(run.err.find("知らない形式（2）"), std::string::npos) << run.err;
  }
  EXPECT_EQ(Disk(), (std::map<std::string, std::string>{{"a", "a"}}));
  EXPECT_EQ(ReadFile(journal), text);
}

}  // namespace
}  // namespace tonbo::test
