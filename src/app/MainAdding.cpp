// Adding files to the list: drops, the command line, the open dialog and
// the two same-folder commands.
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QTableView>
#include <QUrl>

#include "app/TfrmMain.h"
#include "common/Dialogs.h"
#include "common/Paths.h"
#include "common/Sjis.h"
#include "core/FileAdder.h"
#include "text/Glob.h"

namespace tonbo {
namespace {

QStringList OpenFilters() {
  return {QStringLiteral("全て (*)"),
          QStringLiteral("画像(bmp;ico;jpg;gif;png;jpeg) (*.bmp *.ico *.jpg *.jpeg *.png *.gif)"),
          QStringLiteral("マルチメディア(mid;wav;mp3;wma;mpg;avi) (*.mid *.wav *.mp3 *.wma *.mpg "
                         "*.mpeg *.avi)"),
          QStringLiteral("テキスト(txt;html) (*.txt *.htm *.html)")};
}

// Paths from outside (disk bytes) in code page 932.
std::vector<std::string> ToSjisPaths(const std::vector<std::string>& diskPaths) {
  std::vector<std::string> out(diskPaths.size());
  for (size_t i = 0; i < diskPaths.size(); ++i) enc::DiskToSjis(diskPaths[i], out[i]);
  return out;
}

const QString kAddCaption = QStringLiteral("ファイルの追加");

// An add stopped in the progress window says so before its count.
QString StoppedPrefix(bool stopped) {
  return stopped ? QStringLiteral("中止しました。") : QString();
}

// One box for every folder an add could not read; a long list scrolls.
void WarnUnreadFolders(const std::vector<std::string>& sjisFolders) {
  const QString tail = QStringLiteral("の読み込みに失敗");
  if (sjisFolders.size() == 1) {
    ShowWarning(enc::FromSjis(sjisFolders.front()) + QStringLiteral("\r\n") + tail, AppTitle());
    return;
  }
  QStringList names;
  for (const std::string& folder : sjisFolders) names << enc::FromSjis(folder);
  ShowWarningDetails(QStringLiteral("次の") + QString::number(sjisFolders.size()) +
                         QStringLiteral("個のフォルダ") + tail,
                     names.join(QStringLiteral("\r\n")), AppTitle());
}

}  // namespace

int TfrmMain::AddFiles(const std::vector<std::string>& sjisPaths, ProgressSink* progress) {
  FileAdder adder(
      table_, growthLimit_,
      {[](int limit) {
         return AskYesNo(
             QStringLiteral("追加したファイルの数が、") + QString::number(limit) +
             QStringLiteral(" 個を超えました。\r\nさらに多くのファイルを追加しますか？"));
       },
       [](const std::vector<std::string>& sjisFolders) { WarnUnreadFolders(sjisFolders); }});
  adder.SetProgress(progress);
  const int added = adder.AddFiles(sjisPaths);
  SetStatusText(1, StoppedPrefix(adder.Cancelled()) + QStringLiteral("今回 ") +
                       QString::number(added) +
                       QStringLiteral("個のファイルをリストに追加しました。"));
  listFile_->clearSelection();  // also when nothing new came in
  RefreshList();
  RecordUndo(QStringLiteral("ファイルの追加"));
  return added;
}

int TfrmMain::AddDiskPaths(const std::vector<std::string>& diskPaths) {
  std::vector<std::string> absolute;
  absolute.reserve(diskPaths.size());
  for (const std::string& p : diskPaths) absolute.push_back(AbsolutePath(p));
  TfrmProgress progress(this, kAddCaption, progressClock_);
  return AddFiles(ToSjisPaths(absolute), &progress);
}

void TfrmMain::FileDrop1FileDrop(const std::vector<std::string>& diskPaths) {
  PlayEffectSound(1);
  AddDiskPaths(diskPaths);
}

void TfrmMain::actOpenExecute() {
  if (!ConfirmAction(QStringLiteral("add_files"))) return;
  FileDialogRequest request;
  request.caption = QStringLiteral("ファイルを追加");
  request.filters = OpenFilters();
  // Where the user is working: the selected file's folder, else home.
  const int first = FirstSelectedRow();
  request.directory = first >= 0 ? QFile::decodeName(QByteArray::fromStdString(enc::SjisToDisk(
                                       ExtractFilePath(table_.GetCell(colPath, first)))))
                                 : QDir::homePath();
  const QStringList chosen = Dialogs().GetOpenFileNames(request);
  if (chosen.isEmpty()) return;
  std::vector<std::string> disk;
  for (const QString& name : chosen) disk.push_back(QFile::encodeName(name).toStdString());
  AddDiskPaths(disk);
  RecordUndo(QStringLiteral("ファイルを開く"));
}

void TfrmMain::AddSameFolder(bool withSubfolders) {
  if (!ConfirmAction(QStringLiteral("add_file_same_dir"))) return;
  const int first = FirstSelectedRow();
  if (first < 0) {
    ShowWarning(
        QStringLiteral("ファイルが選択されていません。\r\n予め、リストから任意のファイルを選択"
                       "しておく必要があります。"),
        QStringLiteral("同フォルダにあるファイルの追加"));
    return;
  }
  const std::string dir = ExtractFilePath(table_.GetCell(colPath, first));
  const int before = table_.RowCount();
  std::vector<std::string> paths;
  if (withSubfolders) {
    paths = GlobFilesRecursive(dir + "*").value_or(std::vector<std::string>());
  } else {
    for (const std::string& name : GlobFiles(dir + "*")) paths.push_back(dir + name);
  }
  TfrmProgress progress(this, kAddCaption, progressClock_);
  AddFiles(paths, &progress);
  const int added = table_.RowCount() - before;
  if (added > 0) {
    PlayEffectSound(1);
    RefreshList();
  }
  SetStatusText(1, StoppedPrefix(progress.Cancelled()) + QString::number(added) +
                       QStringLiteral("個のファイルを追加しました。"));
  RecordUndo(QStringLiteral("選択ファイルと同じフォルダにあるファイル追加"));
}

int TfrmMain::FirstSelectedRow() const {
  int first = -1;
  for (const QModelIndex& index : listFile_->selectionModel()->selectedRows())
    if (first < 0 || index.row() < first) first = index.row();
  return first;
}

bool TfrmMain::eventFilter(QObject* watched, QEvent* event) {
  if (watched != listFile_->viewport()) return QMainWindow::eventFilter(watched, event);
  if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
    auto* drag = static_cast<QDropEvent*>(event);
    if (drag->mimeData()->hasUrls()) {
      drag->acceptProposedAction();
      return true;
    }
  } else if (event->type() == QEvent::Drop) {
    auto* drop = static_cast<QDropEvent*>(event);
    std::vector<std::string> paths;
    for (const QUrl& url : drop->mimeData()->urls()) {
      if (!url.isLocalFile()) continue;
      // The URL's own bytes, so names that are not UTF-8 arrive intact.
      paths.push_back(
          QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()).toStdString());
    }
    drop->acceptProposedAction();
    if (!paths.empty()) RunGuarded([this, paths] { FileDrop1FileDrop(paths); });
    return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

}  // namespace tonbo
