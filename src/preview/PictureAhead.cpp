#include "preview/PictureAhead.h"

#include <utility>

namespace tonbo::preview {

void PictureAhead::Start(const std::string& diskPath, img::PictureFormat format, int fitWidth,
                         int fitHeight) {
  Cancel();
  key_ = {diskPath, format, fitWidth, fitHeight};
  stop_ = false;
  worker_ = std::thread([this] {
    // The file's state before it is read: a change during the read shows
    // in its time or size when the picture is taken.
    statted_ = stat(key_.path.c_str(), &before_) == 0;
    if (!statted_) return;
    result_ = PicturePreview::Decode(key_.path, key_.format, key_.width, key_.height, [this](int) {
      return !stop_.load(std::memory_order_relaxed);
    });
  });
}

std::optional<PicturePreview::Decoded> PictureAhead::Take(const std::string& diskPath,
                                                          img::PictureFormat format, int fitWidth,
                                                          int fitHeight) {
  const bool wanted = worker_.joinable() && key_ == Key{diskPath, format, fitWidth, fitHeight};
  if (!wanted) {
    Cancel();
    return std::nullopt;
  }
  worker_.join();
  struct stat now {};
  std::optional<PicturePreview::Decoded> taken;
  if (statted_ && result_.result.Ok() && stat(diskPath.c_str(), &now) == 0 &&
      SameFile(before_, now))
    taken = std::move(result_);
  result_ = PicturePreview::Decoded();
  return taken;
}

void PictureAhead::Cancel() {
  stop_ = true;
  if (worker_.joinable()) worker_.join();
  result_ = PicturePreview::Decoded();
}

bool PictureAhead::SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
         a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec &&
         a.st_ctim.tv_sec == b.st_ctim.tv_sec && a.st_ctim.tv_nsec == b.st_ctim.tv_nsec;
}

}  // namespace tonbo::preview
