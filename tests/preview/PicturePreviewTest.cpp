#include <gtest/gtest.h>

#include <dirent.h>
#include <unistd.h>

#include <sys/stat.h>
#include <algorithm>
#include <chrono>
#include <thread>

#include <exiv2/exiv2.hpp>

#include "Pictures.h"
#include "TestEnv.h"
#include "preview/PictureAhead.h"
#include "preview/PicturePreview.h"

namespace tonbo::preview {
namespace {

using img::PictureFormat;

std::vector<std::string> Names(const std::string& dir) {
  std::vector<std::string> names;
  DIR* d = opendir(dir.c_str());
  while (dirent* e = readdir(d))
    if (e->d_name[0] != '.' || (e->d_name[1] && e->d_name[1] != '.')) names.push_back(e->d_name);
  closedir(d);
  std::sort(names.begin(), names.end());
  return names;
}

img::Bitmap Plain(int w, int h) {
  img::Bitmap b;
  b.Reset(w, h);
  b.Fill({10, 200, 90});
  return b;
}

TEST(PicturePreviewTest, LargeJpegIsDecodedReducedForTheViewAndWholeOnDemand) {
  const std::string path = test::MakeTempDir("pp") + "big.jpg";
  ASSERT_TRUE(img::SavePicture(Plain(1600, 1200), path, PictureFormat::Jpeg).Ok());
  PicturePreview p;
  ASSERT_TRUE(p.Load(path, PictureFormat::Jpeg, 200, 200).Ok());
  EXPECT_TRUE(p.Reduced());
  EXPECT_EQ(p.Full().Width(), 200);  // 1/8 still covers 200 × 150
  EXPECT_EQ(p.Width(), 1600);
  const img::Bitmap fitted = p.Fit(200, 200, true);
  EXPECT_EQ(fitted.Width(), 200);
  EXPECT_EQ(fitted.Height(), 150);
  EXPECT_TRUE(p.TooSmallFor(800, 600));
  ASSERT_TRUE(p.Redecode(800, 600));
  EXPECT_EQ(p.Full().Width(), 800);  // 4/8
  ASSERT_TRUE(p.EnsureFull());
  EXPECT_FALSE(p.Reduced());
  EXPECT_EQ(p.Full().Width(), 1600);
  // Without a view size the whole picture comes at once.
  ASSERT_TRUE(p.Load(path, PictureFormat::Jpeg, 0, 0).Ok());
  EXPECT_FALSE(p.Reduced());
}

// What was read ahead is what Load gives, once, for the same file and view;
// a file saved over meanwhile never shows its old picture.
TEST(PicturePreviewTest, PictureReadAheadOnlyStandsInForTheSameUnchangedFile) {
  const std::string path = test::MakeTempDir("ahead") + "a.jpg";
  ASSERT_TRUE(img::SavePicture(Plain(1600, 1200), path, PictureFormat::Jpeg).Ok());
  PicturePreview loaded, adopted;
  ASSERT_TRUE(loaded.Load(path, PictureFormat::Jpeg, 200, 200).Ok());
  PictureAhead ahead;
  ahead.Start(path, PictureFormat::Jpeg, 200, 200);
  auto taken = ahead.Take(path, PictureFormat::Jpeg, 200, 200);
  ASSERT_TRUE(taken);
  adopted.Adopt(path, PictureFormat::Jpeg, std::move(*taken));
  EXPECT_TRUE(adopted.Reduced());
  EXPECT_EQ(adopted.Width(), 1600);
  EXPECT_TRUE(adopted.Full() == loaded.Full());
  EXPECT_FALSE(ahead.Take(path, PictureFormat::Jpeg, 200, 200));
  ahead.Start(path, PictureFormat::Jpeg, 200, 200);
  EXPECT_FALSE(ahead.Take(path, PictureFormat::Jpeg, 400, 300));
  ahead.Start(path, PictureFormat::Jpeg, 200, 200);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  ASSERT_TRUE(img::SavePicture(Plain(800, 600), path, PictureFormat::Jpeg).Ok());
  taken = ahead.Take(path, PictureFormat::Jpeg, 200, 200);
  EXPECT_TRUE(!taken || taken->result.fullWidth == 800);
}

TEST(PicturePreviewTest, FitKeepsTheRatioAndEnlargesSmallPictures) {
  const std::string path = test::MakeTempDir("pp") + "icon.png";
  ASSERT_TRUE(img::SavePicture(Plain(16, 16), path, PictureFormat::Png).Ok());
  PicturePreview p;
  ASSERT_TRUE(p.Load(path, PictureFormat::Png, 300, 200).Ok());
  EXPECT_FALSE(p.Reduced());
  const img::Bitmap fitted = p.Fit(300, 200, false);
  EXPECT_EQ(fitted.Width(), 200);
  EXPECT_EQ(fitted.Height(), 200);
  EXPECT_EQ(fitted.Pixel(199, 199), (img::Bgr{10, 200, 90}));
  EXPECT_TRUE(PicturePreview().Fit(300, 200, true).Empty());
}

TEST(PicturePreviewTest, SavingReplacesThroughARenameAndKeepsPermissions) {
  const std::string dir = test::MakeTempDir("pp");
  const std::string path = dir + "p.png";
  ASSERT_TRUE(img::SavePicture(Plain(2, 2), path, PictureFormat::Png).Ok());
  ASSERT_EQ(chmod(path.c_str(), 0640), 0);
  ASSERT_TRUE(img::SavePicture(Plain(3, 3), path, PictureFormat::Png).Ok());
  struct stat info {};
  ASSERT_EQ(stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
  EXPECT_EQ(Names(dir), std::vector<std::string>{"p.png"});
  // A folder that cannot be written: the old picture stays whole.
  const std::string before = test::ReadFile(path);
  ASSERT_EQ(chmod(dir.c_str(), 0500), 0);
  const bool root = access(dir.c_str(), W_OK) == 0;
  const img::SaveResult refused = img::SavePicture(Plain(5, 5), path, PictureFormat::Png);
  chmod(dir.c_str(), 0700);
  if (!root) {
    EXPECT_EQ(refused.error, img::ImageError::CannotWrite);
    EXPECT_EQ(test::ReadFile(path), before);
    EXPECT_EQ(Names(dir), std::vector<std::string>{"p.png"});
  }
}

// Each Exif orientation shows the picture upright: where the source's pixels
// (x in blue, y in green) land at the first two places of the top row.
TEST(PicturePreviewTest, ExifOrientationTurnsThePictureUpright) {
  const std::string path = test::MakeTempDir("pp") + "turned.png";
  const int firstTwo[9][4] = {{},           {0, 0, 1, 0}, {2, 0, 1, 0}, {2, 1, 1, 1}, {0, 1, 1, 1},
                              {0, 0, 0, 1}, {0, 1, 0, 0}, {2, 1, 2, 0}, {2, 0, 2, 1}};
  for (int orientation = 1; orientation <= 8; ++orientation) {
    ASSERT_TRUE(img::SavePicture(img::test::Numbered(3, 2), path, PictureFormat::Png).Ok());
    auto image = Exiv2::ImageFactory::open(path);
    image->readMetadata();
    image->exifData()["Exif.Image.Orientation"] = uint16_t(orientation);
    image->writeMetadata();
    PicturePreview p;
    ASSERT_TRUE(p.Load(path, PictureFormat::Png, 0, 0).Ok());
    const bool quarter = orientation >= 5;
    EXPECT_EQ(p.Width(), quarter ? 2 : 3) << orientation;
    EXPECT_EQ(p.Full().Height(), quarter ? 3 : 2) << orientation;
    const auto& e = firstTwo[orientation];
    EXPECT_EQ(p.Full().Pixel(0, 0).b * 10 + p.Full().Pixel(0, 0).g, e[0] * 10 + e[1])
        << orientation;
    EXPECT_EQ(p.Full().Pixel(1, 0).b * 10 + p.Full().Pixel(1, 0).g, e[2] * 10 + e[3])
        << orientation;
  }
}

}  // namespace
}  // namespace tonbo::preview
