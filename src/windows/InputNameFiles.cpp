// The preview dialog's viewers for text and web pages, and its file
// commands: save as, overwrite save, open as text, run, copy and help.
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTextBrowser>

#include "common/Dialogs.h"
#include "common/FileRead.h"
#include "common/Folders.h"
#include "common/Paths.h"
#include "common/Sjis.h"
#include "common/TextFile.h"
#include "platform/FileOps.h"
#include "platform/Launcher.h"
#include "platform/Shell.h"
#include "windows/PageWindow.h"
#include "windows/QImageBridge.h"
#include "windows/TMxBinEditor.h"
#include "windows/TfrmInputName.h"

namespace tonbo {
namespace {

// Files beyond this are not read into the text page.
constexpr std::uint64_t kMaxTextBytes = std::uint64_t{32} << 20;

QString DiskToQString(const std::string& disk) {
  return QFile::decodeName(QByteArray::fromStdString(disk));
}

std::string QStringToDisk(const QString& path) { return QFile::encodeName(path).toStdString(); }

// Copies the file shown to the path chosen in the save dialog, saying why
// when it cannot.
void CopyTo(const std::string& diskFrom, const QString& chosen) {
  std::string step;
  if (const int error = platform::CopyFileReplace(diskFrom, QStringToDisk(chosen), &step))
    ShowWarning(chosen + QStringLiteral("\r\nに保存できませんでした。\r\n") +
                QString::fromStdString(platform::ErrorText(error)));
}

// The formats a picture is written in (.jpg, .jpeg and .jpe are all JPEG).
bool IsSavedFormat(img::PictureFormat format) {
  return format == img::PictureFormat::Jpeg || format == img::PictureFormat::Png ||
         format == img::PictureFormat::Bmp;
}

// The file's bytes, unless it is too large for the text page.
bool ReadTextBytes(const std::string& diskPath, std::string& bytes) {
  int err = 0;
  if (ReadWholeFile(diskPath, bytes, &err, kMaxTextBytes)) return true;
  if (err == EFBIG)
    ShowWarning(DiskToQString(diskPath) +
                QStringLiteral("\r\nは大きすぎるためテキストとして開けません。"));
  return false;
}

}  // namespace

std::string TfrmInputName::DiskPath() const { return enc::SjisToDisk(currentPath_); }

QString TfrmInputName::TempPage() const { return DiskToQString(CacheDirDisk() + "temp.htm"); }

void TfrmInputName::ShowPage(int index) {
  programPage_ = true;
  page_->setCurrentIndex(index);
  programPage_ = false;
}

void TfrmInputName::ChooseViewer() {
  using preview::Viewer;
  // A pipe, socket or device is described, never opened: a FIFO would keep
  // the whole program waiting for a writer.
  if (const std::string kind = preview::NotAFileText(KindOf(DiskPath())); !kind.empty()) {
    edtPrev_->appendPlainText(enc::FromSjis(kind));
    ShowPage(pageText);
    return;
  }
  switch (preview::ChooseViewer(currentExt_, host_.PlayListChecked())) {
    case Viewer::PlayList:
    case Viewer::NotMedia:
      StartPlayList();
      return;
    case Viewer::Text:
      ShowText(DiskPath());
      ShowPage(pageText);
      return;
    case Viewer::Image:
      // The page first, so the picture is fitted to the view's real size.
      ShowPage(pageImage);
      LoadImage();
      return;
    case Viewer::WebPage:
      ShowWebPage();
      return;
    case Viewer::WebPicture:
      ShowWebPicture();
      return;
    case Viewer::Description:
      ShowPage(pageText);
      return;
    case Viewer::Media:
      OpenMediaViewer();
      return;
  }
}

void TfrmInputName::ShowText(const std::string& diskPath) {
  std::string bytes;
  if (!ReadTextBytes(diskPath, bytes)) return;
  const preview::DecodedText decoded = preview::DecodeTextFile(bytes);
  edtPrev_->setPlainText(decoded.text);
  textForm_ = decoded.form;
  textFromFile_ = true;
}

void TfrmInputName::WriteTempPage(const std::string& sjisHtml) {
  // A byte order mark, so the view reads the page as UTF-8 whatever it declares.
  const QByteArray page = "\xEF\xBB\xBF" + enc::FromSjis(sjisHtml).toUtf8();
  const std::string diskPage = QStringToDisk(TempPage());
  MakeDirs(ExtractFilePath(diskPage));
  WriteFileAtomic(diskPage, std::string_view(page.data(), static_cast<size_t>(page.size())));
  webPrev_->setSearchPaths({DiskToQString(ExtractFilePath(DiskPath()))});
  webPrev_->clearHistory();
  // Every preview writes the same file: the view reads it again only when told.
  const QUrl address = QUrl::fromLocalFile(TempPage());
  if (webPrev_->source() == address)
    webPrev_->reload();
  else
    webPrev_->setSource(address);
}

void TfrmInputName::ShowWebPage() {
  std::string bytes;
  ShowText(DiskPath());
  if (textFromFile_) bytes = enc::ToSjis(edtPrev_->toPlainText());
  WriteTempPage(preview::WebPageText(ExtractFilePath(currentPath_), bytes));
  ShowPage(pageHtml);
}

void TfrmInputName::ShowWebPicture() {
  WriteTempPage(preview::WebPicturePage(currentPath_));
  ShowPage(pageHtml);
}

void TfrmInputName::webPrevBeforeNavigate(const QUrl& target) {
  // The preview page stands for the file itself: its links lead from the
  // file's own folder, not from where the page was written.
  const QUrl temp = QUrl::fromLocalFile(TempPage());
  QUrl page = webPrev_->source();
  if (page == temp) page = QUrl::fromLocalFile(DiskToQString(DiskPath()));
  const QUrl resolved = page.resolved(target);
  const QUrl whole = resolved.adjusted(QUrl::RemoveFragment);
  if (whole == temp || whole == page.adjusted(QUrl::RemoveFragment)) {
    if (!resolved.fragment().isEmpty()) webPrev_->scrollToAnchor(resolved.fragment());
    return;
  }
  const QString address = resolved.isLocalFile() ? resolved.toLocalFile() : resolved.toString();
  if (!AskYesNo(QStringLiteral("他のページへ移動しようとしました。\r\n\"") + address +
                QStringLiteral("\"\r\nへの移動を許可しますか？")))
    return;
  // The view reads local files only; other addresses go to the desktop's browser.
  if (resolved.isLocalFile())
    webPrev_->setSource(resolved);
  else
    platform::CurrentLauncher().OpenUrl(resolved);
}

void TfrmInputName::SaveTextTo(const std::string& diskPath) {
  std::string bytes;
  if (!preview::EncodeTextFile(edtPrev_->toPlainText(), textForm_, bytes)) {
    ShowWarning(QStringLiteral("保存できない文字が含まれているため保存しませんでした。"));
    return;
  }
  int error = 0;
  if (!WriteFileAtomic(diskPath, bytes, &error))
    ShowWarning(DiskToQString(diskPath) + QStringLiteral("\r\nに保存できませんでした。\r\n") +
                QString::fromStdString(platform::ErrorText(error)));
}

void TfrmInputName::mnuSaveAsClick() {
  CloseMediaDevice();
  FileDialogRequest request;
  request.defaultSuffix = QString::fromStdString(currentExt_.empty() ? "" : currentExt_.substr(1));
  request.directory = DiskToQString(ExtractFilePath(DiskPath()));
  const int index = page_->currentIndex();
  if (index == pageImage) {
    request.filters = {QStringLiteral("JPEG (*.jpg *.jpeg)"), QStringLiteral("BMP (*.bmp)"),
                       QStringLiteral("PNG (*.png)"), QStringLiteral("その他 (*)")};
    const QString chosen = Dialogs().GetSaveFileName(request);
    if (chosen.isEmpty()) return;
    const std::string target = QStringToDisk(chosen);
    std::string t = LowerAscii(ExtractFileExt(target));
    if (t.empty()) t = currentExt_;
    const img::PictureFormat format = img::FormatFromExtension(t);
    if (IsSavedFormat(format)) {
      SavePictureTo(target, format);
    } else if (t == currentExt_) {
      CopyTo(DiskPath(), chosen);
    } else {
      ShowWarning(QStringLiteral("画像は JPEG、BMP、PNG のいずれかの形式で保存してください。"));
    }
    return;
  }
  request.filters = {QStringLiteral("全てのファイル (*)")};
  const QString chosen = Dialogs().GetSaveFileName(request);
  if (chosen.isEmpty()) return;
  if (index == pageText) {
    SaveTextTo(QStringToDisk(chosen));
    return;
  }
  CopyTo(DiskPath(), chosen);
}

void TfrmInputName::mnuSaveTextClick() {
  CloseMediaDevice();
  imageEdited_ = false;
  const QString shown = DiskToQString(DiskPath());
  const int index = page_->currentIndex();
  if (index == pageText) {
    // Only the file's own text, read back exactly, may be written over it.
    if (!textFromFile_ || !textForm_.lossless) {
      ShowWarning(
          QStringLiteral("表示中のテキストはファイルの内容をそのまま表していないため、"
                         "上書き保存できません。"));
      return;
    }
    if (AskYesNo(shown + QStringLiteral("\r\nに上書き保存しますか？"))) SaveTextTo(DiskPath());
    return;
  }
  if (index != pageImage) return;
  const img::PictureFormat format = img::FormatFromExtension(currentExt_);
  if (!IsSavedFormat(format)) return;
  if (format != img::PictureFormat::Jpeg ||
      AskYesNo(QStringLiteral("Exif情報は保存されませんがよろしいですか？")))
    SavePictureTo(DiskPath(), format);
}

void TfrmInputName::mnuOpenAsTextClick() {
  ShowText(DiskPath());
  ShowPage(pageText);
}

void TfrmInputName::mnuExecuteClick() {
  CloseMediaDevice();
  platform::ShellOpen(currentPath_);
}

void TfrmInputName::mnuCopyClick() {
  const int index = page_->currentIndex();
  if (index == pageText) {
    edtPrev_->copy();
  } else if (index == pageImage) {
    if (!EnsureFullPicture()) return;
    QApplication::clipboard()->setImage(img::ViewAsQImage(picture_.Full()).copy());
  } else {
    return;
  }
  host_.PlayEffectSound(0);
}

void TfrmInputName::mnuHelpAppClick() {
  const std::string manual = ProgramDirDisk() + "doc/index.htm";
  if (!platform::OpenDiskPath(manual)) ShowFileHere(manual, this);
}

void TfrmInputName::mnuHelpPreviewClick() {
  host_.ShowExplanation(QStringLiteral("preview"), false);
}

void TfrmInputName::pageChange(int index) {
  mnuSaveText_->setEnabled(index == pageText);
  if (index == pageBinary) LoadBinary();
}

void TfrmInputName::LoadBinary() {
  // What is not a file was described on the text page; its view stays empty.
  if (!binEdit_->LoadFromFile(DiskPath()) && preview::NotAFileText(KindOf(DiskPath())).empty())
    ShowWarning(DiskToQString(DiskPath()) + QStringLiteral("\r\nが開けません。"),
                QStringLiteral("読込みエラー"));
}

void TfrmInputName::cmbCharSetChange(int index) {
  if (index >= 0 && index <= 4) binEdit_->SetCharCode(index);
}

void TfrmInputName::btnBinFontClick() {
  QString font = binEdit_->font().toString();
  if (Dialogs().ChooseFont(font)) {
    QFont chosen;
    if (chosen.fromString(font)) binEdit_->setFont(chosen);
  }
  binEdit_->RedrawSelection();
}

void TfrmInputName::btnBinCopyClick() {
  if (!binEdit_->CopyToClipboard())
    ShowWarning(QStringLiteral("データが大きすぎるためコピーできません。範囲を選択してください。"));
}

}  // namespace tonbo
