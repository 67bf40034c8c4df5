// "選択されたファイルをバックアップ": the selected files copied into a chosen
// folder under their new names; the list and its files stay as they are.
#include <numeric>

#include "app/TfrmMain.h"
#include "app/TfrmSelect.h"
#include "common/Dialogs.h"
#include "common/Paths.h"
#include "common/Sjis.h"
#include "core/BackupRun.h"

namespace tonbo {

void TfrmMain::actBackupExecute() {
  if (!ConfirmAction(QStringLiteral("backup"))) return;
  std::vector<int> rows = SelectedRows();
  if (rows.empty()) {
    if (!AskYesNo(QStringLiteral("全てのファイルをバックアップしますか？"))) return;
    rows.resize(static_cast<size_t>(table_.RowCount()));
    std::iota(rows.begin(), rows.end(), 0);
    SelectRows(rows);
  }
  const QString start =
      rows.empty() ? QString() : enc::FromSjis(ExtractFilePath(table_.GetCell(colPath, rows[0])));
  const QString folder =
      Dialogs().GetExistingDirectory(QStringLiteral("バックアップ先の選択"), start);
  if (folder.isEmpty()) return;
  if (!AskYesNo(QStringLiteral("リスト中の選択ファイル %1個を\r\n\"%2\"\r\nへ一括コピーします。")
                    .arg(rows.size())
                    .arg(folder),
                QStringLiteral("確認")))
    return;
  BackupRun run([this](const std::string& target) {
    frmSelect_->SetTarget(enc::FromSjis(target));
    Dialogs().RunModal(*frmSelect_);
    return frmSelect_->Answer();
  });
  TfrmProgress progress(this, QStringLiteral("バックアップ"), progressClock_);
  run.SetProgress(&progress);
  const BackupResult result = run.Run(table_, rows, enc::ToSjis(folder));
  if (result.stopped) {
    ShowWarning(QStringLiteral("処理は途中で中止されました。"), QStringLiteral("バックアップ"));
    return;
  }
  if (result.log.empty()) {
    ShowInfo(QStringLiteral("無事コピーされました。"));
    return;
  }
  if (AskYesNo(QStringLiteral("バックアップに際してログが記録されています。\r\n表示しますか？")))
    OpenLog(result.log, "err.txt");
}

}  // namespace tonbo
