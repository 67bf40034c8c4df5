#pragma once
// The media device the preview plays sound and video through, with the
// modes of the media control interface. Positions and lengths are in
// milliseconds. The dialog drives it; the real device sits on Qt Multimedia,
// tests use a fake.
#include <cstdint>
#include <functional>
#include <string>

namespace tonbo::preview {

enum class MediaMode { NotReady, Stopped, Playing, Recording, Seeking, Paused, Open };

class MediaDevice {
 public:
  virtual ~MediaDevice() = default;
  virtual void SetFileName(const std::string& diskPath) = 0;
  // Opens the file named; the mode becomes Stopped, or stays NotReady when
  // the file cannot be played (no device or decoder means silence, not an error).
  virtual void Open() = 0;
  virtual void Close() = 0;
  virtual void Play() = 0;
  virtual void Stop() = 0;
  virtual void Seek(int64_t position) = 0;
  virtual int64_t Length() const = 0;
  virtual int64_t Position() const = 0;
  virtual MediaMode Mode() const = 0;
  // Called once when a play started by Play() reaches the end.
  std::function<void()> onNotify;
};

}  // namespace tonbo::preview
