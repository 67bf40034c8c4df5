#include <gtest/gtest.h>

#include <sys/stat.h>

#include "Pictures.h"
#include "TestEnv.h"
#include "preview/imaging/Codecs.h"

namespace tonbo::img {
namespace {

using test::Numbered;
using F = PictureFormat;

TEST(PictureFileTest, FormatFollowsTheExtensionInAnyCase) {
  const std::pair<const char*, F> cases[] = {
      {".jpg", F::Jpeg},    {".JPEG", F::Jpeg}, {".Png", F::Png},
      {".bmp", F::Bmp},     {".ICO", F::Ico},   {".jp", F::Unknown},
      {".gif", F::Unknown}, {"", F::Unknown},   {"jpg", F::Unknown}};
  for (auto [ext, format] : cases) EXPECT_EQ(FormatFromExtension(ext), format) << ext;
}

TEST(PictureFileTest, SavesAndLoadsEveryWritableFormat) {
  const std::string dir = tonbo::test::MakeTempDir("pic");
  const Bitmap picture = Numbered(9, 7);
  for (F format : {F::Bmp, F::Png, F::Jpeg}) {
    const std::string path = dir + "p" + std::to_string(int(format));
    ASSERT_TRUE(SavePicture(picture, path, format).Ok());
    const DecodeResult back = LoadPicture(path, format);
    ASSERT_TRUE(back.Ok()) << Describe(back.error);
    if (format != F::Jpeg) {
      EXPECT_EQ(back.bitmap, picture);
    }
    EXPECT_EQ(back.bitmap.Width(), 9);
  }
}

TEST(PictureFileTest, ReportsFileProblems) {
  const std::string dir = tonbo::test::MakeTempDir("pic");
  tonbo::test::WriteFile(dir + "empty.png", "");
  EXPECT_EQ(LoadPicture(dir + "missing.png", F::Png).error, ImageError::CannotRead);
  EXPECT_EQ(LoadPicture(dir, F::Png).error, ImageError::CannotRead);
  EXPECT_EQ(LoadPicture(dir + "empty.png", F::Png).error, ImageError::EmptyFile);
  EXPECT_EQ(LoadPicture(dir + "empty.png", F::Unknown).error, ImageError::UnknownFormat);
  EXPECT_EQ(SavePicture(Numbered(2, 2), dir + "no/such/folder.png", F::Png).error,
            ImageError::CannotWrite);
  EXPECT_EQ(SavePicture(Numbered(2, 2), dir + "x.ico", F::Ico).error, ImageError::UnknownFormat);
}

TEST(PictureFileTest, FailedEncodingLeavesTheFileAlone) {
  const std::string path = tonbo::test::MakeTempDir("pic") + "keep.bmp";
  tonbo::test::WriteFile(path, "old");
  EXPECT_FALSE(SavePicture(Bitmap{}, path, F::Bmp).Ok());
  EXPECT_EQ(tonbo::test::ReadFile(path), "old");
}

}  // namespace
}  // namespace tonbo::img
