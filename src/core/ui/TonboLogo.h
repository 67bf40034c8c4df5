#pragma once
// The program's logo: a dragonfly ("tonbo") beside the program's name.
#include <QPixmap>
#include <QSize>

namespace tonbo {

QPixmap DrawTonboLogo(const QSize& size, qreal devicePixelRatio = 1.0);

}  // namespace tonbo
