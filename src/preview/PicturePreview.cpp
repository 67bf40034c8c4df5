#include "preview/PicturePreview.h"

#include <algorithm>

#include "preview/imaging/StretchF.h"

namespace tonbo::preview {

img::DecodeResult PicturePreview::Load(const std::string& diskPath, img::PictureFormat format,
                                       int fitWidth, int fitHeight,
                                       const img::ProgressFn& progress) {
  Clear();
  img::DecodeOptions options;
  options.progress = progress;
  options.fitWidth = fitWidth;
  options.fitHeight = fitHeight;
  img::DecodeResult result = img::LoadPicture(diskPath, format, options);
  if (result.Ok()) Hold(diskPath, format, result);
  return result;
}

void PicturePreview::Adopt(const std::string& diskPath, img::PictureFormat format,
                           img::DecodeResult decoded) {
  Clear();
  if (decoded.Ok()) Hold(diskPath, format, decoded);
}

void PicturePreview::Hold(const std::string& diskPath, img::PictureFormat format,
                          img::DecodeResult& decoded) {
  path_ = diskPath;
  format_ = format;
  fullWidth_ = decoded.fullWidth;
  fullHeight_ = decoded.fullHeight;
  reduced_ = decoded.Reduced();
  picture_ = std::move(decoded.bitmap);
}

void PicturePreview::Clear() {
  picture_.Clear();
  path_.clear();
  format_ = img::PictureFormat::Unknown;
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
