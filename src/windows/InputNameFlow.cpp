// The preview dialog's flow: opening on a row, showing a file, writing the
// typed name back and moving on, the delete mark and closing.
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QToolButton>

#include "common/Dialogs.h"
#include "common/Sjis.h"
#include "windows/TfrmInputName.h"

namespace tonbo {

void TfrmInputName::actRenameOneExecute() {
  TCsvDb& table = host_.Table();
  if (table.RowCount() == 0) {
    ShowWarning(QStringLiteral("リストにファイルを追加してください。"),
                QStringLiteral("ファイルのプレビュー"));
    return;
  }
  int i = host_.SelectedIndex();
  if (i < 0) i = 0;
  std::string name(table.GetCell(colNewName, i));
  if (!host_.ExtNotChange()) name += table.GetCell(colExt, i);
  edtName_->setText(enc::FromSjis(name));
  ShowFile(std::string(table.GetCell(colPath, i)), std::string(table.GetCell(colTypeName, i)), i);
  if (!isVisible()) {
    show();
  } else {
    raise();
    activateWindow();
  }
}

void TfrmInputName::ShowFile(const std::string& sjisPath, const std::string& sjisDescription,
                             int index) {
  btnNext_->setEnabled(false);
  picture_.Clear();
  imgMain_->clear();
  currentExt_ = preview::CurrentExtOf(sjisPath);
  currentPath_ = sjisPath;
  currentIndex_ = index;
  edtName_->selectAll();
  setWindowTitle(
      QString::fromStdString(preview::WindowCaption(index, host_.Table().RowCount(), sjisPath)));
  lblPath_->setText(QStringLiteral("パス:") + enc::FromSjis(sjisPath));
  edtPrev_->setPlainText(enc::FromSjis(preview::DescriptionText(sjisDescription, sjisPath)));
  textFromFile_ = false;
  textForm_ = preview::TextForm();
  ChooseViewer();
  if (page_->currentIndex() != pageImage) ahead_.Cancel();
  btnNext_->setEnabled(true);
}

void TfrmInputName::btnNextClick() {
  goForward_ = true;
  goBackward_ = false;
  CommitAndMove();
}

void TfrmInputName::btnPrevClick() {
  goBackward_ = true;
  goForward_ = false;
  CommitAndMove();
}

void TfrmInputName::CommitAndMove() {
  StopMedia();
  if (imageEdited_ &&
      AskYesNo(QStringLiteral("画像が編集されています。変更を上書き保存しますか？")))
    mnuSaveAsClick();
  const QString text = edtName_->text();
  if (text.isEmpty()) return;
  TCsvDb& table = host_.Table();
  if (currentIndex_ < 0 || currentIndex_ >= table.RowCount()) return;
  const std::string typed = enc::ToSjis(text);
  const std::string before = std::string(table.GetCell(colNewName, currentIndex_))
                                 .append(table.GetCell(colExt, currentIndex_));
  if (host_.ExtNotChange()) {
    table.SetCell(colNewName, currentIndex_, typed);
  } else {
    const preview::NameParts parts = preview::SplitTypedName(typed);
    table.SetCell(colNewName, currentIndex_, parts.name);
    table.SetCell(colExt, currentIndex_, parts.ext);
  }
  host_.ItemChanged(currentIndex_);
  host_.NameTyped(currentIndex_, before);
  if (!goForward_ && !goBackward_) return;
  const int n = host_.ItemCount();
  host_.SetSelectedIndex(-1);
  const int j = preview::NeighbourItem(
      currentIndex_, n, goForward_, [&table](int item) { return table.MarkedForDeletion(item); });
  host_.SetSelectedIndex(j);
  actRenameOneExecute();
}

void TfrmInputName::btnDeleteClick() {
  TCsvDb& table = host_.Table();
  if (currentIndex_ >= 0 && currentIndex_ < table.RowCount()) {
    table.MarkForDeletion(currentIndex_);
    host_.ItemChanged(currentIndex_);
  }
  edtName_->setText(enc::FromSjis(DeleteMark()));
  btnNextClick();
}

void TfrmInputName::Close1Click() { close(); }

void TfrmInputName::closeEvent(QCloseEvent* event) {
  StopMedia();
  ahead_.Cancel();
  QMainWindow::closeEvent(event);
}

void TfrmInputName::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  goForward_ = goBackward_ = false;
  edtName_->setFocus();
}

}  // namespace tonbo
