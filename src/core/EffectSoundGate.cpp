#include "core/EffectSoundGate.h"

#include <sys/stat.h>

#include <chrono>
#include <utility>

namespace tonbo {
namespace {

bool IsFile(const std::string& diskPath) {
  struct stat st {};
  return stat(diskPath.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// Clears the playing flag however the player returns.
class PlayingScope {
 public:
  explicit PlayingScope(bool& flag) : flag_(flag) { flag_ = true; }
  ~PlayingScope() { flag_ = false; }
  PlayingScope(const PlayingScope&) = delete;
  PlayingScope& operator=(const PlayingScope&) = delete;

 private:
  bool& flag_;
};

}  // namespace

std::uint32_t TickCount() {
  using namespace std::chrono;
  const auto ms = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
  return static_cast<std::uint32_t>(ms);
}

std::string EffectSoundFile(const std::string& programDir, int kind) {
  return programDir + (kind == 0 ? "tools/a.wav" : "tools/b.wav");
}

EffectSoundGate::EffectSoundGate(Player player, Clock clock)
    : player_(std::move(player)), clock_(std::move(clock)), last_(clock_()) {}

bool EffectSoundGate::Request(bool soundOn, const std::string& diskPath) {
  // A sound requested from inside a playing one (a timer in the wait loop) is dropped.
  if (!soundOn || playing_) return false;
  // Unsigned difference: correct across the counter's wrap-around.
  if (static_cast<std::uint32_t>(clock_() - last_) < kMinGapMs) return false;
  bool played = false;
  if (IsFile(diskPath)) {
    PlayingScope scope(playing_);
    player_(diskPath);
    played = true;
  }
  last_ = clock_();
  return played;
}

}  // namespace tonbo
