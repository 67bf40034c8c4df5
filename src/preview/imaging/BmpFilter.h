#pragma once
// Unit bmp_filter: whole-picture colour and orientation changes, in place.
// Each signals the picture's change notification when it changed pixels.
#include "preview/imaging/Bitmap.h"

namespace tonbo::img {

// Every channel c becomes 255 - c.
void Negaposi(Bitmap& bitmap);
// Every pixel becomes (30 red + 59 green + 11 blue) / 100, halves to even.
void GrayScale(Bitmap& bitmap);
void FlipHorizontal(Bitmap& bitmap);
void FlipVertical(Bitmap& bitmap);
// Quarter turn, clockwise when `right`. Raises EInvalidBitmap on an empty
// picture, which is then left unchanged.
void Rotate90(Bitmap& bitmap, bool right);

}  // namespace tonbo::img
