// Saving the list to a CSV file and loading such a file back.
#include <QDir>
#include <QFile>

#include "app/TfrmMain.h"
#include "common/Dialogs.h"
#include "common/Errors.h"
#include "common/Sjis.h"
#include "core/ListLoad.h"
#include "platform/RecentFiles.h"

namespace tonbo {
namespace {

std::string DiskName(const QString& chosen) { return QFile::encodeName(chosen).toStdString(); }

// Lists go into the desktop's recently-used files as what they are.
const QString kListType = QStringLiteral("text/csv");

}  // namespace

void TfrmMain::mnuSaveListClick() {
  if (!ConfirmAction(QStringLiteral("save_list"))) return;
  if (table_.RowCount() == 0) {
    ShowWarning(QStringLiteral("ファイルリストが、空っぽです。"), QStringLiteral("リストの保存"));
    return;
  }
  FileDialogRequest dlgSaveCsv;
  dlgSaveCsv.caption = QStringLiteral("リストを保存");
  dlgSaveCsv.directory = QDir::homePath();
  dlgSaveCsv.filters = {QStringLiteral("CSVファイル (*.csv)"), QStringLiteral("全て (*)")};
  dlgSaveCsv.defaultSuffix = QStringLiteral("csv");
  const QString chosen = Dialogs().GetSaveFileName(dlgSaveCsv);
  if (chosen.isEmpty()) return;
  // A failed write leaves any earlier file as it was and ends in the error box.
  // The list holds every column, the selection recorded with the last step too.
  try {
    SaveListFile(TableAsRecorded(), DiskName(chosen));
  } catch (const EInOutError&) {
    // An earlier save's "保存しました" must not stand beside the error box.
    SetStatusText(1, QStringLiteral("リストを保存できませんでした。"));
    throw;
  }
  platform::AddRecentFile(DiskName(chosen), kListType);
  SetStatusText(1, QString::number(table_.RowCount()) +
                       QStringLiteral("個のファイルのリストを保存しました。"));
}

void TfrmMain::mnuLoadListClick() {
  if (!ConfirmAction(QStringLiteral("load_list"))) return;
  if (table_.RowCount() > 0) {
    const Answer answer = AskYesNoCancel(QStringLiteral("現在のファイルリストををクリアしますか？"),
                                         QStringLiteral("リストの読み込み"));
    if (answer == Answer::Cancel) return;
    if (answer == Answer::Yes) actClearExecute();
  }
  FileDialogRequest dlgOpenCsv;
  dlgOpenCsv.caption = QStringLiteral("リストを読込");
  dlgOpenCsv.directory = QDir::homePath();
  dlgOpenCsv.filters = {QStringLiteral("CSV 形式 (*.csv)"), QStringLiteral("全て (*)")};
  dlgOpenCsv.multiple = false;
  const QStringList chosen = Dialogs().GetOpenFileNames(dlgOpenCsv);
  if (chosen.isEmpty()) return;
  // An unreadable file ends here: nothing added, no history entry.
  const ListedFiles listed = ReadListFile(DiskName(chosen.front()));
  platform::AddRecentFile(DiskName(chosen.front()), kListType);
  if (listed.paths.empty()) {
    ShowWarning(QStringLiteral("何も追加できるファイルがありませんでした。"),
                QStringLiteral("リストの読込"));
  } else {
    TfrmProgress progress(this, QStringLiteral("ファイルの追加"), progressClock_);
    AddFiles(listed.paths, &progress);
  }
  if (!listed.log.empty() && AskYesNo(QStringLiteral("エラーログをみますか？")))
    OpenLog(listed.log);
  RecordUndo(QStringLiteral("リストにファイル追加"));
}

}  // namespace tonbo
