#pragma once
#include <QFontMetrics>
#include <QString>

namespace tonbo {

// Shortens a path to fit a width by putting "..." in place of the middle
// folders, keeping the first folder and the name ("/home/.../b/name.txt").
QString CompactPath(const QString& path, const QFontMetrics& metrics, int width);

}  // namespace tonbo
