#pragma once
// The effect-sound rule: at most one sound per 900 ms, played synchronously.
// The clock and the player are handed in, so the rule runs without audio.
#include <cstdint>
#include <functional>
#include <string>

namespace tonbo {

// Milliseconds of a free-running 32-bit counter (wraps after about 49 days).
std::uint32_t TickCount();

// The sound file of a kind in the program folder: 0 "tools/a.wav" (after a
// command), 1 "tools/b.wav" (after files were dropped or added).
std::string EffectSoundFile(const std::string& programDir, int kind);

class EffectSoundGate {
 public:
  using Clock = std::function<std::uint32_t()>;
  // Plays a sound file and returns when it has finished.
  using Player = std::function<void(const std::string& diskPath)>;

  // Sounds closer together than this are dropped.
  static constexpr std::uint32_t kMinGapMs = 900;

  // The interval starts now: a sound right after start-up is dropped too.
  explicit EffectSoundGate(Player player, Clock clock = TickCount);

  // Plays the file when sound is on, no sound is playing and more than
  // 899 ms have passed since the last one. When sound is on and the interval
  // has passed, the time is recorded whether or not the file exists.
  // True when the file was played.
  bool Request(bool soundOn, const std::string& diskPath);

 private:
  Player player_;
  Clock clock_;
  std::uint32_t last_;
  bool playing_ = false;
};

}  // namespace tonbo
