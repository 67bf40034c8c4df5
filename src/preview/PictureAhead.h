#pragma once
// The picture the user will probably step to next, decoded on a worker while
// they look at the current one. One picture at a time: starting another, or
// taking a different one, stops the one under way.
#include <sys/stat.h>

#include <atomic>
#include <optional>
#include <string>
#include <thread>

#include "preview/PicturePreview.h"

namespace tonbo::preview {

class PictureAhead {
 public:
  PictureAhead() = default;
  PictureAhead(const PictureAhead&) = delete;
  PictureAhead& operator=(const PictureAhead&) = delete;
  ~PictureAhead() { Cancel(); }

  // Decodes the file for a view of fitWidth × fitHeight (PicturePreview::Decode).
  void Start(const std::string& diskPath, img::PictureFormat format, int fitWidth, int fitHeight);
  // The picture started for exactly these, waited for if still under way,
  // when it decoded and the file is the one it read, unchanged since (a file
  // saved or replaced meanwhile is read again by the caller). Otherwise
  // nothing; either way the worker is done with it.
  std::optional<PicturePreview::Decoded> Take(const std::string& diskPath,
                                              img::PictureFormat format, int fitWidth,
                                              int fitHeight);
  // Stops the work under way and drops its picture.
  void Cancel();

 private:
  struct Key {
    std::string path;
    img::PictureFormat format = img::PictureFormat::Unknown;
    int width = 0, height = 0;
    bool operator==(const Key&) const = default;
  };
  static bool SameFile(const struct stat& a, const struct stat& b);

  Key key_;
  std::thread worker_;
  std::atomic<bool> stop_{false};
  // Written by the worker, read after it joined.
  PicturePreview::Decoded result_;
  struct stat before_ {};
  bool statted_ = false;
};

}  // namespace tonbo::preview
