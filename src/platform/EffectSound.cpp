#include "platform/EffectSound.h"

#include <dlfcn.h>

#include <QAudioOutput>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QMediaPlayer>
#include <QTimer>
#include <QUrl>

#include <chrono>
#include <initializer_list>

namespace tonbo::platform {
namespace {

// Runs the player until the sound ends, fails or runs out of time.
class SoundWait {
 public:
  SoundWait() {
    player_.setAudioOutput(&output_);
    limit_.setSingleShot(true);
    QObject::connect(&limit_, &QTimer::timeout, &loop_, &QEventLoop::quit);
    QObject::connect(&player_, &QMediaPlayer::mediaStatusChanged, &loop_,
                     [this](QMediaPlayer::MediaStatus status) { OnStatus(status); });
    QObject::connect(&player_, &QMediaPlayer::errorOccurred, &loop_, [this] {
      failed_ = true;
      loop_.quit();
    });
    QObject::connect(&player_, &QMediaPlayer::durationChanged, &loop_, [this](qint64 ms) {
      if (ms > 0) limit_.start(std::chrono::milliseconds(ms + kSoundWaitSlackMs));
    });
  }

  bool Play(const QUrl& url) {
    limit_.start(kSoundWaitCapMs);
    player_.setSource(url);
    if (player_.error() != QMediaPlayer::NoError) return false;
    player_.play();
    // Like a synchronous system sound: the window repaints but takes no input.
    if (!ended_ && !failed_) loop_.exec(QEventLoop::ExcludeUserInputEvents);
    // Stopping a failed pipeline only waits for GStreamer's state timeout.
    if (!failed_) player_.stop();
    return ended_;
  }

 private:
  void OnStatus(QMediaPlayer::MediaStatus status) {
    if (status == QMediaPlayer::EndOfMedia) ended_ = true;
    if (status == QMediaPlayer::InvalidMedia) failed_ = true;
    if (ended_ || failed_) loop_.quit();
  }

  QAudioOutput output_;  // outlives the player that plays into it
  QMediaPlayer player_;
  QEventLoop loop_;
  QTimer limit_;
  bool ended_ = false;
  bool failed_ = false;
};

// GStreamer is asked at run time (Qt's media plugin loads the library anyway),
// so the program needs no GStreamer headers to build.
bool HasGStreamerElements(std::initializer_list<const char*> names) {
  void* lib = dlopen("libgstreamer-1.0.so.0", RTLD_NOW | RTLD_LOCAL);
  if (!lib) return false;
  using InitCheck = int (*)(int*, char***, void**);
  using FactoryFind = void* (*)(const char*);
  using ObjectUnref = void (*)(void*);
  auto init = reinterpret_cast<InitCheck>(dlsym(lib, "gst_init_check"));
  auto find = reinterpret_cast<FactoryFind>(dlsym(lib, "gst_element_factory_find"));
  auto unref = reinterpret_cast<ObjectUnref>(dlsym(lib, "gst_object_unref"));
  if (!init || !find || !unref || !init(nullptr, nullptr, nullptr)) return false;
  for (const char* name : names) {
    void* factory = find(name);
    if (!factory) return false;
    unref(factory);
  }
  return true;
}

}  // namespace

bool MediaElementsAvailable() {
  static const bool available =
      HasGStreamerElements({"uridecodebin", "audioconvert", "audioresample", "volume",
                            "videoconvert", "videoscale", "autoaudiosink", "wavparse"});
  return available;
}

void UseGStreamerMedia() {
  if (qEnvironmentVariable("QT_MEDIA_BACKEND") != QLatin1String("gstreamer"))
    qputenv("QT_MEDIA_BACKEND", "gstreamer");
}

bool PlaySoundFileAndWait(const std::string& diskPath) {
  if (!QCoreApplication::instance()) return false;
  const QString path = QFile::decodeName(QByteArray::fromStdString(diskPath));
  const QFileInfo info(path);
  if (!info.isFile() || info.size() == 0) return false;
  UseGStreamerMedia();
  if (!MediaElementsAvailable()) return false;
  SoundWait wait;
  return wait.Play(QUrl::fromLocalFile(info.absoluteFilePath()));
}

}  // namespace tonbo::platform
