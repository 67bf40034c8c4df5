#include "platform/FileManager.h"

#include <QDBusConnection>
#include <QDBusMessage>

#include "common/Paths.h"
#include "platform/Launcher.h"

namespace tonbo::platform {
namespace {
// A file manager that is being started by the bus may take a moment.
constexpr int kCallTimeoutMs = 5000;
}  // namespace

bool ShowItemsOverDBus(const QStringList& uris) {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return false;
  QDBusMessage call = QDBusMessage::createMethodCall(
      QStringLiteral("org.freedesktop.FileManager1"),
      QStringLiteral("/org/freedesktop/FileManager1"),
      QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
  call << uris << QString();  // no start-up notification id
  QDBusMessage reply = bus.call(call, QDBus::Block, kCallTimeoutMs);
  return reply.type() == QDBusMessage::ReplyMessage;
}

ShownIn ShowInFileManager(const std::string& diskPath) {
  Launcher& launcher = CurrentLauncher();
  const QString uri = QString::fromLatin1(FileUrlFromDisk(diskPath).toEncoded());
  if (launcher.ShowItems({uri})) return ShownIn::FileManager;
  std::string folder = ExtractFilePath(AbsolutePath(diskPath));
  if (folder.empty()) folder = "/";
  return launcher.OpenUrl(FileUrlFromDisk(folder)) ? ShownIn::Folder : ShownIn::Nothing;
}

}  // namespace tonbo::platform
