#pragma once
// The program's logo: a dragonfly ("tonbo") beside the program's name.
#include <QImage>
#include <QPixmap>
#include <QSize>

namespace tonbo {

QPixmap DrawTonboLogo(const QSize& size, qreal devicePixelRatio = 1.0);

// The dragonfly alone, flying up and to the right, filling a square image:
// the program's icon.
QImage DrawTonboIcon(int side);

}  // namespace tonbo
