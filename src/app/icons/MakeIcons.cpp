// Draws the program's icon as PNG files of the hicolor theme's sizes:
// make-icons <output folder> <icon name> <size>...
// writes <folder>/<size>x<size>/apps/<icon name>.png.
#include <QDir>
#include <QImage>
#include <QString>

#include <cstdio>
#include <cstdlib>

#include "app/TonboLogo.h"

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: make-icons <folder> <name> <size>...\n");
    return 2;
  }
  const QString root = QString::fromLocal8Bit(argv[1]);
  const QString name = QString::fromLocal8Bit(argv[2]);
  for (int i = 3; i < argc; ++i) {
    const int side = std::atoi(argv[i]);
    const QString folder = QStringLiteral("%1/%2x%2/apps").arg(root).arg(side);
    if (side <= 0 || !QDir().mkpath(folder) ||
        !tonbo::DrawTonboIcon(side).save(folder + "/" + name + ".png")) {
      std::fprintf(stderr, "make-icons: cannot write size %s\n", argv[i]);
      return 1;
    }
  }
  return 0;
}
