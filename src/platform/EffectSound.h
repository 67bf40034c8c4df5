#pragma once
// Synchronous effect sounds through Qt Multimedia.
#include <string>

namespace tonbo::platform {

// Without a sound's length the wait ends after this long.
constexpr int kSoundWaitCapMs = 5000;
// Added to a known length before the wait gives up.
constexpr int kSoundWaitSlackMs = 500;

// Chooses the GStreamer media backend (the ffmpeg one crashes without an
// audio device). Takes effect only before the first media object exists;
// PlaySoundFileAndWait calls it, and so should the program's start.
void UseGStreamerMedia();

// True when GStreamer offers the elements Qt's media player builds its
// pipeline from (GStreamer's base and good plugin sets). Without them the
// player crashes while being created, so no player is made then.
bool MediaElementsAvailable();

// Plays a sound file and returns when it has ended, failed, or run past its
// length plus kSoundWaitSlackMs (kSoundWaitCapMs while the length is unknown).
// A machine without an audio device plays silently. True when the end of the
// sound was reached; false for a missing or unplayable file, without a
// running Qt application, or without the media elements.
bool PlaySoundFileAndWait(const std::string& diskPath);

}  // namespace tonbo::platform
