#include "app/FileTypes.h"

#include <QFile>
#include <QMimeDatabase>
#include <QPainter>
#include <QPixmap>

namespace tonbo {

QIcon FallbackFileIcon() {
  static const QIcon icon = [] {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setPen(QColor(90, 90, 90));
    p.setBrush(Qt::white);
    p.drawPolygon(
        QPolygon({QPoint(3, 1), QPoint(10, 1), QPoint(13, 4), QPoint(13, 14), QPoint(3, 14)}));
    p.drawLine(10, 1, 10, 4);
    p.drawLine(10, 4, 13, 4);
    return QIcon(pixmap);
  }();
  return icon;
}

void SetUpIconTheme() {
  QStringList paths = QIcon::themeSearchPaths();
  for (const QString& dir :
       {QStringLiteral("/usr/share/icons"), QStringLiteral("/usr/local/share/icons")})
    if (!paths.contains(dir)) paths << dir;
  QIcon::setThemeSearchPaths(paths);
  if (QIcon::themeName().isEmpty() || QIcon::themeName() == QLatin1String("hicolor"))
    QIcon::setThemeName(QStringLiteral("Adwaita"));
  QIcon::setFallbackThemeName(QStringLiteral("hicolor"));
}

FileTypeInfo MimeFileTypeSource::Fetch(const std::string& diskPath) {
  static QMimeDatabase db;
  const QMimeType type = db.mimeTypeForFile(QFile::decodeName(QByteArray::fromStdString(diskPath)));
  FileTypeInfo info;
  info.icon = QIcon::fromTheme(type.iconName(),
                               QIcon::fromTheme(type.genericIconName(), FallbackFileIcon()));
  if (type.isValid() && !type.isDefault() && !type.comment().isEmpty())
    info.typeName = type.comment();
  return info;
}

int ImageList::Add(const QIcon& icon) {
  icons_.push_back(icon);
  return Count() - 1;
}

QIcon ImageList::At(int index) const {
  return index >= 0 && index < Count() ? icons_[static_cast<size_t>(index)] : QIcon();
}

}  // namespace tonbo
