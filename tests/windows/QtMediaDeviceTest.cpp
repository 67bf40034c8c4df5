#include "windows/QtMediaDevice.h"

#include <QElapsedTimer>

#include "QtTestMain.h"
#include "platform/EffectSound.h"

namespace tonbo {
namespace {

// A mono 16-bit WAV of `ms` milliseconds of a quiet tone.
std::string Wave(int ms) {
  const int rate = 8000, samples = rate * ms / 1000;
  auto le = [](uint32_t v, int bytes) {
    std::string s;
    for (int i = 0; i < bytes; ++i) s += char((v >> (8 * i)) & 0xFF);
    return s;
  };
  std::string data;
  for (int i = 0; i < samples; ++i) data += le(uint32_t(int16_t((i % 40) * 50 - 1000)), 2);
  return "RIFF" + le(uint32_t(36 + data.size()), 4) + "WAVEfmt " + le(16, 4) + le(1, 2) + le(1, 2) +
         le(rate, 4) + le(rate * 2, 4) + le(2, 2) + le(16, 2) + "data" +
         le(uint32_t(data.size()), 4) + data;
}

}  // namespace

class QtMediaDeviceTest : public QObject {
  Q_OBJECT

 private slots:
  void playsARealWaveToItsEnd() {
    platform::UseGStreamerMedia();
    if (!platform::MediaElementsAvailable()) QSKIP("GStreamer elements are not installed");
    const std::string path = test::MakeTempDir("media") + "tone.wav";
    test::WriteFile(path, Wave(400));
    QtMediaDevice device(nullptr);
    int notified = 0;
    device.onNotify = [&notified] { ++notified; };
    QCOMPARE(device.Mode(), preview::MediaMode::NotReady);
    device.SetFileName(path);
    device.Open();
    QCOMPARE(device.Mode(), preview::MediaMode::Stopped);
    QTRY_VERIFY(device.Length() > 300 && device.Length() < 500);
    device.Play();
    QCOMPARE(device.Mode(), preview::MediaMode::Playing);
    // Silence without a sound device, but the end still comes.
    QTRY_COMPARE_WITH_TIMEOUT(notified, 1, 5000);
    QCOMPARE(device.Mode(), preview::MediaMode::Stopped);
    device.Close();
    QCOMPARE(device.Mode(), preview::MediaMode::NotReady);
  }

  void fileThatIsNoMediaStaysNotReadyWithoutHanging() {
    platform::UseGStreamerMedia();
    if (!platform::MediaElementsAvailable()) QSKIP("GStreamer elements are not installed");
    const std::string path = test::MakeTempDir("media") + "not.wav";
    test::WriteFile(path, "this is no sound");
    QtMediaDevice device(nullptr);
    device.SetFileName(path);
    QElapsedTimer clock;
    clock.start();
    device.Open();
    QVERIFY(clock.elapsed() <= QtMediaDevice::kOpenWaitMs + 1000);
    QCOMPARE(device.Mode(), preview::MediaMode::NotReady);
    device.Play();  // nothing happens
    QCOMPARE(device.Mode(), preview::MediaMode::NotReady);
  }
};

}  // namespace tonbo

TONBO_QTEST_CLASS(tonbo::QtMediaDeviceTest)
#include "QtMediaDeviceTest.moc"
