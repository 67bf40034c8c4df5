#include "common/FileRead.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>

#include <cstdio>

#include "TestEnv.h"
#include "common/TextFile.h"

namespace tonbo {
namespace {

// Every kind of entry a path may name, read with a limit of five bytes: only
// a regular file within the limit is read; nothing waits, nothing is read
// without end, and a refusal leaves the bytes as they were.
TEST(FileRead, OnlyARegularFileWithinTheLimitIsRead) {
  const std::string dir = test::MakeTempDir("read");
  test::WriteFile(dir + "small", "12345");
  test::WriteFile(dir + "large", "123456");
  ASSERT_EQ(mkdir((dir + "folder").c_str(), 0700), 0);
  test::FifoTrap fifo(dir + "fifo");
  ASSERT_EQ(symlink((dir + "fifo").c_str(), (dir + "fifolink").c_str()), 0);
  ASSERT_EQ(symlink("/dev/zero", (dir + "zero").c_str()), 0);
  const int sock = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::snprintf(address.sun_path, sizeof address.sun_path, "%s", (dir + "socket").c_str());
  ASSERT_EQ(bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  const struct {
    const char* name;
    int error;
    FileKind kind;
  } cases[] = {{"small", 0, FileKind::Regular},
               {"large", EFBIG, FileKind::Regular},
               {"folder", EISDIR, FileKind::Folder},
               {"fifo", kNotRegularFile, FileKind::Pipe},
               {"fifolink", kNotRegularFile, FileKind::Pipe},
               {"zero", kNotRegularFile, FileKind::Device},
               {"socket", kNotRegularFile, FileKind::Socket},
               {"missing", ENOENT, FileKind::Missing}};
  for (const auto& c : cases) {
    std::string bytes = "before";
    int err = 0;
    EXPECT_EQ(ReadWholeFile(dir + c.name, bytes, &err, 5), c.error == 0) << c.name;
    EXPECT_EQ(err, c.error) << c.name;
    EXPECT_EQ(bytes, c.error ? "before" : "12345") << c.name;
    EXPECT_EQ(KindOf(dir + c.name), c.kind) << c.name;
  }
  close(sock);
  EXPECT_FALSE(fifo.Caught());
  EXPECT_EQ(ReadErrorText(EFBIG, std::uint64_t{16} << 20),
            "16 MB を超えるファイルは読み込みません");
}

}  // namespace
}  // namespace tonbo
