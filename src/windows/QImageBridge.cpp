#include "windows/QImageBridge.h"

#include <QColor>
#include <QPainter>
#include <cstring>

namespace tonbo::img {
namespace {

void FreePixels(void* data) { PixelDeleter()(static_cast<uint8_t*>(data)); }

void CopyBgr888(const QImage& image, Bitmap& out) {
  const std::size_t rowBytes = static_cast<std::size_t>(out.Width()) * 3;
  for (int y = 0; y < out.Height(); ++y) std::memcpy(out.Row(y), image.constScanLine(y), rowBytes);
}

void CopyRgb32(const QImage& image, Bitmap& out) {
  for (int y = 0; y < out.Height(); ++y) {
    const auto* in = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    uint8_t* p = out.Row(y);
    for (int x = 0; x < out.Width(); ++x, p += 3) {
      p[0] = static_cast<uint8_t>(qBlue(in[x]));
      p[1] = static_cast<uint8_t>(qGreen(in[x]));
      p[2] = static_cast<uint8_t>(qRed(in[x]));
    }
  }
}

// Any other format: Qt's painter converts and blends straight into the
// bitmap's rows.
void PaintOver(const QImage& image, QRgb background, Bitmap& out) {
  QImage target(out.Data(), out.Width(), out.Height(), out.Stride(), QImage::Format_BGR888);
  target.fill(QColor::fromRgb(background));
  QPainter painter(&target);
  painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
  painter.drawImage(0, 0, image);
}

}  // namespace

QImage ToQImage(Bitmap&& bitmap) {
  if (bitmap.Empty()) return {};
  const int w = bitmap.Width(), h = bitmap.Height();
  const auto stride = bitmap.Stride();
  uint8_t* data = bitmap.ReleaseData().release();
  return QImage(data, w, h, stride, QImage::Format_BGR888, FreePixels, data);
}

QImage ViewAsQImage(const Bitmap& bitmap) {
  if (bitmap.Empty()) return {};
  return QImage(bitmap.Data(), bitmap.Width(), bitmap.Height(), bitmap.Stride(),
                QImage::Format_BGR888);
}

Bitmap FromQImage(const QImage& image, QRgb background) {
  Bitmap out;
  if (image.isNull() || !out.Reset(image.width(), image.height(), false)) return out;
  switch (image.format()) {
    case QImage::Format_BGR888:
      CopyBgr888(image, out);
      break;
    case QImage::Format_RGB32:
      CopyRgb32(image, out);
      break;
    default:
      PaintOver(image, background, out);
      break;
  }
  return out;
}

}  // namespace tonbo::img
