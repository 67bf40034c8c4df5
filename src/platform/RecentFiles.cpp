#include "platform/RecentFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QUrl>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace tonbo::platform {
namespace {

const QString kBookmarkNs =
    QStringLiteral("http://www.freedesktop.org/standards/desktop-bookmarks");
const QString kMimeNs = QStringLiteral("http://www.freedesktop.org/standards/shared-mime-info");
const QString kAppName = QStringLiteral("Tonbo");
// Files bigger than this are no bookmark file anyone keeps by hand.
constexpr qint64 kMaxBytes = 16 * 1024 * 1024;

QString Stamp(const QDateTime& when) {
  return when.toUTC().toString(QStringLiteral("yyyy-MM-ddThh:mm:ss.zzz000Z"));
}

void WriteApplication(QXmlStreamWriter& out, const QString& now, int count) {
  out.writeEmptyElement(kBookmarkNs, QStringLiteral("application"));
  out.writeAttribute(QStringLiteral("name"), kAppName);
  out.writeAttribute(QStringLiteral("exec"), QStringLiteral("'tonbo %u'"));
  out.writeAttribute(QStringLiteral("modified"), now);
  out.writeAttribute(QStringLiteral("count"), QString::number(count));
}

void WriteBookmark(QXmlStreamWriter& out, const QString& href, const QString& mimeType,
                   const QString& now) {
  out.writeStartElement(QStringLiteral("bookmark"));
  out.writeAttribute(QStringLiteral("href"), href);
  out.writeAttribute(QStringLiteral("added"), now);
  out.writeAttribute(QStringLiteral("modified"), now);
  out.writeAttribute(QStringLiteral("visited"), now);
  out.writeStartElement(QStringLiteral("info"));
  out.writeStartElement(QStringLiteral("metadata"));
  out.writeAttribute(QStringLiteral("owner"), QStringLiteral("http://freedesktop.org"));
  out.writeEmptyElement(kMimeNs, QStringLiteral("mime-type"));
  out.writeAttribute(QStringLiteral("type"), mimeType);
  out.writeStartElement(kBookmarkNs, QStringLiteral("applications"));
  WriteApplication(out, now, 1);
  out.writeEndElement();  // applications
  out.writeEndElement();  // metadata
  out.writeEndElement();  // info
  out.writeEndElement();  // bookmark
}

// Copies the bookmark file token by token, bringing ours up to date or
// adding it before the end. Empty when the old text is no bookmark file.
QByteArray Updated(const QByteArray& old, const QString& href, const QString& mimeType,
                   const QString& now) {
  QByteArray text;
  QXmlStreamWriter out(&text);
  out.setAutoFormatting(true);
  if (old.isEmpty()) {
    out.writeStartDocument();
    out.writeStartElement(QStringLiteral("xbel"));
    out.writeAttribute(QStringLiteral("version"), QStringLiteral("1.0"));
    out.writeNamespace(kBookmarkNs, QStringLiteral("bookmark"));
    out.writeNamespace(kMimeNs, QStringLiteral("mime"));
    WriteBookmark(out, href, mimeType, now);
    out.writeEndDocument();
    return text;
  }
  QXmlStreamReader in(old);
  int depth = 0;
  bool sawRoot = false;
  bool inOurs = false;   // inside the bookmark of href
  bool found = false;    // that bookmark exists
  bool counted = false;  // Tonbo's application entry in it was brought up to date
  while (!in.atEnd()) {
    in.readNext();
    if (in.hasError()) return {};
    if (in.isStartElement()) {
      ++depth;
      if (depth == 1) {
        if (in.name() != QLatin1String("xbel")) return {};
        sawRoot = true;
      }
      if (depth == 2 && in.name() == QLatin1String("bookmark") &&
          in.attributes().value(QLatin1String("href")) == href) {
        inOurs = found = true;
        out.writeStartElement(QStringLiteral("bookmark"));
        for (const QXmlStreamAttribute& a : in.attributes()) {
          const bool touched =
              a.name() == QLatin1String("modified") || a.name() == QLatin1String("visited");
          out.writeAttribute(a.qualifiedName().toString(), touched ? now : a.value().toString());
        }
        continue;
      }
      if (inOurs && in.namespaceUri() == kBookmarkNs && in.name() == QLatin1String("application") &&
          in.attributes().value(QLatin1String("name")) == kAppName) {
        WriteApplication(out, now, in.attributes().value(QLatin1String("count")).toInt() + 1);
        counted = true;
        in.skipCurrentElement();
        --depth;
        continue;
      }
    }
    if (in.isEndElement()) {
      if (inOurs && !counted && in.namespaceUri() == kBookmarkNs &&
          in.name() == QLatin1String("applications")) {
        WriteApplication(out, now, 1);
        counted = true;
      }
      if (depth == 2 && inOurs) inOurs = false;
      if (depth == 1 && !found) WriteBookmark(out, href, mimeType, now);
      --depth;
    }
    if (in.tokenType() == QXmlStreamReader::StartDocument) {
      out.writeStartDocument();
      continue;
    }
    // Blank text between elements: the writer lays the file out anew.
    if (in.isWhitespace()) continue;
    out.writeCurrentToken(in);
  }
  if (in.hasError() || !sawRoot) return {};
  return text;
}

}  // namespace

bool AddRecentFileTo(const QString& xbelPath, const std::string& diskPath, const QString& mimeType,
                     const QDateTime& now) {
  const QString href = QUrl::fromLocalFile(QFile::decodeName(QByteArray::fromStdString(diskPath)))
                           .toString(QUrl::FullyEncoded);
  QByteArray old;
  QFile file(xbelPath);
  if (file.exists()) {
    if (file.size() > kMaxBytes || !file.open(QIODevice::ReadOnly)) return false;
    old = file.readAll();
    file.close();
  }
  const QByteArray text = Updated(old, href, mimeType, Stamp(now));
  if (text.isEmpty()) return false;  // not ours to repair
  QDir().mkpath(QFileInfo(xbelPath).absolutePath());
  // Whole or not at all: readers never see half a file.
  QSaveFile save(xbelPath);
  if (!save.open(QIODevice::WriteOnly)) return false;
  save.write(text);
  return save.commit();
}

bool AddRecentFile(const std::string& diskPath, const QString& mimeType) {
  const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
  if (dataHome.isEmpty()) return false;
  return AddRecentFileTo(dataHome + QStringLiteral("/recently-used.xbel"), diskPath, mimeType,
                         QDateTime::currentDateTimeUtc());
}

}  // namespace tonbo::platform
