// The preview dialog's media page and play list mode.
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>

#include "common/Dialogs.h"
#include "common/Sjis.h"
#include "windows/TfrmInputName.h"

namespace tonbo {

using preview::MediaMode;

namespace {

int Clamp(int64_t value) {
  return static_cast<int>(std::clamp<int64_t>(value, 0, std::numeric_limits<int>::max()));
}

}  // namespace

void TfrmInputName::SetMediaDevice(std::unique_ptr<preview::MediaDevice> device) {
  media_ = std::move(device);
  media_->onNotify = [this] { MPlayerNotify(); };
}

void TfrmInputName::EnableButtons(int buttons) {
  enabledButtons_ = buttons;
  btnPlay_->setEnabled(buttons & btPlay);
  btnStop_->setEnabled(buttons & btStop);
  btnBack_->setEnabled(buttons & btBack);
}

void TfrmInputName::CloseMediaDevice() {
  const MediaMode mode = media_->Mode();
  if (mode == MediaMode::Stopped || mode == MediaMode::Open) media_->Close();
}

void TfrmInputName::OpenMediaViewer() {
  media_->Close();
  media_->SetFileName(DiskPath());
  media_->Open();
  mPlayer_->setEnabled(true);
  scrMCI_->setValue(0);
  EnableButtons(btPlay | btStop | btBack);
  ShowPage(pageMedia);
}

void TfrmInputName::StartPlayList() {
  if (!preview::InList(preview::kPlayListMediaList, currentExt_)) {
    if (AskYesNo(QStringLiteral("\"") + enc::FromSjis(currentPath_) +
                 QStringLiteral("\"はマルチメディアファイルではありません。次を演奏します。")))
      btnNextClick();
    return;
  }
  playListRunning_ = true;
  media_->Close();
  media_->SetFileName(DiskPath());
  media_->Open();
  scrMCI_->setValue(0);
  ShowPage(pageMedia);
  media_->Seek(scrMCI_->value());
  scrMCI_->setMaximum(Clamp(media_->Length()));
  tmrMCI_->start();
  media_->Play();
  EnableButtons(btStop | btBack);
  mPlayer_->setEnabled(true);
}

void TfrmInputName::MPlayerPlayClick() {
  media_->Seek(scrMCI_->value());
  scrMCI_->setMaximum(Clamp(media_->Length()));
  tmrMCI_->start();
  EnableButtons(btStop | btBack);
  media_->Play();
}

void TfrmInputName::MPlayerStopClick() {
  tmrMCI_->stop();
  if (media_->Mode() == MediaMode::Playing) {
    media_->Stop();
    EnableButtons(btPlay | btStop | btBack);
  }
  playListRunning_ = false;
  media_->Stop();
}

void TfrmInputName::MPlayerBackClick() {
  tmrMCI_->stop();
  if (media_->Mode() == MediaMode::Playing) media_->Stop();
  playListRunning_ = false;
  scrMCI_->setValue(0);
  EnableButtons(btPlay | btStop | btBack);
  media_->Seek(0);
}

void TfrmInputName::scrMCIChange(int position) { media_->Seek(position); }

void TfrmInputName::tmrMCITimer() {
  scrMCI_->setValue(Clamp(media_->Position()));
  if (media_->Mode() != MediaMode::Playing) {
    tmrMCI_->stop();
    EnableButtons(btPlay | btStop | btBack);
  }
}

void TfrmInputName::MPlayerNotify() {
  if (!playListRunning_) return;
  // From the device's own notification: go on once it has returned.
  QTimer::singleShot(0, this, [this] {
    btnNextClick();
    mnuPlayListClick();
  });
}

void TfrmInputName::StopMedia() {
  if (media_->Mode() == MediaMode::Playing) {
    media_->Stop();
    EnableButtons(btPlay | btStop | btBack);
  }
  tmrMCI_->stop();
  if (host_.PlayListChecked()) mnuPlayListClick();
  CloseMediaDevice();
  mPlayer_->setEnabled(false);
}

void TfrmInputName::mnuPlayListClick() {
  host_.SetPlayListChecked(!host_.PlayListChecked());
  PlayListSwitched();
}

void TfrmInputName::PlayListSwitched() {
  if (host_.PlayListChecked()) {
    playListRunning_ = true;
    actRenameOneExecute();
  } else {
    playListRunning_ = false;
    StopMedia();
  }
}

void TfrmInputName::mnuPlayFListClick() {
  StopMedia();
  mnuPlayListClick();
}

}  // namespace tonbo
