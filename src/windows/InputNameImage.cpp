// The preview dialog's picture page: loading with progress, the fitted and
// full-size views, dragging, the picture operations and saving pictures.
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QMouseEvent>
#include <QProgressBar>
#include <QScopeGuard>
#include <QScrollArea>
#include <QScrollBar>

#include "common/Dialogs.h"
#include "common/Sjis.h"
#include "preview/imaging/BmpFilter.h"
#include "windows/QImageBridge.h"
#include "windows/TfrmInputName.h"

namespace tonbo {
namespace {

constexpr qint64 kProgressPaintMs = 100;

QPixmap PixmapOf(const img::Bitmap& bitmap) {
  return QPixmap::fromImage(img::ViewAsQImage(bitmap));
}

}  // namespace

img::ProgressFn TfrmInputName::ProgressHandler() {
  QElapsedTimer shown;
  shown.start();
  return [this, shown](int percent) mutable {
    prog_->setRange(0, 100);
    prog_->setValue(percent);
    // The bar repaints; input waits until the picture is in, so no command
    // runs on a half-loaded picture. Painting it at every percent cost a
    // quick load a good part of its time: a few times a second is enough.
    if (shown.elapsed() >= kProgressPaintMs) {
      QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
      shown.restart();
    }
    return true;
  };
}

void TfrmInputName::LoadImage() {
  const QSize view = scrollBox1_->viewport()->size();
  // The fitted view needs no more than the view's size of a large JPEG.
  const bool fitted = chkImage_->isChecked();
  // The last file's picture goes first: it must not stand behind this one's
  // progress or its load error.
  imgPrev_->clear();
  imgMain_->clear();
  const img::PictureFormat format = img::FormatFromExtension(currentExt_);
  const int fitWidth = fitted ? view.width() : 0, fitHeight = fitted ? view.height() : 0;
  bool ok = false;
  if (auto ahead = ahead_.Take(DiskPath(), format, fitWidth, fitHeight)) {
    picture_.Adopt(DiskPath(), format, std::move(*ahead));
    ok = true;
  } else {
    ok = picture_.Load(DiskPath(), format, fitWidth, fitHeight, ProgressHandler()).Ok();
  }
  if (ok) {
    imageEdited_ = false;
  } else {
    ShowWarning(enc::FromSjis(currentPath_) + QStringLiteral("\r\nが開けません。"),
                QStringLiteral("読込みエラー"));
  }
  rescaleNeeded_ = true;
  ShowPictures();
  FitImage();
  scrollBox1_->update();
  ReadAhead();
}

// Only for the fitted view: a whole 24-megapixel picture held twice would
// cost more memory than the wait it saves.
void TfrmInputName::ReadAhead() {
  TCsvDb& table = host_.Table();
  const int next =
      preview::NeighbourItem(currentIndex_, host_.ItemCount(), !goBackward_,
                             [&table](int item) { return table.MarkedForDeletion(item); });
  if (!chkImage_->isChecked() || next == currentIndex_ || next < 0 || next >= table.RowCount())
    return ahead_.Cancel();
  const std::string sjisPath(table.GetCell(colPath, next));
  const std::string ext = preview::CurrentExtOf(sjisPath);
  if (preview::ChooseViewer(ext, host_.PlayListChecked()) != preview::Viewer::Image)
    return ahead_.Cancel();
  const QSize view = scrollBox1_->viewport()->size();
  ahead_.Start(enc::SjisToDisk(sjisPath), img::FormatFromExtension(ext), view.width(),
               view.height());
}

bool TfrmInputName::EnsureFullPicture() {
  if (picture_.Empty()) return false;
  if (picture_.EnsureFull(ProgressHandler())) return true;
  ShowWarning(enc::FromSjis(currentPath_) + QStringLiteral("\r\nが開けません。"),
              QStringLiteral("読込みエラー"));
  return false;
}

void TfrmInputName::FitImage() {
  if (picture_.Empty() || !rescaleNeeded_ || fitting_) return;
  fitting_ = true;
  const auto done = qScopeGuard([this] { fitting_ = false; });
  const QSize view = scrollBox1_->viewport()->size();
  imgPrev_->resize(view);
  // The view grew past a reduced picture: decode it again for this size.
  if (picture_.TooSmallFor(view.width(), view.height()) &&
      !picture_.Redecode(view.width(), view.height(), ProgressHandler()))
    return;
  const img::Bitmap fitted = picture_.Fit(view.width(), view.height(), chkGasitu_->isChecked());
  imgPrev_->setPixmap(PixmapOf(fitted));
  if (chkImage_->isChecked()) scrollBox1_->widget()->resize(view);
  rescaleNeeded_ = false;
}

// Fitted view or full size, as chkImage says.
void TfrmInputName::ShowPictures() {
  const bool fitted = chkImage_->isChecked();
  imgPrev_->setVisible(fitted);
  imgMain_->setVisible(!fitted);
  if (!fitted && !picture_.Empty() && EnsureFullPicture()) {
    imgMain_->setPixmap(PixmapOf(picture_.Full()));
    imgMain_->resize(picture_.Width(), picture_.Height());
    scrollBox1_->widget()->resize(imgMain_->size());
  }
}

void TfrmInputName::chkImageClick() {
  ShowPictures();
  if (chkImage_->isChecked()) {
    rescaleNeeded_ = true;
    FitImage();
  }
}

void TfrmInputName::imgPrevMouseDown(const QPoint& at) {
  const QSize shown = imgPrev_->size();
  chkImage_->setChecked(!chkImage_->isChecked());
  chkImageClick();
  QScrollBar* h = scrollBox1_->horizontalScrollBar();
  QScrollBar* v = scrollBox1_->verticalScrollBar();
  if (shown.width() > 0)
    h->setValue(static_cast<int>(static_cast<double>(h->maximum()) * at.x() / shown.width()));
  if (shown.height() > 0)
    v->setValue(static_cast<int>(static_cast<double>(v->maximum()) * at.y() / shown.height()));
}

void TfrmInputName::imgMainMouseDown(Qt::MouseButton button, const QPoint& at) {
  if (button == Qt::RightButton) {
    chkImage_->setChecked(!chkImage_->isChecked());
    chkImageClick();
    return;
  }
  dragStartX_ = at.x();
  dragStartY_ = at.y();
  dragging_ = true;
}

void TfrmInputName::imgMainMouseMove(const QPoint& at) {
  if (!dragging_) return;
  QScrollBar* v = scrollBox1_->verticalScrollBar();
  QScrollBar* h = scrollBox1_->horizontalScrollBar();
  v->setValue(v->value() + (dragStartY_ - at.y()) / 10);
  h->setValue(h->value() + (dragStartX_ - at.x()) / 10);
}

void TfrmInputName::imgMainMouseUp() { dragging_ = false; }

void TfrmInputName::PictureOperation(void (*operation)(img::Bitmap&), bool edits) {
  if (!EnsureFullPicture()) return;
  img::Bitmap copy = picture_.Full();
  operation(copy);
  picture_.Replace(std::move(copy));
  if (edits) imageEdited_ = true;
  rescaleNeeded_ = true;
  FitImage();
  ShowPictures();
}

void TfrmInputName::btnRotateLeftClick() {
  if (picture_.Empty()) {
    ShowError(QString::fromUtf8(img::EInvalidBitmap().what()));
    return;
  }
  PictureOperation([](img::Bitmap& b) { img::Rotate90(b, false); }, true);
}

void TfrmInputName::btnRotateRightClick() {
  if (picture_.Empty()) {
    ShowError(QString::fromUtf8(img::EInvalidBitmap().what()));
    return;
  }
  PictureOperation([](img::Bitmap& b) { img::Rotate90(b, true); }, true);
}

bool TfrmInputName::SavePictureTo(const std::string& diskPath, img::PictureFormat format) {
  if (!EnsureFullPicture()) return false;
  const img::SaveResult saved = img::SavePicture(picture_.Full(), diskPath, format);
  if (saved.Ok()) return true;
  ShowWarning(QFile::decodeName(QByteArray::fromStdString(diskPath)) +
              QStringLiteral("\r\nに保存できませんでした。\r\n") +
              QString::fromUtf8(img::Describe(saved.error)));
  return false;
}

}  // namespace tonbo
