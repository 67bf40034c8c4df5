#pragma once
// Unit stretchf: resampling a whole picture into another of the caller's size.
#include "preview/imaging/Bitmap.h"

namespace tonbo::img {

enum StretchMode : int {
  smQuality = 0,  // separable: linear when enlarging, area average when reducing
  smFast = 1,     // nearest neighbour
};

// Resamples all of `source` into all of `dest`, whose size the caller has
// set. Does nothing for an empty picture or an unknown mode.
void StretchBitmap(const Bitmap& source, Bitmap& dest, int mode);

// The passes. Each does nothing unless both pictures have pixels and the
// sizes fit the pass: horizontal passes need equal heights (and a dest at
// least as wide for StretchHorzUp, narrower for ShrinkHorz); vertical passes
// likewise with widths and heights exchanged.
void StretchHorzUp(const Bitmap& source, Bitmap& dest);
void ShrinkHorz(const Bitmap& source, Bitmap& dest);
void StretchVertUp(const Bitmap& source, Bitmap& dest);
void ShrinkVert(const Bitmap& source, Bitmap& dest);
void StretchNearest(const Bitmap& source, Bitmap& dest);

}  // namespace tonbo::img
