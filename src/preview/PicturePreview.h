#pragma once
// The picture of the preview's image page. Shown fitted, a large JPEG is
// decoded only as large as the view needs; the full picture is decoded when
// something needs it (full size, copy, the picture operations, saving).
#include <string>

#include "preview/imaging/Codecs.h"

namespace tonbo::preview {

class PicturePreview {
 public:
  // Decodes the file, turned upright as its Exif orientation says; with
  // fitWidth and fitHeight above 0 a JPEG may be decoded reduced for a view
  // of that size. On failure the picture is empty.
  img::DecodeResult Load(const std::string& diskPath, img::PictureFormat format, int fitWidth,
                         int fitHeight, const img::ProgressFn& progress = {});
  // A file decoded as Load decodes it, not yet held (PictureAhead's worker
  // decodes so); Adopt then takes it as if Load had decoded it.
  struct Decoded {
    img::DecodeResult result;
    int orientation = 1;
  };
  static Decoded Decode(const std::string& diskPath, img::PictureFormat format, int fitWidth,
                        int fitHeight, const img::ProgressFn& progress = {});
  void Adopt(const std::string& diskPath, img::PictureFormat format, Decoded decoded);
  void Clear();

  bool Empty() const { return picture_.Empty(); }
  // The size of the whole picture (of the file, or as edited).
  int Width() const { return fullWidth_; }
  int Height() const { return fullHeight_; }
  bool Reduced() const { return reduced_; }

  // Decodes the whole picture when only a reduced one is held. False (the
  // reduced picture kept) when that fails.
  bool EnsureFull(const img::ProgressFn& progress = {});
  // The whole picture: call EnsureFull first.
  img::Bitmap& Full() { return picture_; }
  // Takes an edited picture as the whole picture.
  void Replace(img::Bitmap picture);

  // The picture fitted into a view: the side that limits keeps the view's
  // length, the other follows the ratio (small pictures are enlarged too).
  // Quality mode when `quality`, else nearest neighbour. Empty without a
  // picture or a view.
  img::Bitmap Fit(int viewWidth, int viewHeight, bool quality) const;
  // A reduced picture is smaller than its fit into this view would be.
  bool TooSmallFor(int viewWidth, int viewHeight) const;
  // Decodes the file again for a view of another size (a reduced picture only).
  bool Redecode(int viewWidth, int viewHeight, const img::ProgressFn& progress = {});

 private:
  void Hold(const std::string& diskPath, img::PictureFormat format, Decoded& decoded);

  img::Bitmap picture_;
  std::string path_;
  img::PictureFormat format_ = img::PictureFormat::Unknown;
  int orientation_ = 1;  // Exif's, applied to every decoding of the file
  int fullWidth_ = 0;
  int fullHeight_ = 0;
  bool reduced_ = false;
};

}  // namespace tonbo::preview
