#include "preview/PicturePreview.h"

#include <algorithm>

#include "preview/imaging/BmpFilter.h"
#include "preview/imaging/StretchF.h"
#include "tags/TagReader.h"

namespace tonbo::preview {
namespace {

// Turns a picture as its Exif orientation (1-8) says the camera was held,
// so a portrait photo stands upright; the file itself is left as it is.
void Orient(img::Bitmap& picture, int orientation) {
  // 5 and 7 are 6 and 8 (a quarter turn right, left) seen in a mirror.
  if (orientation >= 5 && orientation <= 8) img::Rotate90(picture, orientation <= 6);
  if (orientation == 2 || orientation == 3 || orientation == 5 || orientation == 7)
    img::FlipHorizontal(picture);
  if (orientation == 3 || orientation == 4) img::FlipVertical(picture);
}

}  // namespace

PicturePreview::Decoded PicturePreview::Decode(const std::string& diskPath,
                                               img::PictureFormat format, int fitWidth,
                                               int fitHeight, const img::ProgressFn& progress) {
  Decoded decoded;
  decoded.orientation = tags::ReadMediaTags(diskPath).orientation;
  // A picture turned a quarter is decoded for the view turned with it.
  const bool quarter = decoded.orientation >= 5;
  img::DecodeOptions options;
  options.progress = progress;
  options.fitWidth = quarter ? fitHeight : fitWidth;
  options.fitHeight = quarter ? fitWidth : fitHeight;
  decoded.result = img::LoadPicture(diskPath, format, options);
  return decoded;
}

img::DecodeResult PicturePreview::Load(const std::string& diskPath, img::PictureFormat format,
                                       int fitWidth, int fitHeight,
                                       const img::ProgressFn& progress) {
  Clear();
  Decoded decoded = Decode(diskPath, format, fitWidth, fitHeight, progress);
  if (decoded.result.Ok()) Hold(diskPath, format, decoded);
  return std::move(decoded.result);
}

void PicturePreview::Adopt(const std::string& diskPath, img::PictureFormat format,
                           Decoded decoded) {
  Clear();
  if (decoded.result.Ok()) Hold(diskPath, format, decoded);
}

void PicturePreview::Hold(const std::string& diskPath, img::PictureFormat format,
                          Decoded& decoded) {
  const img::DecodeResult& result = decoded.result;
  const bool quarter = decoded.orientation >= 5;
  path_ = diskPath;
  format_ = format;
  orientation_ = decoded.orientation;
  fullWidth_ = quarter ? result.fullHeight : result.fullWidth;
  fullHeight_ = quarter ? result.fullWidth : result.fullHeight;
  reduced_ = result.Reduced();
  picture_ = std::move(decoded.result.bitmap);
  Orient(picture_, orientation_);
}

void PicturePreview::Clear() {
  picture_.Clear();
  path_.clear();
  format_ = img::PictureFormat::Unknown;
  orientation_ = 1;
  fullWidth_ = fullHeight_ = 0;
  reduced_ = false;
}

bool PicturePreview::EnsureFull(const img::ProgressFn& progress) {
  if (!reduced_) return !picture_.Empty();
  img::DecodeOptions options;
  options.progress = progress;
  img::DecodeResult result = img::LoadPicture(path_, format_, options);
  if (!result.Ok()) return false;
  picture_ = std::move(result.bitmap);
  Orient(picture_, orientation_);
  fullWidth_ = picture_.Width();
  fullHeight_ = picture_.Height();
  reduced_ = false;
  return true;
}

void PicturePreview::Replace(img::Bitmap picture) {
  picture_ = std::move(picture);
  fullWidth_ = picture_.Width();
  fullHeight_ = picture_.Height();
  reduced_ = false;
}

bool PicturePreview::TooSmallFor(int viewWidth, int viewHeight) const {
  if (!reduced_ || picture_.Empty()) return false;
  const double ratio = std::min(static_cast<double>(viewWidth) / fullWidth_,
                                static_cast<double>(viewHeight) / fullHeight_);
  return ratio * fullWidth_ > picture_.Width() + 1 || ratio * fullHeight_ > picture_.Height() + 1;
}

bool PicturePreview::Redecode(int viewWidth, int viewHeight, const img::ProgressFn& progress) {
  if (!reduced_) return !picture_.Empty();
  const std::string path = path_;
  return Load(path, format_, viewWidth, viewHeight, progress).Ok();
}

img::Bitmap PicturePreview::Fit(int viewWidth, int viewHeight, bool quality) const {
  img::Bitmap dest;
  if (picture_.Empty() || viewWidth <= 0 || viewHeight <= 0) return dest;
  const double rw = static_cast<double>(viewWidth) / fullWidth_;
  const double rh = static_cast<double>(viewHeight) / fullHeight_;
  int width = viewWidth;
  int height = viewHeight;
  if (rw >= rh)
    width = static_cast<int>(rh * fullWidth_);
  else
    height = static_cast<int>(rw * fullHeight_);
  if (!dest.Reset(std::max(1, width), std::max(1, height), false)) return dest;
  img::StretchBitmap(picture_, dest, quality ? img::smQuality : img::smFast);
  return dest;
}

}  // namespace tonbo::preview
