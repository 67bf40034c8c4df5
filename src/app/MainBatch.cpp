// The list as files that do its renames later: the batch file for Windows
// and the shell script for this system. Neither changes the table.
#include <QFile>

#include "app/TfrmMain.h"
#include "common/Dialogs.h"
#include "common/Sjis.h"
#include "core/BatchWriter.h"
#include "core/RenameReasons.h"

namespace tonbo {
namespace {

// Asks for the file; empty on cancel.
QString AskFileName(const QString& filter, const QString& suffix, bool confirmOverwrite) {
  FileDialogRequest request;
  request.filters = {filter, QStringLiteral("全て (*)")};
  request.defaultSuffix = suffix;
  request.confirmOverwrite = confirmOverwrite;
  return Dialogs().GetSaveFileName(request);
}

// Writes the whole text or says which file could not be written and why.
bool WriteOrSay(const QString& name, const std::string& text, bool executable) {
  const int err = WriteWholeFile(enc::SjisToDisk(enc::ToSjis(name)), text, executable);
  if (err == 0) return true;
  ShowError(QStringLiteral("「%1」に書き込めませんでした").arg(name) +
            QString::fromStdString(ReasonText(err)));
  return false;
}

}  // namespace

void TfrmMain::mnuMakeBatchClick() {
  const QString name =
      AskFileName(QStringLiteral("バッチファイル(*.bat)"), QStringLiteral("bat"), false);
  if (name.isEmpty()) return;
  const BatchFile batch = BatchText(table_);
  if (!WriteOrSay(name, batch.text, false)) return;
  if (batch.left == 0) {
    ShowInfo(QStringLiteral("リストの全ファイルについてバッチファイルに変換しました。"));
  } else if (AskYesNo(QString::number(batch.left) +
                      QStringLiteral(" 個のファイルはバッチファイルに書きませんでした。\r\n"
                                     "エラーログを見ますか？"))) {
    OpenLog(batch.log);
  }
}

void TfrmMain::mnuMakeScriptClick() {
  const QString name =
      AskFileName(QStringLiteral("シェルスクリプト(*.sh)"), QStringLiteral("sh"), true);
  if (name.isEmpty()) return;
  if (!WriteOrSay(name, ShellScriptText(table_), true)) return;
  ShowInfo(QStringLiteral("リストの全ファイルについてシェルスクリプトに変換しました。"));
}

void TfrmMain::CreateKeepCommands() {
  commands_.Register(Command::mnuMakeBatch, [this] { mnuMakeBatchClick(); });
  commands_.Register(Command::mnuMakeScript, [this] { mnuMakeScriptClick(); });
  commands_.Register(Command::actBackup, [this] { actBackupExecute(); });
}

}  // namespace tonbo
