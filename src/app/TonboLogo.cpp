#include "app/TonboLogo.h"

#include <QFont>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace tonbo {
namespace {

const QColor kNavy(0, 0, 128);

// One wing pair, mirrored left and right, around the thorax at the origin.
void DrawWings(QPainter& p, qreal y, qreal length, qreal width, qreal sweep) {
  p.setPen(QPen(QColor(40, 70, 140, 200), 0.8));
  p.setBrush(QColor(170, 210, 250, 150));
  for (int side : {-1, 1}) {
    p.save();
    p.translate(0, y);
    p.rotate(side * sweep);
    p.drawEllipse(QRectF(side > 0 ? 2.0 : -2.0 - length, -width / 2, length, width));
    p.restore();
  }
}

// A dragonfly seen from above, head up, in a 100 x 100 box centred on the origin.
void DrawDragonfly(QPainter& p) {
  DrawWings(p, -6, 44, 11, -8);
  DrawWings(p, 1, 40, 12, 10);
  QLinearGradient tail(0, 0, 0, 46);
  tail.setColorAt(0, QColor(30, 90, 170));
  tail.setColorAt(1, kNavy);
  p.setPen(Qt::NoPen);
  p.setBrush(tail);
  p.drawRoundedRect(QRectF(-2.2, 2, 4.4, 44), 2.2, 2.2);
  p.setPen(QPen(QColor(255, 255, 255, 120), 0.6));
  for (qreal y = 9; y < 44; y += 5) p.drawLine(QPointF(-2, y), QPointF(2, y));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(20, 60, 130));
  p.drawEllipse(QRectF(-4.5, -11, 9, 15));  // thorax
  p.setBrush(QColor(40, 150, 120));
  p.drawEllipse(QPointF(-3.6, -14), 3.6, 3.4);  // eyes
  p.drawEllipse(QPointF(3.6, -14), 3.6, 3.4);
}

void DrawName(QPainter& p, const QRectF& area) {
  QFont title(QStringLiteral("serif"));
  title.setPixelSize(static_cast<int>(area.height() * 0.42));
  title.setItalic(true);
  title.setBold(true);
  p.setFont(title);
  p.setPen(kNavy);
  p.drawText(area.adjusted(0, 0, 0, -area.height() * 0.38), Qt::AlignLeft | Qt::AlignBottom,
             QStringLiteral("Tonbo"));
  QFont note = p.font();
  note.setFamily(QStringLiteral("sans-serif"));
  note.setItalic(false);
  note.setBold(false);
  note.setPixelSize(static_cast<int>(area.height() * 0.13));
  p.setFont(note);
  p.setPen(QColor(60, 60, 90));
  p.drawText(area.adjusted(2, area.height() * 0.66, 0, 0), Qt::AlignLeft | Qt::AlignTop,
             QStringLiteral("ファイル名変更ユーティリティ"));
}

}  // namespace

QImage DrawTonboIcon(int side) {
  QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.translate(side / 2.0, side / 2.0);
  p.scale(side / 100.0, side / 100.0);
  p.rotate(35);
  DrawDragonfly(p);
  return image;
}

QPixmap DrawTonboLogo(const QSize& size, qreal devicePixelRatio) {
  QPixmap pixmap(size * devicePixelRatio);
  pixmap.setDevicePixelRatio(devicePixelRatio);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  const qreal side = size.height();
  p.save();
  p.translate(side / 2, side / 2);
  p.scale(side / 100.0, side / 100.0);
  p.rotate(35);  // flying up and to the right
  DrawDragonfly(p);
  p.restore();
  DrawName(p, QRectF(side + 4, 0, size.width() - side - 4, side));
  return pixmap;
}

void SetUpProgramIdentity() {
  QGuiApplication::setDesktopFileName(QStringLiteral("org.tonbo.Tonbo"));
  QIcon drawn;
  for (int side : {16, 24, 32, 48, 64, 128, 256})
    drawn.addPixmap(QPixmap::fromImage(DrawTonboIcon(side)));
  // The installed theme icon where there is one, the same drawing otherwise.
  QGuiApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("org.tonbo.Tonbo"), drawn));
}

}  // namespace tonbo
