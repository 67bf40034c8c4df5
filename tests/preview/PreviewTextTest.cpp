#include <gtest/gtest.h>

#include "preview/PreviewText.h"

namespace tonbo::preview {
namespace {

std::string RoundTrip(const DecodedText& d) {
  std::string out;
  EXPECT_TRUE(EncodeTextFile(d.text, d.form, out));
  return out;
}

TEST(PreviewTextTest, Utf8FilesKeepEncodingAndLineEnds) {
  for (const char* bytes : {"a\nb\n", "a\r\nb", "\xE5\x86\x99\xE7\x9C\x9F\rx", ""}) {
    const DecodedText d = DecodeTextFile(bytes);
    EXPECT_EQ(d.form.encoding, TextEncoding::Utf8) << bytes;
    EXPECT_TRUE(d.form.lossless) << bytes;
    EXPECT_EQ(RoundTrip(d), bytes);
  }
  EXPECT_EQ(DecodeTextFile("a\r\nb").text, QStringLiteral("a\nb"));
}

TEST(PreviewTextTest, OtherFilesAreReadAsCodePage932) {
  const std::string sjis = "\x8E\xCA\x90\x5E\r\n\\~";  // 写真, CR LF, backslash, tilde
  const DecodedText d = DecodeTextFile(sjis);
  EXPECT_EQ(d.form.encoding, TextEncoding::Cp932);
  EXPECT_EQ(d.form.lineEnd, "\r\n");
  EXPECT_TRUE(d.form.lossless);
  EXPECT_EQ(d.text, QStringLiteral("写真\n\\~"));
  EXPECT_EQ(RoundTrip(d), sjis);
}

TEST(PreviewTextTest, TextThatWouldNotGiveTheFileBackIsMarkedLossy) {
  // A binary file, a NUL, mixed line ends.
  EXPECT_FALSE(DecodeTextFile(std::string("\x89PNG\r\n\x1A\n\x00\x00\xFF\xFF", 12)).form.lossless);
  EXPECT_FALSE(DecodeTextFile(std::string("a\0b", 3)).form.lossless);
  EXPECT_FALSE(DecodeTextFile("a\r\nb\nc").form.lossless);
}

TEST(PreviewTextTest, CharactersWithoutCodeInTheFileEncodingRefuse) {
  TextForm form;
  form.encoding = TextEncoding::Cp932;
  form.lineEnd = "\r\n";
  std::string out;
  EXPECT_FALSE(EncodeTextFile(QStringLiteral("é"), form, out));
  EXPECT_TRUE(EncodeTextFile(QStringLiteral("写真\n"), form, out));
  EXPECT_EQ(out, "\x8E\xCA\x90\x5E\r\n");
}

}  // namespace
}  // namespace tonbo::preview
