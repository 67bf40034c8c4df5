#pragma once
// The font for file names in the list, the name boxes and the grid: a
// Japanese font that draws full-width forms full width, so "Ａ" and "A" (and
// the other width conversions) can be told apart by eye. The proportional
// Japanese fonts draw both alike.
#include <QFont>

class QWidget;

namespace tonbo {

// The application font's size in the first name font that fontconfig offers.
QFont NameFont();
// Gives a widget the name font.
void UseNameFont(QWidget* widget);

}  // namespace tonbo
