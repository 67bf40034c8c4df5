#include "windows/QImageBridge.h"

#include <gtest/gtest.h>

#include "Pictures.h"

namespace tonbo::img {
namespace {

using test::MakeBitmap;
using test::Numbered;

TEST(QImageBridgeTest, ToQImageTakesThePixelsWithoutCopying) {
  Bitmap b = Numbered(5, 3);
  const Bitmap copy = b;
  const uint8_t* pixels = b.Data();
  const QImage image = ToQImage(std::move(b));
  EXPECT_TRUE(b.Empty());
  EXPECT_EQ(image.constBits(), pixels);
  EXPECT_EQ(image.pixel(4, 2), qRgb(copy.Pixel(4, 2).r, copy.Pixel(4, 2).g, copy.Pixel(4, 2).b));
  EXPECT_EQ(FromQImage(image), copy);
}

TEST(QImageBridgeTest, ViewSharesTheBitmapMemory) {
  Bitmap b = Numbered(3, 2);
  const QImage view = ViewAsQImage(b);
  b.SetPixel(1, 1, {1, 2, 3});
  EXPECT_EQ(view.pixel(1, 1), qRgb(3, 2, 1));
}

TEST(QImageBridgeTest, FromQImageConvertsAnyFormatOverTheBackground) {
  QImage rgb32(2, 1, QImage::Format_RGB32);
  rgb32.setPixel(0, 0, qRgb(10, 20, 30));
  rgb32.setPixel(1, 0, qRgb(40, 50, 60));
  EXPECT_EQ(FromQImage(rgb32), MakeBitmap(2, 1, {{30, 20, 10}, {60, 50, 40}}));

  QImage argb(2, 1, QImage::Format_ARGB32);
  argb.setPixel(0, 0, qRgba(10, 20, 30, 255));
  argb.setPixel(1, 0, qRgba(0, 0, 0, 0));
  EXPECT_EQ(FromQImage(argb, qRgb(1, 2, 3)), MakeBitmap(2, 1, {{30, 20, 10}, {3, 2, 1}}));

  QImage indexed(1, 1, QImage::Format_Indexed8);
  indexed.setColorTable({qRgb(7, 8, 9)});
  indexed.setPixel(0, 0, 0);
  EXPECT_EQ(FromQImage(indexed), MakeBitmap(1, 1, {{9, 8, 7}}));
  EXPECT_TRUE(FromQImage(QImage()).Empty());
}

}  // namespace
}  // namespace tonbo::img
