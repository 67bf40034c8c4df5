// The last steps of the main window's creation: the files of the command
// line and the keys held at start.
#include <QTimer>

#include "app/TfrmMain.h"
#include "windows/TfrmInputName.h"

namespace tonbo {

void TfrmMain::StartUp(const std::vector<std::string>& diskPaths, Qt::KeyboardModifiers keys) {
  WarnUnreadableSettings();
  // A rename run cut off last time is settled first, so that the files below
  // are added under the names they end with.
  OfferRecovery();
  // Files from the command line come in before the window is first shown:
  // no explanation and no sound.
  if (!diskPaths.empty()) AddDiskPaths(diskPaths);
  if ((keys & Qt::ShiftModifier) && table_.RowCount() > 0) {
    SelectRows({0});
    AddSameFolder(false);
  }
  if (keys & Qt::ControlModifier) timerPreview_->start();
}

void TfrmMain::CreateStartUpTimer() {
  timerPreview_ = new QTimer(this);
  timerPreview_->setObjectName(QStringLiteral("timerPreview"));
  timerPreview_->setSingleShot(true);
  timerPreview_->setInterval(500);
  connect(timerPreview_, &QTimer::timeout, this, &TfrmMain::timerPreviewTimer);
}

void TfrmMain::timerPreviewTimer() {
  timerPreview_->stop();
  if (table_.RowCount() == 0) return;
  SelectRows({0});
  commands_.Run(Command::actRenameOne);
  frmInputName_->raise();
  frmInputName_->activateWindow();
}

}  // namespace tonbo
