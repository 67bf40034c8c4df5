#include "windows/NameFont.h"

#include <QApplication>
#include <QWidget>

namespace tonbo {

QFont NameFont() {
  QFont font = QApplication::font();
  font.setFamilies({QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans Mono CJK JP"),
                    QStringLiteral("Noto Sans CJK JP")});
  return font;
}

void UseNameFont(QWidget* widget) { widget->setFont(NameFont()); }

}  // namespace tonbo
