// Applying the list to the disk (F5) and the question when closing with
// names that were not applied.
#include <QCloseEvent>

#include "common/Dialogs.h"
#include "common/Folders.h"
#include "common/Paths.h"
#include "common/Sjis.h"
#include "common/TextFile.h"
#include "common/ui/PageWindow.h"
#include "core/RenameExecutor.h"
#include "core/ui/TfrmMain.h"
#include "core/ui/TfrmSelect.h"
#include "platform/Shell.h"

namespace tonbo {

bool TfrmMain::HasPendingChanges() const {
  for (int row = 0; row < table_.RowCount(); ++row) {
    if (ExtractFileName(table_.GetCell(colPath, row)) !=
        table_.GetCell(colNewName, row) + table_.GetCell(colExt, row))
      return true;
  }
  return false;
}

void TfrmMain::actRenameRealExecute() {
  if (!ConfirmAction(QStringLiteral("rename_real"))) return;
  if (!AskYesNo(QStringLiteral("実際にファイル名を変更します。\r\nよろしいですか？"))) return;
  ExecuteRenames();
}

void TfrmMain::ExecuteRenames() {
  RenameExecutor executor([this](const std::string& target) {
    frmSelect_->SetTarget(enc::FromSjis(target));
    Dialogs().RunModal(*frmSelect_);
    return frmSelect_->Answer();
  });
  const RenameResult result = executor.Run(table_);
  table_.Clear();
  AddFiles(result.paths);
  undo_.Clear();  // what is on disk now cannot be undone from the list
  RecordUndo(QString());
  QString report =
      QString::number(result.renamed) + QStringLiteral("個のファイルを名前変更しました。");
  if (result.deleted > 0)
    report += QStringLiteral("\r\n") + QString::number(result.deleted) +
              QStringLiteral("個のファイルを削除しました。");
  ShowInfo(report);
  if (!result.log.empty() &&
      AskYesNo(
          QString::number(result.notDone) +
          QStringLiteral(" 個のファイルを名前変更できませんでした。\r\nエラーログを見ますか？")))
    OpenLog(result.log);
  RefreshList();
}

void TfrmMain::OpenLog(const std::string& log) {
  const std::string dir = StateDirDisk();
  MakeDirs(dir);
  const std::string path = dir + "log.txt";
  std::string sjisPath;
  const bool opened = SaveTextFile(path, log) && enc::DiskToSjis(path, sjisPath) &&
                      platform::RunCommandLine("notepad.exe \"" + sjisPath + "\"");
  if (!opened) ShowTextHere(QStringLiteral("log.txt"), enc::FromSjis(log), this);
}

void TfrmMain::closeEvent(QCloseEvent* event) {
  if (HasPendingChanges()) {
    switch (
        AskYesNoCancel(QStringLiteral("今回ファイル名に変更がありました。\r\n実際にファイル名を変更"
                                      "してもよろしいですか？"))) {
      case Answer::Cancel:
        event->ignore();
        return;
      case Answer::Yes:
        RunGuarded([this] { ExecuteRenames(); });
        break;
      case Answer::No:
        break;
    }
  }
  event->accept();
}

}  // namespace tonbo
