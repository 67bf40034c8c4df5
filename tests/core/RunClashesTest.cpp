// Clashes found before a run, on a real folder: every kind, none for rows
// that wait for each other, and the run itself then leaves exactly the rows
// that were marked.
#include <unistd.h>

#include <cstdio>

#include <sys/stat.h>

#include "TestEnv.h"
#include "core/RenameExecutor.h"
#include "core/RunClashes.h"

namespace tonbo {
namespace {

struct Case {
  std::string from, to;
  Clash onDisk, inMemory;
};

TEST(RunClashes, EveryKindIsMarkedAndTheRunLeavesExactlyThoseRows) {
  const std::string dir = test::MakeTempDir("clash");
  const long max = pathconf(dir.c_str(), _PC_NAME_MAX);
  const std::string longest(static_cast<size_t>(max), 'n');
  const Clash N = Clash::None;
  const std::vector<Case> cases = {
      {"a", "b", N, N},  // a chain: b → c → d
      {"b", "c", N, N},
      {"c", "d", N, N},
      {"x", "y", N, N},  // a swap
      {"y", "x", N, N},
      {"r1", "r2", N, N},  // a ring of three
      {"r2", "r3", N, N},
      {"r3", "r1", N, N},
      {"p", "same", N, N},
      {"q", "same", Clash::SameAsRow, Clash::SameAsRow},
      {"s", "t/u", Clash::Refused, Clash::Refused},
      {"fit", longest, N, N},
      {"long", longest + "n", Clash::TooLong, max == 255 ? Clash::TooLong : N},
      {"k", "stay", Clash::FileThere, N},  // a file not listed
      {"m", "kept", Clash::FileThere, N},  // a listed file that keeps its name
      {"kept", "kept", N, N},
      {"f", "sub", Clash::FolderThere, N},
      {"w", "k", Clash::FileThere, N},  // waits for k, which stays
      {"g", "g2", Clash::Missing, N},   // gone since it was listed
      {"h", "h2", Clash::Replaced, N},  // another file in its place
  };
  TCsvDb table;
  for (const Case& c : cases) {
    test::WriteFile(dir + c.from, c.from);
    const int row = table.RowCount();
    table.SetCell(colNewName, row, c.to);
    table.SetCell(colPath, row, dir + c.from);
  }
  // Enough files that keep their names for the folder to be listed once.
  for (int i = 0; i < 64; ++i) {
    const std::string pad = "pad" + std::to_string(i);
    test::WriteFile(dir + pad, "");
    table.SetCell(colNewName, table.RowCount(), pad);
    table.SetCell(colPath, table.RowCount() - 1, dir + pad);
  }
  test::WriteFile(dir + "stay", "stay");
  mkdir((dir + "sub").c_str(), 0755);
  SeenFiles seen;
  CheckClashesOnDisk(table, &seen);  // the files as they were listed
  unlink((dir + "g").c_str());
  test::WriteFile(dir + "h.new", "other h");
  rename((dir + "h.new").c_str(), (dir + "h").c_str());

  const ClashCheck disk = CheckClashesOnDisk(table, &seen);
  const ClashCheck memory = CheckClashes(table);
  ASSERT_EQ(disk.changed.size(), cases.size() - 1);
  ASSERT_EQ(memory.changed.size(), cases.size() - 1);
  for (size_t i = 0; i < disk.changed.size(); ++i) {
    const Case& c = cases[static_cast<size_t>(disk.changed[i].row)];
    EXPECT_EQ(disk.changed[i].clash, c.onDisk) << c.from << " → " << c.to;
    EXPECT_EQ(memory.changed[i].clash, c.inMemory) << c.from << " → " << c.to;
  }
  EXPECT_EQ(disk.clashes, 9);
  EXPECT_EQ(ClashText(table, disk.changed[9]), "（「p」と同じ名前になります）");
  EXPECT_EQ(ClashText(table, disk.changed[12]), "（名前が長すぎます）");

  // The run, skipping every same-name question: a marked row keeps its
  // name (the replaced file aside, which the run would take as it is now).
  RenameExecutor executor([](const std::string&) {
    return ConflictAnswer{ConflictButton::OkAll, ConflictMethod::Skip};
  });
  executor.SetJournalDir("");
  executor.Run(table);
  for (const Case& c : cases) {
    if (c.from == c.to || c.onDisk == Clash::Missing) continue;
    const bool renamed = c.onDisk == N || c.onDisk == Clash::Replaced;
    const std::string there = renamed ? c.to : c.from;
    EXPECT_EQ(test::ReadFile(dir + there), c.from == "h" ? "other h" : c.from) << c.from;
  }
}

}  // namespace
}  // namespace tonbo
