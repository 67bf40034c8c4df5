// Applying the list to the disk (F5) and the question when closing with
// names that were not applied.
#include <QCloseEvent>

#include "app/TfrmMain.h"
#include "app/TfrmSelect.h"
#include "common/Dialogs.h"
#include "common/Escaped.h"
#include "common/Folders.h"
#include "common/Paths.h"
#include "common/Sjis.h"
#include "common/TextFile.h"
#include "core/RenameExecutor.h"
#include "core/RunRecovery.h"
#include "platform/Shell.h"
#include "windows/PageWindow.h"
#include "windows/TfrmRunHistory.h"

namespace tonbo {
namespace {

QString VisibleUtf8(const std::string& utf8) {
  return WithControlPictures(QString::fromStdString(utf8));
}

// "2026-12-08 05:30:12、フォルダ /home/a/写真/"
QString Described(const RunSummary& run) {
  QString text = QString::fromStdString(run.time) + QStringLiteral("、フォルダ ");
  for (size_t i = 0; i < run.folders.size() && i < 3; ++i)
    text += (i > 0 ? QStringLiteral("、") : QString()) + VisibleUtf8(run.folders[i]);
  if (run.folders.size() > 3)
    text += QStringLiteral("、ほか %1 か所").arg(static_cast<int>(run.folders.size() - 3));
  return text;
}

}  // namespace

bool TfrmMain::HasPendingChanges() const {
  for (int row = 0; row < table_.RowCount(); ++row) {
    // A file named like the delete mark and marked keeps its name in the cells.
    if (table_.MarkedForDeletion(row)) return true;
    if (ExtractFileName(table_.GetCell(colPath, row)) !=
        std::string(table_.GetCell(colNewName, row)).append(table_.GetCell(colExt, row)))
      return true;
  }
  return false;
}

void TfrmMain::actRenameRealExecute() {
  if (!ConfirmAction(QStringLiteral("rename_real"))) return;
  // The rows that would fail or ask come first, before any same-name question.
  if (!AskYesNo(ClashSummary() +
                QStringLiteral("実際にファイル名を変更します。\r\nよろしいですか？")))
    return;
  ExecuteRenames();
}

void TfrmMain::ExecuteRenames() {
  RenameExecutor executor([this](const std::string& target) {
    frmSelect_->SetTarget(enc::FromSjis(target));
    Dialogs().RunModal(*frmSelect_);
    return frmSelect_->Answer();
  });
  TfrmProgress progress(this, QStringLiteral("名前の変更"), progressClock_);
  executor.SetProgress(&progress);
  const RenameResult result = executor.Run(table_);
  if (!result.error.empty()) {
    ShowWarning(QString::fromStdString(result.error));
    return;
  }
  table_.Clear();
  AddFiles(result.paths);
  undo_.Clear();  // what is on disk now cannot be undone from the list
  RecordUndo(QString());
  QString report =
      QString::number(result.renamed) + QStringLiteral("個のファイルを名前変更しました。");
  if (result.deleted > 0)
    report += QStringLiteral("\r\n") + QString::number(result.deleted) +
              QStringLiteral("個のファイルを削除しました。");
  if (result.stopped)
    report = QStringLiteral("名前の変更を中止しました。\r\n") + report + QStringLiteral("\r\n") +
             QString::number(result.untouched) + QStringLiteral("個のファイルは変更していません。");
  ShowInfo(report);
  if (!result.journalError.empty()) ShowWarning(QString::fromStdString(result.journalError));
  if (!result.log.empty() &&
      AskYesNo(
          QString::number(result.notDone) +
          QStringLiteral(" 個のファイルを名前変更できませんでした。\r\nエラーログを見ますか？")))
    OpenLog(result.log);
  RefreshList();
}

void TfrmMain::mnuUndoRenameClick() {
  const UndoChoice choice = LastUndoableRun();
  if (!choice.refusal.empty()) {
    ShowWarning(VisibleUtf8(choice.refusal));
    return;
  }
  if (choice.journal.empty()) {
    ShowInfo(QStringLiteral("元に戻せる名前の変更の記録がありません。"));
    return;
  }
  const RunSummary run = SummarizeRun(choice.journal);
  if (!AskYesNo(QStringLiteral("最後に実行した名前の変更（%1 個のファイル）を元に戻します。\r\n"
                               "%2\r\n"
                               "その後で変更されたファイルはそのままにします。\r\nよろしいですか？")
                    .arg(run.files)
                    .arg(Described(run))))
    return;
  ShowRecovery(WithRecoveryProgress(
                   QStringLiteral("元に戻す"),
                   [&](ProgressSink* progress) { return UndoRun(choice.journal, progress); }),
               QStringLiteral("個のファイルを元の名前に戻しました。"));
}

void TfrmMain::OfferRecovery() {
  for (const std::string& journal : UnfinishedJournals()) {
    if (const std::string refusal = JournalRefusal(journal); !refusal.empty()) {
      ShowWarning(VisibleUtf8(refusal));
      continue;
    }
    int planned = 0, done = 0;
    CountJournal(journal, planned, done);
    const Answer answer = AskYesNoCancel(
        QStringLiteral("前回の名前の変更（%1 個のファイル）は途中で終了しました。\r\n\r\n"
                       "「はい」　残りの名前の変更を実行して、最後まで済ませます。\r\n"
                       "「いいえ」　変更前の名前に戻します。\r\n"
                       "「キャンセル」　今はそのままにします（次に起動したときにもう一度確認"
                       "します）。")
            .arg(planned));
    if (answer == Answer::Cancel) continue;
    const bool finish = answer == Answer::Yes;
    const RecoveryResult result = WithRecoveryProgress(
        finish ? QStringLiteral("名前の変更を最後まで済ませる") : QStringLiteral("元に戻す"),
        [&](ProgressSink* progress) {
          return RecoverRun(journal, finish ? RecoverMode::Finish : RecoverMode::Rollback,
                            progress);
        });
    ShowRecovery(result, finish ? QStringLiteral("個のファイルの名前変更を最後まで済ませました。")
                                : QStringLiteral("個のファイルを元の名前に戻しました。"));
  }
}

void TfrmMain::CreateRunHistory() {
  frmRunHistory_ = new TfrmRunHistory(this);
  LoadPlacement(*frmRunHistory_, "frmRunHistory");
  frmRunHistory_->SetUndoer([this](const std::string& journal) {
    const RecoveryResult result = WithRecoveryProgress(
        QStringLiteral("元に戻す"),
        [&](ProgressSink* progress) { return UndoRun(journal, progress, UndoMode::AllOrNothing); });
    if (result.error.empty()) ListRecovered(result);
    return result;
  });
  commands_.Register(Command::mnuRunHistory, [this] { frmRunHistory_->Execute(); });
}

RecoveryResult TfrmMain::WithRecoveryProgress(
    const QString& caption, const std::function<RecoveryResult(ProgressSink*)>& work) {
  TfrmProgress progress(this, caption, progressClock_);
  progress.SetStoppable(false);
  return work(&progress);
}

void TfrmMain::ListRecovered(const RecoveryResult& result) {
  table_.Clear();
  AddFiles(result.paths);
  undo_.Clear();
  RecordUndo(QString());
}

void TfrmMain::ShowRecovery(const RecoveryResult& result, const QString& movedText) {
  if (!result.error.empty()) {
    ShowWarning(VisibleUtf8(result.error));
    return;
  }
  ListRecovered(result);
  QString report = QString::number(result.moved) + movedText;
  if (result.restored > 0)
    report += QStringLiteral("\r\n") + QString::number(result.restored) +
              QStringLiteral("個のファイルをごみ箱から戻しました。");
  if (result.deleted > 0)
    report += QStringLiteral("\r\n") + QString::number(result.deleted) +
              QStringLiteral("個のファイルを削除しました。");
  if (result.kept)
    report += QStringLiteral(
        "\r\n一時的な名前のまま残ったファイルがあるため、名前の変更の記録は"
        "閉じずに残しました。次に起動したときにもう一度確認します。");
  ShowInfo(report);
  if (!result.log.empty() &&
      AskYesNo(QString::number(result.notDone) +
               QStringLiteral(" 個のファイルはそのままにしました。\r\nエラーログを見ますか？"))) {
    QString log;
    for (const std::string& line : result.log)
      log += WithControlPictures(enc::FromSjis(line)) + "\r\n";
    OpenLog(enc::ToSjis(log));
  }
  RefreshList();
}

void TfrmMain::OpenLog(const std::string& log, const char* fileName) {
  const std::string dir = StateDirDisk();
  MakeDirs(dir);
  const std::string path = dir + fileName;
  std::string sjisPath;
  // UTF-8, as every editor here reads a text: the log is for people, and
  // only lists and batch files keep code page 932.
  const bool opened = SaveTextFile(path, enc::FromSjis(log).toUtf8().toStdString()) &&
                      enc::DiskToSjis(path, sjisPath) &&
                      platform::RunCommandLine("notepad.exe \"" + sjisPath + "\"");
  if (!opened) ShowTextHere(QString::fromLatin1(fileName), enc::FromSjis(log), this);
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
