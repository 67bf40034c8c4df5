#include "desktop/ExternalTools.h"

#include <unistd.h>

#include <QMimeData>

#include "common/Paths.h"
#include "desktop/MimeApps.h"
#include "desktop/ShortcutFiles.h"
#include "platform/CommandLine.h"
#include "platform/FileManager.h"
#include "platform/Launcher.h"
#include "platform/Terminal.h"

namespace tonbo::listio {
namespace {

QString FromDisk(const std::string& bytes) {
  return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

QString Quoted(const std::string& diskPath) {
  return QStringLiteral("「") + FromDisk(diskPath) + QStringLiteral("」");
}

bool Exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

QString Missing(const std::string& diskPath) {
  return Quoted(diskPath) + QStringLiteral("が見つかりません。");
}

std::string FolderOf(const std::string& diskPath) {
  std::string folder = ExtractFilePath(diskPath);
  return folder.empty() ? std::string("./") : folder;
}

}  // namespace

std::string ClipboardEntry(const std::string& diskPath, bool withPath) {
  return withPath ? diskPath : ExtractFileName(diskPath);
}

std::string ClipboardList(const std::vector<std::string>& diskPaths, bool withPath) {
  std::string text;
  for (const std::string& path : diskPaths)
    text += ClipboardEntry(path, withPath) + kClipboardLineEnd;
  return text;
}

QMimeData* ClipboardData(const std::vector<std::string>& diskPaths, bool withPath) {
  auto* data = new QMimeData;
  const std::string text = diskPaths.size() == 1 ? ClipboardEntry(diskPaths[0], withPath)
                                                 : ClipboardList(diskPaths, withPath);
  data->setText(FromDisk(text));
  QByteArray uris, copied("copy");
  for (const std::string& path : diskPaths) {
    const QByteArray url = platform::FileUrlFromDisk(path).toEncoded();
    uris += url + "\r\n";
    copied += "\n" + url;
  }
  data->setData(QStringLiteral("text/uri-list"), uris);
  data->setData(QStringLiteral("x-special/gnome-copied-files"), copied);
  return data;
}

QString OpenWithAssociation(const std::string& diskPath) {
  if (!Exists(diskPath)) return Missing(diskPath);
  if (platform::CurrentLauncher().OpenUrl(platform::FileUrlFromDisk(diskPath))) return {};
  return Quoted(diskPath) + QStringLiteral("を開くプログラムがありません（xdg-open）。");
}

QString ShowInFileManager(const std::string& diskPath) {
  if (platform::ShowInFileManager(diskPath) != platform::ShownIn::Nothing) return {};
  return Quoted(FolderOf(diskPath)) +
         QStringLiteral(
             "を開くファイルマネージャがありません（org.freedesktop.FileManager1、xdg-open）。");
}

QString OpenTerminal(const std::string& diskPath) {
  const std::string folder = FolderOf(diskPath);
  if (platform::OpenTerminalIn(folder)) return {};
  return Quoted(folder) +
         QStringLiteral("で開く端末がありません（$TERMINAL、x-terminal-emulator）。");
}

QString OpenInEditor(const std::string& diskPath) {
  if (!Exists(diskPath)) return Missing(diskPath);
  // The text editor, whatever the file's own type; without one, the file's
  // own association.
  const std::string editor = shell::DefaultApplicationFor("text/plain");
  if (!editor.empty() && shell::LaunchEntryWithFile(editor, diskPath)) return {};
  if (platform::OpenInTextEditor(diskPath)) return {};
  return Quoted(diskPath) + QStringLiteral("を開くテキストエディタがありません（xdg-open）。");
}

QString MakeDesktopLink(const std::string& diskPath) {
  const std::string name = ExtractFileName(diskPath);
  if (shell::CreateDesktopShortcut(diskPath, name, FolderOf(diskPath))) return {};
  return Quoted(name) + QStringLiteral("へのリンクをデスクトップに作れません。");
}

QString FailureSummary(const std::vector<QString>& failures) {
  if (failures.empty()) return {};
  QString text = failures.front();
  if (failures.size() > 1) text += QStringLiteral("（ほか%1件）").arg(failures.size() - 1);
  return text;
}

}  // namespace tonbo::listio
