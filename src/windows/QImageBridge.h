#pragma once
// Moving pictures between the imaging library and Qt's QImage with at most
// one pass over the pixels.
#include <QImage>
#include <QRgb>

#include "preview/imaging/Bitmap.h"

namespace tonbo::img {

// Hands the pixel memory over to a QImage (format BGR888); no copy. The
// bitmap is empty afterwards.
QImage ToQImage(Bitmap&& bitmap);

// A QImage that reads the bitmap's memory in place; valid while the bitmap
// lives and keeps its size.
QImage ViewAsQImage(const Bitmap& bitmap);

// Converts any QImage into a 24-bit bitmap, drawing translucent pixels over
// `background`. One pass; empty for a null image or when memory runs out.
Bitmap FromQImage(const QImage& image, QRgb background = qRgb(255, 255, 255));

}  // namespace tonbo::img
