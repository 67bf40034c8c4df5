#include "desktop/ShellCommands.h"

#include <unistd.h>

#include <cstdio>
#include <fstream>

#include <QMimeDatabase>
#include <QStandardPaths>

#include <algorithm>
#include <set>
#include <utility>
#include <vector>

#include "common/Dialogs.h"
#include "common/Folders.h"
#include "common/Paths.h"
#include "core/IniFile.h"
#include "desktop/MimeApps.h"
#include "desktop/ShortcutFiles.h"
#include "platform/Launcher.h"

namespace tonbo::shell {
namespace {

constexpr const char* kDescription = "ファイル名変更ユーティリティ";

bool Exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

QString FromDisk(const std::string& bytes) {
  return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

// Deletes a file when it is there; true when one was deleted.
bool DeleteIfExists(const std::string& path) {
  return Exists(path) && std::remove(path.c_str()) == 0;
}

std::string VerbEntryPath() { return ApplicationsDirDisk() + kVerbEntryName; }

// Desktops read Open With from a cache; refresh it when the tool is there.
void RefreshDesktopDatabase() {
  const QString tool = QStandardPaths::findExecutable(QStringLiteral("update-desktop-database"));
  if (!tool.isEmpty())
    platform::CurrentLauncher().StartDetached(tool, {FromDisk(ApplicationsDirDisk())});
}

bool WriteTextFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  return static_cast<bool>(out.flush());
}

}  // namespace

void Install(ShellHost& host) {
  if (!host.ConfirmAction(QStringLiteral("install"))) return;
  const std::string program = host.ProgramPath();
  const std::string documents = SpecialFolderDisk(SpecialFolder::Personal);
  const std::string sendTo = SpecialFolderDisk(SpecialFolder::SendTo);
  const std::string desktop = SpecialFolderDisk(SpecialFolder::Desktop);
  MakeDirs(sendTo);
  MakeDirs(desktop);
  CreateShortcut(sendTo + kInstalledSendToName, program, kDescription, documents);
  CreateShortcut(desktop + kInstalledDesktopName, program, kDescription, documents, kAppId);
  ShowMessage(
      QStringLiteral("インストール作業として、\r\nWindowsのデスクトップとSendToフォルダへショー"
                     "トカットを作りました。"));
}

void Uninstall(ShellHost& host) {
  if (!host.ConfirmAction(QStringLiteral("uninstall"))) return;
  DeleteIfExists(SpecialFolderDisk(SpecialFolder::SendTo) + kInstalledSendToName);
  DeleteIfExists(SpecialFolderDisk(SpecialFolder::Desktop) + kInstalledDesktopName);
  if (host.Ini().ReadBool("install", "use_registry", false)) RemoveVerb(host);
  // A program the system installed is removed with its package, never by
  // deleting its folder under /usr by hand.
  const bool bySystem = InstalledBySystem(host.ProgramPath());
  ShowMessage(
      bySystem
          ? QStringLiteral("Tonboのショートカットを削除しました。\r\nあとは、ソフトを終了した後、"
                           "パッケージ「tonbo」を削除して完璧です（sudo apt remove tonbo）。")
          : QStringLiteral("Tonboのショートカットを削除しました。\r\nあとは、ソフトを終了した後、"
                           "「Tonbo」自身のフォルダを削除して完璧です。"));
  if (!AskYesNo(QStringLiteral("「Tonbo」を終了しますか？"))) return;
  if (!bySystem) platform::OpenDiskPath(ProgramDirDisk());
  host.CloseProgram();
}

bool InstalledBySystem(const std::string& programPath) {
  return programPath.rfind("/usr/", 0) == 0;
}

// NoDisplay: the entry is only the verb of Open With; the menus keep the one
// "Tonbo" the package's own entry gives.
std::string VerbEntryText(const std::string& programPath, const std::vector<std::string>& types) {
  std::string mimeTypes;
  for (const std::string& type : types) mimeTypes += type + ";";
  return "[Desktop Entry]\nVersion=1.0\nType=Application\nName=Tonbo\n"
         "Comment=" +
         std::string(kDescription) + "\n" +
         "Exec=" + EscapeEntryValue(QuoteExecArgument(programPath)) + " %F\n" + "Icon=" + kAppId +
         "\nMimeType=" + mimeTypes + "\nTerminal=false\nNoDisplay=true\n";
}

std::vector<std::string> VerbTypes() {
  static const std::set<std::string> kMedia{"application", "audio",     "font", "image", "message",
                                            "model",       "multipart", "text", "video"};
  std::vector<std::string> types{"inode/directory"};
  for (const QMimeType& type : QMimeDatabase().allMimeTypes()) {
    const std::string name = type.name().toStdString();
    if (kMedia.count(name.substr(0, name.find('/')))) types.push_back(name);
  }
  std::sort(types.begin(), types.end());
  types.erase(std::unique(types.begin(), types.end()), types.end());
  return types;
}

void KeepDefaultPrograms(const std::vector<std::string>& types) {
  const std::set<std::string> named = TypesWithNamedDefault();
  std::vector<std::pair<std::string, std::string>> keep;
  for (const std::string& type : types) {
    if (named.count(type)) continue;
    const std::string id = platform::DefaultProgramFor(type, kVerbEntryName);
    if (!id.empty()) keep.emplace_back(type, id);
  }
  AddUserDefaults(keep);
}

void RegisterVerb(ShellHost& host) {
  if (!host.ConfirmAction(QStringLiteral("registry"))) return;
  // Messages follow the registry's: a key that cannot be written is skipped.
  const std::vector<std::string> types = VerbTypes();
  KeepDefaultPrograms(types);
  if (MakeDirs(ApplicationsDirDisk()) &&
      WriteTextFile(VerbEntryPath(), VerbEntryText(host.ProgramPath(), types)))
    RefreshDesktopDatabase();
  host.Ini().WriteBool("install", "use_registry", true);
  ShowMessage(
      QStringLiteral("レジストリに登録しました。右クリックメニューから、Tonboが使えます。"));
}

bool RemoveVerb(ShellHost& host) {
  const bool removed = DeleteIfExists(VerbEntryPath());
  if (removed) RefreshDesktopDatabase();
  host.Ini().WriteBool("install", "use_registry", false);
  if (removed) ShowMessage(QStringLiteral("レジストリから削除しました。"));
  return removed;
}

void RegisterSendToProgram(ShellHost& host) {
  FileDialogRequest request;
  request.filters = {QStringLiteral("実行可能ファイル (*)"), QStringLiteral("全て (*)")};
  const QStringList chosen = Dialogs().GetOpenFileNames(request);
  if (chosen.isEmpty() || chosen.first().isEmpty()) return;
  const QByteArray bytes = chosen.first().toUtf8();
  const std::string program(bytes.constData(), static_cast<size_t>(bytes.size()));
  const std::string sendTo = SpecialFolderDisk(SpecialFolder::SendTo);
  MakeDirs(sendTo);
  std::string name = ExtractFileBase(program);
  if (name.empty()) name = ExtractFileName(program);  // ".name": no extension to drop
  CreateShortcut(sendTo + name, program, std::string(), ExtractFilePath(program));
  ShowMessage(
      QStringLiteral("「送る」メニューに以下のソフトを追加しました。\r\n\"") + chosen.first() +
      QStringLiteral("\"\r\nメニューからソフトを削除したい場合は、「送る」メニューを開き\r\n"
                     "そのショートカットを削除してください。"));
}

bool OpenSpecialFolder(SpecialFolder folder, std::string* diskFolder) {
  const std::string path = SpecialFolderDisk(folder);
  if (diskFolder) *diskFolder = path;
  // Folders of the user's own that a fresh account may not have yet.
  if (folder != SpecialFolder::Windows && folder != SpecialFolder::ProgramFolder) MakeDirs(path);
  return platform::CurrentLauncher().OpenUrl(platform::FileUrlFromDisk(path));
}

}  // namespace tonbo::shell
