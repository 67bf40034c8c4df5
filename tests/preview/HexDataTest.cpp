#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include "TestEnv.h"
#include "preview/HexData.h"

namespace tonbo::preview {
namespace {

std::vector<uint8_t> Bytes(std::string_view s) { return {s.begin(), s.end()}; }

std::string Joined(const std::vector<std::string>& cells) {
  std::string out;
  for (const auto& c : cells) out += c.empty() ? "_" : c;
  return out;
}

TEST(HexDataTest, TextColumnInEachCharacterSet) {
  EXPECT_EQ(Joined(TextCells({}, Bytes("A\x01\x8E\xCA"), CharSet::Ascii)), "A...");
  EXPECT_EQ(Joined(TextCells({}, Bytes("A\x8E\xCA\xB1"), CharSet::ShiftJis)), "A写_ｱ");
  EXPECT_EQ(Joined(TextCells({}, Bytes("A\xBC\xCC"), CharSet::Euc)), "A写_");
  EXPECT_EQ(Joined(TextCells({}, Bytes("\x1B$B<L\x1B(BA"), CharSet::Jis)), "...写_...A");
  EXPECT_EQ(
      Joined(TextCells({}, Bytes(std::string_view("A\0\x99\x51\x01\0", 6)), CharSet::Unicode)),
      "A_写_._");
}

TEST(HexDataTest, ContextBeforeTheLineKeepsCharactersAndShiftStates) {
  // A character split by the line end shows at the end of its line, not on the next.
  EXPECT_EQ(Joined(TextCells(Bytes("\x8E"),
                             Bytes("\xCA"
                                   "A"),
                             CharSet::ShiftJis)),
            "_A");
  EXPECT_EQ(Joined(TextCells({}, Bytes("A\x8E"), CharSet::ShiftJis, Bytes("\xCA"))), "A写");
  // A JIS kanji shift begun on the previous line still holds.
  EXPECT_EQ(Joined(TextCells(Bytes("\x1B$B"), Bytes("<L"), CharSet::Jis)), "写_");
}

TEST(HexDataTest, OffsetAndHexTexts) {
  EXPECT_EQ(OffsetText(0x1F0), "000001F0");
  EXPECT_EQ(OffsetText(uint64_t{1} << 32), "100000000");
  EXPECT_EQ(HexText(Bytes("AB\xFF")), "41 42 FF");
}

TEST(HexDataTest, MapsAFourGigabyteFileWithoutReadingIt) {
  const std::string path = test::MakeTempDir("hex") + "big.bin";
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT, 0644);
  ASSERT_GE(fd, 0);
  const uint64_t size = (uint64_t{4} << 30) + 3;
  ASSERT_EQ(ftruncate(fd, static_cast<off_t>(size)), 0);
  ASSERT_EQ(pwrite(fd, "XYZ", 3, static_cast<off_t>(size - 3)), 3);
  close(fd);
  MappedFile file;
  ASSERT_TRUE(file.Open(path));
  EXPECT_EQ(file.Size(), size);
  EXPECT_EQ(file.Read(size - 3, 16), Bytes("XYZ"));
  EXPECT_EQ(file.Read(0, 2), std::vector<uint8_t>(2, 0));
  EXPECT_TRUE(file.Read(size, 1).empty());
  EXPECT_FALSE(MappedFile().Open(path + ".missing"));
}

}  // namespace
}  // namespace tonbo::preview
