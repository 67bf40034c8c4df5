#include "core/EffectSoundGate.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "TestEnv.h"
#include "common/Folders.h"

namespace tonbo {
namespace {

using test::MakeTempDir;
using test::WriteFile;

// A hand-wound millisecond counter and a player that records instead of sounding.
class EffectSoundGateTest : public ::testing::Test {
 protected:
  EffectSoundGateTest()
      : dir_(MakeTempDir("sound")),
        gate_([this](const std::string& path) { Play(path); }, [this] { return now_; }) {
    MakeDirs(dir_ + "tools/");
    WriteFile(EffectSoundFile(dir_, 0), "RIFF");
    WriteFile(EffectSoundFile(dir_, 1), "RIFF");
  }

  void Play(const std::string& path) {
    played_.push_back(path);
    now_ += playLength_;
  }
  bool Request(int kind, bool soundOn = true) {
    return gate_.Request(soundOn, EffectSoundFile(dir_, kind));
  }

  std::string dir_;
  std::uint32_t now_ = 5000;
  std::uint32_t playLength_ = 0;
  std::vector<std::string> played_;
  EffectSoundGate gate_;
};

TEST_F(EffectSoundGateTest, KindsNameTheTwoFilesOfTheToolsFolder) {
  EXPECT_EQ(EffectSoundFile("/opt/tonbo/", 0), "/opt/tonbo/tools/a.wav");
  EXPECT_EQ(EffectSoundFile("/opt/tonbo/", 1), "/opt/tonbo/tools/b.wav");
}

TEST_F(EffectSoundGateTest, SoundsWithin900MsOfTheLastAreDropped) {
  now_ += 899;  // the interval starts when the gate is made
  EXPECT_FALSE(Request(1));
  now_ += 1;
  EXPECT_TRUE(Request(1));
  now_ += 899;
  EXPECT_FALSE(Request(1));  // two drops close together: one sound
  now_ += 1;
  EXPECT_TRUE(Request(0));
  EXPECT_EQ(played_,
            (std::vector<std::string>{EffectSoundFile(dir_, 1), EffectSoundFile(dir_, 0)}));
}

TEST_F(EffectSoundGateTest, IntervalCountsFromTheEndOfTheLastSound) {
  playLength_ = 400;
  now_ += 900;
  ASSERT_TRUE(Request(0));
  now_ += 600;  // 1000 ms after the start, 600 after the end
  EXPECT_FALSE(Request(0));
  now_ += 300;
  EXPECT_TRUE(Request(0));
}

TEST_F(EffectSoundGateTest, CounterWrapAroundStillMeasuresTheGap) {
  now_ = 0xFFFFFE00u;
  EffectSoundGate gate([this](const std::string& path) { Play(path); }, [this] { return now_; });
  now_ = 0x00000100u;  // 512 ms later, past the wrap
  EXPECT_FALSE(gate.Request(true, EffectSoundFile(dir_, 0)));
  now_ = 0x00000184u;  // 644 ms later, past the wrap
  EXPECT_TRUE(gate.Request(true, EffectSoundFile(dir_, 0)));
  EXPECT_EQ(played_.size(), 1u);
}

TEST_F(EffectSoundGateTest, MissingFilePlaysNothingButStillStartsTheInterval) {
  now_ += 1000;
  EXPECT_FALSE(gate_.Request(true, dir_ + "tools/missing.wav"));
  now_ += 500;
  EXPECT_FALSE(Request(0));  // within 900 ms of the silent one
  EXPECT_TRUE(played_.empty());
  now_ += 400;
  EXPECT_TRUE(Request(0));
}

TEST_F(EffectSoundGateTest, SoundOffPlaysNothingAndLeavesTheIntervalAlone) {
  now_ += 1000;
  EXPECT_FALSE(Request(0, false));
  EXPECT_TRUE(played_.empty());
  EXPECT_TRUE(Request(0));  // the switched-off request recorded no time
}

TEST_F(EffectSoundGateTest, RequestFromInsideAPlayingSoundIsDropped) {
  bool inner = true;
  EffectSoundGate gate(
      [&](const std::string& path) {
        played_.push_back(path);
        now_ += 5000;  // a timer fires while the sound plays, long after the gap
        inner = gate.Request(true, path);
      },
      [this] { return now_; });
  now_ += 1000;
  EXPECT_TRUE(gate.Request(true, EffectSoundFile(dir_, 1)));
  EXPECT_FALSE(inner);
  EXPECT_EQ(played_.size(), 1u);
}

}  // namespace
}  // namespace tonbo
