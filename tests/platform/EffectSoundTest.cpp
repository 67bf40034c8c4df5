#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "TestEnv.h"
#include "platform/EffectSound.h"

namespace tonbo::platform {
namespace {

using test::MakeTempDir;
using test::WriteFile;

void PutLe(std::string& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// A 16-bit mono PCM wave file holding a quiet 440 Hz tone.
std::string ToneWav(int ms, int rate = 22050) {
  const std::uint32_t frames = static_cast<std::uint32_t>(rate) * ms / 1000;
  std::string wav = "RIFF";
  PutLe(wav, 36 + frames * 2, 4);
  wav += "WAVEfmt ";
  PutLe(wav, 16, 4);
  PutLe(wav, 1, 2);  // PCM
  PutLe(wav, 1, 2);  // mono
  PutLe(wav, static_cast<std::uint32_t>(rate), 4);
  PutLe(wav, static_cast<std::uint32_t>(rate) * 2, 4);
  PutLe(wav, 2, 2);
  PutLe(wav, 16, 2);
  wav += "data";
  PutLe(wav, frames * 2, 4);
  for (std::uint32_t i = 0; i < frames; ++i) {
    const double v = 3000 * std::sin(2 * M_PI * 440 * i / rate);
    PutLe(wav, static_cast<std::uint32_t>(static_cast<std::int16_t>(v)), 2);
  }
  return wav;
}

class EffectSoundTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "EffectSoundTest";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) app_ = new QCoreApplication(argc, argv);
  }
  static inline QCoreApplication* app_ = nullptr;
};

// The test machine has no sound device: the sound still plays (silently)
// to its end, and the wait never outlasts the sound by much.
TEST_F(EffectSoundTest, TinyWaveReturnsWithinItsLength) {
  const std::string path = MakeTempDir("sound") + "tone.wav";
  WriteFile(path, ToneWav(300));
  MediaElementsAvailable();  // GStreamer's one-time plugin scan is not part of the wait
  QElapsedTimer clock;
  clock.start();
  const bool ended = PlaySoundFileAndWait(path);
  const qint64 elapsed = clock.elapsed();
  EXPECT_LT(elapsed, 300 + 1500);
  EXPECT_TRUE(ended) << "needs gstreamer1.0-plugins-base/-good (scripts/install-deps.sh)";
}

TEST_F(EffectSoundTest, MissingOrGarbageFileReturnsPromptlyWithFalse) {
  const std::string dir = MakeTempDir("sound");
  WriteFile(dir + "garbage.wav", std::string(4096, '\x5a'));
  WriteFile(dir + "empty.wav", "");
  QElapsedTimer clock;
  clock.start();
  EXPECT_FALSE(PlaySoundFileAndWait(dir + "missing.wav"));
  EXPECT_FALSE(PlaySoundFileAndWait(dir + "empty.wav"));
  EXPECT_LT(clock.elapsed(), 100);
  EXPECT_FALSE(PlaySoundFileAndWait(dir + "garbage.wav"));
  EXPECT_LT(clock.elapsed(), kSoundWaitCapMs);
}

// Qt's player crashes when GStreamer lacks its elements; the sound must
// then be skipped. Runs in a fresh process so GStreamer starts without plugins.
TEST_F(EffectSoundTest, WithoutMediaPluginsStaysSilentInsteadOfCrashing) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const std::string dir = MakeTempDir("noplugins");
  WriteFile(dir + "tone.wav", ToneWav(100));
  EXPECT_EXIT(
      {
        setenv("GST_PLUGIN_SYSTEM_PATH_1_0", dir.c_str(), 1);
        setenv("GST_REGISTRY_1_0", (dir + "registry.bin").c_str(), 1);
        unsetenv("GST_PLUGIN_PATH_1_0");
        unsetenv("GST_PLUGIN_PATH");
        const bool played = PlaySoundFileAndWait(dir + "tone.wav");
        std::_Exit(!played && !MediaElementsAvailable() ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace tonbo::platform
