#pragma once
// The media device over Qt Multimedia (GStreamer): QMediaPlayer with a
// QAudioOutput, and a QVideoWidget inside the display panel. Without the
// GStreamer elements no player is made and files stay not ready; without a
// sound device GStreamer plays silently. Nothing here shows a message.
#include <QObject>
#include <QPointer>

#include <memory>

#include "preview/MediaDevice.h"

class QAudioOutput;
class QMediaPlayer;
class QVideoWidget;
class QWidget;

namespace tonbo {

class QtMediaDevice : public QObject, public preview::MediaDevice {
  Q_OBJECT
 public:
  // How long Open waits for the file to be recognised.
  static constexpr int kOpenWaitMs = 3000;

  explicit QtMediaDevice(QWidget* display, QObject* parent = nullptr);
  ~QtMediaDevice() override;

  void SetFileName(const std::string& diskPath) override { fileName_ = diskPath; }
  void Open() override;
  void Close() override;
  void Play() override;
  void Stop() override;
  void Seek(int64_t position) override;
  int64_t Length() const override;
  int64_t Position() const override;
  preview::MediaMode Mode() const override { return mode_; }

 private:
  bool MakePlayer();
  void OnStatus(int status);

  QPointer<QWidget> display_;
  QVideoWidget* video_ = nullptr;
  std::unique_ptr<QAudioOutput> output_;
  std::unique_ptr<QMediaPlayer> player_;
  std::string fileName_;
  preview::MediaMode mode_ = preview::MediaMode::NotReady;
};

}  // namespace tonbo
