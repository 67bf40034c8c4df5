#include "commands/ContentText.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <random>
#include <string>
#include <vector>

#include "TestEnv.h"
#include "common/Sjis.h"
#include "common/TextFile.h"
#include "text/StrUnit.h"

namespace tonbo {
namespace {

using test::MakeTempDir;
using test::WriteFile;

// Bytes that meet at the edges a chunked read must get right: line ends, NUL,
// lead bytes (0x82 0x60 is a full-width Ａ, and "A" and "@" are also trail
// bytes), ASCII letters of both cases, and letters in UTF-8 (Ａ ａ 請 Α α).
std::string RandomBytes(std::mt19937& rng, size_t length) {
  static const std::vector<std::string> kTokens = {"a",
                                                   "A",
                                                   "b",
                                                   "B",
                                                   "@",
                                                   "\r",
                                                   "\n",
                                                   "\x82\x60",
                                                   "\x82\x81",
                                                   "\x81",
                                                   "\xE0",
                                                   std::string(1, '\0'),
                                                   "\xEF\xBC\xA1",
                                                   "\xEF\xBD\x81",
                                                   "\xE8\xAB\x8B",
                                                   "\xCE\x91",
                                                   "\xCE\xB1"};
  std::string out;
  while (out.size() < length) {
    out += rng() % 8 == 0 ? std::string(1, static_cast<char>(rng() % 256))
                          : kTokens[rng() % kTokens.size()];
  }
  return out;
}

// The text as a whole-file read gives it: the reference for the chunked one.
std::string Reference(const std::string& bytes, bool lower) {
  const std::string text = ToCrLfLines(bytes);
  return lower ? LowerStr(text) : text;
}

// Keys taken from the text, random bytes, or letters typed by the user (in
// code page 932, as the list holds them).
std::string KeyFrom(std::mt19937& rng, const std::string& text) {
  static const char* const kTyped[] = {"Ａ", "ａ", "請", "Α", "α", "a", "A", "請求"};
  switch (rng() % 4) {
    case 0:
      return RandomBytes(rng, 1 + rng() % 3);
    case 1:
      return enc::Lit(std::string(kTyped[rng() % 8]) + kTyped[rng() % 8]);
    default:
      if (text.empty()) return "a";
      return text.substr(rng() % text.size(), 1 + rng() % 6);
  }
}

// Whether p starts a UTF-8 character by the plain definition: a byte that
// starts a sequence always does; other bytes after ASCII or a whole character.
bool StartsUtf8Char(const std::string& t, size_t p) {
  if (static_cast<unsigned char>(t[p]) >= 0xC0) return true;
  if (p == 0 || static_cast<unsigned char>(t[p - 1]) < 0x80) return true;
  for (size_t n = 2; n <= 4 && n <= p; ++n) {
    const std::string ch = t.substr(p - n, n);
    bool one = static_cast<unsigned char>(ch[0]) >= 0xC0 && content::IsUtf8(ch, false);
    for (size_t k = 1; k < n; ++k) one = one && (static_cast<unsigned char>(ch[k]) & 0xC0) == 0x80;
    if (one) return true;
  }
  return false;
}

// The search as the user sees it, written out position by position: the key
// by characters in the (lower-cased) text, or in UTF-8 at a UTF-8 character
// whose letters match in either case.
bool NaiveContains(const std::string& key, const std::string& text, bool lower) {
  if (PosFrom(key, lower ? LowerStr(text) : text, 1) != 0) return true;
  const std::string key8 = enc::SjisToDisk(key);
  const std::string upper8 = lower ? enc::SjisToDisk(UpperStr(key)) : key8;
  if (key8.empty() || !content::IsUtf8(key8, false) || upper8.size() != key8.size()) return false;
  for (size_t p = 0; p + key8.size() <= text.size(); ++p) {
    if (!StartsUtf8Char(text, p)) continue;
    bool same = true;
    for (size_t k = 0; k < key8.size() && same;) {
      const auto c = static_cast<unsigned char>(key8[k]);
      const size_t n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
      same = text.compare(p + k, n, key8, k, n) == 0 || text.compare(p + k, n, upper8, k, n) == 0;
      k += n;
    }
    if (same) return true;
  }
  return false;
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
        ASSERT_EQ(reader.ReadWhole(path, lower), Reference(bytes, lower)) << "chunk " << chunk;
        const std::string text = ToCrLfLines(bytes);
        for (int k = 0; k < 6; ++k) {
          const std::string key = lower ? LowerStr(KeyFrom(rng, text)) : KeyFrom(rng, text);
          ASSERT_EQ(reader.Contains(path, key, lower), NaiveContains(key, text, lower))
              << "chunk " << chunk << " key " << testing::PrintToString(key) << " text "
              << testing::PrintToString(text) << " lower " << lower;
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
