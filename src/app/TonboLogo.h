#pragma once
// The program's logo: a dragonfly ("tonbo") beside the program's name.
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QSize>

namespace tonbo {

QPixmap DrawTonboLogo(const QSize& size, qreal devicePixelRatio = 1.0);

// The dragonfly alone, flying up and to the right, filling a square image:
// the program's icon.
QImage DrawTonboIcon(int side);

// Names the program to the desktop as its desktop entry (org.tonbo.Tonbo),
// so docks tie the window to its launcher, and gives every window the icon.
void SetUpProgramIdentity();

}  // namespace tonbo
