// Handing the listed files to the desktop (open with, file manager,
// terminal, editor, clipboard, desktop links), the install commands, the
// special folders and the send-to menus.
#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QFileInfo>
#include <QMenu>

#include "app/TfrmMain.h"
#include "common/Sjis.h"
#include "desktop/ExternalTools.h"
#include "desktop/SendTo.h"
#include "desktop/ShellCommands.h"

namespace tonbo {
namespace {

class MainShellHost : public shell::ShellHost {
 public:
  explicit MainShellHost(TfrmMain& w) : w_(w) {}
  bool ConfirmAction(const QString& key) override { return w_.ConfirmAction(key); }
  TIniFileEx& Ini() override { return w_.Ini(); }
  void CloseProgram() override { w_.close(); }
  std::string ProgramPath() const override {
    return QCoreApplication::applicationFilePath().toStdString();
  }

 private:
  TfrmMain& w_;
};

struct ToolRow {
  Command command;
  const char* title;
  QString (*operation)(const std::string& diskPath);
};

const ToolRow kTools[] = {
    {Command::actExecute, "関連付けで開く", listio::OpenWithAssociation},
    {Command::actExplorer, "エクスプローラーで開く", listio::ShowInFileManager},
    {Command::actDos, "DOS窓で開く", listio::OpenTerminal},
    {Command::actMemoOpen, "メモ帳で開く", listio::OpenInEditor},
};

struct FolderRow {
  Command command;
  shell::SpecialFolder folder;
};

const FolderRow kFolders[] = {
    {Command::mnuOpenUserHome, shell::SpecialFolder::Profile},
    {Command::mnuOpenMyDocument, shell::SpecialFolder::Personal},
    {Command::mnuOpenFavorites, shell::SpecialFolder::Favorites},
    {Command::mnuOpenSendTo, shell::SpecialFolder::SendTo},
    {Command::mnuOpenSendTo2, shell::SpecialFolder::SendTo},
    {Command::mnuOpenStartUp, shell::SpecialFolder::StartUp},
    {Command::mnuOpenStartMenu, shell::SpecialFolder::StartMenu},
    {Command::mnuOpenProgramDir, shell::SpecialFolder::Programs},
    {Command::mnuOpenWinDir, shell::SpecialFolder::Windows},
    {Command::mnuTonboExe, shell::SpecialFolder::ProgramFolder},
};

QString FromDisk(const std::string& bytes) {
  return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

QIcon SendToIcon(const shell::SendToEntry& entry, FileTypeSource& types) {
  if (!entry.icon.empty()) {
    const QString icon = FromDisk(entry.icon);
    if (QFileInfo(icon).isAbsolute()) return QIcon(icon);
    if (QIcon::hasThemeIcon(icon)) return QIcon::fromTheme(icon);
  }
  return types.Fetch(entry.path).icon;
}

}  // namespace

std::string TfrmMain::RowDiskPath(int row) const {
  return enc::SjisToDisk(table_.GetCell(colPath, row));
}

int TfrmMain::RunExternalTool(const QString& title, QString (*operation)(const std::string&)) {
  std::vector<QString> failures;
  const int count = ForEachSelected(title, [&](TfrmMain& w, int row) {
    QString failure = operation(w.RowDiskPath(row));
    if (!failure.isEmpty()) failures.push_back(failure);
  });
  // The count stays first; what the desktop could not do follows it.
  if (!failures.empty())
    SetStatusText(1, StatusText(1) + QStringLiteral("　") + listio::FailureSummary(failures));
  return count;
}

void TfrmMain::CopyNames(bool withPath) {
  const QString title = withPath ? QStringLiteral("クリップボードにパスをコピー")
                                 : QStringLiteral("クリップボードにファイル名をコピー");
  const std::vector<int> rows = SelectedRows();
  QClipboard* clipboard = QApplication::clipboard();
  if (rows.size() == 1) {
    const QString text = FromDisk(listio::ClipboardEntry(RowDiskPath(rows[0]), withPath));
    clipboard->setMimeData(listio::ClipboardData({RowDiskPath(rows[0])}, withPath));
    SetStatusText(1, QStringLiteral("\"") + text + QStringLiteral("\" をコピーしました。"));
  } else {
    clipboard->clear();
    std::vector<std::string> paths;
    if (ForEachSelected(title,
                        [&](TfrmMain& w, int row) { paths.push_back(w.RowDiskPath(row)); }) >= 0)
      clipboard->setMimeData(listio::ClipboardData(paths, withPath));
  }
  PlayEffectSound(0);
}

void TfrmMain::actMakeShortcutExecute() {
  RunExternalTool(QStringLiteral("ショートカット作成"), listio::MakeDesktopLink);
  PlayEffectSound(0);
}

void TfrmMain::CreateShellCommands() {
  for (const ToolRow& row : kTools) {
    const QString title = QString::fromUtf8(row.title);
    auto* operation = row.operation;
    commands_.Register(row.command,
                       [this, title, operation] { RunExternalTool(title, operation); });
  }
  commands_.Register(Command::actClipboard, [this] { CopyNames(true); });
  commands_.Register(Command::actClipboardNoPath, [this] { CopyNames(false); });
  commands_.Register(Command::actMakeShortcut, [this] { actMakeShortcutExecute(); });
  for (const FolderRow& row : kFolders) {
    const shell::SpecialFolder folder = row.folder;
    commands_.Register(row.command, [this, folder] {
      std::string path;
      if (!shell::OpenSpecialFolder(folder, &path))
        SetStatusText(1, QStringLiteral("「") + FromDisk(path) +
                             QStringLiteral("」を開くプログラムがありません（xdg-open）。"));
    });
  }
  auto withHost = [this](void (*command)(shell::ShellHost&)) {
    return [this, command] {
      MainShellHost host(*this);
      command(host);
    };
  };
  commands_.Register(Command::mnuInstall, withHost(shell::Install));
  commands_.Register(Command::mnuUninstall, withHost(shell::Uninstall));
  commands_.Register(Command::mnuRegistryInstall, withHost(shell::RegisterVerb));
  commands_.Register(Command::mnuRegistryUninstall, [this] {
    MainShellHost host(*this);
    shell::RemoveVerb(host);
  });
  commands_.Register(Command::mnuRegSendToOther, withHost(shell::RegisterSendToProgram));
  BuildSendToMenu();
}

void TfrmMain::BuildSendToMenu() {
  const std::vector<shell::SendToEntry> entries =
      shell::ReadSendToEntries(shell::SpecialFolderDisk(shell::SpecialFolder::SendTo));
  QMenu* sendTo = findChild<QMenu*>(QStringLiteral("mnuSendTo"));
  for (size_t k = 0; k < entries.size(); ++k) {
    const std::string path = entries[k].path;
    // No hot keys: an "&" in a name is shown as itself.
    const QString caption = FromDisk(entries[k].caption).replace('&', QStringLiteral("&&"));
    const QIcon icon = SendToIcon(entries[k], *types_);
    for (QMenu* menu : {popupMenu1_, sendTo}) {
      if (!menu) continue;
      QAction* item = menu->addAction(icon, caption);
      item->setObjectName(QStringLiteral("sendTo%1").arg(k));
      item->setData(static_cast<int>(k));
      connect(item, &QAction::triggered, this, [this, path] { SendToClick(path); });
    }
  }
  if (sendTo) sendTo->setEnabled(!entries.empty());
}

void TfrmMain::SendToClick(const std::string& entryPath) {
  std::vector<std::string> files;
  for (int row : SelectedRows()) files.push_back(RowDiskPath(row));
  const shell::SendToResult result = shell::SendFilesTo(entryPath, files);
  if (result == shell::SendToResult::Started) return;
  const QString entry = QStringLiteral("「") + FromDisk(entryPath) + QStringLiteral("」");
  SetStatusText(1, entry + (result == shell::SendToResult::NotRunnable
                                ? QStringLiteral("は実行できるファイルではありません。")
                                : QStringLiteral("を起動できません。")));
}

}  // namespace tonbo
