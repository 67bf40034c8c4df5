#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "RecordingLauncher.h"
#include "TestEnv.h"
#include "desktop/SendTo.h"
#include "desktop/ShortcutFiles.h"

namespace tonbo::shell {
namespace {

using test::MakeTempDir;
using test::WriteFile;

void MakeExecutable(const std::string& path, const std::string& text) {
  WriteFile(path, text);
  chmod(path.c_str(), 0755);
}

std::vector<std::string> Captions(const std::vector<SendToEntry>& entries) {
  std::vector<std::string> out;
  for (const auto& e : entries) out.push_back(e.caption);
  return out;
}

TEST(SendToTest, EntriesOfEveryFolderSortedWithoutCase) {
  const std::string dir = MakeTempDir("sendto");
  mkdir((dir + "more").c_str(), 0755);
  WriteFile(dir + "beta.sh", "");
  WriteFile(dir + "Alpha", "");
  WriteFile(dir + "more/gamma.desktop", "[Desktop Entry]\nIcon=gimp\nExec=gimp %U\n");
  WriteFile(dir + "Zeta", "");
  auto entries = ReadSendToEntries(dir);
  ASSERT_EQ(entries.size(), 4u);
  EXPECT_EQ(entries[0].path, dir + "Alpha");
  EXPECT_EQ(entries[1].path, dir + "beta.sh");
  EXPECT_EQ(entries[2].path, dir + "more/gamma.desktop");
  EXPECT_EQ(entries[3].path, dir + "Zeta");
  EXPECT_EQ(Captions(entries), (std::vector<std::string>{"Alpha", "beta", "gamma", "Zeta"}));
  EXPECT_EQ(entries[2].icon, "gimp");
  EXPECT_TRUE(ReadSendToEntries(dir + "missing/").empty());
}

TEST(SendToTest, ProgramsAndDesktopEntriesReceiveTheFiles) {
  const std::string dir = MakeTempDir("send");
  MakeExecutable(dir + "prog", "#!/bin/sh\n");
  WriteFile(dir + "all.desktop",
            "[Desktop Entry]\nType=Application\nExec=viewer --all %F\nPath=/w\n");
  WriteFile(dir + "one.desktop", "[Desktop Entry]\nType=Application\nExec=\"/opt/ed it\" %f\n");
  WriteFile(dir + "note.txt", "not a program");
  const std::vector<std::string> files{"/d/a b.txt", "/d/c.txt"};

  test::RecordingLauncher launcher;
  EXPECT_EQ(SendFilesTo(dir + "prog", files), SendToResult::Started);
  EXPECT_EQ(SendFilesTo(dir + "all.desktop", files), SendToResult::Started);
  EXPECT_EQ(SendFilesTo(dir + "one.desktop", files), SendToResult::Started);
  EXPECT_EQ(SendFilesTo(dir + "note.txt", files), SendToResult::NotRunnable);
  ASSERT_EQ(launcher.started.size(), 4u);
  EXPECT_EQ(launcher.started[0].program.toStdString(), dir + "prog");
  EXPECT_EQ(launcher.started[0].arguments, (QStringList{"/d/a b.txt", "/d/c.txt"}));
  EXPECT_EQ(launcher.started[1].program, "viewer");
  EXPECT_EQ(launcher.started[1].arguments, (QStringList{"--all", "/d/a b.txt", "/d/c.txt"}));
  EXPECT_EQ(launcher.started[1].folder, "/w");
  // An entry that takes one file runs once per file.
  EXPECT_EQ(launcher.started[2].program, "/opt/ed it");
  EXPECT_EQ(launcher.started[2].arguments, QStringList{"/d/a b.txt"});
  EXPECT_EQ(launcher.started[3].arguments, QStringList{"/d/c.txt"});
  launcher.answer = false;
  EXPECT_EQ(SendFilesTo(dir + "prog", files), SendToResult::NotStarted);
}

TEST(SendToTest, ARealScriptGetsEveryPathWhole) {
  const std::string dir = MakeTempDir("real");
  const std::string out = dir + "args.txt";
  MakeExecutable(dir + "record", "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" +
                                     out + ".part'\nmv '" + out + ".part' '" + out + "'\n");
  // The send-to folder holds a shortcut to it, as registering writes one.
  ASSERT_TRUE(CreateShortcut(dir + "to record", dir + "record", "", dir));
  const std::vector<std::string> files{dir + "my photo.jpg", dir + "a  \"b\" 'c'.txt"};
  ASSERT_EQ(SendFilesTo(dir + "to record", files), SendToResult::Started);
  for (int i = 0; i < 500 && access(out.c_str(), F_OK) != 0; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_EQ(test::ReadFile(out), files[0] + "\n" + files[1] + "\n");
}

}  // namespace
}  // namespace tonbo::shell
