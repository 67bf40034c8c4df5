#include "pattern/commands/ContentText.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <random>
#include <string>

#include "TestEnv.h"
#include "common/TextFile.h"
#include "naming/StrUnit.h"

namespace tonbo {
namespace {

using test::MakeTempDir;
using test::WriteFile;

// Bytes that meet at the edges a chunked read must get right: line ends, NUL,
// lead bytes (0x82 0x60 is a full-width Ａ, and "A" and "@" are also trail
// bytes), ASCII letters of both cases.
std::string RandomBytes(std::mt19937& rng, size_t length) {
  static const std::string kBytes = std::string("aAbB@\r\n\x82\x60\x81\xE0", 11) + '\0';
  std::string out;
  for (size_t i = 0; i < length; ++i) {
    out += rng() % 8 == 0 ? static_cast<char>(rng() % 256) : kBytes[rng() % kBytes.size()];
  }
  return out;
}

// The text as a whole-file read gives it: the reference for the chunked one.
std::string Reference(const std::string& bytes, bool lower) {
  const std::string text = ToCrLfLines(bytes);
  return lower ? LowerStr(text) : text;
}

std::string KeyFrom(std::mt19937& rng, const std::string& text) {
  if (text.empty() || rng() % 4 == 0) return RandomBytes(rng, 1 + rng() % 3);
  const size_t at = rng() % text.size();
  return text.substr(at, 1 + rng() % 6);
}

TEST(ContentText, ChunkedReadingAgreesWithTheWholeTextAtEveryChunkSize) {
  const std::string path = MakeTempDir("content") + "f";
  std::mt19937 rng(5);
  for (const size_t chunk : {1, 2, 3, 5, 8, 1 << 20}) {
    TContentReader reader(chunk);
    for (int round = 0; round < 150; ++round) {
      const std::string bytes = RandomBytes(rng, rng() % 40);
      WriteFile(path, bytes);
      for (const bool lower : {false, true}) {
        const std::string text = Reference(bytes, lower);
        ASSERT_EQ(reader.ReadWhole(path, lower), text) << "chunk " << chunk;
        for (int k = 0; k < 6; ++k) {
          const std::string key = lower ? LowerStr(KeyFrom(rng, text)) : KeyFrom(rng, text);
          ASSERT_EQ(reader.Contains(path, key, lower), PosFrom(key, text, 1) != 0)
              << "chunk " << chunk << " key " << testing::PrintToString(key) << " text "
              << testing::PrintToString(text);
        }
      }
    }
  }
}

TEST(ContentText, LinesEndInCrLfAndOtherBytesStay) {
  const std::string path = MakeTempDir("content") + "f";
  TContentReader reader(2);
  const std::pair<std::string, std::string> cases[] = {
      {"", ""},
      {"abc", "abc\r\n"},
      {"a\nb\rc\r\nd\n", "a\r\nb\r\nc\r\nd\r\n"},
      {"a\r\r\nb", "a\r\n\r\nb\r\n"},
      {std::string("P\0K\x03\xFF", 5), std::string("P\0K\x03\xFF\r\n", 7)},
  };
  for (const auto& [bytes, text] : cases) {
    WriteFile(path, bytes);
    EXPECT_EQ(reader.ReadWhole(path, false), text) << testing::PrintToString(bytes);
  }
}

TEST(ContentText, KeyCrossingAChunkIsFoundBeyondTheWholeTextLimit) {
  const std::string path = MakeTempDir("content") + "big";
  std::string bytes(3 * TContentReader::kChunkSize, 'x');
  bytes.replace(2 * TContentReader::kChunkSize - 2, 6, "NEEDLE");
  WriteFile(path, bytes);
  TContentReader reader;
  EXPECT_TRUE(reader.Contains(path, "needle", true));
  EXPECT_FALSE(reader.Contains(path, "needle", false));
  // Masks and expressions see the file only up to their limit.
  EXPECT_EQ(reader.ReadWhole(path, false, 5), "xxxxx\r\n");
  const std::string& head = reader.ReadWhole(path, true, 2 * TContentReader::kChunkSize);
  EXPECT_EQ(head.substr(head.size() - 4), "ne\r\n");
}

TEST(ContentText, WhatCannotBeReadIsTheEmptyText) {
  const std::string dir = MakeTempDir("content");
  WriteFile(dir + "real", "key");
  ASSERT_EQ(mkfifo((dir + "pipe").c_str(), 0600), 0);
  TContentReader reader;
  for (const std::string name : {"missing", "", "pipe"}) {
    // A text read before must not show through.
    ASSERT_EQ(reader.ReadWhole(dir + "real", false), "key\r\n");
    EXPECT_EQ(reader.ReadWhole(dir + name, false), "") << name;
    EXPECT_FALSE(reader.Contains(dir + name, "k", false)) << name;
  }
}

}  // namespace
}  // namespace tonbo
