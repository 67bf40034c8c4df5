#include "platform/Launcher.h"

#include <unistd.h>

#include <cstdlib>

#include <QByteArray>
#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include "platform/FileManager.h"

namespace tonbo::platform {
namespace {

class DesktopLauncher : public Launcher {
 public:
  // The opener starts even when no program takes the file, and fails later
  // where nobody sees it: ask for a program first.
  bool OpenUrl(const QUrl& url) override { return Openable(url) && QDesktopServices::openUrl(url); }
  bool StartDetached(const QString& program, const QStringList& arguments) override {
    if (program == QStringLiteral("xdg-open") && arguments.size() == 1 &&
        !Openable(QUrl::fromEncoded(arguments[0].toLatin1())))
      return false;
    return QProcess::startDetached(program, arguments);
  }

 private:
  static bool Openable(const QUrl& url) {
    if (!url.isLocalFile() || QFileInfo(url.toLocalFile()).isDir()) return true;
    return HasDesktopHandler(QFile::encodeName(url.toLocalFile()).toStdString());
  }
};

Launcher* g_override = nullptr;

std::string Absolute(const std::string& path) {
  if (!path.empty() && path[0] == '/') return path;
  char* cwd = getcwd(nullptr, 0);
  std::string dir = cwd ? cwd : "";
  free(cwd);
  if (dir.empty() || dir.back() != '/') dir += '/';
  return dir + path;
}

}  // namespace

bool Launcher::StartIn(const QString& program, const QStringList& arguments,
                       const QString& workingFolder) {
  return QProcess::startDetached(program, arguments, workingFolder);
}

bool Launcher::ShowItems(const QStringList& uris) { return ShowItemsOverDBus(uris); }

Launcher& CurrentLauncher() {
  static DesktopLauncher desktop;
  return g_override ? *g_override : desktop;
}

void SetLauncher(Launcher* launcher) { g_override = launcher; }

QUrl FileUrlFromDisk(const std::string& diskPath) {
  std::string path = Absolute(diskPath);
  QByteArray raw(path.data(), static_cast<qsizetype>(path.size()));
  return QUrl::fromEncoded("file://" + raw.toPercentEncoding("/"), QUrl::StrictMode);
}

bool OpenDiskPath(const std::string& diskPath) {
  if (diskPath.empty()) return false;
  return CurrentLauncher().OpenUrl(FileUrlFromDisk(diskPath));
}

}  // namespace tonbo::platform
