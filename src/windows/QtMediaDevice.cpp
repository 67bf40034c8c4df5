#include "windows/QtMediaDevice.h"

#include <QAudioOutput>
#include <QEventLoop>
#include <QFile>
#include <QMediaPlayer>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <QVideoWidget>

#include "platform/EffectSound.h"
#include "platform/Launcher.h"

namespace tonbo {

using preview::MediaMode;

QtMediaDevice::QtMediaDevice(QWidget* display, QObject* parent)
    : QObject(parent), display_(display) {}

QtMediaDevice::~QtMediaDevice() {
  if (player_) player_->stop();
}

bool QtMediaDevice::MakePlayer() {
  if (player_) return true;
  platform::UseGStreamerMedia();
  // Qt's player crashes while being built without these elements.
  if (!platform::MediaElementsAvailable()) return false;
  output_ = std::make_unique<QAudioOutput>();
  player_ = std::make_unique<QMediaPlayer>();
  player_->setAudioOutput(output_.get());
  if (display_) {
    video_ = new QVideoWidget(display_);
    auto* layout = new QVBoxLayout(display_);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(video_);
    player_->setVideoOutput(video_);
  }
  connect(player_.get(), &QMediaPlayer::mediaStatusChanged, this,
          [this](QMediaPlayer::MediaStatus status) { OnStatus(status); });
  connect(player_.get(), &QMediaPlayer::errorOccurred, this, [this] {
    if (mode_ == MediaMode::Playing) mode_ = MediaMode::Stopped;
  });
  return true;
}

void QtMediaDevice::OnStatus(int status) {
  if (status != QMediaPlayer::EndOfMedia || mode_ != MediaMode::Playing) return;
  mode_ = MediaMode::Stopped;
  if (onNotify) onNotify();
}

void QtMediaDevice::Open() {
  mode_ = MediaMode::NotReady;
  if (fileName_.empty() || !MakePlayer()) return;
  QEventLoop loop;
  QTimer limit;
  limit.setSingleShot(true);
  connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
  auto watch = connect(player_.get(), &QMediaPlayer::mediaStatusChanged, &loop,
                       [&loop](QMediaPlayer::MediaStatus s) {
                         if (s != QMediaPlayer::LoadingMedia) loop.quit();
                       });
  player_->setSource(platform::FileUrlFromDisk(fileName_));
  if (player_->mediaStatus() == QMediaPlayer::LoadingMedia) {
    limit.start(kOpenWaitMs);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
  }
  disconnect(watch);
  const auto status = player_->mediaStatus();
  if (status == QMediaPlayer::LoadedMedia || status == QMediaPlayer::BufferedMedia)
    mode_ = MediaMode::Stopped;
}

void QtMediaDevice::Close() {
  if (player_) {
    player_->stop();
    player_->setSource(QUrl());
  }
  mode_ = MediaMode::NotReady;
}

void QtMediaDevice::Play() {
  if (!player_ || mode_ == MediaMode::NotReady) return;
  mode_ = MediaMode::Playing;
  player_->play();
}

void QtMediaDevice::Stop() {
  if (!player_ || mode_ == MediaMode::NotReady) return;
  player_->pause();
  mode_ = MediaMode::Stopped;
}

void QtMediaDevice::Seek(int64_t position) {
  if (player_ && mode_ != MediaMode::NotReady) player_->setPosition(position);
}

int64_t QtMediaDevice::Length() const { return player_ ? player_->duration() : 0; }

int64_t QtMediaDevice::Position() const { return player_ ? player_->position() : 0; }

}  // namespace tonbo
