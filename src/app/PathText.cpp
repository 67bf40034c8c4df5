#include "app/PathText.h"

#include <QStringList>

namespace tonbo {

QString CompactPath(const QString& path, const QFontMetrics& metrics, int width) {
  if (metrics.horizontalAdvance(path) <= width) return path;
  QStringList parts = path.split(QLatin1Char('/'));
  // parts: "", first folder, middle folders..., name
  if (parts.size() > 3) {
    const QString head = parts.mid(0, 2).join(QLatin1Char('/')) + QStringLiteral("/...");
    for (int drop = 1; drop <= parts.size() - 3; ++drop) {
      QString candidate = head + QLatin1Char('/') + parts.mid(2 + drop).join(QLatin1Char('/'));
      if (metrics.horizontalAdvance(candidate) <= width) return candidate;
    }
  }
  const QString name = parts.last();
  QString tail = QStringLiteral(".../") + name;
  if (metrics.horizontalAdvance(tail) <= width) return tail;
  return metrics.elidedText(tail, Qt::ElideMiddle, width);
}

}  // namespace tonbo
